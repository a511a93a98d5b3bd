#include "app/action_table.h"


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
#include "core/run_context.h"
#include "core/text_lines.h"
#include "md/history_csv.h"
#include "md/torv.h"
#include "md/update_file05.h"

namespace {

// Most actions take the first file only.
template <int (*Handler)(const RunContext&, const std::string&)>
int FirstFile(const RunContext& context, const std::string& file1, const std::string&) {
    return Handler(context, file1);
}

constexpr unsigned kAtoms = kAtomDatabase;
constexpr unsigned kAll = kAllDatabases;

// Looked up in this order; the first name that matches without regard to case wins.
const ActionEntry kActions[] = {
    {"ConvF09p", "Convert F09p/F09v/F05 Files to XSF / CIF files.\n", FirstFile<ConvF09p>, kAtoms},
    {"UpdateFILE05", "Update Input .f05 file with sn=%d.\n", FirstFile<UpdateFILE05>, kNoDatabase},
    {"AddHistoryCSV", "Make History CSV File from Input .f06 file.\n", AddHistoryCSV, kNoDatabase},
    {"PWScfConvOutput", "Make XSF file from PWScf Output.\n", FirstFile<PWScfConvOutput>, kAll},
    {"DVXaF01Conv", "Convert F01 file.\n", FirstFile<DVXaF01Conv>, kNoDatabase},
    {"VASPConvCONTCAR", "Convert VASP INCAR/CONTCAR files.\n", FirstFile<VASPConvCONTCAR>, kAtoms},
    {"VASPMakeXSF", "Make XSF file from VASP CONTCAR files.\n", FirstFile<VASPMakeXSF>, kAtoms},
    {"TranSIESTAConvOutput", "Make XSF file from TranSIESTA-C Output.\n", FirstFile<TranSIESTAConvOutput>, kAtoms},
    {"CASTEPConvOutput", "Make CAR/XSF file from CASTEP .castep file.\n", FirstFile<CASTEPConvOutput>, kAtoms},
    {"WIENConvDOS", "Make DOS.CSV file from WIEN2k .int/.dos* files.\n", FirstFile<WIENConvDOS>, kNoDatabase},
    {"WIENMakeCIFFromStruct", "Make CIF file from WIEN2k .struct file.\n", FirstFile<WIENMakeCIFFromStruct>, kAll},
    {"GULPMakeCIFFromInput", "Make CIF file from GULP .inp file.\n", FirstFile<GULPMakeCIFFromInput>, kAll},
    {"ShowCIFInf", "Show CIF Information.\n", FirstFile<ShowCIFInf>, kAll},
    {"CalRDF", "Calculate Radial Distribution Functions.\n", FirstFile<CalRDF>, kAll},
    {"CalDistance", "Calculate Distance.\n", CalDistance, kAll},
};

}  // namespace

const ActionEntry* FindAction(const std::string& action) {
    for (const ActionEntry& entry : kActions)
        if (EqualsNoCase(entry.name, action)) return &entry;
    return nullptr;
}

std::string ActionNames(const char* separator) { return JoinNames(kActions, separator); }
