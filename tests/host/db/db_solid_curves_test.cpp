// Regions and solid faces with arcs, whole circles and holes: what they
// explode into must lie on the loops and add up to their areas, and the
// filers must carry the curves without changing how straight loops file.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"

namespace {

using Parts = std::vector<std::unique_ptr<ZcDbEntity>>;

Parts own(const std::vector<ZcDbEntity*>& raw) {
    return Parts(raw.begin(), raw.end());
}

// A 10 x 6 rectangle in the plane z = 2 whose top edge bulges up into a
// half circle of radius 5, with a hole of radius 1 at (5, 3).
ZcDbRegion* archedRegion(ZcDbRegion& r) {
    ZcDbCurveLoop outer{{{0, 0, 2}, {10, 0, 2}, {10, 6, 2}, {0, 6, 2}}, {0, 0, 1, 0}};
    EXPECT_EQ(r.setLoops({outer, zcdbCircleLoop({5, 3, 2}, {0, 0, 1}, 1)}), Zcad::eOk);
    return &r;
}

}  // namespace

TEST(SolidCurves, region_with_arc_and_circular_hole_explodes_onto_its_loops) {
    ZcDbRegion r;
    archedRegion(r);
    const double pi = std::numbers::pi;
    EXPECT_NEAR(r.area(), 60 + pi * 25 / 2 - pi, 1e-9);
    std::vector<ZcDbEntity*> raw;
    ASSERT_EQ(r.explode(raw), Zcad::eOk);
    Parts parts = own(raw);
    int lines = 0, arcs = 0, circles = 0;
    for (const auto& e : parts) {
        EXPECT_EQ(e->layer(), r.layer());
        if (auto* l = ZcDbLine::cast(e.get())) {
            ++lines;
            EXPECT_NEAR(l->startPoint().z, 2, 1e-12);
        } else if (auto* a = ZcDbArc::cast(e.get())) {
            ++arcs;
            EXPECT_TRUE(a->center().isEqualTo({5, 6, 2}));
            EXPECT_NEAR(a->radius(), 5, 1e-9);
            // The arc joins the rectangle's top corners and bulges upwards.
            EXPECT_TRUE(a->startPoint().isEqualTo({10, 6, 2}));
            EXPECT_TRUE(a->endPoint().isEqualTo({0, 6, 2}));
        } else if (auto* c = ZcDbCircle::cast(e.get())) {
            ++circles;
            EXPECT_TRUE(c->center().isEqualTo({5, 3, 2}));
            EXPECT_NEAR(c->radius(), 1, 1e-9);
        }
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(arcs, 1);
    EXPECT_EQ(circles, 1);
}

TEST(SolidCurves, clockwise_arc_explodes_between_the_same_corners) {
    // The same half circle as a notch: the top edge turns clockwise into
    // the rectangle.
    ZcDbRegion r;
    ZcDbCurveLoop outer{{{0, 0, 0}, {10, 0, 0}, {10, 6, 0}, {0, 6, 0}}, {0, 0, -0.5, 0}};
    ASSERT_EQ(r.setLoops({outer}), Zcad::eOk);
    const double sweep = 4 * std::atan(0.5), radius = 10 / (2 * std::sin(sweep / 2));
    EXPECT_NEAR(r.area(), 60 - radius * radius * (sweep - std::sin(sweep)) / 2, 1e-9);
    std::vector<ZcDbEntity*> raw;
    r.explode(raw);
    Parts parts = own(raw);
    int arcs = 0;
    for (const auto& e : parts)
        if (auto* a = ZcDbArc::cast(e.get())) {
            ++arcs;
            EXPECT_GT(a->center().y, 6);  // the notch dips into the rectangle
            EXPECT_TRUE(a->startPoint().isEqualTo({0, 6, 0}));
            EXPECT_TRUE(a->endPoint().isEqualTo({10, 6, 0}));
        }
    EXPECT_EQ(arcs, 1);
}

TEST(SolidCurves, solid_face_keeps_its_hole_and_a_curved_face_is_no_region) {
    ZcDb3dSolid s;
    ZcDbFaceLoop front{{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}};
    ZcDbFaceLoop window{{2, 0, 1}, {2, 0, 3}, {4, 0, 3}, {4, 0, 1}};
    ASSERT_EQ(s.addFace({{front, {}}, {window, {}}}), Zcad::eOk);
    ZcDbFaceLoop side{{0, 0, 0}, {0, 4, 0}, {0, 4, 5}, {0, 0, 5}};
    ASSERT_EQ(s.addFace({{side, {}}}), Zcad::eOk);
    ASSERT_EQ(s.addCurvedFace({{{10, 0, 0}, {10, 4, 0}, {12, 2, 5}}, {0.3, 0, 0}}), Zcad::eOk);
    std::vector<ZcDbEntity*> raw;
    s.explode(raw);
    Parts parts = own(raw);
    ASSERT_EQ(parts.size(), 3u);
    auto* first = ZcDbRegion::cast(parts[0].get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->loops().size(), 2u);
    EXPECT_NEAR(first->area(), 50 - 4, 1e-9);
    ASSERT_NE(ZcDbRegion::cast(parts[1].get()), nullptr);
    EXPECT_EQ(ZcDbRegion::cast(parts[2].get()), nullptr);
    EXPECT_NE(ZcDbBody::cast(parts[2].get()), nullptr);
    // A face out of plane, a hole out of its face's plane or a bulge per
    // corner missing is refused, and the solid is left as it was.
    ZcDbFaceLoop bent{{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 0}};
    EXPECT_EQ(s.addFace({{bent, {}}}), Zcad::eInvalidInput);
    EXPECT_EQ(s.addFace({{front, {}}, {side, {}}}), Zcad::eInvalidInput);
    EXPECT_EQ(s.addFace({{front, {0, 1}}}), Zcad::eInvalidInput);
    EXPECT_EQ(s.loops().size(), 4u);
}

TEST(SolidCurves, curves_and_holes_round_trip_through_both_filers) {
    ZcDb3dSolid s;
    ZcDbFaceLoop front{{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}};
    ASSERT_EQ(s.addFace({{front, {0, 0, 0.25, 0}}, zcdbCircleLoop({5, 0, 2}, {0, -1, 0}, 1)}), Zcad::eOk);
    ASSERT_EQ(s.addCurvedFace({{{10, 0, 0}, {10, 4, 0}, {12, 2, 5}}, {}}), Zcad::eOk);
    auto same = [&](const ZcDb3dSolid& c) {
        ASSERT_EQ(c.loops().size(), s.loops().size());
        for (std::size_t i = 0; i < s.loops().size(); ++i) {
            EXPECT_EQ(c.loopFlags(i), s.loopFlags(i)) << i;
            ASSERT_EQ(c.loops()[i].size(), s.loops()[i].size()) << i;
            for (std::size_t k = 0; k < s.loops()[i].size(); ++k) {
                EXPECT_TRUE(c.loops()[i][k].isEqualTo(s.loops()[i][k]));
                EXPECT_EQ(c.bulgeAt(i, k), s.bulgeAt(i, k));
            }
        }
    };
    ZcDbMemDxfFiler f;
    ASSERT_EQ(s.dxfOut(&f), Zcad::eOk);
    f.rewind();
    ZcDb3dSolid fromDxf;
    ASSERT_EQ(fromDxf.dxfIn(&f), Zcad::eOk);
    same(fromDxf);
    ZcDbDwgFiler d;
    s.dwgOutFields(&d);
    d.seekStart();
    ZcDb3dSolid fromDwg;
    ASSERT_EQ(fromDwg.dwgInFields(&d), Zcad::eOk);
    same(fromDwg);

    // Straight faces file as they always did: no bulges, no loop flags.
    ZcDb3dSolid box;
    box.createBox({0, 0, 0}, {1, 2, 3});
    ZcDbMemDxfFiler plain;
    box.dxfOut(&plain);
    plain.rewind();
    ZcDbDxfItem it;
    int points = 0;
    while (plain.readItem(it) == Zcad::eOk) {
        EXPECT_NE(it.code, 42);
        EXPECT_NE(it.code, 72);
        points += it.code == 10;
    }
    EXPECT_EQ(points, 24);
}

TEST(SolidCurves, extents_and_picks_see_arcs_where_they_bulge_not_their_chords) {
    // A circle of three arcs through (0, 10), (-8.66, -5) and (8.66, -5):
    // its chords reach neither x = +-10 nor y = -10.
    const double r = 10, third = 2 * std::numbers::pi / 3;
    ZcDbCurveLoop round;
    for (int k = 0; k < 3; ++k) {
        const double a = std::numbers::pi / 2 + k * third;
        round.points.push_back({r * std::cos(a), r * std::sin(a), 4});
        round.bulges.push_back(std::tan(third / 4));
    }
    ZcDbRegion region;
    ASSERT_EQ(region.setLoops({round}), Zcad::eOk);
    ZcDbGeometry g;
    zcdbEntityGeometry(&region, g);
    ZcDbExtents3d box = zcdbGeomExtents(g);
    EXPECT_NEAR(box.min.x, -10, 1e-9);
    EXPECT_NEAR(box.min.y, -10, 1e-9);
    EXPECT_NEAR(box.max.x, 10, 1e-9);
    EXPECT_NEAR(box.max.y, 10, 1e-9);
    EXPECT_NEAR(box.min.z, 4, 1e-9);
    EXPECT_NEAR(box.max.z, 4, 1e-9);
    // A pick on the arc's far side finds it; the chord is 5 away.
    EXPECT_NEAR(zcdbGeomDistance(g, {0, -10, 4}).value(), 0, 1e-9);

    // The arched region: the half circle over the top edge reaches y = 11,
    // the hole stays inside.
    ZcDbRegion arched;
    archedRegion(arched);
    g.clear();
    zcdbEntityGeometry(&arched, g);
    box = zcdbGeomExtents(g);
    EXPECT_NEAR(box.max.y, 11, 1e-9);
    EXPECT_NEAR(box.min.y, 0, 1e-9);

    // A solid's upright face with a half circle on top, its hole turning
    // about the same normal, and a curved face about its own: the extents
    // take the arc's top.
    ZcDb3dSolid s;
    ZcDbFaceLoop front{{0, 0, 0}, {10, 0, 0}, {10, 0, 5}, {0, 0, 5}};
    ASSERT_EQ(s.addFace({{front, {0, 0, 1, 0}}, zcdbCircleLoop({5, 0, 2}, {0, -1, 0}, 1)}), Zcad::eOk);
    ASSERT_EQ(s.addCurvedFace({{{10, 0, 0}, {10, 4, 0}, {12, 2, 0}}, {0, 0, 0}}), Zcad::eOk);
    g.clear();
    zcdbEntityGeometry(&s, g);
    box = zcdbGeomExtents(g);
    EXPECT_NEAR(box.max.z, 10, 1e-9);
    EXPECT_NEAR(box.max.x, 12, 1e-9);
    EXPECT_NEAR(box.min.y, 0, 1e-9);
    EXPECT_NEAR(box.max.y, 4, 1e-9);
}
