#pragma once
// The one way a file is written: the text goes to a temporary file beside its
// target and is renamed onto the target by Commit, only when all of it was
// written. A write that fails (a full disk, a size limit) or a run that stops
// half way leaves an older file of the name as it was and no half-written one.
//
// A name that is a link is written through it: the temporary file stands
// beside the file the link points to and replaces that file, so the link
// stays and points at the new one. A device or FIFO is written into directly;
// a failure there is reported by Commit and nothing is removed. A directory
// under the name is left alone: Commit fails (Open, when appending). A file
// replaced keeps its permissions and, where the writer may give it, its
// owner; a write-protected file is not replaced (Open fails).
#include <sys/types.h>

#include <cstdio>
#include <string>

class CStagedFile {
public:
    enum class Mode {
        kReplace,  // the new file replaces any file of the name
        kAppend,   // the new file is the old one (when there is one) with what is written added
        kNew,      // the name must be free, and the file is put there only if it still is at Commit
    };

    CStagedFile() = default;
    CStagedFile(const CStagedFile&) = delete;
    CStagedFile& operator=(const CStagedFile&) = delete;
    ~CStagedFile() { Discard(); }

    // Creates the temporary file beside `name` (binary mode), with the
    // permissions of a file already under that name; false when it cannot be
    // created or that file may not be written, and in kNew when something has
    // the name already.
    bool Open(const std::string& name, Mode mode = Mode::kReplace);
    std::FILE* get() const { return file_; }
    // Adds the bytes of the file `source` to what is written; false when it
    // cannot be read whole or the copy cannot be written.
    bool CopyFrom(const std::string& source);
    // Writes out, closes and renames the file to its name; false (the older
    // file of the name as it was) when anything could not be written.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

private:
    int CreateTemporary();
    bool Place();
    static mode_t CurrentUmask();

    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::kReplace;
    std::string target_;     // the file replaced: the name, or where its links lead
    std::string temporary_;  // empty when the target is written directly
};
