#pragma once
// An open C file that is closed when it goes out of scope, and the check that
// everything written to it has reached it.
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// True when everything written so far has reached the file (a full disk shows here).
inline bool AllWritten(std::FILE* file) { return std::fflush(file) == 0 && !std::ferror(file); }
