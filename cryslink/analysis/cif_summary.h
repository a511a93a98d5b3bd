#pragma once
#include <string>

struct RunContext;

// The ShowCIFInf action: lattice, volume, density, atom types, optionally the
// asymmetric unit and all atoms, and the composition of the cell.
// 1, or -1 when the file cannot be read.
int ShowCIFInf(const RunContext& context, const std::string& cifFile);
