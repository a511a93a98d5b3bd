#pragma once
#include <string>

class CCrystal;

// Writes the crystal's cell, space group, atom types and asymmetric sites as a
// CIF file. Fills an empty ChemicalFormula. 1, or -1 when the file cannot be created.
int WriteCIFFile(CCrystal& crystal, const std::string& path);

// Prints "Make CIFFile of <stage> structure [<path>]." and writes the CIF file.
int MakeCIFFile(CCrystal& crystal, const char* stage, const std::string& path);
