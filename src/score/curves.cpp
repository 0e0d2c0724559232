#include "curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double INFINITE = std::numeric_limits<double>::infinity();

// The share of `values` at most x at every x where it changes, from `from`
// to `upto`; the values below `from` count from the start.
Curve share_within(std::vector<double> values, size_t total, double from, double upto) {
  Curve curve;
  if (total == 0) return curve;
  std::sort(values.begin(), values.end());
  size_t within = 0;
  while (within < values.size() && values[within] <= from) ++within;
  curve.emplace_back(from, double(within) / double(total));
  while (within < values.size() && values[within] <= upto) {
    double x = values[within];
    while (within < values.size() && values[within] == x) ++within;
    curve.emplace_back(x, double(within) / double(total));
  }
  curve.emplace_back(upto, double(within) / double(total));
  return curve;
}

} // namespace

Curve gap_over_time(const ScoredRun &run) {
  Curve curve;
  if (!run.bks || !run.limit) return curve;
  for (const Point &p : run.steps)
    if (std::optional<double> gap = gap_percent(p.distance, *run.bks))
      curve.emplace_back(p.time, *gap);
  if (!curve.empty()) curve.emplace_back(*run.limit, curve.back().second);
  return curve;
}

Curve median_over_time(const std::vector<const ScoredRun *> &runs) {
  Curve curve;
  std::vector<double> times;
  double limit = 0;
  for (const ScoredRun *run : runs) {
    if (!run->bks || !run->limit) continue;
    limit = std::max(limit, *run->limit);
    for (const Point &p : run->steps) times.push_back(p.time);
  }
  if (times.empty()) return curve;
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  // Times rise, so each run's last incumbent so far only moves forward.
  std::vector<size_t> next(runs.size(), 0);
  std::vector<double> now(runs.size(), INFINITE), gaps;
  for (double t : times) {
    for (size_t r = 0; r < runs.size(); ++r) {
      const ScoredRun &run = *runs[r];
      for (; run.bks && next[r] < run.steps.size() && run.steps[next[r]].time <= t; ++next[r])
        now[r] = gap_percent(run.steps[next[r]].distance, *run.bks).value_or(INFINITE);
    }
    gaps = now;
    std::sort(gaps.begin(), gaps.end());
    size_t n = gaps.size();
    double median = n % 2 ? gaps[n / 2] : (gaps[n / 2 - 1] + gaps[n / 2]) / 2;
    if (std::isfinite(median) && (curve.empty() || curve.back().second != median))
      curve.emplace_back(t, median);
  }
  if (!curve.empty()) curve.emplace_back(limit, curve.back().second);
  return curve;
}

Curve gap_profile(const std::vector<std::optional<double>> &gaps, double upto) {
  std::vector<double> values;
  for (const std::optional<double> &g : gaps)
    if (g) values.push_back(*g);
  return share_within(values, gaps.size(), 0, upto);
}

Curve performance_profile(const std::vector<std::optional<double>> &ratios, double upto) {
  std::vector<double> values;
  for (const std::optional<double> &r : ratios)
    if (r) values.push_back(*r);
  return share_within(values, ratios.size(), 1, upto);
}
