#pragma once
// Extended XYZ trajectories, as ASE, OVITO and the machine-learned potential
// codes read them: per frame the atom count, a comment line holding the cell
// (Lattice="ax ay az bx by bz cx cy cz"), the columns (species, positions in
// angstrom, forces in eV/A), the energy in eV when the frame has one, and
// pbc="T T T", then one line per atom.
#include <cstdio>

class CCrystal;

// An extended XYZ file has no header: each frame is complete in itself.
void WriteExtXYZHeader(std::FILE* file, int nFrames);
void WriteExtXYZFrame(std::FILE* file, int number, const CCrystal& crystal, double forceToEvPerAngstrom);
