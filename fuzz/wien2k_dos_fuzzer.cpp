// A WIEN2k .int file and DOS files of any content (packed into the input in
// the order below) through the WIENConvDOS action.
#include "abinitio/wien2k_dos.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    WIENConvDOS(context, fuzz::WriteRun(data, size,
                               {"case.int", "case.dos1ev", "case.dos1evup", "case.dos1evdn", "case.dos2ev",
                                "case.dos2evup", "case.dos2evdn", "case.dos3ev", "case.dos3evup", "case.dos3evdn"}));
    return 0;
}
