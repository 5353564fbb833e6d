// Build-up layers: thickness expressions against worked values, and the
// layer pieces of a wall checked by area against the wall less its
// openings.
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "tests/walls/recognition/recognition_fixture.h"
#include "walls/recognition/layer_records.h"
#include "walls/recognition/layer_thickness.h"

namespace {

CStrato Layer(const std::string& thickness, const std::string& pattern = "0",
              const std::string& layer = "W") {
    CStrato s;
    s.thickness = thickness;
    s.pattern = pattern;
    s.patternScale = 2.0;
    s.layer = layer;
    return s;
}

class BuildUps : public RecognitionTest {
protected:
    double eval(const std::string& expr, CListStrati& layers, double wall = 30.0) {
        int pos = 0;
        return EvalLayerThickness(set.get(), false, 0, &pos, expr, &layers, wall);
    }
    // The wall type "Mur" with these layers at 1:50.
    void typeWith(std::initializer_list<CStrato> layers) {
        auto list = std::make_shared<CListStrati>();
        for (const CStrato& l : layers) list->InsertNumbered(list->end(), l, CListStrati::kTail);
        CMuro m;
        m.name = "Mur";
        m.scales = std::make_shared<CListScale>();
        m.scales->push_back(CScala{50, list});
        set->wallTypes.push_back(m);
        set->printScale = 50;
    }
    // A pair of faces a0-a1 and b0-b1 of type "Mur", the first holding the
    // faces given.
    WallPair* pair(Point3 a0, Point3 a1, Point3 b0, Point3 b1, WallFace* faces = nullptr) {
        WallSegment* a = segment(a0, a1, "Mur");
        WallSegment* b = segment(b0, b1, "Mur");
        a->faces = faces;
        return set->MakeWallPair(a, b);
    }
    static std::vector<const LayerRecord*> inOrder(const LayerRecord* last) {
        std::vector<const LayerRecord*> out;
        for (; last; last = last->previous) out.insert(out.begin(), last);
        return out;
    }
    static std::vector<double> areas(const LayerRecord* r) {
        std::vector<double> out;
        for (const PieceNode* p = r->pieces; p; p = p->next) out.push_back(ShoelaceArea(p->ring));
        return out;
    }
};

}  // namespace

TEST_F(BuildUps, thickness_expressions_scale_terms_not_factors_and_refuse_what_they_cannot_read) {
    CListStrati layers;
    layers.InsertNumbered(layers.end(), Layer("10"), CListStrati::kTail);
    layers.InsertNumbered(layers.end(), Layer("$-s1"), CListStrati::kTail);
    EXPECT_DOUBLE_EQ(eval("$*0.5", layers), 15.0);
    EXPECT_DOUBLE_EQ(eval(" $ - s1 ", layers), 20.0);
    EXPECT_DOUBLE_EQ(eval("s2/2+1", layers), 11.0);
    EXPECT_DOUBLE_EQ(eval("s0", layers), 10.0);
    EXPECT_FALSE(set->exprError);
    set->unitFactor = 0.01;
    EXPECT_DOUBLE_EQ(eval("10", layers), 0.1);
    EXPECT_DOUBLE_EQ(eval("$*10", layers), 300.0);
    EXPECT_DOUBLE_EQ(eval("$/0", layers), 0.0);
    EXPECT_FALSE(set->exprError);
    for (const char* bad : {"$$", "S1", "(1)", "$ 2", "s3", "s", "x"}) {
        eval(bad, layers);
        EXPECT_TRUE(set->exprError) << bad;
    }
    // A layer measured by itself: the nesting stops instead of running on.
    CListStrati self;
    self.InsertNumbered(self.end(), Layer("s1+1"), CListStrati::kTail);
    eval("s1", self);
    EXPECT_TRUE(set->exprError);
}

TEST_F(BuildUps, two_halves_of_a_30_wall_and_the_last_layer_ending_on_face_b) {
    typeWith({Layer("$*0.5"), Layer("$*0.9", "-ANSI31", "X")});
    WallPair* p = pair({0, 0, 0}, {0, 300, 0}, {30, 300, 0}, {30, 0, 0});
    LayerRecord* last = set->BuildLayerOutlines(p);
    ASSERT_NE(last, nullptr);
    std::vector<const LayerRecord*> records = inOrder(last);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(areas(records[0]), (std::vector<double>{4500.0}));
    ASSERT_EQ(areas(records[1]).size(), 1u);
    EXPECT_NEAR(areas(records[1])[0], 4500.0, 1e-6);
    EXPECT_EQ(records[0]->hatchPattern, "0");
    EXPECT_EQ(records[0]->hatchAngle, 0.0);
    EXPECT_EQ(records[1]->layerName, "X");
    EXPECT_EQ(records[1]->hatchPattern, "ANSI31");
    EXPECT_NEAR(records[1]->hatchAngle, std::numbers::pi / 2, 1e-9);
    EXPECT_DOUBLE_EQ(records[1]->hatchScale, 2.0);
    // Face B was turned to run like face A.
    EXPECT_TRUE(Near(p->b->start, {30, 0, 0}));
    // Only the second layer's piece marks its inner boundary.
    int marked[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        for (const VertexNode* v = records[i]->pieces->ring; v; v = v->next) marked[i] += v->edgeFlag;
    EXPECT_EQ(marked[0], 0);
    EXPECT_EQ(marked[1], 1);
    delete last;
}

TEST_F(BuildUps, an_opening_leaves_two_pieces_per_layer_summing_to_the_wall_less_the_opening) {
    typeWith({Layer("10"), Layer("$-s1-5"), Layer("$")});
    auto* door = new OutlineNode;
    door->kind = 11;
    AppendVertex(&door->jamb1, {100, 0, 0}, 0, 0, 0);
    AppendVertex(&door->jamb1, {100, 30, 0}, 0, 0, 0);
    AppendVertex(&door->jamb2, {190, 30, 0}, 0, 0, 0);
    AppendVertex(&door->jamb2, {190, 0, 0}, 0, 0, 0);
    door->gapA[0] = {100, 0, 0};
    door->gapA[1] = {190, 0, 0};
    door->gapB[0] = {100, 30, 0};
    door->gapB[1] = {190, 30, 0};
    // Two faces of A, both linked to the door between them.
    WallFace* left = TypedFace({0, 0, 0}, {100, 0, 0}, "Mur");
    WallFace* right = TypedFace({190, 0, 0}, {300, 0, 0}, "Mur");
    LinkOutline(*left, door);
    LinkOutline(*right, door);
    left->next = right;
    WallPair* p = pair({0, 0, 0}, {300, 0, 0}, {0, 30, 0}, {300, 30, 0}, left);
    LayerRecord* last = set->BuildLayerOutlines(p);
    std::vector<const LayerRecord*> records = inOrder(last);
    ASSERT_EQ(records.size(), 3u);
    double total = 0.0;
    const double depth[3] = {10.0, 15.0, 5.0};
    for (int i = 0; i < 3; ++i) {
        std::vector<double> a = areas(records[i]);
        ASSERT_EQ(a.size(), 2u) << i;
        EXPECT_NEAR(a[0], 100.0 * depth[i], 1e-6) << i;
        EXPECT_NEAR(a[1], 110.0 * depth[i], 1e-6) << i;
        total += a[0] + a[1];
    }
    EXPECT_NEAR(total, 300.0 * 30.0 - 90.0 * 30.0, 1e-6);
    delete last;
    FreeOutlineList(door);
}

TEST_F(BuildUps, a_bad_layer_is_skipped_and_the_next_measured_from_the_last_good_boundary) {
    typeWith({Layer("10"), Layer("$$"), Layer("5"), Layer("$")});
    WallPair* p = pair({0, 0, 0}, {100, 0, 0}, {0, 30, 0}, {100, 30, 0});
    LayerRecord* last = set->BuildLayerOutlines(p);
    std::vector<const LayerRecord*> records = inOrder(last);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_NEAR(areas(records[0])[0], 1000.0, 1e-6);
    EXPECT_NEAR(areas(records[1])[0], 500.0, 1e-6);
    EXPECT_NEAR(areas(records[2])[0], 1500.0, 1e-6);
    delete last;
    // Without the build-up of the print scale, or of an unknown type: nothing.
    set->printScale = 100;
    EXPECT_EQ(set->BuildLayerOutlines(p), nullptr);
    p->a->typeName = "Nieznana";
    EXPECT_EQ(set->BuildLayerOutlines(p), nullptr);
}
