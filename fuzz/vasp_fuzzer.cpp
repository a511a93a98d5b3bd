// A VASP run directory of any content (POSCAR, POTCAR, INCAR, CONTCAR,
// OUTCAR packed into the input) through the VASPConvCONTCAR and VASPMakeXSF actions.
#include "abinitio/vasp.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RunContext& context = fuzz::ConverterContext();
    const std::string poscar = fuzz::WriteRun(data, size, {"POSCAR", "POTCAR", "INCAR", "CONTCAR", "OUTCAR"});
    VASPConvCONTCAR(context, poscar);
    VASPMakeXSF(context, poscar);
    return 0;
}
