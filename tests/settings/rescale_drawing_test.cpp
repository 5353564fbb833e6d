// The print-scale updates on a drawing: hatches made again at the new
// scale (and kept when that fails), symbols scaled, inner dimensions and
// dimensions, the wall build-up floor by floor, and the command itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/base/typed_number.h"
#include "core/entity_data.h"
#include "core/hatch.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdim.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/hostcmd_util.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "settings/floors.h"
#include "settings/rescale.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

namespace {

FaceRecord* Square(double size, double z = 0.0) {
    auto* loop = new FaceRecord;
    for (Point3 p : {Point3{0, 0, z}, Point3{size, 0, z}, Point3{size, size, z}, Point3{0, size, z}})
        AppendVertex(&loop->corners, p, 0, 0, 0);
    return loop;
}

class RescaleDrawing : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        SetSettingInt(SetupVar::SFATSCALA, 50);
    }
    void TearDown() override {
        SetDimensionSymbolHook(nullptr);
        SetFloorWallLayersHook(nullptr);
        zcui::ResetUi();
        VelmTest::TearDown();
    }
    static void SetEntry(int index, double value) { AccessScaleFactor(50, index, value, true); }

    // The hatch records of the drawing, kind and scale, in drawing order.
    static std::vector<std::pair<int, double>> HatchRecords() {
        std::vector<std::pair<int, double>> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            HatchXData d;
            OwnedList<FaceRecord> loops(GetHatchData(e, d));
            if (loops) out.emplace_back(d.kind, d.scale);
        }
        return out;
    }

    static ZcDbObjectId Append(ZcDbEntity* e) {
        ZcDbObjectId id;
        EXPECT_EQ(AppendToModelSpace(id, e), Zcad::eOk);
        return id;
    }
    static void AddXData(ZcDbObjectId id, resbuf* xdata) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* list = zcdbEntGet(e);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = xdata;
        EXPECT_EQ(zcdbEntMod(list), RTNORM);
        zcutRelRb(list);
    }
    static resbuf* XDataOf(ZcDbObjectId id, const char* app) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* apps = zcutBuildList(RTSTR, app, 0);
        resbuf* list = zcdbEntGetX(e, apps);
        zcutRelRb(apps);
        return list;
    }
    static bool Exists(ZcDbObjectId id) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return false;
        e->close();
        return true;
    }
};

}  // namespace

TEST_F(RescaleDrawing, hatches_of_one_kind_take_their_entry_and_a_failed_remake_keeps_the_old) {
    double angle = 0.0, scale = 1.0, elevation = 0.0;
    OwnedList<FaceRecord> square(Square(100.0));
    HatchContour(square.get(), "FLOORSLAB", &angle, &scale, &elevation, "ANSI31", 2);
    HatchContour(square.get(), "ROOFSLAB", &angle, &scale, &elevation, "ANSI31", 1);
    ASSERT_EQ(HatchRecords().size(), 2u);
    SetEntry(7, 4.0);
    SetEntry(8, 5.0);
    RescaleHatchBlocks(2);
    auto records = HatchRecords();
    ASSERT_EQ(records.size(), 2u);
    for (auto [kind, s] : records) EXPECT_EQ(s, kind == 2 ? 4.0 : 1.0) << "kind " << kind;

    // Far too dense at the new scale: the roof keeps the hatch it had.
    SetEntry(8, 1e-7);
    RescaleHatchBlocks(1);
    records = HatchRecords();
    ASSERT_EQ(records.size(), 2u);
    for (auto [kind, s] : records) EXPECT_EQ(s, kind == 2 ? 4.0 : 1.0) << "kind " << kind;
    RescaleHatchBlocks(4);  // no such kind
    EXPECT_EQ(HatchRecords().size(), 2u);
}

TEST_F(RescaleDrawing, symbols_take_the_symbol_factor_in_plan_and_keep_their_height_scale) {
    ZcDbBlockTable* table = nullptr;
    ASSERT_EQ(db()->getBlockTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("SYMBOL");
    ZcDbObjectId blockId;
    ASSERT_EQ(table->add(blockId, block), Zcad::eOk);
    block->close();
    table->close();
    auto* ref = new ZcDbBlockReference(ZcGePoint3d(0, 0, 0), blockId);
    ref->setScaleFactors(ZcGeVector3d(1, 1, 7));
    ZcDbObjectId symbol = Append(ref);
    ZcDbObjectId plain = Append(new ZcDbBlockReference(ZcGePoint3d(5, 0, 0), blockId));
    zcdbRegApp("VELM5$_$SIMBOLI-");
    AddXData(symbol, zcutBuildList(-3, 1001, "VELM5$_$SIMBOLI-", 1000, "S", 0));
    SetEntry(5, 2.5);
    RescaleSymbolBlocks();
    ZcDbObjectPointer<ZcDbBlockReference> s(symbol, ZcDb::kForRead);
    ASSERT_EQ(s.openStatus(), Zcad::eOk);
    EXPECT_EQ(s->scaleFactors().x, 2.5);
    EXPECT_EQ(s->scaleFactors().y, 2.5);
    EXPECT_EQ(s->scaleFactors().z, 7.0);
    ZcDbObjectPointer<ZcDbBlockReference> p(plain, ZcDb::kForRead);
    EXPECT_EQ(p->scaleFactors().x, 1.0);
}

TEST_F(RescaleDrawing, inner_dimensions_are_redrawn_from_whole_records_only) {
    zcdbRegApp("VELM6$_$QUOTEINT-");
    double at[3] = {1, 2, 0};
    auto line = [&](resbuf* xdata) {
        ZcDbObjectId id = Append(new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0)));
        AddXData(id, xdata);
        return id;
    };
    ZcDbObjectId whole = line(zcutBuildList(-3, 1001, "VELM6$_$QUOTEINT-", 1011, at, 1040, 10.0, 1040, 20.0,
                                            1070, 3, 1000, "120", 1040, 30.0, 0));
    ZcDbObjectId refused = line(zcutBuildList(-3, 1001, "VELM6$_$QUOTEINT-", 1011, at, 1040, 1.0, 1040, 2.0,
                                              1070, 0, 1000, "x", 1040, 3.0, 0));
    ZcDbObjectId cut = line(zcutBuildList(-3, 1001, "VELM6$_$QUOTEINT-", 1011, at, 1040, 1.0, 1040, 2.0, 0));
    ZcDbObjectId wrong = line(zcutBuildList(-3, 1001, "VELM6$_$QUOTEINT-", 1011, at, 1040, 1.0, 1000, "2",
                                            1070, 0, 1000, "x", 1040, 3.0, 0));
    std::vector<std::string> seen;
    SetDimensionSymbolHook(
        [&](const Point3& p, double a, double b, int flags, const std::string& text, double c) {
            seen.push_back(text);
            if (text == "120") {
                EXPECT_EQ(p.y, 2.0);
                EXPECT_EQ(a, 10.0);
                EXPECT_EQ(b, 20.0);
                EXPECT_EQ(flags, 3);
                EXPECT_EQ(c, 30.0);
            }
            return text == "120";
        });
    RescaleQuoteIntBlocks();
    EXPECT_EQ(seen, (std::vector<std::string>{"120", "x"}));
    EXPECT_FALSE(Exists(whole));
    EXPECT_TRUE(Exists(refused));  // nothing drawn: the old symbol is back
    EXPECT_TRUE(Exists(cut));
    EXPECT_TRUE(Exists(wrong));
}

TEST_F(RescaleDrawing, module_dimensions_get_their_own_scale_and_others_keep_theirs) {
    auto dim = [&](const char* style) {
        auto* d = new ZcDbAlignedDimension(ZcGePoint3d(0, 0, 0), ZcGePoint3d(10, 0, 0), ZcGePoint3d(0, 5, 0));
        d->setDimensionStyle(style);
        return Append(d);
    };
    ZcDbObjectId ours = dim("VELMASSOC");
    ZcDbObjectId other = dim("STANDARD");
    zcdbRegApp("ACAD");
    // An override the user gave (DIMTXT, 140) stays beside the scale.
    AddXData(ours, zcutBuildList(-3, 1001, "ACAD", 1000, "DSTYLE", 1002, "{", 1070, 140, 1040, 3.5, 1070, 40,
                                 1040, 9.0, 1002, "}", 0));
    // 2 mm of paper per millimetre of text, in a drawing in centimetres.
    SetEntry(9, 2.0);
    RescaleDimensions();
    RescaleDimensions();  // again: still one scale
    resbuf* x = XDataOf(ours, "ACAD");
    const resbuf* app = FindXDataApp(x, "ACAD");
    ASSERT_NE(app, nullptr);
    std::vector<std::pair<int, double>> pairs;
    for (const resbuf* v = app->rbnext; v; v = v->rbnext)
        if (v->restype == 1070 && v->rbnext && v->rbnext->restype == 1040)
            pairs.emplace_back(v->resval.rint, v->rbnext->resval.rreal);
    zcutRelRb(x);
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (std::vector<std::pair<int, double>>{{40, 0.2}, {140, 3.5}}));
    // Closed after the change, the dimension shows its picture at that scale.
    ZcDbObjectPointer<ZcDbDimension> d(ours, ZcDb::kForRead);
    ASSERT_EQ(d.openStatus(), Zcad::eOk);
    EXPECT_DOUBLE_EQ(d->dimscale(), 0.2);
    EXPECT_FALSE(d->dimBlockId().isNull());
    resbuf* none = XDataOf(other, "ACAD");
    EXPECT_EQ(FindXDataApp(none, "ACAD"), nullptr);
    zcutRelRb(none);
}

TEST_F(RescaleDrawing, wall_build_up_visits_every_floor_and_restores_the_current_one) {
    if (VELM_PIANI* p = OpenPianiObject(false)) {
        p->piani.floors.clear();
        for (double z : {0.0, 300.0, 600.0}) {
            AA_PIANO f;
            f.elevation = z;
            f.height = 300.0;
            p->piani.floors.push_back(f);
        }
        p->close();
    }
    const double current = 300.0;
    const int slot = SetupVar::SQPAV;
    SetVarReal(&slot, &current);
    auto face = [&](const char* layer) {
        auto* f = new ZcDbFace(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0), ZcGePoint3d(1, 1, 0),
                               ZcGePoint3d(0, 1, 0));
        f->setLayer(layer);
        return Append(f);
    };
    ZcDbObjectId at0 = face("VELM3DWALLS$0");
    ZcDbObjectId at600 = face("VELM3DWALLS$600");
    std::vector<std::pair<double, double>> visits;
    SetFloorWallLayersHook([&](double z) {
        visits.emplace_back(z, SettingReal(SetupVar::SQPAV, -1.0));
        return z != 600.0;  // no wall types there
    });
    SetSettingInt(SetupVar::SFATSCALA, 199);
    RescaleWallDefs();
    EXPECT_EQ(visits, (std::vector<std::pair<double, double>>{{0.0, 0.0}, {300.0, 300.0}, {600.0, 600.0}}));
    EXPECT_FALSE(Exists(at0));
    EXPECT_TRUE(Exists(at600));
    EXPECT_EQ(SettingReal(SetupVar::SQPAV, -1.0), 300.0);
    resbuf rb{};
    ASSERT_EQ(zcedGetVar("ELEVATION", &rb), RTNORM);
    EXPECT_EQ(rb.resval.rreal, 300.0);
}

TEST_F(RescaleDrawing, command_refuses_paper_space_and_stores_the_chosen_scale) {
    host::setSysVar("TILEMODE", short{0});
    host::setSysVar("CVPORT", short{1});
    run({"VELMSCALEF"});
    EXPECT_NE(transcript().find("Polecenie to nie może być stosowane w obszarze papieru"), std::string::npos);
    EXPECT_TRUE(zcui::DialogsShown().empty());

    host::setSysVar("TILEMODE", short{1});
    std::string error;
    ASSERT_TRUE(zcui::QueueDialogScript(R"(136 select 1047 "100" edit 104 "3" ok)", &error)) << error;
    run({"VELMSCALEF"});
    EXPECT_EQ(SettingInt(SetupVar::SFATSCALA), 100);
    double v = 0.0;
    ASSERT_TRUE(AccessScaleFactor(100, 5, v, false));
    EXPECT_EQ(v, 3.0);
}

TEST_F(RescaleDrawing, scale_to_add_of_blanks_is_refused_and_keeps_the_dialog_open) {
    std::string error;
    // Blanks typed where the scale to add goes are no number: OK says so
    // once and leaves the dialog open; its Cancel then stores nothing.
    ASSERT_TRUE(zcui::QueueDialogScript(R"(136 select 1047 "100" edit 1046 " " ok cancel)", &error)) << error;
    run({"VELMSCALEF"});
    ASSERT_EQ(zcui::DialogsShown().size(), 1u);
    EXPECT_EQ(zcui::DialogsShown()[0].result, IDCANCEL);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, kInvalidValueMessage);
    EXPECT_NE(SettingInt(SetupVar::SFATSCALA), 100);

    // Left empty, or never touched, the field asks for no scale to add.
    ASSERT_TRUE(zcui::QueueDialogScript(R"(136 select 1047 "100" edit 1046 "" ok)", &error)) << error;
    run({"VELMSCALEF"});
    ASSERT_EQ(zcui::DialogsShown().size(), 2u);
    EXPECT_EQ(zcui::DialogsShown()[1].result, IDOK);
    EXPECT_EQ(SettingInt(SetupVar::SFATSCALA), 100);
    EXPECT_EQ(zcui::MessageBoxes().size(), 1u);
}
