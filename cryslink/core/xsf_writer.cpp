#include "core/xsf_writer.h"

#include <string>

#include "core/crystal.h"
#include "core/number_format.h"
#include "core/units.h"

namespace {

// " %16.10f %16.10f %16.10f" per vector, in angstrom.
void AppendVectors(std::string& out, const CCrystal& crystal) {
    for (const auto& v : crystal.LatticeVector) {
        for (int k = 0; k < 3; ++k) {
            out += ' ';
            AppendFixed(out, v[k] * units::kNmToAngstrom, 16, 10);
        }
        out += '\n';
    }
}

}  // namespace

int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal) {
    std::string out;
    out.reserve(256 + static_cast<size_t>(crystal.nAtomSites) * 96);
    const std::string number = std::to_string(frame);
    out += "PRIMVEC " + number + "\n";
    AppendVectors(out, crystal);
    out += "CONVVEC " + number + "\n";
    AppendVectors(out, crystal);
    out += "PRIMCOORD " + number + "\n";
    out += ' ';
    AppendInt(out, crystal.nAtomSites, 0);
    out += "  1\n";
    int written = 0;
    // Each atom as "%3d   %12.7f %12.7f %12.7f   %12.7f %12.7f %12.7f": atomic
    // number, position in angstrom, force.
    for (int i = 0; i < crystal.nAtomSites; ++i) {
        const CAtomSite& s = crystal.AtomSites[i];
        const int z = s.AtomType ? static_cast<int>(s.AtomType->AtomicNumber) : 0;
        double X, Y, Z;
        crystal.FractionalToCartesian(s.x, s.y, s.z, X, Y, Z);
        AppendInt(out, z, 3);
        const double toAngstrom = units::kNmToAngstrom;
        const double values[6] = {X * toAngstrom, Y * toAngstrom, Z * toAngstrom, s.ForceX, s.ForceY, s.ForceZ};
        for (int k = 0; k < 6; ++k) {
            out += k % 3 == 0 ? "   " : " ";
            AppendFixed(out, values[k], 12, 7);
        }
        out += '\n';
        ++written;
    }
    std::fwrite(out.data(), 1, out.size(), file);
    return written;
}

void WriteXSFHeader(std::FILE* file, int nFrames) { std::fprintf(file, "ANIMSTEPS %d\nCRYSTAL\n\n", nFrames); }

void WriteXSFTrajectoryFrame(std::FILE* file, int number, const CCrystal& crystal, double) {
    WriteXSFFrame(file, number, crystal);
}
