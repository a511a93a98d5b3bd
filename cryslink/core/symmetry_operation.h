#pragma once
// Symmetry operations written as "x,y,z" texts.
#include <string>

// Reads an operation text such as "-y+x, 1/2+z, X-0.25" into its rotation and
// translation: three comma-separated components, terms in any order, letters in
// either case, blanks anywhere, numbers as fractions n/d or decimals, an
// optional coefficient before a letter ("2x", "0.5*y"). Returns false, leaving
// the outputs unspecified, when the text is not of that form.
bool ParseSymmetryOperation(const std::string& text, double rot[3][3], double trans[3]);

// The part of a magnetic or superspace operation that moves positions: the
// first three components, with x1, x2, x3 read as x, y, z ("-x2,x1,x3,x5,-x4"
// gives "-y,x,z"; "x+1/2,y,-z,-1" gives "x+1/2,y,-z"). False when the text has
// fewer than three components, an empty one, or a first three that use x4 or
// a higher coordinate.
bool PositionPartOfOperation(const std::string& text, std::string& position);

// The text of a coefficient: a fraction from the table of common values, else "%lg".
std::string FractionText(double value);
