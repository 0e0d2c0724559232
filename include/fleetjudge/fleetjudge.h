// fleetjudge as a library: check a VRPTW solution, or report on it, from a
// program of your own.
//
// Every entry works on the files' contents in memory and gives exactly what
// the command-line programs give for files with those contents. Calls are
// independent and thread-safe: any number may run at once, on any threads.
// Nothing is written to standard output or standard error, and no input,
// however malformed, ends the process: it is judged or reported as such.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The entries below are what the shared library exports.
#if defined(__GNUC__)
#define FLEETJUDGE_API __attribute__((visibility("default")))
#else
#define FLEETJUDGE_API
#endif

#define FLEETJUDGE_VERSION_MAJOR 1
#define FLEETJUDGE_VERSION_MINOR 4
#define FLEETJUDGE_VERSION "1.4"

namespace fleetjudge {

// The library's version, as FLEETJUDGE_VERSION says it at build time.
FLEETJUDGE_API const char *version();

struct Verdict {
  int status;         // the exit status: 0 or 1
  std::string output; // the standard output, byte for byte
};

// What `fleetjudge INSTANCE SOLUTION` prints on standard output, and its exit
// status, for two regular files with these contents and these names (the
// names appear only where the checker's messages name a file).
FLEETJUDGE_API Verdict check(std::string_view instance, std::string_view solution,
                             std::string_view instance_name = "instance",
                             std::string_view solution_name = "solution");

// The report's options, with the command line's defaults.
struct ReportOptions {
  std::string solution_format = "auto"; // "auto", "fleetjudge", "routes" or "plain"
  std::string instance_format = "auto"; // "auto", "solomon", "vrplib", "lilim" or "sartori"
  // "auto" (the convention the declared cost matches, else "exact"), "exact",
  // "truncated" or "rounded": whose late stops count.
  std::string convention = "auto";
};

// The document `fleetjudge-report --json` writes for files with these
// contents; "instance.path" and "solution.path" are null. An option with a
// value that does not exist throws std::invalid_argument.
FLEETJUDGE_API std::string report_json(std::string_view instance, std::string_view solution,
                                       const ReportOptions &options = {});

// The same document with the exit status `fleetjudge-report --json` gives:
// 0 when the solution has no violation, 1 when it has, 2 when it cannot be
// judged (the document's "error" says why).
struct ReportResult {
  int status;
  std::string json;
};
FLEETJUDGE_API ReportResult report(std::string_view instance, std::string_view solution,
                                   const ReportOptions &options = {});

// The same for contents read from files with these names: the messages that
// name a file name them, and "instance.path" and "solution.path" hold them,
// as in the document `fleetjudge-report --json` writes for those paths. A
// null name is a file given as bytes: "instance" or "solution" in messages,
// null in the document.
FLEETJUDGE_API ReportResult report(std::string_view instance, std::string_view solution,
                                   const ReportOptions &options, const char *instance_name,
                                   const char *solution_name);

// ---------------------------------------------------------------------------
// The model: an instance read once, any number of solutions judged against
// it in memory, and the report as a value.

// An input the library refuses, with the message the report's "error" gives
// (file and line).
struct FLEETJUDGE_API InputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct InstanceOptions {
  std::string format = "auto"; // "auto", "solomon", "vrplib", "lilim" or "sartori"
};

// A node of an instance as it was read: the depot is node 0. Coordinates
// are NaN where the instance gives leg lengths instead; without windows
// (the capacitated VRP) `due` is the largest int.
struct Node {
  double x, y;
  int demand, ready, due, service;
  // With pickups and deliveries: the request's other task, and whether this
  // node is its pickup. pair is 0 for the depot and without requests.
  int pair = 0;
  bool pickup = false;
};

struct ReadInstance; // the library's own

// An instance, read once. Immutable and cheap to copy (it shares its data);
// any number of threads may judge against one Instance at once. It keeps its
// own copy of the bytes it was read from, made once and shared by all copies
// of the Instance, for the checker's verdict and for callers that pass it on.
class FLEETJUDGE_API Instance {
public:
  // Throws InputError where the report refuses the instance, and
  // std::invalid_argument for a format that does not exist. name: the path,
  // for messages and "instance.path"; null for bytes that have none.
  static Instance read(std::string_view bytes, const InstanceOptions &options = {},
                       const char *name = nullptr);
  static Instance load(const std::string &path, const InstanceOptions &options = {});

  std::string_view bytes() const;
  const char *path() const;        // as given to read() or load(); null for none
  const std::string &name() const; // the instance's own: its first line, or its NAME
  const char *type() const;        // "VRPTW", "CVRP" without windows, "PDPTW" with requests
  const char *format() const;      // "solomon", "vrplib", "lilim" or "sartori"
  int64_t customers() const;
  double capacity() const;
  std::optional<int> vehicles() const; // none: the fleet is unlimited
  Node node(int64_t number) const;     // 0 to customers(); std::out_of_range beyond

  const std::shared_ptr<const ReadInstance> &data() const { return data_; } // the library's own

private:
  friend struct ReadInstance;
  std::shared_ptr<const ReadInstance> data_;
};

// Customer numbers as solution files write them, depot excluded (in a VRPLIB
// file, customer k is node k+1).
using Route = std::vector<int>;

// What `fleetjudge-report --json` holds, as values, with the document's
// structure and names (fleetjudge-report(1) describes each), and what its
// text and its page show besides. Strings hold the bytes as read; the
// document writes them as Latin-1 characters.
struct Stop {
  int node;
  double arrival, start, departure; // start: when service begins, after any wait
  int ready;
  std::optional<int> due; // none without windows
  double load;            // delivered so far on the route, this stop included; with
                          // pickups and deliveries, on board as the vehicle leaves
  int route, position;    // its route, and its place there among the customers served
  bool late;              // in the exact convention
  double late_by;         // how late, where late
  // With pickups and deliveries: the request's other task, and whether this
  // stop is its pickup or its delivery. pair is 0 without requests.
  int pair = 0;
  bool pickup = false;
};
// A route's or the solution's figures in the truncated convention (every
// leg cut to one decimal) or the rounded one (every leg rounded).
struct ConventionFigures {
  double distance = 0, duration = 0;
  std::optional<double> length; // where the instance limits a route's length
  bool feasible = true;
  bool too_long = false; // above that limit
};
struct RouteReport {
  int route;          // its number, from 1
  int64_t served = 0; // customers served, in range, listed among the stops or not
  // Its stops in the report's `stops`: the customers in visiting order.
  size_t first_stop = 0, stop_count = 0;
  double load, distance, waiting, service, duration;
  std::optional<double> slack; // none without windows
  std::optional<double> length;
  bool feasible; // in the exact convention
  bool too_long = false, return_late = false;
  ConventionFigures truncated, rounded;
  int64_t stops_left_out = 0;
};
// One of a violation's figures, under its name in the document.
struct Figure {
  std::string name;
  double value;
  bool whole; // written as an integer
};
struct FLEETJUDGE_API Violation {
  std::string kind;            // "time_window_missed", ...
  std::optional<int> route;    // none for the solution as a whole
  std::optional<int> position; // from 1, of the customer in its route as given; none without a stop
  std::optional<int64_t> node; // none where the violation names no node
  std::vector<Figure> figures; // in the document's order
  std::optional<double> figure(std::string_view name) const;
  // For a person: one sentence, a short label for a map, and how bad it is
  // against the others of its kind (how late, how far over).
  std::string sentence, label;
  double badness = 0;
};
struct KindCount {
  std::string kind;
  int64_t count; // listed or not
};
struct Decision {
  std::string convention; // the convention that decides: "exact", "truncated" or "rounded"
  bool feasible;
  std::string reason;
};
struct DeclaredCost {
  double value;
  std::optional<std::string> matches; // the convention it matches
  double tolerance;
};
struct Summary {
  int vehicles;
  int64_t customers_served;
  double distance, duration, waiting, service; // exact
  bool feasible;                               // in the exact convention
  ConventionFigures truncated, rounded;
  std::string convention;
  Decision decision;
  std::optional<int> declared_routes;
  std::optional<double> declared_total;
  std::optional<DeclaredCost> declared_cost;
};
struct RouteLimitReport {
  std::string key;
  double value;
  std::string counts;     // "travel" or "travel and service"
  std::string value_text; // the limit in extended precision, as the text shows it
};
struct InstanceReport {
  std::optional<std::string> path;
  std::string name;
  int64_t customers;
  double capacity;
  std::optional<int> vehicles;
  std::string format, type;
  std::optional<RouteLimitReport> route_limit;
  bool has_nodes = false;     // read as far as its nodes, even where it stops after them
  bool coordinates = true;    // its nodes have coordinates
  bool matrix = false;        // its legs' lengths are given by a matrix
  bool service_times = false; // any node takes time to serve
};
struct SolutionReport {
  std::optional<std::string> path;
  std::string format; // "fleetjudge", "routes" or "plain"
};
struct CheckerVerdict {
  std::optional<int> status; // none where fleetjudge cannot read the files
  std::optional<std::string> message;
};
struct Report {
  int status = 2; // 0: no violation; 1: violations; 2: cannot be judged
  int schema = 2;
  InstanceReport instance;
  SolutionReport solution;
  std::vector<std::string> notes;
  CheckerVerdict verdict;
  std::optional<std::string> error;
  std::optional<Summary> summary; // none where the solution cannot be judged
  std::vector<RouteReport> routes;
  int64_t routes_left_out = 0;
  std::vector<Stop> stops; // every kept route's stops, route after route
  std::vector<Violation> violations;
  int64_t violations_left_out = 0;

  // Beyond the document, for the text and the page.
  std::string convention;                 // whose figures decide, also where nothing is judged
  std::vector<KindCount> counts;          // each kind found, the worst kind first
  std::vector<std::string> disagreements; // stops late in one convention and not the other
  int64_t disagreements_left_out = 0;
  std::vector<int64_t> unvisited; // customers no route serves
  Instance judged_against;        // the instance, for its nodes
};

// A route's stops, in the report they belong to: for (const Stop &s :
// stops_of(report, route)).
struct StopRange {
  const Stop *first, *last;
  const Stop *begin() const { return first; }
  const Stop *end() const { return last; }
  size_t size() const { return static_cast<size_t>(last - first); }
  const Stop &operator[](size_t i) const { return first[i]; }
};
inline StopRange stops_of(const Report &report, const RouteReport &route) {
  const Stop *first = report.stops.data() + route.first_stop;
  return StopRange{first, first + route.stop_count};
}

// The solution's routes in memory, as a plain list of them would give it.
FLEETJUDGE_API Report judge(const Instance &instance, const std::vector<Route> &routes,
                            const ReportOptions &options = {});
// A solution file's bytes, in any format the report reads.
FLEETJUDGE_API Report judge(const Instance &instance, std::string_view solution,
                            const ReportOptions &options = {}, const char *solution_name = nullptr);
// The document `fleetjudge-report --json` writes.
FLEETJUDGE_API std::string to_json(const Report &report);

} // namespace fleetjudge
