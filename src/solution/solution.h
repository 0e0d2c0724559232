// Solution verification. The header declares a route count and a total, or
// claims with the count -1 that the instance is infeasible; every further
// non-blank line is one route, driven from the depot at time 0. The first
// violation ends the run; a solution that survives the closing checks is "OK".
#pragma once

#include <cstdint>

#include "../instance/scan.h"
#include "../numeric.h"

constexpr int MAX_L = 10000;

extern int32_t L;      // declared route count
extern ext TotLen;     // declared total
extern int32_t L1;     // routes completed
extern int32_t B;      // last node handled
extern ext total_cost; // running total over all routes: travel, waiting, service

// Reads the header and judges a claim of infeasibility against the screening;
// returns only when the routes are to be walked.
void check_solution(InputFile &file);

// Walks every remaining non-blank line of the file as a route.
void walk_routes(InputFile &file);

// The checks that only the end of the file can decide; ends the run.
[[noreturn]] void close_checks();
