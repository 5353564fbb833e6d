// The handrail's geometry on plain records: the side chosen by the pick,
// the pieces and rail heights along a stepped side, the joins of the rail
// band's edges, the sides of library stairs read from their records, and
// the vertical elements of a balustrade.
#include "stairs/handrail_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "host/ads/rbutil.h"

namespace {

// A side along +x: `treads` treads of `run`, each `rise` above the last,
// starting at height `rise`; risers are two points at one plan point.
SideChain Steps(int treads, double run, double rise, double y = 0.0) {
    SideChain chain;
    for (int i = 0; i < treads; ++i) {
        const double z = rise * (i + 1);
        chain.push_back({run * i, y, z});
        chain.push_back({run * (i + 1), y, z});
    }
    return chain;
}

// The height of the rail's top at a piece's start and end.
double TopStart(const HandrailPiece& p) {
    return p.stairStart + p.railStart;
}
double TopEnd(const HandrailPiece& p) {
    return p.stairEnd + p.railEnd;
}

HandrailPiece Straight(Point3 a, Point3 b) {
    HandrailPiece p;
    p.start = a;
    p.end = b;
    return p;
}

HandrailPiece ArcPiece(Point3 centre, double radius, double a0, double a1, bool direction) {
    HandrailPiece p;
    p.kind = 1;
    p.direction = direction;
    p.start = centre;
    p.end = {radius, a0, a1};
    return p;
}

Point3 Centre(const std::vector<Point3>& section) {
    Point3 c{0, 0, 0};
    for (const Point3& p : section) {
        c.x += p.x / section.size();
        c.y += p.y / section.size();
    }
    return c;
}

}  // namespace

TEST(HandrailSide, a_pick_nearer_the_second_side_chooses_it_over_its_whole_length) {
    HandrailWork w;
    w.firstSide = Steps(3, 30, 18, 0.0);
    w.secondSide = Steps(3, 30, 18, 110.0);
    w.pickPoint = {45, 100, 0};
    const SideChain* chain = w.ChooseHandrailSide(true, {}, {});
    ASSERT_EQ(chain, &w.secondSide);
    EXPECT_EQ(w.chosenSide, 1);
    EXPECT_NEAR(w.startPoint.x, 0.0, 1e-9);
    EXPECT_NEAR(w.endPoint.x, 90.0, 1e-9);
    // A point beside neither side's segments is not on the side.
    EXPECT_EQ(w.ChooseHandrailSide(false, {10, 110, 0}, {500, 110, 0}), nullptr);
}

TEST(HandrailPieces, a_start_on_a_side_vertex_starts_there_and_risers_become_rises) {
    HandrailWork w;
    w.firstSide = w.secondSide = Steps(4, 30, 18);
    w.pickPoint = {50, 0, 0};
    const SideChain* chain = w.ChooseHandrailSide(false, {30, -3, 0}, {120, 2, 0});
    ASSERT_NE(chain, nullptr);
    w.BuildHandrailPieces(*chain);
    ASSERT_EQ(w.pathPieces.size(), 3u);
    EXPECT_NEAR(w.pathPieces[0].start.x, 30.0, 1e-9);
    // On the tread above the riser, not below it.
    EXPECT_NEAR(w.pathPieces[0].stairStart, 36.0, 1e-9);
    EXPECT_NEAR(w.pathPieces[0].rise, 18.0, 1e-9);
    EXPECT_NEAR(w.pathPieces[1].rise, 18.0, 1e-9);
    EXPECT_NEAR(w.pathPieces[2].rise, 0.0, 1e-9);
    EXPECT_NEAR(w.averageTread, 30.0, 1e-9);
}

TEST(HandrailPieces, without_landings_the_rail_rises_with_the_plan_length_from_its_height) {
    HandrailWork w;
    w.firstSide = w.secondSide = Steps(5, 30, 18);
    w.pickPoint = {50, 0, 0};
    w.BuildHandrailPieces(*w.ChooseHandrailSide(true, {}, {}));
    ASSERT_EQ(w.pathPieces.size(), 5u);
    EXPECT_NEAR(w.pathPieces[0].railStart, w.height, 1e-9);
    for (std::size_t i = 0; i + 2 < w.pathPieces.size(); ++i) {
        const HandrailPiece& p = w.pathPieces[i];
        // One slope, the stair's, and no jump at the riser.
        EXPECT_NEAR((TopEnd(p) - TopStart(p)) / 30.0, 18.0 / 30.0, 1e-9) << i;
        EXPECT_NEAR(TopEnd(p), TopStart(w.pathPieces[i + 1]), 1e-9) << i;
    }
}

TEST(HandrailPieces, a_long_landing_stays_level_and_climbs_one_average_tread_before_the_step) {
    HandrailWork w;
    // Two treads, a landing of 150, a last tread.
    SideChain chain = {{0, 0, 18},  {30, 0, 18},  {30, 0, 36},  {60, 0, 36},
                       {60, 0, 54}, {210, 0, 54}, {210, 0, 72}, {240, 0, 72}};
    w.firstSide = w.secondSide = chain;
    w.pickPoint = {50, 0, 0};
    w.BuildHandrailPieces(*w.ChooseHandrailSide(true, {}, {}));
    EXPECT_NEAR(w.averageTread, 30.0, 1e-9);
    ASSERT_EQ(w.pathPieces.size(), 5u);
    const HandrailPiece& level = w.pathPieces[2];
    const HandrailPiece& climb = w.pathPieces[3];
    EXPECT_NEAR(level.start.x, 60.0, 1e-9);
    EXPECT_NEAR(level.end.x, 180.0, 1e-9);
    EXPECT_NEAR(level.railStart, w.height, 1e-9);
    EXPECT_NEAR(level.railEnd, w.height, 1e-9);
    EXPECT_NEAR(climb.start.x, 180.0, 1e-9);
    EXPECT_NEAR(climb.railEnd, w.height + 18.0, 1e-9);
    EXPECT_NEAR(TopEnd(climb), TopStart(w.pathPieces[4]), 1e-9);
}

TEST(HandrailJoins, two_straight_pieces_in_one_line_keep_their_ends) {
    std::vector<HandrailPiece> pieces = {Straight({0, 0, 0}, {50, 0, 0}), Straight({50, 0, 0}, {100, 0, 0})};
    CCorrimano rail;
    ASSERT_TRUE(rail.ComputeHandrailPath(pieces, 0, "3DSTAIRS_HR", 6.0, 0.0, false));
    EXPECT_NEAR(pieces[0].path[2], 50.0, 1e-9);
    EXPECT_NEAR(pieces[0].path[3], 6.0, 1e-9);
    EXPECT_NEAR(pieces[1].path[0], 50.0, 1e-9);
    EXPECT_NEAR(pieces[1].path[1], 6.0, 1e-9);
    // The band to the other side when negated.
    ASSERT_TRUE(rail.ComputeHandrailPath(pieces, 0, "3DSTAIRS_HR", 6.0, 0.0, true));
    EXPECT_NEAR(pieces[1].path[3], -6.0, 1e-9);
}

TEST(HandrailJoins, of_two_crossings_with_an_arc_the_one_nearer_both_join_ends_is_used) {
    // North along x = 0 to (0, -50), then an arc of radius 50 about the
    // origin from -90 degrees: the far edge, 6 to the left, is x = -6 and the
    // arc's radius 44; they cross at y = -43.6 and y = +43.6.
    std::vector<HandrailPiece> pieces = {Straight({0, -150, 0}, {0, -50, 0}),
                                         ArcPiece({0, 0, 0}, 50.0, -std::numbers::pi / 2.0, 0.0, true)};
    CCorrimano rail;
    ASSERT_TRUE(rail.ComputeHandrailPath(pieces, 0, "3DSTAIRS_HR", 6.0, 0.0, false));
    const double y = -std::sqrt(44.0 * 44.0 - 36.0);
    EXPECT_NEAR(pieces[0].path[2], -6.0, 1e-6);
    EXPECT_NEAR(pieces[0].path[3], y, 1e-6);
    EXPECT_NEAR(pieces[1].path[2], 44.0, 1e-9);
    const double angle = std::atan2(y, -6.0) + 2.0 * std::numbers::pi;
    EXPECT_NEAR(pieces[1].path[3], angle, 1e-6);
    // The arc's other end stays.
    EXPECT_NEAR(pieces[1].path[4], 0.0, 1e-6);
}

TEST(HandrailJoins, an_offset_arc_that_vanishes_fails_the_path) {
    std::vector<HandrailPiece> pieces = {
        Straight({0, -100, 0}, {0, -5, 0}),
        ArcPiece({5, -5, 0}, 5.0, std::numbers::pi / 2.0, std::numbers::pi, true)};
    CCorrimano rail;
    EXPECT_FALSE(rail.ComputeHandrailPath(pieces, 0, "3DSTAIRS_HR", 6.0, 0.0, false));
    // An arc whose circle the neighbour's line never meets fails too.
    std::vector<HandrailPiece> apart = {Straight({100, -100, 0}, {100, 0, 0}),
                                        ArcPiece({0, 0, 0}, 20.0, 0.0, 1.0, true)};
    EXPECT_FALSE(rail.ComputeHandrailPath(apart, 0, "3DSTAIRS_HR", 6.0, 0.0, false));
}

// ---- library stairs ----

namespace {

LibraryStairStep Flight(double tread, double riser, double count, Point3 start, Point3 direction,
                        double side) {
    LibraryStairStep s;
    s.tread = tread;
    s.riser = riser;
    s.count = count;
    s.start = start;
    s.direction = direction;
    s.side = side;
    return s;
}

// One record of the library stair application's layout.
void AppendRecord(resbuf*& tail, const double reals[6], double angle, int cut = 0) {
    auto add = [&tail](resbuf* rb) {
        tail->rbnext = rb;
        tail = rb;
    };
    add(zcutBuildList(1002, "{", 0));
    for (int k = 0; k < 6; ++k) add(zcutBuildList(1040, reals[k], 0));
    const ads_point p{0, 0, 0}, e{0, 100, 0};
    add(zcutBuildList(1011, p, 0));
    add(zcutBuildList(1040, angle, 0));
    add(zcutBuildList(1011, p, 0));
    add(zcutBuildList(1011, e, 0));
    if (cut == 0) add(zcutBuildList(1011, p, 0));
    add(zcutBuildList(1002, "}", 0));
}

}  // namespace

TEST(HandrailLibraryStairs, a_straight_flight_gives_its_treads_at_their_heights) {
    VertexNode* profile = FlightProfile(Flight(28, 17.5, 3, {0, 0, 0}, {0, 100, 0}, 0));
    const SideChain chain = OutlineToChain(profile);
    FreeList(profile);
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_NEAR(chain[0].y, 0.0, 1e-9);
    EXPECT_NEAR(chain[1].y, 28.0, 1e-9);
    EXPECT_NEAR(chain[1].z, 17.5, 1e-9);
    EXPECT_NEAR(chain[2].y, 28.0, 1e-9);
    EXPECT_NEAR(chain[2].z, 35.0, 1e-9);
    EXPECT_NEAR(chain[3].y, 56.0, 1e-9);
}

TEST(HandrailLibraryStairs, a_curved_flight_of_two_steps_gives_one_tread) {
    LibraryStairStep s = Flight(0.3, 17.5, 2, {}, {100, 0, 0}, 100);
    s.arc = 1.0;
    VertexNode* profile = ArcFlightProfile(s, -0.3);
    const SideChain chain = OutlineToChain(profile);
    FreeList(profile);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_NEAR(chain[0].z, 17.5, 1e-9);
    EXPECT_NEAR(chain[1].z, 17.5, 1e-9);
    EXPECT_NEAR(std::atan2(chain[1].y, chain[1].x), -0.3, 1e-9);
    EXPECT_NEAR(std::hypot(chain[1].x, chain[1].y), 100.0, 1e-9);
}

TEST(HandrailLibraryStairs, of_two_curved_sides_of_one_radius_each_flag_takes_its_own) {
    LibraryStairStep a = Flight(0.3, 10, 4, {}, {100, 0, 0}, 100);
    LibraryStairStep b = Flight(0.3, 20, 4, {}, {100, 0, 0}, 100);
    a.arc = b.arc = 1.0;
    std::vector<LibraryStairStep> steps = {a, b};
    VertexNode* outer = BuildLibrarySideOutline(0, steps);
    VertexNode* inner = BuildLibrarySideOutline(1, steps);
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_NEAR(outer->z, 20.0, 1e-9);  // the second
    EXPECT_NEAR(inner->z, 10.0, 1e-9);  // the first
    FreeList(outer);
    FreeList(inner);
    // A curved record with nothing curved after it gives no side.
    std::vector<LibraryStairStep> lone = {a};
    EXPECT_EQ(BuildLibrarySideOutline(0, lone), nullptr);
}

TEST(HandrailLibraryStairs, records_cut_short_or_of_another_kind_are_dropped) {
    resbuf* list = zcutBuildList(1001, kLibraryStairApp, 0);
    resbuf* tail = list;
    const double first[6] = {28, 17.5, 3, 0, 0, 0};
    const double second[6] = {28, 17.5, 5, 0, 1, 0};
    AppendRecord(tail, first, 0.0);
    AppendRecord(tail, second, 0.0, 1);  // its centre missing
    AppendRecord(tail, second, 0.0);
    // A record with a whole number where a real belongs.
    tail->rbnext = zcutBuildList(1002, "{", 1070, 3, 0);
    const std::vector<LibraryStairStep> steps = ReadLibraryStairSteps(list);
    zcutRelRb(list);
    ASSERT_EQ(steps.size(), 2u);
    // Newest first.
    EXPECT_NEAR(steps[0].count, 5.0, 1e-9);
    EXPECT_NEAR(steps[1].count, 3.0, 1e-9);
}

TEST(HandrailLibraryStairs, straight_flights_of_one_side_join_end_to_start) {
    std::vector<LibraryStairStep> steps = {Flight(30, 18, 3, {0, 60, 0}, {0, 120, 0}, 1),
                                           Flight(30, 18, 3, {110, 0, 0}, {110, 60, 0}, 0),
                                           Flight(30, 18, 3, {0, 0, 0}, {0, 60, 0}, 1)};
    VertexNode* outline = BuildLibrarySideOutline(1, steps);
    const SideChain chain = OutlineToChain(outline);
    FreeList(outline);
    ASSERT_EQ(chain.size(), 8u);
    EXPECT_NEAR(chain.front().y, 0.0, 1e-9);
    EXPECT_NEAR(chain.back().y, 120.0, 1e-9);
    EXPECT_EQ(steps.size(), 1u);  // the other side's flight is left
}

// ---- vertical elements ----

TEST(HandrailPosts, elements_stand_at_the_middles_of_equal_stretches_of_each_run) {
    HandrailWork w;
    w.pathPieces = {Straight({0, 0, 0}, {100, 0, 0})};
    w.width = 6.0;
    w.spacing = 25.0;
    w.PlaceVerticalElements();
    ASSERT_EQ(w.posts.size(), 4u);
    std::vector<double> xs;
    for (const HandrailPost& p : w.posts) {
        xs.push_back(Centre(p.section).x);
        EXPECT_NEAR(Centre(p.section).y, 3.0, 1e-9);  // the middle of the band
    }
    std::sort(xs.begin(), xs.end());
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(xs[i], (i + 0.5) * 25.0, 1e-9);
    // No spacing: one element in the middle of the run, not a division by zero.
    w.spacing = 0.0;
    w.PlaceVerticalElements();
    ASSERT_EQ(w.posts.size(), 1u);
    EXPECT_NEAR(Centre(w.posts[0].section).x, 50.0, 1e-9);
}

TEST(HandrailPosts, each_section_edge_gives_one_face_from_the_base_to_the_rail) {
    HandrailWork w;
    HandrailPiece p = Straight({0, 0, 0}, {100, 0, 0});
    p.stairStart = p.stairEnd = 18.0;
    p.railStart = p.railEnd = 90.0;
    w.pathPieces = {p};
    w.spacing = 100.0;
    w.sideInset = 5.0;
    w.position = kHandrailOutside;
    w.PlaceVerticalElements();
    w.MakeRailBand();
    w.BuildVerticalElementFaces();
    ASSERT_EQ(w.postFaces.size(), 4u);
    for (const PostFace& f : w.postFaces) {
        EXPECT_NEAR(f[0].z, 13.0, 1e-9);  // below the stair by the inset
        EXPECT_NEAR(f[2].z, 18.0 + 90.0 - w.thickness, 1e-9);
    }
    // Two sides: a plate, one face, no closing edge; inside, from the stair.
    w.sideElementCount = 2;
    w.position = kHandrailInside;
    w.PlaceVerticalElements();
    w.BuildVerticalElementFaces();
    ASSERT_EQ(w.postFaces.size(), 1u);
    EXPECT_NEAR(w.postFaces[0][0].z, 18.0, 1e-9);
}
