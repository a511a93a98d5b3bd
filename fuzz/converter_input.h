#pragma once
// What the converter targets share: the input is a run directory packed into
// one byte string, its files separated by the line kFileSeparator; each part
// becomes the file of its name in an emptied scratch directory, which is also
// the current one, and the action then runs on it as a user's run does.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/run_context.h"
#include "fuzz_input.h"

namespace fuzz {

// Between two files of a packed run (fuzz/run.sh packs the seeds with it).
inline constexpr std::string_view kFileSeparator = "\n--8<--\n";

// Empties the scratch directory (the outputs of the last input go, so tables
// that grow by appending start again) and makes it the current directory, so
// whatever an action writes beside its input or into the current directory stays there.
inline void EmptyScratchDirectory() {
    static const bool entered = [] {
        std::filesystem::current_path(ScratchDirectory());
        return true;
    }();
    (void)entered;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ScratchDirectory(), ec))
        std::filesystem::remove_all(entry.path(), ec);
}

inline std::string ScratchPath(const char* name) { return (ScratchDirectory() / name).string(); }

// Writes the parts of the input as the files `names`, in order; a part that is
// empty or missing leaves its file out. Returns the path of the first file.
inline std::string WriteRun(const uint8_t* data, size_t size, std::initializer_list<const char*> names) {
    EmptyScratchDirectory();
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string first;
    for (const char* name : names) {
        const size_t cut = rest.find(kFileSeparator);
        const std::string_view part = rest.substr(0, cut);
        if (!part.empty()) WriteFile(name, part);
        if (first.empty()) first = ScratchPath(name);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + kFileSeparator.size());
    }
    return first;
}

// A run with the databases of the source tree, read once for the whole
// campaign, and the default options (a target may set some before its run).
inline RunContext& ConverterContext() {
    static RunContext context = [] {
        RunContext c;
        ReadDatabases(c, DatabasePaths(SOURCE_DIR "/data"));
        return c;
    }();
    context.options = RunOptions();
    return context;
}

}  // namespace fuzz
