#include "analysis/cif_summary.h"

#include <cstdio>

#include "analysis/cif_load.h"
#include "core/crystal.h"
#include "core/run_context.h"

namespace {

void PrintSite(const CAtomSite& site) {
    const char* name = site.AtomType ? site.AtomType->Name.c_str() : site.Label.c_str();
    std::printf("  %2s (%lg,%lg,%lg) [occ=%lg]\n", name, site.x, site.y, site.z, site.Occupancy);
}

}  // namespace

int ShowCIFInf(const RunContext& context, const std::string& cifFile) {
    auto crystal = LoadCrystalFromCIF(context, cifFile, "Error in ShowCIFInf: Can not read [%s].\n");
    if (!crystal) return -1;
    const CCrystal& c = *crystal;
    std::printf("\n");
    std::printf("Crystal: %s\n", c.ChemicalName.c_str());
    std::printf("  Lattice:\n");
    std::printf("    Parameters: %lg %lg %lg nm  %lg %lg %lg\n", c.a, c.b, c.c, c.alpha, c.beta, c.gamma);
    for (int i = 0; i < 3; ++i)
        std::printf(i == 0 ? "    Vectors: %10.6f %10.6f %10.6f\n" : "             %10.6f %10.6f %10.6f\n",
                    c.LatticeVector[i][0], c.LatticeVector[i][1], c.LatticeVector[i][2]);
    std::printf("    Volume : %lg nm3\n", c.Volume);
    std::printf("    Density: %lg g/cm3\n", c.Density);
    std::printf("Atom types:\n");
    for (int i = 0; i < c.nAtomTypes; ++i) {
        const CAtomType& t = c.AtomTypes[i];
        std::printf("  %2s Z=%lg q=%lg m=%lg\n", t.Name.c_str(), t.AtomicNumber, t.Charge, t.AtomicWeight);
    }
    if (context.options.ShowAsymmetricUnit) {
        std::printf("Atoms in Asymmetric unit:\n");
        for (int i = 0; i < c.nAtomAsymSites; ++i) PrintSite(c.AtomAsymSites[i]);
    }
    const bool showAll = context.options.ShowAllAtoms != 0;
    if (showAll) std::printf("Atoms in unit cell:\n");
    std::vector<int> count(static_cast<size_t>(c.nAtomTypes), 0);
    for (int i = 0; i < c.nAtomSites; ++i) {
        const CAtomSite& s = c.AtomSites[i];
        if (s.iAtomType >= 0 && s.iAtomType < c.nAtomTypes) ++count[s.iAtomType];  // untyped sites are not counted
        if (showAll) PrintSite(s);
    }
    std::printf("Chemical composition:\n");
    for (int i = 0; i < c.nAtomTypes; ++i) std::printf("  %2s: %d\n", c.AtomTypes[i].Name.c_str(), count[i]);
    return 1;
}
