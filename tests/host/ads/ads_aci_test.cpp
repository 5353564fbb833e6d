// The index colour palette against known entries.
#include <gtest/gtest.h>

#include "host/ads/acicolor.h"

namespace {

using host::AciRgb;
using host::aciToRgb;

TEST(AciPalette, named_colours) {
    EXPECT_EQ(*aciToRgb(1), (AciRgb{255, 0, 0}));
    EXPECT_EQ(*aciToRgb(2), (AciRgb{255, 255, 0}));
    EXPECT_EQ(*aciToRgb(3), (AciRgb{0, 255, 0}));
    EXPECT_EQ(*aciToRgb(5), (AciRgb{0, 0, 255}));
    EXPECT_EQ(*aciToRgb(7), (AciRgb{255, 255, 255}));
}

TEST(AciPalette, hue_steps_and_shades) {
    EXPECT_EQ(*aciToRgb(10), (AciRgb{255, 0, 0}));
    EXPECT_EQ(*aciToRgb(11), (AciRgb{255, 127, 127}));
    EXPECT_EQ(*aciToRgb(12), (AciRgb{165, 0, 0}));
    EXPECT_EQ(*aciToRgb(30), (AciRgb{255, 127, 0}));
    EXPECT_EQ(*aciToRgb(50), (AciRgb{255, 255, 0}));
    EXPECT_EQ(*aciToRgb(90), (AciRgb{0, 255, 0}));
    EXPECT_EQ(*aciToRgb(130), (AciRgb{0, 255, 255}));
    EXPECT_EQ(*aciToRgb(170), (AciRgb{0, 0, 255}));
    EXPECT_EQ(*aciToRgb(210), (AciRgb{255, 0, 255}));
    EXPECT_EQ(*aciToRgb(18), (AciRgb{38, 0, 0}));
}

TEST(AciPalette, greys_and_out_of_range) {
    EXPECT_EQ(*aciToRgb(250), (AciRgb{51, 51, 51}));
    EXPECT_EQ(*aciToRgb(251), (AciRgb{91, 91, 91}));
    EXPECT_EQ(*aciToRgb(252), (AciRgb{132, 132, 132}));
    EXPECT_EQ(*aciToRgb(253), (AciRgb{173, 173, 173}));
    EXPECT_EQ(*aciToRgb(254), (AciRgb{214, 214, 214}));
    EXPECT_EQ(*aciToRgb(255), (AciRgb{255, 255, 255}));
    EXPECT_FALSE(aciToRgb(0));
    EXPECT_FALSE(aciToRgb(256));
}

TEST(AciPalette, every_index_maps_back_to_an_index_of_the_same_colour) {
    for (int i = 1; i <= 255; ++i) {
        int back = host::rgbToAci(*aciToRgb(i));
        EXPECT_EQ(*aciToRgb(back), *aciToRgb(i)) << i;
        EXPECT_LE(back, i);
    }
}

}  // namespace
