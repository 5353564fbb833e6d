// Rooms under roofs: the clip, the triangulation and the measurement, with
// oracles that do not restate the code: areas that must add up, and a
// volume equal to the integral of the (linear) roof height, which over a
// rectangle is its area times the height at its centre.
#include "rooms/under_roof.h"

#include <cmath>
#include <memory>
#include <string>

#include "core/entity_data.h"
#include "core/geometry/polygon.h"
#include "host/ads/ssget.h"
#include "rooms/room_deductions.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

double Shoelace(const VertexNode* ring) {
    double twice = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        twice += v->x * w->y - w->x * v->y;
    }
    return std::fabs(0.5 * twice);
}

// A pitch z = z0 + gx * x + gy * y over the outline.
RoofPitch* Pitch(VertexNode* outline, double z0, double gx, double gy, RoofPitch* next = nullptr) {
    auto* p = new RoofPitch;
    p->a = gx;
    p->b = gy;
    p->c = -1.0;
    p->d = z0;
    p->outline = outline;
    p->next = next;
    return p;
}

struct Pieces {
    double area = 0.0;
    int loops = 0;
    int triangles = 0;
    bool allCentroidsInside = true;
};

// Clips, triangulates each loop, and checks every triangle against both.
Pieces ClipAndTriangulate(const VertexNode* subject, const VertexNode* clip) {
    Pieces out;
    ContourNode* loops = ClipPolygon(subject, clip);
    for (ContourNode* c = loops; c; c = c->next) {
        ++out.loops;
        const double loopArea = Shoelace(c->vertices);
        double sum = 0.0;
        FaceRecord* t = TriangulateUnderRoof(c->vertices);
        for (FaceRecord* f = t; f; f = f->next) {
            ++out.triangles;
            sum += Shoelace(f->corners);
            const VertexNode* a = f->corners;
            const Point3 g{(a->x + a->next->x + a->next->next->x) / 3,
                           (a->y + a->next->y + a->next->next->y) / 3, 0};
            out.allCentroidsInside = out.allCentroidsInside && PointInPolygon(g, subject, 1) != 0 &&
                                     PointInPolygon(g, clip, 1) != 0;
        }
        FreeList(t);
        EXPECT_NEAR(sum, loopArea, 1e-9);
        out.area += loopArea;
    }
    FreeListOfLists(loops);
    return out;
}

using UnderRoofTest = RoomsTest;

TEST_F(UnderRoofTest, clip_finds_every_piece) {
    OwnedList<VertexNode> a(Rect(0, 0, 2, 2)), b(Rect(1, 1, 3, 3));
    Pieces corner = ClipAndTriangulate(a.get(), b.get());
    EXPECT_EQ(corner.loops, 1);
    EXPECT_NEAR(corner.area, 1.0, 1e-9);

    // A U whose arms a band crosses: two pieces, walked from the U's own
    // vertices inside the band, or as runs of the band's clip vertices.
    OwnedList<VertexNode> u(Ring({P(0, 0), P(6, 0), P(6, 4), P(4, 4), P(4, 2), P(2, 2), P(2, 4), P(0, 4)}));
    OwnedList<VertexNode> band(Rect(-1, 3, 7, 5));
    for (auto [s, k] : {std::pair{u.get(), band.get()}, std::pair{band.get(), u.get()}}) {
        Pieces arms = ClipAndTriangulate(s, k);
        EXPECT_EQ(arms.loops, 2);
        EXPECT_NEAR(arms.area, 4.0, 1e-9);
        EXPECT_TRUE(arms.allCentroidsInside);
    }

    OwnedList<VertexNode> far(Rect(10, 10, 11, 11));
    EXPECT_EQ(ClipAndTriangulate(a.get(), far.get()).loops, 0);
    OwnedList<VertexNode> inner(Rect(0.5, 0.5, 1, 1));
    EXPECT_NEAR(ClipAndTriangulate(a.get(), inner.get()).area, 0.25, 1e-9);
    EXPECT_NEAR(ClipAndTriangulate(inner.get(), a.get()).area, 0.25, 1e-9);
}

TEST_F(UnderRoofTest, concave_rooms_triangulate_inside_themselves_either_way_round) {
    OwnedList<VertexNode> l(Ring({P(0, 6), P(3, 6), P(3, 3), P(6, 3), P(6, 0), P(0, 0)}));  // clockwise
    VertexNode* ring = CopyVertexList(l.get());
    FaceRecord* t = TriangulateUnderRoof(ring);
    double sum = 0.0;
    for (FaceRecord* f = t; f; f = f->next) {
        sum += Shoelace(f->corners);
        const VertexNode* a = f->corners;
        const Point3 g{(a->x + a->next->x + a->next->next->x) / 3, (a->y + a->next->y + a->next->next->y) / 3,
                       0};
        EXPECT_NE(PointInPolygon(g, l.get(), 0), 0);
    }
    EXPECT_NEAR(sum, 27.0, 1e-9);
    EXPECT_EQ(PolygonOrientation(ring), 0);  // handed back counter-clockwise
    FreeList(t);
    FreeList(ring);
}

TEST_F(UnderRoofTest, rectangle_under_one_pitch_gives_mean_height_and_wall_surface) {
    std::unique_ptr<RoofPitch> pitch(Pitch(Rect(-1, -1, 5, 6), 2.0, 0.0, 0.2));
    UnderRoofJob job;
    job.pitches = pitch.get();
    VertexNode* room = Rect(0, 0, 4, 5);
    const UnderRoofResult r = ComputeUnderRoof(job, room);
    FreeList(room);
    EXPECT_NEAR(r.height, 2.5, 1e-9);
    EXPECT_NEAR(r.wallSurface, 45.0, 1e-9);
    EXPECT_FALSE(r.broken);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(UnderRoofTest, volume_is_the_integral_of_the_roof_height_over_the_covered_part) {
    // L-shaped room, the pitch covering y >= 2: [0,6]x[2,3] and [0,3]x[3,6].
    std::unique_ptr<RoofPitch> pitch(Pitch(Rect(-1, 2, 7, 7), 1.0, 0.1, 0.2));
    UnderRoofJob job;
    job.pitches = pitch.get();
    VertexNode* room = Ring({P(0, 0), P(6, 0), P(6, 3), P(3, 3), P(3, 6), P(0, 6)});
    UnderRoofResult r = ComputeUnderRoof(job, room);
    const double lVolume = 6 * (1 + 0.1 * 3 + 0.2 * 2.5) + 9 * (1 + 0.1 * 1.5 + 0.2 * 4.5);
    EXPECT_NEAR(r.height * 27.0, lVolume, 1e-9);
    FreeList(room);

    // U-shaped room whose arms only are covered, in two separate pieces.
    std::unique_ptr<RoofPitch> band(Pitch(Rect(-1, 3, 7, 5), 1.0, 0.1, 0.2));
    job.pitches = band.get();
    room = Ring({P(0, 0), P(6, 0), P(6, 4), P(4, 4), P(4, 2), P(2, 2), P(2, 4), P(0, 4)});
    r = ComputeUnderRoof(job, room);
    const double uVolume = 2 * (1 + 0.1 * 1 + 0.2 * 3.5) + 2 * (1 + 0.1 * 5 + 0.2 * 3.5);
    EXPECT_NEAR(r.height * 20.0, uVolume, 1e-9);
    FreeList(room);
}

TEST_F(UnderRoofTest, degenerate_room_has_no_height) {
    std::unique_ptr<RoofPitch> pitch(Pitch(Rect(-1, -1, 5, 6), 2.0, 0.0, 0.2));
    UnderRoofJob job;
    job.pitches = pitch.get();
    VertexNode* room = Ring({P(0, 0), P(4, 0), P(8, 0)});
    const UnderRoofResult r = ComputeUnderRoof(job, room);
    FreeList(room);
    EXPECT_EQ(r.height, 0.0);
    EXPECT_FALSE(std::isnan(r.wallSurface));
}

TEST_F(UnderRoofTest, a_break_measures_nothing) {
    std::unique_ptr<RoofPitch> pitch(Pitch(Rect(-1, -1, 5, 6), 2.0, 0.0, 0.2));
    UnderRoofJob job;
    job.pitches = pitch.get();
    job.drawTriangles = true;
    VertexNode* room = Ring({P(0, 0), P(4, 0), P(4, 5), P(2, 2), P(0, 5)});
    const UnderRoofResult r = ComputeUnderRoof(job, room, [] { return true; });
    FreeList(room);
    EXPECT_TRUE(r.broken);
    EXPECT_EQ(r.height, 0.0);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(UnderRoofTest, drawn_triangles_number_across_pitches_and_carry_area_and_height) {
    // Two pitches over the two halves of the 4 x 5 room.
    std::unique_ptr<RoofPitch> pitches(
        Pitch(Rect(-1, -1, 5, 2.5), 2.0, 0.0, 0.2, Pitch(Rect(-1, 2.5, 5, 6), 2.0, 0.0, 0.2)));
    UnderRoofJob job;
    job.pitches = pitches.get();
    job.level = 0.0;
    job.drawTriangles = true;
    job.decimals = 3;
    job.cardName = "K1";
    job.rowNumber = 4;
    VertexNode* room = Rect(0, 0, 4, 5);
    const UnderRoofResult r = ComputeUnderRoof(job, room);
    FreeList(room);
    delete pitches->next;
    pitches->next = nullptr;
    EXPECT_NEAR(r.height, 2.5, 1e-9);
    ASSERT_EQ(r.triangles, 4);
    EXPECT_EQ(count("0=INSERT 8=ROOMTRIANGLE"), 4);
    EXPECT_EQ(count("-3=VELM13CAD$_$TRIANGSOTTOTETTO-"), 4);

    resbuf* filter = zcutBuildList(-3, 1001, kUnderRoofTriangleApp, 0);
    ads_name set;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, set), RTNORM);
    zcutRelRb(filter);
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    double area = 0.0, volume = 0.0;
    int numbers = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        zcedSSName(set, i, e);
        resbuf* apps = zcutBuildList(RTSTR, kUnderRoofTriangleApp, 0);
        resbuf* list = zcdbEntGetX(e, apps);
        zcutRelRb(apps);
        const resbuf* rb = FindXDataApp(list, kUnderRoofTriangleApp);
        ASSERT_NE(rb, nullptr);
        rb = rb->rbnext;
        EXPECT_STREQ(rb->resval.rstring, "K1");
        EXPECT_EQ(rb->rbnext->resval.rint, 4);
        const int number = rb->rbnext->rbnext->rbnext->resval.rint;
        numbers |= 1 << number;
        const resbuf* reals = rb->rbnext->rbnext->rbnext->rbnext->rbnext->rbnext->rbnext;
        const double zc = reals->resval.rreal;
        area += reals->rbnext->resval.rreal;
        volume += reals->rbnext->rbnext->resval.rreal;
        EXPECT_GT(zc, 2.0);
        zcutRelRb(list);
    }
    zcedSSFree(set);
    EXPECT_EQ(numbers, 2 | 4 | 8 | 16);
    EXPECT_NEAR(area, 20.0, 1e-9);
    EXPECT_NEAR(volume, 50.0, 1e-9);
    EXPECT_EQ(count("0=TEXT"), 0);  // the texts are in the blocks
}

}  // namespace
