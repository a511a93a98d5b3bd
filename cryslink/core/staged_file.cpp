#include "core/staged_file.h"

#include "core/output_file.h"

bool CStagedFile::Open(const std::string& name) {
    Discard();
    if (name.empty()) return false;
    name_ = name;
    temporary_ = name + ".part";
    file_ = std::fopen(temporary_.c_str(), "wb");
    return file_ != nullptr;
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
