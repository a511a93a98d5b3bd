#include "analysis/cif_load.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "core/cif_tags.h"
#include "core/crystal.h"
#include "core/database_paths.h"
#include "core/space_group_lookup.h"
#include "core/symmetry_operation.h"

namespace {

bool IsIdentity(const std::string& text) {
    double rot[3][3], trans[3];
    if (!ParseSymmetryOperation(text, rot, trans)) return false;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(trans[i] - std::round(trans[i])) > 1e-9) return false;
        for (int j = 0; j < 3; ++j)
            if (rot[i][j] != (i == j ? 1.0 : 0.0)) return false;
    }
    return true;
}

// Operations for a file that names its space group but lists no operations:
// from the record of the space-group database that its Hall symbol, its
// Hermann-Mauguin symbol or its number names. False when there is none.
bool TakeOperationsFromDatabase(CCrystal& crystal, const CCIFTags& tags, SpaceGroupRecord& record) {
    const bool rhombohedral = IsRhombohedralCell(tags.a, tags.b, tags.c, tags.alpha, tags.beta, tags.gamma);
    if (!FindSpaceGroupRecord(tags.SpaceGroupNameHall, tags.SpaceGroupName, tags.SpaceGroupNumber, rhombohedral,
                              crystal.SPGDBPath, tags.FileName, record)) {
        const std::string& symbol = tags.SpaceGroupName != "Undefined" ? tags.SpaceGroupName : tags.SpaceGroupNameHall;
        if (!symbol.empty() && symbol != "Undefined" && symbol != "?")
            std::printf("Warning: space group [%s] of [%s] is not in the space-group database; its sites are not "
                        "expanded.\n",
                        symbol.c_str(), tags.FileName.c_str());
        return false;
    }
    crystal.SpaceGroup.ReadSPG(record.Number, record.Setting, crystal.SPGDBPath);
    std::printf("Space group: number %d, setting %d [%s] of the space-group database.\n", record.Number,
                record.Setting, record.Name.c_str());
    return true;
}

}  // namespace

std::unique_ptr<CCrystal> LoadCrystalFromCIF(const std::string& fileName, const char* errorMessage) {
    std::printf("CIF File: %s\n", fileName.c_str());
    auto crystal = std::make_unique<CCrystal>();
    CCIFTags& tags = *crystal->CIFTags;
    if (tags.ReadCIFFile(fileName) <= 0) {
        if (errorMessage && *errorMessage) std::printf(errorMessage, fileName.c_str());
        return nullptr;
    }
    crystal->ASFDCPath = ASFDCPath;
    crystal->NONRELPath = NONRELPath;
    crystal->SPGDBPath = SPGDBPath;
    crystal->Initialize();
    crystal->Name = tags.FileName;
    crystal->ChemicalName = tags.ChemicalNameSystematic;
    crystal->SetLatticeParameters(tags.a, tags.b, tags.c, tags.alpha, tags.beta, tags.gamma);
    crystal->CalculateLatticeVectors();
    if (!(tags.a > 0 && tags.b > 0 && tags.c > 0 && crystal->Volume > 0 && std::isfinite(crystal->Volume))) {
        std::printf("Error: [%s] has no valid cell (a=%lg b=%lg c=%lg nm, alpha=%lg beta=%lg gamma=%lg).\n",
                    fileName.c_str(), tags.a, tags.b, tags.c, tags.alpha, tags.beta, tags.gamma);
        return nullptr;
    }

    CSpaceGroup& sg = crystal->SpaceGroup;
    if (tags.nSymmetry > 0) {
        // The identity stays operation 0, so the cell starts with the asymmetric
        // sites; it takes the file's text, wherever the list has it, and is
        // applied also when the list leaves it out.
        bool identitySeen = false;
        for (const std::string& text : tags.SymmetryText) {
            if (!identitySeen && IsIdentity(text)) {
                sg.OperationText[0] = text;
                identitySeen = true;
            } else {
                sg.AddOperationText(text);
            }
        }
        sg.Name = tags.SpaceGroupName;
        sg.Number = tags.SpaceGroupNumber;
        sg.Setting = 1;
    } else {
        // The group is the database record, named as the file names it.
        SpaceGroupRecord record;
        const bool found = TakeOperationsFromDatabase(*crystal, tags, record);
        sg.Name = tags.SpaceGroupName != "Undefined" || !found ? tags.SpaceGroupName : record.Name;
        sg.Number = found ? record.Number : tags.SpaceGroupNumber;
        sg.Setting = found ? record.Setting : 1;
    }

    // Room for the listed types and for every further type the sites name.
    std::unordered_set<std::string> siteTypes(tags.SiteTypeSymbol.begin(), tags.SiteTypeSymbol.end());
    crystal->AllocAtomTypes(std::max(1, tags.nAtomTypes + static_cast<int>(siteTypes.size())));
    for (int i = 0; i < tags.nAtomTypes; ++i) crystal->AddAtomType(tags.TypeSymbol[i], tags.OxidationNumber[i], true);
    crystal->AllocAtomAsymSites(std::max(1, tags.nAtomSites));
    for (int i = 0; i < tags.nAtomSites; ++i)
        crystal->AddAtomAsymSite(tags.SiteLabel[i], tags.SiteTypeSymbol[i], tags.SiteOccupancy[i], tags.SiteX[i],
                                 tags.SiteY[i], tags.SiteZ[i]);
    // The site table holds the whole expansion; the fresh table of Initialize
    // serves when it is big enough.
    const long images = static_cast<long>(std::max(1, sg.nSymmetry)) * sg.nCentering * (sg.bInversion ? 2 : 1);
    const long sites = std::max<long>(4096, images * tags.nAtomSites);
    if (sites > crystal->nMaxAtomSites) crystal->AllocAtomSites(static_cast<int>(sites));
    crystal->ExpandAsymSites();
    return crystal;
}
