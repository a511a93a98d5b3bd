// Whole runs of the built program on the MgO example and its variations.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "latfit_test_support.h"

namespace {

using latfit_test::readFile;
using latfit_test::runLatfitIn;
using latfit_test::TempDir;
using latfit_test::writeFile;

const std::string kExample = SOURCE_DIR "/examples/latfit/mgo/";
const std::string kExpected = SOURCE_DIR "/tests/data/latfit/mgo/";
const std::string kLibrary = SOURCE_DIR "/data/latfit/spacegroups.dat";
const std::string kEndBlock = " \n ***************\n   PROGRAM END\n ***************\n";

// The MgO example copied into a scratch directory, optionally edited.
class MgoRun : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"control.txt", "mgo.str", "mgo.atm"})
      std::filesystem::copy_file(kExample + name, dir / name);
    std::filesystem::copy_file(kLibrary, dir / "symmetry.dat");
  }
  void edit(const std::string& name, const std::string& from, const std::string& to) {
    std::string text = readFile(dir / name);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    writeFile(dir / name, text.replace(at, from.size(), to));
  }
  latfit_test::RunResult run() { return runLatfitIn(dir.path(), readFile(dir / "control.txt")); }
  bool exists(const std::string& name) { return std::filesystem::exists(dir / name); }
  TempDir dir;
};

TEST_F(MgoRun, DemoOutputMatchesTheCheckedFiles) {
  const auto result = run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, readFile(kExpected + "stdout.expected"));
  for (const char* name : {"mgo.cry", "mgo.crd", "mgo.dis"})
    EXPECT_EQ(readFile(dir / name), readFile(kExpected + name + ".expected")) << name;
}

TEST_F(MgoRun, CrlfInputsGiveTheSameRun) {
  for (const char* name : {"control.txt", "mgo.str", "mgo.atm", "symmetry.dat"})
    writeFile(dir / name, std::regex_replace(readFile(dir / name), std::regex("\n"), "\r\n"));
  const auto result = run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, readFile(kExpected + "stdout.expected"));
  EXPECT_EQ(readFile(dir / "mgo.dis"), readFile(kExpected + "mgo.dis.expected"));
}

TEST_F(MgoRun, NegativeEwaldParameterSkipsDistancesAndFit) {
  edit("mgo.str", " 0.35 0.5", " -0.35 0.5");
  const auto result = run();
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find(" EWALD PARAMETER >> -0.350000\n"), std::string::npos);
  EXPECT_NE(result.output.find(" ALPHA=  0.350000E+00\n"), std::string::npos);
  EXPECT_TRUE(result.output.ends_with(kEndBlock));
  EXPECT_EQ(readFile(dir / "mgo.dis"), "");   // opened, but no table
  EXPECT_EQ(readFile(dir / "mgo.crd"), readFile(kExpected + "mgo.crd.expected"));
}

TEST_F(MgoRun, CrystalFlagTwoWritesTheMetricWithoutDensity) {
  edit("mgo.str", " 1 3.0 1", " 1 3.0 2");
  EXPECT_EQ(run().status, 0);
  const std::string expected = readFile(kExpected + "mgo.cry.expected");
  EXPECT_EQ(readFile(dir / "mgo.cry"), expected.substr(0, expected.find(" \n Xray Density=")));
}

TEST_F(MgoRun, OutputFlagsOffCreateNoOptionalFiles) {
  edit("mgo.str", " 1 3.0 1", " 0 3.0 0");
  const auto result = run();
  EXPECT_EQ(result.status, 0);
  EXPECT_FALSE(exists("mgo.cry"));
  EXPECT_FALSE(exists("mgo.dis"));
  EXPECT_TRUE(exists("mgo.crd"));
  EXPECT_TRUE(result.output.ends_with(kEndBlock));
}

TEST_F(MgoRun, MissingFileStopsRightAfterItsEcho) {
  edit("control.txt", "mgo.atm", "nothere.atm");
  const auto result = run();
  EXPECT_NE(result.status, 0);
  EXPECT_TRUE(result.output.ends_with(" SYMMETRY   DATA >>symmetry.dat                  \n"
                                      " ATOMIC     DATA >>nothere.atm                   \n"
                                      " FILE OPEN ERR\n"));
}

TEST_F(MgoRun, NamesAreCutAtColumnTwenty) {
  edit("control.txt", "mgo.str", "mgo.str             this is ignored");
  const auto result = run();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, readFile(kExpected + "stdout.expected"));
}

TEST_F(MgoRun, UnknownSymbolStopsAfterItsMessage) {
  edit("mgo.str", "Fm-3m", "Fm-3x");
  const auto result = run();
  EXPECT_NE(result.status, 0);
  EXPECT_TRUE(result.output.ends_with(
      " <<SYMMETRY DATA>>\n Fm-3x     \n **ERROR  Can not found space group Fm-3x     .\n"));
}

TEST_F(MgoRun, MalformedNumberStopsWithOneLine) {
  edit("mgo.atm", "24.305", "24,305x");
  const auto result = run();
  EXPECT_NE(result.status, 0);
  EXPECT_TRUE(result.output.ends_with(
      " ***ERROR  mgo.atm, record 3 (kind 1), line 3: cannot read an integer from \"305x\"\n"));
}

TEST_F(MgoRun, ShortControlInputStops) {
  const auto result = runLatfitIn(dir.path(), "comment\nsymmetry.dat\n");
  EXPECT_NE(result.status, 0);
  EXPECT_TRUE(result.output.ends_with(" ***ERROR  standard input, record 3: end of file\n"));
}

TEST_F(MgoRun, FailedCloseReplacesTheEndBlock) {
  edit("control.txt", "mgo.crd", "/dev/full");
  const auto result = run();
  EXPECT_NE(result.status, 0);
  EXPECT_TRUE(result.output.ends_with("--->   90.0000    \n FILE CLOSE ERR\n")) << result.output;
}

// The example directory copied as `cp -r` copies it (links as links) runs as it is.
TEST(RutileRun, ExpandsToTwoTitaniumAndFourOxygen) {
  TempDir dir;
  const std::string example = SOURCE_DIR "/examples/latfit/rutile/";
  std::filesystem::copy(example, dir.path(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
  const auto result = runLatfitIn(dir.path(), readFile(example + "control.txt"));
  EXPECT_EQ(result.status, 0);
  const std::string crd = readFile(dir / "tio2.crd");
  EXPECT_NE(crd.find(" Total Number of ATOMS             >>   6\n"), std::string::npos);
  EXPECT_NE(crd.find("    2       2  1.0000  0.304800  0.304800  0.000000    0        4     2\n"),
            std::string::npos);
  EXPECT_NE(crd.find("    6       2  1.0000  0.804800  0.195200  0.500000    0              2\n"),
            std::string::npos);
}

// Each example carries its own copy of the space-group library.
TEST(Examples, CarryTheSpaceGroupLibrary) {
  for (const char* example : {"mgo", "rutile"})
    EXPECT_EQ(readFile(SOURCE_DIR "/examples/latfit/" + std::string(example) + "/symmetry.dat"), readFile(kLibrary))
        << example;
}

}  // namespace
