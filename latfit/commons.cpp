#include "commons.h"

STRING strings;
CRYSTL crystl;
CELL cell;
LSQ lsq;
MINMAX minmax;
FLAGS flags;
ATPARA atpara;
ATOM atom;
SYMM symm;
DIFF diff;

void resetCommons() {
  strings = STRING{};
  crystl = CRYSTL{};
  cell = CELL{};
  lsq = LSQ{};
  minmax = MINMAX{};
  flags = FLAGS{};
  atpara = ATPARA{};
  atom = ATOM{};
  symm = SYMM{};
  diff = DIFF{};
}
