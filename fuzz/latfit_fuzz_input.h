#pragma once
// What the latfit targets share: one of the three input files replaced by the
// fuzz input, the others taken from the MgO example, then the readers and the
// cell expansion run on them as a run does. A stop of the run is an answer.
#include <string>

#include "commons.h"
#include "files.h"
#include "fuzz_input.h"
#include "geometry.h"
#include "readers.h"
#include "run_stop.h"

namespace fuzz {

enum class LatfitInput { kStructure, kSymmetry, kAtomic };

inline void RunLatfitReaders(LatfitInput which, const uint8_t* data, size_t size) {
    static const std::string structure = SourceFile("examples/latfit/mgo/mgo.str");
    static const std::string symmetry = SourceFile("data/latfit/spacegroups.dat");
    static const std::string atomic = SourceFile("examples/latfit/mgo/mgo.atm");
    // The fixed files are written once, the input every time.
    static const bool fixedFilesWritten = [which] {
        if (which != LatfitInput::kStructure) WriteFile("in.str", structure);
        if (which != LatfitInput::kSymmetry) WriteFile("in.sym", symmetry);
        if (which != LatfitInput::kAtomic) WriteFile("in.atm", atomic);
        return true;
    }();
    (void)fixedFilesWritten;
    const char* inputName = which == LatfitInput::kStructure  ? "in.str"
                            : which == LatfitInput::kSymmetry ? "in.sym"
                                                              : "in.atm";
    WriteFile(inputName, std::string_view(reinterpret_cast<const char*>(data), size));

    resetCommons();
    units = Units{};
    // The names are held in 30 columns: the scratch directory becomes the
    // current one when its full names would not fit.
    static const std::string directory = [] {
        const std::string dir = ScratchDirectory().string() + "/";
        if (dir.size() + 7 <= static_cast<size_t>(kFileNameLength)) return dir;
        std::filesystem::current_path(ScratchDirectory());
        return std::string();
    }();
    auto name = [](const char* file) {
        return (directory + file).append(kFileNameLength, ' ').substr(0, kFileNameLength);
    };
    strings.FNAME[1] = name("in.sym");
    strings.FNAME[2] = name("in.atm");
    strings.FNAME[4] = name("out.cry");
    strings.FNAME[7] = name("in.str");
    strings.FNAME[8] = name("out.crd");
    strings.FNAME[9] = name("out.dis");
    try {
        if (!openfl(1)) return;
        const std::string symbol = rdfl07();
        if (minmax.ALPHA < 0) minmax.ALPHA = -minmax.ALPHA;
        rdfl01(symbol);
        rdfl02();
        if (!openfl(2)) return;
        calcrs(flags.CRFLAG);
        extcod(1);
        if (flags.RCFLAG != 0) distan();
    } catch (const RunStop&) {
    }
    units = Units{};
}

}  // namespace fuzz
