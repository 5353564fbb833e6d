// Length and angle texts in every mode, the DIMZIN rules, and readers that
// must give back what the writers wrote.
#include <cmath>
#include <string>
#include <utility>

#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using Units = EdSession;

std::string rtos(double v, int unit, int prec) {
    char buf[64];
    EXPECT_EQ(zcdbRToS(v, unit, prec, buf), RTNORM);
    return buf;
}

std::string angtos(double v, int unit, int prec) {
    char buf[64];
    EXPECT_EQ(zcdbAngToS(v, unit, prec, buf), RTNORM);
    return buf;
}

void dimzin(short v) {
    host::setSysVar("DIMZIN", host::SysVarValue{v});
}

TEST_F(Units, decimal_with_trailing_and_leading_zero_rules) {
    dimzin(0);
    EXPECT_EQ(rtos(12.5, 2, 3), "12.500");
    EXPECT_EQ(rtos(0.5, 2, 2), "0.50");
    EXPECT_EQ(rtos(-0.0001, 2, 2), "0.00") << "no negative zero";
    dimzin(8);
    EXPECT_EQ(rtos(12.5, 2, 3), "12.5");
    EXPECT_EQ(rtos(12.0, 2, 3), "12");
    dimzin(4);
    EXPECT_EQ(rtos(0.5, 2, 2), ".50");
    EXPECT_EQ(rtos(-0.5, 2, 2), "-.50");
    dimzin(12);
    EXPECT_EQ(rtos(0.5, 2, 4), ".5");
    EXPECT_EQ(rtos(0.0, 2, 4), "0");
}

TEST_F(Units, minus_one_takes_lunits_and_luprec) {
    dimzin(0);
    host::setSysVar("LUNITS", host::SysVarValue{short(2)});
    host::setSysVar("LUPREC", host::SysVarValue{short(1)});
    EXPECT_EQ(rtos(3.14159, -1, -1), "3.1");
    EXPECT_EQ(rtos(3.14159, -1, 3), "3.142");
}

TEST_F(Units, scientific) {
    dimzin(0);
    EXPECT_EQ(rtos(15.5, 1, 4), "1.5500E+01");
    dimzin(8);
    EXPECT_EQ(rtos(15.5, 1, 4), "1.55E+01");
}

TEST_F(Units, engineering_zero_feet_and_inches_by_dimzin) {
    dimzin(0);
    EXPECT_EQ(rtos(15.5, 3, 2), "1'-3.50\"");
    EXPECT_EQ(rtos(3.5, 3, 2), "3.50\"");
    EXPECT_EQ(rtos(12.0, 3, 2), "1'");
    dimzin(1);
    EXPECT_EQ(rtos(3.5, 3, 2), "0'-3.50\"");
    EXPECT_EQ(rtos(12.0, 3, 2), "1'-0.00\"");
    dimzin(2);
    EXPECT_EQ(rtos(12.0, 3, 2), "1'");
    dimzin(3);
    EXPECT_EQ(rtos(3.5, 3, 2), "3.50\"");
    EXPECT_EQ(rtos(12.0, 3, 2), "1'-0.00\"");
    dimzin(0);
    EXPECT_EQ(rtos(11.999, 3, 2), "1'") << "rounding carries into the feet";
}

TEST_F(Units, architectural_and_fractional) {
    dimzin(0);
    EXPECT_EQ(rtos(15.5, 4, 4), "1'-3 1/2\"");
    EXPECT_EQ(rtos(12.25, 4, 4), "1'-0 1/4\"");
    EXPECT_EQ(rtos(0.75, 4, 4), "3/4\"");
    EXPECT_EQ(rtos(15.5, 5, 4), "15 1/2");
    EXPECT_EQ(rtos(0.375, 5, 3), "3/8");
    EXPECT_EQ(rtos(-2.0, 5, 3), "-2");
}

TEST_F(Units, bad_mode_or_small_buffer_is_an_error) {
    char buf[4];
    EXPECT_EQ(zcdbRToS(1.0, 6, 2, buf), RTERROR);
    EXPECT_EQ(zcdbRToS(12345.0, 2, 2, buf), RTERROR);
    EXPECT_STREQ(buf, "123") << "cut, still terminated";
}

TEST_F(Units, angles_in_each_mode) {
    EXPECT_EQ(angtos(kPi / 4, 0, 4), "45.0000");
    EXPECT_EQ(angtos(kPi / 4 + (30.0 / 60 + 15.0 / 3600) * kPi / 180, 1, 4), "45d30'15\"");
    EXPECT_EQ(angtos(kPi / 4, 1, 0), "45d");
    EXPECT_EQ(angtos(kPi / 4, 2, 2), "50.00g");
    EXPECT_EQ(angtos(kPi / 4, 3, 4), "0.7854r");
    EXPECT_EQ(angtos(kPi / 4, 4, 2), "N 45d0' E");
    EXPECT_EQ(angtos(kPi / 2, 4, 2), "N");
    EXPECT_EQ(angtos(kPi + kPi / 6, 4, 0), "S 60d W");
    EXPECT_EQ(angtos(-kPi / 2, 0, 0), "270");
    EXPECT_EQ(angtos(2 * kPi - 1e-9, 0, 0), "0") << "a full turn folds to zero";
}

TEST_F(Units, every_angle_text_reads_back_to_its_angle) {
    for (int unit = 0; unit <= 4; ++unit)
        for (double deg : {0.0, 30.0, 45.0, 90.0, 135.5, 200.25, 300.0}) {
            double a = deg * kPi / 180;
            std::string text = angtos(a, unit, 8);
            ads_real back = -1;
            ASSERT_EQ(zcdbAngToF(text.c_str(), unit, &back), RTNORM) << text;
            EXPECT_NEAR(back, a, 1e-6) << "mode " << unit << " text " << text;
        }
}

TEST_F(Units, every_length_text_reads_back_to_its_value) {
    dimzin(0);
    for (int unit = 1; unit <= 5; ++unit)
        for (double v : {0.5, 3.25, 15.5, 127.75, -40.125}) {
            std::string text = rtos(v, unit, 4);
            ads_real back = 0;
            ASSERT_EQ(zcdbDisToF(text.c_str(), unit, &back), RTNORM) << text;
            EXPECT_NEAR(back, v, 1e-9) << "mode " << unit << " text " << text;
        }
}

TEST_F(Units, readers_refuse_garbage) {
    ads_real v;
    EXPECT_EQ(zcdbDisToF("abc", 2, &v), RTERROR);
    EXPECT_EQ(zcdbDisToF("1/0", 5, &v), RTERROR);
    EXPECT_EQ(zcdbAngToF("N 95d E", 4, &v), RTERROR);
    EXPECT_EQ(zcdbAngToF("", 0, &v), RTERROR);
}

TEST_F(Units, typed_distances_keep_their_sign_spacing_and_fraction_rules) {
    const std::pair<const char*, double> read[] = {{" 12.5 ", 12.5}, {"- 3.25", -3.25}, {"+4", 4},
                                                   {"--2", 2},       {".5", 0.5},       {"-0", -0.0},
                                                   {" 2 1/2", 2.5},  {"-1'6\"", -18}};
    for (auto [text, value] : read) {
        const auto got = host::stringToDistance(text);
        ASSERT_TRUE(got) << text;
        EXPECT_TRUE(*got == value && std::signbit(*got) == std::signbit(value)) << text << " " << *got;
    }
    for (const char* bad : {"", " - ", "1,5", "inf", "1-1/2"})
        EXPECT_FALSE(host::stringToDistance(bad)) << bad;
}

TEST(PointHelpers, polar_angle_and_distance_agree) {
    ads_point a = {1, 2, 3}, b;
    zcutPolar(a, kPi / 3, 10, b);
    EXPECT_NEAR(zcutDistance(a, b), 10, 1e-12);
    EXPECT_NEAR(zcutAngle(a, b), kPi / 3, 1e-12);
    EXPECT_DOUBLE_EQ(b[Z], 3);
    ads_point c = {0, 0, 0}, d = {0, -1, 0};
    EXPECT_NEAR(zcutAngle(c, d), 1.5 * kPi, 1e-12);
}

}  // namespace
