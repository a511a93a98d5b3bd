#pragma once
// The XSF file of a TORV run, written in place and removed when a write fails.
// Every other file is written through CStagedFile (core/staged_file.h).
#include <filesystem>
#include <string>

#include "core/file_pointer.h"

using OutputFile = FilePointer;

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
