#include "core/run_context.h"

#include "core/paths.h"

DatabasePaths::DatabasePaths(const std::string& directory)
    : nonrel(JoinPath(directory, "nonrel")), asfdc(JoinPath(directory, "asfdc")), spgra(JoinPath(directory, "spgra")) {}

std::vector<std::string> ReadDatabases(RunContext& context, const DatabasePaths& paths, unsigned needs) {
    std::vector<std::string> unread;
    if (needs & kAtomDatabase) {
        if (!context.atoms.ReadOrbitals(paths.nonrel)) unread.push_back(paths.nonrel);
        if (!context.atoms.ReadWeights(paths.asfdc)) unread.push_back(paths.asfdc);
    }
    if ((needs & kSpaceGroupDatabase) && !context.spaceGroups.Read(paths.spgra)) unread.push_back(paths.spgra);
    return unread;
}
