#pragma once
// The lattice energy of a cell, E = E_recip + E_real + E_spring, and its exact
// first and second derivatives with respect to the fractional coordinates and
// to the lattice parameters p = a, b, c, cos alpha, cos beta, cos gamma.
#include <array>
#include <vector>

#include "commons.h"
#include "lattice_derivatives.h"

struct EnergyAtom {
  Vec3 x{};            // fractional coordinates
  int kind = 0;        // index into the pair tables, from 0
  double occupancy = 1;
  int shell = -1;      // shell partner of a core (index), -1 for none
  bool refined = false;  // second derivatives are accumulated for this atom
};

struct EnergyInput {
  std::array<double, 6> lattice{};  // a, b, c (Angstrom), cos alpha, cos beta, cos gamma
  std::vector<EnergyAtom> atoms;
  std::array<int, kMaxKinds> charge{};
  PairTable Z{}, A{}, B{}, C{}, PK{};
  double alpha = 0, rmin = 0, rdir = 0, rrep = 0, rdisp = 0, g2max = 0;
  std::array<int, 3> nmax{}, hmax{};
};

struct EnergyResult {
  double energy = 0;
  std::vector<double> gradient;     // 3 per atom
  std::vector<double> hessian;      // (3n) x (3n), row-major; rows and columns of refined atoms only
  std::array<double, 6> latticeGradient{};
  std::array<std::array<double, 6>, 6> latticeHessian{};
  std::vector<double> mixed;        // 6 x (3n): d2E / dp dx, lattice index first; refined atoms only
};

// Evaluates the energy and every derivative; `lattice` holds the metric data
// of input.lattice (latticeDerivatives).
void evaluateEnergy(const EnergyInput& input, const LatticeDerivatives& lattice, EnergyResult& result);

// The energy alone.
double latticeEnergy(const EnergyInput& input);
