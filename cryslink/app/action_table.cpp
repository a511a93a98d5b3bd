#include "app/action_table.h"

#include <strings.h>

#include "abinitio/transiesta.h"
#include "abinitio/vasp.h"
#include "abinitio/castep.h"
#include "abinitio/pwscf.h"
#include "analysis/cif_summary.h"
#include "analysis/distance_list.h"
#include "analysis/rdf.h"
#include "md/history_csv.h"
#include "md/torv.h"
#include "md/update_file05.h"

namespace {

int RunConvF09p(const std::string& file1, const std::string&) { return ConvF09p(file1); }
int RunUpdateFILE05(const std::string& file1, const std::string&) { return UpdateFILE05(file1); }
int RunShowCIFInf(const std::string& file1, const std::string&) { return ShowCIFInf(file1); }
int RunCalRDF(const std::string& file1, const std::string&) { return CalRDF(file1); }
int RunVASPConvCONTCAR(const std::string& file1, const std::string&) { return VASPConvCONTCAR(file1); }
int RunVASPMakeXSF(const std::string& file1, const std::string&) { return VASPMakeXSF(file1); }
int RunTranSIESTAConvOutput(const std::string& file1, const std::string&) { return TranSIESTAConvOutput(file1); }
int RunCASTEPConvOutput(const std::string& file1, const std::string&) { return CASTEPConvOutput(file1); }
int RunPWScfConvOutput(const std::string& file1, const std::string&) { return PWScfConvOutput(file1); }

// Looked up in this order; the first name that matches without regard to case wins.
const ActionEntry kActions[] = {
    {"ConvF09p", "Convert F09p/F09v/F05 Files to XSF / CIF files.\n", RunConvF09p},
    {"UpdateFILE05", "Update Input .f05 file with sn=%d.\n", RunUpdateFILE05},
    {"AddHistoryCSV", "Make History CSV File from Input .f06 file.\n", AddHistoryCSV},
    {"ShowCIFInf", "Show CIF Information.\n", RunShowCIFInf},
    {"CalRDF", "Calculate Radial Distribution Functions.\n", RunCalRDF},
    {"CalDistance", "Calculate Distance.\n", CalDistance},
    {"VASPConvCONTCAR", "Convert VASP INCAR/CONTCAR files.\n", RunVASPConvCONTCAR},
    {"VASPMakeXSF", "Make XSF file from VASP CONTCAR files.\n", RunVASPMakeXSF},
    {"TranSIESTAConvOutput", "Make XSF file from TranSIESTA-C Output.\n", RunTranSIESTAConvOutput},
    {"CASTEPConvOutput", "Make CAR/XSF file from CASTEP .castep file.\n", RunCASTEPConvOutput},
    {"PWScfConvOutput", "Make XSF file from PWScf Output.\n", RunPWScfConvOutput},
};

}  // namespace

const ActionEntry* FindAction(const std::string& action) {
    for (const ActionEntry& entry : kActions)
        if (strcasecmp(entry.name, action.c_str()) == 0) return &entry;
    return nullptr;
}
