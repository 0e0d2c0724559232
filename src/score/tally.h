// What a run's solutions leave behind once judged: counts, and the time,
// distance and vehicles of each feasible one; nothing of the routes. Lines
// come in any order and on any thread, so a tally only grows by operations
// whose result does not depend on the order: sums, least elements, and a
// list that is sorted before it is read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// A run: one solver's one run on one instance.
struct RunKey {
  std::string instance; // as matched: ASCII letters in lower case
  std::string solver;
  int64_t run = 1;
  bool operator==(const RunKey &o) const {
    return run == o.run && instance == o.instance && solver == o.solver;
  }
};
struct RunKeyHash {
  size_t operator()(const RunKey &k) const {
    return std::hash<std::string>()(k.instance) * 31 + std::hash<std::string>()(k.solver) * 7 +
           std::hash<int64_t>()(k.run);
  }
};

// A feasible solution's figures. vehicles -1: a cost taken unverified.
struct Point {
  double time, distance;
  int vehicles;
};
// The order in which solutions become incumbents: by time, then the lower
// distance, then fewer vehicles (an unverified count last).
bool point_before(const Point &a, const Point &b);

// The first violation of a run's earliest infeasible solution.
struct FirstViolation {
  double time = 0;
  std::string kind;
  int route = 0, position = 0; // 0: none
  int64_t node = -1;           // -1: none
};
bool violation_before(const FirstViolation &a, const FirstViolation &b);

struct RunTally {
  std::string instance; // as the timeline writes it (the least spelling of several)
  int64_t solutions = 0, infeasible = 0, after_limit = 0, claimed_cost_off = 0, unverified = 0;
  std::vector<Point> feasible; // those at or before the time limit
  size_t pruned = 0;           // `feasible`'s size after it was last cut to its incumbents
  std::optional<FirstViolation> first_violation;
  std::string error; // why the run cannot be scored (the least message of several)
};

// A feasible solution at or before the limit; when the list has doubled
// since it was last cut, it is cut to the solutions that become incumbents,
// so that a run of a million improving lines keeps only its staircase.
void add_feasible(RunTally &tally, const Point &p);
void add_violation(RunTally &tally, const FirstViolation &v);
void add_error(RunTally &tally, const std::string &error);
void merge_into(RunTally &into, RunTally &&from);

// The incumbents in time order: each solution that is strictly better than
// every one before it. Ties in time go to the lower distance, then to
// fewer vehicles, so that the order of the lines does not matter.
std::vector<Point> incumbents(std::vector<Point> feasible);

using Tallies = std::unordered_map<RunKey, RunTally, RunKeyHash>;
