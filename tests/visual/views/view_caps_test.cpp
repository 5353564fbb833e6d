// Views of small solids of 3DFACEs, judged by a ray cast of the faces
// (view_oracle.h): the cut of a solid is a cap whatever layers its faces
// lie on, nothing behind it is drawn inside it and it takes the section
// hatch; shadows stop at the cut; and a view rebuilt with hidden faces
// draws the lines the plain view draws.
//
// The section line runs along y = 0 looking north, so the view's x is the
// world's x + 500, its y the world's z and its depth the world's y.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbinsert.h"
#include "host/ui/driver.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/views/view_oracle.h"
#include "visual/views/view_commands.h"

namespace {

using oracle::Line2;
using oracle::Ring;

const Point3 kAt{0.0, -2000.0, 0.0};

class ViewCaps : public Model3DTest {
protected:
    // A box of w x d x h standing on z0, turned by `turn` about its centre
    // cx, cy: its sides on one layer, its top and bottom on another.
    static void Box(double cx, double cy, double w, double d, double z0, double h, double turn,
                    const char* sides, const char* ends) {
        const double c = std::cos(turn), s = std::sin(turn);
        Point3 low[4], high[4];
        const double local[4][2] = {{-w / 2, -d / 2}, {w / 2, -d / 2}, {w / 2, d / 2}, {-w / 2, d / 2}};
        for (int k = 0; k < 4; ++k) {
            const double x = cx + c * local[k][0] - s * local[k][1];
            const double y = cy + s * local[k][0] + c * local[k][1];
            low[k] = {x, y, z0};
            high[k] = {x, y, z0 + h};
        }
        for (int k = 0; k < 4; ++k) MakeFace(sides, low[k], low[(k + 1) % 4], high[(k + 1) % 4], high[k]);
        MakeFace(ends, low[0], low[1], low[2], low[3]);
        MakeFace(ends, high[0], high[1], high[2], high[3]);
    }

    // A stair of `steps` steps, each `run` deep and `rise` high, `width`
    // wide: one solid of treads, risers, two stepped sides, a back and a
    // bottom. It rises along the direction `turn` from +x, its first riser's
    // middle at cx, cy.
    static void Stair(double cx, double cy, double turn, double width, int steps, double run, double rise,
                      const char* layer) {
        const double c = std::cos(turn), s = std::sin(turn);
        // u along the run, v across it.
        const auto at = [&](double u, double v, double z) {
            return Point3{cx + c * u - s * v, cy + s * u + c * v, z};
        };
        const double v0 = -width / 2, v1 = width / 2;
        const double top = steps * rise, end = steps * run;
        for (int k = 0; k < steps; ++k) {
            const double u = k * run, z = k * rise;
            MakeFace(layer, at(u, v0, z), at(u, v1, z), at(u, v1, z + rise), at(u, v0, z + rise));
            MakeFace(layer, at(u, v0, z + rise), at(u, v1, z + rise), at(u + run, v1, z + rise),
                     at(u + run, v0, z + rise));
            for (double v : {v0, v1})
                MakeFace(layer, at(u, v, 0.0), at(u + run, v, 0.0), at(u + run, v, z + rise),
                         at(u, v, z + rise));
        }
        MakeFace(layer, at(end, v0, 0.0), at(end, v1, 0.0), at(end, v1, top), at(end, v0, top));
        MakeFace(layer, at(0.0, v0, 0.0), at(0.0, v1, 0.0), at(end, v1, 0.0), at(end, v0, 0.0));
    }

    static Matrix4 Frame() {
        Matrix4 m;
        SetIdentity4(m);
        const double rows[3][4] = {{1, 0, 0, 500}, {0, 0, 1, 0}, {0, 1, 0, 0}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) m.m[r][c] = rows[r][c];
        return m;
    }

    static int GenView() { return run({"VELMGENVIEW", "-500,0", "500,0", "0,-600", "0,-2000"}); }

    static void LightFrom(double x, double y, double z) {
        int slot = SetupVar::SETOMBRE_DIRLUCE;
        SetVarPoint(&slot, &x, &y, &z);
    }

    // The newest view reference and its block's name.
    static ZcDbObjectId LastView(std::string& block) {
        ZcDbObjectId found;
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (!ref) continue;
            found = id;
            ZcDbObjectPointer<ZcDbBlockTableRecord> rec(ref->blockTableRecord(), ZcDb::kForRead);
            block.clear();
            if (rec) rec->getName(block);
        }
        return found;
    }

    // Rebuilds the view with its record's hidden-line flag set to `hidden`.
    static void Regenerate(const ZcDbObjectId& view, int hidden) {
        ads_name e;
        zcdbGetAdsName(e, view);
        host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
        host::ResbufList list(zcdbEntGetX(e, apps.get()));
        resbuf* app = FindXDataApp(list.get(), kViewRecordApp);
        ASSERT_TRUE(app);
        // Kind, four frame points, then the flag.
        resbuf* flag = app->rbnext;
        for (int k = 0; k < 5; ++k) flag = flag->rbnext;
        ASSERT_EQ(flag->restype, 1070);
        flag->resval.rint = static_cast<short>(hidden);
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
        EXPECT_EQ(RegenerateView(e), 1);
    }

    // The newest view rebuilt without and then with the hidden-face pass:
    // each set of lines covers the other.
    void ExpectHiddenFacesKeepTheLines() {
        std::string block;
        const ZcDbObjectId view = LastView(block);
        ASSERT_TRUE(view.isValid());
        Regenerate(view, 0);
        const ZcDbObjectId plain = LastView(block);
        const std::vector<Line2> without = oracle::BlockLines(db(), block, "VELMSECTION");
        Regenerate(plain, 1);
        ASSERT_TRUE(LastView(block).isValid());
        const std::vector<Line2> with = oracle::BlockLines(db(), block, "VELMSECTION");
        ASSERT_FALSE(without.empty());
        EXPECT_LT(oracle::Uncovered(without, with, 0.5, 0.01), 1.0);
        EXPECT_LT(oracle::Uncovered(with, without, 0.5, 0.01), 1.0);
    }

    // A 3DFACE whose edges are hidden by the bits of `flags`.
    static void FlaggedFace(const std::string& layer, Point3 a, Point3 b, Point3 c, Point3 d, int flags) {
        const ads_point p0{a.x, a.y, a.z}, p1{b.x, b.y, b.z}, p2{c.x, c.y, c.z}, p3{d.x, d.y, d.z};
        host::ResbufList list(
            zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 10, p0, 11, p1, 12, p2, 13, p3, 70, flags, 0));
        ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
    }

    // One random scene of a storey or two: wall-like boxes, slabs with
    // sides, tops and bottoms on the level layers, and stairs whose stepped
    // sides are columns (edges meeting halfway) or a fan of triangles with
    // hidden inner edges.
    static void RandomScene(std::mt19937& rng) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const auto pick = [&](double lo, double hi) { return lo + (hi - lo) * unit(rng); };
        const auto turn = [&] {
            const double r = unit(rng);
            return r < 0.4 ? 0.0 : r < 0.6 ? std::numbers::pi / 2 : pick(0.0, std::numbers::pi);
        };
        const int storeys = 1 + static_cast<int>(unit(rng) < 0.6);
        const double height = 280.0;
        for (int s = 0; s < storeys; ++s) {
            const std::string level = "$" + std::to_string(s);
            const double z0 = s * height;
            const char* wallLayers[] = {"3DWALL", "3DBOX_SIDES", "VELM3DSLAB_S"};
            const int walls = 2 + static_cast<int>(unit(rng) * 3);
            for (int k = 0; k < walls; ++k) {
                const std::string sides = std::string(wallLayers[static_cast<int>(unit(rng) * 3)]) + level;
                const std::string ends = unit(rng) < 0.5 ? sides : "3DWALL_END" + level;
                Solid(pick(-300, 300), pick(-300, 300), pick(200, 600), pick(20, 40), z0, height - 20.0,
                      turn(), sides, ends, ends);
            }
            // The floor slab above the storey.
            Solid(pick(-100, 100), pick(-100, 100), pick(500, 800), pick(500, 800), z0 + height - 20.0, 20.0,
                  unit(rng) < 0.7 ? 0.0 : turn(), "VELM3DSLAB_S" + level, "VELM3DSLAB_T" + level,
                  "VELM3DSLAB_B" + level);
            const int stairs = 1 + static_cast<int>(unit(rng) < 0.4);
            for (int k = 0; k < stairs; ++k) {
                const int steps = 4 + static_cast<int>(unit(rng) * 10);
                const double rise = (height - 20.0) / steps;
                LayeredStair(pick(-300, 300), pick(-300, 300), z0, turn(), pick(60, 160), steps, pick(20, 35),
                             rise, level, unit(rng) < 0.5, static_cast<int>(unit(rng) * 3));
            }
            if (unit(rng) < 0.5)
                Solid(pick(-300, 300), pick(-300, 300), pick(40, 200), pick(40, 200), z0 + pick(0, 100),
                      pick(30, 150), turn(), "3DBOX" + level, "3DBOX" + level, "3DBOX" + level);
        }
    }

    // A box as Box() makes it, its bottom on a layer of its own.
    static void Solid(double cx, double cy, double w, double d, double z0, double h, double turn,
                      const std::string& sides, const std::string& top, const std::string& bottom) {
        const double c = std::cos(turn), s = std::sin(turn);
        Point3 low[4], high[4];
        const double local[4][2] = {{-w / 2, -d / 2}, {w / 2, -d / 2}, {w / 2, d / 2}, {-w / 2, d / 2}};
        for (int k = 0; k < 4; ++k) {
            const double x = cx + c * local[k][0] - s * local[k][1];
            const double y = cy + s * local[k][0] + c * local[k][1];
            low[k] = {x, y, z0};
            high[k] = {x, y, z0 + h};
        }
        for (int k = 0; k < 4; ++k)
            FlaggedFace(sides, low[k], low[(k + 1) % 4], high[(k + 1) % 4], high[k], 0);
        FlaggedFace(bottom, low[0], low[1], low[2], low[3], 0);
        FlaggedFace(top, high[0], high[1], high[2], high[3], 0);
    }

    // A stair as Stair() makes it standing on z0, its treads, risers,
    // sides and bottom on the level layers; `hiddenInner` hides the edges
    // the side's pieces share; `sides` 0 makes them columns as Stair()
    // does, 1 a fan of triangles from the foot of the back, 2 both sides
    // as one column each per step and a fan on the far side.
    static void LayeredStair(double cx, double cy, double z0, double turn, double width, int steps,
                             double run, double rise, const std::string& level, bool hiddenInner, int sides) {
        const double c = std::cos(turn), s = std::sin(turn);
        const auto at = [&](double u, double v, double z) {
            return Point3{cx + c * u - s * v, cy + s * u + c * v, z0 + z};
        };
        const std::string tread = "VELM3DSTAIR_T" + level, riser = "VELM3DSTAIR_S" + level,
                          side = "VELM3DSTAIR_S" + level, bottom = "VELM3DSTAIR_B" + level;
        const double v0 = -width / 2, v1 = width / 2;
        const double top = steps * rise, end = steps * run;
        for (int k = 0; k < steps; ++k) {
            const double u = k * run, z = k * rise;
            FlaggedFace(riser, at(u, v0, z), at(u, v1, z), at(u, v1, z + rise), at(u, v0, z + rise), 0);
            FlaggedFace(tread, at(u, v0, z + rise), at(u, v1, z + rise), at(u + run, v1, z + rise),
                        at(u + run, v0, z + rise), 0);
        }
        for (double v : {v0, v1}) {
            if (sides == 0 || (sides == 2 && v == v0)) {
                for (int k = 0; k < steps; ++k) {
                    const double u = k * run, z = k * rise;
                    // Edges 2 and 4 (bits 2 and 8) are the column's sides.
                    int flags = 0;
                    if (hiddenInner && k > 0) flags |= 8;
                    if (hiddenInner && k + 1 < steps) flags |= 2;
                    FlaggedFace(side, at(u, v, 0.0), at(u + run, v, 0.0), at(u + run, v, z + rise),
                                at(u, v, z + rise), flags);
                }
            } else {
                // The stepped outline from the top of the back down to the
                // foot of the first riser.
                std::vector<Point3> outline{at(end, v, top)};
                for (int k = steps - 1; k >= 0; --k) {
                    outline.push_back(at(k * run, v, (k + 1) * rise));
                    outline.push_back(at(k * run, v, k * rise));
                }
                const Point3 foot = at(end, v, 0.0);
                for (std::size_t k = 0; k + 1 < outline.size(); ++k) {
                    // Edge 1 runs foot to a, edge 4 b back to the foot.
                    int flags = 0;
                    if (hiddenInner && k > 0) flags |= 1;
                    if (hiddenInner && k + 2 < outline.size()) flags |= 8;
                    FlaggedFace(side, foot, outline[k], outline[k + 1], outline[k + 1], flags);
                }
            }
        }
        FlaggedFace(riser, at(end, v0, 0.0), at(end, v1, 0.0), at(end, v1, top), at(end, v0, top), 0);
        FlaggedFace(bottom, at(0.0, v0, 0.0), at(0.0, v1, 0.0), at(end, v1, 0.0), at(end, v0, 0.0), 0);
    }

    static void EraseAll() {
        std::vector<ZcDbObjectId> ids;
        for (ZcDbObjectId id : modelSpace()) ids.push_back(id);
        for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }

    // The lines of the newest view rebuilt with the flag `hidden`.
    static std::vector<Line2> RebuiltLines(int hidden) {
        std::string block;
        Regenerate(LastView(block), hidden);
        LastView(block);
        return oracle::BlockLines(db(), block, "VELMSECTION");
    }

    static std::vector<Line2> ToView(const std::vector<Line2>& lines, const oracle::ViewOracle& o) {
        std::vector<Line2> out;
        for (const Line2& l : lines) out.push_back({o.FromSheet(l.a, kAt), o.FromSheet(l.b, kAt)});
        return out;
    }

    static std::vector<Ring> ToView(const std::vector<Ring>& rings, const oracle::ViewOracle& o) {
        std::vector<Ring> out;
        for (const Ring& r : rings) {
            Ring v;
            for (const Point3& p : r) v.push_back(o.FromSheet(p, kAt));
            out.push_back(v);
        }
        return out;
    }

    // The ordinary lines' length drawn inside a cut, and the cut's area
    // the section hatch leaves bare, on samples.
    static void Judge(const std::string& block, double& linesInCut, double& bareCut, double& cutArea) {
        const oracle::ViewOracle o(Faces(), Frame());
        const std::vector<Line2> lines = ToView(oracle::BlockLines(db(), block, "VELMSECTION"), o);
        linesInCut = 0.0;
        for (const Point3& p : oracle::Samples(lines, 1.0))
            if (o.InCap(p.x, p.y)) linesInCut += 1.0;
        const std::vector<Ring> hatches = ToView(oracle::BlockHatchRings(db(), block, "VELMSECTION_H"), o);
        bareCut = cutArea = 0.0;
        for (double x = o.xmin; x < o.xmin + 1200.0; x += 2.0)
            for (double y = o.ymin; y < o.ymin + 400.0; y += 2.0) {
                if (!o.InCap(x, y)) continue;
                cutArea += 4.0;
                if (!oracle::InAnyRing({x, y, 0.0}, hatches)) bareCut += 4.0;
            }
    }
};

TEST_F(ViewCaps, the_cut_of_a_solid_is_a_hatched_cap_whatever_layers_its_faces_lie_on) {
    // A box turned so that its back edges stand behind the cut, its faces
    // on two layers; a slab of the level layers beside it; and for
    // comparison a wall-like box of one layer.
    Box(-250.0, 0.0, 200.0, 100.0, 0.0, 150.0, 0.5, "3DBOX_SIDES", "3DBOX_ENDS");
    Box(50.0, 0.0, 240.0, 160.0, 0.0, 30.0, 0.3, "VELM3DSLAB_S$0", "VELM3DSLAB_T$0");
    Box(300.0, 0.0, 120.0, 60.0, 0.0, 150.0, 0.4, "3DONE", "3DONE");
    ASSERT_EQ(GenView(), RTNORM) << transcript();
    std::string block;
    ASSERT_TRUE(LastView(block).isValid());
    double linesInCut = 0.0, bare = 0.0, area = 0.0;
    Judge(block, linesInCut, bare, area);
    EXPECT_GT(area, 20000.0);
    EXPECT_EQ(linesInCut, 0.0);
    EXPECT_EQ(bare, 0.0) << "of " << area;
}

TEST_F(ViewCaps, a_stepped_solid_cut_through_its_steps_shows_nothing_behind_its_cut) {
    // Rising eastwards and a little north, cut across its width.
    Stair(-300.0, -20.0, 0.35, 200.0, 6, 60.0, 40.0, "VELM3DSTAIR_S$0");
    ASSERT_EQ(GenView(), RTNORM) << transcript();
    std::string block;
    ASSERT_TRUE(LastView(block).isValid());
    double linesInCut = 0.0, bare = 0.0, area = 0.0;
    Judge(block, linesInCut, bare, area);
    EXPECT_GT(area, 1000.0);
    EXPECT_EQ(linesInCut, 0.0);
    EXPECT_EQ(bare, 0.0) << "of " << area;
}

TEST_F(ViewCaps, no_shadow_falls_inside_the_cut_of_a_solid) {
    // A wall-like box cut across, a second box behind it to take its
    // shadow, the light low from the south-east.
    Box(-100.0, 0.0, 300.0, 60.0, 0.0, 200.0, 0.4, "3DBOX", "3DBOX");
    Box(-200.0, 300.0, 900.0, 40.0, 0.0, 250.0, 0.0, "3DBACK", "3DBACK");
    LightFrom(1.0, -1.0, 0.3);
    ASSERT_EQ(GenView(), RTNORM) << transcript();
    std::string block;
    const ZcDbObjectId view = LastView(block);
    ASSERT_TRUE(view.isValid());
    Regenerate(view, 1);
    ASSERT_TRUE(LastView(block).isValid());
    const oracle::ViewOracle o(Faces(), Frame());
    const std::vector<Ring> shadows = ToView(oracle::BlockHatchRings(db(), block, "2DSHADE_H"), o);
    ASSERT_FALSE(shadows.empty());
    double cut = 0.0, shaded = 0.0;
    for (double x = o.xmin; x < o.xmin + 1000.0; x += 2.0)
        for (double y = o.ymin; y < o.ymin + 300.0; y += 2.0) {
            if (!o.InCap(x, y)) continue;
            cut += 4.0;
            if (oracle::InAnyRing({x, y, 0.0}, shadows)) shaded += 4.0;
        }
    EXPECT_GT(cut, 5000.0);
    EXPECT_EQ(shaded, 0.0) << "of " << cut;
}

// The hidden-face pass takes out only faces nothing of which is seen: the
// lines of a view rebuilt with it are those of the view rebuilt without.
TEST_F(ViewCaps, hidden_faces_change_no_visible_line_of_a_stair_seen_from_the_north_west) {
    Stair(0.0, 0.0, 0.0, 120.0, 8, 30.0, 20.0, "VELM3DSTAIR$0");
    Box(300.0, 60.0, 200.0, 100.0, 0.0, 100.0, 0.0, "3DBOX", "3DBOX");
    ASSERT_EQ(run({"VELMGENVIEW", "-600,-400", "400,600", "-700,700", "0,-2000"}), RTNORM) << transcript();
    ExpectHiddenFacesKeepTheLines();
}

TEST_F(ViewCaps, hidden_faces_change_no_visible_line_of_a_generated_stair) {
    for (const char* answer : {"1016 page 0 edit 1001 \"300\" ok", "226 edit 1180 \"300\" ok"}) {
        std::string error;
        ASSERT_TRUE(zcui::RunDialogScript(answer, &error)) << error;
    }
    ASSERT_EQ(run({"VELMFLOOROPTIONS", "VELMSTAIRDEF", "0,0", "0,480", "Utwórz"}), RTNORM) << transcript();
    ASSERT_EQ(run({"VELMGENVIEW", "-900,-200", "300,1000", "-900,1000", "0,-2000"}), RTNORM) << transcript();
    ExpectHiddenFacesKeepTheLines();
}

// A stair's side seen past the edge of a wall in front of it: the sliver
// left of it is seen, though its corners are all within a few units of
// the wall's long edge.
TEST_F(ViewCaps, hidden_faces_keep_a_face_seen_just_past_the_edge_of_a_wall) {
    FlaggedFace("3DWALL$0", {281.1715, 274.1389, 0.0}, {281.1715, -95.0148, 0.0}, {281.1715, -95.0148, 260.0},
                {281.1715, 274.1389, 260.0}, 0);
    FlaggedFace("VELM3DSTAIR_S$0", {728.7301, -196.7152, 0.0}, {597.48, -213.3412, 200.0},
                {597.48, -213.3412, 180.0}, {597.48, -213.3412, 180.0}, 0);
    FlaggedFace("3DBOX$1", {-269.7805, 151.8572, 450.6004}, {-222.0043, 151.8572, 450.6004},
                {-222.0043, 314.4569, 450.6004}, {-269.7805, 314.4569, 450.6004}, 0);
    ASSERT_EQ(run({"VPOINT", "-0.938885,0.34423,0"}), RTNORM);
    ASSERT_EQ(run({"VELMGENVIEW", "Widok", "0,-5000"}), RTNORM) << transcript();
    ExpectHiddenFacesKeepTheLines();
}

// The top of a stair's flight seen from the north-west, its sides fans of
// triangles: the faces touch, and hiding none of them leaves the lines as
// they are.
TEST_F(ViewCaps, hidden_faces_change_no_line_of_a_flight_top_seen_from_the_north_west) {
    const char* side = "VELM3DSTAIR_S$1";
    FlaggedFace(side, {249.6352, 2.6071, 332.0}, {249.6352, 92.5677, 332.0}, {249.6352, 92.5677, 384.0},
                {249.6352, 2.6071, 384.0}, 0);
    FlaggedFace(side, {331.8726, 2.6071, 280.0}, {270.1945, 2.6071, 384.0}, {249.6352, 2.6071, 384.0},
                {249.6352, 2.6071, 384.0}, 0);
    FlaggedFace(side, {331.8726, 2.6071, 280.0}, {249.6352, 2.6071, 384.0}, {249.6352, 2.6071, 332.0},
                {249.6352, 2.6071, 332.0}, 0);
    FlaggedFace(side, {331.8726, 92.5677, 280.0}, {249.6352, 92.5677, 384.0}, {249.6352, 92.5677, 332.0},
                {249.6352, 92.5677, 332.0}, 0);
    ASSERT_EQ(run({"VPOINT", "-0.664441,0.747341,0.420064"}), RTNORM);
    ASSERT_EQ(run({"VELMGENVIEW", "Widok", "0,-5000"}), RTNORM) << transcript();
    ExpectHiddenFacesKeepTheLines();
}

// Random storeys of walls, slabs and stairs seen in sections, elevations
// and views along the display direction from all round: each view rebuilt
// with the hidden-face pass draws the lines of the view rebuilt without.
TEST_F(ViewCaps, hidden_faces_change_no_visible_line_of_random_storeys_from_any_side) {
    std::mt19937 rng(85);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int views = 0;
    for (int scene = 0; scene < 12; ++scene) {
        RandomScene(rng);
        for (int view = 0; view < 4; ++view) {
            const double a = 2.0 * std::numbers::pi * unit(rng);
            const double dx = std::cos(a), dy = std::sin(a);
            std::string what;
            if (view < 2) {
                // A section across the model or an elevation beside it,
                // looking along (dx, dy).
                const double off = view == 0 ? 500.0 * (unit(rng) - 0.5) : -900.0;
                const double ox = dx * off, oy = dy * off;
                const auto point = [](double x, double y) {
                    return std::to_string(x) + "," + std::to_string(y);
                };
                const std::string p1 = point(ox + dy * 900.0, oy - dx * 900.0);
                const std::string p2 = point(ox - dy * 900.0, oy + dx * 900.0);
                const std::string deep = point(ox + dx * 1200.0, oy + dy * 1200.0);
                what = "section " + p1 + " " + p2 + " towards " + deep;
                ASSERT_EQ(run({"VELMGENVIEW", p1, p2, deep, "0,-5000"}), RTNORM) << what << transcript();
            } else {
                const double z = view == 2 ? 0.0 : 0.3 + unit(rng);
                const std::string from =
                    std::to_string(dx) + "," + std::to_string(dy) + "," + std::to_string(z);
                what = "view from " + from;
                ASSERT_EQ(run({"VPOINT", from}), RTNORM) << what << transcript();
                ASSERT_EQ(run({"VELMGENVIEW", "Widok", "0,-5000"}), RTNORM) << what << transcript();
            }
            const std::vector<Line2> without = RebuiltLines(0);
            const std::vector<Line2> with = RebuiltLines(1);
            if (without.empty()) continue;
            ++views;
            // Within half the clipping snap: a face reaching a hundredth past
            // the outline that hides it goes, and the sheet's fit moves by as
            // much.
            EXPECT_LT(oracle::Uncovered(without, with, 0.5, 0.05), 1.0) << "scene " << scene << ", " << what;
            EXPECT_LT(oracle::Uncovered(with, without, 0.5, 0.05), 1.0) << "scene " << scene << ", " << what;
        }
        EraseAll();
    }
    EXPECT_GT(views, 30);
}

}  // namespace
