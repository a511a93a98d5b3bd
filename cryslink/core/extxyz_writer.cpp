#include "core/extxyz_writer.h"

#include <cmath>
#include <string>
#include <string_view>

#include "core/crystal.h"
#include "core/elements.h"
#include "core/number_format.h"
#include "core/units.h"

namespace {

// Enough digits that positions and forces read back as the XSF frame gives
// them, and no more.
constexpr int kDigits = 10;

void AppendNumber(std::string& out, double value) { AppendFixed(out, value, 0, kDigits); }

}  // namespace

void WriteExtXYZHeader(std::FILE*, int) {}

void WriteExtXYZFrame(std::FILE* file, int, const CCrystal& crystal, double forceToEvPerAngstrom) {
    std::string out;
    out.reserve(256 + static_cast<size_t>(crystal.nAtomSites) * 96);
    AppendInt(out, crystal.nAtomSites, 0);
    out += "\nLattice=\"";
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) {
            if (i + k > 0) out += ' ';
            AppendNumber(out, crystal.LatticeVector[i][k] * units::kNmToAngstrom);
        }
    out += "\" Properties=species:S:1:pos:R:3:forces:R:3";
    if (std::isfinite(crystal.Energy)) {
        out += " energy=";
        AppendNumber(out, crystal.Energy);
    }
    out += " pbc=\"T T T\"\n";
    for (int i = 0; i < crystal.nAtomSites; ++i) {
        const CAtomSite& s = crystal.AtomSites[i];
        const std::string_view symbol =
            ElementSymbolOfNumber(s.AtomType ? static_cast<int>(s.AtomType->AtomicNumber) : 0);
        out += symbol.empty() ? std::string_view("X") : symbol;
        double r[3];
        crystal.FractionalToCartesian(s.x, s.y, s.z, r[0], r[1], r[2]);
        const double values[6] = {r[0] * units::kNmToAngstrom,  r[1] * units::kNmToAngstrom,
                                  r[2] * units::kNmToAngstrom,  s.ForceX * forceToEvPerAngstrom,
                                  s.ForceY * forceToEvPerAngstrom, s.ForceZ * forceToEvPerAngstrom};
        for (double v : values) {
            out += ' ';
            AppendNumber(out, v);
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), file);
}
