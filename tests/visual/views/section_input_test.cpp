// Section input through the host's prompts, and the frames it makes: three
// points in either order and at any elevation give one section; a symbol
// gives the section its record says; "Widok" cuts nothing; the frame is
// orthonormal with the camera never behind the section plane.
#include "visual/views/section_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>

#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/views/section_faces.h"
#include "visual/views/section_object.h"

namespace {

constexpr double kPi = std::numbers::pi;

std::string At(double x, double y) {
    char text[80];
    std::snprintf(text, sizeof text, "%.12f,%.12f", x, y);
    return text;
}

Point3 Apply(const Matrix4& m, const Point3& p) {
    Point3 out;
    TransformPoint(m, p, out);
    return out;
}

void ExpectSameFrame(const Matrix4& a, const Matrix4& b) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-7) << r << "," << c;
}

void ExpectOrthonormal(const Matrix4& m) {
    for (int r = 0; r < 3; ++r)
        for (int q = 0; q < 3; ++q) {
            const double dot = m.m[r][0] * m.m[q][0] + m.m[r][1] * m.m[q][1] + m.m[r][2] * m.m[q][2];
            EXPECT_NEAR(dot, r == q ? 1.0 : 0.0, 1e-9);
        }
}

class SectionInput : public Model3DTest {
protected:
    static bool Section(CSezione& s, std::initializer_list<std::string> answers) {
        push(answers);
        return GetSectionLine(s);
    }
    // Places a symbol and sets its object variables in its record.
    static void Symbol(const char* name, const std::string& at, const std::string& rotation,
                       std::initializer_list<std::pair<int, double>> values = {}) {
        const int before = count("0=INSERT");
        ASSERT_EQ(run({"VELMOBJECT", name, at, rotation, ""}), RTNORM);
        ASSERT_EQ(count("0=INSERT"), before + 1);
        ads_name e;
        ASSERT_EQ(zcdbEntLast(e), RTNORM);
        resbuf* list = zcdbEntGetX(e, host::ResbufList(zcutBuildList(RTSTR, "VELM5$_$PARAMETRI-", 0)).get());
        // The variables are pairs from the eighth group after the name on:
        // a 1070 before them may hold the same number (the insertion type).
        resbuf* pairs = list;
        while (pairs && !(pairs->restype == 1000 && pairs->resval.rstring == std::string(name)))
            pairs = pairs->rbnext;
        for (int k = 0; k < 8 && pairs; ++k) pairs = pairs->rbnext;
        for (const auto& [number, value] : values) {
            bool found = false;
            for (resbuf* rb = pairs; rb && rb->rbnext && !found; rb = rb->rbnext->rbnext)
                if (rb->restype == 1070 && rb->resval.rint == number && rb->rbnext->restype == 1040) {
                    rb->rbnext->resval.rreal = value;
                    found = true;
                }
            EXPECT_TRUE(found) << name << " variable " << number;
        }
        if (values.size()) {
            EXPECT_EQ(zcdbEntMod(list), RTNORM);
        }
        zcutRelRb(list);
    }
};

}  // namespace

TEST_F(SectionInput, settings_give_the_sections_tolerances) {
    SetSettingReal(SetupVar::SFTMTCM, 1.0);
    CSezione cm;
    EXPECT_DOUBLE_EQ(cm.tolerance.equalPoint(), 0.001);
    EXPECT_DOUBLE_EQ(cm.tolerance.equalVector(), 0.001);
    EXPECT_DOUBLE_EQ(cm.minLength, 0.01);
    EXPECT_DOUBLE_EQ(cm.unitLength, 10.0);
    SetSettingReal(SetupVar::SFTMTCM, 0.01);
    CSezione m;
    EXPECT_NEAR(m.tolerance.equalPoint(), 0.00001, 1e-15);
    EXPECT_NEAR(m.minLength, 0.0001, 1e-15);
    EXPECT_NEAR(m.unitLength, 0.1, 1e-15);
    EXPECT_EQ(m.viewLines, nullptr);
    EXPECT_EQ(m.faces, nullptr);
}

TEST_F(SectionInput, frames_are_orthonormal_with_the_camera_never_behind_the_plane) {
    std::mt19937 random(72);
    std::uniform_real_distribution<double> coord(-1000.0, 1000.0);
    int built = 0;
    for (int trial = 0; trial < 500; ++trial) {
        Point3 a{coord(random), coord(random), 0.0}, b{coord(random), coord(random), 0.0};
        Point3 camera{coord(random), coord(random), coord(random) / 10.0};
        const Point3 up{b.x, b.y, 100.0};
        const Point3 p1 = b, p2 = a;
        Matrix4 frame;
        if (!BuildViewFrame(frame, a, b, up, camera, FrameMode::AsGiven)) continue;
        ++built;
        ExpectOrthonormal(frame);
        EXPECT_NEAR(Apply(frame, p1).z, 0.0, 1e-6);
        EXPECT_NEAR(Apply(frame, p2).z, 0.0, 1e-6);
        EXPECT_NEAR(Apply(frame, p2).y, 0.0, 1e-6);
        EXPECT_GT(Apply(frame, p2).x, 0.0);
        EXPECT_LE(a.z, 1e-9);  // the camera, in view coordinates
    }
    EXPECT_GT(built, 490);

    // A camera on the +z side of the first frame turns the frame round.
    Point3 a{10, 0, 0}, b{0, 0, 0}, front{5, -10, 0}, back{5, 10, 0};
    Matrix4 seen, other;
    ASSERT_TRUE(BuildViewFrame(seen, a, b, {0, 0, 100}, front, FrameMode::AsGiven));
    a = {10, 0, 0};
    ASSERT_TRUE(BuildViewFrame(other, a, b, {0, 0, 100}, back, FrameMode::AsGiven));
    EXPECT_LT(a.z, 0.0);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(other.m[2][c], -seen.m[2][c], 1e-12);

    // The extents of an empty drawing: nothing to see.
    Matrix4 empty;
    a = {1, 0, 0};
    b = {0, 0, 0};
    EXPECT_FALSE(BuildViewFrame(empty, a, b, {0, 1, 0}, front, FrameMode::Extents));
    EXPECT_EQ(lastMessage(), "Brak prawidłowych obiektów w określonym widoku");
}

TEST_F(SectionInput, three_points_in_either_order_and_at_any_elevation_give_one_section) {
    CSezione s;
    ASSERT_TRUE(Section(s, {"-100,400", "1200,400", "500,-600"}));
    Matrix4 expected;
    SetIdentity4(expected);
    expected.m[0][3] = 100.0;
    expected.m[1][1] = 0.0, expected.m[1][2] = 1.0;
    expected.m[2][1] = 1.0, expected.m[2][2] = 0.0, expected.m[2][3] = -400.0;
    ExpectSameFrame(s.viewFrame, expected);
    EXPECT_EQ(s.axonometric, 0);

    CSezione reversed;
    ASSERT_TRUE(Section(reversed, {"1200,400", "-100,400", "500,-600"}));
    ExpectSameFrame(reversed.viewFrame, expected);
    CSezione raised;
    ASSERT_TRUE(Section(raised, {"-100,400,50", "1200,400,-30", "500,-600,7"}));
    ExpectSameFrame(raised.viewFrame, expected);

    // The camera on the other side: the mirror section, x and z turned.
    CSezione left, swapped;
    ASSERT_TRUE(Section(left, {"-100,400", "1200,400", "500,1400"}));
    ASSERT_TRUE(Section(swapped, {"1200,400", "-100,400", "500,1400"}));
    ExpectSameFrame(left.viewFrame, swapped.viewFrame);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(left.viewFrame.m[0][c], -expected.m[0][c], 1e-12);
        EXPECT_NEAR(left.viewFrame.m[2][c], -expected.m[2][c], 1e-12);
    }

    // Refusals: equal points, a camera on the line, a cancel.
    CSezione refused;
    EXPECT_FALSE(Section(refused, {"5,5", "5,5,10"}));
    EXPECT_EQ(lastMessage(), "Wybrane punkty nie mogą być takie same");
    EXPECT_FALSE(Section(refused, {"0,0", "10,0", "20,0"}));
    EXPECT_EQ(lastMessage(), "Wybrane punkty nie mogą być takie same");
    EXPECT_FALSE(Section(refused, {"0,0", "10,0", "!cancel"}));
}

TEST_F(SectionInput, plain_symbol_gives_the_section_of_its_three_points) {
    Symbol("TMS_SEZ", "-100,400", "30");
    auto* line = new ZcDbLine({2000, 2000, 0}, {2100, 2000, 0});
    ZcDbObjectId id;
    ASSERT_EQ(AppendToModelSpace(id, line), Zcad::eOk);
    line->close();

    CSezione s;
    // A pick of something else asks again.
    ASSERT_TRUE(Section(s, {"", "!pick 2050,2000", "!pick -100,400"}));
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest przekrojem"), std::string::npos);
    const double r = 30.0 / 180.0 * kPi;
    CSezione points;
    ASSERT_TRUE(Section(points, {At(-100, 400), At(-100 + 10 * std::cos(r), 400 + 10 * std::sin(r)),
                                 At(-100 + 10 * std::cos(r - kPi / 2), 400 + 10 * std::sin(r - kPi / 2))}));
    ExpectSameFrame(s.viewFrame, points.viewFrame);

    // Seen in the display direction: the same cut, the display frame kept.
    CSezione axo;
    ASSERT_TRUE(Section(axo, {"Aksonometryczny", "!pick -100,400"}));
    ExpectSameFrame(axo.viewFrame, points.viewFrame);
    EXPECT_EQ(axo.axonometric, 1);
    const Point3 p{123, 45, 67};
    const Point3 back = Apply(axo.inverseViewFrame, Apply(axo.viewFrame, p));
    EXPECT_NEAR(back.x, p.x, 1e-9);
    EXPECT_NEAR(back.z, p.z, 1e-9);
    ExpectOrthonormal(axo.displayFrame);

    // A cancelled pick gives up.
    CSezione cancelled;
    EXPECT_FALSE(Section(cancelled, {"", "!cancel"}));
}

TEST_F(SectionInput, stepped_symbol_puts_its_second_plane_at_its_depth) {
    for (double v : {-300.0, 300.0}) {
        Symbol("TMS_SEZ2", "0,0", "0", {{42, v}});
        CSezione s;
        ASSERT_TRUE(Section(s, {"", "!pick 0,0"})) << v;
        EXPECT_EQ(s.depthFlag, 1);
        EXPECT_DOUBLE_EQ(s.depth, v);
        // The bar from the end at r - 90 degrees to the one at r + 90 lies
        // on x = 0, y = 0, from depth 0 to depth v.
        const Point3 first = Apply(s.viewFrame, {0, 150, 0}), second = Apply(s.viewFrame, {0, -150, 0});
        EXPECT_NEAR(first.x, 0.0, 1e-9);
        EXPECT_NEAR(second.x, 0.0, 1e-9);
        EXPECT_NEAR(first.z - second.z, 300.0, 1e-9);
        EXPECT_NEAR(v > 0 ? second.z : first.z, 0.0, 1e-9);
        EXPECT_LT(Apply(s.viewFrame, {0, -600, 0}).z, 0.0);  // the camera
        EXPECT_NEAR(s.depthPoint.y, -150.0, 1e-9);
        run({"ERASE", "L", ""});
    }
}

TEST_F(SectionInput, tilted_symbol_at_ninety_degrees_cuts_a_vertical_plane_at_its_height) {
    Symbol("TMS_SEZS", "0,0", "0", {{38, 120.0}, {39, 90.0}});
    CSezione s;
    ASSERT_TRUE(Section(s, {"", "!pick 0,0"}));
    EXPECT_EQ(s.axonometric, 1);
    ExpectOrthonormal(s.viewFrame);
    const Point3 origin = Apply(s.viewFrame, {0, 0, 120});
    EXPECT_NEAR(origin.x, 0.0, 1e-9);
    EXPECT_NEAR(origin.y, 0.0, 1e-9);
    EXPECT_NEAR(origin.z, 0.0, 1e-9);
    // Vertical: every point of the plane y = 0 has depth 0, in front is -y.
    EXPECT_NEAR(Apply(s.viewFrame, {500, 0, -300}).z, 0.0, 1e-9);
    EXPECT_LT(Apply(s.viewFrame, {0, -10, 0}).z, 0.0);
}

TEST_F(SectionInput, whole_view_cuts_nothing) {
    auto* near = new ZcDbLine({-500, -900, 0}, {700, -900, 300});
    auto* far = new ZcDbLine({0, 800, -50}, {10, 900, 400});
    ZcDbObjectId id;
    ASSERT_EQ(AppendToModelSpace(id, near), Zcad::eOk);
    ASSERT_EQ(AppendToModelSpace(id, far), Zcad::eOk);
    near->close();
    far->close();
    ASSERT_EQ(run({"VPOINT", "0,-1,0"}), RTNORM);
    CSezione s;
    ASSERT_TRUE(Section(s, {"Widok"}));
    EXPECT_EQ(s.axonometric, 0);
    ExpectOrthonormal(s.viewFrame);
    for (const Point3& p :
         {Point3{-500, -900, 0}, Point3{700, -900, 300}, Point3{0, 800, -50}, Point3{10, 900, 400}})
        EXPECT_GT(Apply(s.viewFrame, p).z, 0.0);
    // Seen from the front: depth grows with y, height with z.
    EXPECT_GT(Apply(s.viewFrame, {0, 800, 0}).z, Apply(s.viewFrame, {0, -900, 0}).z);
    EXPECT_GT(Apply(s.viewFrame, {0, 0, 300}).y, Apply(s.viewFrame, {0, 0, 0}).y);
}
