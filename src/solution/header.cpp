#include "../instance/number.h"
#include "../run.h"
#include "solution.h"

bool check_solution(Run &r, InputFile &file) {
  extract_int(file, r.L);
  check_read_error(r, file);
  if (r.input_failed) return false;
  if (r.L > MAX_L) {
    fault_with(r, " Too many routes, you declared %d routes, while max. is %d\n", r.L, MAX_L);
    return false;
  }
  if (r.L == -1 && r.infeasible) {
    say(r, "OK\n");
    end_verdict(r, 0);
    return false;
  }
  // A wrong claim either way is a failed check, not a success.
  if (r.L == -1) {
    found(r, Finding{Kind::claimed_infeasible_wrongly});
    return false;
  }
  if (r.infeasible) found(r, Finding{Kind::claimed_feasible_wrongly});
  check_extraction(r, file, "the declared route count is not a valid number");
  if (r.input_failed) return false;

  // The total goes straight from its text into extended precision: a detour
  // through double would change verdicts near the tolerance.
  extract_ext(file, r.TotLen);
  check_extraction(r, file, "the declared total is not a valid number");
  if (r.input_failed) return false;
  read_line(r, file); // the rest of the total's line is ignored

  r.L1 = 0;
  r.total_cost = 0;
  return !r.input_failed;
}
