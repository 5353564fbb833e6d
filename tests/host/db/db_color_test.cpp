// The host colour object: its packed value must survive a round trip, and a
// value of no known method must not be taken.
#include <gtest/gtest.h>

#include "host/db/dbcolor.h"

TEST(DbColor, true_colour_and_index_pack_under_their_method_and_come_back) {
    ZcCmColor c;
    c.setRGB(10, 20, 30);
    EXPECT_EQ(c.color(), 0xC20A141Eu);
    ZcCmColor back;
    ASSERT_TRUE(back.setColor(c.color()));
    EXPECT_EQ(back, c);
    EXPECT_EQ(back.red(), 10);
    EXPECT_EQ(back.green(), 20);
    EXPECT_EQ(back.blue(), 30);
    EXPECT_EQ(back.colorIndex(), -1);

    ASSERT_TRUE(c.setColorIndex(5));
    EXPECT_TRUE(c.isByACI());
    EXPECT_EQ(c.colorIndex(), 5);
    // An index colour has no components of its own: the palette gives them.
    EXPECT_EQ(c.red() + c.green() + c.blue(), 0);
    ASSERT_TRUE(c.setColorIndex(256));
    EXPECT_TRUE(c.isByLayer());
    ASSERT_TRUE(c.setColorIndex(0));
    EXPECT_TRUE(c.isByBlock());
    EXPECT_EQ(c.colorIndex(), 0);
}

TEST(DbColor, values_of_no_method_or_out_of_range_indices_are_refused) {
    ZcCmColor c;
    c.setRGB(1, 2, 3);
    const std::uint32_t kept = c.color();
    EXPECT_FALSE(c.setColor(255));  // a bare number, no method byte
    EXPECT_FALSE(c.setColor(0xC3000000u));
    EXPECT_FALSE(c.setColor(0xC3000100u));
    EXPECT_FALSE(c.setColorIndex(257));
    EXPECT_FALSE(c.setColorIndex(-1));
    EXPECT_EQ(c.color(), kept);
}
