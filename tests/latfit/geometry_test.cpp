// Metric, cell expansion, distance table and lattice-sum ranges.
#include "geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "constants.h"
#include "latfit_test_support.h"
#include "readers.h"

namespace {

using latfit_test::readFile;
using latfit_test::stopMessage;
using latfit_test::TempDir;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const Mat3 kIdentity = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
const Mat3 kInversion = {Vec3{-1, 0, 0}, Vec3{0, -1, 0}, Vec3{0, 0, -1}};

class Geometry : public testing::Test {
 protected:
  void SetUp() override {
    latfit_test::resetRun();
    minmax.RMIN = 0.5;
    atpara.NKIND = 2;
    strings.NAME[0] = "Na    ";
    strings.NAME[1] = "Cl    ";
  }
  static void lattice(double a, double b, double c, double al, double be, double ga) {
    crystl.LAT = {a, b, c, al, be, ga};
    calcrs(0);
  }
  static void operation(const Mat3& r, const Vec3& t) {
    symm.ROT[symm.NSYM] = r;
    symm.TVEC[symm.NSYM++] = t;
  }
  static void translation(const Vec3& t) { symm.TRANS[symm.NTRANS++] = t; }
  static void addAtom(int kind, const Vec3& x) {
    cell.KIND[cell.NASYM] = kind;
    cell.OCCU[cell.NASYM] = 1;
    cell.X[cell.NASYM++] = x;
  }
  // Fm-3m from the library: 24 rotations, inversion, F centring.
  static void fm3m() {
    const std::string path = SOURCE_DIR "/data/latfit/spacegroups.dat";
    latfit_test::openInput(1, path);
    CaptureStdout();
    rdfl01("Fm-3m     ");
    GetCapturedStdout();
  }
};

TEST_F(Geometry, CubicMetricIsExactlyDiagonal) {
  lattice(4, 4, 4, 90, 90, 90);
  EXPECT_EQ(crystl.G, (std::array<double, 9>{16, 16, 16, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(crystl.V, 64);
  EXPECT_EQ(crystl.VS, 1.0 / 64);
  EXPECT_EQ(crystl.RG[0], 1.0 / 16);
  EXPECT_EQ(crystl.RG[3], 0);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(crystl.RLAT[3 + k], 90);
    EXPECT_EQ(crystl.RSIN[k], 1);
    EXPECT_EQ(crystl.SIN[k], 1);
  }
}

// Hand values use the exact pi; the program's degree conversion uses
// 3.1415926535, which moves results in the tenth digit.
TEST_F(Geometry, MonoclinicBeta100GivesBetaStar80) {
  lattice(5, 6, 7, 90, 100, 90);
  EXPECT_NEAR(crystl.RLAT[4], 80, 1e-7);
  EXPECT_EQ(crystl.RLAT[3], 90);
  EXPECT_EQ(crystl.RLAT[5], 90);
  EXPECT_NEAR(crystl.V, 210 * std::sin(100 * kDegToRad), 1e-12);   // same conversion
  EXPECT_NEAR(crystl.G[4], 35 * std::cos(100 * kDegToRad), 1e-12);
  EXPECT_NEAR(crystl.RLAT[1], 1.0 / 6, 1e-15);
}

TEST_F(Geometry, TriclinicMetricMatchesHandValues) {
  lattice(3, 4, 5, 70, 80, 100);
  EXPECT_NEAR(crystl.V, 53.73563634969622, 1e-8);
  EXPECT_NEAR(crystl.RLAT[0], 0.34974653121092913, 1e-10);
  EXPECT_NEAR(crystl.RLAT[1], 0.27490353327260136, 1e-10);
  EXPECT_NEAR(crystl.RLAT[2], 0.21992282661808105, 1e-10);
  EXPECT_NEAR(crystl.RLAT[3], 112.56586067447013, 1e-6);
  EXPECT_NEAR(crystl.RLAT[4], 104.58529732630511, 1e-6);
  EXPECT_NEAR(crystl.RLAT[5], 75.4147026736949, 1e-6);
  EXPECT_NEAR(crystl.G[3], 20 * std::cos(70 * kDegToRad), 1e-12);
  EXPECT_EQ(crystl.G[6], 2 * crystl.G[3]);
}

TEST_F(Geometry, CrystalDataFileLayout) {
  TempDir dir;
  ASSERT_TRUE(units.crystal.open(dir / "cry"));
  strings.TITLE = "T";
  crystl.LAT = {2, 2, 2, 90, 90, 90};
  calcrs(1);
  units.crystal.close();
  const std::string text = readFile(dir / "cry");
  EXPECT_NE(text.find("\n    2.0000   2.0000   2.0000  90.0000  90.0000  90.0000\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n   0.400000E+01  0.000000E+00  0.000000E+00\n"), std::string::npos);
  EXPECT_NE(text.find("\n  VOLUME=  0.800000E+01\n"), std::string::npos);
  EXPECT_NE(text.find("\n VOLUME*=  0.125000E+00\n"), std::string::npos);
}

TEST_F(Geometry, SpecialAndGeneralPositionsUnderInversion) {
  lattice(5, 6, 7, 90, 100, 90);
  operation(kIdentity, {0, 0, 0});
  operation(kInversion, {0, 0, 0});
  translation({0, 0, 0});
  addAtom(1, {0, 0, 0});
  addAtom(2, {0.1, 0.2, 0.3});
  addAtom(1, {0.5, 0, 0.5});
  extcod(0);
  EXPECT_EQ(cell.MULT[0], 1);
  EXPECT_EQ(cell.MULT[1], 2);
  EXPECT_EQ(cell.MULT[2], 1);
  ASSERT_EQ(cell.NTOT, 4);
  EXPECT_NEAR(cell.X[3][0], 0.9, 1e-15);
  EXPECT_EQ(cell.KIND[3], 2);
  EXPECT_EQ(atomOrigins()[3], 2);
}

TEST_F(Geometry, ImagesAcrossTheCellEdgeCoincide) {
  lattice(5, 5, 5, 90, 90, 90);
  operation(kIdentity, {0, 0, 0});
  operation(kIdentity, {0.99999, 0, 0});
  operation(kIdentity, {0, 0.5, 0});
  addAtom(1, {0, 0, 0});
  extcod(0);
  EXPECT_EQ(cell.MULT[0], 2);   // 0.99999 is the atom at 0.0 again
  EXPECT_EQ(cell.NTOT, 2);
}

TEST_F(Geometry, CentringIsAppliedToTheOperationCopies) {
  lattice(5, 5, 5, 90, 90, 90);
  operation(kIdentity, {0, 0, 0});
  operation(kInversion, {0, 0, 0});
  translation({0, 0, 0});
  translation({0.5, 0.5, 0});
  addAtom(1, {0.1, 0.2, 0.3});
  addAtom(1, {0, 0, 0});
  extcod(0);
  EXPECT_EQ(cell.MULT[0], 4);
  EXPECT_EQ(cell.MULT[1], 2);
  EXPECT_NEAR(cell.X[4][0], 0.4, 1e-15);   // the inversion copy moved by the centring
  EXPECT_NEAR(cell.X[4][1], 0.3, 1e-15);
}

TEST_F(Geometry, FaceCentredCubicWyckoffMultiplicities) {
  fm3m();
  lattice(5, 5, 5, 90, 90, 90);
  addAtom(1, {0, 0, 0});          // 4a
  addAtom(1, {0.25, 0.25, 0.25});  // 8c
  addAtom(1, {0, 0.25, 0.25});     // 24d
  addAtom(1, {0.1, 0.1, 0.1});     // 32f
  addAtom(1, {0.2, 0, 0});         // 24e
  addAtom(1, {0.1, 0.2, 0.3});     // 96k: y + z = 1/2 lies on a mirror
  extcod(0);
  EXPECT_EQ(cell.MULT[0], 4);
  EXPECT_EQ(cell.MULT[1], 8);
  EXPECT_EQ(cell.MULT[2], 24);
  EXPECT_EQ(cell.MULT[3], 32);
  EXPECT_EQ(cell.MULT[4], 24);
  EXPECT_EQ(cell.MULT[5], 96);
  EXPECT_EQ(cell.NTOT, 188);
}

TEST_F(Geometry, ExpansionBeyondCapacityIsRefused) {
  fm3m();
  lattice(10, 10, 10, 90, 90, 90);
  addAtom(1, {0.05, 0.13, 0.31});  // general position: 192 atoms
  addAtom(1, {0.0, 0.25, 0.25});   // 24 more
  EXPECT_EQ(stopMessage([] { extcod(0); }),
            " ***ERROR  The expanded cell needs more than 200 atoms");
}

TEST_F(Geometry, CoresAndShellsArePairedCopyByCopy) {
  lattice(5, 5, 5, 90, 90, 90);
  operation(kIdentity, {0, 0, 0});
  operation(kInversion, {0, 0, 0});
  atom.POL[0] = 1.5;
  addAtom(1, {0.1, 0.2, 0.3});   // core
  addAtom(2, {0.1, 0.2, 0.3});   // its shell
  addAtom(2, {0, 0, 0});
  extcod(0);
  ASSERT_EQ(cell.NTOT, 5);
  EXPECT_EQ(cell.ISHELL[0], 2);
  EXPECT_EQ(cell.ISHELL[1], 1);
  EXPECT_EQ(cell.ISHELL[3], 5);   // copy of the core (atom 4) with copy of the shell (atom 5)
  EXPECT_EQ(cell.ISHELL[4], 4);
  EXPECT_EQ(cell.ISHELL[2], 0);

  cell.X[1] = {0, 0, 0};   // shell on a special position: multiplicities differ
  EXPECT_EQ(stopMessage([] { extcod(0); }),
            " ***ERROR  Shell atom 2 has multiplicity 1, its core atom 1 has 2");
}

TEST_F(Geometry, CoordinateFileHasNoDuplicateRows) {
  TempDir dir;
  ASSERT_TRUE(units.coordinates.open(dir / "crd"));
  lattice(5, 5, 5, 90, 90, 90);
  operation(kIdentity, {0, 0, 0});
  operation(kInversion, {0, 0, 0});
  addAtom(1, {0, 0, 0});
  addAtom(2, {0.25, 0.5, 0.75});
  strings.TITLE = "T";
  extcod(1);
  units.coordinates.close();
  EXPECT_EQ(readFile(dir / "crd"),
            " <<EXTENDED COORDINATES>>\n <<TITLE>>\n T\n"
            " Number of ATOMS in asymmetric unit>>   2\n"
            " Total Number of ATOMS             >>   3\n"
            " No. ATOM      OCCUP.      X         Y         Z   SHELL ID   MULT.  ID\n"
            "    1       1  1.0000  0.000000  0.000000  0.000000    0        1     1\n"
            "    2       2  1.0000  0.250000  0.500000  0.750000    0        2     2\n"
            "    3       2  1.0000  0.750000  0.500000  0.250000    0              2\n");
}

TEST_F(Geometry, DistanceTableListsSelfImagesButNotSelf) {
  TempDir dir;
  ASSERT_TRUE(units.distances.open(dir / "dis"));
  lattice(3, 3, 3, 90, 90, 90);
  minmax.RCMAX = 3;
  strings.TITLE = "T";
  cell.NASYM = cell.NTOT = 1;
  cell.KIND[0] = 1;
  distan();
  units.distances.close();
  EXPECT_EQ(readFile(dir / "dis"),
            " <<INTER ATOMIC DISTANCE (LESS THAN    3.0000 A ) >>\n <<TITLE>>\n T\n"
            " TOTAL NUMBER OF ATOMS >>   1\n"
            "  No- (n1,n2,n3  No) ATOM - ATOM     DISTANCE(A)\n"
            "    1  -1  0  0   1  Na     Na      0.300000E+01\n"
            "    1   0 -1  0   1  Na     Na      0.300000E+01\n"
            "    1   0  0 -1   1  Na     Na      0.300000E+01\n"
            "    1   0  0  1   1  Na     Na      0.300000E+01\n"
            "    1   0  1  0   1  Na     Na      0.300000E+01\n"
            "    1   1  0  0   1  Na     Na      0.300000E+01\n");
}

TEST_F(Geometry, RangesFollowTheCutLevel) {
  lattice(5, 5, 5, 90, 90, 90);
  cell.NTOT = 2;
  minmax.ALPHA = 0.5;
  minmax.CEPS = 1e-4;
  atpara.A[0][1] = 1e-16;
  atpara.B[0][1] = 0.3;
  atpara.B[1][1] = 0.1;
  CaptureStdout();
  calrng();
  const std::string out = GetCapturedStdout();
  EXPECT_DOUBLE_EQ(minmax.RDIR, 6.6);
  EXPECT_DOUBLE_EQ(minmax.RREP, 2.302585092994046 * 4 * 0.3 + 1);
  EXPECT_DOUBLE_EQ(minmax.RDISP, 2.302585092994046 * 4);
  EXPECT_EQ(minmax.RMAX, minmax.RDIR);   // no dispersion, repulsion shorter
  EXPECT_EQ(minmax.NMAX, (std::array<int, 3>{2, 2, 2}));
  EXPECT_DOUBLE_EQ(minmax.G2MAX, 1 + 9.210340371976184 * 0.25 * 4);
  EXPECT_EQ(minmax.HMAX, (std::array<int, 3>{3, 3, 3}));
  EXPECT_NE(out.find("\n Pmax=  0.300000\n"), std::string::npos);
  EXPECT_NE(out.find("\n   Rmax=  0.660000E+01  Nmax=     2     2     2\n"), std::string::npos);
  EXPECT_NE(out.find("\n                        Hmax=     3     3     3\n"), std::string::npos);
  EXPECT_NE(out.find("\n   Rmax(Calculation)=  0.500000E+01 -  0.100000E+02\n"),
            std::string::npos);

  atpara.C[1][1] = -1e-18;   // dispersion raises the radius to RDISP
  CaptureStdout();
  calrng();
  GetCapturedStdout();
  EXPECT_EQ(minmax.RMAX, minmax.RDISP);
}

TEST_F(Geometry, RangesWithoutRepulsionOrDispersionUseTheDirectRadius) {
  lattice(5, 5, 5, 90, 90, 90);
  minmax.ALPHA = 0.3;
  minmax.CEPS = 1e-6;
  atpara.B[0][0] = 10;   // a long B without A does not count
  CaptureStdout();
  calrng();
  GetCapturedStdout();
  EXPECT_EQ(minmax.RMAX, minmax.RDIR);
}

}  // namespace
