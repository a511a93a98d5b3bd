#include <gtest/gtest.h>

#include <filesystem>
#include <type_traits>

#include "app/command_line.h"
#include "app/options.h"
#include "core/paths.h"
#include "program_runner.h"

static_assert(!std::is_polymorphic_v<CCommandLine>, "nothing derives from the command line");

TEST(CommandLine, OptionsAreFoundWithoutRegardToCaseAndFirstDuplicateWins) {
    CCommandLine cl;
    EXPECT_EQ(cl.AddOption("nMesh", "201", "[>1]"), 0);
    EXPECT_EQ(cl.AddOption("Action", "", "[list]"), 1);
    EXPECT_EQ(cl.AddOption("NMESH", "7", ""), 2);
    EXPECT_EQ(cl.GetValue("nmesh"), "201");
    EXPECT_EQ(cl.GetValue("NoSuchOption"), "");
    EXPECT_EQ(cl.GetName(1), "Action");
    EXPECT_EQ(cl.GetHint(0), "[>1]");
    EXPECT_EQ(cl.GetName(3), "");
    EXPECT_EQ(cl.GetHint(-1), "");
}

TEST(CommandLine, FullTableRefusesFurtherOptionsWithNegatedCount) {
    CCommandLine cl(2);
    cl.AddOption("a", "", "");
    cl.AddOption("b", "", "");
    EXPECT_EQ(cl.AddOption("c", "", ""), -2);
    EXPECT_EQ(cl.OptionCount(), 2);
    EXPECT_EQ(cl.GetValue("c"), "");
}

TEST(CommandLine, ArgumentsSetValuesAfterTheFirstEqualsSign) {
    CCommandLine cl;
    cl.AddOption("MaximumDistance", "5.0", "");
    cl.AddOption("nMesh", "201", "");
    cl.AddOption("Action", "", "");
    EXPECT_TRUE(cl.SetFromArgument("--MaximumDistance=3"));
    EXPECT_TRUE(cl.SetFromArgument("--maximumdistance=4"));
    EXPECT_EQ(cl.GetValue("MaximumDistance"), "4");
    EXPECT_TRUE(cl.SetFromArgument("--nMesh="));
    EXPECT_EQ(cl.GetValue("nMesh"), "");
    EXPECT_TRUE(cl.SetFromArgument("--ACTION=a=b"));
    EXPECT_EQ(cl.GetValue("Action"), "a=b");
    // The "=" belongs to the match: a bare option name or an unknown one is no option.
    EXPECT_FALSE(cl.SetFromArgument("--nMesh"));
    EXPECT_FALSE(cl.SetFromArgument("--Foo=1"));
    EXPECT_FALSE(cl.SetFromArgument("-nMesh=3"));
    EXPECT_FALSE(cl.SetFromArgument("x.cif"));
}

// The options reach the actions as typed values read like atoi and atof; the
// defaults of the registered options are the run's defaults.
TEST(CommandLine, OptionsAreReadOnceIntoTypedValues) {
    CCommandLine cl;
    RegisterOptions(cl);
    const RunOptions defaults = ReadRunOptions(cl), built;
    EXPECT_EQ(defaults.nMesh, built.nMesh);
    EXPECT_EQ(defaults.MaximumDistance, built.MaximumDistance);
    EXPECT_EQ(defaults.MinimumDistance, built.MinimumDistance);
    EXPECT_EQ(defaults.NextTemperature, built.NextTemperature);
    EXPECT_EQ(defaults.ControlStep, built.ControlStep);
    EXPECT_EQ(defaults.Madelung, built.Madelung);
    EXPECT_EQ(defaults.Spin, built.Spin);
    EXPECT_EQ(defaults.CalcRDF, built.CalcRDF);
    for (const char* argument : {"--nMesh=", "--MaximumDistance=3.5abc", "--sn=-2", "--Spin=N", "--nLastStep=x7",
                                 "--NextPressure=1e3", "--CALCRDF=1"})
        ASSERT_TRUE(cl.SetFromArgument(argument)) << argument;
    const RunOptions read = ReadRunOptions(cl);
    EXPECT_EQ(read.nMesh, 0);
    EXPECT_DOUBLE_EQ(read.MaximumDistance, 3.5);
    EXPECT_EQ(read.sn, -2);
    EXPECT_EQ(read.Spin, "N");
    EXPECT_EQ(read.nLastStep, 0);
    EXPECT_DOUBLE_EQ(read.NextPressure, 1000);
    EXPECT_EQ(read.CalcRDF, 1);
}

TEST(CommandLine, FileListHoldsCapacityEntries) {
    CCommandLine cl(2);
    EXPECT_TRUE(cl.AddFile("a"));
    EXPECT_TRUE(cl.AddFile("b"));
    EXPECT_FALSE(cl.AddFile("c"));
    EXPECT_EQ(cl.GetFile(1), "b");
    EXPECT_EQ(cl.GetFile(2), "");
}

TEST(Paths, JoinKeepsTheSeparatorStyleOfTheDirectory) {
    EXPECT_EQ(JoinPath("", "nonrel"), "nonrel");
    EXPECT_EQ(JoinPath("D:\\db\\", "nonrel"), "D:\\db\\nonrel");
    EXPECT_EQ(JoinPath("D:\\tools", "nonrel"), "D:\\tools\\nonrel");
    EXPECT_EQ(JoinPath("/opt/db", "nonrel"), "/opt/db/nonrel");
    EXPECT_EQ(JoinPath("/opt/db/", "nonrel"), "/opt/db/nonrel");
    EXPECT_EQ(JoinPath("db", "nonrel"), "db/nonrel");
    EXPECT_EQ(JoinPath("C:\\x/y", "n"), "C:\\x/y/n");
    EXPECT_EQ(JoinPath("C:/x\\y", "n"), "C:/x\\y\\n");
}

TEST(Paths, SplitFindsDriveDirectoryBaseAndExtension) {
    PathParts p = SplitPath("C:\\run\\sub/a.b.glp");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.directory, "\\run\\sub/");
    EXPECT_EQ(p.base, "a.b");
    EXPECT_EQ(p.extension, ".glp");
    p = SplitPath("dir.v2/run");
    EXPECT_EQ(p.directory, "dir.v2/");
    EXPECT_EQ(p.base, "run");
    EXPECT_EQ(p.extension, "");
}

TEST(Paths, ChangeFileExtensionOnBothSeparatorStyles) {
    std::string a = "run\\a.glp";
    EXPECT_EQ(ChangeFileExtension(a, "cif"), "run\\a.cif");
    std::string b = "run\\a.glp";
    EXPECT_EQ(ChangeFileExtension(b, ".cif"), "run\\a.cif");
    std::string c = "a";
    EXPECT_EQ(ChangeFileExtension(c, "cif"), "a.cif");
    std::string d = "/home/u/run.v1/POSCAR";
    EXPECT_EQ(ChangeFileExtension(d, "xsf"), "/home/u/run.v1/POSCAR.xsf");
    std::string e = "./x.in";
    EXPECT_EQ(ChangeFileExtension(e, "out"), "./x.out");
}

TEST(Paths, RemoveWhitespaceDeletesBlanksTabsAndLineEnds) {
    std::string s = " P 21/c\t\r\n";
    EXPECT_EQ(RemoveWhitespace(s), "P21/c");
    std::string empty;
    EXPECT_EQ(RemoveWhitespace(empty), "");
}

TEST(Paths, DirectoryOfAPath) {
    EXPECT_EQ(DirectoryWithoutSeparator("D:\\tools\\prog.exe"), "D:\\tools");
    EXPECT_EQ(DirectoryWithoutSeparator("/usr/bin/Cryslink"), "/usr/bin");
    EXPECT_EQ(DirectoryWithoutSeparator("prog"), "");
    EXPECT_FALSE(ExecutableDirectory("prog").empty());
}

// Names written with "\" reach the file they mean on Linux; a name that exists
// as written, or means nothing either way, stays as it is.
TEST(Paths, BackslashNamesAreReadWithSlashesWhenOnlyThatNamesAFile) {
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir / "w5");
    testing_support::WriteFile(dir / "w5/rutile.cif", "x");
    testing_support::WriteFile(dir / "a\\b.cif", "literal name");
    const std::string d = dir.path();
    const std::pair<std::string, std::string> cases[] = {
        {d + "\\w5\\rutile.cif", d + "/w5/rutile.cif"},  // an input
        {d + "\\w5\\list.txt", d + "/w5/list.txt"},      // an output in an existing directory
        {d + "/a\\b.cif", d + "/a\\b.cif"},              // a file of that very name
        {d + "\\nowhere\\x.cif", d + "\\nowhere\\x.cif"},
        {"rutile.cif", "rutile.cif"},
        {"", ""},
    };
    for (const auto& [given, used] : cases) EXPECT_EQ(ResolveBackslashPath(given), used) << given;
}
