// CASTEPConvOutput on the real runs of the corpus, its step plan, files cut
// off inside each block, and the CAR file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "abinitio/castep.h"
#include "core/car_writer.h"
#include "core/crystal.h"
#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;

namespace {

const std::string kCorpus = "../shared/corpus/castep/";

RunResult Convert(const TempDir& dir, const std::string& name, std::vector<std::string> options = {}) {
    options.insert(options.begin(), "--Action=CASTEPConvOutput");
    options.push_back(name + ".castep");
    return RunCryslinkIn(dir.path(), options);
}

// Copies a .castep file of the corpus (or of `folder`); false without it.
bool CopyCorpus(const TempDir& dir, const std::string& name, const std::string& folder = kCorpus) {
    const std::string source = SourcePath(folder + name + ".castep");
    if (!std::filesystem::exists(source)) return false;
    WriteFile(dir / (name + ".castep"), ReadFile(source));
    return true;
}

// The first n lines of a corpus file.
std::string Head(const std::string& name, int n) {
    const std::string text = ReadFile(SourcePath(kCorpus + name + ".castep"));
    size_t end = 0;
    for (int i = 0; i < n && end != std::string::npos; ++i) end = text.find('\n', end + 1);
    return text.substr(0, end == std::string::npos ? text.size() : end + 1);
}

// One atom of a frame as the .castep file prints it: fractional coordinates and force.
struct FileAtom {
    int frame;  // from 1; 0 means the last
    int atom;
    double a;   // cell length a, angstrom
    double u, v, w, fx, fy, fz;
};

const std::array<Vec3, 3> kAxes = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};

// `axes`: the directions of the cell vectors in the file's Cartesian frame, the frame of its forces.
void ExpectAtom(const std::vector<XSFFrame>& frames, const FileAtom& c, const std::array<Vec3, 3>& axes = kAxes) {
    const XSFFrame& f = frames[c.frame == 0 ? frames.size() - 1 : c.frame - 1];
    SCOPED_TRACE("frame " + std::to_string(c.frame) + " atom " + std::to_string(c.atom));
    EXPECT_NEAR(f.Length(0), c.a, 1e-6);
    double fr[3];
    f.Fractional(c.atom, fr);
    const double expected[3] = {c.u, c.v, c.w};
    const Vec3 force{c.fx, c.fy, c.fz}, written{f.atoms[c.atom][4], f.atoms[c.atom][5], f.atoms[c.atom][6]};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(fr[k], expected[k], 2e-7);
        // The force along each cell vector, whatever the orientation of the cell (XSF keeps 7 decimals).
        EXPECT_NEAR(Dot(written, f.vectors[k]) / f.Length(k), Dot(force, axes[k]) / std::sqrt(Dot(axes[k], axes[k])),
                    1e-7);
    }
}

}  // namespace

TEST(CASTEPConvOutput, ForcesTitles) {
    const std::pair<const char*, bool> lines[] = {
        {" *********************************** Forces ***********************************", true},
        {" ***************************** Symmetrised Forces *****************************", true},
        {" ***************************** Constrained Forces *****************************", true},
        {" **************************** Unconstrained Forces ****************************", false},
        {" *********** Symmetrised Stress Tensor ***********", false},
        {" Forces on atoms", false},
    };
    for (const auto& [line, title] : lines) EXPECT_EQ(IsCASTEPForcesTitle(line), title) << line;
}

TEST(CASTEPConvOutput, CorpusRuns) {
    struct Run {
        std::string name;
        int nStep, frames;
        std::vector<FileAtom> atoms;
        std::string pbc;  // the CAR cell line: the last cell printed
        std::array<Vec3, 3> axes = kAxes;
        std::string folder = kCorpus;
    };
    const Run runs[] = {
        // Damped MD at fixed cell: coordinates without a new cell, symmetrised forces at the end.
        {"TiO2-geom", 23, 23,
         {{1, 0, 4.6, 0.304039, 0.304039, 0.0, -0.29923, -0.29923, -0.0},
          {1, 1, 4.6, 0.695961, 0.695961, 0.0, 0.29923, 0.29923, 0.0},
          {0, 3, 4.6, 0.198134, 0.801866, 0.5, 0.02958, -0.02958, 0.0}},
         "PBC    4.6000    4.6000    2.9500   90.0000   90.0000   90.0000 (P 1)"},
        // NPT molecular dynamics: a new cell with every step.
        {"Si8-md-NPT", 11, 11,
         {{1, 0, 5.463207, 0.001217, 0.000300, 0.001002, -0.22686, -0.24215, 0.39575},
          {0, 1, 5.547588, 0.017521, 0.520724, 0.536202, 0.79851, -0.05369, -0.29767}},
         "PBC    5.5476    5.5476    5.5476   90.0000   90.0000   90.0000 (P 1)"},
        // Cell optimisation printing forces only for the final configuration.
        {"Si2_opt", 0, 0, {}, "PBC    3.2890    3.2890    3.2890   60.0000   60.0000   60.0000 (P 1)"},
        // LATTICE_CART in the fcc orientation (no vector along x): the forces are turned with the cell.
        {"Si2_rotated_geom", 2, 2,
         {{1, 1, 3.831105, 0.256, 0.248, 0.2505, 0.20110, -0.08150, -0.02960},
          {2, 1, 3.831105, 0.2505, 0.2497, 0.2501, 0.03140, -0.01270, -0.00420}},
         "PBC    3.8311    3.8311    3.8311   60.0000   60.0000   60.0000 (P 1)",
         {Vec3{1, 1, 0}, Vec3{1, 0, 1}, Vec3{0, 1, 1}}, "tests/data/cryslink/castep/"},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        TempDir dir;
        if (!CopyCorpus(dir, run.name, run.folder)) GTEST_SKIP() << "no corpus of real files beside the checkout";
        const RunResult r = Convert(dir, run.name);
        EXPECT_NE(r.output.find("nStep: " + std::to_string(run.nStep) + "\n"), std::string::npos) << r.output;
        const XSFAnimation xsf = ParseXSF(ReadFile(dir / (run.name + ".xsf")));
        ASSERT_EQ(static_cast<int>(xsf.frames.size()), run.frames);
        if (run.frames > 0) {
            EXPECT_EQ(xsf.animSteps, run.frames);
        }
        for (const FileAtom& c : run.atoms) ExpectAtom(xsf.frames, c, run.axes);
        const std::string car = ReadFile(dir / (run.name + ".car.new"));
        EXPECT_NE(car.find("\n" + run.pbc + "\n"), std::string::npos) << car;
        EXPECT_TRUE(std::filesystem::exists(dir / (run.name + "-initial.cif")));
        EXPECT_TRUE(std::filesystem::exists(dir / (run.name + "-final.cif")));
    }
}

TEST(CASTEPConvOutput, StepPlanWithLastStepAndInterval) {
    TempDir dir;
    if (!CopyCorpus(dir, "TiO2-geom")) GTEST_SKIP() << "no corpus of real files beside the checkout";
    const RunResult r = Convert(dir, "TiO2-geom", {"--nLastStep=4", "--nOutputInterval=2"});
    EXPECT_NE(r.output.find("nStep: 4\nnOutputInterval: 2\nnOutput: 2\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("...Frame 0 "), std::string::npos);
    EXPECT_NE(r.output.find("...Frame 2 "), std::string::npos);
    const XSFAnimation xsf = ParseXSF(ReadFile(dir / "TiO2-geom.xsf"));
    EXPECT_EQ(xsf.animSteps, 2);
    ASSERT_EQ(xsf.frames.size(), 2u);
    // The frames are steps 0 and 2 (the geometries after the first and third forces tables).
    ExpectAtom(xsf.frames, {2, 0, 4.6, 0.303968, 0.303968, 0.0, -0.29025, -0.29025, 0.0});
}

// Files cut off inside each block: no crash, and as many frames as announced.
TEST(CASTEPConvOutput, TruncatedFiles) {
    if (!std::filesystem::exists(SourcePath(kCorpus))) GTEST_SKIP() << "no corpus of real files beside the checkout";
    struct Cut {
        int lines;
        const char* nStep;
        const char* message;
    };
    const Cut cuts[] = {
        {100, "nStep: 0\n", "  **No data for initial structure.\n"},           // before the first cell
        {193, "nStep: 0\n", "  **No data for initial structure.\n"},           // inside the first cell
        {214, "nStep: 0\n", "Incomplete table of fractional coordinates"},     // inside the first coordinates
        {330, "nStep: 0\n", "Incomplete forces table"},                         // inside the first forces
        {405, "nStep: 0\n", "Incomplete forces table"},                          // inside the second forces
        {440, "nStep: 1\n", "Incomplete table of fractional coordinates"},     // inside a later table
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.lines);
        TempDir dir;
        WriteFile(dir / "cut.castep", Head("TiO2-geom", cut.lines));
        const RunResult r = Convert(dir, "cut");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.output.find(cut.nStep), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("nStep: -"), std::string::npos);  // no table, no step: never a negative count
        EXPECT_NE(r.output.find(cut.message), std::string::npos) << r.output;
        const XSFAnimation xsf = ParseXSF(ReadFile(dir / "cut.xsf"));
        EXPECT_EQ(static_cast<int>(xsf.frames.size()), std::max(xsf.animSteps, 0));
    }
    TempDir dir;
    EXPECT_NE(Convert(dir, "missing").output.find("Can not read [missing.castep].\n"), std::string::npos);
}

TEST(CARFile, SiliconInACubicCell) {
    TempDir dir;
    CCrystal crystal;
    crystal.Name = "silicon";
    crystal.SetLatticeParameters(0.543, 0.543, 0.543, 90, 90, 90);
    crystal.CalculateLatticeVectors();
    crystal.AddAtomAsymSite("", "Si", 1.0, 0.25, 0.25, 0.25);
    crystal.AddAtomAsymSite("", "Si", 1.0, 0.0, 0.5, 0.5);
    crystal.CopyAsymSitesToSites();
    ASSERT_EQ(WriteCARFile(dir / "si.car", crystal), 1);
    const std::string car = ReadFile(dir / "si.car");
    const size_t date = car.find("!DATE ");
    ASSERT_EQ(car.substr(0, date), "!BIOSYM archive 3\nPBC=ON\nsilicon\n");
    EXPECT_EQ(car.substr(car.find('\n', date) + 1),
              "PBC    5.4300    5.4300    5.4300   90.0000   90.0000   90.0000 (P 1)\n"
              "Si1      1.357500000    1.357500000    1.357500000 XXXX 1      xx      Si  0.000\n"
              "Si2      0.000000000    2.715000000    2.715000000 XXXX 1      xx      Si  0.000\n"
              "end\nend\n\n");
    EXPECT_EQ(WriteCARFile(dir / "no/such/dir.car", crystal), -1);
}

// Open Babel reads every atom of the file back (the title line keeps the date from being taken for it).
TEST(CARFile, ReadBackByOpenBabel) {
    if (std::system("/usr/bin/python3 -c 'from openbabel import pybel' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-openbabel is not installed (make generators)";
    TempDir dir;
    if (!CopyCorpus(dir, "Si8-md-NPT")) GTEST_SKIP() << "no corpus of real files beside the checkout";
    Convert(dir, "Si8-md-NPT");
    const std::string script = "from openbabel import pybel\n"
                               "m = next(pybel.readfile('car', '" + dir / "Si8-md-NPT.car.new" + "'))\n"
                               "print(len(m.atoms), round(m.unitcell.GetA(), 4), m.atoms[1].coords)\n";
    WriteFile(dir / "read.py", script);
    const std::string command = "/usr/bin/python3 " + dir / "read.py" + " > " + dir / "read.txt" + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(dir / "read.txt").substr(0, 10), "8 5.5476 (");
}
