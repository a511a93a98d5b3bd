#include "core/symmetry_operation.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/text_lines.h"

namespace {

// Parses an unsigned number "d", "d.d", ".d" or "n/d" at text[pos]; advances pos.
bool ParseNumber(const std::string& text, size_t& pos, double& value) {
    size_t start = pos;
    while (pos < text.size() && (std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == '.')) ++pos;
    if (pos == start) return false;
    const std::string number = text.substr(start, pos - start);
    char* end = nullptr;
    value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return false;
    if (pos < text.size() && text[pos] == '/') {
        size_t denStart = ++pos;
        while (pos < text.size() && (std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == '.')) ++pos;
        if (pos == denStart) return false;
        const std::string den = text.substr(denStart, pos - denStart);
        double d = std::strtod(den.c_str(), &end);
        if (end != den.c_str() + den.size() || d == 0.0) return false;
        value /= d;
    }
    return true;
}

int AxisIndex(char c) {
    switch (c) {
        case 'x': return 0;
        case 'y': return 1;
        case 'z': return 2;
        default: return -1;
    }
}

// One component, already without blanks and in lower case, e.g. "-x+y+1/2".
bool ParseComponent(const std::string& text, double row[3], double& shift) {
    row[0] = row[1] = row[2] = 0.0;
    shift = 0.0;
    if (text.empty()) return false;
    size_t pos = 0;
    while (pos < text.size()) {
        double sign = 1.0;
        if (text[pos] == '+' || text[pos] == '-') {
            sign = text[pos] == '-' ? -1.0 : 1.0;
            ++pos;
        } else if (pos != 0) {
            return false;  // terms after the first need a sign
        }
        if (pos >= text.size()) return false;
        double number = 1.0;
        const bool hasNumber = ParseNumber(text, pos, number);
        if (hasNumber && pos < text.size() && text[pos] == '*') ++pos;
        const int axis = pos < text.size() ? AxisIndex(text[pos]) : -1;
        if (axis >= 0) {
            row[axis] += sign * number;
            ++pos;
        } else if (hasNumber) {
            shift += sign * number;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseSymmetryOperation(const std::string& text, double rot[3][3], double trans[3]) {
    std::string compact;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) compact += ToLower(c);
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t comma = compact.find(',', start);
        if ((i < 2) != (comma != std::string::npos)) return false;
        const std::string component = compact.substr(start, i < 2 ? comma - start : std::string::npos);
        if (!ParseComponent(component, rot[i], trans[i])) return false;
        start = comma + 1;
    }
    return true;
}

bool PositionPartOfOperation(const std::string& text, std::string& position) {
    position.clear();
    size_t start = 0;
    for (int component = 0;; ++component) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (part.find_first_not_of(" \t") == std::string::npos) return false;
        if (component < 3) {
            if (component > 0) position += ',';
            for (size_t i = 0; i < part.size(); ++i) {
                const char c = part[i];
                const bool indexed = (c == 'x' || c == 'X') && i + 1 < part.size() &&
                                     std::isdigit(static_cast<unsigned char>(part[i + 1]));
                if (!indexed) {
                    position += c;
                    continue;
                }
                const char axis = part[++i];
                if (axis < '1' || axis > '3') return false;
                position += "xyz"[axis - '1'];
            }
        }
        if (comma == std::string::npos) return component >= 2;
        start = comma + 1;
    }
}

std::string FractionText(double value) {
    static const struct {
        double value;
        const char* text;
    } kFractions[] = {
        {0.5, "1/2"},      {-0.5, "-1/2"},     {0.25, "1/4"},   {-0.25, "-1/4"},   {0.75, "3/4"},   {-0.75, "-3/4"},
        {0.33333, "1/3"},  {-0.33333, "-1/3"}, {0.66667, "2/3"}, {-0.66667, "-2/3"}, {0.125, "1/8"}, {-0.125, "-1/8"},
        {0.375, "3/8"},    {-0.375, "-3/8"},   {0.625, "5/8"},   {-0.625, "-5/8"},   {0.875, "7/8"}, {-0.875, "-7/8"},
    };
    for (const auto& f : kFractions)
        if (std::fabs(value - f.value) < 1e-5) return f.text;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%lg", value);
    return buffer;
}
