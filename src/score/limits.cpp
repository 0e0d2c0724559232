#include "limits.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "batch/csv.h"
#include "batch/pairs.h"

namespace {

std::string trimmed(const std::string &s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

} // namespace

bool read_time_limits(const char *path, TimeLimits &limits, std::string &problem,
                      std::vector<std::string> &notes) {
  std::string text;
  bool marked;
  if (!read_file(path, text, marked)) {
    problem = std::string("cannot read the time limits ") + path + ": " + std::strerror(errno);
    return false;
  }
  if (marked) notes.push_back(mark_note("the time limits file", path));
  std::string where = std::string("time limits ") + path + ": ";
  std::vector<CsvRecord> records;
  if (!parse_csv(text, records, problem)) {
    problem = where + problem;
    return false;
  }
  int column[2] = {-1, -1};
  const char *names[2] = {"instance", "time_limit"};
  if (!records.empty())
    for (size_t i = 0; i < records[0].fields.size(); ++i)
      for (int c = 0; c < 2; ++c)
        if (lower(trimmed(records[0].fields[i])) == names[c] && column[c] < 0) column[c] = int(i);
  for (int c = 0; c < 2; ++c)
    if (column[c] < 0) {
      problem = where + "the first line has no column \"" + names[c] + "\"";
      return false;
    }
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord &record = records[r];
    std::string at = where + "line " + std::to_string(record.line) + ": ";
    std::string field[2];
    for (int c = 0; c < 2; ++c)
      if (size_t(column[c]) < record.fields.size()) field[c] = trimmed(record.fields[column[c]]);
    char *end = nullptr;
    double limit = std::strtod(field[1].c_str(), &end);
    if (field[0].empty()) {
      problem = at + "no instance";
    } else if (field[1].empty() || *end != '\0' || !std::isfinite(limit) || limit <= 0) {
      problem = at + "the time limit \"" + field[1] + "\" is not a number of seconds above 0";
    } else if (!limits.emplace(lower(field[0]), limit).second) {
      problem = at + "the instance " + field[0] + " is named twice";
    }
    if (!problem.empty()) return false;
  }
  return true;
}
