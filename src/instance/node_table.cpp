#include "node_table.h"

#include <cmath>

Customer customers[MAX_N];
int64_t n = -1;
double TCap = 0;

ext distance(int64_t a, int64_t b) {
  // The differences are widened to extended precision before squaring: a
  // square of a 33-bit difference is exact in a 64-bit significand, so no
  // coordinates can overflow, and the sum is rounded only once.
  ext dx = static_cast<ext>(int64_t{customers[a].x} - customers[b].x);
  ext dy = static_cast<ext>(int64_t{customers[a].y} - customers[b].y);
  return std::sqrt(dx * dx + dy * dy);
}
