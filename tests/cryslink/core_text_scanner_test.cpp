// The text scanner, the number reader and the fast number formatting that
// every reader and writer of simulation files shares.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "core/number_format.h"
#include "core/step_loop.h"
#include "core/text_scanner.h"
#include "program_runner.h"

using namespace testing_support;

namespace {

std::string Write(const TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir / name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

TEST(TextScanner, LinesOfAnyLengthAndEnds) {
    TempDir dir;
    const std::string longLine(300000, 'x');
    const std::string path = Write(dir, "a.txt", "one\r\n\r\ntwo\n" + longLine + "\nlast\r");
    CTextScanner s(path);
    ASSERT_TRUE(s.IsOpen());
    std::string line;
    const std::vector<std::string> expected = {"one", "", "two", longLine, "last"};
    for (const std::string& e : expected) {
        ASSERT_TRUE(s.ReadLine(line));
        EXPECT_EQ(line, e);
    }
    EXPECT_FALSE(s.ReadLine(line));
    EXPECT_EQ(s.LineNumber(), 5);

    // A search ends at end of file; Seek goes back to a remembered line.
    s.Rewind();
    ASSERT_TRUE(s.ReadLine(line));
    const long mark = s.Tell();
    EXPECT_TRUE(s.FindLineContaining("two", line));
    EXPECT_EQ(s.LineNumber(), 3);
    EXPECT_FALSE(s.FindLineContaining("absent", line));
    EXPECT_TRUE(s.AtEnd());
    s.Seek(mark, 1);
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_EQ(s.LineNumber(), 2);

    EXPECT_FALSE(CTextScanner(dir.path()).IsOpen());
    EXPECT_FALSE(CTextScanner(dir / "missing").IsOpen());
    CTextScanner empty(Write(dir, "empty", ""));
    EXPECT_FALSE(empty.ReadLine(line));
}

TEST(TextScanner, NumbersAsProgramsWriteThem) {
    struct Case {
        const char* text;
        std::vector<double> values;
    } cases[] = {
        {"1 2 3", {1, 2, 3}},
        {"  -0.0769-0.4615 +2.5e1\r", {-0.0769, -0.4615, 25}},
        {"1.5,2.5 , 3", {1.5, 2.5, 3}},
        {"1.0D-03 2.5d2", {0.001, 250}},
        {".5 -.25 1.", {0.5, -0.25, 1}},
        {"4 5 Si 6", {4, 5}},
        {"1.5abc 2", {}},
        {"Si 1 2", {}},
        {"", {}},
        {"7 1e400", {7, INFINITY}},
    };
    for (const Case& c : cases) {
        double values[8];
        const int n = ScanNumbers(c.text, values, 8);
        ASSERT_EQ(n, static_cast<int>(c.values.size())) << c.text;
        for (int i = 0; i < n; ++i) EXPECT_DOUBLE_EQ(values[i], c.values[i]) << c.text;
    }
    double two[2];
    size_t end = 0;
    EXPECT_EQ(ScanNumbers("1 2 3", two, 2, &end), 2);
    EXPECT_EQ(end, 3u);

    EXPECT_DOUBLE_EQ(FixedField(" 90.000000120.000000", 0, 10), 90.0);
    EXPECT_DOUBLE_EQ(FixedField(" 90.000000120.000000", 10, 10), 120.0);
    EXPECT_DOUBLE_EQ(FixedField("short", 20, 10), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber("  12.5xyz"), 12.5);
    EXPECT_EQ(LeadingInteger(" 12.9"), 12);
    double v;
    long k;
    EXPECT_TRUE(ParseNumber("-1.5e-3", v));
    EXPECT_FALSE(ParseNumber("1.5x", v));
    EXPECT_TRUE(ParseInteger("+42", k));
    EXPECT_FALSE(ParseInteger("4.2", k));
    EXPECT_EQ(SplitWords(" a\tbb  c\r").size(), 3u);
    EXPECT_TRUE(ContainsNoCase("Total-Force", "TOTAL-FORCE"));
    EXPECT_TRUE(StartsWithNoCase("selective dynamics", "Selective"));
}

// The shared text helpers: blanks of every kind, quotes that enclose nothing
// or do not pair, and bytes beyond ASCII, which every change of case keeps.
TEST(TextScanner, TrimCaseAndQuotes) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string(TrimView(" \t\r\n")), ""},
        {std::string(TrimView("\t O1 \r\n")), "O1"},
        {std::string(Unquote("'")), "'"},
        {std::string(Unquote("''")), ""},
        {std::string(Unquote("'a\"")), "'a\""},
        {std::string(Unquote(" 'a' ")), " 'a' "},
        {ToLower("\xC3\x84Si_"), "\xC3\x84si_"},
        {ToUpper("\xE9o1"), "\xE9O1"},
        {Capitalised("fE2+"), "Fe2+"},
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
    EXPECT_TRUE(EqualsNoCase("nOutputInterval", "NOUTPUTINTERVAL"));
    EXPECT_FALSE(EqualsNoCase("Spin", "Spins"));
    EXPECT_FALSE(StartsWithNoCase("lo", "loop_"));
}

// The fast formatting writes what printf writes, digit for digit.
TEST(NumberFormat, SameCharactersAsPrintf) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::vector<double> values = {0.0, -0.0, 0.5, 2.5, -2.5, 1e-8, 0.00000005, 123456789.123, 1e300, NAN, INFINITY};
    for (int i = 0; i < 2000; ++i) values.push_back(mantissa(random) * std::pow(10.0, i % 12 - 4));
    for (double value : values) {
        for (auto [width, precision] : {std::pair{12, 7}, {16, 10}, {0, 3}, {9, 5}}) {
            char expected[512];
            std::snprintf(expected, sizeof expected, "%*.*f", width, precision, value);
            std::string out;
            AppendFixed(out, value, width, precision);
            ASSERT_EQ(out, expected) << value;
        }
    }
    std::string out;
    AppendInt(out, -42, 5);
    AppendInt(out, 7, 0);
    EXPECT_EQ(out, "  -427");
}

TEST(StepLoop, PlanAndFrames) {
    struct Case {
        int counted, nLastStep, interval, nStep, nOutput;
    } cases[] = {{10, 0, 3, 10, 4}, {10, 4, 0, 4, 4}, {10, 12, -1, 10, 10}, {0, 0, 1, 0, 0}, {5, 5, 2, 5, 3}};
    for (const Case& c : cases) {
        const StepPlan plan = PlanSteps(c.counted, c.nLastStep, c.interval);
        EXPECT_EQ(plan.nStep, c.nStep);
        EXPECT_EQ(plan.nOutput, c.nOutput);
        EXPECT_GE(plan.nOutputInterval, 1);
    }
}

}  // namespace
