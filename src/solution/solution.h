// Solution verification. The header declares a route count and a total, or
// claims with the count -1 that the instance is infeasible; every further
// non-blank line is one route, driven from the depot at time 0. Every check
// hands what it finds to the run's consumer (findings.h) and carries on.
#pragma once

#include "../instance/scan.h"
#include "route_list.h"

#include <vector>

struct Run;

constexpr int MAX_L = 10000;

// Reads the header and judges a claim of infeasibility against the screening.
// Returns whether there are routes to walk.
bool check_solution(Run &r, InputFile &file);

// Walks every remaining non-blank line of the file as a route.
void walk_routes(Run &r, InputFile &file);

// Walks the route whose customer numbers begin at the cursor.
void walk_route(Run &r, char *cursor);

// Walks every route of a route list or a plain list. A token that is not a
// customer number is a fault naming its line.
void walk_route_list(Run &r, InputFile &file, SolutionFormat format);

// Walks routes given in memory as a plain list of them: customer numbers, an
// empty route skipped as a blank line is.
void walk_routes_in_memory(Run &r, const std::vector<std::vector<int>> &routes);

// The checks that only the end of the file can decide, then "OK".
void close_checks(Run &r);
