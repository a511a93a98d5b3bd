#pragma once
// DV-Xa input files (F01): the spin and Madelung lines set from the options
// Spin and Madelung, and a leading title line moved to the end.
#include <string>

struct RunContext;

// Copies source to target byte for byte into a file created anew. True at once
// when both name one file; false when the source cannot be read whole, or the
// target exists already or appears during the copy (nothing is then written
// under the target's name).
bool CopyFileBytes(const std::string& source, const std::string& target);

// Backs F01 up as F01.prev (F01.prev2, F01.prev3 ... when that exists), then writes the converted text beside F01 and
// renames it over F01 once complete. 1; -1 when the backup cannot be made,
// -2 when it cannot be read, -3 when F01 cannot be written (F01 unchanged).
int DVXaF01Conv(const RunContext& context, const std::string& f01Path);
