#pragma once
// The direct metric, the 4 pi^2-scaled reciprocal metric and the volume as
// functions of the lattice parameters p = a, b, c, cos alpha, cos beta,
// cos gamma, with their first and second derivatives.
#include <array>

using Metric9 = std::array<double, 9>;  // g11, g22, g33, g23, g31, g12, 2g23, 2g31, 2g12

struct LatticeDerivatives {
  Metric9 G{}, RG{};                                     // direct and scaled reciprocal metric
  double V = 0, VS = 0;                                  // volume and 1/V
  std::array<Metric9, 6> GF{}, RGF{};                    // first derivatives
  std::array<std::array<Metric9, 6>, 6> GW{}, RGW{};     // second derivatives
  std::array<double, 6> VF{};
  std::array<std::array<double, 6>, 6> VW{};
};

// p = a, b, c (Angstrom) and the cosines of alpha, beta, gamma.
LatticeDerivatives latticeDerivatives(const std::array<double, 6>& p);

// The quadratic form of a nine-value metric: m11 d1^2 + ... + 2m12 d1 d2.
inline double quadratic(const Metric9& m, double d1, double d2, double d3) {
  return m[0] * d1 * d1 + m[1] * d2 * d2 + m[2] * d3 * d3 + m[6] * d2 * d3 + m[7] * d3 * d1 + m[8] * d1 * d2;
}

// M d for a nine-value metric (the symmetric 3 x 3 matrix times a vector).
inline std::array<double, 3> apply(const Metric9& m, double d1, double d2, double d3) {
  return {m[0] * d1 + m[5] * d2 + m[4] * d3, m[5] * d1 + m[1] * d2 + m[3] * d3,
          m[4] * d1 + m[3] * d2 + m[2] * d3};
}
