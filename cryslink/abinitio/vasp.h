#pragma once
// VASP run directories: POSCAR/CONTCAR and POTCAR into crystals, the ionic
// steps of OUTCAR into an XSF animation.
#include <string>
#include <vector>

class CCrystal;
struct RunContext;
class CTextScanner;

class CVASP {
public:
    // Reads a POSCAR or CONTCAR file, with the atom types of the POTCAR beside
    // it (else of its species line). 1, or -1 when the file cannot be read or
    // does not hold a whole structure.
    // Atom types are unique by element: two data sets of one element make one
    // type, with the atoms of both.
    int ReadPOSCARFile(const std::string& path, CCrystal& crystal);
    // The name of each data set of the POTCAR file, in order (from its TITEL
    // line, else its VRHFIN element, else its header line); false when it cannot be read.
    bool ReadPOTCARFile(const std::string& path, std::vector<std::string>& names);
    // Reads the next ionic step (positions and forces of a block, machine-learned
    // or not, with the cell printed last before it) from the current position
    // of an open OUTCAR, for the atoms of the POSCAR read last. 1, or 0 when the
    // step is missing or incomplete.
    int ReadOUTCARFrame(CTextScanner& file, int step, CCrystal& crystal);

private:
    // One group of atoms per name (the POTCAR's, else the species line's); a
    // name that is no element takes the species line's element at its place.
    // False when the type table is full.
    bool AddAtomGroups(CCrystal& crystal, const std::vector<std::string>& names,
                       const std::vector<std::string>& species, const std::string& source);

    struct AtomGroup {
        int type;   // index into the crystal's atom types
        int count;  // atoms of the group, in the file's order of groups
    };
    std::vector<AtomGroup> groups_;
    double cell_[3][3] = {};  // nm, the cell as the file printed it last
    bool haveCell_ = false;
};

// The run directory of an action's argument: the argument itself when it names
// a directory, else its directory part ("" for a bare file name).
std::string VASPRunDirectory(const std::string& argument);

// Ionic steps of OUTCAR whose position block holds nAtoms lines (every
// position block when nAtoms is 0); `incomplete` receives the blocks left out.
int CountOUTCARSteps(CTextScanner& file, int nAtoms, int& incomplete);

int VASPConvCONTCAR(const RunContext& context, const std::string& path);
int VASPMakeXSF(const RunContext& context, const std::string& path);
