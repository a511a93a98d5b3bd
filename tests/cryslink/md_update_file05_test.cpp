// UpdateFILE05: the next run's control file name and the fixed-column rewrites.
#include <gtest/gtest.h>

#include <filesystem>

#include "md/update_file05.h"
#include "program_runner.h"

using namespace testing_support;

TEST(UpdateFILE05Name, SequenceNumberReplacesAThreeCharacterDigitSuffix) {
    EXPECT_EQ(MakeNextFILE05Name("run-003.f05", 4), "run-004.f05");
    EXPECT_EQ(MakeNextFILE05Name("run-003.f05", 0), "run.f05.new");
    EXPECT_EQ(MakeNextFILE05Name("run-003.f05", -1), "run.f05.new");
    EXPECT_EQ(MakeNextFILE05Name("run.f05", 12), "run-012.f05");
    EXPECT_EQ(MakeNextFILE05Name("run.f05", 1234), "run-1234.f05");
    EXPECT_EQ(MakeNextFILE05Name("run-ab1.f05", 2), "run-ab1-002.f05");
    EXPECT_EQ(MakeNextFILE05Name("run-1ab.f05", 2), "run-002.f05");
    EXPECT_EQ(MakeNextFILE05Name("run-0001.f05", 2), "run-0001-002.f05");
    EXPECT_EQ(MakeNextFILE05Name("run", 5), "run-005");
    EXPECT_EQ(MakeNextFILE05Name("run", 0), "run.new");
    // Only the file name carries an extension, not the directory.
    EXPECT_EQ(MakeNextFILE05Name("runs.v2/quartz", 3), "runs.v2/quartz-003");
    EXPECT_EQ(MakeNextFILE05Name("C:\\runs.v2\\q-001.f05", 2), "C:\\runs.v2\\q-002.f05");
    // A suffix is never taken out of the directory part.
    EXPECT_EQ(MakeNextFILE05Name("d-123/x", 1), "d-123/x-001");
}

namespace {

const std::string kExample = "examples/cryslink/quartz-003.f05";

RunResult Update(const TempDir& dir, const std::string& input, std::vector<std::string> options) {
    options.insert(options.begin(), "--Action=UpdateFILE05");
    options.push_back(input);
    return RunCryslinkIn(dir.path(), options);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

TEST(UpdateFILE05Run, RewritesCycleTemperatureAndPressureLines) {
    TempDir dir;
    const std::string original = ReadFile(SourcePath(kExample));
    WriteFile(dir / "quartz-003.f05", original);
    RunResult r = Update(dir, "quartz-003.f05",
                         {"--sn=4", "--nCycle=2000", "--NextTemperature=500", "--TemperatureRate=2.5",
                          "--ControlStep=10", "--NextPressure=1.5"});
    EXPECT_EQ(r.status, 0);
    const std::string expectedLog =
        "Update Input .f05 file with sn=4.\n"
        "Update [quartz-003.f05] to [quartz-004.f05].\n"
        "nCycle: 2000\n"
        "NextTempeature: 500 K\n"
        "TempeatureRate: 2.5 K / 10 step\n"
        "NextPressure  : 1.5 GPa\n"
        "Sequential N  : 4\n"
        "\n"
        "\nCryslink finished.\n\n";
    EXPECT_NE(r.output.find(expectedLog), std::string::npos) << r.output;
    EXPECT_EQ(ReadFile(dir / "quartz-004.f05"), ReadFile(SourcePath("tests/data/cryslink/md/quartz-004.expected.f05")));
    EXPECT_EQ(ReadFile(dir / "quartz-003.f05"), original);
}

TEST(UpdateFILE05Run, DefaultsOnlySetTheControlStepAndNormaliseLineThree) {
    TempDir dir;
    WriteFile(dir / "a.f05",
              "title\nline2\nCYCLE 5000 100. 7.9 -3 12 99\nline4\nTEMP.     300 0.5 4 extra\nPRESS.   0.1 0.1 0.1\ntail\n");
    RunResult r = Update(dir, "a.f05", {});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("Update [a.f05] to [a.f05.new].\nnCycle: 0\nNextTempeature: -1e+50 K\n"
                            "TempeatureRate: -1e+50 K / 1 step\nNextPressure  : -1e+50 GPa\nSequential N  : 0\n"),
              std::string::npos)
        << r.output;
    std::vector<std::string> out = Lines(ReadFile(dir / "a.f05.new"));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[2], "CYCLE        05000.    00100.        7.      -3.       12.            :");
    EXPECT_EQ(out[4], "TEMP.        300.00     0.50        1.                                :");
    EXPECT_EQ(out[5], "PRESS.   0.1 0.1 0.1");
    EXPECT_EQ(out[6], "tail");
}

TEST(UpdateFILE05Run, TemperatureAboveMinus1000IsAppliedBelowIsNot) {
    TempDir dir;
    WriteFile(dir / "t.f05", "1\n2\nC 1\n4\nTEMP.     300 0 1\n6\n");
    Update(dir, "t.f05", {"--NextTemperature=-500", "--sn=1"});
    EXPECT_EQ(Lines(ReadFile(dir / "t-001.f05"))[4],
              "TEMP.       -500.00     0.00        1.                                :");
    Update(dir, "t.f05", {"--NextTemperature=-2000", "--ControlStep=0", "--sn=2"});
    EXPECT_EQ(Lines(ReadFile(dir / "t-002.f05"))[4],
              "TEMP.        300.00     0.00        1.                                :");
}

TEST(UpdateFILE05Run, MissingLinesAndNumbersAreWrittenAsZero) {
    TempDir dir;
    WriteFile(dir / "s.f05", "1\n2\nCYCLE\n4\nTEMP.\n");
    RunResult r = Update(dir, "s.f05", {"--NextPressure=2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadFile(dir / "s.f05.new"),
              "1\n2\nCYCLE        00000.    00000.        0.       0.        0.            :\n4\n"
              "    TEMP.     0.00     0.00        1.                                :\n");
    WriteFile(dir / "e.f05", "");
    r = Update(dir, "e.f05", {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadFile(dir / "e.f05.new"), "");
}

TEST(UpdateFILE05Run, CrlfLinesKeepTheirLineEnds) {
    TempDir dir;
    WriteFile(dir / "w.f05", "t\r\n2\r\nCYCLE 10\r\n4\r\nTEMP.     1 2 3\r\nP        1 1 1\r\nlast");
    Update(dir, "w.f05", {"--NextPressure=1.5"});
    EXPECT_EQ(ReadFile(dir / "w.f05.new"),
              "t\r\n2\r\nCYCLE        00010.    00000.        0.       0.        0.            :\r\n4\r\n"
              "TEMP.          1.00     2.00        1.                                :\r\n"
              "P            1.5000    1.5000    1.5000                               :\r\nlast");
}

TEST(UpdateFILE05Run, RefusesToOverwriteItsOwnInput) {
    TempDir dir;
    const std::string original = ReadFile(SourcePath(kExample));
    WriteFile(dir / "run-004.f05", original);
    RunResult r = Update(dir, "run-004.f05", {"--sn=4", "--nCycle=10"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("Sequential N  : 4\nCan not write to run-004.f05.\n\nCryslink finished."),
              std::string::npos)
        << r.output;
    EXPECT_EQ(ReadFile(dir / "run-004.f05"), original);
}

TEST(UpdateFILE05Run, UnreadableInputAndUnwritableTargetAreReported) {
    TempDir dir;
    RunResult r = Update(dir, "absent.f05", {});
    EXPECT_NE(r.output.find("Can not read absent.f05.\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.f05.new"));

    std::filesystem::create_directory(dir / "adir.f05");
    r = Update(dir, "adir.f05", {"--sn=3"});
    EXPECT_NE(r.output.find("Can not read adir.f05.\n"), std::string::npos);

    WriteFile(dir / "b.f05", "1\n2\n");
    std::filesystem::create_directory(dir / "b-001.f05");
    r = Update(dir, "b.f05", {"--sn=1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("Can not write to b-001.f05.\n"), std::string::npos) << r.output;
}
