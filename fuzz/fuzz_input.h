#pragma once
// What every fuzz target shares: the input bytes go through a file in a scratch
// directory of the process, so the reader under test reads them as it reads a
// user's file, and whatever it writes lands there, never in the working tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

// A directory of its own under the system's temporary directory, removed with
// everything in it when the object ends.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The scratch directory of the process, created on first use, removed at exit.
inline const std::filesystem::path& ScratchDirectory() {
    static const ScratchDir dir;
    return dir.path();
}

// Writes `bytes` as the file `name` of the scratch directory; returns its path.
inline std::string WriteFile(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = ScratchDirectory() / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

inline std::string WriteInput(const uint8_t* data, size_t size, const std::string& name = "input") {
    return WriteFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

// The text of a file of the source tree (the fixed files a target pairs with its input).
inline std::string SourceFile(const std::string& relativePath) {
    std::ifstream in(std::string(SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fuzz
