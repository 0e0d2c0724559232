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
  u128 dx =
      static_cast<u128>(customers[a].x < customers[b].x ? int64_t{customers[b].x} - customers[a].x
                                                        : int64_t{customers[a].x} - customers[b].x);
  u128 dy =
      static_cast<u128>(customers[a].y < customers[b].y ? int64_t{customers[b].y} - customers[a].y
                                                        : int64_t{customers[a].y} - customers[b].y);
  u128 square = 100 * (dx * dx + dy * dy);
  u128 root = static_cast<u128>(std::sqrt(static_cast<double>(square)));
  while (root * root > square) --root;
  while ((root + 1) * (root + 1) <= square) ++root;
  return static_cast<int64_t>(root);
}
