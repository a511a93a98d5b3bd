#include "core/cell_vectors.h"

#include <cmath>

#include "core/crystal.h"

namespace {

constexpr double kRadToDeg = 180.0 / 3.1415926535;

double Dot(const double* u, const double* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

// The angle between two vectors in degrees; 0 when one of them has no length.
double Angle(const double* u, const double* v) {
    const double norm = std::sqrt(Dot(u, u) * Dot(v, v));
    if (norm <= 0.0) return 0.0;
    return std::acos(std::fmax(-1.0, std::fmin(1.0, Dot(u, v) / norm))) * kRadToDeg;
}

}  // namespace

void SetLatticeFromVectors(CCrystal& crystal, const double vectors[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) crystal.LatticeVector[i][j] = vectors[i][j];
    const double* a = vectors[0];
    const double* b = vectors[1];
    const double* c = vectors[2];
    crystal.SetLatticeParameters(std::sqrt(Dot(a, a)), std::sqrt(Dot(b, b)), std::sqrt(Dot(c, c)), Angle(b, c),
                                 Angle(a, c), Angle(a, b));
}
