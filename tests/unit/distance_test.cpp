#include <gtest/gtest.h>

#include <climits>

#include "instance/node_table.h"

namespace {

void place(int node, int32_t x, int32_t y) {
  customers[node].x = x;
  customers[node].y = y;
}

// A coordinate difference reaches 2^32 - 1, beyond 32-bit arithmetic.
TEST(Distance, ExtremeCoordinatesDoNotOverflow) {
  place(0, INT32_MIN, 0);
  place(1, INT32_MAX, 0);
  EXPECT_EQ(distance(0, 1), 4294967295.0L);
}

// Here dx^2 + dy^2 (dx = 3387172599, dy = 3370250306) needs 65 bits, more
// than 64-bit integers and the 64-bit significand hold. The length is the
// square root of that sum rounded once to extended precision; the expected
// value comes from exact integer arithmetic. hypotl, which rounds only the
// root, is one unit in the last place above it, and double arithmetic
// further off.
TEST(Distance, SumOfSquaresIsRoundedOnceInExtendedPrecision) {
  place(0, INT32_MIN, INT32_MIN);
  place(1, 1239688951, 1222766658);
  EXPECT_EQ(distance(0, 1), 0x8.e6709571cc3b964p+29L);
}

} // namespace
