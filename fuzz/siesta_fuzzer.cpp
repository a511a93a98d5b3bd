// An ATK input and a TranSIESTA-C/ATK or SIESTA output of any content (in that
// order in the input) through the TranSIESTAConvOutput action.
#include "abinitio/transiesta.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    fuzz::WriteRun(data, size, {"run.atk", "run.out"});
    TranSIESTAConvOutput(context, fuzz::ScratchPath("run.out"));
    return 0;
}
