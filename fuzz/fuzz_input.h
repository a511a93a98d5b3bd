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

// The scratch directory, created on first use, removed at exit.
inline const std::filesystem::path& ScratchDirectory() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
            std::filesystem::remove_all(dir, ec);
        });
        return std::filesystem::path(pattern);
    }();
    return dir;
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
