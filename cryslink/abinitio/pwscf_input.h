#pragma once
// The input file of pw.x: namelists and cards read without regard to case or
// order, the structure it describes, and the same file rewritten with a
// relaxed structure.
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "abinitio/pwscf_cell.h"
#include "core/cell_vectors.h"

class CCrystal;
class CSpaceGroupDatabase;

// One "name = value" of a namelist line: the name in lower case, blanks
// removed ("celldm(1)"), and where its value stands in the line.
struct PWScfAssignment {
    std::string name;
    size_t valueBegin = 0, valueEnd = 0;
};
// The assignments of one namelist line (a "!" comment ends it); `closes` is
// set when a "/" outside quotes ends the namelist on this line.
std::vector<PWScfAssignment> ParsePWScfAssignments(std::string_view line, bool& closes);

// The card a line opens ("ATOMIC_POSITIONS", ... in upper case), or "" when none;
// `option` receives the unit behind the keyword in lower case ("crystal", "alat").
std::string PWScfCardOf(std::string_view line, std::string* option = nullptr, double* alat = nullptr);
// True for a line that ends a card: blank, a card keyword, or a namelist.
bool EndsPWScfCard(std::string_view line);

// Fractional coordinates of a position given in `unit` ("crystal",
// "crystal_sg", "alat", "bohr", "angstrom"); Cartesian units need the cell in
// bohr and alat in bohr. False for an unknown unit or a singular cell.
bool PWScfToFractional(const std::string& unit, const double r[3], const CCellVectors& cellBohr, double alat,
                       double f[3]);

struct PWScfSite {
    std::string name;
    double r[3] = {};      // as written in the card
    std::string rest;      // what follows the three numbers (flags of fixed coordinates)
};

// One atom of a structure: the species it belongs to and its fractional coordinates.
struct PWScfAtom {
    std::string species;
    double f[3] = {};
};

// What an input file says about the structure.
struct PWScfInput {
    std::vector<std::string> lines;
    std::string title;
    bool hasTitle = false;
    int ibrav = 0;
    bool hasIbrav = false;
    PWScfCelldm celldm;
    bool celldmGiven[6] = {};
    double abc[6] = {};          // A, B, C (angstrom), cosAB, cosAC, cosBC
    bool abcGiven[6] = {};
    int spaceGroup = 0;
    bool uniqueb = false, rhombohedral = true;
    int originChoice = 1;
    std::string cellUnit;        // of CELL_PARAMETERS
    double cellCard[3][3] = {};
    bool hasCellCard = false;
    std::vector<std::string> species;
    std::vector<std::string> pseudopotentials;  // the file of each species ("" when none is given)
    std::string positionsUnit;   // of ATOMIC_POSITIONS ("alat" when none is given)
    std::vector<PWScfSite> sites;

    // The ibrav of the cell: the one given, or that of the space group.
    int effectiveIbrav = 0;
    std::string settingName;
    int setting = 1;
};

// The element a species stands for: that of its pseudopotential file when the
// file's name starts with one ("Fe.pz-nd-rrkjus.UPF", "ti_pbe_v1.4.uspp.F.UPF"),
// else that of the species name read as pw.x reads it ("Fe1", "C_h", "o");
// "" when neither names an element.
std::string PWScfSpeciesElement(std::string_view species, std::string_view pseudopotential);

// The atom type of each species of a run: its element, so that Fe1 and Fe2
// are one type Fe; the species name itself when it names no element.
class PWScfTypes {
public:
    // The species of the input's ATOMIC_SPECIES card, with their pseudopotentials.
    void Declare(const PWScfInput& input);
    const std::string& Of(const std::string& species);

private:
    std::unordered_map<std::string, std::string> types_;
};

// Adds the atoms to the crystal's asymmetric sites, each with the type of its
// species and labelled by the species name and a running number per species
// ("Fe11", "Fe12", "O1"), with its force when `forces` holds one.
void AddPWScfSites(CCrystal& crystal, const std::vector<PWScfAtom>& atoms, PWScfTypes& types,
                   const std::vector<std::array<double, 3>>& forces = {});

// Reads the file; false when it cannot be read.
bool ReadPWScfInput(const std::string& path, PWScfInput& input);

// The cell vectors of the input in bohr, in pw.x's orientation (for a space
// group the conventional cell); alat in bohr. False when the cell is missing or flat.
bool PWScfInputCell(const PWScfInput& input, CCellVectors& cell, double& alat);

// The input's structure into the crystal and `atoms` (types from
// ATOMIC_SPECIES, a cell, sites; a crystal_sg card expanded with its space
// group of the database). Returns false, with one line printed, when the
// structure cannot be built.
bool BuildPWScfInputCrystal(PWScfInput& input, const CSpaceGroupDatabase& spaceGroups, PWScfTypes& types,
                            CCrystal& crystal, std::vector<PWScfAtom>& atoms, const std::string& fileName);

// The spgra setting pw.x means by space_group with its uniqueb,
// origin_choice and rhombohedral flags; 0 when the database lacks the group.
int FindPWScfSetting(const CSpaceGroupDatabase& spaceGroups, int number, bool uniqueb, int originChoice,
                     bool rhombohedral, std::string& name);
