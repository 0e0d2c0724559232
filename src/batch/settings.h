// What a batch run was asked to do: the command line as a plain record.
#pragma once

#include <string>
#include <vector>

#include "report/options.h"

enum class OutputFormat { table, csv, markdown, jsonl, latex, bks };
enum class Grouping { none, solomon, pattern };
// How runs are compared (objective.h): `automatic` until --objective names one.
enum class Objective { automatic, vehicles_first, distance };

struct Settings {
  OutputFormat format = OutputFormat::table;
  const char *solution_format = "auto";                       // as the report's --solution-format
  InstanceChoice instance_format = InstanceChoice::automatic; // as --instance-format
  Convention convention = Convention::exact; // whose late stops count, as --convention
  bool automatic_convention = true;          // --convention=auto: as the declared cost decides
  bool routes = false;                       // jsonl: keep each document's routes
  bool quiet = false;                        // no progress line
  unsigned jobs = 0;                         // threads; 0 until chosen
  const char *bks = nullptr;                 // best-known solutions, a CSV file
  const char *pairs = nullptr;               // the pair list, or nullptr for two folders
  const char *instance_dir = nullptr;
  std::vector<const char *> solution_dirs; // one run each
  bool recursive = false;                  // the sub-folders of both folders too
  bool given_order = false;                // rows as the list or the folders give them
  std::vector<std::string> columns;        // picked, in order; empty: the format's own
  int decimals = 2;                        // of distances, gaps and means in tables
  bool per_instance = false;               // one row per instance over its runs
  Grouping grouping = Grouping::none;
  std::string group_pattern; // --group=REGEX: the first capture group names the group
  Objective objective = Objective::automatic;
  // With --bks, whether the pair rows have the column vehicles_vs_bks: set
  // once the pairs are known, as some_vehicles_first() tells.
  bool vehicles_versus_column = false;
};

// Reads the command line into `s`. Returns -1 when the run goes on, else the
// status to end with (0 after --help, 2 after a usage error, which it has
// reported).
int parse_settings(int argc, char **argv, Settings &s);
