#pragma once
// GULP input files: the structure (title, cell, fractional coordinates and
// space group) read into a crystal and written as CIF.
#include <string>

class CCrystal;
class CSpaceGroupDatabase;
struct RunContext;

// The GULP reader; it keeps no state between calls.
namespace CGULP {

// Reads the first structure of the input, its space group from the database.
// 1, or -1 when the file cannot be read or holds no cell with fractional coordinates.
int ReadCrystalStructure(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups);

}  // namespace CGULP

// The action: run.gin gives run.cif. Returns 1, or -1 when no CIF is written.
int GULPMakeCIFFromInput(const RunContext& context, const std::string& inputPath);
