// A DV-Xa F01 file of any content rewritten by the DVXaF01Conv action.
#include "abinitio/dvxa.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunContext& context = fuzz::ConverterContext();
    context.options.Spin.assign(1, 'n');  // "n" (assigning the literal trips a false g++ 12 warning)
    context.options.Madelung = 0;
    DVXaF01Conv(context, fuzz::WriteRun(data, size, {"F01"}));
    return 0;
}
