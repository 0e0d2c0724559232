#include "figures.h"

#include <algorithm>
#include <cmath>

std::optional<double> gap_percent(double value, double bks) {
  if (bks == 0) return value == 0 ? std::optional<double>(0) : std::nullopt;
  return 100 * (value - bks) / bks;
}

double primal_gap(double value, double bks) {
  if (value == bks) return 0;
  if ((value < 0 && bks > 0) || (value > 0 && bks < 0)) return 1;
  return std::fabs(value - bks) / std::max(std::fabs(value), std::fabs(bks));
}

RunFigures figures_of(const std::vector<Point> &steps, double limit, std::optional<double> bks,
                      const std::vector<double> &targets) {
  RunFigures f;
  f.time_to.assign(targets.size(), std::nullopt);
  if (steps.empty()) {
    f.primal_integral = limit;
    f.primal_gap_mean = 1;
    return f;
  }
  const Point &last = steps.back();
  f.final_value = last.distance;
  if (last.vehicles >= 0) f.final_vehicles = last.vehicles;
  f.time_to_first = steps.front().time;
  if (!bks) return f;
  f.final_gap_percent = gap_percent(last.distance, *bks);
  f.beats_bks = last.distance < *bks;
  // The gap falls with every step, so the first step within a target is
  // when the run reaches it.
  for (size_t k = 0; k < targets.size(); ++k)
    for (const Point &p : steps) {
      std::optional<double> gap = gap_percent(p.distance, *bks);
      if (gap && *gap <= targets[k]) {
        f.time_to[k] = p.time;
        break;
      }
    }
  long double integral = steps.front().time; // the gap is 1 before the first solution
  for (size_t i = 0; i < steps.size(); ++i) {
    double until = i + 1 < steps.size() ? steps[i + 1].time : limit;
    integral += static_cast<long double>(primal_gap(steps[i].distance, *bks)) *
                (static_cast<long double>(until) - steps[i].time);
  }
  f.primal_integral = static_cast<double>(integral);
  f.primal_gap_mean = static_cast<double>(integral / limit);
  return f;
}
