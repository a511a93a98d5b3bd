#pragma once
// DV-Xa input files (F01): the spin and Madelung lines set from the options
// Spin and Madelung, and a leading title line moved to the end.
#include <string>

// Copies source to target byte for byte. True at once when both name one
// file; false when either cannot be opened or the copy is incomplete.
bool CopyFileBytes(const std::string& source, const std::string& target);

// Backs F01 up as F01.prev, then writes the converted text beside F01 and
// renames it over F01 once complete. 1; -1 when the backup cannot be made,
// -2 when it cannot be read, -3 when F01 cannot be written (F01 unchanged).
int DVXaF01Conv(const std::string& f01Path);
