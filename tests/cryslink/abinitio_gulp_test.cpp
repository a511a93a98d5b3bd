// GULP inputs to CIF: the corpus's inputs, the input forms of GULP's manual,
// and inputs without a structure or cut short.
#include <gtest/gtest.h>

#include <filesystem>

#include "abinitio/gulp.h"
#include "core/crystal.h"
#include "core/database_paths.h"
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
    SPGDBPath = SourcePath("data/spgra");
    Read r{0, "", std::make_unique<CCrystal>()};
    r.crystal->NONRELPath = SourcePath("data/nonrel");
    r.crystal->ASFDCPath = SourcePath("data/asfdc");
    r.crystal->SPGDBPath = SPGDBPath;
    CaptureStdout();
    r.status = CGULP::ReadCrystalStructure(path, *r.crystal);
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

}  // namespace

// The corpus's inputs with a cell: the group of the "space" line, the sites
// of the core lines, the ion charges (core and shell), the cell they fill.
TEST(GulpInput, CorpusFilesConvert) {
    const std::string corpus = CorpusPath("gulp/");
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    struct Case {
        const char* file;
        double a, c;
        int number, nOperations, nAsymSites, nSites;
        const char* types;
    } cases[] = {
        {"example1_alumina_R-3c_sg167.gin", 4.7602, 12.9933, 167, 36, 2, 30, "Al:3.000 O:-2.00 "},
        {"example8_BaSO4_Pnma.gin", 8.849359, 7.122216, 62, 8, 5, 24, "Ba:2.000 S:1.560 O:-0.89 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Read r = ReadInput(corpus + c.file);
        ASSERT_EQ(r.status, 1) << r.log;
        EXPECT_NEAR(r.crystal->a * 10, c.a, 1e-9);
        EXPECT_NEAR(r.crystal->c * 10, c.c, 1e-9);
        EXPECT_EQ(r.crystal->SpaceGroup.Number, c.number);
        EXPECT_EQ(r.crystal->SpaceGroup.nSymmetry, c.nOperations);
        EXPECT_EQ(r.crystal->nAtomAsymSites, c.nAsymSites);
        EXPECT_EQ(r.crystal->nAtomSites, c.nSites);
        EXPECT_EQ(Types(*r.crystal), c.types);
    }
    // Vectors and Cartesian positions: one line, no structure.
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
