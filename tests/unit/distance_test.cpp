#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "instance/node_table.h"

namespace {

void place(int node, int32_t x, int32_t y) {
  customers[node].x = x;
  customers[node].y = y;
}

TEST(Distance, IsTheUnroundedEuclideanLength) {
  place(0, 40, 50);
  place(1, 45, 68);
  EXPECT_EQ(distance(0, 1), std::sqrt(349.0L));
  EXPECT_EQ(distance(1, 0), distance(0, 1));
  EXPECT_NE(distance(0, 1), static_cast<long double>(std::sqrt(349.0)));
  place(2, 45, 68);
  EXPECT_EQ(distance(1, 2), 0.0L);
}

TEST(Distance, ExtremeCoordinatesDoNotOverflow) {
  place(0, INT32_MIN, 0);
  place(1, INT32_MAX, 0);
  EXPECT_EQ(distance(0, 1), 4294967295.0L);
  place(1, INT32_MAX, INT32_MAX);
  place(0, INT32_MIN, INT32_MIN);
  EXPECT_EQ(distance(0, 1), std::sqrt(2.0L * 4294967295.0L * 4294967295.0L));
}

} // namespace
