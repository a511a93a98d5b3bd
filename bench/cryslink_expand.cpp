// Expanding 2,000 asymmetric sites in Fm-3m (up to 384,000 sites in the cell).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "core/crystal.h"
#include "core/space_group_database.h"

namespace {

void ExpandFm3m(benchmark::State& state) {
    const int nAsym = static_cast<int>(state.range(0));
    CCrystal crystal;
    CSpaceGroupDatabase spaceGroups;
    spaceGroups.Read(SOURCE_DIR "/data/spgra");
    crystal.SpaceGroup.ReadSPG(225, 1, spaceGroups);
    crystal.SetLatticeParameters(5.0, 5.0, 5.0, 90, 90, 90);
    crystal.CalculateLatticeVectors();
    crystal.AllocAtomTypes(3);
    crystal.AllocAtomAsymSites(nAsym);
    crystal.AllocAtomSites(nAsym * 192);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < nAsym; ++i) crystal.AddAtomAsymSite("", i % 2 ? "Na" : "Cl", 1.0, u(rng), u(rng), u(rng));
    for (auto _ : state) benchmark::DoNotOptimize(crystal.ExpandAsymSites());
    state.counters["sites"] = crystal.nAtomSites;
}

}  // namespace

BENCHMARK(ExpandFm3m)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
