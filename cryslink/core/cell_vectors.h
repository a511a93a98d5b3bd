#pragma once
// A cell as simulation programs print it: three Cartesian vectors. Positions
// given in Cartesian coordinates belong to these vectors, so they are turned
// into fractional coordinates with them, before the crystal's vectors are put
// into the standard orientation (a along x, b in the xy plane).
class CCrystal;

// Sets the crystal's lattice vectors to `vectors` (rows a, b, c in nm) and its
// lattice parameters to their lengths and angles (degrees). Metric and volume
// follow with CCrystal::CalculateLatticeVectors, which also turns the vectors
// into the standard orientation; convert Cartesian positions before that call.
void SetLatticeFromVectors(CCrystal& crystal, const double vectors[3][3]);

// Turns the forces of the asymmetric sites, given in the Cartesian frame of
// `fileVectors`, into the frame of the crystal's current lattice vectors, so
// that they stay with the positions once the cell is in the standard
// orientation. A cell that cannot be inverted leaves them as they are.
void TurnForcesToLatticeFrame(CCrystal& crystal, const double fileVectors[3][3]);
