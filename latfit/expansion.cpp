// Expansion of the asymmetric unit to the full cell (extcod), core-shell
// pairing and the coordinate data file.
#include <cmath>
#include <string>
#include <vector>

#include "files.h"
#include "fortran_format.h"
#include "geometry.h"
#include "reduction.h"
#include "run_stop.h"

namespace {

std::array<int, kMaxAtoms> origins{};

Vec3 reduced(const Vec3& x) { return {redc01(x[0]), redc01(x[1]), redc01(x[2])}; }

// Two positions coincide when the nearest lattice image of their difference
// is shorter than RMIN, so 0.0 and 0.99999 are one position.
bool coincide(const Vec3& p, const Vec3& q) {
  Vec3 d;
  for (int k = 0; k < 3; ++k) {
    d[k] = p[k] - q[k];
    d[k] -= std::floor(d[k] + 0.5);
  }
  return metricLength(d) < minmax.RMIN;
}

// Appends position p as a copy of asymmetric-unit atom i unless it coincides
// with atom i or one of its copies (held from index `first` on). Returns the
// index of the new atom, or -1.
int appendCopy(int i, int first, const Vec3& p) {
  if (coincide(p, cell.X[i])) return -1;
  for (int n = first; n < cell.NTOT; ++n)
    if (coincide(p, cell.X[n])) return -1;
  if (cell.NTOT == kMaxAtoms)
    throw RunStop(" ***ERROR  The expanded cell needs more than " + std::to_string(kMaxAtoms) +
                  " atoms");
  const int n = cell.NTOT++;
  cell.X[n] = p;
  cell.KIND[n] = cell.KIND[i];
  cell.OCCU[n] = cell.OCCU[i];
  cell.ISHELL[n] = 0;
  origins[n] = i + 1;
  ++cell.MULT[i];
  return n;
}

// Copies of atom i by the symmetry operations, then by the centring
// translations, each applied to atom i and to every copy the operations made.
// A translation is applied to the operation copies even when it takes atom i
// onto a position already held, so no orbit member is lost (24d of Fm-3m).
void expandAtom(int i) {
  const int first = cell.NTOT;
  std::vector<int> byOperations;
  const Vec3& x = cell.X[i];
  for (int k = 0; k < symm.NSYM; ++k) {
    const Mat3& r = symm.ROT[k];
    Vec3 p;
    for (int m = 0; m < 3; ++m)
      p[m] = r[m][0] * x[0] + r[m][1] * x[1] + r[m][2] * x[2] + symm.TVEC[k][m];
    const int n = appendCopy(i, first, reduced(p));
    if (n >= 0) byOperations.push_back(n);
  }
  for (int t = 0; t < symm.NTRANS; ++t) {
    const Vec3& shift = symm.TRANS[t];
    appendCopy(i, first, reduced({x[0] + shift[0], x[1] + shift[1], x[2] + shift[2]}));
    for (int n : byOperations) {
      const Vec3& y = cell.X[n];
      appendCopy(i, first, reduced({y[0] + shift[0], y[1] + shift[1], y[2] + shift[2]}));
    }
  }
}

// A core (kind with polarisation) is followed by its shell in the asymmetric
// unit; the j-th copies of both are partners too.
void pairShells(const std::vector<int>& firstCopy) {
  for (int i = 0; i < cell.NASYM; ++i) {
    if (atom.POL[cell.KIND[i] - 1] == 0) continue;
    const int s = i + 1;
    if (s == cell.NASYM)
      throw RunStop(" ***ERROR  Core atom " + std::to_string(i + 1) +
                    " has no shell atom after it");
    if (cell.MULT[s] != cell.MULT[i])
      throw RunStop(" ***ERROR  Shell atom " + std::to_string(s + 1) + " has multiplicity " +
                    std::to_string(cell.MULT[s]) + ", its core atom " + std::to_string(i + 1) +
                    " has " + std::to_string(cell.MULT[i]));
    cell.ISHELL[i] = s + 1;
    cell.ISHELL[s] = i + 1;
    for (int j = 0; j < cell.MULT[i] - 1; ++j) {
      cell.ISHELL[firstCopy[i] + j] = firstCopy[s] + j + 1;
      cell.ISHELL[firstCopy[s] + j] = firstCopy[i] + j + 1;
    }
    ++i;
  }
}

std::string atomLine(int n) {
  return concat(" ", fmtI(n + 1, 4), " ", fmtI(cell.KIND[n], 7), fmtF(cell.OCCU[n], 8, 4),
                fmtF(cell.X[n][0], 10, 6), fmtF(cell.X[n][1], 10, 6), fmtF(cell.X[n][2], 10, 6),
                fmtI(cell.ISHELL[n], 5));
}

void writeCoordinates() {
  OutputFile& out = units.coordinates;
  out.line(" <<EXTENDED COORDINATES>>");
  out.line(" <<TITLE>>");
  out.line(" ", strings.TITLE);
  out.line(" Number of ATOMS in asymmetric unit>>", fmtI(cell.NASYM, 4));
  out.line(" ", "Total Number of ATOMS             >>", fmtI(cell.NTOT, 4));
  out.line(" ", "No. ATOM      OCCUP.      X         Y         Z", "   SHELL ID   MULT.  ID");
  for (int n = 0; n < cell.NASYM; ++n)
    out.line(atomLine(n), fmtI(cell.MULT[n], 9), "  ", fmtI(origins[n], 4));
  for (int n = cell.NASYM; n < cell.NTOT; ++n)
    out.line(atomLine(n), std::string(11, ' '), fmtI(origins[n], 4));
}

}  // namespace

double metricLength(const Vec3& d) {
  const auto& g = crystl.G;
  return std::sqrt(g[0] * d[0] * d[0] + g[1] * d[1] * d[1] + g[2] * d[2] * d[2] +
                   g[8] * d[0] * d[1] + g[6] * d[1] * d[2] + g[7] * d[2] * d[0]);
}

const std::array<int, kMaxAtoms>& atomOrigins() { return origins; }

void extcod(int printSwitch) {
  cell.NTOT = cell.NASYM;
  std::vector<int> firstCopy(static_cast<std::size_t>(cell.NASYM));
  for (int i = 0; i < cell.NASYM; ++i) {
    cell.MULT[i] = 1;
    cell.ISHELL[i] = 0;
    origins[i] = i + 1;
  }
  for (int i = 0; i < cell.NASYM; ++i) {
    firstCopy[i] = cell.NTOT;
    expandAtom(i);
  }
  pairShells(firstCopy);
  if (printSwitch == 1) writeCoordinates();
}
