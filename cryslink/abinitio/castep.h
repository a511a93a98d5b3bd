#pragma once
// CASTEP: the .castep output of a geometry optimisation or molecular-dynamics
// run as an XSF animation with forces, CIF files of the first and last
// structures and a CAR file of the last one.
#include <limits>
#include <string>
#include <string_view>
#include <vector>

struct RunContext;
class CCrystal;
class CTextScanner;

// A line that titles a forces table: "** Forces **", and in runs with
// symmetry or ionic constraints "Symmetrised Forces" or "Constrained Forces"
// (the "Unconstrained Forces" table beside the latter is no step).
bool IsCASTEPForcesTitle(std::string_view line);

// Forces tables of the file that are complete (closed by their line of stars).
int CountCASTEPForcesTables(CTextScanner& scanner);

// The geometry a .castep file has printed up to the current position: the
// last cell, the last table of fractional coordinates and the last forces.
class CCASTEPReader {
public:
    explicit CCASTEPReader(CTextScanner& scanner) : scanner_(scanner) {}

    // The first cell and coordinate table of the file into the crystal.
    void ReadInitialStructure(CCrystal& crystal);
    // Reads on to the end of the next forces table, taking up every cell and
    // coordinate table printed before it, and gives the crystal that geometry
    // with those forces. Returns 1, or 0 when the file ended first; the crystal
    // then holds the last geometry printed.
    int ReadNextCASTEPStep(int step, CCrystal& crystal);

private:
    struct Atom {
        std::string element;
        double u, v, w;
    };
    struct Force {
        double x, y, z;
    };

    bool ReadCell();
    bool ReadCoordinates();
    bool ReadForces();
    void SetCellParameters(CCrystal& crystal) const;
    void Apply(CCrystal& crystal) const;

    CTextScanner& scanner_;
    double cell_[6] = {};  // a, b, c in angstrom, alpha, beta, gamma
    // The real lattice as printed (rows, angstrom): the frame of the forces,
    // which follows the orientation the input gave the cell.
    double vectors_[3][3] = {};
    bool hasVectors_ = false;
    double energy_ = std::numeric_limits<double>::quiet_NaN();  // eV, of the step read last
    std::vector<Atom> atoms_;
    std::vector<Force> forces_;
};

// The CASTEPConvOutput action on the .castep file of `file`'s base name.
int CASTEPConvOutput(const RunContext& context, const std::string& file);
