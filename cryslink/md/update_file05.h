#pragma once
// Preparing the control input (FILE05, .f05) of the next run in a chain of TORV runs.
#include <string>

struct RunContext;

// Name of the next run's control file: base-NNN.ext for sn >= 1, base.ext.new
// otherwise, where a "-" suffix of three characters starting with a digit is
// dropped from the base.
std::string MakeNextFILE05Name(const std::string& inputFile, int sn);

// Copies the control file to its next name, rewriting the cycle count (line 3),
// temperature and ramp (line 5) and pressure (line 6) from the options.
// Returns 0, or -1 when the input cannot be read or the new file not written.
int UpdateFILE05(const RunContext& context, const std::string& inputFile);
