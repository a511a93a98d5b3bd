// The three input readers: values stored, echo lines, refusals.
#include "readers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "latfit_test_support.h"

namespace {

using latfit_test::openInput;
using latfit_test::stopMessage;
using latfit_test::TempDir;
using latfit_test::writeFile;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

bool contains(const std::string& text, const std::string& line) {
  return text.find(line + "\n") != std::string::npos;
}

std::string structureFile(const std::string& atoms, int nasym, const std::string& xid,
                          const std::string& ewald = "0.3 0.5 1e-6") {
  return "1\nTest title\n5.0 6.0 7.0 90 100 90\nP-1\n" + std::to_string(nasym) + "\n" + atoms +
         "1 0 0 0 0 0\n" + xid + "\n" + ewald + "\n1 3.5 2\n5 1e-5 1 0\n";
}

class Readers : public testing::Test {
 protected:
  void SetUp() override { latfit_test::resetRun(); }
  TempDir dir;
};

TEST_F(Readers, StructureValuesEchoAndCoordinateReduction) {
  writeFile(dir / "s.str",
            structureFile("1 1.0 -0.25 1.0 2.0\r\n2 0.5\r\n 0.1 0.2 0.3 extra\r\n", 2,
                          "1 1 1\n0 1 0"));
  openInput(7, dir / "s.str");
  CaptureStdout();
  const std::string symbol = rdfl07();
  const std::string out = GetCapturedStdout();
  EXPECT_EQ(symbol, "P-1       ");
  EXPECT_EQ(cell.X[0], (Vec3{0.75, 0.0, 0.0}));
  EXPECT_EQ(cell.X[1], (Vec3{0.1, 0.2, 0.3}));
  EXPECT_EQ(cell.KIND[1], 2);
  EXPECT_EQ(lsq.XID[1], (std::array<int, 3>{0, 1, 0}));
  EXPECT_EQ(flags.CRFLAG, 2);
  EXPECT_EQ(lsq.NCYCLE, 5);
  EXPECT_TRUE(contains(out, " Test title" + std::string(60, ' ')));
  EXPECT_TRUE(contains(out, "     a=    5.000000     b=    6.000000     c=    7.000000"));
  EXPECT_TRUE(contains(out, " alpha=   90.000000  beta=  100.000000 gamma=   90.000000"));
  EXPECT_TRUE(contains(out, " Number of  ATOMS in asymmetric unit>>   2"));
  EXPECT_TRUE(contains(out, "    1  1.000000  0.750000  0.000000  0.000000"));
  EXPECT_TRUE(contains(out, "   XID(2)=0, 1, 0"));
  EXPECT_TRUE(contains(out, " EWALD PARAMETER >>  0.300000"));
  EXPECT_TRUE(contains(out, " IRMIN >>    0.500000   CEPS >>  0.100000E-05"));
  EXPECT_TRUE(contains(out, " RCFLAG >> 1   RCMAX >>    3.500000   CRFLAG >> 2"));
  EXPECT_TRUE(contains(out, " NCYCLE=  5   EPS=  0.100000E-04   WFLAG= 1    FFLAG= 0"));
}

TEST_F(Readers, StructureRefusals) {
  std::string atoms;
  for (int i = 0; i < 201; ++i) atoms += "1 1 0 0 0\n";
  writeFile(dir / "big.str", structureFile(atoms, 201, "0 0 0"));
  openInput(7, dir / "big.str");
  CaptureStdout();
  std::string message = stopMessage([] { rdfl07(); });
  GetCapturedStdout();
  EXPECT_EQ(message, " ***ERROR  " + dir / "big.str" +
                         ", record 5: 201 atoms in the asymmetric unit, allowed are 0 to 200");

  writeFile(dir / "kind.str", structureFile("11 1 0 0 0\n", 1, "0 0 0"));
  openInput(7, dir / "kind.str");
  CaptureStdout();
  message = stopMessage([] { rdfl07(); });
  GetCapturedStdout();
  EXPECT_NE(message.find("record 6 (atom 1): kind 11 is outside 1 to 10"), std::string::npos);

  writeFile(dir / "alpha.str", structureFile("1 1 0 0 0\n", 1, "0 0 0", "0.0 0.5 1e-6"));
  openInput(7, dir / "alpha.str");
  CaptureStdout();
  message = stopMessage([] { rdfl07(); });
  GetCapturedStdout();
  EXPECT_NE(message.find("the Ewald parameter must not be zero"), std::string::npos);

  writeFile(dir / "bad.str", structureFile("1 1 0 0 0\n", 1, "0 0 zero"));
  openInput(7, dir / "bad.str");
  CaptureStdout();
  message = stopMessage([] { rdfl07(); });
  GetCapturedStdout();
  EXPECT_NE(message.find("record 8 (coordinate switches), line 8: cannot read an integer from "
                         "\"zero\""),
            std::string::npos);
}

const char* kSymmetry =
    "P-1x      trailing\n9 9 9\n"
    "P-1\n"
    "1 1 2\n0 0 0\n"
    "1 0 0 0 1 0 0 0 1\n0 0 0\n"
    "-1 0 0 0 1 0 0 0 -1\n0 0.5 0\n"
    "P-1 other text\n";

TEST_F(Readers, SymmetryEntryIsFoundAndDoubled) {
  writeFile(dir / "sym", kSymmetry);
  openInput(1, dir / "sym");
  CaptureStdout();
  rdfl01("P-1       ");
  const std::string out = GetCapturedStdout();
  EXPECT_EQ(symm.NTRANS, 1);
  ASSERT_EQ(symm.NSYM, 4);
  EXPECT_EQ(symm.ROT[3][0][0], 1);
  EXPECT_EQ(symm.ROT[3][2][2], 1);
  EXPECT_EQ(symm.TVEC[3][1], -0.5);
  EXPECT_TRUE(contains(out, " CENTER SYMMETRY >> 1"));
  EXPECT_TRUE(contains(out, " Number of Symmetry Operation >> 2"));
  EXPECT_TRUE(contains(out, "  -1.000000  0.000000  0.000000     0.000000"));
  EXPECT_TRUE(contains(out, "   0.000000  1.000000  0.000000     0.500000"));
  // Two operations printed, each three lines and a blank one.
  std::size_t rows = 0;
  for (std::size_t p = out.find("     0.0"); p != std::string::npos; p = out.find("     0.", p + 1))
    ++rows;
  EXPECT_EQ(rows, 6u);
}

TEST_F(Readers, SymmetryUnknownSymbolAndRefusedCounts) {
  writeFile(dir / "sym", kSymmetry + std::string("P1\n0 9 1\n"));
  openInput(1, dir / "sym");
  CaptureStdout();
  std::string message = stopMessage([] { rdfl01("P 1       "); });
  EXPECT_EQ(message, "");
  EXPECT_TRUE(contains(GetCapturedStdout(), " **ERROR  Can not found space group P 1       ."));
  CaptureStdout();
  message = stopMessage([] { rdfl01("P1        "); });
  GetCapturedStdout();
  EXPECT_NE(message.find("9 centring translations, allowed are 0 to 8"), std::string::npos);
  writeFile(dir / "sym2", "Fm-3m\n1 1 201\n");
  openInput(1, dir / "sym2");
  CaptureStdout();
  message = stopMessage([] { rdfl01("Fm-3m     "); });
  GetCapturedStdout();
  EXPECT_NE(message.find("402 symmetry operations after doubling by the centre"),
            std::string::npos);
}

TEST_F(Readers, PairTablesInBothBranches) {
  cell.NASYM = 1;
  cell.KIND[0] = 3;
  writeFile(dir / "atm",
            "3\nNa\n23.0 1 1.2 0.1 0\nCl\n35.45 -1 1.5 0.2 2.5\nXx\n1.0 0 0.0 0.0 0\n"
            "9 9 9\n9 9 9\n0 0 1e-20\n9 9 9\n1e-16 0.3 0\n0 5 0\n");
  openInput(2, dir / "atm");
  CaptureStdout();
  rdfl02();
  const std::string out = GetCapturedStdout();
  // Both ai non-zero: B = bi + bj, A from the kcal/mol form, whatever was read.
  EXPECT_DOUBLE_EQ(atpara.B[0][1], 0.30000000000000004);
  const double b = 0.1 + 0.2;
  EXPECT_EQ(atpara.A[0][1], 6.947700141e-21 * b * std::exp((1.2 + 1.5) / b));
  EXPECT_EQ(atpara.A[1][0], atpara.A[0][1]);
  // One ai zero and A zero: B becomes 0.01 in single precision.
  EXPECT_EQ(atpara.A[0][2], 0);
  EXPECT_EQ(atpara.B[0][2], 0.009999999776482582);
  EXPECT_EQ(atpara.C[2][0], 1e-20);
  // One ai zero, A non-zero: kept as read.
  EXPECT_EQ(atpara.A[1][2], 1e-16);
  EXPECT_EQ(atpara.B[2][1], 0.3);
  EXPECT_EQ(atpara.B[2][2], 0.009999999776482582);
  EXPECT_DOUBLE_EQ(atpara.Z[0][1], -2.307100407e-18);
  EXPECT_EQ(atpara.Z[2][2], 0);
  EXPECT_TRUE(contains(out, " Number of Atom kinds >>  3"));
  EXPECT_TRUE(contains(out, "   2 Cl     35.4500  -1  1.500000  0.200000  0.250000E+01"));
  EXPECT_TRUE(contains(out, "   1  3   0.000000E+00   0.000000E+00  0.010000   0.100000E-19"
                            "   0.000000E+00"));
}

TEST_F(Readers, AtomicRefusals) {
  writeFile(dir / "atm", "11\n");
  openInput(2, dir / "atm");
  CaptureStdout();
  std::string message = stopMessage([] { rdfl02(); });
  GetCapturedStdout();
  EXPECT_NE(message.find("11 atom kinds, allowed are 0 to 10"), std::string::npos);

  cell.NASYM = 2;
  cell.KIND[1] = 2;
  writeFile(dir / "atm", "1\n");
  openInput(2, dir / "atm");
  writeFile(dir / "s.str", "");
  openInput(7, dir / "s.str");
  CaptureStdout();
  message = stopMessage([] { rdfl02(); });
  GetCapturedStdout();
  EXPECT_NE(message.find("atom 2 is of kind 2, but " + dir / "atm" + " defines 1 kinds"),
            std::string::npos);
}

}  // namespace
