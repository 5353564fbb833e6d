// The range of sizes and points a user may give: the limits themselves are
// in, anything past them, not a number or endless is out.
#include "core/input_range.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(InputRange, sizes_are_above_zero_and_within_the_limit) {
    EXPECT_TRUE(SizeInRange(30.0));
    EXPECT_TRUE(SizeInRange(kInputLimit));
    EXPECT_TRUE(SizeInRange(1e-9));
    for (double v : {0.0, -30.0, std::nextafter(kInputLimit, 1e308), 1e308, -1e308,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(SizeInRange(v)) << v;
}

TEST(InputRange, points_are_within_the_limit_every_way) {
    EXPECT_TRUE(PointInRange(Point3{-kInputLimit, kInputLimit, 0.0}));
    EXPECT_TRUE(CoordinateInRange(0.0));
    EXPECT_FALSE(PointInRange(Point3{0.0, 0.0, -1e11}));
    const ads_point far{1e308, 1e308, 0.0};
    EXPECT_FALSE(PointInRange(far));
    const ads_point nan{std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0};
    EXPECT_FALSE(PointInRange(nan));
}
