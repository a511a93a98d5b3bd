#include "core/paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

namespace {
size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }
}  // namespace

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t start = 0;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        start = 2;
    }
    size_t sep = LastSeparator(path);
    size_t nameStart = start;
    if (sep != std::string::npos && sep >= start) {
        parts.directory = path.substr(start, sep + 1 - start);
        nameStart = sep + 1;
    }
    std::string name = path.substr(nameStart);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        parts.base = name;
    } else {
        parts.base = name.substr(0, dot);
        parts.extension = name.substr(dot);
    }
    return parts;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (IsPathSeparator(directory.back())) return directory + name;
    size_t sep = LastSeparator(directory);
    char separator = (sep != std::string::npos && directory[sep] == '\\') ? '\\' : '/';
    return directory + separator + name;
}

std::string& ChangeFileExtension(std::string& path, const std::string& extension) {
    PathParts parts = SplitPath(path);
    std::string ext = (!extension.empty() && extension[0] == '.') ? extension.substr(1) : extension;
    path = JoinPath(parts.drive + parts.directory, parts.base + "." + ext);
    return path;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

std::string& RemoveWhitespace(std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') kept += c;
    text.swap(kept);
    return text;
}

std::string DirectoryWithoutSeparator(const std::string& path) {
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string ResolveBackslashPath(const std::string& name) {
    std::error_code ec;
    if (name.find('\\') == std::string::npos || std::filesystem::exists(std::filesystem::symlink_status(name, ec)))
        return name;
    std::string slashes = name;
    for (char& c : slashes)
        if (c == '\\') c = '/';
    const std::filesystem::path path(slashes);
    const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : ".";
    const bool usable = std::filesystem::exists(path, ec) || std::filesystem::is_directory(parent, ec);
    return usable ? slashes : name;
}

std::string ExecutableDirectory(const std::string& argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) return exe.parent_path().string();
    return DirectoryWithoutSeparator(argv0);
}
