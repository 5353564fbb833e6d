#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/geometry/polygon.h"
#include "tests/core/geometry/bridging_reference.h"
#include "tests/core/geometry/polygon_fixtures.h"

namespace {

using Contours = std::vector<Outline>;

ContourNode* Build(const Contours& shapes) {
    ContourNode* head = nullptr;
    ContourNode* tail = nullptr;
    for (size_t i = 0; i < shapes.size(); ++i) {
        auto* k = new ContourNode;
        k->vertices = NumberedList(shapes[i], static_cast<int>(i));
        (tail ? tail->next : head) = k;
        tail = k;
    }
    return head;
}

// The ring as (contour, place) pairs, so rings over different copies of the
// same contours compare.
std::vector<std::pair<int, int>> Walk(const Contours& shapes, RingNode* (*bridge)(ContourNode*)) {
    OwnedList<ContourNode> contours(Build(shapes));
    OwnedList<RingNode> ring(bridge(contours.get()));
    std::vector<std::pair<int, int>> out;
    for (RingNode* r = ring.get(); r; r = r->next) out.emplace_back(r->vertex->data2, r->vertex->data1);
    return out;
}

Outline Square(double x, double y, double side, bool clockwise) {
    Outline s{{x, y, 0}, {x + side, y, 0}, {x + side, y + side, 0}, {x, y + side, 0}};
    if (clockwise) std::reverse(s.begin(), s.end());
    return s;
}

Outline Moved(Outline poly, double dx, double dy, double scale) {
    for (Point3& p : poly) p = {p.x * scale + dx, p.y * scale + dy, p.z};
    return poly;
}

void ExpectSameBridges(const Contours& shapes, const char* what, int i) {
    const auto fast = Walk(shapes, &BridgeHoles);
    const auto plain = Walk(shapes, &ReferenceBridgeHoles);
    ASSERT_EQ(fast, plain) << what << " " << i;
}

}  // namespace

// Random outlines with random holes of random shapes and turns, some
// overlapping each other or the outline, so that bridges cross, fail and tie.
TEST(Bridging, fast_bridging_chooses_the_bridges_of_the_plain_search) {
    std::mt19937 rng(1807);
    std::uniform_real_distribution<double> pos(-6.0, 6.0), size(0.3, 1.5);
    for (int i = 0; i < 300; ++i) {
        Contours shapes{i % 2 ? RandomStarPolygon(rng, 5 + i % 20)
                              : Moved(RandomTwoOptPolygon(rng, 6 + i % 10), -10, -10, 0.2)};
        if (i % 5 == 0) std::reverse(shapes[0].begin(), shapes[0].end());
        const int holes = 1 + i % 7;
        for (int h = 0; h < holes; ++h) {
            Outline hole = (h + i) % 3 == 0 ? RandomStarPolygon(rng, 3 + h) : Square(0, 0, 1, false);
            hole = Moved(hole, pos(rng), pos(rng), size(rng) * ((h + i) % 3 == 0 ? 0.15 : 1.0));
            if ((h + i) % 2) std::reverse(hole.begin(), hole.end());
            shapes.push_back(hole);
        }
        ExpectSameBridges(shapes, "random", i);
    }
}

// Integer grids: many bridges of equal length, bridge ends met again, holes
// sharing sides and corners, and runs of collinear vertices along the outline.
TEST(Bridging, ties_and_shared_corners_are_decided_as_the_plain_search_decides) {
    std::mt19937 rng(77);
    for (int i = 0; i < 30; ++i) {
        const int n = i % 10 == 0 ? 5 : 2 + i % 3;
        Outline outer;
        for (int x = 0; x <= 2 * n + 1; ++x) outer.push_back({double(x), 0, 0});
        outer.push_back({2.0 * n + 1, 2.0 * n + 1, 0});
        outer.push_back({0, 2.0 * n + 1, 0});
        Contours shapes{outer};
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b) {
                if (rng() % 5 == 0) continue;
                // Every other grid touches its neighbours side to side.
                const double side = i % 2 == 0 ? 2.0 : 1.0;
                shapes.push_back(Square(1 + 2.0 * a, 1 + 2.0 * b, side, (a + b + i) % 2 == 0));
            }
        ExpectSameBridges(shapes, "grid", i);
    }
}

// A slab's grid of openings one unit apart: every round has many free
// bridges of the same length, kept from round to round while their holes
// are joined one by one; gaps in the grid and turned holes change which
// of them comes first.
TEST(Bridging, a_grid_of_openings_is_bridged_as_the_plain_search_bridges_it) {
    std::mt19937 rng(18);
    for (int i = 0; i < 8; ++i) {
        const int g = 3 + i % 4;
        const double side = 3.0 * g + 1;
        Contours shapes{Square(0, 0, side, i % 2 == 1)};
        for (int a = 0; a < g; ++a)
            for (int b = 0; b < g; ++b) {
                if (i >= 4 && rng() % 4 == 0) continue;
                shapes.push_back(Square(1 + 3.0 * a, 1 + 3.0 * b, 2, i < 4 || rng() % 2 == 0));
            }
        ExpectSameBridges(shapes, "openings", i);
    }
}

// The same grids with thin bars in some gaps between rows: many of the
// shortest bridges, often the first of them in ring order, cross a bar and
// must give way to the next one the plain search takes.
TEST(Bridging, tied_bridges_crossing_a_bar_give_way_as_in_the_plain_search) {
    std::mt19937 rng(1810);
    for (int i = 0; i < 8; ++i) {
        const int g = 3 + i % 3;
        const double side = 3.0 * g + 1;
        Contours shapes{Square(0, 0, side, i % 2 == 0)};
        for (int a = 0; a < g; ++a)
            for (int b = 0; b < g; ++b) shapes.push_back(Square(1 + 3.0 * a, 1 + 3.0 * b, 2, rng() % 2 == 0));
        for (int b = 1; b < g; ++b) {
            if (rng() % 3 == 0) continue;
            const double y = 3.0 * b + 0.45, x0 = 0.5 + (rng() % 3), x1 = side - 0.5 - (rng() % 3);
            Outline bar{{x0, y, 0}, {x1, y, 0}, {x1, y + 0.1, 0}, {x0, y + 0.1, 0}};
            if (rng() % 2) std::reverse(bar.begin(), bar.end());
            shapes.push_back(bar);
        }
        ExpectSameBridges(shapes, "bars", i);
    }
}

TEST(Bridging, a_hole_is_walked_clockwise_from_the_first_of_equal_bridges) {
    // All four corners of the hole are equally far from the outline's
    // corners; the first ring node and the hole's first vertex win.
    const Contours shapes{Square(0, 0, 10, false), Square(4, 4, 2, false)};
    const auto ring = Walk(shapes, &BridgeHoles);
    const std::vector<std::pair<int, int>> expected{{0, 0}, {1, 0}, {1, 3}, {1, 2}, {1, 1},
                                                    {1, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}};
    EXPECT_EQ(ring, expected);
}

TEST(Bridging, points_that_are_not_numbers_give_the_plain_search_result) {
    const double nan = std::nan("");
    const Contours shapes{Square(0, 0, 10, false),
                          Square(2, 2, 1, true),
                          {{6, 6, 0}, {nan, 7, 0}, {7, 7, 0}},
                          Square(6, 2, HUGE_VAL, false)};
    EXPECT_EQ(Walk(shapes, &BridgeHoles), Walk(shapes, &ReferenceBridgeHoles));
}
