// DV-Xa F01 conversion: the spin and Madelung lines, the title line, the backup.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "abinitio/dvxa.h"
#include "program_runner.h"

using namespace testing_support;

namespace {

const std::string kBody =
    "    0     Spin polarization\n"
    "  1.0  2.0  3.0\n"
    "    0     M.P. of the cluster\n"
    "    0     Spin and M.P. on one line\n"
    "last line\n";

RunResult Convert(const TempDir& dir, std::vector<std::string> options) {
    options.insert(options.begin(), "--Action=DVXaF01Conv");
    options.push_back("F01");
    return RunCryslinkIn(dir.path(), options);
}

long FileCount(const TempDir& dir) { return std::distance(std::filesystem::directory_iterator(dir.path()), {}); }

}  // namespace

TEST(DVXaF01, RewritesSpinAndMadelungLinesAndMovesTheTitle) {
    struct Case {
        std::string first;
        std::vector<std::string> options;
        std::string expected;
    } cases[] = {
        {"DV-Xa cluster\n",
         {},
         "    1     Spin polarization\n  1.0  2.0  3.0\n    1     M.P. of the cluster\n"
         "    1     Spin and M.P. on one line\nlast line\n\n\nDV-Xa cluster\n"},
        {"| kept first\n",
         {"--Spin=n", "--Madelung=0"},
         "| kept first\n    0     Spin polarization\n  1.0  2.0  3.0\n    0     M.P. of the cluster\n"
         "    0     Spin and M.P. on one line\nlast line\n"},
        {"t\n",
         {"--Spin=N", "--Madelung=12345"},
         "    0     Spin polarization\n  1.0  2.0  3.0\n12345     M.P. of the cluster\n"
         "    0     Spin and M.P. on one line\nlast line\n\n\nt\n"},
        {"t\n",
         {"--Spin=x"},
         "    1     Spin polarization\n  1.0  2.0  3.0\n    1     M.P. of the cluster\n"
         "    1     Spin and M.P. on one line\nlast line\n\n\nt\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        TempDir dir;
        WriteFile(dir / "F01", c.first + kBody);
        const RunResult r = Convert(dir, c.options);
        EXPECT_EQ(ReadFile(dir / "F01"), c.expected) << r.output;
        EXPECT_EQ(ReadFile(dir / "F01.prev"), c.first + kBody);
        EXPECT_EQ(FileCount(dir), 2);  // F01 and F01.prev, no file left from writing
    }
}

// A second run keeps the values and moves the new first line to the end too;
// its backup is F01.prev2, so F01.prev still holds the original.
TEST(DVXaF01, TwoRunsInARow) {
    TempDir dir;
    WriteFile(dir / "F01", "title\n" + kBody);
    Convert(dir, {"--Spin=n"});
    const std::string once = ReadFile(dir / "F01");
    const RunResult r = Convert(dir, {"--Spin=n"});
    EXPECT_EQ(ReadFile(dir / "F01.prev"), "title\n" + kBody);
    EXPECT_EQ(ReadFile(dir / "F01.prev2"), once);
    EXPECT_EQ(ReadFile(dir / "F01"),
              "  1.0  2.0  3.0\n    1     M.P. of the cluster\n    0     Spin and M.P. on one line\nlast line\n\n\n"
              "title\n\n\n    0     Spin polarization\n");
    EXPECT_NE(Convert(dir, {}).output.find("Backup file [F01.prev3] is created.\n"), std::string::npos);
    EXPECT_NE(r.output.find("Convert F01 file.\nInput file to be converted: [F01]\nBackup file [F01.prev2] is created.\n"
                            "Spin: n\nMadelung: 1\nF:     0     Spin polarization\nb:     1     M.P. of the cluster\n"
                            "b:     0     Spin and M.P. on one line\n\nCryslink finished."),
              std::string::npos)
        << r.output;
}

// No backup, no change: a missing F01, an F01 that is a directory. A backup
// name taken by anything, a directory too, passes to the next one.
TEST(DVXaF01, BackupFailureLeavesF01Alone) {
    TempDir dir;
    RunResult r = Convert(dir, {});
    EXPECT_NE(r.output.find("Creation of backup file [F01.prev] was failed.\n"), std::string::npos);
    EXPECT_EQ(FileCount(dir), 0);
    std::filesystem::create_directory(dir / "F01");
    r = Convert(dir, {});
    EXPECT_NE(r.output.find("Error: [F01] is no regular file; it is not converted and no backup is made.\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(FileCount(dir), 1);
    std::filesystem::remove(dir / "F01");
    WriteFile(dir / "F01", "title\n" + kBody);
    std::filesystem::create_directory(dir / "F01.prev");
    r = Convert(dir, {});
    EXPECT_NE(r.output.find("Backup file [F01.prev2] is created.\n"), std::string::npos) << r.output;
    EXPECT_EQ(ReadFile(dir / "F01.prev2"), "title\n" + kBody);

    EXPECT_TRUE(CopyFileBytes(dir / "F01", dir / "F01"));
    EXPECT_FALSE(CopyFileBytes(dir / "none", dir / "copy"));
    EXPECT_FALSE(CopyFileBytes(dir / "F01", dir / "F01.prev2"));  // never over an existing file
    EXPECT_EQ(ReadFile(dir / "F01.prev2"), "title\n" + kBody);
    EXPECT_FALSE(std::filesystem::exists(dir / "copy"));
}
