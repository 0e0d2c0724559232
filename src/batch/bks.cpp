#include "bks.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "csv.h"
#include "pairs.h"

namespace {

std::string trimmed(const std::string &s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// The whole field must be the number.
bool whole_number(const std::string &text, long long &value) {
  char *end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && errno == 0;
}

bool real_number(const std::string &text, double &value) {
  char *end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(value);
}

} // namespace

bool read_bks(const char *path, BksTable &table, std::string &problem,
              std::vector<std::string> &notes) {
  std::string text;
  bool marked;
  if (!read_file(path, text, marked)) {
    problem =
        std::string("cannot read the best-known solutions ") + path + ": " + std::strerror(errno);
    return false;
  }
  if (marked) notes.push_back(mark_note("the best-known solutions file", path));
  std::vector<CsvRecord> records;
  std::string where = std::string("best-known solutions ") + path + ": ";
  if (!parse_csv(text, records, problem)) {
    problem = where + problem;
    return false;
  }
  int column[3] = {-1, -1, -1};
  const char *names[3] = {"instance", "vehicles", "cost"};
  if (!records.empty())
    for (size_t i = 0; i < records[0].fields.size(); ++i)
      for (int c = 0; c < 3; ++c)
        if (lower(trimmed(records[0].fields[i])) == names[c] && column[c] < 0) column[c] = int(i);
  for (int c = 0; c < 3; ++c)
    if (column[c] < 0) {
      problem = where + "the first line has no column \"" + names[c] + "\"";
      return false;
    }
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord &record = records[r];
    std::string at = where + "line " + std::to_string(record.line) + ": ";
    std::string field[3];
    for (int c = 0; c < 3; ++c)
      if (size_t(column[c]) < record.fields.size()) field[c] = trimmed(record.fields[column[c]]);
    Bks b;
    b.has_vehicles = !field[1].empty();
    b.has_cost = !field[2].empty();
    if (field[0].empty())
      problem = at + "no instance";
    else if (b.has_vehicles && !whole_number(field[1], b.vehicles))
      problem = at + "the vehicles \"" + field[1] + "\" are not a whole number";
    else if (b.has_cost && !real_number(field[2], b.cost))
      problem = at + "the cost \"" + field[2] + "\" is not a number";
    else if (!table.emplace(lower(field[0]), b).second)
      problem = at + "the instance " + field[0] + " is named twice";
    if (!problem.empty()) return false;
  }
  return true;
}
