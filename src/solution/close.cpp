#include <cstdio>

#include "../instance/node_table.h"
#include "../report.h"
#include "solution.h"

void close_checks() {
  if (L1 == 0) {
    std::fputs("found  no routes\n", stdout);
    fatal();
  }
  if (L1 < L) {
    std::printf("too few routes, declared %dwhile found %d\n", L, L1);
    fatal();
  }
  // The lower side of the tolerance; the upper side was held at every step.
  // The difference is printed as computed in extended precision.
  if (total_cost < TotLen - epsilon) {
    char total[EXT_TEXT], declared[EXT_TEXT], difference[EXT_TEXT];
    format_ext(total, total_cost);
    format_ext(declared, TotLen);
    format_ext(difference, total_cost - TotLen);
    std::printf("total cost smaller than declared \nup to route %d returning from node %d to depot "
                "cost is %s while declared %s, the difference is %s \n",
                L1, B, total, declared, difference);
    fatal();
  }
  for (int64_t i = 1; i <= n; ++i) {
    if (customers[i].visits == 0) {
      std::printf("customer %lld not visited\n", static_cast<long long>(i));
      fatal();
    }
  }
  std::fputs("OK\n", stdout);
  finish(0);
}
