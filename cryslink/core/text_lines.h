#pragma once
// Small helpers for reading text files line by line.
#include <string>

// The text without blanks, tabs, carriage returns and line feeds at both ends.
std::string TrimLine(const std::string& text);
