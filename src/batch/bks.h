// Best-known solutions: a CSV file with the columns instance, vehicles and
// cost, keyed by the instance's stem in lower case.
#pragma once

#include <map>
#include <string>
#include <vector>

struct Bks {
  bool has_vehicles = false, has_cost = false; // an empty field gives no value
  long long vehicles = 0;
  double cost = 0;
};
using BksTable = std::map<std::string, Bks>;

// False, with `problem`, when the file cannot be read, lacks a column, holds
// a value that is not a number, or names an instance twice.
// Notes on how the file was read go to `notes`.
bool read_bks(const char *path, BksTable &table, std::string &problem,
              std::vector<std::string> &notes);
