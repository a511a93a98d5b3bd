#pragma once
// A cell as simulation programs print it: three Cartesian vectors in the
// file's own orientation. Cartesian positions (and forces) of that file are
// converted with these vectors, before the crystal puts its cell into the
// standard orientation (a along x, b in the xy plane).
class CCrystal;

// The vectors with their own inverse, for converting a file's positions
// independently of any crystal.
class CCellVectors {
public:
    // Rows a, b, c in any length unit. False (and no inverse) when the vectors are flat.
    bool Set(const double vectors[3][3]);
    bool IsValid() const { return valid_; }
    // r = u a + v b + w c, in the unit of the vectors.
    void ToFractional(const double r[3], double f[3]) const;
    void ToCartesian(const double f[3], double r[3]) const;

    double v[3][3] = {};

private:
    double inverse_[3][3] = {};
    bool valid_ = false;
};

// Sets the crystal's lattice parameters from the vectors (lengths times
// toNm) and recomputes its vectors in the standard orientation.
void SetCrystalCell(CCrystal& crystal, const CCellVectors& cell, double toNm);

// Sets the crystal's lattice vectors to `vectors` (rows a, b, c in nm) and its
// lattice parameters to their lengths and angles, so that
// CCrystal::CartesianToFractional converts with the file's own vectors. Metric
// and volume follow with CCrystal::CalculateLatticeVectors, which also turns the
// vectors into the standard orientation; convert Cartesian positions before that call.
void SetLatticeFromVectors(CCrystal& crystal, const double vectors[3][3]);

// Turns the forces of the asymmetric sites, given in the Cartesian frame of
// `fileVectors`, into the frame of the crystal's current lattice vectors, so
// that they stay with the positions once the cell is in the standard
// orientation. A cell that cannot be inverted leaves them as they are.
void TurnForcesToLatticeFrame(CCrystal& crystal, const double fileVectors[3][3]);
