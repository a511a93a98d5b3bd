#include "core/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/file_pointer.h"

namespace {

// The file a name stands for: where its link, or chain of links, leads (a
// relative link read from the link's own directory), else the name itself.
// Empty for links that lead round in a circle.
std::string FollowLinks(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path path = name;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return hops == 0 ? name : path.string();
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) return {};
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return {};
}

}  // namespace

bool CStagedFile::Open(const std::string& name, Mode mode) {
    Discard();
    if (name.empty()) return false;
    mode_ = mode;
    struct stat info {};
    bool exists = false;
    if (mode == Mode::kNew) {
        // Never through a link: the name itself must be free.
        target_ = name;
        if (lstat(name.c_str(), &info) == 0) return false;
    } else {
        target_ = FollowLinks(name);
        if (target_.empty()) return false;
        exists = stat(target_.c_str(), &info) == 0;
        // A write-protected file is not replaced, as it would not be overwritten.
        if (exists && S_ISREG(info.st_mode) && access(target_.c_str(), W_OK) != 0) return false;
        if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
            // A device or FIFO takes what is written as it comes; there is no file to replace.
            file_ = std::fopen(target_.c_str(), mode == Mode::kAppend ? "ab" : "wb");
            return file_ != nullptr;
        }
    }
    const int fd = CreateTemporary();
    if (fd < 0) return false;
    // A file that replaces another keeps the owner (where it may) and the
    // permissions of the one it replaces.
    const bool replaces = exists && S_ISREG(info.st_mode);
    if (replaces && fchown(fd, info.st_uid, info.st_gid) != 0) {
        // Owned by whoever writes it, then.
    }
    fchmod(fd, replaces ? info.st_mode & 0777 : 0666 & ~CurrentUmask());
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        std::remove(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    // A table that cannot be read is not added to. One that cannot be copied
    // whole for want of room fails at Commit, as the rows after it would.
    if (mode == Mode::kAppend && exists && !CopyFrom(target_) && !std::ferror(file_)) {
        Discard();
        return false;
    }
    return true;
}

int CStagedFile::CreateTemporary() {
    // A name of its own beside the target, so two runs never share it.
    temporary_ = target_ + ".part.XXXXXX";
    int fd = mkstemp(temporary_.data());
    if (fd < 0 && errno == ENAMETOOLONG) {
        // A target name near the longest allowed: a short name in its directory.
        const size_t slash = target_.find_last_of('/');
        temporary_ = (slash == std::string::npos ? std::string() : target_.substr(0, slash + 1)) + ".part.XXXXXX";
        fd = mkstemp(temporary_.data());
    }
    if (fd < 0) temporary_.clear();
    return fd;
}

mode_t CStagedFile::CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

bool CStagedFile::CopyFrom(const std::string& source) {
    if (!file_) return false;
    FilePointer in(std::fopen(source.c_str(), "rb"));
    if (!in) return false;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        if (std::fwrite(buffer, 1, n, file_) != n) return false;
    return !std::ferror(in.get());
}

bool CStagedFile::Commit() {
    if (!file_) return false;
    const bool written = AllWritten(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (temporary_.empty()) return written && closed;  // written directly: nothing to rename or remove
    const bool placed = written && closed && Place();
    if (!placed) std::remove(temporary_.c_str());
    temporary_.clear();
    return placed;
}

// Puts the complete temporary file under its name. A new file goes there
// only while the name is free: a file that took it meanwhile is kept.
bool CStagedFile::Place() {
    if (mode_ != Mode::kNew) return std::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a second link never replaces a file either.
    if (link(temporary_.c_str(), target_.c_str()) != 0) return false;
    std::remove(temporary_.c_str());
    return true;
}

void CStagedFile::Discard() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
}
