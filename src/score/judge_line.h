// One timeline line judged: read, its run found, its solution judged in its
// instance's convention, and what that leaves added to the run's tally.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/bks.h"
#include "instances.h"
#include "line.h"
#include "settings.h"
#include "tally.h"

// A timeline: its name as given, and the folder its solution paths start from.
struct Timeline {
  std::string name;
  std::string folder; // empty: the current folder
};

using TimeLimits = std::map<std::string, double>; // by instance name in lower case

// What every line is judged with, fixed before the first is read.
struct Scoring {
  const ScoreSettings *settings;
  InstanceCatalog *catalog;
  const BksTable *bks;
  const TimeLimits *limits;
};

// The convention an instance's solutions are judged in: its best-known
// row's where that names one, else --convention's.
Convention convention_of(const Scoring &scoring, const std::string &stem);
// Its time limit: the limits file's, else --time-limit's, else none.
std::optional<double> time_limit_of(const Scoring &scoring, const std::string &stem);

struct BadLine {
  size_t timeline; // its place among the timelines
  int64_t line;    // from 1
  std::string problem;
};
// The first bad lines, by timeline and line number, and how many there were.
struct BadLines {
  std::vector<BadLine> first;
  int64_t count = 0;
};
constexpr size_t BAD_LINES_SHOWN = 100;
void add_bad(BadLines &bad, BadLine line);
void merge_bad(BadLines &into, BadLines &&from);

// A thread's share: its tallies and bad lines, and a line's buffers reused.
struct LineWork {
  Tallies tallies;
  BadLines bad;
  int64_t lines = 0; // not blank
  TimelineLine line;
  std::string problem, bytes;
};

// `text`: the line without its line feed.
void judge_line(const Scoring &scoring, const std::vector<Timeline> &timelines, size_t timeline,
                int64_t number, std::string_view text, LineWork &work);
