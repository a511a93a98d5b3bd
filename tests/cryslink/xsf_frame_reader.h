#pragma once
// Reads back the frames of an XSF animation written by a converter.
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

struct XsfAtom {
    int z = 0;
    double r[3] = {}, f[3] = {};
};
struct XsfFrame {
    double vectors[3][3] = {};
    std::vector<XsfAtom> atoms;
    // Fractional coordinates of atom i in the frame's own vectors.
    void Fractional(int i, double out[3]) const {
        const double(*v)[3] = vectors;
        const double det = v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
                           v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
                           v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
        const double* r = atoms[i].r;
        // Cramer's rule on r = u a + v b + w c.
        for (int k = 0; k < 3; ++k) {
            double m[3][3];
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b) m[a][b] = (a == k) ? r[b] : v[a][b];
            out[k] = (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                      m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                      m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0])) / det;
        }
    }
};

// The frames of the text, and the ANIMSTEPS count (-1 without a header).
inline std::vector<XsfFrame> ReadXsfFrames(const std::string& text, int* animSteps = nullptr) {
    std::istringstream in(text);
    std::vector<XsfFrame> frames;
    std::string word;
    if (animSteps) *animSteps = -1;
    while (in >> word) {
        if (word == "ANIMSTEPS" && animSteps) {
            in >> *animSteps;
        } else if (word == "PRIMVEC") {
            frames.emplace_back();
            in >> word;
            for (auto& row : frames.back().vectors)
                for (double& x : row) in >> x;
        } else if (word == "PRIMCOORD" && !frames.empty()) {
            int n = 0, one = 0;
            in >> word >> n >> one;
            frames.back().atoms.resize(n);
            for (XsfAtom& a : frames.back().atoms) in >> a.z >> a.r[0] >> a.r[1] >> a.r[2] >> a.f[0] >> a.f[1] >> a.f[2];
        }
    }
    return frames;
}

}  // namespace testing_support
