// The pictures' data, apart from their drawing: step functions, each a list
// of points whose value holds from its x until the next point's.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "score.h"

using Curve = std::vector<std::pair<double, double>>;

// A run's gap in per cent over time: from its first incumbent to its time
// limit, where the last value is repeated. Empty without incumbents or a
// reference.
Curve gap_over_time(const ScoredRun &run);

// The median of several runs' gaps at every time one of them changes; a run
// without an incumbent yet counts as an infinite gap, so the median starts
// once more than half the runs have a solution (or, for an even number of
// runs, both middle ones do).
Curve median_over_time(const std::vector<const ScoredRun *> &runs);

// The share of runs within each final gap x from 0 to `upto` per cent; a run
// without a final gap is never within. Negative gaps count from 0.
Curve gap_profile(const std::vector<std::optional<double>> &gaps, double upto);

// The Dolan-More profile: the share of instances on which a solver's ratio
// to the best is at most tau, for tau from 1 to `upto`.
Curve performance_profile(const std::vector<std::optional<double>> &ratios, double upto);
