// Comma-separated values as RFC 4180 has them: fields in double quotes where
// they hold a comma, a quote or a line end, a quote inside written twice.
#pragma once

#include <string>
#include <vector>

// The field as it goes into a record.
std::string csv_field(const std::string &value);

struct CsvRecord {
  long line; // where the record starts, from 1
  std::vector<std::string> fields;
};

// Every record of `text`; CR LF and LF both end a record, blank lines are
// none. False, with `problem`, on a quote that never closes or text after a
// closing quote.
bool parse_csv(const std::string &text, std::vector<CsvRecord> &records, std::string &problem);
