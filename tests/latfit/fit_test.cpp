// The fitting cycle: inversion, scaling, parameter updates, and whole fits of
// the two example oxides.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

#include "commons.h"
#include "fit.h"
#include "latfit_test_support.h"
#include "minver.h"
#include "reduction.h"

namespace {

using latfit_test::readFile;
using latfit_test::runLatfitIn;
using latfit_test::TempDir;
using latfit_test::writeFile;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// An example copied into a scratch directory.
struct Example {
  explicit Example(const std::string& name) : source(SOURCE_DIR "/examples/latfit/" + name + "/") {
    for (const auto& entry : std::filesystem::directory_iterator(source))
      if (entry.path().filename() != "README.md")
        std::filesystem::copy_file(entry.path(), dir / entry.path().filename().string());
  }
  void edit(const std::string& file, const std::string& from, const std::string& to) {
    std::string text = readFile(dir / file);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    writeFile(dir / file, text.replace(at, from.size(), to));
  }
  latfit_test::RunResult run() { return runLatfitIn(dir.path(), readFile(dir / "control.txt")); }
  std::string source;
  TempDir dir;
};

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(Minver, OneByOneAndDeterminantSignOnInterchanges) {
  double w[1] = {2.0};
  double det = 0;
  int ier = -1;
  minver(w, 1, 1, 1e-30, det, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(det, 2.0);
  EXPECT_EQ(w[0], 0.5);  // Delta = W^-1 F = 0.5 for F = 1

  // Column-major [[1, 3], [2, 1]]: the first pivot is found in column 2.
  double a[4] = {1, 2, 3, 1};
  minver(a, 2, 2, 1e-30, det, ier);
  EXPECT_DOUBLE_EQ(det, -5.0);
  EXPECT_DOUBLE_EQ(a[0], -0.2);
  EXPECT_DOUBLE_EQ(a[2], 0.6);
  EXPECT_DOUBLE_EQ(a[1], 0.4);
  EXPECT_DOUBLE_EQ(a[3], -0.2);
}

TEST(Minver, RandomMatrixTimesItsInverseIsTheIdentity) {
  const int n = 50, lda = 60;
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> u(-1, 1);
  std::vector<double> a(lda * n), inv;
  for (double& v : a) v = u(rng);
  inv = a;
  double det = 0;
  int ier = 0;
  minver(inv.data(), lda, n, 1e-30, det, ier);
  ASSERT_EQ(ier, 0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k) s += a[i + k * lda] * inv[k + j * lda];
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-10);
    }
}

TEST(Minver, SingularMatrixIsReported) {
  double a[4] = {1, 2, 2, 4};
  double det = 0;
  int ier = 0;
  CaptureStdout();
  minver(a, 2, 2, 1e-30, det, ier);
  EXPECT_EQ(GetCapturedStdout(), " ***ERROR  MATRIX IS SINGULAR\n");
  EXPECT_EQ(ier, 1);
}

TEST(FitSteps, ScaleFactorAndCoordinateReduction) {
  EXPECT_EQ(scaleFactor(5.0), 1.0);
  EXPECT_DOUBLE_EQ(scaleFactor(0.5), 10.0);
  EXPECT_DOUBLE_EQ(scaleFactor(50.0), 0.1);
  EXPECT_NEAR(scaleFactor(1.6e-18), 1e18, 1e3);
  EXPECT_NEAR(redc01(0.98 - (-0.05)), 0.03, 1e-15);
  EXPECT_EQ(redc01(-0.25), 0.75);
  EXPECT_EQ(redc01(1.0), 0.0);
  EXPECT_EQ(redc01(-2.3), -2.3 + 3);    // the same rounding as three steps of +1
  EXPECT_EQ(redc01(-1e-20), 0.0);       // -1e-20 + 1 rounds to 1
  EXPECT_EQ(redc01(5e11 + 0.25), 0.25); // far-off and beyond the precision of 1: no endless stepping
  EXPECT_EQ(redc01(1e300), 0.0);
}

TEST(FitRun, MgoConvergesAndTheWrittenFileConvergesAtOnce) {
  Example mgo("mgo");
  auto first = mgo.run();
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(count(first.output, "IS LITTLE THAN EPS"), 1);
  const std::string written = readFile(mgo.dir / "mgo.str");
  EXPECT_NE(written.find("\n      4.198262     4.198262     4.198262    90.000000    90.000000    90.000000\n"),
            std::string::npos)
      << written;
  auto second = mgo.run();
  EXPECT_EQ(count(second.output, " **CYCLE "), 1) << second.output;
  EXPECT_EQ(count(second.output, "IS LITTLE THAN EPS"), 1);
  // The file read back holds the same structure and switches.
  EXPECT_EQ(readFile(mgo.dir / "mgo.str"), written);
}

TEST(FitRun, RutileConvergesWithinItsCycles) {
  Example rutile("rutile");
  auto r = rutile.run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(count(r.output, "IS LITTLE THAN EPS"), 1) << r.output;
  const std::string written = readFile(rutile.dir / "tio2.str");
  EXPECT_NE(written.find("    2     1.000000     0.309891     0.309891     0.000000\n"), std::string::npos) << written;
}

TEST(FitRun, NoCycleStillWritesBackAndNoSwitchEndsWithoutWriteBack) {
  Example noCycle("mgo");
  noCycle.edit("mgo.str", " 10 1.0e-5 1 0", " 0 1.0e-5 1 0");
  auto r = noCycle.run();
  EXPECT_EQ(count(r.output, " **CYCLE "), 0);
  EXPECT_NE(readFile(noCycle.dir / "mgo.str"), readFile(noCycle.source + "mgo.str"));
  EXPECT_NE(readFile(noCycle.dir / "mgo.str").find("\n   0  0.100000E-04   1   0\n"), std::string::npos);

  Example noSwitch("mgo");
  noSwitch.edit("mgo.str", " 1 1 1 0 0 0", " 0 0 0 0 0 0");
  const std::string before = readFile(noSwitch.dir / "mgo.str");
  r = noSwitch.run();
  EXPECT_NE(r.output.find(" S=  0.000000E+00\n ***********ALL MATRIX ELEMENT IS ZERO\n N=   0\n \n ****"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(readFile(noSwitch.dir / "mgo.str"), before);
}

TEST(FitRun, PrintedChangesOfCoordinatesAndAngles) {
  // One cycle from a distorted rutile: x of O moves, and the printed change is new - old.
  Example rutile("rutile");
  rutile.edit("tio2.str", " 20 1.0e-5 1 0", " 1 1.0e-5 0 0");
  auto r = rutile.run();
  const std::regex change(" +([-0-9.E+]+) +\\+ +([-0-9.E+]+) +---> +([-0-9.E+]+) +");
  int checked = 0;
  std::istringstream lines(r.output);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, change)) continue;
    const double before = std::stod(m[1]), delta = std::stod(m[2]), after = std::stod(m[3]);
    EXPECT_NEAR(before + delta, after, 2e-5 * std::max(1.0, std::fabs(after))) << line;
    ++checked;
  }
  EXPECT_EQ(checked, 6 + 6);
  EXPECT_EQ(readFile(rutile.dir / "tio2.str"), readFile(rutile.source + "tio2.str").replace(
                                                    readFile(rutile.source + "tio2.str").find(" 20 1.0e-5 1 0"), 14,
                                                    " 1 1.0e-5 0 0"));
}

TEST(FitRun, TooManyParametersStopTheRun) {
  // 67 atoms with three switches each and six lattice switches: 207 parameters is fine,
  // but the limit of 600 is checked before anything else is printed.
  Example mgo("mgo");
  std::string atoms;
  const int n = 200;
  for (int i = 0; i < n; ++i) atoms.append(" 1 1.0 ").append(std::to_string(0.001 * i)).append(" 0.1 0.2\n");
  std::string xid;
  for (int i = 0; i < n; ++i) xid += " 1 1 1\n";
  mgo.edit("mgo.str", "Fm-3m", "P1        ");
  mgo.edit("mgo.str", " 2\n 1 1.0 0.0 0.0 0.0\n 2 1.0 0.5 0.5 0.5\n", std::string(" 200\n").append(atoms));
  mgo.edit("mgo.str", " 0 0 0\n 0 0 0\n", xid);
  mgo.edit("symmetry.dat", "Fm-3m", "P1   ");
  std::string sym = readFile(mgo.dir / "symmetry.dat");
  writeFile(mgo.dir / "symmetry.dat", "P1\n 0 1 1\n 0 0 0\n 1 0 0 0 1 0 0 0 1\n 0 0 0\n" + sym);
  auto r = mgo.run();
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.output.find(" *********ERROR\n ****Number of refined parameter ( 603)is too large.(>MMAX  600)\n"),
            std::string::npos)
      << r.output.substr(r.output.size() > 2000 ? r.output.size() - 2000 : 0);
  EXPECT_EQ(r.output.find("PROGRAM END"), std::string::npos);
}

TEST(FitSteps, CoordinateAndAngleUpdates) {
  resetCommons();
  cell.NASYM = 1;
  cell.X[0] = {0.98, 0.5, 0.25};
  lsq.XID[0] = {1, 0, 0};
  crystl.LAT = {4, 4, 4, 90, 90, 90};
  lsq.LID = {0, 0, 0, 1, 0, 0};
  CaptureStdout();
  newcod({-0.05, 0.01});
  const std::string out = GetCapturedStdout();
  EXPECT_NEAR(cell.X[0][0], 0.03, 1e-12);
  EXPECT_NEAR(crystl.LAT[3], 90.573, 5e-4);
  EXPECT_NE(out.find(" t=   1\n        0.980000      + -0.950000      --->  0.300000E-01\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" LATTICE CONSTANTS.\n"), std::string::npos);
  EXPECT_NE(out.find("         90.0000      +  0.572967      --->   90.5730    \n"), std::string::npos) << out;
  resetCommons();
}
