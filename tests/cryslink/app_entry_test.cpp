// End-to-end runs of the built Cryslink: banner, arguments, usage, database
// paths, action selection and exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "program_runner.h"

using namespace testing_support;

namespace {

const std::string kBanner =
    "\n"
    "===================================================\n"
    "      File Converter for MD/ab-initio programs\n"
    "===================================================\n"
    "\n";

const std::string kFinish = "\nCryslink finished.\n\n";

const std::string kValidActions =
    "Valid actions: ConvF09p, UpdateFILE05, AddHistoryCSV, PWScfConvOutput, DVXaF01Conv, VASPConvCONTCAR, "
    "VASPMakeXSF, TranSIESTAConvOutput, CASTEPConvOutput, WIENConvDOS, WIENMakeCIFFromStruct, "
    "GULPMakeCIFFromInput, ShowCIFInf, CalRDF, CalDistance\n";

std::string PathLines(const std::string& dir, char sep) {
    std::string d = dir.empty() ? "" : dir + sep;
    return "NONRELPath:  " + d + "nonrel\n" + "ASFDCPath :  " + d + "asfdc\n" + "AtomDBPath:  " + d + "nonrel\n" +
           "SPGDBPath :  " + d + "spgra\n\n\n";
}

std::string ExecutableDir() { return std::filesystem::path(CRYSLINK_EXE).parent_path().string(); }

}  // namespace

TEST(CryslinkEntry, NoArgumentsPrintsTheUsageWithEveryOption) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {}, "Cryslink");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, kBanner + ReadFile(SourcePath("tests/data/cryslink/app/usage.txt")));
    size_t optionLines = 0;
    for (size_t p = r.output.find("                 --"); p != std::string::npos;
         p = r.output.find("                 --", p + 1))
        ++optionLines;
    EXPECT_EQ(optionLines, 22u);  // the 21 options of the converter and the trajectory format
    EXPECT_NE(r.output.find("\n                 --DBDir=AtomDB_Directory\n"), std::string::npos);
}

// --help and -h anywhere among the arguments print the usage and run nothing.
TEST(CryslinkEntry, HelpPrintsTheUsageWithEveryActionAndStatusZero) {
    TempDir dir;
    const std::string usage = ReadFile(SourcePath("tests/data/cryslink/app/usage.txt"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"--Action=ShowCIFInf", "x.cif", "--help"}, {"--Foo=1", "-h"}}) {
        RunResult r = RunCryslinkIn(dir.path(), args, "Cryslink");
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.output, kBanner + usage) << args[0];
    }
    const size_t hint = usage.find("--Action=[");
    ASSERT_NE(hint, std::string::npos);
    const std::string actions = usage.substr(hint, usage.find('\n', hint) - hint);
    EXPECT_EQ(std::count(actions.begin(), actions.end(), '|'), 14) << actions;  // 15 actions
}

// The trajectory format is checked before any action runs; its letter case does not count.
TEST(CryslinkEntry, UnknownTrajectoryFormatRunsNothing) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--Action=ShowCIFInf", "--TrajectoryFormat=pdb", "x.cif"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("\n\n\nError: Invalid TrajectoryFormat: [pdb]\n\nValid trajectory formats: xsf, extxyz\n" +
                            kFinish),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("Show CIF Information."), std::string::npos);
    r = RunCryslinkIn(dir.path(), {"--Action=ShowCIFInf", "--TrajectoryFormat=EXTXYZ", "x.cif"});
    EXPECT_NE(r.output.find("Show CIF Information.\nCIF File: x.cif\n"), std::string::npos) << r.output;
}

TEST(CryslinkEntry, UsageNamesTheProgramAsStarted) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {}, "/opt/tools/cryslink-1.0");
    EXPECT_NE(r.output.find("   Usage: /opt/tools/cryslink-1.0 [Options] infile [outfile]\n"), std::string::npos);
}

TEST(CryslinkEntry, InvalidArgumentIsAnnouncedStoredAndEndsWithStatus255) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--Foo=1", "x.cif", "-x", "--Action=ShowCIFInf"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, kBanner +
                            "arg: --Foo=1\nInvalid argument: --Foo=1\nAdd File [--Foo=1].\n"
                            "arg: x.cif\nAdd File [x.cif].\n"
                            "arg: -x\nInvalid argument: -x\nAdd File [-x].\n"
                            "arg: --Action=ShowCIFInf\n");
}

TEST(CryslinkEntry, UnknownOrMissingActionFinishesWithStatusZero) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--DBDir=/opt/db", "--Action=Frobnicate"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, kBanner + "arg: --DBDir=/opt/db\narg: --Action=Frobnicate\n" + PathLines("/opt/db", '/') +
                            "\nError: Invalid Action: [Frobnicate]\n\n" + kValidActions + kFinish);

    r = RunCryslinkIn(dir.path(), {"--DBDir=D:\\db\\", "a.cif"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, kBanner + "arg: --DBDir=D:\\db\\\narg: a.cif\nAdd File [a.cif].\n" +
                            "NONRELPath:  D:\\db\\nonrel\nASFDCPath :  D:\\db\\asfdc\nAtomDBPath:  D:\\db\\nonrel\n"
                            "SPGDBPath :  D:\\db\\spgra\n\n\n" +
                            "\nError: Invalid Action: []\n\n" + kValidActions + kFinish);
}

TEST(CryslinkEntry, WithoutDBDirTheDatabasesLieBesideTheRunningExecutable) {
    TempDir dir;
    // Started through PATH, argv[0] has no directory; the executable's own directory still counts.
    RunResult r = RunCryslinkIn(dir.path(), {"--Action=none"}, "Cryslink");
    EXPECT_NE(r.output.find(PathLines(ExecutableDir(), '/')), std::string::npos) << r.output;
    // The shipped databases are copied there by the build.
    for (const char* db : {"nonrel", "asfdc", "spgra"}) {
        if (std::filesystem::exists(SourcePath(std::string("data/") + db))) {
            EXPECT_TRUE(std::filesystem::exists(ExecutableDir() + "/" + db)) << db;
        }
    }
}

TEST(CryslinkEntry, ActionNamesAndOptionNamesIgnoreCase) {
    TempDir dir;
    RunResult r = RunCryslinkIn(dir.path(), {"--ACTION=updatefile05", "--SN=2", "missing.f05"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("Update Input .f05 file with sn=2.\nUpdate [missing.f05] to [missing-002.f05].\n"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Can not read missing.f05.\n" + kFinish), std::string::npos);
}
