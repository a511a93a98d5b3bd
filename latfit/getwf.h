#pragma once
// The energy derivatives of the current cell for the fit, over the shared data areas.
#include <array>
#include <vector>

#include "commons.h"

struct FitDerivatives {
  std::vector<double> gradient;  // dE/dx of every atom, 3 per atom
  std::vector<double> hessian;   // (3 kMaxAtoms)^2, row-major; atoms with a switch set
  std::array<double, 6> latticeGradient{};
  std::array<std::array<double, 6>, 6> latticeHessian{};
  std::vector<double> mixed;     // 6 x 3 kMaxAtoms, lattice index first
  int stride = 0;                // 3 x number of atoms in the cell
};

// Recomputes the metric, the scaled reciprocal metric, V and /DIFF/ from the
// lattice constants; prints them when fflag is non-zero.
void calg(int fflag);

// Fills `out` from the cell, the pair tables and the ranges; prints the
// derivatives when fflag is non-zero.
void getwf(FitDerivatives& out, int fflag);
