#pragma once
// The text helpers every reader shares: trimming, ASCII letter case, quotes
// and comparisons that ignore letter case. Blanks are spaces, tabs, carriage
// returns and line feeds; bytes that are no ASCII letter (UTF-8 included)
// keep their value under every case change.
#include <string>
#include <string_view>

// Inline: the readers ask it of every byte of large files.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// The text without blanks at both ends.
std::string_view TrimView(std::string_view text);

inline char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);
// The first letter upper case, the others lower case ("fE" gives "Fe").
std::string Capitalised(std::string_view text);

// The text inside one pair of equal single or double quotes that enclose it
// whole; the text itself otherwise. Blanks are not trimmed.
std::string_view Unquote(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view text, std::string_view word);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The `name` of every row of a table, in order, joined by `separator`.
template <class Table>
std::string JoinNames(const Table& rows, const char* separator) {
    std::string names;
    for (const auto& row : rows) {
        if (!names.empty()) names += separator;
        names += row.name;
    }
    return names;
}
