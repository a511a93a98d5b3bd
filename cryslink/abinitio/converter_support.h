#pragma once
// Pieces every ab-initio converter uses: a crystal made ready for a reader,
// file names made from the argument or a title, the XSF animation written
// from a step reader, and the structure files written at the end of a run.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/step_loop.h"

class CCrystal;
struct RunContext;
struct RunOptions;

// Space group P1, no atom types or sites, room for 100 types and 10,000 sites.
void PrepareCrystal(CCrystal& crystal);
// A fresh crystal of the converters' capacities whose types take their
// element properties from the run's atom database.
void PrepareConverterCrystal(CCrystal& crystal, const RunContext& context);
// The atoms of each type (nEachAtoms) counted from the asymmetric sites.
void CountAtomsPerType(CCrystal& crystal);

// The argument without the extension of its file name ("run/a.out" gives
// "run/a"; a dot in a directory name is no extension).
std::string PathBase(const std::string& path);
// The trimmed text up to its first blank.
std::string FirstWord(std::string_view text);
// A word made safe as a file name: separators become "_".
std::string FileNameWord(std::string text);
// Site labels made unique, in order: a name that stands once is kept; the
// k-th of a name that stands more than once becomes the name and k, with "_"
// between unless the name ends in a letter ("O" gives O1, O2, ...; "O1" gives
// O1_1, O1_2, ...; "Ga0+" Ga0+_1), passing over labels already taken.
std::vector<std::string> UniqueLabels(const std::vector<std::string>& names);

// Determinant of the matrix whose rows are the three vectors.
double CellDeterminant(const double vectors[3][3]);
// True when the crystal's lattice vectors can be inverted; otherwise prints the
// inversion message and one line naming the file.
bool CheckCell(const CCrystal& crystal, const std::string& file);

// The CIF of a structure file, named after it with the extension "cif":
// prints "Create CIF file: %s" and writes it; a name equal to the input's is
// refused with "Can not write to [%s].". 1, or -1 when nothing was written.
int WriteCIFBesideInput(CCrystal& crystal, const std::string& inputPath);

// The end of a trajectory run: "<base>-initial.cif" and "<base>-final.cif",
// then `afterFinal` (an updated input file) once the final CIF is written; a
// structure with no atoms is reported and skipped. With the option CalcRDF,
// the RDF of both; a structure with no atoms is skipped there too, and
// reported only when `reportEmptyRDF`.
void WriteInitialAndFinal(const RunOptions& options, CCrystal& initial, CCrystal& final, const std::string& base,
                          bool reportEmptyRDF, const std::function<void()>& afterFinal);

// Turns the forces of the asymmetric sites from the Cartesian frame of the
// file's cell vectors (rows, nm) into that of the crystal's lattice vectors
// (its standard orientation), as the positions were turned. Where the two
// frames agree to 1e-6 the forces stay exactly as the file prints them.
void TurnForcesWithCell(CCrystal& crystal, const double fileVectors[3][3]);
