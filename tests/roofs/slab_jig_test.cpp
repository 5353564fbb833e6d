// The outline jig driven by scripted samples, its preview, and the vertex
// tools that work on its loops.
#include "roofs/slab_jig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/host_services.h"
#include "host/ed/grdraw.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_vertex_tools.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabJigTest : public SlabTest {
protected:
    // A jig entering the outline: one loop with `count` vertices, the last
    // the current one.
    static void Entering(AJIG_COP& jig, int count) {
        std::vector<LoopPoint> pts;
        for (int i = 0; i < count; ++i) pts.push_back({10.0 * i, 5.0 * (i % 2), 0.0});
        jig.loops = SlabLoops({pts});
        jig.current = jig.loops->vertices;
        while (jig.current->next) jig.current = jig.current->next;
        jig.vertexNumber = count;
        jig.stage = 5;
        jig.elevation = 100.0;
        jig.offset = 5.0;
    }
};

}  // namespace

TEST_F(SlabJigTest, outline_stage_outcomes_by_vertex_number) {
    struct Row {
        int vertex;
        std::vector<std::string> input;
        int stage;
    };
    const std::vector<Row> rows = {
        {1, {"30,40"}, 5},       {1, {""}, 0},          {1, {"Kontur"}, 9},     {1, {"Obiekt"}, 10},
        {1, {"Niewidoczny"}, 7}, {2, {"", "30,40"}, 5}, {3, {"", "Cofnij"}, 8}, {4, {""}, 11},
        {4, {"Cofnij"}, 8},      {4, {"!cancel"}, 1},
    };
    for (const Row& row : rows) {
        AJIG_COP jig;
        Entering(jig, row.vertex);
        for (const std::string& line : row.input) push(line);
        jig.drag();
        EXPECT_EQ(jig.stage, row.stage) << "vertex " << row.vertex << " answer " << row.input.back();
        EXPECT_EQ(jig.returnStage, 5);
        if (row.stage == 5) {
            EXPECT_DOUBLE_EQ(jig.current->x, 30.0);
            EXPECT_DOUBLE_EQ(jig.current->z, 105.0);  // elevation + offset
        }
    }
}

TEST_F(SlabJigTest, an_equal_sample_is_no_change_and_plane_kind_puts_the_point_on_it) {
    AJIG_COP jig;
    Entering(jig, 4);
    jig.kind = 4;
    jig.a = 0.0, jig.b = 1.0, jig.c = -2.0, jig.d = 0.0;  // z = y / 2
    push("30,40");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_DOUBLE_EQ(jig.current->z, 20.0);
    push("30,40");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
}

TEST_F(SlabJigTest, opening_stage_refuses_enter_at_first_vertex_unless_gutter_kind) {
    for (int kind : {0, 2}) {
        AJIG_COP jig;
        Entering(jig, 1);
        jig.stage = 6;
        jig.kind = kind;
        push({"", "30,40"});
        jig.drag();
        EXPECT_EQ(jig.stage, kind == 2 ? 0 : 6) << kind;
    }
}

TEST_F(SlabJigTest, preview_draws_visible_edges_white_hidden_green_and_no_edge_nothing) {
    AJIG_COP jig;
    jig.loops = SlabLoops({{{0, 0, 0, 1}, {10, 0, 0, -1}, {10, 10, 0, 0}, {0, 10, 0, 101}}});
    jig.current = nullptr;
    jig.stage = 14;
    push("3,3");
    jig.drag();
    std::vector<int> colours;
    for (const ZcGiPrimitive& p : jig.lastPreview()) colours.push_back(p.color);
    EXPECT_EQ(colours, (std::vector<int>{7, 3, 7}));
}

TEST_F(SlabJigTest, picking_an_approximated_edge_hides_it_and_osmode_comes_back) {
    AJIG_COP jig;
    jig.loops = SlabLoops({{{0, 0, 0, 101}, {100, 0, 0, 1}, {100, 100, 0, -2}}});
    const int readOnly = -1;
    const int before = SysVarShort("OSMODE", &readOnly);
    push({"500,500", "50,0"});
    EXPECT_TRUE(PickSlabEdge(jig));
    EXPECT_NE(transcript().find("Nie znaleziono żadnej krawędzi!"), std::string::npos);
    EXPECT_EQ(jig.loops->vertices->edgeFlag, 0);
    EXPECT_EQ(SysVarShort("OSMODE", &readOnly), before);
    push("100,50");
    EXPECT_TRUE(PickSlabEdge(jig));
    EXPECT_EQ(jig.loops->vertices->next->edgeFlag, 0);
}

TEST_F(SlabJigTest, vertex_tools_keep_a_triangle_and_drop_a_spent_opening) {
    AJIG_COP jig;
    jig.loops = SlabLoops({{{0, 0, 0}, {100, 0, 0}, {0, 100, 0}}});
    DeleteVertex(jig, jig.loops->vertices->next);
    EXPECT_EQ(CountNodes(jig.Outline()), 3);

    AJIG_COP other;
    other.loops = SlabLoops(
        {Rect(0, 0, 100, 100, 0), {{10, 10, 0}, {20, 10, 0}, {10, 20, 0}}, Rect(50, 50, 60, 60, 0)});
    DeleteVertex(other, other.loops->next->vertices);
    ASSERT_EQ(CountNodes(other.loops), 2);
    EXPECT_EQ(other.loops->next->vertices->data1, 1);

    Point3 p{50, 0, 7};
    VertexNode* added = InsertVertexOnEdge(other, p);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(other.loops->vertices->next, added);
    EXPECT_DOUBLE_EQ(p.z, 0.0);
}

TEST_F(SlabJigTest, a_vertex_chosen_twice_is_refused_and_the_crosses_are_wiped) {
    AJIG_COP jig;
    jig.loops = SlabLoops({Rect(0, 0, 100, 100, 0)});
    push({"100,0", "100,0", "55,55", "0,100", ""});
    MoveSlabVertex(jig);
    EXPECT_EQ(CountNodes(jig.chosen), 2);
    EXPECT_NE(transcript().find("Punkt został już wybrany"), std::string::npos);
    EXPECT_NE(transcript().find("Wybrany punkt nie jest wierzchołkiem płyty"), std::string::npos);
    EXPECT_TRUE(host::temporaryVectors().empty());
}

TEST_F(SlabJigTest, three_points_put_every_loop_on_their_plane) {
    AJIG_COP jig;
    jig.loops = SlabLoops({Rect(0, 0, 100, 100, 0), Rect(40, 40, 60, 60, 0)});
    push({"0,0,0", "100,0,0", "0,100,50"});
    PickGutterOrSurfacePoints(jig, 0.0);
    EXPECT_DOUBLE_EQ(jig.loops->vertices->next->next->z, 50.0);
    EXPECT_DOUBLE_EQ(jig.loops->next->vertices->z, 20.0);
}

namespace {

bool SamePrimitives(const std::vector<ZcGiPrimitive>& a, const std::vector<ZcGiPrimitive>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].color != b[i].color || a[i].points.size() != b[i].points.size())
            return false;
        for (std::size_t j = 0; j < a[i].points.size(); ++j)
            if (a[i].points[j].x != b[i].points[j].x || a[i].points[j].y != b[i].points[j].y ||
                a[i].points[j].z != b[i].points[j].z)
                return false;
    }
    return true;
}

}  // namespace

// The preview is redrawn piece by piece; whatever happens to the loops
// between two samples, it must show what drawing the whole entity shows.
TEST_F(SlabJigTest, preview_drawn_piecewise_matches_a_whole_redraw_under_random_edits) {
    AJIG_COP jig;
    jig.loops = SlabLoops({Rect(0, 0, 100, 100, 0)});
    jig.stage = 14;
    std::mt19937 rng(59);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 600; ++step) {
        ContourNode* last = jig.LastLoop();
        const int count = CountNodes(last->vertices);
        VertexNode* v = last->vertices;
        for (int i = pick(count); i > 0; --i) v = v->next;
        switch (pick(9)) {
            case 0:
            case 1:
            case 2: {  // a vertex appended, as a point is given
                VertexNode* tail = last->vertices;
                while (tail->next) tail = tail->next;
                tail->next = NewVertex(pick(500), pick(500), 0, 1, 0, 0, 0);
                break;
            }
            case 3:
                v->x += 1 + pick(5);
                break;
            case 4:
                v->edgeFlag = pick(3) - 1;
                break;
            case 5:  // the last vertex taken back
                if (count > 1) {
                    VertexNode* tail = last->vertices;
                    while (tail->next) tail = tail->next;
                    RemoveNode(&last->vertices, tail);
                }
                break;
            case 6:  // a new loop begun
                last->next = SlabLoops({{{static_cast<double>(pick(50)), 1.0, 0.0}}});
                break;
            case 7:  // the last loop dropped
                if (jig.loops->next) {
                    ContourNode* before = jig.loops;
                    while (before->next != last) before = before->next;
                    FreeListOfLists(last);
                    before->next = nullptr;
                }
                break;
            default:  // the first vertex moved: the closing edge changes
                last->vertices->y += 2;
                break;
        }
        push(std::to_string(step) + ",1");
        ASSERT_EQ(jig.drag(), ZcEdJig::kNormal);
        ASSERT_TRUE(SamePrimitives(jig.lastPreview(), host::recordWorldDraw(jig.entity(), true)))
            << "step " << step;
    }
}

// Entering one more point of a long outline draws its two new edges, not
// the outline again.
TEST_F(SlabJigTest, a_point_added_to_a_long_outline_draws_two_edges) {
    AJIG_COP jig;
    Entering(jig, 2000);
    push("5,5");
    ASSERT_EQ(jig.drag(), ZcEdJig::kNormal);
    ASSERT_EQ(jig.lastPreview().size(), 2000u);
    VertexNode* added = NewVertex(7, 7, 105, 1, 0, 0, 0);
    jig.current->next = added;
    jig.current = added;
    added->x = 9;
    ZcGiWorldDraw wd;
    // The given point's edge now runs to the new vertex, whose edge closes
    // the ring; the 1,999 edges before stand.
    EXPECT_EQ(jig.drawChanges(wd), 1999);
    EXPECT_EQ(wd.primitives().size(), 2u);
}

namespace {

// One edit of the slab entry road, the same on both jigs: a point kept and
// a new rubber-band vertex, the last point taken back, the current edge's
// visibility switched, the loop closed or replaced by a picked polygon.
void EntryEdit(AJIG_COP& jig, int what, std::mt19937& rng) {
    ContourNode* last = jig.LastLoop();
    auto newLoop = [&] {
        int index = 0;
        for (ContourNode* k = jig.loops; k; k = k->next) ++index;
        auto* loop = new ContourNode;
        loop->vertices = NewVertex(jig.cursor.x, jig.cursor.y, jig.cursor.z, 1, index, 0, 0);
        jig.LastLoop()->next = loop;
        jig.current = loop->vertices;
        jig.vertexNumber = 1;
        jig.NoteCurrent(nullptr, 0);
    };
    switch (what) {
        case 0:
        case 1:
        case 2:
        case 3: {
            VertexNode* given = jig.current;
            VertexNode* added = NewVertex(given->x, given->y, given->z, 1, given->data1, 0, 0);
            added->next = given->next;
            given->next = added;
            jig.current = added;
            ++jig.vertexNumber;
            jig.NoteCurrent(given, static_cast<std::size_t>(jig.vertexNumber - 1));
            break;
        }
        case 4:
            if (jig.current != last->vertices) {
                VertexNode* before = PrevInRing(last->vertices, jig.current);
                RemoveNode(&last->vertices, jig.current);
                jig.current = before;
                jig.current->setPt(jig.cursor);
                --jig.vertexNumber;
                jig.NoteCurrent(before != last->vertices ? PrevInRing(last->vertices, before) : nullptr,
                                static_cast<std::size_t>(jig.vertexNumber - 1));
            }
            break;
        case 5:
            jig.current->edgeFlag = jig.current->edgeFlag < 0 ? 1 : -1;
            break;
        case 6:
            if (CountNodes(last->vertices) > 3) {
                RemoveNode(&last->vertices, jig.current);
                newLoop();
            }
            break;
        default:
            if (jig.loops->next) {
                jig.NoteLastLoopReplaced();
                FreeList(last->vertices);
                last->vertices = nullptr;
                const int index = CountNodes(jig.loops) - 1;
                for (int i = static_cast<int>(3 + rng() % 3); i > 0; --i)
                    AppendVertex(&last->vertices, Point3{double(rng() % 400), double(rng() % 400), 0.0}, 1,
                                 index, 0);
                newLoop();
            }
            break;
    }
}

bool SameLoops(const ContourNode* a, const ContourNode* b) {
    for (; a && b; a = a->next, b = b->next) {
        const VertexNode* v = a->vertices;
        const VertexNode* w = b->vertices;
        for (; v && w; v = v->next, w = w->next)
            if (std::memcmp(&v->x, &w->x, sizeof v->x) || std::memcmp(&v->y, &w->y, sizeof v->y) ||
                std::memcmp(&v->z, &w->z, sizeof v->z) || v->edgeFlag != w->edgeFlag || v->data1 != w->data1)
                return false;
        if (v || w) return false;
    }
    return !a && !b;
}

}  // namespace

// The entry road lets the jig look only past the vertex before the current
// one; a jig told nothing walks every loop. Under the same random entry
// (points, points taken back, hidden edges, loops closed and replaced, the
// gutter plane made, lost and made again) both must end every drag with
// the same loops to the bit and the preview a whole redraw gives.
TEST_F(SlabJigTest, entry_looks_from_the_current_vertex_and_gets_what_whole_walks_get) {
    for (const int kind : {AJIG_COP::kAtElevation, AJIG_COP::kGutter}) {
        AJIG_COP fast, plain;
        for (AJIG_COP* jig : {&fast, &plain}) {
            jig->kind = kind;
            jig->slopePercent = 35.0;
            jig->elevation = 10.0;
            jig->loops = SlabLoops({{{0.0, 0.0, 0.0}}});
            jig->current = jig->loops->vertices;
            jig->stage = 6;
        }
        fast.BeginEntry();
        std::mt19937 rng(kind + 17), same(kind + 17);
        for (int step = 0; step < 700; ++step) {
            const int what = static_cast<int>(rng() % 8);
            same.discard(1);
            EntryEdit(fast, what, rng);
            EntryEdit(plain, what, same);
            const std::string point =
                std::to_string(rng() % 1000) + "," + std::to_string(rng() % 1000) + ",0";
            same.discard(2);
            push(point);
            ASSERT_EQ(fast.drag(), ZcEdJig::kNormal);
            push(point);
            ASSERT_EQ(plain.drag(), ZcEdJig::kNormal);
            ASSERT_TRUE(SameLoops(fast.loops, plain.loops)) << "kind " << kind << " step " << step;
            ASSERT_TRUE(SamePrimitives(fast.lastPreview(), plain.lastPreview())) << "step " << step;
            ASSERT_TRUE(SamePrimitives(fast.lastPreview(), host::recordWorldDraw(fast.entity(), true)))
                << "kind " << kind << " step " << step;
        }
        fast.EndEntry();
    }
}
