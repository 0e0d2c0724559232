// The solvers compared over instances and runs: a row each, and the data of
// the gap profile and the performance profile.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "score.h"

struct SolverRow {
  std::string solver;
  int64_t runs = 0, instances = 0;
  int64_t feasible_instances = 0;    // instances where some run found a feasible solution
  int64_t runs_without_feasible = 0; // counted apart, out of the final gap's mean
  std::optional<double> mean_final_gap_percent;
  std::optional<double> mean_primal_gap; // of primal_gap_mean; 1 for a run without a solution
  double wins = 0;                       // instances won, a tie shared in equal parts
  std::optional<double> mean_time_to_first;
  int64_t infeasible = 0, claimed_cost_off = 0;
};

struct SolverComparison {
  std::vector<SolverRow> rows; // natural order of the solvers
  // Per solver, each scored run's final gap in per cent; none: no final
  // value, or no reference to measure it against.
  std::vector<std::vector<std::optional<double>>> final_gaps;
  // Per solver, for each instance some solver has a final value on, its mean
  // final value over its runs divided by the best solver's; none where it
  // has no final value there.
  std::vector<std::vector<std::optional<double>>> ratios;
};

// Only runs that could be scored count. On each instance the solver with
// the lowest mean final value over its runs with one wins; equal means
// share the win.
SolverComparison compare_solvers(const Scores &scores);
