// The UpdateFILE05 action on a control file of any content; the next run's
// file is written beside it in the scratch directory.
#include "core/run_context.h"
#include "fuzz_input.h"
#include "md/update_file05.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunContext context;
    context.options.sn = 4;
    context.options.nCycle = 2000;
    context.options.NextTemperature = 500;
    context.options.TemperatureRate = 2.5;
    context.options.ControlStep = 10;
    context.options.NextPressure = 1.5;
    UpdateFILE05(context, fuzz::WriteInput(data, size, "run-003.f05"));
    return 0;
}
