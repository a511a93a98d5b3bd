#include "files.h"

#include "commons.h"

Units units;

namespace {

struct UnitEcho {
  int unit;
  const char* label;
};
constexpr UnitEcho kEchoes[] = {
    {1, "SYMMETRY   DATA"}, {2, "ATOMIC     DATA"}, {4, "CRYSTAL    DATA"},
    {7, "STRUCTURE  DATA"}, {8, "COORDINATE DATA"}, {9, "DISTANCE   DATA"},
};

bool openUnit(int unit) {
  const std::string path = filePath(unit);
  switch (unit) {
    case 1: return units.symmetry.open(path, path);
    case 2: return units.atomic.open(path, path);
    case 4: return units.crystal.open(path);
    case 7: return units.structure.open(path, path);
    case 8: return units.coordinates.open(path);
    default: return units.distances.open(path);
  }
}

bool openError() {
  say(" FILE OPEN ERR");
  return false;
}

}  // namespace

std::string filePath(int unit) {
  const std::string& name = strings.FNAME[static_cast<std::size_t>(unit)];
  const std::size_t end = name.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

bool openfl(int mode) {
  if (mode == 1) {
    for (const UnitEcho& echo : kEchoes) {
      say(" ", echo.label, " >>", strings.FNAME[static_cast<std::size_t>(echo.unit)]);
      if (echo.unit == 4 || echo.unit == 9) continue;
      if (!openUnit(echo.unit)) return openError();
    }
    return true;
  }
  if (flags.CRFLAG != 0 && !openUnit(4)) return openError();
  if (flags.RCFLAG != 0 && !openUnit(9)) return openError();
  return true;
}

bool closfl() {
  units.symmetry.close();
  units.atomic.close();
  bool ok = flags.CRFLAG == 0 || units.crystal.close();
  if (ok) {
    units.structure.close();
    ok = units.coordinates.close();
  }
  if (ok && flags.RCFLAG != 0) ok = units.distances.close();
  if (!ok) say(" FILE CLOSE ERR");
  return ok;
}
