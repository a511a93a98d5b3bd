#pragma once
// WIEN2k structure files (.struct) read into a crystal and written as CIF.
#include <string>

class CCrystal;
class CSpaceGroupDatabase;
struct RunContext;

// The WIEN2k readers; they keep no state between calls.
namespace CWIEN {

// Reads title, lattice, non-equivalent atoms and symmetry operations of a
// .struct file. Lengths of the file are in bohr. The operations of the file
// are combined with the centring translations of its lattice type. 1, or -1
// when the file cannot be read or ends before its structure does. The group
// named is found in the space-group database.
int ReadCrystalStructure(const std::string& path, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups);

}  // namespace CWIEN

// The action: case.struct gives case.cif. Returns 1.
int WIENMakeCIFFromStruct(const RunContext& context, const std::string& structPath);
