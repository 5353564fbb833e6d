#include "core/geometry/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "tests/core/geometry/polygon_fixtures.h"
#include "tests/core/geometry/triangulation_reference.h"

namespace {

Matrix4 Identity() {
    Matrix4 m;
    SetIdentity4(m);
    return m;
}

double TriangleArea(const Triangle& t) {
    return ((t.b.x - t.a.x) * (t.c.y - t.a.y) - (t.b.y - t.a.y) * (t.c.x - t.a.x)) / 2.0;
}

bool InTriangle(const Point3& p, const Triangle& t) {
    auto side = [](const Point3& o, const Point3& a, const Point3& b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    const double d1 = side(t.a, t.b, p), d2 = side(t.b, t.c, p), d3 = side(t.c, t.a, p);
    const bool neg = d1 < 0 || d2 < 0 || d3<0, pos = d1> 0 || d2 > 0 || d3 > 0;
    return !(neg && pos);
}

std::vector<Triangle> Triangulate(const Outline& poly) {
    return TakeFaces(TriangulatePolygon(NumberedList(poly), static_cast<int>(poly.size()) - 1, Identity()));
}

// Every triangle turns the right way, their areas add up to the polygon's,
// and sample points inside the polygon lie in exactly one triangle, points
// outside in none.
void ExpectExactCover(const Outline& poly, const std::vector<Triangle>& tris, std::mt19937& rng) {
    const double area = ShoelaceArea(poly);
    double sum = 0.0;
    for (const Triangle& t : tris) {
        EXPECT_GE(TriangleArea(t), -1e-9);
        sum += TriangleArea(t);
    }
    EXPECT_NEAR(sum, area, 1e-7 * std::max(1.0, area));
    double minX = poly[0].x, maxX = minX, minY = poly[0].y, maxY = minY;
    for (const Point3& p : poly) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    std::uniform_real_distribution<double> ux(minX, maxX), uy(minY, maxY);
    for (int s = 0; s < 200; ++s) {
        const Point3 p{ux(rng), uy(rng), 0.0};
        int hits = 0;
        for (const Triangle& t : tris) hits += InTriangle(p, t) ? 1 : 0;
        // Points on a shared diagonal belong to two triangles; random points
        // hit one with probability zero.
        EXPECT_EQ(hits, StrictlyInside(p, poly) ? 1 : 0) << "at " << p.x << "," << p.y;
    }
}

bool SameFaces(const std::vector<Triangle>& a, const std::vector<Triangle>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const Triangle &s = a[i], &t = b[i];
        if (s.a.x != t.a.x || s.a.y != t.a.y || s.b.x != t.b.x || s.b.y != t.b.y || s.c.x != t.c.x ||
            s.c.y != t.c.y || s.flags70 != t.flags70)
            return false;
    }
    return true;
}

}  // namespace

TEST(Triangulation, square_gives_two_faces_with_diagonal_and_fourth_edge_hidden) {
    const Outline square{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const auto tris = Triangulate(square);
    ASSERT_EQ(tris.size(), 2u);
    for (const Triangle& t : tris) {
        EXPECT_TRUE(t.flags70 & 8);
        const int diagonalBits = t.flags70 & 7;
        EXPECT_TRUE(diagonalBits == 1 || diagonalBits == 2 || diagonalBits == 4) << t.flags70;
    }
    // Newest first: the fan's face (0, 2, 3), then the ear (0, 1, 2).
    EXPECT_EQ(tris[0].flags70, 1 + 8);
    EXPECT_EQ(tris[1].flags70, 4 + 8);
}

TEST(Triangulation, triangle_is_one_face_with_all_outline_edges_visible) {
    const auto tris = Triangulate({{0, 0, 0}, {4, 0, 0}, {0, 3, 0}});
    ASSERT_EQ(tris.size(), 1u);
    EXPECT_EQ(tris[0].flags70, 8);
}

TEST(Triangulation, l_shape_has_no_face_outside_and_hides_only_diagonals) {
    const Outline l{{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    const auto tris = Triangulate(l);
    ASSERT_EQ(tris.size(), 4u);
    std::mt19937 rng(7);
    ExpectExactCover(l, tris, rng);
    // Six outline edges are visible once each; the three diagonals are
    // hidden on both of their sides.
    int visible = 0, hidden = 0;
    for (const Triangle& t : tris) {
        EXPECT_TRUE(t.flags70 & 8);
        for (int bit = 1; bit <= 4; bit *= 2) (t.flags70 & bit ? hidden : visible)++;
    }
    EXPECT_EQ(visible, 6);
    EXPECT_EQ(hidden, 6);
}

TEST(Triangulation, fewer_than_three_vertices_gives_nothing_and_keeps_the_list) {
    VertexNode* two = NumberedList({{0, 0, 0}, {1, 0, 0}});
    EXPECT_EQ(TriangulatePolygon(two, 1, Identity()), nullptr);
    EXPECT_EQ(CountNodes(two), 2);
    FreeList(two);
}

TEST(Triangulation, corners_are_mapped_back_by_the_matrix) {
    Matrix4 lift;
    TranslationMatrix(lift, {10, 20, 30});
    const auto tris = TakeFaces(TriangulatePolygon(NumberedList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), 2, lift));
    ASSERT_EQ(tris.size(), 1u);
    EXPECT_DOUBLE_EQ(tris[0].a.x, 10);
    EXPECT_DOUBLE_EQ(tris[0].a.z, 30);
    EXPECT_DOUBLE_EQ(tris[0].b.x, 11);
}

TEST(Triangulation, random_simple_polygons_are_covered_exactly) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 300; ++i) {
        const Outline poly =
            i % 2 ? RandomStarPolygon(rng, 3 + i % 40) : RandomTwoOptPolygon(rng, 3 + i % 18);
        if (!IsSimpleOutline(poly)) continue;
        SCOPED_TRACE(i);
        ExpectExactCover(poly, Triangulate(poly), rng);
    }
}

TEST(Triangulation, fast_search_gives_the_faces_of_the_plain_search) {
    std::mt19937 rng(4242);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        Outline poly;
        switch (i % 3) {
            case 0:
                poly = RandomStarPolygon(rng, 3 + i % 50);
                break;
            case 1:
                poly = RandomTwoOptPolygon(rng, 3 + i % 16);
                break;
            default:
                poly = CombPolygon(1 + i % 7);
                break;
        }
        const int K = static_cast<int>(poly.size()) - 1;
        const auto fast = TakeFaces(TriangulatePolygon(NumberedList(poly), K, Identity()));
        const auto plain = TakeFaces(ReferenceTriangulatePolygon(NumberedList(poly), K, Identity()));
        ASSERT_TRUE(SameFaces(fast, plain)) << "polygon " << i;
        ++compared;
    }
    EXPECT_EQ(compared, 3000);
}

// Shapes where the fast search's shortcuts do the most work: long fans from
// one vertex, deep notches, runs of collinear vertices, a wound strip, and
// rings with many bridged holes whose bridge ends appear twice.
TEST(Triangulation, fast_search_gives_the_faces_of_the_plain_search_on_hard_shapes) {
    std::vector<Outline> shapes;
    for (int t : {1, 2, 5, 13, 40}) shapes.push_back(CombPolygon(t));
    for (int n : {6, 20, 90}) shapes.push_back(SpiralPolygon(n, 2.5));
    for (int n : {3, 7, 60}) shapes.push_back(RegularStar(n, 0.3, 5.0));
    for (int n : {1, 2, 9, 30}) shapes.push_back(SubdividedSquare(n));
    shapes.push_back(ConvexPolygon(300, 10.0));
    for (int grid : {1, 2, 4, 7}) {
        auto* outer = new ContourNode;
        outer->vertices = NumberedList(
            {{0, 0, 0}, {3.0 * grid + 1, 0, 0}, {3.0 * grid + 1, 3.0 * grid + 1, 0}, {0, 3.0 * grid + 1, 0}});
        ContourNode* tail = outer;
        for (int i = 0; i < grid * grid; ++i) {
            const double x = 1 + 3.0 * (i % grid), y = 1 + 3.0 * (i / grid);
            tail = tail->next = new ContourNode;
            tail->vertices =
                NumberedList({{x, y, 0}, {x, y + 2, 0}, {x + 2, y + 2, 0}, {x + 2, y, 0}}, i + 1);
        }
        OwnedList<ContourNode> contours(outer);
        OwnedList<RingNode> ring(BridgeHoles(contours.get()));
        Outline joined;
        for (RingNode* r = ring.get(); r; r = r->next) joined.push_back(r->vertex->pt());
        shapes.push_back(joined);
    }
    for (size_t i = 0; i < shapes.size(); ++i) {
        const Outline& poly = shapes[i];
        const int K = static_cast<int>(poly.size()) - 1;
        const auto fast = TakeFaces(TriangulatePolygon(NumberedList(poly), K, Identity()));
        const auto plain = TakeFaces(ReferenceTriangulatePolygon(NumberedList(poly), K, Identity()));
        EXPECT_EQ(fast.size(), poly.size() - 2) << "shape " << i;
        EXPECT_TRUE(SameFaces(fast, plain)) << "shape " << i;
    }
}

TEST(Triangulation, bridged_holes_are_left_uncovered_and_bridges_stay_hidden) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 20; ++trial) {
        // A square with two smaller squares cut out, placed at random; the
        // holes run clockwise, the way the bridging walks them, so their
        // numbering runs with the ring.
        std::uniform_real_distribution<double> u(1.0, 3.5);
        const double ax = u(rng), ay = u(rng), bx = u(rng) + 5.0, by = u(rng) + 5.0;
        auto* outer = new ContourNode;
        outer->vertices = NumberedList({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, 0);
        auto* h1 = new ContourNode;
        h1->vertices = NumberedList({{ax, ay, 0}, {ax, ay + 1, 0}, {ax + 1, ay + 1, 0}, {ax + 1, ay, 0}}, 1);
        auto* h2 = new ContourNode;
        h2->vertices = NumberedList({{bx, by, 0}, {bx, by + 1, 0}, {bx + 1, by + 1, 0}, {bx + 1, by, 0}}, 2);
        outer->next = h1;
        h1->next = h2;
        OwnedList<ContourNode> contours(outer);
        OwnedList<RingNode> ring(BridgeHoles(contours.get()));
        ASSERT_EQ(CountNodes(ring.get()), 4 + 2 * (4 + 2));
        // Each contour's numbers run 0..3, so K = 3 serves every contour.
        VertexNode* list = nullptr;
        int outlineEdges = 0;
        for (RingNode* r = ring.get(); r; r = r->next) {
            AppendVertex(&list, r->vertex->pt(), 1, r->vertex->data1, r->vertex->data2);
            const VertexNode *x = r->vertex, *y = NextInRing(ring.get(), r)->vertex;
            const bool sameContour = x->data2 == y->data2;
            outlineEdges += sameContour && ((x->data1 == 3 && y->data1 == 0) ||
                                            (x->data1 != 3 && std::abs(x->data1 - y->data1) <= 1));
        }
        VertexNode* copy = CopyVertexList(list);
        const auto tris = TakeFaces(TriangulatePolygon(list, 3, Identity()));
        const auto plain = TakeFaces(ReferenceTriangulatePolygon(copy, 3, Identity()));
        EXPECT_TRUE(SameFaces(tris, plain));
        double sum = 0.0;
        int visible = 0;
        for (const Triangle& t : tris) {
            EXPECT_GE(TriangleArea(t), -1e-9);
            sum += TriangleArea(t);
            for (int bit = 1; bit <= 4; bit *= 2) visible += (t.flags70 & bit) ? 0 : 1;
        }
        EXPECT_NEAR(sum, 100.0 - 2.0, 1e-9);
        // Each ring edge lies in exactly one face, so the visible sides are
        // the ring's outline edges: all twelve contour edges, while bridges
        // and diagonals stay hidden.
        EXPECT_EQ(visible, outlineEdges);
        EXPECT_EQ(visible, 12);
    }
}

TEST(Triangulation, points_that_are_not_numbers_still_end_in_faces_without_a_fault) {
    const double nan = std::nan("");
    const Outline bad{{0, 0, 0}, {nan, 0, 0}, {1, 1, 0}, {0, HUGE_VAL, 0}, {-1, 0.5, 0}};
    const auto tris = Triangulate(bad);
    EXPECT_EQ(tris.size(), bad.size() - 2);
    double area = 0;
    EXPECT_EQ(ArcToVertices(1e-12, {0, 0, 0}, 1.0, 0.0, 1.0, &area, true), nullptr);
    EXPECT_EQ(ArcToVertices(0.1, {0, 0, 0}, 1.0, 1e300, 1.0, &area, false), nullptr);
}

// Rings of random points on a small grid: they cross themselves, repeat
// points and run along lines, so the ear search meets blocked diagonals,
// edges touching its ends and the fan at the end; the memo of blocking
// edges and the tree of live edges must still give the plain search's faces.
TEST(Triangulation, fast_search_gives_the_faces_of_the_plain_search_on_tangled_rings) {
    std::mt19937 rng(1812);
    std::uniform_int_distribution<int> coord(0, 6);
    for (int i = 0; i < 2000; ++i) {
        Outline poly;
        const int n = 3 + i % 37;
        for (int k = 0; k < n; ++k) poly.push_back({double(coord(rng)), double(coord(rng)), 0.0});
        const int K = static_cast<int>(poly.size()) - 1;
        const auto fast = TakeFaces(TriangulatePolygon(NumberedList(poly), K, Identity()));
        const auto plain = TakeFaces(ReferenceTriangulatePolygon(NumberedList(poly), K, Identity()));
        ASSERT_TRUE(SameFaces(fast, plain)) << "ring " << i;
    }
}

namespace {

// Every field of every corner, face after face; frees the list.
std::vector<double> Corners(FaceRecord* faces) {
    OwnedList<FaceRecord> owned(faces);
    std::vector<double> out;
    for (const FaceRecord* f = faces; f; f = f->next)
        for (const VertexNode* c = f->corners; c; c = c->next)
            out.insert(out.end(), {c->x, c->y, c->z, c->spare, double(c->edgeFlag), double(c->data1),
                                   double(c->data2), double(c->mark)});
    return out;
}

// Stray scratch values in the input must not reach the corners either.
void ExpectSameAsPlain(const Outline& poly, const Matrix4& toWorld, const std::string& what) {
    const int K = static_cast<int>(poly.size()) - 1;
    VertexNode *list = NumberedList(poly), *copy = NumberedList(poly);
    for (VertexNode *v = list, *w = copy; v; v = v->next, w = w->next) {
        v->spare = w->spare = 7.5;
        v->mark = w->mark = 3;
    }
    // Compared whole, not printed: the lists run to thousands of values.
    const bool same = Corners(TriangulatePolygon(list, K, toWorld)) ==
                      Corners(ReferenceTriangulatePolygon(copy, K, toWorld));
    EXPECT_TRUE(same) << what;
}

Outline Ellipse(int n, double a, double b, double turn, double shift = 0.0) {
    Outline poly;
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * M_PI * i / n, x = a * std::cos(t), y = b * std::sin(t);
        poly.push_back({shift + x * std::cos(turn) - y * std::sin(turn),
                        shift + x * std::sin(turn) + y * std::cos(turn), 0});
    }
    return poly;
}

}  // namespace

// Convex rings skip the tree of live edges while the diagonal is clear; round,
// thin, tiny, far-off and uneven rings, with corners mapped by a real matrix.
TEST(Triangulation, fast_search_gives_the_corners_of_the_plain_search_on_convex_rings) {
    Matrix4 turn, shift, tilted;
    RotationZMatrix(turn, 0.7);
    TranslationMatrix(shift, {12.5, -3.25, 4.0});
    MultiplyMatrix4(shift, turn, tilted);
    for (int n : {3, 4, 5, 17, 200, 1500}) ExpectSameAsPlain(ConvexPolygon(n, 10.0), tilted, "regular");
    ExpectSameAsPlain(Ellipse(400, 50.0, 50e-6, 0.3), Identity(), "thin");
    ExpectSameAsPlain(Ellipse(2000, 100.0, 1.0, 0.2), Identity(), "long");
    ExpectSameAsPlain(Ellipse(300, 1e-8, 0.7e-8, 0.0), Identity(), "tiny");
    ExpectSameAsPlain(Ellipse(300, 4.0, 3.0, 1.1, 1e7), Identity(), "far off");
    std::mt19937 rng(1818);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 300; ++trial) {
        // Random points of a random ellipse, in order: uneven gaps.
        const double a = 1.0 + 20.0 * unit(rng), b = a * (0.01 + unit(rng)), turn = 6.0 * unit(rng);
        std::vector<double> t(3 + trial % 60);
        for (double& x : t) x = 2.0 * M_PI * unit(rng);
        std::sort(t.begin(), t.end());
        Outline poly;
        for (double x : t) {
            const double px = a * std::cos(x), py = b * std::sin(x);
            poly.push_back(
                {px * std::cos(turn) - py * std::sin(turn), px * std::sin(turn) + py * std::cos(turn), 0});
        }
        ExpectSameAsPlain(poly, trial % 2 ? tilted : Identity(), "random " + std::to_string(trial));
    }
}

// Not strictly convex, though nearly: stars and a circle that turn left at
// every vertex but wind twice, a straight or doubled vertex, a clockwise
// circle, a vertex pushed a hair inwards; and rings on a grid whose vertices
// are nudged off straight lines about as far as the angle tests can tell.
TEST(Triangulation,
     fast_search_gives_the_corners_of_the_plain_search_on_nearly_convex_and_nearly_straight_rings) {
    for (int points : {5, 7, 9}) {
        Outline star;
        for (int i = 0; i < points; ++i)
            star.push_back({std::cos(4.0 * M_PI * i / points), std::sin(4.0 * M_PI * i / points), 0});
        ExpectSameAsPlain(star, Identity(), "star " + std::to_string(points));
    }
    std::vector<Outline> rings(6, ConvexPolygon(40, 5.0));
    const Outline inner = ConvexPolygon(40, 4.0);
    rings[0].insert(rings[0].end(), inner.begin(), inner.end());
    rings[1].insert(rings[1].begin() + 1,
                    {(rings[1][0].x + rings[1][1].x) / 2, (rings[1][0].y + rings[1][1].y) / 2, 0});
    rings[2].insert(rings[2].begin() + 4, rings[2][4]);
    std::reverse(rings[3].begin(), rings[3].end());
    for (int i = 4; i < 6; ++i) {
        const double push = i == 4 ? 1e-9 : 1e-13;
        rings[i][10] = {(rings[i][9].x + rings[i][11].x) / 2 * (1 - push),
                        (rings[i][9].y + rings[i][11].y) / 2 * (1 - push), 0};
    }
    for (size_t i = 0; i < rings.size(); ++i)
        ExpectSameAsPlain(rings[i], Identity(), "ring " + std::to_string(i));

    std::mt19937 rng(1118);
    std::uniform_int_distribution<int> coord(0, 6);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 1200; ++i) {
        const double jitter = std::pow(10.0, -8.0 - i % 9);
        Outline poly;
        for (int k = 0; k < 4 + i % 23; ++k)
            poly.push_back({coord(rng) + jitter * unit(rng), coord(rng) + jitter * unit(rng), 0.0});
        ExpectSameAsPlain(poly, Identity(), "jittered " + std::to_string(i));
    }
}
