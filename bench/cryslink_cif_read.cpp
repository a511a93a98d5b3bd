// Reading a large CIF file: a P1 cell of 100,800 sites of three types (about
// 5.6 MB) read and expanded by the ShowCIFInf action, and the CalRDF action on
// it with tables to 5 A. The file is left in the scratch directory
// (<tmp>/cryslink-bench-cif/cell.cif) for timing the program itself.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "analysis/cif_summary.h"
#include "analysis/rdf.h"
#include "bench_context.h"

namespace {

constexpr int kSites = 100800;

// A cubic cell at a typical density of oxides (0.08 atoms per cubic Angstrom),
// written once as a P1 CIF file in the scratch directory, one site per line as
// databases write them.
const std::string& CellFile() {
    static const std::string name = [] {
        const auto dir = std::filesystem::temp_directory_path() / "cryslink-bench-cif";
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        const double a = std::cbrt(kSites / 0.08);  // Angstrom
        std::FILE* f = std::fopen("cell.cif", "w");
        std::fprintf(f, "data_bench\n_cell_length_a %.4f\n_cell_length_b %.4f\n_cell_length_c %.4f\n", a, a, a);
        std::fprintf(f, "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n");
        std::fprintf(f, "_symmetry_space_group_name_H-M 'P 1'\n_symmetry_Int_Tables_number 1\n");
        std::fprintf(f, "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n");
        std::fprintf(f, "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_symmetry_multiplicity\n"
                        "_atom_site_Wyckoff_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                        "_atom_site_occupancy\n_atom_site_U_iso_or_equiv\n");
        std::mt19937 rng(5);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        const char* types[] = {"Si", "O", "Mg"};
        for (int i = 0; i < kSites; ++i)
            std::fprintf(f, "%s%d %s 1 a %.6f %.6f %.6f 1.0000 %.4f\n", types[i % 3], i / 3 + 1, types[i % 3], u(rng),
                         u(rng), u(rng), 0.005 + 0.01 * u(rng));
        std::fclose(f);
        return (dir / "cell.cif").string();
    }();
    return name;
}

const RunContext& Context() {
    RunContext& context = BenchContext();
    context.options.CalcRDF = 1;
    return context;
}

void ShowCIFInfP1(benchmark::State& state) {
    const std::string& cif = CellFile();
    const RunContext& context = Context();
    for (auto _ : state) benchmark::DoNotOptimize(ShowCIFInf(context, cif));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(cif));
}

void CalRdfActionP1(benchmark::State& state) {
    const std::string& cif = CellFile();
    const RunContext& context = Context();
    for (auto _ : state) benchmark::DoNotOptimize(CalRDF(context, cif));
}

}  // namespace

BENCHMARK(ShowCIFInfP1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CalRdfActionP1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
