// The report for a person: the instance, the route table, the violations
// grouped by kind with the worst first, the summary and fleetjudge's verdict.
#include <algorithm>
#include <cstdio>

#include "../instance/node_table.h"
#include "report.h"

namespace {

constexpr size_t ROUTES_SHOWN = 30;   // rows of the route table
constexpr size_t PER_KIND_SHOWN = 10; // violations shown of each kind

double d(ext v) { return to_double(v); }

void print_routes() {
  std::printf("\n%5s %9s %9s %10s %9s %9s %10s %9s\n", "route", "customers", "load", "distance",
              "waiting", "service", "duration", "slack");
  size_t shown = std::min(record.routes.size(), ROUTES_SHOWN);
  for (size_t i = 0; i < shown; ++i) {
    const RouteFigures &r = record.routes[i].figures;
    std::printf("%5d %9d %9.0f %10.2f %9.2f %9.2f %10.2f %9.2f\n", r.route, r.customers, r.load,
                d(r.distance), d(r.waiting), d(r.service), d(r.duration), d(r.slack));
  }
  int64_t more = L1 - static_cast<int64_t>(shown);
  if (more > 0)
    std::printf("(and %lld more routes; --json lists the first %zu)\n",
                static_cast<long long>(more), ROUTES_KEPT);
  std::printf("(slack: the smallest margin to a window's end on the route, the depot's closing "
              "time included; negative when late)\n");
}

void print_violations() {
  int64_t total = violation_count();
  if (total == 0) {
    std::printf("\nno violations\n");
    return;
  }
  std::printf("\nviolations: %lld\n", static_cast<long long>(total));
  for (Kind kind : kinds_worst_first) {
    int64_t count = record.kind_count[static_cast<int>(kind)];
    if (count == 0) continue;
    std::printf("  %-26s %lld\n", kind_name(kind), static_cast<long long>(count));
    std::vector<const Finding *> of_kind = worst_first(kind);
    size_t shown = std::min(of_kind.size(), PER_KIND_SHOWN);
    for (size_t i = 0; i < shown; ++i) std::printf("    %s\n", describe(*of_kind[i]).c_str());
    if (count > static_cast<int64_t>(shown))
      std::printf("    (and %lld more)\n", static_cast<long long>(count - shown));
  }
}

void print_disagreements() {
  if (record.disagreements.empty()) return;
  std::printf("\nthe conventions disagree where a vehicle is late in one and not the other:\n");
  for (const Stop &s : record.disagreements) {
    if (s.node == 0)
      std::printf("  route %d, return to the depot", s.route);
    else
      std::printf("  route %d, node %d", s.route, s.node);
    std::printf(": at %.4f exact, %lld.%lld truncated, due %d\n", d(s.start),
                static_cast<long long>(s.start_tenths / 10),
                static_cast<long long>(s.start_tenths % 10), s.due);
  }
  if (record.disagreements_left_out > 0)
    std::printf("  (and %lld more)\n", static_cast<long long>(record.disagreements_left_out));
}

void tenths(int64_t t) {
  std::printf("%14lld.%lld", static_cast<long long>(t / 10), static_cast<long long>(t % 10));
}

void print_summary() {
  std::printf("\nsummary\n");
  std::printf("  vehicles   %lld used, the instance has %d\n", static_cast<long long>(L1),
              vehicles);
  std::printf("  customers  %lld of %lld served\n", static_cast<long long>(customers_served()),
              static_cast<long long>(n > 0 ? n : 0));
  std::printf("  waiting    %.4f\n", d(record.waiting));
  std::printf("  service    %.4f\n", d(record.service));
  std::printf("\n  %-10s %16s %16s\n", "", "exact", "truncated");
  std::printf("  %-10s %16.4f", "distance", d(record.distance));
  tenths(record.truncated_distance);
  std::printf("  travel only: the figure papers publish\n");
  std::printf("  %-10s %16.4f", "duration", d(total_cost));
  tenths(record.truncated_duration);
  std::printf("  travel, waiting and service: fleetjudge's total\n");
  std::printf("  %-10s %16s %16s\n", "feasible", feasible() ? "yes" : "no",
              feasible_truncated() ? "yes" : "no");
  std::printf("  (exact: Euclidean distances in extended precision, as fleetjudge; truncated: "
              "every arc cut to one decimal)\n");
  if (route_list.has_cost) {
    const char *matches = cost_convention();
    std::printf("  declared cost %.2f: %s%s\n", route_list.cost,
                matches ? "matches the distance, " : "matches neither distance",
                matches ? matches : "");
  }
}

void print_verdict() {
  if (!record.has_verdict) {
    std::printf("\nfleetjudge's verdict: none; fleetjudge reads only its own format, which "
                "declares a route count and a total duration\n");
    return;
  }
  std::printf("\nfleetjudge's verdict (status %d):\n", record.verdict_status);
  const std::string &v = record.verdict;
  size_t start = 0;
  while (start < v.size()) {
    size_t end = v.find('\n', start);
    if (end == std::string::npos) end = v.size();
    std::printf("  %.*s\n", static_cast<int>(end - start), v.data() + start);
    start = end + 1;
  }
}

} // namespace

void write_text(const Files &files) {
  std::printf("instance   %s: %lld customers, capacity %g, %d vehicles\n", files.instance,
              static_cast<long long>(n > 0 ? n : 0), TCap, vehicles);
  const char *formats[] = {"fleetjudge's format", "a route list", "a plain list of routes"};
  std::printf("solution   %s: %s\n", files.solution, formats[static_cast<int>(record.format)]);
  for (const std::string &note : record.notes) std::printf("note       %s\n", note.c_str());
  if (L1 > 0) print_routes();
  print_violations();
  print_summary();
  print_disagreements();
  print_verdict();
}
