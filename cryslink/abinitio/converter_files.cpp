#include "abinitio/converter_files.h"

#include "app/command_line.h"
#include "app/paths.h"
#include "core/crystal.h"
#include "core/database_paths.h"

std::string PathBase(const std::string& path) {
    const PathParts parts = SplitPath(path);
    return parts.drive + parts.directory + parts.base;
}

void PrepareConverterCrystal(CCrystal& crystal) {
    crystal.ASFDCPath = ASFDCPath;
    crystal.NONRELPath = NONRELPath;
    crystal.SpaceGroup.SetP1();
    crystal.AllocAtomTypes(100);
    crystal.AllocAtomAsymSites(10000);
    crystal.AllocAtomSites(10000);
}

ConverterOptions ReadConverterOptions() {
    return {GetIntOption("nLastStep"), GetIntOption("nOutputInterval"), GetIntOption("CalcRDF")};
}
