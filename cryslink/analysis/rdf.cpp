#include "analysis/rdf.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "analysis/cif_load.h"
#include "analysis/neighbour_search.h"
#include "app/command_line.h"
#include "core/crystal.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct Mesh {
    double rmax;
    int n;
    double dr;
};

// Bin of a distance; a mesh without width puts everything in bin 0.
int BinOf(double r, const Mesh& mesh) { return mesh.dr > 0 ? static_cast<int>(r / mesh.dr) : 0; }

Mesh ReadMesh() {
    Mesh m{GetRealOption("MaximumDistance"), GetIntOption("nMesh"), 0};
    if (m.n <= 2) m.n = 201;
    m.dr = m.rmax / (m.n - 1);
    if (!(m.dr > 0)) m.dr = 0;
    return m;
}

const std::string& TypeName(const CAtomType& t) { return !t.Name.empty() ? t.Name : t.Label; }

std::string TableName(const char* stem, const CAtomType& a, const CAtomType& b, int stage, const char* suffix) {
    static const char* const kStage[] = {"", "-Final", "-Averaged"};
    const char* middle = (stage >= 0 && stage <= 2) ? kStage[stage] : "";
    return TypeName(a) + "-" + TypeName(b) + middle + stem + suffix;
}

// Histograms of every ordered type pair, nTypes x nTypes x nMesh.
struct Histograms {
    int nTypes = 0, nMesh = 0;
    std::vector<double> values;
    bool Allocate(int types, int mesh) {
        nTypes = types;
        nMesh = mesh;
        try {
            values.assign(static_cast<size_t>(types) * types * mesh, 0.0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    double* Row(int a, int b) { return values.data() + (static_cast<size_t>(a) * nTypes + b) * nMesh; }
};

bool ValidType(const CCrystal& c, int type) { return type >= 0 && type < c.nAtomTypes; }

// Calls visit(centre index, neighbour) for every centre (asymmetric site) and
// every partner image within Rmax.
template <typename Visit>
void ForEachPair(const CCrystal& crystal, double rmax, Visit&& visit) {
    NeighbourSearch search(crystal, rmax);
    std::vector<NeighbourSearch::Neighbour> found;
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const CAtomSite& s = crystal.AtomAsymSites[i];
        search.Find(ReduceFractionalCoordinate(s.x), ReduceFractionalCoordinate(s.y), ReduceFractionalCoordinate(s.z),
                    found);
        visit(i, found);
    }
}

void WriteTable(const std::string& name, const CAtomType& a, const CAtomType& b, const double* values,
                const Mesh& mesh, double scale) {
    std::printf("Writing to [%s]...\n", name.c_str());
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "w"));
    if (!file) {
        std::printf("Error: Can not write to [%s].\n", name.c_str());
        return;
    }
    const char* an = TypeName(a).c_str();
    const char* bn = TypeName(b).c_str();
    std::fprintf(file.get(), "r(A),RDF(%s-%s),RCN(%s-%s)\n", an, bn, an, bn);
    double rcn = 0.0;
    for (int k = 0; k < mesh.n; ++k) {
        const double g = values[k] / scale;
        if (k >= 1) rcn += g;
        std::fprintf(file.get(), "%g,%g,%g\n", k * mesh.dr, g, rcn);
    }
}

}  // namespace

int CalculateRDF(const CCrystal& crystal, int stage) {
    const Mesh mesh = ReadMesh();
    const auto range = TableLatticeRange(crystal, mesh.rmax);
    std::printf("Lattice parameters: %lg %lg %lg  %lg %lg %lg\n", crystal.a, crystal.b, crystal.c, crystal.alpha,
                crystal.beta, crystal.gamma);
    std::printf("MaximumDistance: %lg A\n", mesh.rmax);
    std::printf("nMesh: %d\n", mesh.n);
    std::printf("  Lattice Range: %d %d %d\n", range[0], range[1], range[2]);

    const int nTypes = crystal.nAtomTypes;
    Histograms h;
    if (!h.Allocate(nTypes, mesh.n)) {
        std::printf("Error in CalculateRDF: No enough memory.\n");
        return -1;
    }
    std::vector<int> nCounted(static_cast<size_t>(nTypes), 0);
    ForEachPair(crystal, mesh.rmax, [&](int i, const std::vector<NeighbourSearch::Neighbour>& found) {
        const int a = crystal.AtomAsymSites[i].iAtomType;
        if (!ValidType(crystal, a)) return;
        ++nCounted[a];
        for (const auto& nb : found) {
            const CAtomSite& p = crystal.AtomSites[nb.partner];
            if (!ValidType(crystal, p.iAtomType)) continue;
            const int k = BinOf(nb.r, mesh);
            if (k < mesh.n) h.Row(a, p.iAtomType)[k] += p.Occupancy;
        }
    });
    for (int a = 0; a < nTypes; ++a) {
        const CAtomType& ta = crystal.AtomTypes[a];
        if (nCounted[a] == 0) {
            std::printf(" nCountedAtom for %s is zero. Skipped.\n", TypeName(ta).c_str());
            continue;
        }
        for (int b = 0; b < nTypes; ++b) {
            const CAtomType& tb = crystal.AtomTypes[b];
            WriteTable(TableName("-RDF.csv", ta, tb, stage, ""), ta, tb, h.Row(a, b), mesh, nCounted[a]);
        }
    }
    return 1;
}

int CalculateCNRDF(const CCrystal& crystal, int nCoordination, int stage) {
    const Mesh mesh = ReadMesh();
    const int nTypes = crystal.nAtomTypes;
    Histograms h, scratch;
    if (!h.Allocate(nTypes, mesh.n) || !scratch.Allocate(1, mesh.n * nTypes)) {
        std::printf("Error in CalculateCNRDF: No enough memory.\n");
        return -1;
    }
    ForEachPair(crystal, mesh.rmax, [&](int i, const std::vector<NeighbourSearch::Neighbour>& found) {
        const int a = crystal.AtomAsymSites[i].iAtomType;
        if (!ValidType(crystal, a)) return;
        std::fill(scratch.values.begin(), scratch.values.end(), 0.0);
        for (const auto& nb : found) {
            const CAtomSite& p = crystal.AtomSites[nb.partner];
            if (!ValidType(crystal, p.iAtomType)) continue;
            const int k = BinOf(nb.r, mesh);
            if (k < mesh.n) scratch.values[static_cast<size_t>(p.iAtomType) * mesh.n + k] += p.Occupancy;
        }
        for (int b = 0; b < nTypes; ++b) {
            const double* counts = scratch.values.data() + static_cast<size_t>(b) * mesh.n;
            double* row = h.Row(a, b);
            double c = 0;
            bool added = false;
            for (int k = 1; k < mesh.n; ++k) {
                c = std::trunc(c + counts[k]);
                if (!added && c == nCoordination) {
                    row[k] += 1;
                    added = true;
                } else if (c >= nCoordination + 1) {
                    if (added) row[k] -= 1;
                    break;
                }
            }
        }
    });
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%d.csv", nCoordination);
    for (int a = 0; a < nTypes; ++a)
        for (int b = 0; b < nTypes; ++b) {
            const CAtomType& ta = crystal.AtomTypes[a];
            const CAtomType& tb = crystal.AtomTypes[b];
            WriteTable(TableName("-RDF-CN", ta, tb, stage, suffix), ta, tb, h.Row(a, b), mesh, 1.0);
        }
    return 1;
}

int CalRDF(const std::string& cifFile) {
    auto crystal = LoadCrystalFromCIF(cifFile, "Error in CalRDF: Can not read [%s].\n");
    if (!crystal) return -1;
    crystal->Name = cifFile;
    crystal->SpaceGroup.SetP1();
    if (GetIntOption("CalcRDF") != 0) {
        std::printf("Calculate RDF.\n");
        CalculateRDF(*crystal, 0);
    }
    const int nCoordination = GetIntOption("CoordinationNumber");
    if (nCoordination > 0) {
        std::printf("Coordination Number: %d\n", nCoordination);
        CalculateCNRDF(*crystal, nCoordination, 0);
    }
    return 1;
}
