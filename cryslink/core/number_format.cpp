#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

void AppendPadded(std::string& out, const char* begin, const char* end, int width) {
    const long length = end - begin;
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(begin, end);
}

}  // namespace

void AppendFixed(std::string& out, double value, int width, int precision) {
    char buffer[400];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (ec != std::errc()) {  // beyond the buffer: only for absurd magnitudes
        const int n = std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
        ptr = buffer + (n < 0 ? 0 : std::min<int>(n, sizeof buffer - 1));
    }
    AppendPadded(out, buffer, ptr, width);
}

void AppendInt(std::string& out, long value, int width) {
    char buffer[24];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    AppendPadded(out, buffer, ptr, width);
}
