#include "fit.h"

#include <algorithm>
#include <cmath>

#include "commons.h"
#include "constants.h"
#include "fortran_format.h"
#include "geometry.h"
#include "lattice_derivatives.h"
#include "minver.h"
#include "output_file.h"
#include "reduction.h"
#include "run_stop.h"
#include "structure_writer.h"

namespace {

constexpr double kInversionEps = 1e-30;

enum class Outcome { Continue, Converged, Failed };

std::string e14(double v) { return fmtE(v, 14, 6); }

void printColumns(const std::vector<double>& values) {
  for (std::size_t start = 0; start < values.size(); start += 6) {
    std::string line = " ";
    for (std::size_t k = start; k < values.size() && k < start + 6; ++k) line += fmtG(values[k], 13, 5);
    say(line);
  }
}

double getmax(const std::vector<double>& w) {
  double m = 0;
  for (double v : w) m = std::max(m, std::fabs(v));
  return m;
}

// Delta = W^-1 F and its largest magnitude.
double getds(const std::vector<double>& winv, const std::vector<double>& f, int n, std::vector<double>& delta) {
  delta.assign(static_cast<std::size_t>(n), 0.0);
  double dmax = 0;
  for (int i = 0; i < n; ++i) {
    double s = 0;
    for (int j = 0; j < n; ++j) s += winv[i + static_cast<std::size_t>(j) * n] * f[j];
    delta[i] = s;
    dmax = std::max(dmax, std::fabs(s));
  }
  return dmax;
}

void printChange(double before, double after) {
  say(" ", std::string(5, ' '), fmtG(before, 14, 6), "  +", fmtG(after - before, 14, 6), "  --->",
      fmtG(after, 14, 6));
}

}  // namespace

// Applies -delta to the refined parameters and prints old and new values.
void newcod(const std::vector<double>& delta) {
  say(" **OLD AND NEW PARAMETER**");
  std::size_t j = 0;
  for (int i = 0; i < cell.NASYM; ++i) {
    say(" t=", fmtI(i + 1, 4));
    for (int a = 0; a < 3; ++a) {
      const double old = cell.X[i][a];
      if (lsq.XID[i][a] != 0) cell.X[i][a] = redc01(old - delta[j++]);
      printChange(old, cell.X[i][a]);
    }
  }
  say(" LATTICE CONSTANTS.");
  for (int p = 0; p < 6; ++p) {
    const double old = crystl.LAT[p];
    if (lsq.LID[p] != 0) {
      if (p < 3) {
        crystl.LAT[p] = old - delta[j++];
      } else {
        const double cosine = (old == 90.0 ? 0.0 : std::cos(old * kDegToRad)) - delta[j++];
        // A step beyond a cosine of +-1 would leave no angle: it stops at the limit.
        crystl.LAT[p] = std::acos(std::clamp(cosine, -1.0, 1.0)) * kRadToDeg;
      }
    }
    printChange(old, crystl.LAT[p]);
  }
}

std::vector<FitParameter> refinedParameters() {
  std::vector<FitParameter> params;
  for (int i = 0; i < cell.NASYM; ++i)
    for (int a = 0; a < 3; ++a)
      if (lsq.XID[i][a] != 0) params.push_back({i, a, -1});
  for (int p = 0; p < 6; ++p)
    if (lsq.LID[p] != 0) params.push_back({-1, -1, p});
  return params;
}

void extmt(const std::vector<FitParameter>& params, const FitDerivatives& d, std::vector<double>& f,
           std::vector<double>& w) {
  const int n = static_cast<int>(params.size());
  f.assign(static_cast<std::size_t>(n), 0.0);
  w.assign(static_cast<std::size_t>(n) * n, 0.0);
  for (int k = 0; k < n; ++k) {
    const FitParameter& pk = params[k];
    f[k] = pk.lattice < 0 ? d.gradient[3 * pk.atom + pk.axis] : d.latticeGradient[pk.lattice];
    for (int l = 0; l < n; ++l) {
      const FitParameter& pl = params[l];
      double v;
      if (pk.lattice < 0 && pl.lattice < 0)
        v = d.hessian[static_cast<std::size_t>(3 * pk.atom + pk.axis) * d.stride + 3 * pl.atom + pl.axis];
      else if (pk.lattice >= 0 && pl.lattice >= 0)
        v = d.latticeHessian[pk.lattice][pl.lattice];
      else if (pk.lattice >= 0)
        v = d.mixed[static_cast<std::size_t>(pk.lattice) * d.stride + 3 * pl.atom + pl.axis];
      else
        v = d.mixed[static_cast<std::size_t>(pl.lattice) * d.stride + 3 * pk.atom + pk.axis];
      w[k + static_cast<std::size_t>(l) * n] = v;
    }
  }
}

double scaleFactor(double wmax) {
  double bai = 1.0;
  while (wmax * bai > 5.0) bai *= 0.1;
  while (wmax * bai <= 0.5) bai *= 10.0;
  return bai;
}

void fitlsq(const std::string& spaceGroupSymbol) {
  const std::vector<FitParameter> params = refinedParameters();
  const int n = static_cast<int>(params.size());
  if (n > kMaxParameters) {
    say(" *********ERROR");
    say(" ****Number of refined parameter (", fmtI(n, 4), ")is too large.(>MMAX ", fmtI(kMaxParameters, 4), ")");
    throw RunStop("");
  }
  for (int i = 0; i < cell.NASYM; ++i)
    say(" XID", fmtI(i + 1, 4), ">>", fmtI(lsq.XID[i][0], 4), fmtI(lsq.XID[i][1], 4), fmtI(lsq.XID[i][2], 4));
  for (double& g : crystl.RG) g *= kFourPiSquared;

  const bool anyLattice = std::any_of(lsq.LID.begin(), lsq.LID.end(), [](int id) { return id != 0; });
  FitDerivatives d;
  std::vector<double> f, w, delta;
  for (int cycle = 1; cycle <= lsq.NCYCLE; ++cycle) {
    say(" ");
    say(" **CYCLE ", fmtI(cycle, 3));
    if (anyLattice) calg(lsq.FFLAG);
    getwf(d, lsq.FFLAG);
    extmt(params, d, f, w);
    double s = 0;
    for (double v : f) s += v * v;
    say(" S=", e14(s));
    if (lsq.FFLAG == 1) {
      say(" **FD**");
      printColumns(f);
      say(" **WD**");
      printColumns(w);
    }
    const double wmax = getmax(w);
    if (wmax == 0) {
      say(" ***********ALL MATRIX ELEMENT IS ZERO");
      say(" N=", fmtI(n, 4));
      return;
    }
    const double bai = scaleFactor(wmax);
    for (double& v : f) v *= bai;
    for (double& v : w) v *= bai;
    say(" N=", fmtI(n, 4), "   MAXM=", e14(wmax), "   BAI=", e14(bai));
    double det = 0;
    int ier = 0;
    minver(w.data(), n, n, kInversionEps, det, ier);
    say(" N=", fmtI(n, 4), "   EPS=", e14(kInversionEps), "  DET=", e14(det), "   IER=", fmtI(ier, 2));
    Outcome outcome = Outcome::Continue;
    if (ier == 1) {
      outcome = Outcome::Failed;
      delta.assign(static_cast<std::size_t>(n), 0.0);
    } else {
      const double dmax = getds(w, f, n, delta);
      say(" MAX DS=", e14(dmax));
      if (lsq.EPS > dmax) {
        say(" MAX DS(", e14(dmax), ") IS LITTLE THAN EPS(", e14(lsq.EPS), ")");
        outcome = Outcome::Converged;
      }
    }
    newcod(delta);
    extcod(0);
    if (outcome != Outcome::Continue) break;
  }
  if (lsq.WFLAG != 0) wrfl07(spaceGroupSymbol);
}
