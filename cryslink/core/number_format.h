#pragma once
// Fast number formatting for large output files: the same characters as
// printf's "%*.*f" and "%*d", built with std::to_chars.
#include <string>

// Appends value as printf("%*.*f", width, precision, value) would write it.
void AppendFixed(std::string& out, double value, int width, int precision);
// Appends value as printf("%*d", width, value) would write it.
void AppendInt(std::string& out, long value, int width);
