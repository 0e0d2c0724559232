// The batch's CSV: any field, however odd its bytes, reads back as written,
// and a broken file is refused rather than read as something else.
#include <gtest/gtest.h>

#include <random>

#include "batch/csv.h"

TEST(BatchCsv, AnyFieldsReadBackAsWritten) {
  const char bytes[] = {'a', ',', '"', '\r', '\n', ' ', '\t', '\xff', '\xc3', '\0'};
  std::mt19937 rng(17);
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<std::vector<std::string>> written(1 + rng() % 3);
    std::string text;
    for (auto &record : written) {
      record.resize(2 + rng() % 3);
      for (size_t f = 0; f < record.size(); ++f) {
        for (unsigned n = rng() % 6; n > 0; --n) record[f] += bytes[rng() % sizeof bytes];
        text += (f ? "," : "") + csv_field(record[f]);
      }
      text += trial % 2 ? "\r\n" : "\n";
    }
    std::vector<CsvRecord> read;
    std::string problem;
    ASSERT_TRUE(parse_csv(text, read, problem)) << problem;
    ASSERT_EQ(read.size(), written.size());
    for (size_t r = 0; r < read.size(); ++r) EXPECT_EQ(read[r].fields, written[r]) << text;
  }
}

TEST(BatchCsv, BrokenQuotesAreRefusedWithTheirLine) {
  std::vector<CsvRecord> read;
  std::string problem;
  EXPECT_FALSE(parse_csv("a,b\n\"c\nd,e\n", read, problem));
  EXPECT_EQ(problem, "line 2: a quote that never closes");
  EXPECT_FALSE(parse_csv("a,b\n\"c\"d,e\n", read, problem));
  EXPECT_EQ(problem, "line 2: text after a closing quote");
}
