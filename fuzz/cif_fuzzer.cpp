// libFuzzer target: CIF text and operation texts of any content must neither
// crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/cif_parser.h"
#include "core/symmetry_operation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CifBlock block = ParseCif(text);
    for (const CifLoop& loop : block.loops)
        for (const auto& row : loop.rows)
            if (row.size() != loop.tags.size()) __builtin_trap();
    double rot[3][3], trans[3];
    ParseSymmetryOperation(text.substr(0, 200), rot, trans);
    return 0;
}
