#include "core/text_lines.h"

#include <algorithm>

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string ToLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = ToLower(c);
    return lower;
}

std::string ToUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = ToUpper(c);
    return upper;
}

std::string Capitalised(std::string_view text) {
    std::string out = ToLower(text);
    if (!out.empty()) out[0] = ToUpper(out[0]);
    return out;
}

std::string_view Unquote(std::string_view text) {
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

namespace {
bool SameNoCase(char p, char q) { return ToUpper(p) == ToUpper(q); }
}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameNoCase);
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), SameNoCase) != text.end();
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}
