// The timelines read and their lines judged on several threads. One thread
// reads the files in chunks of whole lines; the others each take a chunk,
// parse its lines and judge their solutions, into tallies of their own that
// are merged at the end. Only the chunks in the queue are held, so memory
// does not grow with the timelines, only with the runs' figures.
#pragma once

#include <string>
#include <vector>

#include "judge_line.h"

struct ReadTimelines {
  Tallies tallies;
  BadLines bad;
  int64_t lines = 0;                 // not blank
  std::vector<std::string> problems; // timelines that could not be read
  std::vector<std::string> notes;    // byte-order marks skipped
};

// Timelines as given ("-": standard input), each with the folder its
// solution paths start from.
std::vector<Timeline> timelines_of(const std::vector<std::string> &names);

ReadTimelines read_timelines(const std::vector<Timeline> &timelines, const Scoring &scoring,
                             unsigned threads);
