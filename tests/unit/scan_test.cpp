// The scanning operations and the stream rules both readers rely on.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "instance/scan.h"
#include "run.h"

namespace {

// A run whose faults are kept, for the readers' messages.
struct Faults {
  std::string text;
  Consumer consumer() {
    Consumer c;
    c.context = &text;
    c.fault = [](void *t, const char *m) { *static_cast<std::string *>(t) += m; };
    return c;
  }
};

struct ScanTest : testing::Test {
  Faults faults;
  ::Run r{faults.consumer(), false};
  char *put_line(const char *text) { return std::strcpy(r.line, text); }
};

TEST_F(ScanTest, CursorMovesOverBlanksAndTokens) {
  char *line = r.line;
  EXPECT_EQ(skip_blanks(put_line("   \t 12 5")), line + 5);
  EXPECT_EQ(skip_blanks(put_line(" \t ")), line + 3);
  EXPECT_EQ(skip_blanks(put_line("\r")), line); // a carriage return is text
  EXPECT_EQ(token_end(put_line(" 12 5")), line + 3);
  EXPECT_EQ(token_end(put_line("12")), line + 2);
  EXPECT_EQ(token_end(put_line("12,5\r 7")), line + 5);
}

TEST_F(ScanTest, ReadOneNumberTakesTheLeadingIntegerOfTheToken) {
  int32_t value = 0;
  EXPECT_EQ(read_one_number(r, put_line("  7,  8"), value), r.line + 6);
  EXPECT_EQ(value, 7);
  read_one_number(r, put_line("12.5"), value);
  EXPECT_EQ(value, 12);
  read_one_number(r, put_line("-3 x"), value);
  EXPECT_EQ(value, -3);
  EXPECT_EQ(scan_int(put_line("\r\f\v 4"), value), r.line + 4);
  EXPECT_EQ(scan_int(put_line("+ 4"), value), nullptr);
  EXPECT_EQ(faults.text, "");
  read_one_number(r, put_line("abc 5"), value);
  EXPECT_EQ(faults.text, "abc 5is not a proper number \n");
  EXPECT_TRUE(r.stopped);
}

TEST_F(ScanTest, NumbersBeyondThe32BitRangeAreClamped) {
  int32_t value = 0;
  scan_int(put_line("2147483648"), value);
  EXPECT_EQ(value, INT32_MAX);
  scan_int(put_line("-2147483648"), value);
  EXPECT_EQ(value, INT32_MIN);
  scan_int(put_line("-99999999999999999999999999"), value);
  EXPECT_EQ(value, INT32_MIN);
}

// The matrix and task lines' scan: whole numbers within 32 bits, with any
// leading zeros, separated by any white space, and nothing else.
TEST(WholeFields, TakeWholeNumbersWithin32BitsAndNothingElse) {
  struct Case {
    const char *line;
    int count;
    int32_t first, last;
  } cases[] = {
      {" 0\t5 -7\r", 3, 0, -7},
      {"000000000002147483647 -0000000002147483648", 2, INT32_MAX, INT32_MIN},
      {"+12 00", 2, 12, 0},
      {"", 0, 0, 0},
      {"2147483648", -1, 0, 0},
      {"-2147483649", -1, 0, 0},
      {"99999999999999999999999999", -1, 0, 0},
      {"1 2 3 4", -1, 0, 0}, // more than three
      {"1 2.5", -1, 0, 0},
      {"1 -", -1, 0, 0},
      {"1 +-2", -1, 0, 0},
      {"12a", -1, 0, 0},
  };
  for (const Case &c : cases) {
    int32_t fields[3] = {};
    ASSERT_EQ(whole_fields(c.line, fields, 3), c.count) << c.line;
    if (c.count > 0) {
      EXPECT_EQ(fields[0], c.first) << c.line;
      EXPECT_EQ(fields[c.count - 1], c.last) << c.line;
    }
  }
}

TEST_F(ScanTest, LinesUpTo99999CharactersAndOneMoreReadAtTheEnd) {
  std::string bytes = std::string(LINE_LEN - 1, 'x') + "\nb\n";
  InputFile file;
  use_memory(file, "test", "t", bytes);
  read_line(r, file);
  EXPECT_EQ(std::strlen(r.line), size_t{LINE_LEN - 1});
  read_line(r, file);
  EXPECT_STREQ(r.line, "b");
  EXPECT_FALSE(at_end(file));
  read_line(r, file); // only the read after the last line feed finds the end
  EXPECT_STREQ(r.line, "");
  EXPECT_TRUE(at_end(file));
  EXPECT_EQ(faults.text, "");
}

} // namespace
