#include "app/action_table.h"

#include <strings.h>

#include "abinitio/castep.h"
#include "abinitio/dvxa.h"
#include "abinitio/gulp.h"
#include "abinitio/pwscf.h"
#include "abinitio/transiesta.h"
#include "abinitio/vasp.h"
#include "abinitio/wien2k_dos.h"
#include "abinitio/wien2k_struct.h"
#include "analysis/cif_summary.h"
#include "analysis/distance_list.h"
#include "analysis/rdf.h"
#include "md/history_csv.h"
#include "md/torv.h"
#include "md/update_file05.h"

namespace {

// Most actions take the first file only.
template <int (*Handler)(const std::string&)>
int FirstFile(const std::string& file1, const std::string&) {
    return Handler(file1);
}

// Looked up in this order; the first name that matches without regard to case wins.
const ActionEntry kActions[] = {
    {"ConvF09p", "Convert F09p/F09v/F05 Files to XSF / CIF files.\n", FirstFile<ConvF09p>},
    {"UpdateFILE05", "Update Input .f05 file with sn=%d.\n", FirstFile<UpdateFILE05>},
    {"AddHistoryCSV", "Make History CSV File from Input .f06 file.\n", AddHistoryCSV},
    {"PWScfConvOutput", "Make XSF file from PWScf Output.\n", FirstFile<PWScfConvOutput>},
    {"DVXaF01Conv", "Convert F01 file.\n", FirstFile<DVXaF01Conv>},
    {"VASPConvCONTCAR", "Convert VASP INCAR/CONTCAR files.\n", FirstFile<VASPConvCONTCAR>},
    {"VASPMakeXSF", "Make XSF file from VASP CONTCAR files.\n", FirstFile<VASPMakeXSF>},
    {"TranSIESTAConvOutput", "Make XSF file from TranSIESTA-C Output.\n", FirstFile<TranSIESTAConvOutput>},
    {"CASTEPConvOutput", "Make CAR/XSF file from CASTEP .castep file.\n", FirstFile<CASTEPConvOutput>},
    {"WIENConvDOS", "Make DOS.CSV file from WIEN2k .int/.dos* files.\n", FirstFile<WIENConvDOS>},
    {"WIENMakeCIFFromStruct", "Make CIF file from WIEN2k .struct file.\n", FirstFile<WIENMakeCIFFromStruct>},
    {"GULPMakeCIFFromInput", "Make CIF file from GULP .inp file.\n", FirstFile<GULPMakeCIFFromInput>},
    {"ShowCIFInf", "Show CIF Information.\n", FirstFile<ShowCIFInf>},
    {"CalRDF", "Calculate Radial Distribution Functions.\n", FirstFile<CalRDF>},
    {"CalDistance", "Calculate Distance.\n", CalDistance},
};

}  // namespace

const ActionEntry* FindAction(const std::string& action) {
    for (const ActionEntry& entry : kActions)
        if (strcasecmp(entry.name, action.c_str()) == 0) return &entry;
    return nullptr;
}
