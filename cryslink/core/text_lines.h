#pragma once
// The text helpers every reader shares: trimming, ASCII letter case, quotes
// and comparisons that ignore letter case. Blanks are spaces, tabs, carriage
// returns and line feeds; bytes that are no ASCII letter (UTF-8 included)
// keep their value under every case change.
#include <string>
#include <string_view>

bool IsBlank(char c);
// The text without blanks at both ends.
std::string_view TrimView(std::string_view text);

char ToLower(char c);
char ToUpper(char c);
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
