// Every run's figures, once all its solutions are judged: its incumbents,
// the best-known value it is measured against, and the figures read off
// them; the runs in the natural order of instance and solver, then by run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "figures.h"
#include "judge_line.h"
#include "tally.h"

struct ScoredRun {
  RunKey key;
  RunTally tally;           // the counts; its solutions are in `steps`
  std::vector<Point> steps; // the incumbents, in time order
  std::optional<double> limit;
  Convention convention = Convention::exact;
  std::optional<double> bks;
  bool bks_from_runs = false; // the best final value of the instance's runs serves
  RunFigures figures;
  bool scored() const { return tally.error.empty(); }
};

struct Scores {
  std::vector<ScoredRun> runs;
  std::vector<std::string> bks_from_runs; // instances, as the timelines write them
  std::vector<double> targets;
};

// Without a best-known cost for an instance, the best final value over all
// its runs, of every solver, serves. Runs that cannot be scored have only
// their counts and error.
Scores score_runs(Tallies &&tallies, const Scoring &scoring);
