// The field renderings are checked against a table written by gfortran
// (tools/latfit_fortran_formats.f90) for every descriptor the program uses.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>

#include "fortran_format.h"

namespace {

double valueOf(const std::string& text) {
  if (text == "inf") return std::numeric_limits<double>::infinity();
  if (text == "-inf") return -std::numeric_limits<double>::infinity();
  if (text == "nan") return std::numeric_limits<double>::quiet_NaN();
  return std::stod(text);
}

std::string render(const std::string& descriptor, const std::string& value) {
  const char kind = descriptor[0];
  const std::size_t dot = descriptor.find('.');
  const int w = std::stoi(descriptor.substr(1, dot - 1));
  if (kind == 'I') return fmtI(std::stoll(value), w);
  if (kind == 'A') return fmtA(value, w);
  const int d = std::stoi(descriptor.substr(dot + 1));
  const double x = valueOf(value);
  if (kind == 'F') return fmtF(x, w, d);
  if (kind == 'E') return fmtE(x, w, d);
  return fmtG(x, w, d);
}

TEST(FortranFormat, MatchesGfortranTable) {
  std::ifstream table(SOURCE_DIR "/tests/data/latfit/fortran_formats.txt");
  ASSERT_TRUE(table) << "reference table missing";
  std::string line;
  int checked = 0;
  while (std::getline(table, line)) {
    const std::size_t bar1 = line.find('|');
    const std::size_t bar2 = line.find("|[");
    const std::string descriptor = line.substr(0, bar1);
    std::string value = line.substr(bar1 + 1, bar2 - bar1 - 1);
    value.erase(0, value.find_first_not_of(' '));
    const std::string expected = line.substr(bar2 + 2, line.size() - bar2 - 3);
    EXPECT_EQ(render(descriptor, value), expected) << descriptor << " of " << value;
    ++checked;
  }
  EXPECT_GT(checked, 700);
}

// The table has no negative three-digit exponent.
TEST(FortranFormat, NegativeThreeDigitExponentDropsTheLetter) {
  EXPECT_EQ(fmtE(1.5e-120, 14, 6), "  0.150000-119");
  EXPECT_EQ(fmtE(-1.5e-120, 10, 4), "-.1500-119");
}

}  // namespace
