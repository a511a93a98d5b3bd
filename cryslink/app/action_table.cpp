#include "app/action_table.h"

#include <strings.h>

#include "abinitio/dvxa.h"
#include "abinitio/gulp.h"
#include "abinitio/wien2k_dos.h"
#include "abinitio/wien2k_struct.h"
#include "analysis/cif_summary.h"
#include "analysis/distance_list.h"
#include "analysis/rdf.h"
#include "md/update_file05.h"

namespace {

int RunUpdateFILE05(const std::string& file1, const std::string&) { return UpdateFILE05(file1); }
int RunShowCIFInf(const std::string& file1, const std::string&) { return ShowCIFInf(file1); }
int RunCalRDF(const std::string& file1, const std::string&) { return CalRDF(file1); }
int RunDVXaF01Conv(const std::string& file1, const std::string&) { return DVXaF01Conv(file1); }
int RunWIENConvDOS(const std::string& file1, const std::string&) { return WIENConvDOS(file1); }
int RunWIENMakeCIFFromStruct(const std::string& file1, const std::string&) { return WIENMakeCIFFromStruct(file1); }
int RunGULPMakeCIFFromInput(const std::string& file1, const std::string&) { return GULPMakeCIFFromInput(file1); }

// Looked up in this order; the first name that matches without regard to case wins.
const ActionEntry kActions[] = {
    {"UpdateFILE05", "Update Input .f05 file with sn=%d.\n", RunUpdateFILE05},
    {"DVXaF01Conv", "Convert F01 file.\n", RunDVXaF01Conv},
    {"WIENConvDOS", "Make DOS.CSV file from WIEN2k .int/.dos* files.\n", RunWIENConvDOS},
    {"WIENMakeCIFFromStruct", "Make CIF file from WIEN2k .struct file.\n", RunWIENMakeCIFFromStruct},
    {"GULPMakeCIFFromInput", "Make CIF file from GULP .inp file.\n", RunGULPMakeCIFFromInput},
    {"ShowCIFInf", "Show CIF Information.\n", RunShowCIFInf},
    {"CalRDF", "Calculate Radial Distribution Functions.\n", RunCalRDF},
    {"CalDistance", "Calculate Distance.\n", CalDistance},
};

}  // namespace

const ActionEntry* FindAction(const std::string& action) {
    for (const ActionEntry& entry : kActions)
        if (strcasecmp(entry.name, action.c_str()) == 0) return &entry;
    return nullptr;
}
