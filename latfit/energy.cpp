#include "energy.h"

#include <cmath>

#include "constants.h"

namespace {


// A radial pair term phi(r) seen as U(s) with s = r^2: U, dU/ds, d2U/ds2.
struct Radial {
  double u = 0, u1 = 0, u2 = 0;
  void add(double phi, double dphi, double d2phi, double r) {
    u += phi;
    u1 += dphi / (2 * r);
    u2 += (d2phi - dphi / r) / (4 * r * r);
  }
};

// The pair energy of kinds (ki, kj) at squared distance s, inside the cut-offs.
Radial pairTerms(const EnergyInput& in, int ki, int kj, double s) {
  Radial t;
  const double r = std::sqrt(s);
  if (s <= in.rdir * in.rdir && in.Z[ki][kj] != 0) {
    const double z = in.Z[ki][kj], a = in.alpha;
    const double erfcTerm = std::erfc(a * r);
    const double gauss = 2 * a / kSqrtPi * std::exp(-a * a * s);
    t.add(z * erfcTerm / r, z * (-erfcTerm / s - gauss / r), z * (2 * erfcTerm / (s * r) + gauss * (2 / s + 2 * a * a)),
          r);
  }
  if (s <= in.rrep * in.rrep && in.A[ki][kj] != 0) {
    const double b = in.B[ki][kj];
    const double e = in.A[ki][kj] * std::exp(-r / b);
    t.add(e, -e / b, e / (b * b), r);
  }
  if (s <= in.rdisp * in.rdisp && in.C[ki][kj] != 0) {
    const double c6 = in.C[ki][kj] / (s * s * s);
    t.add(c6, -6 * c6 / r, 42 * c6 / s, r);
  }
  return t;
}

struct Accumulator {
  const EnergyInput& in;
  const LatticeDerivatives& lat;
  EnergyResult& out;
  int n3;

  double& H(int u, int a, int v, int b) { return out.hessian[static_cast<size_t>(3 * u + a) * n3 + 3 * v + b]; }
  double& M(int p, int u, int a) { return out.mixed[static_cast<size_t>(p) * n3 + 3 * u + a]; }

  // One unordered pair term weight * U(s) of atoms u and v with s = d^T M d,
  // d = x_v + n - x_u, where M is the direct metric. `factor` 1/2 for ordered
  // double counting. Adds to energy, gradients and every second derivative.
  void pair(int u, int v, const Vec3& d, double s, const Radial& t, double w, double factor) {
    const double e = w * factor;
    out.energy += e * t.u;
    std::array<double, 6> sp{};
    for (int p = 0; p < 6; ++p) sp[p] = quadratic(lat.GF[p], d[0], d[1], d[2]);
    for (int p = 0; p < 6; ++p) {
      out.latticeGradient[p] += e * t.u1 * sp[p];
      for (int q = p; q < 6; ++q) {
        const double v2 = e * (t.u2 * sp[p] * sp[q] + t.u1 * quadratic(lat.GW[p][q], d[0], d[1], d[2]));
        out.latticeHessian[p][q] += v2;
        if (q != p) out.latticeHessian[q][p] += v2;
      }
    }
    if (u == v) return;  // an atom and its own image: s does not depend on its position
    (void)s;
    const auto gd = apply(lat.G, d[0], d[1], d[2]);
    // ds/dx_u = -2 G d, ds/dx_v = +2 G d (each atom once per unordered pair).
    for (int a = 0; a < 3; ++a) {
      out.gradient[3 * u + a] += e * t.u1 * (-2 * gd[a]);
      out.gradient[3 * v + a] += e * t.u1 * (2 * gd[a]);
    }
    const bool ru = in.atoms[u].refined, rv = in.atoms[v].refined;
    if (ru || rv) {
      std::array<std::array<double, 3>, 6> gpd{};
      for (int p = 0; p < 6; ++p) gpd[p] = apply(lat.GF[p], d[0], d[1], d[2]);
      for (int p = 0; p < 6; ++p)
        for (int a = 0; a < 3; ++a) {
          const double m = e * (t.u2 * sp[p] * 2 * gd[a] + t.u1 * 2 * gpd[p][a]);
          if (ru) M(p, u, a) -= m;
          if (rv) M(p, v, a) += m;
        }
      const double gm[3][3] = {{lat.G[0], lat.G[5], lat.G[4]}, {lat.G[5], lat.G[1], lat.G[3]},
                               {lat.G[4], lat.G[3], lat.G[2]}};
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
          const double k = e * (4 * t.u2 * gd[a] * gd[b] + 2 * t.u1 * gm[a][b]);
          if (ru) H(u, a, u, b) += k;
          if (rv) H(v, a, v, b) += k;
          if (ru && rv) {
            H(u, a, v, b) -= k;
            H(v, a, u, b) -= k;
          }
        }
    }
  }
};

void realSpace(Accumulator& acc) {
  const EnergyInput& in = acc.in;
  const int n = static_cast<int>(in.atoms.size());
  const double rmin2 = in.rmin * in.rmin;
  double rmax = in.rdir;
  if (in.rrep > rmax) rmax = in.rrep;
  if (in.rdisp > rmax) rmax = in.rdisp;
  const double rmax2 = rmax * rmax;
  for (int i = 0; i < n; ++i) {
    const EnergyAtom& ai = in.atoms[i];
    for (int j = i; j < n; ++j) {
      const EnergyAtom& aj = in.atoms[j];
      const double w = ai.occupancy * aj.occupancy;
      for (int n1 = -in.nmax[0]; n1 <= in.nmax[0]; ++n1)
        for (int n2 = -in.nmax[1]; n2 <= in.nmax[1]; ++n2)
          for (int n3 = -in.nmax[2]; n3 <= in.nmax[2]; ++n3) {
            const Vec3 d = {aj.x[0] + n1 - ai.x[0], aj.x[1] + n2 - ai.x[1], aj.x[2] + n3 - ai.x[2]};
            const double s = quadratic(acc.lat.G, d[0], d[1], d[2]);
            if (s < rmin2 || s > rmax2) continue;
            const Radial t = pairTerms(in, ai.kind, aj.kind, s);
            // Ordered pairs (i, j, n) and (j, i, -n) are the same term: i < j
            // counts it once; i == j meets both n and -n, so half each.
            acc.pair(i, j, d, s, t, w, i == j ? 0.5 : 1.0);
          }
    }
  }
}

void springs(Accumulator& acc) {
  const EnergyInput& in = acc.in;
  for (int c = 0; c < static_cast<int>(in.atoms.size()); ++c) {
    const EnergyAtom& core = in.atoms[c];
    if (core.shell < 0 || core.shell < c) continue;  // each core-shell pair once
    const EnergyAtom& shell = in.atoms[core.shell];
    const double k = in.PK[core.kind][shell.kind];
    if (k == 0) continue;
    const Vec3 d = {shell.x[0] - core.x[0], shell.x[1] - core.x[1], shell.x[2] - core.x[2]};
    // k s as U(s) = k s: dU/ds = k, d2U/ds2 = 0.
    Radial t;
    t.u = k * quadratic(acc.lat.G, d[0], d[1], d[2]);
    t.u1 = k;
    acc.pair(c, core.shell, d, 0, t, core.occupancy * shell.occupancy, 1.0);
  }
}

void reciprocalSpace(Accumulator& acc) {
  const EnergyInput& in = acc.in;
  const LatticeDerivatives& lat = acc.lat;
  EnergyResult& out = acc.out;
  const int n = static_cast<int>(in.atoms.size());
  const double lambda = kTwoPi * kCoulomb;
  const double inv4a2 = 1.0 / (4 * in.alpha * in.alpha);
  std::vector<double> w(n), cs(n), sn(n);
  std::vector<int> refined;
  for (int u = 0; u < n; ++u) {
    w[u] = in.charge[in.atoms[u].kind] * in.atoms[u].occupancy;
    if (in.atoms[u].refined) refined.push_back(u);
  }
  bool anyCharge = false;
  for (double q : w) anyCharge |= q != 0;
  if (!anyCharge) return;
  const double V = lat.V;
  for (int h1 = -in.hmax[0]; h1 <= in.hmax[0]; ++h1)
    for (int h2 = -in.hmax[1]; h2 <= in.hmax[1]; ++h2)
      for (int h3 = 0; h3 <= in.hmax[2]; ++h3) {
        const double t = quadratic(lat.RG, h1, h2, h3);
        if (t == 0 || t > in.g2max) continue;
        const double weight = (h3 > 0 ? 2.0 : 1.0) * std::exp(-t * inv4a2) / t;
        const double w1 = weight * (-inv4a2 - 1 / t);                         // dW/dt
        const double w2 = w1 * (-inv4a2 - 1 / t) + weight / (t * t);          // d2W/dt2
        double C = 0, S = 0;
        for (int u = 0; u < n; ++u) {
          const double phase = kTwoPi * (h1 * in.atoms[u].x[0] + h2 * in.atoms[u].x[1] + h3 * in.atoms[u].x[2]);
          cs[u] = std::cos(phase);
          sn[u] = std::sin(phase);
          C += w[u] * cs[u];
          S += w[u] * sn[u];
        }
        const double s2 = C * C + S * S;
        std::array<double, 6> tp{};
        for (int p = 0; p < 6; ++p) tp[p] = quadratic(lat.RGF[p], h1, h2, h3);
        out.energy += lambda / V * weight * s2;
        // Lattice derivatives through V and t.
        std::array<double, 6> dp{};  // d(W/V)/dp
        for (int p = 0; p < 6; ++p) {
          dp[p] = -lat.VF[p] / (V * V) * weight + w1 * tp[p] / V;
          out.latticeGradient[p] += lambda * s2 * dp[p];
        }
        for (int p = 0; p < 6; ++p)
          for (int q = 0; q < 6; ++q) {
            const double tpq = quadratic(lat.RGW[p][q], h1, h2, h3);
            const double d2 = (2 * lat.VF[p] * lat.VF[q] / (V * V * V) - lat.VW[p][q] / (V * V)) * weight -
                              lat.VF[p] / (V * V) * w1 * tp[q] - lat.VF[q] / (V * V) * w1 * tp[p] +
                              (w2 * tp[p] * tp[q] + w1 * tpq) / V;
            out.latticeHessian[p][q] += lambda * s2 * d2;
          }
        // Coordinates: d|S|^2/dx_u = 2 w_u 2pi h (S cos - C sin).
        const double hv[3] = {static_cast<double>(h1), static_cast<double>(h2), static_cast<double>(h3)};
        for (int u = 0; u < n; ++u) {
          if (w[u] == 0) continue;
          const double g = 2 * w[u] * kTwoPi * (S * cs[u] - C * sn[u]);
          for (int a = 0; a < 3; ++a) {
            out.gradient[3 * u + a] += lambda / V * weight * g * hv[a];
            if (in.atoms[u].refined)
              for (int p = 0; p < 6; ++p) acc.M(p, u, a) += lambda * dp[p] * g * hv[a];
          }
        }
        // d2|S|^2/dx_u dx_v = 2 (2pi)^2 h h^T [w_u w_v cos(th_u - th_v) - delta_uv w_u (C cos_u + S sin_u)].
        const double f = lambda / V * weight * 2 * kTwoPi * kTwoPi;
        for (int u : refined) {
          if (w[u] == 0) continue;
          for (int v : refined) {
            double k = w[u] * w[v] * (cs[u] * cs[v] + sn[u] * sn[v]);
            if (u == v) k -= w[u] * (C * cs[u] + S * sn[u]);
            if (k == 0) continue;
            k *= f;
            for (int a = 0; a < 3; ++a)
              for (int b = 0; b < 3; ++b) acc.H(u, a, v, b) += k * hv[a] * hv[b];
          }
        }
      }
}

}  // namespace

void evaluateEnergy(const EnergyInput& input, const LatticeDerivatives& lattice, EnergyResult& result) {
  const int n3 = 3 * static_cast<int>(input.atoms.size());
  result.energy = 0;
  result.gradient.assign(n3, 0.0);
  result.hessian.assign(static_cast<size_t>(n3) * n3, 0.0);
  result.mixed.assign(static_cast<size_t>(6) * n3, 0.0);
  result.latticeGradient = {};
  result.latticeHessian = {};
  Accumulator acc{input, lattice, result, n3};
  reciprocalSpace(acc);
  realSpace(acc);
  springs(acc);
}

double latticeEnergy(const EnergyInput& input) {
  EnergyInput copy = input;
  for (EnergyAtom& a : copy.atoms) a.refined = false;
  EnergyResult result;
  evaluateEnergy(copy, latticeDerivatives(copy.lattice), result);
  return result.energy;
}
