#include <cstdio>

#include "../findings.h"
#include "../instance/number.h"
#include "../screen/screen.h"
#include "solution.h"

int32_t L = 0;
ext TotLen = 0;
bool declared = true;
int32_t L1 = 0;
ext total_cost = 0;

bool check_solution(InputFile &file) {
  extract_int(file, L);
  check_read_error(file);
  if (input_failed) return false;
  if (L > MAX_L) {
    char text[128];
    std::snprintf(text, sizeof text, " Too many routes, you declared %d routes, while max. is %d\n",
                  L, MAX_L);
    fault(text);
    return false;
  }
  if (L == -1 && infeasible) {
    say("OK\n");
    end_verdict(0);
    return false;
  }
  // A wrong claim either way is a failed check, not a success.
  if (L == -1) {
    found(Finding{Kind::claimed_infeasible_wrongly});
    return false;
  }
  if (infeasible) found(Finding{Kind::claimed_feasible_wrongly});
  check_extraction(file, "the declared route count is not a valid number");
  if (input_failed) return false;

  // The total goes straight from its text into extended precision: a detour
  // through double would change verdicts near the tolerance.
  extract_ext(file, TotLen);
  check_extraction(file, "the declared total is not a valid number");
  if (input_failed) return false;
  read_line(file); // the rest of the total's line is ignored

  L1 = 0;
  total_cost = 0;
  return !input_failed;
}
