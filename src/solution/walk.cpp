#include <cstdio>

#include "../instance/node_table.h"
#include "../report.h"
#include "solution.h"

int32_t B = 0;

// Every time and total below stays in extended precision from leg to leg;
// all comparisons are strict, so meeting a window's end, the depot's closing
// time or the declared total plus epsilon exactly is allowed.

static void visit(int32_t i, double &Remainig_Cap, int32_t &A, ext &one_route_time) {
  int32_t route = L1 + 1;
  if (i > n || i < 1) {
    std::printf("on route %d customer index %d out of range\n", route, i);
    fatal();
  }
  A = B;
  B = i;
  const Customer &c = customers[B];
  if (++customers[B].visits > 1) {
    std::printf("customer %d visited more than once \n", B);
    fatal();
  }
  Remainig_Cap -= static_cast<double>(c.demand);
  if (Remainig_Cap < 0) {
    std::printf("on route %d truck capacity exceeded at node %d\n", route, B);
    fatal();
  }
  ext edgelen = distance(A, B);
  one_route_time += edgelen;
  total_cost += edgelen;
  ext wait_time = one_route_time >= c.ready ? 0 : c.ready - one_route_time;
  one_route_time += wait_time;
  total_cost += wait_time;
  // The declared total is checked before the window of the same customer.
  if (total_cost > TotLen + epsilon) {
    char total[EXT_TEXT], declared[EXT_TEXT];
    format_ext(total, total_cost);
    format_ext(declared, TotLen);
    std::printf("travel time longer than declared \nup to route %d node %d time is %s"
                " while declared total %s\n",
                route, B, total, declared);
    fatal();
  }
  if (one_route_time > c.due) {
    char time[EXT_TEXT];
    format_ext(time, one_route_time);
    std::printf("on route %d node %d visited at time %s"
                " which is greater than the end of time window %d\n",
                route, B, time, c.due);
    fatal();
  }
  total_cost += c.service;
  one_route_time += c.service;
}

static void return_to_depot(ext &one_route_time) {
  int32_t route = L1 + 1;
  ext edgelen = distance(B, 0);
  total_cost += edgelen;
  one_route_time += edgelen;
  if (total_cost > TotLen + epsilon) {
    char total[EXT_TEXT], declared[EXT_TEXT];
    format_ext(total, total_cost);
    format_ext(declared, TotLen);
    std::printf("traveled distance cost longer than declared \nup to route %d returning from node "
                "%d to depot distance is %s while declared %s\n",
                route, B, total, declared);
    fatal();
  }
  if (one_route_time > customers[0].due) {
    char time[EXT_TEXT];
    format_ext(time, one_route_time);
    std::printf("on route %d node %d visited at time %s"
                " which is greater than the end of depot time window end %d\n",
                route, B, time, customers[0].due);
    fatal();
  }
  if (++L1 > L) {
    std::printf("too many routes, declared %d while found %d\n", L, L1);
    fatal();
  }
}

// Drives one route line from the cursor: customer numbers up to the end of
// the line or the first token that is not a number, then back to the depot.
static void walk_route() {
  double Remainig_Cap = TCap;
  int32_t A = 0;
  B = 0;
  ext one_route_time = 0;
  int32_t i;
  for (char *number; (number = scan_int(ohneline, i)) != nullptr; ohneline = bf(number))
    visit(i, Remainig_Cap, A, one_route_time);
  return_to_depot(one_route_time);
}

void walk_routes(InputFile &file) {
  while (!at_end(file)) {
    read_line(file);
    ohneline = rmblanc(ohneline);
    if (*ohneline != '\0') walk_route();
  }
}
