// The space-group database "spgra" of any content: a group read by number and
// setting, its operations applied, and a group looked up by its symbols.
#include <string>

#include "core/space_group.h"
#include "core/space_group_database.h"
#include "core/space_group_lookup.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput(data, size, "spgra");
    CSpaceGroupDatabase database;
    database.Read(path);
    for (int number : {1, 2, 225}) {
        CSpaceGroup sg;
        sg.ReadSPG(number, 1, database);
        double x, y, z;
        for (int o = 0; o < sg.nSymmetry; ++o)
            for (int t = 0; t < sg.nCentering; ++t)
                for (int s = 0; s < (sg.bInversion ? 2 : 1); ++s)
                    if (sg.HasNumbers(o)) sg.ApplyOperation(o, t, s, 0.1, 0.2, 0.3, x, y, z);
    }
    SpaceGroupRecord record;
    FindSpaceGroupRecord("", "P 1", 0, false, database, path, record);
    FindSpaceGroupRecord("-F 4 2 3", "F m -3 m", 225, false, database, path, record);
    return 0;
}
