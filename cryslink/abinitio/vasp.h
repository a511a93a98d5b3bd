#pragma once
// VASP run directories: POSCAR/CONTCAR and POTCAR into crystals, the ionic
// steps of OUTCAR into an XSF animation.
#include <string>

class CCrystal;
class CTextScanner;

class CVASP {
public:
    // Reads a POSCAR or CONTCAR file, with the atom types of the POTCAR beside
    // it (else of its species line). 1, or -1 when the file cannot be read or
    // does not hold a whole structure.
    int ReadPOSCARFile(const std::string& path, CCrystal& crystal);
    // Adds one atom type per data set of the POTCAR file; false when it cannot be read.
    bool ReadPOTCARFile(const std::string& path, CCrystal& crystal);
    // Reads the next ionic step (cell, positions and forces) from the current
    // position of an open OUTCAR. 1, or 0 when the step is missing or incomplete.
    int ReadOUTCARFrame(CTextScanner& file, int step, CCrystal& crystal);
};

// The run directory of an action's argument: the argument itself when it names
// a directory, else its directory part ("" for a bare file name).
std::string VASPRunDirectory(const std::string& argument);

// Ionic steps of OUTCAR whose position block holds nAtoms lines (every
// position block when nAtoms is 0); `incomplete` receives the blocks left out.
int CountOUTCARSteps(CTextScanner& file, int nAtoms, int& incomplete);

int VASPConvCONTCAR(const std::string& path);
int VASPMakeXSF(const std::string& path);
