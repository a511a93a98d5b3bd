// AddHistoryCSV on the printed log fixture (tests/data/cryslink/md/run2.f06):
// 30 steps in three sections, the second printed twice, and six cell blocks
// every five steps, the one of step 15 without its " PV=" line.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "md/history_csv.h"
#include "program_runner.h"

using namespace testing_support;

TEST(HistoryNames, StepAndCellTables) {
    const std::array<const char*, 4> cases[] = {
        // log, second argument, step table, cell table
        {"run2.f06", "", "run2-History.csv", "run2-History2.csv"},
        {"run2.f06", "total-History.csv", "total-History.csv", "total-History2.csv"},
        {"a.b.f06", "", "a.b-History.csv", "a.b-History2.csv"},
        {"logs.v2/run", "", "logs.v2/run-History.csv", "logs.v2/run-History2.csv"},
        {"x.f06", "old-History/t.csv", "old-History/t.csv", "old-History/t-History2.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MakeHistoryName(c[0], c[1]), c[2]);
        EXPECT_EQ(MakeHistory2Name(c[2]), c[3]);
    }
}

namespace {

const char* const kStepHeader =
    "sn,time(fs),Temp(K),P(GPa),Pxx,Pyy,Pzz,Pxy,Pxz,Pyz,U:Coulomb(J/mol),Short,3-body,Kinet.,Total,Density(cm-3)\n";
const char* const kCellHeader =
    "sn,time(fs),Temp(K),a(A),b(A),c(A),alpha,beta,gamma,U,E,K,PV,H,m.s.d.(Si),m.s.d.(O ),m.s.d.(Ti)\n";

RunResult AddHistory(const TempDir& dir, const std::string& interval, const std::string& table = "") {
    WriteFile(dir / "run2.f06", ReadFile(SourcePath("tests/data/cryslink/md/run2.f06")));
    std::vector<std::string> args = {"--Action=AddHistoryCSV", "--nOutputInterval=" + interval, "run2.f06"};
    if (!table.empty()) args.push_back(table);
    return RunCryslinkIn(dir.path(), args);
}

// The first column of every row after the header.
std::vector<int> Steps(const std::string& table) {
    std::vector<int> steps;
    for (size_t at = table.find('\n'); at != std::string::npos && at + 1 < table.size(); at = table.find('\n', at + 1))
        steps.push_back(std::atoi(table.c_str() + at + 1));
    return steps;
}

}  // namespace

TEST(AddHistoryCSV, RowsFollowTheInterval) {
    struct Case {
        const char* interval;
        std::vector<int> steps, cells;
    };
    const Case cases[] = {
        {"1",
         {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30},
         {5, 10, 20, 25, 30}},
        {"0",
         {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30},
         {5, 10, 20, 25, 30}},
        // The repeated section is written once; the block of step 15 counts but is not written.
        {"5", {1, 6, 11, 16, 21, 26}, {5, 30}},
        {"-5", {1, 6, 11, 16, 21, 26}, {5, 30}},
        {"2", {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29}, {5, 25}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        RunResult r = AddHistory(dir, c.interval);
        const std::string steps = ReadFile(dir / "run2-History.csv"), cells = ReadFile(dir / "run2-History2.csv");
        EXPECT_EQ(steps.substr(0, steps.find('\n') + 1), kStepHeader);
        EXPECT_EQ(cells.substr(0, cells.find('\n') + 1), kCellHeader);
        EXPECT_EQ(Steps(steps), c.steps) << c.interval;
        EXPECT_EQ(Steps(cells), c.cells) << c.interval;
        EXPECT_NE(r.output.find("Cell block of step 15 has no [ PV=]: skipped.\n"), std::string::npos) << r.output;
    }
}

TEST(AddHistoryCSV, PrintsTheTraceAndWritesTheFields) {
    TempDir dir;
    RunResult r = AddHistory(dir, "5");
    const std::string expected =
        "Make History CSV File from Input .f06 file.\n"
        "Input .f06 File  : run2.f06\nHistory CSV  File: run2-History.csv\nHistory2 CSV File: run2-History2.csv\n"
        "nOutputInterval: 5\nTimeStep: 2 fs\nnStep: 30\n PosTemp=6\n"
        " sn=1  T=300.5  P=0.101000  K=45.688000  Total=-12523.214000  d= 4.200\n";
    EXPECT_NE(r.output.find(expected), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(" sn=30  T=315  P=0.130000  K=45.978000  Total=-12552.214000  d= 4.203\n"
                            "Add to run2-History2.csv\n"
                            " T=302.5\n  Latti: 4.1777 4.1777 2.6651   90 90 90\n"
                            "  U=-12585.2 E=-12539.6 K=45.678 H=-12539.5 PV=0.1\n"
                            " Name=Si(0.005)   O (0.0075)\n Ti(0)\n T=305\n"),
              std::string::npos)
        << r.output;
    const std::string steps = ReadFile(dir / "run2-History.csv");
    EXPECT_NE(steps.find("\n6,12,303,0.106,0.106,0.11,0.09,0.001,-0.002,0.003,-12351.7,-234.567,12.345,45.738,"
                         "-12528.2,4.2006\n"),
              std::string::npos)
        << steps;
    EXPECT_EQ(ReadFile(dir / "run2-History2.csv"),
              std::string(kCellHeader) +
                  "5,10,302.5,4.1777,4.1777,2.6651,90,90,90,-12585.2,-12539.6,45.678,0.1,-12539.5,0.005,0.0075,0\n"
                  "30,60,315,4.1802,4.1802,2.6651,90,90,90,-12610.2,-12564.6,45.678,0.1,-12564.5,0.03,0.045,0\n");
}

TEST(AddHistoryCSV, ContinuesExistingTablesWithoutHeaders) {
    TempDir dir;
    WriteFile(dir / "total-History.csv", std::string(kStepHeader) + "1200,2400,300\n\n");
    WriteFile(dir / "total-History2.csv", std::string(kCellHeader) + "1000,2000.5,300\n");
    RunResult r = AddHistory(dir, "1", "total-History.csv");
    EXPECT_NE(r.output.find("StepOffset: 1200\nTimeOffset: 2400 fs\n"), std::string::npos) << r.output;
    const std::string steps = ReadFile(dir / "total-History.csv"), cells = ReadFile(dir / "total-History2.csv");
    EXPECT_EQ(steps.find("sn,", 1), std::string::npos);
    EXPECT_EQ(cells.find("sn,", 1), std::string::npos);
    EXPECT_NE(steps.find("\n1210,2420,305,"), std::string::npos) << steps;
    EXPECT_NE(cells.find("\n1005,2010.5,302.5,"), std::string::npos) << cells;
    EXPECT_NE(cells.find("\n1030,2060.5,315,"), std::string::npos) << cells;
}

TEST(AddHistoryCSV, UnreadableLogAndUnwritableTables) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--Action=AddHistoryCSV", "absent.f06"});
    EXPECT_NE(r.output.find("Error: Can not read [absent.f06].\n\nCryslink finished."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "absent-History.csv"));

    std::filesystem::create_directory(dir / "run2-History2.csv");
    r = AddHistory(dir, "5");
    EXPECT_NE(r.output.find("Add to run2-History2.csv\nError: Can not add to [run2-History2.csv].\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(Steps(ReadFile(dir / "run2-History.csv")), (std::vector<int>{1, 6, 11, 16, 21, 26}));
}
