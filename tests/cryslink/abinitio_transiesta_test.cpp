// TranSIESTAConvOutput: the SIESTA 4.x and 5.x outputs of the corpus and of
// tests/data/cryslink/siesta, and the TranSIESTA-C/ATK layouts (no public file
// of those exists: the fixtures here follow the layout the reader knows), the
// ATK input update, bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "program_runner.h"
#include "xsf_frames.h"

using namespace testing_support;

namespace {

using Cell = std::array<Vec3, 3>;

struct FrameCheck {
    int frame;  // -1: the last
    int z;
    AtomCheck atom;
};

struct Case {
    const char* name;
    std::string output;  // text of the output file, or "corpus:<file>"
    std::vector<std::string> options;
    std::string expectedLines;
    int nFrames;  // -1: no XSF file
    Cell cell;
    std::vector<FrameCheck> checks;
    std::string finalSite = "";  // text of the final CIF's site lines, when given
};

void RunCase(const Case& c) {
    TempDir dir;
    if (c.output.starts_with("corpus:")) {
        const std::string corpus = SourcePath("../shared/corpus/siesta/" + c.output.substr(7));
        if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus of real files beside the checkout";
        std::filesystem::copy(corpus, dir / "run.out");
    } else if (c.output.starts_with("data:")) {
        std::filesystem::copy(SourcePath("tests/data/cryslink/siesta/" + c.output.substr(5)), dir / "run.out");
    } else if (!c.output.empty()) {
        WriteFile(dir / "run.out", c.output);
    }
    std::vector<std::string> args{"--Action=TranSIESTAConvOutput"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("run.out");
    const RunResult r = RunCryslinkIn(dir.path(), args);
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_NE(r.output.find(c.expectedLines), std::string::npos) << c.name << "\n" << r.output;
    if (c.nFrames < 0) {
        EXPECT_FALSE(std::filesystem::exists(dir / "run.xsf")) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "run-final.cif")) << c.name;
        return;
    }
    const XSFAnimation xsf = ParseXSF(ReadFile(dir / "run.xsf"));
    if (c.nFrames == 0) {
        EXPECT_EQ(ReadFile(dir / "run.xsf"), "") << c.name;
    }
    EXPECT_EQ(xsf.animSteps, c.nFrames == 0 ? -1 : c.nFrames) << c.name;
    ASSERT_EQ(static_cast<int>(xsf.frames.size()), c.nFrames) << c.name;
    for (const FrameCheck& check : c.checks) {
        SCOPED_TRACE(c.name);
        ExpectFrameMatches(xsf.frames[check.frame < 0 ? c.nFrames - 1 : check.frame], c.cell, check.z, check.atom);
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "run-initial.cif")) << c.name;
    EXPECT_TRUE(std::filesystem::exists(dir / "run-final.cif")) << c.name;
    EXPECT_NE(ReadFile(dir / "run-final.cif").find(c.finalSite), std::string::npos) << c.name;
}

// A SIESTA 4.x MD run: Bohr, then fractional coordinates, and the summary
// that repeats the last forces with "siesta:" before every line.
const std::string kSiestaMD =
    "outcell: Unit cell vectors (Ang):\n   10.0 0.0 0.0\n   0.0 10.0 0.0\n   0.0 0.0 10.0\n\n"
    "outcoor: Atomic coordinates (Bohr):\n    1.0  0.0  0.0   1   1  Na\n    0.0  2.0  0.0   2   2  Cl\n\n"
    "siesta: Atomic forces (eV/Ang):\n     1    0.1  0.0  0.0\n     2   -0.1  0.0  0.0\n----------------\n"
    "outcoor: Atomic coordinates (fractional):\n    0.25  0.0  0.0   1   1  Na\n    0.0  0.5  0.0   2   2  Cl\n\n"
    "siesta: Atomic forces (eV/Ang):\n     1    0.2  0.0  0.0\n     2   -0.2  0.0  0.0\n----------------\n"
    "siesta: Atomic forces (eV/Ang):\nsiesta:      1    0.2  0.0  0.0\nsiesta:      2   -0.2  0.0  0.0\n"
    "siesta: ----------------\n";

// A TranSIESTA-C/ATK two-probe run: 10 atoms, of which the forces block covers the central 6.
std::string TwoProbeATK() {
    std::string text =
        "UnitCell::LatticeConstant 1.0 Ang\n%block Bulk::UnitCell\n 5.0 0.0 0.0\n 0.0 5.0 0.0\n 0.0 0.0 20.0\n"
        "%endblock Bulk::UnitCell\n%block TwoProbe::FullAtomList\n# electrode\n# atoms\n# -\n";
    for (int i = 0; i < 10; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, " %d Au 1.0 1.0 %d.0\n", i, 2 * i);
        text += line;
    }
    text += "%endblock TwoProbe::FullAtomList\n#   Forces     in eV/Ang\n# x y z\n# -\n# -\n";
    for (int i = 2; i < 8; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, " 1.0 1.0 %d.5  0 0 0  %d.0 0.0 0.0\n", 2 * i, i);
        text += line;
    }
    return text + "# ----\n";
}

// A bulk run echoed with its lattice constant; one forces block moves the second atom.
const std::string kBulkATK =
    "UnitCell::LatticeConstant 5.43 Ang\n%block Bulk::UnitCell\n 1.0 0.0 0.0\n 0.0 1.0 0.0\n 0.0 0.0 1.0\n"
    "%endblock Bulk::UnitCell\n%block Bulk::AtomList\n Si 0.0 0.0 0.0\n Si 1.3575 1.3575 1.3575\n"
    "%endblock Bulk::AtomList\n#   Forces     in eV/Ang\n# -\n# -\n# -\n"
    " 0.0 0.0 0.0  0 0 0  0.0 0.0 0.0\n 1.4 1.4 1.4  0 0 0  -0.3 0.2 0.1\n# ----\n";

// The TranSIESTA-C layout of SIESTA-style blocks: forces after "NumOrb: Forces",
// positions after "Updating coords".
const std::string kNumOrb =
    "UnitCell::LatticeConstant 1.0 Ang\n%block Bulk::UnitCell\n 4.0 0.0 0.0\n 0.0 4.0 0.0\n 0.0 0.0 4.0\n"
    "%endblock Bulk::UnitCell\n%block Bulk::AtomList\n Na 0.0 0.0 0.0\n Cl 2.0 2.0 2.0\n%endblock Bulk::AtomList\n"
    "NumOrb: Forces\n -\n siesta:  1  0.1  0.2  0.3\n siesta:  2 -0.1 -0.2 -0.3\nUpdating coords\n -\n -\n"
    " :  1 Na 0.1 0.0 0.0\n :  2 Cl 2.1 2.0 2.0\n";

const Cell kH2OCell{{{7.147558, 0, 0}, {0, 5.692925, 0}, {0, 0, 5.482158}}};

}  // namespace

TEST(TranSIESTAConvOutput, SIESTA4Outputs) {
    const Case cases[] = {
        {"h2o relaxation", "corpus:h2o_relax_siesta4.0.out", {}, "nStep: 7\n", 7, kH2OCell,
         {{0, 1, {1, {0.757, 0.6, 0}, {0.387608, 0.136927, 0}}},
          {-1, 8, {0, {0, 0.00508857, 0}, {0, 0.015538, 0}}},
          {-1, 1, {2, {-0.76940893, 0.59976214, 0}, {-0.006996, 0.014870, 0}}}}},
        // Scaled coordinates in units of LatticeConstant 4.10 Ang, an fcc cell.
        {"MgO", "corpus:MgO_siesta4.0.out", {}, "nStep: 1\n", 1,
         Cell{{{0, 2.05, 2.05}, {2.05, 0, 2.05}, {2.05, 2.05, 0}}},
         {{0, 12, {0, {0, 0, 0}, {0, 0, 0}}}, {0, 8, {1, {2.05, 2.05, 2.05}, {0, 0, 0}}}}},
        {"MD with closing summary", kSiestaMD, {}, "nStep: 2\n", 2, Cell{{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}},
         {{0, 11, {0, {0.529177210903, 0, 0}, {0.1, 0, 0}}}, {1, 17, {1, {0, 5, 0}, {-0.2, 0, 0}}}}},
        {"MD every 2nd step", kSiestaMD, {"--nOutputInterval=2"}, "nOutput: 1\n", 1,
         Cell{{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}}, {{0, 11, {0, {0.529177210903, 0, 0}, {0.1, 0, 0}}}}},
        {"cut in the last forces", kSiestaMD.substr(0, kSiestaMD.find("     2   -0.2")), {}, "nStep: 1\n", 1,
         Cell{{{10, 0, 0}, {0, 10, 0}, {0, 0, 10}}}, {}},
        {"no cell", "outcoor: Atomic coordinates (Ang):\n 0 0 0 1 1 H\n\nsiesta: Atomic forces (eV/Ang):\n", {},
         "has no unit cell (outcell) before its forces.\n", -1, {}, {}},
        // SIESTA 4.1 CG with default output: the steps print only the total force and no
        // coordinates; the closing summary's forces are one frame at the final (unrelaxed)
        // coordinates, whose cell is far from the standard orientation.
        {"4.1 CG, totals only", "data:siesta41_cg_C2.out", {}, "nStep: 1\n", 1,
         Cell{{{2.13, 1.229756, 0}, {2.13, -1.229756, 0}, {0, 0, 14.2}}},
         {{0, 6, {0, {-0.02212396, 0, 0}, {0.598957, 0, 0}}}, {0, 6, {1, {1.40225271, 0, 0}, {-0.510452, 0, 0}}}},
         "C2         C   1 i    0.329167    0.329167    0.000000"},
        // 5.1 single point: the geometry SIESTA prints from its input (bohr, species by number).
        {"5.1 single point", "data:siesta51_single_point_Bi.out", {}, "nStep: 1\n", 1,
         Cell{{{3.9837, -2.29999, 0}, {3.9837, 2.29999, 0}, {0, 0, 26.558}}},
         {{0, 83, {1, {2.6557975, 0, 1.620002}, {0.009515, 0, 0.150964}}}}},
        // 5.1 MD with coordinates every step: the closing summary repeats the last step.
        {"5.1 MD", "data:siesta51_md_MgCO3.out", {}, "nStep: 5\n", 5,
         Cell{{{5.67783, 0, 0}, {3.786009, 4.231299, 0}, {3.786009, 1.692731, 3.877957}}},
         {{-1, 8, {4, {3.83776394, 0.28713555, 0.94126653}, {2.764714, -6.822410, 0.326351}}}}},
        // Per-atom forces every step but no coordinates after the input's: four frames at that geometry.
        {"CG without outcoor", "data:siesta_max1_cg_Si.out", {}, "nStep: 4\n", 4,
         Cell{{{2.719, 2.716, 0}, {0, 2.715, 2.715}, {2.715, 0, 2.715}}},
         {{0, 14, {0, {0, 0, 0}, {-0.017011, -0.011933, 0.010083}}},
          {-1, 14, {1, {1.3574983, 1.3574983, 1.3574983}, {-0.008324, 0.003696, -0.007333}}}}},
        // Only totals and no summary: no frame, but both structures, the final one relaxed.
        {"CG, totals only, no summary", "data:siesta_max1_cg_totals_Si.out", {}, "nStep: 0\n", 0, {}, {},
         "Si2        Si   1 i    0.250000    0.250000    0.250000"},
    };
    for (const Case& c : cases) RunCase(c);
}

TEST(TranSIESTAConvOutput, ATKLayouts) {
    const Cell probeCell{{{5, 0, 0}, {0, 5, 0}, {0, 0, 20}}};
    std::vector<FrameCheck> probe;
    for (int i = 0; i < 10; ++i) {
        const bool central = i >= 2 && i < 8;
        probe.push_back({0, 79, {i, {1, 1, 2.0 * i + (central ? 0.5 : 0)}, {central ? double(i) : 0, 0, 0}}});
    }
    const Case cases[] = {
        {"two-probe", TwoProbeATK(), {}, "natoms: 6\n", 1, probeCell, probe},
        {"two-probe, forces cut", TwoProbeATK().substr(0, TwoProbeATK().find(" 1.0 1.0 14.5")), {}, "natoms: 5\n", 1,
         probeCell, {{0, 79, {7, {1, 1, 14}, {0, 0, 0}}}}},
        {"bulk", kBulkATK, {}, "Lattice parameters: 0.543 0.543 0.543 nm  90 90 90\n", 1,
         Cell{{{5.43, 0, 0}, {0, 5.43, 0}, {0, 0, 5.43}}}, {{0, 14, {1, {1.4, 1.4, 1.4}, {-0.3, 0.2, 0.1}}}}},
        {"NumOrb blocks", kNumOrb, {}, "nStep: 1\n", 1, Cell{{{4, 0, 0}, {0, 4, 0}, {0, 0, 4}}},
         {{0, 17, {1, {2.1, 2, 2}, {-0.1, -0.2, -0.3}}}}},
        // Both kinds of step line are counted; steps past the end keep the last structure.
        {"both step lines", kBulkATK + "Updating coords\n", {}, "nStep: 2\n", 2,
         Cell{{{5.43, 0, 0}, {0, 5.43, 0}, {0, 0, 5.43}}}, {{-1, 14, {1, {1.4, 1.4, 1.4}, {-0.3, 0.2, 0.1}}}}},
        {"no output file", "", {}, "Can not read [run.out].\n", -1, {}, {}},
        {"no unit cell", "%block Bulk::AtomList\n Si 0 0 0\n%endblock\n", {}, "has no readable unit cell", -1, {}, {}},
    };
    for (const Case& c : cases) RunCase(c);
}

// The ATK input gets the final cell and bulk atom list; every other line,
// line ends included, is repeated unchanged.
TEST(TranSIESTAConvOutput, UpdatesTheATKInput) {
    TempDir dir;
    WriteFile(dir / "run.out", kBulkATK);
    const std::string input =
        "# Si bulk\r\nUnitCell::LatticeConstant 1.0 Ang\r\n%block Bulk::UnitCell\r\n 5.43 0 0\r\n 0 5.43 0\r\n"
        " 0 0 5.43\r\n%endblock Bulk::UnitCell\r\nkeep = this\r\n%block Bulk::AtomList\r\n Si 0 0 0\r\n"
        " Si 1 1 1\r\n%endblock Bulk::AtomList\r\ntail";
    WriteFile(dir / "run.atk", input);
    const RunResult r = RunCryslinkIn(dir.path(), {"--Action=TranSIESTAConvOutput", "run.out"});
    EXPECT_NE(r.output.find("Create update file: run.atk.new\n"), std::string::npos) << r.output;
    EXPECT_EQ(ReadFile(dir / "run.atk.new"),
              "# Si bulk\r\nUnitCell::LatticeConstant 5.43 Ang\n%block Bulk::UnitCell\n"
              "  1.00000000   0.00000000   0.00000000\n  0.00000000   1.00000000   0.00000000\n"
              "  0.00000000   0.00000000   1.00000000\n%endblock Bulk::UnitCell\nkeep = this\r\n"
              "%block Bulk::AtomList\r\n  Si    0.0000000000   0.0000000000   0.0000000000\n"
              "  Si    1.4000000000   1.4000000000   1.4000000000\n%endblock Bulk::AtomList\r\ntail");
    EXPECT_EQ(ReadFile(dir / "run.atk"), input);
}
