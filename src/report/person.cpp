// What the text and the page share: how the report's values read for a
// person.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "writers.h"

bool has_windows(const fleetjudge::Report &report) {
  return report.instance.type == "VRPTW" || report.instance.type == "PDPTW";
}

std::string instance_size(const fleetjudge::Report &report) {
  long long customers = report.instance.customers;
  if (report.instance.type == "PDPTW")
    return format("%lld tasks in %lld requests", customers, customers / 2);
  return format("%lld customers", customers);
}

// Each layout's name for a person; none for fleetjudge's own.
static const char *layout_name(const std::string &format) {
  return format == "vrplib"    ? "VRPLIB"
         : format == "lilim"   ? "Li & Lim"
         : format == "sartori" ? "Sartori & Buriol"
                               : nullptr;
}

std::string problem_and_layout(const fleetjudge::Report &report) {
  const char *layout = layout_name(report.instance.format);
  if (!layout) return {};
  return ", " + report.instance.type + " (" + layout + ")";
}

std::string no_verdict_reason(const fleetjudge::Report &report) {
  if (const char *layout = layout_name(report.instance.format))
    return std::string("fleetjudge reads instances only in its own text layout, not ") + layout +
           " files";
  return "fleetjudge reads only its own format, which declares a route count and a total "
         "duration";
}

bool has_time(const fleetjudge::Report &report) {
  return has_windows(report) || report.instance.route_limit || report.instance.service_times;
}

const KindInfo &kind_named(const std::string &name) {
  for (int k = 0; k < KIND_COUNT; ++k)
    if (name == kind_info(Kind(k)).name) return kind_info(Kind(k));
  return kind_info(Kind::not_visited); // every kind in a report has its name in the table
}

int64_t violation_count(const fleetjudge::Report &report) {
  int64_t count = 0;
  for (const fleetjudge::KindCount &k : report.counts) count += k.count;
  return count;
}

static std::vector<const fleetjudge::Violation *> of_kind(const fleetjudge::Report &report,
                                                          const std::string &kind) {
  std::vector<const fleetjudge::Violation *> found;
  for (const fleetjudge::Violation &v : report.violations)
    if (v.kind == kind) found.push_back(&v);
  return found;
}

std::vector<const fleetjudge::Violation *> worst_first(const fleetjudge::Report &report,
                                                       const std::string &kind) {
  std::vector<const fleetjudge::Violation *> found = of_kind(report, kind);
  std::stable_sort(found.begin(), found.end(),
                   [](const fleetjudge::Violation *a, const fleetjudge::Violation *b) {
                     return a->badness > b->badness;
                   });
  return found;
}

std::vector<Line> lines_of(const fleetjudge::Report &report, const std::string &kind) {
  std::vector<const fleetjudge::Violation *> found = of_kind(report, kind);
  // Found in visiting order, route after route; a route list may name its
  // routes in any order, so the routes are put in order, keeping the rest.
  std::stable_sort(found.begin(), found.end(),
                   [](const fleetjudge::Violation *a, const fleetjudge::Violation *b) {
                     return a->route.value_or(0) < b->route.value_or(0);
                   });
  bool summed = kind_named(kind).traits & trait::summed;
  std::vector<Line> lines;
  for (size_t i = 0; i < found.size(); ++i) {
    const fleetjudge::Violation *v = found[i];
    lines.push_back(Line{v, summed, 0, 0});
    if (!summed) continue;
    size_t j = i + 1;
    double worst = 0;
    for (; j < found.size() && found[j]->route == v->route; ++j)
      worst = std::max(worst, found[j]->badness);
    if (j > i + 1)
      lines.push_back(Line{found[i + 1], false, static_cast<int64_t>(j - i - 1), worst});
    i = j - 1;
  }
  return lines;
}

std::string describe_line(const Line &line) {
  if (line.later > 0)
    return format("  and %lld later stop%s on this route, up to %.2f late",
                  static_cast<long long>(line.later), line.later == 1 ? "" : "s", line.worst);
  return line.violation->sentence + (line.first_late ? " (the route's first late stop)" : "");
}

std::vector<int64_t> violations_by_route(const fleetjudge::Report &report) {
  constexpr int routes = 10000 + 2; // the most routes a solution may declare, and one more
  std::vector<int64_t> count(routes, 0);
  for (const fleetjudge::Violation &v : report.violations)
    if (v.route && *v.route > 0 && *v.route < routes) count[static_cast<size_t>(*v.route)]++;
  return count;
}

const char *conventions_note(const fleetjudge::Report &report) {
  return report.instance.matrix
             ? "exact: the legs as the instance's matrix gives them, in extended precision; "
               "truncated: every arc cut to one decimal; rounded: every arc to the nearest integer"
             : "exact: Euclidean distances in extended precision, as fleetjudge; truncated: "
               "every arc cut to one decimal; rounded: every arc to the nearest integer";
}

std::string describe_route_limit(const fleetjudge::RouteLimitReport &limit) {
  return limit.value_text + " (" + limit.key + "), " +
         (limit.counts == "travel" ? "its travel alone"
                                   : "its travel and its customers' service times");
}

std::string tenths_text(double value) {
  long long t = std::llround(value * 10);
  return format("%lld.%lld", t / 10, t % 10);
}

std::string route_length_text(const fleetjudge::Report &report, const fleetjudge::RouteReport &r) {
  if (report.convention == "truncated") return tenths_text(r.truncated.length.value_or(0));
  if (report.convention == "rounded") return format("%.0f", r.rounded.length.value_or(0));
  return format("%.2f", r.length.value_or(0));
}

bool too_long_in_decision(const fleetjudge::Report &report, const fleetjudge::RouteReport &r) {
  return report.convention == "truncated" ? r.truncated.too_long
         : report.convention == "rounded" ? r.rounded.too_long
                                          : r.too_long;
}

std::string cost_match_text(const fleetjudge::DeclaredCost &cost) {
  return (cost.matches ? "matches the distance, " + *cost.matches + ", within "
                       : std::string("matches no distance within ")) +
         shortest(cost.tolerance) +
         (cost.tolerance > 0.01 ? " (half a unit of its last digit)" : "");
}

std::string stop_title(const fleetjudge::Report &report, const fleetjudge::Stop &s, size_t position,
                       size_t stops, bool timed) {
  std::string task = s.pair == 0 ? format("customer %d", s.node)
                     : s.pickup  ? format("pickup %d (delivery %d)", s.node, s.pair)
                                 : format("delivery %d (pickup %d)", s.node, s.pair);
  std::string stop =
      format("%s, route %d, stop %zu of %zu: ", task.c_str(), s.route, position, stops);
  std::string load = format("load %.0f of %g", s.load, report.instance.capacity);
  if (!timed) // the arrival is the distance travelled
    return stop + load + format(", %.2f travelled", s.arrival);
  if (!has_windows(report)) // service starts on arrival, and nothing is late
    return stop + format("arrives %.2f, ", s.arrival) + load;
  std::string when = s.late ? format("%.2f late", s.late_by) : std::string("on time");
  return stop +
         format("arrives %.2f, service starts %.2f, due %d, ", s.arrival, s.start,
                s.due.value_or(0)) +
         load + ", " + when;
}
