#pragma once
// Every partner site within a radius of a position, found through a grid of
// bins over the cell: the cost grows with the number of pairs found, and any
// cell shape is handled (the search reaches as far as the radius demands
// along each cell height).
#include <array>
#include <vector>

#include "core/crystal.h"

// The lattice range of the tables' "Lattice Range" line: 1 + trunc(Rmax / (10 a s))
// with s the smallest |sine| of the cell angles (Rmax in Angstrom, a in nm).
// A figure beyond the range of int is cut to its limit.
std::array<int, 3> TableLatticeRange(const CCrystal& crystal, double rmaxAngstrom);

class NeighbourSearch {
public:
    // Partners are the sites of the cell, at their reduced coordinates.
    NeighbourSearch(const CCrystal& crystal, double rmaxAngstrom);

    // Why the pairs cannot be found (a flat cell, or a radius spanning more
    // cells than can be visited); nullptr when they can.
    const char* Problem() const { return problem_; }

    struct Neighbour {
        int partner;     // index into AtomSites
        int la, lb, lc;  // lattice translation of the partner
        double r;        // distance in Angstrom: 10 sqrt(GetDistance2(centre, partner + translation))
    };

    // Replaces the contents of `out` with every partner image within Rmax of
    // the reduced position (x, y, z), in no particular order.
    void Find(double x, double y, double z, std::vector<Neighbour>& out) const;

    // Reduced coordinates of partner j.
    double X(int j) const { return px_[j]; }
    double Y(int j) const { return py_[j]; }
    double Z(int j) const { return pz_[j]; }

private:
    const CCrystal& crystal_;
    double rmax_;                   // Angstrom
    double cut2_ = 0;               // nm^2, a little above (Rmax / 10)^2
    const char* problem_ = nullptr;
    bool none_ = false;             // a negative or undefined radius finds nothing
    int n_[3] = {1, 1, 1};          // bins per axis
    double reach_[3] = {0, 0, 0};   // Rmax as a fraction of each cell height
    double lowest_ = 0;             // a lower bound of the metric's smallest eigenvalue (nm^2)
    std::vector<double> px_, py_, pz_;
    // The partners in bin order: bin b holds entries binStart_[b] .. binStart_[b+1]-1.
    std::vector<int> binStart_;
    std::vector<int> binSite_;
    std::vector<double> bx_, by_, bz_;
};

// When the search cannot be made, prints "Error in <caller>: Can not search
// [<crystal name>] within <Rmax> A: <why>." and returns true.
bool ReportSearchProblem(const NeighbourSearch& search, const char* caller, const CCrystal& crystal,
                         double rmaxAngstrom);
