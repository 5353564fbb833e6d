// The index colour palette against known entries.
#include <gtest/gtest.h>

#include "host/ads/acicolor.h"

namespace {

using host::AciRgb;
using host::aciToRgb;

TEST(AciPalette, named_colours_hue_steps_shades_and_greys) {
    const struct {
        int aci;
        AciRgb rgb;
    } colours[] = {// the named colours
                   {1, {255, 0, 0}},
                   {2, {255, 255, 0}},
                   {3, {0, 255, 0}},
                   {5, {0, 0, 255}},
                   {7, {255, 255, 255}},
                   // hue steps and their shades
                   {10, {255, 0, 0}},
                   {11, {255, 127, 127}},
                   {12, {165, 0, 0}},
                   {30, {255, 127, 0}},
                   {50, {255, 255, 0}},
                   {90, {0, 255, 0}},
                   {130, {0, 255, 255}},
                   {170, {0, 0, 255}},
                   {210, {255, 0, 255}},
                   {18, {38, 0, 0}},
                   // the greys
                   {250, {51, 51, 51}},
                   {251, {91, 91, 91}},
                   {252, {132, 132, 132}},
                   {253, {173, 173, 173}},
                   {254, {214, 214, 214}},
                   {255, {255, 255, 255}}};
    for (const auto& c : colours) EXPECT_EQ(*aciToRgb(c.aci), c.rgb) << c.aci;
}

TEST(AciPalette, out_of_range_has_no_colour) {
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
