#include "core/staged_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "core/output_file.h"

bool CStagedFile::Open(const std::string& name) {
    Discard();
    if (name.empty()) return false;
    name_ = name;
    // A name of its own beside the target, so two runs never share it.
    temporary_ = name + ".part.XXXXXX";
    const int fd = mkstemp(temporary_.data());
    if (fd < 0) return false;
    // A file that replaces another keeps the permissions of the one it replaces.
    struct stat info {};
    if (stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode)) fchmod(fd, info.st_mode & 07777);
    else fchmod(fd, 0666 & ~CurrentUmask());
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        std::remove(temporary_.c_str());
    }
    return file_ != nullptr;
}

mode_t CStagedFile::CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

bool CStagedFile::Commit() {
    if (!file_) return false;
    const bool written = AllWritten(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed || std::rename(temporary_.c_str(), name_.c_str()) != 0) {
        std::remove(temporary_.c_str());
        return false;
    }
    return true;
}

void CStagedFile::Discard() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(temporary_.c_str());
}
