// CASTEPConvOutput and PWScfConvOutput as whole actions on synthetic runs of
// 1,000 atoms and 200 steps, written into a scratch directory first. The
// actions' printed lines go to /dev/null while they are timed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "abinitio/castep.h"
#include "abinitio/pwscf.h"
#include "bench_context.h"
#include "quiet_stdout.h"

namespace {

constexpr int kAtoms = 1000, kSteps = 200;
const char* const kElements[] = {"Si", "O", "Mg"};

void EnterScratchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "cryslink-bench-abinitio";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
}

void WriteCastepGeometry(std::FILE* f, std::mt19937& rng, double a) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::fprintf(f, "                                      Unit Cell\n   -----\n   Real Lattice(A)\n\n\n\n\n");
    std::fprintf(f, "                       Lattice parameters(A)       Cell Angles\n");
    for (const char* axis : {"a", "b", "c"})
        std::fprintf(f, "                    %s =   %10.6f          alpha =   90.000000\n", axis, a);
    std::fprintf(f, "\n            x  Element    Atom        Fractional coordinates of atoms    x\n"
                    "            x            Number           u          v          w        x\n"
                    "            x------------------------------------------------------------x\n");
    for (int i = 0; i < kAtoms; ++i)
        std::fprintf(f, "            x   %-2s %9d          %8.6f   %8.6f   %8.6f     x\n", kElements[i % 3], i / 3 + 1,
                     u(rng), u(rng), u(rng));
    std::fprintf(f, "            xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n\n");
}

void WriteCastepForces(std::FILE* f, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::fprintf(f, " *********************************** Forces ***********************************\n"
                    " *                                                                            *\n"
                    " *                        Cartesian components (eV/A)                         *\n"
                    " * -------------------------------------------------------------------------- *\n"
                    " *                   x                    y                    z              *\n"
                    " *                                                                            *\n");
    for (int i = 0; i < kAtoms; ++i)
        std::fprintf(f, " * %-2s %9d     %9.5f            %9.5f            %9.5f         *\n", kElements[i % 3],
                     i / 3 + 1, u(rng), u(rng), u(rng));
    std::fprintf(f, " *                                                                            *\n"
                    " ******************************************************************************\n");
}

std::string CastepRun() {
    EnterScratchDirectory();
    std::mt19937 rng(5);
    std::FILE* f = std::fopen("run.castep", "w");
    WriteCastepGeometry(f, rng, 22.0);
    WriteCastepForces(f, rng);
    for (int s = 0; s < kSteps; ++s) {
        WriteCastepGeometry(f, rng, 22.0 + 0.001 * s);
        WriteCastepForces(f, rng);
    }
    std::fclose(f);
    return "run.castep";
}

std::string PWScfRun() {
    EnterScratchDirectory();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0), g(-0.01, 0.01);
    std::FILE* in = std::fopen("run.in", "w");
    std::fprintf(in, " &control\n    calculation = 'vc-relax'\n /\n &system\n    ibrav = 0, celldm(1) = 41.5,\n"
                     "    nat = %d, ntyp = 3\n /\nCELL_PARAMETERS alat\n 1.0 0.0 0.0\n 0.0 1.0 0.0\n 0.0 0.0 1.0\n"
                     "ATOMIC_SPECIES\n Si 28.086 Si.UPF\n O 15.999 O.UPF\n Mg 24.305 Mg.UPF\nATOMIC_POSITIONS crystal\n",
                 kAtoms);
    for (int i = 0; i < kAtoms; ++i) std::fprintf(in, " %s %.10f %.10f %.10f\n", kElements[i % 3], u(rng), u(rng), u(rng));
    std::fprintf(in, "K_POINTS gamma\n");
    std::fclose(in);
    std::FILE* out = std::fopen("run.out", "w");
    for (int s = 0; s < kSteps; ++s) {
        std::fprintf(out, "     Forces acting on atoms (cartesian axes, Ry/au):\n\n");
        for (int i = 0; i < kAtoms; ++i)
            std::fprintf(out, "     atom %4d type  %d   force =   %12.8f  %12.8f  %12.8f\n", i + 1, i % 3 + 1, g(rng),
                         g(rng), g(rng));
        std::fprintf(out, "\n     Total force =     0.001\n\nCELL_PARAMETERS (alat= 41.50000000)\n"
                          "   %.9f   0.000000000   0.000000000\n   0.000000000   1.000000000   0.000000000\n"
                          "   0.000000000   0.000000000   1.000000000\n\nATOMIC_POSITIONS (crystal)\n",
                     1.0 + 0.0001 * s);
        for (int i = 0; i < kAtoms; ++i)
            std::fprintf(out, "%-2s %19.10f %19.10f %19.10f\n", kElements[i % 3], u(rng), u(rng), u(rng));
        std::fprintf(out, "\n\n");
    }
    std::fclose(out);
    return "run.out";
}

void CastepConvOutput1000x200(benchmark::State& state) {
    const std::string file = CastepRun();
    for (auto _ : state) {
        QuietStdout quiet;
        benchmark::DoNotOptimize(CASTEPConvOutput(BenchContext(), file));
    }
}

void PWScfConvOutput1000x200(benchmark::State& state) {
    const std::string file = PWScfRun();
    for (auto _ : state) {
        QuietStdout quiet;
        benchmark::DoNotOptimize(PWScfConvOutput(BenchContext(), file));
    }
}

}  // namespace

BENCHMARK(CastepConvOutput1000x200)->Unit(benchmark::kMillisecond);
BENCHMARK(PWScfConvOutput1000x200)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
