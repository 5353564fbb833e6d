// The shadow pass looks up through plan indexes the pieces an outline may
// cover and the pieces that may join: on random storeys of wall-like
// boxes standing on a floor slab, seen and lit from random sides, it gives
// exactly the pieces that trying every pair gives, vertex for vertex, and
// tries far fewer pairs for it.
#include <gtest/gtest.h>

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
    std::int64_t byIndex = 0, byPairs = 0;
    ShadowGroup* indexed = Shade(faces, frame, light, true, byIndex);
    ShadowGroup* plain = Shade(faces, frame, light, false, byPairs);
    int pieces = 0;
    for (const ShadowGroup* s = indexed; s; s = s->next) pieces += CountNodes(s->pieces);
    EXPECT_GT(pieces, 40);
    EXPECT_EQ(Difference(indexed, plain), "");
    FreeShadowGroups(indexed);
    FreeShadowGroups(plain);
}

}  // namespace
