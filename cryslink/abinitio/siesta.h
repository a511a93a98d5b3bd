#pragma once
// The standard output of SIESTA 4.x: the cell after "outcell: Unit cell
// vectors (Ang):", the positions after "outcoor: ... coordinates (unit):" and
// one step per block of numbered lines after "siesta: Atomic forces (eV/Ang):".
#include <string>
#include <string_view>
#include <vector>

class CCrystal;
class CTextScanner;

// What a first pass over an output file finds.
struct SIESTAOutputSurvey {
    bool siesta4 = false;     // outcell/outcoor blocks and no ATK or TranSIESTA-C blocks
    int nATKSteps = 0;        // "Updating coords" and "#   Forces     in eV/Ang" lines
    int nSIESTA4Steps = 0;    // whole force blocks without the "siesta:" prefix
};
SIESTAOutputSurvey SurveySIESTAOutput(CTextScanner& file);

class CSIESTA4Reader {
public:
    // The cell and positions of the first step, without forces; rewinds the
    // file before and after. 1, or -1 with one line saying what is missing.
    int ReadInitialStructure(CTextScanner& file, CCrystal& crystal);
    // Reads on to the next force block and sets the crystal to the last cell
    // and positions before it, with its forces. 1, or 0 at end of file or for
    // a block that does not fit the atoms (with a line saying so).
    int ReadNextStep(CTextScanner& file, int step, CCrystal& crystal);

private:
    struct Atom {
        double x, y, z;
        std::string label;
    };
    enum class Unit { Angstrom, Bohr, Scaled, Fractional };

    // Handles a cell or coordinate block starting at `line`; false when the
    // line starts neither or its block is cut short.
    bool ReadBlock(CTextScanner& file, const std::string& line, bool& isBlock);
    bool ReadCoordinates(CTextScanner& file, std::string_view header);
    int BuildCrystal(CCrystal& crystal, const std::string& file, const double* forces);

    double cell_[3][3] = {};  // nm
    bool haveCell_ = false;
    std::vector<Atom> atoms_;
    Unit unit_ = Unit::Angstrom;
    double latticeConstant_ = 0;  // angstrom, for scaled coordinates
};
