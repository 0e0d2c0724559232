// Best-known solutions: a CSV file with the columns instance, vehicles and
// cost, and optionally convention (the one the cost is in), keyed by the
// instance's stem in lower case.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pairs.h"
#include "report/options.h"

struct Bks {
  bool has_vehicles = false, has_cost = false, has_convention = false; // an empty field: no value
  long long vehicles = 0;
  double cost = 0;
  Convention convention = Convention::exact;
  std::string instance; // as written
  long line = 0;        // in the file
};
using BksTable = std::map<std::string, Bks>;

// False, with `problem`, when the file cannot be read, lacks a column, holds
// a value that is not a number or a convention, or names an instance twice.
// Notes on how the file was read go to `notes`.
bool read_bks(const char *path, BksTable &table, std::string &problem,
              std::vector<std::string> &notes);

// The best-known solutions no pair's instance has, in a sentence that names
// the first five in the file's order and counts the rest; empty when every
// one has a pair.
std::string unpaired_bks(const BksTable &table, const PairList &pairs);
