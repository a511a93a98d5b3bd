// Reading CIF files into crystals: tags, loops in any layout, the corpus of
// real files, and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "analysis/cif_load.h"
#include "analysis/cif_summary.h"
#include "core/cif_parser.h"
#include "core/cif_tags.h"
#include "core/cif_writer.h"
#include "core/crystal.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::string Data(const std::string& name) { return SourcePath("tests/data/cryslink/cif/" + name); }

std::unique_ptr<CCrystal> Load(const std::string& path, std::string* output = nullptr) {
    CaptureStdout();
    auto crystal = LoadCrystalFromCIF(TestContext(), path, "Error in ShowCIFInf: Can not read [%s].\n");
    const std::string out = GetCapturedStdout();
    if (output) *output = out;
    return crystal;
}

std::map<std::string, int> Composition(const CCrystal& c) {
    std::map<std::string, int> count;
    for (int i = 0; i < c.nAtomSites; ++i) ++count[c.AtomTypes[c.AtomSites[i].iAtomType].Name];
    return count;
}

// Lines that start with "Warning" or "Error".
int WarningLines(const std::string& out) {
    int n = 0;
    for (size_t start = 0; start < out.size(); start = out.find('\n', start) + 1) {
        n += out.compare(start, 7, "Warning") == 0 || out.compare(start, 5, "Error") == 0;
        if (out.find('\n', start) == std::string::npos) break;
    }
    return n;
}

}  // namespace

TEST(CifTags, SingleItemsUnitsQuotesAndUndefined) {
    CCIFTags tags;
    ASSERT_EQ(tags.ReadCIFFile(Data("own_layout.cif")), 1);
    EXPECT_EQ(tags.DataBlock, "data_99999-ICSD");
    EXPECT_DOUBLE_EQ(tags.a, 0.5431);
    EXPECT_DOUBLE_EQ(tags.beta, 100);
    EXPECT_EQ(tags.ChemicalNameSystematic, "Silicon dioxide");
    EXPECT_EQ(tags.ChemicalNameMineral, "Undefined");
    EXPECT_EQ(tags.SpaceGroupName, "P 1 21/c 1");
    EXPECT_EQ(tags.SpaceGroupNumber, 14);
    EXPECT_EQ(tags.DatabaseCodeICSD, 99999);
    ASSERT_EQ(tags.nSymmetry, 4);
    EXPECT_EQ(tags.SymmetryText[3], "x,-y+1/2,z+1/2");
    ASSERT_EQ(tags.nAtomTypes, 2);
    EXPECT_EQ(tags.OxidationNumber[1], -2);
    ASSERT_EQ(tags.nAtomSites, 2);
    EXPECT_EQ(tags.SiteLabel[1], "O1");
    EXPECT_EQ(tags.SiteWyckoff[1], "i");
    EXPECT_DOUBLE_EQ(tags.SiteOccupancy[1], 0.5);
    EXPECT_EQ(tags.FindTag("_atom_site_fract_x"), 1);
    EXPECT_EQ(tags.FindTag("_no_such_tag"), -1);
    double untouched = 7;
    EXPECT_EQ(tags.GetTagDouble("_no_such_tag", untouched), -1);
    EXPECT_EQ(untouched, 7);
    EXPECT_EQ(tags.ReadCIFFile(Data("absent.cif")), -1);
}

TEST(CifTags, LoopsInAnyColumnOrderGiveTheSameCrystal) {
    auto own = Load(Data("own_layout.cif"));
    auto other = Load(Data("other_order.cif"));
    ASSERT_TRUE(own && other);
    EXPECT_EQ(other->ChemicalName, "Silicon dioxide");  // a text field's first line
    EXPECT_EQ(other->SpaceGroup.Name, "P 21/c");
    EXPECT_DOUBLE_EQ(other->a, own->a);
    ASSERT_EQ(other->nAtomAsymSites, 2);
    EXPECT_DOUBLE_EQ(other->AtomAsymSites[1].Occupancy, 0.5);  // a row continued over two lines
    EXPECT_DOUBLE_EQ(other->AtomAsymSites[1].x, 0.25);
    ASSERT_EQ(other->nAtomSites, own->nAtomSites);
    for (int i = 0; i < own->nAtomSites; ++i) {
        EXPECT_NEAR(other->AtomSites[i].x, own->AtomSites[i].x, 1e-12);
        EXPECT_NEAR(other->AtomSites[i].z, own->AtomSites[i].z, 1e-12);
    }
    // Four operations: one general site gives four atoms; occupancy 0.5 still counts as an atom.
    EXPECT_EQ((Composition(*own)), (std::map<std::string, int>{{"O", 4}, {"Si", 4}}));
}

// Site lines that stop after the occupancy are rows of their own, while in a
// file without such lines a row may still run over lines or share a line.
TEST(CifTags, ShortSiteLinesAndRowsAcrossLines) {
    const std::string header =
        "data_s\nloop_\n_symmetry_equiv_pos_as_xyz\nx,y,z -x,-y,-z\nloop_\n_atom_site_label\n"
        "_atom_site_type_symbol\n_atom_site_symmetry_multiplicity\n_atom_site_Wyckoff_symbol\n_atom_site_fract_x\n"
        "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\n_atom_site_attached_hydrogens\n"
        "_atom_site_calc_flag\n";
    const char* labels[] = {"Si1", "O1", "O2", "O3"};
    const double x[] = {0.1, 0.4, 0.7, 0.5}, z[] = {0.3, 0.6, 0.9, 0.25}, occ[] = {0.5, 1, 0.25, 0.75};
    const std::string bodies[] = {
        "  Si1 Si 4 e 0.1 0.2 0.3 0.5000\n  O1 O 4 e 0.4 0.5 0.6 1.0 0 a\n"
        "  O2 O 4 e 0.7 0.8 0.9 0.25\n  O3 O 2 a 0.5 0.5 0.25 0.75\n",
        "  Si1 Si 4 e 0.1 0.2 0.3 0.5 0 a O1 O 4 e 0.4\n 0.5 0.6 1.0 0 a\n"
        "  O2 O 4 e 0.7 0.8\n 0.9 0.25 0 a O3 O 2 a 0.5 0.5 0.25 0.75 0 a\n",
    };
    TempDir dir;
    for (const std::string& body : bodies) {
        WriteFile(dir / "rows.cif", header + body);
        CCIFTags tags;
        ASSERT_EQ(tags.ReadCIFFile(dir / "rows.cif"), 1);
        EXPECT_EQ(tags.SymmetryText, (std::vector<std::string>{"x,y,z", "-x,-y,-z"}));
        ASSERT_EQ(tags.nAtomSites, 4) << body;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(tags.SiteLabel[i], labels[i]);
            EXPECT_DOUBLE_EQ(tags.SiteX[i], x[i]) << labels[i];
            EXPECT_DOUBLE_EQ(tags.SiteZ[i], z[i]) << labels[i];
            EXPECT_DOUBLE_EQ(tags.SiteOccupancy[i], occ[i]) << labels[i];
        }
        EXPECT_EQ(tags.SiteWyckoff[3], "a");
    }
}

// Coordinates in every form a number may take: read as strtod reads them.
TEST(CifTags, NumberFormsOfCoordinates) {
    const std::pair<const char*, double> cases[] = {
        {"0.363737", 0.363737}, {"5.4310(2)", 5.431}, {"-.25", -0.25},  {"+0.5", 0.5},      {"1e-3", 1e-3},
        {"0x10", 16.0},         {"'0.75'", 0.75},     {"' 0.5'", 0.5},  {"1e400", NAN},     {"inf", NAN},
        {"0.1x", 0.1},          {"7.", 7.0},          {"1E+2", 100.0},  {"2.5e", 2.5},      {"abc", NAN},
        {"1/4", 0.25},          {"-1/3", -1.0 / 3},   {"2/3(1)", 2.0 / 3}, {"1/0", NAN},    {"1/", NAN},
        {"1/x", NAN},
    };
    std::string body;
    for (const auto& c : cases) body += std::string("A O ") + c.first + " 0 0\n";
    TempDir dir;
    WriteFile(dir / "n.cif", "data_n\nloop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
                             "_atom_site_fract_y\n_atom_site_fract_z\n" + body);
    CCIFTags tags;
    CaptureStdout();
    ASSERT_EQ(tags.ReadCIFFile(dir / "n.cif"), 1);
    GetCapturedStdout();
    size_t site = 0;
    for (const auto& c : cases) {
        if (std::isnan(c.second)) continue;  // a site without a number is left out
        ASSERT_LT(site, tags.SiteX.size());
        EXPECT_EQ(tags.SiteX[site++], c.second) << c.first;
    }
    EXPECT_EQ(site, tags.SiteX.size());
}

// Loop values view the text the block keeps: copies and moves of a block of a
// short text (held inside the string) read the same rows.
TEST(CifParser, RowsSurviveCopiesOfTheBlock) {
    CifBlock copy;
    {
        CifBlock block = ParseCifCopy("loop_ _a _b\n1 2 3");
        CifBlock moved = std::move(block);
        copy = moved;
    }
    ASSERT_EQ(copy.loops.size(), 1u);
    const CifLoop& loop = copy.loops[0];
    ASSERT_EQ(loop.rows.size(), 2u);
    EXPECT_EQ(loop.rows[0][1], "2");
    EXPECT_EQ(loop.rows[1][0], "3");
    EXPECT_EQ(loop.rows[1][1], "?");
    CifLoop second = loop;
    EXPECT_EQ(second.rows[1][0], "3");
}

TEST(CifTags, SiteIdFormWithTabOrBlankAndCrlfLines) {
    auto c = Load(Data("crlf_site_id.cif"));
    ASSERT_TRUE(c);
    ASSERT_EQ(c->SpaceGroup.nSymmetry, 2);
    EXPECT_EQ(c->SpaceGroup.OperationText[0], "x, y, z");
    EXPECT_EQ(c->SpaceGroup.OperationText[1], "-x, -y, -z");
    EXPECT_EQ(c->nAtomSites, 2);
    EXPECT_EQ(c->AtomTypes[0].Name, "Na");  // taken from the label
}

TEST(CifTags, TypeFromTheLabelWhenTheFileHasNone) {
    TempDir dir;
    WriteFile(dir / "labels.cif", "data_l\nloop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
                                  "_atom_site_fract_y\n_atom_site_fract_z\nNaM1 ? 0 0 0\nOa1 . 0 0 0\nOW2 ? 0 0 0\n"
                                  "Ca1 ? 0 0 0\nCb1 ? 0 0 0\no1 ? 0 0 0\nCL2 ? 0 0 0\nsi1 ? 0 0 0\nDw1 ? 0 0 0\n"
                                  "Q1 ? 0 0 0\nmax . 0 0 0\npeak2 ? 0 0 0\nCg1 ? 0 0 0\nX1 ? 0 0 0\nCp1 C 0 0 0\n");
    CCIFTags tags;
    CaptureStdout();
    ASSERT_EQ(tags.ReadCIFFile(dir / "labels.cif"), 1);
    EXPECT_NE(GetCapturedStdout().find(" 5 rows of the atom-site loop"), std::string::npos);
    // Peaks, centroids and labels of no element are left out; a type symbol keeps its row.
    EXPECT_EQ(tags.SiteTypeSymbol,
              (LargeVector<std::string>{"Na", "O", "O", "Ca", "C", "O", "Cl", "Si", "D", "C"}));
}

TEST(CifTags, MissingOperationListComesFromTheDatabase) {
    TempDir dir;
    WriteFile(dir / "nacl.cif",
              "data_NaCl\n_symmetry_space_group_name_H-M 'F m -3 m'\n_cell_length_a 5.64\n_cell_length_b 5.64\n"
              "_cell_length_c 5.64\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
              "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
              "Na1 0 0 0\nCl1 0.5 0.5 0.5\n");
    auto c = Load(dir / "nacl.cif");
    ASSERT_TRUE(c);
    EXPECT_EQ((Composition(*c)), (std::map<std::string, int>{{"Cl", 4}, {"Na", 4}}));
    EXPECT_NEAR(c->Density, 2.164, 0.002);

    // Origin choice 2 from the symbol; rhombohedral axes from the cell.
    WriteFile(dir / "spinel.cif",
              "data_s\n_symmetry_space_group_name_H-M 'F d -3 m :2'\n_symmetry_Int_Tables_number 227\n"
              "_cell_length_a 8.0\n_cell_length_b 8.0\n_cell_length_c 8.0\n_cell_angle_alpha 90\n"
              "_cell_angle_beta 90\n_cell_angle_gamma 90\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
              "_atom_site_fract_y\n_atom_site_fract_z\nMg1 0.125 0.125 0.125\nAl1 0.5 0.5 0.5\n"
              "O1 0.2627 0.2627 0.2627\n");
    c = Load(dir / "spinel.cif");
    ASSERT_TRUE(c);
    EXPECT_EQ((Composition(*c)), (std::map<std::string, int>{{"Al", 16}, {"Mg", 8}, {"O", 32}}));
    WriteFile(dir / "rhombohedral.cif",
              "data_r\n_symmetry_space_group_name_H-M 'R -3 m'\n_symmetry_Int_Tables_number 166\n"
              "_cell_length_a 3.0\n_cell_length_b 3.0\n_cell_length_c 3.0\n_cell_angle_alpha 60\n"
              "_cell_angle_beta 60\n_cell_angle_gamma 60\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
              "_atom_site_fract_y\n_atom_site_fract_z\nCu1 0 0 0\nO1 0.25 0.25 0.25\n");
    c = Load(dir / "rhombohedral.cif");
    ASSERT_TRUE(c);
    EXPECT_EQ((Composition(*c)), (std::map<std::string, int>{{"Cu", 1}, {"O", 2}}));

    // A full monoclinic symbol without a number; an unknown symbol says so.
    const std::string monoclinic = "data_m\n_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n_cell_angle_alpha 90\n"
                                   "_cell_angle_beta 100\n_cell_angle_gamma 90\nloop_\n_atom_site_label\n"
                                   "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nS1 0.1 0.2 0.3\n";
    WriteFile(dir / "full.cif", monoclinic + "_symmetry_space_group_name_H-M 'P 1 2_1/c 1'\n");
    c = Load(dir / "full.cif");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->nAtomSites, 4);
    std::string out;
    WriteFile(dir / "unknown.cif", monoclinic + "_symmetry_space_group_name_H-M 'Q 42'\n");
    c = Load(dir / "unknown.cif", &out);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->nAtomSites, 1);
    EXPECT_NE(out.find("Warning: space group [Q 42] of ["), std::string::npos) << out;
    // A centring that the rotations of P 4/m do not keep makes no group.
    WriteFile(dir / "a4m.cif", monoclinic + "_symmetry_space_group_name_H-M 'A 4/m'\n");
    c = Load(dir / "a4m.cif", &out);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->nAtomSites, 1);
    EXPECT_NE(out.find("Warning: space group [A 4/m] of ["), std::string::npos) << out;
}

// Files that name their space group (Hall symbol, symbol in any spelling,
// number) but list no operations: every site of the cell is one that spglib's
// operations for the meant setting make (tools/gen_cif_setting_reference.py).
TEST(CifSettings, CellsEqualTheReferenceExpansion) {
    std::ifstream reference(Data("settings/reference.txt"));
    std::string file;
    int number = 0, setting = 0, count = 0, files = 0;
    while (reference >> file >> number >> setting >> count) {
        std::string out;
        auto c = Load(Data("settings/" + file), &out);
        ASSERT_TRUE(c) << file;
        EXPECT_EQ(c->SpaceGroup.Number, number) << file;
        EXPECT_EQ(c->SpaceGroup.Setting, setting) << file;
        const std::string used = "Space group: number " + std::to_string(number) + ", setting " +
                                 std::to_string(setting) + " [";
        EXPECT_NE(out.find(used), std::string::npos) << out;
        EXPECT_EQ(out.find("Warning: "), std::string::npos) << out;
        // ICSD writes a zero coordinate of Mn1 as ".".
        const std::string dot = "[Mn1] of [" + Data("settings/" + file) + "] has a coordinate \".\"; it is read as 0.";
        EXPECT_EQ(out.find(dot) != std::string::npos, file == "ICSD_dot_coordinates.cif") << out;
        EXPECT_EQ(c->nAtomSites, count) << file;
        std::map<std::string, int> composition;
        for (int i = 0; i < count; ++i) {
            std::string type;
            double x = 0, y = 0, z = 0;
            reference >> type >> x >> y >> z;
            ++composition[type];
            bool found = false;
            for (int j = 0; j < c->nAtomSites && !found; ++j) {
                const CAtomSite& site = c->AtomSites[j];
                found = c->AtomTypes[site.iAtomType].Name == type &&
                        c->GetNearestImageDistance2(site.x, site.y, site.z, x, y, z) < 1e-4 * 1e-4;
            }
            EXPECT_TRUE(found) << file << ": no " << type << " at " << x << " " << y << " " << z;
        }
        EXPECT_EQ(Composition(*c), composition) << file;
        ++files;
    }
    EXPECT_EQ(files, 18);
}

// Layouts in common use, on real files (two written in the CIF 2.0 layout):
// the cell, the atoms of each type and the density equal an outside reading
// (tools/gen_cif_layout_reference.py: gemmi, checked there against pymatgen
// and formula x Z); each layout prints its one line and no other warning;
// every type is an element, so XSF frames carry no atomic number 0; and a
// CIF written of the crystal reads back to the same cell.
TEST(CifLayouts, CellContentsEqualTheReference) {
    const std::string noAtoms = "Warning in ReadCIFFile: 2 rows of the atom-site loop of [@] are no atoms (residual "
                                "density peaks, dummy atoms, centroids); they are left out.\n";
    const std::map<std::string, std::string> lines = {
        {"A-1_COD2000507.cif", "Space group [A -1] of [@]: the operations of [P-1] of the space-group database "
                               "with the centring translations of A.\n"},
        {"data_global_COD1000000.cif", "Data block [data_C5H17AlN2O8P2] of [@] is read: the blocks before it hold no "
                                       "cell with atom sites.\n"},
        {"deuterium_max_min_COD1000002.cif", noAtoms},
        {"dummy_centroids_COD2009668.cif", noAtoms},
        {"fractions_COD1100910.cif", ""},
        {"magnetic_LaMnO3.mcif", ""},
        {"magnetic_cif2_MnO.mcif", ""},
        {"quartz_cif2_dotted_names.cif", ""},
        {"rutile_cif2_full_symbol.cif", "Space group: number 136, setting 1 [P42/mnm] of the space-group database.\n"},
        {"superspace_sn5100.cif", ""},
    };
    std::ifstream reference(Data("layouts/reference.txt"));
    std::string file;
    double cell[6], density = 0;
    int nTypes = 0, files = 0;
    TempDir dir;
    while (reference >> file >> cell[0] >> cell[1] >> cell[2] >> cell[3] >> cell[4] >> cell[5] >> density >> nTypes) {
        std::map<std::string, int> composition;
        for (int i = 0; i < nTypes; ++i) {
            std::string type;
            reference >> type >> composition[type];
        }
        const std::string path = Data("layouts/" + file);
        std::string out;
        auto c = Load(path, &out);
        ASSERT_TRUE(c) << file << "\n" << out;
        ASSERT_TRUE(lines.count(file)) << file;
        std::string line = lines.at(file);
        if (const size_t at = line.find('@'); at != std::string::npos) line.replace(at, 1, path);
        EXPECT_NE(out.find(line), std::string::npos) << out;
        EXPECT_EQ(WarningLines(out), line.rfind("Warning", 0) == 0 ? 1 : 0) << out;
        const double got[6] = {c->a * 10, c->b * 10, c->c * 10, c->alpha, c->beta, c->gamma};
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i] / cell[i], 1.0, 1e-5) << file;
        EXPECT_EQ(Composition(*c), composition) << file;
        EXPECT_NEAR(c->Density / density, 1.0, 1e-3) << file;
        for (int i = 0; i < c->nAtomTypes; ++i) EXPECT_GT(c->AtomTypes[i].AtomicNumber, 0) << file;

        WriteCIFFile(*c, dir / "written.cif");
        auto written = Load(dir / "written.cif");
        ASSERT_TRUE(written) << file;
        EXPECT_EQ(Composition(*written), composition) << file;
        ++files;
    }
    EXPECT_EQ(files, static_cast<int>(lines.size()));
}

// Every CIF of the corpus: the composition of the cell and the density
// (checked against pymatgen; the LiABW file lists no identity, which pymatgen
// then leaves out, so its density there is 3/4 of the true one).
TEST(CifCorpus, CompositionsAndDensities) {
    const struct {
        const char* file;
        std::map<std::string, int> composition;
        double density;
    } cases[] = {
        {"LiABW_COD8103382_Pna21_site_id_no_identity.cif",
         {{"Li", 4}, {"Si", 4}, {"Al", 4}, {"O", 20}, {"H", 8}}, 1.70041 * 4 / 3},
        {"MAPbI3_mp-977013_Pm_monoclinic_pymatgen.cif", {{"H", 6}, {"Pb", 1}, {"C", 1}, {"I", 3}, {"N", 1}}, 3.82659},
        {"ReTe2_COD10000001_P-1_ICSD-style.cif", {{"Re4+", 4}, {"Te2-", 8}}, 9.24717},
        {"corundum_AMCSD0009325_R-3c.cif", {{"Al", 12}, {"O", 18}}, 3.98414},
        {"jadeite_COD9010373_C2c_monoclinic.cif", {{"Na", 4}, {"Al", 4}, {"Si", 8}, {"O", 24}}, 3.33963},
        {"perovskite_PMN-PT_COD1501508_Pm-3m.cif",
         {{"Mg2+", 1}, {"Nb5+", 1}, {"Pb2+", 1}, {"Ti4+", 1}, {"O2-", 3}}, 8.14481},
        {"quartz_COD1526860_P3121.cif", {{"Si+4", 3}, {"O-2", 6}}, 2.66425},
        {"rutile_CrystalDiffract_P42mnm.cif", {{"Ti", 2}, {"O", 4}}, 4.26748},
        {"spinel_NiAl2O4_COD9006030_Fd-3m.cif", {{"Ni", 24}, {"Al", 24}, {"O", 32}}, 4.50109},
    };
    const std::string corpus = SourcePath("../shared/corpus/cif/");
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    for (const auto& c : cases) {
        auto crystal = Load(corpus + c.file);
        ASSERT_TRUE(crystal) << c.file;
        EXPECT_EQ(Composition(*crystal), c.composition) << c.file;
        EXPECT_NEAR(crystal->Density / c.density, 1.0, 1e-3) << c.file;
        // The identity comes first, wherever the file lists it.
        for (int i = 0; i < crystal->nAtomAsymSites; ++i) {
            const CAtomSite &asym = crystal->AtomAsymSites[i], &site = crystal->AtomSites[i];
            EXPECT_EQ(site.iAsymSite, i) << c.file;
            EXPECT_DOUBLE_EQ(site.x, ReduceFractionalCoordinate(asym.x)) << c.file;
            EXPECT_DOUBLE_EQ(site.z, ReduceFractionalCoordinate(asym.z)) << c.file;
        }
    }
}

TEST(CifSummary, PrintsLatticeTypesAndCompositionWithPaddedNames) {
    CaptureStdout();
    EXPECT_EQ(ShowCIFInf(TestContext(), Data("own_layout.cif")), 1);
    const std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("\nCrystal: Silicon dioxide\n  Lattice:\n    Parameters: 0.5431 0.6 0.7 nm  90 100 90\n"
                       "    Vectors:   0.543100   0.000000   0.000000\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Atom types:\n  Si Z=14 q=4 m=28.0855\n   O Z=8 q=-2 m=15.9994\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Chemical composition:\n  Si: 4\n   O: 4\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Atoms in"), std::string::npos);
}

TEST(CifBadInput, EveryFaultGetsOneLineAndNoCrash) {
    TempDir dir;
    std::string out;
    WriteFile(dir / "empty.cif", "");
    EXPECT_FALSE(Load(dir / "empty.cif", &out));
    EXPECT_EQ(out, "CIF File: " + (dir / "empty.cif") + "\nError in ShowCIFInf: Can not read [" + (dir / "empty.cif") +
                       "].\n");
    EXPECT_FALSE(Load(dir.path(), &out));  // a directory reads as no text
    EXPECT_NE(out.find("Error in ShowCIFInf: Can not read"), std::string::npos);

    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    WriteFile(dir / "garbage.cif", garbage);
    Load(dir / "garbage.cif", &out);
    EXPECT_LE(std::count(out.begin(), out.end(), '\n'), 3);

    const std::string cell =
        "data_t\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n_cell_angle_alpha 90\n_cell_angle_beta 90\n"
        "_cell_angle_gamma 90\n";
    WriteFile(dir / "truncated.cif", cell + "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                                            "_atom_site_fract_z\nNa1 0 0 0\nCl1 0.5 0.5\n");
    auto c = Load(dir / "truncated.cif", &out);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->nAtomSites, 1);
    EXPECT_NE(out.find("Warning in ReadCIFFile: site [Cl1] of [" + (dir / "truncated.cif") +
                       "] has no coordinates; it is left out.\n"),
              std::string::npos);

    WriteFile(dir / "badop.cif", cell + "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'-x,-y,q'\nloop_\n"
                                        "_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                                        "Na1 0.1 0.2 0.3\n");
    c = Load(dir / "badop.cif", &out);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->nAtomSites, 1);
    EXPECT_NE(out.find("[-x,-y,q]"), std::string::npos);

    WriteFile(dir / "flat.cif", "data_f\n_cell_length_a 0\n_cell_length_b -4\n_cell_length_c 4\n");
    EXPECT_FALSE(Load(dir / "flat.cif", &out));
    EXPECT_NE(out.find("has no valid cell"), std::string::npos);
    WriteFile(dir / "infinite.cif", "data_f\n_cell_length_a inf\n_cell_length_b 4\n_cell_length_c 4\n"
                                    "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n");
    EXPECT_FALSE(Load(dir / "infinite.cif", &out));

    // Coordinates that are not numbers leave their site out; a bad occupancy counts as 1.
    WriteFile(dir / "nan.cif", "\xEF\xBB\xBF" + cell + "loop_\n_atom_site_label\n_atom_site_fract_x\n"
                               "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\nNa1 nan 0 0 1\n"
                               "Na2 0 abc 0 1\nNa3 0 0 -inf 1\nCl1 0.5 0.5 0.5 nan\n");
    c = Load(dir / "nan.cif", &out);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->CIFTags->DataBlock, "data_t");
    ASSERT_EQ(c->nAtomSites, 1);
    EXPECT_EQ(c->AtomSites[0].Occupancy, 1);
    EXPECT_NE(out.find("site [Na3] of"), std::string::npos);
}

TEST(CifSummary, EndToEndWithBothListings) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--Action=ShowCIFInf", "--ShowAsymmetricUnit=1", "--ShowAllAtoms=1",
                                             Data("own_layout.cif")});
    EXPECT_EQ(r.status, 0);
    const std::string expected = ReadFile(Data("own_layout.summary.txt"));
    const size_t start = r.output.find("Show CIF Information.");
    ASSERT_NE(start, std::string::npos);
    std::string tail = r.output.substr(start);
    const std::string path = Data("own_layout.cif");
    tail.replace(tail.find(path), path.size(), "own_layout.cif");
    EXPECT_EQ(tail, expected);
}
