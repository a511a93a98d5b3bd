// Writing the structure back and reading it again.
#include "structure_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "latfit_test_support.h"
#include "readers.h"

namespace {

using latfit_test::openInput;
using latfit_test::readFile;
using latfit_test::TempDir;
using latfit_test::writeFile;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const char* kStructure =
    "7\nRound trip\n4.5 5.25 6.125 91.5 100.25 89.75\nP-1\n2\n"
    "1 0.75 -0.1 0.2 0.3\n2 1.0 0.123456789 0.5 0.999\n1 1 1 0 1 0\n1 0 1 0 0 1\n"
    "0.3125 0.5 1e-6\n1 3.5 2\n7 2.5e-5 1 0\n";

class StructureWriter : public testing::Test {
 protected:
  void SetUp() override {
    latfit_test::resetRun();
    writeFile(dir / "s.str", kStructure);
  }
  std::string readStructure() {
    openInput(7, dir / "s.str");
    CaptureStdout();
    const std::string symbol = rdfl07();
    GetCapturedStdout();
    return symbol;
  }
  TempDir dir;
};

TEST_F(StructureWriter, WritesTheRecordLayoutAndReadsBackTheSameValues) {
  const std::string symbol = readStructure();
  CaptureStdout();
  ASSERT_TRUE(wrfl07(symbol));
  EXPECT_EQ(GetCapturedStdout(), "");
  EXPECT_EQ(readFile(dir / "s.str"),
            " 1\n"
            "Round trip" + std::string(60, ' ') + "\n"
            "      4.500000     5.250000     6.125000    91.500000   100.250000    89.750000\n"
            "P-1       \n"
            "    2\n"
            "    1     0.750000     0.900000     0.200000     0.300000\n"
            "    2     1.000000     0.123457     0.500000     0.999000\n"
            "   1  1  1  0  1  0\n"
            "   1  0  1\n"
            "   0  0  1\n"
            "   0.312500    \n"
            "   0.500000      0.100000E-05\n"
            "   1   3.50000    \n"
            "   2\n"
            "   7  0.250000E-04   1   0\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "s.str.tmp"));

  const auto before = crystl.LAT;
  const auto x = cell.X;
  latfit_test::resetRun();
  EXPECT_EQ(readStructure(), symbol);
  EXPECT_EQ(crystl.LAT, before);
  EXPECT_NEAR(cell.X[1][0], x[1][0], 5e-7);
  EXPECT_EQ(cell.X[0], x[0]);
  EXPECT_EQ(lsq.XID[1], (std::array<int, 3>{0, 0, 1}));
  EXPECT_EQ(minmax.CEPS, 1e-6);
  EXPECT_EQ(flags.CRFLAG, 2);
  EXPECT_EQ(lsq.EPS, 2.5e-5);
}

TEST_F(StructureWriter, FailureKeepsTheOriginal) {
  const std::string symbol = readStructure();
  std::filesystem::create_directory(dir / "s.str.tmp");   // the temporary file cannot be made
  CaptureStdout();
  EXPECT_FALSE(wrfl07(symbol));
  EXPECT_EQ(GetCapturedStdout(), " ***ERROR  Can not write the structure data file " +
                                     dir / "s.str" + "; it is left unchanged.\n");
  EXPECT_EQ(readFile(dir / "s.str"), kStructure);
}

}  // namespace
