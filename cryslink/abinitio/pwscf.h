#pragma once
// PWScf (pw.x): a run's input and output as an XSF animation with forces,
// CIF files of the first and last steps, and the input rewritten with the
// last structure.
#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "abinitio/pwscf_input.h"
#include "core/cell_vectors.h"

class CCrystal;
class CSpaceGroupDatabase;
struct RunContext;
class CTextScanner;

// What the header and the cards of a pw.x output hold.
struct PWScfOutputSummary {
    int nPositionCards = 0;   // ATOMIC_POSITIONS cards whose rows end before the end of the file
    int nForceBlocks = 0;     // "Forces acting on atoms" headers, old and new
    double alat = 0;          // celldm(1) of the header, bohr
    double axes[3][3] = {};   // crystal axes of the header, in units of alat
    bool hasAxes = false;
    // The header's table of the atoms pw.x works with: species and Cartesian
    // position in units of alat (for a space group, those of the cell it uses).
    std::vector<PWScfSite> headerSites;
};
PWScfOutputSummary SummarisePWScfOutput(CTextScanner& scanner);

class CPWScf {
public:
    // The structure of the input file into the crystal; false (with the
    // message printed) when the file cannot be read or holds no structure.
    bool ReadInput(const std::string& inputName, CCrystal& crystal, const CSpaceGroupDatabase& spaceGroups);
    // The structure of the steps: the input's when it agrees with the output's
    // header, else the header's cell and atoms (its atoms also when they are
    // others than the input's, as the primitive cell of a centred space group or
    // Wyckoff positions are, or in another order, as pw.x expands crystal_sg
    // sites); the crystal gets the structure used.
    void UseOutputHeader(const PWScfOutputSummary& summary, CCrystal& crystal);
    // True when a structure is known (from the input or the output's header).
    bool HasAtoms() const { return !atoms_.empty(); }
    // The next step of the output: its cell (CELL_PARAMETERS), every row of its
    // ATOMIC_POSITIONS card, and the forces computed at those positions. An
    // output without position cards (a single-point run) has one step: the
    // input's structure with its forces. 1, or 0 when there is no further step.
    int ReadStep(CTextScanner& scanner, int step, CCrystal& crystal);
    void SetSinglePoint(bool singlePoint) { singlePoint_ = singlePoint; }

    // Writes newName: the input with the crystal's cell and positions in the
    // input's own units and layout.
    int UpdateInpFile(const std::string& inputName, const std::string& newName, const CCrystal& crystal) const;

private:
    bool ReadForces(CTextScanner& scanner);
    bool NoteEnergy(std::string_view line);
    // The cell, the atoms and their forces (turned with the cell into its standard orientation).
    void Apply(CCrystal& crystal);

    PWScfInput input_;
    bool hasInput_ = false;
    CCellVectors cell_;   // bohr, pw.x's orientation
    double alat_ = 0;     // bohr
    PWScfTypes types_;
    std::vector<PWScfAtom> atoms_;
    std::vector<std::array<double, 3>> forces_;  // pw.x's Cartesian frame
    bool finalCoordinates_ = false;
    double energy_ = std::numeric_limits<double>::quiet_NaN();  // eV, of the step read last
    bool singlePoint_ = false;
};

// The PWScfConvOutput action on the output file `file`.
int PWScfConvOutput(const RunContext& context, const std::string& file);
