// The atom databases: orbital table, atomic weights, atom-property file.
#include <gtest/gtest.h>

#include "core/atom_database.h"
#include "core/atom_type.h"
#include "core/ini_file.h"
#include "program_runner.h"

using namespace testing_support;

namespace {

// The shipped tables, read once.
const CAtomDatabase& Shipped() {
    static const CAtomDatabase database = [] {
        CAtomDatabase d;
        d.ReadOrbitals(SourcePath("data/nonrel"));
        d.ReadWeights(SourcePath("data/asfdc"));
        return d;
    }();
    return database;
}

CAtomType Filled(const char* name, const CAtomDatabase& database = Shipped()) {
    CAtomType type;
    type.Name = name;
    database.Fill(type);
    return type;
}

}  // namespace

TEST(AtomDatabase, IonsTakeTheirElementFromTheShippedTables) {
    const CAtomType fe = Filled("Fe3+");
    EXPECT_EQ(fe.ElementSymbol(), "Fe");
    EXPECT_EQ(fe.AtomicNumber, 26);
    EXPECT_EQ(fe.nOrbitalLines, 7);
    EXPECT_EQ(fe.OrbitalLines[5], "  3  2   6.000");
    EXPECT_NEAR(fe.AtomicWeight, 55.845, 1e-6);

    EXPECT_EQ(Filled("Og").AtomicNumber, 118);
    const CAtomType unknown = Filled("Xx");
    EXPECT_EQ(unknown.AtomicNumber, 0);
    EXPECT_EQ(unknown.AtomicWeight, 1.0);
    CAtomDatabase none;
    EXPECT_FALSE(none.ReadOrbitals("/nonexistent/nonrel"));
    EXPECT_FALSE(none.ReadWeights("/nonexistent/asfdc"));
    EXPECT_EQ(Filled("Fe", none).AtomicNumber, 0);

    // Deuterium and tritium are hydrogen with their own masses; Dy is not deuterium.
    const struct {
        const char* name;
        double z, weight;
    } isotopes[] = {{"D", 1, 2.01410178}, {"D1", 1, 2.01410178}, {"T", 1, 3.01604928}, {"Dy3+", 66, 162.5}};
    for (const auto& c : isotopes) {
        const CAtomType type = Filled(c.name);
        EXPECT_EQ(type.AtomicNumber, c.z) << c.name;
        EXPECT_NEAR(type.AtomicWeight, c.weight, 1e-6) << c.name;
        EXPECT_EQ(type.nOrbitalLines, c.z == 1 ? 1 : 13) << c.name;
    }
}

TEST(AtomDatabase, WeightTableMatchesTheTokenCutBeforeItsFirstNonLetter) {
    TempDir dir;
    WriteFile(dir / "asfdc", "\r\nnoblank\nFe2+ 55.847\r\nFe 99\n");
    CAtomDatabase database;
    ASSERT_TRUE(database.ReadWeights(dir / "asfdc"));
    EXPECT_DOUBLE_EQ(Filled("Fe", database).AtomicWeight, 55.847);
    // An empty table or a directory is no database.
    WriteFile(dir / "empty", "");
    EXPECT_FALSE(database.ReadWeights(dir / "empty"));
    EXPECT_FALSE(database.ReadOrbitals(dir.path()));
    EXPECT_EQ(Filled("Fe", database).AtomicWeight, 1.0);
}

// The orbital table as a sequence of blocks: the first block of a symbol
// counts, its orbital lines are kept as read (CR removed, at most 30), and a
// block cut short by the end of the file still gives its atomic number.
TEST(AtomDatabase, OrbitalBlocksAreReadOnce) {
    TempDir dir;
    std::string table = "Si\r\n 14 14 2\r\n14\r\n 1 0 2.000\r\n 2 0 2.000\r\nSi\n 1 1 0\n99\nXe\n 54 54 40\n54\n";
    for (int i = 0; i < 40; ++i) table += " orbital " + std::to_string(i) + "\n";
    table += "O\n 8 8 3\n8\n 1 0 2.000\n";
    WriteFile(dir / "nonrel", table);
    CAtomDatabase database;
    ASSERT_TRUE(database.ReadOrbitals(dir / "nonrel"));
    const CAtomType si = Filled("Si", database);
    EXPECT_EQ(si.AtomicNumber, 14);
    ASSERT_EQ(si.nOrbitalLines, 2);
    EXPECT_EQ(si.OrbitalLines[1], " 2 0 2.000");
    const CAtomType xe = Filled("Xe", database);
    EXPECT_EQ(xe.nOrbitalLines, CAtomType::kMaxOrbitalLines);
    EXPECT_EQ(xe.OrbitalLines[29], " orbital 29");
    const CAtomType o = Filled("O2-", database);
    EXPECT_EQ(o.AtomicNumber, 8);
    EXPECT_EQ(o.nOrbitalLines, 1);
}

TEST(AtomDatabase, IniSectionsAndKeysIgnoreCaseAndBlanks) {
    TempDir dir;
    WriteFile(dir / "atoms.ini",
              "; comment\r\n[Si]\r\n  ViewRadius = 0.11 \r\n;Radii=5\r\nLabel=silicon\r\n[ O ]\nradii=0.7\nRadii=0.9\n");
    const std::string ini = dir / "atoms.ini";
    EXPECT_EQ(GetPrivateProfileText("si", "viewradius", "x", ini), "0.11");
    EXPECT_EQ(GetPrivateProfileText("Si", "Radii", "1.0", ini), "1.0");
    EXPECT_EQ(GetPrivateProfileText("O", "Radii", "1.0", ini), "0.7");
    EXPECT_EQ(GetPrivateProfileText("Ge", "Radii", "1.0", ini), "1.0");
    EXPECT_EQ(GetPrivateProfileText("Si", "Radii", "d", dir / "none"), "d");

    CAtomType si;
    si.Charge = -2;
    si.ReadAtomProperty("Si", ini);
    EXPECT_EQ(si.Label, "silicon");
    EXPECT_DOUBLE_EQ(si.ViewRadius, 0.11);
    EXPECT_EQ(si.Charge, -2);  // the key accepts only values >= 0; the present charge stays
    EXPECT_EQ(si.ViewColorGreen, 1.0);
    EXPECT_EQ(si.nCriteriaMaxCoordination, 100);
}
