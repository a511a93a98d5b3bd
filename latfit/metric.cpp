// Direct and reciprocal metric of the lattice (calcrs) and the crystal data file.
#include <cmath>

#include "constants.h"
#include "files.h"
#include "fortran_format.h"
#include "geometry.h"

namespace {

// Sine and cosine of an angle in degrees; 90 exactly gives 1 and 0.
void sineCosine(double degrees, double& s, double& c) {
  if (degrees == 90) {
    s = 1;
    c = 0;
  } else {
    s = std::sin(degrees * kDegToRad);
    c = std::cos(degrees * kDegToRad);
  }
}

// Reciprocal angle from its cosine; cosines below 1e-5 in magnitude give 90.
void reciprocalAngle(double cosine, double& degrees, double& s) {
  if (std::fabs(cosine) < 1e-5) {
    degrees = 90;
    s = 1;
  } else {
    degrees = std::acos(cosine) * kRadToDeg;
    s = std::sin(degrees * kDegToRad);
  }
}

void writeLattice(const std::array<double, 6>& lat, const Vec3& sines, const Vec3& cosines) {
  OutputFile& out = units.crystal;
  std::string line = " ";
  for (double v : lat) line += fmtF(v, 9, 4);
  out.line(line);
  out.line(" ", "SIN >>", fmtF(sines[0], 9, 4), fmtF(sines[1], 9, 4), fmtF(sines[2], 9, 4));
  out.line(" ", "COS >>", fmtF(cosines[0], 9, 4), fmtF(cosines[1], 9, 4), fmtF(cosines[2], 9, 4));
}

// The nine-value metric as its symmetric 3x3 matrix, one row a line.
void writeMetric(const std::array<double, 9>& g) {
  const double rows[3][3] = {{g[0], g[5], g[4]}, {g[5], g[1], g[3]}, {g[4], g[3], g[2]}};
  for (const auto& row : rows)
    units.crystal.line(" ", fmtE(row[0], 14, 6), fmtE(row[1], 14, 6), fmtE(row[2], 14, 6));
}

void writeCrystalData() {
  OutputFile& out = units.crystal;
  out.line(" <<TITLE>>");
  out.line(" ", strings.TITLE);
  out.line(" <<CRYSTAL PARAMETER>>");
  out.line(" I=4...(2,3)   I=5...(3,1)   I=6...(1,2)");
  out.line(" <<Direct Lattice constant>>");
  writeLattice(crystl.LAT, crystl.SIN, crystl.COS);
  out.line(" <<Direct metric matrix>>");
  writeMetric(crystl.G);
  out.line(" ", fmtA("VOLUME=", 8), fmtE(crystl.V, 14, 6));
  out.line(" <<Reciprocal Lattice constant>>");
  writeLattice(crystl.RLAT, crystl.RSIN, crystl.RCOS);
  out.line(" <<Reciprocal metric matrix>>");
  writeMetric(crystl.RG);
  out.line(" ", fmtA("VOLUME*=", 8), fmtE(crystl.VS, 14, 6));
}

}  // namespace

void calcrs(int printSwitch) {
  const double a = crystl.LAT[0], b = crystl.LAT[1], c = crystl.LAT[2];
  Vec3& sn = crystl.SIN;
  Vec3& cs = crystl.COS;
  for (int k = 0; k < 3; ++k) sineCosine(crystl.LAT[3 + k], sn[k], cs[k]);

  auto& g = crystl.G;
  g[0] = a * a;
  g[1] = b * b;
  g[2] = c * c;
  g[3] = b * c * cs[0];
  g[4] = a * c * cs[1];
  g[5] = a * b * cs[2];
  for (int k = 0; k < 3; ++k) g[6 + k] = 2 * g[3 + k];

  const double v = a * b * c *
                   std::sqrt(1 - cs[0] * cs[0] - cs[1] * cs[1] - cs[2] * cs[2] +
                             2 * cs[0] * cs[1] * cs[2]);
  crystl.V = v;
  const double v2 = v * v;
  const double abc = a * b * c;
  auto& rg = crystl.RG;
  rg[0] = (b * c * sn[0]) * (b * c * sn[0]) / v2;
  rg[1] = (a * c * sn[1]) * (a * c * sn[1]) / v2;
  rg[2] = (a * b * sn[2]) * (a * b * sn[2]) / v2;
  rg[3] = a * abc * (cs[1] * cs[2] - cs[0]) / v2;
  rg[4] = b * abc * (cs[2] * cs[0] - cs[1]) / v2;
  rg[5] = c * abc * (cs[0] * cs[1] - cs[2]) / v2;
  for (int k = 0; k < 3; ++k) rg[6 + k] = 2 * rg[3 + k];
  crystl.VS = 1 / v;

  auto& rlat = crystl.RLAT;
  for (int k = 0; k < 3; ++k) rlat[k] = std::sqrt(rg[k]);
  Vec3& rc = crystl.RCOS;
  rc[0] = rg[3] / (rlat[1] * rlat[2]);
  rc[1] = rg[4] / (rlat[0] * rlat[2]);
  rc[2] = rg[5] / (rlat[0] * rlat[1]);
  for (int k = 0; k < 3; ++k) reciprocalAngle(rc[k], rlat[3 + k], crystl.RSIN[k]);

  if (printSwitch != 0) writeCrystalData();
}
