#include "../findings.h"
#include "../instance/node_table.h"
#include "solution.h"

int32_t B = 0;
void (*on_stop)(const Stop &) = nullptr;
void (*on_route)(const RouteFigures &) = nullptr;

// Every time and total below stays in extended precision from leg to leg;
// all comparisons are strict, so meeting a window's end, the depot's closing
// time or the declared total plus epsilon exactly is allowed. A violation is
// reported once where it occurs and the walk goes on: a late vehicle drives
// on from where it is, a repeated customer is driven to again.

namespace {

struct Vehicle {
  double Remainig_Cap;
  int32_t A;
  ext one_route_time;
  bool overloaded; // the route's capacity excess is reported once
  RouteFigures figures;
  int64_t clock_tenths; // the route's clock in the truncated convention
};

// The running total is held to the declared one at every step; it is
// reported the first time it passes.
bool total_passed = false, count_passed = false;

void running_total(Kind kind) {
  if (!declared || total_passed || !(total_cost > TotLen + epsilon)) return;
  total_passed = true;
  Finding f{kind, L1 + 1, B};
  f.value = total_cost;
  f.limit = TotLen;
  found(f);
}

void note_slack(Vehicle &v, ext margin) {
  if (margin < v.figures.slack) v.figures.slack = margin;
}

void visit(int32_t i, Vehicle &v) {
  int32_t route = L1 + 1;
  if (i > n || i < 1) {
    found(Finding{Kind::customer_out_of_range, route, i});
    return;
  }
  v.A = B;
  B = i;
  const Customer &c = customers[B];
  if (++customers[B].visits > 1) found(Finding{Kind::visited_twice, route, B});
  v.Remainig_Cap -= static_cast<double>(c.demand);
  if (v.Remainig_Cap < 0 && !v.overloaded) {
    v.overloaded = true;
    Finding f{Kind::capacity_exceeded, route, B};
    f.value = TCap - v.Remainig_Cap;
    f.limit = TCap;
    found(f);
  }
  ext edgelen = distance(v.A, B);
  v.one_route_time += edgelen;
  total_cost += edgelen;
  ext arrival = v.one_route_time;
  ext wait_time = v.one_route_time >= c.ready ? 0 : c.ready - v.one_route_time;
  v.one_route_time += wait_time;
  total_cost += wait_time;
  // The declared total is checked before the window of the same customer.
  running_total(Kind::running_total_at_customer);
  bool late = v.one_route_time > c.due;
  if (late) {
    Finding f{Kind::time_window_missed, route, B};
    f.value = v.one_route_time;
    f.limit = c.due;
    f.excess = v.one_route_time - c.due;
    found(f);
  }
  ext start = v.one_route_time;
  total_cost += c.service;
  v.one_route_time += c.service;

  // The figures cost the checker nothing: it has no listener.
  if (!on_route) return;
  RouteFigures &r = v.figures;
  r.customers++;
  r.distance += edgelen;
  r.waiting += wait_time;
  r.service += c.service;
  note_slack(v, c.due - start);

  int64_t arc = distance_tenths(v.A, B);
  r.truncated_distance += arc;
  v.clock_tenths += arc;
  if (v.clock_tenths < int64_t{c.ready} * 10) v.clock_tenths = int64_t{c.ready} * 10;
  Stop stop{route,
            B,
            arrival,
            start,
            v.one_route_time,
            c.ready,
            c.due,
            TCap - v.Remainig_Cap,
            v.clock_tenths,
            late,
            v.clock_tenths > int64_t{c.due} * 10};
  v.clock_tenths += int64_t{c.service} * 10;
  r.late_truncated |= stop.late_truncated;
  if (on_stop) on_stop(stop);
}

void return_to_depot(Vehicle &v) {
  int32_t route = L1 + 1;
  ext edgelen = distance(B, 0);
  total_cost += edgelen;
  v.one_route_time += edgelen;
  running_total(Kind::running_total_at_return);
  bool late = v.one_route_time > customers[0].due;
  if (late) {
    Finding f{Kind::depot_closed, route, B};
    f.value = v.one_route_time;
    f.limit = customers[0].due;
    f.excess = v.one_route_time - customers[0].due;
    found(f);
  }
  if (on_route) {
    RouteFigures &r = v.figures;
    r.route = route;
    r.load = TCap - v.Remainig_Cap;
    r.distance += edgelen;
    r.duration = v.one_route_time;
    note_slack(v, customers[0].due - v.one_route_time);
    int64_t arc = distance_tenths(B, 0);
    r.truncated_distance += arc;
    r.truncated_duration = v.clock_tenths + arc;
    r.return_late = late;
    r.return_late_truncated = r.truncated_duration > int64_t{customers[0].due} * 10;
    r.late_truncated |= r.return_late_truncated;
    on_route(r);
  }
  // The count is held to the declared one after every route, too.
  if (++L1 > L && declared && !count_passed) {
    count_passed = true;
    Finding f{Kind::running_route_count, 0, -1};
    f.declared = L;
    f.found = L1;
    found(f);
  }
}

} // namespace

// Customer numbers up to the end of the line or the first token that is not
// a number, then back to the depot.
void walk_route(char *cursor) {
  Vehicle v{TCap, 0, 0, false, {}, 0};
  v.figures.slack = customers[0].due; // leaving the depot at time 0
  B = 0;
  int32_t i;
  while ((cursor = int_token(cursor, i)) != nullptr) visit(i, v);
  return_to_depot(v);
}

void walk_routes(InputFile &file) {
  while (!at_end(file) && !input_failed) {
    read_line(file);
    ohneline = rmblanc(ohneline);
    if (*ohneline != '\0') walk_route(ohneline);
  }
}
