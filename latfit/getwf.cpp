#include "getwf.h"

#include <cmath>
#include <string>

#include "constants.h"
#include "energy.h"
#include "fortran_format.h"
#include "geometry.h"
#include "output_file.h"

namespace {

// The parameters a, b, c, cos alpha, cos beta, cos gamma; an angle of exactly
// 90 degrees has cosine 0, as in the metric.
std::array<double, 6> latticeParameters() {
  std::array<double, 6> p{};
  for (int i = 0; i < 3; ++i) {
    p[i] = crystl.LAT[i];
    const double angle = crystl.LAT[3 + i];
    p[3 + i] = angle == 90.0 ? 0.0 : std::cos(angle * kDegToRad);
  }
  return p;
}

void printValues(const double* values, int count, int width, int digits) {
  for (int start = 0; start < count; start += 6) {
    std::string line = " ";
    for (int k = start; k < count && k < start + 6; ++k) line += fmtE(values[k], width, digits);
    say(line);
  }
}

void printNine(const Metric9& m) { printValues(m.data(), 9, 13, 5); }

// The lattice data of the current cell: the metric and volume as they stand
// (the reciprocal metric scaled by 4 pi^2), their derivatives from the last calg.
LatticeDerivatives fromCommons() {
  LatticeDerivatives lat = diff.lattice;
  lat.G = crystl.G;
  lat.RG = crystl.RG;
  lat.V = crystl.V;
  lat.VS = crystl.VS;
  return lat;
}

}  // namespace

void calg(int fflag) {
  const LatticeDerivatives lat = latticeDerivatives(latticeParameters());
  crystl.G = lat.G;
  crystl.RG = lat.RG;
  crystl.V = lat.V;
  crystl.VS = lat.VS;
  diff.lattice = lat;
  if (fflag == 0) return;
  say(" V=", fmtE(lat.V, 14, 6), "   V*=", fmtE(lat.VS, 14, 6));
  say(" **VF**");
  printValues(lat.VF.data(), 6, 13, 5);
  say(" **VOLW**");
  for (const auto& row : lat.VW) printValues(row.data(), 6, 13, 5);
  say(" **G **");
  printNine(lat.G);
  say(" **RG**");
  printNine(lat.RG);
  say(" **GF **");
  for (const auto& m : lat.GF) printNine(m);
  say(" **RGF**");
  for (const auto& m : lat.RGF) printNine(m);
  say(" **GW**");
  for (const auto& row : lat.GW)
    for (const auto& m : row) printNine(m);
  say(" **RGW**");
  for (const auto& row : lat.RGW)
    for (const auto& m : row) printNine(m);
}

void getwf(FitDerivatives& out, int fflag) {
  EnergyInput in;
  in.lattice = latticeParameters();
  in.atoms.resize(static_cast<std::size_t>(cell.NTOT));
  for (int i = 0; i < cell.NTOT; ++i) {
    EnergyAtom& a = in.atoms[i];
    a.x = cell.X[i];
    a.kind = cell.KIND[i] - 1;
    a.occupancy = cell.OCCU[i];
    a.shell = cell.ISHELL[i] - 1;
    a.refined = i < cell.NASYM && (lsq.XID[i][0] != 0 || lsq.XID[i][1] != 0 || lsq.XID[i][2] != 0);
  }
  in.charge = atom.CHARGE;
  in.Z = atpara.Z;
  in.A = atpara.A;
  in.B = atpara.B;
  in.C = atpara.C;
  in.PK = atpara.PK;
  in.alpha = minmax.ALPHA;
  in.rmin = minmax.RMIN;
  in.rdir = minmax.RDIR;
  in.rrep = minmax.RREP;
  in.rdisp = minmax.RDISP;
  in.g2max = minmax.G2MAX;
  in.nmax = minmax.NMAX;
  in.hmax = minmax.HMAX;

  EnergyResult r;
  evaluateEnergy(in, fromCommons(), r);
  out.gradient = std::move(r.gradient);
  out.hessian = std::move(r.hessian);
  out.mixed = std::move(r.mixed);
  out.latticeGradient = r.latticeGradient;
  out.latticeHessian = r.latticeHessian;
  out.stride = 3 * cell.NTOT;
  if (fflag == 0) return;

  say(" <<1st and 2nd DIFFERENTIAL CALCULATION>>");
  for (int i = 0; i < cell.NASYM; ++i) {
    if (!in.atoms[i].refined) continue;
    for (int j = 0; j < cell.NASYM; ++j) {
      if (!in.atoms[j].refined) continue;
      say(" t=", fmtI(i + 1, 4), "   t1=", fmtI(j + 1, 4));
      for (int m = 0; m < 3; ++m) {
        std::string line = concat(" ", fmtI(m + 1, 3));
        for (int b = 0; b < 3; ++b)
          line += fmtE(out.hessian[static_cast<std::size_t>(3 * i + m) * out.stride + 3 * j + b], 15, 7);
        say(line, fmtE(out.gradient[3 * i + m], 17, 7));
      }
    }
  }
  say(" <<DIFF. WITH LATTICE CONSTANTS>>");
  printValues(out.latticeGradient.data(), 6, 13, 5);
  say(" <<DIFF. WITH LATTICE CONSTANS AND COORDINATES>>");
  for (int p = 0; p < 6; ++p) printValues(out.mixed.data() + static_cast<std::size_t>(p) * out.stride, 3 * cell.NASYM, 13, 5);
  say(" <<2nd DIFF. WITH LATTICE CONSTANS>>");
  for (const auto& row : out.latticeHessian) printValues(row.data(), 6, 13, 5);
}
