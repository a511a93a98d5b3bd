#include "core/ini_file.h"

#include <fstream>
#include <strings.h>

#include "core/text_lines.h"

std::string GetPrivateProfileText(const std::string& section, const std::string& key, const std::string& defaultText,
                                  const std::string& path) {
    if (path.empty()) return defaultText;
    std::ifstream in(path, std::ios::binary);
    if (!in) return defaultText;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string text = TrimLine(line);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const size_t close = text.find(']');
            const std::string name = TrimLine(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = strcasecmp(name.c_str(), section.c_str()) == 0;
            continue;
        }
        if (!inSection) continue;
        const size_t eq = text.find('=');
        if (eq == std::string::npos) continue;
        if (strcasecmp(TrimLine(text.substr(0, eq)).c_str(), key.c_str()) == 0) return TrimLine(text.substr(eq + 1));
    }
    return defaultText;
}
