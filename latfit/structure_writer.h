#pragma once
// Writing the refined structure back into the structure data file, in the
// layout its reader accepts for the next run.
#include <string>

// Writes the structure to a temporary file beside the structure data file and
// renames it over the original once complete. On failure the original is
// kept, one line says so, and the result is false.
bool wrfl07(const std::string& spaceGroupSymbol);
