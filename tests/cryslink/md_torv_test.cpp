// ConvF09p: the names of a run's files, the coordinate scale, and whole runs of
// the stishovite fixture (tests/data/cryslink/md/run3.*), whose XSF frames are
// checked against positions worked out from the fixture's integer fields.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "core/crystal.h"
#include "md/torv.h"
#include "md/torv_files.h"
#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;

TEST(TORVNames, SiblingsAreFoundBesideTheInput) {
    struct Case {
        const char* input;
        std::array<const char*, 4> siblings;  // FILE05, FILE07, FILE09P, FILE09V
    };
    const Case cases[] = {
        {"run3.f9p", {"run3.f05", "run3.f07", "run3.f9p", "run3.f9v"}},
        {"file09p.dat", {"FILE05.DAT", "FILE07.DAT", "FILE09P.DAT", "FILE09V.DAT"}},
        {"C:\\md\\File09V.DAT",
         {"C:\\md\\FILE05.DAT", "C:\\md\\FILE07.DAT", "C:\\md\\FILE09P.DAT", "C:\\md\\FILE09V.DAT"}},
        {"runs/v1.2/run3.f05",
         {"runs/v1.2/run3.f05", "runs/v1.2/run3.f07", "runs/v1.2/run3.f9p", "runs/v1.2/run3.f9v"}},
        {"fil.f9p", {"fil.f05", "fil.f07", "fil.f9p", "fil.f9v"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTORV::GetFILE05Name(c.input), c.siblings[0]) << c.input;
        EXPECT_EQ(CTORV::GetFILE07Name(c.input), c.siblings[1]) << c.input;
        EXPECT_EQ(CTORV::GetFILE09PName(c.input), c.siblings[2]) << c.input;
        EXPECT_EQ(CTORV::GetFILE09VName(c.input), c.siblings[3]) << c.input;
    }
}

TEST(TORVNames, CoordinateScaleFollowsTheControlFile) {
    TempDir dir;
    const std::pair<const char*, double> cases[] = {{"md  run 3\n", 1.0 / 9000},
                                                    {"Md\r\n", 1.0 / 9000},
                                                    {"XD run\n", 0.0005},
                                                    {"xd\n", 0.0005},
                                                    {" MD (indented)\n", 1.0},
                                                    {"M\n", 1.0},
                                                    {"", 1.0}};
    for (const auto& [text, factor] : cases) {
        WriteFile(dir / "a.f05", text);
        EXPECT_DOUBLE_EQ(ReadXFactor(dir / "a.f05"), factor) << text;
    }
    EXPECT_DOUBLE_EQ(ReadXFactor(dir / "absent.f05"), 1.0);
}

namespace {

const char* const kRunFiles[] = {"run3.f05", "run3.f07", "run3.f9p", "run3.f9v"};

void CopyRun(const TempDir& dir) {
    for (const char* f : kRunFiles) WriteFile(dir / f, ReadFile(SourcePath("tests/data/cryslink/md/") + f));
}

RunResult Convert(const TempDir& dir, std::vector<std::string> options, const std::string& input = "run3.f9p") {
    options.insert(options.begin(), "--Action=ConvF09p");
    options.push_back(input);
    return RunCryslinkIn(dir.path(), options);
}

// The fixture worked out by hand: fields base + k * move (9000 to a period),
// Si1 x running 8820, 180 (0.98 then 1.02) ... as (8820 + 360 k) / 9000; the
// cell a = b = 4.1772 + 0.001 k, c = 2.6651, angles written 0 (read 90), and
// step 3 a short FILE09V line that keeps the cell of step 2.
const int kBase[6][3] = {{8820, 0, 0},    {4500, 4500, 4500}, {2756, 2756, 0},
                         {6244, 6244, 0}, {7256, 1744, 4500}, {1744, 7256, 4500}};
const int kMove[6][3] = {{360, 9, 0}, {0, 0, 0}, {3, -2, -45}, {-3, 2, 5}, {1, 1, 1}, {-1, -1, -1}};

double CellA(int step) { return 4.1772 + 0.001 * (step == 3 ? 2 : step); }
double Fraction(int site, int axis, int step) { return (kBase[site][axis] + step * kMove[site][axis]) / 9000.0; }

void ExpectFrame(const XSFFrame& f, int step) {
    const double a = CellA(step), cell[3] = {a, a, 2.6651};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(f.vectors[i][j], i == j ? cell[i] : 0.0, 1e-9) << "step " << step;
    ASSERT_EQ(f.atoms.size(), 6u);
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(f.atoms[s][0], s < 2 ? 14 : 8);  // Si, O: the elements, not the type numbers
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(f.atoms[s][1 + k], Fraction(s, k, step) * cell[k], 2e-7) << "step " << step << " site " << s;
            EXPECT_EQ(f.atoms[s][4 + k], 0.0);
        }
    }
}

}  // namespace

// FILE07 types named by an element take its atomic number and weight; a name
// that is no element keeps the number of its place in the list.
TEST(TORVFiles, StartingStructureTypesAreTheirElements) {
    TempDir dir;
    std::string f07 = ReadFile(SourcePath("tests/data/cryslink/md/run3.f07"));
    f07.replace(f07.find(" Si O"), 5, " Si Qx");
    WriteFile(dir / "run3.f07", f07);
    CCrystal crystal;
    crystal.AtomDatabase = &TestContext().atoms;
    ASSERT_TRUE(ReadFILE07(dir / "run3.f07", crystal));
    ASSERT_EQ(crystal.nAtomTypes, 2);
    EXPECT_EQ(crystal.AtomTypes[0].AtomicNumber, 14);
    EXPECT_NEAR(crystal.AtomTypes[0].AtomicWeight, 28.085, 1e-3);
    EXPECT_EQ(crystal.AtomTypes[1].Name, "Qx");
    EXPECT_EQ(crystal.AtomTypes[1].AtomicNumber, 2);  // the second type
    EXPECT_EQ(crystal.nAtomAsymSites, 6);
}

TEST(ConvF09p, PrintsTheRunAndWritesEveryStep) {
    TempDir dir;
    CopyRun(dir);
    RunResult r = Convert(dir, {});
    EXPECT_EQ(r.status, 0);
    const std::string expected =
        "Convert F09p/F09v/F05 Files to XSF / CIF files.\n\n"
        "Input file  : run3.f9p\nFILE05 file : run3.f05\nFILE07 file : run3.f07\n"
        "FILE09P file: run3.f9p\nFILE09V file: run3.f9v\nXSF file    : run3.xsf\n\n"
        "nSameAtom=0\nnSameAtom=0\n"
        "nAtomSites: 6  nAtomType: 2\nnStep: 10\nxFactor: 0.000111111\nnOutputInterval: 1\nnOutput: 10\n"
        "For averaged crystal structure: use steps in 1 - 10\n"
        "...Frame 1 (T=300, P=0.1, D=4.2)\n...Frame 2 (T=301, P=0.11, D=4.201)\n"
        "...Frame 3 (T=302, P=0.12, D=4.202)\n...Frame 4 (T=302, P=0.12, D=4.202)\n"
        "...Frame 5 (T=304, P=0.14, D=4.204)\n...Frame 6 (T=305, P=0.15, D=4.205)\n"
        "...Frame 7 (T=306, P=0.16, D=4.206)\n...Frame 8 (T=307, P=0.17, D=4.207)\n"
        "...Frame 9 (T=308, P=0.18, D=4.208)\n...Frame 10 (T=309, P=0.19, D=4.209)\n"
        "CIFHeader: run3\n\n"
        "Make CIFFile of initial structure [run3-initial.cif].\n"
        "Make CIFFile of final structure [run3-final.cif].\n"
        "AvrCount: 9\nMake CIFFile of averaged structure [run3-averaged.cif].\n\nCryslink finished.\n";
    EXPECT_NE(r.output.find(expected), std::string::npos) << r.output;
    // Initial and final structures: Si1 at 0.98, then (8820 + 9 * 360) / 9000 = 1.34, written reduced.
    EXPECT_NE(ReadFile(dir / "run3-initial.cif").find("Si1        Si   1 i    0.980000    0.000000    0.000000"),
              std::string::npos);
    EXPECT_NE(ReadFile(dir / "run3-final.cif").find("Si1        Si   1 i    0.340000    0.009000    0.000000"),
              std::string::npos);
}

TEST(ConvF09p, FramesWindowsAndAveragesFollowTheOptions) {
    struct Case {
        std::vector<std::string> options;
        int animSteps;
        std::vector<int> steps;  // the steps written as frames
        int avrCount;
        bool rdf;
    };
    const Case cases[] = {
        {{}, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 9, false},
        {{"--nOutputInterval=3"}, 4, {0, 3, 6, 9}, 9, false},
        {{"--nLastStep=5", "--CalcRDF=1"}, 5, {0, 1, 2, 3, 4}, 4, true},
        {{"--iAvrFirstStep=20", "--CalcRDF=1"}, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, true},
        {{"--iAvrFirstStep=2", "--iAvrLastStep=3", "--nOutputInterval=-4"},
         10,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         2,
         false},
        // The trajectory is shorter than the steps asked for: the header still announces them.
        {{"--nLastStep=12"}, 12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 9, false},
    };
    for (const Case& c : cases) {
        const std::string name = c.options.empty() ? "defaults" : c.options[0];
        TempDir dir;
        CopyRun(dir);
        RunResult r = Convert(dir, c.options);
        const XSFAnimation xsf = ParseXSF(ReadFile(dir / "run3.xsf"));
        EXPECT_EQ(xsf.animSteps, c.animSteps) << name;
        ASSERT_EQ(xsf.frames.size(), c.steps.size()) << name;
        for (size_t f = 0; f < xsf.frames.size(); ++f) ExpectFrame(xsf.frames[f], c.steps[f]);
        EXPECT_NE(r.output.find("AvrCount: " + std::to_string(c.avrCount) + "\n"), std::string::npos) << name;
        EXPECT_EQ(std::filesystem::exists(dir / "run3-averaged.cif"), c.avrCount > 0) << name;
        EXPECT_EQ(std::filesystem::exists(dir / "Si-O-RDF.csv"), c.rdf) << name;
        EXPECT_EQ(std::filesystem::exists(dir / "Si-O-Averaged-RDF.csv"), c.rdf && c.avrCount > 0) << name;
    }
}

TEST(ConvF09p, AverageIsTheMeanOfStepsOneToFourOfFive) {
    TempDir dir;
    CopyRun(dir);
    Convert(dir, {"--nLastStep=5"});
    const std::string cif = ReadFile(dir / "run3-averaged.cif");
    // a: (4.1782 + 4.1792 + 4.1792 + 4.1812) / 4; Si1 x: (1.02 + 1.06 + 1.10 + 1.14) / 4 = 1.08;
    // O1 z: -(45 + 90 + 135 + 180) / 4 / 9000 = -0.0125.
    EXPECT_NE(cif.find("_cell_length_a                     4.17945\n"), std::string::npos) << cif;
    EXPECT_NE(cif.find("_cell_angle_alpha                  90\n"), std::string::npos);
    EXPECT_NE(cif.find("Si1        Si   1 i    0.080000    0.002500    0.000000"), std::string::npos) << cif;
    EXPECT_NE(cif.find("O1         O   1 i    0.307056    0.305667    0.987500"), std::string::npos) << cif;
}

// A frame cut short by the end of the file is dropped whole: the final
// structure keeps every site at its last complete step.
TEST(ConvF09p, FrameCutShortKeepsTheLastCompleteStep) {
    TempDir dir;
    CopyRun(dir);
    std::string trajectory = ReadFile(dir / "run3.f9p");
    trajectory.resize(trajectory.size() - 40);
    WriteFile(dir / "run3.f9p", trajectory);
    RunResult r = Convert(dir, {});
    EXPECT_NE(r.output.find("nStep: 10\n"), std::string::npos);
    EXPECT_NE(r.output.find("...Frame 9 (T=308, P=0.18, D=4.208)\n[run3.f9p] ends inside step 9: the step is left out.\nCIFHeader"), std::string::npos) << r.output;
    const std::string cif = ReadFile(dir / "run3-final.cif");
    EXPECT_NE(cif.find("Si1        Si   1 i    0.300000    0.008000    0.000000"), std::string::npos) << cif;
    EXPECT_NE(cif.find("O4         O   1 i    0.192889    0.805333    0.499111"), std::string::npos) << cif;
}

// FILE*.DAT names, "XD" scaling (2000 to a period), CR LF line ends and a
// FILE07 without H-TENSOR lines, whose site list spans the type lines.
TEST(ConvF09p, DatFilesWithXdScaling) {
    TempDir dir;
    WriteFile(dir / "FILE05.DAT", "XD  two-site test\r\n");
    WriteFile(dir / "FILE07.DAT",
              "MgO pair\r\n   2   2\r\n Mg\r\n O\r\n   1\r\n   1\r\nA\r\nB\r\nC\r\n  1.0  4.2  4.2  4.2\r\n END\r\n" +
                  std::string(53, ' ') + "  0.00000  0.00000  0.00000\r\n" + std::string(53, ' ') +
                  "  0.50000  0.50000  1.50000\r\n");
    WriteFile(dir / "FILE09P.DAT", "  STEP 0\r\n   0   0   01000100019600\r\n  STEP 1\r\n1999   0   01001 999  20\r\n");
    const std::string cell = "   3.5800   74.088   4.2000   4.2000   4.2000   90.000   90.000   90.000\r\n";
    WriteFile(dir / "FILE09V.DAT", "  300.00    0.0001   -12345.6789     45.6789   \r\n2\r\n" + cell + "4\r\n5\r\n" +
                                       "  310.00    0.0002   -12345.6789     45.6789   \r\n2\r\n" + cell +
                                       "4\r\n5\r\n");
    RunResult r = Convert(dir, {}, "file09p.dat");
    EXPECT_NE(r.output.find("FILE05 file : FILE05.DAT\nFILE07 file : FILE07.DAT\nFILE09P file: FILE09P.DAT\n"
                            "FILE09V file: FILE09V.DAT\nXSF file    : file09p.xsf\n"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("nAtomSites: 2  nAtomType: 2\nnStep: 2\nxFactor: 0.0005\n"), std::string::npos);
    const XSFAnimation xsf = ParseXSF(ReadFile(dir / "file09p.xsf"));
    const std::vector<XSFFrame>& frames = xsf.frames;
    ASSERT_EQ(xsf.animSteps, 2);
    ASSERT_EQ(frames.size(), 2u);
    // Mg: 0 then 1999 (-0.0005, continuous); O: 0.5 0.5 0.98, then 0.5005 0.4995 0.01 taken as 1.01.
    const double expected[2][2][3] = {{{0, 0, 0}, {0.5, 0.5, 0.98}}, {{-0.0005, 0, 0}, {0.5005, 0.4995, 1.01}}};
    for (int f = 0; f < 2; ++f)
        for (int s = 0; s < 2; ++s)
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(frames[f].atoms[s][1 + k], expected[f][s][k] * 4.2, 2e-7);
    EXPECT_NE(ReadFile(dir / "file09p-initial.cif").find("'MgO pair'"), std::string::npos);
}

TEST(ConvF09p, MissingAndUnreadableFiles) {
    struct Case {
        std::vector<std::string> removed;
        bool xsfIsDirectory;
        std::string expected;
        bool cifs;
    };
    const Case cases[] = {
        {{"run3.f05", "run3.f07"}, false, "nAtomSites: 0  nAtomType: 0\nnStep: 20\nxFactor: 1\n", true},
        {{"run3.f9p"},
         false,
         "Error in CTORV::GetnFrameInFile09: Can not read [run3.f9p].\nnAtomSites: 6  nAtomType: 2\nnStep: 0\n",
         false},
        {{"run3.f9v"}, false, "use steps in 1 - 10\nCan not read [run3.f9v].\n\nCryslink finished.", false},
        {{}, true, "use steps in 1 - 10\nCan not write to [run3.xsf].\n\nCryslink finished.", false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CopyRun(dir);
        for (const std::string& f : c.removed) std::filesystem::remove(dir / f);
        if (c.xsfIsDirectory) std::filesystem::create_directory(dir / "run3.xsf");
        RunResult r = Convert(dir, {});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.output.find(c.expected), std::string::npos) << r.output;
        EXPECT_EQ(std::filesystem::exists(dir / "run3-final.cif"), c.cifs) << c.expected;
    }
}
