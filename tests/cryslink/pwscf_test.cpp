// PWScfConvOutput: the cells of pw.x's lattices, the corpus runs frame by
// frame, the updated inputs read back, and damaged or missing files.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "abinitio/pwscf.h"
#include "abinitio/pwscf_cell.h"
#include "analysis/cif_load.h"
#include "core/crystal.h"
#include "core/elements.h"
#include "core/units.h"
#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;

namespace {

const std::string kCorpus = "../shared/corpus/pwscf/";
const std::string kData = "tests/data/cryslink/pwscf/";  // real files we may commit, and generated layouts
const double kCelldm[6] = {10.2, 1.3, 1.7, 0.21, -0.27, 0.13};

RunResult Convert(const TempDir& dir, const std::string& output, std::vector<std::string> options = {}) {
    options.insert(options.begin(), "--Action=PWScfConvOutput");
    options.push_back(output);
    return RunCryslinkIn(dir.path(), options);
}

// Copies an output and its input (from the corpus, or from `folder`) under one
// base name; false without the corpus.
bool CopyRun(const TempDir& dir, const std::string& output, const std::string& input, const std::string& base,
             const std::string& folder = kCorpus) {
    if (!std::filesystem::exists(SourcePath(folder + output))) return false;
    WriteFile(dir / (base + ".out"), ReadFile(SourcePath(folder + output)));
    if (!input.empty()) WriteFile(dir / (base + ".in"), ReadFile(SourcePath(folder + input)));
    return true;
}

XSFAnimation Frames(const TempDir& dir, const std::string& base) { return ParseXSF(ReadFile(dir / (base + ".xsf"))); }

// A written CIF read back and expanded by the operations it lists.
std::unique_ptr<CCrystal> LoadCIF(const std::string& path) {
    testing::internal::CaptureStdout();
    auto crystal = LoadCrystalFromCIF(TestContext(), path, "");
    testing::internal::GetCapturedStdout();
    return crystal;
}

// The atom rows of a written CIF (from its site loop on).
std::string SiteRows(const std::string& cif) { return cif.substr(std::min(cif.find("_atom_site_label"), cif.size())); }

}  // namespace

// Cell vectors of every ibrav against ase.io.espresso (tools/gen_pwscf_ibrav_reference.py).
TEST(PWScfCell, LatticeVectorsAgreeWithAse) {
    struct Row {
        int ibrav;
        double v[9];
    };
    const Row rows[] = {
        {1, {10.199999957396, 0, 0, 0, 10.199999957396, 0, 0, 0, 10.199999957396}},
        {2, {-5.099999978698, 0, 5.099999978698, 0, 5.099999978698, 5.099999978698, -5.099999978698, 5.099999978698, 0}},
        {3, {5.099999978698, 5.099999978698, 5.099999978698, -5.099999978698, 5.099999978698, 5.099999978698,
             -5.099999978698, -5.099999978698, 5.099999978698}},
        {-3, {-5.099999978698, 5.099999978698, 5.099999978698, 5.099999978698, -5.099999978698, 5.099999978698,
              5.099999978698, 5.099999978698, -5.099999978698}},
        {4, {10.199999957396, 0, 0, -5.099999978698, 8.833459081705, 0, 0, 0, 17.339999927573}},
        {5, {6.410600569112, -3.701161964244, 7.017520900476, 0, 7.402323928488, 7.017520900476, -6.410600569112,
             -3.701161964244, 7.017520900476}},
        {-5, {-1.992404597596, 7.073553670198, 7.073553670198, 7.073553670198, -1.992404597596, 7.073553670198,
              7.073553670198, 7.073553670198, -1.992404597596}},
        {6, {10.199999957396, 0, 0, 0, 10.199999957396, 0, 0, 0, 17.339999927573}},
        {7, {5.099999978698, -5.099999978698, 8.669999963787, 5.099999978698, 5.099999978698, 8.669999963787,
             -5.099999978698, -5.099999978698, 8.669999963787}},
        {8, {10.199999957396, 0, 0, 0, 13.259999944615, 0, 0, 0, 17.339999927573}},
        {9, {5.099999978698, 6.629999972307, 0, -5.099999978698, 6.629999972307, 0, 0, 0, 17.339999927573}},
        {-9, {5.099999978698, -6.629999972307, 0, 5.099999978698, 6.629999972307, 0, 0, 0, 17.339999927573}},
        {10, {5.099999978698, 0, 8.669999963787, 5.099999978698, 6.629999972307, 0, 0, 6.629999972307, 8.669999963787}},
        {12, {10.199999957396, 0, 0, 2.784599988369, 12.964320322946, 0, 0, 0, 17.339999927573}},
        {-12, {10.199999957396, 0, 0, 0, 13.259999944615, 0, -4.681799980445, 0, 16.695997916607}},
        {13, {5.099999978698, 0, -8.669999963787, 2.784599988369, 12.964320322946, 0, 5.099999978698, 0,
              8.669999963787}},
        {14, {10.199999957396, 0, 0, 1.723799992800, 13.147475503533, 0, -4.681799980445, 4.286408470894,
              16.136388965688}},
    };
    PWScfCelldm celldm;
    for (int k = 0; k < 6; ++k) celldm.v[k] = kCelldm[k];
    for (const Row& row : rows) {
        double v[3][3];
        ASSERT_TRUE(PWScfLatticeVectors(row.ibrav, celldm, v)) << row.ibrav;
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(v[k / 3][k % 3], row.v[k], 1e-7) << "ibrav " << row.ibrav;
    }
    EXPECT_FALSE(PWScfLatticeVectors(15, celldm, nullptr));
}

// The conventional cell found from the vectors gives back the celldm each lattice takes, and the cell
// those give has the shape of the first; a cell sheared by 2e-5 has another shape (it left the lattice).
TEST(PWScfCell, ConventionalCellGivesBackCelldm) {
    struct Row {
        int ibrav;
        const char* used;  // which of celldm(1..6) the lattice reads
    };
    const Row rows[] = {{1, "100000"},  {2, "100000"},  {3, "100000"},   {-3, "100000"}, {4, "101000"},
                        {5, "100100"},  {-5, "100100"}, {6, "101000"},   {7, "101000"},  {8, "111000"},
                        {9, "111000"},  {-9, "111000"}, {91, "111000"},  {10, "111000"}, {11, "111000"},
                        {12, "111100"}, {-12, "111010"}, {13, "111100"}, {-13, "111010"}, {14, "111111"}};
    PWScfCelldm celldm;
    for (int k = 0; k < 6; ++k) celldm.v[k] = kCelldm[k];
    for (const Row& row : rows) {
        double v[3][3], lengths[3], cosines[3];
        ASSERT_TRUE(PWScfLatticeVectors(row.ibrav, celldm, v));
        ASSERT_TRUE(PWScfConventionalCell(row.ibrav, v, lengths, cosines));
        const PWScfCelldm back = PWScfCelldmFromConventional(row.ibrav, lengths, cosines);
        for (int k = 0; k < 6; ++k)
            if (row.used[k] == '1') {
                EXPECT_NEAR(back.v[k], celldm.v[k], 1e-12) << row.ibrav << " celldm " << k + 1;
            }
        double rebuilt[3][3], sheared[3][3];
        ASSERT_TRUE(PWScfLatticeVectors(row.ibrav, back, rebuilt));
        EXPECT_TRUE(PWScfSameShape(rebuilt, v, 1e-9)) << row.ibrav;
        for (int i = 0; i < 3; ++i) {
            sheared[i][0] = v[i][0] + 2e-5 * v[i][1];
            sheared[i][1] = v[i][1] + 2e-5 * v[i][0];
            sheared[i][2] = v[i][2];
        }
        EXPECT_FALSE(PWScfSameShape(rebuilt, sheared, 1e-6)) << row.ibrav;
    }
}

// The element of a species: from its pseudopotential file's name when that starts with a symbol, else
// from the species name as pw.x reads it; names as real runs write them.
TEST(PWScfInput, SpeciesElements) {
    const std::array<const char*, 3> rows[] = {
        {"Fe1", "Fe.pz-nd-rrkjus.UPF", "Fe"},        {"O1", "O.pz-rrkjus.UPF", "O"},
        {"Ti", "ti_pbe_v1.4.uspp.F.UPF", "Ti"},      {"A", "/pseudo/Si.pbe-n-rrkjus_psl.1.0.0.UPF", "Si"},
        {"Ti2", "pseudo_ti.UPF", "Ti"},              {"C_h", "", "C"},
        {"Co", "Co_ONCV_PBE-1.0.oncvpsp.upf", "Co"}, {"fe", "", "Fe"},
        {"X1", "mine.UPF", ""},
    };
    for (const auto& [species, pseudo, element] : rows)
        EXPECT_EQ(PWScfSpeciesElement(species, pseudo), element) << species << " " << pseudo;
}

TEST(PWScfConvOutput, CorpusRuns) {
    struct FileAtom {
        int frame;  // from 1; 0 is the last
        int atom;
        int z;      // the element of its species
        double u, v, w, fx, fy, fz;
    };
    struct Run {
        std::string output, input;
        int frames;
        double a;  // cell length a of the last frame, angstrom
        std::array<Vec3, 3> axes;  // the cell vectors of the file's Cartesian frame (any length): its forces' frame
        std::vector<FileAtom> atoms;
        std::string folder = kCorpus;
        int lines = 0;  // the output cut after that many lines (0: whole)
    };
    const double al = 5.3033 * units::kBohr, ti = 8.68089159 * units::kBohr;
    const std::array<Vec3, 3> xyz = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
    const std::array<Vec3, 3> fcc = {Vec3{-0.5, 0, 0.5}, Vec3{0, 0.5, 0.5}, Vec3{-0.5, 0.5, 0}};
    const Run runs[] = {
        // Single point: the input's 64 atoms with their forces.
        {"NaCl-001_scf.out", "NaCl-001_scf_ibrav0.in", 1, 21.5062228544432017 * units::kBohr, xyz,
         {{1, 0, 11, 0.0009299633941005, 0, 0, -0.00075614, 0, 0},
          {1, 63, 17, 0.5, 0.5, 0.7500000000000001, -0.00000738, 0, 0.00000095}}},
        // Relaxation, ibrav 6 with alat positions; the final coordinates repeat the last step and its forces.
        {"relax2_Al_slab.out", "relax2_Al_slab_ibrav6.in", 15, al, xyz,
         {{1, 0, 13, 0.5, 0.5, 1 - 2.119408409 / 8, 0, 0, 0.00948799},
          {0, 2, 13, 0.5, 0.5, 1 - 0.690432845 / 8, 0, 0, 0.00090747}}},
        // Variable cell from space group 136: every step has its own cell; the final scf gives the last forces.
        {"TiO2_vc-relax_sg136.out", "TiO2_vc-relax_sg136.in", 5, 1.006947095 * ti, xyz,
         {{1, 2, 8, 0.8048516770, 0.1951483230, 0.5, -0.00022361, 0.00022361, 0},
          {0, 5, 8, 0.3046912130, 0.3046912130, 0, 0.00001090, 0.00001090, 0}}},
        // MD with the old forces header and no input: the cell of the output's header, an fcc cell
        // with no vector along x, so the forces are turned with it.
        {"Si_md_v5.3.out", "", 50, 10.18 * units::kBohr / std::sqrt(2.0), fcc,
         {{1, 0, 14, 0.12301788, 1 - 0.36905364, 0.12301788, -0.02308264, -0.02308255, -0.02308267},
          {0, 1, 14, 1 - 0.12310244, 0.36930732, 1 - 0.12310244, 0, 0, 0}}},
        // Species O1, Fe1, Fe2 are the elements O and Fe; a rhombohedral cell and forces along its diagonal.
        {"lda+U_force.out", "lda+U_force.in", 1, 8.19 * std::sqrt(1.5) * units::kBohr,
         {Vec3{0.5, 0.5, 1}, Vec3{0.5, 1, 0.5}, Vec3{1, 0.5, 0.5}},
         {{1, 1, 8, 0.75, 0.75, 0.75, -0.00000101, -0.00000101, -0.00000101},
          {1, 2, 26, 0.025, 0.025, 0.025, -0.14189797, -0.14189797, -0.14189797},
          {1, 3, 26, 0.475, 0.475, 0.475, 0.14189858, 0.14189858, 0.14189858}},
         kData},
        // The same run up to its first forces (an scf): pw.x's atoms, in its order, go with its forces.
        {"TiO2_vc-relax_sg136.out", "TiO2_vc-relax_sg136.in", 1, ti, xyz,
         {{1, 0, 22, 0.5, 0.5, 0.5, 0, 0, 0}, {1, 2, 8, 0.8053, 0.1947, 0.5, -0.00389184, 0.00389184, 0}},
         kCorpus, 956},
        // space_group 225: pw.x works in the primitive cell with one atom, the input's site expands to four.
        {"Pt_sg225_scf.out", "Pt_sg225_scf.in", 1, 3.92 / std::sqrt(2.0), fcc, {{1, 0, 78, 0, 0, 0, 0, 0, 0}}, kData},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.output);
        TempDir dir;
        if (!CopyRun(dir, run.output, run.input, "run", run.folder))
            GTEST_SKIP() << "no corpus of real files beside the checkout";
        if (run.lines > 0) {
            const std::string text = ReadFile(dir / "run.out");
            size_t end = 0;
            for (int i = 0; i < run.lines; ++i) end = text.find('\n', end) + 1;
            WriteFile(dir / "run.out", text.substr(0, end));
        }
        const RunResult r = Convert(dir, "run.out");
        const XSFAnimation xsf = Frames(dir, "run");
        const std::vector<XSFFrame>& frames = xsf.frames;
        ASSERT_EQ(static_cast<int>(frames.size()), run.frames) << r.output;
        EXPECT_EQ(xsf.animSteps, run.frames);
        EXPECT_NEAR(frames.back().Length(0), run.a, 1e-6);
        for (const FileAtom& c : run.atoms) {
            const XSFFrame& f = frames[c.frame == 0 ? frames.size() - 1 : c.frame - 1];
            ASSERT_LT(c.atom, static_cast<int>(f.atoms.size()));
            EXPECT_EQ(f.atoms[c.atom][0], c.z) << "atom " << c.atom;
            double fr[3];
            f.Fractional(c.atom, fr);
            const double expected[3] = {c.u, c.v, c.w};
            const Vec3 force{c.fx, c.fy, c.fz}, written{f.atoms[c.atom][4], f.atoms[c.atom][5], f.atoms[c.atom][6]};
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(fr[k] - std::floor(fr[k] + 1e-6), expected[k], 2e-7) << "atom " << c.atom;
                // The force along each cell vector, whatever the orientation (XSF keeps 7 decimals).
                const double axis = std::sqrt(Dot(run.axes[k], run.axes[k]));
                EXPECT_NEAR(Dot(written, f.vectors[k]) / f.Length(k), Dot(force, run.axes[k]) / axis, 1e-7)
                    << "atom " << c.atom << " along vector " << k;
            }
        }
        EXPECT_TRUE(std::filesystem::exists(dir / "run-initial.cif"));
        EXPECT_EQ(std::filesystem::exists(dir / "run.in.new"), !run.input.empty());
    }
}

// The updated inputs read back by ase.io.espresso to the last structure of the output. A final cell that
// left the input's lattice (ibrav 2 relaxed into a triclinic cell) is written as ibrav 0 with its vectors.
TEST(PWScfConvOutput, UpdatedInputsReadBackByAse) {
    const bool ase = std::system("/usr/bin/python3 -c 'import ase.io.espresso' 2>/dev/null") == 0;
    struct Run {
        std::string output, input, folder;
        const char* ibrav;  // the ibrav line of the updated input
        bool freeCell;      // with the line saying the cell is written as ibrav 0
    };
    const Run runs[] = {
        {"NaCl-001_scf.out", "NaCl-001_scf_ibrav0.in", kCorpus, "    ibrav = 0\n", false},
        {"relax2_Al_slab.out", "relax2_Al_slab_ibrav6.in", kCorpus, "  ibrav       = 6,\n", false},
        {"Si2_vc-relax_ibrav2.out", "Si2_vc-relax_ibrav2.in", kData, "    ibrav = 0,\n", true},
        {"Si2_vc-relax_ibrav2_fcc.out", "Si2_vc-relax_ibrav2_fcc.in", kData, "    ibrav = 2,\n", false},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.output);
        TempDir dir;
        if (!CopyRun(dir, run.output, run.input, "run", run.folder))
            GTEST_SKIP() << "no corpus of real files beside the checkout";
        const RunResult r = Convert(dir, "run.out");
        const std::string updated = ReadFile(dir / "run.in.new");
        EXPECT_NE(updated.find(run.ibrav), std::string::npos) << updated;
        EXPECT_EQ(r.output.find("The final cell no longer has the shape of ibrav=2: [run.in.new] gets ibrav=0 and "
                                "CELL_PARAMETERS alat.\n") != std::string::npos,
                  run.freeCell)
            << r.output;
        EXPECT_EQ(updated.find("CELL_PARAMETERS alat\n") != std::string::npos, run.freeCell);
        if (!ase) continue;
        const std::string command = SourcePath("tools/check_pwscf_update.py") + " " + dir / "run.in.new" + " " +
                                    dir / "run.out" + " > " + dir / "check.txt";
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "check.txt");
    }
    if (!ase) GTEST_SKIP() << "python3-ase is not installed (make generators): not read back";
}

// The structure a run holds, as its CIFs give it: the cell and positions pw.x works with (for a space
// group, the primitive cell and the atoms pw.x prints), types that are elements, both CIFs also for a run
// without steps, and the species names kept in the updated input.
TEST(PWScfConvOutput, StructureOfTheRun) {
    struct Run {
        std::string output, input;
        int sites;               // in the cell
        double volumePerAtom;    // angstrom^3
        double nearest;          // shortest distance between two atoms, angstrom
        std::vector<std::string> types;
        int group;               // space group spglib finds in the final CIF
        const char* updatedLine; // a line of the updated input
    };
    const double bohr3 = units::kBohr * units::kBohr * units::kBohr;
    const Run runs[] = {
        // space_group 154 with a Wyckoff letter, no forces and no position card: the 9 atoms of the header.
        {"lattice-wyckoff-sio2.out", "lattice-wyckoff-sio2.in", 9, 762.3049 * bohr3 / 9, 1.6029, {"Si", "O"}, 154,
         "Si 3a 0.4697\n"},
        // space_group 225: the primitive cell with one Pt atom (not four atoms of the conventional cell).
        {"Pt_sg225_scf.out", "Pt_sg225_scf.in", 1, 3.92 * 3.92 * 3.92 / 4, 3.92 / std::sqrt(2.0), {"Pt"}, 225,
         "     Pt    0.0000000000    0.0000000000    0.0000000000\n"},
        // Species O1, Fe1, Fe2: the types O and Fe, the species names in the updated input.
        {"lda+U_force.out", "lda+U_force.in", 4, 8.19 * 8.19 * 8.19 * 0.5 / 4 * bohr3, 1.9742, {"O", "Fe"}, 166,
         "    Fe2    0.4750000000    0.4750000000    0.4750000000\n"},
    };
    const bool spglib = std::system("/usr/bin/python3 -c 'import spglib, ase.io' 2>/dev/null") == 0;
    for (const Run& run : runs) {
        SCOPED_TRACE(run.output);
        TempDir dir;
        ASSERT_TRUE(CopyRun(dir, run.output, run.input, "run", kData));
        const RunResult r = Convert(dir, "run.out");
        const std::string initial = ReadFile(dir / "run-initial.cif"), final = ReadFile(dir / "run-final.cif");
        ASSERT_FALSE(final.empty()) << r.output;
        EXPECT_EQ(SiteRows(initial), SiteRows(final));  // nothing moved
        auto crystal = LoadCIF(dir / "run-final.cif");
        ASSERT_TRUE(crystal);
        ASSERT_EQ(crystal->nAtomSites, run.sites);
        EXPECT_NEAR(crystal->Volume * 1000 / crystal->nAtomSites, run.volumePerAtom, 1e-3);
        double nearest = 1e9;  // over the images of the 27 cells around, which is enough for these cells
        for (int i = 0; i < crystal->nAtomSites; ++i)
            for (int j = 0; j < crystal->nAtomSites; ++j)
                for (int n = 0; n < 27; ++n) {
                    const CAtomSite &p = crystal->AtomSites[i], &q = crystal->AtomSites[j];
                    const double d2 = crystal->GetDistance2(p.x, p.y, p.z, q.x + n % 3 - 1, q.y + n / 3 % 3 - 1,
                                                            q.z + n / 9 - 1);
                    if (d2 > 1e-12) nearest = std::min(nearest, std::sqrt(d2) * 10);
                }
        EXPECT_NEAR(nearest, run.nearest, 1e-3);
        std::vector<std::string> types;
        for (int t = 0; t < crystal->nAtomTypes; ++t) types.push_back(crystal->AtomTypes[t].Name);
        EXPECT_EQ(types, run.types);
        EXPECT_NE(ReadFile(dir / "run.in.new").find(run.updatedLine), std::string::npos) << ReadFile(dir / "run.in.new");
        if (!spglib) continue;
        const std::string command = "/usr/bin/python3 -c \"import ase.io, spglib; a = ase.io.read('" +
                                    dir / "run-final.cif" + "'); print(spglib.get_symmetry_dataset((a.cell[:], "
                                    "a.get_scaled_positions(), a.numbers), symprec=1e-3)['number'])\" > " +
                                    dir / "group.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(std::atoi(ReadFile(dir / "group.txt").c_str()), run.group);
    }
}

// A space-group input keeps one line per asymmetric site and gets the final a and c.
TEST(PWScfConvOutput, SpaceGroupInputUpdated) {
    TempDir dir;
    if (!CopyRun(dir, "TiO2_vc-relax_sg136.out", "TiO2_vc-relax_sg136.in", "run"))
        GTEST_SKIP() << "no corpus of real files beside the checkout";
    const RunResult r = Convert(dir, "run.out");
    EXPECT_NE(r.output.find("nAtomSites: 6  nAtomType: 2\n"), std::string::npos) << r.output;
    const std::string updated = ReadFile(dir / "run.in.new");
    char a[64], c[64];
    std::snprintf(a, sizeof a, "    A =  %14.10f,\n", 1.006947095 * 8.68089159 * units::kBohr);
    std::snprintf(c, sizeof c, "    C =  %14.10f,\n", 0.643342070 * 8.68089159 * units::kBohr);
    EXPECT_NE(updated.find(a), std::string::npos) << updated;
    EXPECT_NE(updated.find(c), std::string::npos);
    EXPECT_NE(updated.find("ATOMIC_POSITIONS crystal_sg\n"
                           "     Ti    0.0000000000    0.0000000000    0.0000000000\n"
                           "      O    0.3046912130    0.3046912130    0.0000000000\n"),
              std::string::npos);
    EXPECT_NE(updated.find("   space_group       = 136\n"), std::string::npos);
}

// A run of two atoms in the layout "A = ", "cosBC = ": three steps, the angle, the updated lines.
TEST(PWScfConvOutput, ThreeStepsWithCosBC) {
    TempDir dir;
    WriteFile(dir / "x.inp",
              " &control\n    title = 'two atoms'\n /\n &SYSTEM\n    ibrav = 14,\n    A = 5.0,\n    B = 5.0,\n"
              "    C = 6.0,\n    cosAB = 0.0,\n    cosAC = 0.0,\n    cosBC = 0.5,\n /\n"
              "ATOMIC_SPECIES\n Si 28.086 Si.UPF\nATOMIC_POSITIONS crystal\n Si 0.0 0.0 0.0\n Si 0.25 0.25 0.25 0 0 1\n"
              "K_POINTS gamma\n");
    std::string out;
    for (int s = 1; s <= 3; ++s) {
        out += "     Forces acting on atoms (cartesian axes, Ry/au):\n\n"
               "     atom    1 type  1   force =     0.00100000    0.00000000    0.00000000\n"
               "     atom    2 type  1   force =    -0.00100000    0.00000000    0.00000000\n\n"
               "ATOMIC_POSITIONS (crystal)\nSi  0.0  0.0  0.0\nSi  0.25  0.25  0.2" + std::to_string(5 + s) + "\n\n";
    }
    WriteFile(dir / "x.out", out);
    const RunResult r = Convert(dir, "x.out");
    EXPECT_NE(r.output.find("nStep: 3\n"), std::string::npos) << r.output;
    EXPECT_EQ(Frames(dir, "x").frames.size(), 3u);
    const std::string initial = ReadFile(dir / "x-initial.cif");
    EXPECT_NE(initial.find("60"), std::string::npos);
    EXPECT_NE(initial.find("0.26"), std::string::npos) << initial;
    const std::string updated = ReadFile(dir / "x.inp.new");
    EXPECT_NE(updated.find("    cosBC =   0.5000000000 ,\n"), std::string::npos) << updated;
    EXPECT_NE(updated.find("    cosAB =   0.0000000000 ,\n"), std::string::npos);
    EXPECT_NE(updated.find("    C =    6.0000000000,\n"), std::string::npos);
    EXPECT_NE(updated.find("ATOMIC_POSITIONS crystal\n"
                           "     Si    0.0000000000    0.0000000000    0.0000000000\n"
                           "     Si    0.2500000000    0.2500000000    0.2800000000 0 0 1\nK_POINTS gamma\n"),
              std::string::npos);
    // The updated file reads back to the final structure.
    PWScfInput back;
    ASSERT_TRUE(ReadPWScfInput(dir / "x.inp.new", back));
    EXPECT_NEAR(back.abc[5], 0.5, 1e-12);
    ASSERT_EQ(back.sites.size(), 2u);
    EXPECT_DOUBLE_EQ(back.sites[1].r[2], 0.28);
}

// Damaged files: one line saying what is wrong, no crash, and as many frames as announced.
TEST(PWScfConvOutput, DamagedFiles) {
    if (!std::filesystem::exists(SourcePath(kCorpus))) GTEST_SKIP() << "no corpus of real files beside the checkout";
    const std::string relax = ReadFile(SourcePath(kCorpus + "relax2_Al_slab.out"));
    auto head = [&](int lines) {
        size_t end = 0;
        for (int i = 0; i < lines; ++i) end = relax.find('\n', end) + 1;
        return relax.substr(0, end);
    };
    struct Case {
        std::string output;
        const char* nStep;
        size_t frames;
    };
    const Case cases[] = {
        {head(270), "nStep: 0\n", 0},   // inside the first forces block
        {head(293), "nStep: 1\n", 1},   // inside the first positions card: the input with its forces
        {head(430), "nStep: 1\n", 1},   // inside the second forces block
        {head(455), "nStep: 1\n", 1},   // inside the second positions card
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir / "run.out", c.output);
        WriteFile(dir / "run.in", ReadFile(SourcePath(kCorpus + "relax2_Al_slab_ibrav6.in")));
        const RunResult r = Convert(dir, "run.out");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.output.find(c.nStep), std::string::npos) << r.output;
        const XSFAnimation xsf = Frames(dir, "run");
        EXPECT_EQ(xsf.frames.size(), c.frames);
        EXPECT_EQ(static_cast<int>(c.frames), std::max(xsf.animSteps, 0));
    }
    // A flat cell: one line, and Cartesian positions are not read with it.
    TempDir dir;
    WriteFile(dir / "flat.in", "&system\n ibrav=0\n/\nCELL_PARAMETERS angstrom\n 1 0 0\n 0 1 0\n 1 1 0\n"
                               "ATOMIC_SPECIES\n Al 27 Al.UPF\nATOMIC_POSITIONS angstrom\n Al 0 0 0\n");
    WriteFile(dir / "flat.out", "ATOMIC_POSITIONS (angstrom)\nAl 0.1 0.0 0.0\n\n");
    RunResult r = Convert(dir, "flat.out");
    EXPECT_NE(r.output.find("The cell of [flat.in] is missing or singular.\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ATOMIC_POSITIONS at line 1 of [flat.out]: no cell for unit [angstrom].\n"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "flat.in.new"));
    // No output at all.
    r = Convert(dir, "none.out");
    EXPECT_NE(r.output.find("Error: Can not read [none.inp]\n"), std::string::npos);
    EXPECT_NE(r.output.find("Can not read [none.out].\n"), std::string::npos);
}
