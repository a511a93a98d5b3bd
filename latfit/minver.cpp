#include "minver.h"

#include <cmath>
#include <utility>
#include <vector>

#include "output_file.h"

void minver(double* a, int lda, int n, double eps, double& det, int& ier) {
  auto at = [&](int i, int j) -> double& { return a[i + static_cast<std::size_t>(j) * lda]; };
  std::vector<int> perm(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) perm[i] = i;
  det = 1.0;
  ier = 0;
  for (int e = 0; e < n; ++e) {
    int f = e;
    for (int l = e + 1; l < n; ++l)
      if (std::fabs(at(e, l)) > std::fabs(at(e, f))) f = l;
    const double pivot = at(e, f);
    if (std::fabs(pivot) <= eps) {
      say(" ***ERROR  MATRIX IS SINGULAR");
      ier = 1;
      return;
    }
    det *= pivot;
    if (f != e) {
      std::swap(perm[e], perm[f]);
      det = -det;
      for (int i = 0; i < n; ++i) std::swap(at(i, e), at(i, f));
    }
    for (int i = 0; i < n; ++i) at(i, e) /= pivot;
    for (int l = 0; l < n; ++l) {
      if (l == e) continue;
      const double t = at(e, l);
      if (t == 0.0) continue;
      for (int i = 0; i < n; ++i)
        if (i != e) at(i, l) -= t * at(i, e);
      at(e, l) = -t / pivot;
    }
    at(e, e) = 1.0 / pivot;
  }
  // Column e of the reduced matrix held column perm[e] of the original: the
  // inverse gets the matching rows back in place.
  for (int e = 0; e < n; ++e) {
    while (perm[e] != e) {
      const int m = perm[e];
      std::swap(perm[e], perm[m]);
      for (int j = 0; j < n; ++j) std::swap(at(e, j), at(m, j));
    }
  }
}
