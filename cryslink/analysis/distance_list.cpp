#include "analysis/distance_list.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <tuple>
#include <vector>

#include "analysis/cif_load.h"
#include "analysis/neighbour_search.h"
#include "core/crystal.h"
#include "core/run_context.h"
#include "core/staged_file.h"
#include "core/units.h"

namespace {

// One line per centre-partner pair from Rmin up to the search's Rmax: by
// centre, then by translation (lc slowest, la fastest), then by partner.
void WriteListing(std::FILE* file, const NeighbourSearch& search, const CCrystal& crystal, double rmin) {
    constexpr double k = units::kNmToAngstrom;
    std::vector<NeighbourSearch::Neighbour> found;
    for (int i = 0; i < crystal.nAtomAsymSites; ++i) {
        const CAtomSite& s = crystal.AtomAsymSites[i];
        const double x = ReduceFractionalCoordinate(s.x), y = ReduceFractionalCoordinate(s.y),
                     z = ReduceFractionalCoordinate(s.z);
        double X, Y, Z;
        crystal.FractionalToCartesian(x, y, z, X, Y, Z);
        search.Find(x, y, z, found);
        std::sort(found.begin(), found.end(), [](const auto& p, const auto& q) {
            return std::tie(p.lc, p.lb, p.la, p.partner) < std::tie(q.lc, q.lb, q.la, q.partner);
        });
        for (const auto& nb : found) {
            if (nb.r < rmin) continue;
            const double px = search.X(nb.partner) + nb.la, py = search.Y(nb.partner) + nb.lb,
                         pz = search.Z(nb.partner) + nb.lc;
            double PX, PY, PZ;
            crystal.FractionalToCartesian(px, py, pz, PX, PY, PZ);
            std::fprintf(file,
                         "%4s - %4s   %14.6lg A  F(%6.4f %6.4f %6.4f)-(%6.4f %6.4f %6.4f) R(%6.3f %6.3f %6.3f)A-"
                         "(%6.3f %6.3f %6.3f)A\n",
                         s.Label.c_str(), crystal.AtomSites[nb.partner].Label.c_str(), nb.r, x, y, z, px, py, pz,
                         X * k, Y * k, Z * k, PX * k, PY * k, PZ * k);
        }
    }
}

}  // namespace

int ListDistances(const RunOptions& options, const CCrystal& crystal, const std::string& outFile) {
    const double rmax = options.MaximumDistance;
    const double rmin = options.MinimumDistance;
    const auto range = TableLatticeRange(crystal, rmax);
    std::printf("Lattice parameters: %lg %lg %lg  %lg %lg %lg\n", crystal.a, crystal.b, crystal.c, crystal.alpha,
                crystal.beta, crystal.gamma);
    std::printf("MaximumDistance: %lg A\n", rmax);
    std::printf("  Lattice Range: %d %d %d\n", range[0], range[1], range[2]);
    try {
        NeighbourSearch search(crystal, rmax);
        if (ReportSearchProblem(search, "ListDistances", crystal, rmax)) return 0;
        CStagedFile file;
        if (!file.Open(outFile)) {
            std::printf("Error: Can not write to [%s].\n", outFile.c_str());
            return 0;
        }
        WriteListing(file.get(), search, crystal, rmin);
        if (!file.Commit()) {
            std::printf("Error: Can not write to [%s].\n", outFile.c_str());
            return 0;
        }
    } catch (const std::bad_alloc&) {
        std::printf("Error in ListDistances: No enough memory.\n");
        return 0;
    }
    return 1;
}

int CalDistance(const RunContext& context, const std::string& cifFile, const std::string& outFile) {
    auto crystal = LoadCrystalFromCIF(context, cifFile, "Error in CalDistance: Can not read [%s].\n");
    if (!crystal) return -1;
    crystal->Name = cifFile;
    crystal->SpaceGroup.SetP1();
    ListDistances(context.options, *crystal, outFile);
    return 1;
}
