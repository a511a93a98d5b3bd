// latfit's structure data file of any content: read, and the cell built from it.
#include "latfit_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::RunLatfitReaders(fuzz::LatfitInput::kStructure, data, size);
    return 0;
}
