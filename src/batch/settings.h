// What a batch run was asked to do: the command line as a plain record.
#pragma once

#include <string>

#include "report/options.h"

enum class OutputFormat { table, csv, markdown, jsonl };

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
  const char *instance_dir = nullptr, *solution_dir = nullptr;
};

// Reads the command line into `s`. Returns -1 when the run goes on, else the
// status to end with (0 after --help, 2 after a usage error, which it has
// reported).
int parse_settings(int argc, char **argv, Settings &s);
