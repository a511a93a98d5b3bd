#pragma once
// Fortran-style field rendering for the program's printed lines and files.
// Each function returns exactly w characters; a value that does not fit is
// shown as w asterisks, as a Fortran formatted write does.
#include <string>

std::string fmtI(long long value, int w);           // Iw
std::string fmtF(double value, int w, int d);       // Fw.d
std::string fmtE(double value, int w, int d);       // Ew.d: 0.ddddddE+ee, 0.dddddd+eee
std::string fmtG(double value, int w, int d);       // Gw.d
std::string fmtA(const std::string& text, int w);   // Aw

// Item of a free-format (list-directed) line: an integer without padding.
std::string freeInt(long long value);
