#include "analysis/neighbour_search.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "core/units.h"

namespace {

// More cell heights than this along one axis is beyond any search.
constexpr double kMaxReach = 1e6;

int FloorDiv(int u, int n) { return u >= 0 ? u / n : -((-u + n - 1) / n); }

// 1 + trunc(v), cut to the range of int (an undefined v counts as 0).
int OnePlusTrunc(double v) {
    if (std::isnan(v)) return 1;
    return static_cast<int>(std::clamp(1.0 + std::trunc(v), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

std::array<int, 3> TableLatticeRange(const CCrystal& c, double rmaxAngstrom) {
    const double s = std::min({std::fabs(std::sin(c.alpha * units::kDegToRad)), std::fabs(std::sin(c.beta * units::kDegToRad)),
                               std::fabs(std::sin(c.gamma * units::kDegToRad))});
    auto range = [&](double length) { return OnePlusTrunc(rmaxAngstrom / (units::kNmToAngstrom * length * s)); };
    return {range(c.a), range(c.b), range(c.c)};
}

NeighbourSearch::NeighbourSearch(const CCrystal& crystal, double rmaxAngstrom)
    : crystal_(crystal), rmax_(rmaxAngstrom) {
    const double rmaxNm = rmaxAngstrom / units::kNmToAngstrom;
    none_ = !(rmaxNm >= 0);
    if (none_) return;
    // A pair at exactly Rmax must survive the rounding of the squared distance.
    cut2_ = rmaxNm * rmaxNm * (1.0 + 1e-9);

    // Cell heights from the metric: h_k^2 = det G / cofactor_kk (= 1 / G*_kk).
    const auto& G = crystal.Metric;
    const double cof[3] = {G[1][1] * G[2][2] - G[1][2] * G[1][2], G[0][0] * G[2][2] - G[0][2] * G[0][2],
                           G[0][0] * G[1][1] - G[0][1] * G[0][1]};
    const double det = G[0][0] * cof[0] - G[0][1] * (G[0][1] * G[2][2] - G[1][2] * G[0][2]) +
                       G[0][2] * (G[0][1] * G[1][2] - G[1][1] * G[0][2]);
    const int nSites = crystal.nAtomSites;
    for (int k = 0; k < 3; ++k) {
        const double height = std::sqrt(det / cof[k]);
        if (!(det > 0 && cof[k] > 0 && std::isfinite(height) && height > 0)) {
            problem_ = "the cell has no volume";
            return;
        }
        // The margin keeps rounding in the distance from losing a pair at Rmax.
        reach_[k] = rmaxNm / height * (1.0 + 1e-6) + 1e-12;
        if (!(reach_[k] <= kMaxReach)) {
            problem_ = "MaximumDistance spans too many cells";
            return;
        }
        // Bins at least Rmax wide, so the neighbours lie in the adjacent bins.
        const double bins = rmaxNm > 0 ? std::floor(height / rmaxNm) : 512.0;
        n_[k] = static_cast<int>(std::clamp(bins, 1.0, 512.0));
    }
    // A lower bound of the metric's smallest eigenvalue (Gershgorin): a bin
    // whose fractional gaps g from the centre give lowest * |g|^2 > Rmax^2 lies
    // wholly beyond Rmax. Zero (no bin is passed over) when the bound is not positive.
    for (int k = 0; k < 3; ++k) {
        const double bound = G[k][k] - std::fabs(G[k][(k + 1) % 3]) - std::fabs(G[k][(k + 2) % 3]);
        lowest_ = k == 0 ? bound : std::min(lowest_, bound);
    }
    lowest_ = std::isfinite(lowest_) && lowest_ > 0 ? lowest_ * (1.0 - 1e-6) : 0.0;
    // No more bins than there are sites to fill them.
    while (static_cast<double>(n_[0]) * n_[1] * n_[2] > std::max(8.0, 2.0 * nSites)) {
        int widest = static_cast<int>(std::max_element(n_, n_ + 3) - n_);
        n_[widest] = std::max(1, n_[widest] / 2);
    }

    const size_t count = static_cast<size_t>(std::max(nSites, 0));
    px_.resize(count);
    py_.resize(count);
    pz_.resize(count);
    std::vector<int> bin(count);
    binStart_.assign(static_cast<size_t>(n_[0]) * n_[1] * n_[2] + 1, 0);
    auto binOf = [this](double f, int k) { return std::clamp(static_cast<int>(std::floor(f * n_[k])), 0, n_[k] - 1); };
    for (size_t j = 0; j < count; ++j) {
        const CAtomSite& s = crystal.AtomSites[j];
        px_[j] = ReduceFractionalCoordinate(s.x);
        py_[j] = ReduceFractionalCoordinate(s.y);
        pz_[j] = ReduceFractionalCoordinate(s.z);
        bin[j] = (binOf(px_[j], 0) * n_[1] + binOf(py_[j], 1)) * n_[2] + binOf(pz_[j], 2);
        ++binStart_[bin[j] + 1];
    }
    for (size_t b = 1; b < binStart_.size(); ++b) binStart_[b] += binStart_[b - 1];
    binSite_.resize(count);
    bx_.resize(count);
    by_.resize(count);
    bz_.resize(count);
    std::vector<int> fill(binStart_.begin(), binStart_.end() - 1);
    for (size_t j = 0; j < count; ++j) {
        const int t = fill[bin[j]]++;
        binSite_[t] = static_cast<int>(j);
        bx_[t] = px_[j];
        by_[t] = py_[j];
        bz_[t] = pz_[j];
    }
}

void NeighbourSearch::Find(double x, double y, double z, std::vector<Neighbour>& out) const {
    out.clear();
    if (none_ || problem_) return;
    const double c[3] = {x, y, z};
    int lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
        lo[k] = static_cast<int>(std::floor((c[k] - reach_[k]) * n_[k]));
        hi[k] = static_cast<int>(std::floor((c[k] + reach_[k]) * n_[k]));
    }
    // Squared fractional gap between the centre and bin u along axis k.
    auto gap2 = [this, &c](int u, int k) {
        const double n = n_[k];
        const double g = std::max({0.0, u / n - c[k], c[k] - (u + 1) / n});
        return g * g;
    };
    const double beyond = cut2_ * (1.0 + 1e-6);
    for (int ua = lo[0]; ua <= hi[0]; ++ua) {
        const int la = FloorDiv(ua, n_[0]), ba = ua - la * n_[0];
        const double ga = gap2(ua, 0);
        for (int ub = lo[1]; ub <= hi[1]; ++ub) {
            const int lb = FloorDiv(ub, n_[1]), bb = ub - lb * n_[1];
            const double gab = ga + gap2(ub, 1);
            if (lowest_ * gab > beyond) continue;
            for (int uc = lo[2]; uc <= hi[2]; ++uc) {
                if (lowest_ * (gab + gap2(uc, 2)) > beyond) continue;
                const int lc = FloorDiv(uc, n_[2]), bc = uc - lc * n_[2];
                const int b = (ba * n_[1] + bb) * n_[2] + bc;
                for (int t = binStart_[b]; t < binStart_[b + 1]; ++t) {
                    const double d2 = crystal_.GetDistance2(x, y, z, bx_[t] + la, by_[t] + lb, bz_[t] + lc);
                    if (d2 > cut2_) continue;
                    const double r = units::kNmToAngstrom * std::sqrt(d2);
                    if (r <= rmax_) out.push_back({binSite_[t], la, lb, lc, r});
                }
            }
        }
    }
}

bool ReportSearchProblem(const NeighbourSearch& search, const char* caller, const CCrystal& crystal,
                         double rmaxAngstrom) {
    if (!search.Problem()) return false;
    std::printf("Error in %s: Can not search [%s] within %lg A: %s.\n", caller, crystal.Name.c_str(), rmaxAngstrom,
                search.Problem());
    return true;
}
