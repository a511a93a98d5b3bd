// Table of interatomic distances up to RCMAX (distan), unit 9.
#include "files.h"
#include "fortran_format.h"
#include "geometry.h"

void distan() {
  OutputFile& out = units.distances;
  out.line(" <<INTER ATOMIC DISTANCE (LESS THAN ", fmtF(minmax.RCMAX, 9, 4), " A ) >>");
  out.line(" <<TITLE>>");
  out.line(" ", strings.TITLE);
  out.line(" TOTAL NUMBER OF ATOMS >>", fmtI(cell.NTOT, 4));
  out.line(" ", " No- (n1,n2,n3  No) ATOM - ATOM     DISTANCE(A)");
  // The 27 cells around the origin cell; each pair appears from both sides.
  for (int n1 = -1; n1 <= 1; ++n1)
    for (int n2 = -1; n2 <= 1; ++n2)
      for (int n3 = -1; n3 <= 1; ++n3)
        for (int i = 0; i < cell.NTOT; ++i)
          for (int j = 0; j < cell.NTOT; ++j) {
            if (n1 == 0 && n2 == 0 && n3 == 0 && i == j) continue;
            const Vec3 d = {cell.X[j][0] + n1 - cell.X[i][0], cell.X[j][1] + n2 - cell.X[i][1],
                            cell.X[j][2] + n3 - cell.X[i][2]};
            const double r = metricLength(d);
            if (r > minmax.RCMAX) continue;
            out.line(" ", fmtI(i + 1, 4), " ", fmtI(n1, 3), fmtI(n2, 3), fmtI(n3, 3),
                     fmtI(j + 1, 4), "  ", fmtA(strings.NAME[cell.KIND[i] - 1], 6), " ",
                     fmtA(strings.NAME[cell.KIND[j] - 1], 6), fmtE(r, 14, 6));
          }
}
