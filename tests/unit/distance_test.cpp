#include <gtest/gtest.h>

#include <climits>

#include "instance/node_table.h"

namespace {

void place(int node, int32_t x, int32_t y) {
  customers[node].x = x;
  customers[node].y = y;
}

// An extended value written as the double nearest to it plus the exact rest,
// which holds on every platform and in either implementation.
ext hi_lo(double hi, double lo) { return ext{hi} + ext{lo}; }

TEST(Distance, IsTheUnroundedEuclideanLength) {
  place(0, 40, 50);
  place(1, 45, 68);
  // sqrt(349) in 64 bits, 11 bits below the nearest double.
  EXPECT_EQ(distance(0, 1), hi_lo(0x1.2ae79842f2858p+4, -0x1.548p-50));
  EXPECT_NE(distance(0, 1), ext{0x1.2ae79842f2858p+4});
  EXPECT_EQ(distance(1, 0), distance(0, 1));
  place(2, 45, 68);
  EXPECT_EQ(distance(1, 2), ext{0});
}

TEST(Distance, ExtremeCoordinatesDoNotOverflow) {
  place(0, INT32_MIN, 0);
  place(1, INT32_MAX, 0);
  EXPECT_EQ(distance(0, 1), ext{int64_t{4294967295}});
  place(1, INT32_MAX, INT32_MAX);
  place(0, INT32_MIN, INT32_MIN);
  // sqrt(2 * 4294967295^2): the sum rounded to 64 bits, then the root.
  EXPECT_EQ(distance(0, 1), hi_lo(0x1.6a09e66689b2ep+32, 0x1.5p-23));
}

} // namespace
