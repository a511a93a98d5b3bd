// A GULP input of any content through the GULPMakeCIFFromInput action.
#include "abinitio/gulp.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    GULPMakeCIFFromInput(context, fuzz::WriteRun(data, size, {"run.gin"}));
    return 0;
}
