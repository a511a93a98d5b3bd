#include "analysis/rdf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "analysis/cif_load.h"
#include "analysis/neighbour_search.h"
#include "core/crystal.h"
#include "core/run_context.h"
#include "core/staged_file.h"

namespace {

struct Mesh {
    double rmax;
    int n;
    double dr;
};

// Bin of a distance; a mesh without width (Rmax 0) puts everything in bin 0.
int BinOf(double r, const Mesh& mesh) { return mesh.dr > 0 ? static_cast<int>(r / mesh.dr) : 0; }

Mesh ReadMesh(const RunOptions& options) {
    Mesh m{options.MaximumDistance, options.nMesh, 0};
    if (m.n <= 2) m.n = 201;
    m.dr = m.rmax / (m.n - 1);
    return m;
}

const std::string& TypeName(const CAtomType& t) { return !t.Name.empty() ? t.Name : t.Label; }

// The tables go to the current directory: a slash in a type name (read from
// the input file) becomes "_" in the file name rather than lead elsewhere.
std::string TableName(const char* stem, const CAtomType& a, const CAtomType& b, int stage, const char* suffix) {
    static const char* const kStage[] = {"", "-Final", "-Averaged"};
    const char* middle = (stage >= 0 && stage <= 2) ? kStage[stage] : "";
    std::string name = TypeName(a) + "-" + TypeName(b) + middle + stem + suffix;
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

// Rows of nMesh reals in a table of rows x width: a histogram per ordered
// type pair (i, j), or a scratch row per neighbour type (i).
struct Histograms {
    int width = 0, nMesh = 0;
    std::vector<double> values;
    bool Allocate(int rows, int columns, int mesh) {
        width = columns;
        nMesh = mesh;
        try {
            values.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns) * static_cast<size_t>(mesh), 0.0);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        return true;
    }
    double* Row(int i, int j = 0) {
        return values.data() + (static_cast<size_t>(i) * width + static_cast<size_t>(j)) * nMesh;
    }
};

bool ValidType(const CCrystal& c, int type) { return type >= 0 && type < c.nAtomTypes; }

// One partner of a centre: its type, the bin of its distance and its weight.
struct Hit {
    int type;
    int bin;
    double weight;
};

// Calls visit(centre type, hits) for every centre (asymmetric site) of a
// valid type, with a hit for every partner image of a valid type within Rmax.
template <typename Visit>
void VisitCentres(const NeighbourSearch& search, const CCrystal& crystal, const Mesh& mesh, Visit&& visit) {
    // Type and occupancy of every partner, at hand without visiting the sites.
    std::vector<int> type(static_cast<size_t>(std::max(crystal.nAtomSites, 0)));
    std::vector<double> occupancy(type.size());
    // Weights that are multiples of 1/1024 up to 1 add up exactly in any order.
    bool exactSums = true;
    for (size_t j = 0; j < type.size(); ++j) {
        const CAtomSite& p = crystal.AtomSites[j];
        type[j] = ValidType(crystal, p.iAtomType) ? p.iAtomType : -1;
        occupancy[j] = p.Occupancy;
        const double scaled = std::ldexp(p.Occupancy, 10);
        exactSums = exactSums && std::fabs(p.Occupancy) <= 1.0 && scaled == std::trunc(scaled);
    }
    std::vector<NeighbourSearch::Neighbour> found;
    std::vector<Hit> hits;
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const CAtomSite& s = crystal.AtomAsymSites[i];
        if (!ValidType(crystal, s.iAtomType)) continue;
        search.Find(ReduceFractionalCoordinate(s.x), ReduceFractionalCoordinate(s.y), ReduceFractionalCoordinate(s.z),
                    found);
        // Other weights are added in the order of the translation loops (la
        // slowest, partner fastest), so that the sums do not depend on the search.
        if (!exactSums)
            std::sort(found.begin(), found.end(), [](const auto& p, const auto& q) {
                return std::tie(p.la, p.lb, p.lc, p.partner) < std::tie(q.la, q.lb, q.lc, q.partner);
            });
        hits.clear();
        for (const auto& nb : found) {
            const int k = BinOf(nb.r, mesh);
            if (type[nb.partner] >= 0 && k < mesh.n) hits.push_back({type[nb.partner], k, occupancy[nb.partner]});
        }
        visit(s.iAtomType, hits);
    }
}

// VisitCentres; false, reported for `caller`, when the pairs cannot be
// searched or the memory for them cannot be had.
template <typename Visit>
bool ForEachCentre(const CCrystal& crystal, const Mesh& mesh, const char* caller, Visit&& visit) {
    try {
        NeighbourSearch search(crystal, mesh.rmax);
        if (ReportSearchProblem(search, caller, crystal, mesh.rmax)) return false;
        VisitCentres(search, crystal, mesh, visit);
    } catch (const std::bad_alloc&) {
        std::printf("Error in %s: No enough memory.\n", caller);
        return false;
    }
    return true;
}

void WriteTable(const std::string& name, const CAtomType& a, const CAtomType& b, const double* values,
                const Mesh& mesh, double scale) {
    std::printf("Writing to [%s]...\n", name.c_str());
    CStagedFile file;
    if (!file.Open(name)) {
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
    if (!file.Commit()) std::printf("Error: Can not write to [%s].\n", name.c_str());
}

}  // namespace

int CalculateRDF(const RunOptions& options, const CCrystal& crystal, int stage) {
    const Mesh mesh = ReadMesh(options);
    const auto range = TableLatticeRange(crystal, mesh.rmax);
    std::printf("Lattice parameters: %lg %lg %lg  %lg %lg %lg\n", crystal.a, crystal.b, crystal.c, crystal.alpha,
                crystal.beta, crystal.gamma);
    std::printf("MaximumDistance: %lg A\n", mesh.rmax);
    std::printf("nMesh: %d\n", mesh.n);
    std::printf("  Lattice Range: %d %d %d\n", range[0], range[1], range[2]);

    const int nTypes = crystal.nAtomTypes;
    Histograms h;
    if (!h.Allocate(nTypes, nTypes, mesh.n)) {
        std::printf("Error in CalculateRDF: No enough memory.\n");
        return -1;
    }
    std::vector<int> nCounted(static_cast<size_t>(nTypes), 0);
    const bool searched = ForEachCentre(crystal, mesh, "CalculateRDF", [&](int a, const std::vector<Hit>& hits) {
        ++nCounted[a];
        for (const Hit& hit : hits) h.Row(a, hit.type)[hit.bin] += hit.weight;
    });
    if (!searched) return -1;
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

int CalculateCNRDF(const RunOptions& options, const CCrystal& crystal, int nCoordination, int stage) {
    const Mesh mesh = ReadMesh(options);
    const int nTypes = crystal.nAtomTypes;
    Histograms h, scratch;
    if (!h.Allocate(nTypes, nTypes, mesh.n) || !scratch.Allocate(nTypes, 1, mesh.n)) {
        std::printf("Error in CalculateCNRDF: No enough memory.\n");
        return -1;
    }
    const bool searched = ForEachCentre(crystal, mesh, "CalculateCNRDF", [&](int a, const std::vector<Hit>& hits) {
        std::fill(scratch.values.begin(), scratch.values.end(), 0.0);
        for (const Hit& hit : hits) scratch.Row(hit.type)[hit.bin] += hit.weight;
        for (int b = 0; b < nTypes; ++b) {
            const double* counts = scratch.Row(b);
            double* row = h.Row(a, b);
            double c = 0;
            bool added = false;
            for (int k = 1; k < mesh.n; ++k) {
                c = std::trunc(c + counts[k]);
                if (!added && c == nCoordination) {
                    row[k] += 1;
                    added = true;
                } else if (c >= nCoordination + 1.0) {
                    if (added) row[k] -= 1;
                    break;
                }
            }
        }
    });
    if (!searched) return -1;
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

int CalRDF(const RunContext& context, const std::string& cifFile) {
    auto crystal = LoadCrystalFromCIF(context, cifFile, "Error in CalRDF: Can not read [%s].\n");
    if (!crystal) return -1;
    crystal->Name = cifFile;
    crystal->SpaceGroup.SetP1();
    if (context.options.CalcRDF != 0) {
        std::printf("Calculate RDF.\n");
        CalculateRDF(context.options, *crystal, 0);
    }
    const int nCoordination = context.options.CoordinationNumber;
    if (nCoordination > 0) {
        std::printf("Coordination Number: %d\n", nCoordination);
        CalculateCNRDF(context.options, *crystal, nCoordination, 0);
    }
    return 1;
}
