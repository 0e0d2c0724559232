#include "report.h"

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

// A stop beyond the limit is counted when its route is done.
static void keep_stop(const Stop &s) {
  if (record.stops.size() < STOPS_KEPT) record.stops.push_back(s);
}

static size_t route_first_stop = 0;

static void keep_route(const RouteFigures &r) {
  record.vehicles++;
  record.distance += r.distance;
  record.waiting += r.waiting;
  record.service += r.service;
  size_t kept_stops = record.stops.size() - route_first_stop;
  if (record.routes.size() < ROUTES_KEPT) {
    record.routes.push_back(KeptRoute{r, route_first_stop, kept_stops, 0});
    KeptRoute &k = record.routes.back();
    k.stops_left_out = on_stop ? r.customers - static_cast<int64_t>(kept_stops) : 0;
  } else {
    record.routes_left_out++;
    record.stops.resize(route_first_stop); // the stops of a route not kept
  }
  route_first_stop = record.stops.size();
}

void start_recording(bool stops) {
  consumer = Consumer{say_to_verdict, keep, keep_fault, close_verdict};
  on_route = keep_route;
  on_stop = stops ? keep_stop : nullptr;
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
