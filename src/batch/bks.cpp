#include "bks.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "csv.h"

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
  // The convention column is the only one that may be missing.
  int column[4] = {-1, -1, -1, -1};
  const char *names[4] = {"instance", "vehicles", "cost", "convention"};
  if (!records.empty())
    for (size_t i = 0; i < records[0].fields.size(); ++i)
      for (int c = 0; c < 4; ++c)
        if (lower(trimmed(records[0].fields[i])) == names[c] && column[c] < 0) column[c] = int(i);
  for (int c = 0; c < 3; ++c)
    if (column[c] < 0) {
      problem = where + "the first line has no column \"" + names[c] + "\"";
      return false;
    }
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord &record = records[r];
    std::string at = where + "line " + std::to_string(record.line) + ": ";
    std::string field[4];
    for (int c = 0; c < 4; ++c)
      if (column[c] >= 0 && size_t(column[c]) < record.fields.size())
        field[c] = trimmed(record.fields[column[c]]);
    Bks b;
    b.has_vehicles = !field[1].empty();
    b.has_cost = !field[2].empty();
    b.has_convention = !field[3].empty();
    b.instance = field[0];
    b.line = record.line;
    if (field[0].empty())
      problem = at + "no instance";
    else if (b.has_vehicles && !whole_number(field[1], b.vehicles))
      problem = at + "the vehicles \"" + field[1] + "\" are not a whole number";
    else if (b.has_cost && !real_number(field[2], b.cost))
      problem = at + "the cost \"" + field[2] + "\" is not a number";
    else if (b.has_convention && !choose_convention(lower(field[3]).c_str(), b.convention))
      problem = at + "the convention \"" + field[3] + "\" is none of exact, truncated and rounded";
    else if (!table.emplace(lower(field[0]), b).second)
      problem = at + "the instance " + field[0] + " is named twice";
    if (!problem.empty()) return false;
  }
  return true;
}

std::string unpaired_bks(const BksTable &table, const PairList &pairs) {
  std::set<std::string> paired;
  for (const Pair &p : pairs.pairs) paired.insert(p.key);
  std::map<long, const std::string *> unpaired; // by line
  for (const auto &[key, b] : table)
    if (paired.count(key) == 0) unpaired.emplace(b.line, &b.instance);
  if (unpaired.empty()) return "";
  std::string text =
      std::to_string(unpaired.size()) +
      (unpaired.size() == 1 ? " best-known solution matches" : " best-known solutions match") +
      " no pair: ";
  size_t named = 0;
  for (const auto &[line, instance] : unpaired) {
    if (named == 5) break;
    text += (named++ ? ", " : "") + *instance;
  }
  if (unpaired.size() > named) text += " and " + std::to_string(unpaired.size() - named) + " more";
  return text;
}
