// Operation texts, the space-group database and the application of operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/space_group.h"
#include "core/space_group_database.h"
#include "core/space_group_lookup.h"
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

// Magnetic operations carry a time-reversal term, superspace ones act on x1..x4.
TEST(OperationParser, PositionPartOfMagneticAndSuperspaceOperations) {
    const std::pair<const char*, const char*> cases[] = {
        {"x1,x2,x3,x4", "x,y,z"},
        {"-x2,x1,x3,x5,-x4", "-y,x,z"},
        {"1/2-X1,1/2+x2, x3,-x5,-x4", "1/2-x,1/2+y, z"},
        {"x+1/2,y,-z+1/2,-1", "x+1/2,y,-z+1/2"},
        {"-x1+x2+1/3,-x1+2/3,x3+2/3,x4+2/3,+1", "-x+y+1/3,-x+2/3,z+2/3"},
        {"x,y,z", "x,y,z"},
        {"x1,x2", nullptr},
        {"x1,x4,x3,x2", nullptr},
        {"x,y,z,", nullptr},
        {"x,,z,+1", nullptr},
    };
    for (const auto& [text, expected] : cases) {
        std::string position;
        EXPECT_EQ(PositionPartOfOperation(text, position), expected != nullptr) << text;
        if (expected) {
            EXPECT_EQ(position, expected) << text;
        }
    }
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
    CSpaceGroupDatabase database;
    ASSERT_TRUE(database.Read(dir / "spg"));
    EXPECT_EQ(database.Records().size(), 2u);
    CSpaceGroup sg;
    EXPECT_EQ(sg.ReadSPG(14, 1, database), 1);
    EXPECT_EQ(sg.Name, "P 1 21/c 1");
    ASSERT_EQ(sg.nSymmetry, 5);
    EXPECT_EQ(sg.OperationText[0], "x,y,z");
    EXPECT_EQ(sg.OperationText[3], "x,-y+1/2,z+1/2");
    double x, y, z;
    sg.ApplyOperation(1, 0, 0, 0.1, 0.2, 0.3, x, y, z);
    EXPECT_NEAR(x, 0.9, 1e-12);
    EXPECT_NEAR(y, 0.7, 1e-12);
    EXPECT_NEAR(z, 0.2, 1e-12);
    // A header with four integers ends the table: the group stays P1 with the asked number.
    EXPECT_EQ(sg.ReadSPG(16, 1, database), 1);
    EXPECT_EQ(sg.Name, "P1");
    EXPECT_EQ(sg.Number, 16);
    EXPECT_EQ(sg.nSymmetry, 1);
    CSpaceGroupDatabase none;
    EXPECT_FALSE(none.Read(dir / "none"));
    CaptureStdout();
    EXPECT_EQ(sg.ReadSPG(2, 1, none), -1);
    EXPECT_EQ(GetCapturedStdout(), "Error in CSpaceGroup::ReadSPG: Can not read [" + (dir / "none") + "].\n");
}

TEST(SpaceGroup, ShortSymbolsFindTheStandardSetting) {
    const struct {
        const char* symbol;
        int number;
    } cases[] = {{"P 21/c", 14}, {"P21/c", 14}, {"Fm-3m", 225}, {"R -3 c", 167}, {"P1", 1}, {"Fd-3m", 227}};
    for (const auto& c : cases) {
        SpaceGroupRecord record;
        ASSERT_TRUE(FindSpaceGroupRecord("", c.symbol, 0, false, TestContext().spaceGroups, "f", record)) << c.symbol;
        EXPECT_EQ(record.Number, c.number) << c.symbol;
        EXPECT_EQ(record.Setting, 1) << c.symbol;
    }
    SpaceGroupRecord record;
    EXPECT_FALSE(FindSpaceGroupRecord("", "Q 9", 0, false, TestContext().spaceGroups, "f", record));
}

// The record a file without operations means. Number 0 expected: none found.
TEST(SpaceGroupLookup, HallSymbolThenAnySpellingThenNumber) {
    const struct {
        const char *hall, *symbol;
        int number;
        bool rhombohedralCell;
        int expectNumber, expectSetting, warnings;
    } cases[] = {
        // Non-standard settings, short or full, any letter case, blanks and underscores.
        {"", "P 21/a", 14, false, 14, 3, 0},       {"", "P 1 1 21/b", 14, false, 14, 6, 0},
        {"", "P 1 1 21/a", 0, false, 14, 4, 0},    {"", "C 1 2/c 1", 15, false, 15, 1, 0},
        {"", "A 1 2/m 1", 12, false, 12, 2, 0},    {"", "B b 2 1 m", 36, false, 36, 5, 0},
        {"", "P N M A", 0, false, 62, 1, 0},       {"", "p b n m", 62, false, 62, 3, 0},
        // Origin choices and axes: colon, words, ICSD suffixes; the cell when none is written.
        {"", "F d -3 m origin choice 2", 227, false, 227, 2, 0}, {"", "Fd-3m (origin choice 1)", 0, false, 227, 1, 0},
        {"", "Fd-3mZ", 0, false, 227, 2, 0},       {"", "C c c e :2", 68, false, 68, 2, 0},
        {"", "R -3 c R", 167, false, 167, 2, 0},   {"", "R -3 c", 167, true, 167, 2, 0},
        {"", "R -3 c H", 167, true, 167, 1, 0},    {"", "R 3 m :R", 0, false, 160, 2, 0},
        // Older cubic symbols: the bar of -3 only after a mirror or glide letter.
        {"", "P n 3 :2", 0, false, 201, 2, 0},     {"", "P a 3", 0, false, 205, 1, 0},
        {"", "F M 3 M", 0, false, 225, 1, 0},      {"", "P 4/m 3 2/m", 0, false, 221, 1, 0},
        {"", "P 2 3", 0, false, 195, 1, 0},        {"", "P 4 3 2", 0, false, 207, 1, 0},
        {"", "P -4 3 m", 0, false, 215, 1, 0},
        // Hall symbols: blanks between parts count only where they tell groups apart.
        {"-p2YN", "", 0, false, 14, 2, 0},         {"P 32", "", 0, false, 145, 1, 0},
        {"P 3 2", "", 0, false, 149, 1, 0},        {"P32", "", 0, false, 0, 0, 0},
        // The number alone, and disagreements: the Hall symbol, then the symbol, wins.
        {"", "", 14, false, 14, 1, 0},             {"?", "Undefined", 167, true, 167, 2, 0},
        {"", "P 1 21/n 1", 15, false, 14, 2, 1},   {"-P 2yn", "C 2/c", 0, false, 14, 2, 1},
        {"-Q 9", "P 21/c", 14, false, 14, 1, 1},   {"", "Q 42", 0, false, 0, 0, 0},
    };
    const CSpaceGroupDatabase& db = TestContext().spaceGroups;
    for (const auto& c : cases) {
        SpaceGroupRecord record;
        CaptureStdout();
        const bool found = FindSpaceGroupRecord(c.hall, c.symbol, c.number, c.rhombohedralCell, db, "f.cif", record);
        const std::string out = GetCapturedStdout();
        const std::string name = std::string(c.hall) + " | " + c.symbol;
        EXPECT_EQ(found, c.expectNumber != 0) << name;
        EXPECT_EQ(record.Number, c.expectNumber) << name;
        EXPECT_EQ(record.Setting, c.expectSetting) << name;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), c.warnings) << name << "\n" << out;
    }
}

// Symbols the database has only with another lattice letter: the record of
// their point-group part, P first. Number 0 expected: none.
TEST(SpaceGroupLookup, SymbolsWithAnotherCentring) {
    const struct {
        const char *hall, *symbol;
        int expectNumber;
        char expectLattice;
    } cases[] = {
        {"", "A -1", 2, 'A'},     {"", "C -1", 2, 'C'},    {"", "F-1", 2, 'F'},    {"", "i -1", 2, 'I'},
        {"", "F 1 2/m 1", 10, 'F'}, {"", "A 4/m", 83, 'A'},  {"", "C 1", 1, 'C'},
        {"", "I 2/m", 0, 0},      {"", "P 21/c", 0, 0},    {"-P 1", "A -1", 0, 0}, {"", "Q -1", 0, 0},
        {"", "A", 0, 0},          {"", "?", 0, 0},
    };
    const CSpaceGroupDatabase& db = TestContext().spaceGroups;
    for (const auto& c : cases) {
        SpaceGroupRecord record;
        char lattice = 0;
        EXPECT_EQ(FindRecordWithOtherCentring(c.hall, c.symbol, db, record, lattice), c.expectNumber != 0) << c.symbol;
        EXPECT_EQ(record.Number, c.expectNumber) << c.symbol;
        EXPECT_EQ(lattice, c.expectLattice) << c.symbol;
    }
}

// Every operation of every setting in the shipped database parses, and the
// text made from its numbers parses back to the same numbers.
TEST(SpaceGroup, EveryDatabaseOperationRoundTripsThroughItsText) {
    std::ifstream in(SourcePath("data/spgra"));
    const CSpaceGroupDatabase& db = TestContext().spaceGroups;
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
