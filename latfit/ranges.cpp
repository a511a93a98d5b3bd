// Radii and index ranges of the lattice sums (calrng), printed on the log.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "constants.h"
#include "fortran_format.h"
#include "geometry.h"
#include "output_file.h"
#include "run_stop.h"

namespace {

constexpr double kLn10 = 2.302585092994046;
constexpr double kFourLn10 = 9.210340371976184;

// Whole part of a non-negative range value; values no int can hold are refused.
long long wholePart(double value, const char* what) {
  if (!(std::fabs(value) < static_cast<double>(std::numeric_limits<int>::max())))
    throw RunStop(std::string(" ***ERROR  The ") + what +
                  " of the lattice sums is too large or undefined; check the lattice "
                  "constants, ALPHA and CEPS");
  return static_cast<long long>(value);
}

// Whole part of a printed count; counts beyond any field are kept finite.
long long countOf(double value) {
  return value < 1e15 ? static_cast<long long>(value) : 999999999999999LL;
}

std::string e14(double v) { return fmtE(v, 14, 6); }

}  // namespace

void calrng() {
  const double alpha = minmax.ALPHA;
  say(" ");
  say(" <<RANGE OF CALCULATION>>");
  say(" ALPHA=", e14(alpha));
  const double n = -std::log10(minmax.CEPS);
  say(" Cut level=", e14(minmax.CEPS), "   N=", e14(n));

  double amax = 0, cmax = 0, pmax = 0;
  for (int i = 0; i < atpara.NKIND; ++i)
    for (int j = i; j < atpara.NKIND; ++j) {
      amax = std::max(amax, std::fabs(atpara.A[i][j]));
      cmax = std::max(cmax, std::fabs(atpara.C[i][j]));
      pmax = std::max(pmax, atpara.B[i][j]);
    }
  say(" Pmax=", fmtF(pmax, 10, 6));

  minmax.RDIR = (0.26 * n + 2.26) / alpha;
  say(" Direct Term    : rmax=", e14(minmax.RDIR));
  say("      erfc(alpha*rmax)=", e14(std::erfc(alpha * minmax.RDIR)));
  minmax.RREP = kLn10 * n * pmax + 1;
  say(" Repulsive Term : rmax=", e14(minmax.RREP));
  say("       EXP(-rmax/Pmax)=", e14(std::exp(-minmax.RREP / pmax)));
  minmax.RDISP = kLn10 * n;
  say(" Dispersion Term: rmax=", e14(minmax.RDISP));
  say(" ", "             1/rmax^6=", e14(1 / std::pow(minmax.RDISP, 6)));

  double rmax = minmax.RDIR;
  if (amax != 0) rmax = std::max(rmax, minmax.RREP);
  if (cmax != 0) rmax = std::max(rmax, minmax.RDISP);
  minmax.RMAX = rmax;

  const auto& g = crystl.G;
  const Vec3& sn = crystl.SIN;
  const double d[3] = {std::sqrt(g[0] * sn[1] * sn[2]), std::sqrt(g[1] * sn[2] * sn[0]),
                       std::sqrt(g[2] * sn[0] * sn[1])};
  double inner = 0, outer = 0;
  std::string line = concat("   Rmax=", e14(rmax), "  Nmax=");
  for (int k = 0; k < 3; ++k) {
    const long long whole = wholePart(rmax / d[k], "real-space range");
    minmax.NMAX[k] = static_cast<int>(whole + 1);
    line += fmtI(minmax.NMAX[k], 6);
    inner = std::max(inner, static_cast<double>(whole) * d[k]);
    outer = std::max(outer, minmax.NMAX[k] * d[k]);
  }
  say(line);
  const long long realCount =
      (countOf(kFourPiThirds * rmax * rmax * rmax / crystl.V) + 1) * cell.NTOT;
  say(" Number of Calculation >>", fmtI(realCount, 6));
  say("   Rmax(Calculation)=", e14(inner), " -", e14(outer));

  minmax.G2MAX = 1 + kFourLn10 * alpha * alpha * n;
  const double g2max = minmax.G2MAX;
  const auto& rg = crystl.RG;
  const Vec3& rs = crystl.RSIN;
  const double e[3] = {rs[2] * rs[1] * rg[0], rs[2] * rs[0] * rg[1], rs[1] * rs[0] * rg[2]};
  inner = outer = 0;
  line = concat(" ", "                       Hmax=");
  for (int k = 0; k < 3; ++k) {
    const long long m = wholePart(std::sqrt(g2max / e[k]) / kTwoPi, "reciprocal range");
    minmax.HMAX[k] = static_cast<int>(m + 1);
    line += fmtI(minmax.HMAX[k], 6);
    inner = std::max(inner, static_cast<double>(m) * std::sqrt(e[k]));
    outer = std::max(outer, static_cast<double>(m + 1) * std::sqrt(e[k]));
  }
  say(" G^2max=", e14(g2max));
  say(" EXP(-G^2max/4ALPHA^2)=", e14(std::exp(-0.25 * g2max / (alpha * alpha))));
  say(line);
  const long long reciprocalCount =
      countOf(kFourPiThirds * std::pow(g2max, 1.5) / crystl.VS / kTwoPiCubed) + 1;
  say(" Number of Calculation >>", fmtI(reciprocalCount, 6));
  say(" G^2max(Calculation)=", e14((kTwoPi * inner) * (kTwoPi * inner)), " -",
      e14((kTwoPi * outer) * (kTwoPi * outer)));
}
