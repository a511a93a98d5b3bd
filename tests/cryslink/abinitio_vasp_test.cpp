// VASP run directories: the real POSCAR/CONTCAR/POTCAR/OUTCAR files of the
// corpus (checked against the numbers printed in them and against python3-ase),
// the layouts VASP accepts, and bad input.
#include <gtest/gtest.h>

#include <filesystem>

#include "abinitio/vasp.h"
#include "core/crystal.h"
#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;

namespace {

std::string Corpus(const std::string& file) { return SourcePath("../shared/corpus/vasp/" + file); }

#define REQUIRE_CORPUS() \
    if (!std::filesystem::exists(Corpus(""))) GTEST_SKIP() << "no corpus of real files beside the checkout"

std::string TypeNames(const CCrystal& c) {
    std::string names;
    for (int t = 0; t < c.nAtomTypes; ++t) names += (t ? " " : "") + c.AtomTypes[t].Name;
    return names;
}

// A crystal that finds the atom databases of the checkout.
void UseDatabases(CCrystal& c) { c.AtomDatabase = &TestContext().atoms; }

// A run directory of tests/data (real files committed with their source), else of the corpus.
void CopyRun(const std::string& run, const TempDir& dir) {
    const std::string own = SourcePath("tests/data/cryslink/vasp/" + run);
    std::filesystem::copy(std::filesystem::exists(own) ? own : Corpus(run), dir / run);
    for (const auto& f : std::filesystem::directory_iterator(dir / run))
        std::filesystem::permissions(f.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

// A site of a crystal as the table expects it: index, label and fractional position.
struct SiteCheck {
    int index;
    const char* label;
    double x, y, z;
};

void ExpectSite(const CCrystal& c, const SiteCheck& s, const std::string& where) {
    ASSERT_LT(s.index, c.nAtomAsymSites) << where;
    const CAtomSite& site = c.AtomAsymSites[s.index];
    EXPECT_EQ(site.Label, s.label) << where;
    EXPECT_NEAR(site.x, s.x, 1e-9) << where;
    EXPECT_NEAR(site.y, s.y, 1e-9) << where;
    EXPECT_NEAR(site.z, s.z, 1e-9) << where;
}

}  // namespace

// Every POSCAR and CONTCAR of the corpus; positions as python3-ase reads them.
TEST(VASPCorpus, StructureFiles) {
    REQUIRE_CORPUS();
    struct Case {
        const char* file;
        int status;
        const char* types;
        int nSites;
        double a, alpha;  // angstrom, degrees
        SiteCheck first, last;
    } cases[] = {
        // VASP 4 layout, no species line and no POTCAR: no atom types to read it with.
        {"POSCAR_anatase_vasp4", -1, "", 0, 3.8263245523456582, 90, {}, {}},
        {"POSCAR_FeS2_slab_selective", 1, "Fe S", 48, 5.430155, 90,
         {0, "Fe1", 0.0, 0.5, 0.208333}, {47, "S32", 0.615062, 0.884938, 0.810844}},
        {"Si_relax/POSCAR", 1, "Si", 2, 3.866974653, 60, {0, "Si1", 0.78, 0.77, 0.73}, {1, "Si2", 0.6, 0.3, 0.4}},
        {"h2o_md/POSCAR", 1, "O H", 6, 10, 90.34212, {0, "O1", 0.428, 0.424, 0.52}, {5, "H4", 0.231, 0.589, 0.021}},
        {"h2o_md/CONTCAR", 1, "O H", 6, 10, 90.34212, {0, "O1", 0.4279782637129850, 0.4239240389084223, 0.5200537141966768},
         {5, "H4", 0.2298253974014383, 0.5900831576167281, 0.0239966797433423}},
        // Cartesian, with the stripped POTCAR (a line of its own before the first data set).
        {"AlN_static/POSCAR", 1, "H C O N Al", 175, 27.1567363739, 90,
         {0, "H1", 15.085677954 / 27.1567363739, 7.148423093 / 27.1567363739, 15.526183780 / 27.1567363739},
         {174, "Al15", 0.3872261047, 0.3145655095, 0.8637197614}},
        {"AlN_static/CONTCAR", 1, "H C O N Al", 175, 27.1567363739, 90,
         {0, "H1", 0.5555040836386596, 0.2632283568459357, 0.5717249512692533},
         {174, "Al15", 0.3872261047209875, 0.3145655095437050, 0.8637197613533232}},
    };
    for (const Case& c : cases) {
        CCrystal crystal;
        UseDatabases(crystal);
        EXPECT_EQ(CVASP().ReadPOSCARFile(Corpus(c.file), crystal), c.status) << c.file;
        if (c.status != 1) continue;
        EXPECT_EQ(TypeNames(crystal), c.types) << c.file;
        EXPECT_EQ(crystal.nAtomSites, c.nSites) << c.file;
        EXPECT_NEAR(crystal.a, c.a / 10, 1e-7) << c.file;
        EXPECT_NEAR(crystal.alpha, c.alpha, 1e-5) << c.file;
        ExpectSite(crystal, c.first, c.file);
        ExpectSite(crystal, c.last, c.file);
    }
}

// The layouts of POSCAR and POTCAR, one small run directory per case.
TEST(VASPPOSCAR, LayoutsAndBadInput) {
    const std::string cell = "5 0 0\n0 5 0\n0 0 5\n";
    const std::string direct = "Direct\n0.1 0.2 0.3\n0.4 0.5 0.6\n0.7 0.8 0.9\n";
    const std::string potcar =
        " PAW_PBE Fe_pv 06Sep2000\n 1.0\n End of Dataset\n PAW_PBE O 08Apr2002\n   TITEL  = PAW_PBE O 08Apr2002\n"
        " End of Dataset\n";
    struct Case {
        const char* name;
        std::string poscar, potcar;
        int status;
        const char* types;
        double a;  // nm
        SiteCheck site;
        const char* printed = "";  // a line the reading prints
    } cases[] = {
        {"species line", "t\n1.0\n" + cell + "Fe O\n2 1\n" + direct, potcar, 1, "Fe O", 0.5, {2, "O1", 0.7, 0.8, 0.9}},
        {"counts line only", "t\n1.0\n" + cell + "2 1\n" + direct, potcar, 1, "Fe O", 0.5, {2, "O1", 0.7, 0.8, 0.9}},
        {"selective dynamics", "t\n1.0\n" + cell + "Fe O\n2 1\nSelective dynamics\nDirect\n0.1 0.2 0.3 T T F\n"
                               "0.4 0.5 0.6 F F F\n0.7 0.8 0.9 T T T\n",
         potcar, 1, "Fe O", 0.5, {2, "O1", 0.7, 0.8, 0.9}},
        {"Cartesian", "t\n1.0\n" + cell + "2 1\nCartesian\n2.5 2.5 2.5\n0 0 0\n1 1 1\n", potcar, 1, "Fe O", 0.5,
         {0, "Fe1", 0.5, 0.5, 0.5}},
        {"scaling factor 2", "t\n2\n" + cell + "2 1\n" + direct, potcar, 1, "Fe O", 1.0, {1, "Fe2", 0.4, 0.5, 0.6}},
        {"cell volume", "t\n-1000\n" + cell + "2 1\nk\n2.5 2.5 2.5\n0 0 0\n1 1 1\n", potcar, 1, "Fe O", 1.0,
         {0, "Fe1", 0.5, 0.5, 0.5}},
        {"three factors", "t\n1 2 3\n" + cell + "2 1\nkartesian\n2.5 2.5 2.5\n0 0 0\n1 1 1\n", potcar, 1, "Fe O", 0.5,
         {0, "Fe1", 0.5, 0.5, 0.5}},
        // Cartesian positions belong to the file's own vectors, whatever their orientation.
        {"rotated cell", "t\n1\n0 5 0\n0 0 5\n5 0 0\n2 1\nC\n1 2 3\n0 0 0\n1 1 1\n", potcar, 1, "Fe O", 0.5,
         {0, "Fe1", 0.4, 0.6, 0.2}},
        {"no POTCAR: species line", "t\n1\n" + cell + "Fe_pv O/a1b2\n2 1\n" + direct, "", 1, "Fe O", 0.5,
         {2, "O1", 0.7, 0.8, 0.9}},
        // Types are unique by element: both data sets of O are one type, labels numbered on.
        {"repeated POTCAR type", "t\n1\n" + cell + "1 1\n" + direct,
         " PAW O 1\n End of Dataset\n PAW O_h 2\n End of Dataset\n\n", 1, "O", 0.5, {1, "O2", 0.4, 0.5, 0.6}},
        {"one element in two groups", "t\n1\n" + cell + "Fe O Fe\n1 1 1\n" + direct,
         " PAW_PBE Fe_pv 1\n End of Dataset\n PAW_PBE O 2\n End of Dataset\n PAW_PBE Fe 3\n End of Dataset\n", 1,
         "Fe O", 0.5, {2, "Fe2", 0.7, 0.8, 0.9}},
        // Stubs without TITEL: the element of VRHFIN, with or without a header line before it.
        {"VRHFIN stubs", "t\n1\n" + cell + "2 1\n" + direct,
         "   VRHFIN =Fe: d7 s1\n   LEXCH  = PE\n End of Dataset\n PAW_PBE O_s 2\n   VRHFIN =O: s2p4\n End of Dataset\n",
         1, "Fe O", 0.5, {2, "O1", 0.7, 0.8, 0.9}},
        // A data set that names no element falls back to the species line, else keeps its name with a warning.
        {"no element: species line", "t\n1\n" + cell + "H O\n2 1\n" + direct,
         " PAW_PBE H.75 07Oct2005\n End of Dataset\n PAW_PBE O 08Apr2002\n End of Dataset\n", 1, "H O", 0.5,
         {1, "H2", 0.4, 0.5, 0.6}},
        {"no element, no species line", "t\n1\n" + cell + "2 1\n" + direct,
         " PAW_PBE H.75 07Oct2005\n End of Dataset\n PAW_PBE O 08Apr2002\n End of Dataset\n", 1, "H.75 O", 0.5,
         {1, "H.752", 0.4, 0.5, 0.6}, "Warning: the atom type [H.75] of ["},
        {"no POTCAR, no species line", "t\n1\n" + cell + "2 1\n" + direct, "", -1, "", 0, {}},
        {"counts for other types", "t\n1\n" + cell + "Fe O\n3\n" + direct, potcar, -1, "", 0, {}},
        {"singular cell", "t\n1\n5 0 0\n10 0 0\n0 0 5\n2 1\n" + direct, potcar, -1, "", 0, {}},
        {"cut in the cell", "t\n1\n5 0 0\n0 5", potcar, -1, "", 0, {}},
        {"cut before the counts", "t\n1\n" + cell + "Fe O\n", potcar, -1, "", 0, {}},
        {"cut in the positions", "t\n1\n" + cell + "2 1\nDirect\n0.1 0.2 0.3\n0.4 0.5", potcar, -1, "", 0, {}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir / "POSCAR", c.poscar);
        if (!c.potcar.empty()) WriteFile(dir / "POTCAR", c.potcar);
        CCrystal crystal;
        UseDatabases(crystal);
        testing::internal::CaptureStdout();
        const int status = CVASP().ReadPOSCARFile(dir / "POSCAR", crystal);
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_EQ(status, c.status) << c.name;
        EXPECT_NE(printed.find(c.printed), std::string::npos) << c.name << "\n" << printed;
        if (c.status != 1) continue;
        EXPECT_EQ(TypeNames(crystal), c.types) << c.name;
        EXPECT_NEAR(crystal.a, c.a, 1e-12) << c.name;
        ExpectSite(crystal, c.site, c.name);
    }
}

// VASPMakeXSF on the two corpus runs with an OUTCAR: every step a frame, the
// first and last checked against the OUTCAR's own cell, positions and forces.
TEST(VASPMakeXSF, CorpusRuns) {
    REQUIRE_CORPUS();
    using Cell = std::array<Vec3, 3>;
    const Cell h2oCell{{{10, 0, 0}, {-0.011409, 10, 0}, {0.1411083, -0.0595569, 10}}};
    struct Case {
        const char* run;
        const char* argument;  // either separator, or the directory itself
        const char* xsf;
        int nFrames;
        Cell firstCell, lastCell;
        int firstZ, lastZ;
        AtomCheck first, last;
    } cases[] = {
        {"h2o_md", "h2o_md\\POSCAR", "h2o_md/POSCAR.xsf", 3, h2oCell, h2oCell, 8, 1,
         {0, {4.34854, 4.20903, 5.20000}, {-0.141986, -0.573729, 0.356515}},
         {5, {2.29491, 5.89940, 0.23997}, {-0.249497, -0.118610, -0.197687}}},
        // A cell far from the standard orientation that changes from step to step.
        {"Si_relax", "Si_relax", "Si_relax/generated.xsf", 2,
         Cell{{{0, 2.734364, 2.734364}, {2.734364, 0, 2.734364}, {2.734364, 2.734364, 0}}},
         Cell{{{-0.063766324, 2.946160346, 2.459850903},
               {3.026383853, -1.038357111, 3.434441703},
               {2.420241292, 3.314608579, -0.432214563}}},
         14, 14, {0, {4.10155, 4.12889, 4.23826}, {-6.093438, 11.335326, -7.020065}},
         {1, {2.23453, 1.92902, 2.89497}, {12.796626, 6.538496, -15.216151}}},
        // VASP 6 on-the-fly training: 10 machine-learned and 4 ab-initio blocks, each a
        // frame; the last takes the skewed cell printed on its own before it.
        {"ch4_ml", "ch4_ml/POSCAR", "ch4_ml/CH4.xsf", 14, Cell{{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}},
         Cell{{{10.011776419, -0.021496755, 0.008079854},
               {-0.000000000, 9.992079789, 0.002921446},
               {0.000000000, -0.000000000, 10.001923990}}},
         1, 6, {0, {5.38154, 4.06861, 3.60573}, {0, 0, 0}},
         {4, {5.03772, 4.65769, 4.45972}, {0.002665, 0.019943, -0.009192}}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CopyRun(c.run, dir);
        RunResult r = RunCryslinkIn(dir.path(), {"--Action=VASPMakeXSF", c.argument});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.output.find("XSF file    : " + std::string(c.run) + "/"), std::string::npos) << r.output;
        const XSFAnimation xsf = ParseXSF(ReadFile(dir / c.xsf));
        ASSERT_EQ(xsf.animSteps, c.nFrames) << c.run;
        ASSERT_EQ(static_cast<int>(xsf.frames.size()), c.nFrames) << c.run;
        ExpectFrameMatches(xsf.frames.front(), c.firstCell, c.firstZ, c.first);
        ExpectFrameMatches(xsf.frames.back(), c.lastCell, c.lastZ, c.last);
    }
}

TEST(VASPConvCONTCAR, CorpusRunsAndThePreferredStartingStructure) {
    REQUIRE_CORPUS();
    TempDir dir;
    CopyRun("AlN_static", dir);
    CopyRun("h2o_md", dir);
    std::string initial = ReadFile(Corpus("AlN_static/POSCAR"));
    WriteFile(dir / "AlN_static/POSCAR.initial", "Start" + initial.substr(initial.find('\n')));
    RunResult r = RunCryslinkIn(dir.path(), {"--Action=VASPConvCONTCAR", "AlN_static/CONTCAR"});
    EXPECT_NE(r.output.find("POSCAR  file : AlN_static/POSCAR.initial\nCONTCAR file : AlN_static/CONTCAR\n"),
              std::string::npos);
    EXPECT_NE(r.output.find("Make CIFFile of initial structure [AlN_static/Start-initial.cif].\n"
                            "Make CIFFile of final structure [AlN_static/Start-final.cif].\n"),
              std::string::npos)
        << r.output;
    EXPECT_NE(ReadFile(dir / "AlN_static/Start-final.cif").find("_cell_length_a                     27.1567"),
              std::string::npos);
    // Without POTCAR and INCAR: types from the species line.
    r = RunCryslinkIn(dir.path(), {"--Action=VASPConvCONTCAR", "h2o_md"});
    EXPECT_NE(r.output.find("Error in CVASP::ReadPOTCARFile: Can not read [h2o_md/POTCAR].\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "h2o_md/POSCAR-initial.cif"));
    EXPECT_NE(ReadFile(dir / "h2o_md/POSCAR-final.cif").find("H4"), std::string::npos);
}

namespace {

// An OUTCAR of two atoms (Si, O), or three (a second Si), and nSteps ionic
// steps; step s moves the first atom to x = s. `cut` > 0 ends the file that
// many characters early.
std::string SyntheticOUTCAR(int nSteps, size_t cut = 0, bool thirdAtom = false) {
    std::string text = " vasp synthetic\n";
    for (int s = 0; s < nSteps; ++s) {
        text += " VOLUME and BASIS-vectors are now :\n      direct lattice vectors   reciprocal lattice vectors\n"
                "    10.0 0.0 0.0  0.1 0 0\n    0.0 10.0 0.0  0 0.1 0\n    0.0 0.0 10.0  0 0 0.1\n\n"
                " POSITION                                       TOTAL-FORCE (eV/Angst)\n -----------\n";
        text += "  " + std::to_string(s) + ".0 1.0 1.0   0.5 0.0 0.0\n  2.0 2.0 2.0  -0.5 0.0 0.0\n";
        text += std::string(thirdAtom ? "  3.0 3.0 3.0   0.0 0.0 0.5\n" : "") + " -----------\n\n";
    }
    return text.substr(0, text.size() - std::min(cut, text.size()));
}

// The second step's third lattice vector made zero.
std::string SingularStep(std::string text) {
    const size_t second = text.find("0.0 0.0 10.0", text.find("0.0 0.0 10.0") + 1);
    return text.replace(second, 12, "0.0 0.0 0.0");
}

// A VASP 6 run with a machine-learned force field: after an ab-initio step,
// (ML) blocks whose cell is printed without "VOLUME and BASIS-vectors" (here
// turned, a along y), or not at all, so that the previous step's cell holds.
std::string MachineLearnedOUTCAR() {
    const std::string header = " POSITION                                       TOTAL-FORCE (eV/Angst) (ML)\n -----------\n";
    return SyntheticOUTCAR(1) + "  volume of cell :     1000.00\n      direct lattice vectors   reciprocal lattice vectors\n"
           "    0.0 10.0 0.0  0 0.1 0\n    0.0 0.0 10.0  0 0 0.1\n    10.0 0.0 0.0  0.1 0 0\n\n" + header +
           "  1.0 5.0 1.0   0.0 0.1 0.0\n  2.0 2.0 2.0   0.0 -0.1 0.0\n -----------\n" + header +
           "  1.0 7.0 1.0   0.0 0.1 0.0\n  2.0 2.0 2.0   0.0 -0.1 0.0\n -----------\n";
}

const char* kTwoAtomPOSCAR = "Si O pair\n1\n10 0 0\n0 10 0\n0 0 10\nSi O\n1 1\nDirect\n0 0.1 0.1\n0.2 0.2 0.2\n";

}  // namespace

// Step selection, an OUTCAR without steps, one cut inside a step, and titles.
TEST(VASPMakeXSF, StepsTitlesAndBadInput) {
    struct Case {
        const char* name;
        std::string poscar, incar, outcar;
        std::vector<std::string> options;
        const char* xsf;
        std::string expectedLines;  // printed, in this order
        int nFrames;                // -1: no XSF file
        double lastX;               // x of the first atom in the last frame
        std::vector<int> lastZ = {};  // atomic numbers of the last frame, when given
    } cases[] = {
        {"interval 3 of 10", kTwoAtomPOSCAR, "SYSTEM = Si pair\n", SyntheticOUTCAR(10), {"--nOutputInterval=3"},
         "Si.xsf", "nStep: 10\nnOutputInterval: 3\nnOutput: 4\n", 4, 9.0},
        {"nLastStep", kTwoAtomPOSCAR, "", SyntheticOUTCAR(10), {"--nLastStep=5"}, "Si.xsf",
         "Error in VASPConvCONTCAR: Can not read [run/INCAR].\n", 5, 4.0},
        {"no steps", kTwoAtomPOSCAR, "", " no ionic steps\n", {}, "Si.xsf", "nStep: 0\n", 0, 0},
        {"cut in the last step", kTwoAtomPOSCAR, "", SyntheticOUTCAR(10, 40), {}, "Si.xsf",
         "Error: 1 step(s) of [run/OUTCAR] are incomplete or do not hold 2 atoms; they are left out.\n", 9, 8.0},
        {"no title anywhere", "\n1\n10 0 0\n0 10 0\n0 0 10\nSi O\n1 1\nDirect\n0 0 0\n0.2 0.2 0.2\n", "",
         SyntheticOUTCAR(1), {}, "OUTCAR.xsf", "Title: OUTCAR\n", 1, 0.0},
        {"machine-learned steps", kTwoAtomPOSCAR, "", MachineLearnedOUTCAR(), {}, "Si.xsf", "nStep: 3\n", 3, 7.0},
        // The atoms of an element given in two groups keep the order of the file.
        {"one element in two groups",
         "Si O Si\n1\n10 0 0\n0 10 0\n0 0 10\nSi O Si\n1 1 1\nDirect\n0 0.1 0.1\n0.2 0.2 0.2\n0.3 0.3 0.3\n", "",
         SyntheticOUTCAR(2, 0, true), {}, "Si.xsf", "nAtomSites: 3  nAtomType: 2\n", 2, 1.0, {14, 8, 14}},
        {"no OUTCAR", kTwoAtomPOSCAR, "", "", {}, "Si.xsf", "Can not read [run/OUTCAR].\n", -1, 0},
        {"singular cell in a step", kTwoAtomPOSCAR, "", SingularStep(SyntheticOUTCAR(3)), {}, "Si.xsf",
         "Error: step 1 could not be read; [run/Si.xsf] is not written.\n", -1, 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::filesystem::create_directory(dir / "run");
        WriteFile(dir / "run/POSCAR", c.poscar);
        if (!c.incar.empty()) WriteFile(dir / "run/INCAR", c.incar);
        if (!c.outcar.empty()) WriteFile(dir / "run/OUTCAR", c.outcar);
        std::vector<std::string> args{"--Action=VASPMakeXSF"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("run/POSCAR");
        RunResult r = RunCryslinkIn(dir.path(), args);
        EXPECT_NE(r.output.find(c.expectedLines), std::string::npos) << c.name << "\n" << r.output;
        const std::string xsfPath = dir / (std::string("run/") + c.xsf);
        if (c.nFrames < 0) {
            EXPECT_FALSE(std::filesystem::exists(xsfPath)) << c.name;
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(xsfPath)) << c.name;
        const XSFAnimation xsf = ParseXSF(ReadFile(xsfPath));
        EXPECT_EQ(static_cast<int>(xsf.frames.size()), c.nFrames) << c.name;
        if (c.nFrames == 0) {
            EXPECT_EQ(ReadFile(xsfPath), "") << c.name;
            continue;
        }
        EXPECT_EQ(xsf.animSteps, c.nFrames) << c.name;
        EXPECT_NEAR(xsf.frames.back().atoms[0][1], c.lastX, 1e-9) << c.name;
        for (size_t i = 0; i < c.lastZ.size() && i < xsf.frames.back().atoms.size(); ++i)
            EXPECT_EQ(xsf.frames.back().atoms[i][0], c.lastZ[i]) << c.name << " atom " << i;
    }
}
