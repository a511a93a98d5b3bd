#include "core/space_group.h"

#include <cmath>
#include <cstdio>

#include "core/crystal.h"
#include "core/space_group_database.h"
#include "core/symmetry_operation.h"

CSpaceGroup::CSpaceGroup()
    : Centering(kMaxCenterings), OperationText(kMaxOperations), Translation(kMaxOperations), Rotation(kMaxOperations) {
    SetP1();
}

void CSpaceGroup::SetP1() {
    Name = "P1";
    Number = 1;
    Setting = 1;
    nSymmetry = 1;
    bInversion = 0;
    nCentering = 1;
    Centering[0].Alloc(0, 2);
    for (int i = 0; i < 3; ++i) Centering[0][i] = 0.0;
    OperationText[0] = "x,y,z";
    Rotation[0].Alloc(3, 3);
    Translation[0].Alloc(0, 2);
    for (int i = 0; i < 3; ++i) {
        Translation[0][i] = 0.0;
        for (int j = 0; j < 3; ++j) Rotation[0][i][j] = i == j ? 1.0 : 0.0;
    }
}

bool CSpaceGroup::HasNumbers(int o) const {
    return o >= 0 && o < nSymmetry && !Rotation[o].IsEmpty() && !Translation[o].IsEmpty();
}

int CSpaceGroup::AddOperationText(const std::string& text) {
    if (nSymmetry >= kMaxOperations) {
        std::printf("Error in CSpaceGroup: more than %d symmetry operations; [%s] is left out.\n", kMaxOperations,
                    text.c_str());
        return nSymmetry;
    }
    const int o = nSymmetry++;
    OperationText[o] = text;
    double rot[3][3], trans[3];
    if (!ParseSymmetryOperation(text, rot, trans)) {
        std::printf("Error in CSpaceGroup: Can not read symmetry operation [%s]; it is not applied.\n", text.c_str());
        Rotation[o].Alloc(0, 0);
        Translation[o].Free();
        return nSymmetry;
    }
    Rotation[o].Alloc(3, 3);
    Translation[o].Alloc(0, 2);
    for (int i = 0; i < 3; ++i) {
        Translation[o][i] = trans[i];
        for (int j = 0; j < 3; ++j) Rotation[o][i][j] = rot[i][j];
    }
    return nSymmetry;
}

int CSpaceGroup::AddOperation(const CMyMatrix& rotation, const CMyVector<double>& translation) {
    if (nSymmetry >= kMaxOperations) return nSymmetry;
    const int o = nSymmetry++;
    Rotation[o] = rotation;
    Translation[o] = translation;
    OperationText[o] = MakeOperationText(rotation, translation);
    return nSymmetry;
}

void CSpaceGroup::ApplyOperation(int o, int t, int s, double x, double y, double z, double& xo, double& yo,
                                 double& zo) const {
    const double p[3] = {x, y, z};
    double r[3];
    for (int i = 0; i < 3; ++i) {
        double sum = 0.0;
        for (int j = 0; j < 3; ++j) sum += Rotation[o][i][j] * p[j];
        r[i] = Centering[t][i] + Translation[o][i] + sum;
        if (s > 0) r[i] = -r[i];
    }
    xo = ReduceFractionalCoordinate(r[0]);
    yo = ReduceFractionalCoordinate(r[1]);
    zo = ReduceFractionalCoordinate(r[2]);
}

namespace {

bool Near(double a, double b) { return std::fabs(a - b) < 1e-5; }

// A signed term: "+" before a positive fraction, the fraction's own "-" otherwise.
std::string Signed(double c, const std::string& fraction) {
    std::string text;
    if (c > 0) text += '+';
    text += fraction;
    return text;
}

std::string AxisTerm(double c, const char* plus, const char* minus) {
    if (Near(c, 1.0)) return plus;
    if (Near(c, -1.0)) return minus;
    if (Near(c, 0.0)) return "";
    return Signed(c, FractionText(c));
}

// Translations also take sixths, which screw axes 6_1 and 6_5 need.
std::string TranslationText(double t) {
    if (Near(t, 0.0)) return "";
    for (int n : {1, 5, -1, -5})
        if (Near(t, n / 6.0)) return Signed(t, std::to_string(n) + "/6");
    return Signed(t, FractionText(t));
}

}  // namespace

std::string CSpaceGroup::MakeOperationText(const CMyMatrix& rotation, const CMyVector<double>& translation) {
    std::string rows[3];
    for (int i = 0; i < 3; ++i) {
        std::string text = AxisTerm(rotation[i][0], "x", "-x") + AxisTerm(rotation[i][1], "+y", "-y") +
                           AxisTerm(rotation[i][2], "+z", "-z") + TranslationText(translation[i]);
        if (!text.empty() && text[0] == '+') text.erase(0, 1);
        rows[i] = text;
    }
    return rows[0] + "," + rows[1] + "," + rows[2];
}

int CSpaceGroup::ReadSPG(int number, int setting, const CSpaceGroupDatabase& database) {
    SetP1();
    Number = number;
    Setting = setting;
    if (!database.IsLoaded()) {
        std::printf("Error in CSpaceGroup::ReadSPG: Can not read [%s].\n", database.Path().c_str());
        return -1;
    }
    if (const SPGRecordInfo* record = database.Find(number, setting)) {
        Name = record->Name;
        for (const std::string& text : record->OperationTexts) AddOperationText(text);
    }
    return 1;
}
