#pragma once
// The ten shared data areas of a run. Every operation of the program reads and
// writes these directly; one instance of each exists for the whole run.
//
// Index conventions: arrays are indexed from 0. Atom numbers, kind numbers and
// shell partners are stored as the program prints them (from 1; 0 means
// "none"), so the entry of atom n is at index n - 1 and the pair-table entry
// of kinds ki, kj is at [ki - 1][kj - 1].
#include <array>
#include <string>

#include "lattice_derivatives.h"

inline constexpr int kMaxAtoms = 200;        // asymmetric unit and expanded cell alike
inline constexpr int kMaxKinds = 10;         // atom kinds
inline constexpr int kMaxTranslations = 8;   // centring translations
inline constexpr int kMaxOperations = 400;   // symmetry operations, after doubling by ICENT
inline constexpr int kMaxParameters = 600;   // refined parameters (3 per atom)

inline constexpr int kFileNameLength = 30;   // stored file names, blank padded
inline constexpr int kTitleLength = 70;
inline constexpr int kKindNameLength = 6;
inline constexpr int kSymbolLength = 10;     // space-group symbol

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;
using PairTable = std::array<std::array<double, kMaxKinds>, kMaxKinds>;

// /STRING/: file names, title and kind names, all blank padded to their width.
struct STRING {
  std::array<std::string, 10> FNAME;               // by unit number; 1, 2, 4, 7, 8, 9 used
  std::string TITLE;                               // 70 characters
  std::array<std::string, kMaxKinds> NAME;         // 6 characters each
};

// /CRYSTL/: lattice constants, direct and reciprocal metric, volumes.
// A metric is held as nine values: g11, g22, g33, g23, g31, g12, 2g23, 2g31, 2g12.
struct CRYSTL {
  std::array<double, 6> LAT{};    // a, b, c (Angstrom), alpha, beta, gamma (degrees)
  std::array<double, 9> G{};      // direct metric
  double V = 0;                   // cell volume
  std::array<double, 6> RLAT{};   // a*, b*, c*, alpha*, beta*, gamma*
  std::array<double, 9> RG{};     // reciprocal metric
  double VS = 0;                  // V* = 1/V
  // Sines and cosines of alpha, beta, gamma and of the reciprocal angles, kept
  // by the metric for the range set-up.
  Vec3 SIN{}, COS{}, RSIN{}, RCOS{};
};

// /CELL/: the expanded cell. Atoms 1..NASYM are the asymmetric unit.
struct CELL {
  std::array<double, kMaxAtoms> OCCU{};   // occupancy
  std::array<Vec3, kMaxAtoms> X{};        // fractional coordinates
  std::array<int, kMaxAtoms> ISHELL{};    // shell partner (atom number, 0 for none)
  int NTOT = 0;
  std::array<int, kMaxAtoms> MULT{};      // multiplicity of asymmetric-unit atoms
  int NASYM = 0;
  std::array<int, kMaxAtoms> KIND{};      // kind number, 1..NKIND
};

// /LSQ/: refinement switches and cycle control.
struct LSQ {
  double EPS = 0;
  std::array<int, 6> LID{};                       // a, b, c, alpha, beta, gamma
  std::array<std::array<int, 3>, kMaxAtoms> XID{}; // x, y, z of each asymmetric-unit atom
  int NCYCLE = 0;
  int WFLAG = 0;
  int FFLAG = 0;
};

// /MINMAX/: distance limits, lattice-sum radii and index ranges.
struct MINMAX {
  double RMIN = 0;    // coincidence radius; pairs closer are left out of the sums
  double CEPS = 0;    // cut level of the lattice sums
  double RCMAX = 0;   // distance-table cut-off
  double RMAX = 0;    // overall real-space radius
  double G2MAX = 0;   // reciprocal cut-off
  double RDIR = 0;    // Coulomb (direct) radius
  double RREP = 0;    // repulsion radius
  double RDISP = 0;   // dispersion radius
  double ALPHA = 0;   // Ewald parameter
  std::array<int, 3> NMAX{};   // real-space translation ranges
  std::array<int, 3> HMAX{};   // reciprocal index ranges
};

// /FLAGS/: output switches.
struct FLAGS {
  int RCFLAG = 0;   // write the distance data file
  int CRFLAG = 0;   // write the crystal data file (1 also adds the X-ray density)
};

// /ATPARA/: masses and pair tables.
struct ATPARA {
  std::array<double, kMaxKinds> MASS{};
  PairTable A{}, B{}, C{}, PK{}, Z{};
  int NKIND = 0;
};

// /ATOM/: per-kind parameters.
struct ATOM {
  std::array<double, kMaxKinds> AI{}, BI{}, POL{};
  std::array<int, kMaxKinds> CHARGE{};
};

// /SYMM/: centring translations and symmetry operations x' = R x + t.
struct SYMM {
  std::array<Vec3, kMaxTranslations> TRANS{};
  std::array<Mat3, kMaxOperations> ROT{};
  std::array<Vec3, kMaxOperations> TVEC{};
  int ICENT = 0;
  int NTRANS = 0;
  int NSYM = 0;
};

// /DIFF/: derivatives of the nine-value direct metric, the 4 pi^2 scaled
// reciprocal metric and the volume with respect to the lattice parameters
// p = a, b, c, cos alpha, cos beta, cos gamma (filled by calg).
struct DIFF {
  LatticeDerivatives lattice;
};

extern STRING strings;
extern CRYSTL crystl;
extern CELL cell;
extern LSQ lsq;
extern MINMAX minmax;
extern FLAGS flags;
extern ATPARA atpara;
extern ATOM atom;
extern SYMM symm;
extern DIFF diff;

// Returns every area to its initial (zero, empty) state.
void resetCommons();
