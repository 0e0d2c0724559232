#include "node_table.h"

#include <cmath>

// floor(10 d) = floor(sqrt(100 (dx^2 + dy^2))), the integer square root of a
// number below 2^72: a floating-point estimate, then corrected to be exact.
int64_t distance_tenths(const Customer &a, const Customer &b) {
  __extension__ typedef unsigned __int128 u128;
  auto square = [](int64_t d) { return static_cast<u128>(d < 0 ? -d : d) * (d < 0 ? -d : d); };
  u128 sum = 100 * (square(int64_t{a.x} - b.x) + square(int64_t{a.y} - b.y));
  u128 root = static_cast<u128>(std::sqrt(static_cast<double>(sum)));
  while (root * root > sum) --root;
  while ((root + 1) * (root + 1) <= sum) ++root;
  return static_cast<int64_t>(root);
}
