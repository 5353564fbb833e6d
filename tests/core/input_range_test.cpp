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

TEST(InputRange, a_field_is_a_number_only_when_its_whole_text_is_one) {
    EXPECT_EQ(NumberFromText(" 12.5 ", NumberRange::Size), 12.5);
    EXPECT_EQ(NumberFromText("-3", NumberRange::Coordinate), -3.0);
    EXPECT_EQ(TypedInteger("+7"), 7);
    for (const char* text : {"abc", "12abc", "1,5", " ", "", "--5", "0x10", "12 5"}) {
        EXPECT_FALSE(TypedNumber(text)) << text;
        EXPECT_FALSE(TypedInteger(text)) << text;
        EXPECT_FALSE(NumberFromText(text, NumberRange::Coordinate)) << text;
    }
    EXPECT_FALSE(TypedInteger("1.5"));
    EXPECT_FALSE(NumberFromText("-3", NumberRange::NotNegative));
}
