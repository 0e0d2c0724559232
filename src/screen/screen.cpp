#include "screen.h"

#include <cstdio>

#include "../run.h"

static bool unreachable(const Run &r, int64_t i) {
  return leg(r.own_instance, 0, i) > r.own_instance.customers[i].due && r.own_instance.windows;
}

// Out and back alone, leaving the depot at time 0 and waiting for the window.
static bool cannot_return(const Run &r, int64_t i) {
  const Customer &c = r.own_instance.customers[i];
  ext out = leg(r.own_instance, 0, i), back = leg(r.own_instance, i, 0);
  ext wait = out >= c.ready ? 0 : c.ready - out;
  return (out + back) + wait + c.service > r.own_instance.customers[0].due &&
         r.own_instance.windows;
}

static bool too_big(const Run &r, int64_t i) {
  return static_cast<double>(r.own_instance.customers[i].demand) > r.own_instance.capacity;
}

// Lists the customers for which `listed` holds under `title`: the title comes
// with the first entry, every entry is followed by a comma (the last one
// too), and a list with entries ends with one line feed.
static void list_customers(Run &r, Kind kind, const char *title, int64_t first,
                           bool (*listed)(const Run &, int64_t)) {
  bool started = false;
  for (int64_t i = first; i <= r.own_instance.customer_count; ++i) {
    if (!listed(r, i)) continue;
    if (!started) {
      say(r, title);
      started = true;
      r.own_instance.infeasible = 1;
    }
    char entry[24];
    std::snprintf(entry, sizeof entry, "%lld,", static_cast<long long>(i));
    say(r, entry);
    found(r, Finding{kind, 0, i});
  }
  if (started) say(r, "\n");
}

void screen_instance(Run &r) {
  for (int64_t i = 1; i <= r.own_instance.customer_count; ++i)
    if (r.own_instance.customers[i].demand == 0) found(r, Finding{Kind::no_demand, 0, i});
  // All comparisons are strict: a window met exactly, or a demand equal to
  // the capacity, is still feasible.
  list_customers(r, Kind::unreachable_customer, "customers unreachable in their time windows:", 1,
                 unreachable);
  list_customers(r, Kind::cannot_return, "customers that can't return in time:", 1, cannot_return);
  list_customers(r, Kind::demand_too_big, "customers with too big demands:", 0, too_big);
}
