#include "core/xsf_writer.h"

#include "core/crystal.h"

namespace {

void WriteVectors(std::FILE* file, const CCrystal& crystal) {
    for (const auto& v : crystal.LatticeVector)
        std::fprintf(file, " %16.10f %16.10f %16.10f\n", v[0] * 10.0, v[1] * 10.0, v[2] * 10.0);
}

}  // namespace

int WriteXSFFrame(std::FILE* file, int frame, const CCrystal& crystal) {
    std::fprintf(file, "PRIMVEC %d\n", frame);
    WriteVectors(file, crystal);
    std::fprintf(file, "CONVVEC %d\n", frame);
    WriteVectors(file, crystal);
    std::fprintf(file, "PRIMCOORD %d\n", frame);
    std::fprintf(file, " %d  1\n", crystal.nAtomSites);
    int written = 0;
    for (int i = 0; i < crystal.nAtomSites; ++i) {
        const CAtomSite& s = crystal.AtomSites[i];
        const int z = s.AtomType ? static_cast<int>(s.AtomType->AtomicNumber) : 0;
        double X, Y, Z;
        crystal.FractionalToCartesian(s.x, s.y, s.z, X, Y, Z);
        std::fprintf(file, "%3d   %12.7f %12.7f %12.7f   %12.7f %12.7f %12.7f\n", z, X * 10.0, Y * 10.0, Z * 10.0,
                     s.ForceX, s.ForceY, s.ForceZ);
        ++written;
    }
    return written;
}
