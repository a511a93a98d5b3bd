#include "structure_writer.h"

#include <cstdio>

#include "commons.h"
#include "files.h"
#include "fortran_format.h"

namespace {

void writeStructure(OutputFile& out, const std::string& symbol) {
  out.line(" ", freeInt(1));
  out.line(fmtA(strings.TITLE, kTitleLength));
  std::string lattice = " ";
  for (double v : crystl.LAT) lattice += fmtF(v, 13, 6);
  out.line(lattice);
  out.line(fmtA(symbol, kSymbolLength));
  out.line(" ", fmtI(cell.NASYM, 4));
  for (int i = 0; i < cell.NASYM; ++i)
    out.line(" ", fmtI(cell.KIND[i], 4), fmtF(cell.OCCU[i], 13, 6), fmtF(cell.X[i][0], 13, 6),
             fmtF(cell.X[i][1], 13, 6), fmtF(cell.X[i][2], 13, 6));
  std::string switches = " ";
  for (int id : lsq.LID) switches += fmtI(id, 3);
  out.line(switches);
  for (int i = 0; i < cell.NASYM; ++i)
    out.line(" ", fmtI(lsq.XID[i][0], 3), fmtI(lsq.XID[i][1], 3), fmtI(lsq.XID[i][2], 3));
  out.line(" ", fmtG(minmax.ALPHA, 14, 6));
  out.line(" ", fmtG(minmax.RMIN, 14, 6), fmtG(minmax.CEPS, 14, 6));
  out.line(" ", fmtI(flags.RCFLAG, 3), fmtG(minmax.RCMAX, 14, 6));
  out.line(" ", fmtI(flags.CRFLAG, 3));
  out.line(" ", fmtI(lsq.NCYCLE, 3), fmtG(lsq.EPS, 14, 6), fmtI(lsq.WFLAG, 4),
           fmtI(lsq.FFLAG, 4));
}

}  // namespace

bool wrfl07(const std::string& spaceGroupSymbol) {
  const std::string path = filePath(7);
  const std::string temporary = path + ".tmp";
  OutputFile out;
  bool ok = out.open(temporary);
  if (ok) {
    writeStructure(out, spaceGroupSymbol);
    ok = out.close() && std::rename(temporary.c_str(), path.c_str()) == 0;
  }
  if (!ok) {
    std::remove(temporary.c_str());
    say(" ***ERROR  Can not write the structure data file ", path, "; it is left unchanged.");
  }
  return ok;
}
