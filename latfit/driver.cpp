#include "driver.h"

#include <cstdio>
#include <string>

#include "commons.h"
#include "files.h"
#include "fit.h"
#include "fortran_format.h"
#include "geometry.h"
#include "readers.h"
#include "run_stop.h"

namespace {

constexpr int kNameColumns = 20;   // columns of a file name record taken
constexpr int kUnitsInOrder[] = {1, 2, 4, 7, 8, 9};

void banner() {
  const std::string rule = " " + std::string(78, '=');
  say(rule);
  say(" ", "          PROGRAM for LSQ of coordinates and ", "lattice constants.");
  say(rule);
  say(" ");
}

// The comment record and the six file names from the control input.
void readControl(std::istream& control) {
  std::string line;
  for (int record = 1; record <= 7; ++record) {
    if (!std::getline(control, line))
      throw RunStop(" ***ERROR  standard input, record " + std::to_string(record) +
                    ": end of file");
    if (record == 1) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.resize(kNameColumns, ' ');
    line.resize(kFileNameLength, ' ');
    strings.FNAME[static_cast<std::size_t>(kUnitsInOrder[record - 2])] = line;
  }
}

// X-ray density from the asymmetric unit, appended to the crystal data file.
void xrayDensity() {
  double mass = 0;
  for (int i = 0; i < cell.NASYM; ++i)
    mass += cell.MULT[i] * atpara.MASS[cell.KIND[i] - 1] * cell.OCCU[i];
  const double density = mass / (crystl.V * 0.60221367);
  units.crystal.line(" ");
  units.crystal.line(" ", "Xray Density=", fmtF(density, 12, 6), "(g/cm^3)");
}

void endBlock() {
  say(" ");
  say(" ", "***************");
  say(" ", "  PROGRAM END");
  say(" ", "***************");
}

int run(std::istream& control) {
  banner();
  readControl(control);
  if (!openfl(1)) return 1;
  const std::string symbol = rdfl07();
  bool fitOn = true;
  if (minmax.ALPHA < 0) {   // a negative Ewald parameter switches the fit off
    minmax.ALPHA = -minmax.ALPHA;
    fitOn = false;
  }
  rdfl01(symbol);
  rdfl02();
  if (!openfl(2)) return 1;
  calcrs(flags.CRFLAG);
  extcod(1);
  if (flags.RCFLAG != 0 && fitOn) distan();
  if (flags.CRFLAG == 1) xrayDensity();
  calrng();
  if (fitOn) fitlsq(symbol);
  if (!closfl()) return 1;
  endBlock();
  return 0;
}

}  // namespace

int runLatfit(std::istream& control) {
  resetCommons();
  units = Units{};
  int status;
  try {
    status = run(control);
  } catch (const RunStop& stop) {
    if (*stop.what() != '\0') say(stop.what());
    status = stop.status();
  }
  std::fflush(stdout);
  return status;
}
