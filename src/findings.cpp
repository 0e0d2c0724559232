#include "findings.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

#include "instance/node_table.h"

std::string format(const char *fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

std::string shortest(double v) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

namespace {

using A = Args;
using B = Badness;
namespace T = trait;

// In the order of Kind; checked below, at compile time.
// kind, name, ends check, declared, rank, message, sentence, badness, JSON names
// of value, limit, excess, declared, found, arrival; whole limit; traits; the
// map's label.
constexpr KindInfo kinds[KIND_COUNT] = {
    {Kind::no_demand,
     "no_demand",
     true,
     false,
     0,
     A::node,
     "something wrong with data, customer %llddemands nothing?",
     A::node,
     "customer %lld",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::unreachable_customer,
     "unreachable_customer",
     false,
     false,
     11,
     A::none,
     "",
     A::node,
     "customer %lld",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     T::exact_only,
     A::node_name,
     "%lld: %s"},
    {Kind::cannot_return,
     "cannot_return",
     false,
     false,
     12,
     A::none,
     "",
     A::node,
     "customer %lld",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     T::exact_only,
     A::node_name,
     "%lld: %s"},
    {Kind::demand_too_big,
     "demand_too_big",
     false,
     false,
     13,
     A::none,
     "",
     A::node,
     "customer %lld",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::customer_out_of_range,
     "customer_out_of_range",
     true,
     false,
     1,
     A::route_node,
     "on route %d customer index %lld out of range\n",
     A::route_node,
     "route %d: customer %lld is not in the instance",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     T::route_fault | T::off_map,
     A::node_name,
     "%lld: %s"},
    {Kind::visited_twice,
     "visited_twice",
     true,
     false,
     6,
     A::node,
     "customer %lld visited more than once \n",
     A::route_node_counts,
     "route %d: customer %lld, served before on route %lld at position %lld",
     B::none,
     "",
     "",
     "",
     "first_route",
     "first_position",
     "",
     false,
     T::route_fault,
     A::node_name,
     "%lld: %s"},
    {Kind::not_visited,
     "not_visited",
     true,
     false,
     2,
     A::node,
     "customer %lld not visited\n",
     A::node,
     "customer %lld",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node,
     "%lld: not visited"},
    {Kind::partner_missing,
     "partner_missing",
     false,
     false,
     3,
     A::none,
     "",
     A::route_node_declared,
     "route %d: task %lld is served, its partner %lld is not",
     B::none,
     "",
     "",
     "",
     "partner",
     "",
     "",
     false,
     T::route_fault,
     A::node_name,
     "%lld: %s"},
    {Kind::pair_split,
     "pair_split",
     false,
     false,
     4,
     A::none,
     "",
     A::route_node_counts,
     "route %d: pickup %lld, its delivery %lld is on route %lld",
     B::none,
     "",
     "",
     "",
     "delivery",
     "delivery_route",
     "",
     false,
     T::route_fault,
     A::node_name,
     "%lld: %s"},
    {Kind::delivery_before_pickup,
     "delivery_before_pickup",
     false,
     false,
     5,
     A::none,
     "",
     A::route_node_counts,
     "route %d: delivery %lld comes before its pickup %lld, stop %lld",
     B::none,
     "",
     "",
     "",
     "pickup",
     "pickup_position",
     "",
     false,
     T::route_fault,
     A::node_name,
     "%lld: %s"},
    {Kind::capacity_exceeded,
     "capacity_exceeded",
     true,
     false,
     7,
     A::route_node,
     "on route %d truck capacity exceeded at node %lld\n",
     A::route_node_times,
     "route %d, node %lld: load %.0f above the capacity %.0f",
     B::overload,
     "load",
     "capacity",
     "",
     "",
     "",
     "",
     false,
     T::route_fault,
     A::node_value_limit_route,
     "%lld: load %.0f > %.0f (route %d)"},
    {Kind::time_window_missed,
     "time_window_missed",
     true,
     false,
     8,
     A::route_node_times,
     "on route %d node %lld visited at time %s which is greater than the end of time window %s\n",
     A::route_node_times,
     "route %d, node %lld: service starts at %.2f, due %.0f: %.2f late",
     B::excess,
     "start",
     "due",
     "lateness",
     "",
     "",
     "arrival",
     true,
     T::late | T::by_convention | T::summed,
     A::node_excess_route,
     "%lld: %.2f late (route %d)"},
    {Kind::depot_closed,
     "depot_closed",
     true,
     false,
     9,
     A::route_node_times,
     "on route %d node %lld visited at time %s which is greater than the end of depot time window "
     "end %s\n",
     A::route_node_times,
     "route %d, back from node %lld at %.2f, depot closes at %.0f: %.2f late",
     B::excess,
     "return_time",
     "closing_time",
     "lateness",
     "",
     "",
     "",
     true,
     T::late | T::by_convention,
     A::route_excess,
     "route %d back %.2f late"},
    {Kind::route_too_long,
     "route_too_long",
     false,
     false,
     10,
     A::none,
     "",
     A::route_figures,
     "route %d: length %.4f, above the limit %.4f by %.4f",
     B::excess,
     "length",
     "limit",
     "excess",
     "",
     "",
     "",
     false,
     T::by_convention,
     A::node_name,
     "%lld: %s"},
    {Kind::too_many_vehicles,
     "too_many_vehicles",
     false,
     false,
     14,
     A::none,
     "",
     A::counts,
     "%2$lld routes, the instance has %1$lld vehicles",
     B::none,
     "",
     "",
     "",
     "vehicles",
     "routes",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::too_many_routes,
     "too_many_routes",
     true,
     true,
     19,
     A::counts,
     "too many routes, declared %lld while found %lld\n",
     A::counts,
     "declared %lld routes, found %lld",
     B::none,
     "",
     "",
     "",
     "declared",
     "found",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::too_few_routes,
     "too_few_routes",
     true,
     true,
     18,
     A::counts,
     "too few routes, declared %lldwhile found %lld\n",
     A::counts,
     "declared %lld routes, found %lld",
     B::none,
     "",
     "",
     "",
     "declared",
     "found",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::no_routes,
     "no_routes",
     true,
     true,
     17,
     A::none,
     "found  no routes\n",
     A::counts,
     "declared %lld routes, found %lld",
     B::none,
     "",
     "",
     "",
     "declared",
     "found",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::total_above_declared,
     "total_above_declared",
     true,
     true,
     20,
     A::route_node_times,
     "traveled distance cost longer than declared \nup to route %d returning from node %lld to "
     "depot distance is %s while declared %s\n",
     A::figures,
     "computed total %.4f, declared %.4f: difference %+.4f (tolerance 0.02)",
     B::distance_off,
     "computed",
     "declared",
     "difference",
     "",
     "",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::total_below_declared,
     "total_below_declared",
     true,
     true,
     21,
     A::route_node_times,
     "total cost smaller than declared \nup to route %d returning from node %lld to depot cost is "
     "%s while declared %s, the difference is %s \n",
     A::figures,
     "computed total %.4f, declared %.4f: difference %+.4f (tolerance 0.02)",
     B::distance_off,
     "computed",
     "declared",
     "difference",
     "",
     "",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::claimed_infeasible_wrongly,
     "claimed_infeasible_wrongly",
     true,
     true,
     15,
     A::none,
     "the instance seems feasible, but solution file claimed infeasible\n",
     A::none,
     "the solution claims that no solution exists; the screening found none of its reasons",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::claimed_feasible_wrongly,
     "claimed_feasible_wrongly",
     true,
     true,
     16,
     A::none,
     "the instance seems infeasible, but the solution file claimed otherwise\n",
     A::none,
     "the solution does not claim -1 routes; the screening found customers no vehicle can serve",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     T::whole_solution,
     A::node_name,
     "%lld: %s"},
    {Kind::cost_mismatch,
     "cost_mismatch",
     true,
     true,
     22,
     A::none,
     "",
     A::cost,
     "declared cost %.2f, distance %.4f exact, %.1f truncated, %lld rounded: none within %g%s",
     B::none,
     "declared",
     "exact",
     "truncated",
     "",
     "rounded",
     "",
     false,
     T::whole_solution | T::cost,
     A::node_name,
     "%lld: %s"},
    {Kind::running_total_at_customer,
     "",
     true,
     true,
     -1,
     A::route_node_times,
     "travel time longer than declared \nup to route %d node %lld time is %s while declared "
     "total %s\n",
     A::none,
     "",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::running_total_at_return,
     "",
     true,
     true,
     -1,
     A::route_node_times,
     "traveled distance cost longer than declared \nup to route %d returning from node %lld to "
     "depot distance is %s while declared %s\n",
     A::none,
     "",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::running_route_count,
     "",
     true,
     true,
     -1,
     A::counts,
     "too many routes, declared %lld while found %lld\n",
     A::none,
     "",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::beyond_checker_node_number,
     "",
     true,
     true,
     -1,
     A::node,
     "node number %lld out of range 0 to 9999\n",
     A::none,
     "",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
    {Kind::beyond_checker_node_count,
     "",
     true,
     true,
     -1,
     A::none,
     " Too many nodes, max. is 10000\n",
     A::none,
     "",
     B::none,
     "",
     "",
     "",
     "",
     "",
     "",
     false,
     0,
     A::node_name,
     "%lld: %s"},
};

constexpr bool in_order_of_kind() {
  for (int k = 0; k < KIND_COUNT; ++k)
    if (static_cast<int>(kinds[k].kind) != k) return false;
  return true;
}
static_assert(in_order_of_kind(), "the kinds table must follow the order of Kind");

// Every listed kind has one place in the order, and every place one kind.
constexpr bool ranks_complete() {
  for (int place = 0; place < LISTED_KINDS; ++place) {
    int holders = 0;
    for (const KindInfo &k : kinds) holders += k.rank == place;
    if (holders != 1) return false;
  }
  for (const KindInfo &k : kinds)
    if ((k.rank >= 0) != (k.name[0] != '\0') || k.rank >= LISTED_KINDS) return false;
  return true;
}
static_assert(ranks_complete(), "each listed kind needs its own place in the order");
static_assert(MAX_N == 10000, "the checker's node messages name its table's size");

constexpr KindOrder by_rank() {
  KindOrder order{};
  for (const KindInfo &k : kinds)
    if (k.rank >= 0) order.kinds[k.rank] = k.kind;
  return order;
}

struct Ext {
  char s[EXT_TEXT];
  explicit Ext(ext v) { format_ext(s, v); }
};
double d(ext v) { return to_double(v); }

// A kind's text with the finding's figures: times in the checker's notation
// for its messages, as numbers with their decimals for a person.
std::string fill(Args args, const char *text, const Finding &f, bool times_as_text) {
  int route = f.route;
  long long node = f.node, declared = f.declared, found = f.found;
  switch (args) {
  case Args::node:
    return format(text, node);
  case Args::route_node:
    return format(text, route, node);
  case Args::route_node_times:
    if (times_as_text)
      return format(text, route, node, Ext(f.value).s, Ext(f.limit).s, Ext(f.excess).s);
    return format(text, route, node, d(f.value), d(f.limit), d(f.excess));
  case Args::route_node_counts:
    return format(text, route, node, declared, found);
  case Args::route_node_declared:
    return format(text, route, node, declared);
  case Args::counts:
    return format(text, declared, found);
  case Args::figures:
    return format(text, d(f.value), d(f.limit), d(f.excess));
  case Args::cost: // the tolerance beyond 0.01 is half a unit of the cost's last digit
    return format(text, d(f.value), d(f.limit), d(f.excess) / 10, found, d(f.arrival),
                  d(f.arrival) > 0.01 ? " (half a unit of its last digit)" : "");
  case Args::route_figures:
    return format(text, route, d(f.value), d(f.limit), d(f.excess));
  case Args::node_excess_route:
    return format(text, node, d(f.excess), route);
  case Args::route_excess:
    return format(text, route, d(f.excess));
  case Args::node_value_limit_route:
    return format(text, node, d(f.value), d(f.limit), route);
  case Args::node_name:
    return format(text, node, kind_info(f.kind).name);
  case Args::none:
    break;
  }
  return text;
}

} // namespace

const KindInfo &kind_info(Kind kind) { return kinds[static_cast<int>(kind)]; }

const KindOrder kinds_worst_first = by_rank();

std::string message(const Finding &f) {
  const KindInfo &k = kind_info(f.kind);
  return fill(k.message_args, k.message, f, true);
}

std::string describe(const Finding &f) {
  const KindInfo &k = kind_info(f.kind);
  return fill(k.sentence_args, k.sentence, f, false);
}

std::string map_label(const Finding &f) {
  const KindInfo &k = kind_info(f.kind);
  return fill(k.label_args, k.label, f, false);
}

ext badness(const Finding &f) {
  switch (kind_info(f.kind).badness) {
  case Badness::excess:
    return f.excess;
  case Badness::distance_off:
    return f.excess < 0 ? -f.excess : f.excess;
  case Badness::overload:
    return f.value - f.limit;
  case Badness::none:
    break;
  }
  return 0;
}
