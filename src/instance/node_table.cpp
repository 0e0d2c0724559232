#include "node_table.h"

#include <cmath>

Customer customers[MAX_N];
int64_t n = -1;
double TCap = 0;
int32_t vehicles = 0;
char instance_name[256];

ext distance(int64_t a, int64_t b) {
  return ext_hypot(int64_t{customers[a].x} - customers[b].x,
                   int64_t{customers[a].y} - customers[b].y);
}

// floor(10 d) = floor(sqrt(100 (dx^2 + dy^2))), the integer square root of a
// number below 2^72: a floating-point estimate, then corrected to be exact.
int64_t distance_tenths(int64_t a, int64_t b) {
  __extension__ typedef unsigned __int128 u128;
  auto square = [](int64_t d) { return static_cast<u128>(d < 0 ? -d : d) * (d < 0 ? -d : d); };
  u128 sum = 100 * (square(int64_t{customers[a].x} - customers[b].x) +
                    square(int64_t{customers[a].y} - customers[b].y));
  u128 root = static_cast<u128>(std::sqrt(static_cast<double>(sum)));
  while (root * root > sum) --root;
  while ((root + 1) * (root + 1) <= sum) ++root;
  return static_cast<int64_t>(root);
}
