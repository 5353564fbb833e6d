// The drawing of a view, read back from the drawing: collinear pieces
// joined, overlaps drawn once (the nearer or the cut edge winning, the
// common part never lost), the sheet mapping at real size and fitted, the
// outlines of cut walls closed for the hatch with their insides cleared,
// the break line of a stepped section, and the lines going into the block
// being defined.
#include "visual/views/section_walls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/geometry/outline.h"
#include "core/name_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/prompts.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"

namespace {

struct Line {
    std::string layer;
    int colour = 256;
    Point3 a, b;
    double length() const { return std::hypot(b.x - a.x, b.y - a.y); }
};

constexpr int kCut = -256;

class SectionWallsTest : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        // No clean-up unless a case asks for it: the wall outlines are
        // their own cases.
        SetSettingInt(SetupVar::SETSEZRIPULSEZ, 0);
        Renew();
    }
    // A section object made now, from the settings as they are.
    void Renew() {
        section = std::make_unique<CSezione>();
        tail = &section->sectionSegments;
    }
    // Appends a visible segment, keeping the order of the calls.
    void Add(Point3 a, Point3 b, int colour, int layer = -1) {
        auto* s = new ViewSegment;
        s->start = a;
        s->end = b;
        s->colour = colour;
        s->layer = layer;
        *tail = s;
        tail = &s->next;
        ++section->sectionSegmentCount;
    }
    // A cut rectangle of a layer, counter-clockwise from its lower left.
    void CutBox(double x0, double y0, double x1, double y1, int layer) {
        Add({x0, y0, 0}, {x1, y0, 0}, kCut, layer);
        Add({x1, y0, 0}, {x1, y1, 0}, kCut, layer);
        Add({x1, y1, 0}, {x0, y1, 0}, kCut, layer);
        Add({x0, y1, 0}, {x0, y0, 0}, kCut, layer);
    }
    void Layer(const char* name, int value) {
        section->layerNames = AppendName(name, section->layerNames, value);
        ++section->layerCount;
    }

    static std::vector<Line> LinesOf(const std::vector<ZcDbObjectId>& ids) {
        std::vector<Line> out;
        for (ZcDbObjectId id : ids) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(e);
            Line line;
            bool isLine = false;
            for (const resbuf* rb = list; rb; rb = rb->rbnext) {
                if (rb->restype == 0) isLine = std::string(rb->resval.rstring) == "LINE";
                if (rb->restype == 8) line.layer = rb->resval.rstring;
                if (rb->restype == 62) line.colour = rb->resval.rint;
                if (rb->restype == 10)
                    line.a = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
                if (rb->restype == 11)
                    line.b = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
            }
            zcutRelRb(list);
            if (isLine) out.push_back(line);
        }
        return out;
    }
    static std::vector<Line> Lines(const std::string& layer = "") {
        std::vector<Line> all = LinesOf(modelSpace());
        if (layer.empty()) return all;
        std::vector<Line> out;
        for (const Line& l : all)
            if (l.layer == layer) out.push_back(l);
        return out;
    }
    static double Total(const std::vector<Line>& lines) {
        double sum = 0.0;
        for (const Line& l : lines) sum += l.length();
        return sum;
    }
    std::vector<const VertexNode*> Outlines() const {
        std::vector<const VertexNode*> out;
        for (const OutlinePolygon* o = section->wallOutlines; o; o = o->next) out.push_back(o->ring);
        return out;
    }
    static double Area(const VertexNode* ring) {
        double twice = 0.0;
        for (const VertexNode* v = ring; v; v = v->next) {
            const VertexNode* w = v->next ? v->next : ring;
            twice += v->x * w->y - w->x * v->y;
        }
        return std::fabs(twice) / 2.0;
    }

    std::unique_ptr<CSezione> section;
    ViewSegment** tail = nullptr;
};

bool Near(const Point3& p, double x, double y) {
    return std::fabs(p.x - x) < 1e-9 && std::fabs(p.y - y) < 1e-9 && p.z == 0.0;
}

// The line runs between the two points, either way round.
bool Runs(const Line& l, double x0, double y0, double x1, double y1) {
    return (Near(l.a, x0, y0) && Near(l.b, x1, y1)) || (Near(l.a, x1, y1) && Near(l.b, x0, y0));
}

}  // namespace

TEST_F(SectionWallsTest, collinear_pieces_of_one_colour_meeting_end_to_end_are_one_line) {
    section->lowerLeft = {100, 200, 0};
    Add({10, 0, 5}, {25, 0, 5}, 3);
    Add({25, 0, 5}, {30, 0, 5}, 5);  // another colour continues the line
    Add({0, 0, 5}, {10, 0, 5}, 3);
    Add({0, 40, 0}, {0, 20, 0}, kCut);
    Add({0, 20, 0}, {0, 0, 0}, kCut);
    SectionWalls(*section, false);

    // Real size, the view's lowest corner on the lower-left point.
    const std::vector<Line> plain = Lines(kSectionLayer);
    ASSERT_EQ(plain.size(), 2u);
    const auto three = std::find_if(plain.begin(), plain.end(), [](const Line& l) { return l.colour == 3; });
    ASSERT_NE(three, plain.end());
    EXPECT_TRUE(Runs(*three, 100, 200, 125, 200));
    const std::vector<Line> cut = Lines(kSectionCutLayer);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_TRUE(Runs(cut[0], 100, 240, 100, 200));
    EXPECT_EQ(cut[0].colour, 256);
    EXPECT_EQ(section->outputFlag, 1);
    EXPECT_EQ(section->sectionSegments, nullptr);
}

TEST_F(SectionWallsTest, a_cut_edge_wins_every_overlap_with_an_ordinary_edge) {
    // In one place, either order: one line, on the cut layer.
    Add({0, 0, 0}, {10, 0, 0}, 256);
    Add({0, 0, 0}, {10, 0, 0}, kCut);
    Add({0, 50, 0}, {10, 50, 0}, kCut);
    Add({10, 50, 0}, {0, 50, 0}, 7);
    // Overlapping in part at one depth: the cut edge keeps the common part.
    Add({5, 100, 0}, {20, 100, 0}, 256);
    Add({0, 100, 0}, {10, 100, 0}, kCut);
    SectionWalls(*section, false);

    const std::vector<Line> cut = Lines(kSectionCutLayer);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_TRUE(Runs(cut[0], 0, 0, 10, 0) || Runs(cut[1], 0, 0, 10, 0) || Runs(cut[2], 0, 0, 10, 0));
    EXPECT_NEAR(Total(cut), 30.0, 1e-9);
    const std::vector<Line> plain = Lines(kSectionLayer);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_TRUE(Runs(plain[0], 10, 100, 20, 100));
}

TEST_F(SectionWallsTest, the_nearer_of_two_overlapping_edges_keeps_the_common_part_once) {
    // A far edge with a nearer one over its middle: the far one keeps the
    // parts on either side, and every point of the line is drawn once.
    Add({0, 0, 40}, {100, 0, 40}, 1);
    Add({30, 0, 10}, {60, 0, 10}, 2);
    // A near edge with a far one over its middle: the far one goes.
    Add({0, 50, 10}, {100, 50, 10}, 3);
    Add({30, 50, 40}, {60, 50, 40}, 4);
    // Overlapping in part: the deeper is cut back where the nearer ends.
    Add({0, 80, 30}, {60, 80, 30}, 5);
    Add({40, 80, 5}, {100, 80, 5}, 6);
    SectionWalls(*section, false);

    const std::vector<Line> lines = Lines(kSectionLayer);
    EXPECT_NEAR(Total(lines), 300.0, 1e-9);
    std::vector<Line> ones, fives;
    for (const Line& l : lines) {
        EXPECT_NE(l.colour, 4);
        if (l.colour == 1) ones.push_back(l);
        if (l.colour == 5) fives.push_back(l);
    }
    ASSERT_EQ(ones.size(), 2u);
    EXPECT_NEAR(Total(ones), 70.0, 1e-9);
    ASSERT_EQ(fives.size(), 1u);
    EXPECT_TRUE(Runs(fives[0], 0, 80, 40, 80));
}

TEST_F(SectionWallsTest, a_colour_zero_segment_stays_an_ordinary_line) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    Renew();
    Layer("SOLAIO$0", 0);
    // A closed square of colour 0 on a layer makes no wall outline.
    Add({0, 0, 0}, {10, 0, 0}, 0, 0);
    Add({10, 0, 0}, {10, 10, 0}, 0, 0);
    Add({10, 10, 0}, {0, 10, 0}, 0, 0);
    Add({0, 10, 0}, {0, 0, 0}, 0, 0);
    SectionWalls(*section, false);

    EXPECT_EQ(section->wallOutlines, nullptr);
    EXPECT_EQ(section->wallChains, nullptr);
    const std::vector<Line> plain = Lines(kSectionLayer);
    ASSERT_EQ(plain.size(), 4u);
    for (const Line& l : plain) EXPECT_EQ(l.colour, 0);
    EXPECT_TRUE(Lines(kSectionCutLayer).empty());
}

TEST_F(SectionWallsTest, a_fitted_view_takes_the_scale_of_its_tighter_side_with_its_marks_and_shadows) {
    // 200 wide, 100 high, into a 100 x 100 window: half size, by width.
    section->lowerLeft = {1000, 1000, 0};
    section->cornerPoint = {1100, 1100, 0};
    Add({-50, 10, 0}, {150, 10, 0}, 256);
    Add({150, 10, 0}, {150, 110, 0}, 256);
    AppendVertex(&section->levelMarks, {150, 110, 30}, 0, 0, 0);
    // A shadow piece whose last edge is a bridge to a hole: not drawn.
    section->shadeColourMode = 1;
    VertexNode* ring = nullptr;
    for (const Point3& p : {Point3{-50, 10, 7}, Point3{150, 10, 7}, Point3{150, 110, 7}, Point3{-50, 110, 7}})
        AppendVertex(&ring, p, 0, 0, 0);
    ring->next->next->next->mark = 1;
    section->shadeOutlines = new ShadowGroup;
    section->shadeOutlines->number = 5;
    section->shadeOutlines->pieces = NewOutlinePolygon(ring);
    SectionWalls(*section, true);

    const std::vector<Line> lines = Lines(kSectionLayer);
    ASSERT_EQ(lines.size(), 2u);
    double xmax = -1e9, ymax = -1e9;
    for (const Line& l : lines)
        for (const Point3& p : {l.a, l.b}) {
            EXPECT_GE(p.x, 1000.0 - 1e-9);
            EXPECT_GE(p.y, 1000.0 - 1e-9);
            xmax = std::max(xmax, p.x);
            ymax = std::max(ymax, p.y);
        }
    EXPECT_NEAR(xmax, 1100.0, 1e-9);
    EXPECT_NEAR(ymax, 1050.0, 1e-9);
    EXPECT_TRUE(Near(section->levelMarks->pt(), 1100, 1050));
    const std::vector<Line> shade = Lines("2DSHADE_L");
    ASSERT_EQ(shade.size(), 3u);
    for (const Line& l : shade) EXPECT_EQ(l.colour, 5);
    EXPECT_TRUE(Runs(shade[2], 1100, 1050, 1000, 1050));
}

TEST_F(SectionWallsTest, a_view_flat_on_one_axis_is_fitted_by_the_other_and_never_scaled_by_nothing) {
    // No height: the width alone decides.
    section->cornerPoint = {100, 100, 0};
    Add({0, 0, 0}, {400, 0, 0}, 256);
    SectionWalls(*section, true);
    std::vector<Line> lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(Runs(lines[0], 0, 0, 100, 0));

    // A window without height beside a view without width: nothing to fit
    // by, so real size.
    Renew();
    section->lowerLeft = {0, 500, 0};
    section->cornerPoint = {300, 500, 0};
    Add({7, 0, 0}, {7, 20, 0}, 256);
    SectionWalls(*section, true);
    lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const Line& l : lines)
        for (const Point3& p : {l.a, l.b}) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    EXPECT_TRUE(Runs(lines[1], 0, 500, 0, 520));

    // A window picked towards the lower left is a window all the same.
    Renew();
    section->cornerPoint = {-100, -100, 0};
    Add({0, 0, 0}, {400, 0, 0}, 256);
    SectionWalls(*section, true);
    lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(Runs(lines[2], -100, -100, 0, -100));
}

TEST_F(SectionWallsTest, the_two_faces_of_a_cut_wall_make_one_closed_outline_with_or_without_closing_edges) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    SetSettingReal(SetupVar::DISCMURO, 30.0);
    Renew();
    Layer("0", 0);
    Layer("VELM3DWALLS$0", -1);
    // The faces alone, DISCMURO apart.
    Add({0, 0, 0}, {0, 300, 0}, kCut, -1);
    Add({30, 300, 0}, {30, 0, 0}, kCut, -1);
    // The faces and their closing edges.
    CutBox(100, 0, 130, 300, -1);
    // Faces too far apart are no wall.
    Add({300, 0, 0}, {300, 300, 0}, kCut, -1);
    Add({340, 300, 0}, {340, 0, 0}, kCut, -1);
    SectionWalls(*section, false);

    const std::vector<const VertexNode*> rings = Outlines();
    ASSERT_EQ(rings.size(), 2u);
    for (const VertexNode* ring : rings) {
        EXPECT_EQ(CountNodes(ring), 4);
        EXPECT_NEAR(Area(ring), 9000.0, 1e-6);
    }
    ASSERT_NE(section->wallChains, nullptr);
    EXPECT_EQ(section->wallChains->layerValue, -1);
    EXPECT_EQ(section->wallChains->wallLayer, 1);
    EXPECT_EQ(CountNodes(section->wallChains->segments), 8);
}

// A wall with a closed top cuts into a U open at its foot; one under a
// sill, into a U open at its top. Sides farther apart than a wall is thick,
// or turning away from each other, are no wall.
TEST_F(SectionWallsTest, a_wall_cut_into_a_u_is_closed_across_its_open_end) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    SetSettingReal(SetupVar::DISCMURO, 30.0);
    Renew();
    Layer("VELM3DWALLS$0", -1);
    // Open at the foot, the outer face in two pieces.
    Add({0, 0, 0}, {0, 150, 0}, kCut, -1);
    Add({0, 150, 0}, {0, 300, 0}, kCut, -1);
    Add({0, 300, 0}, {30, 300, 0}, kCut, -1);
    Add({30, 300, 0}, {30, 0, 0}, kCut, -1);
    // Open at the top.
    Add({100, 300, 0}, {100, 0, 0}, kCut, -1);
    Add({100, 0, 0}, {130, 0, 0}, kCut, -1);
    Add({130, 0, 0}, {130, 300, 0}, kCut, -1);
    // Too far apart.
    Add({300, 0, 0}, {300, 300, 0}, kCut, -1);
    Add({300, 300, 0}, {340, 300, 0}, kCut, -1);
    Add({340, 300, 0}, {340, 0, 0}, kCut, -1);
    // A step: one side down from the joining run, the other up.
    Add({500, 0, 0}, {500, 300, 0}, kCut, -1);
    Add({500, 300, 0}, {520, 300, 0}, kCut, -1);
    Add({520, 300, 0}, {520, 600, 0}, kCut, -1);
    SectionWalls(*section, false);

    const std::vector<const VertexNode*> rings = Outlines();
    ASSERT_EQ(rings.size(), 2u);
    for (const VertexNode* ring : rings) {
        EXPECT_EQ(CountNodes(ring), 4);
        EXPECT_NEAR(Area(ring), 9000.0, 1e-6);
        for (const VertexNode* v = ring; v; v = v->next) EXPECT_LT(v->x, 200.0);
    }
}

// A wall side in 3D is several faces (beside an opening, under a slab), so
// each face of a cut wall comes in pieces that only touch end to end, and
// another layer's cut ending on a face splits it again.
TEST_F(SectionWallsTest, a_cut_wall_whose_faces_come_in_pieces_still_closes_into_one_outline) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    SetSettingReal(SetupVar::DISCMURO, 30.0);
    Renew();
    Layer("VELM3DWALLS$0", -1);
    Layer("VELM3DSLAB$0", -2);
    Add({0, 0, 0}, {0, 150, 0}, kCut, -1);
    Add({0, 150, 0}, {0, 300, 0}, kCut, -1);
    Add({30, 300, 0}, {30, 120, 0}, kCut, -1);
    Add({30, 120, 0}, {30, 0, 0}, kCut, -1);
    // A slab's cut ends on the outer face.
    Add({30, 275, 0}, {200, 275, 0}, kCut, -2);
    SectionWalls(*section, false);

    const std::vector<const VertexNode*> rings = Outlines();
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(CountNodes(rings[0]), 4);
    EXPECT_NEAR(Area(rings[0]), 9000.0, 1e-6);
}

TEST_F(SectionWallsTest, walls_meeting_in_a_t_are_outlined_each_and_their_insides_are_cleared) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    Renew();
    Layer("VELM3DWALLS$0", 0);
    // A wall 30 x 300 and one 300 x 30 against its right face: the second
    // wall's end face lies on the first's and goes; the first's face is
    // split where the second's top meets it.
    CutBox(0, 0, 30, 300, 0);
    CutBox(30, 0, 330, 30, 0);
    // Lines inside the walls, and one outside them.
    Add({15, 20, 50}, {15, 280, 50}, 256);
    Add({100, 5, 50}, {200, 5, 50}, 256);
    Add({100, 100, 50}, {200, 100, 50}, 256);
    // An edge along the border of a wall from vertex to vertex goes under
    // the cut edge.
    Add({0, 0, 50}, {30, 0, 50}, 256);
    SectionWalls(*section, false);

    const std::vector<const VertexNode*> rings = Outlines();
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_NEAR(Area(rings[0]) + Area(rings[1]), 18000.0, 1e-6);
    const std::vector<Line> plain = Lines(kSectionLayer);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_TRUE(Runs(plain[0], 100, 100, 200, 100));
    // Every cut edge drawn once, and only the border of both walls (1260):
    // the stretch of face they share lies inside their one cut.
    EXPECT_NEAR(Total(Lines(kSectionCutLayer)), 1260.0, 1e-9);
}

TEST_F(SectionWallsTest, a_dense_mesh_of_cut_segments_is_searched_in_bounded_time) {
    SetSettingInt(SetupVar::SETSEZRIPULSEZ, 1);
    Renew();
    Layer("PAVIMENTO$0", 0);
    constexpr int kCells = 25;
    for (int i = 0; i <= kCells; ++i)
        for (int j = 0; j < kCells; ++j) {
            Add({j * 10.0, i * 10.0, 0}, {(j + 1) * 10.0, i * 10.0, 0}, kCut, 0);
            Add({i * 10.0, j * 10.0, 0}, {i * 10.0, (j + 1) * 10.0, 0}, kCut, 0);
        }
    SectionWalls(*section, false);
    const std::vector<const VertexNode*> rings = Outlines();
    ASSERT_FALSE(rings.empty());
    // Only single cells: a ring around several would hold other segments.
    for (const VertexNode* ring : rings) EXPECT_NEAR(Area(ring), 100.0, 1e-6);
    EXPECT_NEAR(Total(Lines(kSectionCutLayer)), 2.0 * (kCells + 1) * kCells * 10.0, 1e-6);
}

TEST_F(SectionWallsTest, a_stepped_section_gets_a_break_line_only_with_an_overhang) {
    SetSettingReal(SetupVar::SETSEZSPORGSPEZZATA, 0.0);
    Renew();
    section->depthFlag = 1;
    section->depthPoint = {40, 0, 0};
    section->boxMin[1] = 0.0;
    section->boxMax[1] = 300.0;
    Add({0, 0, 0}, {100, 0, 0}, 256);
    SectionWalls(*section, false);
    EXPECT_TRUE(Lines(kSectionBreakLayer).empty());

    SetSettingReal(SetupVar::SETSEZSPORGSPEZZATA, 50.0);
    Renew();
    section->depthFlag = 1;
    section->depthPoint = {40, 0, 0};
    section->boxMin[1] = 0.0;
    section->boxMax[1] = 300.0;
    section->lowerLeft = {0, 1000, 0};
    Add({0, 0, 0}, {100, 0, 0}, 256);
    SectionWalls(*section, false);
    const std::vector<Line> brk = Lines(kSectionBreakLayer);
    ASSERT_EQ(brk.size(), 1u);
    EXPECT_TRUE(Runs(brk[0], 40, 950, 40, 1350));
    EXPECT_EQ(brk[0].colour, 256);
}

TEST_F(SectionWallsTest, nothing_is_written_without_segments_or_after_a_break) {
    section->depthFlag = 1;
    section->boxMax[1] = 300.0;
    SectionWalls(*section, false);
    EXPECT_EQ(section->outputFlag, 0);
    EXPECT_EQ(section->abortFlag, 0);

    Renew();
    Add({0, 0, 0}, {10, 0, 0}, 256);
    push("!break");
    SectionWalls(*section, false);
    EXPECT_EQ(section->abortFlag, 1);
    EXPECT_EQ(section->outputFlag, 0);
    EXPECT_EQ(section->sectionSegments, nullptr);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(SectionWallsTest, the_lines_go_into_the_block_being_defined) {
    const ads_point origin = {0, 0, 0};
    resbuf* head = zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 8, "0", 70, 65, 10, origin, 0);
    ASSERT_EQ(zcdbEntMake(head), RTNORM);
    zcutRelRb(head);
    Add({0, 0, 0}, {10, 0, 0}, kCut);
    Add({0, 5, 3}, {10, 5, 3}, 2);
    SectionWalls(*section, false);
    resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
    ASSERT_EQ(zcdbEntMake(end), RTNORM);
    zcutRelRb(end);
    char name[260] = "";
    zcedGetInput(name, sizeof name);

    EXPECT_TRUE(Lines().empty());
    ZcDbObjectId blockId = db()->recordId(db()->blockTableId(), name);
    ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
    ASSERT_EQ(block.openStatus(), Zcad::eOk);
    const std::vector<Line> lines = LinesOf(block->entityIds());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].layer, kSectionCutLayer);
    EXPECT_EQ(lines[1].layer, kSectionLayer);
}
