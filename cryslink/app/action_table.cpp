#include "app/action_table.h"

#include <strings.h>

#include "abinitio/castep.h"
#include "abinitio/pwscf.h"
#include "analysis/cif_summary.h"
#include "analysis/distance_list.h"
#include "analysis/rdf.h"
#include "md/update_file05.h"

namespace {

int RunUpdateFILE05(const std::string& file1, const std::string&) { return UpdateFILE05(file1); }
int RunShowCIFInf(const std::string& file1, const std::string&) { return ShowCIFInf(file1); }
int RunCalRDF(const std::string& file1, const std::string&) { return CalRDF(file1); }
int RunCASTEPConvOutput(const std::string& file1, const std::string&) { return CASTEPConvOutput(file1); }
int RunPWScfConvOutput(const std::string& file1, const std::string&) { return PWScfConvOutput(file1); }

// Looked up in this order; the first name that matches without regard to case wins.
const ActionEntry kActions[] = {
    {"UpdateFILE05", "Update Input .f05 file with sn=%d.\n", RunUpdateFILE05},
    {"ShowCIFInf", "Show CIF Information.\n", RunShowCIFInf},
    {"CalRDF", "Calculate Radial Distribution Functions.\n", RunCalRDF},
    {"CalDistance", "Calculate Distance.\n", CalDistance},
    {"CASTEPConvOutput", "Make CAR/XSF file from CASTEP .castep file.\n", RunCASTEPConvOutput},
    {"PWScfConvOutput", "Make XSF file from PWScf Output.\n", RunPWScfConvOutput},
};

}  // namespace

const ActionEntry* FindAction(const std::string& action) {
    for (const ActionEntry& entry : kActions)
        if (strcasecmp(entry.name, action.c_str()) == 0) return &entry;
    return nullptr;
}
