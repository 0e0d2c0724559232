#include "findings.h"

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

namespace {

struct Ext {
  char s[EXT_TEXT];
  explicit Ext(ext v) { format_ext(s, v); }
};

double d(ext v) { return to_double(v); }
long long node(const Finding &f) { return f.node; }
long long count(int64_t v) { return v; }

std::string none(const Finding &) { return ""; }
ext no_badness(const Finding &) { return 0; }
ext excess(const Finding &f) { return f.excess; }
ext distance_off(const Finding &f) { return f.excess < 0 ? -f.excess : f.excess; }
ext overload(const Finding &f) { return f.value - f.limit; }

std::string customer(const Finding &f) { return format("customer %lld", node(f)); }
std::string counts(const Finding &f) {
  return format("declared %lld routes, found %lld", count(f.declared), count(f.found));
}
std::string totals(const Finding &f) {
  return format("computed total %.4f, declared %.4f: difference %+.4f (tolerance 0.02)", d(f.value),
                d(f.limit), d(f.excess));
}
std::string too_many(const Finding &f) {
  return format("too many routes, declared %lld while found %lld\n", count(f.declared),
                count(f.found));
}
std::string above_at_return(const Finding &f) {
  return format("traveled distance cost longer than declared \nup to route %d returning from "
                "node %lld to depot distance is %s while declared %s\n",
                f.route, node(f), Ext(f.value).s, Ext(f.limit).s);
}

// In the order of Kind; checked below, at compile time.
constexpr KindInfo kinds[KIND_COUNT] = {
    {Kind::no_demand, "no_demand", true, false, 0,
     [](const Finding &f) {
       return format("something wrong with data, customer %llddemands nothing?", node(f));
     },
     customer, no_badness},
    {Kind::unreachable_customer, "unreachable_customer", false, false, 7, none, customer,
     no_badness},
    {Kind::cannot_return, "cannot_return", false, false, 8, none, customer, no_badness},
    {Kind::demand_too_big, "demand_too_big", false, false, 9, none, customer, no_badness},
    {Kind::customer_out_of_range, "customer_out_of_range", true, false, 1,
     [](const Finding &f) {
       return format("on route %d customer index %lld out of range\n", f.route, node(f));
     },
     [](const Finding &f) {
       return format("route %d: customer %lld is not in the instance", f.route, node(f));
     },
     no_badness},
    {Kind::visited_twice, "visited_twice", true, false, 3,
     [](const Finding &f) { return format("customer %lld visited more than once \n", node(f)); },
     [](const Finding &f) {
       if (f.declared == 0)
         return format("route %d: customer %lld, served before", f.route, node(f));
       return format("route %d: customer %lld, served before on route %lld at position %lld",
                     f.route, node(f), count(f.declared), count(f.found));
     },
     no_badness, nullptr, nullptr, nullptr, "first_route", "first_position"},
    {Kind::not_visited, "not_visited", true, false, 2,
     [](const Finding &f) { return format("customer %lld not visited\n", node(f)); }, customer,
     no_badness},
    {Kind::capacity_exceeded, "capacity_exceeded", true, false, 4,
     [](const Finding &f) {
       return format("on route %d truck capacity exceeded at node %lld\n", f.route, node(f));
     },
     [](const Finding &f) {
       return format("route %d, node %lld: load %.0f above the capacity %.0f", f.route, node(f),
                     d(f.value), d(f.limit));
     },
     overload, "load", "capacity"},
    {Kind::time_window_missed, "time_window_missed", true, false, 5,
     [](const Finding &f) {
       return format("on route %d node %lld visited at time %s which is greater than the end of "
                     "time window %s\n",
                     f.route, node(f), Ext(f.value).s, Ext(f.limit).s);
     },
     [](const Finding &f) {
       return format("route %d, node %lld: service starts at %.2f, due %.0f: %.2f late", f.route,
                     node(f), d(f.value), d(f.limit), d(f.excess));
     },
     excess, "start", "due", "lateness", nullptr, nullptr, "arrival", true},
    {Kind::depot_closed, "depot_closed", true, false, 6,
     [](const Finding &f) {
       return format("on route %d node %lld visited at time %s which is greater than the end of "
                     "depot time window end %s\n",
                     f.route, node(f), Ext(f.value).s, Ext(f.limit).s);
     },
     [](const Finding &f) {
       return format("route %d, back from node %lld at %.2f, depot closes at %.0f: %.2f late",
                     f.route, node(f), d(f.value), d(f.limit), d(f.excess));
     },
     excess, "return_time", "closing_time", "lateness", nullptr, nullptr, nullptr, true},
    {Kind::too_many_vehicles, "too_many_vehicles", false, false, 10, none,
     [](const Finding &f) {
       return format("%lld routes, the instance has %lld vehicles", count(f.found),
                     count(f.declared));
     },
     no_badness, nullptr, nullptr, nullptr, "vehicles", "routes"},
    {Kind::too_many_routes, "too_many_routes", true, true, 15, too_many, counts, no_badness,
     nullptr, nullptr, nullptr, "declared", "found"},
    {Kind::too_few_routes, "too_few_routes", true, true, 14,
     [](const Finding &f) {
       return format("too few routes, declared %lldwhile found %lld\n", count(f.declared),
                     count(f.found));
     },
     counts, no_badness, nullptr, nullptr, nullptr, "declared", "found"},
    {Kind::no_routes, "no_routes", true, true, 13,
     [](const Finding &) { return std::string("found  no routes\n"); }, counts, no_badness, nullptr,
     nullptr, nullptr, "declared", "found"},
    {Kind::total_above_declared, "total_above_declared", true, true, 16, above_at_return, totals,
     distance_off, "computed", "declared", "difference"},
    {Kind::total_below_declared, "total_below_declared", true, true, 17,
     [](const Finding &f) {
       return format(
           "total cost smaller than declared \nup to route %d returning from node %lld to "
           "depot cost is %s while declared %s, the difference is %s \n",
           f.route, node(f), Ext(f.value).s, Ext(f.limit).s, Ext(f.excess).s);
     },
     totals, distance_off, "computed", "declared", "difference"},
    {Kind::claimed_infeasible_wrongly, "claimed_infeasible_wrongly", true, true, 11,
     [](const Finding &) {
       return std::string("the instance seems feasible, but solution file claimed infeasible\n");
     },
     [](const Finding &) {
       return std::string(
           "the solution claims that no solution exists; the screening found none of its reasons");
     },
     no_badness},
    {Kind::claimed_feasible_wrongly, "claimed_feasible_wrongly", true, true, 12,
     [](const Finding &) {
       return std::string(
           "the instance seems infeasible, but the solution file claimed otherwise\n");
     },
     [](const Finding &) {
       return std::string(
           "the solution has routes; the screening found customers no vehicle can serve");
     },
     no_badness},
    {Kind::cost_mismatch, "cost_mismatch", true, true, 18, none,
     [](const Finding &f) {
       return format("declared cost %.2f, distance %.4f exact, %.1f truncated, %lld rounded: none "
                     "within 0.01",
                     d(f.value), d(f.limit), d(f.excess) / 10, count(f.found));
     },
     no_badness, "declared", "exact", "truncated", nullptr, "rounded"},
    {Kind::running_total_at_customer, nullptr, true, true, -1,
     [](const Finding &f) {
       return format("travel time longer than declared \nup to route %d node %lld time is %s while "
                     "declared total %s\n",
                     f.route, node(f), Ext(f.value).s, Ext(f.limit).s);
     },
     none, no_badness},
    {Kind::running_total_at_return, nullptr, true, true, -1, above_at_return, none, no_badness},
    {Kind::running_route_count, nullptr, true, true, -1, too_many, none, no_badness},
    {Kind::beyond_checker_node_number, nullptr, true, true, -1,
     [](const Finding &f) {
       return format("node number %lld out of range 0 to %d\n", node(f), MAX_N - 1);
     },
     none, no_badness},
    {Kind::beyond_checker_node_count, nullptr, true, true, -1,
     [](const Finding &) { return format(" Too many nodes, max. is %d\n", MAX_N); }, none,
     no_badness},
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
    if ((k.rank >= 0) != (k.name != nullptr) || k.rank >= LISTED_KINDS) return false;
  return true;
}
static_assert(ranks_complete(), "each listed kind needs its own place in the order");

constexpr KindOrder by_rank() {
  KindOrder order{};
  for (const KindInfo &k : kinds)
    if (k.rank >= 0) order.kinds[k.rank] = k.kind;
  return order;
}

} // namespace

const KindInfo &kind_info(Kind kind) { return kinds[static_cast<int>(kind)]; }

const KindOrder kinds_worst_first = by_rank();
