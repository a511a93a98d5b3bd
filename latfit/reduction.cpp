#include "reduction.h"

#include <cmath>

// x - floor(x) is exactly what adding or subtracting 1 until x lies in [0, 1)
// gives, without a loop whose length grows with x (and never ends once 1 is
// below the precision of x); non-finite values come back unchanged.
double redc01(double x) {
  if (!std::isfinite(x) || (x >= 0 && x < 1)) return x;
  double reduced = x - std::floor(x);
  if (reduced >= 1) reduced -= 1;  // a tiny negative x rounds up to 1
  return reduced;
}
