#include <cstdio>

#include "../instance/number.h"
#include "../report.h"
#include "../screen/screen.h"
#include "solution.h"

int32_t L = 0;
ext TotLen = 0;
int32_t L1 = 0;
ext total_cost = 0;

void check_solution(InputFile &file) {
  extract_int(file, L);
  check_read_error(file);
  if (L > MAX_L) {
    std::printf(" Too many routes, you declared %d routes, while max. is %d\n", L, MAX_L);
    fatal();
  }
  if (L == -1 && infeasible) {
    std::fputs("OK\n", stdout);
    finish(0);
  }
  // A wrong claim either way is a failed check, not a success.
  if (L == -1) {
    std::fputs("the instance seems feasible, but solution file claimed infeasible\n", stdout);
    fatal();
  }
  if (infeasible) {
    std::fputs("the instance seems infeasible, but the solution file claimed otherwise\n", stdout);
    fatal();
  }
  check_extraction(file, "the declared route count is not a valid number");

  // The total goes straight from its text into extended precision: a detour
  // through double would change verdicts near the tolerance.
  extract_ext(file, TotLen);
  check_extraction(file, "the declared total is not a valid number");
  read_line(file); // the rest of the total's line is ignored

  L1 = 0;
  total_cost = 0;
}
