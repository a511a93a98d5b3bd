// A GULP input of any content through the GULPMakeCIFFromInput action.
#include "abinitio/gulp.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PrepareConverterRun();
    GULPMakeCIFFromInput(fuzz::WriteRun(data, size, {"run.gin"}));
    return 0;
}
