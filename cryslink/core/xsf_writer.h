#pragma once
#include <cstdio>

class CCrystal;

// Writes one animation frame (lattice vectors and every site of the cell with
// its force) to an open XSF file. Returns the number of atom lines written.
int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal);
