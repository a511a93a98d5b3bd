// A VASP run directory of any content (POSCAR, POTCAR, INCAR, CONTCAR,
// OUTCAR packed into the input) through the VASPConvCONTCAR and VASPMakeXSF actions.
#include "abinitio/vasp.h"
#include "converter_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PrepareConverterRun();
    const std::string poscar = fuzz::WriteRun(data, size, {"POSCAR", "POTCAR", "INCAR", "CONTCAR", "OUTCAR"});
    VASPConvCONTCAR(poscar);
    VASPMakeXSF(poscar);
    return 0;
}
