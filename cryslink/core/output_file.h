#pragma once
// An output file closed when it goes out of scope, and the check that all
// written to it has reached it.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

// Creates (or truncates) the file; empty when it cannot be created or the name is empty.
inline OutputFile CreateOutputFile(const std::string& name) {
    return OutputFile(name.empty() ? nullptr : std::fopen(name.c_str(), "w"));
}

// True when everything written so far has reached the file (a full disk shows here).
inline bool AllWritten(std::FILE* file) { return std::fflush(file) == 0 && !std::ferror(file); }

// True when `name` is a regular file itself (not a link, device or directory):
// the only kind of file a failed write may remove.
inline bool IsPlainFile(const std::string& name) {
    std::error_code ec;
    return std::filesystem::symlink_status(name, ec).type() == std::filesystem::file_type::regular;
}

// Closes the file; when not all of it reached the disk a plain file is
// removed, so that no file cut short stays under its name (a device such as
// /dev/full or a link is left alone). True when it was written whole.
inline bool CloseOutputFile(OutputFile& file, const std::string& name) {
    const bool written = AllWritten(file.get());
    file.reset();
    if (!written && IsPlainFile(name)) std::remove(name.c_str());
    return written;
}
