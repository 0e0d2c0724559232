// What the rules find, and who listens.
//
// Every rule hands what it finds to the one consumer that the program's driver
// installs, as a compiler's checks hand diagnostics to its engine. The checker's
// consumer prints each message and ends the run at the first violation; the
// report's consumer records everything and goes on. A rule never knows which
// one listens: after reporting, it carries on as if the run continued, and
// returns to its caller only in a state the next phase can work with.
#pragma once

#include <cstdint>

#include "numeric.h"

enum class Kind : uint8_t {
  // The instance's screening, one per customer.
  no_demand,
  unreachable_customer,
  cannot_return,
  demand_too_big,
  // The routes.
  customer_out_of_range,
  visited_twice,
  not_visited,
  capacity_exceeded,  // value: load, limit: capacity
  time_window_missed, // value: arrival, limit: due, excess: lateness
  depot_closed,       // value: return time, limit: closing time, excess: lateness
  too_many_vehicles,  // declared: the instance's vehicles, found: routes
  // What the solution declares.
  too_many_routes, // declared, found
  too_few_routes,
  no_routes,
  total_above_declared, // value: computed, limit: declared, excess: difference
  total_below_declared,
  claimed_infeasible_wrongly,
  claimed_feasible_wrongly,
  cost_mismatch, // a route list's declared cost: value; exact and truncated distances: limit,
                 // excess
  // The running total passing the declared one on the way, at a customer or
  // on a return, and the route count passing the declared one: the checker
  // stops there; the report judges the total and the count once, at the end.
  running_total_at_customer,
  running_total_at_return,
  running_route_count,
};
constexpr int KIND_COUNT = static_cast<int>(Kind::running_route_count) + 1;

struct Finding {
  Kind kind;
  int32_t route = 0; // from 1; 0 when the finding belongs to no route
  int64_t node = -1; // -1 when it belongs to no node
  ext value = 0, limit = 0, excess = 0;
  int64_t declared = 0, found = 0;
};

// The kind's name, which is also its name in the report's JSON; nullptr for
// the running kinds, which the report does not list.
const char *kind_name(Kind kind);

// Whether the kind ends the checker's run. The screening lists and the fleet
// size do not: the checker goes on past them, or never looks.
bool ends_check(Kind kind);

// Whether the kind is about what the solution declares rather than about its
// routes or the instance: these leave a solution feasible.
bool is_declared(Kind kind);

// The checker's message for a finding that ends its run: the text it prints.
const char *message(const Finding &finding);

struct Consumer {
  void (*say)(const char *text);      // the checker's output besides messages, in order
  void (*found)(const Finding &);     // a violation, or a screening entry
  void (*fault)(const char *message); // input that cannot be read any further
  void (*end)(int status);            // the checker's verdict is complete
};
extern Consumer consumer;

inline void say(const char *text) { consumer.say(text); }
inline void found(const Finding &finding) { consumer.found(finding); }

// Input that cannot be read any further: the readers wind down at once and
// the driver stops after the phase (the checker's consumer never returns).
void fault(const char *message);
extern bool input_failed;
inline void end_verdict(int status) { consumer.end(status); }
