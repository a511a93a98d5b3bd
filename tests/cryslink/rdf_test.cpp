// RDF tables and distance listings: the grid search against the plain loops
// over a block of translations, and the edge cases of the tables.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "analysis/distance_list.h"
#include "analysis/neighbour_search.h"
#include "analysis/rdf.h"
#include "core/crystal.h"
#include "core/run_context.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// Runs a test body inside a scratch directory, where the tables are written.
class InDirectory {
public:
    InDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.path()); }
    ~InDirectory() { std::filesystem::current_path(previous_); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    std::filesystem::path previous_;
};

// The options of the analyses, as a test sets them.
RunOptions options;

void SetOptions(const std::map<std::string, std::string>& values) {
    options = RunOptions();
    auto value = [&](const char* name) { return values.count(name) ? values.at(name).c_str() : nullptr; };
    if (const char* v = value("MaximumDistance")) options.MaximumDistance = std::atof(v);
    if (const char* v = value("MinimumDistance")) options.MinimumDistance = std::atof(v);
    if (const char* v = value("nMesh")) options.nMesh = std::atoi(v);
}

// Occupancies of the sites: all 1, fractions summed exactly in any order, or
// decimal fractions whose sums depend on the order of adding.
enum Occupancies { kFull, kBinary, kDecimal };

struct Cell {
    const char* name;
    double a, b, c, alpha, beta, gamma;  // nm, degrees
    int sites;
    int types;
    Occupancies occupancies;
};

// A P1 crystal with random sites; asymmetric unit and cell are the same.
std::unique_ptr<CCrystal> MakeCrystal(const Cell& cell, unsigned seed) {
    auto c = std::make_unique<CCrystal>();
    c->SetLatticeParameters(cell.a, cell.b, cell.c, cell.alpha, cell.beta, cell.gamma);
    c->CalculateLatticeVectors();
    c->AllocAtomTypes(std::max(20, cell.types));
    c->AllocAtomAsymSites(std::max(cell.sites, 16));
    c->AllocAtomSites(std::max(cell.sites, 16));
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-0.2, 1.2);  // coordinates outside the cell are reduced
    const double occupancies[2][5] = {{1.0, 0.5, 0.25, 0.75, 1.0}, {0.1, 0.7, 0.2, 0.3, 0.9}};
    CaptureStdout();
    for (int i = 0; i < cell.sites; ++i) {
        const std::string type = std::string("T").append(std::to_string(i % cell.types));
        const double occ = cell.occupancies == kFull ? 1.0 : occupancies[cell.occupancies == kDecimal][i % 5];
        c->AddAtomAsymSite("", type, occ, u(rng), u(rng), u(rng));
    }
    GetCapturedStdout();
    c->CopyAsymSitesToSites();
    return c;
}

struct Site {
    const char* type;
    double occupancy, x, y, z;
};

// A P1 crystal of the given sites, with further types that have none.
std::unique_ptr<CCrystal> CrystalOf(const Cell& cell, std::initializer_list<Site> sites,
                                    std::initializer_list<const char*> typesWithoutSites = {}) {
    auto c = MakeCrystal(cell, 1);
    CaptureStdout();
    for (const Site& s : sites) c->AddAtomAsymSite("", s.type, s.occupancy, s.x, s.y, s.z);
    for (const char* type : typesWithoutSites) c->AddAtomType(type, 0, true);
    GetCapturedStdout();
    c->CopyAsymSitesToSites();
    return c;
}

// The plain loops over a block of translations wide enough for any cell shape
// (la slowest, partner fastest), or over the given block.
struct Pair {
    int i, j, la, lb, lc;
    double r;
};
std::vector<Pair> BruteForce(const CCrystal& c, double rmax, std::array<int, 3> n = {}) {
    double g[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) g[i * 3 + j] = c.Metric[i][j];
    double det;
    minver(g, 3, 3, 1e-30, &det);
    if (n == std::array<int, 3>{})
        for (int k = 0; k < 3; ++k) n[k] = 1 + static_cast<int>(std::ceil(rmax / 10.0 * std::sqrt(g[k * 4])));
    std::vector<Pair> pairs;
    for (int i = 0; i < c.nAtomAsymSites; ++i) {
        const CAtomSite& s = c.AtomAsymSites[i];
        const double x = ReduceFractionalCoordinate(s.x), y = ReduceFractionalCoordinate(s.y),
                     z = ReduceFractionalCoordinate(s.z);
        for (int la = -n[0]; la <= n[0]; ++la)
            for (int lb = -n[1]; lb <= n[1]; ++lb)
                for (int lc = -n[2]; lc <= n[2]; ++lc)
                    for (int j = 0; j < c.nAtomSites; ++j) {
                        const CAtomSite& p = c.AtomSites[j];
                        const double r = 10.0 * std::sqrt(c.GetDistance2(x, y, z, ReduceFractionalCoordinate(p.x) + la,
                                                                         ReduceFractionalCoordinate(p.y) + lb,
                                                                         ReduceFractionalCoordinate(p.z) + lc));
                        if (r <= rmax) pairs.push_back({i, j, la, lb, lc, r});
                    }
    }
    return pairs;
}

std::string Format(const char* format, auto... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// The RDF table of types (a, b) written from the reference pairs.
std::string ReferenceTable(const CCrystal& c, const std::vector<Pair>& pairs, int a, int b, double rmax, int nMesh) {
    const double dr = rmax / (nMesh - 1);
    std::vector<double> h(nMesh, 0.0);
    int centres = 0;
    for (int i = 0; i < c.nAtomAsymSites; ++i) centres += c.AtomAsymSites[i].iAtomType == a;
    for (const Pair& p : pairs)
        if (c.AtomAsymSites[p.i].iAtomType == a && c.AtomSites[p.j].iAtomType == b)
            h[static_cast<int>(p.r / dr)] += c.AtomSites[p.j].Occupancy;
    const std::string an = c.AtomTypes[a].Name, bn = c.AtomTypes[b].Name;
    std::string text = "r(A),RDF(" + an + "-" + bn + "),RCN(" + an + "-" + bn + ")\n";
    double rcn = 0;
    for (int k = 0; k < nMesh; ++k) {
        const double g = h[k] / centres;
        if (k >= 1) rcn += g;
        text += Format("%g,%g,%g\n", k * dr, g, rcn);
    }
    return text;
}

// The coordination-number table of types (a, b) with count cn from the reference pairs.
std::string ReferenceCNTable(const CCrystal& c, const std::vector<Pair>& pairs, int a, int b, int cn, double rmax,
                             int nMesh) {
    const double dr = rmax / (nMesh - 1);
    std::vector<double> h(nMesh, 0.0);
    for (int i = 0; i < c.nAtomAsymSites; ++i) {
        if (c.AtomAsymSites[i].iAtomType != a) continue;
        std::vector<double> counts(nMesh, 0.0);
        for (const Pair& p : pairs)
            if (p.i == i && c.AtomSites[p.j].iAtomType == b)
                counts[static_cast<int>(p.r / dr)] += c.AtomSites[p.j].Occupancy;
        int count = 0;
        bool added = false;
        for (int k = 1; k < nMesh; ++k) {
            count = static_cast<int>(count + counts[k]);
            if (!added && count == cn) {
                h[k] += 1;
                added = true;
            } else if (count >= cn + 1) {
                if (added) h[k] -= 1;
                break;
            }
        }
    }
    const std::string an = c.AtomTypes[a].Name, bn = c.AtomTypes[b].Name;
    std::string text = "r(A),RDF(" + an + "-" + bn + "),RCN(" + an + "-" + bn + ")\n";
    double rcn = 0;
    for (int k = 0; k < nMesh; ++k) {
        if (k >= 1) rcn += h[k];
        text += Format("%g,%g,%g\n", k * dr, h[k], rcn);
    }
    return text;
}

std::string ReferenceListing(const CCrystal& c, std::vector<Pair> pairs, double rmin) {
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& p, const Pair& q) {
        return std::tie(p.i, p.lc, p.lb, p.la, p.j) < std::tie(q.i, q.lc, q.lb, q.la, q.j);
    });
    std::string text;
    for (const Pair& p : pairs) {
        if (p.r < rmin) continue;
        const CAtomSite& s = c.AtomAsymSites[p.i];
        const CAtomSite& t = c.AtomSites[p.j];
        const double x = ReduceFractionalCoordinate(s.x), y = ReduceFractionalCoordinate(s.y),
                     z = ReduceFractionalCoordinate(s.z);
        const double px = ReduceFractionalCoordinate(t.x) + p.la, py = ReduceFractionalCoordinate(t.y) + p.lb,
                     pz = ReduceFractionalCoordinate(t.z) + p.lc;
        double X, Y, Z, PX, PY, PZ;
        c.FractionalToCartesian(x, y, z, X, Y, Z);
        c.FractionalToCartesian(px, py, pz, PX, PY, PZ);
        text += Format(
            "%4s - %4s   %14.6lg A  F(%6.4f %6.4f %6.4f)-(%6.4f %6.4f %6.4f) R(%6.3f %6.3f %6.3f)A-(%6.3f %6.3f %6.3f)A\n",
            s.Label.c_str(), t.Label.c_str(), p.r, x, y, z, px, py, pz, X * 10, Y * 10, Z * 10, PX * 10, PY * 10,
            PZ * 10);
    }
    return text;
}

const Cell kCells[] = {
    {"cubic", 0.8, 0.8, 0.8, 90, 90, 90, 40, 2, kFull},
    {"hexagonal", 0.6, 0.6, 0.9, 90, 90, 120, 30, 3, kDecimal},
    {"monoclinic", 0.7, 0.5, 0.9, 90, 107, 90, 30, 2, kBinary},
    {"triclinic-60", 0.6, 0.6, 0.6, 60, 60, 60, 25, 2, kFull},
    {"triclinic-near-60", 0.55, 0.65, 0.6, 58, 62, 61, 25, 3, kBinary},
    {"triclinic-near-120", 0.7, 0.6, 0.8, 118, 115, 121, 25, 2, kDecimal},
    {"small", 0.2, 0.25, 0.3, 80, 100, 95, 3, 2, kDecimal},
    {"needle", 0.15, 0.15, 2.5, 90, 90, 90, 10, 1, kFull},
    {"large", 2.2, 2.0, 1.8, 88, 93, 97, 400, 4, kBinary},
    {"flat", 1.5, 1.4, 0.25, 90, 90, 70, 40, 2, kDecimal},
    {"oblique-rhombohedral", 0.5, 0.5, 0.5, 40, 40, 40, 12, 2, kFull},
    {"one-site", 0.3, 0.3, 0.3, 90, 90, 90, 1, 1, kFull},
};

}  // namespace

TEST(NeighbourSearch, FindsExactlyThePairsOfThePlainLoops) {
    for (const Cell& cell : kCells) {
        auto c = MakeCrystal(cell, 11);
        const double rmax = 5.0;
        std::vector<Pair> expected = BruteForce(*c, rmax);
        NeighbourSearch search(*c, rmax);
        std::vector<NeighbourSearch::Neighbour> found;
        std::vector<std::tuple<int, int, int, int, int, double>> fast, slow;
        for (int i = 0; i < c->nAtomAsymSites; ++i) {
            const CAtomSite& s = c->AtomAsymSites[i];
            search.Find(ReduceFractionalCoordinate(s.x), ReduceFractionalCoordinate(s.y),
                        ReduceFractionalCoordinate(s.z), found);
            for (const auto& n : found) fast.emplace_back(i, n.partner, n.la, n.lb, n.lc, n.r);
        }
        for (const Pair& p : expected) slow.emplace_back(p.i, p.j, p.la, p.lb, p.lc, p.r);
        std::sort(fast.begin(), fast.end());
        std::sort(slow.begin(), slow.end());
        EXPECT_EQ(fast, slow) << cell.name;
    }
}

TEST(NeighbourSearch, ReachesBeyondTheTablesLatticeRangeInAnObliqueCell) {
    // Rhombohedral, 60 degrees: the cell is 4.90 A high along a*, below a sin(60) = 5.20 A,
    // so a partner 1.02 cells away along a* lies within 5 A but two translations away.
    auto c = CrystalOf({"rhombohedral", 0.6, 0.6, 0.6, 60, 60, 60, 0, 1, kFull},
                       {{"A", 1, 0.995, 0.5, 0.5}, {"B", 1, 0.015, 0.16, 0.16}});
    EXPECT_EQ(TableLatticeRange(*c, 5.0), (std::array<int, 3>{1, 1, 1}));
    auto isFar = [](int la, int partner) { return la == 2 && partner == 1; };
    for (const Pair& p : BruteForce(*c, 5.0, {1, 1, 1})) EXPECT_FALSE(p.i == 0 && isFar(p.la, p.j));
    NeighbourSearch search(*c, 5.0);
    std::vector<NeighbourSearch::Neighbour> found;
    search.Find(0.995, 0.5, 0.5, found);
    EXPECT_EQ(std::count_if(found.begin(), found.end(), [&](const auto& n) { return isFar(n.la, n.partner); }), 1);
}

TEST(RdfTables, IdenticalToThePlainLoopsOnEveryCell) {
    InDirectory here;
    SetOptions({});
    for (const Cell& cell : kCells) {
        auto c = MakeCrystal(cell, 5);
        CaptureStdout();
        ASSERT_EQ(CalculateRDF(options, *c, 0), 1);
        GetCapturedStdout();
        const std::vector<Pair> pairs = BruteForce(*c, 5.0);
        for (int a = 0; a < c->nAtomTypes; ++a)
            for (int b = 0; b < c->nAtomTypes; ++b) {
                const std::string name = c->AtomTypes[a].Name + "-" + c->AtomTypes[b].Name + "-RDF.csv";
                EXPECT_EQ(ReadFile(name), ReferenceTable(*c, pairs, a, b, 5.0, 201)) << cell.name << " " << name;
            }
        for (int cn : {2, 5}) {
            CaptureStdout();
            ASSERT_EQ(CalculateCNRDF(options, *c, cn, 0), 1);
            GetCapturedStdout();
            for (int a = 0; a < c->nAtomTypes; ++a)
                for (int b = 0; b < c->nAtomTypes; ++b) {
                    const std::string name =
                        c->AtomTypes[a].Name + "-" + c->AtomTypes[b].Name + "-RDF-CN" + std::to_string(cn) + ".csv";
                    EXPECT_EQ(ReadFile(name), ReferenceCNTable(*c, pairs, a, b, cn, 5.0, 201)) << cell.name << " " << name;
                }
        }
    }
}

TEST(DistanceListing, IdenticalToThePlainLoopsInTheirOrder) {
    InDirectory here;
    SetOptions({{"MaximumDistance", "4.0"}});
    for (const Cell& cell : kCells) {
        auto c = MakeCrystal(cell, 3);
        CaptureStdout();
        ASSERT_EQ(ListDistances(options, *c, "d.txt"), 1);
        GetCapturedStdout();
        EXPECT_EQ(ReadFile("d.txt"), ReferenceListing(*c, BruteForce(*c, 4.0), 0.1)) << cell.name;
    }
}

TEST(RdfTables, MeshRowsSelfPairAndLastBin) {
    InDirectory here;
    // Two atoms 0.5 nm apart along a: the distance equals Rmax.
    auto c = CrystalOf({"pair", 1.0, 1.0, 1.0, 90, 90, 90, 0, 1, kFull},
                       {{"Na", 0.5, 0.0, 0.0, 0.0}, {"Na", 0.5, 0.5, 0.0, 0.0}}, {"Cl"});
    for (const char* mesh : {"201", "2", "abc"}) {
        SetOptions({{"nMesh", mesh}});
        CaptureStdout();
        CalculateRDF(options, *c, 1);
        const std::string out = GetCapturedStdout();
        EXPECT_NE(out.find("MaximumDistance: 5 A\nnMesh: 201\n  Lattice Range: 1 1 1\n"), std::string::npos) << out;
        EXPECT_NE(out.find(" nCountedAtom for Cl is zero. Skipped.\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists("Cl-Na-Final-RDF.csv"));
        const std::string table = ReadFile("Na-Na-Final-RDF.csv");
        EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 202);
        const std::string head = "r(A),RDF(Na-Na),RCN(Na-Na)\n0,0.5,0\n0.025,0,0\n0.05,0,0\n";
        EXPECT_EQ(table.substr(0, head.size()), head);
        // Each centre sees the other atom at exactly 5 A (twice: along +a and -a) in the last row.
        EXPECT_NE(table.find("\n4.975,0,0\n5,1,1\n"), std::string::npos) << table.substr(table.size() - 60);
    }
}

TEST(RdfTables, CoordinationNumberTablesAddAtTheCountAndRemoveBeyondIt) {
    InDirectory here;
    SetOptions({});
    // B neighbours two at 1 A, two at 2 A and two at 3 A.
    auto c = CrystalOf({"shells", 2.0, 2.0, 2.0, 90, 90, 90, 0, 1, kFull},
                       {{"A", 1, 0, 0, 0},
                        {"B", 1, -0.05, 0, 0},
                        {"B", 1, 0, -0.1, 0},
                        {"B", 1, 0, 0, -0.15},
                        {"B", 1, 0.05, 0, 0},
                        {"B", 1, 0, 0.1, 0},
                        {"B", 1, 0, 0, 0.15}},
                       {"C"});
    CaptureStdout();
    EXPECT_EQ(CalculateCNRDF(options, *c, 4, 2), 1);
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(out.find("Lattice"), std::string::npos);
    EXPECT_NE(out.find("Writing to [C-C-Averaged-RDF-CN4.csv]...\n"), std::string::npos);  // no skip here
    const std::string table = ReadFile("A-B-Averaged-RDF-CN4.csv");
    EXPECT_NE(table.find("\n1.975,0,0\n2,1,1\n2.025,0,1\n"), std::string::npos);
    EXPECT_NE(table.find("\n2.975,0,1\n3,-1,0\n3.025,0,0\n"), std::string::npos);
}

TEST(RdfTables, WeightsAreAddedInTheOrderOfTheTranslationLoops) {
    // Six B neighbours at 2 A weigh 0.1, 0.7, 0.2, 0.7, 0.1, 0.2 in site order,
    // which adds up to 2 exactly; the fifth lies in the grid bin below the
    // others, and adding it first gives 1.9999999999999998 (coordination 1).
    InDirectory here;
    SetOptions({});
    auto c = CrystalOf({"cubic", 1.6, 1.6, 1.6, 90, 90, 90, 0, 1, kFull},
                       {{"A", 1, 0.5, 0.375, 0.5},
                        {"B", 0.1, 0.5, 0.5, 0.5},
                        {"B", 0.7, 0.625, 0.375, 0.5},
                        {"B", 0.2, 0.375, 0.375, 0.5},
                        {"B", 0.7, 0.5, 0.375, 0.625},
                        {"B", 0.1, 0.5, 0.25, 0.5},
                        {"B", 0.2, 0.5, 0.375, 0.375}});
    CaptureStdout();
    CalculateCNRDF(options, *c, 2, 0);
    GetCapturedStdout();
    const std::string table = ReadFile("A-B-RDF-CN2.csv");
    EXPECT_NE(table.find(",1,1\n"), std::string::npos);
    EXPECT_EQ(table, ReferenceCNTable(*c, BruteForce(*c, 5.0), 0, 1, 2, 5.0, 201));
}

TEST(RdfTables, MoreThanTwentyTypesGetTablesOfTheirOwnSize) {
    InDirectory here;
    SetOptions({{"MaximumDistance", "2"}});
    Cell cell{"many", 1.0, 1.0, 1.0, 90, 90, 90, 26, 26, kFull};
    auto c = MakeCrystal(cell, 2);
    CaptureStdout();
    EXPECT_EQ(CalculateRDF(options, *c, 0), 1);
    EXPECT_EQ(CalculateCNRDF(options, *c, 1, 0), 1);
    GetCapturedStdout();
    EXPECT_TRUE(std::filesystem::exists("T25-T24-RDF.csv"));
    EXPECT_TRUE(std::filesystem::exists("T25-T25-RDF-CN1.csv"));
}

TEST(RdfTables, ASlashInATypeNameStaysInTheCurrentDirectory) {
    InDirectory here;
    SetOptions({});
    auto c = CrystalOf({"cubic", 0.4, 0.4, 0.4, 90, 90, 90, 0, 1, kFull}, {{"../x", 1, 0, 0, 0}});
    CaptureStdout();
    CalculateRDF(options, *c, 0);
    EXPECT_NE(GetCapturedStdout().find("Writing to [.._x-.._x-RDF.csv]...\n"), std::string::npos);
    EXPECT_EQ(ReadFile(".._x-.._x-RDF.csv").substr(0, 28), "r(A),RDF(../x-../x),RCN(../x");
}

TEST(DistanceListing, SelfPairLimitsRangeAndMissingOutputName) {
    InDirectory here;
    auto c = CrystalOf({"cubic", 0.4, 0.4, 0.4, 90, 90, 90, 0, 1, kFull}, {{"Si", 1, 0.25, 0.25, 0.25}});
    SetOptions({{"MinimumDistance", "0"}, {"MaximumDistance", "4"}});
    CaptureStdout();
    ListDistances(options, *c, "d.txt");
    std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("MaximumDistance: 4 A\n  Lattice Range: 2 2 2\n"), std::string::npos) << out;
    const std::string listing = ReadFile("d.txt");
    EXPECT_EQ(listing.substr(0, listing.find('\n') + 1),
              " Si1 -  Si1                4 A  F(0.2500 0.2500 0.2500)-(0.2500 0.2500 -0.7500) "
              "R( 1.000  1.000  1.000)A-( 1.000  1.000 -3.000)A\n");
    EXPECT_NE(listing.find("Si1 -  Si1                0 A"), std::string::npos);  // the atom itself
    EXPECT_NE(listing.find("-(1.2500 0.2500 0.2500)"), std::string::npos);          // a partner beyond the cell
    CaptureStdout();
    EXPECT_EQ(ListDistances(options, *c, ""), 0);
    out = GetCapturedStdout();
    EXPECT_NE(out.find("Error: Can not write to [].\n"), std::string::npos);
    CaptureStdout();
    EXPECT_EQ(ListDistances(options, *c, "/dev/full"), 0);  // a full disk
    EXPECT_NE(GetCapturedStdout().find("Error: Can not write to [/dev/full].\n"), std::string::npos);
    SetOptions({});
    CaptureStdout();
    ListDistances(options, *c, "d.txt");
    GetCapturedStdout();
    EXPECT_EQ(ReadFile("d.txt").find(" 0 A"), std::string::npos);  // the default minimum leaves it out
}

TEST(RdfTables, ARadiusBeyondAnySearchIsRefused) {
    InDirectory here;
    Cell cell{"cubic", 0.4, 0.4, 0.4, 90, 90, 90, 2, 1, kFull};
    auto c = MakeCrystal(cell, 1);
    c->Name = "x.cif";
    SetOptions({{"MaximumDistance", "1e300"}});
    CaptureStdout();
    EXPECT_EQ(CalculateRDF(options, *c, 0), -1);
    EXPECT_EQ(CalculateCNRDF(options, *c, 4, 0), -1);
    EXPECT_EQ(ListDistances(options, *c, "d.txt"), 0);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("  Lattice Range: 2147483647 2147483647 2147483647\n"), std::string::npos);
    EXPECT_NE(out.find("Error in CalculateRDF: Can not search [x.cif] within 1e+300 A: MaximumDistance spans too "
                       "many cells.\nError in CalculateCNRDF: "),
              std::string::npos)
        << out;
    EXPECT_TRUE(std::filesystem::is_empty("."));
}

#ifndef __SANITIZE_ADDRESS__
// In 256 MB of address space: 8 GB of histograms, then some 10 million pairs
// within 134 A of the one atom of a 1 A cell. Ends the (child) process with 0
// when every call failed as it should.
[[noreturn]] void RunOutOfMemory(const CCrystal& c) {
    const rlimit limit{256 << 20, 256 << 20};
    setrlimit(RLIMIT_AS, &limit);
    if (!std::freopen("out.txt", "w", stdout)) std::_Exit(2);
    SetOptions({{"nMesh", "1000000000"}});
    const bool histograms = CalculateRDF(options, c, 0) == -1 && CalculateCNRDF(options, c, 4, 0) == -1;
    SetOptions({{"MaximumDistance", "134"}});
    const bool pairs = CalculateRDF(options, c, 0) == -1 && ListDistances(options, c, "d.txt") == 0;
    std::fflush(stdout);
    std::_Exit(histograms && pairs ? 0 : 1);
}

TEST(RdfTables, MemoryThatCannotBeHadIsReported) {
    InDirectory here;
    Cell cell{"cubic", 0.1, 0.1, 0.1, 90, 90, 90, 1, 1, kFull};
    auto c = MakeCrystal(cell, 1);
    EXPECT_EXIT(RunOutOfMemory(*c), testing::ExitedWithCode(0), "");
    const std::string out = ReadFile("out.txt");
    for (const char* caller : {"CalculateRDF", "CalculateCNRDF", "ListDistances"})
        EXPECT_NE(out.find("Error in " + std::string(caller) + ": No enough memory.\n"), std::string::npos) << caller;
    EXPECT_EQ(out.find("Writing to"), std::string::npos) << out;
}
#endif

TEST(RdfActions, CalRdfAndCalDistanceEndToEnd) {
    TempDir dir;
    const std::string cif = SourcePath("examples/cryslink/rutile.cif");
    RunResult r = RunCryslinkIn(dir.path(), {"--action=calrdf", "--CalcRDF=1", "--CoordinationNumber=6", cif});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("Calculate Radial Distribution Functions.\nCIF File: " + cif), std::string::npos);
    EXPECT_NE(r.output.find("Calculate RDF.\nLattice parameters: 0.45937 0.45937 0.29587  90 90 90\n"),
              std::string::npos);
    EXPECT_NE(r.output.find("Coordination Number: 6\nWriting to [Ti-Ti-RDF-CN6.csv]...\n"), std::string::npos);
    const std::string tiO = ReadFile(dir / "Ti-O-RDF.csv");
    EXPECT_NE(tiO.find("\n1.925,4,4\n1.95,0,4\n1.975,2,6\n"), std::string::npos);  // rutile's 4 + 2 octahedron

    r = RunCryslinkIn(dir.path(), {"--Action=CalDistance", "--MaximumDistance=2", cif, "dist.txt"});
    EXPECT_NE(r.output.find("Calculate Distance.\nCIF File: "), std::string::npos);
    const std::string listing = ReadFile(dir / "dist.txt");
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 6 + 3);  // Ti1: 6 O; O1: 3 Ti

    r = RunCryslinkIn(dir.path(), {"--Action=CalRDF", "--CalcRDF=1", dir / "absent.cif"});
    EXPECT_NE(r.output.find("Error in CalRDF: Can not read [" + (dir / "absent.cif") + "].\n"), std::string::npos);
}
