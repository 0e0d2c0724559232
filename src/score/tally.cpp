#include "tally.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr size_t KEPT_BEFORE_CUTTING = 256;

unsigned vehicle_rank(int vehicles) { return static_cast<unsigned>(vehicles); } // -1 last

} // namespace

bool point_before(const Point &a, const Point &b) {
  return std::make_tuple(a.time, a.distance, vehicle_rank(a.vehicles)) <
         std::make_tuple(b.time, b.distance, vehicle_rank(b.vehicles));
}

bool violation_before(const FirstViolation &a, const FirstViolation &b) {
  return std::tie(a.time, a.kind, a.route, a.position, a.node) <
         std::tie(b.time, b.kind, b.route, b.position, b.node);
}

std::vector<Point> incumbents(std::vector<Point> feasible) {
  std::sort(feasible.begin(), feasible.end(), point_before);
  std::vector<Point> steps;
  for (const Point &p : feasible)
    if (steps.empty() || p.distance < steps.back().distance) steps.push_back(p);
  return steps;
}

void add_feasible(RunTally &tally, const Point &p) {
  tally.feasible.push_back(p);
  if (tally.feasible.size() >= 2 * std::max(tally.pruned, KEPT_BEFORE_CUTTING)) {
    tally.feasible = incumbents(std::move(tally.feasible));
    tally.pruned = tally.feasible.size();
  }
}

void add_violation(RunTally &tally, const FirstViolation &v) {
  if (!tally.first_violation || violation_before(v, *tally.first_violation))
    tally.first_violation = v;
}

void add_error(RunTally &tally, const std::string &error) {
  if (tally.error.empty() || error < tally.error) tally.error = error;
}

void merge_into(RunTally &into, RunTally &&from) {
  if (into.instance.empty() || (!from.instance.empty() && from.instance < into.instance))
    into.instance = from.instance;
  into.solutions += from.solutions;
  into.infeasible += from.infeasible;
  into.after_limit += from.after_limit;
  into.claimed_cost_off += from.claimed_cost_off;
  into.unverified += from.unverified;
  for (const Point &p : from.feasible) add_feasible(into, p);
  if (from.first_violation) add_violation(into, *from.first_violation);
  if (!from.error.empty()) add_error(into, from.error);
}
