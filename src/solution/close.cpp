#include "../run.h"
#include "solution.h"

// In the checker's order: which single message it prints when several of
// these fail. The checks the checker's run can never reach (it stopped on the
// way when the count or the total passed the declared one) are the report's
// judgement of the declared figures, made once, here.
static void declared_checks(Run &r) {
  Finding counts{Kind::no_routes};
  counts.declared = r.L;
  counts.found = r.L1;
  if (r.L1 == 0) {
    found(r, counts);
  } else if (r.L1 < r.L) {
    counts.kind = Kind::too_few_routes;
    found(r, counts);
  }
  if (r.L1 > r.L) {
    counts.kind = Kind::too_many_routes;
    found(r, counts);
  }
  Finding total{Kind::total_above_declared, r.L1, r.B};
  total.value = r.total_cost;
  total.limit = r.TotLen;
  total.excess = r.total_cost - r.TotLen;
  if (r.total_cost > r.TotLen + epsilon) found(r, total);
  // The lower side of the tolerance; the upper side was held at every step.
  if (r.total_cost < r.TotLen - epsilon) {
    total.kind = Kind::total_below_declared;
    found(r, total);
  }
}

void close_checks(Run &r) {
  if (r.declared) declared_checks(r);
  for (int64_t i = 1; i <= r.n; ++i)
    if (r.customers[i].visits == 0) found(r, Finding{Kind::not_visited, 0, i});
  if (r.fleet_limited && r.L1 > r.vehicles) {
    Finding f{Kind::too_many_vehicles};
    f.declared = r.vehicles;
    f.found = r.L1;
    found(r, f);
  }
  say(r, "OK\n");
  end_verdict(r, 0);
}
