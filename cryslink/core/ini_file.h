#pragma once
// Reading a value from an INI-style file of [sections] and key=value lines.
#include <string>

// The text of `key` in `section` of the file at `path`: sections and keys are
// matched without regard to case, blanks around names and values are trimmed,
// lines starting with ";" are comments. An absent file, section or key yields
// `defaultText`. The first occurrence of a key in the section counts.
std::string GetPrivateProfileText(const std::string& section, const std::string& key, const std::string& defaultText,
                                  const std::string& path);
