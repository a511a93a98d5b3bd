#pragma once
// Listing the interatomic distances of a crystal between two lengths.
#include <string>

class CCrystal;
struct RunContext;
struct RunOptions;

// Writes every centre-partner distance between MinimumDistance and
// MaximumDistance to outFile. 1, or 0 when the file cannot be created.
int ListDistances(const RunOptions& options, const CCrystal& crystal, const std::string& outFile);

// The CalDistance action: a CIF file and the name of the listing.
int CalDistance(const RunContext& context, const std::string& cifFile, const std::string& outFile);
