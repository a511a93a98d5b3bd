#include "fortran_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(w), '*'); }

// Right-justifies text in w columns, or asterisks when it is too long.
std::string fit(const std::string& text, int w) {
  if (static_cast<int>(text.size()) > w) return stars(w);
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

// A number whose text is one column too wide loses its optional leading zero
// ("0.5" -> ".5", "-0.5" -> "-.5").
std::string fitDroppingZero(std::string text, int w) {
  if (static_cast<int>(text.size()) > w) {
    const std::size_t zero = (text[0] == '-') ? 1 : 0;
    if (text.compare(zero, 2, "0.") == 0) text.erase(zero, 1);
  }
  return fit(text, w);
}

// Infinity and NaN, spelled out as far as the width allows.
std::string nonFinite(double value, int w) {
  if (std::isnan(value)) return fit("NaN", w);
  const std::string sign = value < 0 ? "-" : "";
  if (static_cast<int>(sign.size()) + 8 <= w) return fit(sign + "Infinity", w);
  return fit(sign + "Inf", w);
}

std::string printfDouble(const char* format, int precision, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, precision, value);
  return buffer;
}

// Sign, significant digits and decimal exponent of value rounded to d digits,
// as 0.digits x 10^exponent.
struct Scientific {
  bool negative;
  std::string digits;
  int exponent;
};

Scientific scientific(double value, int d) {
  const std::string text = printfDouble("%.*e", d - 1, value);   // [-]d.ddde+XX
  Scientific s{text[0] == '-', {}, 0};
  const std::size_t start = s.negative ? 1 : 0;
  const std::size_t e = text.find('e');
  for (std::size_t i = start; i < e; ++i)
    if (text[i] != '.') s.digits += text[i];
  s.exponent = value == 0 ? 0 : std::atoi(text.c_str() + e + 1) + 1;
  return s;
}

// 10^n by repeated multiplication, as the Fortran run time computes it.
double powerOfTen(int n) {
  double r = 1;
  for (int i = 0; i < std::abs(n); ++i) r *= 10;
  return n >= 0 ? r : 1 / r;
}

}  // namespace

std::string fmtI(long long value, int w) { return fit(std::to_string(value), w); }

std::string fmtF(double value, int w, int d) {
  if (!std::isfinite(value)) return nonFinite(value, w);
  return fitDroppingZero(printfDouble("%#.*f", d, value), w);
}

std::string fmtE(double value, int w, int d) {
  if (!std::isfinite(value)) return nonFinite(value, w);
  const Scientific s = scientific(value, d);
  const int magnitude = std::abs(s.exponent);
  if (magnitude > 999) return stars(w);
  char exponent[8];
  if (magnitude <= 99)
    std::snprintf(exponent, sizeof exponent, "E%c%02d", s.exponent < 0 ? '-' : '+', magnitude);
  else
    std::snprintf(exponent, sizeof exponent, "%c%03d", s.exponent < 0 ? '-' : '+', magnitude);
  return fitDroppingZero((s.negative ? "-0." : "0.") + s.digits + exponent, w);
}

std::string fmtG(double value, int w, int d) {
  if (!std::isfinite(value)) return nonFinite(value, w);
  // The choice between the fixed and the exponent form follows the Fortran
  // rule with round-to-nearest, evaluated in double arithmetic: the fixed
  // form with d - s places serves 10^(s-1) - 0.5*10^(s-1-d) <= |x| <
  // 10^s - 0.5*10^(s-d), for s = 0..d; zero gets d - 1 places.
  const double m = std::fabs(value);
  const double expD = powerOfTen(d);
  const double rsc = 1 - 0.5 / expD;
  if (d == 0 || (m > 0 && (m < 0.1 * rsc || 0.5 >= expD - m))) return fmtE(value, w, d);
  int mid = 0, low = 0, high = d + 1, lbound = 0, ubound = d + 1;
  while (low <= high) {
    mid = (low + high) / 2;
    const volatile double threshold = powerOfTen(mid - 1) * rsc;
    if (m < threshold) {
      ubound = mid;
      if (ubound == lbound + 1) break;
      high = mid - 1;
    } else if (m > threshold) {
      lbound = mid;
      if (ubound == lbound + 1) {
        ++mid;
        break;
      }
      low = mid + 1;
    } else {
      ++mid;
      break;
    }
  }
  const int places = m == 0 ? d - 1 : d + 1 - mid;
  const int pad = 4 >= w ? w - 1 : 4;
  const std::string fixed = fmtF(value, w - pad, places);
  if (fixed == stars(w - pad)) return stars(w);
  return fixed + std::string(static_cast<std::size_t>(pad), ' ');
}

std::string fmtA(const std::string& text, int w) {
  if (static_cast<int>(text.size()) >= w) return text.substr(0, static_cast<std::size_t>(w));
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

std::string freeInt(long long value) { return std::to_string(value); }
