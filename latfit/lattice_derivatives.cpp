#include "lattice_derivatives.h"

#include <cmath>

#include "constants.h"

namespace {

using Mat = std::array<std::array<double, 3>, 3>;

Metric9 toNine(const Mat& m) {
  return {m[0][0], m[1][1], m[2][2], m[1][2], m[2][0], m[0][1], 2 * m[1][2], 2 * m[2][0], 2 * m[0][1]};
}

Mat mul(const Mat& x, const Mat& y) {
  Mat r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i][j] += x[i][k] * y[k][j];
  return r;
}

Mat add(const Mat& x, const Mat& y, double s = 1.0) {
  Mat r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = x[i][j] + s * y[i][j];
  return r;
}

// Direct metric G(p) and its derivatives: G has entries a^2, b^2, c^2,
// b c ca, a c cb, a b cg.
struct DirectMetric {
  Mat G{};
  std::array<Mat, 6> d{};
  std::array<std::array<Mat, 6>, 6> dd{};
};

DirectMetric directMetric(const std::array<double, 6>& p) {
  const double a = p[0], b = p[1], c = p[2], ca = p[3], cb = p[4], cg = p[5];
  DirectMetric m;
  auto setSym = [](Mat& x, int i, int j, double v) { x[i][j] = x[j][i] = v; };
  setSym(m.G, 0, 0, a * a);
  setSym(m.G, 1, 1, b * b);
  setSym(m.G, 2, 2, c * c);
  setSym(m.G, 1, 2, b * c * ca);
  setSym(m.G, 0, 2, a * c * cb);
  setSym(m.G, 0, 1, a * b * cg);
  // First derivatives.
  setSym(m.d[0], 0, 0, 2 * a);
  setSym(m.d[0], 0, 2, c * cb);
  setSym(m.d[0], 0, 1, b * cg);
  setSym(m.d[1], 1, 1, 2 * b);
  setSym(m.d[1], 1, 2, c * ca);
  setSym(m.d[1], 0, 1, a * cg);
  setSym(m.d[2], 2, 2, 2 * c);
  setSym(m.d[2], 1, 2, b * ca);
  setSym(m.d[2], 0, 2, a * cb);
  setSym(m.d[3], 1, 2, b * c);
  setSym(m.d[4], 0, 2, a * c);
  setSym(m.d[5], 0, 1, a * b);
  // Second derivatives (symmetric in p, q).
  auto both = [&](int p1, int p2, int i, int j, double v) {
    setSym(m.dd[p1][p2], i, j, v);
    setSym(m.dd[p2][p1], i, j, v);
  };
  both(0, 0, 0, 0, 2);
  both(1, 1, 1, 1, 2);
  both(2, 2, 2, 2, 2);
  both(0, 1, 0, 1, cg);
  both(0, 2, 0, 2, cb);
  both(1, 2, 1, 2, ca);
  both(1, 3, 1, 2, c);
  both(2, 3, 1, 2, b);
  both(0, 4, 0, 2, c);
  both(2, 4, 0, 2, a);
  both(0, 5, 0, 1, b);
  both(1, 5, 0, 1, a);
  return m;
}

Mat inverse(const Mat& m) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  Mat r{};
  r[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
  r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
  r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
  r[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
  r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
  r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
  r[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
  r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
  r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
  return r;
}

}  // namespace

LatticeDerivatives latticeDerivatives(const std::array<double, 6>& p) {
  LatticeDerivatives out;
  const DirectMetric dm = directMetric(p);
  out.G = toNine(dm.G);
  for (int i = 0; i < 6; ++i) {
    out.GF[i] = toNine(dm.d[i]);
    for (int j = 0; j < 6; ++j) out.GW[i][j] = toNine(dm.dd[i][j]);
  }
  // Reciprocal metric R = 4 pi^2 G^-1: dR = -G^-1 dG R,
  // d2R = G^-1 (dG_q G^-1 dG_p + dG_p G^-1 dG_q - d2G_pq) R.
  const Mat gi = inverse(dm.G);
  Mat r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = kFourPiSquared * gi[i][j];
  out.RG = toNine(r);
  std::array<Mat, 6> giD{};  // G^-1 dG_p
  for (int i = 0; i < 6; ++i) {
    giD[i] = mul(gi, dm.d[i]);
    Mat d = mul(giD[i], r);
    for (auto& row : d)
      for (double& v : row) v = -v;
    out.RGF[i] = toNine(d);
  }
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j) {
      Mat t = add(add(mul(giD[j], giD[i]), mul(giD[i], giD[j])), mul(gi, dm.dd[i][j]), -1.0);
      out.RGW[i][j] = toNine(mul(t, r));
    }
  // V = a b c sqrt(K), K = 1 - ca^2 - cb^2 - cg^2 + 2 ca cb cg.
  const double a = p[0], b = p[1], c = p[2], ca = p[3], cb = p[4], cg = p[5];
  const double k = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
  const double sk = std::sqrt(k);
  const double abc = a * b * c;
  out.V = abc * sk;
  out.VS = 1.0 / out.V;
  const std::array<double, 3> kf = {-2 * ca + 2 * cb * cg, -2 * cb + 2 * ca * cg, -2 * cg + 2 * ca * cb};
  const double kw[3][3] = {{-2, 2 * cg, 2 * cb}, {2 * cg, -2, 2 * ca}, {2 * cb, 2 * ca, -2}};
  const double len[3] = {a, b, c};
  // dV/dlength_i = V / length_i; dV/dcos_i = abc K_i / (2 sqrt K).
  for (int i = 0; i < 3; ++i) {
    out.VF[i] = out.V / len[i];
    out.VF[3 + i] = abc * kf[i] / (2 * sk);
  }
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      out.VW[i][j] = i == j ? 0.0 : out.V / (len[i] * len[j]);
      out.VW[i][3 + j] = out.VW[3 + j][i] = out.VF[3 + j] / len[i];
      out.VW[3 + i][3 + j] = abc * (kw[i][j] / (2 * sk) - kf[i] * kf[j] / (4 * k * sk));
    }
  return out;
}
