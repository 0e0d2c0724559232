#include "csv.h"

std::string csv_field(const std::string &value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

bool parse_csv(const std::string &text, std::vector<CsvRecord> &records, std::string &problem) {
  long line = 1;
  size_t i = 0, n = text.size();
  while (i < n) {
    CsvRecord record{line, {}};
    for (;;) { // one field
      std::string field;
      if (i < n && text[i] == '"') {
        long opened = line;
        for (++i;; ++i) {
          if (i == n) {
            problem = "line " + std::to_string(opened) + ": a quote that never closes";
            return false;
          }
          if (text[i] == '"' && i + 1 < n && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else if (text[i] == '"') {
            ++i;
            break;
          } else {
            line += text[i] == '\n';
            field += text[i];
          }
        }
        if (i < n && text[i] != ',' && text[i] != '\n' && text.compare(i, 2, "\r\n") != 0) {
          problem = "line " + std::to_string(line) + ": text after a closing quote";
          return false;
        }
      } else {
        while (i < n && text[i] != ',' && text[i] != '\n') field += text[i++];
        if (i < n && text[i] == '\n' && !field.empty() && field.back() == '\r') field.pop_back();
      }
      record.fields.push_back(std::move(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      if (i < n && text[i] == '\r') ++i;
      if (i < n) ++i, ++line; // the line feed
      break;
    }
    if (record.fields.size() > 1 || !record.fields[0].empty()) records.push_back(std::move(record));
  }
  return true;
}
