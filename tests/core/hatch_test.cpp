#include "core/hatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/db/dbinsert.h"
#include "host/util/findfile.h"
#include "tests/core/layer_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

FaceRecord* Loop(std::initializer_list<Point3> points, FaceRecord* next = nullptr) {
    auto* loop = new FaceRecord;
    for (const Point3& p : points) AppendVertex(&loop->corners, p, 0, 0, 0);
    loop->next = next;
    return loop;
}

VertexNode* Ring(std::initializer_list<Point3> points) {
    VertexNode* list = nullptr;
    for (const Point3& p : points) AppendVertex(&list, p, 0, 0, 0);
    return list;
}

// The drawing with its settings, the layer command stand-in, and the
// repository's support files on the search path.
class Hatching : public LayerService {
protected:
    void SetUp() override {
        LayerService::SetUp();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
    }

    // The one hatch of model space, open for read (closed by the caller).
    static ZcDbHatch* OnlyHatch() {
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbHatch* h = nullptr;
            if (zcdbOpenObject(h, id, ZcDb::kForRead) == Zcad::eOk) return h;
        }
        return nullptr;
    }
    static bool LastEntity(ads_name e) { return zcdbEntLast(e) == RTNORM; }
};

}  // namespace

TEST(HatchLayerKey, kind_decides_the_suffix_and_level_layers_keep_their_level) {
    EXPECT_EQ(HatchLayerKeyFor("ROOFSLAB", 2).key, "3DROOFSLAB_H");
    EXPECT_EQ(HatchLayerKeyFor("ROOFSLAB", 1).key, "3DROOFSLAB_H");
    EXPECT_EQ(HatchLayerKeyFor("SWALK", 6).key, "SWALK_H");
    EXPECT_EQ(HatchLayerKeyFor("HATCH3D", 4).key, "HATCH3D");
    EXPECT_FALSE(HatchLayerKeyFor("HATCH3D", 4).useLevel);
}

TEST(HatchRecord, round_trip_with_and_without_the_optional_shift) {
    HatchXData d;
    d.kind = 2;
    d.scale = 4.0;
    d.angle = 45.0;
    d.pattern = "ANSI31";
    d.p1 = {0, 0, 3};
    d.p2 = {4, 0, 3};
    d.p3 = {0, 4, 3};
    d.layer = "Ściana";
    d.shift = 1.5;
    OwnedList<FaceRecord> loops(
        Loop({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, Loop({{1, 1, 0}, {2, 1, 0}, {2, 2, 0}})));
    resbuf* record = BuildHatchRecord(d, loops.get(), false, 1.0);
    HatchXData back;
    OwnedList<FaceRecord> read(ParseHatchRecord(record, back));
    ASSERT_TRUE(read);
    EXPECT_EQ(back.kind, 2);
    EXPECT_EQ(back.pattern, "ANSI31");
    EXPECT_EQ(back.layer, "Ściana");
    EXPECT_EQ(back.shift, 1.5);
    EXPECT_EQ(back.p2.x, 4.0);
    ASSERT_EQ(CountNodes(read.get()), 2);
    EXPECT_EQ(CountNodes(read->corners), 3);
    EXPECT_EQ(read->corners->z, 1.0);  // raised
    EXPECT_EQ(read->next->corners->next->x, 2.0);

    // An older record without the shift: the loops follow the layer.
    resbuf* layerNode = record;
    while (layerNode->rbnext->restype != 1040 || layerNode->restype != 1000) layerNode = layerNode->rbnext;
    resbuf* shiftNode = layerNode->rbnext;
    layerNode->rbnext = shiftNode->rbnext;
    shiftNode->rbnext = nullptr;
    zcutRelRb(shiftNode);
    OwnedList<FaceRecord> old(ParseHatchRecord(record, back));
    ASSERT_TRUE(old);
    EXPECT_EQ(back.shift, 0.0);
    EXPECT_EQ(CountNodes(old.get()), 2);
    zcutRelRb(record);
}

TEST(HatchRecord, visibility_flags_follow_their_points) {
    HatchXData d;
    d.kind = 3;
    OwnedList<FaceRecord> loops(Loop({{0, 0, 0}, {4, 0, 0}, {4, 0, 3}}));
    loops->corners->next->edgeFlag = 1;
    resbuf* record = BuildHatchRecord(d, loops.get(), true, 0.0);
    HatchXData back;
    OwnedList<FaceRecord> read(ParseHatchRecord(record, back));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->corners->edgeFlag, 0);
    EXPECT_EQ(read->corners->next->edgeFlag, 1);
    zcutRelRb(record);
}

TEST(HatchRecord, a_cut_short_or_foreign_record_reads_as_none) {
    HatchXData d;
    OwnedList<FaceRecord> loops(Loop({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}}));
    resbuf* record = BuildHatchRecord(d, loops.get(), false, 0.0);
    // Cut inside the fixed part (after the pattern name).
    resbuf* cut = record;
    for (int i = 0; i < 4; ++i) cut = cut->rbnext;
    resbuf* rest = cut->rbnext;
    cut->rbnext = nullptr;
    HatchXData back;
    EXPECT_EQ(ParseHatchRecord(record, back), nullptr);
    cut->rbnext = rest;
    // A real where a point belongs.
    resbuf* point = record;
    while (point->restype != 1011) point = point->rbnext;
    point->restype = 1040;
    EXPECT_EQ(ParseHatchRecord(record, back), nullptr);
    point->restype = 1011;
    // A loop that never closes.
    resbuf* last = record;
    while (last->rbnext->rbnext) last = last->rbnext;
    zcutRelRb(last->rbnext);
    last->rbnext = nullptr;
    EXPECT_EQ(ParseHatchRecord(record, back), nullptr);
    zcutRelRb(record);
}

TEST(HatchPattern, definitions_are_read_by_name_and_dense_lines_are_counted) {
    std::vector<std::string> lines{";; comment",         "*ANGLE, Kątowniki", "0, 0,0, 0,7, 5,-2",
                                   "90, 0,0, 0,7, 5,-2", "*ansi31, Linie",    "45, 0,0, 0,3.175"};
    auto angle = host::parsePatternDefinition(lines, "angle");
    ASSERT_TRUE(angle);
    ASSERT_EQ(angle->size(), 2u);
    EXPECT_EQ((*angle)[1].angle, 90.0);
    EXPECT_EQ((*angle)[0].dashes.size(), 2u);
    EXPECT_FALSE(host::parsePatternDefinition(lines, "NONE"));
    auto ansi = host::parsePatternDefinition(lines, "ANSI31");
    ASSERT_TRUE(ansi);
    // A 3 x 4 extent (diagonal 5) at spacing 3.175 x 0.5: 3 lines.
    EXPECT_EQ(host::countPatternLines(*ansi, 0.5, 3.0, 4.0), 4.0);
}

TEST_F(Hatching, a_square_in_a_slab_gets_its_catalogue_layer_pattern_angle_and_record) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 3}, {10, 0, 3}, {10, 10, 3}, {0, 10, 3}}));
    double angle = 45.0, scale = 4.0, elevation = 0.5;
    HatchContour(contour.get(), "ROOFSLAB", &angle, &scale, &elevation, "ANSI31", 2);
    ZcDbHatch* h = OnlyHatch();
    ASSERT_NE(h, nullptr);
    EXPECT_NEAR(h->patternAngle(), kPi / 4, 1e-12);
    EXPECT_EQ(h->patternScale(), 4.0);
    EXPECT_EQ(h->layer(), "3DROOFSLAB_H");
    EXPECT_EQ(h->patternType(), ZcDbHatch::kPreDefined);
    EXPECT_NEAR(h->area(), 100.0, 1e-9);
    h->close();

    ads_name e;
    ASSERT_TRUE(LastEntity(e));
    HatchXData d;
    OwnedList<FaceRecord> loops(GetHatchData(e, d));
    ASSERT_TRUE(loops);
    EXPECT_EQ(d.kind, 2);
    EXPECT_EQ(d.angle, 45.0);
    EXPECT_EQ(d.layer, "ROOFSLAB");
    EXPECT_EQ(d.shift, 0.0);
    EXPECT_EQ(CountNodes(loops.get()), 1);
    ASSERT_EQ(CountNodes(loops->corners), 4);
    for (const VertexNode* v = loops->corners; v; v = v->next) EXPECT_EQ(v->z, 3.5);
}

TEST_F(Hatching, a_custom_pattern_file_makes_a_custom_hatch) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 0}, {500, 0, 0}, {500, 300, 0}, {0, 300, 0}}));
    double angle = 0.0, scale = 1.0, elevation = 0.0;
    HatchContour(contour.get(), "ŚCIANA", &angle, &scale, &elevation, "VELSTONE", 5);
    ZcDbHatch* h = OnlyHatch();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->patternType(), ZcDbHatch::kCustomDefined);
    EXPECT_EQ(h->layer(), "ŚCIANA");
    h->close();
}

TEST_F(Hatching, kind_4_is_untagged_and_never_found_by_its_outline) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    double angle = 0.0, scale = 1.0, elevation = 0.0;
    HatchContour(contour.get(), "HATCH3D", &angle, &scale, &elevation, "ANSI31", 4);
    ads_name e;
    ASSERT_TRUE(LastEntity(e));
    HatchXData d;
    EXPECT_EQ(GetHatchData(e, d), nullptr);
    OwnedList<VertexNode> outline(Ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    ads_name found;
    EXPECT_EQ(FindHatchByOutline(outline.get(), 0.01, d, found), 0);
}

TEST_F(Hatching, a_hatch_is_found_again_by_its_outline_from_another_start_or_reversed) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    double angle = 30.0, scale = 2.0, elevation = 0.0;
    HatchContour(contour.get(), "SWALK", &angle, &scale, &elevation, "ANGLE", 6);
    ads_name made;
    ASSERT_TRUE(LastEntity(made));
    HatchXData d;
    ads_name found;
    OwnedList<VertexNode> rotated(Ring({{10, 10, 0}, {0, 10, 0}, {0, 0, 0}, {10, 0, 0}}));
    EXPECT_EQ(FindHatchByOutline(rotated.get(), 0.01, d, found), 6);
    EXPECT_TRUE(ads_name_equal(found, made));
    EXPECT_EQ(d.pattern, "ANGLE");
    OwnedList<VertexNode> reversed(Ring({{0, 10, 0}, {10, 10, 0}, {10, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(FindHatchByOutline(reversed.get(), -0.01, d, found), 6);
    OwnedList<VertexNode> more(Ring({{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    EXPECT_EQ(FindHatchByOutline(more.get(), 0.01, d, found), 0);
    OwnedList<VertexNode> moved(Ring({{0, 0, 0}, {10, 0, 0}, {10, 10.02, 0}, {0, 10, 0}}));
    EXPECT_EQ(FindHatchByOutline(moved.get(), 0.01, d, found), 0);
}

TEST_F(Hatching, too_dense_a_pattern_makes_nothing_and_says_so) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 1000, 0}}));
    double angle = 0.0, scale = 0.01, elevation = 0.0;
    HatchContour(contour.get(), "ROOFSLAB", &angle, &scale, &elevation, "ANSI31", 2);
    EXPECT_EQ(count("0=HATCH"), 0);
    EXPECT_NE(transcript().find("Kreskowanie jest zbyt ciasne, użyj większego współczynnika skali"),
              std::string::npos);
    HatchContourPlan(contour.get(), "PLAN", &angle, &scale, "ANSI31");
    EXPECT_EQ(count("0=HATCH"), 0);
}

TEST_F(Hatching, degenerate_contours_make_nothing) {
    double angle = 0.0, scale = 1.0, elevation = 0.0;
    OwnedList<FaceRecord> two(Loop({{0, 0, 0}, {10, 0, 0}}));
    HatchContour(two.get(), "L", &angle, &scale, &elevation, "ANSI31", 2);
    OwnedList<FaceRecord> line(Loop({{0, 0, 0}, {5, 0, 0}, {10, 0, 0}}));
    HatchContour(line.get(), "L", &angle, &scale, &elevation, "ANSI31", 2);
    HatchContour(nullptr, "L", &angle, &scale, &elevation, "ANSI31", 2);
    EXPECT_EQ(count("0=HATCH"), 0);
}

TEST_F(Hatching, plan_hatch_lies_at_the_first_vertex_height_on_the_given_layer_untagged) {
    OwnedList<FaceRecord> contour(Loop({{0, 0, 7}, {10, 0, 7}, {10, 10, 7}, {0, 10, 7}}));
    double angle = 0.0, scale = 1.0;
    HatchContourPlan(contour.get(), "PODŁOGA", &angle, &scale, "ANGLE");
    ZcDbHatch* h = OnlyHatch();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->elevation(), 7.0);
    EXPECT_EQ(h->layer(), "PODŁOGA");
    EXPECT_TRUE(h->xDataApps().empty());
    h->close();
}

TEST_F(Hatching, a_wall_face_becomes_a_tagged_insert_of_its_visible_edges_and_hatch) {
    // A vertical face 4 wide and 3 high; its top edge is not visible.
    OwnedList<FaceRecord> face(Loop({{0, 0, 0}, {4, 0, 0}, {4, 0, 3}, {0, 0, 3}}));
    face->corners->next->next->edgeFlag = 1;
    double angle = 0.0, scale = 1.0;
    HatchContour3d(face.get(), "VELMWALL$0", &angle, &scale, "ANSI31", nullptr);
    EXPECT_EQ(count("0=INSERT 8=VELMWALL$0"), 1);
    ads_name ins;
    ASSERT_TRUE(LastEntity(ins));
    HatchXData d;
    OwnedList<FaceRecord> loops(GetHatchData(ins, d));
    ASSERT_TRUE(loops);
    EXPECT_EQ(d.kind, 3);
    EXPECT_EQ(loops->corners->next->next->edgeFlag, 1);

    resbuf* list = zcdbEntGet(ins);
    std::string block = FindRbCode(list, 2)->resval.rstring;
    zcutRelRb(list);
    ZcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(zcdbOpenObject(rec, db()->recordId(db()->blockTableId(), block), ZcDb::kForRead), Zcad::eOk);
    int lines = 0, hatches = 0;
    for (ZcDbObjectId id : rec->entityIds()) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (ZcDbHatch::cast(e)) {
            ++hatches;
            EXPECT_EQ(e->layer(), "WALL");
        } else {
            ++lines;
            EXPECT_EQ(e->layer(), "WALL_c");
        }
        e->close();
    }
    rec->close();
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(hatches, 1);
}

TEST_F(Hatching, an_element_on_a_level_layer_hatches_on_the_level_layer_of_its_key_without_suffix) {
    EXPECT_EQ(HatchLayerKeyFor("VELMROOFSLAB$3", 2).key, "ROOFSLAB");
    EXPECT_TRUE(HatchLayerKeyFor("VELMROOFSLAB$3", 2).useLevel);
    EXPECT_EQ(HatchLayerKeyFor("VELMROOFSLAB$3", 2).level, 3.0);
    OwnedList<FaceRecord> contour(Loop({{0, 0, 3}, {10, 0, 3}, {10, 10, 3}, {0, 10, 3}}));
    double angle = 0.0, scale = 1.0, elevation = 0.0;
    HatchContour(contour.get(), "VELMROOFSLAB$3", &angle, &scale, &elevation, "ANSI31", 2);
    ZcDbHatch* h = OnlyHatch();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->layer(), "VELMROOFSLAB$3");
    h->close();
    ads_name e;
    ASSERT_TRUE(LastEntity(e));
    HatchXData d;
    OwnedList<FaceRecord> loops(GetHatchData(e, d));
    ASSERT_TRUE(loops);
    EXPECT_EQ(d.layer, "VELMROOFSLAB$3");
}
