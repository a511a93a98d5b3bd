#pragma once
// The BIOSYM archive 3 (CAR) writer: the crystal's cell and every site of the
// cell as Cartesian coordinates in angstrom.
#include <string>

class CCrystal;

// Writes the CAR file; "Can not write to [%s]." when it cannot be created.
// Returns 1, or -1 when the file could not be written.
int WriteCARFile(const std::string& fileName, const CCrystal& crystal);
