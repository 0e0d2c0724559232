#include <algorithm>

#include "../instance/decimal.h"
#include "../run.h"
#include "solution.h"

// Every time and total below stays in extended precision from leg to leg;
// all comparisons are strict, so meeting a window's end, the depot's closing
// time or the declared total plus epsilon exactly is allowed. A violation is
// reported once where it occurs and the walk goes on: a late vehicle drives
// on from where it is, a repeated customer is driven to again.

namespace {

struct Vehicle {
  double remaining_capacity;
  int32_t from_node; // the node the vehicle leaves for the next
  ext time;          // the route's clock
  bool overloaded;   // the route's capacity excess is reported once
  RouteFigures figures;
  int64_t clock_tenths;  // the route's clock in the truncated convention
  int64_t clock_rounded; // and in the rounded one
  // The service times of the customers served, whole numbers, summed
  // exactly; under a route length limit, the travel so far, exact.
  int64_t served = 0;
  ext travel = 0;
  int32_t written = 0;  // customer numbers met so far, in range or not
  double peak_load = 0; // the most on board at once, with pickups and deliveries
};

// The running total is held to the declared one at every step; it is
// reported the first time it passes.
void running_total(Run &r, Kind kind, ext total) {
  if (!r.declared || r.total_passed || !(total > r.declared_total + epsilon)) return;
  r.total_passed = true;
  Finding f{kind, r.routes_done + 1, r.last_node};
  f.value = total;
  f.limit = r.declared_total;
  found(r, f);
}

void note_slack(Vehicle &v, ext margin) {
  if (margin < v.figures.slack) v.figures.slack = margin;
}

// Inlined into both of its callers, the checker's walk over a line and the
// walk over routes in memory: a call per customer costs the checker's loop
// about a tenth more instructions.
__attribute__((always_inline)) inline void visit(Run &r, int32_t i, Vehicle &v) {
  int32_t route = r.routes_done + 1;
  int32_t position = ++v.written;
  if (i > r.instance->customer_count || i < 1) {
    Finding f{Kind::customer_out_of_range, route, i};
    f.position = position;
    found(r, f);
    return;
  }
  v.from_node = r.last_node;
  r.last_node = i;
  const Customer &c = r.instance->customers[r.last_node];
  int32_t visits = ++r.visits[r.last_node];
  if (visits > 1) {
    Finding f{Kind::visited_twice, route, r.last_node};
    f.position = position;
    if (!r.first_visit.empty()) {
      f.declared = r.first_visit[r.last_node].route;
      f.found = r.first_visit[r.last_node].position;
    }
    found(r, f);
  }
  v.remaining_capacity -= static_cast<double>(c.demand);
  if (v.remaining_capacity < 0 && !v.overloaded) {
    v.overloaded = true;
    Finding f{Kind::capacity_exceeded, route, r.last_node};
    f.position = position;
    f.value = r.instance->capacity - v.remaining_capacity;
    f.limit = r.instance->capacity;
    found(r, f);
  }
  // The clock and the total are held in locals, each step as it was, so
  // that no extended value makes a round trip through memory between steps.
  ext leg_length = leg(*r.instance, v.from_node, r.last_node);
  ext time = v.time + leg_length;
  ext total = r.total_cost + leg_length;
  ext arrival = time;
  ext wait_time = time >= c.ready ? 0 : c.ready - time;
  time += wait_time;
  total += wait_time;
  // The declared total is checked before the window of the same customer.
  running_total(r, Kind::running_total_at_customer, total);
  bool late = time > c.due && r.instance->windows;
  if (late) {
    Finding f{Kind::time_window_missed, route, r.last_node};
    f.position = position;
    f.arrival = arrival;
    f.value = time;
    f.limit = c.due;
    f.excess = time - c.due;
    found(r, f);
  }
  ext start = time;
  r.total_cost = total + c.service;
  time += c.service;
  v.time = time;
  v.served += c.service;
  if (__builtin_expect(r.instance->route_limit.set, 0)) // never for the checker's instances
    v.travel += leg_length;
  RouteFigures &f = v.figures;
  f.customers++;
  if (visits == 1 && !r.first_visit.empty())
    r.first_visit[r.last_node] = {route, f.customers, position};

  // The figures cost the checker nothing: it does not listen for them.
  if (!r.consumer.on_route) return;
  f.distance += leg_length;
  f.waiting += wait_time;
  note_slack(v, c.due - start);

  int64_t tenths = leg_tenths(*r.instance, v.from_node, r.last_node);
  int64_t rounded = rounded_from_tenths(tenths);
  f.truncated_distance += tenths;
  f.rounded_distance += rounded;
  Stop stop{};
  stop.arrival_tenths = v.clock_tenths + tenths;
  stop.arrival_rounded = v.clock_rounded + rounded;
  v.clock_tenths = std::max(stop.arrival_tenths, int64_t{c.ready} * 10);
  v.clock_rounded = std::max(stop.arrival_rounded, int64_t{c.ready});
  stop.route = route;
  stop.node = r.last_node;
  stop.position = f.customers;
  stop.written_position = position;
  stop.arrival = to_double(arrival);
  stop.start = to_double(start);
  stop.departure = to_double(v.time);
  if (late) stop.late_by = to_double(start - c.due);
  stop.ready = c.ready;
  stop.due = c.due;
  stop.load = r.instance->capacity - v.remaining_capacity;
  if (stop.load > v.peak_load) v.peak_load = stop.load;
  stop.start_tenths = v.clock_tenths;
  stop.start_rounded = v.clock_rounded;
  stop.late = late;
  stop.late_truncated = v.clock_tenths > int64_t{c.due} * 10 && r.instance->windows;
  stop.late_rounded = v.clock_rounded > c.due && r.instance->windows;
  v.clock_tenths += int64_t{c.service} * 10;
  v.clock_rounded += c.service;
  f.late |= late;
  f.late_truncated |= stop.late_truncated;
  f.late_rounded |= stop.late_rounded;
  if (r.consumer.on_stop) r.consumer.on_stop(r.consumer.context, stop);
}

constexpr int64_t BILLION = 1000000000;

// The route's length against the instance's limit, in each convention's
// arithmetic and exactly: the limit and the service times are decimals added
// as they are; only the legs are cut or rounded. A route exactly at the
// limit is within it. The exact convention's finding is the rules'; the
// other conventions' go with the route's figures.
void judge_length(Run &r, Vehicle &v, int32_t route) {
  const RouteLimit &limit = r.instance->route_limit;
  int64_t service = limit.with_service ? v.served : 0;
  i128 room = i128{limit.billionths} - i128{service} * BILLION; // left for the travel
  bool too_long = compare_with_decimal(v.travel, room, MAX_DECIMALS) > 0;
  ext length = v.travel + ext(service);
  if (too_long) {
    Finding f{Kind::route_too_long, route, -1};
    f.value = length;
    f.limit = limit.value;
    f.excess = length - limit.value;
    found(r, f);
  }
  if (!r.consumer.on_route) return;
  RouteFigures &f = v.figures;
  f.length = length;
  f.too_long = too_long;
  f.truncated_length = f.truncated_distance + service * 10;
  f.rounded_length = f.rounded_distance + service;
  f.too_long_truncated = i128{f.truncated_length} * (BILLION / 10) > limit.billionths;
  f.too_long_rounded = i128{f.rounded_length} * BILLION > limit.billionths;
}

void return_to_depot(Run &r, Vehicle &v) {
  int32_t route = r.routes_done + 1;
  const Customer &depot = r.instance->customers[0];
  ext leg_length = leg(*r.instance, r.last_node, 0);
  r.total_cost += leg_length;
  v.time += leg_length;
  if (r.instance->route_limit.set) v.travel += leg_length;
  running_total(r, Kind::running_total_at_return, r.total_cost);
  bool late = v.time > depot.due && r.instance->windows;
  if (late) {
    Finding f{Kind::depot_closed, route, r.last_node};
    f.value = v.time;
    f.limit = depot.due;
    f.excess = v.time - depot.due;
    found(r, f);
  }
  if (r.consumer.on_route) {
    RouteFigures &f = v.figures;
    f.route = route;
    // What was delivered, or with pickups and deliveries the most on board.
    f.load =
        r.instance->pickup_delivery() ? v.peak_load : r.instance->capacity - v.remaining_capacity;
    f.distance += leg_length;
    f.duration = v.time;
    f.service = static_cast<ext>(v.served); // whole numbers: their sum is exact either way
    note_slack(v, depot.due - v.time);
    int64_t tenths = leg_tenths(*r.instance, r.last_node, 0);
    int64_t rounded = rounded_from_tenths(tenths);
    f.truncated_distance += tenths;
    f.truncated_duration = v.clock_tenths + tenths;
    f.rounded_distance += rounded;
    f.rounded_duration = v.clock_rounded + rounded;
    f.return_late = late;
    f.return_late_truncated = f.truncated_duration > int64_t{depot.due} * 10 && r.instance->windows;
    f.return_late_rounded = f.rounded_duration > depot.due && r.instance->windows;
    f.late |= late;
    f.late_truncated |= f.return_late_truncated;
    f.late_rounded |= f.return_late_rounded;
    if (r.instance->route_limit.set) judge_length(r, v, route);
    r.distance += f.distance;
    r.distance_tenths += f.truncated_distance;
    r.distance_rounded += f.rounded_distance;
    r.consumer.on_route(r.consumer.context, f);
  } else if (r.instance->route_limit.set) {
    judge_length(r, v, route);
  }
  // The count is held to the declared one after every route, too.
  if (++r.routes_done > r.declared_routes && r.declared && !r.count_passed) {
    r.count_passed = true;
    Finding f{Kind::running_route_count, 0, -1};
    f.declared = r.declared_routes;
    f.found = r.routes_done;
    found(r, f);
  }
}

// Empty, at time 0.
Vehicle leave_depot(Run &r) {
  Vehicle v{r.instance->capacity, 0, 0, false, {}, 0, 0};
  v.figures.slack = r.instance->customers[0].due;
  r.last_node = 0;
  return v;
}

} // namespace

// Customer numbers up to the end of the line or the first token that is not
// a number, then back to the depot.
void walk_route(Run &r, char *cursor) {
  Vehicle v = leave_depot(r);
  int32_t i;
  while ((cursor = int_token(cursor, i)) != nullptr) visit(r, i, v);
  return_to_depot(r, v);
}

void walk_routes(Run &r, InputFile &file) {
  while (!at_end(file) && !r.stopped) {
    read_line(r, file);
    r.cursor = skip_blanks(r.cursor);
    if (*r.cursor != '\0') walk_route(r, r.cursor);
  }
}

void walk_routes_in_memory(Run &r, const std::vector<std::vector<int>> &routes) {
  r.declared = false;
  for (const std::vector<int> &route : routes) {
    if (route.empty()) continue;
    Vehicle v = leave_depot(r);
    for (int customer : route) visit(r, customer, v);
    return_to_depot(r, v);
  }
}
