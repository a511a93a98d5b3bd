// Reading of one space group from the symmetry data file (unit 1).
#include "commons.h"
#include "files.h"
#include "fortran_format.h"
#include "readers.h"
#include "run_stop.h"

namespace {

std::string operationRecord(int number, int k) {
  return "record " + std::to_string(number) + " (operation " + std::to_string(k) + ")";
}

// Finds the line holding the symbol alone in columns 1-80; false at the end.
bool findSymbol(ListReader& in, const std::string& symbol) {
  std::string wanted = symbol;
  wanted.resize(80, ' ');
  std::string line;
  while (in.nextLine(line)) {
    line.resize(80, ' ');
    if (line == wanted) return true;
  }
  return false;
}

}  // namespace

void rdfl01(const std::string& symbol) {
  ListReader& in = units.symmetry;
  const std::string file = filePath(1);
  in.rewind();
  say(" <<SYMMETRY DATA>>");
  say(" ", symbol);
  if (!findSymbol(in, symbol)) {
    say(" **ERROR  Can not found space group ", fmtA(symbol, kSymbolLength), ".");
    throw RunStop("");
  }

  in.record("record 2 of " + symbol);
  const long long icent = in.integer();
  const long long ntrans = in.integer();
  const long long nsym = in.integer();
  checkCapacity(file + ", " + symbol, "centring translations", ntrans, kMaxTranslations);
  if (icent == 1)
    checkCapacity(file + ", " + symbol, "symmetry operations after doubling by the centre",
                  2 * nsym, kMaxOperations);
  else
    checkCapacity(file + ", " + symbol, "symmetry operations", nsym, kMaxOperations);
  symm.ICENT = static_cast<int>(icent);
  symm.NTRANS = static_cast<int>(ntrans);
  symm.NSYM = static_cast<int>(nsym);
  say(" CENTER SYMMETRY >>", fmtI(icent, 2));
  say(" Number of Trans. Symmetry    >>", fmtI(ntrans, 2));
  say(" Number of Symmetry Operation >>", fmtI(nsym, 2));

  say(" <<Trans. Operation Vector>>");
  in.record("record 3 of " + symbol + " (centring translations)");
  for (int t = 0; t < symm.NTRANS; ++t)
    for (double& v : symm.TRANS[t]) v = in.real();
  in.endRecord();
  for (int t = 0; t < symm.NTRANS; ++t) {
    const Vec3& v = symm.TRANS[t];
    say(" ", fmtF(v[0], 10, 6), fmtF(v[1], 10, 6), fmtF(v[2], 10, 6));
  }

  say(" <<Symmetry Operation Matrix>>");
  for (int k = 0; k < symm.NSYM; ++k) {
    Mat3& r = symm.ROT[k];
    Vec3& t = symm.TVEC[k];
    in.record(operationRecord(4, k + 1) + " of " + symbol);
    for (Vec3& row : r)
      for (double& v : row) v = in.real();
    in.record(operationRecord(5, k + 1) + " of " + symbol);
    for (double& v : t) v = in.real();
    for (int m = 0; m < 3; ++m)
      say(" ", fmtF(r[m][0], 10, 6), fmtF(r[m][1], 10, 6), fmtF(r[m][2], 10, 6), "   ",
          fmtF(t[m], 10, 6));
    say(" ");
  }

  if (symm.ICENT == 1) {
    for (int k = 0; k < symm.NSYM; ++k) {
      for (int m = 0; m < 3; ++m) {
        for (int n = 0; n < 3; ++n) symm.ROT[symm.NSYM + k][m][n] = -symm.ROT[k][m][n];
        symm.TVEC[symm.NSYM + k][m] = -symm.TVEC[k][m];
      }
    }
    symm.NSYM *= 2;
  }
}
