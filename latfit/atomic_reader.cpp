// Reading of the atomic data file (unit 2) and derivation of the pair tables.
#include <cmath>

#include "commons.h"
#include "constants.h"
#include "files.h"
#include "fortran_format.h"
#include "readers.h"
#include "run_stop.h"

namespace {

// The repulsion length given to a pair without repulsion: 0.01 in single precision.
constexpr double kNoRepulsionLength = static_cast<double>(0.01f);

std::string kindRecord(int number, int kind) {
  return "record " + std::to_string(number) + " (kind " + std::to_string(kind) + ")";
}

// Every atom of the structure must name a kind of this file.
void checkAtomKinds() {
  for (int i = 0; i < cell.NASYM; ++i)
    if (cell.KIND[i] > atpara.NKIND)
      throw RunStop(" ***ERROR  " + filePath(7) + ": atom " + std::to_string(i + 1) +
                    " is of kind " + std::to_string(cell.KIND[i]) + ", but " + filePath(2) +
                    " defines " + std::to_string(atpara.NKIND) + " kinds");
}

// Pair parameters of kinds i and j from the values read: kinds with non-zero
// ai and aj get the combined Born-Mayer form.
void derivePair(int i, int j, double a, double b, double c) {
  if (atom.AI[i] * atom.AI[j] != 0) {
    b = atom.BI[i] + atom.BI[j];
    a = kKcalPerMole * b * std::exp((atom.AI[i] + atom.AI[j]) / b);
  }
  if (a == 0) b = kNoRepulsionLength;
  atpara.A[i][j] = atpara.A[j][i] = a;
  atpara.B[i][j] = atpara.B[j][i] = b;
  atpara.C[i][j] = atpara.C[j][i] = c;
  atpara.Z[i][j] = atpara.Z[j][i] = static_cast<double>(atom.CHARGE[i]) * atom.CHARGE[j] * kCoulomb;
}

}  // namespace

void rdfl02() {
  ListReader& in = units.atomic;
  say(" ");
  say(" <<ATOM DATA>>");
  in.record("record 1 (number of kinds)");
  const long long nkind = in.integer();
  checkCapacity(filePath(2) + ", record 1", "atom kinds", nkind, kMaxKinds);
  atpara.NKIND = static_cast<int>(nkind);
  checkAtomKinds();
  say(" Number of Atom kinds >>", fmtI(nkind, 3));
  say(" <<ATOMIC PARAMETER>>");
  say(" ", " No Atom    Mass  Charge    ai        bi    ", "Polarization");
  for (int k = 0; k < atpara.NKIND; ++k) {
    strings.NAME[k] = in.text(kKindNameLength, kindRecord(2, k + 1));
    in.record(kindRecord(3, k + 1));
    atpara.MASS[k] = in.real();
    atom.CHARGE[k] = static_cast<int>(in.integer());
    atom.AI[k] = in.real();
    atom.BI[k] = in.real();
    atom.POL[k] = in.real();
    say(" ", fmtI(k + 1, 3), " ", fmtA(strings.NAME[k], 6), fmtF(atpara.MASS[k], 8, 4),
        fmtI(atom.CHARGE[k], 4), fmtF(atom.AI[k], 10, 6), fmtF(atom.BI[k], 10, 6),
        fmtE(atom.POL[k], 14, 6));
  }

  say(" <<INTER ATOMIC PARAMETER>>");
  for (int i = 0; i < atpara.NKIND; ++i) {
    for (int j = i; j < atpara.NKIND; ++j) {
      in.record("record 4 (pair " + std::to_string(i + 1) + " " + std::to_string(j + 1) + ")");
      const double a = in.real();
      const double b = in.real();
      const double c = in.real();
      derivePair(i, j, a, b, c);
    }
  }
  say(" ", " I  J      Z(I,J)         A(I,J)",
      "        B(I,J)     C(I,J)         PK(I,J)");
  for (int i = 0; i < atpara.NKIND; ++i)
    for (int j = 0; j < atpara.NKIND; ++j)
      say(" ", fmtI(i + 1, 3), fmtI(j + 1, 3), fmtE(atpara.Z[i][j], 15, 6),
          fmtE(atpara.A[i][j], 15, 6), fmtF(atpara.B[i][j], 10, 6),
          fmtE(atpara.C[i][j], 15, 6), fmtE(atpara.PK[i][j], 15, 6));
}
