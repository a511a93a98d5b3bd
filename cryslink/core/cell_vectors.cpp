#include "core/cell_vectors.h"

#include <cmath>

#include "core/containers.h"
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

void TurnForcesToLatticeFrame(CCrystal& crystal, const double fileVectors[3][3]) {
    // F' = F * inverse(file vectors) * (current vectors): the same map that takes
    // the positions from the file's frame into the crystal's.
    double inverse[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) inverse[i * 3 + j] = fileVectors[i][j];
    double determinant = 0;
    if (minver(inverse, 3, 3, 1e-6, &determinant) != 0) return;
    double map[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            map[i][j] = 0;
            for (int k = 0; k < 3; ++k) map[i][j] += inverse[i * 3 + k] * crystal.LatticeVector[k][j];
        }
    for (int s = 0; s < crystal.nAtomAsymSites; ++s) {
        CAtomSite& site = crystal.AtomAsymSites[s];
        const double f[3] = {site.ForceX, site.ForceY, site.ForceZ};
        site.ForceX = f[0] * map[0][0] + f[1] * map[1][0] + f[2] * map[2][0];
        site.ForceY = f[0] * map[0][1] + f[1] * map[1][1] + f[2] * map[2][1];
        site.ForceZ = f[0] * map[0][2] + f[1] * map[1][2] + f[2] * map[2][2];
    }
}
