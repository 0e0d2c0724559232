// One run of the rules: what a check or a report knows while it reads an
// instance and judges a solution, in one record that the phases hand on.
//
// The instance is either read by this run (`own_instance`) or was read
// before and is shared (an Instance of the library): the solution's phases
// see it only through `instance`, read-only. Nothing outside a Run changes
// while it works: any number of runs may go on at once, on as many threads.
// A run is used once; a fresh run starts fresh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "findings.h"
#include "instance/instance_data.h"
#include "instance/scan.h"
#include "solution/route_list.h"

constexpr int LINE_LEN = 100000;

struct Run {
  Consumer consumer; // who listens to what the rules find
  // A fault, or the checker's verdict: every reader and phase winds down.
  bool stopped = false;

  // The line buffer, shared by both files, and the cursor into it; none for
  // a run that reads no file (a judgement of routes in memory).
  PageBuffer line_buffer;
  char *line = nullptr;
  char *cursor = nullptr;

  // The instance this run reads, and the one it judges against.
  InstanceData own_instance;
  const InstanceData *instance = &own_instance;
  bool fixed_table = true; // the checker's limit of MAX_N nodes, or the report's growing table
  std::vector<PendingNode> pending;   // node lines beyond the table so far (the report's)
  bool seen_cr = false;               // a header line held a carriage return
  std::string fault_as_written;       // the next fault's message with its number as written
  bool instance_read = false;         // the instance was read whole
  const InputFile *reading = nullptr; // the file read last, for where a fault stands

  // The solution.
  int32_t declared_routes = 0; // -1: a claim that the instance is infeasible
  ext declared_total = 0;
  bool declared = true; // whether the solution declares a count and a total at all
  int32_t routes_done = 0;
  int32_t last_node = 0; // the node the current route reached last
  ext total_cost = 0;    // running total over all routes: travel, waiting, service
  // The distance over all routes in each convention, where the consumer
  // wants figures: a route list's declared cost is held to them.
  ext distance = 0;
  int64_t distance_tenths = 0, distance_rounded = 0;
  bool total_passed = false, count_passed = false; // reported once each
  RouteListNotes route_list;
  std::vector<int32_t> visits; // how often the routes reached each node
  // Where each customer was served first, for a consumer that wants figures
  // and for the requests of a pickup and delivery instance: position among
  // the route's stops, and among its customer numbers as written.
  struct Visit {
    int32_t route, position, written;
  };
  std::vector<Visit> first_visit;

  // `fixed`: the checker's table of MAX_N nodes; else the report's, which
  // grows with the instance.
  Run(Consumer c, bool fixed, bool reads_files = true) : consumer(c), fixed_table(fixed) {
    if (reads_files) line = cursor = page_aligned(line_buffer, LINE_LEN);
    if (fixed) own_instance.customers.assign(MAX_N, Customer{});
  }
  Run(const Run &) = delete;
  Run &operator=(const Run &) = delete;
};

// Input that cannot be read any further: the readers wind down at once.
void fault(Run &r, const char *message);

inline void say(Run &r, const char *text) { r.consumer.say(r.consumer.context, text); }
inline void found(Run &r, const Finding &f) { r.consumer.found(r.consumer.context, f); }
inline void end_verdict(Run &r, int status) { r.consumer.end(r.consumer.context, status); }
