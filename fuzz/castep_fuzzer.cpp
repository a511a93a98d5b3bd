// A .castep output of any content through the CASTEPConvOutput action.
#include "abinitio/castep.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    CASTEPConvOutput(context, fuzz::WriteRun(data, size, {"run.castep"}));
    return 0;
}
