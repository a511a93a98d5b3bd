#include "analysis/cif_load.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <unordered_set>

#include "core/cif_tags.h"
#include "core/crystal.h"
#include "core/database_paths.h"
#include "core/symmetry_operation.h"
#include "core/text_lines.h"

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

// The database numbers the settings of a group as choice 1 or hexagonal axes
// first, choice 2 or rhombohedral axes second. A symbol names the choice after
// a colon ("F d -3 m :2", "R -3 c :H"); without one, an R group on a cell with
// equal lengths and equal angles other than 90 degrees has rhombohedral axes.
int SettingOf(const std::string& symbol, const CCIFTags& tags) {
    const size_t colon = symbol.rfind(':');
    const std::string choice = colon == std::string::npos ? "" : TrimLine(symbol.substr(colon + 1));
    if (choice == "2" || choice == "R" || choice == "r") return 2;
    if (!choice.empty()) return 1;
    auto same = [](double p, double q) { return std::fabs(p - q) < 1e-6 * std::max(1.0, std::fabs(p)); };
    const bool rhombohedral = same(tags.a, tags.b) && same(tags.a, tags.c) && same(tags.alpha, tags.beta) &&
                              same(tags.alpha, tags.gamma) && !same(tags.alpha, 90.0);
    return TrimLine(symbol).rfind('R', 0) == 0 && rhombohedral ? 2 : 1;
}

// The number of a Hermann-Mauguin symbol in the database, which holds short
// symbols: the choice after a colon and underscores of screw axes are left
// out, and a full monoclinic symbol gives its short form ("P 1 21/c 1").
bool NumberOfSymbol(const std::string& symbol, const std::string& path, int& number) {
    std::string text = symbol.substr(0, symbol.rfind(':'));
    text.erase(std::remove(text.begin(), text.end(), '_'), text.end());
    int setting = 0;
    if (FindSPGBySymbol(text, path, number, setting)) return true;
    std::istringstream words(text);
    std::string word, shortSymbol;
    int parts = 0, ones = 0;
    for (; words >> word; ++parts) {
        if (parts > 0 && word == "1") ++ones;
        else shortSymbol += word;
    }
    return parts == 4 && ones == 2 && FindSPGBySymbol(shortSymbol, path, number, setting);
}

// Operations for a file that names its space group but lists no operations:
// from the space-group database, by number, else by the symbol.
void TakeOperationsFromDatabase(CCrystal& crystal, const CCIFTags& tags) {
    const std::string symbol = tags.SpaceGroupName == "Undefined" ? "" : tags.SpaceGroupName;
    int number = tags.SpaceGroupNumber, setting = SettingOf(symbol, tags);
    if ((number < 1 || number > 230) && !NumberOfSymbol(symbol, crystal.SPGDBPath, number)) {
        if (!symbol.empty())
            std::printf("Warning: space group [%s] of [%s] is not in the space-group database; its sites are not "
                        "expanded.\n",
                        symbol.c_str(), tags.FileName.c_str());
        return;
    }
    crystal.SpaceGroup.ReadSPG(number, setting, crystal.SPGDBPath);
    if (setting != 1 && crystal.SpaceGroup.nSymmetry == 1 && number > 1)  // the group has one setting only
        crystal.SpaceGroup.ReadSPG(number, 1, crystal.SPGDBPath);
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
    } else {
        TakeOperationsFromDatabase(*crystal, tags);
    }
    sg.Name = tags.SpaceGroupName;
    sg.Number = tags.SpaceGroupNumber;
    sg.Setting = 1;

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
