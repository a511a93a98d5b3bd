#pragma once
// The program's run: control input, files, geometry, fit and end block.
#include <istream>

// Runs every phase on the control input and returns the exit status.
int runLatfit(std::istream& control);
