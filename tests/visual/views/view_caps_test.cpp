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

}  // namespace
