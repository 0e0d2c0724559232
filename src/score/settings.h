// What a scoring run was asked to do: the command line as a plain record.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/settings.h"

struct ScoreSettings {
  std::vector<std::string> timelines; // files, or "-" for standard input
  const char *instances = nullptr;    // the folder the instances are found in
  const char *instance_format = "auto";
  const char *bks = nullptr;                 // best-known solutions, the batch's CSV
  std::optional<double> time_limit;          // --time-limit: every run's
  const char *time_limits = nullptr;         // --time-limits: a CSV of instance,time_limit
  Convention convention = Convention::exact; // where the best-known file names none
  std::vector<double> targets{1, 0.1};       // gaps in per cent
  OutputFormat format = OutputFormat::table;
  int decimals = 2; // of distances, gaps and times in the table, markdown and LaTeX
  const char *html = nullptr;
  unsigned jobs = 0; // threads; 0 until chosen
  bool unverified = false;
  bool per_solver = false;
};

// Reads the command line into `s`. Returns -1 when the run goes on, else the
// status to end with (0 after --help, 2 after a usage error, which it has
// reported).
int parse_score_settings(int argc, char **argv, ScoreSettings &s);

// A target as its column names it: time_to_1, time_to_0.1.
std::string target_name(double target);
