#include <gtest/gtest.h>

#include <climits>

#include "instance/node_table.h"

namespace {

Customer at(int32_t x, int32_t y) { return Customer{x, y, 0, 0, 0, 0}; }

// An extended value written as the double nearest to it plus the exact rest,
// which holds on every platform and in either implementation.
ext hi_lo(double hi, double lo) { return ext{hi} + ext{lo}; }

// A coordinate difference reaches 2^32 - 1, beyond 32-bit arithmetic.
TEST(Distance, ExtremeCoordinatesDoNotOverflow) {
  EXPECT_EQ(distance(at(INT32_MIN, 0), at(INT32_MAX, 0)), ext{int64_t{4294967295}});
}

// Here dx^2 + dy^2 (dx = 3387172599, dy = 3370250306) needs 65 bits, more
// than 64-bit integers and the 64-bit significand hold. The length is the
// square root of that sum rounded once to extended precision; the expected
// value comes from exact integer arithmetic. hypotl, which rounds only the
// root, is one unit in the last place above it, and double arithmetic
// further off.
TEST(Distance, SumOfSquaresIsRoundedOnceInExtendedPrecision) {
  EXPECT_EQ(distance(at(INT32_MIN, INT32_MIN), at(1239688951, 1222766658)),
            hi_lo(0x1.1cce12ae39877p+32, 0x1.64p-23));
}

} // namespace
