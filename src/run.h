// One run of the rules: everything a check or a report knows while it reads
// an instance and a solution, in one record that the phases hand on.
//
// The short names (`n`, `TCap`, `L`, `TotLen`, `L1`, `B`, `Remainig_Cap` in
// the walk, `ohneline`) are kept on purpose: they are the names the checker's
// rules have always been stated in, misspelling included, so that each rule
// reads as it is written down.
//
// Nothing outside a Run changes while it works: any number of runs may go on
// at once, on as many threads. A run is used once; a fresh run starts fresh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "findings.h"
#include "instance/node_table.h"
#include "instance/scan.h"
#include "solution/route_list.h"

constexpr int LINE_LEN = 100000;

// The largest length a route may have, exactly: `billionths` of a unit.
// VRPLIB's DISTANCE counts a route's travel and the service times of its
// customers; VEHICLES_MAX_DISTANCE the travel alone.
struct RouteLimit {
  bool set = false;
  bool with_service = false;
  int64_t billionths = 0;
  ext value = 0;   // the nearest extended value, for the figures shown
  std::string key; // as the instance names it
};

struct Run {
  Consumer consumer; // who listens to what the rules find
  // A fault, or the checker's verdict: every reader and phase winds down.
  bool input_failed = false;

  // The line buffer, shared by both files, and the cursor into it.
  PageBuffer line_buffer;
  char *line = page_aligned(line_buffer, LINE_LEN);
  char *ohneline = line;

  // The instance. The checker's table has MAX_N records from the start; the
  // report's grows with the node lines read (reader.h).
  std::vector<Customer> customers;
  int64_t n = -1;            // index of the last node; -1 while none was read
  double TCap = 0;           // vehicle capacity
  int32_t vehicles = 0;      // the fleet; the checker never holds a solution to it
  std::string instance_name; // the file's first line
  bool fixed_table = true;   // the checker's limit of MAX_N nodes, or the report's growing table
  std::vector<PendingNode> pending; // node lines beyond the table so far (the report's)
  bool seen_cr = false;             // a header line held a carriage return
  bool vrplib = false;              // read from a VRPLIB file, which the checker does not read
  bool windows = true;              // the capacitated VRP has none: every window is [0, +inf)
  bool fleet_limited = true;        // a VRPLIB file without VEHICLES leaves the fleet unlimited
  bool coordinates = true;          // the nodes have coordinates, to draw them by
  Weights weights;                  // leg lengths given by the instance, if any
  DecimalPlaces decimal_places;     // coordinates with decimals, if any
  RouteLimit route_limit;           // the longest a route may be, if limited
  std::vector<std::string> notes;   // how the instance was read, for the report
  std::string fault_as_written;     // the next fault's message with its number as written
  int infeasible = 0;               // 1 once the screening listed a customer

  // The solution.
  int32_t L = 0;        // declared route count
  ext TotLen = 0;       // declared total
  bool declared = true; // whether the solution declares a count and a total at all
  int32_t L1 = 0;       // routes completed
  int32_t B = 0;        // last node handled
  ext total_cost = 0;   // running total over all routes: travel, waiting, service
  bool total_passed = false, count_passed = false; // reported once each
  RouteListNotes route_list;
  // Where each customer was served first, for a consumer that wants figures.
  struct Visit {
    int32_t route, position;
  };
  std::vector<Visit> first_visit;
  bool instance_read = false;         // the instance was read whole
  const InputFile *reading = nullptr; // the file read last, for where a fault stands

  // `fixed`: the checker's table of MAX_N nodes; else the report's, which
  // grows with the instance.
  Run(Consumer c, bool fixed) : consumer(c), fixed_table(fixed) {
    if (fixed) customers.assign(MAX_N, Customer{});
  }
  Run(const Run &) = delete;
  Run &operator=(const Run &) = delete;
};

// The length of the leg from node a to node b, which is also its travel
// time: as the instance gives it, or from the coordinates, whole or with
// decimals.
inline ext leg(const Run &r, int64_t a, int64_t b) {
  const Weights &w = r.weights;
  // Whole coordinates, the checker's only case, with one test on its way.
  if (__builtin_expect((w.size | r.decimal_places.decimals) == 0, 1))
    return distance(r.customers[a], r.customers[b]);
  if (w.size) return w.exact[a * w.size + b];
  return decimal_distance(r.decimal_places, a, b);
}
// In tenths, every leg cut to one decimal.
inline int64_t leg_tenths(const Run &r, int64_t a, int64_t b) {
  const Weights &w = r.weights;
  if (w.size) return w.tenths[a * w.size + b];
  if (r.decimal_places.decimals) return decimal_distance_tenths(r.decimal_places, a, b);
  return distance_tenths(r.customers[a], r.customers[b]);
}
// Every leg rounded to the nearest integer.
inline int64_t leg_rounded(const Run &r, int64_t a, int64_t b) {
  const Weights &w = r.weights;
  if (w.size) return w.rounded[a * w.size + b];
  if (r.decimal_places.decimals) return decimal_distance_rounded(r.decimal_places, a, b);
  return distance_rounded(r.customers[a], r.customers[b]);
}

// Input that cannot be read any further: the readers wind down at once.
void fault(Run &r, const char *message);

inline void say(Run &r, const char *text) { r.consumer.say(r.consumer.context, text); }
inline void found(Run &r, const Finding &f) { r.consumer.found(r.consumer.context, f); }
inline void end_verdict(Run &r, int status) { r.consumer.end(r.consumer.context, status); }
