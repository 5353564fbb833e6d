// Cutting by the section plane: faces keep exactly their part behind the
// plane, with the new edge marked and the others keeping their words;
// lines keep their part behind it; a stepped section cuts each half at its
// own plane.
#include "visual/views/section_cut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/host_services.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/views/section_faces.h"

namespace {

// Vector area of a closed polygon in space (Newell): right for any simple
// polygon, and for the zero-width joins a half-space clip may leave.
double PolygonArea(const std::vector<Point3>& p) {
    double x = 0, y = 0, z = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Point3& a = p[i];
        const Point3& b = p[(i + 1) % p.size()];
        x += (a.y - b.y) * (a.z + b.z);
        y += (a.z - b.z) * (a.x + b.x);
        z += (a.x - b.x) * (a.y + b.y);
    }
    return std::sqrt(x * x + y * y + z * z) / 2.0;
}

// The polygon's part with z >= level, by walking its edges.
std::vector<Point3> ClipBehind(const std::vector<Point3>& poly, double level) {
    std::vector<Point3> out;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Point3& a = poly[i];
        const Point3& b = poly[(i + 1) % poly.size()];
        const bool ina = a.z >= level, inb = b.z >= level;
        if (ina) out.push_back(a);
        if (ina != inb) {
            const double t = (level - a.z) / (b.z - a.z);
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, level});
        }
    }
    return out;
}

double PiecesArea(const Point3* c, int count) {
    double total = 0.0;
    for (int f = 0; f < count; ++f)
        total += PolygonArea({c[4 * f], c[4 * f + 1], c[4 * f + 2], c[4 * f + 3]});
    return total;
}

class SectionCut : public Model3DTest {
protected:
    static ZcDbLine* Line(const char* layer, ZcGePoint3d a, ZcGePoint3d b) {
        auto* line = new ZcDbLine(a, b);
        line->setDatabaseDefaults(db());
        EnsureLayerRecord(layer);
        line->setLayer(layer);
        ZcDbObjectId id;
        EXPECT_EQ(AppendToModelSpace(id, line), Zcad::eOk);
        return line;
    }
    static void EnsureLayerRecord(const char* name) {
        ZcDbLayerTable* table = nullptr;
        ASSERT_EQ(zcdbOpenObject(table, db()->layerTableId(), ZcDb::kForWrite), Zcad::eOk);
        if (!table->has(name)) {
            auto* record = new ZcDbLayerTableRecord;
            record->setName(name);
            table->add(record);
            record->close();
        }
        table->close();
    }
    static std::vector<ViewSegment> Lines(const CSezione& s) {
        std::vector<ViewSegment> out;
        for (const ViewSegment* v = s.viewLines; v; v = v->next) out.push_back(*v);
        return out;
    }
};

}  // namespace

TEST_F(SectionCut, quadrilaterals_shrink_or_split_before_their_triangles_are_cut) {
    CSezione s;
    const int words[4] = {1, 2, 3, 4};
    Point3 out[8];
    int outWords[8];
    // Only corner 0 behind: the triangle of corners 0, 1 and 3, cut once.
    const Point3 one[4] = {{0, 0, 4}, {10, 0, -4}, {10, 10, -8}, {0, 10, -4}};
    ASSERT_EQ(s.CutFace(one, words, out, outWords, s.sectionPlane, 0.0), 1);
    EXPECT_TRUE(PointsEqual(out[0], one[0], true));
    EXPECT_NEAR(PiecesArea(out, 1), PolygonArea(ClipBehind({one[0], one[1], one[2], one[3]}, 0.0)), 1e-9);
    // Corner 0, then the crossing on edge 3-0 (the triangle's removed
    // corner that comes first), then the one on edge 0-1: each piece of an
    // old edge keeps that edge's word, the cut edge between them is -1.
    EXPECT_TRUE(PointsEqual(out[1], {0, 5, 0}, true));
    EXPECT_TRUE(PointsEqual(out[2], {5, 0, 0}, true));
    EXPECT_EQ(outWords[0], 4);
    EXPECT_EQ(outWords[1], -1);
    EXPECT_EQ(outWords[2], 1);

    // Two neighbours behind: the two triangles of the 0-2 diagonal, each
    // cut, the diagonal hidden.
    // The face slopes at 45 degrees: its half behind the plane is 10 by
    // 5 * sqrt(2).
    const Point3 two[4] = {{0, 0, 5}, {10, 0, 5}, {10, 10, -5}, {0, 10, -5}};
    ASSERT_EQ(s.CutFace(two, words, out, outWords, s.sectionPlane, 0.0), 2);
    EXPECT_NEAR(PiecesArea(out, 2), 50.0 * std::sqrt(2.0), 1e-9);
    int cut = 0, hidden = 0;
    for (int k = 0; k < 8; ++k) {
        cut += outWords[k] == -1;
        hidden += outWords[k] == 0;
        EXPECT_GE(out[k].z, -1e-12);
    }
    EXPECT_EQ(cut, 2);
    EXPECT_GE(hidden, 2);
}

TEST_F(SectionCut, triangles_keep_their_words_and_mark_the_edge_on_the_plane) {
    CSezione s;
    Point3 out[8];
    int outWords[8];
    const int words[4] = {11, 12, 13, 13};
    // Corner 0 in front: the quadrilateral of 1, the two crossings and 2.
    const Point3 front0[4] = {{0, 0, -2}, {4, 0, 2}, {0, 4, 2}, {0, 4, 2}};
    ASSERT_EQ(s.CutFace(front0, words, out, outWords, s.sectionPlane, 0.0), 1);
    EXPECT_TRUE(PointsEqual(out[0], front0[1], true));
    EXPECT_TRUE(PointsEqual(out[3], front0[2], true));
    EXPECT_NEAR(out[1].z, 0.0, 1e-12);
    EXPECT_NEAR(out[2].z, 0.0, 1e-12);
    const int expected[4] = {11, -1, 13, 12};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(outWords[k], expected[k]) << k;

    // Two in front, at a level that is not 0 (the far plane of a stepped
    // section): the crossings lie on that plane.
    ZcGePlane far;
    far.set(0.0, 0.0, 1.0, -200.0);
    const Point3 front2[4] = {{0, 0, 150}, {4, 0, 250}, {0, 4, 150}, {0, 4, 150}};
    ASSERT_EQ(s.CutFace(front2, words, out, outWords, far, 200.0), 1);
    EXPECT_TRUE(PointsEqual(out[0], front2[1], true));
    EXPECT_NEAR(out[1].z, 200.0, 1e-9);
    EXPECT_NEAR(out[2].z, 200.0, 1e-9);
    EXPECT_EQ(outWords[0], 11);
    EXPECT_EQ(outWords[1], -1);
    EXPECT_EQ(outWords[2], 12);
}

TEST_F(SectionCut, concave_quadrilateral_is_split_along_its_inner_diagonal) {
    const int words[4] = {1, 2, 3, 4};
    Point3 out[8];
    int outWords[8];
    // Corner 3 is the reflex one: the diagonal 0-2 runs outside the face.
    const Point3 dart[4] = {{0, 0, 5}, {10, 0, 5}, {10, 10, 5}, {7, 3, 5}};
    ASSERT_EQ(SplitQuadIntoTriangles(false, dart, words, out, outWords), 2);
    EXPECT_NEAR(PiecesArea(out, 2), PolygonArea({dart[0], dart[1], dart[2], dart[3]}), 1e-9);
    EXPECT_TRUE(PointsEqual(out[2], dart[3], true));
    // Reflex corner 1, nearer to corner 3 than the diagonals' lines meet:
    // the split is along 1-3 all the same.
    const Point3 notch[4] = {{0, 0, 5}, {3, 7, 5}, {10, 10, 5}, {0, 10, 5}};
    ASSERT_EQ(SplitQuadIntoTriangles(false, notch, words, out, outWords), 2);
    EXPECT_NEAR(PiecesArea(out, 2), 30.0, 1e-9);
    // A convex one is kept whole when asked.
    const Point3 square[4] = {{0, 0, 5}, {10, 0, 5}, {10, 10, 5}, {0, 10, 5}};
    EXPECT_EQ(SplitQuadIntoTriangles(true, square, words, out, outWords), 1);
    EXPECT_EQ(FindCoincidentCorner(square), -1);
    const Point3 last[4] = {{0, 0, 5}, {10, 0, 5}, {10, 10, 5}, {0, 0, 5}};
    EXPECT_EQ(FindCoincidentCorner(last), 3);
}

TEST_F(SectionCut, random_faces_keep_exactly_their_part_behind_the_plane) {
    CSezione s;
    std::mt19937 random(72);
    std::uniform_real_distribution<double> coord(-50.0, 50.0);
    const int words[4] = {1, 1, 1, 1};
    int checked = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        // A planar quadrilateral (or triangle) in a random plane: corners
        // round a centre, less than half a turn apart, so the polygon is
        // simple (convex or not), then tilted.
        const int n = trial % 3 == 0 ? 3 : 4;
        const double sector = 2 * std::numbers::pi / n;
        double angles[4];
        for (int k = 0; k < n; ++k)
            angles[k] = k * sector + std::uniform_real_distribution<double>(0, 0.45 * sector)(random);
        const double tx = coord(random) / 60.0, ty = coord(random) / 60.0, z0 = coord(random) / 5.0;
        Point3 c[4];
        std::vector<Point3> poly;
        for (int k = 0; k < n; ++k) {
            const double r = 5.0 + std::fabs(coord(random));
            const double x = r * std::cos(angles[k]), y = r * std::sin(angles[k]);
            c[k] = {x, y, z0 + tx * x + ty * y};
            poly.push_back(c[k]);
        }
        if (n == 3) c[3] = c[2];
        const double level = trial % 2 ? 0.0 : coord(random) / 10.0;
        int behind = 0;
        for (int k = 0; k < 4; ++k) behind += c[k].z >= level;
        if (behind == 0 || behind == 4) continue;
        ZcGePlane plane;
        plane.set(0.0, 0.0, 1.0, -level);
        Point3 out[8];
        int outWords[8];
        const int count = s.CutFace(c, words, out, outWords, plane, level);
        ASSERT_GE(count, 1);
        for (int k = 0; k < 4 * count; ++k) ASSERT_GE(out[k].z, level - 1e-9) << trial;
        ASSERT_NEAR(PiecesArea(out, count), PolygonArea(ClipBehind(poly, level)),
                    1e-6 * (1.0 + PolygonArea(poly)))
            << trial;
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

TEST_F(SectionCut, lines_keep_their_part_behind_the_plane) {
    CSezione s;
    s.minLength = 0.01;
    ZcDbLine* across = Line("3DLINES", {0, 0, -5}, {0, 0, 5});
    s.CutLineEntity(across);
    ZcDbLine* front = Line("3DLINES", {1, 0, -5}, {1, 0, -1});
    s.CutLineEntity(front);
    ZcDbLine* behind = Line("VELM3DWALLS$0", {2, 0, 0}, {2, 0, 5});
    s.CutLineEntity(behind);
    ZcDbLine* shortLine = Line("3DLINES", {3, 0, -0.001}, {3, 0, 0.001});
    s.CutLineEntity(shortLine);
    ZcDbLine* plan = Line("2DWALLS", {4, 0, 0}, {4, 0, 5});
    s.CutLineEntity(plan);
    for (ZcDbLine* l : {across, front, behind, shortLine, plan}) l->close();
    const std::vector<ViewSegment> lines = Lines(s);
    ASSERT_EQ(lines.size(), 2u);
    // Newest first: the line wholly behind, then the cut one from 0 to 5.
    EXPECT_DOUBLE_EQ(lines[0].start.z, 0.0);
    EXPECT_DOUBLE_EQ(lines[0].end.z, 5.0);
    EXPECT_EQ(lines[1].start.x, 0.0);
    EXPECT_NEAR(std::min(lines[1].start.z, lines[1].end.z), 0.0, 1e-12);
    EXPECT_NEAR(std::max(lines[1].start.z, lines[1].end.z), 5.0, 1e-12);
    EXPECT_EQ(lines[1].layer, -1);
    EXPECT_EQ(lines[1].face, -1);
    EXPECT_EQ(lines[1].colour, 256);
    EXPECT_DOUBLE_EQ(s.boxMax[2], 5.0);
}

TEST_F(SectionCut, stepped_section_cuts_each_half_at_its_own_plane) {
    CSezione s;
    s.minLength = 0.01;
    s.depthFlag = 1;
    s.depth = 200.0;
    ZcDbLine* left = Line("3DLINES", {-10, 0, 100}, {-10, 0, 300});
    s.CutLineEntity(left);
    ZcDbLine* right = Line("3DLINES", {10, 0, 100}, {10, 0, 300});
    s.CutLineEntity(right);
    // Across the side plane, in front of the far plane on the left.
    ZcDbLine* across = Line("3DLINES", {-10, 0, 150}, {10, 0, 150});
    s.CutLineEntity(across);
    for (ZcDbLine* l : {left, right, across}) l->close();
    const std::vector<ViewSegment> lines = Lines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(std::min(lines[2].start.z, lines[2].end.z), 200.0, 1e-9);
    EXPECT_NEAR(std::min(lines[1].start.z, lines[1].end.z), 100.0, 1e-9);
    EXPECT_NEAR(std::min(lines[0].start.x, lines[0].end.x), 0.0, 1e-9);
    EXPECT_NEAR(std::max(lines[0].start.x, lines[0].end.x), 10.0, 1e-9);
}

TEST_F(SectionCut, stepped_faces_split_at_the_side_plane_keep_their_area_behind_each_plane) {
    CSezione s;
    s.depthFlag = 1;
    s.depth = 200.0;
    // A vertical wall face across the side plane from depth 100 to 300,
    // seen edge on from above: x from -100 to 100, y from 0 to 50.
    auto* face = new ZcDbFace({-100, 0, 100}, {100, 0, 300}, {100, 50, 300}, {-100, 50, 100});
    face->setDatabaseDefaults(db());
    EnsureLayerRecord("3DWALLS");
    face->setLayer("3DWALLS");
    ZcDbObjectId id;
    ASSERT_EQ(AppendToModelSpace(id, face), Zcad::eOk);
    s.CutDepthFace(face);
    face->close();
    // Left half (x <= 0, z from 100 to 200) is in front of the far plane
    // wholly; the right half (z from 200 to 300) lies behind z = 0.
    double area = 0.0;
    for (const SectionFace* f = s.faces; f; f = f->next) {
        std::vector<Point3> p(f->corners, f->corners + f->cornerCount());
        area += PolygonArea(p);
        for (const Point3& c : p) EXPECT_GE(c.x, -1e-9);
    }
    EXPECT_NEAR(area, 100.0 * std::sqrt(2.0) * 50.0, 1e-6);
    ASSERT_NE(s.layerNames, nullptr);
    EXPECT_EQ(s.layerNames->name, "3DWALLS");
}

TEST_F(SectionCut, hatch_lines_come_only_when_asked_and_never_from_plan_layers) {
    EnsureLayerRecord("3DHATCH");
    EnsureLayerRecord("2DHATCH");
    auto make = [](const char* layer, const char* pattern) {
        auto* h = new ZcDbHatch;
        h->setDatabaseDefaults(db());
        h->setLayer(layer);
        h->setPattern(ZcDbHatch::kPreDefined, pattern);
        h->setElevation(10.0);
        h->appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline,
                      std::vector<ZcGePoint2d>{{0, 0}, {100, 0}, {100, 100}, {0, 100}});
        ZcDbObjectId id;
        EXPECT_EQ(AppendToModelSpace(id, h), Zcad::eOk);
        return h;
    };
    ZcDbHatch* lines = make("3DHATCH", "ANSI31");
    ZcDbHatch* solid = make("3DHATCH", "SOLID");
    ZcDbHatch* plan = make("2DHATCH", "ANSI31");
    CSezione s;
    s.extraHatch = 0;
    s.CutHatchLines(lines);
    EXPECT_EQ(s.viewLines, nullptr);
    s.extraHatch = 1;
    s.CutHatchLines(solid);
    s.CutHatchLines(plan);
    EXPECT_EQ(s.viewLines, nullptr);
    s.CutHatchLines(lines);
    ASSERT_NE(s.viewLines, nullptr);
    for (const ViewSegment* v = s.viewLines; v; v = v->next) {
        EXPECT_NEAR(v->start.z, 10.0, 1e-9);  // the hatch's elevation
        EXPECT_GE(v->start.x, -1e-9);
        EXPECT_LE(v->end.y, 100 + 1e-9);
    }
    for (ZcDbHatch* h : {lines, solid, plan}) h->close();
}
