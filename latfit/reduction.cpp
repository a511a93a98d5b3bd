#include "reduction.h"

#include <cmath>

double redc01(double x) {
  // Far-off values are first brought near the cell by whole units, so the
  // stepping below stays short; non-finite values come back unchanged.
  if (!std::isfinite(x)) return x;
  if (std::fabs(x) > 1e6) x -= std::floor(x);
  while (x < 0) x += 1;
  while (x >= 1) x -= 1;
  return x;
}
