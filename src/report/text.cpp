// The report for a person: the instance, the route table, the violations
// grouped by kind with the worst first, the summary and fleetjudge's verdict.
#include <algorithm>
#include <cstdio>

#include "report.h"

namespace {

constexpr size_t ROUTES_SHOWN = 30;   // rows of the route table
constexpr size_t PER_KIND_SHOWN = 10; // violations shown of each kind

double d(ext v) { return to_double(v); }

// Without time the table holds load and distance; waiting and slack come
// with windows only.
void print_routes(const ReportRun &rep, std::FILE *out) {
  bool windows = rep.run.instance->windows, timed = has_time(rep.run),
       limited = rep.run.instance->route_limit.set;
  std::fprintf(out, "\n%5s %9s %9s %10s", "route", "customers", "load", "distance");
  if (windows) std::fprintf(out, " %9s", "waiting");
  if (timed) std::fprintf(out, " %9s %10s", "service", "duration");
  if (windows) std::fprintf(out, " %9s", "slack");
  std::fputs(limited ? "     length\n" : "\n", out);
  size_t shown =
      rep.all ? rep.record.routes.size() : std::min(rep.record.routes.size(), ROUTES_SHOWN);
  for (size_t i = 0; i < shown; ++i) {
    const RouteFigures &r = rep.record.routes[i].figures;
    std::fprintf(out, "%5d %9d %9.0f %10.2f", r.route, r.customers, r.load, d(r.distance));
    if (windows) std::fprintf(out, " %9.2f", d(r.waiting));
    if (timed) std::fprintf(out, " %9.2f %10.2f", d(r.service), d(r.duration));
    if (windows) std::fprintf(out, " %9.2f", d(r.slack));
    if (limited)
      std::fprintf(out, " %10s%s", route_length_text(rep, r).c_str(),
                   too_long_in(r, rep.convention) ? "!" : "");
    std::fputc('\n', out);
  }
  int64_t more = rep.run.routes_done - static_cast<int64_t>(shown);
  if (more > 0 && !rep.all)
    std::fprintf(out, "(and %lld more routes; --all shows them)\n", static_cast<long long>(more));
  else if (more > 0)
    std::fprintf(out, "(and %lld more routes, beyond the %zu the report keeps)\n",
                 static_cast<long long>(more), ROUTES_KEPT);
  if (windows)
    std::fprintf(out, "(slack: the smallest margin to a window's end on the route, the depot's "
                      "closing time included; negative when late)\n");
  if (limited)
    std::fprintf(out,
                 "(length: what the limit counts, in the %s convention; ! marks a route "
                 "above the limit)\n",
                 convention_names[static_cast<int>(rep.convention)]);
}

void print_violations(const ReportRun &rep, std::FILE *out) {
  int64_t total = violation_count(rep);
  if (total == 0) {
    std::fprintf(out, "\nno violations\n");
    return;
  }
  std::fprintf(out, "\nviolations: %lld\n", static_cast<long long>(total));
  for (Kind kind : kinds_worst_first) {
    int64_t count = rep.record.kind_count[static_cast<int>(kind)];
    if (count == 0) continue;
    std::fprintf(out, "  %-26s %lld\n", kind_name(kind), static_cast<long long>(count));
    std::vector<Line> lines = lines_of(rep.record, kind);
    size_t shown = rep.all ? lines.size() : std::min(lines.size(), PER_KIND_SHOWN);
    int64_t listed = 0;
    for (size_t i = 0; i < shown; ++i) {
      std::fprintf(out, "    %s\n", describe_line(lines[i]).c_str());
      listed += lines[i].later > 0 ? lines[i].later : 1;
    }
    if (count > listed)
      std::fprintf(out, "    (and %lld more%s)\n", static_cast<long long>(count - listed),
                   rep.all ? ", beyond the violations the report keeps" : "; --all lists them");
  }
}

void print_disagreements(const ReportRun &rep, std::FILE *out) {
  if (rep.record.disagreements.empty()) return;
  std::fprintf(out,
               "\nthe conventions disagree where a vehicle is late in one and not the other:\n");
  for (const Stop &s : rep.record.disagreements)
    std::fprintf(out, "  %s\n", describe_disagreement(rep, s).c_str());
  if (rep.record.disagreements_left_out > 0)
    std::fprintf(out, "  (and %lld more)\n",
                 static_cast<long long>(rep.record.disagreements_left_out));
}

void print_summary(const ReportRun &rep, std::FILE *out) {
  std::fprintf(out, "\nsummary\n");
  if (rep.run.instance->fleet_limited)
    std::fprintf(out, "  vehicles   %lld used, the instance has %d\n",
                 static_cast<long long>(rep.run.routes_done), rep.run.instance->vehicles);
  else
    std::fprintf(out, "  vehicles   %lld used, the fleet is unlimited\n",
                 static_cast<long long>(rep.run.routes_done));
  std::fprintf(out, "  customers  %lld of %lld served\n",
               static_cast<long long>(customers_served(rep)),
               static_cast<long long>(
                   rep.run.instance->customer_count > 0 ? rep.run.instance->customer_count : 0));
  bool timed = has_time(rep.run);
  if (rep.run.instance->windows) std::fprintf(out, "  waiting    %.4f\n", d(rep.record.waiting));
  if (timed) std::fprintf(out, "  service    %.4f\n", d(rep.record.service));
  const Record &record = rep.record;
  std::fprintf(out, "\n  %-10s %16s %16s %16s\n", "", "exact", "truncated", "rounded");
  std::fprintf(out, "  %-10s %16.4f %16s %16lld  travel only: the figure papers publish\n",
               "distance", d(record.distance),
               in_convention(record.truncated_distance, Convention::truncated).c_str(),
               static_cast<long long>(record.rounded_distance));
  if (timed)
    std::fprintf(out, "  %-10s %16.4f %16s %16lld  %s: fleetjudge's total\n", "duration",
                 d(rep.run.total_cost),
                 in_convention(record.truncated_duration, Convention::truncated).c_str(),
                 static_cast<long long>(record.rounded_duration),
                 rep.run.instance->windows ? "travel, waiting and service" : "travel and service");
  std::fprintf(out, "  %-10s %16s %16s %16s\n", "feasible", feasible(rep) ? "yes" : "no",
               feasible(rep, Convention::truncated) ? "yes" : "no",
               feasible(rep, Convention::rounded) ? "yes" : "no");
  std::fprintf(out, "  (%s)\n", conventions_note(rep.run));
  if (rep.convention != Convention::exact)
    std::fprintf(out, "  late stops, feasibility and the status follow the %s convention\n",
                 convention_names[static_cast<int>(rep.convention)]);
  if (rep.run.route_list.has_cost)
    std::fprintf(out, "  declared cost %.2f: %s\n", rep.run.route_list.cost,
                 cost_match_text(rep).c_str());
}

void print_verdict(const ReportRun &rep, std::FILE *out) {
  if (!rep.record.has_verdict) {
    if (rep.run.instance->vrplib)
      std::fprintf(out, "\nfleetjudge's verdict: none; fleetjudge reads instances only in its own "
                        "text layout, not VRPLIB files\n");
    else
      std::fprintf(out, "\nfleetjudge's verdict: none; fleetjudge reads only its own format, which "
                        "declares a route count and a total duration\n");
    return;
  }
  std::fprintf(out, "\nfleetjudge's verdict (status %d):\n", rep.record.verdict_status);
  const std::string &v = rep.record.verdict;
  size_t start = 0;
  while (start < v.size()) {
    size_t end = v.find('\n', start);
    if (end == std::string::npos) end = v.size();
    std::fprintf(out, "  %.*s\n", static_cast<int>(end - start), v.data() + start);
    start = end + 1;
  }
}

} // namespace

const char *conventions_note(const Run &run) {
  return run.instance->weights.size
             ? "exact: the legs as the instance's matrix gives them, in extended precision; "
               "truncated: every arc cut to one decimal; rounded: every arc to the nearest integer"
             : "exact: Euclidean distances in extended precision, as fleetjudge; truncated: "
               "every arc cut to one decimal; rounded: every arc to the nearest integer";
}

void write_text(const ReportRun &rep, const Files &files, std::FILE *out) {
  std::fprintf(out, "instance   %s: %lld customers, capacity %g, %s", files.instance,
               static_cast<long long>(
                   rep.run.instance->customer_count > 0 ? rep.run.instance->customer_count : 0),
               rep.run.instance->capacity,
               rep.run.instance->fleet_limited
                   ? format("%d vehicles", rep.run.instance->vehicles).c_str()
                   : "no fleet limit");
  std::fprintf(out, "%s\n",
               rep.run.instance->vrplib
                   ? rep.run.instance->windows ? ", VRPTW (VRPLIB)" : ", CVRP (VRPLIB)"
                   : "");
  if (rep.run.instance->route_limit.set)
    std::fprintf(out, "limit      a route's length at most %s\n",
                 describe_route_limit(rep.run).c_str());
  const char *formats[] = {"fleetjudge's format", "a route list", "a plain list of routes"};
  std::fprintf(out, "solution   %s: %s\n", files.solution,
               formats[static_cast<int>(rep.record.format)]);
  for (const std::string &note : rep.record.notes)
    std::fprintf(out, "note       %s\n", note.c_str());
  if (rep.run.routes_done > 0) print_routes(rep, out);
  print_violations(rep, out);
  print_summary(rep, out);
  print_disagreements(rep, out);
  print_verdict(rep, out);
  const Record &record = rep.record;
  if (rep.all && record.routes_left_out + record.violations_left_out > 0)
    std::fprintf(out,
                 "\nnot kept: %lld routes beyond the first %zu, %lld violations beyond the "
                 "first %zu (counted above, not listed)\n",
                 static_cast<long long>(record.routes_left_out), ROUTES_KEPT,
                 static_cast<long long>(record.violations_left_out), VIOLATIONS_KEPT);
}
