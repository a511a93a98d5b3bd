#pragma once
#include <cstdio>
#include <string>

#include "core/output_file.h"

class CCrystal;

// Writes one animation frame (lattice vectors and every site of the cell with
// its force) to an open XSF file. Returns the number of atom lines written.
int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal);

// Opens an XSF file for writing in binary mode (line ends "\n" everywhere);
// prints "Can not write to [<name>]." and gives no file when it cannot.
OutputFile OpenXSFFile(const std::string& name);
