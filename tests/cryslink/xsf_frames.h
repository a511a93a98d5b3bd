#pragma once
// Reading back the XSF animations the converters write, and comparing a frame
// with the numbers of the program's own file in a way that does not depend on
// the orientation of the cell (the converters put it into the standard one).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

using Vec3 = std::array<double, 3>;

inline double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

struct XSFFrame {
    std::array<Vec3, 3> vectors{};
    std::vector<std::array<double, 7>> atoms;  // Z, x, y, z, fx, fy, fz

    // The length of cell vector k.
    double Length(int k) const { return std::sqrt(Dot(vectors[k], vectors[k])); }

    // Fractional coordinates of atom i in the frame's own vectors.
    void Fractional(int i, double out[3]) const {
        const auto det3 = [](const double m[3][3]) {
            return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                   m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        };
        double v[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) v[a][b] = vectors[a][b];
        const double det = det3(v);
        const double r[3] = {atoms[i][1], atoms[i][2], atoms[i][3]};
        // Cramer's rule on r = u a + v b + w c.
        for (int k = 0; k < 3; ++k) {
            double m[3][3];
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) m[a][b] = (a == k) ? r[b] : v[a][b];
            out[k] = det3(m) / det;
        }
    }
};

struct XSFAnimation {
    int animSteps = -1;  // -1 without an ANIMSTEPS header
    std::vector<XSFFrame> frames;
};

inline XSFAnimation ParseXSF(const std::string& text) {
    XSFAnimation xsf;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "ANIMSTEPS") {
            in >> xsf.animSteps;
        } else if (word == "PRIMVEC") {
            xsf.frames.emplace_back();
            in >> word;
            for (Vec3& v : xsf.frames.back().vectors) in >> v[0] >> v[1] >> v[2];
        } else if (word == "PRIMCOORD" && !xsf.frames.empty()) {
            int n = 0, one = 0;
            in >> word >> n >> one;
            for (int i = 0; i < n; ++i) {
                std::array<double, 7> a{};
                for (double& x : a) in >> x;
                xsf.frames.back().atoms.push_back(a);
            }
        }
    }
    return xsf;
}

// One atom of a frame against the file: cell vector lengths, and the position
// and force projected on the three cell vectors, all in angstrom and eV/A.
struct AtomCheck {
    int atom;
    Vec3 position;
    Vec3 force;
};

inline void ExpectFrameMatches(const XSFFrame& frame, const std::array<Vec3, 3>& fileVectors, int z,
                               const AtomCheck& check, double tolerance = 2e-4) {
    ASSERT_LT(check.atom, static_cast<int>(frame.atoms.size()));
    const auto& a = frame.atoms[check.atom];
    EXPECT_EQ(a[0], z) << "atom " << check.atom;
    const Vec3 position{a[1], a[2], a[3]}, force{a[4], a[5], a[6]};
    for (int k = 0; k < 3; ++k) {
        const Vec3& v = frame.vectors[k];
        const double scale = frame.Length(k);
        EXPECT_NEAR(scale, std::sqrt(Dot(fileVectors[k], fileVectors[k])), 1e-6) << "vector " << k;
        EXPECT_NEAR(Dot(position, v), Dot(check.position, fileVectors[k]), tolerance * scale) << "atom " << check.atom;
        EXPECT_NEAR(Dot(force, v), Dot(check.force, fileVectors[k]), tolerance * scale) << "atom " << check.atom;
    }
}

}  // namespace testing_support
