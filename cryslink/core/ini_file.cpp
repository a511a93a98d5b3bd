#include "core/ini_file.h"

#include <fstream>

#include "core/text_lines.h"

std::string GetPrivateProfileText(const std::string& section, const std::string& key, const std::string& defaultText,
                                  const std::string& path) {
    if (path.empty()) return defaultText;
    std::ifstream in(path, std::ios::binary);
    if (!in) return defaultText;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string_view text = TrimView(line);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const size_t close = text.find(']');
            inSection = EqualsNoCase(TrimView(text.substr(1, close == std::string_view::npos ? close : close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const size_t eq = text.find('=');
        if (eq == std::string_view::npos) continue;
        if (EqualsNoCase(TrimView(text.substr(0, eq)), key)) return std::string(TrimView(text.substr(eq + 1)));
    }
    return defaultText;
}
