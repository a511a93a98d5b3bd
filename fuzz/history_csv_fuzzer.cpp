// A TORV log (.f06) of any content, with the step and cell tables of an
// earlier call when the input packs them, made into history tables by the
// AddHistoryCSV action.
#include "converter_input.h"
#include "md/history_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    AddHistoryCSV(context, fuzz::WriteRun(data, size, {"run.f06", "run-History.csv", "run-History2.csv"}), "");
    return 0;
}
