#pragma once
// A cell given by three Cartesian vectors in a file's own orientation:
// Cartesian positions of that file become fractional coordinates with the
// file's vectors, before the crystal puts its cell into the standard
// orientation (a along x, b in the xy plane).
class CCrystal;

class CCellVectors {
public:
    // Rows a, b, c in any length unit. False (and no inverse) when the vectors are flat.
    bool Set(const double vectors[3][3]);
    bool IsValid() const { return valid_; }
    // r = u a + v b + w c, in the unit of the vectors.
    void ToFractional(const double r[3], double f[3]) const;
    void ToCartesian(const double f[3], double r[3]) const;
    // Lengths in the unit of the vectors; angles alpha, beta, gamma in degrees.
    void Parameters(double& a, double& b, double& c, double& alpha, double& beta, double& gamma) const;

    double v[3][3] = {};

private:
    double inverse_[3][3] = {};
    bool valid_ = false;
};

// Sets the crystal's lattice parameters from the vectors (lengths times
// toNm) and recomputes its vectors in the standard orientation.
void SetCrystalCell(CCrystal& crystal, const CCellVectors& cell, double toNm);
