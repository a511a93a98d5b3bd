#include "core/cell_vectors.h"

#include <cmath>

#include "core/containers.h"
#include "core/crystal.h"
#include "core/units.h"

namespace {

double Dot(const double* u, const double* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

// The angle between two vectors in degrees; 0 when one of them has no length.
double Angle(const double* u, const double* v) {
    const double norm = std::sqrt(Dot(u, u) * Dot(v, v));
    if (norm <= 0.0) return 0.0;
    return std::acos(std::fmax(-1.0, std::fmin(1.0, Dot(u, v) / norm))) * units::kRadToDeg;
}

// Lengths (unit of the vectors) and angles alpha, beta, gamma (degrees) of the rows a, b, c.
void CellParameters(const double vectors[3][3], double parameters[6]) {
    const double* a = vectors[0];
    const double* b = vectors[1];
    const double* c = vectors[2];
    parameters[0] = std::sqrt(Dot(a, a));
    parameters[1] = std::sqrt(Dot(b, b));
    parameters[2] = std::sqrt(Dot(c, c));
    parameters[3] = Angle(b, c);
    parameters[4] = Angle(a, c);
    parameters[5] = Angle(a, b);
}

}  // namespace

bool CCellVectors::Set(const double vectors[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) v[i][j] = vectors[i][j];
    // Cofactors of the rows give the inverse (columns are the reciprocal vectors).
    double c[3][3];
    for (int i = 0; i < 3; ++i) {
        const double* p = v[(i + 1) % 3];
        const double* q = v[(i + 2) % 3];
        c[i][0] = p[1] * q[2] - p[2] * q[1];
        c[i][1] = p[2] * q[0] - p[0] * q[2];
        c[i][2] = p[0] * q[1] - p[1] * q[0];
    }
    const double det = Dot(v[0], c[0]);
    const double scale = std::sqrt(Dot(v[0], v[0]) * Dot(v[1], v[1]) * Dot(v[2], v[2]));
    valid_ = std::isfinite(det) && scale > 0 && std::fabs(det) > 1e-10 * scale;
    if (!valid_) return false;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) inverse_[j][i] = c[i][j] / det;
    return true;
}

void CCellVectors::ToFractional(const double r[3], double f[3]) const {
    for (int i = 0; i < 3; ++i) f[i] = r[0] * inverse_[0][i] + r[1] * inverse_[1][i] + r[2] * inverse_[2][i];
}

void CCellVectors::ToCartesian(const double f[3], double r[3]) const {
    for (int j = 0; j < 3; ++j) r[j] = f[0] * v[0][j] + f[1] * v[1][j] + f[2] * v[2][j];
}

void SetCrystalCell(CCrystal& crystal, const CCellVectors& cell, double toNm) {
    double p[6];
    CellParameters(cell.v, p);
    crystal.SetLatticeParameters(p[0] * toNm, p[1] * toNm, p[2] * toNm, p[3], p[4], p[5]);
    crystal.CalculateLatticeVectors();
}

void SetLatticeFromVectors(CCrystal& crystal, const double vectors[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) crystal.LatticeVector[i][j] = vectors[i][j];
    double p[6];
    CellParameters(vectors, p);
    crystal.SetLatticeParameters(p[0], p[1], p[2], p[3], p[4], p[5]);
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
