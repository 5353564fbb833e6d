// The bulk parameter commands, the dimension mover and the fixed-point
// markers on a room with a door, two windows and two labels placed from
// the shipped definitions: what each command leaves in the objects'
// records and blocks, and what it leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ui/controls.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "objects/language/obj_records.h"
#include "objects/placement/batch_param_cmds.h"
#include "objects/placement/dim_mover.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

struct Placed {
    std::string name;
    ads_name entity{0, 0};
};

class BatchCmds : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        run({"VELMOBJECT", "P1", "!pick 200,15", "100", ""});
        run({"VELMOBJECT", "F1", "!pick 585,200", "100", ""});
        run({"VELMOBJECT", "F1", "!pick 15,200", "100", ""});
        run({"VELMOBJECT", "ETI1", "300,200"});
        run({"VELMOBJECT", "ETI1", "300,100"});
        ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 5) << transcript();
    }
    void TearDown() override {
        zcui::RemoveDialogDriver(140);
        zcui::RemoveDialogDriver(263);
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }

    // The placed objects of a definition, in drawing order.
    static std::vector<Placed> objects(const std::string& name) {
        std::vector<Placed> out;
        for (ZcDbObjectId id : modelSpace()) {
            Placed p;
            zcdbGetAdsName(p.entity, id);
            host::ResbufList list(GetEntXData(p.entity, kParamRecordApp));
            const resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
            if (app && app->rbnext && app->rbnext->restype == 1000 && name == app->rbnext->resval.rstring) {
                p.name = name;
                out.push_back(p);
            }
        }
        return out;
    }
    // The window on the right wall (the first) or the left one, found anew:
    // an object placed again is a new entity.
    static Placed window(bool right) {
        for (const Placed& w : objects("F1")) {
            host::ResbufList list(zcdbEntGet(w.entity));
            const resbuf* at = FindRbCode(list.get(), 10);
            if (at && (at->resval.rpoint[0] > 300.0) == right) return w;
        }
        return {};
    }
    // Item n of a record (item 1 its application name), copied out.
    static std::vector<double> item(const ads_name e, const char* app, int n) {
        host::ResbufList list(GetEntXData(e, app));
        const resbuf* rb = FindXDataApp(list.get(), app);
        for (int i = 1; rb && i < n; ++i) rb = rb->rbnext;
        if (!rb) return {};
        if (rb->restype == 1010) return {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
        if (rb->restype == 1040) return {rb->resval.rreal};
        if (rb->restype == 1070) return {static_cast<double>(rb->resval.rint)};
        return {};
    }
    // The value of a numbered parameter of the object's record.
    static std::string value(const ads_name e, int number) {
        host::ResbufList list(GetEntXData(e, kParamRecordApp));
        const resbuf* rb = FindXDataApp(list.get(), kParamRecordApp);
        int points = 0;
        for (; rb && points < 3; rb = rb->rbnext)
            if (rb->restype == 1010) ++points;
        for (; rb && rb->rbnext; rb = rb->rbnext->rbnext) {
            if (rb->restype != 1070 || rb->resval.rint != number) continue;
            const resbuf* v = rb->rbnext;
            if (v->restype == 1000) return std::string("S:") + v->resval.rstring;
            char text[64];
            std::snprintf(text, sizeof text, "%g", v->resval.rreal);
            return text;
        }
        return "";
    }
    static void setFlags(const ads_name e, double floor, double top) {
        host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
        host::ResbufList list(zcdbEntGetX(e, apps.get()));
        resbuf* rb = FindXDataApp(list.get(), kParamRecordApp);
        int points = 0;
        for (; rb; rb = rb->rbnext)
            if (rb->restype == 1010 && ++points == 3) break;
        ASSERT_NE(rb, nullptr);
        rb->resval.rpoint[1] = floor;
        rb->resval.rpoint[2] = top;
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
    }
    static std::string blockOf(const ads_name e) {
        host::ResbufList list(zcdbEntGet(e));
        const resbuf* b = FindRbCode(list.get(), 2);
        return b ? b->resval.rstring : "";
    }
    // Lines on the marker layer in the object's block.
    static int markerLines(const ads_name e) {
        ZcDbObjectId id;
        zcdbGetObjectId(id, e);
        ZcDbObjectPointer<ZcDbBlockReference> insert(id, ZcDb::kForRead);
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(insert->blockTableRecord(), ZcDb::kForRead);
        int n = 0;
        for (const ZcDbObjectId& line : block->entityIds()) {
            ZcDbObjectPointer<ZcDbLine> l(line, ZcDb::kForRead);
            if (l && l->layer() == "VELM_FIXEDP_X") ++n;
        }
        return n;
    }
};

}  // namespace

// ---- copying values ----

TEST_F(BatchCmds, copied_height_reaches_only_parameters_of_the_same_label) {
    run({"!dialog 150 edit 117 \"180\" click 7", "VELMMODIFY", "!pick 0,240", ""});
    ASSERT_EQ(value(window(false).entity, 190), "180") << transcript();
    const std::string doorBefore =
        value(objects("P1")[0].entity, 190) + "|" + value(objects("P1")[0].entity, 8);

    std::vector<std::string> offered;
    zcui::InstallDialogDriver(263, [&offered](zcui::DialogUser& u) {
        auto* list = u.Get<CListBox>(1232);
        for (int i = 0; list && i < list->GetCount(); ++i) {
            std::string row;
            list->GetText(i, row);
            offered.push_back(row);
        }
        u.Select(1232, std::string("Wysokość okna"));
        u.Ok();
    });
    run({"VELMPARAMAPPLY", "!pick 600,160", "!pick 0,240", "!pick 205,60", ""});
    EXPECT_EQ(value(window(false).entity, 190), "150") << transcript();
    // The wall thickness is the host's, never offered; labels lose their colon.
    ASSERT_FALSE(offered.empty());
    for (const std::string& row : offered) {
        EXPECT_EQ(row.find("Grubość"), std::string::npos) << row;
        EXPECT_NE(row.back(), ':') << row;
    }
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Wysokość okna"), offered.end());
    // The door has no parameter of that label and is placed again unchanged.
    EXPECT_EQ(value(objects("P1")[0].entity, 190) + "|" + value(objects("P1")[0].entity, 8), doorBefore);
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 5);
}

TEST_F(BatchCmds, cancelled_choice_and_an_erased_wall_change_nothing) {
    run({"!dialog 150 edit 117 \"180\" click 7", "VELMMODIFY", "!pick 0,240", ""});
    const std::string block = blockOf(window(false).entity);
    run({"!dialog 263 cancel", "VELMPARAMAPPLY", "!pick 600,160", "!pick 0,240", ""});
    EXPECT_EQ(value(window(false).entity, 190), "180");
    EXPECT_EQ(blockOf(window(false).entity), block);

    // The left wall's lines erased: the second window has no host to go back to.
    run({"ERASE", "!pick 15,30", "!pick -15,30", "!pick 15,390", "!pick -15,390", ""});
    run({"!dialog 263 select 1232 \"Wysokość okna\" ok", "VELMPARAMAPPLY", "!pick 600,160", "!pick 0,240",
         ""});
    EXPECT_EQ(value(window(false).entity, 190), "180") << transcript();
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 5);
}

// ---- lighting deductions ----

TEST_F(BatchCmds, differing_top_is_shown_as_such_and_kept_per_window) {
    const auto windows = objects("F1");
    setFlags(windows[0].entity, 0.0, 12.345);
    setFlags(windows[1].entity, 0.0, 5.0);
    std::string shownTop, shownFloor;
    zcui::InstallDialogDriver(140, [&](zcui::DialogUser& u) {
        shownTop = u.Text(1025);
        shownFloor = u.Text(1026);
        u.Edit(1026, "90");
        u.Click(1106);
    });
    const std::string blocks = blockOf(windows[0].entity) + blockOf(windows[1].entity);
    run({"VELMLIGHTDEDUCTION", "!pick 600,160", "!pick 0,240", "!pick 205,60", ""});
    EXPECT_EQ(shownTop, "*RÓŻNE*");
    EXPECT_EQ(shownFloor.substr(0, 1), "0");
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[2], 12.345, 1e-12);
    EXPECT_NEAR(item(windows[1].entity, kParamRecordApp, 9)[2], 5.0, 1e-12);
    for (const Placed& w : windows) {
        EXPECT_NEAR(item(w.entity, kParamRecordApp, 9)[1], 90.0, 1e-12);
        // 90 x 150 / 10000 into both records; the blocks are not drawn again.
        EXPECT_NEAR(item(w.entity, kTag3DiStrRecordApp, 5)[0], 1.35, 1e-12);
        EXPECT_NEAR(item(w.entity, kAbInfissiObjApp, 14)[0], 1.35, 1e-12);
        EXPECT_NEAR(item(w.entity, kAbInfissiObjApp, 16)[0], 90.0, 1e-12);
    }
    EXPECT_NEAR(item(windows[0].entity, kAbInfissiObjApp, 15)[0], 12.345, 1e-12);
    EXPECT_EQ(blockOf(windows[0].entity) + blockOf(windows[1].entity), blocks);
}

TEST_F(BatchCmds, a_value_shown_rounded_and_left_alone_is_not_rewritten) {
    const auto windows = objects("F1");
    setFlags(windows[0].entity, 7.0, 12.345);
    const int two = 2;
    int former = 0;
    {
        resbuf rb;
        zcedGetVar("LUPREC", &rb);
        former = rb.resval.rint;
        rb.restype = RTSHORT;
        rb.resval.rint = two;
        zcedSetVar("LUPREC", &rb);
    }
    std::string shownTop;
    zcui::InstallDialogDriver(140, [&](zcui::DialogUser& u) {
        shownTop = u.Text(1025);
        u.Click(1106);
    });
    run({"VELMLIGHTDEDUCTION", "!pick 600,160", ""});
    EXPECT_EQ(shownTop.substr(0, 4), "12.3");
    EXPECT_EQ(shownTop.size(), 5u);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[2], 12.345, 1e-12);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[1], 7.0, 1e-12);
    resbuf rb;
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(former);
    zcedSetVar("LUPREC", &rb);
}

// A deduction no opening has, stored by an earlier release or a damaged
// record, is named with the window's handle; the dialog refuses it as
// shown until a sane one is given, which is all that is written.
TEST_F(BatchCmds, a_stored_deduction_out_of_range_is_named_and_not_taken_back) {
    const auto windows = objects("F1");
    setFlags(windows[0].entity, -30.0, 1e308);
    const host::ResbufList read(zcdbEntGet(windows[0].entity));
    const std::string handle = FindRbCode(read.get(), 5)->resval.rstring;
    int refused = 0;
    zcui::InstallDialogDriver(140, [&](zcui::DialogUser& u) {
        const std::size_t said = zcui::MessageBoxes().size();
        u.Click(1106);
        refused += zcui::MessageBoxes().size() > said ? 1 : 0;
        u.Edit(1025, "20");
        u.Edit(1026, "90");
        u.Click(1106);
    });
    run({"VELMLIGHTDEDUCTION", "!pick 600,160", ""});
    zcui::RemoveDialogDriver(140);
    EXPECT_NE(transcript().find("obiektu " + handle + ": odliczenie poza zakresem"), std::string::npos)
        << transcript();
    EXPECT_EQ(refused, 1);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[2], 20.0, 1e-12);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[1], 90.0, 1e-12);
}

TEST_F(BatchCmds, the_dialog_refuses_words_and_a_cancelled_dialog_changes_nothing) {
    const auto windows = objects("F1");
    run({"!dialog 140 edit 1026 \"dużo\" click 1106 edit 1026 \"*różne*\" click 1106", "!msgbox ok",
         "VELMLIGHTDEDUCTION", "!pick 600,160", ""});
    EXPECT_NE(transcript().find("Można podać tylko wartości liczbowe"), std::string::npos);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[1], 0.0, 1e-12);

    run({"!dialog 140 edit 1026 \"5\" cancel", "VELMLIGHTDEDUCTION", "!pick 600,160", ""});
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 9)[1], 0.0, 1e-12);
}

// ---- stairs and labels ----

TEST_F(BatchCmds, labels_numbered_in_pick_order_by_number_or_letter) {
    const auto labels = objects("ETI1");
    ASSERT_EQ(labels.size(), 2u);
    run({"VELMREINDEXLABEL", "7", "!pick 300,100", "!pick 300,200", ""});
    EXPECT_EQ(value(labels[1].entity, 11034), "7");
    EXPECT_EQ(value(labels[0].entity, 11034), "8");
    run({"VELMREINDEXLABEL", "A", "!pick 600,160", "!pick 300,200", ""});
    EXPECT_NE(transcript().find("\nWybrany obiekt nie jest etykietą"), std::string::npos);
    // A real label takes the code of the letter.
    EXPECT_EQ(value(labels[0].entity, 11034), "65");
}

TEST_F(BatchCmds, a_text_label_gets_the_number_as_text_and_letters_go_on) {
    const auto labels = objects("ETI1");
    // The label's number filed as a text, as older definitions file it.
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    for (const Placed& l : labels) {
        host::ResbufList list(zcdbEntGetX(l.entity, apps.get()));
        resbuf* rb = FindXDataApp(list.get(), kParamRecordApp);
        for (; rb && rb->rbnext; rb = rb->rbnext)
            if (rb->restype == 1070 && rb->resval.rint == 11034) break;
        ASSERT_NE(rb, nullptr);
        resbuf* text = zcutBuildList(1000, "1", 0);
        text->rbnext = rb->rbnext->rbnext;
        rb->rbnext->rbnext = nullptr;
        zcutRelRb(rb->rbnext);
        rb->rbnext = text;
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
    }
    run({"VELMREINDEXLABEL", "9", "!pick 300,200", "!pick 300,100", ""});
    EXPECT_EQ(value(labels[0].entity, 11034), "S:9");
    EXPECT_EQ(value(labels[1].entity, 11034), "S:10");
    run({"VELMREINDEXLABEL", "Y", "!pick 300,200", "!pick 300,100", ""});
    EXPECT_EQ(value(labels[0].entity, 11034), "S:Y");
    EXPECT_EQ(value(labels[1].entity, 11034), "S:Z");
}

TEST_F(BatchCmds, stair_representation_changes_only_slab_cut_objects) {
    run({"VELMOBJECT", "SCALA1", "100,250", "", ""});
    const auto stairs = objects("SCALA1");
    ASSERT_EQ(stairs.size(), 1u) << transcript();
    const auto windows = objects("F1");
    const double windowPair = item(windows[0].entity, kParamRecordApp, 8)[0];
    run({"VELM2DSTAIR", "Przekrój", "!pick 600,160", ""});
    run({"VELM2DSTAIR", "", "!pick 600,160", "C", "90,240", "300,380", ""});
    EXPECT_NEAR(item(stairs[0].entity, kParamRecordApp, 8)[0], 1.0, 1e-12) << transcript();
    run({"VELM2DSTAIR", "Nałożenie", "C", "90,240", "300,380", ""});
    EXPECT_NEAR(item(stairs[0].entity, kParamRecordApp, 8)[0], 2.0, 1e-12);
    EXPECT_NEAR(item(windows[0].entity, kParamRecordApp, 8)[0], windowPair, 1e-12);
}

// ---- the dimension mover ----

TEST_F(BatchCmds, moved_dimension_text_line_or_both_and_the_inner_side_negated) {
    const auto door = objects("P1");
    const auto windows = objects("F1");
    const std::vector<double> before = item(windows[0].entity, kParamRecordApp, 8);
    run({"VELMMOVEDIM", "", "!pick 205,60", "40", ""});
    std::vector<double> pair = item(door[0].entity, kParamRecordApp, 8);
    EXPECT_NEAR(pair[0], 40.0, 1e-12) << transcript();
    EXPECT_NEAR(pair[1], before.empty() ? 0 : item(door[0].entity, kParamRecordApp, 8)[1], 1e-12);

    // Inner, outer, inner again: the distance counts from the inner line.
    run({"VELMMOVEDIM", "Linia", "!pick 600,160", "W", "Na", "W", "25", ""});
    pair = item(windows[0].entity, kParamRecordApp, 8);
    EXPECT_NEAR(pair[1], -25.0, 1e-12) << transcript();
    EXPECT_NEAR(pair[0], before[0], 1e-12);
    // Twice switched: back on the outer line.
    run({"VELMMOVEDIM", "Wszystko", "!pick 600,160", "W", "Na", "30", ""});
    pair = item(windows[0].entity, kParamRecordApp, 8);
    EXPECT_NEAR(pair[0], 30.0, 1e-12);
    EXPECT_NEAR(pair[1], 30.0, 1e-12);

    run({"VELMMOVEDIM", "", "!pick 300,200", "!pick 600,160", "!cancel"});
    EXPECT_NE(transcript().find("\nWybrany otwór nie jest prawidłowym typem"), std::string::npos);
}

TEST_F(BatchCmds, marker_triangles_of_each_style) {
    const double pi = std::acos(-1.0);
    AJIG_SQUOTA jig;
    jig.marker->size = 2.0;
    jig.basePoint = ZcGePoint3d(10.0, 0.0, 0.0);
    jig.direction = pi / 2;
    jig.distance = 5.0;
    const auto near = [](const ZcGePoint3d& p, double x, double y) {
        return std::fabs(p.x - x) < 1e-9 && std::fabs(p.y - y) < 1e-9;
    };
    jig.markerStyle = 0;
    jig.update();
    EXPECT_FALSE(jig.marker->twoTriangles);
    EXPECT_TRUE(near(jig.marker->first[0], 12.0, 5.0));
    EXPECT_TRUE(near(jig.marker->first[1], 8.0, 5.0));
    EXPECT_TRUE(near(jig.marker->first[2], 10.0, 7.0));
    jig.markerStyle = 2;
    jig.update();
    EXPECT_TRUE(near(jig.marker->first[2], 10.0, 3.0));
    jig.markerStyle = 1;
    jig.outerSide = 0;  // measured the other way
    jig.update();
    ASSERT_TRUE(jig.marker->twoTriangles);
    EXPECT_TRUE(near(jig.marker->first[2], 10.0, -5.0));
    EXPECT_TRUE(near(jig.marker->first[0], 12.0, -3.0));
    EXPECT_TRUE(near(jig.marker->second[1], 8.0, -7.0));
    jig.markerStyle = 7;  // unknown: as it was
    jig.distance = 50.0;
    jig.update();
    EXPECT_TRUE(near(jig.marker->first[2], 10.0, -5.0));
}

TEST_F(BatchCmds, marker_style_from_the_setting_for_doors_and_windows) {
    EXPECT_EQ(DimensionMarkerStyle(true), 1);
    EXPECT_EQ(DimensionMarkerStyle(false), 1);
    SetSettingInt(SetupVar::SALLINTXTQ, 12);
    EXPECT_EQ(DimensionMarkerStyle(true), 1);
    EXPECT_EQ(DimensionMarkerStyle(false), 2);
    SetSettingInt(SetupVar::SALLINTXTQ, 20);
    EXPECT_EQ(DimensionMarkerStyle(true), 2);
    EXPECT_EQ(DimensionMarkerStyle(false), 0);
}

// ---- fixed-point markers ----

TEST_F(BatchCmds, markers_shown_twice_are_hidden_at_once) {
    const auto door = objects("P1");
    // New objects carry a marker while markers are on (the default).
    EXPECT_EQ(markerLines(door[0].entity), 6);
    run({"VELMFIXEDPOFF"});
    EXPECT_EQ(markerLines(door[0].entity), 0);
    EXPECT_EQ(SettingInt(SetupVar::SET_PFISSOATTIVO), 0);
    run({"VELMFIXEDPON", "VELMFIXEDPON"});
    EXPECT_EQ(markerLines(door[0].entity), 12);
    EXPECT_EQ(SettingInt(SetupVar::SET_PFISSOATTIVO), 1);
    run({"VELMFIXEDPOFF"});
    for (const char* name : {"P1", "F1", "ETI1"})
        for (const Placed& p : objects(name)) EXPECT_EQ(markerLines(p.entity), 0) << name;
}

TEST_F(BatchCmds, next_fixed_point_stored_into_objects_of_the_same_definition) {
    const auto windows = objects("F1");
    const auto door = objects("P1");
    const int placedBy = static_cast<int>(item(windows[0].entity, kParamRecordApp, 5)[0]);
    const double doorIndex = item(door[0].entity, kParamRecordApp, 5)[0];
    // The window's two jambs: "Następny" steps to the other one.
    const int other = placedBy == 1 ? 2 : 1;
    const double otherX = other == 1 ? 0.0 : 100.0;
    run({"VELMFIXEDPCH", "!pick 600,160", "Następny", "", "!pick 0,240", "!pick 205,60", ""});
    for (const Placed& w : windows) {
        EXPECT_EQ(item(w.entity, kParamRecordApp, 5)[0], other) << transcript();
        EXPECT_NEAR(item(w.entity, kParamRecordApp, 6)[0], otherX, 1e-9);
    }
    // The door is counted and left.
    EXPECT_EQ(item(door[0].entity, kParamRecordApp, 5)[0], doorIndex);
    EXPECT_NE(transcript().find("\n1 obiekty nie były tego samego typu co pierwszy wybrany  (F1)."),
              std::string::npos);
    // The markers were on: they are back, once.
    EXPECT_EQ(markerLines(door[0].entity), 6);

    // Stepped again, then cancelled: nothing written, the markers back.
    run({"VELMFIXEDPCH", "!pick 600,160", "Następny", "!cancel"});
    EXPECT_EQ(item(windows[0].entity, kParamRecordApp, 5)[0], other);
    EXPECT_EQ(markerLines(door[0].entity), 6);
}

TEST_F(BatchCmds, fixed_point_of_a_missing_definition_and_inside_another_command) {
    const auto door = objects("P1");
    const double doorIndex = item(door[0].entity, kParamRecordApp, 5)[0];
    const std::string root = VELM_SOURCE_DIR;
    host::setSupportPathProvider([] { return std::vector<std::string>{"/nonexistent"}; });
    run({"VELMFIXEDPCH", "!pick 205,60", "Następny", ""});
    EXPECT_NE(transcript().find("\nNie można znaleźć pliku definicji obiektu :P1"), std::string::npos);
    EXPECT_EQ(item(door[0].entity, kParamRecordApp, 5)[0], doorIndex);
    EXPECT_EQ(markerLines(door[0].entity), 6);
    host::setSupportPathProvider([root] {
        return std::vector<std::string>{root + "/support", root + "/support/host"};
    });

    const int lines = count("0=LINE");
    run({"_LINE", "700,0", "'VELMFIXEDPCH", "!pick 205,60", "Następny", "", "", "700,100", ""});
    EXPECT_NE(item(door[0].entity, kParamRecordApp, 5)[0], doorIndex) << transcript();
    EXPECT_EQ(count("0=LINE"), lines + 1);
}
