// The space-group library data/latfit/spacegroups.dat, read by rdfl01 and
// expanded by extcod: Wyckoff multiplicities of general and special positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "geometry.h"
#include "latfit_test_support.h"
#include "readers.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const std::string kLibrary = SOURCE_DIR "/data/latfit/spacegroups.dat";

using Lattice = std::array<double, 6>;
const Lattice kCubic = {10, 10, 10, 90, 90, 90};
const Lattice kTetragonal = {8, 8, 6, 90, 90, 90};
const Lattice kOrthorhombic = {8, 9, 10, 90, 90, 90};
const Lattice kMonoclinic = {9, 7, 8, 90, 100, 90};
const Lattice kHexagonal = {8, 8, 12, 90, 90, 120};
const Lattice kRhombohedral = {6, 6, 6, 70, 70, 70};

struct Site {
  const char* wyckoff;
  Vec3 x;
  int multiplicity;
};

struct Group {
  const char* symbol;
  Lattice lattice;
  std::vector<Site> sites;
};

// Known Wyckoff multiplicities; the last site of each group is a general position.
const std::vector<Group> kGroups = {
    {"Fm-3m", kCubic,
     {{"4a", {0, 0, 0}, 4}, {"8c", {0.25, 0.25, 0.25}, 8}, {"24d", {0, 0.25, 0.25}, 24},
      {"32f", {0.19, 0.19, 0.19}, 32}, {"48h", {0, 0.17, 0.17}, 48},
      {"96k", {0.07, 0.07, 0.29}, 96}, {"192l", {0.061, 0.173, 0.319}, 192}}},
    {"Im-3m", kCubic,
     {{"2a", {0, 0, 0}, 2}, {"6b", {0, 0.5, 0.5}, 6}, {"8c", {0.25, 0.25, 0.25}, 8},
      {"12d", {0.25, 0, 0.5}, 12}, {"16f", {0.19, 0.19, 0.19}, 16},
      {"48i", {0.25, 0.17, 0.33}, 48}, {"96l", {0.061, 0.173, 0.319}, 96}}},
    {"Ia-3d", kCubic,
     {{"16a", {0, 0, 0}, 16}, {"16b", {0.125, 0.125, 0.125}, 16},
      {"24c", {0.125, 0, 0.25}, 24}, {"24d", {0.375, 0, 0.25}, 24},
      {"32e", {0.19, 0.19, 0.19}, 32}, {"48f", {0.17, 0, 0.25}, 48},
      {"96h", {0.061, 0.173, 0.319}, 96}}},
    {"Fd-3m", kCubic,
     {{"8a", {0, 0, 0}, 8}, {"16c", {0.125, 0.125, 0.125}, 16}, {"32e", {0.19, 0.19, 0.19}, 32},
      {"48f", {0.17, 0, 0}, 48}, {"96h", {0, 0.17, 0.83}, 96},
      {"192i", {0.061, 0.173, 0.319}, 192}}},
    {"Fd-3m:2", kCubic,
     {{"8a", {0.125, 0.125, 0.125}, 8}, {"8b", {0.375, 0.375, 0.375}, 8},
      {"16c", {0, 0, 0}, 16}, {"16d", {0.5, 0.5, 0.5}, 16}, {"32e", {0.26, 0.26, 0.26}, 32},
      {"48f", {0.37, 0.125, 0.125}, 48}, {"96g", {0.03, 0.03, 0.27}, 96},
      {"192i", {0.061, 0.173, 0.319}, 192}}},
    {"F-43m", kCubic,
     {{"4a", {0, 0, 0}, 4}, {"4c", {0.25, 0.25, 0.25}, 4}, {"16e", {0.19, 0.19, 0.19}, 16},
      {"24g", {0.17, 0.25, 0.25}, 24}, {"96i", {0.061, 0.173, 0.319}, 96}}},
    {"P213", kCubic, {{"4a", {0.19, 0.19, 0.19}, 4}, {"12b", {0.061, 0.173, 0.319}, 12}}},
    {"P63/mmc", kHexagonal,
     {{"2a", {0, 0, 0}, 2}, {"2c", {1.0 / 3, 2.0 / 3, 0.25}, 2},
      {"4f", {1.0 / 3, 2.0 / 3, 0.07}, 4},
      {"6g", {0.5, 0, 0}, 6}, {"6h", {0.17, 0.34, 0.25}, 6}, {"12k", {0.17, 0.34, 0.07}, 12},
      {"24l", {0.061, 0.173, 0.319}, 24}}},
    {"P-3m1", kHexagonal,
     {{"1a", {0, 0, 0}, 1}, {"2d", {1.0 / 3, 2.0 / 3, 0.21}, 2}, {"3e", {0.5, 0, 0}, 3},
      {"6i", {0.17, 0.83, 0.21}, 6}, {"12j", {0.061, 0.173, 0.319}, 12}}},
    {"R-3m", kHexagonal,
     {{"3a", {0, 0, 0}, 3}, {"3b", {0, 0, 0.5}, 3}, {"6c", {0, 0, 0.21}, 6},
      {"9d", {0.5, 0, 0.5}, 9}, {"18h", {0.17, 0.83, 0.21}, 18},
      {"36i", {0.061, 0.173, 0.319}, 36}}},
    {"R-3m:R", kRhombohedral,
     {{"1a", {0, 0, 0}, 1}, {"1b", {0.5, 0.5, 0.5}, 1}, {"2c", {0.21, 0.21, 0.21}, 2},
      {"3d", {0.5, 0, 0}, 3}, {"6h", {0.17, 0.17, 0.41}, 6},
      {"12i", {0.061, 0.173, 0.319}, 12}}},
    {"R3c", kHexagonal, {{"6a", {0, 0, 0.21}, 6}, {"18b", {0.061, 0.173, 0.319}, 18}}},
    {"R3c:R", kRhombohedral, {{"2a", {0.21, 0.21, 0.21}, 2}, {"6b", {0.061, 0.173, 0.319}, 6}}},
    {"P42/mnm", kTetragonal,
     {{"2a", {0, 0, 0}, 2}, {"4c", {0, 0.5, 0}, 4}, {"4f", {0.3, 0.3, 0}, 4},
      {"8j", {0.17, 0.17, 0.21}, 8}, {"16k", {0.061, 0.173, 0.319}, 16}}},
    {"I41/amd:2", kTetragonal,
     {{"4a", {0, 0.75, 0.125}, 4}, {"8c", {0, 0, 0}, 8}, {"8e", {0, 0.25, 0.21}, 8},
      {"16h", {0, 0.17, 0.41}, 16}, {"32i", {0.061, 0.173, 0.319}, 32}}},
    {"Cmcm", kOrthorhombic,
     {{"4a", {0, 0, 0}, 4}, {"4c", {0, 0.17, 0.25}, 4}, {"8d", {0.25, 0.25, 0}, 8},
      {"8g", {0.17, 0.41, 0.25}, 8}, {"16h", {0.061, 0.173, 0.319}, 16}}},
    {"Cmc21", kOrthorhombic, {{"4a", {0, 0.17, 0.21}, 4}, {"8b", {0.061, 0.173, 0.319}, 8}}},
    {"Pnma", kOrthorhombic,
     {{"4a", {0, 0, 0}, 4}, {"4c", {0.17, 0.25, 0.41}, 4}, {"8d", {0.061, 0.173, 0.319}, 8}}},
    {"P21/c", kMonoclinic,
     {{"2a", {0, 0, 0}, 2}, {"2d", {0.5, 0, 0.5}, 2}, {"4e", {0.061, 0.173, 0.319}, 4}}},
    {"C2/c", kMonoclinic,
     {{"4a", {0, 0, 0}, 4}, {"4c", {0.25, 0.25, 0}, 4}, {"4e", {0, 0.17, 0.25}, 4},
      {"8f", {0.061, 0.173, 0.319}, 8}}},
    {"C2/m", kMonoclinic,
     {{"2a", {0, 0, 0}, 2}, {"4g", {0, 0.17, 0}, 4}, {"4i", {0.17, 0, 0.41}, 4},
      {"8j", {0.061, 0.173, 0.319}, 8}}},
    {"P1", kMonoclinic, {{"1a", {0.061, 0.173, 0.319}, 1}}},
    {"P-1", kMonoclinic, {{"1a", {0, 0, 0}, 1}, {"2i", {0.061, 0.173, 0.319}, 2}}},
};

class SpaceGroupLibrary : public testing::Test {
 protected:
  void SetUp() override {
    latfit_test::resetRun();
    latfit_test::openInput(1, kLibrary);
    minmax.RMIN = 0.01;
  }
  static void readGroup(const std::string& symbol) {
    std::string padded = symbol;
    padded.resize(kSymbolLength, ' ');
    CaptureStdout();
    rdfl01(padded);
    GetCapturedStdout();
  }
  static void lattice(const Lattice& constants) {
    crystl.LAT = constants;
    calcrs(0);
  }
  // Multiplicity of the position x expanded alone.
  static int multiplicity(const Vec3& x) {
    cell.NASYM = 1;
    cell.KIND[0] = 1;
    cell.OCCU[0] = 1;
    cell.X[0] = x;
    extcod(0);
    return cell.MULT[0];
  }
  // Positions of the expanded cell in millionths, modulo 1, sorted.
  static std::vector<std::array<long long, 3>> positions() {
    std::vector<std::array<long long, 3>> keys;
    for (int n = 0; n < cell.NTOT; ++n) {
      std::array<long long, 3> key;
      for (int k = 0; k < 3; ++k) key[k] = std::llround(cell.X[n][k] * 1e6) % 1000000;
      keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  static std::vector<std::string> symbols() {
    std::ifstream in(kLibrary);
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && line[0] != ' ' && line[0] != '#') found.push_back(line);
    return found;
  }
};

TEST_F(SpaceGroupLibrary, WyckoffMultiplicities) {
  for (const Group& group : kGroups) {
    SCOPED_TRACE(group.symbol);
    readGroup(group.symbol);
    lattice(group.lattice);
    for (const Site& site : group.sites)
      EXPECT_EQ(multiplicity(site.x), site.multiplicity) << site.wyckoff;
  }
}

// Every entry reads, fits the capacities, and gives its general position as
// many distinct images as it has operations times centring translations;
// expanding any one of those images gives the same set, so the operations
// form a group.
TEST_F(SpaceGroupLibrary, EveryEntryGivesAFullGeneralOrbit) {
  const std::vector<std::string> all = symbols();
  EXPECT_EQ(all.size(), 299u);
  lattice(kCubic);
  for (const std::string& symbol : all) {
    SCOPED_TRACE(symbol);
    ASSERT_LE(symbol.size(), static_cast<std::size_t>(kSymbolLength));
    readGroup(symbol);
    EXPECT_EQ(multiplicity({0.061, 0.173, 0.319}), symm.NSYM * symm.NTRANS);
    const auto orbit = positions();
    multiplicity(cell.X[cell.NTOT - 1]);
    EXPECT_EQ(positions(), orbit);
  }
}

TEST_F(SpaceGroupLibrary, CentringTranslationsPlaceTheCopies) {
  readGroup("Fm-3m");
  lattice(kCubic);
  multiplicity({0, 0, 0});
  EXPECT_EQ(positions(), (std::vector<std::array<long long, 3>>{
                             {0, 0, 0}, {0, 500000, 500000}, {500000, 0, 500000}, {500000, 500000, 0}}));
  readGroup("R-3m:H");
  lattice(kHexagonal);
  multiplicity({0, 0, 0});
  EXPECT_EQ(positions(), (std::vector<std::array<long long, 3>>{
                             {0, 0, 0}, {333333, 666667, 666667}, {666667, 333333, 333333}}));
}

// The second origin choice moves the inversion centre to the origin: the
// generated file lists it with ICENT = 1 and half the operations.
TEST_F(SpaceGroupLibrary, CentreOfSymmetryAtTheOriginOnly) {
  readGroup("Fd-3m");
  EXPECT_EQ(symm.ICENT, 0);
  EXPECT_EQ(symm.NSYM, 48);
  readGroup("Fd-3m:2");
  EXPECT_EQ(symm.ICENT, 1);
  EXPECT_EQ(symm.NSYM, 48);
  readGroup("R-3m:R");
  EXPECT_EQ(symm.ICENT, 1);
  EXPECT_EQ(symm.NTRANS, 1);
  EXPECT_EQ(symm.NSYM, 12);
}

TEST_F(SpaceGroupLibrary, AliasesHoldTheSameOperations) {
  const std::vector<std::pair<std::string, std::string>> aliases = {
      {"Fd-3m", "Fd-3m:1"}, {"R-3c", "R-3c:H"}, {"Cmce", "Cmca"}, {"Ccce:2", "Ccca:2"}};
  for (const auto& [symbol, alias] : aliases) {
    SCOPED_TRACE(alias);
    readGroup(symbol);
    const SYMM first = symm;
    readGroup(alias);
    EXPECT_EQ(symm.NSYM, first.NSYM);
    EXPECT_EQ(symm.NTRANS, first.NTRANS);
    EXPECT_EQ(symm.ROT, first.ROT);
    EXPECT_EQ(symm.TVEC, first.TVEC);
    EXPECT_EQ(symm.TRANS, first.TRANS);
  }
}

}  // namespace
