// The shadow pass looks up through plan indexes the pieces an outline may
// cover and the pieces that may join: on random storeys of wall-like
// boxes standing on a floor slab, seen and lit from random sides, it gives
// exactly the pieces that trying every pair gives, vertex for vertex, and
// tries far fewer pairs for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "tests/support/velm_test.h"
#include "tests/visual/views/shadow_oracle.h"
#include "visual/views/view_shading.h"

namespace {

class ShadowIndex : public ShadowToleranceTest {
protected:
    // A floor slab and walls on it in a loose grid, some of them turned,
    // some boxes floating over them.
    static std::vector<oracle::Face> Scene(std::mt19937& rng, int fixedCols = 0, int fixedRows = 0) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<oracle::Face> faces;
        const int cols = 2 + static_cast<int>(unit(rng) * 4), rows = 2 + static_cast<int>(unit(rng) * 3);
        if (fixedCols > 0) return Scene(rng, faces, fixedCols, fixedRows);
        return Scene(rng, faces, cols, rows);
    }
    static std::vector<oracle::Face> Scene(std::mt19937& rng, std::vector<oracle::Face>& faces, int cols,
                                           int rows) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        oracle::Box(faces, -50.0, -50.0, -25.0, cols * 400.0 + 50.0, rows * 300.0 + 50.0, 0.0, "SLAB");
        for (int i = 0; i <= cols; ++i)
            for (int j = 0; j <= rows; ++j) {
                const double x = i * 400.0 + 60.0 * (unit(rng) - 0.5),
                             y = j * 300.0 + 60.0 * (unit(rng) - 0.5);
                const double h = 200.0 + 100.0 * unit(rng);
                if (i < cols && unit(rng) < 0.8)
                    oracle::Box(faces, x, y - 15.0, 0.0, x + 400.0, y + 15.0, h, "WALL");
                if (j < rows && unit(rng) < 0.8)
                    oracle::Box(faces, x - 15.0, y, 0.0, x + 15.0, y + 300.0, h, "WALL");
                if (unit(rng) < 0.2)
                    oracle::Box(faces, x + 50.0, y + 50.0, 350.0, x + 200.0, y + 150.0, 400.0, "BOX");
            }
        return faces;
    }

    // The visible shadow pieces of the scene, and the pairs the hiding tried.
    static ShadowGroup* Shade(const std::vector<oracle::Face>& scene, const Matrix4& frame,
                              const Point3& light, bool indexed, std::int64_t& tried) {
        double grid[63];
        SectionFace* faces = oracle::ViewFaces(scene, frame, grid);
        FaceGroup* groups = nullptr;
        faces = ComputeHiddenLines(faces, grid, &groups, {});
        std::uint8_t stop = 0;
        ShadowSearch search;
        search.indexed = indexed;
        search.pairsTried = &tried;
        ShadowGroup* shadows = ComputeViewShading(&groups, frame, light, stop, search);
        FreeFaceGroups(groups);
        FreeList(faces);
        return shadows;
    }

    // The first difference between two results, or empty when they agree
    // to the bit.
    static std::string Difference(const ShadowGroup* a, const ShadowGroup* b) {
        for (; a && b; a = a->next, b = b->next) {
            if (a->number != b->number) return "group numbers";
            const OutlinePolygon *p = a->pieces, *q = b->pieces;
            for (; p && q; p = p->next, q = q->next) {
                const VertexNode *v = p->ring, *w = q->ring;
                for (; v && w; v = v->next, w = w->next)
                    if (v->x != w->x || v->y != w->y || v->z != w->z || v->mark != w->mark)
                        return "a vertex of group " + std::to_string(a->number);
                if (v || w) return "vertex counts in group " + std::to_string(a->number);
            }
            if (p || q) return "piece counts in group " + std::to_string(a->number);
        }
        return a || b ? "group counts" : "";
    }

    // The indexed pass against the plain one on the same scene: their first
    // difference, and the indexed pieces' count and longest ring.
    struct Compared {
        std::string difference;
        int pieces = 0;
        int longest = 0;
    };
    static Compared IndexedAgainstPlain(const std::vector<oracle::Face>& faces, const Matrix4& frame,
                                        const Point3& light) {
        std::int64_t byIndex = 0, byPairs = 0;
        ShadowGroup* indexed = Shade(faces, frame, light, true, byIndex);
        ShadowGroup* plain = Shade(faces, frame, light, false, byPairs);
        Compared c;
        for (const ShadowGroup* g = indexed; g; g = g->next)
            for (const OutlinePolygon* p = g->pieces; p; p = p->next) {
                ++c.pieces;
                c.longest = std::max(c.longest, CountNodes(p->ring));
            }
        c.difference = Difference(indexed, plain);
        FreeShadowGroups(indexed);
        FreeShadowGroups(plain);
        return c;
    }
};

TEST_F(ShadowIndex, looks_up_the_pieces_every_pair_would_give_on_random_floors) {
    std::mt19937 rng(93);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::int64_t byIndex = 0, byPairs = 0;
    int pieces = 0;
    for (int scene = 0; scene < 8; ++scene) {
        const std::vector<oracle::Face> faces = Scene(rng);
        const Matrix4 frame = oracle::ViewFrame(360.0 * unit(rng), 15.0 + 50.0 * unit(rng));
        const double a = 2.0 * std::numbers::pi * unit(rng);
        const Point3 light{std::cos(a), std::sin(a), 0.3 + unit(rng)};
        ShadowGroup* indexed = Shade(faces, frame, light, true, byIndex);
        ShadowGroup* plain = Shade(faces, frame, light, false, byPairs);
        for (const ShadowGroup* s = indexed; s; s = s->next) pieces += CountNodes(s->pieces);
        EXPECT_EQ(Difference(indexed, plain), "") << "scene " << scene;
        FreeShadowGroups(indexed);
        FreeShadowGroups(plain);
    }
    EXPECT_GT(pieces, 100);
    // The index screens: with it switched off as many pairs are tried.
    EXPECT_LT(byIndex * 2, byPairs) << byIndex << " of " << byPairs;
}

TEST_F(ShadowIndex, a_whole_floor_on_a_slab_merges_its_outlines_side_by_side_as_one_by_one) {
    // Enough pieces on the slab's top for the outlines to be merged on
    // several threads, and for one piece to grow along the floor.
    std::mt19937 rng(2);
    const std::vector<oracle::Face> faces = Scene(rng, 6, 5);
    const Matrix4 frame = oracle::ViewFrame(30.0, 35.0);
    const Point3 light{0.6, 0.5, 0.7};
    const Compared c = IndexedAgainstPlain(faces, frame, light);
    EXPECT_GT(c.pieces, 40);
    EXPECT_EQ(c.difference, "");
}

TEST_F(ShadowIndex, a_long_shadow_piece_round_a_post_is_hidden_as_every_pair_hides_it) {
    // A canopy overhead with teeth all round throws one shadow of many
    // corners on the slab, round a low post in its middle: long pieces are
    // screened by runs of edges, and must come out as trying every pair
    // gives them.
    std::vector<oracle::Face> faces;
    oracle::Box(faces, -400.0, -400.0, -25.0, 1400.0, 1400.0, 0.0, "SLAB");
    oracle::Box(faces, 0.0, 0.0, 350.0, 1000.0, 1000.0, 380.0, "CANOPY");
    for (int i = 0; i < 10; ++i) {
        const double a = 20.0 + i * 100.0, b = a + 40.0;
        oracle::Box(faces, a, -60.0, 350.0, b, 10.0, 380.0, "CANOPY");
        oracle::Box(faces, a, 990.0, 350.0, b, 1060.0, 380.0, "CANOPY");
        oracle::Box(faces, -60.0, a, 350.0, 10.0, b, 380.0, "CANOPY");
        oracle::Box(faces, 990.0, a, 350.0, 1060.0, b, 380.0, "CANOPY");
    }
    oracle::Box(faces, 480.0, 480.0, 0.0, 520.0, 520.0, 40.0, "POST");
    const Matrix4 frame = oracle::ViewFrame(10.0, 70.0);
    const Point3 light{0.05, 0.03, 1.0};
    const Compared c = IndexedAgainstPlain(faces, frame, light);
    EXPECT_GT(c.longest, 64);
    EXPECT_EQ(c.difference, "");
}

TEST_F(ShadowIndex, a_wall_across_the_floor_is_tried_only_against_the_posts_along_it) {
    // Seen turned, a wall across the whole floor and its shadow run askew:
    // their boxes hold nearly every post of the floor, their shapes come
    // near only those along them.
    const auto floor = [](bool withWall) {
        std::vector<oracle::Face> faces;
        oracle::Box(faces, -100.0, -100.0, -25.0, 3100.0, 3100.0, 0.0, "SLAB");
        for (int i = 0; i < 12; ++i)
            for (int j = 0; j < 12; ++j) {
                const double x = 100.0 + i * 250.0, y = 100.0 + j * 250.0;
                if (std::abs(y + 10.0 - 1500.0) > 200.0)
                    oracle::Box(faces, x, y, 0.0, x + 20.0, y + 20.0, 30.0, "POST");
            }
        if (withWall) oracle::Box(faces, 0.0, 1480.0, 0.0, 3000.0, 1500.0, 300.0, "WALL");
        return faces;
    };
    const Matrix4 frame = oracle::ViewFrame(40.0, 35.0);
    const Point3 light{0.3, -0.5, 1.0};
    std::int64_t posts = 0, both = 0;
    FreeShadowGroups(Shade(floor(false), frame, light, true, posts));
    FreeShadowGroups(Shade(floor(true), frame, light, true, both));
    // Filed and looked up by their boxes, the wall and its shadow add
    // some 500 pairs; by their shapes, about a hundred.
    EXPECT_LT(both - posts, 200) << both << " against " << posts << " without the wall";
    EXPECT_EQ(IndexedAgainstPlain(floor(true), frame, light).difference, "");
}

}  // namespace
