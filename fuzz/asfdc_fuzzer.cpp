// The atomic-weight table "asfdc" of any content, asked for the element its
// first word names and for a fixed one.
#include "core/atom_database.h"
#include "core/atom_type.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CAtomDatabase database;
    database.ReadWeights(fuzz::WriteInput(data, size, "asfdc"));
    for (const std::string& name : {LeadingLetters(std::string(reinterpret_cast<const char*>(data), size)),
                                    std::string("Si")}) {
        CAtomType type;
        type.Name = name;
        database.Fill(type);
    }
    return 0;
}
