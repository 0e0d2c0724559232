// A run's figures from its incumbents: the best feasible distance v(t) found
// by each time t is a step function, and every figure is read off it.
#pragma once

#include <optional>
#include <vector>

#include "tally.h"

struct RunFigures {
  std::optional<double> final_value; // v(T)
  std::optional<int> final_vehicles; // of the solution that gives it; none when unverified
  std::optional<double> final_gap_percent;
  std::optional<double> time_to_first;
  std::vector<std::optional<double>> time_to; // one per target gap
  std::optional<double> primal_integral, primal_gap_mean;
  std::optional<bool> beats_bks;
};

// 100 (value - bks) / bks; none where bks is 0 and the value is not.
std::optional<double> gap_percent(double value, double bks);

// The primal gap of a value (Berthold): 0 where it equals bks, 1 where the
// two have opposite signs, else |value - bks| / max(|value|, |bks|).
double primal_gap(double value, double bks);

// `steps`: the run's incumbents in time order (see incumbents()), all at or
// before `limit`. Without incumbents the integral is the whole limit (the
// gap is 1 throughout); without a best-known value, the gaps, the times to
// targets and the integral after a first solution have none.
RunFigures figures_of(const std::vector<Point> &steps, double limit, std::optional<double> bks,
                      const std::vector<double> &targets);
