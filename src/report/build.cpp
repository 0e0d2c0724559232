// The report as a value: everything the document holds, computed once from
// the run's record, so that the writers only format.
#include "build.h"

#include "../model.h"

namespace {

double num(ext v) { return to_double(v); }
double tenths(int64_t t) { return static_cast<double>(t) / 10; }

fleetjudge::Violation violation_of(const Finding &f) {
  const KindInfo &k = kind_info(f.kind);
  fleetjudge::Violation v;
  v.kind = k.name;
  bool whole = k.traits & trait::whole_solution; // belongs to no route and no node
  if (!whole && f.route != 0) v.route = f.route;
  if (f.position > 0) v.position = f.position;
  if (!whole && f.node >= 0) v.node = f.node;
  auto add = [&v](const char *name, double value, bool whole) {
    if (name[0]) v.figures.push_back(fleetjudge::Figure{name, value, whole});
  };
  add(k.arrival_name, num(f.arrival), false);
  add(k.value_name, num(f.value), false);
  add(k.limit_name,
      k.whole_limit ? static_cast<double>(static_cast<int64_t>(num(f.limit))) : num(f.limit),
      k.whole_limit);
  // A declared cost's truncated distance is carried in tenths.
  bool cost = k.traits & trait::cost;
  add(k.excess_name, cost ? tenths(static_cast<int64_t>(num(f.excess))) : num(f.excess), false);
  add(k.declared_name, static_cast<double>(f.declared), true);
  add(k.found_name, static_cast<double>(f.found), true);
  if (cost) add("tolerance", num(f.arrival), false);
  v.sentence = describe(f);
  v.label = map_label(f);
  v.badness = num(badness(f));
  return v;
}

fleetjudge::Summary summary_of(const ReportRun &rep) {
  const Record &record = rep.record;
  const Run &run = rep.run;
  fleetjudge::Summary s;
  s.vehicles = run.routes_done;
  s.customers_served = customers_served(rep);
  s.distance = num(run.distance);
  s.duration = num(run.total_cost);
  s.waiting = num(record.waiting);
  s.service = num(record.service);
  s.feasible = feasible(rep);
  s.truncated.distance = tenths(run.distance_tenths);
  s.truncated.duration = tenths(record.truncated_duration);
  s.truncated.feasible = feasible(rep, Convention::truncated);
  s.rounded.distance = static_cast<double>(run.distance_rounded);
  s.rounded.duration = static_cast<double>(record.rounded_duration);
  s.rounded.feasible = feasible(rep, Convention::rounded);
  s.convention = convention_names[static_cast<int>(rep.convention)];
  s.decision = fleetjudge::Decision{s.convention, feasible(rep, rep.convention), rep.reason};
  bool declares = record.format == SolutionFormat::fleetjudge;
  if (declares) s.declared_routes = run.declared_routes;
  if (declares && run.declared_routes != -1) s.declared_total = num(run.declared_total);
  if (run.route_list.has_cost) {
    const char *matches = cost_convention(rep);
    s.declared_cost =
        fleetjudge::DeclaredCost{run.route_list.cost, std::nullopt, run.route_list.cost_tolerance};
    if (matches) s.declared_cost->matches = matches;
  }
  return s;
}

// The violations of each route other than its lateness: a customer out of
// range or served twice, the capacity exceeded.
std::vector<int64_t> faults_by_route(const ReportRun &rep) {
  std::vector<int64_t> count(rep.record.routes.empty() ? 1 : rep.record.routes.back().route + 1, 0);
  for (const Finding &f : rep.record.violations)
    if (has_trait(f.kind, trait::route_fault) && f.route > 0 &&
        static_cast<size_t>(f.route) < count.size())
      count[static_cast<size_t>(f.route)]++;
  return count;
}

std::optional<std::string> path_of(const char *path) {
  return path ? std::optional<std::string>(path) : std::nullopt;
}

} // namespace

fleetjudge::Report build_report(ReportRun &rep, const Files &files,
                                fleetjudge::Instance judged_against) {
  const Record &record = rep.record;
  const InstanceData &instance = *rep.run.instance;
  fleetjudge::Report out;
  out.status = exit_status(rep);
  out.instance.path = path_of(files.instance);
  out.instance.name = instance.name;
  out.instance.customers = instance.customer_count > 0 ? instance.customer_count : 0;
  out.instance.capacity = instance.capacity;
  if (instance.fleet_limited) out.instance.vehicles = instance.vehicles;
  out.instance.format = instance_format_name(instance.format);
  out.instance.type = instance.pickup_delivery() ? "PDPTW" : instance.windows ? "VRPTW" : "CVRP";
  if (instance.route_limit.set) {
    const RouteLimit &limit = instance.route_limit;
    char value[EXT_TEXT];
    format_ext(value, limit.value);
    out.instance.route_limit = fleetjudge::RouteLimitReport{
        limit.key, num(limit.value), limit.with_service ? "travel and service" : "travel", value};
  }
  out.instance.has_nodes = instance.customer_count >= 0;
  out.instance.coordinates = instance.coordinates;
  out.instance.matrix = instance.weights.size > 0;
  out.instance.service_times = has_service_times(instance);
  out.solution.path = path_of(files.solution);
  out.solution.format = solution_format_info(record.format).name;
  out.notes = record.notes;
  if (record.has_verdict && record.verdict_status >= 0) {
    out.verdict.status = record.verdict_status;
    out.verdict.message = record.verdict;
  }
  if (!record.error.empty()) out.error = record.error;
  if (record.error.empty()) out.summary = summary_of(rep);
  // A route is feasible in a convention when it is in time there and breaks
  // no other rule: none of its violations other than lateness.
  std::vector<int64_t> faults = faults_by_route(rep);
  out.routes = std::move(rep.record.routes); // the run is done with them
  for (fleetjudge::RouteReport &r : out.routes)
    if (faults[static_cast<size_t>(r.route)] > 0)
      r.feasible = r.truncated.feasible = r.rounded.feasible = false;
  out.routes_left_out = record.routes_left_out;
  out.stops = std::move(rep.record.stops); // one block for all routes: the run is done with them
  out.violations.reserve(record.violations.size());
  for (const Finding &f : record.violations) out.violations.push_back(violation_of(f));
  out.violations_left_out = record.violations_left_out;

  out.convention = convention_names[static_cast<int>(rep.convention)];
  for (Kind kind : kinds_worst_first)
    if (int64_t count = record.kind_count[static_cast<int>(kind)])
      out.counts.push_back(fleetjudge::KindCount{kind_name(kind), count});
  for (const Stop &s : record.disagreements)
    out.disagreements.push_back(describe_disagreement(rep, s));
  out.disagreements_left_out = record.disagreements_left_out;
  for (int64_t i = 1;
       i <= instance.customer_count && static_cast<size_t>(i) < rep.run.visits.size(); ++i)
    if (rep.run.visits[static_cast<size_t>(i)] == 0) out.unvisited.push_back(i);
  // The run's own instance, moved: the run is done with it.
  if (!judged_against.data()) {
    auto read = std::make_shared<fleetjudge::ReadInstance>();
    read->data = std::move(rep.run.own_instance);
    rep.run.instance = &read->data;
    judged_against = fleetjudge::ReadInstance::share(std::move(read));
  }
  out.judged_against = std::move(judged_against);
  return out;
}
