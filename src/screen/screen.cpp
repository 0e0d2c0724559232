#include "screen.h"

#include <cstdio>

#include "../findings.h"
#include "../instance/node_table.h"

int infeasible = 0;

static bool unreachable(int64_t i) { return distance(i, 0) > customers[i].due; }

// Out and back alone, leaving the depot at time 0 and waiting for the window.
static bool cannot_return(int64_t i) {
  const Customer &c = customers[i];
  ext d = distance(i, 0);
  ext wait = d >= c.ready ? 0 : c.ready - d;
  return (d + d) + wait + c.service > customers[0].due;
}

static bool too_big(int64_t i) { return static_cast<double>(customers[i].demand) > TCap; }

// Lists the customers for which `listed` holds under `title`: the title comes
// with the first entry, every entry is followed by a comma (the last one
// too), and a list with entries ends with one line feed.
static void list_customers(Kind kind, const char *title, int64_t first, bool (*listed)(int64_t)) {
  bool started = false;
  for (int64_t i = first; i <= n; ++i) {
    if (!listed(i)) continue;
    if (!started) {
      say(title);
      started = true;
      infeasible = 1;
    }
    char entry[24];
    std::snprintf(entry, sizeof entry, "%lld,", static_cast<long long>(i));
    say(entry);
    found(Finding{kind, 0, i});
  }
  if (started) say("\n");
}

void screen_instance() {
  for (int64_t i = 1; i <= n; ++i)
    if (customers[i].demand == 0) found(Finding{Kind::no_demand, 0, i});
  // All comparisons are strict: a window met exactly, or a demand equal to
  // the capacity, is still feasible.
  list_customers(Kind::unreachable_customer, "customers unreachable in their time windows:", 1,
                 unreachable);
  list_customers(Kind::cannot_return, "customers that can't return in time:", 1, cannot_return);
  list_customers(Kind::demand_too_big, "customers with too big demands:", 0, too_big);
}
