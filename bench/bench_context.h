#pragma once
// The run every benchmark hands its action: the databases of the source tree,
// read once, and the default options (a benchmark sets what it needs).
#include "core/run_context.h"

inline RunContext& BenchContext() {
    static RunContext context = [] {
        RunContext c;
        ReadDatabases(c, DatabasePaths(SOURCE_DIR "/data"));
        return c;
    }();
    return context;
}
