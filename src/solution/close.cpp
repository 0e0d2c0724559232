#include "../findings.h"
#include "../instance/node_table.h"
#include "solution.h"

// In the checker's order: which single message it prints when several of
// these fail. The checks the checker's run can never reach (it stopped on the
// way when the count or the total passed the declared one) are the report's
// judgement of the declared figures, made once, here.
static void declared_checks() {
  Finding counts{Kind::no_routes};
  counts.declared = L;
  counts.found = L1;
  if (L1 == 0) {
    found(counts);
  } else if (L1 < L) {
    counts.kind = Kind::too_few_routes;
    found(counts);
  }
  if (L1 > L) {
    counts.kind = Kind::too_many_routes;
    found(counts);
  }
  Finding total{Kind::total_above_declared, L1, B};
  total.value = total_cost;
  total.limit = TotLen;
  total.excess = total_cost - TotLen;
  if (total_cost > TotLen + epsilon) found(total);
  // The lower side of the tolerance; the upper side was held at every step.
  if (total_cost < TotLen - epsilon) {
    total.kind = Kind::total_below_declared;
    found(total);
  }
}

void close_checks() {
  if (declared) declared_checks();
  for (int64_t i = 1; i <= n; ++i)
    if (customers[i].visits == 0) found(Finding{Kind::not_visited, 0, i});
  if (L1 > vehicles) {
    Finding f{Kind::too_many_vehicles};
    f.declared = vehicles;
    f.found = L1;
    found(f);
  }
  say("OK\n");
  end_verdict(0);
}
