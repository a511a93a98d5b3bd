#include "analysis/cif_load.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "analysis/cif_symmetry.h"
#include "core/cif_tags.h"
#include "core/crystal.h"
#include "core/run_context.h"

std::unique_ptr<CCrystal> LoadCrystalFromCIF(const RunContext& context, const std::string& fileName,
                                             const char* errorMessage) {
    std::printf("CIF File: %s\n", fileName.c_str());
    auto crystal = std::make_unique<CCrystal>();
    CCIFTags& tags = *crystal->CIFTags;
    if (tags.ReadCIFFile(fileName) <= 0) {
        if (errorMessage && *errorMessage) std::printf(errorMessage, fileName.c_str());
        return nullptr;
    }
    crystal->AtomDatabase = &context.atoms;
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

    SetSpaceGroupFromCIF(*crystal, tags, context.spaceGroups);
    const CSpaceGroup& sg = crystal->SpaceGroup;

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
