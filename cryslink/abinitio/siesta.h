#pragma once
// The standard output of SIESTA 4.x and 5.x: the cell after "outcell: Unit
// cell vectors (Ang):", the positions after "siesta: Atomic coordinates (Bohr)
// and species" and "outcoor: ... coordinates (unit):", and one step per block
// of numbered lines after "siesta: Atomic forces (eV/Ang):".
#include <limits>
#include <string>
#include <string_view>
#include <vector>

class CCrystal;
class CTextScanner;

// What a first pass over an output file finds.
struct SIESTAOutputSurvey {
    bool siesta4 = false;     // outcell/outcoor/coordinate blocks and no ATK or TranSIESTA-C blocks
    int nATKSteps = 0;        // "Updating coords" and "#   Forces     in eV/Ang" lines
    int nSIESTA4Steps = 0;    // whole force blocks with a line per atom (see CSIESTA4Reader)
};
SIESTAOutputSurvey SurveySIESTAOutput(CTextScanner& file);

// A step is a force block with a line per atom, at the geometry printed last
// before it. Blocks that print only the total are no step; the closing summary
// (every line prefixed "siesta:") is a step only when the block before it
// printed only the total, and repeats that block otherwise.
class CSIESTA4Reader {
public:
    // The cell and positions of the first step, without forces; rewinds the
    // file before and after. 1, or -1 with one line saying what is missing.
    int ReadInitialStructure(CTextScanner& file, CCrystal& crystal);
    // Reads on to the next step and sets the crystal to the last cell and
    // positions before it, with its forces. 1, or 0 at end of file or for a
    // block that does not fit the atoms (with a line saying so).
    int ReadNextStep(CTextScanner& file, int step, CCrystal& crystal);
    // Reads on to the end of the file; a cell or positions printed after the
    // last step read (the relaxed or final coordinates) become the crystal's,
    // without forces. The crystal stays as it was when nothing follows or what
    // follows cannot be read.
    void ReadFinalStructure(CTextScanner& file, CCrystal& crystal);

private:
    struct Atom {
        double x, y, z;
        std::string label;
    };
    enum class Unit { Angstrom, Bohr, Scaled, Fractional };

    // Handles a cell, coordinate or species block starting at `line`; false
    // when the line starts one whose block is cut short. `isBlock` says
    // whether it started one.
    bool ReadBlock(CTextScanner& file, const std::string& line, bool& isBlock);
    bool ReadCoordinates(CTextScanner& file, std::string_view header);
    bool ReadInitialCoordinates(CTextScanner& file);
    int BuildCrystal(CCrystal& crystal, const std::string& file, const double* forces);

    double cell_[3][3] = {};  // nm
    bool haveCell_ = false;
    std::vector<Atom> atoms_;
    Unit unit_ = Unit::Angstrom;
    double latticeConstant_ = 0;        // angstrom, for scaled coordinates
    std::vector<std::string> species_;  // label of species 1, 2, ...
    bool lastBlockHadAtoms_ = false;    // the force block read last had a line per atom
    bool changed_ = false;              // a cell or positions were read since the crystal was last set
    double energy_ = std::numeric_limits<double>::quiet_NaN();  // eV, the Kohn-Sham energy printed last
};
