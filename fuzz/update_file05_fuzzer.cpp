// The UpdateFILE05 action on a control file of any content; the next run's
// file is written beside it in the scratch directory.
#include "app/command_line.h"
#include "fuzz_input.h"
#include "md/update_file05.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gCommandLine = CCommandLine();
    const char* options[][2] = {{"sn", "4"},           {"nCycle", "2000"},  {"NextTemperature", "500"},
                                {"TemperatureRate", "2.5"}, {"ControlStep", "10"}, {"NextPressure", "1.5"}};
    for (const auto& option : options) gCommandLine.AddOption(option[0], option[1], "");
    UpdateFILE05(fuzz::WriteInput(data, size, "run-003.f05"));
    return 0;
}
