#include "../instance/number.h"
#include "../run.h"
#include "solution.h"

bool check_solution(Run &r, InputFile &file) {
  extract_int(file, r.declared_routes);
  check_read_error(r, file);
  if (r.stopped) return false;
  if (r.declared_routes > MAX_L) {
    fault_with(r, " Too many routes, you declared %d routes, while max. is %d\n", r.declared_routes,
               MAX_L);
    return false;
  }
  if (r.declared_routes == -1 && r.instance->infeasible) {
    say(r, "OK\n");
    end_verdict(r, 0);
    return false;
  }
  // A wrong claim either way is a failed check, not a success.
  if (r.declared_routes == -1) {
    found(r, Finding{Kind::claimed_infeasible_wrongly});
    return false;
  }
  if (r.instance->infeasible) found(r, Finding{Kind::claimed_feasible_wrongly});
  check_extraction(r, file, "the declared route count is not a valid number");
  if (r.stopped) return false;

  // The total goes straight from its text into extended precision: a detour
  // through double would change verdicts near the tolerance.
  extract_ext(file, r.declared_total);
  check_extraction(r, file, "the declared total is not a valid number");
  if (r.stopped) return false;
  read_line(r, file); // the rest of the total's line is ignored

  r.routes_done = 0;
  r.total_cost = 0;
  return !r.stopped;
}
