#include "core/text_lines.h"

std::string TrimLine(const std::string& text) {
    const char* kBlank = " \t\r\n";
    size_t first = text.find_first_not_of(kBlank);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(kBlank);
    return text.substr(first, last - first + 1);
}
