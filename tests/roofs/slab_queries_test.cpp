// The slab queries on a drawing holding every kind of source: slabs written
// by the slab writer, records written by hand as other commands leave them
// (a girder, a Z-profile, a vault, a stair, opening objects), and plane
// lists built in memory for the two geometric queries.
#include "roofs/slab_queries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "host/db/dxffile.h"
#include "roofs/slab_openings.h"
#include "tests/roofs/slab_fixture.h"

namespace {

constexpr const char* kVault = "VELM6$_$VBOTTE_OBJ-";
constexpr const char* kStair = "VELM7$_$INFOSCALEST3D-";

struct P {
    double x, y, z;
};

resbuf* Tail(resbuf* list) {
    while (list->rbnext) list = list->rbnext;
    return list;
}

// An INSERT of a one-line block carrying the given xdata (from -3 on).
bool InsertWith(resbuf* xdata, ads_name out) {
    static int serial = 0;
    const std::string name = "Q" + std::to_string(++serial);
    const ads_point o{0, 0, 0}, x{1, 0, 0};
    resbuf* b = zcutBuildList(RTDXF0, "BLOCK", 2, name.c_str(), 70, 0, 10, o, 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    b = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, o, 11, x, 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    b = zcutBuildList(RTDXF0, "ENDBLK", 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, name.c_str(), 8, "0", 10, o, 0);
    Tail(ins)->rbnext = xdata;
    const int rc = zcdbEntMake(ins);
    zcutRelRb(ins);
    return rc == RTNORM && zcdbEntLast(out) == RTNORM;
}

void Append(resbuf*& head, resbuf* more) {
    if (!head)
        head = more;
    else
        Tail(head)->rbnext = more;
}

// Slab xdata as the slab writer lays it out; flags < 0 leaves out the flag word.
resbuf* SlabXData(int flags, double thickness, const std::vector<P>& outline) {
    zcdbRegApp(kSlabApp);
    resbuf* x = zcutBuildList(-3, 1001, kSlabApp, 1000, "SOL", 1000, "key_nes", 1040, thickness, 0);
    if (flags >= 0) Append(x, zcutBuildList(1070, flags, 0));
    Append(x, zcutBuildList(1002, "{", 0));
    for (const P& p : outline) {
        const ads_point q{p.x, p.y, p.z};
        Append(x, zcutBuildList(1011, q, 1070, 1, 0));
    }
    Append(x, zcutBuildList(1002, "}", 0));
    return x;
}

resbuf* PointsXData(const char* app, const std::vector<std::vector<P>>& groups, bool braces) {
    zcdbRegApp(app);
    resbuf* x = zcutBuildList(-3, 1001, app, 0);
    for (const auto& g : groups) {
        if (braces) Append(x, zcutBuildList(1002, "{", 0));
        for (const P& p : g) {
            const ads_point q{p.x, p.y, p.z};
            Append(x, zcutBuildList(1011, q, 0));
        }
        if (braces) Append(x, zcutBuildList(1002, "}", 0));
    }
    return x;
}

resbuf* OpeningXData(bool notch, const std::vector<P>& pts) {
    zcdbRegApp(kOpeningApp);
    resbuf* x = zcutBuildList(-3, 1001, kOpeningApp, 1070, notch ? 1 : 0, 0);
    for (const P& p : pts) {
        const ads_point q{p.x, p.y, p.z};
        Append(x, zcutBuildList(1070, 1, 1011, q, 0));
    }
    return x;
}

std::vector<P> Box(double x0, double y0, double x1, double y1, double z) {
    return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
}

int Count(const SlabPlaneRec* list) {
    return CountNodes(list);
}

// The record whose contour holds a vertex at (x, y) in plan, or null.
const SlabPlaneRec* WithVertex(const SlabPlaneRec* list, double x, double y) {
    for (; list; list = list->next)
        for (const VertexNode* v = list->contour; v; v = v->next)
            if (std::fabs(v->x - x) < 1e-6 && std::fabs(v->y - y) < 1e-6) return list;
    return nullptr;
}

double ZAt(const SlabPlaneRec* r, double x, double y) {
    return -(r->a * x + r->b * y + r->d) / r->c;
}

class SlabQueriesTest : public SlabTest {
protected:
    ads_name floorSlab{}, roof{}, profile{}, girder{}, notchObj{}, vault{}, stair{};

    // The floor of the queries: a floor slab 1000 x 800 at z 275 notched
    // at (400..500, 0..50), a roof pitch 600 x 400 rising from 0 to 120, a
    // Z-profile at 0, a girder at 150, a vault up to 150, a stair of two
    // rings (one at 100, one at 0).
    void BuildFloor() {
        CFALDA slab;
        slab.name = "SOL";
        slab.thickness = 20.0;
        slab.SetLoops(SlabLoops({{{0, 0, 275},
                                  {400, 0, 275},
                                  {400, 50, 275},
                                  {500, 50, 275},
                                  {500, 0, 275},
                                  {1000, 0, 275},
                                  {1000, 800, 275},
                                  {0, 800, 275}}}));
        ASSERT_TRUE(WriteSlab(slab, floorSlab));
        CFALDA pitch;
        pitch.name = "ROOF";
        pitch.thickness = 30.0;
        pitch.SetLoops(SlabLoops({{{2000, 0, 0}, {2600, 0, 0}, {2600, 400, 120}, {2000, 400, 120}}}));
        ASSERT_TRUE(WriteSlab(pitch, roof));
        ASSERT_TRUE(InsertWith(SlabXData(16 + 8 + 4, 10, Box(5000, 0, 5100, 100, 50)), profile));
        ASSERT_TRUE(InsertWith(SlabXData(4, 30, Box(100, 100, 900, 130, 150)), girder));
        ASSERT_TRUE(InsertWith(
            OpeningXData(true, {{400, 0, 275}, {400, 50, 275}, {500, 50, 275}, {500, 0, 275}}), notchObj));
        ASSERT_TRUE(InsertWith(
            PointsXData(kVault, {{{3000, 0, 0}, {3300, 0, 0}, {3300, 200, 150}, {3000, 200, 150}}}, false),
            vault));
        ASSERT_TRUE(
            InsertWith(PointsXData(kStair,
                                   {{{4000, 0, 100}, {4100, 0, 100}, {4100, 100, 100}, {4000, 100, 100}},
                                    {{4200, 0, 0}, {4300, 0, 0}, {4300, 100, 0}}},
                                   true),
                       stair));
    }
};

TEST_F(SlabQueriesTest, CoveringSlabsOfTheFloorAtTwoElevations) {
    BuildFloor();
    SlabPlaneRec* at0 = CollectCoveringSlabs(0.0, true, true, false, true);
    // floor slab, roof pitch, girder, vault, upper stair ring
    EXPECT_EQ(Count(at0), 5);
    const SlabPlaneRec* floorRec = WithVertex(at0, 1000, 800);
    ASSERT_NE(floorRec, nullptr);
    EXPECT_EQ(CountNodes(floorRec->contour), 4) << "the notch's vertices are left out";
    EXPECT_EQ(WithVertex(at0, 400, 50), nullptr);
    EXPECT_NEAR(ZAt(floorRec, 10, 10), 275.0, 1e-9);
    const SlabPlaneRec* roofRec = WithVertex(at0, 2600, 400);
    ASSERT_NE(roofRec, nullptr);
    EXPECT_NEAR(ZAt(roofRec, 2300, 200), 60.0, 1e-9);
    EXPECT_NE(WithVertex(at0, 900, 130), nullptr) << "a girder covers unless asked to skip it";
    EXPECT_NE(WithVertex(at0, 3300, 200), nullptr);
    EXPECT_NE(WithVertex(at0, 4100, 100), nullptr);
    EXPECT_EQ(WithVertex(at0, 4300, 100), nullptr) << "a ring at the elevation does not rise above it";
    EXPECT_EQ(WithVertex(at0, 5100, 100), nullptr) << "a Z-profile never covers";
    for (const SlabPlaneRec* r = at0; r; r = r->next)
        for (const VertexNode* v = r->contour; v; v = v->next) EXPECT_EQ(v->z, 0.0);
    FreeList(at0);

    SlabPlaneRec* at200 = CollectCoveringSlabs(200.0, true, true, false, true);
    ASSERT_EQ(Count(at200), 1);
    EXPECT_NE(WithVertex(at200, 1000, 800), nullptr);
    EXPECT_EQ(at200->contour->z, 200.0);
    FreeList(at200);

    SlabPlaneRec* noGirder = CollectCoveringSlabs(0.0, false, true, true, true);
    EXPECT_EQ(Count(noGirder), 4);
    EXPECT_EQ(WithVertex(noGirder, 900, 130), nullptr);
    const SlabPlaneRec* kept = WithVertex(noGirder, 1000, 800);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->contour->z, 275.0) << "without flatten the contour keeps its heights";
    FreeList(noGirder);
}

TEST_F(SlabQueriesTest, SourceSwitchesAndOddRecords) {
    ads_name e;
    ASSERT_TRUE(InsertWith(SlabXData(8, 10, Box(0, 0, 100, 100, 300)), e));     // flag 8
    ASSERT_TRUE(InsertWith(SlabXData(-1, 10, Box(200, 0, 300, 100, 300)), e));  // no flag word
    ASSERT_TRUE(InsertWith(SlabXData(0, 10, {{400, 0, 0}, {500, 0, 0}, {500, 0, 300}, {400, 0, 300}}),
                           e));                                              // vertical
    ASSERT_TRUE(InsertWith(SlabXData(0, 10, Box(600, 0, 700, 100, 0)), e));  // not above 0
    ASSERT_TRUE(InsertWith(OpeningXData(false, {{200, 0, 300}, {250, 0, 300}, {250, 50, 300}}), e));
    ASSERT_TRUE(InsertWith(PointsXData(kVault, {{{0, 500, 10}, {100, 500, 10}, {0, 600, 20}}}, false), e));
    ASSERT_TRUE(InsertWith(PointsXData(kVault, {{{200, 500, 10}, {300, 500, 10}}}, false), e));

    SlabPlaneRec* all = CollectCoveringSlabs(0.0, true, false, false, true);
    EXPECT_NE(WithVertex(all, 100, 100), nullptr) << "flag 8 taken without its switch";
    EXPECT_NE(WithVertex(all, 300, 100), nullptr) << "a slab without flag word is taken";
    EXPECT_EQ(CountNodes(WithVertex(all, 300, 100)->contour), 4) << "an opening object is no notch";
    EXPECT_EQ(WithVertex(all, 500, 0), nullptr) << "a vertical slab is never returned";
    EXPECT_EQ(WithVertex(all, 700, 100), nullptr);
    EXPECT_NE(WithVertex(all, 0, 600), nullptr) << "a vault of three points";
    EXPECT_EQ(WithVertex(all, 300, 500), nullptr) << "a vault of two points";
    EXPECT_EQ(Count(all), 3);
    FreeList(all);

    SlabPlaneRec* no8 = CollectCoveringSlabs(0.0, true, true, false, true);
    EXPECT_EQ(WithVertex(no8, 100, 100), nullptr);
    FreeList(no8);
    SlabPlaneRec* everywhere = CollectCoveringSlabs(0.0, true, true, false, false);
    EXPECT_NE(WithVertex(everywhere, 700, 100), nullptr) << "above-only off keeps a slab below";
    FreeList(everywhere);
}

TEST_F(SlabQueriesTest, SlabPlanesOfLevelRecords) {
    BuildFloor();
    ads_name flat;
    ASSERT_TRUE(InsertWith(SlabXData(-1, 10, Box(0, 0, 10, 10, 50)), flat));
    auto idOf = [](const ads_name e) {
        auto* n = new ObjectIdNode;
        zcdbGetObjectId(n->id, e);
        return n;
    };
    auto* rec = new Model3DLevelRec;
    rec->elevation1 = 0.0;
    rec->elevation2 = 40.0;
    rec->switch1 = 1;
    rec->switch2 = 0;
    rec->ids1 = idOf(floorSlab);
    rec->ids2 = idOf(roof);
    rec->ids2->next = idOf(profile);
    rec->ids2->next->next = idOf(flat);
    rec->ids2->next->next->next = idOf(stair);

    std::uint8_t sw = 7;
    double outElev = -1.0;
    SlabPlaneRec* upper = CollectSlabPlanes(rec, 10.0, sw, outElev, true);
    EXPECT_EQ(sw, 1);
    EXPECT_EQ(outElev, -1.0) << "an upper elevation of 0 is not taken";
    ASSERT_EQ(Count(upper), 1);
    EXPECT_NEAR(ZAt(upper, 5, 5), 275.0, 1e-9);
    EXPECT_EQ(upper->contour->z, 10.0);
    FreeList(upper);

    sw = 7;
    SlabPlaneRec* lower = CollectSlabPlanes(rec, 10.0, sw, outElev, false);
    EXPECT_EQ(sw, 7) << "a switch of 0 leaves the out switch alone";
    EXPECT_EQ(outElev, 40.0);
    // roof pitch raised by its thickness over cos(slope), one stair ring;
    // neither the Z-profile nor the slab without flag word
    ASSERT_EQ(Count(lower), 2);
    const SlabPlaneRec* pitch = WithVertex(lower, 2600, 400);
    ASSERT_NE(pitch, nullptr);
    EXPECT_NEAR(ZAt(pitch, 2000, 0), 30.0 / std::cos(std::atan(0.3)), 1e-9);
    EXPECT_NE(WithVertex(lower, 4100, 100), nullptr);
    FreeList(lower);

    rec->ids1->next = idOf(flat);
    FreeList(rec->ids2);
    rec->ids2 = idOf(floorSlab);
    rec->switch2 = -1;
    SlabPlaneRec* level = CollectSlabPlanes(rec, 0.0, sw, outElev, false);
    EXPECT_EQ(sw, 0);
    ASSERT_EQ(Count(level), 1);
    EXPECT_NEAR(ZAt(level, 5, 5), 295.0, 1e-9) << "a level slab rises by its thickness";
    FreeList(level);
    FreeList(rec);
}

SlabPlaneRec* Plane(double z, std::vector<P> contour, SlabPlaneRec* next = nullptr) {
    auto* r = new SlabPlaneRec;
    r->c = 1.0;
    r->d = -z;
    VertexNode** t = &r->contour;
    for (const P& p : contour) {
        *t = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
        t = &(*t)->next;
    }
    r->next = next;
    return r;
}

TEST(SlabOverSegment, LowestOrHighestOverTheMidpoint) {
    EXPECT_EQ(FindSlabOverSegment(nullptr, {0, 0, 0}, {10, 0, 0}, true, false), nullptr);
    SlabPlaneRec* list = Plane(300, Box(0, 0, 100, 100, 0),
                               Plane(200, Box(0, 0, 100, 100, 0), Plane(250, Box(0, 0, 50, 50, 0))));
    const SlabPlaneRec* low = FindSlabOverSegment(list, {10, 10, 0}, {20, 20, 0}, true, false);
    ASSERT_NE(low, nullptr);
    EXPECT_EQ(low->d, -200);
    EXPECT_EQ(FindSlabOverSegment(list, {10, 10, 0}, {20, 20, 0}, false, true)->d, -200);
    EXPECT_EQ(FindSlabOverSegment(list, {10, 10, 0}, {20, 20, 0}, true, true)->d, -300);
    EXPECT_EQ(FindSlabOverSegment(list, {10, 10, 0}, {20, 20, 0}, false, false)->d, -300);
    // the midpoint (25, 50) lies on the edge of the 50 x 50 contour: it counts
    EXPECT_EQ(FindSlabOverSegment(list->next, {0, 50, 0}, {50, 50, 0}, false, false)->d, -250);
    EXPECT_EQ(FindSlabOverSegment(list, {200, 0, 0}, {300, 0, 0}, true, false), nullptr);
    FreeList(list);

    SlabPlaneRec* tie = Plane(100, Box(0, 0, 10, 10, 0), Plane(100, Box(0, 0, 20, 20, 0)));
    EXPECT_EQ(FindSlabOverSegment(tie, {1, 1, 0}, {2, 2, 0}, true, false), tie);
    EXPECT_EQ(FindSlabOverSegment(tie, {1, 1, 0}, {2, 2, 0}, false, false), tie);
    FreeList(tie);

    SlabPlaneRec* bare = Plane(100, {}, Plane(50, Box(0, 0, 10, 10, 0)));
    EXPECT_EQ(FindSlabOverSegment(bare, {500, 500, 0}, {600, 600, 0}, false, false), bare);
    FreeList(bare);
}

std::vector<double> Xs(const VertexNode* list) {
    std::vector<double> out;
    for (; list; list = list->next) out.push_back(list->x);
    return out;
}

TEST(SplitSegmentAtSlabs, CrossingsOrderedFromTheEnd) {
    SetSharedTolerance(0.001);
    VertexNode* bare = SplitSegmentAtSlabs({0, 0, 0}, {100, 0, 0}, nullptr);
    EXPECT_EQ(Xs(bare), (std::vector<double>{100, 0}));
    FreeList(bare);

    // contours crossing the segment at 30, 60 (twice: two records share the
    // edge), 80 and one ending at the segment's start
    SlabPlaneRec* list = Plane(0, Box(30, -10, 60, 10, 0),
                               Plane(0, Box(60, -10, 80, 10, 0), Plane(0, Box(-20, -10, 0.0005, 10, 0))));
    VertexNode* split = SplitSegmentAtSlabs({0, 0, 0}, {100, 0, 0}, list);
    EXPECT_EQ(Xs(split), (std::vector<double>{100, 80, 60, 30, 0}));
    FreeList(split);
    VertexNode* back = SplitSegmentAtSlabs({100, 0, 0}, {0, 0, 0}, list);
    EXPECT_EQ(Xs(back), (std::vector<double>{0, 30, 60, 80, 100}));
    FreeList(back);
    FreeList(list);
}

TEST(PolygonContainsPoint, EdgesCountOnlyWhenAsked) {
    SetSharedTolerance(0.001);
    OwnedList<VertexNode> square(NewVertex(0, 0, 0, 1, 0, 0, 0));
    square->next = NewVertex(10, 0, 0, 1, 0, 0, 0);
    square->next->next = NewVertex(10, 10, 0, 1, 0, 0, 0);
    square->next->next->next = NewVertex(0, 10, 0, 1, 0, 0, 0);
    EXPECT_TRUE(PolygonContainsPoint({5, 5, 0}, square.get(), 0));
    EXPECT_TRUE(PolygonContainsPoint({10, 5, 0}, square.get(), 1));
    EXPECT_FALSE(PolygonContainsPoint({10, 5, 0}, square.get(), 0));
    EXPECT_FALSE(PolygonContainsPoint({15, 5, 0}, square.get(), 1));
    OwnedList<VertexNode> two(NewVertex(0, 0, 0, 1, 0, 0, 0));
    two->next = NewVertex(10, 0, 0, 1, 0, 0, 0);
    EXPECT_FALSE(PolygonContainsPoint({5, 0, 0}, two.get(), 1));
}

TEST_F(SlabQueriesTest, QueriesLeaveTheDrawingAsItWas) {
    BuildFloor();
    const std::string before = host::writeDxfText(db());
    SlabPlaneRec* covering = CollectCoveringSlabs(0.0, true, true, false, true);
    auto* rec = new Model3DLevelRec;
    rec->ids1 = new ObjectIdNode;
    zcdbGetObjectId(rec->ids1->id, floorSlab);
    std::uint8_t sw = 0;
    double e = 0.0;
    SlabPlaneRec* planes = CollectSlabPlanes(rec, 0.0, sw, e, true);
    FindSlabOverSegment(covering, {0, 0, 0}, {10, 0, 0}, true, false);
    FreeList(SplitSegmentAtSlabs({0, 0, 0}, {3000, 0, 0}, covering));
    EXPECT_EQ(host::writeDxfText(db()), before);
    FreeList(covering);
    FreeList(planes);
    FreeList(rec);
}

}  // namespace
