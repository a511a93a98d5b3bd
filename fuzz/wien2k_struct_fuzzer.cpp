// A WIEN2k .struct file of any content through the WIENMakeCIFFromStruct action.
#include "abinitio/wien2k_struct.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    WIENMakeCIFFromStruct(context, fuzz::WriteRun(data, size, {"case.struct"}));
    return 0;
}
