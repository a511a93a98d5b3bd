#pragma once
// Reading the text files of simulation programs: lines of any length with LF
// or CR LF ends, searches that always stop at end of file, and numbers read
// with std::from_chars, also where a program runs them together.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_pointer.h"
#include "core/text_lines.h"

class CTextScanner {
public:
    CTextScanner() = default;
    explicit CTextScanner(const std::string& path) { Open(path); }

    // Opens the file for reading; false when it cannot be read (a directory included).
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();
    const std::string& FileName() const { return name_; }

    // The next line without its line end (LF, CR LF, or a lone CR before end of
    // file). False at end of file, with `line` empty.
    bool ReadLine(std::string& line);
    // Passes over n lines; false when end of file came first.
    bool SkipLines(int n);
    // Reads lines until one satisfies `predicate` and leaves it in `line`;
    // false at end of file.
    template <class Predicate>
    bool FindLine(Predicate predicate, std::string& line) {
        while (ReadLine(line))
            if (predicate(std::string_view(line))) return true;
        return false;
    }
    bool FindLineContaining(std::string_view text, std::string& line);
    // Number of lines that satisfy `predicate` from the current position to the end.
    template <class Predicate>
    long CountLines(Predicate predicate) {
        std::string line;
        long n = 0;
        while (ReadLine(line))
            if (predicate(std::string_view(line))) ++n;
        return n;
    }

    // Byte offset of the next line, and a return to such an offset.
    long Tell() const { return bufferStart_ + static_cast<long>(pos_); }
    bool Seek(long offset, long lineNumber);
    void Rewind() { Seek(0, 0); }
    // Lines read so far; the number of the line last returned.
    long LineNumber() const { return lineNumber_; }
    bool AtEnd();

private:
    bool Fill();

    FilePointer file_;
    std::string name_;
    std::vector<char> buffer_;
    size_t pos_ = 0, size_ = 0;
    long bufferStart_ = 0;
    long lineNumber_ = 0;
    bool eof_ = false;
};

// Lines of a whole text file, for small inputs read more than once.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

// Reads up to maxCount numbers from the start of `text`. Blanks, tabs and
// commas separate numbers, and a sign right after a number starts the next
// one ("-0.0769-0.4615" is two numbers). A Fortran exponent letter D is read
// as E. Reading stops at the first word that is not a number. Returns the
// count read; `end` (when given) receives the offset after the last number.
int ScanNumbers(std::string_view text, double* values, int maxCount, size_t* end = nullptr);
// The whole word as one number; false when any character is left over.
bool ParseNumber(std::string_view word, double& value);
bool ParseInteger(std::string_view word, long& value);
// The number at the start of `text` after blanks, as atof reads it: 0 when
// there is none, trailing characters ignored.
double LeadingNumber(std::string_view text);
long LeadingInteger(std::string_view text);
// Fixed columns: the number in text[column, column + width), as LeadingNumber
// of those characters only (0 when the line is shorter).
double FixedField(std::string_view text, size_t column, size_t width);

// Words separated by blanks, tabs, CR and LF.
std::vector<std::string_view> SplitWords(std::string_view text);
