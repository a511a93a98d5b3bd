#pragma once
// The Bravais lattices of pw.x: cell vectors from ibrav and celldm, and back
// from cell vectors to the conventional lengths and cosines of an ibrav.
#include <string>

// celldm(1..6) as pw.x reads them: celldm[0] = a in bohr, [1] = b/a, [2] = c/a, [3..5] cosines.
struct PWScfCelldm {
    double v[6] = {};
};

// The three cell vectors (rows, in bohr) of ibrav 1 to 14 and the variants
// -3, -5, -9, 91, -12, -13, in pw.x's orientation. False for another ibrav.
bool PWScfLatticeVectors(int ibrav, const PWScfCelldm& celldm, double vectors[3][3]);

// celldm of A, B, C (angstrom) and cosAB, cosAC, cosBC, as pw.x turns them into one another.
PWScfCelldm PWScfCelldmFromABC(int ibrav, double A, double B, double C, double cosAB, double cosAC, double cosBC);

// The conventional cell of `ibrav` (the centred cell for a centred lattice)
// from the vectors of a cell of that lattice: lengths in the unit of the
// vectors and cosAB, cosAC, cosBC. False for an unknown ibrav.
bool PWScfConventionalCell(int ibrav, const double vectors[3][3], double lengths[3], double cosines[3]);

// celldm of conventional lengths (bohr) and cosines (AB, AC, BC), with the
// cosines placed as `ibrav` takes them.
PWScfCelldm PWScfCelldmFromConventional(int ibrav, const double lengths[3], const double cosines[3]);

// True when the two cells have the same shape: lengths within `tolerance`
// relative, cosines of the angles within `tolerance`, whatever their orientation.
bool PWScfSameShape(const double a[3][3], const double b[3][3], double tolerance);

// The ibrav pw.x gives space group `number` whose setting symbol starts with
// the lattice letter of `settingName` ("P21/c", "Fd-3m:2", "R-3m:R").
int PWScfIbravOfSpaceGroup(int number, const std::string& settingName, bool uniqueb, bool rhombohedral);

// The lattice whose cell is the conventional cell of `ibrav` (1 for 2 and 3, 8 for 9 to 11, ...).
int PWScfConventionalIbrav(int ibrav);
