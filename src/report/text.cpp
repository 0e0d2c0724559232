// The report for a person: the instance, the route table, the violations
// grouped by kind with the worst first, the summary and fleetjudge's verdict.
#include <algorithm>
#include <cstdio>

#include "../solution/route_list.h"
#include "writers.h"

namespace {

constexpr size_t ROUTES_SHOWN = 30;   // rows of the route table
constexpr size_t PER_KIND_SHOWN = 10; // violations shown of each kind

using fleetjudge::Report;

// Without time the table holds load and distance; waiting and slack come
// with windows only.
void print_routes(const Report &report, const Files &files, std::FILE *out) {
  bool windows = has_windows(report), timed = has_time(report),
       limited = report.instance.route_limit.has_value();
  std::fprintf(out, "\n%5s %9s %9s %10s", "route", "customers", "load", "distance");
  if (windows) std::fprintf(out, " %9s", "waiting");
  if (timed) std::fprintf(out, " %9s %10s", "service", "duration");
  if (windows) std::fprintf(out, " %9s", "slack");
  std::fputs(limited ? "     length\n" : "\n", out);
  size_t shown = files.all ? report.routes.size() : std::min(report.routes.size(), ROUTES_SHOWN);
  for (size_t i = 0; i < shown; ++i) {
    const fleetjudge::RouteReport &r = report.routes[i];
    std::fprintf(out, "%5d %9lld %9.0f %10.2f", r.route, static_cast<long long>(r.served), r.load,
                 r.distance);
    if (windows) std::fprintf(out, " %9.2f", r.waiting);
    if (timed) std::fprintf(out, " %9.2f %10.2f", r.service, r.duration);
    if (windows) std::fprintf(out, " %9.2f", r.slack.value_or(0));
    if (limited)
      std::fprintf(out, " %10s%s", route_length_text(report, r).c_str(),
                   too_long_in_decision(report, r) ? "!" : "");
    std::fputc('\n', out);
  }
  int64_t more = report.summary->vehicles - static_cast<int64_t>(shown);
  if (more > 0 && !files.all)
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
                 report.convention.c_str());
}

void print_violations(const Report &report, const Files &files, std::FILE *out) {
  int64_t total = violation_count(report);
  if (total == 0) {
    std::fprintf(out, "\nno violations\n");
    return;
  }
  std::fprintf(out, "\nviolations: %lld\n", static_cast<long long>(total));
  for (const fleetjudge::KindCount &kind : report.counts) {
    std::fprintf(out, "  %-26s %lld\n", kind.kind.c_str(), static_cast<long long>(kind.count));
    std::vector<Line> lines = lines_of(report, kind.kind);
    size_t shown = files.all ? lines.size() : std::min(lines.size(), PER_KIND_SHOWN);
    int64_t listed = 0;
    for (size_t i = 0; i < shown; ++i) {
      std::fprintf(out, "    %s\n", describe_line(lines[i]).c_str());
      listed += lines[i].later > 0 ? lines[i].later : 1;
    }
    if (kind.count > listed)
      std::fprintf(out, "    (and %lld more%s)\n", static_cast<long long>(kind.count - listed),
                   files.all ? ", beyond the violations the report keeps" : "; --all lists them");
  }
}

void print_disagreements(const Report &report, std::FILE *out) {
  if (report.disagreements.empty()) return;
  std::fprintf(out,
               "\nthe conventions disagree where a vehicle is late in one and not the other:\n");
  for (const std::string &d : report.disagreements) std::fprintf(out, "  %s\n", d.c_str());
  if (report.disagreements_left_out > 0)
    std::fprintf(out, "  (and %lld more)\n", static_cast<long long>(report.disagreements_left_out));
}

void print_summary(const Report &report, std::FILE *out) {
  const fleetjudge::Summary &s = *report.summary;
  std::fprintf(out, "\nsummary\n");
  if (report.instance.vehicles)
    std::fprintf(out, "  vehicles   %lld used, the instance has %d\n",
                 static_cast<long long>(s.vehicles), *report.instance.vehicles);
  else
    std::fprintf(out, "  vehicles   %lld used, the fleet is unlimited\n",
                 static_cast<long long>(s.vehicles));
  std::fprintf(out, "  customers  %lld of %lld served\n",
               static_cast<long long>(s.customers_served),
               static_cast<long long>(report.instance.customers));
  bool timed = has_time(report), windows = has_windows(report);
  if (windows) std::fprintf(out, "  waiting    %.4f\n", s.waiting);
  if (timed) std::fprintf(out, "  service    %.4f\n", s.service);
  std::fprintf(out, "\n  %-10s %16s %16s %16s\n", "", "exact", "truncated", "rounded");
  std::fprintf(out, "  %-10s %16.4f %16s %16.0f  travel only: the figure papers publish\n",
               "distance", s.distance, tenths_text(s.truncated.distance).c_str(),
               s.rounded.distance);
  if (timed)
    std::fprintf(out, "  %-10s %16.4f %16s %16.0f  %s: fleetjudge's total\n", "duration",
                 s.duration, tenths_text(s.truncated.duration).c_str(), s.rounded.duration,
                 windows ? "travel, waiting and service" : "travel and service");
  std::fprintf(out, "  %-10s %16s %16s %16s\n", "feasible", s.feasible ? "yes" : "no",
               s.truncated.feasible ? "yes" : "no", s.rounded.feasible ? "yes" : "no");
  std::fprintf(out, "  (%s)\n", conventions_note(report));
  if (report.convention != "exact")
    std::fprintf(out, "  late stops, feasibility and the status follow the %s convention\n",
                 report.convention.c_str());
  if (s.declared_cost)
    std::fprintf(out, "  declared cost %.2f: %s\n", s.declared_cost->value,
                 cost_match_text(*s.declared_cost).c_str());
}

void print_verdict(const Report &report, std::FILE *out) {
  if (!report.verdict.status) {
    std::fprintf(out, "\nfleetjudge's verdict: none; %s\n", no_verdict_reason(report).c_str());
    return;
  }
  std::fprintf(out, "\nfleetjudge's verdict (status %d):\n", *report.verdict.status);
  const std::string &v = report.verdict.message.value_or("");
  size_t start = 0;
  while (start < v.size()) {
    size_t end = v.find('\n', start);
    if (end == std::string::npos) end = v.size();
    std::fprintf(out, "  %.*s\n", static_cast<int>(end - start), v.data() + start);
    start = end + 1;
  }
}

} // namespace

void write_text(const Report &report, const Files &files, std::FILE *out) {
  const fleetjudge::InstanceReport &instance = report.instance;
  std::fprintf(out, "instance   %s: %s, capacity %g, %s%s\n", files.instance,
               instance_size(report).c_str(), instance.capacity,
               instance.vehicles ? format("%d vehicles", *instance.vehicles).c_str()
                                 : "no fleet limit",
               problem_and_layout(report).c_str());
  if (instance.route_limit)
    std::fprintf(out, "limit      a route's length at most %s\n",
                 describe_route_limit(*instance.route_limit).c_str());
  std::fprintf(out, "solution   %s: %s\n", files.solution,
               solution_format_named(report.solution.format).what);
  for (const std::string &note : report.notes) std::fprintf(out, "note       %s\n", note.c_str());
  if (report.summary->vehicles > 0) print_routes(report, files, out);
  print_violations(report, files, out);
  print_summary(report, out);
  print_disagreements(report, out);
  print_verdict(report, out);
  if (files.all && report.routes_left_out + report.violations_left_out > 0)
    std::fprintf(out,
                 "\nnot kept: %lld routes beyond the first %zu, %lld violations beyond the "
                 "first %zu (counted above, not listed)\n",
                 static_cast<long long>(report.routes_left_out), ROUTES_KEPT,
                 static_cast<long long>(report.violations_left_out), VIOLATIONS_KEPT);
}
