// Operation texts, the space-group database and the application of operations.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "core/space_group.h"
#include "core/symmetry_operation.h"
#include "program_runner.h"

using namespace testing_support;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

struct Operation {
    double rot[3][3];
    double trans[3];
};

Operation Parse(const std::string& text) {
    Operation op{};
    EXPECT_TRUE(ParseSymmetryOperation(text, op.rot, op.trans)) << text;
    return op;
}

CMyMatrix Matrix(std::initializer_list<double> values) {
    CMyMatrix m;
    m.Alloc(3, 3);
    auto it = values.begin();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = *it++;
    return m;
}

CMyVector<double> Vector(double x, double y, double z) {
    CMyVector<double> v;
    v.Alloc(0, 2);
    v[0] = x;
    v[1] = y;
    v[2] = z;
    return v;
}

}  // namespace

TEST(OperationParser, ReadsEveryWrittenForm) {
    for (const char* text : {"x-y,-y+x,z", "X-Y, x-y , Z", "-y+x,x-y,z"}) {
        Operation op = Parse(text);
        EXPECT_EQ(op.rot[0][0], 1);
        EXPECT_EQ(op.rot[0][1], -1);
        EXPECT_EQ(op.rot[1][0], 1);
        EXPECT_EQ(op.rot[1][1], -1);
        EXPECT_EQ(op.rot[2][2], 1);
        EXPECT_EQ(op.trans[0], 0);
    }
    for (const char* text : {"1/2+x,y,z", "x+1/2,y,z", "x+0.5,y,z", "+x+.5,y,z", " x + 1/2 , y , z "}) {
        Operation op = Parse(text);
        EXPECT_EQ(op.rot[0][0], 1) << text;
        EXPECT_DOUBLE_EQ(op.trans[0], 0.5) << text;
    }
    Operation op = Parse("-x+3/4,z-1/4,2y+1/3");
    EXPECT_DOUBLE_EQ(op.trans[0], 0.75);
    EXPECT_EQ(op.rot[1][2], 1);
    EXPECT_DOUBLE_EQ(op.trans[1], -0.25);
    EXPECT_EQ(op.rot[2][1], 2);
    EXPECT_DOUBLE_EQ(op.trans[2], 1.0 / 3.0);
    op = Parse("0.5*x,y,z");
    EXPECT_DOUBLE_EQ(op.rot[0][0], 0.5);
}

TEST(OperationParser, RefusesMalformedTexts) {
    double rot[3][3], trans[3];
    for (const char* text : {"", "x,y", "x,y,z,", "x,y,,z", "x,y,w", "x,y,z+", "x,y,1/0", "xy,y,z", "x,y,z+1/",
                             "x,y,(z)", "x;y;z", "x,y,z+1.2.3"})
        EXPECT_FALSE(ParseSymmetryOperation(text, rot, trans)) << text;
}

TEST(OperationText, RotationTermsFractionsAndTranslations) {
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({1, 0, 0, 0, 1, 0, 0, 0, 1}), Vector(0, 0, 0)), "x,y,z");
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({-1, 0, 0, 0, -1, 0, 0, 0, -1}), Vector(0, 0, 0)), "-x,-y,-z");
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({0, -1, 0, 1, -1, 0, 0, 0, 1}), Vector(0, 0, 0)), "-y,x-y,z");
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({0, 0.5, 0, 0, 1, 0, 0, 0, 1}), Vector(0, 0, 0)), "1/2,y,z");
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({-1, 0, 0, 0, 1, 0, 0, 0, -1}), Vector(0, 0.5, 0.5)),
              "-x,y+1/2,-z+1/2");
    EXPECT_EQ(CSpaceGroup::MakeOperationText(Matrix({0, -1, 0, 1, 0, 0, 0, 0, 1}), Vector(0.25, -0.75, 1.0 / 6)),
              "-y+1/4,x-3/4,z+1/6");
    EXPECT_EQ(FractionText(0.3), "0.3");
    EXPECT_EQ(FractionText(-0.66667), "-2/3");
}

TEST(SpaceGroup, P1AndApplyOperation) {
    CSpaceGroup sg;
    double x, y, z;
    sg.ApplyOperation(0, 0, 0, 0.25, 0.5, 1.0, x, y, z);
    EXPECT_DOUBLE_EQ(x, 0.25);
    EXPECT_DOUBLE_EQ(y, 0.5);
    EXPECT_DOUBLE_EQ(z, 0.0);
    sg.ApplyOperation(0, 0, 1, 0.25, 0.5, 1.0, x, y, z);
    EXPECT_DOUBLE_EQ(x, 0.75);
    EXPECT_DOUBLE_EQ(y, 0.5);
    EXPECT_DOUBLE_EQ(z, 0.0);
}

TEST(SpaceGroup, UnreadableOperationTextIsReportedAndNeverApplied) {
    CSpaceGroup sg;
    CaptureStdout();
    sg.AddOperationText("x,y,q");
    sg.AddOperationText("-x,-y,z");
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(out, "Error in CSpaceGroup: Can not read symmetry operation [x,y,q]; it is not applied.\n");
    EXPECT_EQ(sg.nSymmetry, 3);
    EXPECT_FALSE(sg.HasNumbers(1));
    EXPECT_TRUE(sg.HasNumbers(2));
}

TEST(SpaceGroup, ReadSPGRecordsAndStops) {
    TempDir dir;
    WriteFile(dir / "spg",
              "2 1 0 0 1 P-1\r\nunused\r\n -x,-y,-z \r\n"
              "14 1 0 0 4 P 1 21/c 1\nunused\n-x,y+1/2,-z+1/2\n-x,-y,-z\n  x,-y+1/2,z+1/2\nx,y,z\n"
              "15 1 0 0\nunused\n");
    CSpaceGroup sg;
    EXPECT_EQ(sg.ReadSPG(14, 1, dir / "spg"), 1);
    EXPECT_EQ(sg.Name, "P 1 21/c 1");
    ASSERT_EQ(sg.nSymmetry, 5);
    EXPECT_EQ(sg.OperationText[0], "x,y,z");
    EXPECT_EQ(sg.OperationText[3], "x,-y+1/2,z+1/2");
    double x, y, z;
    sg.ApplyOperation(1, 0, 0, 0.1, 0.2, 0.3, x, y, z);
    EXPECT_NEAR(x, 0.9, 1e-12);
    EXPECT_NEAR(y, 0.7, 1e-12);
    EXPECT_NEAR(z, 0.2, 1e-12);
    // A header with four integers ends the search: the group stays P1 with the asked number.
    EXPECT_EQ(sg.ReadSPG(16, 1, dir / "spg"), 1);
    EXPECT_EQ(sg.Name, "P1");
    EXPECT_EQ(sg.Number, 16);
    EXPECT_EQ(sg.nSymmetry, 1);
    EXPECT_EQ(sg.ReadSPG(2, 1, ""), 0);
    CaptureStdout();
    EXPECT_EQ(sg.ReadSPG(2, 1, dir / "none"), -1);
    EXPECT_EQ(GetCapturedStdout(), "Error in CSpaceGroup::ReadSPG: Can not read [" + (dir / "none") + "].\n");
}

TEST(SpaceGroup, ShortSymbolsFindTheStandardSetting) {
    const std::string db = SourcePath("data/spgra");
    int number = 0, setting = 0;
    const struct {
        const char* symbol;
        int number;
    } cases[] = {{"P 21/c", 14}, {"P21/c", 14}, {"Fm-3m", 225}, {"R -3 c", 167}, {"P1", 1}, {"Fd-3m", 227}};
    for (const auto& c : cases) {
        ASSERT_TRUE(FindSPGBySymbol(c.symbol, db, number, setting)) << c.symbol;
        EXPECT_EQ(number, c.number) << c.symbol;
        EXPECT_EQ(setting, 1) << c.symbol;
    }
    EXPECT_FALSE(FindSPGBySymbol("Q 9", db, number, setting));
}

// Every operation of every setting in the shipped database parses, and the
// text made from its numbers parses back to the same numbers.
TEST(SpaceGroup, EveryDatabaseOperationRoundTripsThroughItsText) {
    const std::string db = SourcePath("data/spgra");
    std::ifstream in(db);
    std::string line;
    int settings = 0, operations = 0;
    while (std::getline(in, line)) {
        int number = 0, setting = 0, hall = 0, unused = 0, count = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %d %d %d", &number, &setting, &hall, &unused, &count), 5) << line;
        std::getline(in, line);
        for (int i = 0; i < count; ++i) std::getline(in, line);
        CSpaceGroup sg;
        ASSERT_EQ(sg.ReadSPG(number, setting, db), 1);
        ASSERT_EQ(sg.nSymmetry, count + 1);
        for (int o = 0; o < sg.nSymmetry; ++o) {
            ASSERT_TRUE(sg.HasNumbers(o)) << sg.OperationText[o];
            const std::string text = CSpaceGroup::MakeOperationText(sg.Rotation[o], sg.Translation[o]);
            Operation back = Parse(text);
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(back.trans[i], sg.Translation[o][i], 1e-9) << text;
                for (int j = 0; j < 3; ++j) EXPECT_EQ(back.rot[i][j], sg.Rotation[o][i][j]) << text;
            }
            ++operations;
        }
        ++settings;
    }
    EXPECT_EQ(settings, 530);
    EXPECT_EQ(operations, 7388);  // the operation lines of the file plus one identity per setting
}
