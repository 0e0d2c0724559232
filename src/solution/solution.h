// Solution verification. The header declares a route count and a total, or
// claims with the count -1 that the instance is infeasible; every further
// non-blank line is one route, driven from the depot at time 0. Every check
// hands what it finds to the consumer (findings.h) and carries on.
#pragma once

#include <cstdint>

#include "../instance/scan.h"
#include "../numeric.h"

constexpr int MAX_L = 10000;

extern int32_t L;      // declared route count
extern ext TotLen;     // declared total
extern bool declared;  // whether the solution declares a count and a total at all
extern int32_t L1;     // routes completed
extern int32_t B;      // last node handled
extern ext total_cost; // running total over all routes: travel, waiting, service

// Reads the header and judges a claim of infeasibility against the screening.
// Returns whether there are routes to walk.
bool check_solution(InputFile &file);

// Walks every remaining non-blank line of the file as a route.
void walk_routes(InputFile &file);

// Walks the route whose customer numbers begin at the cursor.
void walk_route(char *cursor);

// The checks that only the end of the file can decide, then "OK".
void close_checks();

// The figures of each stop and each route, for a listener that wants them
// (the report); the checker leaves both empty.
// Times and distances in the truncated convention are whole tenths: every
// arc cut to one decimal, so its feasibility is exact integer arithmetic.
struct Stop {
  int32_t route, node;
  ext arrival, start, departure; // start: when service begins, after any wait
  int32_t ready, due;
  double load;          // delivered so far on the route, this stop included
  int64_t start_tenths; // when service begins, truncated convention
  bool late, late_truncated;
};
struct RouteFigures {
  int32_t route, customers; // customers: in-range stops
  double load;
  ext distance, waiting, service;
  ext duration; // the return time to the depot
  ext slack;    // the smallest margin to a window's end, the depot's included
  int64_t truncated_distance, truncated_duration; // tenths
  bool late_truncated;                            // any stop or the return
  bool return_late, return_late_truncated;
};
extern void (*on_stop)(const Stop &);
extern void (*on_route)(const RouteFigures &);

// Other solution formats, read by the report: a route list ("Route #1: 7 2",
// and an optional "Cost 123.45" line) and a plain list (every non-blank line a
// route). Neither declares a route count or a total.
enum class SolutionFormat { fleetjudge, routes, plain };

// "Route #k:" on the first non-blank line makes a route list; anything else
// is taken for fleetjudge's format.
SolutionFormat detect_format(const char *path);

struct RouteListNotes {
  int64_t ignored_lines = 0; // in a route list: neither a route nor a cost
  bool has_cost = false;
  double cost = 0;
};
extern RouteListNotes route_list;

// Walks every route of a route list or a plain list. A token that is not a
// customer number is a fault naming its line.
void walk_route_list(InputFile &file, SolutionFormat format);
