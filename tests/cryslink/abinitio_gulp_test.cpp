// GULP inputs to CIF: the corpus's inputs, the input forms of GULP's manual,
// and inputs without a structure or cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "abinitio/gulp.h"
#include "core/crystal.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

struct Read {
    int status;
    std::string log;
    std::unique_ptr<CCrystal> crystal;
};

Read ReadInput(const std::string& path) {
    Read r{0, "", std::make_unique<CCrystal>()};
    r.crystal->AtomDatabase = &TestContext().atoms;
    CaptureStdout();
    r.status = CGULP::ReadCrystalStructure(path, *r.crystal, TestContext().spaceGroups);
    r.log = GetCapturedStdout();
    return r;
}

// "Name:charge" of each atom type.
std::string Types(const CCrystal& c) {
    std::string text;
    for (int i = 0; i < c.nAtomTypes; ++i)
        text += c.AtomTypes[i].Name + ":" + std::to_string(c.AtomTypes[i].Charge).substr(0, 5) + " ";
    return text;
}

// The labels of the asymmetric sites, joined by blanks.
std::string Labels(const CCrystal& c) {
    std::string text;
    for (int i = 0; i < c.nAtomAsymSites; ++i) text += (i ? " " : "") + c.AtomAsymSites[i].Label;
    return text;
}

// The shortest distance between two sites of the cell (nearest images), in Angstrom.
double ShortestDistance(const CCrystal& c) {
    double shortest = 1e30;
    for (int i = 0; i < c.nAtomSites; ++i)
        for (int j = i + 1; j < c.nAtomSites; ++j) {
            const CAtomSite &p = c.AtomSites[i], &q = c.AtomSites[j];
            shortest = std::min(shortest, c.GetNearestImageDistance2(p.x, p.y, p.z, q.x, q.y, q.z));
        }
    return std::sqrt(shortest) * 10;
}

}  // namespace

// The corpus's inputs with a cell, and one whose group has its origin
// shifted: the group of the "space" line, the sites of the core lines, the
// ion charges (core and shell), the cell they fill, no two sites closer
// than 1 A, the input's names as site labels.
TEST(GulpInput, CorpusFilesConvert) {
    const std::string corpus = CorpusPath("gulp/"), data = SourcePath("tests/data/cryslink/gulp/");
    struct Case {
        std::string file;
        double a, c;
        int number, nOperations, nAsymSites, nSites;
        const char* types;
        const char* labels;
    } cases[] = {
        {corpus + "example1_alumina_R-3c_sg167.gin", 4.7602, 12.9933, 167, 36, 2, 30, "Al:3.000 O:-2.00 ", "Al O"},
        {corpus + "example8_BaSO4_Pnma.gin", 8.849359, 7.122216, 62, 8, 5, 24, "Ba:2.000 S:1.560 O:-0.89 ",
         "Ba S O1 O2 O3"},
        {data + "Si3N4_origin_shift.gin", 7.6044, 2.9063, 176, 12, 3, 14, "Si:4.000 N:-3.00 ", "Si N1 N2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!std::filesystem::exists(c.file)) {  // the corpus may be absent, tests/data not
            EXPECT_EQ(c.file.rfind(data, 0), std::string::npos) << "missing";
            continue;
        }
        const Read r = ReadInput(c.file);
        ASSERT_EQ(r.status, 1) << r.log;
        EXPECT_NEAR(r.crystal->a * 10, c.a, 1e-9);
        EXPECT_NEAR(r.crystal->c * 10, c.c, 1e-9);
        EXPECT_EQ(r.crystal->SpaceGroup.Number, c.number);
        EXPECT_EQ(r.crystal->SpaceGroup.nSymmetry, c.nOperations);
        EXPECT_EQ(r.crystal->nAtomAsymSites, c.nAsymSites);
        EXPECT_EQ(r.crystal->nAtomSites, c.nSites);
        EXPECT_EQ(Types(*r.crystal), c.types);
        EXPECT_EQ(Labels(*r.crystal), c.labels);
        EXPECT_GT(ShortestDistance(*r.crystal), 1.0);
    }
    // Vectors and Cartesian positions: one line, no structure.
    if (!std::filesystem::exists(corpus)) return;
    const Read r = ReadInput(corpus + "pyrite_vectors_symmops.gin");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.log, "Crystal: main-geometry\nError in CGULP::ReadCrystalStructure: [" + corpus +
                         "pyrite_vectors_symmops.gin] has no cell with fractional coordinates; no CIF is written.\n");
}

// The forms GULP's manual allows: keywords in any case and with counts, kinds
// left out or abbreviated, charges from the species block, flags, comments,
// symbols with blanks or as numbers, a name line instead of a title.
TEST(GulpInput, InputForms) {
    const std::string cell = "cell\n5.0 6.0 7.0 90 100 90\n";
    struct Case {
        std::string text;
        const char* name;
        int number, nAsymSites;
        const char* types;
        const char* printed;
    } cases[] = {
        {"TITLE\nupper case\nEND\nCELL\n5.0 6.0 7.0 90 100 90\nFRACTIONAL\nSi1 CORE 0.1 0.2 0.3 4.0\n"
         "O1 core 0.3 0.2 0.1 -2.0 0.5\nSPACE\nP 21/c\n",
         "upper case", 14, 2, "Si:4.000 O:-2.00 ",
         "1: O (-2): (0.3,0.2,0.1) [occ=0.5]\n1: O (-2): (0.3,0.2,0.1) [occ=0.5]\nnSameAtom=0\n"},
        // Core and shell of one ion: one site, the charges added; flags are no charge.
        {"name  from the name line\n" + cell +
             "frac 2 # two lines\nMg c 0 0 0 0 1 1\nO c 0.5 0.5 0.5 0.8 1 1 1\n"
             "O s 0.5 0.5 0.5 -2.8 1 1 1\nspace\np 1 21/c 1\nspecies 2\nMg core 2.0\n",
         "from the name line", 14, 2, "Mg:2.000 O:-2.00 ", "2: O (-2.8): (0.5,0.5,0.5) [occ=1]\nnSameAtom=0\n"},
        // No kind, charge or occupancy; the species block gives the charge.
        {"title\nno kinds\nend\n" + cell + "fractional\nNa 0 0 0\nCl 1/2 1/2 1/2\nspace\n225\nspecies\nNa 1\nCl -1\n",
         "no kinds", 225, 2, "Na:1.000 Cl:-1.00 ", "1: Cl (-1): (0.5,0.5,0.5) [occ=1]\n"},
        {"title\nolder symbol\n" + cell + "frac\nNa 0 0 0\nspace\nF M 3 M\n", "older symbol", 225, 1, "Na:0.000 ",
         "SPG: F M 3 M\n"},
        {"title\n\n" + cell + "frac\nNa 0 0 0\nspace\nXyz\n", "", 1, 1, "Na:0.000 ", "Warning: space group [Xyz] of ["},
        // Species of one element in any case and with numbers are one type.
        {"title\nnumbered\n" + cell + "frac\nna1 core 0 0 0 1.0\nNA2 core 0.5 0.5 0.5 0.9\n", "numbered", 1, 2,
         "Na:1.000 ", "1: NA (0.9): (0.5,0.5,0.5) [occ=1]\nnSameAtom=0\nSPG: \n"},
        // The origin option: a choice on its own line, a shift on the next, or neither.
        {"title\ndiamond\ncell\n5.431 5.431 5.431 90 90 90\nfrac\nSi 1/8 1/8 1/8\nspace\n227\norigin 2\n", "diamond", 227,
         1, "Si:0.000 ", "Origin: choice 2, space group Fd-3m:2.\nSPG: 227\n"},
        {"title\nshift\norigin of the sample\nend\n" + cell + "frac\nNa 0 0 0\nspace\nP 21/c\nORIG\n0 1/2 0.25\n",
         "shift", 14, 1, "Na:0.000 ",
         "Origin: 0 0.5 0.25; the positions are given from there and moved to the group's origin.\n"},
        {"title\nneither\n" + cell + "frac\nNa 0 0 0\nspace\nP 21/c\norigin\n3\n", "neither", 14, 1, "Na:0.000 ",
         "] is no shift and no origin choice; it is left out.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        WriteFile(dir / "in.gin", c.text);
        const Read r = ReadInput(dir / "in.gin");
        ASSERT_EQ(r.status, 1) << r.log;
        EXPECT_EQ(r.crystal->ChemicalName, c.name);
        EXPECT_EQ(r.crystal->SpaceGroup.Number, c.number);
        EXPECT_EQ(r.crystal->nAtomAsymSites, c.nAsymSites);
        EXPECT_EQ(Types(*r.crystal), c.types);
        EXPECT_NE(r.log.find(c.printed), std::string::npos) << r.log;
    }
}

// Inputs cut after any line never crash; unreadable input, database and output.
TEST(GulpInput, BadInput) {
    const std::string corpusFile = CorpusPath("gulp/example8_BaSO4_Pnma.gin");
    if (!std::filesystem::exists(corpusFile)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    TempDir dir;
    const std::string whole = ReadFile(corpusFile);
    for (size_t end = whole.find('\n'); end != std::string::npos; end = whole.find('\n', end + 1)) {
        WriteFile(dir / "cut.gin", whole.substr(0, end + 1));
        const Read r = ReadInput(dir / "cut.gin");
        EXPECT_EQ(r.status, end > whole.find("fractional") ? 1 : -1);
    }
    WriteFile(dir / "flat.gin", "cell\n5 5 0 90 90 90\nfrac\nNa 0 0 0\n");
    EXPECT_NE(ReadInput(dir / "flat.gin")
                  .log.find("Error in CGULP::ReadCrystalStructure: [" + (dir / "flat.gin") + "] has no valid cell.\n"),
              std::string::npos);
    EXPECT_EQ(ReadInput(dir / "none.gin").log,
              "Error in CGULP::ReadCrystalStructure: Can not read [" + (dir / "none.gin") + "].\n");

    WriteFile(dir / "run.gin", whole);
    std::filesystem::create_directory(dir / "run.cif");
    RunResult run = RunCryslinkIn(dir.path(), {"--Action=GULPMakeCIFFromInput", "run.gin"});
    EXPECT_NE(run.output.find("Create CIF file: run.cif\nCan not write to [run.cif].\n"), std::string::npos);
    // Without its databases the action names each missing one and writes nothing.
    run = RunCryslinkIn(dir.path(), {"--Action=GULPMakeCIFFromInput", "--DBDir=nowhere", "cut.gin"});
    EXPECT_NE(run.output.find("Make CIF file from GULP .inp file.\nError: Can not read the database [nowhere/nonrel].\n"
                              "Error: Can not read the database [nowhere/asfdc].\n"
                              "Error: Can not read the database [nowhere/spgra].\n\nCryslink finished.\n"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir / "cut.cif"));
    EXPECT_EQ(ReadFile(dir / "run.gin"), whole);
}
