#include "analysis/neighbour_search.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegToRad = 3.1415926535 / 180.0;

int FloorDiv(int u, int n) { return u >= 0 ? u / n : -((-u + n - 1) / n); }

}  // namespace

std::array<int, 3> TableLatticeRange(const CCrystal& c, double rmaxAngstrom) {
    const double s = std::min({std::fabs(std::sin(c.alpha * kDegToRad)), std::fabs(std::sin(c.beta * kDegToRad)),
                               std::fabs(std::sin(c.gamma * kDegToRad))});
    auto range = [&](double length) { return 1 + static_cast<int>(rmaxAngstrom / (10.0 * length * s)); };
    return {range(c.a), range(c.b), range(c.c)};
}

NeighbourSearch::NeighbourSearch(const CCrystal& crystal, double rmaxAngstrom)
    : crystal_(crystal), rmax_(rmaxAngstrom) {
    // Cell heights from the reciprocal metric: h_k = 1 / sqrt(G*_kk).
    double g[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) g[i * 3 + j] = crystal.Metric[i][j];
    double det = 0;
    const bool inverted = minver(g, 3, 3, 1e-30, &det) == 0;
    const double rmaxNm = rmaxAngstrom / 10.0;
    const int nSites = crystal.nAtomSites;
    for (int k = 0; k < 3; ++k) {
        const double height = inverted && g[k * 4] > 0 ? 1.0 / std::sqrt(g[k * 4]) : 0.0;
        if (!(height > 0) || !(rmaxNm >= 0)) {
            n_[k] = 1;
            reach_[k] = 0;
            continue;
        }
        // A small margin keeps rounding from losing a pair at exactly Rmax.
        reach_[k] = rmaxNm / height * (1.0 + 1e-9) + 1e-12;
        const double bins = rmaxNm > 0 ? std::floor(height / rmaxNm) : 1.0;
        n_[k] = static_cast<int>(std::clamp(bins, 1.0, 512.0));
    }
    // No more bins than there are sites to fill them.
    while (static_cast<double>(n_[0]) * n_[1] * n_[2] > std::max(8.0, 2.0 * nSites)) {
        int widest = static_cast<int>(std::max_element(n_, n_ + 3) - n_);
        n_[widest] = std::max(1, n_[widest] / 2);
    }
    px_.resize(static_cast<size_t>(nSites));
    py_.resize(static_cast<size_t>(nSites));
    pz_.resize(static_cast<size_t>(nSites));
    std::vector<int> bin(static_cast<size_t>(nSites));
    binStart_.assign(static_cast<size_t>(n_[0]) * n_[1] * n_[2] + 1, 0);
    auto binOf = [this](double f, int k) { return std::clamp(static_cast<int>(std::floor(f * n_[k])), 0, n_[k] - 1); };
    for (int j = 0; j < nSites; ++j) {
        const CAtomSite& s = crystal.AtomSites[j];
        px_[j] = ReduceFractionalCoordinate(s.x);
        py_[j] = ReduceFractionalCoordinate(s.y);
        pz_[j] = ReduceFractionalCoordinate(s.z);
        bin[j] = (binOf(px_[j], 0) * n_[1] + binOf(py_[j], 1)) * n_[2] + binOf(pz_[j], 2);
        ++binStart_[bin[j] + 1];
    }
    for (size_t b = 1; b < binStart_.size(); ++b) binStart_[b] += binStart_[b - 1];
    order_.resize(static_cast<size_t>(nSites));
    std::vector<int> fill(binStart_.begin(), binStart_.end() - 1);
    for (int j = 0; j < nSites; ++j) order_[fill[bin[j]]++] = j;
}

void NeighbourSearch::Find(double x, double y, double z, std::vector<Neighbour>& out) const {
    out.clear();
    const double c[3] = {x, y, z};
    int lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
        lo[k] = static_cast<int>(std::floor((c[k] - reach_[k]) * n_[k]));
        hi[k] = static_cast<int>(std::floor((c[k] + reach_[k]) * n_[k]));
    }
    for (int ua = lo[0]; ua <= hi[0]; ++ua) {
        const int la = FloorDiv(ua, n_[0]), ba = ua - la * n_[0];
        for (int ub = lo[1]; ub <= hi[1]; ++ub) {
            const int lb = FloorDiv(ub, n_[1]), bb = ub - lb * n_[1];
            for (int uc = lo[2]; uc <= hi[2]; ++uc) {
                const int lc = FloorDiv(uc, n_[2]), bc = uc - lc * n_[2];
                const int b = (ba * n_[1] + bb) * n_[2] + bc;
                for (int t = binStart_[b]; t < binStart_[b + 1]; ++t) {
                    const int j = order_[t];
                    const double r = 10.0 * std::sqrt(crystal_.GetDistance2(x, y, z, px_[j] + la, py_[j] + lb, pz_[j] + lc));
                    if (r <= rmax_) out.push_back({j, la, lb, lc, r});
                }
            }
        }
    }
}
