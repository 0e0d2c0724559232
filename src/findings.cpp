#include "findings.h"

#include <cstdio>

Consumer consumer;
bool input_failed = false;

void fault(const char *message) {
  input_failed = true;
  consumer.fault(message);
}

namespace {
struct KindInfo {
  const char *name;
  bool ends_check, declared;
};
// In the order of Kind.
constexpr KindInfo kinds[KIND_COUNT] = {
    {"no_demand", true, false},
    {"unreachable_customer", false, false},
    {"cannot_return", false, false},
    {"demand_too_big", false, false},
    {"customer_out_of_range", true, false},
    {"visited_twice", true, false},
    {"not_visited", true, false},
    {"capacity_exceeded", true, false},
    {"time_window_missed", true, false},
    {"depot_closed", true, false},
    {"too_many_vehicles", false, false},
    {"too_many_routes", true, true},
    {"too_few_routes", true, true},
    {"no_routes", true, true},
    {"total_above_declared", true, true},
    {"total_below_declared", true, true},
    {"claimed_infeasible_wrongly", true, true},
    {"claimed_feasible_wrongly", true, true},
    {"cost_mismatch", true, true},
    {nullptr, true, true},
    {nullptr, true, true},
    {nullptr, true, true},
};
const KindInfo &info(Kind kind) { return kinds[static_cast<int>(kind)]; }
} // namespace

const char *kind_name(Kind kind) { return info(kind).name; }
bool ends_check(Kind kind) { return info(kind).ends_check; }
bool is_declared(Kind kind) { return info(kind).declared; }

const char *message(const Finding &f) {
  static char text[512];
  char value[EXT_TEXT], limit[EXT_TEXT], excess[EXT_TEXT];
  format_ext(value, f.value);
  format_ext(limit, f.limit);
  format_ext(excess, f.excess);
  long long node = f.node, declared = f.declared, found = f.found;
  switch (f.kind) {
  case Kind::no_demand:
    std::snprintf(text, sizeof text, "something wrong with data, customer %llddemands nothing?",
                  node);
    break;
  case Kind::customer_out_of_range:
    std::snprintf(text, sizeof text, "on route %d customer index %lld out of range\n", f.route,
                  node);
    break;
  case Kind::visited_twice:
    std::snprintf(text, sizeof text, "customer %lld visited more than once \n", node);
    break;
  case Kind::not_visited:
    std::snprintf(text, sizeof text, "customer %lld not visited\n", node);
    break;
  case Kind::capacity_exceeded:
    std::snprintf(text, sizeof text, "on route %d truck capacity exceeded at node %lld\n", f.route,
                  node);
    break;
  case Kind::time_window_missed:
    std::snprintf(text, sizeof text,
                  "on route %d node %lld visited at time %s which is greater than the end of "
                  "time window %s\n",
                  f.route, node, value, limit);
    break;
  case Kind::depot_closed:
    std::snprintf(text, sizeof text,
                  "on route %d node %lld visited at time %s which is greater than the end of "
                  "depot time window end %s\n",
                  f.route, node, value, limit);
    break;
  case Kind::running_route_count:
  case Kind::too_many_routes:
    std::snprintf(text, sizeof text, "too many routes, declared %lld while found %lld\n", declared,
                  found);
    break;
  case Kind::too_few_routes:
    std::snprintf(text, sizeof text, "too few routes, declared %lldwhile found %lld\n", declared,
                  found);
    break;
  case Kind::no_routes:
    std::snprintf(text, sizeof text, "found  no routes\n");
    break;
  case Kind::running_total_at_customer:
    std::snprintf(text, sizeof text,
                  "travel time longer than declared \nup to route %d node %lld time is %s while "
                  "declared total %s\n",
                  f.route, node, value, limit);
    break;
  case Kind::running_total_at_return:
  case Kind::total_above_declared:
    std::snprintf(text, sizeof text,
                  "traveled distance cost longer than declared \nup to route %d returning from "
                  "node %lld to depot distance is %s while declared %s\n",
                  f.route, node, value, limit);
    break;
  case Kind::total_below_declared:
    std::snprintf(text, sizeof text,
                  "total cost smaller than declared \nup to route %d returning from node %lld to "
                  "depot cost is %s while declared %s, the difference is %s \n",
                  f.route, node, value, limit, excess);
    break;
  case Kind::claimed_infeasible_wrongly:
    std::snprintf(text, sizeof text,
                  "the instance seems feasible, but solution file claimed infeasible\n");
    break;
  case Kind::claimed_feasible_wrongly:
    std::snprintf(text, sizeof text,
                  "the instance seems infeasible, but the solution file claimed otherwise\n");
    break;
  case Kind::unreachable_customer:
  case Kind::cannot_return:
  case Kind::demand_too_big:
  case Kind::too_many_vehicles:
  case Kind::cost_mismatch:
    text[0] = '\0'; // listed, or not looked at, by the checker
    break;
  }
  return text;
}
