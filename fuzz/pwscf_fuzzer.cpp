// A pw.x input and output of any content (in that order in the input) through
// the PWScfConvOutput action, which also rewrites the input with the last step.
#include "abinitio/pwscf.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    fuzz::WriteRun(data, size, {"run.in", "run.out"});
    PWScfConvOutput(context, fuzz::ScratchPath("run.out"));
    return 0;
}
