// The scores as a page: the per-solver table, the gap profile, the
// performance profile, and each instance's gap over time, as inline SVG in
// one file that fetches nothing.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "score.h"
#include "solvers.h"
#include "timelines.h"

struct PageFacts {
  std::vector<std::string> timelines;
  int64_t lines = 0, bad_lines = 0;
};

void write_page(const Scores &scores, const SolverComparison &comparison, const PageFacts &facts,
                int decimals, std::FILE *out);
