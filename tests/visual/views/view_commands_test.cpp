// The view commands on a cube of 3DFACEs inside a block, its reference
// carrying a level mark over the cube's top: what a view shows of earlier
// views, how many level marks it keeps, which records can be rebuilt and
// what a rebuilt view looks like, loose output, and the drawing left as it
// was by every way that makes no view.
//
// The section line runs along y = -100 looking north, so the cube is seen
// square on. A view starts at its lower-left point: the cube's front face
// is the square of side 100 from there, and the mark over its top lands 50
// right of it and 100 up.
#include "visual/views/view_commands.h"

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
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/docman.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/model3d_fixture.h"

namespace {

struct View {
    ZcDbObjectId id;
    std::string block, layer;
    Point3 at;
    double scale = 0.0, rotation = 0.0;
    std::vector<double> record;  // code, then the value(s), group by group
    std::vector<Point3> marks;
};

class ViewCommands : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        const ads_point o{0, 0, 0};
        Make(zcutBuildList(RTDXF0, "BLOCK", 2, "CUBE", 70, 0, 10, o, 0));
        for (int axis = 0; axis < 3; ++axis)
            for (double at : {0.0, 100.0}) {
                // The square of side 100 across the axis at `at`.
                ads_point c[4];
                for (int k = 0; k < 4; ++k) {
                    c[k][axis] = at;
                    c[k][(axis + 1) % 3] = (k == 1 || k == 2) ? 100.0 : 0.0;
                    c[k][(axis + 2) % 3] = k >= 2 ? 100.0 : 0.0;
                }
                Make(zcutBuildList(RTDXF0, "3DFACE", 8, "3DCUBE", 10, c[0], 11, c[1], 12, c[2], 13, c[3], 0));
            }
        Make(zcutBuildList(RTDXF0, "ENDBLK", 0));
        cube = PlaceCube({{50.0, 50.0, 100.0}});
    }

    static void Make(resbuf* list) {
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }

    // A reference of the cube with a level mark record of these points.
    static ZcDbObjectId PlaceCube(const std::vector<Point3>& marks) {
        RegisterXDataApp(kLevelMarkApp);
        const ads_point at{0, 0, 0};
        host::ResbufList list(zcutBuildList(RTDXF0, "INSERT", 2, "CUBE", 10, at, -3, 1001, kLevelMarkApp, 0));
        resbuf* tail = list.get();
        while (tail->rbnext) tail = tail->rbnext;
        for (const Point3& p : marks) {
            const ads_point q{p.x, p.y, p.z};
            tail = tail->rbnext = zcutBuildList(1011, q, 0);
        }
        ads_name made;
        EXPECT_EQ(zcdbEntMakeX(list.get(), made), RTNORM);
        ZcDbObjectId id;
        zcdbGetObjectId(id, made);
        return id;
    }

    static int GenView(const std::string& lowerLeft) {
        return run({"VELMGENVIEW", "-100,-100", "1100,-100", "500,-600", lowerLeft});
    }

    static host::ResbufList ListOf(const ZcDbObjectId& id) {
        ads_name e;
        zcdbGetAdsName(e, id);
        host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
        return host::ResbufList(zcdbEntGetX(e, apps.get()));
    }

    // The references of model space but the cube's, oldest first.
    std::vector<View> Views() const {
        std::vector<View> out;
        for (ZcDbObjectId id : modelSpace()) {
            host::ResbufList list = ListOf(id);
            if (id == cube || std::string(FindRbCode(list.get(), 0)->resval.rstring) != "INSERT") continue;
            View v;
            v.id = id;
            std::string app;
            for (const resbuf* rb = list.get(); rb; rb = rb->rbnext) {
                const int code = rb->restype;
                const double* p = rb->resval.rpoint;
                if (code == 2) v.block = rb->resval.rstring;
                if (code == 8) v.layer = rb->resval.rstring;
                if (code == 10) v.at = {p[0], p[1], p[2]};
                if (code == 41) v.scale = rb->resval.rreal;
                if (code == 50) v.rotation = rb->resval.rreal;
                if (code == 1001) app = rb->resval.rstring;
                if (code == 1011 && app == kLevelMarkApp) v.marks.push_back({p[0], p[1], p[2]});
                if (code <= 1001 || app != kViewRecordApp) continue;
                v.record.push_back(code);
                if (code == 1070) v.record.push_back(rb->resval.rint);
                if (code == 1040) v.record.push_back(rb->resval.rreal);
                if (code == 1010) v.record.insert(v.record.end(), p, p + 3);
            }
            out.push_back(v);
        }
        return out;
    }

    // Puts `record` (as View::record holds it) in place of the view record.
    static void SetRecord(const ZcDbObjectId& id, const std::vector<double>& record) {
        host::ResbufList list = ListOf(id);
        resbuf* tail = FindXDataApp(list.get(), kViewRecordApp);
        ASSERT_TRUE(tail);
        zcutRelRb(tail->rbnext);
        tail->rbnext = nullptr;
        for (std::size_t i = 0; i < record.size(); i += record[i] == 1010 ? 4 : 2) {
            const int code = static_cast<int>(record[i]);
            tail = tail->rbnext = code == 1070   ? zcutBuildList(1070, static_cast<int>(record[i + 1]), 0)
                                  : code == 1040 ? zcutBuildList(1040, record[i + 1], 0)
                                                 : zcutBuildList(1010, &record[i + 1], 0);
        }
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
    }

    // The cube's front face: four lines, the square of side 100 at x, y.
    static void ExpectSquare(const std::string& block, double x, double y) {
        ZcDbObjectPointer<ZcDbBlockTableRecord> rec(db()->recordId(db()->blockTableId(), block),
                                                    ZcDb::kForRead);
        ASSERT_TRUE(rec);
        double length = 0.0;
        int lines = 0;
        for (ZcDbObjectId id : rec->entityIds()) {
            ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
            if (!line || line->layer() == "VELMSECTION_BRK") continue;
            ++lines;
            length += line->startPoint().distanceTo(line->endPoint());
            for (const ZcGePoint3d& p : {line->startPoint(), line->endPoint()})
                EXPECT_TRUE((Near(p.x, x) || Near(p.x, x + 100)) && (Near(p.y, y) || Near(p.y, y + 100)))
                    << p.x << "," << p.y;
        }
        EXPECT_EQ(lines, 4);
        EXPECT_NEAR(length, 400.0, 1e-6);
    }

    static bool Near(double a, double b) { return std::fabs(a - b) < 1e-6; }
    static bool Near(const Point3& p, double x, double y) { return Near(p.x, x) && Near(p.y, y); }

    static int BlockCount() {
        int n = 0;
        for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0), ++n) zcutRelRb(rb);
        return n;
    }

    ZcDbObjectId cube;
};

TEST_F(ViewCommands, whole_model_views_are_never_drawn_into_a_new_view_selected_ones_are) {
    // Each view lies behind the section plane, where the marks of a view
    // taken in would be kept.
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    ASSERT_EQ(GenView("0,3000"), RTNORM) << transcript();
    ASSERT_EQ(run({"VELMSELVIEW", "-100,-100", "1100,-100", "500,-600", "0,5000", "", "W", "-10,-10",
                   "110,110", ""}),
              RTNORM);
    ASSERT_EQ(GenView("0,7000"), RTNORM) << transcript();
    const std::vector<View> views = Views();
    ASSERT_EQ(views.size(), 4u);
    for (int k = 0; k < 4; ++k) ExpectSquare(views[k].block, 0.0, 1000.0 + 2000.0 * k);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(views[k].marks.size(), 1u);
        EXPECT_TRUE(Near(views[k].marks[0], 50.0, 1100.0 + 2000.0 * k));
    }
    EXPECT_EQ(views[0].record.size(), 20u);  // kind, four points, hidden lines
    EXPECT_TRUE(views[2].record.empty());
    // The cube's mark and then the selected view's (on the ground, at the
    // foot of the cube), last found first.
    ASSERT_EQ(views[3].marks.size(), 2u);
    EXPECT_TRUE(Near(views[3].marks[0], 50.0, 7000.0));
    EXPECT_TRUE(Near(views[3].marks[1], 50.0, 7100.0));

    ASSERT_EQ(run({"VELMREGENVIEW", "W", "-10,4990", "110,5110", ""}), RTNORM);
    EXPECT_NE(transcript().find("\nNie można zregenerować widoku wybranego obiektu"), std::string::npos);
    EXPECT_EQ(Views()[2].id, views[2].id);
}

TEST_F(ViewCommands, a_view_keeps_the_first_500_level_marks_found) {
    // The second cube's mark 50 equals the first cube's: the first 500
    // found end with mark 499.
    std::vector<Point3> many;
    for (int k = 0; k < 600; ++k) many.push_back({k * 1.0, 50.0, 100.0});
    cube = PlaceCube(many);
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const std::vector<Point3> marks = Views().at(1).marks;
    ASSERT_EQ(marks.size(), 500u);
    EXPECT_TRUE(Near(marks.front(), 499.0, 1100.0));
    EXPECT_TRUE(Near(marks.back(), 50.0, 1100.0));
}

// Axonometric and stepped records, with hidden lines, say the same once
// rebuilt, and the view keeps its place, on layer "0" at scale 1 whatever
// its reference had; a stepped record without its depth is not rebuilt.
TEST_F(ViewCommands, every_kind_of_record_survives_its_rebuild_unless_too_short) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const View first = Views().at(0);
    {
        ZcDbObjectPointer<ZcDbBlockReference> ref(first.id, ZcDb::kForWrite);
        ref->setScaleFactors(ZcGeVector3d(2.0, 2.0, 2.0));
        ref->setRotation(0.5);
        ref->setLayer("3DCUBE");
    }
    std::vector<double> stepped = first.record;
    stepped[1] = 2;
    SetRecord(first.id, stepped);
    const int blocks = BlockCount();
    ASSERT_EQ(run({"VELMREGENVIEW", "L", ""}), RTNORM);
    EXPECT_NE(transcript().find("\nNie można zregenerować widoku wybranego obiektu"), std::string::npos);
    EXPECT_EQ(BlockCount(), blocks);

    for (int kind = 1; kind <= 3; ++kind) {
        std::vector<double> record = first.record;
        record[1] = kind;
        record.back() = 1;  // hidden lines
        if (kind & 1) record.insert(record.end(), first.record.begin() + 2, first.record.end() - 2);
        if (kind & 2) record.insert(record.end(), {1040, 0.0, 1010, -100.0, -100.0, 0.0});
        SetRecord(Views().at(0).id, record);
        ASSERT_EQ(run({"VELMREGENVIEW", "L", ""}), RTNORM) << transcript();
        const std::vector<View> views = Views();
        ASSERT_EQ(views.size(), 1u);
        EXPECT_NE(views[0].block, first.block);
        EXPECT_EQ(views[0].layer, "0");
        EXPECT_TRUE(Near(views[0].at, 0.0, 1000.0));
        EXPECT_DOUBLE_EQ(views[0].scale, 1.0);
        EXPECT_DOUBLE_EQ(views[0].rotation, 0.0);
        EXPECT_EQ(views[0].marks.size(), 1u);
        ASSERT_EQ(views[0].record.size(), record.size()) << "kind " << kind;
        for (std::size_t i = 0; i < record.size(); ++i) EXPECT_NEAR(views[0].record[i], record[i], 1e-9);
        ExpectSquare(views[0].block, 0.0, 1000.0);
    }
}

// A record whose view frame starts with a zero or a huge row would fold
// the model flat: the record is named, the view stays as it was and the
// command fails; a sound record still rebuilds.
TEST_F(ViewCommands, a_view_record_with_a_damaged_frame_keeps_its_view) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const View first = Views().at(0);
    ASSERT_EQ(first.record[2], 1010);
    for (const double damaged : {0.0, 1e308, -1e308}) {
        // The whole row, or one number of it when that number is huge.
        for (int axis = -1; axis < (damaged == 0.0 ? 0 : 3); ++axis) {
            std::vector<double> record = first.record;
            for (int k = 0; k < 3; ++k)
                if (axis < 0 || k == axis) record[3 + k] = damaged;
            SetRecord(first.id, record);
            const std::size_t said = transcript().size();
            EXPECT_EQ(run({"VELMREGENVIEW", "L", ""}), RTERROR) << damaged << " at " << axis;
            EXPECT_NE(transcript().find("Uszkodzony zapis widoku \"VELMP$_$VISTASEZ-\"", said),
                      std::string::npos)
                << transcript().substr(said);
            const std::vector<View> views = Views();
            ASSERT_EQ(views.size(), 1u);
            EXPECT_EQ(views[0].id, first.id);
            EXPECT_EQ(views[0].block, first.block);
            ExpectSquare(views[0].block, 0.0, 1000.0);
        }
    }
    SetRecord(first.id, first.record);
    ASSERT_EQ(run({"VELMREGENVIEW", "L", ""}), RTNORM) << transcript();
    EXPECT_NE(Views().at(0).block, first.block);
    ExpectSquare(Views().at(0).block, 0.0, 1000.0);
}

TEST_F(ViewCommands, what_makes_no_view_leaves_the_drawing_as_it_was) {
    const int blocks = BlockCount();
    const std::size_t entities = modelSpace().size();
    run({"VELMGENVIEW", "-100,-100", "1100,-100", "500,-600"});  // cancelled
    run({"VELMGENVIEW", "-100,500", "1100,500", "500,-600", "0,1000"});
    EXPECT_NE(transcript().find("\nBrak prawidłowych obiektów w określonym widoku"), std::string::npos);
    EXPECT_EQ(BlockCount(), blocks);
    EXPECT_EQ(modelSpace().size(), entities);

    // A break at any moment, into a block or loose, leaves no part of it.
    int slot = SetupVar::SETSEZ_GENESPLO;
    for (const short loose : {0, 1}) {
        const short mode = loose ? 0 : 1;
        SetVarInt(&slot, &mode);
        const int before = BlockCount();
        for (int poll = 1;; ++poll) {
            curDoc()->inputQueue().breakAtPoll(poll);
            GenView("0,1000");
            curDoc()->inputQueue().breakAtPoll(0);
            if (modelSpace().size() > entities) break;
            ASSERT_EQ(BlockCount(), before) << "break at poll " << poll;
            ASSERT_LT(poll, 500);
        }
        EXPECT_EQ(count("0=LINE 8=VELMSECTION"), loose ? 4 : 0);
        EXPECT_EQ(Views().size(), loose ? 0u : 1u);
        if (!loose) ExpectSquare(Views().at(0).block, 0.0, 1000.0);
        for (ZcDbObjectId id : modelSpace())
            if (id != cube) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }

    // A rebuild that draws nothing brings the old view back.
    const short inBlock = 1;
    SetVarInt(&slot, &inBlock);
    ASSERT_EQ(GenView("0,3000"), RTNORM) << transcript();
    const ZcDbObjectId view = Views().at(0).id;
    ZcDbObjectPointer<ZcDbEntity>(cube, ZcDb::kForWrite)->erase();
    ads_name e;
    zcdbGetAdsName(e, view);
    EXPECT_EQ(RegenerateView(e), 1);
    EXPECT_FALSE(view.isErased());
    EXPECT_EQ(Views().size(), 1u);
}

}  // namespace
