#include "node_table.h"

#include <cmath>

__extension__ typedef unsigned __int128 u128;

static u128 square_sum(const Customer &a, const Customer &b) {
  auto square = [](int64_t d) { return static_cast<u128>(d < 0 ? -d : d) * (d < 0 ? -d : d); };
  return square(int64_t{a.x} - b.x) + square(int64_t{a.y} - b.y);
}

// The integer square root of a number below 2^72: a floating-point
// estimate, then corrected to be exact.
static u128 isqrt(u128 s) {
  u128 root = static_cast<u128>(std::sqrt(static_cast<double>(s)));
  while (root * root > s) --root;
  while ((root + 1) * (root + 1) <= s) ++root;
  return root;
}

// floor(10 d) = floor(sqrt(100 (dx^2 + dy^2))).
int64_t distance_tenths(const Customer &a, const Customer &b) {
  return static_cast<int64_t>(isqrt(100 * square_sum(a, b)));
}

// floor(d + 1/2): with k = floor(d), d >= k + 1/2 exactly when the integer
// s = d^2 is at least k^2 + k + 1/4, that is above k^2 + k. No d is ever
// exactly half-way, as s is an integer.
int64_t distance_rounded(const Customer &a, const Customer &b) {
  u128 s = square_sum(a, b), k = isqrt(s);
  return static_cast<int64_t>(s > k * k + k ? k + 1 : k);
}
