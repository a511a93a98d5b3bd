// The crystal model: lattice, types, labels, expansion, density, copy.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <type_traits>

#include "core/atom_type.h"
#include "core/cif_tags.h"
#include "core/containers.h"
#include "core/crystal.h"
#include "core/space_group.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Nothing derives from the model's classes, so none carries a vtable pointer:
// not the sites, of which a crystal may hold a hundred thousand, nor the rest.
static_assert(!std::is_polymorphic_v<CAtomSite> && !std::is_polymorphic_v<CAtomType> &&
              !std::is_polymorphic_v<CCrystal> && !std::is_polymorphic_v<CSpaceGroup> &&
              !std::is_polymorphic_v<CCIFTags> && !std::is_polymorphic_v<CMyMatrix> &&
              !std::is_polymorphic_v<CMyVector<double>>);

namespace {

// A crystal reading the shipped databases, with a space group from "spgra".
struct TestCrystal : CCrystal {
    explicit TestCrystal(int number = 1, int setting = 1) {
        AtomDatabase = &TestContext().atoms;
        if (number > 1) SpaceGroup.ReadSPG(number, setting, TestContext().spaceGroups);
    }
    void Cell(double a_, double b_, double c_, double al, double be, double ga) {
        SetLatticeParameters(a_, b_, c_, al, be, ga);
        CalculateLatticeVectors();
    }
    int Expand() {
        CaptureStdout();
        int n = ExpandAsymSites();
        GetCapturedStdout();
        return n;
    }
    void Add(const std::string& type, double x, double y, double z, double occupancy = 1.0) {
        CaptureStdout();
        AddAtomAsymSite("", type, occupancy, x, y, z);
        GetCapturedStdout();
    }
};

double Angle(const CMyVector<double>& u, const CMyVector<double>& v) {
    double uv = 0, uu = 0, vv = 0;
    for (int i = 0; i < 3; ++i) {
        uv += u[i] * v[i];
        uu += u[i] * u[i];
        vv += v[i] * v[i];
    }
    return std::acos(uv / std::sqrt(uu * vv)) * 180.0 / M_PI;
}

}  // namespace

TEST(Crystal, LatticeVectorsMetricAndVolume) {
    TestCrystal cubic;
    cubic.Cell(0.5, 0.5, 0.5, 90, 90, 90);
    EXPECT_NEAR(cubic.LatticeVector[0][0], 0.5, 1e-12);
    EXPECT_NEAR(cubic.LatticeVector[1][1], 0.5, 1e-12);
    EXPECT_NEAR(cubic.LatticeVector[2][2], 0.5, 1e-12);
    EXPECT_NEAR(cubic.LatticeVector[2][0], 0.0, 1e-10);
    EXPECT_NEAR(cubic.Volume, 0.125, 1e-12);
    EXPECT_NEAR(cubic.Metric[0][0], 0.25, 1e-12);
    EXPECT_NEAR(cubic.Metric[0][1], 0.0, 1e-10);

    TestCrystal hex;
    hex.Cell(0.3, 0.3, 0.5, 90, 90, 120);
    EXPECT_NEAR(hex.LatticeVector[1][0], -0.15, 1e-10);
    EXPECT_NEAR(hex.LatticeVector[1][1], 0.3 * std::sqrt(3.0) / 2, 1e-10);
    EXPECT_NEAR(hex.LatticeVector[2][2], 0.5, 1e-10);
    EXPECT_NEAR(hex.Volume, 0.3 * 0.3 * 0.5 * std::sqrt(3.0) / 2, 1e-10);

    TestCrystal tri;
    tri.Cell(0.51, 0.62, 0.73, 71, 82, 95);
    EXPECT_NEAR(Angle(tri.LatticeVector[1], tri.LatticeVector[2]), 71, 1e-6);
    EXPECT_NEAR(Angle(tri.LatticeVector[0], tri.LatticeVector[2]), 82, 1e-6);
    EXPECT_NEAR(Angle(tri.LatticeVector[0], tri.LatticeVector[1]), 95, 1e-6);
    double x, y, z, X, Y, Z;
    tri.FractionalToCartesian(0.1, 0.2, 0.3, X, Y, Z);
    ASSERT_EQ(tri.CartesianToFractional(X, Y, Z, x, y, z), 1);
    EXPECT_NEAR(x, 0.1, 1e-12);
    EXPECT_NEAR(y, 0.2, 1e-12);
    EXPECT_NEAR(z, 0.3, 1e-12);
}

TEST(Crystal, CartesianToFractionalReportsAFlatCell) {
    TestCrystal c;
    for (auto& v : c.LatticeVector)
        for (int i = 0; i < 3; ++i) v[i] = 0;
    double x = 7, y = 7, z = 7;
    CaptureStdout();
    EXPECT_EQ(c.CartesianToFractional(1, 1, 1, x, y, z), 0);
    EXPECT_EQ(GetCapturedStdout(), "Error in CCrystal::CartesianToFractional: return of minver is 1\n");
    EXPECT_EQ(x, 7);
}

TEST(Crystal, AtomTypesUniqueAndNumberedAndTheTableLimit) {
    TestCrystal c;
    CaptureStdout();
    EXPECT_EQ(c.AddAtomType("O", -2, false), 0);
    EXPECT_EQ(c.AddAtomType("O", -2, false), 1);
    EXPECT_EQ(c.AddAtomType("O", -2, false), 2);
    EXPECT_EQ(c.AddAtomType("O", -2, true), 0);
    EXPECT_EQ(GetCapturedStdout(), "nSameAtom=0\nnSameAtom=1\n   [O{b}]\nnSameAtom=2\n   [O{c}]\n");
    EXPECT_EQ(c.AtomTypes[2].Name, "O{c}");
    EXPECT_EQ(c.AtomTypes[1].Charge, -2);
    EXPECT_EQ(c.AtomTypes[1].AtomicNumber, 8);

    TestCrystal full;
    CaptureStdout();
    for (const char* name : {"H", "He", "Li", "Be", "B", "C", "N", "O", "F", "Ne", "Na", "Mg", "Al", "Si", "P", "S",
                             "Cl", "Ar", "K", "Ca", "Sc"})
        full.AddAtomType(name, 0, true);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("nAtomTypes [20] exceeds maximum [20].\n"), std::string::npos);
    EXPECT_EQ(full.nAtomTypes, 20);
}

TEST(Crystal, AutomaticLabelsCountSitesPerElement) {
    TestCrystal c;
    c.Add("Si", 0, 0, 0);
    c.Add("O", 0.1, 0, 0);
    c.Add("Si", 0.5, 0, 0);
    CaptureStdout();
    c.AddAtomAsymSite("Ox", "O", 1, 0.2, 0, 0);
    c.AddAtomAsymSite("", "O", 1, 0.3, 0, 0);
    GetCapturedStdout();
    EXPECT_EQ(c.AtomAsymSites[0].Label, "Si1");
    EXPECT_EQ(c.AtomAsymSites[1].Label, "O1");
    EXPECT_EQ(c.AtomAsymSites[2].Label, "Si2");
    EXPECT_EQ(c.AtomAsymSites[4].Label, "O3");
    EXPECT_EQ(c.AtomAsymSites[2].iAsymSite, 2);
    EXPECT_EQ(c.AtomAsymSites[2].GetElementName(), "Si");
}

TEST(Crystal, P1ExpansionReducesCoordinatesAndMergesEdgeDuplicates) {
    TestCrystal c;
    c.Cell(0.5, 0.5, 0.5, 90, 90, 90);
    c.Add("Na", 1.0, -0.25, 2.5);
    c.Add("Na", 0.99999, 0.75, 0.5);  // the same atom across the cell edge
    c.Add("Cl", 0.0, 0.75, 0.5);      // another type at that place is kept
    EXPECT_EQ(c.Expand(), 2);
    EXPECT_EQ(c.AtomSites[0].x, 0.0);
    EXPECT_EQ(c.AtomSites[0].y, 0.75);
    EXPECT_EQ(c.AtomSites[0].z, 0.5);
    EXPECT_EQ(c.AtomSites[1].Label, "Cl1");
    EXPECT_EQ(ReduceFractionalCoordinate(-0.25), 0.75);
    EXPECT_EQ(ReduceFractionalCoordinate(1.0), 0.0);
    EXPECT_EQ(ReduceFractionalCoordinate(2.5), 0.5);
    EXPECT_EQ(ReduceFractionalCoordinate(0.99999999999), 0.99999999999);
}

TEST(Crystal, SpecialPositionsAndFourDecimalHexagonalCoordinates) {
    TestCrystal rocksalt(225);
    rocksalt.Cell(0.564, 0.564, 0.564, 90, 90, 90);
    rocksalt.Add("Na", 0, 0, 0);
    rocksalt.Add("Cl", 0.5, 0.5, 0.5);
    EXPECT_EQ(rocksalt.Expand(), 8);
    EXPECT_NEAR(rocksalt.Density, 2.164, 0.002);
    EXPECT_EQ(rocksalt.AtomSites[0].Label, "Na1");
    EXPECT_EQ(rocksalt.AtomSites[1].Label, "Cl1");

    TestCrystal general(225);
    general.Cell(0.564, 0.564, 0.564, 90, 90, 90);
    general.AllocAtomSites(400);
    general.Add("Na", 0.11, 0.23, 0.37);
    EXPECT_EQ(general.Expand(), 192);

    TestCrystal mg(194);  // P63/mmc, Mg on 2c given to four decimals
    mg.Cell(0.3209, 0.3209, 0.5211, 90, 90, 120);
    mg.Add("Mg", 0.3333, 0.6667, 0.25);
    EXPECT_EQ(mg.Expand(), 2);

    TestCrystal quartz(152);  // P3121, Si on 3a given to four decimals
    quartz.Cell(0.49019, 0.49019, 0.53988, 90, 90, 120);
    quartz.Add("Si", 0.4673, 0.0, 0.3333);
    quartz.Add("O", 0.413, 0.2711, 0.2172);
    EXPECT_EQ(quartz.Expand(), 9);
    // 3 SiO2 in 112.346 A^3
    EXPECT_NEAR(quartz.Density, 3 * (28.0855 + 2 * 15.9994) / 6.02204e23 / 112.346e-24, 0.003);
}

// Site counts of the expanded cell for one structure of each crystal system,
// against counts made with spglib's operations (tools/gen_core_expansion_reference.py).
TEST(Crystal, ExpansionMatchesTheReferenceForEveryCrystalSystem) {
    std::ifstream in(SourcePath("tests/data/cryslink/core/expansion_reference.txt"));
    std::string line;
    int structures = 0;
    while (std::getline(in, line)) {
        std::istringstream header(line);
        int number, setting, nSites, expected;
        double a, b, c, al, be, ga;
        ASSERT_TRUE(header >> number >> setting >> a >> b >> c >> al >> be >> ga >> nSites >> expected);
        TestCrystal crystal(number, setting);
        crystal.Cell(a, b, c, al, be, ga);
        for (int i = 0; i < nSites; ++i) {
            ASSERT_TRUE(std::getline(in, line));
            std::istringstream site(line);
            std::string type;
            double x, y, z;
            site >> type >> x >> y >> z;
            crystal.Add(type, x, y, z);
        }
        EXPECT_EQ(crystal.Expand(), expected) << "space group " << number << ":" << setting;
        ++structures;
    }
    EXPECT_EQ(structures, 7);
}

TEST(Crystal, ExpansionFindsTheSameSitesAsTheLinearSearch) {
    TestCrystal c(227, 2);
    c.Cell(0.8083, 0.8083, 0.8083, 90, 90, 90);
    c.AllocAtomSites(2000);
    c.Add("Mg", 0.125, 0.125, 0.125);
    c.Add("O", 0.2624, 0.2624, 0.2624, 0.5);
    c.Add("Al", 0.5, 0.5, 0.5);
    c.Add("Li", 0.1, 0.2, 0.3);
    const int n = c.Expand();
    EXPECT_EQ(n, 8 + 32 + 16 + 192);
    for (int i = 0; i < n; ++i) {
        const CAtomSite& s = c.AtomSites[i];
        EXPECT_EQ(c.FindAtomSite(s.iAtomType, s.x, s.y, s.z), i);
    }
}

// Many sites in an oblique P1 cell, with partners just inside and just outside
// the duplicate tolerance, across bin borders and the cell's faces: the
// expansion keeps exactly the sites the linear search keeps.
TEST(Crystal, ExpansionMergesTheSameNearPairsAsTheLinearSearch) {
    TestCrystal c;
    c.Cell(2.1, 2.4, 1.9, 75, 100, 110);
    c.DuplicateTolerance = 0.004;
    const int n = 1500;
    c.AllocAtomAsymSites(2 * n);
    c.AllocAtomSites(2 * n);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0), dir(-1.0, 1.0);
    for (int i = 0; i < n; ++i) {
        // Some sites on a face of the cell, so that their partners wrap around.
        double f[3] = {u(rng), u(rng), u(rng)};
        if (i % 7 == 0) f[i % 3] = 0.0;
        c.Add("Si", f[0], f[1], f[2]);
        // A partner 0.9 or 1.1 tolerances away in a random Cartesian direction.
        const double scale = (i % 2 ? 0.9 : 1.1) * c.DuplicateTolerance;
        double d[3] = {dir(rng), dir(rng), dir(rng)};
        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        double X, Y, Z, g[3];
        c.FractionalToCartesian(f[0], f[1], f[2], X, Y, Z);
        c.CartesianToFractional(X + scale * d[0] / len, Y + scale * d[1] / len, Z + scale * d[2] / len, g[0], g[1],
                                g[2]);
        c.Add("Si", g[0], g[1], g[2]);
    }
    const int expanded = c.Expand();
    // The linear search, site by site in table order.
    TestCrystal linear;
    linear.Cell(2.1, 2.4, 1.9, 75, 100, 110);
    linear.DuplicateTolerance = c.DuplicateTolerance;
    linear.AllocAtomTypes(1);
    linear.AddAtomType("Si", 0, true);
    linear.AllocAtomSites(2 * n);
    for (int i = 0; i < c.nAtomAsymSites; ++i) {
        const CAtomSite& a = c.AtomAsymSites[i];
        const double x = ReduceFractionalCoordinate(a.x), y = ReduceFractionalCoordinate(a.y),
                     z = ReduceFractionalCoordinate(a.z);
        if (linear.FindAtomSite(a.iAtomType, x, y, z) < 0) linear.AddAtomSite(a.Label, a.iAtomType, i, 1.0, x, y, z);
    }
    ASSERT_EQ(expanded, linear.nAtomSites);
    EXPECT_GT(expanded, n + n / 4);  // the partners outside the tolerance stay
    EXPECT_LT(expanded, 2 * n - n / 4);  // those inside are merged
    for (int i = 0; i < expanded; ++i) EXPECT_EQ(c.AtomSites[i].iAsymSite, linear.AtomSites[i].iAsymSite) << i;
}

TEST(Crystal, CopyIsDeepAndKeepsItsOwnTypes) {
    TestCrystal c(225);
    c.Cell(0.564, 0.564, 0.564, 90, 90, 90);
    c.Add("Na", 0, 0, 0);
    c.Add("Cl", 0.5, 0.5, 0.5);
    c.Expand();
    c.Name = "NaCl";
    auto copy = std::make_unique<CCrystal>();
    copy->Copy(c);
    EXPECT_EQ(copy->Name, "NaCl");
    EXPECT_EQ(copy->nAtomSites, 8);
    EXPECT_EQ(copy->SpaceGroup.nSymmetry, c.SpaceGroup.nSymmetry);
    EXPECT_EQ(copy->AtomSites[7].AtomType, &copy->AtomTypes[copy->AtomSites[7].iAtomType]);
    EXPECT_NEAR(copy->Density, c.Density, 1e-12);
    EXPECT_EQ(copy->AtomDatabase, c.AtomDatabase);  // the copy's new types read the same tables
}
