#pragma once
// The run every benchmark hands its action: the databases of the source tree,
// read once, and the default options (a benchmark sets what it needs).
#include "core/run_context.h"

inline RunContext& BenchContext() {
    static RunContext context = [] {
        RunContext c;
        c.atoms.ReadOrbitals(SOURCE_DIR "/data/nonrel");
        c.atoms.ReadWeights(SOURCE_DIR "/data/asfdc");
        c.spaceGroups.Read(SOURCE_DIR "/data/spgra");
        return c;
    }();
    return context;
}
