// A TORV run of any content (FILE05, FILE07, FILE09P, FILE09V packed into
// the input) converted by the ConvF09p action.
#include "converter_input.h"
#include "md/torv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    ConvF09p(context, fuzz::WriteRun(data, size, {"run.f05", "run.f07", "run.f9p", "run.f9v"}));
    return 0;
}
