// The scanning operations and the stream rules both readers rely on.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "findings.h"
#include "finish.h"
#include "instance/number.h"
#include "instance/scan.h"

namespace {

char *put_line(const char *text) { return std::strcpy(line, text); }

TEST(Scan, CursorMovesOverBlanksAndTokens) {
  EXPECT_EQ(rmblanc(put_line("   \t 12 5")), line + 5);
  EXPECT_EQ(rmblanc(put_line(" \t ")), line + 3);
  EXPECT_EQ(rmblanc(put_line("\r")), line); // a carriage return is text
  EXPECT_EQ(bf(put_line(" 12 5")), line + 3);
  EXPECT_EQ(bf(put_line("12")), line + 2);
  EXPECT_EQ(bf(put_line("12,5\r 7")), line + 5);
}

TEST(Scan, ReadOneNumberTakesTheLeadingIntegerOfTheToken) {
  int32_t value = 0;
  EXPECT_EQ(read_one_number(put_line("  7,  8"), value), line + 6);
  EXPECT_EQ(value, 7);
  read_one_number(put_line("12.5"), value);
  EXPECT_EQ(value, 12);
  read_one_number(put_line("-3 x"), value);
  EXPECT_EQ(value, -3);
  EXPECT_EQ(scan_int(put_line("\r\f\v 4"), value), line + 4);
  EXPECT_EQ(scan_int(put_line("+ 4"), value), nullptr);
}

TEST(Scan, NumbersBeyondThe32BitRangeAreClamped) {
  int32_t value = 0;
  scan_int(put_line("2147483647"), value);
  EXPECT_EQ(value, INT32_MAX);
  scan_int(put_line("2147483648"), value);
  EXPECT_EQ(value, INT32_MAX);
  scan_int(put_line("-2147483648"), value);
  EXPECT_EQ(value, INT32_MIN);
  scan_int(put_line("-99999999999999999999999999"), value);
  EXPECT_EQ(value, INT32_MIN);
}

// Death tests see only standard error: send the messages there.
void stdout_to_stderr() {
  dup2(2, 1);
  consumer = checker_consumer;
}

TEST(ScanDeathTest, AWordIsNotAProperNumber) {
  int32_t value;
  EXPECT_EXIT((stdout_to_stderr(), read_one_number(put_line("abc 5"), value)),
              testing::ExitedWithCode(1), "^abc 5is not a proper number \n$");
}

// Writes `bytes` to a temporary file and opens it as an input.
struct TempInput {
  // Named after the test: CTest runs the tests in parallel processes.
  std::string path =
      testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  InputFile file;
  explicit TempInput(const std::string &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    open_input(file, "test", path.c_str());
  }
  ~TempInput() {
    close_input(file);
    std::remove(path.c_str());
  }
};

TEST(Stream, LinesUpTo99999CharactersAndOneMoreReadAtTheEnd) {
  TempInput t(std::string(LINE_LEN - 1, 'x') + "\nb\n");
  read_line(t.file);
  EXPECT_EQ(std::strlen(line), size_t{LINE_LEN - 1});
  read_line(t.file);
  EXPECT_STREQ(line, "b");
  EXPECT_FALSE(at_end(t.file));
  read_line(t.file); // only the read after the last line feed finds the end
  EXPECT_STREQ(line, "");
  EXPECT_TRUE(at_end(t.file));
}

TEST(StreamDeathTest, ALongerLineEndsTheRun) {
  TempInput t(std::string(LINE_LEN, 'x') + "\n");
  EXPECT_EXIT((stdout_to_stderr(), read_line(t.file)), testing::ExitedWithCode(1),
              "^test file .*: line longer than 99999 characters\n$");
}

} // namespace
