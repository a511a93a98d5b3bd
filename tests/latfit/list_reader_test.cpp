// Free-format and fixed-column reading of input files.
#include "list_reader.h"

#include <gtest/gtest.h>

#include "latfit_test_support.h"

namespace {

using latfit_test::stopMessage;
using latfit_test::TempDir;
using latfit_test::writeFile;

TEST(ListReader, ParsesFortranNumbers) {
  double x = 0;
  EXPECT_TRUE(parseReal("1.5D-2", x));
  EXPECT_DOUBLE_EQ(x, 0.015);
  EXPECT_TRUE(parseReal("-.25", x));
  EXPECT_DOUBLE_EQ(x, -0.25);
  EXPECT_TRUE(parseReal("+3", x));
  EXPECT_DOUBLE_EQ(x, 3);
  EXPECT_TRUE(parseReal("2.e1", x));
  EXPECT_DOUBLE_EQ(x, 20);
  for (const char* bad : {"", ".", "-", "1.5e", "1.2.3", "abc", "0x10", "1e5x", "inf"})
    EXPECT_FALSE(parseReal(bad, x)) << bad;
  long long n = 0;
  EXPECT_TRUE(parseInteger("-12", n));
  EXPECT_EQ(n, -12);
  EXPECT_TRUE(parseInteger("+7", n));
  EXPECT_EQ(n, 7);
  for (const char* bad : {"", "+", "-", "+-5", "1.0", "1e3", "2147483648", "x"})
    EXPECT_FALSE(parseInteger(bad, n)) << bad;
}

TEST(ListReader, RecordsSpanLinesAndDropLeftovers) {
  TempDir dir;
  writeFile(dir / "in", "1, 2\r\n\r\n 3 4 9 9\r\nTitle line that is long\r\n5,6\n");
  ListReader in;
  ASSERT_TRUE(in.open(dir / "in", "in"));
  in.record("first");
  EXPECT_EQ(in.integer(), 1);
  EXPECT_EQ(in.integer(), 2);
  EXPECT_EQ(in.integer(), 3);   // continues over a blank line
  EXPECT_EQ(in.integer(), 4);   // the two 9s on this line are skipped
  EXPECT_EQ(in.text(10, "title"), "Title line");
  EXPECT_EQ(in.text(2, "short"), "5,");
  in.rewind();
  EXPECT_EQ(in.text(6, "again"), "1, 2  ");
}

TEST(ListReader, EmptyRecordStillTakesALine) {
  TempDir dir;
  writeFile(dir / "in", "skipped line\n42\n");
  ListReader in;
  ASSERT_TRUE(in.open(dir / "in", "in"));
  in.record("empty");
  in.endRecord();
  in.record("next");
  EXPECT_EQ(in.integer(), 42);
}

TEST(ListReader, MalformedValueAndEndOfFileNameFileRecordAndText) {
  TempDir dir;
  writeFile(dir / "in", "1 2.5x\n");
  ListReader in;
  ASSERT_TRUE(in.open(dir / "in", "data.str"));
  in.record("record 3 (lattice constants)");
  in.real();
  EXPECT_EQ(stopMessage([&] { in.real(); }),
            " ***ERROR  data.str, record 3 (lattice constants), line 1: cannot read a number "
            "from \"2.5x\"");
  in.record("record 4");
  EXPECT_EQ(stopMessage([&] { in.integer(); }),
            " ***ERROR  data.str, record 4: end of file after line 1");
  in.rewind();
  in.record("record 1");
  EXPECT_EQ(stopMessage([&] { in.integer(), in.integer(); }),
            " ***ERROR  data.str, record 1, line 1: cannot read an integer from \"2.5x\"");
}

TEST(ListReader, LongLinesAreReadWhole) {
  TempDir dir;
  std::string line;
  for (int i = 0; i < 20000; ++i) line += " 1";
  writeFile(dir / "in", line + " 7\n");
  ListReader in;
  ASSERT_TRUE(in.open(dir / "in", "in"));
  in.record("long");
  long long sum = 0;
  for (int i = 0; i < 20001; ++i) sum += in.integer();
  EXPECT_EQ(sum, 20007);
}

}  // namespace
