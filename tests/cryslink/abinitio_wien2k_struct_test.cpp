// WIEN2k .struct files to CIF: the real files of the corpus, generated files
// for the layouts the corpus lacks, and files cut short.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "abinitio/wien2k_struct.h"
#include "analysis/cif_load.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "core/space_group_lookup.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

constexpr double kBohr = 0.529177210903;

// Converts the file and reads the CIF back, expanded by the operations it lists.
std::unique_ptr<CCrystal> ConvertAndReload(const std::string& structPath, const std::string& cifPath,
                                           std::string* log = nullptr) {
    CaptureStdout();
    const int status = WIENMakeCIFFromStruct(TestContext(), structPath);
    std::string printed = GetCapturedStdout();
    if (log) *log = printed;
    if (status != 1) return nullptr;
    CaptureStdout();
    auto crystal = LoadCrystalFromCIF(TestContext(), cifPath, "");
    GetCapturedStdout();
    return crystal;
}

// The sites a reader that trusts the group's name finds: the CIF's
// asymmetric unit expanded by the database record its name gives; -1 when
// the name gives none.
int SitesByName(const CCrystal& cif) {
    const CSpaceGroup& sg = cif.SpaceGroup;
    SpaceGroupRecord record;
    CCrystal byName;
    CaptureStdout();
    const bool found = FindSpaceGroupRecord("", sg.Name, sg.Number,
                                            IsRhombohedralCell(cif.a, cif.b, cif.c, cif.alpha, cif.beta, cif.gamma),
                                            TestContext().spaceGroups, "case.cif", record);
    if (found) {
        byName.Copy(cif);
        byName.SpaceGroup.ReadSPG(record.Number, record.Setting, TestContext().spaceGroups);
        byName.FillUnitCell();
    }
    GetCapturedStdout();
    return found ? byName.nAtomSites : -1;
}

// The labels of the asymmetric sites and the type symbols, each list joined by blanks.
std::string LabelsAndTypes(const CCrystal& c) {
    std::string text;
    for (int i = 0; i < c.nAtomAsymSites; ++i) text += c.AtomAsymSites[i].Label + " ";
    text += "|";
    for (int i = 0; i < c.nAtomTypes; ++i) text += " " + c.AtomTypes[i].Name;
    return text;
}

// An atom's block; MULT - 1 further position lines follow its first.
std::string Atom(int index, double x, double y, double z, const char* name, int mult = 1, double atomicNumber = 11) {
    char text[256];
    std::snprintf(text, sizeof text, "ATOM %3d: X=%10.8f Y=%10.8f Z=%10.8f\n          MULT=%2d          ISPLIT= 2\n",
                  index, x, y, z, mult);
    std::string block = text;
    for (int k = 1; k < mult; ++k) block += "      -1: X=0.50000000 Y=0.50000000 Z=0.50000000\n";
    std::snprintf(text, sizeof text, "      NPT=  781  R0=0.00010000 RMT=    2.0000   Z: %.1f\n", atomicNumber);
    return block + name + text + "LOCAL ROT MATRIX:    1 0 0\n                     0 1 0\n                     0 0 1\n";
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

// Every .struct file of the corpus and of tests/data: cell, group, the
// operations in the CIF and the sites the CIF expands to, which must be the
// positions the file lists, whether a reader goes by the group's name or by
// the operations; the file's names as labels, one type per element.
TEST(WienStruct, CorpusFilesConvert) {
    const std::string corpus = CorpusPath("wien2k/"), data = SourcePath("tests/data/cryslink/wien2k/");
    struct Case {
        std::string file;
        double aBohr, cBohr, gamma;
        const char* name;
        int number, nOperations, nAsymSites, nSites;  // nSites: the "X=" lines of the file, times the centring
        const char* labelsAndTypes;
        const char* formula;  // of the cell, as both formula lines of the CIF give it
    } cases[] = {
        {corpus + "BaGa2_bohr_P6mmm.struct", 8.429120, 9.701070, 120, "P6/mmm", 191, 24, 2, 3, "Ba0+ Ga0+ | Ba Ga", "Ba1 Ga2 "},
        {corpus + "CrO2-sp_rutile_bohr.struct", 8.333692, 5.499103, 90, "P42/mnm", 136, 16, 2, 6, "Cr O | Cr O", "Cr2 O4 "},
        {corpus + "NaCl_P_8atoms.struct", 10.753111, 10.753111, 90, "P1", 1, 1, 8, 8,
         "Na1 Na2 Na3 Na4 Cl1 Cl2 Cl3 Cl4 | Na Cl", "Na4 Cl4 "},
        {corpus + "ok_graphene_H_P-6m2.struct", 23.239030, 37.794538, 120, "P-6m2", 187, 12, 13, 49,
         "C1 C2 C3 C4 C5 C6 C7 C8 C9 C10 C11 C12 C13 | C", "C49 "},
        // Names with numbers and blanks; an R cell whose line 2 has its fields apart.
        {data + "TiC_Fm-3m.struct", 8.178254, 8.178254, 90, "Fm-3m", 225, 192, 2, 8, "Ti1 C1 | Ti C", "Ti4 C4 "},
        {data + "CuGaO2_R-3m.struct", 5.631354, 32.314146, 28.9848, "R-3m:R", 166, 12, 3, 4, "Cu1 Ga1 O1 | Cu Ga O",
         "Cu1 Ga1 O2 "},
        // Line 2 without a group; origin choice 2; line 2 damaged (39 for 139).
        {data + "F_no_group_NaCl.struct", 10.658, 10.658, 90, "Fm-3m", 225, 192, 2, 8, "Na Cl | Na Cl", "Na4 Cl4 "},
        {data + "Si_Fd-3m_origin2.struct", 10.263103, 10.263103, 90, "Fd-3m:2", 227, 192, 1, 8, "Si | Si", "Si8 "},
        {data + "La2CuO4_damaged_line2.struct", 7.146377, 25.036415, 90, "I4/mmm", 139, 32, 4, 14,
         "La1 Cu1 O1 O2 | La Cu O", "La4 Cu2 O8 "},
    };
    for (const Case& c : cases)
        for (bool crlf : {false, true}) {
            SCOPED_TRACE(c.file + std::string(crlf ? " with CR LF" : ""));
            if (!std::filesystem::exists(c.file)) {  // the corpus may be absent, tests/data not
                EXPECT_EQ(c.file.rfind(data, 0), std::string::npos) << "missing";
                continue;
            }
            TempDir dir;
            std::string text = ReadFile(c.file);
            if (crlf) text = std::regex_replace(text, std::regex("\n"), "\r\n");
            WriteFile(dir / "case.struct", text);
            auto crystal = ConvertAndReload(dir / "case.struct", dir / "case.cif");
            ASSERT_TRUE(crystal);
            if (c.gamma == 120 || c.gamma == 90) {
                EXPECT_NEAR(crystal->a, c.aBohr * kBohr / 10, 1e-5 * crystal->a);  // the CIF holds 6 digits
                EXPECT_NEAR(crystal->c, c.cBohr * kBohr / 10, 1e-5 * crystal->c);
            }
            EXPECT_NEAR(crystal->gamma, c.gamma, 1e-4);
            EXPECT_EQ(crystal->SpaceGroup.Name, c.name);
            EXPECT_EQ(crystal->SpaceGroup.Number, c.number);
            EXPECT_EQ(crystal->SpaceGroup.nSymmetry, c.nOperations);
            EXPECT_EQ(crystal->nAtomAsymSites, c.nAsymSites);
            EXPECT_EQ(crystal->nAtomSites, c.nSites);
            EXPECT_EQ(SitesByName(*crystal), c.nSites);
            EXPECT_EQ(LabelsAndTypes(*crystal), c.labelsAndTypes);
            const std::string cif = ReadFile(dir / "case.cif");
            EXPECT_NE(cif.find("_chemical_formula_structural       '" + std::string(c.formula) +
                               "'\n_chemical_formula_sum              '" + c.formula + "'\n"),
                      std::string::npos);
        }
}

// Line 2 in its layouts, the unit of line 3 (always bohr), the cell line's
// fixed columns, positive atom indices, names with a blank, and the centring
// translations of each lattice type added to the listed operations. No group
// has the centring alone: those cells are written whole in P 1.
TEST(WienStruct, GeneratedLayouts) {
    const std::string cubic = " 10.263107 10.263107 10.263107 90.000000 90.000000 90.000000";
    const std::string hexagonal = "  8.000000  8.000000 12.000000 90.000000 90.000000120.000000";
    const std::string twoAtoms = Atom(1, 0, 0, 0, "Na") + Atom(2, 0.5, 0.5, 0.5, "Cl 1", 1, 17);
    struct Case {
        std::string line2, line3, cell, atoms, operations;
        std::string printed;  // lines the reader prints, then a piece of the CIF
        double a, gamma;      // angstrom, degrees
        int nOperations, nSites;
    } cases[] = {
        // One F-centred atom listed with the identity: four sites, rock salt's group.
        {"F   LATTICE,NONEQUIV.ATOMS:  1 225_Fm-3m", "MODE OF CALC=RELA unit=ang", cubic, Atom(1, 0, 0, 0, "Cu", 1, 29),
         Operations({kIdentity}),
         "SPGName: Fm-3m (225)\nnAsymSites: 1\n", 5.431, 90, 1, 4},
        {"F   LATTICE,NONEQUIV.ATOMS:  2 225_Fm-3m", "MODE OF CALC=RELA unit=bohr", cubic, twoAtoms,
         Operations({kIdentity}),
         "1: Cl (17): (0.5,0.5,0.5)\nnSameAtom=0\nnSymmetry: 1\nSpace group: P 1, since no database record has the "
         "operations of the file (4); the cell is written with its 8 sites.\n_symmetry_space_group_name_H-M     'P 1'\n"
         "_symmetry_Int_Tables_number        1\n\nloop_\n_symmetry_equiv_pos_as_xyz         \n  'x,y,z'\n\n",
         5.431, 90, 1, 8},
        {"B   LATTICE,NONEQUIV.ATOMS:  2 229_Im-3m", "MODE OF CALC=RELA", cubic, twoAtoms, Operations({kIdentity}),
         "Lattice parameters: 5.431 5.431 5.431 A  90 90 90\n", 5.431, 90, 1, 4},
        {"CXY LATTICE,NONEQUIV.ATOMS:  1  65_Cmmm", "             RELA", cubic, Atom(1, 0, 0, 0, "Na"),
         Operations({kIdentity, kScrew}), "nSymmetry: 2\n", 5.431, 90, 1, 4},
        {"CXZ LATTICE,NONEQUIV.ATOMS:  1  38_Amm2", "", cubic, Atom(1, 0, 0, 0, "Na"), Operations({kIdentity}),
         "0: Na (11): (0,0,0)\n", 5.431, 90, 1, 2},
        {"CYZ LATTICE,NONEQUIV.ATOMS:  1  38_Amm2", "", cubic, Atom(1, 0, 0, 0, "Na"), Operations({}), "nSymmetry: 0\n",
         5.431, 90, 1, 2},
        // A name whose letters spell another element than its atomic number.
        {"P   LATTICE,NONEQUIV.ATOMS:  1   1_P1", "", cubic, Atom(1, 0, 0, 0, "CA", 1, 20), Operations({kIdentity}),
         "] has Z: 20; it is taken as Ca.\n_symmetry_space_group_name_H-M     'P1'\n_symmetry_Int_Tables_number     "
         "   1\n\nloop_\n_symmetry_equiv_pos_as_xyz         \n  'x,y,z'\n\nloop_\n_atom_type_symbol  \n"
         "_atom_type_oxidation_number        \n        Ca   0.000000\n",
         5.431, 90, 1, 1},
        // Count and group number run together; the cell line's angles too.
        {"H   LATTICE,NONEQUIV.ATOMS:  2186_P63mc", "", hexagonal,
         Atom(1, 1 / 3.0, 2 / 3.0, 0, "O 1", 2, 8) + Atom(2, 0, 0, 0.25, "Zn", 1, 30), Operations({kIdentity, kScrew}),
         "SPGName: P63mc (186)\nnAsymSites: 2\n", 8 * kBohr, 120, 2, 4},
        // Symbol after a blank instead of "_"; no symbol at all.
        {"P   LATTICE,NONEQUIV.ATOMS   1  136 P42/mnm", "", cubic, Atom(-1, 0, 0, 0, "Na"), Operations({kIdentity}),
         "SPGName: P42/mnm (136)\n", 5.431, 90, 1, 1},
        {"P   LATTICE,NONEQUIV.ATOMS:  1", "", cubic, Atom(-1, 0.1, 0.2, 0.3, "Na"), Operations({kScrew}),
         "SPGName: P 1 (0)\n", 5.431, 90, 2, 2},
        // Line 2 counts more atoms than the file lists: the operations are still read.
        // The CIF lists the file's operations, not the database's; line 2 counts more atoms than the file lists.
        // Its screw axis along c is not that of P21 (setting 1, axis b) that line 2 names.
        {"P   LATTICE,NONEQUIV.ATOMS:  3 4_P21", "", cubic, twoAtoms, Operations({kScrew, kIdentity}),
         "is no atom position; the atom list ends after 2 atoms.\nnSymmetry: 2\n_symmetry_space_group_name_H-M     "
         "'P 1 1 21'\n_symmetry_Int_Tables_number        4\n\nloop_\n_symmetry_equiv_pos_as_xyz         \n  "
         "'-x,-y,z+1/2'\n  'x,y,z'\n\n",
         5.431, 90, 2, 4},
        // An R lattice: hexagonal a and c on line 4, rhombohedral axes for the positions.
        {"R   LATTICE,NONEQUIV.ATOMS:  1 166_R-3m", "", hexagonal, Atom(1, 0, 0, 0, "Bi", 1, 83), Operations({kIdentity}),
         "Rhombohedral axes: 3.23333 A  81.7868\n", 3.23333, 81.7868, 1, 1},
    };
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
    size_t lines = 0;
    for (size_t end = whole.find('\n'); end != std::string::npos; end = whole.find('\n', end + 1), ++lines) {
        WriteFile(dir / "cut.struct", whole.substr(0, end + 1));
        CCrystal crystal;
        CaptureStdout();
        const int status = CWIEN::ReadCrystalStructure(dir / "cut.struct", crystal, TestContext().spaceGroups);
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

    // Without the space-group database no name can be checked against the
    // operations: the CIF holds the whole cell in P 1.
    WriteFile(dir / "case.struct", ReadFile(CorpusPath("wien2k/BaGa2_bohr_P6mmm.struct")));
    RunContext noSpaceGroups;
    noSpaceGroups.spaceGroups.Read(dir / "no-spgra");
    CaptureStdout();
    EXPECT_EQ(WIENMakeCIFFromStruct(noSpaceGroups, dir / "case.struct"), 1);
    EXPECT_NE(GetCapturedStdout().find("Error in CSpaceGroup::ReadSPG: Can not read [" + (dir / "no-spgra") +
                                       "].\nLattice parameters: 4.4605 4.4605 5.13359 A  90 90 120\n"),
              std::string::npos);
    EXPECT_NE(ReadFile(dir / "case.cif")
                  .find("'P 1'\n_symmetry_Int_Tables_number        1\n\nloop_\n_symmetry_equiv_pos_as_xyz         "
                        "\n  'x,y,z'\n\n"),
              std::string::npos);
    EXPECT_NE(ReadFile(dir / "case.cif").find("\n    Ga0+_1        Ga   1 i    0.666667    0.333333    0.500000"),
              std::string::npos);
}
