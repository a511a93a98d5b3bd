#include "core/cell_from_vectors.h"

#include <cmath>

#include "core/crystal.h"

namespace {
constexpr double kRadToDeg = 180.0 / 3.1415926535;

double Dot(const double* p, const double* q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; }

double Angle(const double* p, const double* q) {
    const double n = std::sqrt(Dot(p, p) * Dot(q, q));
    if (n <= 0) return 90.0;
    return std::acos(std::fmax(-1.0, std::fmin(1.0, Dot(p, q) / n))) * kRadToDeg;
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

void CCellVectors::Parameters(double& a, double& b, double& c, double& alpha, double& beta, double& gamma) const {
    a = std::sqrt(Dot(v[0], v[0]));
    b = std::sqrt(Dot(v[1], v[1]));
    c = std::sqrt(Dot(v[2], v[2]));
    alpha = Angle(v[1], v[2]);
    beta = Angle(v[0], v[2]);
    gamma = Angle(v[0], v[1]);
}

void SetCrystalCell(CCrystal& crystal, const CCellVectors& cell, double toNm) {
    double a, b, c, alpha, beta, gamma;
    cell.Parameters(a, b, c, alpha, beta, gamma);
    crystal.SetLatticeParameters(a * toNm, b * toNm, c * toNm, alpha, beta, gamma);
    crystal.CalculateLatticeVectors();
}
