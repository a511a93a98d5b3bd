// The lattice energy and its analytic derivatives: central finite differences
// on three cells, the Ewald sum's independence of alpha, Madelung constants.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "constants.h"
#include "energy.h"

namespace {

double cosd(double degrees) { return std::cos(degrees * M_PI / 180.0); }

// Ranges wide enough for alpha: erfc and the Gaussian below about 1e-13.
void setRanges(EnergyInput& in, double alpha, double rrep, double rdisp) {
  in.alpha = alpha;
  in.rmin = 0.5;
  in.rdir = 5.5 / alpha;
  in.rrep = rrep;
  in.rdisp = rdisp;
  in.g2max = 4 * alpha * alpha * 30.0;
  const LatticeDerivatives lat = latticeDerivatives(in.lattice);
  // Heights of the cell and of the reciprocal cell.
  const double rmax = std::max({in.rdir, rrep, rdisp});
  for (int k = 0; k < 3; ++k) {
    const double gstar = lat.RG[k] / kFourPiSquared;  // 1 / height^2
    in.nmax[k] = static_cast<int>(rmax * std::sqrt(gstar)) + 1;
    in.hmax[k] = static_cast<int>(std::sqrt(in.g2max * lat.G[k]) / (2 * M_PI)) + 1;
  }
}

void pair(EnergyInput& in, int i, int j, double a, double b, double c) {
  in.A[i][j] = in.A[j][i] = a;
  in.B[i][j] = in.B[j][i] = b;
  in.C[i][j] = in.C[j][i] = c;
  in.Z[i][j] = in.Z[j][i] = in.charge[i] * in.charge[j] * kCoulomb;
}

void addAtom(EnergyInput& in, int kind, double x, double y, double z, double occupancy = 1.0) {
  EnergyAtom a;
  a.x = {x, y, z};
  a.kind = kind;
  a.occupancy = occupancy;
  a.refined = true;
  in.atoms.push_back(a);
}

// Rock salt, slightly distorted so that every derivative is non-zero.
EnergyInput rockSalt() {
  EnergyInput in;
  in.lattice = {5.64, 5.66, 5.62, cosd(90.5), cosd(89.6), cosd(90.2)};
  in.charge[0] = 1;
  in.charge[1] = -1;
  pair(in, 0, 0, 0, 0.01, 0);
  pair(in, 0, 1, 1.2e-16, 0.32, 0);
  pair(in, 1, 1, 5.5e-16, 0.33, -1.1e-17);
  const double fcc[4][3] = {{0, 0, 0}, {0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}};
  for (int k = 0; k < 4; ++k) {
    addAtom(in, 0, fcc[k][0] + 0.01 * k, fcc[k][1], fcc[k][2] - 0.005 * k);
    addAtom(in, 1, fcc[k][0] + 0.5, fcc[k][1] + 0.003 * k, fcc[k][2]);
  }
  setRanges(in, 0.7, 5.0, 6.0);
  return in;
}

EnergyInput rutile() {
  EnergyInput in;
  in.lattice = {4.594, 4.594, 2.959, 0, 0, 0};
  in.charge[0] = 4;
  in.charge[1] = -2;
  pair(in, 0, 0, 0, 0.01, 0);
  pair(in, 0, 1, 1.2084e-16, 0.3879, 0);
  pair(in, 1, 1, 3.6472e-15, 0.149, -4.467e-18);
  const double u = 0.3048;
  addAtom(in, 0, 0, 0, 0);
  addAtom(in, 0, 0.5, 0.5, 0.5);
  addAtom(in, 1, u, u + 0.01, 0);
  addAtom(in, 1, 1 - u, 1 - u, 0);
  addAtom(in, 1, 0.5 + u, 0.5 - u, 0.5);
  addAtom(in, 1, 0.5 - u, 0.5 + u, 0.52);
  setRanges(in, 0.8, 5.0, 6.0);
  return in;
}

// Three kinds, one site at occupancy 0.7, a repulsion derived from ai and bi
// (A = 6.947700141e-21 B exp((ai + aj) / B)) and one read as it stands.
EnergyInput triclinic() {
  EnergyInput in;
  in.lattice = {5.1, 5.7, 6.3, cosd(80), cosd(95), cosd(105)};
  in.charge[0] = 2;
  in.charge[1] = -2;
  in.charge[2] = 1;
  pair(in, 0, 0, 0, 0.01, 0);
  const double b01 = 0.15 + 0.18;
  pair(in, 0, 1, 6.947700141e-21 * b01 * std::exp((1.9 + 1.7) / b01), b01, 0);
  pair(in, 1, 1, 3.6e-15, 0.149, -4.4e-18);
  pair(in, 0, 2, 2.0e-17, 0.30, 0);
  pair(in, 1, 2, 1.1e-16, 0.31, -1.0e-18);
  pair(in, 2, 2, 0, 0.01, 0);
  addAtom(in, 0, 0.1, 0.2, 0.3);
  addAtom(in, 1, 0.45, 0.25, 0.35);
  addAtom(in, 1, 0.1, 0.6, 0.7, 0.7);
  addAtom(in, 2, 0.7, 0.8, 0.15);
  addAtom(in, 0, 0.6, 0.55, 0.8);
  addAtom(in, 2, 0.3, 0.9, 0.55);
  setRanges(in, 0.75, 5.5, 7.0);
  return in;
}

struct Checker {
  EnergyInput base;
  double energy(const EnergyInput& in) const { return latticeEnergy(in); }
  EnergyResult derivatives(const EnergyInput& in) const {
    EnergyResult r;
    evaluateEnergy(in, latticeDerivatives(in.lattice), r);
    return r;
  }
  // A copy of the input with parameter k moved by h: k < 3n a coordinate, else lattice k - 3n.
  EnergyInput moved(int k, double h) const {
    EnergyInput in = base;
    const int n3 = 3 * static_cast<int>(base.atoms.size());
    if (k < n3)
      in.atoms[k / 3].x[k % 3] += h;
    else
      in.lattice[k - n3] += h;
    return in;
  }
  double step(int k) const {
    const int n3 = 3 * static_cast<int>(base.atoms.size());
    return k < n3 ? 1e-5 : (k - n3 < 3 ? 1e-5 : 1e-6);
  }
  int count() const { return 3 * static_cast<int>(base.atoms.size()) + 6; }
  // Analytic first derivative of parameter k.
  static double first(const EnergyResult& r, int n3, int k) {
    return k < n3 ? r.gradient[k] : r.latticeGradient[k - n3];
  }
  static double second(const EnergyResult& r, int n3, int k, int l) {
    if (k < n3 && l < n3) return r.hessian[static_cast<size_t>(k) * n3 + l];
    if (k >= n3 && l >= n3) return r.latticeHessian[k - n3][l - n3];
    if (k >= n3) return r.mixed[static_cast<size_t>(k - n3) * n3 + l];
    return r.mixed[static_cast<size_t>(l - n3) * n3 + k];
  }
};

void checkDerivatives(const EnergyInput& input, const char* name) {
  Checker c{input};
  const int n3 = 3 * static_cast<int>(input.atoms.size());
  const EnergyResult r = c.derivatives(input);
  EXPECT_NEAR(r.energy, c.energy(input), 1e-12 * std::fabs(r.energy)) << name;
  // The numeric derivative cannot be better than the rounding of the energy
  // sum over the step, about 1e-15 |E| / h; the analytic one must agree to 1e-7.
  for (int k = 0; k < c.count(); ++k) {
    const double h = c.step(k);
    const double numeric = (c.energy(c.moved(k, h)) - c.energy(c.moved(k, -h))) / (2 * h);
    const double analytic = Checker::first(r, n3, k);
    EXPECT_NEAR(analytic, numeric, 1e-7 * std::fabs(analytic) + 1e-15 * std::fabs(r.energy) / h)
        << name << " parameter " << k;
  }
  // Second derivatives against central differences of the analytic first derivatives.
  double hscale = 0;
  for (int k = 0; k < c.count(); ++k)
    for (int l = 0; l < c.count(); ++l) hscale = std::max(hscale, std::fabs(Checker::second(r, n3, k, l)));
  for (int l = 0; l < c.count(); ++l) {
    const double h = c.step(l);
    const EnergyResult plus = c.derivatives(c.moved(l, h)), minus = c.derivatives(c.moved(l, -h));
    for (int k = 0; k < c.count(); ++k) {
      const double numeric = (Checker::first(plus, n3, k) - Checker::first(minus, n3, k)) / (2 * h);
      const double analytic = Checker::second(r, n3, k, l);
      EXPECT_NEAR(analytic, numeric, 1e-5 * std::max(std::fabs(analytic), 1e-4 * hscale))
          << name << " d2E / d" << k << " d" << l;
    }
  }
}

// The Coulomb energy of the cell with the constant self term, -alpha/sqrt(pi) k sum q^2.
double coulombEnergy(EnergyInput in, double alpha) {
  for (int i = 0; i < kMaxKinds; ++i)
    for (int j = 0; j < kMaxKinds; ++j) in.A[i][j] = in.C[i][j] = 0;
  setRanges(in, alpha, 0, 0);
  double self = 0;
  for (const EnergyAtom& a : in.atoms) self += std::pow(in.charge[a.kind] * a.occupancy, 2);
  return latticeEnergy(in) - alpha / kSqrtPi * kCoulomb * self;
}

}  // namespace

TEST(EnergyDerivatives, RockSaltAgreesWithFiniteDifferences) { checkDerivatives(rockSalt(), "rock salt"); }

TEST(EnergyDerivatives, RutileAgreesWithFiniteDifferences) { checkDerivatives(rutile(), "rutile"); }

TEST(EnergyDerivatives, TriclinicWithThreeKindsAndPartialOccupancy) { checkDerivatives(triclinic(), "triclinic"); }

TEST(EnergyDerivatives, CoreShellSpringsWithANonZeroConstant) {
  EnergyInput in = rutile();
  // The second oxygen is the shell of the first.
  in.atoms[2].shell = 3;
  in.atoms[3].shell = 2;
  in.PK[1][1] = 3.0e-18;
  EnergyInput without = in;
  without.PK[1][1] = 0;
  EXPECT_GT(std::fabs(latticeEnergy(in) - latticeEnergy(without)), 1e-20);
  checkDerivatives(in, "core-shell");
}

TEST(EnergyDerivatives, OnlyRefinedAtomsGetSecondDerivatives) {
  EnergyInput in = rutile();
  for (EnergyAtom& a : in.atoms) a.refined = false;
  in.atoms[2].refined = true;
  EnergyResult r;
  evaluateEnergy(in, latticeDerivatives(in.lattice), r);
  const int n3 = 3 * static_cast<int>(in.atoms.size());
  EXPECT_NE(r.hessian[static_cast<size_t>(6) * n3 + 6], 0.0);
  EXPECT_EQ(r.hessian[0], 0.0);
  EXPECT_EQ(r.mixed[0], 0.0);
  EXPECT_NE(r.gradient[0] + r.gradient[1] + r.gradient[2] + r.gradient[3], 0.0);
}

TEST(EwaldSum, CoulombEnergyDoesNotDependOnAlpha) {
  for (EnergyInput in : {rutile(), triclinic()}) {
    if (in.charge[2] == 1) {
      // Made neutral: the third kind loses its charge and the partly occupied site is filled.
      in.charge[2] = 0;
      in.atoms[2].occupancy = 1.0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) in.Z[i][j] = in.charge[i] * in.charge[j] * kCoulomb;
    }
    double total = 0;
    for (const EnergyAtom& a : in.atoms) total += in.charge[a.kind] * a.occupancy;
    ASSERT_EQ(total, 0.0);
    const double reference = coulombEnergy(in, 0.5);
    for (double alpha : {0.7, 1.0, 1.5}) EXPECT_NEAR(coulombEnergy(in, alpha), reference, 1e-9 * std::fabs(reference));
  }
}

TEST(EwaldSum, MadelungConstantsOfRockSaltAndCaesiumChloride) {
  EnergyInput nacl;
  nacl.lattice = {5.0, 5.0, 5.0, 0, 0, 0};
  nacl.charge[0] = 1;
  nacl.charge[1] = -1;
  pair(nacl, 0, 0, 0, 0.01, 0);
  pair(nacl, 0, 1, 0, 0.01, 0);
  pair(nacl, 1, 1, 0, 0.01, 0);
  const double fcc[4][3] = {{0, 0, 0}, {0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}};
  for (const auto& p : fcc) {
    addAtom(nacl, 0, p[0], p[1], p[2]);
    addAtom(nacl, 1, p[0] + 0.5, p[1], p[2]);
  }
  const double r0 = 2.5;
  EXPECT_NEAR(-coulombEnergy(nacl, 0.9) * r0 / (4 * kCoulomb), 1.747565, 5e-7);

  EnergyInput cscl = nacl;
  cscl.atoms.clear();
  addAtom(cscl, 0, 0, 0, 0);
  addAtom(cscl, 1, 0.5, 0.5, 0.5);
  const double d = 5.0 * std::sqrt(3.0) / 2;
  EXPECT_NEAR(-coulombEnergy(cscl, 0.9) * d / kCoulomb, 1.762675, 5e-7);
}

TEST(EnergyTerms, CutOffsExclusionAndZeroTables) {
  EnergyInput in = rutile();
  // No charges: no Coulomb energy at all, in either space.
  EnergyInput neutral = in;
  neutral.charge = {};
  for (auto& row : neutral.Z) row.fill(0);
  EnergyInput shortRange = in;
  for (auto& row : shortRange.Z) row.fill(0);
  shortRange.charge = {};
  EXPECT_DOUBLE_EQ(latticeEnergy(neutral), latticeEnergy(shortRange));
  // A = 0 and C = 0 leave only the Coulomb energy.
  EnergyInput coulombOnly = in;
  for (int i = 0; i < kMaxKinds; ++i)
    for (int j = 0; j < kMaxKinds; ++j) coulombOnly.A[i][j] = coulombOnly.C[i][j] = 0;
  EnergyInput none = coulombOnly;
  none.charge = {};
  for (auto& row : none.Z) row.fill(0);
  EXPECT_EQ(latticeEnergy(none), 0.0);
  // Two atoms closer than RMIN contribute nothing to each other.
  EnergyInput close = none;
  close.A = in.A;
  close.atoms.resize(2);
  close.atoms[1] = close.atoms[0];
  close.atoms[1].kind = 1;
  close.atoms[1].x[0] += 0.05;  // 0.23 A apart
  EnergyInput apart = close;
  apart.rmin = 0.1;
  EXPECT_NE(latticeEnergy(apart), latticeEnergy(close));
  close.nmax = {0, 0, 0};
  EXPECT_EQ(latticeEnergy(close), 0.0);
}
