// A scoring run's phases, apart from the command line and the output, so
// that a test runs them in-process: what every line is judged with, the
// timelines read and judged, the runs scored, the solvers compared.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/bks.h"
#include "instances.h"
#include "score.h"
#include "settings.h"
#include "solvers.h"
#include "timelines.h"

struct ScoringRun {
  InstanceCatalog catalog;
  BksTable bks;
  TimeLimits limits;
  Scoring scoring{};
  std::vector<Timeline> timelines;
  ReadTimelines read;
  Scores scores;
  SolverComparison comparison;
  std::vector<std::string> notes; // how the inputs were read, for standard error
};

// The time limits, the best-known solutions and the instances' folder; false,
// with `problem`, where one of them cannot be read (nothing is judged then).
bool prepare(const ScoreSettings &settings, ScoringRun &run, std::string &problem);

// Every timeline read and judged, every run scored, the solvers compared.
void score_timelines(const ScoreSettings &settings, ScoringRun &run);

// The exit status: 2 for bad lines, timelines that could not be read or runs
// that could not be scored; else 1 where a solution within its limit was
// infeasible or a claimed cost was off; else 0.
int scoring_status(const ScoringRun &run);
