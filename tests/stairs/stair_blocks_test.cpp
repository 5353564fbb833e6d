// The stair block writer and the stair option dialogs: blocks, layers and
// the final INSERT with its xdata; a refused entity leaves no stair; the
// dialogs by the dialog driver; and end to end, every structure type built
// from model lines through dialog 226, saved as DXF and read back (the
// file is left for the independent reader, check_stair_dxf.py).
#include <cmath>
#include <filesystem>
#include <numbers>

#include "core/base/module_state.h"
#include "core/dialogs/dlg_slide.h"
#include "core/entity_data.h"
#include "core/layer_catalogue.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "settings/floor_cmds.h"
#include "stairs/dialogs/dlg_scale.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

class StairBlocks : public VelmTest {
protected:
    // The entities of a block as data lists; the caller frees them.
    static std::vector<resbuf*> BlockEntities(const std::string& block) {
        std::vector<resbuf*> out;
        ZcDbBlockTable* table = nullptr;
        if (db()->getBlockTable(table, ZcDb::kForRead) != Zcad::eOk) return out;
        ZcDbBlockTableRecord* record = nullptr;
        const bool open = table->getAt(block, record, ZcDb::kForRead) == Zcad::eOk;
        table->close();
        if (!open) return out;
        const std::vector<ZcDbObjectId> ids = record->entityIds();
        record->close();
        for (ZcDbObjectId id : ids) {
            ads_name name;
            if (zcdbGetAdsName(name, id) == Zcad::eOk) out.push_back(zcdbEntGet(name));
        }
        return out;
    }

    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    void TearDown() override {
        zcui::RemoveDialogDriver(IDD_SCALE);
        zcui::RemoveDialogDriver(IDD_SCALE_ADVANCED);
        VelmTest::TearDown();
    }
    static void Prepare(CSCALA& s, std::vector<StairModelEntity> model, double dx = 0.0, double dy = 0.0) {
        for (StairModelEntity& e : model)
            for (Point3* p : {&e.a, &e.b, &e.centre}) {
                p->x += dx;
                p->y += dy;
            }
        ASSERT_EQ(BuildStairModel(s, model, 0), "");
        s.floorDistance = 300.0;
        s.startFloorHeight = 0.0;
        s.endFloorHeight = 300.0;
        s.riserCount = CountNodes(s.risers);
        s.stepHeight = s.floorDistance / s.riserCount;
        s.steps = BuildStairSteps(s, s.risers, 0, 0.0);
    }
};

// The drawing's last entity as its data list; the caller frees it.
resbuf* LastEntity(ads_name name) {
    if (zcdbEntLast(name) != RTNORM) return nullptr;
    resbuf* apps = zcutBuildList(RTSTR, "*", 0);
    resbuf* list = zcdbEntGetX(name, apps);
    zcutRelRb(apps);
    return list;
}

std::string Text(const resbuf* list, int code) {
    const resbuf* rb = FindRbCode(list, code);
    return rb ? rb->resval.rstring : "";
}

void FreeAll(std::vector<resbuf*>& lists) {
    for (resbuf* l : lists) zcutRelRb(l);
    lists.clear();
}

// The points of one xdata record of the list.
std::vector<Point3> XDataPoints(const resbuf* list, const char* app) {
    std::vector<Point3> pts;
    for (const resbuf* rb = FindXDataApp(list, app); rb && rb->rbnext; rb = rb->rbnext) {
        const resbuf* v = rb->rbnext;
        if (v->restype == 1001) break;
        if (v->restype == 1011)
            pts.push_back({v->resval.rpoint[0], v->resval.rpoint[1], v->resval.rpoint[2]});
    }
    return pts;
}

TEST_F(StairBlocks, insert_on_the_base_layer_holds_the_plans_on_the_floor_layers) {
    CSCALA s;
    Prepare(s, StraightFlight());
    s.structureType = 1;
    ASSERT_TRUE(s.MakeStairBlocks());
    ads_name last;
    resbuf* insert = LastEntity(last);
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(Text(insert, 0), "INSERT");
    EXPECT_EQ(Text(insert, 8), "STAIRS");
    EXPECT_DOUBLE_EQ(FindRbCode(insert, 10)->resval.rpoint[2], 0.0);
    std::vector<resbuf*> outer = BlockEntities(Text(insert, 2));
    ASSERT_EQ(outer.size(), 2u);
    EXPECT_EQ(Text(outer[0], 8), "VELMSTAIRS$0");
    EXPECT_EQ(Text(outer[1], 8), "VELMSTAIRS$300");
    EXPECT_DOUBLE_EQ(FindRbCode(outer[1], 10)->resval.rpoint[2], 300.0);
    // The block below: plan, treads, nosings, structure and the closing face.
    std::vector<resbuf*> below = BlockEntities(Text(outer[0], 2));
    int faces = 0, closing = 0;
    for (const resbuf* e : below)
        if (Text(e, 0) == "3DFACE") {
            ++faces;
            // BYLAYER, the default colour, may be left out of the list.
            const resbuf* colour = FindRbCode(e, 62);
            EXPECT_EQ(colour ? colour->resval.rint : 256, 256);
            closing += Text(e, 8) == "3DSTAIRS" &&
                       std::fabs(FindRbCode(e, 10)->resval.rpoint[1] - 450.0) < 1e-9 &&
                       std::fabs(FindRbCode(e, 11)->resval.rpoint[1] - 450.0) < 1e-9 &&
                       std::fabs(FindRbCode(e, 12)->resval.rpoint[1] - 450.0) < 1e-9 &&
                       std::fabs(FindRbCode(e, 13)->resval.rpoint[1] - 450.0) < 1e-9;
        }
    EXPECT_GT(faces, 100);
    EXPECT_GE(closing, 1);
    resbuf* riserLayer = zcdbTblSearch("LAYER", "3DSTAIRS_RI", 0);
    EXPECT_NE(riserLayer, nullptr);
    zcutRelRb(riserLayer);
    FreeAll(below);
    FreeAll(outer);
    zcutRelRb(insert);
}

TEST_F(StairBlocks, level_stair_has_no_upper_plan_and_steps_only_no_riser_layer) {
    CSCALA s;
    Prepare(s, StraightFlight());
    s.structureType = 3;
    s.endFloorHeight = s.startFloorHeight;
    ASSERT_TRUE(s.MakeStairBlocks());
    ads_name last;
    resbuf* insert = LastEntity(last);
    std::vector<resbuf*> outer = BlockEntities(Text(insert, 2));
    EXPECT_EQ(outer.size(), 1u);
    resbuf* riserLayer = zcdbTblSearch("LAYER", "3DSTAIRS_RI", 0);
    EXPECT_EQ(riserLayer, nullptr);
    zcutRelRb(riserLayer);
    FreeAll(outer);
    zcutRelRb(insert);
}

TEST_F(StairBlocks, xdata_in_world_places_and_the_opening_above_the_lintel) {
    CSCALA s;
    Prepare(s, StraightFlight(), 1000.0, 500.0);
    s.slabThickness = 25.0;
    s.lintelHeight = 210.0;
    s.startFloorHeight = 40.0;
    s.endFloorHeight = 340.0;
    ASSERT_TRUE(s.MakeStairBlocks());
    ads_name last;
    resbuf* insert = LastEntity(last);
    const resbuf* at = FindRbCode(insert, 10);
    EXPECT_DOUBLE_EQ(at->resval.rpoint[0], 1000.0);
    EXPECT_DOUBLE_EQ(at->resval.rpoint[1], 500.0);
    EXPECT_DOUBLE_EQ(at->resval.rpoint[2], 40.0);
    // Treads at 75 and above (300 / 16 each) are above 300 - (25 + 210).
    const std::vector<Point3> opening = XDataPoints(insert, kStairOpeningApp);
    ASSERT_GE(opening.size(), 4u);
    double minY = 1e9, minX = 1e9;
    for (const Point3& p : opening) {
        minY = std::min(minY, p.y);
        minX = std::min(minX, p.x);
    }
    EXPECT_DOUBLE_EQ(minY, 590.0);
    EXPECT_DOUBLE_EQ(minX, 1000.0);
    const std::vector<Point3> hatch = XDataPoints(insert, kStairHatchIsolationApp);
    ASSERT_GE(hatch.size(), 4u);
    for (const Point3& p : hatch) EXPECT_GE(p.y, 500.0 - 1e-9);
    EXPECT_FALSE(XDataPoints(insert, kStairOutlines3DApp).empty());

    // Read back: the elements in their world places again.
    CSCALA back;
    ASSERT_TRUE(back.LoadStairFromEntity(insert, {1000.0, 500.0, 40.0}, 0.0, 0));
    EXPECT_DOUBLE_EQ(back.risers->pointA.x, 1000.0);
    EXPECT_DOUBLE_EQ(back.risers->pointA.y, 500.0);
    EXPECT_DOUBLE_EQ(back.startFloorHeight, 40.0);
    EXPECT_DOUBLE_EQ(back.endFloorHeight, 340.0);
    zcutRelRb(insert);
}

TEST_F(StairBlocks, a_stair_moved_a_floor_up_reads_back_both_heights_raised) {
    CSCALA s;
    Prepare(s, StraightFlight());
    ASSERT_TRUE(s.MakeStairBlocks());
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    ZcDbObjectId id;
    ASSERT_EQ(zcdbGetObjectId(id, last), Zcad::eOk);
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    const FloorSets sets = SelectionSets({id});
    ASSERT_FALSE(sets.empty());
    MoveSetsToFloor(db(), sets, 300.0, false,
                    [&table](ZcDbDatabase* d, const std::string& base, double level) {
                        return CatalogueLevelLayer(d, table, base, level);
                    });
    resbuf* insert = LastEntity(last);
    CSCALA back;
    ASSERT_TRUE(back.LoadStairFromEntity(insert, {0, 0, 300}, 0.0, 0));
    EXPECT_DOUBLE_EQ(back.startFloorHeight, 300.0);
    EXPECT_DOUBLE_EQ(back.endFloorHeight, 600.0);
    zcutRelRb(insert);
}

TEST_F(StairBlocks, refused_entity_leaves_no_stair) {
    // So many risers that their xdata cannot be stored.
    std::vector<StairModelEntity> model;
    for (int i = 0; i < 400; ++i) model.push_back(Line({0, 2.0 * i, 0}, {110, 2.0 * i, 0}));
    model.push_back(Line({0, 0, 0}, {0, 800, 0}));
    model.push_back(Line({110, 0, 0}, {110, 800, 0}));
    CSCALA s;
    Prepare(s, model);
    EXPECT_FALSE(s.MakeStairBlocks());
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_NE(transcript().find("Nie można utworzyć schodów"), std::string::npos);
}

// ---- dialogs ----

TEST_F(StairBlocks, options_dialog_shows_steps_and_stores_on_ok_only) {
    CSCALA s;
    s.riserCount = 10;
    s.lastStepAtEnd = true;
    s.floorDistance = 270.0;
    s.structureType = 1;
    s.nosingType = 0;
    s.riserThickness = 7.0;
    std::string shown, steps;
    zcui::InstallDialogDriver(IDD_SCALE, [&](zcui::DialogUser& u) {
        steps = u.Text(1160);
        shown = u.Text(1157);
        u.Radio(1189);
        u.Edit(1159, "12.5");
        u.Ok();
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitOk);
    EXPECT_EQ(steps, "9");
    EXPECT_DOUBLE_EQ(std::stod(shown), 30.0);
    EXPECT_DOUBLE_EQ(s.stepHeight, 30.0);
    EXPECT_EQ(s.structureType, 3);
    EXPECT_DOUBLE_EQ(s.riserThickness, 0.0);
    EXPECT_DOUBLE_EQ(s.startOffset, 12.5);

    // A field that does not parse keeps the dialog open: nothing stored.
    zcui::InstallDialogDriver(IDD_SCALE, [](zcui::DialogUser& u) {
        u.Edit(1159, "abc");
        u.Ok();
        EXPECT_FALSE(u.Ended());
        u.Cancel();
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitCancel);
    EXPECT_DOUBLE_EQ(s.startOffset, 12.5);

    // The landing button stores the edits and asks for landings.
    zcui::InstallDialogDriver(IDD_SCALE, [](zcui::DialogUser& u) {
        u.Radio(1172);
        u.Edit(1175, "18");
        u.Click(1177);
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitLanding);
    EXPECT_EQ(s.structureType, 2);
    EXPECT_DOUBLE_EQ(s.landingThickness, 18.0);
}

TEST_F(StairBlocks, options_dialog_enables_by_choice_and_recomputes_heights) {
    CSCALA s;
    s.riserCount = 16;
    s.floorDistance = 320.0;
    s.nosingType = 1;
    s.structureType = 0;
    s.useRisers = false;
    zcui::InstallDialogDriver(IDD_SCALE, [](zcui::DialogUser& u) {
        auto on = [&u](int id) { return u.Control(id)->IsWindowEnabled() != FALSE; };
        EXPECT_TRUE(on(1158));
        EXPECT_FALSE(on(1157));
        for (int id : {1173, 1174, 1175, 1176, 1177}) EXPECT_FALSE(on(id)) << id;
        EXPECT_FALSE(on(1167));
        EXPECT_TRUE(on(1168));
        EXPECT_TRUE(on(1169));
        u.Radio(1171);
        EXPECT_TRUE(on(1173));
        EXPECT_TRUE(on(1174));
        EXPECT_FALSE(on(1175));
        u.Radio(1172);
        EXPECT_FALSE(on(1173));
        for (int id : {1175, 1176, 1177}) EXPECT_TRUE(on(id)) << id;
        u.Radio(1189);
        EXPECT_TRUE(on(1173));
        for (int id : {1174, 1175, 1176, 1177, 1169, 1167}) EXPECT_FALSE(on(id)) << id;
        u.Radio(1163);
        EXPECT_FALSE(on(1167));
        EXPECT_FALSE(on(1168));
        u.Radio(1170);
        EXPECT_TRUE(on(1167));
        // Leaving the floor distance recomputes the step height; with risers
        // used the step height gives the floor distance.
        u.Edit(1158, "288");
        EXPECT_DOUBLE_EQ(std::stod(u.Text(1157)), 18.0);
        u.Check(1166);
        EXPECT_FALSE(on(1158));
        EXPECT_TRUE(on(1157));
        u.Edit(1157, "17.5");
        EXPECT_DOUBLE_EQ(std::stod(u.Text(1158)), 280.0);
        u.Radio(1171);
        u.Edit(1173, "6");
        EXPECT_DOUBLE_EQ(std::stod(u.Text(1169)), 6.0);
        EXPECT_DOUBLE_EQ(std::stod(u.Text(1167)), 3.0);
        u.Ok();
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitOk);
    EXPECT_DOUBLE_EQ(s.floorDistance, 280.0);
    EXPECT_DOUBLE_EQ(s.stepHeight, 17.5);
    EXPECT_TRUE(s.useRisers);
    EXPECT_EQ(s.nosingType, 0);
    EXPECT_EQ(s.structureType, 1);
    EXPECT_DOUBLE_EQ(s.nosingLength, 3.0);
}

TEST_F(StairBlocks, advanced_dialog_angle_in_degrees_stored_in_radians) {
    CSCALA s;
    s.riserCount = 0;
    s.stepHeight = 17.0;
    s.cutPlaneAngle = std::numbers::pi / 4.0;
    s.startMarker = 1;
    std::string shownAngle;
    zcui::InstallDialogDriver(IDD_SCALE_ADVANCED, [&](zcui::DialogUser& u) {
        shownAngle = u.Text(1223);
        u.Edit(1223, "30");
        u.Radio(1219);
        u.Edit(1347, "2.5");
        u.Ok();
    });
    zcui::InstallDialogDriver(IDD_SCALE, [](zcui::DialogUser& u) {
        u.Click(1207);
        u.Cancel();
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitCancel);
    EXPECT_DOUBLE_EQ(std::stod(shownAngle), 45.0);
    EXPECT_EQ(s.cutPlaneAngle, 0.5235987755982988);
    EXPECT_EQ(s.startMarker, 2);
    EXPECT_DOUBLE_EQ(s.balustradeStartLeft, 2.5);
    // No steps: no division, the height stays.
    EXPECT_DOUBLE_EQ(s.stepHeight, 17.0);
}

TEST_F(StairBlocks, help_shows_the_stair_picture_with_its_title) {
    // The help picture is a support file.
    host::setSupportPathProvider(
        [] { return std::vector<std::string>{std::string(VELM_SOURCE_DIR) + "/support"}; });
    CSCALA s;
    std::string title;
    bool picture = false;
    zcui::InstallDialogDriver(IDD_SLIDE, [&](zcui::DialogUser& u) {
        title = u.Dialog().GetWindowText();
        if (auto* p = u.Get<CStatic>(IDC_SLIDE_PICTURE)) picture = p->GetBitmap() != nullptr;
        u.Ok();
    });
    zcui::InstallDialogDriver(IDD_SCALE, [](zcui::DialogUser& u) {
        u.Click(1178);
        u.Cancel();
    });
    EXPECT_EQ(ShowStairOptions(s), kScaleExitCancel);
    zcui::RemoveDialogDriver(IDD_SLIDE);
    host::setSupportPathProvider(&host::supportPath);
    EXPECT_EQ(title, "Pomoc dotycząca tworzenia parametrów schodów");
    EXPECT_TRUE(picture);
}

// ---- end to end ----

TEST_F(StairBlocks, every_structure_from_model_lines_survives_a_saved_drawing) {
    const std::vector<StairModelEntity> models[2] = {StraightFlight(), QuarterTurn()};
    struct Built {
        int structure;
        Point3 at;
        int risers;
    };
    std::vector<Built> built;
    for (int m = 0; m < 2; ++m)
        for (int type = 0; type < 4; ++type) {
            std::vector<StairModelEntity> model = models[m];
            const double dx = 400.0 * (type + 4 * m);
            for (StairModelEntity& e : model)
                for (Point3* p : {&e.a, &e.b, &e.centre}) p->x += dx;
            ads_name set, first;
            DrawModel(model, set, first);
            CSCALA s;
            ASSERT_TRUE(ReadStairModelFromLines(s, set, first));
            zcedSSFree(set);
            s.riserCount = CountNodes(s.risers);
            s.useRisers = false;
            s.steps = BuildStairSteps(s, s.risers, 0, 0.0);
            const std::string structure = std::to_string(1170 + type + (type == 3 ? 16 : 0));
            std::string error;
            ASSERT_TRUE(zcui::QueueDialogScript(
                "226 edit 1158 \"300\" edit 1180 \"300\" radio " + structure + " ok", &error))
                << error;
            ASSERT_EQ(ShowStairOptions(s), kScaleExitOk);
            ASSERT_TRUE(s.MakeStairBlocks()) << m << " " << type;
            built.push_back({type, {dx, 0, 0}, s.riserCount});
        }
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 8);

    const std::filesystem::path dir = std::filesystem::path(VELM_BINARY_DIR) / "stairs";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "stairs_blocks.dxf").string();
    std::string error;
    ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;

    std::size_t found = 0;
    resbuf* apps = zcutBuildList(RTSTR, "*", 0);
    ads_name ent, next;
    for (bool more = zcdbEntNext(nullptr, ent) == RTNORM; more;
         more = zcdbEntNext(ent, next) == RTNORM && (ads_name_set(next, ent), true)) {
        resbuf* list = zcdbEntGetX(ent, apps);
        if (list && FindXDataApp(list, kStairApp)) {
            ASSERT_LT(found, built.size());
            const Built& b = built[found];
            EXPECT_EQ(Text(list, 8), "STAIRS");
            const resbuf* at = FindRbCode(list, 10);
            EXPECT_DOUBLE_EQ(at->resval.rpoint[0], b.at.x);
            EXPECT_DOUBLE_EQ(at->resval.rpoint[2], 0.0);
            EXPECT_NE(FindXDataApp(list, kStairOpeningApp), nullptr);
            EXPECT_NE(FindXDataApp(list, kStairOutlines3DApp), nullptr);
            CSCALA back;
            ASSERT_TRUE(
                back.LoadStairFromEntity(list, {at->resval.rpoint[0], at->resval.rpoint[1], 0.0}, 0.0, 0));
            EXPECT_EQ(back.structureType, b.structure);
            EXPECT_DOUBLE_EQ(back.floorDistance, 300.0);
            EXPECT_DOUBLE_EQ(back.endFloorHeight, 300.0);
            EXPECT_EQ(back.riserCount, b.risers);
            // Written again, the record gives the same xdata.
            resbuf* again = back.WriteStairXData({0, 0, 0});
            resbuf* original = FindXDataApp(list, kStairApp);
            const resbuf* x = again;
            while (x && x->restype != 1001) x = x->rbnext;
            const resbuf* y = original;
            int n = 0;
            for (; x && y && !(n > 0 && (x->restype == 1001 || y->restype == 1001));
                 x = x->rbnext, y = y->rbnext, ++n)
                EXPECT_EQ(x->restype, y->restype) << n;
            zcutRelRb(again);
            ++found;
        }
        zcutRelRb(list);
    }
    zcutRelRb(apps);
    EXPECT_EQ(found, built.size());
    EXPECT_GT(count("0=INSERT"), 0);
}

}  // namespace
