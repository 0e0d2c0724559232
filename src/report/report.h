// The report: every violation of a solution and every route's figures.
//
// The report runs the checker's own phases with a consumer that records each
// finding and goes on (record.cpp), keeping what the checker would have
// printed as its verdict. What it keeps is bounded by the instance and the
// route limit, never by the size of a file: beyond the limits it counts.
// The record is then built once into the report as a value (build.h), which
// the writers (writers.h) only format.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "../check.h"
#include "../run.h"
#include "options.h"
#include "writers.h"

struct Record {
  SolutionFormat format = SolutionFormat::fleetjudge;
  std::vector<std::string> notes; // about how the files were read

  // What fleetjudge prints for the same two files, and its status; none for
  // a solution in another format, which fleetjudge cannot read.
  bool has_verdict = true;
  std::string verdict;
  int verdict_status = -1; // -1 while the checker's run would still go on
  std::string error;       // why the report cannot judge; empty when it can

  std::vector<Finding> violations; // in the order found
  int64_t kind_count[KIND_COUNT] = {};
  int64_t violations_left_out = 0;

  std::vector<fleetjudge::RouteReport> routes; // as the report gives them, the first ROUTES_KEPT
  std::vector<fleetjudge::Stop> stops;         // as the report gives them, route after route
  size_t route_first_stop = 0;                 // of the route walked now
  int64_t routes_left_out = 0;

  // Over all routes, kept or not.
  // (the distances are the run's own, which the declared cost is held to)
  ext waiting = 0, service = 0;
  int64_t truncated_duration = 0; // tenths
  int64_t rounded_duration = 0;
  bool late[3] = {};     // any stop or return late, in each convention
  bool too_long[3] = {}; // any route above the instance's length limit, in each convention

  // The stops and returns (node 0) that are late in the chosen convention and
  // not in the exact one, or the other way round (with the exact convention
  // chosen, against the truncated one): they decide where the two disagree
  // on feasibility.
  std::vector<Stop> disagreements;
  int64_t disagreements_left_out = 0;

  // During the run, what depends on the convention, for each that may
  // decide: under auto the convention is known only once the declared cost,
  // last in a route list, has been read. judge() then moves the deciding
  // one's lateness among the violations, and its disagreements above.
  struct ByConvention {
    std::vector<Finding> late; // late stops and returns, routes too long: the first VIOLATIONS_KEPT
    std::vector<int64_t> after; // for each: how many other violations came before it
    int64_t late_count[3] = {}; // time_window_missed, depot_closed, route_too_long, kept or not
    std::vector<Stop> disagreements; // with the exact convention; none kept for exact itself
    int64_t disagreements_left_out = 0;
  } by_convention[3];
};

// A report's run and what it recorded. With `keep_stops`, every stop's
// figures are kept (the JSON and the page list them).
struct ReportRun {
  Run run;
  Record record;
  bool keep_stops;
  // The convention whose late stops are listed and decide the status; the
  // other conventions' figures are given beside it. With `automatic`, judge()
  // chooses it: the convention the declared cost matches, else exact.
  Convention convention = Convention::exact;
  bool automatic = true;
  std::string reason; // why the convention decides, once judged
  InstanceChoice instance_choice = InstanceChoice::automatic;
  explicit ReportRun(bool keep_stops, bool reads_files = true);
};

// Whether any node takes time to serve.
inline bool has_service_times(const InstanceData &instance) {
  size_t nodes =
      instance.customer_count < 0
          ? 0
          : std::min(static_cast<size_t>(instance.customer_count) + 1, instance.customers.size());
  for (size_t i = 0; i < nodes; ++i)
    if (instance.customers[i].service != 0) return true;
  return false;
}
// The convention the disagreements are taken against the exact one in.
inline Convention compared(const ReportRun &rep) {
  return rep.convention == Convention::exact ? Convention::truncated : rep.convention;
}
// A whole number of a convention's units (tenths when truncated) as text.
std::string in_convention(int64_t units, Convention c);
// Where the conventions disagree, in a sentence: "route 4, node 885: at
// 200.0446 exact, 200.0 truncated, due 200".
std::string describe_disagreement(const ReportRun &rep, const Stop &s);
// A stop's service start in a convention, as a number; whether it is late.
double start_in(const Stop &s, Convention c);
double arrival_in(const Stop &s, Convention c);
bool late_in(const Stop &s, Convention c);

// Runs the phases on the inputs and records everything. The checker's verdict
// is that of the same run, except on an instance with CR LF line ends, which
// the report reads as LF and the checker does not: then it comes from a
// checker's run of its own, made afterwards on bytes in memory, or alongside
// on a second thread over the one read of files (`in_memory` false).
void judge(ReportRun &rep, Inputs &in, bool in_memory);
// The same against an instance read before: the solution given in `in`, as
// a file or as routes in memory (`in.routes`, a plain list), the checker's
// verdict from a run of its own on the bytes where it reads them otherwise.
void judge_against(ReportRun &rep, const fleetjudge::ReadInstance &instance, Inputs &in);
// The error the report gives for a fault the run met: the fault's message,
// with the file and the line where it stands.
std::string error_text(const Run &run, const char *text);

int64_t customers_served(const ReportRun &rep);
// No violation of a route or instance kind, with times in the convention.
bool feasible(const ReportRun &rep, Convention c = Convention::exact);
int64_t violation_count(const ReportRun &rep); // of listed kinds
int exit_status(const ReportRun &rep);         // 0, 1 or 2

// The convention the instance's set publishes its costs in, told from the
// instance: exact for the classic capacitated sets (decimal coordinates or a
// route length limit) and for pickup and delivery, rounded for the other
// capacitated VRP sets, truncated for the VRPTW.
Convention published_convention(const Run &run);

// A route list's declared cost against the distances: the convention it
// matches within its tolerance (0.01, or half a unit of its last digit), or
// nullptr. Where several match, the one the instance's set is published in.
const char *cost_convention(const ReportRun &rep);
