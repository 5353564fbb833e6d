#include "core/dimtext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

struct Rounded {
    double value;
    std::string digits;
};

Rounded Round(double length, bool quarters, double unit = 1.0) {
    Rounded r{0.0, "?"};
    RoundDimensionValueWith({unit, quarters}, length, r.value, r.digits);
    return r;
}

}  // namespace

TEST(DimensionRounding, halves_round_to_the_nearest_half_with_bounds_rounding_down) {
    EXPECT_EQ(Round(12.25, false).value, 12.0);
    EXPECT_EQ(Round(12.25, false).digits, "");
    EXPECT_EQ(Round(12.5, false).digits, "5");
    EXPECT_EQ(Round(12.75, false).value, 12.0);  // 0.75 belongs to the half
    EXPECT_EQ(Round(12.75, false).digits, "5");
    EXPECT_EQ(Round(12.8, false).value, 13.0);
    EXPECT_EQ(Round(12.8, false).digits, "");
}

TEST(DimensionRounding, quarters_give_25_5_and_75) {
    EXPECT_EQ(Round(12.3, true).digits, "25");
    EXPECT_EQ(Round(12.5, true).digits, "5");
    EXPECT_EQ(Round(12.7, true).digits, "75");
    EXPECT_EQ(Round(12.125, true).digits, "");
    EXPECT_EQ(Round(12.875, true).digits, "75");
    EXPECT_EQ(Round(12.9, true).value, 13.0);
}

TEST(DimensionRounding, bounds_reached_through_division_noise_still_round_down) {
    // 0.1225 / 0.01 and 0.1275 / 0.01 are not exactly 12.25 and 12.75.
    EXPECT_EQ(Round(0.1225, false, 0.01).digits, "");
    EXPECT_EQ(Round(0.1275, false, 0.01).digits, "5");
    EXPECT_EQ(Round(0.12375, true, 0.01).digits, "25");
}

TEST(DimensionRounding, rounded_length_is_in_drawing_units) {
    // 1.235 m in centimetre steps: 123.5 units.
    Rounded r = Round(1.235, false, 0.01);
    EXPECT_NEAR(r.value, 1.23, 1e-12);
    EXPECT_EQ(r.digits, "5");
}

TEST(DimensionText, small_lengths_show_whole_units_and_raised_digits) {
    DimensionFormat f;
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 12.0, "5", 1.0), "12\\H1.000000;\\S5^");
    // Not "1": the whole units come from the rounded number.
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 9.9999999, "", 1.0).substr(0, 3), "10\\");
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 7.0, "", 1.0).substr(0, 2), "7\\");
}

TEST(DimensionText, from_100_units_the_length_shows_the_decimals_of_the_step) {
    DimensionFormat f;
    f.unit = 0.01;
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 3.5, "", 1.0), "3.50\\H1.000000;\\S^");
    f.decimalComma = true;
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 3.5, "", 1.0), "3,50\\H1.000000;\\S^");
    f.decimalComma = false;
    f.unit = 0.001;  // log10 gives 2.9999999…: still three decimals
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 0.35, "", 1.0).substr(0, 5), "0.350");
}

TEST(DimensionText, default_fraction_height_follows_dimscale_and_text_height) {
    DimensionFormat f;
    f.dimscale = 50.0;
    EXPECT_EQ(FormatDimensionTextWith(f, 2.0, 12.0, "5", -1.0), "12\\H71.400000;\\S5^");
}

namespace {

// The drawing's settings, a recording stand-in of the host's dimension
// mode, and a chain of measuring points.
class DimensionDriver : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        host::registerHostCommand("DIM", [this] {
            runs.emplace_back();
            echoInside = host::sysVarShort("CMDECHO");
            scaleInside = host::sysVarReal("DIMSCALE");
            layerInside = host::sysVarString("CLAYER");
            for (;;) {
                host::InputToken t = host::nextPromptToken();
                if (t.kind != host::InputToken::Text) return RTCAN;
                runs.back().push_back(t.text);
                if (t.text == "_EXIT") return RTNORM;
            }
        });
    }
    void TearDown() override {
        host::installHostCommands();  // the host's own dimension command back
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }
    static void setInt(int slot, short v) { SetVarInt(&slot, &v); }
    static void setReal(int slot, double v) { SetVarReal(&slot, &v); }

    static VertexNode* chain(std::initializer_list<double> xs) {
        VertexNode* list = nullptr;
        int n = 0;
        for (double x : xs) AppendVertex(&list, {x, 0, 0}, 1, n++, 0);
        return list;
    }

    std::vector<std::vector<std::string>> runs;
    int echoInside = -1;
    double scaleInside = 0.0;
    std::string layerInside;
};

}  // namespace

TEST_F(DimensionDriver, two_points_give_one_dimension_with_the_exact_answers_and_no_question) {
    OwnedList<VertexNode> pts(chain({0.0, 3.5}));
    setInt(SetupVar::QNORMDIN, 1);
    std::string style = "NIEMA";
    ads_point line{0, -1, 0};
    host::setSysVar("OSMODE", host::SysVarValue{static_cast<short>(33)});
    host::setSysVar("CMDECHO", host::SysVarValue{static_cast<short>(1)});
    DrawDimension(style, "0", line, pts.get(), nullptr, "_HOR", 0.0, 2.0, 0.0, 0.0);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].size(), 6u);
    EXPECT_EQ(runs[0][0], "_HOR");
    EXPECT_EQ(runs[0][1].substr(0, 2), "0,");
    EXPECT_EQ(runs[0][2].substr(0, 4), "3.5,");
    // Unit 1: three units and a half, the half at DIMSCALE x DIMTXT x
    // 0.714; DIMSCALE is the print scale 1:50 in centimetres, 5.
    char height[64];
    std::snprintf(height, sizeof height, "3\\H%f;", 5.0 * 2.5 * 0.714);
    EXPECT_EQ(runs[0][4].substr(0, std::strlen(height)), height);
    EXPECT_NE(runs[0][4].find("\\S5^"), std::string::npos);
    EXPECT_EQ(runs[0][5], "_EXIT");
    EXPECT_EQ(echoInside, 0);
    EXPECT_EQ(style, "STANDARD");
    // Restored.
    EXPECT_EQ(host::sysVarShort("OSMODE"), 33);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    EXPECT_EQ(host::sysVarReal("ELEVATION"), 0.0);
    EXPECT_EQ(transcript().find("całkowity"), std::string::npos);
}

TEST_F(DimensionDriver, host_measures_when_the_module_text_is_off_and_short_spans_are_skipped) {
    OwnedList<VertexNode> pts(chain({0.0, 2.0, 2.0, 5.0}));
    ads_point line{0, -1, 0};
    std::string style = "STANDARD";
    push("Nie");
    DrawDimension(style, "0", line, pts.get(), nullptr, "_ALI", 0.0, 0.0, 0.0, 0.5);
    ASSERT_EQ(runs.size(), 2u);  // the zero span is not dimensioned
    EXPECT_EQ(runs[0][4], "");
    EXPECT_EQ(runs[1][2].substr(0, 2), "5,");
}

TEST_F(DimensionDriver, overall_dimension_on_yes_goes_from_first_to_last_beyond_the_chain) {
    OwnedList<VertexNode> pts(chain({0.0, 2.0, 5.0}));
    setReal(SetupVar::SQSPOSTA_COMP, 0.5);
    ads_point line{0, -1, 0};
    std::string style = "STANDARD";
    push("Tak");
    DrawDimension(style, "0", line, pts.get(), nullptr, "_HOR", 0.5 * 3.14159265358979323846, 0.0, 0.0, 0.0);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2][1].substr(0, 2), "0,");
    EXPECT_EQ(runs[2][2].substr(0, 2), "5,");
    // The dimension line point moved by 0.5 along the angle (up): y -0.5.
    EXPECT_NE(runs[2][3].find(",-0.5"), std::string::npos) << runs[2][3];
}

TEST_F(DimensionDriver, vertical_dimensions_turn_the_angle_and_the_layer_is_restored) {
    OwnedList<VertexNode> pts(chain({0.0, 1.0}));
    setReal(SetupVar::SQSOGLIA_TEDIT, 5.0);
    setReal(SetupVar::SQ_SPOSTAMENTO, 2.0);
    // What the dimension command made last; its text point is group 11.
    ads_point a{0, 0, 0}, b{0.5, -1, 0};
    resbuf* made = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 0);
    ASSERT_EQ(zcdbEntMake(made), RTNORM);
    zcutRelRb(made);
    ads_point line{0, -1, 0};
    std::string style = "STANDARD";
    host::setSysVar("CLAYER", host::SysVarValue{std::string("0")});
    DrawDimension(style, "WYMIARY", line, pts.get(), nullptr, "_ver", 0.0, 0.0, 0.0, 0.0);
    // The span is short: its text is moved in a second run of the mode.
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1][0], "_TEDIT");
    EXPECT_EQ(runs[1][1].substr(0, 7), "0.5,-1,");
    // From the middle of the span along the turned angle (pi) by 2.
    EXPECT_EQ(runs[1][2].substr(0, 5), "-1.5,");
    EXPECT_EQ(host::sysVarString("CLAYER"), "0");
}

// The print scale's dimension entry is a scale of paper millimetres: at
// 1:50, 2.5 mm of text stands 12.5 in a drawing in centimetres and 125 in
// one in millimetres; the variable is given back afterwards.
TEST_F(DimensionDriver, dimension_scale_is_the_print_scale_in_drawing_units) {
    OwnedList<VertexNode> pts(chain({0.0, 350.0}));
    ads_point line{0, -1, 0};
    std::string style = "STANDARD";
    host::setSysVar("DIMSCALE", host::SysVarValue{1.0});
    DrawDimension(style, "0", line, pts.get(), nullptr, "_HOR", 0.0, 0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(scaleInside, 5.0);
    EXPECT_DOUBLE_EQ(PaperScaleFactor(kDimensionScaleEntry), 5.0);
    EXPECT_DOUBLE_EQ(PaperScaleFactor(kSymbolScaleEntry), 4.0);
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 1.0);

    setReal(SetupVar::SFTMTCM, 10.0);
    DrawDimension(style, "0", line, pts.get(), nullptr, "_HOR", 0.0, 0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(scaleInside, 50.0);
    EXPECT_DOUBLE_EQ(PaperScaleFactor(kSymbolScaleEntry), 40.0);
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 1.0);
}
