#pragma once
// XSF animations for structure viewers: the header announcing the number of
// frames, and frames of the lattice vectors and every site with its force.
#include <cstdio>

class CCrystal;

// "ANIMSTEPS <nFrames>", "CRYSTAL" and an empty line.
void WriteXSFHeader(std::FILE* file, int nFrames);

// Writes one animation frame (lattice vectors and every site of the cell with
// its force as stored) to an open XSF file. Returns the number of atom lines written.
int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal);

// WriteXSFFrame as a trajectory writer: XSF forces stay in the unit of their program.
void WriteXSFTrajectoryFrame(std::FILE* file, int number, const CCrystal& crystal, double forceToEvPerAngstrom);
