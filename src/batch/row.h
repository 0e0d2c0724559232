// One pair judged: the report's figures as the cells of a row, and its
// document for the JSON lines.
#pragma once

#include <cstdint>
#include <string>

#include "bks.h"
#include "pairs.h"
#include "settings.h"

// The columns, in the order CSV and markdown give them.
enum Column {
  col_name, // the instance's stem
  col_run,  // the solution folder, with several
  col_instance,
  col_solution,
  col_status,
  col_customers,
  col_vehicles,
  col_distance,
  col_distance_truncated,
  col_distance_rounded,
  col_declared_cost,
  col_matches,
  col_feasible,
  col_feasible_truncated,
  col_feasible_rounded,
  col_decision_convention,
  col_decision_feasible,
  col_violations,
  col_first_violation,
  col_error,
  col_bks_vehicles, // these four with --bks only
  col_bks_cost,
  col_gap_percent,
  col_gap_convention,
  col_vehicles_vs_bks, // with --bks, where some pair is compared by vehicles first
  COLUMN_COUNT
};
extern const char column_names[COLUMN_COUNT][24];

struct Row {
  int status = 2;        // 0 feasible, 1 violations, 2 not judged
  bool judged = false;   // figures below are set
  bool feasible = false; // in the convention that decided
  int64_t vehicles = 0;
  bool pickup_delivery = false; // the instance has requests (PDPTW)
  double distance = 0;          // exact
  int64_t truncated_tenths = 0, rounded = 0;
  bool feasible_in[3] = {}; // in each convention
  bool has_cost = false;    // a declared cost
  double cost = 0;
  int matches = -1;                // the convention the declared cost matches, or -1
  bool has_gap = false;            // to the best-known cost
  double gap = 0;                  // percent
  std::string cells[COLUMN_COUNT]; // empty: no value
  std::string json;                // the line for --format=jsonl, with its line feed
};

// Judges one pair as fleetjudge-report --json does. Never throws: what goes
// wrong is the row's error. The JSON line only for --format=jsonl.
Row judge_pair(const Pair &pair, const Settings &settings, const BksTable &bks);

// The distance in a convention, as the row measured it.
double distance_in(const Row &row, Convention c);
