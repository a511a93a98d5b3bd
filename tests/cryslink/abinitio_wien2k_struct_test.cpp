// WIEN2k .struct files to CIF: the real files of the corpus, generated files
// for the layouts the corpus lacks, and files cut short.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "abinitio/wien2k_struct.h"
#include "analysis/cif_load.h"
#include "core/crystal.h"
#include "core/database_paths.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

constexpr double kBohr = 0.529177210903;

void UseDatabases() {
    NONRELPath = SourcePath("data/nonrel");
    ASFDCPath = SourcePath("data/asfdc");
    SPGDBPath = SourcePath("data/spgra");
}

// Converts the file and reads the CIF back, expanded by the operations it lists.
std::unique_ptr<CCrystal> ConvertAndReload(const std::string& structPath, const std::string& cifPath,
                                           std::string* log = nullptr) {
    UseDatabases();
    CaptureStdout();
    const int status = WIENMakeCIFFromStruct(structPath);
    std::string printed = GetCapturedStdout();
    if (log) *log = printed;
    if (status != 1) return nullptr;
    CaptureStdout();
    auto crystal = LoadCrystalFromCIF(cifPath, "");
    GetCapturedStdout();
    return crystal;
}

// An atom's block; MULT - 1 further position lines follow its first.
std::string Atom(int index, double x, double y, double z, const char* name, int mult = 1) {
    char text[256];
    std::snprintf(text, sizeof text, "ATOM %3d: X=%10.8f Y=%10.8f Z=%10.8f\n          MULT=%2d          ISPLIT= 2\n",
                  index, x, y, z, mult);
    std::string block = text;
    for (int k = 1; k < mult; ++k) block += "      -1: X=0.50000000 Y=0.50000000 Z=0.50000000\n";
    return block + name + "      NPT=  781  R0=0.00010000 RMT=    2.0000   Z: 11.0\nLOCAL ROT MATRIX:    1 0 0\n" +
           "                     0 1 0\n                     0 0 1\n";
}

const std::string kIdentity = " 1 0 0 0.00000000\n 0 1 0 0.00000000\n 0 0 1 0.00000000\n";
const std::string kScrew = "-1 0 0 0.00000000\n 0-1 0 0.00000000\n 0 0 1 0.50000000\n";  // -x,-y,z+1/2

// Operations in the file's columns, each followed by its index line.
std::string Operations(const std::vector<std::string>& ops) {
    std::string block = std::to_string(ops.size()) + "      NUMBER OF SYMMETRY OPERATIONS\n";
    for (size_t k = 0; k < ops.size(); ++k) block += ops[k] + "       " + std::to_string(k + 1) + "\n";
    return block;
}

}  // namespace

// Every .struct file of the corpus: cell, group, the operations in the CIF and
// the sites the CIF expands to, which must be the positions the file lists.
TEST(WienStruct, CorpusFilesConvert) {
    const std::string corpus = CorpusPath("wien2k/");
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    struct Case {
        const char* file;
        double aBohr, cBohr, gamma;
        int number, nOperations, nAsymSites, nSites;  // nSites: the "X=" lines of the file
    } cases[] = {
        {"BaGa2_bohr_P6mmm.struct", 8.429120, 9.701070, 120, 191, 24, 2, 3},
        {"CrO2-sp_rutile_bohr.struct", 8.333692, 5.499103, 90, 136, 16, 2, 6},
        {"NaCl_P_8atoms.struct", 10.753111, 10.753111, 90, 1, 1, 8, 8},
        {"ok_graphene_H_P-6m2.struct", 23.239030, 37.794538, 120, 187, 12, 13, 49},
    };
    for (const Case& c : cases)
        for (bool crlf : {false, true}) {
            SCOPED_TRACE(c.file + std::string(crlf ? " with CR LF" : ""));
            TempDir dir;
            std::string text = ReadFile(corpus + c.file);
            if (crlf) text = std::regex_replace(text, std::regex("\n"), "\r\n");
            WriteFile(dir / "case.struct", text);
            auto crystal = ConvertAndReload(dir / "case.struct", dir / "case.cif");
            ASSERT_TRUE(crystal);
            EXPECT_NEAR(crystal->a, c.aBohr * kBohr / 10, 1e-5 * crystal->a);  // the CIF holds 6 digits
            EXPECT_NEAR(crystal->c, c.cBohr * kBohr / 10, 1e-5 * crystal->c);
            EXPECT_DOUBLE_EQ(crystal->gamma, c.gamma);
            EXPECT_EQ(crystal->SpaceGroup.Number, c.number);
            EXPECT_EQ(crystal->SpaceGroup.nSymmetry, c.nOperations);
            EXPECT_EQ(crystal->nAtomAsymSites, c.nAsymSites);
            EXPECT_EQ(crystal->nAtomSites, c.nSites);
        }
}

// Line 2 in its layouts, the unit of line 3 (always bohr), the cell line's
// fixed columns, positive atom indices, names with a blank, and the centring
// translations of each lattice type added to the listed operations.
TEST(WienStruct, GeneratedLayouts) {
    const std::string cubic = " 10.263107 10.263107 10.263107 90.000000 90.000000 90.000000";
    const std::string hexagonal = "  8.000000  8.000000 12.000000 90.000000 90.000000120.000000";
    const std::string twoAtoms = Atom(1, 0, 0, 0, "Na") + Atom(2, 0.5, 0.5, 0.5, "Cl 1");
    struct Case {
        std::string line2, line3, cell, atoms, operations;
        std::string printed;  // lines the reader prints, then a piece of the CIF
        double a, gamma;      // angstrom, degrees
        int nOperations, nSites;
    } cases[] = {
        // One F-centred atom listed with the identity: four sites, rock salt's group.
        {"F   LATTICE,NONEQUIV.ATOMS:  1 225_Fm-3m", "MODE OF CALC=RELA unit=ang", cubic, Atom(1, 0, 0, 0, "Cu"),
         Operations({kIdentity}), "SPGName: Fm-3m (225)\nnAsymSites: 1\n", 5.431, 90, 4, 4},
        {"F   LATTICE,NONEQUIV.ATOMS:  2 225_Fm-3m", "MODE OF CALC=RELA unit=bohr", cubic, twoAtoms,
         Operations({kIdentity}), "1: Cl (11): (0.5,0.5,0.5)\n", 5.431, 90, 4, 8},
        {"B   LATTICE,NONEQUIV.ATOMS:  2 229_Im-3m", "MODE OF CALC=RELA", cubic, twoAtoms, Operations({kIdentity}),
         "Lattice parameters: 5.431 5.431 5.431 A  90 90 90\n", 5.431, 90, 2, 4},
        {"CXY LATTICE,NONEQUIV.ATOMS:  1  65_Cmmm", "             RELA", cubic, Atom(1, 0, 0, 0, "Na"),
         Operations({kIdentity, kScrew}), "nSymmetry: 2\n", 5.431, 90, 4, 4},
        {"CXZ LATTICE,NONEQUIV.ATOMS:  1  38_Amm2", "", cubic, Atom(1, 0, 0, 0, "Na"), Operations({kIdentity}),
         "0: Na (11): (0,0,0)\n", 5.431, 90, 2, 2},
        {"CYZ LATTICE,NONEQUIV.ATOMS:  1  38_Amm2", "", cubic, Atom(1, 0, 0, 0, "Na"), Operations({}), "nSymmetry: 0\n",
         5.431, 90, 2, 2},
        // Count and group number run together; the cell line's angles too.
        {"H   LATTICE,NONEQUIV.ATOMS:  2186_P63mc", "", hexagonal,
         Atom(1, 1 / 3.0, 2 / 3.0, 0, "O 1", 2) + Atom(2, 0, 0, 0.25, "Zn"), Operations({kIdentity, kScrew}),
         "SPGName: P63mc (186)\nnAsymSites: 2\n", 8 * kBohr, 120, 2, 4},
        // Symbol after a blank instead of "_"; no symbol at all.
        {"P   LATTICE,NONEQUIV.ATOMS   1  136 P42/mnm", "", cubic, Atom(-1, 0, 0, 0, "Na"), Operations({kIdentity}),
         "SPGName: P42/mnm (136)\n", 5.431, 90, 1, 1},
        {"P   LATTICE,NONEQUIV.ATOMS:  1", "", cubic, Atom(-1, 0.1, 0.2, 0.3, "Na"), Operations({kScrew}),
         "SPGName: P 1 (0)\n", 5.431, 90, 2, 2},
        // Line 2 counts more atoms than the file lists: the operations are still read.
        // The CIF lists the file's operations, not the database's; line 2 counts more atoms than the file lists.
        {"P   LATTICE,NONEQUIV.ATOMS:  3 4_P21", "", cubic, twoAtoms, Operations({kScrew, kIdentity}),
         "is no atom position; the atom list ends after 2 atoms.\nnSymmetry: 2\n_symmetry_space_group_name_H-M     "
         "'P21'\n_symmetry_Int_Tables_number        4\n\nloop_\n_symmetry_equiv_pos_as_xyz         \n  "
         "'-x,-y,z+1/2'\n  'x,y,z'\n\n",
         5.431, 90, 2, 4},
        // An R lattice: hexagonal a and c on line 4, rhombohedral axes for the positions.
        {"R   LATTICE,NONEQUIV.ATOMS:  1 166_R-3m", "", hexagonal, Atom(1, 0, 0, 0, "Bi"), Operations({kIdentity}),
         "Rhombohedral axes: 3.23333 A  81.7868\n", 3.23333, 81.7868, 1, 1},
    };
    UseDatabases();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line2);
        TempDir dir;
        WriteFile(dir / "case.struct",
                  "title\n" + c.line2 + "\n" + c.line3 + "\n" + c.cell + "\n" + c.atoms + c.operations);
        std::string log;
        auto crystal = ConvertAndReload(dir / "case.struct", dir / "case.cif", &log);
        ASSERT_TRUE(crystal) << log;
        const size_t cif = c.printed.find("_symmetry");
        EXPECT_NE(log.find(c.printed.substr(0, cif)), std::string::npos) << log;
        EXPECT_TRUE(cif == std::string::npos ||
                    ReadFile(dir / "case.cif").find(c.printed.substr(cif)) != std::string::npos);
        EXPECT_NEAR(crystal->a * 10, c.a, 1e-4);
        EXPECT_NEAR(crystal->gamma, c.gamma, 1e-4);
        EXPECT_EQ(crystal->SpaceGroup.nSymmetry, c.nOperations);
        EXPECT_EQ(crystal->nAtomSites, c.nSites);
    }
}

// A file cut after any line is refused with one line naming it (the index
// line of the last operation may be missing); unreadable input and output.
TEST(WienStruct, BadInput) {
    const std::string corpusFile = CorpusPath("wien2k/CrO2-sp_rutile_bohr.struct");
    if (!std::filesystem::exists(corpusFile)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    TempDir dir;
    const std::string whole = ReadFile(corpusFile);
    UseDatabases();
    size_t lines = 0;
    for (size_t end = whole.find('\n'); end != std::string::npos; end = whole.find('\n', end + 1), ++lines) {
        WriteFile(dir / "cut.struct", whole.substr(0, end + 1));
        CCrystal crystal;
        CaptureStdout();
        const int status = CWIEN::ReadCrystalStructure(dir / "cut.struct", crystal);
        const bool complete = whole.size() - end < 12;  // only the last index line left out
        EXPECT_EQ(status, complete ? 1 : -1) << "after line " << lines + 1;
        const std::string message = "Error in CWIEN::ReadCrystalStructure: [" + (dir / "cut.struct") + "] ";
        EXPECT_EQ(GetCapturedStdout().find(message) == std::string::npos, complete);
    }
    EXPECT_EQ(lines, 85u);

    std::string log;
    EXPECT_FALSE(ConvertAndReload(dir / "missing.struct", dir / "missing.cif", &log));
    EXPECT_EQ(log, "Struct file: " + (dir / "missing.struct") +
                       "\nError in CWIEN::ReadCrystalStructure: Can not read [" + (dir / "missing.struct") + "].\n");
    std::filesystem::create_directory(dir / "cut.cif");  // the CIF's name taken by a directory
    EXPECT_FALSE(ConvertAndReload(dir / "cut.struct", dir / "cut.cif", &log));
    EXPECT_NE(log.find("Can not write to [" + (dir / "cut.cif") + "].\n"), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "cut.struct"), whole);

    // Without the space-group database the CIF still holds the file's group and operations.
    WriteFile(dir / "case.struct", ReadFile(CorpusPath("wien2k/BaGa2_bohr_P6mmm.struct")));
    SPGDBPath = dir / "no-spgra";
    CaptureStdout();
    EXPECT_EQ(WIENMakeCIFFromStruct(dir / "case.struct"), 1);
    EXPECT_NE(GetCapturedStdout().find("Error in CSpaceGroup::ReadSPG: Can not read [" + SPGDBPath + "].\n"),
              std::string::npos);
    EXPECT_NE(ReadFile(dir / "case.cif")
                  .find("'P6/mmm'\n_symmetry_Int_Tables_number        191\n\nloop_\n_symmetry_equiv_pos_as_xyz         "
                        "\n  '-x,-x+y,-z'\n"),
              std::string::npos);
}
