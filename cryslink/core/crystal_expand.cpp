// Expansion of the asymmetric unit into the unit cell. Candidate duplicates are
// found through a grid of bins over the cell, so the cost grows with the
// number of sites, not with its square.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/crystal.h"

namespace {

// Sites of the cell binned by their reduced fractional coordinates. A bin is at
// least the duplicate tolerance wide along each cell height, so two positions
// within the tolerance (nearest image) lie in the same or adjacent bins; an
// adjacent bin is searched only when the position lies within the tolerance
// of the border between them.
class SiteGrid {
public:
    SiteGrid(const CCrystal& crystal, long expectedSites) : crystal_(crystal) {
        const double heights[3] = {CellHeight(0), CellHeight(1), CellHeight(2)};
        const double tol = crystal.DuplicateTolerance;
        next_.reserve(static_cast<size_t>(std::max(0L, expectedSites)));
        for (int i = 0; i < 3; ++i) {
            double n = (tol > 0 && heights[i] > 0) ? std::floor(heights[i] / tol) : 1.0;
            n_[i] = static_cast<int>(std::clamp(n, 1.0, 1024.0));
        }
        // Keep the number of bins in proportion to the number of sites.
        const double limit = std::max(8.0, 2.0 * static_cast<double>(expectedSites));
        while (static_cast<double>(n_[0]) * n_[1] * n_[2] > limit) {
            int widest = static_cast<int>(std::max_element(n_, n_ + 3) - n_);
            n_[widest] = std::max(1, n_[widest] / 2);
        }
        head_.assign(static_cast<size_t>(n_[0]) * n_[1] * n_[2], -1);
        // The tolerance in bins along each axis, with room for rounding.
        for (int i = 0; i < 3; ++i)
            margin_[i] = heights[i] > 0 && tol >= 0 ? tol / heights[i] * n_[i] * (1 + 1e-6) + 1e-9 : 1.0;
    }

    void Insert(int site, double x, double y, double z) {
        const size_t bin = Index(Bin(x, 0), Bin(y, 1), Bin(z, 2));
        if (next_.size() <= static_cast<size_t>(site)) next_.resize(static_cast<size_t>(site) + 1, -1);
        next_[site] = head_[bin];
        head_[bin] = site;
    }

    // Same result as CCrystal::FindAtomSite: the first site in table order.
    int Find(int iAtomType, double x, double y, double z) const {
        const double tol2 = crystal_.DuplicateTolerance * crystal_.DuplicateTolerance;
        int found = -1;
        const int b[3] = {Bin(x, 0), Bin(y, 1), Bin(z, 2)};
        int offsets[3][3], count[3];
        const double p[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) {
            count[k] = 0;
            const double inBin = p[k] * n_[k] - b[k];  // place within the bin, 0 to 1
            const bool inside = inBin >= 0 && inBin <= 1;
            for (int d = -1; d <= 1; ++d) {
                if (inside && ((d < 0 && inBin >= margin_[k]) || (d > 0 && inBin <= 1 - margin_[k]))) continue;
                const int v = ((b[k] + d) % n_[k] + n_[k]) % n_[k];
                if (std::find(offsets[k], offsets[k] + count[k], v) == offsets[k] + count[k]) offsets[k][count[k]++] = v;
            }
        }
        for (int i = 0; i < count[0]; ++i)
            for (int j = 0; j < count[1]; ++j)
                for (int k = 0; k < count[2]; ++k)
                    for (int s = head_[Index(offsets[0][i], offsets[1][j], offsets[2][k])]; s >= 0; s = next_[s]) {
                        if (found >= 0 && s >= found) continue;
                        const CAtomSite& site = crystal_.AtomSites[s];
                        if (site.iAtomType == iAtomType &&
                            crystal_.GetNearestImageDistance2(site.x, site.y, site.z, x, y, z) < tol2)
                            found = s;
                    }
        return found;
    }

private:
    // Height of the cell perpendicular to the other two lattice vectors.
    double CellHeight(int i) const {
        const auto& u = crystal_.LatticeVector[(i + 1) % 3];
        const auto& v = crystal_.LatticeVector[(i + 2) % 3];
        const double cx = u[1] * v[2] - u[2] * v[1], cy = u[2] * v[0] - u[0] * v[2], cz = u[0] * v[1] - u[1] * v[0];
        const double area = std::sqrt(cx * cx + cy * cy + cz * cz);
        return area > 0 ? crystal_.Volume / area : 0.0;
    }
    int Bin(double f, int axis) const {
        const int k = static_cast<int>(std::floor(f * n_[axis]));
        return std::clamp(k, 0, n_[axis] - 1);
    }
    size_t Index(int i, int j, int k) const { return (static_cast<size_t>(i) * n_[1] + j) * n_[2] + k; }

    const CCrystal& crystal_;
    int n_[3] = {1, 1, 1};
    double margin_[3] = {1, 1, 1};
    std::vector<int> head_;
    std::vector<int> next_;
};

}  // namespace

int CCrystal::ExpandAsymSites() {
    nAtomSites = 0;
    const CSpaceGroup& sg = SpaceGroup;
    const int inversions = sg.bInversion ? 2 : 1;
    const long expected = static_cast<long>(nAtomAsymSites) * sg.nSymmetry * sg.nCentering * inversions;
    SiteGrid grid(*this, std::min<long>(expected, nMaxAtomSites));
    for (int o = 0; o < sg.nSymmetry; ++o) {
        if (!sg.HasNumbers(o)) continue;  // an operation whose text could not be read moves nothing
        for (int t = 0; t < sg.nCentering; ++t) {
            for (int s = 0; s < inversions; ++s) {
                for (int i = 0; i < nAtomAsymSites; ++i) {
                    const CAtomSite& asym = AtomAsymSites[i];
                    double x, y, z;
                    sg.ApplyOperation(o, t, s, asym.x, asym.y, asym.z, x, y, z);
                    if (grid.Find(asym.iAtomType, x, y, z) >= 0) continue;
                    const int before = nAtomSites;
                    AddAtomSite(asym.Label, asym.iAtomType, i, asym.Occupancy, x, y, z, 0, 0, 0);
                    if (nAtomSites > before) grid.Insert(before, x, y, z);
                }
            }
        }
    }
    CalculateDensity();
    return nAtomSites;
}
