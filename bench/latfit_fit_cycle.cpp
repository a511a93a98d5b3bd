// One fit cycle (calg + getwf + inversion) for 192 atoms in P1 with every
// coordinate but the first atom's and all six lattice constants refined,
// cut level 1e-10.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "commons.h"
#include "fit.h"
#include "reduction.h"
#include "geometry.h"
#include "getwf.h"
#include "minver.h"
#include "quiet_stdout.h"

namespace {

constexpr double kCoulomb = 2.307100407e-18;

// A 2 x 3 x 4 block of rock-salt cells (MgO), slightly disordered.
void setUpCell() {
  resetCommons();
  crystl.LAT = {2 * 4.212, 3 * 4.212, 4 * 4.212, 90, 90, 90};
  symm.NSYM = 1;
  symm.ROT[0] = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  symm.NTRANS = 0;
  atpara.NKIND = 2;
  atom.CHARGE[0] = 2;
  atom.CHARGE[1] = -2;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) atpara.Z[i][j] = atom.CHARGE[i] * atom.CHARGE[j] * kCoulomb;
  atpara.A[0][1] = atpara.A[1][0] = 2.2887e-16;
  atpara.B[0][1] = atpara.B[1][0] = 0.2945;
  atpara.A[1][1] = 3.6472e-15;
  atpara.B[1][1] = 0.149;
  atpara.C[1][1] = -4.467e-18;
  atpara.B[0][0] = 0.01;
  const double fcc[4][3] = {{0, 0, 0}, {0, 0.5, 0.5}, {0.5, 0, 0.5}, {0.5, 0.5, 0}};
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> shake(-0.002, 0.002);
  int n = 0;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 4; ++k)
        for (const auto& p : fcc)
          for (int kind = 0; kind < 2; ++kind) {
            const double shift = kind == 1 ? 0.5 : 0.0;
            cell.X[n] = {(i + p[0] + shift) / 2 + shake(rng), (j + p[1]) / 3 + shake(rng), (k + p[2]) / 4 + shake(rng)};
            for (double& x : cell.X[n]) x = redc01(x);
            cell.KIND[n] = kind + 1;
            cell.OCCU[n] = 1.0;
            lsq.XID[n] = {n == 0 ? 0 : 1, n == 0 ? 0 : 1, n == 0 ? 0 : 1};
            ++n;
          }
  cell.NASYM = n;
  lsq.LID = {1, 1, 1, 1, 1, 1};
  minmax.ALPHA = 0.35;
  minmax.RMIN = 0.5;
  minmax.CEPS = 1e-10;
  {
    QuietStdout quiet;  // the range printout is not part of the measurement
    calcrs(0);
    extcod(0);
    calrng();
  }
  for (double& g : crystl.RG) g *= 39.478417602100684;
}

void FitCycle(benchmark::State& state) {
  setUpCell();
  const std::vector<FitParameter> params = refinedParameters();
  const int n = static_cast<int>(params.size());
  FitDerivatives d;
  std::vector<double> f, w;
  for (auto _ : state) {
    calg(0);
    getwf(d, 0);
    extmt(params, d, f, w);
    double det = 0;
    int ier = 0;
    minver(w.data(), n, n, 1e-30, det, ier);
    benchmark::DoNotOptimize(det);
  }
  state.counters["parameters"] = n;
  state.counters["atoms"] = cell.NTOT;
  state.counters["Nmax"] = minmax.NMAX[0];
  state.counters["Hmax"] = minmax.HMAX[0];
}

}  // namespace

BENCHMARK(FitCycle)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
