#include "node_table.h"

#include <cmath>

__extension__ typedef unsigned __int128 u128;

static u128 square_sum(const Customer &a, const Customer &b) {
  auto square = [](int64_t d) { return static_cast<u128>(d < 0 ? -d : d) * (d < 0 ? -d : d); };
  return square(int64_t{a.x} - b.x) + square(int64_t{a.y} - b.y);
}

// The integer square root of any 128-bit number: a floating-point estimate,
// one Newton step where the estimate may be off by more than a unit (from
// 2^104 on), then corrected to be exact. The root stays below 2^64, so its
// square never overflows.
static u128 isqrt(u128 s) {
  constexpr u128 largest = ~uint64_t{0}; // the root of any s, at most
  double estimate = std::sqrt(static_cast<double>(s));
  u128 root = estimate >= 0x1p64 ? largest : static_cast<u128>(estimate);
  if (s >> 104 && root > 0) root = (root + s / root) / 2;
  if (root > largest) root = largest;
  while (root * root > s) --root;
  while (root < largest && (root + 1) * (root + 1) <= s) ++root;
  return root;
}

// The same for the sums of squares of differences below 2^27 (every
// benchmark instance's), in 64 bits: a hundred times such a sum stays below
// 2^61, so neither the estimate nor the corrections need 128-bit arithmetic.
static uint64_t isqrt64(uint64_t s) {
  uint64_t root = static_cast<uint64_t>(std::sqrt(static_cast<double>(s)));
  while (root * root > s) --root;
  while ((root + 1) * (root + 1) <= s) ++root;
  return root;
}
static bool small(int64_t d) { return d < (int64_t{1} << 27) && d > -(int64_t{1} << 27); }

// floor(10 d) = floor(sqrt(100 (dx^2 + dy^2))).
int64_t distance_tenths(const Customer &a, const Customer &b) {
  int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
  if (small(dx) && small(dy))
    return static_cast<int64_t>(isqrt64(100 * uint64_t(dx * dx + dy * dy)));
  return static_cast<int64_t>(isqrt(100 * square_sum(a, b)));
}

// floor(d + 1/2): with k = floor(d), d >= k + 1/2 exactly when the integer
// s = d^2 is at least k^2 + k + 1/4, that is above k^2 + k. No d is ever
// exactly half-way, as s is an integer.
int64_t distance_rounded(const Customer &a, const Customer &b) {
  int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
  if (small(dx) && small(dy)) {
    uint64_t s = uint64_t(dx * dx + dy * dy), k = isqrt64(s);
    return static_cast<int64_t>(s > k * k + k ? k + 1 : k);
  }
  u128 s = square_sum(a, b), k = isqrt(s);
  return static_cast<int64_t>(s > k * k + k ? k + 1 : k);
}

// With k decimals, a coordinate difference is an integer d / 10^k, and the
// square of the length the integer S / 10^(2k) with S = dx^2 + dy^2 below
// 2^103 for coordinates within +-10^6 and k <= 9.
static u128 decimal_square_sum(const DecimalPlaces &p, int64_t a, int64_t b) {
  auto square = [](int64_t d) { return static_cast<u128>(d < 0 ? -d : d) * (d < 0 ? -d : d); };
  return square(p.x[a] - p.x[b]) + square(p.y[a] - p.y[b]);
}

ext decimal_distance(const DecimalPlaces &p, int64_t a, int64_t b) {
  return ext_length(p.exact_x[a] - p.exact_x[b], p.exact_y[a] - p.exact_y[b]);
}

// floor(10 sqrt(S) / 10^k) = floor(floor(sqrt(100 S)) / 10^k).
int64_t decimal_distance_tenths(const DecimalPlaces &p, int64_t a, int64_t b) {
  return static_cast<int64_t>(isqrt(100 * decimal_square_sum(p, a, b)) / p.unit);
}

// floor(sqrt(S) / 10^k + 1/2) = floor((2 sqrt(S) + 10^k) / (2 10^k)), and the
// floor of 2 sqrt(S) may stand for it, the rest being whole.
int64_t decimal_distance_rounded(const DecimalPlaces &p, int64_t a, int64_t b) {
  u128 unit = static_cast<u128>(p.unit);
  return static_cast<int64_t>((isqrt(4 * decimal_square_sum(p, a, b)) + unit) / (2 * unit));
}
