#pragma once
// Partial radial distribution functions of a crystal, written as CSV tables
// named after the atom-type pairs.
#include <string>

class CCrystal;
struct RunContext;
struct RunOptions;

// The tables up to MaximumDistance in nMesh rows. Stage selects the file
// names: 0 plain, 1 "-Final", 2 "-Averaged".
int CalculateRDF(const RunOptions& options, const CCrystal& crystal, int stage);
// Tables of how many centres have exactly nCoordination neighbours within r.
int CalculateCNRDF(const RunOptions& options, const CCrystal& crystal, int nCoordination, int stage);

// The CalRDF action on a CIF file.
int CalRDF(const RunContext& context, const std::string& cifFile);
