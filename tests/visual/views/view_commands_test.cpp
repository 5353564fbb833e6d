// The view commands on a cube of 3DFACEs inside a block, its reference
// carrying a level mark over the cube's top: what a view shows of earlier
// views (a whole-model view never, a view of selected objects with its
// level marks), how many level marks a view keeps, which records can be
// rebuilt and what a rebuilt view looks like, loose output, and the
// drawing left as it was by every way that makes no view.
//
// The section line runs along y = -100 looking north, so the cube is seen
// square on: x to the right from x = -100, the cube's height upwards and
// its depth away from the viewer. A view starts at the lower-left point it
// is given, so the cube's front face is the square from there to 100, 100
// further, and the mark over its top lands 50 right of it and 100 up.
#include "visual/views/view_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/docman.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/model3d_fixture.h"

namespace {

struct ViewInsert {
    ZcDbObjectId id;
    std::string block;
    std::string layer;
    Point3 at;
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation = 0.0;
    bool hasRecord = false;
    int kind = -1;
    std::vector<Point3> marks;
};

struct Line2 {
    Point3 a, b;
};

class ViewCommands : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        MakeCubeBlock();
        cube = PlaceCube({Point3{50.0, 50.0, 100.0}});
    }

    static void Make(resbuf* list) {
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }

    static void MakeCubeBlock() {
        const ads_point origin{0, 0, 0};
        Make(zcutBuildList(RTDXF0, "BLOCK", 2, "CUBE", 70, 0, 10, origin, 0));
        const double s = 100.0;
        const Point3 faces[6][4] = {
            {{0, 0, 0}, {s, 0, 0}, {s, 0, s}, {0, 0, s}}, {{0, s, 0}, {s, s, 0}, {s, s, s}, {0, s, s}},
            {{0, 0, 0}, {0, s, 0}, {0, s, s}, {0, 0, s}}, {{s, 0, 0}, {s, s, 0}, {s, s, s}, {s, 0, s}},
            {{0, 0, 0}, {s, 0, 0}, {s, s, 0}, {0, s, 0}}, {{0, 0, s}, {s, 0, s}, {s, s, s}, {0, s, s}},
        };
        for (const auto& f : faces) {
            const ads_point p0{f[0].x, f[0].y, f[0].z}, p1{f[1].x, f[1].y, f[1].z},
                p2{f[2].x, f[2].y, f[2].z}, p3{f[3].x, f[3].y, f[3].z};
            Make(zcutBuildList(RTDXF0, "3DFACE", 8, "3DCUBE", 10, p0, 11, p1, 12, p2, 13, p3, 0));
        }
        Make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    }

    // A reference of the cube with a level mark record of these points.
    static ZcDbObjectId PlaceCube(const std::vector<Point3>& marks) {
        RegisterXDataApp(kLevelMarkApp);
        const ads_point at{0, 0, 0};
        resbuf* list = zcutBuildList(RTDXF0, "INSERT", 2, "CUBE", 8, "0", 10, at, -3, 1001, kLevelMarkApp, 0);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        for (const Point3& p : marks) {
            const ads_point q{p.x, p.y, p.z};
            tail->rbnext = zcutBuildList(1011, q, 0);
            tail = tail->rbnext;
        }
        ads_name made;
        EXPECT_EQ(zcdbEntMakeX(list, made), RTNORM);
        zcutRelRb(list);
        ZcDbObjectId id;
        zcdbGetObjectId(id, made);
        return id;
    }

    static int GenView(const std::string& lowerLeft) {
        return run({"VELMGENVIEW", "-100,-100", "1100,-100", "500,-600", lowerLeft});
    }

    // The references of model space other than the cube's, oldest first.
    std::vector<ViewInsert> Views() const {
        std::vector<ViewInsert> out;
        for (ZcDbObjectId id : modelSpace()) {
            if (id == cube) continue;
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* apps = zcutBuildList(RTSTR, "*", 0);
            resbuf* list = zcdbEntGetX(e, apps);
            zcutRelRb(apps);
            ViewInsert v;
            v.id = id;
            bool insert = false;
            std::string app;
            for (const resbuf* rb = list; rb; rb = rb->rbnext) {
                const int code = rb->restype;
                if (code == 0) insert = std::string(rb->resval.rstring) == "INSERT";
                if (code == 2) v.block = rb->resval.rstring;
                if (code == 8) v.layer = rb->resval.rstring;
                if (code == 10) v.at = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
                if (code >= 41 && code <= 43) v.scale[code - 41] = rb->resval.rreal;
                if (code == 50) v.rotation = rb->resval.rreal;
                if (code == 1001) {
                    app = rb->resval.rstring;
                    v.hasRecord = v.hasRecord || app == kViewRecordApp;
                }
                if (code == 1070 && app == kViewRecordApp && v.kind < 0) v.kind = rb->resval.rint;
                if (code == 1011 && app == kLevelMarkApp)
                    v.marks.push_back({rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]});
            }
            zcutRelRb(list);
            if (insert) out.push_back(v);
        }
        return out;
    }

    // The LINEs of a block; a stepped section's break line on its own.
    static std::vector<Line2> BlockLines(const std::string& name, int* breakLines = nullptr) {
        std::vector<Line2> out;
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(db()->recordId(db()->blockTableId(), name),
                                                      ZcDb::kForRead);
        if (!block) return out;
        ZcDbBlockTableRecordIterator* it = nullptr;
        block->newIterator(it);
        for (it->start(); !it->done(); it->step()) {
            ZcDbEntity* e = nullptr;
            if (it->getEntity(e, ZcDb::kForRead) != Zcad::eOk) continue;
            if (auto* line = ZcDbLine::cast(e); line && line->layer() == "VELMSECTION_BRK") {
                if (breakLines) ++*breakLines;
            } else if (line) {
                out.push_back({{line->startPoint().x, line->startPoint().y, 0.0},
                               {line->endPoint().x, line->endPoint().y, 0.0}});
            }
            e->close();
        }
        delete it;
        return out;
    }

    static int BlockCount() {
        int n = 0;
        for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0)) {
            ++n;
            zcutRelRb(rb);
        }
        return n;
    }

    static bool Near(const Point3& p, double x, double y) {
        return std::fabs(p.x - x) < 1e-6 && std::fabs(p.y - y) < 1e-6;
    }

    // The cube's front face: the square of side 100 from the lower-left
    // point, four lines and nothing else.
    static void ExpectSquareAt(const std::vector<Line2>& lines, double x, double y) {
        ASSERT_EQ(lines.size(), 4u);
        double length = 0.0;
        for (const Line2& l : lines) {
            length += std::hypot(l.b.x - l.a.x, l.b.y - l.a.y);
            for (const Point3& p : {l.a, l.b})
                EXPECT_TRUE((Near(p, x, y) || Near(p, x + 100, y) || Near(p, x, y + 100) ||
                             Near(p, x + 100, y + 100)))
                    << p.x << "," << p.y;
        }
        EXPECT_NEAR(length, 400.0, 1e-6);
    }

    ZcDbObjectId cube;
};

TEST_F(ViewCommands, whole_model_views_are_never_drawn_into_a_new_view_selected_ones_are) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    std::vector<ViewInsert> views = Views();
    ASSERT_EQ(views.size(), 1u) << transcript();
    EXPECT_TRUE(views[0].hasRecord);
    EXPECT_EQ(views[0].kind, 0);
    ExpectSquareAt(BlockLines(views[0].block), 0.0, 1000.0);
    ASSERT_EQ(views[0].marks.size(), 1u);
    EXPECT_TRUE(Near(views[0].marks[0], 50.0, 1100.0));

    // The first view lies behind the section plane, where its mark would
    // be kept if the view were taken in.
    ASSERT_EQ(GenView("0,3000"), RTNORM) << transcript();
    views = Views();
    ASSERT_EQ(views.size(), 2u);
    ExpectSquareAt(BlockLines(views[1].block), 0.0, 3000.0);
    ASSERT_EQ(views[1].marks.size(), 1u);
    EXPECT_TRUE(Near(views[1].marks[0], 50.0, 3100.0));

    // A view of the selected cube at real size: no view record, the mark.
    ASSERT_EQ(run({"VELMSELVIEW", "-100,-100", "1100,-100", "500,-600", "0,5000", "", "W", "-10,-10",
                   "110,110", ""}),
              RTNORM)
        << transcript();
    views = Views();
    ASSERT_EQ(views.size(), 3u);
    EXPECT_FALSE(views[2].hasRecord);
    ExpectSquareAt(BlockLines(views[2].block), 0.0, 5000.0);
    ASSERT_EQ(views[2].marks.size(), 1u);
    EXPECT_TRUE(Near(views[2].marks[0], 50.0, 5100.0));

    // The next whole-model view takes the selected view's mark (on the
    // ground, seen at the bottom of the cube) after the cube's own, and
    // writes them last found first.
    ASSERT_EQ(GenView("0,7000"), RTNORM) << transcript();
    views = Views();
    ASSERT_EQ(views.size(), 4u);
    ASSERT_EQ(views[3].marks.size(), 2u);
    EXPECT_TRUE(Near(views[3].marks[0], 50.0, 7000.0));
    EXPECT_TRUE(Near(views[3].marks[1], 50.0, 7100.0));

    // Only the whole-model views can be rebuilt.
    ads_name selected;
    ASSERT_EQ(zcdbGetAdsName(selected, views[2].id), Zcad::eOk);
    EXPECT_EQ(RegenerateView(selected), 0);
    ASSERT_EQ(run({"VELMREGENVIEW", "W", "-10,4990", "110,5110", ""}), RTNORM);
    EXPECT_NE(transcript().find("\nNie można zregenerować widoku wybranego obiektu"), std::string::npos);
    EXPECT_EQ(Views().size(), 4u);
}

TEST_F(ViewCommands, a_view_keeps_the_first_500_level_marks_found) {
    std::vector<Point3> many;
    for (int k = 0; k < 600; ++k) many.push_back({static_cast<double>(k), 50.0, 100.0});
    cube = PlaceCube(many);
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    std::vector<ViewInsert> views = Views();
    // The first cube's mark came first, then the second's but the one equal
    // to it: the first 500 end with mark 499.
    ASSERT_EQ(views.size(), 2u);
    const ViewInsert& view = views[1];
    ASSERT_EQ(view.marks.size(), 500u);
    EXPECT_TRUE(Near(view.marks.front(), 499.0, 1100.0));
    EXPECT_TRUE(Near(view.marks.back(), 50.0, 1100.0));
}

TEST_F(ViewCommands, a_rebuilt_view_keeps_its_place_on_layer_0_at_scale_1) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    ViewInsert old = Views().at(0);
    {
        ZcDbObjectPointer<ZcDbBlockReference> ref(old.id, ZcDb::kForWrite);
        ASSERT_TRUE(ref);
        ref->setScaleFactors(ZcGeVector3d(2.0, 2.0, 2.0));
        ref->setRotation(0.5);
        ref->setLayer("WIDOKI");
    }
    ASSERT_EQ(run({"VELMREGENVIEW", "L", ""}), RTNORM) << transcript();
    std::vector<ViewInsert> views = Views();
    ASSERT_EQ(views.size(), 1u);
    const ViewInsert& view = views[0];
    EXPECT_NE(view.id, old.id);
    EXPECT_NE(view.block, old.block);
    EXPECT_EQ(view.layer, "0");
    EXPECT_TRUE(Near(view.at, 0.0, 1000.0));
    for (double s : view.scale) EXPECT_DOUBLE_EQ(s, 1.0);
    EXPECT_DOUBLE_EQ(view.rotation, 0.0);
    EXPECT_TRUE(view.hasRecord);
    ExpectSquareAt(BlockLines(view.block), 0.0, 1000.0);
    ASSERT_EQ(view.marks.size(), 1u);
}

TEST_F(ViewCommands, records_too_short_for_their_kind_are_not_rebuilt) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const ViewInsert view = Views().at(0);
    ads_name e;
    ASSERT_EQ(zcdbGetAdsName(e, view.id), Zcad::eOk);
    // A stepped section's record without its depth and depth point.
    resbuf* apps = zcutBuildList(RTSTR, kViewRecordApp, 0);
    resbuf* list = zcdbEntGetX(e, apps);
    zcutRelRb(apps);
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1070) {
            rb->resval.rint = 2;
            break;
        }
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);
    const int blocks = BlockCount();
    EXPECT_EQ(RegenerateView(e), 0);
    ASSERT_EQ(run({"VELMREGENVIEW", "L", ""}), RTNORM);
    EXPECT_NE(transcript().find("\nNie można zregenerować widoku wybranego obiektu"), std::string::npos);
    const std::vector<ViewInsert> after = Views();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].id, view.id);
    EXPECT_EQ(BlockCount(), blocks);
}

// The view record's groups (after its 1001) as codes and values.
struct Group {
    int code;
    double v[3];
};
std::vector<Group> RecordGroups(const ZcDbObjectId& id) {
    std::vector<Group> out;
    ads_name e;
    if (zcdbGetAdsName(e, id) != Zcad::eOk) return out;
    resbuf* apps = zcutBuildList(RTSTR, kViewRecordApp, 0);
    resbuf* list = zcdbEntGetX(e, apps);
    zcutRelRb(apps);
    bool in = false;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 1001) {
            in = std::string(rb->resval.rstring) == kViewRecordApp;
            continue;
        }
        if (!in) continue;
        Group g{rb->restype, {0, 0, 0}};
        if (rb->restype == 1070) g.v[0] = rb->resval.rint;
        if (rb->restype == 1040) g.v[0] = rb->resval.rreal;
        if (rb->restype == 1010)
            for (int k = 0; k < 3; ++k) g.v[k] = rb->resval.rpoint[k];
        out.push_back(g);
    }
    zcutRelRb(list);
    return out;
}

// Replaces the view record of the reference by these groups.
void WriteRecord(const ZcDbObjectId& id, const std::vector<Group>& groups) {
    ads_name e;
    ASSERT_EQ(zcdbGetAdsName(e, id), Zcad::eOk);
    resbuf* apps = zcutBuildList(RTSTR, kViewRecordApp, 0);
    resbuf* list = zcdbEntGetX(e, apps);
    zcutRelRb(apps);
    resbuf* app = list;
    while (app && !(app->restype == 1001 && std::string(app->resval.rstring) == kViewRecordApp))
        app = app->rbnext;
    ASSERT_NE(app, nullptr);
    zcutRelRb(app->rbnext);
    resbuf* tail = app;
    for (const Group& g : groups) {
        if (g.code == 1070) tail->rbnext = zcutBuildList(1070, static_cast<int>(g.v[0]), 0);
        if (g.code == 1040) tail->rbnext = zcutBuildList(1040, g.v[0], 0);
        if (g.code == 1010) tail->rbnext = zcutBuildList(1010, g.v, 0);
        tail = tail->rbnext;
    }
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);
}

// Axonometric and stepped records with hidden lines, rebuilt: the new
// record says the same, group for group, and the cube still shows square.
TEST_F(ViewCommands, every_kind_of_record_survives_its_rebuild) {
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const std::vector<Group> plain = RecordGroups(Views().at(0).id);
    ASSERT_EQ(plain.size(), 6u);
    for (int kind = 1; kind <= 3; ++kind) {
        std::vector<Group> groups = plain;
        groups[0].v[0] = kind;
        groups[5].v[0] = 1;  // hidden lines
        // The display frame: the view frame again.
        if (kind & 1)
            for (int k = 1; k <= 4; ++k) groups.push_back(plain[k]);
        if (kind & 2) {
            groups.push_back({1040, {0.0, 0.0, 0.0}});
            groups.push_back({1010, {-100.0, -100.0, 0.0}});
        }
        const ZcDbObjectId old = Views().at(0).id;
        WriteRecord(old, groups);
        ads_name e;
        ASSERT_EQ(zcdbGetAdsName(e, old), Zcad::eOk);
        ASSERT_EQ(RegenerateView(e), 1);
        const std::vector<ViewInsert> views = Views();
        ASSERT_EQ(views.size(), 1u) << "kind " << kind;
        EXPECT_NE(views[0].id, old);
        EXPECT_EQ(views[0].kind, kind);
        int breakLines = 0;
        ExpectSquareAt(BlockLines(views[0].block, &breakLines), 0.0, 1000.0);
        EXPECT_EQ(breakLines, kind & 2 ? 1 : 0);
        const std::vector<Group> rebuilt = RecordGroups(views[0].id);
        ASSERT_EQ(rebuilt.size(), groups.size()) << "kind " << kind;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(rebuilt[i].code, groups[i].code) << "kind " << kind << " group " << i;
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(rebuilt[i].v[k], groups[i].v[k], 1e-9);
        }
    }
}

TEST_F(ViewCommands, what_makes_no_view_leaves_the_drawing_as_it_was) {
    const int blocks = BlockCount();
    const std::size_t entities = modelSpace().size();
    // Cancelled at the lower-left point.
    run({"VELMGENVIEW", "-100,-100", "1100,-100", "500,-600"});
    // Everything in front of the section plane: an empty view.
    run({"VELMGENVIEW", "-100,500", "1100,500", "500,-600", "0,1000"});
    EXPECT_NE(transcript().find("\nBrak prawidłowych obiektów w określonym widoku"), std::string::npos);
    EXPECT_EQ(BlockCount(), blocks);
    EXPECT_EQ(modelSpace().size(), entities);

    // A rebuild that draws nothing brings the old view back.
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    const ViewInsert view = Views().at(0);
    ads_name e;
    ASSERT_EQ(zcdbGetAdsName(e, cube), Zcad::eOk);
    ASSERT_EQ(zcdbEntDel(e), RTNORM);
    ASSERT_EQ(zcdbGetAdsName(e, view.id), Zcad::eOk);
    EXPECT_EQ(RegenerateView(e), 1);
    const std::vector<ViewInsert> after = Views();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].id, view.id);
    EXPECT_FALSE(view.id.isErased());
}

// A break at any moment of a view, in a block or loose in model space,
// leaves nothing of it; a break that comes too late leaves it whole.
TEST_F(ViewCommands, a_break_leaves_a_view_whole_or_not_at_all) {
    for (const short loose : {0, 1}) {
        int slot = SetupVar::SETSEZ_GENESPLO;
        const short mode = loose ? 0 : 1;
        SetVarInt(&slot, &mode);
        const int blocks = BlockCount();
        const std::size_t entities = modelSpace().size();
        bool whole = false;
        for (int poll = 1; poll < 500 && !whole; ++poll) {
            curDoc()->inputQueue().breakAtPoll(poll);
            GenView("0,1000");
            curDoc()->inputQueue().breakAtPoll(0);
            const int lines = count("0=LINE 8=VELMSECTION");
            whole = loose ? lines == 4 : Views().size() == 1;
            if (whole) break;
            ASSERT_EQ(lines, 0) << "break at poll " << poll;
            ASSERT_EQ(modelSpace().size(), entities) << "break at poll " << poll;
            ASSERT_EQ(BlockCount(), blocks) << "break at poll " << poll;
        }
        EXPECT_TRUE(whole);
        if (!loose) ExpectSquareAt(BlockLines(Views().at(0).block), 0.0, 1000.0);
        for (ZcDbObjectId id : modelSpace()) {
            if (id == cube) continue;
            ZcDbObjectPointer<ZcDbEntity> made(id, ZcDb::kForWrite);
            made->erase();
        }
    }
}

TEST_F(ViewCommands, direct_output_draws_loose_lines_without_a_block) {
    int slot = SetupVar::SETSEZ_GENESPLO;
    const short off = 0;
    SetVarInt(&slot, &off);
    const int blocks = BlockCount();
    ASSERT_EQ(GenView("0,1000"), RTNORM) << transcript();
    EXPECT_TRUE(Views().size() == 0u);
    EXPECT_EQ(BlockCount(), blocks);
    EXPECT_EQ(count("0=LINE 8=VELMSECTION"), 4);
}

}  // namespace
