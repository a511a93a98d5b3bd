#pragma once
// Fitting cycle: refines the switched coordinates and lattice constants by
// Newton steps on the energy derivatives, then writes the structure back.
#include <string>
#include <vector>

#include "getwf.h"

// Runs the fitting cycle on the state held in the shared data areas.
void fitlsq(const std::string& spaceGroupSymbol);

// One refined parameter: a coordinate (atom, axis) or a lattice constant (lattice 0..5).
struct FitParameter {
  int atom = -1, axis = -1, lattice = -1;
};

// The refined parameters in their order: coordinates atom by atom (x, y, z),
// then a, b, c, alpha, beta, gamma.
std::vector<FitParameter> refinedParameters();

// The reduced system: gradient F and matrix W (column-major, n x n).
void extmt(const std::vector<FitParameter>& params, const FitDerivatives& d, std::vector<double>& f,
           std::vector<double>& w);

// Applies -delta to the refined parameters (angles through their cosines)
// and prints old and new values.
void newcod(const std::vector<double>& delta);

// The power of ten that brings wmax into (0.5, 5].
double scaleFactor(double wmax);
