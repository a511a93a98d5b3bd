// The atom databases: orbital table, atomic weights, atom-property file.
#include <gtest/gtest.h>

#include "core/atom_type.h"
#include "core/ini_file.h"
#include "program_runner.h"

using namespace testing_support;

TEST(AtomDatabase, IonsTakeTheirElementFromTheShippedTables) {
    CAtomType fe;
    fe.Name = "Fe3+";
    EXPECT_EQ(fe.ElementSymbol(), "Fe");
    EXPECT_EQ(fe.ReadNONREL(SourcePath("data/nonrel")), 1);
    EXPECT_EQ(fe.AtomicNumber, 26);
    EXPECT_EQ(fe.nOrbitalLines, 7);
    EXPECT_EQ(fe.OrbitalLines[5], "  3  2   6.000");
    EXPECT_EQ(fe.ReadASFDC(SourcePath("data/asfdc")), 1);
    EXPECT_NEAR(fe.AtomicWeight, 55.845, 1e-6);

    CAtomType og;
    og.Name = "Og";
    og.ReadNONREL(SourcePath("data/nonrel"));
    EXPECT_EQ(og.AtomicNumber, 118);
    CAtomType unknown;
    unknown.Name = "Xx";
    EXPECT_EQ(unknown.ReadNONREL(SourcePath("data/nonrel")), 1);
    EXPECT_EQ(unknown.AtomicNumber, 0);
    EXPECT_EQ(unknown.ReadNONREL("/nonexistent/nonrel"), -1);

    // Deuterium and tritium are hydrogen with their own masses; Dy is not deuterium.
    const struct {
        const char* name;
        double z, weight;
    } isotopes[] = {{"D", 1, 2.01410178}, {"D1", 1, 2.01410178}, {"T", 1, 3.01604928}, {"Dy3+", 66, 162.5}};
    for (const auto& c : isotopes) {
        CAtomType type;
        type.Name = c.name;
        type.ReadNONREL(SourcePath("data/nonrel"));
        type.ReadASFDC(SourcePath("data/asfdc"));
        EXPECT_EQ(type.AtomicNumber, c.z) << c.name;
        EXPECT_NEAR(type.AtomicWeight, c.weight, 1e-6) << c.name;
        EXPECT_EQ(type.nOrbitalLines, c.z == 1 ? 1 : 13) << c.name;
    }
}

TEST(AtomDatabase, WeightTableMatchesTheTokenCutBeforeItsFirstNonLetter) {
    TempDir dir;
    WriteFile(dir / "asfdc", "\r\nnoblank\nFe2+ 55.847\r\nFe 99\n");
    CAtomType fe;
    fe.Name = "Fe";
    fe.ReadASFDC(dir / "asfdc");
    EXPECT_DOUBLE_EQ(fe.AtomicWeight, 55.847);
    CAtomType missing;
    missing.Name = "Fe";
    testing::internal::CaptureStdout();
    EXPECT_EQ(missing.ReadASFDC(dir / "none"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can not read [" + (dir / "none") + "].\n");
    EXPECT_EQ(missing.AtomicWeight, 1.0);
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
