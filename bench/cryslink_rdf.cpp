// CalculateRDF on a P1 cell of 100,000 atoms of three types (Rmax 5 A, nMesh 201),
// and ListDistances on a cell of 10,000 atoms; each also as the whole action on
// a CIF file of the cell.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "analysis/distance_list.h"
#include "analysis/rdf.h"
#include "bench_context.h"
#include "core/cif_writer.h"
#include "core/crystal.h"

namespace {

// A cubic cell of `n` atoms at a typical density of oxides (0.08 atoms per cubic Angstrom).
std::unique_ptr<CCrystal> RandomCell(int n) {
    auto c = std::make_unique<CCrystal>();
    const double a = std::cbrt(n / 0.08) / 10.0;  // nm
    c->SetLatticeParameters(a, a, a, 90, 90, 90);
    c->CalculateLatticeVectors();
    c->AllocAtomAsymSites(n);
    c->AllocAtomSites(n);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const char* types[] = {"Si", "O", "Mg"};
    for (int i = 0; i < n; ++i) c->AddAtomAsymSite("", types[i % 3], 1.0, u(rng), u(rng), u(rng));
    c->CopyAsymSitesToSites();
    return c;
}

// The tables are written into a scratch directory.
void EnterScratchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "cryslink-bench-rdf";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
}

void CalRdf100k(benchmark::State& state) {
    auto crystal = RandomCell(100000);
    EnterScratchDirectory();
    for (auto _ : state) benchmark::DoNotOptimize(CalculateRDF(BenchContext().options, *crystal, 0));
}

// Writes the cell as a P1 CIF file in the scratch directory and returns its name.
std::string CellFile(CCrystal& crystal) {
    EnterScratchDirectory();
    WriteCIFFile(crystal, "cell.cif");
    return "cell.cif";
}

// The whole action: reading the CIF file, expanding it and writing the tables.
void CalRdfAction100k(benchmark::State& state) {
    RunContext& context = BenchContext();
    context.options.CalcRDF = 1;
    const std::string cif = CellFile(*RandomCell(100000));
    for (auto _ : state) benchmark::DoNotOptimize(CalRDF(context, cif));
}

void CalDistance10k(benchmark::State& state) {
    auto crystal = RandomCell(10000);
    EnterScratchDirectory();
    for (auto _ : state) benchmark::DoNotOptimize(ListDistances(BenchContext().options, *crystal, "distances.txt"));
}

void CalDistanceAction10k(benchmark::State& state) {
    const std::string cif = CellFile(*RandomCell(10000));
    for (auto _ : state) benchmark::DoNotOptimize(CalDistance(BenchContext(), cif, "distances.txt"));
}

}  // namespace

BENCHMARK(CalRdf100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CalRdfAction100k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CalDistance10k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CalDistanceAction10k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
