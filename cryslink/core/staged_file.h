#pragma once
// An output file that appears under its name only when it was written to the
// end: it is written under a temporary name and renamed by Commit, so a run
// that stops half way leaves no half-written file behind.
#include <sys/types.h>

#include <cstdio>
#include <string>

class CStagedFile {
public:
    CStagedFile() = default;
    CStagedFile(const CStagedFile&) = delete;
    CStagedFile& operator=(const CStagedFile&) = delete;
    ~CStagedFile() { Discard(); }

    // Creates the temporary file beside `name` (binary mode), with the permissions
    // of a file already under that name; false when it cannot be created.
    bool Open(const std::string& name);
    std::FILE* get() const { return file_; }
    // Writes out, closes and renames the file to its name; false (and no file
    // under the name) when anything could not be written.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

private:
    static mode_t CurrentUmask();

    std::FILE* file_ = nullptr;
    std::string name_, temporary_;
};
