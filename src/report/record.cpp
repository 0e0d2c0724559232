#include "report.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "../check.h"
#include "../finish.h"

#include "../instance/node_table.h"

Record record;

static void close_verdict(int status) {
  if (record.verdict_status < 0) record.verdict_status = status;
}

static void say_to_verdict(const char *text) {
  if (record.verdict_status < 0) record.verdict += text;
}

static void keep(const Finding &f) {
  record.kind_count[static_cast<int>(f.kind)]++;
  if (is_listed(f.kind)) {
    if (record.violations.size() < VIOLATIONS_KEPT)
      record.violations.push_back(f);
    else
      record.violations_left_out++;
  }
  if (ends_check(f.kind) && record.verdict_status < 0) {
    record.verdict += message(f);
    close_verdict(1);
  }
}

static void keep_fault(const char *text) {
  say_to_verdict(text);
  close_verdict(1);
  if (!record.error.empty()) return;
  record.error = text;
  while (!record.error.empty() && (record.error.back() == '\n' || record.error.back() == ' '))
    record.error.pop_back();
}

static bool keep_stops = false;

static void keep_disagreement(const Stop &s) {
  if (record.disagreements.size() < DISAGREEMENTS_KEPT)
    record.disagreements.push_back(s);
  else
    record.disagreements_left_out++;
}

// A stop beyond the limit is counted when its route is done.
static void keep_stop(const Stop &s) {
  if (s.late != s.late_truncated) keep_disagreement(s);
  if (keep_stops && record.stops.size() < STOPS_KEPT) record.stops.push_back(s);
}

static size_t route_first_stop = 0;

static void keep_route(const RouteFigures &r) {
  record.distance += r.distance;
  record.waiting += r.waiting;
  record.service += r.service;
  record.truncated_distance += r.truncated_distance;
  record.truncated_duration += r.truncated_duration;
  record.late_truncated |= r.late_truncated;
  if (r.return_late != r.return_late_truncated) {
    const Customer &depot = customers[0];
    keep_disagreement(Stop{r.route, 0, r.duration, r.duration, r.duration, depot.ready, depot.due,
                           r.load, r.truncated_duration, r.return_late, r.return_late_truncated});
  }
  size_t kept_stops = record.stops.size() - route_first_stop;
  if (record.routes.size() < ROUTES_KEPT) {
    record.routes.push_back(KeptRoute{r, route_first_stop, kept_stops, 0});
    KeptRoute &k = record.routes.back();
    k.stops_left_out = keep_stops ? r.customers - static_cast<int64_t>(kept_stops) : 0;
  } else {
    record.routes_left_out++;
    record.stops.resize(route_first_stop); // the stops of a route not kept
  }
  route_first_stop = record.stops.size();
}

void start_recording(bool stops) {
  consumer = Consumer{say_to_verdict, keep, keep_fault, close_verdict};
  on_route = keep_route;
  on_stop = keep_stop;
  keep_stops = stops;
}

int64_t customers_served() {
  int64_t served = 0;
  for (int64_t i = 1; i <= n; ++i) served += customers[i].visits > 0;
  return served;
}

bool is_listed(Kind kind) { return kind_name(kind) != nullptr; }

bool feasible() {
  for (int k = 0; k < KIND_COUNT; ++k)
    if (record.kind_count[k] > 0 && is_listed(Kind(k)) && !is_declared(Kind(k))) return false;
  return true;
}

// Late stops and returns are judged anew in tenths; the screening's own
// distances are exact, so its lists of customers no vehicle can reach in
// time count only in the exact convention.
bool feasible_truncated() {
  if (record.late_truncated) return false;
  for (int k = 0; k < KIND_COUNT; ++k) {
    Kind kind = Kind(k);
    if (kind == Kind::time_window_missed || kind == Kind::depot_closed ||
        kind == Kind::unreachable_customer || kind == Kind::cannot_return)
      continue;
    if (record.kind_count[k] > 0 && is_listed(kind) && !is_declared(kind)) return false;
  }
  return true;
}

int64_t violation_count() {
  int64_t count = 0;
  for (int k = 0; k < KIND_COUNT; ++k)
    if (is_listed(Kind(k))) count += record.kind_count[k];
  return count;
}

int exit_status() {
  if (!record.error.empty()) return 2;
  // A correct claim of infeasibility: the screening's findings are its proof.
  if (L == -1 && record.verdict_status == 0) return 0;
  return violation_count() > 0 ? 1 : 0;
}

const char *cost_convention() {
  // Published figures are rounded or cut to two decimals, or carry small
  // errors of their own: within 0.01 is a match.
  double cost = route_list.cost;
  if (std::fabs(cost - to_double(record.distance)) <= 0.01) return "exact";
  if (std::fabs(cost - static_cast<double>(record.truncated_distance) / 10) <= 0.01)
    return "truncated";
  return nullptr;
}

void judge_cost() {
  if (!route_list.has_cost || cost_convention() != nullptr) return;
  Finding f{Kind::cost_mismatch};
  f.value = static_cast<ext>(route_list.cost);
  f.limit = record.distance;
  f.excess = static_cast<ext>(record.truncated_distance); // tenths
  found(f);
}

void run_checker_aside(const char *instance, const char *solution) {
  int out[2];
  if (pipe(out) != 0) return;
  std::fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    consumer = checker_consumer;
    on_stop = nullptr;
    on_route = nullptr;
    check(instance, solution);
  }
  close(out[1]);
  char buffer[4096];
  for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
    record.verdict.append(buffer, static_cast<size_t>(got));
  close(out[0]);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
    record.verdict_status = WEXITSTATUS(status);
  else
    record.verdict_status = 1; // never reached with a working fork
}

const Kind kinds_worst_first[LISTED_KINDS] = {
    Kind::no_demand,
    Kind::customer_out_of_range,
    Kind::not_visited,
    Kind::visited_twice,
    Kind::capacity_exceeded,
    Kind::time_window_missed,
    Kind::depot_closed,
    Kind::unreachable_customer,
    Kind::cannot_return,
    Kind::demand_too_big,
    Kind::too_many_vehicles,
    Kind::claimed_infeasible_wrongly,
    Kind::claimed_feasible_wrongly,
    Kind::no_routes,
    Kind::too_few_routes,
    Kind::too_many_routes,
    Kind::total_above_declared,
    Kind::total_below_declared,
    Kind::cost_mismatch,
};

static ext badness(const Finding &f) {
  switch (f.kind) {
  case Kind::capacity_exceeded:
    return f.value - f.limit;
  case Kind::time_window_missed:
  case Kind::depot_closed:
    return f.excess;
  case Kind::total_above_declared:
  case Kind::total_below_declared:
    return f.excess < 0 ? -f.excess : f.excess;
  default:
    return 0;
  }
}

std::vector<const Finding *> worst_first(Kind kind) {
  std::vector<const Finding *> of_kind;
  for (const Finding &f : record.violations)
    if (f.kind == kind) of_kind.push_back(&f);
  std::stable_sort(of_kind.begin(), of_kind.end(),
                   [](const Finding *a, const Finding *b) { return badness(*a) > badness(*b); });
  return of_kind;
}

std::string format(const char *fmt, ...) {
  char text[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(text, sizeof text, fmt, args);
  va_end(args);
  return text;
}

std::string describe(const Finding &f) {
  long long node = f.node;
  switch (f.kind) {
  case Kind::customer_out_of_range:
    return format("route %d: customer %lld is not in the instance", f.route, node);
  case Kind::visited_twice:
    return format("route %d: customer %lld, served before", f.route, node);
  case Kind::capacity_exceeded:
    return format("route %d, node %lld: load %.0f above the capacity %.0f", f.route, node,
                  to_double(f.value), to_double(f.limit));
  case Kind::time_window_missed:
    return format("route %d, node %lld: service starts at %.2f, due %.0f: %.2f late", f.route, node,
                  to_double(f.value), to_double(f.limit), to_double(f.excess));
  case Kind::depot_closed:
    return format("route %d, back from node %lld at %.2f, depot closes at %.0f: %.2f late", f.route,
                  node, to_double(f.value), to_double(f.limit), to_double(f.excess));
  case Kind::too_many_vehicles:
    return format("%lld routes, the instance has %lld vehicles", static_cast<long long>(f.found),
                  static_cast<long long>(f.declared));
  case Kind::too_many_routes:
  case Kind::too_few_routes:
  case Kind::no_routes:
    return format("declared %lld routes, found %lld", static_cast<long long>(f.declared),
                  static_cast<long long>(f.found));
  case Kind::total_above_declared:
  case Kind::total_below_declared:
    return format("computed total %.4f, declared %.4f: difference %+.4f (tolerance 0.02)",
                  to_double(f.value), to_double(f.limit), to_double(f.excess));
  case Kind::cost_mismatch:
    return format("declared cost %.2f, distance %.4f exact, %.1f truncated: neither within 0.01",
                  to_double(f.value), to_double(f.limit), to_double(f.excess) / 10);
  case Kind::claimed_infeasible_wrongly:
    return "the solution claims that no solution exists; the screening found none of its reasons";
  case Kind::claimed_feasible_wrongly:
    return "the solution has routes; the screening found customers no vehicle can serve";
  default: // the customer kinds, under their kind's heading
    return format("customer %lld", node);
  }
}
