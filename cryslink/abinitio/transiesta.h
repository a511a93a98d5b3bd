#pragma once
// TranSIESTA-C/ATK output (and the output of SIESTA 4.x) into an XSF
// animation, CIF files of the initial and final structures, and the ATK input
// file updated with the final structure.
#include <string>

class CCrystal;
struct RunContext;
class CTextScanner;

class TranSIESTA {
public:
    // The unit cell after "UnitCell::LatticeConstant" (its vectors in units
    // of that constant) and the atom list of the two-probe or bulk block.
    // 1, or 0 (with a line saying so) when the cell or the atoms are missing.
    int ReadInitialCrystalStructureFromOutput(CTextScanner& file, CCrystal& crystal);
    // The next step: positions and forces of the ATK forces block (the central
    // region of a two-probe system) or of the "NumOrb: Forces" and
    // "Updating coords" blocks. At end of file the crystal stays as it was. Returns 1.
    int ReadNextCrystalStructureFromOutput(CTextScanner& file, int step, CCrystal& crystal,
                                           const CCrystal& initialCrystal);

private:
    double fileVectors_[3][3] = {};  // the cell as the file gives it, nm
};

// Writes atkName + ".new": the ATK input with the unit cell and the bulk atom
// list of the crystal. 1, or -1 when a file cannot be read or written.
int UpdateATKFile(const std::string& atkName, const CCrystal& crystal);

int TranSIESTAConvOutput(const RunContext& context, const std::string& path);
