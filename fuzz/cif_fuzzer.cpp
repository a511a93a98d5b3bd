// CIF files of any content: tokenising, the tags, the loading into a crystal
// with the expansion of its sites, and operation texts must neither crash nor
// read out of bounds.
#include "analysis/cif_load.h"
#include "converter_input.h"
#include "core/cif_parser.h"
#include "core/crystal.h"
#include "core/symmetry_operation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CifBlock block = ParseCifCopy(text);
    for (const CifLoop& loop : block.loops)
        for (const auto& row : loop.rows)
            if (row.size() != loop.tags.size()) __builtin_trap();
    double rot[3][3], trans[3];
    ParseSymmetryOperation(text.substr(0, 200), rot, trans);
    std::string position;
    if (PositionPartOfOperation(text.substr(0, 200), position)) ParseSymmetryOperation(position, rot, trans);

    LoadCrystalFromCIF(fuzz::ConverterContext(), fuzz::WriteInput(data, size, "input.cif"), "Can not read [%s].\n");
    return 0;
}
