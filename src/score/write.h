// The rows on standard output, in the batch's formats: one per run, or one
// per solver with --per-solver.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "score.h"
#include "settings.h"
#include "solvers.h"

// The runs' columns, in CSV's order: the counts, the reference, the final
// value, the times to the first solution and to each target, the integral.
std::vector<std::string> run_columns(const std::vector<double> &targets);
// One run's cells, as CSV writes them (every digit; empty: none), or with
// `decimals` for the table, markdown and LaTeX (-1: every digit).
std::vector<std::string> run_cells(const ScoredRun &run, int decimals);

std::vector<std::string> solver_columns();
std::vector<std::string> solver_cells(const SolverRow &row, int decimals);

// The caption line above the table, markdown and LaTeX: the runs whose
// reference is their instance's best final value, when there are such.
std::string reference_caption(const Scores &scores);

void write_runs(const Scores &scores, const ScoreSettings &settings, std::FILE *out);
void write_solvers(const SolverComparison &comparison, const Scores &scores,
                   const ScoreSettings &settings, std::FILE *out);

// Text as a JSON string, quoted and escaped.
std::string json_string(const std::string &text);
