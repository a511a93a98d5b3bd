#include "core/text_scanner.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr size_t kBlockSize = 1 << 16;

bool IsSeparator(char c) { return IsBlank(c) || c == ','; }
bool IsSign(char c) { return c == '+' || c == '-'; }

// Reads one number at text[i]; a Fortran exponent "D" reads as "E". On
// success `i` moves past it.
bool ReadOneNumber(std::string_view text, size_t& i, double& value) {
    size_t start = i;
    if (start < text.size() && text[start] == '+') ++start;  // from_chars takes no plus sign
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: read on as strtod would, to inf or 0.
        std::string copy(first, static_cast<size_t>(ptr - first));
        value = std::strtod(copy.c_str(), nullptr);
        ec = std::errc();
    }
    if (ec != std::errc()) return false;
    if (ptr < last && (*ptr == 'D' || *ptr == 'd') && ptr + 1 < last &&
        (std::isdigit(static_cast<unsigned char>(ptr[1])) ||
         (IsSign(ptr[1]) && ptr + 2 < last && std::isdigit(static_cast<unsigned char>(ptr[2]))))) {
        std::string copy(first, static_cast<size_t>(ptr - first));
        copy += 'E';
        const char* e = ptr + 1;
        if (IsSign(*e)) copy += *e++;
        while (e < last && std::isdigit(static_cast<unsigned char>(*e))) copy += *e++;
        std::from_chars(copy.data(), copy.data() + copy.size(), value);
        ptr = e;
    }
    i = static_cast<size_t>(ptr - text.data());
    return true;
}

}  // namespace

bool CTextScanner::Open(const std::string& path) {
    Close();
    name_ = path;
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) return false;
    buffer_.resize(kBlockSize);
    return true;
}

void CTextScanner::Close() {
    file_.reset();
    pos_ = size_ = 0;
    bufferStart_ = 0;
    lineNumber_ = 0;
    eof_ = false;
}

bool CTextScanner::Fill() {
    if (!file_ || eof_) return false;
    // Keep the unread tail at the front of the buffer.
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, size_ - pos_);
        bufferStart_ += static_cast<long>(pos_);
        size_ -= pos_;
        pos_ = 0;
    }
    if (buffer_.size() - size_ < kBlockSize / 2) buffer_.resize(buffer_.size() * 2);
    const size_t got = std::fread(buffer_.data() + size_, 1, buffer_.size() - size_, file_.get());
    if (got == 0) eof_ = true;
    size_ += got;
    return got > 0;
}

bool CTextScanner::ReadLine(std::string& line) {
    line.clear();
    if (!file_) return false;
    for (size_t scanned = pos_;;) {
        const char* begin = buffer_.data() + scanned;
        const void* found = std::memchr(begin, '\n', size_ - scanned);
        if (found) {
            const size_t end = static_cast<size_t>(static_cast<const char*>(found) - buffer_.data());
            size_t stop = end;
            if (stop > pos_ && buffer_[stop - 1] == '\r') --stop;
            line.assign(buffer_.data() + pos_, stop - pos_);
            pos_ = end + 1;
            ++lineNumber_;
            return true;
        }
        const size_t offset = size_ - pos_;
        if (!Fill()) {
            if (pos_ == size_) return false;
            size_t stop = size_;
            if (stop > pos_ && buffer_[stop - 1] == '\r') --stop;
            line.assign(buffer_.data() + pos_, stop - pos_);
            pos_ = size_;
            ++lineNumber_;
            return true;
        }
        scanned = pos_ + offset;
    }
}

bool CTextScanner::SkipLines(int n) {
    std::string line;
    for (int i = 0; i < n; ++i)
        if (!ReadLine(line)) return false;
    return true;
}

bool CTextScanner::FindLineContaining(std::string_view text, std::string& line) {
    return FindLine([text](std::string_view l) { return l.find(text) != std::string_view::npos; }, line);
}

bool CTextScanner::Seek(long offset, long lineNumber) {
    if (!file_) return false;
    if (offset >= bufferStart_ && offset <= bufferStart_ + static_cast<long>(size_)) {
        pos_ = static_cast<size_t>(offset - bufferStart_);
    } else {
        if (std::fseek(file_.get(), offset, SEEK_SET) != 0) return false;
        bufferStart_ = offset;
        pos_ = size_ = 0;
        eof_ = false;
    }
    lineNumber_ = lineNumber;
    return true;
}

bool CTextScanner::AtEnd() { return !file_ || (pos_ == size_ && !Fill()); }

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    CTextScanner scanner;
    if (!scanner.Open(path)) return false;
    std::string line;
    while (scanner.ReadLine(line)) lines.push_back(line);
    return true;
}

int ScanNumbers(std::string_view text, double* values, int maxCount, size_t* end) {
    int count = 0;
    size_t i = 0, after = 0;
    while (count < maxCount) {
        while (i < text.size() && IsSeparator(text[i])) ++i;
        if (i >= text.size()) break;
        double value = 0;
        if (!ReadOneNumber(text, i, value)) break;
        // "1.5abc" is no number: a number ends at a separator, a sign or the end.
        if (i < text.size() && !IsSeparator(text[i]) && !IsSign(text[i])) break;
        values[count++] = value;
        after = i;
    }
    if (end) *end = after;
    return count;
}

bool ParseNumber(std::string_view word, double& value) {
    size_t i = 0;
    return !word.empty() && ReadOneNumber(word, i, value) && i == word.size();
}

bool ParseInteger(std::string_view word, long& value) {
    if (!word.empty() && word[0] == '+') word.remove_prefix(1);
    auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && ec == std::errc() && ptr == word.data() + word.size();
}

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    double value = 0;
    return ReadOneNumber(text, i, value) ? value : 0.0;
}

long LeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    long value = 0;
    std::from_chars(text.data() + i, text.data() + text.size(), value);
    return value;
}

double FixedField(std::string_view text, size_t column, size_t width) {
    if (column >= text.size()) return 0.0;
    return LeadingNumber(text.substr(column, width));
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        const size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

