// Reading of the structure data file (unit 7).
#include "commons.h"
#include "files.h"
#include "fortran_format.h"
#include "readers.h"
#include "reduction.h"
#include "run_stop.h"

namespace {

std::string atomRecord(int atom) { return "record 6 (atom " + std::to_string(atom) + ")"; }

}  // namespace

std::string rdfl07() {
  ListReader& in = units.structure;
  const std::string file = filePath(7);
  say(" ");
  say(" <<STRUCTURE DATA>>");

  in.record("record 1");
  in.integer();
  strings.TITLE = in.text(kTitleLength, "record 2 (title)");
  say(" <<TITLE>>");
  say(" ", strings.TITLE);

  in.record("record 3 (lattice constants)");
  for (double& value : crystl.LAT) value = in.real();
  const auto& lat = crystl.LAT;
  say(" ", "    a=", fmtF(lat[0], 12, 6), "     b=", fmtF(lat[1], 12, 6),
      "     c=", fmtF(lat[2], 12, 6));
  say(" ", "alpha=", fmtF(lat[3], 12, 6), "  beta=", fmtF(lat[4], 12, 6),
      " gamma=", fmtF(lat[5], 12, 6));

  // A cell beyond any size (1e308 A) would only show later as a wrong count of atoms.
  for (int k = 0; k < 6; ++k) {
    const double limit = k < 3 ? 1e6 : 180.0;
    if (!(lat[k] > 0 && lat[k] < limit))
      throw RunStop(" ***ERROR  " + file + ", record 3 (lattice constants): " + (k < 3 ? "a length" : "an angle") +
                    " outside 0 to " + (k < 3 ? "1e6 A" : "180 degrees"));
  }

  const std::string symbol = in.text(kSymbolLength, "record 4 (space-group symbol)");
  say(" ");

  in.record("record 5 (number of atoms)");
  const long long nasym = in.integer();
  checkCapacity(file + ", record 5", "atoms in the asymmetric unit", nasym, kMaxAtoms);
  cell.NASYM = static_cast<int>(nasym);
  say(" Number of  ATOMS in asymmetric unit>>", fmtI(nasym, 4));
  say(" ATOM OCCUPATION    X        Y         Z");
  for (int i = 0; i < cell.NASYM; ++i) {
    in.record(atomRecord(i + 1));
    const long long kind = in.integer();
    if (kind < 1 || kind > kMaxKinds)
      throw RunStop(" ***ERROR  " + file + ", " + atomRecord(i + 1) + ": kind " +
                    std::to_string(kind) + " is outside 1 to " + std::to_string(kMaxKinds));
    cell.KIND[i] = static_cast<int>(kind);
    cell.OCCU[i] = in.real();
    for (double& x : cell.X[i]) x = redc01(in.real());
    say(" ", fmtI(kind, 4), fmtF(cell.OCCU[i], 10, 6), fmtF(cell.X[i][0], 10, 6),
        fmtF(cell.X[i][1], 10, 6), fmtF(cell.X[i][2], 10, 6));
  }

  in.record("record 7 (lattice switches)");
  std::string line = " LID    >>";
  for (int& id : lsq.LID) {
    id = static_cast<int>(in.integer());
    line += fmtI(id, 4);
  }
  say(line);

  in.record("record 8 (coordinate switches)");
  for (int i = 0; i < cell.NASYM; ++i)
    for (int& id : lsq.XID[i]) id = static_cast<int>(in.integer());
  in.endRecord();
  for (int i = 0; i < cell.NASYM; ++i) {
    const auto& id = lsq.XID[i];
    say(" ", "  XID(", freeInt(i + 1), ")=", freeInt(id[0]), ", ",
        freeInt(id[1]), ", ", freeInt(id[2]));
  }

  in.record("record 9 (Ewald parameter, RMIN, CEPS)");
  minmax.ALPHA = in.real();
  minmax.RMIN = in.real();
  minmax.CEPS = in.real();
  if (minmax.ALPHA == 0)
    throw RunStop(" ***ERROR  " + file + ", record 9: the Ewald parameter must not be zero");
  if (!(minmax.CEPS > 0 && minmax.CEPS < 1))
    throw RunStop(" ***ERROR  " + file + ", record 9: CEPS must lie between 0 and 1");
  say(" EWALD PARAMETER >>", fmtF(minmax.ALPHA, 10, 6));
  say(" IRMIN >>", fmtF(minmax.RMIN, 12, 6), "   CEPS >>", fmtG(minmax.CEPS, 14, 6));

  in.record("record 10 (RCFLAG, RCMAX, CRFLAG)");
  flags.RCFLAG = static_cast<int>(in.integer());
  minmax.RCMAX = in.real();
  flags.CRFLAG = static_cast<int>(in.integer());
  say(" RCFLAG >>", fmtI(flags.RCFLAG, 2), "   RCMAX >>", fmtF(minmax.RCMAX, 12, 6),
      "   CRFLAG >>", fmtI(flags.CRFLAG, 2));

  in.record("record 11 (NCYCLE, EPS, WFLAG, FFLAG)");
  lsq.NCYCLE = static_cast<int>(in.integer());
  lsq.EPS = in.real();
  lsq.WFLAG = static_cast<int>(in.integer());
  lsq.FFLAG = static_cast<int>(in.integer());
  say(" ");
  say(" <<FITTING OF COORDINATES AND LATTICE CONSTANTS.>>");
  say(" NCYCLE=", fmtI(lsq.NCYCLE, 3), "   EPS=", fmtE(lsq.EPS, 14, 6), "   WFLAG=",
      fmtI(lsq.WFLAG, 2), "    FFLAG=", fmtI(lsq.FFLAG, 2));
  return symbol;
}
