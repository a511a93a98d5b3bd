// VASPMakeXSF as the whole action on a synthetic run directory: an OUTCAR of
// 1,000 atoms (two types) and 500 ionic steps, about 125 MB, laid out as VASP
// writes it (lattice block, the four force contributions, the position and
// total-force block). The run directory is written once into the temporary
// directory and kept for later runs. Prints the time of the action; run it
// under /usr/bin/time -v for the peak memory.
//   build/bench/cryslink_vasp_outcar [nAtoms] [nSteps] > /dev/null
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "abinitio/vasp.h"
#include "bench_context.h"

namespace {

void WriteRun(const std::filesystem::path& dir, int nAtoms, int nSteps) {
    std::filesystem::create_directories(dir);
    const double a = 25.0;
    const int nFirst = nAtoms / 3;
    FILE* f = std::fopen((dir / "POSCAR").c_str(), "w");
    std::fprintf(f, "synthetic oxide\n1.0\n%.10f 0 0\n0.05 %.10f 0\n0.1 -0.2 %.10f\nSi O\n%d %d\nDirect\n", a, a, a,
                 nFirst, nAtoms - nFirst);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < nAtoms; ++i) std::fprintf(f, "%.8f %.8f %.8f\n", u(rng), u(rng), u(rng));
    std::fclose(f);
    f = std::fopen((dir / "INCAR").c_str(), "w");
    std::fprintf(f, "SYSTEM = bench run\nIBRION = 0\nNSW = %d\n", nSteps);
    std::fclose(f);
    f = std::fopen((dir / "OUTCAR").c_str(), "w");
    std::fprintf(f, " vasp.5.4.4 synthetic\n POTCAR:    PAW_PBE Si 05Jan2001\n POTCAR:    PAW_PBE O 08Apr2002\n");
    for (int s = 0; s < nSteps; ++s) {
        std::fprintf(f,
                     "\n VOLUME and BASIS-vectors are now :\n"
                     " -----------------------------------------------------------------------------\n"
                     "  energy-cutoff  :      400.00\n  volume of cell :    15625.00\n"
                     "      direct lattice vectors                 reciprocal lattice vectors\n"
                     "    %.9f  0.000000000  0.000000000     0.040000000  0.000000000  0.000000000\n"
                     "     0.050000000 %.9f  0.000000000     0.000000000  0.040000000  0.000000000\n"
                     "     0.100000000 -0.200000000 %.9f     0.000000000  0.000000000  0.040000000\n\n"
                     "  length of vectors\n    25.000000000 25.000000000 25.000000000     0.04 0.04 0.04\n\n\n"
                     " FORCES acting on ions\n"
                     "    electron-ion (+dipol)            ewald-force                    non-local-force"
                     "                 convergence-correction\n"
                     " -----------------------------------------------------------------------------------------------\n",
                     a + 0.001 * s, a, a);
        for (int i = 0; i < nAtoms; ++i)
            std::fprintf(f,
                         "   0.129E+02 -.283E+02 0.155E+02   -.117E+02 0.244E+02 -.124E+02   -.724E+01 0.152E+02 "
                         "-.101E+02   0.505E-02 0.817E-02 -.889E-02\n");
        std::fprintf(f,
                     " -----------------------------------------------------------------------------------------------\n"
                     "   0.622E-07 -.997E-07 0.252E-06   0.000E+00 0.000E+00 0.000E+00   0.888E-15 -.178E-14 0.000E+00\n\n\n"
                     " POSITION                                       TOTAL-FORCE (eV/Angst)\n"
                     " -----------------------------------------------------------------------------------\n");
        for (int i = 0; i < nAtoms; ++i)
            std::fprintf(f, "  %11.5f  %11.5f  %11.5f    %13.6f %13.6f %13.6f\n", a * u(rng), a * u(rng), a * u(rng),
                         u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5);
        std::fprintf(f,
                     " -----------------------------------------------------------------------------------\n"
                     "    total drift:                                0.000000     -0.000000      0.000000\n\n\n"
                     "  FREE ENERGIE OF THE ION-ELECTRON SYSTEM (eV)\n  ---------------------------------------------------\n"
                     "  free  energy   TOTEN  =     -5230.12345678 eV\n\n");
        // Eigenvalues and occupations, as a real OUTCAR holds between the steps.
        std::fprintf(f, " k-point     1 :       0.0000    0.0000    0.0000\n  band No.  band energies     occupation\n");
        for (int b = 0; b < 700; ++b) std::fprintf(f, "  %6d     %10.4f      %8.5f\n", b + 1, -20.0 + 0.04 * b, b < 400 ? 2.0 : 0.0);
    }
    std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
    const int nAtoms = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int nSteps = argc > 2 ? std::atoi(argv[2]) : 500;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("cryslink-bench-vasp-" + std::to_string(nAtoms) + "x" + std::to_string(nSteps));
    if (!std::filesystem::exists(dir / "OUTCAR")) WriteRun(dir, nAtoms, nSteps);
    RunContext& context = BenchContext();
    context.options.nOutputInterval = 1;

    const auto start = std::chrono::steady_clock::now();
    const int status = VASPMakeXSF(context, (dir / "POSCAR").string());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "VASPMakeXSF on %s (%.1f MB): status %d, %.3f s\n", (dir / "OUTCAR").c_str(),
                 std::filesystem::file_size(dir / "OUTCAR") / 1e6, status, seconds);
    return status == 1 ? 0 : 1;
}
