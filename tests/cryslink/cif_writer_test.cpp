// The CIF writer and the XSF frame writer.
#include <gtest/gtest.h>

#include <regex>

#include "analysis/cif_load.h"
#include "core/cif_tags.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "core/xsf_writer.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// A P2_1/c crystal with two types and two asymmetric sites.
std::unique_ptr<CCrystal> Example() {
    auto c = std::make_unique<CCrystal>();
    c->AtomDatabase = &TestContext().atoms;
    c->SetLatticeParameters(0.54, 0.6, 0.7, 90, 100, 90);
    c->CalculateLatticeVectors();
    c->SpaceGroup.ReadSPG(14, 1, TestContext().spaceGroups);
    c->ChemicalName = "Silicon dioxide, a long name beyond 25";
    CaptureStdout();
    c->AddAtomType("Si", 4, true);
    c->AddAtomType("O", -2, true);
    c->AddAtomAsymSite("", "Si", 1.0, 0.99999999995, -0.25, 1.0);
    c->AddAtomAsymSite("O1", "O", 0.5, 0.25, 0.1, 0.5);
    c->ExpandAsymSites();
    GetCapturedStdout();
    c->nEachAtoms[0] = 3;  // the formula counts the cell, not these
    c->nEachAtoms[1] = 8;
    return c;
}

std::string MaskDate(const std::string& text) {
    return std::regex_replace(text, std::regex("(_audit_creation_date +)\\d{4}/\\d{2}/\\d{2}"), "$1YYYY/MM/DD");
}

}  // namespace

TEST(CifWriter, WritesTheFixedLayout) {
    TempDir dir;
    auto c = Example();
    ASSERT_EQ(WriteCIFFile(*c, dir / "out.cif"), 1);
    EXPECT_EQ(c->ChemicalFormula, "Si4 O4 ");
    EXPECT_EQ(MaskDate(ReadFile(dir / "out.cif")), ReadFile(SourcePath("tests/data/cryslink/cif/written.cif")));
}

TEST(CifWriter, WrittenFileReadsBackToTheSameCrystal) {
    TempDir dir;
    auto c = Example();
    CaptureStdout();
    c->ExpandAsymSites();
    GetCapturedStdout();
    ASSERT_EQ(WriteCIFFile(*c, dir / "out.cif"), 1);
    CaptureStdout();
    auto back = LoadCrystalFromCIF(TestContext(), dir / "out.cif", "");
    GetCapturedStdout();
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->a, 0.54, 1e-12);
    EXPECT_NEAR(back->beta, 100, 1e-12);
    EXPECT_EQ(back->SpaceGroup.nSymmetry, c->SpaceGroup.nSymmetry);
    for (int o = 0; o < c->SpaceGroup.nSymmetry; ++o)
        EXPECT_EQ(back->SpaceGroup.OperationText[o],
                  CSpaceGroup::MakeOperationText(c->SpaceGroup.Rotation[o], c->SpaceGroup.Translation[o]));
    EXPECT_EQ(back->AtomTypes[1].Charge, -2);
    ASSERT_EQ(back->nAtomSites, c->nAtomSites);
    for (int i = 0; i < c->nAtomSites; ++i) {
        const CAtomSite& s = c->AtomSites[i];
        const CAtomSite& t = back->AtomSites[i];
        EXPECT_LT(c->GetNearestImageDistance2(s.x, s.y, s.z, t.x, t.y, t.z), 1e-12);  // 1e-6 nm
        EXPECT_EQ(s.iAtomType, t.iAtomType);
    }
}

// Labels with blanks and empty type names stay single CIF values; an
// operation text that could not be read is left out.
TEST(CifWriter, ValuesThatNeedQuotesReadBack) {
    TempDir dir;
    CCrystal c;
    c.SetLatticeParameters(0.4, 0.4, 0.4, 90, 90, 90);
    c.CalculateLatticeVectors();
    CaptureStdout();
    c.AddAtomType("", 0, true);
    c.AddAtomAsymSite("Fe 1", "Fe", 1.0, 0.1, 0.2, 0.3);
    c.AddAtomAsymSite("_x", "O", 1.0, 0.4, 0.5, 0.6);
    c.SpaceGroup.AddOperationText("-x,-y,q");
    GetCapturedStdout();
    ASSERT_EQ(WriteCIFFile(c, dir / "q.cif"), 1);
    const std::string text = ReadFile(dir / "q.cif");
    EXPECT_NE(text.find("\n         ?   0.000000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n    'Fe 1'        Fe   1 i"), std::string::npos) << text;
    EXPECT_NE(text.find("_symmetry_equiv_pos_as_xyz         \n  'x,y,z'\n\nloop_"), std::string::npos) << text;
    CCIFTags tags;
    ASSERT_EQ(tags.ReadCIFFile(dir / "q.cif"), 1);
    ASSERT_EQ(tags.nAtomSites, 2);
    EXPECT_EQ(tags.SiteLabel, (LargeVector<std::string>{"Fe 1", "_x"}));
    EXPECT_DOUBLE_EQ(tags.SiteZ[1], 0.6);
}

// Type names from structure files are written as element symbols (a charge
// kept), and the formula counts each element of the cell once.
TEST(CifWriter, TypesAreWrittenAsElementsAndTheFormulaCountsTheCell) {
    struct Case {
        std::vector<const char*> types;  // one site of each, in P1
        const char* typeLoop;            // the symbols of the type loop, in order
        const char* formula;             // as a reader gives it, trimmed
    };
    const Case cases[] = {
        {{"Si", "O", "O"}, "Si O", "Si1 O2"},
        {{"Bi1", "Se1", "Se2", "Bi2", "Se3"}, "Bi Se", "Bi2 Se3"},
        {{"Fe3+", "Fe2+", "O2-"}, "Fe3+ Fe2+ O2-", "Fe2 O1"},
        {{"Si+4", "O{b}", "O"}, "Si+4 O", "Si1 O2"},
        {{"Ba0+", "Ga0+"}, "Ba Ga", "Ba1 Ga1"},
        {{"Xx"}, "Xx", "Xx1"},
        {{"D", "H", "O"}, "D H O", "D1 H1 O1"},
        {{"D1", "Dw2", "T"}, "D T", "D2 T1"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CCrystal crystal;
        crystal.SetLatticeParameters(0.4, 0.4, 0.4, 90, 90, 90);
        CaptureStdout();
        for (size_t i = 0; i < c.types.size(); ++i) crystal.AddAtomAsymSite("", c.types[i], 1.0, 0.1 * i, 0, 0);
        crystal.FillUnitCell();
        GetCapturedStdout();
        ASSERT_EQ(WriteCIFFile(crystal, dir / "t.cif"), 1);
        CCIFTags tags;
        ASSERT_EQ(tags.ReadCIFFile(dir / "t.cif"), 1);
        std::string loop;
        for (const std::string& t : tags.TypeSymbol) loop += (loop.empty() ? "" : " ") + t;
        EXPECT_EQ(loop, c.typeLoop) << c.formula;
        EXPECT_EQ(tags.ChemicalFormulaSum, c.formula);
        for (int i = 0; i < tags.nAtomSites; ++i)
            EXPECT_NE(std::find(tags.TypeSymbol.begin(), tags.TypeSymbol.end(), tags.SiteTypeSymbol[i]),
                      tags.TypeSymbol.end())
                << tags.SiteTypeSymbol[i];
    }
}

TEST(CifWriter, EmptyCrystalAndUnwritablePath) {
    TempDir dir;
    CCrystal empty;
    ASSERT_EQ(WriteCIFFile(empty, dir / "empty.cif"), 1);
    const std::string text = ReadFile(dir / "empty.cif");
    EXPECT_NE(text.find("_chemical_formula_structural       ''\n_chemical_formula_sum              ''\n"),
              std::string::npos);
    EXPECT_NE(text.find("_atom_type_oxidation_number        \n\nloop_\n"), std::string::npos);
    EXPECT_NE(text.find("_atom_site_calc_flag\n\n\n#End of data_99999-ICSD\n"), std::string::npos);
    CaptureStdout();
    EXPECT_EQ(WriteCIFFile(empty, dir / "no/such/dir.cif"), -1);
    EXPECT_EQ(GetCapturedStdout(), "Can not write to [" + (dir / "no/such/dir.cif") + "].\n");
    if (std::filesystem::exists("/dev/full")) {  // a device that is always full
        CaptureStdout();
        EXPECT_EQ(WriteCIFFile(empty, "/dev/full"), -1);
        EXPECT_EQ(GetCapturedStdout(), "Can not write to [/dev/full].\n");
    }
}

TEST(XsfWriter, FrameOfACubicSiliconCell) {
    TempDir dir;
    CCrystal c;
    c.AtomDatabase = &TestContext().atoms;
    c.SetLatticeParameters(0.5, 0.5, 0.5, 90, 90, 90);
    c.CalculateLatticeVectors();
    CaptureStdout();
    c.AddAtomAsymSite("", "Si", 1, 0.5, 0.5, 0.5);
    c.AddAtomAsymSite("", "Xx", 1, 0, 0, 0, 0.1, -0.2, 0.3);
    GetCapturedStdout();
    c.CopyAsymSitesToSites();
    std::FILE* f = std::fopen((dir / "a.xsf").c_str(), "w");
    ASSERT_TRUE(f);
    EXPECT_EQ(WriteXSFFrame(f, 3, c), 2);
    CCrystal none;
    EXPECT_EQ(WriteXSFFrame(f, 4, none), 0);
    std::fclose(f);
    // cos 90 degrees with pi taken as 3.1415926535 leaves 2e-10 Angstrom in the b and c vectors.
    const std::string vectors =
        "     5.0000000000     0.0000000000     0.0000000000\n"
        "     0.0000000002     5.0000000000     0.0000000000\n"
        "     0.0000000002     0.0000000002     5.0000000000\n";
    // A crystal without a lattice keeps unit vectors of 1 nm.
    const std::string identity = "    10.0000000000     0.0000000000     0.0000000000\n"
                                 "     0.0000000000    10.0000000000     0.0000000000\n"
                                 "     0.0000000000     0.0000000000    10.0000000000\n";
    EXPECT_EQ(ReadFile(dir / "a.xsf"),
              "PRIMVEC 3\n" + vectors + "CONVVEC 3\n" + vectors + "PRIMCOORD 3\n 2  1\n" +
                  " 14      2.5000000    2.5000000    2.5000000      0.0000000    0.0000000    0.0000000\n"
                  "  0      0.0000000    0.0000000    0.0000000      0.1000000   -0.2000000    0.3000000\n"
                  "PRIMVEC 4\n" + identity + "CONVVEC 4\n" + identity + "PRIMCOORD 4\n 0  1\n");
}
