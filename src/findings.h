// What the rules find, and who listens.
//
// Every rule hands what it finds to the run's consumer, as a compiler's checks
// hand diagnostics to its engine. The checker's consumer keeps each message
// and ends the run at the first violation; the report's consumer records
// everything and goes on. A rule never knows which one listens: after
// reporting, it carries on as if the run continued, and returns to its caller
// only in a state the next phase can work with.
#pragma once

#include <cstdint>
#include <string>

#include "numeric.h"

enum class Kind : uint8_t {
  // The instance's screening, one per customer.
  no_demand,
  unreachable_customer,
  cannot_return,
  demand_too_big,
  // The routes.
  customer_out_of_range,
  visited_twice, // declared, found: the route and position (from 1) that served it first
  not_visited,
  // The requests of a pickup and delivery instance, judged on each task's
  // first visit: route and position are the served task's.
  partner_missing,        // node: the task served; declared: its partner, not served
  pair_split,             // node: the pickup; declared: its delivery; found: the delivery's route
  delivery_before_pickup, // node: the delivery; declared: its pickup; found: the pickup's position
  capacity_exceeded,      // value: load, limit: capacity
  time_window_missed,     // arrival: before any wait; value: service start, limit: due,
                          // excess: lateness
  depot_closed,           // value: return time, limit: closing time, excess: lateness
  route_too_long,    // value: the route's length, limit: the instance's, excess: the difference
  too_many_vehicles, // declared: the instance's vehicles, found: routes
  // What the solution declares.
  too_many_routes, // declared, found
  too_few_routes,
  no_routes,
  total_above_declared, // value: computed, limit: declared, excess: difference
  total_below_declared,
  claimed_infeasible_wrongly,
  claimed_feasible_wrongly,
  cost_mismatch, // value: a route list's declared cost; limit: exact distance;
                 // excess: truncated distance in tenths; found: rounded distance;
                 // arrival: how far off the cost may be
  // The running total passing the declared one on the way, at a customer or
  // on a return, and the route count passing the declared one: the checker
  // stops there; the report judges the total and the count once, at the end.
  running_total_at_customer,
  running_total_at_return,
  running_route_count,
  // Instances beyond the checker's table of MAX_N nodes: a node number from
  // MAX_N on (node), more than MAX_N node lines. The checker stops there; the
  // report's table grows and reads on.
  beyond_checker_node_number,
  beyond_checker_node_count,
};
constexpr int KIND_COUNT = static_cast<int>(Kind::beyond_checker_node_count) + 1;
constexpr int LISTED_KINDS = KIND_COUNT - 5; // all but the running and the checker's limits

struct Finding {
  Kind kind;
  int32_t route = 0; // from 1; 0 when the finding belongs to no route
  int64_t node = -1; // -1 when it belongs to no node
  ext value = 0, limit = 0, excess = 0;
  int64_t declared = 0, found = 0;
  ext arrival = 0;
  int32_t position = 0; // from 1, of the customer in its route as written; 0 without a stop
};

// printf into a string, for short texts (up to 511 characters).
__attribute__((format(printf, 1, 2))) std::string format(const char *fmt, ...);
// The shortest text that reads back as the same double.
std::string shortest(double v);

// Everything known of a kind, from one table (findings.cpp). The table holds
// its texts, not pointers to them, so that it is read-only data wherever the
// library is loaded.
enum class Args : uint8_t { // what a text's conversions take, in order
  none,
  node,                   // node
  route_node,             // route, node
  route_node_times,       // route, node, then value, limit, excess as times
  route_node_counts,      // route, node, declared, found
  route_node_declared,    // route, node, declared
  counts,                 // declared, found
  figures,                // value, limit, excess as numbers
  cost,                   // value, limit, excess / 10 as numbers, found, arrival as a tolerance
  route_figures,          // route, then value, limit, excess as numbers
  node_excess_route,      // node, excess, route
  route_excess,           // route, excess
  node_value_limit_route, // node, value, limit, route
  node_name,              // node, the kind's name
};
enum class Badness : uint8_t { none, excess, distance_off, overload };
// What a kind is, for whoever treats kinds alike: one bit each.
namespace trait {
constexpr uint8_t late = 1;           // a stop or a return after its window
constexpr uint8_t by_convention = 2;  // judged in each convention's own arithmetic
constexpr uint8_t route_fault = 4;    // breaks its route, on whatever clock (not lateness)
constexpr uint8_t whole_solution = 8; // about the solution as a whole: no route, no node
constexpr uint8_t exact_only = 16;    // the screening's, in exact distances only
constexpr uint8_t cost = 32;     // a route list's declared cost: figures in tenths, a tolerance
constexpr uint8_t summed = 64;   // a route's later ones are summed up under its first
constexpr uint8_t off_map = 128; // names a node the instance does not have
} // namespace trait
struct KindInfo {
  Kind kind;
  char name[28];   // also its name in the report's JSON; empty for the running kinds
  bool ends_check; // the checker stops at it (not at screening lists or the fleet size)
  bool declared;   // about what the solution declares: it leaves a solution feasible
  int8_t rank;     // place in the report's lists, the worst first; -1 when not listed
  // The checker's message, byte for byte; empty for the kinds it never prints.
  Args message_args;
  char message[144];
  // One sentence for a person, under the kind's heading in the report.
  Args sentence_args;
  char sentence[96];
  // How bad one finding of the kind is, to list the worst first.
  Badness badness;
  // The JSON names of the figures the kind carries; empty where it has none.
  // A limit that is a window's end is a whole number.
  char value_name[16], limit_name[16], excess_name[16], declared_name[16], found_name[16];
  char arrival_name[8];
  bool whole_limit;
  uint8_t traits;
  // A short label for a map beside the node.
  Args label_args;
  char label[40];
};
const KindInfo &kind_info(Kind kind);
inline const char *kind_name(Kind kind) { return kind_info(kind).name; }
inline bool ends_check(Kind kind) { return kind_info(kind).ends_check; }
inline bool is_declared(Kind kind) { return kind_info(kind).declared; }
inline bool is_listed(Kind kind) { return kind_info(kind).rank >= 0; }
inline bool has_trait(Kind kind, uint8_t trait) { return (kind_info(kind).traits & trait) != 0; }
std::string message(const Finding &f);
std::string describe(const Finding &f);
std::string map_label(const Finding &f);
ext badness(const Finding &f);
// The listed kinds in the order of their rank.
struct KindOrder {
  Kind kinds[LISTED_KINDS];
  const Kind *begin() const { return kinds; }
  const Kind *end() const { return kinds + LISTED_KINDS; }
};
extern const KindOrder kinds_worst_first;

// The figures of each stop and each route, for a consumer that wants them
// (the report); the checker's walk skips them.
// Times and distances in the truncated convention are whole tenths, in the
// rounded one whole numbers: every arc cut to one decimal, or rounded to the
// nearest integer, so their feasibility is exact integer arithmetic.
struct Stop {
  int32_t route, node;
  int32_t position;         // from 1, among the route's customers in range
  int32_t written_position; // from 1, among all the route's customer numbers as written
  // As doubles, each rounded once from the walk's extended clock: start is
  // when service begins, after any wait; late_by how late it begins, where late.
  double arrival, start, departure, late_by;
  int32_t ready, due;
  double load;                            // delivered so far on the route, this stop included
  int64_t arrival_tenths, start_tenths;   // truncated convention
  int64_t arrival_rounded, start_rounded; // rounded convention
  bool late, late_truncated, late_rounded;
};
struct RouteFigures {
  int32_t route, customers; // customers: in-range stops
  double load;
  ext distance, waiting, service;
  ext duration; // the return time to the depot
  ext slack;    // the smallest margin to a window's end, the depot's included
  int64_t truncated_distance, truncated_duration; // tenths
  int64_t rounded_distance, rounded_duration;
  bool late, late_truncated, late_rounded; // any stop or the return, in each convention
  bool return_late, return_late_truncated, return_late_rounded;
  // Under a route length limit: the length it counts (the travel, with the
  // service times where the limit counts them), and whether it is above.
  ext length;
  int64_t truncated_length, rounded_length; // tenths; whole units
  bool too_long, too_long_truncated, too_long_rounded;
};

// Who listens, with its own context. A consumer that ends the run (the
// checker's) sets the run's `stopped`, which every phase tests.
struct Consumer {
  void *context = nullptr;
  void (*say)(void *, const char *text) = nullptr;      // the checker's output besides messages
  void (*found)(void *, const Finding &) = nullptr;     // a violation, or a screening entry
  void (*fault)(void *, const char *message) = nullptr; // input that cannot be read any further
  void (*end)(void *, int status) = nullptr;            // the checker's verdict is complete
  void (*on_stop)(void *, const Stop &) = nullptr;      // figures, when wanted
  void (*on_route)(void *, const RouteFigures &) = nullptr;
};
