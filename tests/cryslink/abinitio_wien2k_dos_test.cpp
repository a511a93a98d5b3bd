// WIEN2k DOS files to CSV tables: the real spin-polarised files of the corpus,
// generated non-polarised cases, and the runs that end early.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "program_runner.h"

using namespace testing_support;

namespace {

// What the action printed between its description line and the finish lines.
std::string ActionLog(const TempDir& dir, const std::string& intFile) {
    const RunResult r = RunCryslinkIn(dir.path(), {"--Action=WIENConvDOS", intFile});
    const std::string begin = "Make DOS.CSV file from WIEN2k .int/.dos* files.\n";
    const size_t from = r.output.find(begin), to = r.output.rfind("\nCryslink finished.");
    if (r.status != 0 || from == std::string::npos || to == std::string::npos) return r.output;
    return r.output.substr(from + begin.size(), to - from - begin.size());
}

std::string IntFile(const std::string& cases) {
    const int n = static_cast<int>(std::count(cases.begin(), cases.end(), '\n'));
    return "Title\n -0.50 0.002 1.500 0.003  # EMIN, DE, EMAX\n" + std::to_string(n) +
           "    N   0.000        # NUMBER OF DOS-CASES\n" + cases;
}

// A DOS file: three header lines, then rows of energy and nSpectrum values (row + column / 100).
std::string DosFile(int nSpectrum, int nRows) {
    std::string text = "#\n#\n# ENERGY\n";
    for (int row = 0; row < nRows; ++row) {
        text += std::to_string(row - 1) + ".50000";
        for (int k = 1; k <= nSpectrum; ++k) text += "    " + std::to_string(row) + "." + std::to_string(k + 10);
        text += "\n";
    }
    return text;
}

std::string Skipped(const char* suffix) {
    std::string text;
    for (int f = 1; f <= 3; ++f)
        text += ".dos" + std::to_string(f) + "ev" + suffix + ": case.dos" + std::to_string(f) + "ev" + suffix + "\n";
    return text + "  dose not exist. Skipped.\n\n";
}

}  // namespace

// The corpus's spin-up and spin-down files of one case, with an .int naming their columns.
TEST(WienDos, SpinPolarisedCorpusFiles) {
    const std::string up = CorpusPath("wien2k/CrO2-sp.dos1evup"), dn = CorpusPath("wien2k/CrO2-sp.dos1evdn");
    if (!std::filesystem::exists(up)) GTEST_SKIP() << "no corpus of real files beside the checkout";
    TempDir dir;
    std::filesystem::copy_file(up, dir / "case.dos1evup");
    std::filesystem::copy_file(dn, dir / "case.dos1evdn");
    WriteFile(dir / "case.int", IntFile("    0    1   total   # atom, case=column in qtl-header, label\n"
                                        "    1    2   \"Cr s\"\n    1    3   \"Cr p\"\n    1    4   \"Cr px\"\n"
                                        "    1    5   \"Cr py\"\n    1    6   'Cr pz'\n    2    1   O\n"));
    const std::string log = ActionLog(dir, "case.int");
    EXPECT_EQ(log.substr(0, log.find(".dos1evup")),
              "nOrbitals: 7\n  Orb[0]: total\n  Orb[1]: Cr s\n  Orb[2]: Cr p\n  Orb[3]: Cr px\n  Orb[4]: Cr py\n"
              "  Orb[5]: Cr pz\n  Orb[6]: O\n" +
                  Skipped(""));
    for (const std::string spin : {"up", "dn"})
        EXPECT_NE(
            log.find("  nData     : 1000\n  nSpectrum1: 7\nError in CWIEN::GetDOSnData: Can not read [case.dos2ev" +
                     spin + "].\n"),
            std::string::npos);
    EXPECT_NE(log.find("Create CSV File for down spin DOS: case.dosdn.csv\n\n"), std::string::npos) << log;
    const std::string csv = ReadFile(dir / "case.dosup.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
              "Energy(eV),total,Cr s,Cr p,Cr px,Cr py,Cr pz,O\n-13.2203,0,0,0,0,0,0,0\n");
    EXPECT_NE(csv.find("\n13.9639,0.0891338,0.0155448,0.00678318,0.00146097,0.00254765,0.00277474,0.185857\n"),
              std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1001);
    EXPECT_TRUE(std::filesystem::exists(dir / "case.dosdn.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "case.dos.csv"));
}

// A non-polarised case: the spectra of .dos1ev and .dos2ev side by side, a
// file of twelve spectra read whole, a column the files do not fill written
// as 0, and the labels of .int lines with comments or too few words, quoted
// or not; a title with a comma or a quote is a quoted CSV field.
TEST(WienDos, NonPolarisedFilesSideBySide) {
    TempDir dir;
    WriteFile(dir / "case.dos1ev", DosFile(3, 4));
    WriteFile(dir / "case.dos2ev", DosFile(12, 4));
    std::string cases =
        "    0    1   total   comment\n    1    2   \"Co d total\"     # atom, case=column in qtl-header, label\n"
        "    1    3\n    1    4   Cr d-eg # comment\n    1    5   'O p, \"pz\"'#\n";
    for (int k = 6; k <= 16; ++k) cases += "    2    " + std::to_string(k) + "   c" + std::to_string(k) + "\n";
    WriteFile(dir / "case.int", IntFile(cases));
    const std::string log = ActionLog(dir, "case.int");
    EXPECT_NE(log.find("nOrbitals: 16\n  Orb[0]: total\n  Orb[1]: Co d total\n  Orb[3]: Cr\n  Orb[4]: O p, \"pz\"\n"
                       "  Orb[5]: c6\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("  nData     : 4\n  nSpectrum1: 3\n  nSpectrum2: 12\n"
                       "Error in CWIEN::GetDOSnData: Can not read [case.dos3ev].\n  nSpectrum3: 0\n"
                       "  nTotalSpectrum: 15\n\n"
                       "Warning: Data in .int (nOrb=16) is not consistent with .dos (nTot=15).\n\n"
                       "Error in CWIEN::ReadDOSFile: Can not read [case.dos3ev].\n"
                       "Create CSV File for non-polarized DOS: case.dos.csv\n\n" +
                       Skipped("up") + Skipped("dn")),
              std::string::npos)
        << log;
    const std::string csv = ReadFile(dir / "case.dos.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
              "Energy(eV),total,Co d total,,Cr,\"O p, \"\"pz\"\"\",c6,c7,c8,c9,c10,c11,c12,c13,c14,c15,c16\n");
    EXPECT_NE(csv.find("\n1.5,2.11,2.12,2.13,2.11,2.12,2.13,2.14,2.15,2.16,2.17,2.18,2.19,2.2,2.21,2.22,0\n"),
              std::string::npos)
        << csv;
}

// Runs that end early: no spectra, no .int, an .int cut short, a CSV name taken by a directory.
TEST(WienDos, EndsWithOneLine) {
    TempDir dir;
    WriteFile(dir / "case.int", IntFile("    0    1   total\n"));
    WriteFile(dir / "case.dos1evup", "#\n#\n# ENERGY\n\n-1.0 2.0\n");
    WriteFile(dir / "case.dos1evdn", DosFile(1, 2));
    EXPECT_EQ(ActionLog(dir, "case.int"),
              "nOrbitals: 1\n  Orb[0]: total\n" + Skipped("") +
                  ".dos1evup: case.dos1evup\n.dos2evup: case.dos2evup\n.dos3evup: case.dos3evup\n"
                  "  nData     : 0\n  nSpectrum1: 0\n"
                  "Error in CWIEN::GetDOSnData: Can not read [case.dos2evup].\n  nSpectrum2: 0\n"
                  "Error in CWIEN::GetDOSnData: Can not read [case.dos3evup].\n  nSpectrum3: 0\n"
                  "  nTotalSpectrum: 0\n\nError: nTotalSpectrum is zero.\nProgram exited.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "case.dosdn.csv"));

    EXPECT_EQ(ActionLog(dir, "none.int"), "Error in CWIEN::MakeDOSCSVFile: Can not read [none.int].\n");
    WriteFile(dir / "cut.int", "Title\n -0.50 0.002 1.500 0.003\n");
    EXPECT_EQ(ActionLog(dir, "cut.int"),
              "Error in CWIEN::MakeDOSCSVFile: [cut.int] ends before its number of DOS cases.\n");

    std::filesystem::remove(dir / "case.dos1evup");
    std::filesystem::create_directory(dir / "case.dosdn.csv");
    EXPECT_NE(ActionLog(dir, "case.int")
                  .find("Create CSV File for down spin DOS: case.dosdn.csv\n"
                        "Error in CWIEN::CreateDOSCSVFile: Can not write to [case.dosdn.csv].\n\n"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir / "case.dos1evdn"), DosFile(1, 2));
}
