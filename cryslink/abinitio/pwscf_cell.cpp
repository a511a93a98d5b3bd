#include "abinitio/pwscf_cell.h"

#include <cmath>

#include "core/cell_vectors.h"
#include "core/units.h"

int PWScfConventionalIbrav(int ibrav) {
    switch (ibrav) {
        case 2: case 3: case -3: return 1;
        case 7: return 6;
        case 9: case -9: case 91: case 10: case 11: return 8;
        case 13: return 12;
        case -13: return -12;
        default: return ibrav;
    }
}

namespace {

// K with conventional = K primitive: whole numbers, found once from a cell of the lattice.
bool CentringMatrix(int ibrav, double k[3][3]) {
    PWScfCelldm reference;
    const double values[6] = {1.0, 1.3, 1.7, 0.21, 0.27, 0.13};
    for (int i = 0; i < 6; ++i) reference.v[i] = values[i];
    double p[3][3], c[3][3];
    if (!PWScfLatticeVectors(ibrav, reference, p) || !PWScfLatticeVectors(PWScfConventionalIbrav(ibrav), reference, c))
        return false;
    CCellVectors primitive;
    if (!primitive.Set(p)) return false;
    for (int i = 0; i < 3; ++i) {
        double f[3];
        primitive.ToFractional(c[i], f);
        for (int j = 0; j < 3; ++j) k[i][j] = std::round(f[j]);
    }
    return true;
}

}  // namespace

bool PWScfLatticeVectors(int ibrav, const PWScfCelldm& celldm, double v[3][3]) {
    const double a = celldm.v[0], ba = celldm.v[1], ca = celldm.v[2];
    const double h = a / 2.0;
    auto set = [&v](int i, double x, double y, double z) {
        v[i][0] = x;
        v[i][1] = y;
        v[i][2] = z;
    };
    switch (ibrav) {
        case 1: set(0, a, 0, 0); set(1, 0, a, 0); set(2, 0, 0, a); return true;
        case 2: set(0, -h, 0, h); set(1, 0, h, h); set(2, -h, h, 0); return true;
        case 3: set(0, h, h, h); set(1, -h, h, h); set(2, -h, -h, h); return true;
        case -3: set(0, -h, h, h); set(1, h, -h, h); set(2, h, h, -h); return true;
        case 4: set(0, a, 0, 0); set(1, -h, a * std::sqrt(3.0) / 2.0, 0); set(2, 0, 0, a * ca); return true;
        case 5:
        case -5: {
            const double cg = celldm.v[3];
            const double tx = std::sqrt((1.0 - cg) / 2.0), ty = std::sqrt((1.0 - cg) / 6.0);
            const double tz = std::sqrt((1.0 + 2.0 * cg) / 3.0);
            if (ibrav == 5) {
                set(0, a * tx, -a * ty, a * tz); set(1, 0, 2 * a * ty, a * tz); set(2, -a * tx, -a * ty, a * tz);
            } else {
                const double ap = a / std::sqrt(3.0);
                const double u = ap * (tz - 2.0 * std::sqrt(2.0) * ty), w = ap * (tz + std::sqrt(2.0) * ty);
                set(0, u, w, w); set(1, w, u, w); set(2, w, w, u);
            }
            return true;
        }
        case 6: set(0, a, 0, 0); set(1, 0, a, 0); set(2, 0, 0, a * ca); return true;
        case 7: set(0, h, -h, h * ca); set(1, h, h, h * ca); set(2, -h, -h, h * ca); return true;
        case 8: set(0, a, 0, 0); set(1, 0, a * ba, 0); set(2, 0, 0, a * ca); return true;
        case 9: set(0, h, h * ba, 0); set(1, -h, h * ba, 0); set(2, 0, 0, a * ca); return true;
        case -9: set(0, h, -h * ba, 0); set(1, h, h * ba, 0); set(2, 0, 0, a * ca); return true;
        case 91: set(0, a, 0, 0); set(1, 0, h * ba, -h * ca); set(2, 0, h * ba, h * ca); return true;
        case 10: set(0, h, 0, h * ca); set(1, h, h * ba, 0); set(2, 0, h * ba, h * ca); return true;
        case 11: set(0, h, h * ba, h * ca); set(1, -h, h * ba, h * ca); set(2, -h, -h * ba, h * ca); return true;
        case 12:
        case 13: {
            const double cg = celldm.v[3], sg = std::sqrt(std::fmax(0.0, 1.0 - cg * cg));
            if (ibrav == 12) set(0, a, 0, 0); else set(0, h, 0, -h * ca);
            set(1, a * ba * cg, a * ba * sg, 0);
            if (ibrav == 12) set(2, 0, 0, a * ca); else set(2, h, 0, h * ca);
            return true;
        }
        case -12:
        case -13: {
            const double cb = celldm.v[4], sb = std::sqrt(std::fmax(0.0, 1.0 - cb * cb));
            if (ibrav == -12) {
                set(0, a, 0, 0); set(1, 0, a * ba, 0);
            } else {
                set(0, h, h * ba, 0); set(1, -h, h * ba, 0);
            }
            set(2, a * ca * cb, 0, a * ca * sb);
            return true;
        }
        case 14: {
            const double cbc = celldm.v[3], cac = celldm.v[4], cab = celldm.v[5];
            const double sab = std::sqrt(std::fmax(0.0, 1.0 - cab * cab));
            const double volume = 1.0 + 2.0 * cbc * cac * cab - cbc * cbc - cac * cac - cab * cab;
            set(0, a, 0, 0);
            set(1, a * ba * cab, a * ba * sab, 0);
            set(2, a * ca * cac, a * ca * (cbc - cac * cab) / sab, a * ca * std::sqrt(std::fmax(0.0, volume)) / sab);
            return true;
        }
        default: return false;
    }
}

PWScfCelldm PWScfCelldmFromABC(int ibrav, double A, double B, double C, double cosAB, double cosAC, double cosBC) {
    PWScfCelldm d;
    d.v[0] = A / units::kBohr;
    d.v[1] = A != 0 ? B / A : 0;
    d.v[2] = A != 0 ? C / A : 0;
    if (ibrav == 14 || ibrav == 0) {
        d.v[3] = cosBC;
        d.v[4] = cosAC;
        d.v[5] = cosAB;
    } else if (ibrav == -12 || ibrav == -13) {
        d.v[4] = cosAC;
    } else if (ibrav == 5 || ibrav == -5 || ibrav == 12 || ibrav == 13) {
        d.v[3] = cosAB;
    }
    return d;
}

bool PWScfConventionalCell(int ibrav, const double vectors[3][3], double lengths[3], double cosines[3]) {
    double k[3][3];
    if (!CentringMatrix(ibrav, k)) return false;
    double conv[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) conv[i][j] = k[i][0] * vectors[0][j] + k[i][1] * vectors[1][j] + k[i][2] * vectors[2][j];
    auto dot = [](const double* p, const double* q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    for (int i = 0; i < 3; ++i) lengths[i] = std::sqrt(dot(conv[i], conv[i]));
    auto cosine = [&](int i, int j) {
        const double n = lengths[i] * lengths[j];
        return n > 0 ? dot(conv[i], conv[j]) / n : 0.0;
    };
    cosines[0] = cosine(0, 1);
    cosines[1] = cosine(0, 2);
    cosines[2] = cosine(1, 2);
    return true;
}

PWScfCelldm PWScfCelldmFromConventional(int ibrav, const double lengths[3], const double cosines[3]) {
    return PWScfCelldmFromABC(ibrav, lengths[0] * units::kBohr, lengths[1] * units::kBohr, lengths[2] * units::kBohr,
                              cosines[0], cosines[1], cosines[2]);
}

bool PWScfSameShape(const double a[3][3], const double b[3][3], double tolerance) {
    auto dot = [](const double* p, const double* q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    double la[3], lb[3];
    for (int i = 0; i < 3; ++i) {
        la[i] = std::sqrt(dot(a[i], a[i]));
        lb[i] = std::sqrt(dot(b[i], b[i]));
        if (!(std::fabs(la[i] - lb[i]) <= tolerance * la[i])) return false;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (!(std::fabs(dot(a[i], a[j]) / (la[i] * la[j]) - dot(b[i], b[j]) / (lb[i] * lb[j])) <= tolerance))
                return false;
    return true;
}

int PWScfIbravOfSpaceGroup(int number, const std::string& settingName, bool uniqueb, bool rhombohedral) {
    const char lattice = settingName.empty() ? 'P' : settingName[0];
    if (number <= 2) return 14;
    if (number <= 15) {
        if (lattice == 'P') return uniqueb ? -12 : 12;
        return uniqueb ? -13 : 13;
    }
    if (number <= 74) {
        switch (lattice) {
            case 'C': return 9;
            case 'A': return 91;
            case 'F': return 10;
            case 'I': return 11;
            default: return 8;
        }
    }
    if (number <= 142) return lattice == 'I' ? 7 : 6;
    if (number <= 194) return (lattice == 'R' && rhombohedral) ? 5 : 4;
    return lattice == 'F' ? 2 : lattice == 'I' ? 3 : 1;
}
