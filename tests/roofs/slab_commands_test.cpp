// The slab-making commands driven as a user would: the options dialog by
// the dialog driver, the outline and openings point by point in the jig,
// and the slab read back from the drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/typed_number.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "host/ads/ssget.h"
#include "host/db/dxffile.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/ui/wnd.h"
#include "roofs/commands/floor_slab.h"
#include "roofs/commands/roof_slab.h"
#include "roofs/commands/slab_hatch_cmd.h"
#include "roofs/commands/zprofile.h"
#include "roofs/slab_openings.h"
#include "store/setup_slots.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabCommandsTest : public SlabTest {
protected:
    static void Dialog(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    // The newest entity of the drawing that carries slab xdata.
    static bool LastSlab(ads_name out) {
        resbuf* filter = zcutBuildList(-3, 1001, kSlabApp, 0);
        ads_name set;
        const int rc = zcedSSGet("X", nullptr, nullptr, filter, set);
        zcutRelRb(filter);
        if (rc != RTNORM) return false;
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        zcedSSName(set, n - 1, out);
        zcedSSFree(set);
        return true;
    }
    static std::string EdgeKeyOf(const ads_name slab) {
        resbuf* list = GetEntXData(slab, kSlabApp);
        const resbuf* rb = FindXDataApp(list, kSlabApp);
        std::string key;
        int seen = 0;
        for (; rb; rb = rb->rbnext)
            if (rb->restype == 1000 && ++seen == 2) key = rb->resval.rstring;
        zcutRelRb(list);
        return key;
    }
    static double InsertZ(const ads_name insert) {
        resbuf* list = zcdbEntGet(insert);
        double z = NAN;
        if (const resbuf* at = FindRbCode(list, 10)) z = at->resval.rpoint[2];
        zcutRelRb(list);
        return z;
    }
    static std::string LayerOf(const ads_name e) {
        resbuf* list = zcdbEntGet(e);
        std::string layer;
        if (const resbuf* rb = FindRbCode(list, 8)) layer = rb->resval.rstring;
        zcutRelRb(list);
        return layer;
    }
    static void Circle(double x, double y, double r) {
        const ads_point c{x, y, 0};
        resbuf* list = zcutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, r, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    static std::vector<std::string> Square(double x0, double y0, double x1, double y1) {
        auto p = [](double x, double y) { return std::to_string(x) + "," + std::to_string(y); };
        return {p(x0, y0), p(x1, y0), p(x1, y1), p(x0, y1)};
    }
    static void PushAll(std::initializer_list<std::vector<std::string>> groups) {
        for (const auto& g : groups)
            for (const std::string& line : g) push(line);
    }
    static int Hatches(const std::string& layer) { return count("0=HATCH 8=" + layer); }
};

TEST_F(SlabCommandsTest, floor_slab_by_points_stores_hidden_edges_as_zero_and_takes_openings) {
    Circle(500, 400, 50);
    Dialog("152 click 4");
    PushAll({{"0,0", "1000,0", "Niewidoczny", "1000,800", "0,800", ""},
             Square(100, 100, 300, 300),
             {"", "Kontur", "550,400", ""}});
    CmdFloorSlab();
    ASSERT_EQ(count("0=INSERT 8=FLOORSLAB"), 1);
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    CFALDA record;
    double E = -1;
    ASSERT_TRUE(ReadSlabRecord(slab, record, E));
    EXPECT_EQ(record.FlagWord(), 0);
    EXPECT_DOUBLE_EQ(InsertZ(slab), 0.0);
    std::vector<int> flags;
    int loops = 0;
    for (const ContourNode* k = record.loops; k; k = k->next, ++loops) {
        for (const VertexNode* v = k->vertices; v; v = v->next) {
            EXPECT_DOUBLE_EQ(v->z, 275.0);  // the underside offset, unlinked
            if (loops == 0) flags.push_back(v->edgeFlag);
            if (loops == 2) {
                EXPECT_EQ(v->edgeFlag, 101);  // chords of the circle
            }
        }
    }
    EXPECT_EQ(loops, 3);
    // "Niewidoczny" hides the edge from the vertex being placed (1000,800).
    EXPECT_EQ(flags, (std::vector<int>{1, 1, 0, 1}));
}

TEST_F(SlabCommandsTest, floor_slab_cancelled_at_first_vertex_writes_nothing_and_restores_osmode) {
    int osmode = 33;
    SysVarShort("OSMODE", &osmode);
    Dialog("152 click 4");
    push("!cancel");
    CmdFloorSlab();
    EXPECT_EQ(count("0=INSERT"), 0);
    const int readOnly = -1;
    EXPECT_EQ(SysVarShort("OSMODE", &readOnly), 33);
}

TEST_F(SlabCommandsTest, linked_floor_slab_sits_at_the_floor_on_its_level_layers) {
    SetSettingReal(SetupVar::SQPAV, 300.0);
    Dialog("152 check 1027 check 1023 click 4");
    PushAll({Square(0, 0, 500, 400), {"", ""}});
    CmdFloorSlab();
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    EXPECT_EQ(LayerOf(slab), "VELMFLOORSLAB$300");
    EXPECT_DOUBLE_EQ(InsertZ(slab), 300.0);
    CFALDA record;
    double E = 0;
    ASSERT_TRUE(ReadSlabRecord(slab, record, E));
    EXPECT_EQ(record.FlagWord(), 1);
    EXPECT_DOUBLE_EQ(record.loops->vertices->z, 575.0);
    EXPECT_EQ(Hatches("VELM3DFLOORSLAB_H$300"), 1);
    EXPECT_EQ(count("0=HATCH"), 1);
}

TEST_F(SlabCommandsTest, invalid_layer_key_keeps_the_dialog_open) {
    Dialog("152 edit 107 \"A<B\" click 4 edit 107 \"SLAB2\" click 4");
    PushAll({Square(0, 0, 500, 400), {"", ""}});
    CmdFloorSlab();
    bool refused = false;
    for (const auto& box : zcui::MessageBoxes())
        refused = refused || box.text == "Nazwa warstwy nie jest prawidłowa";
    EXPECT_TRUE(refused);
    EXPECT_EQ(SettingString(SetupVar::CLAYERSOL), "SLAB2");
    EXPECT_EQ(count("0=INSERT 8=SLAB2"), 1);
}

TEST_F(SlabCommandsTest, opening_object_is_put_on_the_slab_plane) {
    zcdbRegApp(kOpeningApp);
    const ads_point a{0, 0, 0}, b{200, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, -3, 1001, kOpeningApp, 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (const Point3& p : {Point3{100, 100, 0}, Point3{200, 100, 0}, Point3{200, 200, 0}}) {
        const ads_point q{p.x, p.y, p.z};
        tail->rbnext = zcutBuildList(1070, 1, 1011, q, 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    ads_name object;
    zcdbEntLast(object);
    Dialog("152 click 4");
    PushAll({Square(0, 0, 500, 400), {"", "Obiekt", "100,0", ""}});
    CmdFloorSlab();
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    CFALDA record;
    double E = 0;
    ASSERT_TRUE(ReadSlabRecord(slab, record, E));
    ASSERT_TRUE(record.loops->next);
    EXPECT_EQ(CountNodes(record.loops->next->vertices), 3);
    EXPECT_DOUBLE_EQ(record.loops->next->vertices->z, 275.0);
    resbuf* xdata = GetEntXData(object, kOpeningApp);
    VertexNode* polygon = ReadOpeningPolygon(xdata, nullptr);
    zcutRelRb(xdata);
    for (const VertexNode* v = polygon; v; v = v->next) EXPECT_DOUBLE_EQ(v->z, 275.0);
    FreeList(polygon);
}

TEST_F(SlabCommandsTest, roof_slabs_follow_each_other_until_enter_at_a_first_vertex) {
    Dialog("118 edit 104 \"100\" ok");
    PushAll({Square(0, 0, 400, 300), {"", "", ""}, Square(1000, 0, 1400, 300), {"", "", ""}, {""}});
    CmdRoofSlab();
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 2);
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    CFALDA record;
    double E = 0;
    ASSERT_TRUE(ReadSlabRecord(slab, record, E));
    EXPECT_NEAR(record.slope, 45.0, 1e-9);
    double top = 0;
    for (const VertexNode* v = record.loops->vertices; v; v = v->next) top = std::max(top, v->z);
    EXPECT_NEAR(top, 300.0, 1e-9);  // 100 % over the 300 of run from the gutter
    EXPECT_EQ(EdgeKeyOf(slab), "key_nes");
}

TEST_F(SlabCommandsTest, roof_slab_options_say_a_text_that_is_no_number_once_per_refused_ok) {
    const double thickness = SettingReal(SetupVar::CSPESS_TETTI);
    auto said = [] {
        int n = 0;
        for (const auto& box : zcui::MessageBoxes()) n += box.text == kInvalidValueMessage;
        return n;
    };
    for (const char* typed : {"abc", "12abc", "0x10"}) {
        const int before = said();
        Dialog(std::string("118 edit 103 \"") + typed + "\" ok cancel");
        CmdRoofSlab();
        EXPECT_EQ(said() - before, 1) << typed;
        ASSERT_FALSE(zcui::DialogsShown().empty());
        EXPECT_EQ(zcui::DialogsShown().back().result, IDCANCEL) << typed;
        EXPECT_EQ(SettingReal(SetupVar::CSPESS_TETTI), thickness) << typed;
    }
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(SlabCommandsTest, roof_slab_plane_cancelled_ends_without_that_slab) {
    Dialog("118 ok");
    PushAll({Square(0, 0, 400, 300), {"", "", "!cancel"}});
    CmdRoofSlab();
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(SlabCommandsTest, roof_slab_edge_option_writes_key_sup) {
    Dialog("118 check 1025 ok");
    PushAll({Square(0, 0, 400, 300), {"", "", "", ""}});
    CmdRoofSlab();
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    EXPECT_EQ(EdgeKeyOf(slab), "key_sup");
}

TEST_F(SlabCommandsTest, zprofile_flag_words_and_layers_follow_link_and_2d) {
    SetSettingReal(SetupVar::SQPAV, 0.0);
    struct Row {
        const char* dialog;
        int flagWord;
        const char* layer;
    };
    const Row rows[] = {{"315 click 4", 28, "3DSWALK"},
                        {"315 check 1027 click 4", 29, "VELM3DSWALK$0"},
                        {"315 uncheck 1027 check 1031 click 4", 30, "3DSWALK"}};
    for (const Row& row : rows) {
        Dialog(row.dialog);
        PushAll({Square(0, -300, 400, -100), {"", ""}});
        CmdZProfile();
        ads_name slab;
        ASSERT_TRUE(LastSlab(slab));
        CFALDA record;
        double E = 0;
        ASSERT_TRUE(ReadSlabRecord(slab, record, E));
        EXPECT_EQ(record.FlagWord(), row.flagWord) << row.dialog;
        EXPECT_EQ(LayerOf(slab), row.layer) << row.dialog;
        // The 2D representation: the plan outline in the block.
        EXPECT_EQ(CountOn(BlockOf(slab), "LINE", "2DSWALK"), row.flagWord == 30 ? 4 : 0) << row.dialog;
    }
}

TEST_F(SlabCommandsTest, zprofile_enter_in_the_dialog_stores_nothing) {
    Dialog("315 edit 103 \"55\" ok");
    CmdZProfile();
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::CSPESS_SIMIL), 10.0);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(SlabCommandsTest, zprofile_hatch_goes_on_its_hatch_layer_or_its_level_layer) {
    SetSettingReal(SetupVar::SQPAV, 0.0);
    Dialog("315 check 1023 click 4");
    PushAll({Square(0, -300, 400, -100), {"", ""}});
    CmdZProfile();
    EXPECT_EQ(Hatches("3DSWALK_H"), 1);
    Dialog("315 check 1027 click 4");
    PushAll({Square(0, 0, 400, 200), {"", ""}});
    CmdZProfile();
    EXPECT_EQ(Hatches("VELM3DSWALK_H$0"), 1);
    EXPECT_EQ(count("0=HATCH"), 2);
}

TEST_F(SlabCommandsTest, hatching_a_slab_twice_leaves_one_hatch_stretched_by_the_slope) {
    // A thick pitch and one of thickness 0, whose hatch lies on its outline.
    const double thicknesses[] = {30.0, 0.0};
    for (int i = 0; i < 2; ++i) {
        const double x = 1000.0 * i;
        CFALDA record;
        record.name = "ROOFSLAB";
        record.thickness = thicknesses[i];
        record.slope = 45.0;
        record.SetLoops(SlabLoops({{{x, 0, 0}, {x + 400, 0, 0}, {x + 400, 300, 300}, {x, 300, 300}}}));
        ads_name slab;
        ASSERT_TRUE(WriteSlab(record, slab));
        for (int run = 0; run < 2; ++run) {
            push(std::to_string(x + 200) + ",150");
            CmdHatchSlab();
        }
        EXPECT_EQ(Hatches("3DROOFSLAB_H"), i + 1) << thicknesses[i];
        ads_name hatch;
        zcdbEntLast(hatch);
        HatchXData data;
        FreeList(GetHatchData(hatch, data));
        EXPECT_NEAR(data.scale, GetScaleFactor(8) * std::sqrt(2.0), 1e-9);
        EXPECT_EQ(data.pattern, "VELTILE");
        EXPECT_EQ(data.kind, 1);
    }
    EXPECT_EQ(count("0=HATCH"), 2);
}

TEST_F(SlabCommandsTest, hatching_a_linked_flat_slab_uses_the_floor_layer_and_refuses_non_slabs) {
    SetSettingReal(SetupVar::SQPAV, 300.0);
    Dialog("152 check 1027 click 4");
    PushAll({Square(0, 0, 500, 400), {"", ""}});
    CmdFloorSlab();
    push("250,200");
    CmdHatchSlab();
    EXPECT_EQ(Hatches("VELM3DFLOORSLAB_H$300"), 1);

    const ads_point a{2000, 0, 0}, b{3000, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(line);
    zcutRelRb(line);
    push("2500,0");
    CmdHatchSlab();
    EXPECT_NE(transcript().find("\nWybrany obiekt nie jest płytą"), std::string::npos);
    EXPECT_EQ(count("0=HATCH"), 1);
}

TEST_F(SlabCommandsTest, roof_dialog_converts_the_slope_and_stores_only_on_ok) {
    SetSettingReal(SetupVar::CPENDENZAF, 30.0);
    zcui::InstallDialogDriver(118, [](zcui::DialogUser& user) {
        const double shown = std::stod(user.Text(104));
        user.Check(1028);
        EXPECT_NEAR(std::stod(user.Text(104)), std::atan(0.3) * 180.0 / std::numbers::pi, 1e-9);
        user.Check(1028, 0);
        EXPECT_NEAR(std::stod(user.Text(104)), shown, 1e-8);
        EXPECT_FALSE(user.Control(102)->IsWindowEnabled());
        user.Check(1023);
        EXPECT_TRUE(user.Control(102)->IsWindowEnabled());
        EXPECT_TRUE(user.Control(6)->IsWindowEnabled());
        user.Edit(103, "99");
        user.Cancel();
    });
    CmdRoofSlab();
    zcui::RemoveDialogDriver(118);
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::CSPESS_TETTI), 30.0);
    EXPECT_EQ(SettingInt(SetupVar::CTRATTEGGIO01), 0);

    // Degrees shown: a slope entered as 45 degrees is stored as 100 %.
    Dialog("118 check 1028 edit 104 \"45\" ok");
    push("");
    CmdRoofSlab();
    EXPECT_NEAR(SettingReal(SetupVar::CPENDENZAF), 100.0, 1e-9);
    EXPECT_EQ(SettingInt(SetupVar::PENDINGRADI), 1);
}

// The two option dialogs keep their fields in setting slots of their own;
// every field is given a value of its own (each box turned over) and must
// land in its slot.
TEST_F(SlabCommandsTest, option_dialogs_store_every_field_in_its_own_setting) {
    using namespace SetupVar;
    auto toggle = [](int id, int slot) {
        return (SettingInt(slot) ? " uncheck " : " check ") + std::to_string(id);
    };
    struct Box {
        int id, slot, before;
    };
    const std::vector<Box> slabBoxes = {{1025, S_INVISVERT, SettingInt(S_INVISVERT)},
                                        {1026, COSNAP, SettingInt(COSNAP)},
                                        {1027, CLEGAMEQP, SettingInt(CLEGAMEQP)},
                                        {1031, CGENERA2D, SettingInt(CGENERA2D)}};
    std::string line = "152 check 1023 edit 103 \"11\" edit 106 \"22\" edit 101 \"33\" edit 107 \"SLABX\"";
    line += " edit 102 \"VELTILE\"";
    for (const Box& b : slabBoxes) line += toggle(b.id, b.slot);
    Dialog(line + " click 4");
    CmdFloorSlab();
    EXPECT_DOUBLE_EQ(SettingReal(CSPESS_SOLAIO), 11.0);
    EXPECT_DOUBLE_EQ(SettingReal(CINTRADO), 22.0);
    EXPECT_DOUBLE_EQ(SettingReal(CANGCAMPS), 33.0);
    EXPECT_EQ(SettingString(CLAYERSOL), "SLABX");
    EXPECT_EQ(SettingString(CSTILESOLAIO), "VELTILE");
    EXPECT_EQ(SettingInt(CTRATTEGGIO01), 1);
    for (const Box& b : slabBoxes) EXPECT_EQ(SettingInt(b.slot), b.before ? 0 : 1) << b.id;

    const std::vector<Box> profileBoxes = {{1025, CSPIGINV_SIMIL, SettingInt(CSPIGINV_SIMIL)},
                                           {1027, CLINKQP_SIMIL, SettingInt(CLINKQP_SIMIL)},
                                           {1031, CRAPP2D_SIMIL, SettingInt(CRAPP2D_SIMIL)}};
    line = "315 check 1023 edit 103 \"44\" edit 106 \"55\" edit 101 \"66\" edit 1362 \"77\"";
    line += " edit 107 \"PROFX\" edit 102 \"VELTILE\"";
    for (const Box& b : profileBoxes) line += toggle(b.id, b.slot);
    Dialog(line + " click 4");
    CmdZProfile();
    EXPECT_DOUBLE_EQ(SettingReal(CSPESS_SIMIL), 44.0);
    EXPECT_DOUBLE_EQ(SettingReal(CQUOTAZ_SIMIL), 55.0);
    EXPECT_DOUBLE_EQ(SettingReal(CANGTOT_SIMIL), 66.0);
    EXPECT_DOUBLE_EQ(SettingReal(CFATSCALA_SIMIL), 77.0);
    EXPECT_EQ(SettingString(CLAYER_SIMIL), "PROFX");
    EXPECT_EQ(SettingString(CNOMEHATCH_SIMIL), "VELTILE");
    EXPECT_EQ(SettingInt(CEXECHATCH_SIMIL), 1);
    for (const Box& b : profileBoxes) EXPECT_EQ(SettingInt(b.slot), b.before ? 0 : 1) << b.id;
    EXPECT_EQ(count("0=INSERT"), 0);  // no outline was given
}

}  // namespace

// An outline whose record passes what one entity's xdata may hold: the
// slab used to end with nothing written and no word. A comb of `teeth`
// teeth 100 x 150 over a base 150 high: 2 + 4 * teeth vertices.
class LongOutlineSlabTest : public SlabCommandsTest {
protected:
    static std::vector<std::pair<double, double>> Comb(int teeth) {
        std::vector<std::pair<double, double>> pts{{0, 0}, {200.0 * teeth, 0}};
        for (int i = teeth - 1; i >= 0; --i) {
            pts.emplace_back(200.0 * i + 200, 300);
            pts.emplace_back(200.0 * i + 100, 300);
            pts.emplace_back(200.0 * i + 100, 150);
            pts.emplace_back(200.0 * i, 150);
        }
        return pts;
    }
    static void PushOutline(const std::vector<std::pair<double, double>>& pts) {
        for (const auto& [x, y] : pts) push(std::to_string(x) + "," + std::to_string(y));
    }
    // The slab's outline as read back, against the points given.
    static void ExpectOutline(const ads_name slab, const std::vector<std::pair<double, double>>& pts) {
        CFALDA record;
        double E = 0;
        ASSERT_TRUE(ReadSlabRecord(slab, record, E));
        ASSERT_NE(record.loops, nullptr);
        EXPECT_EQ(record.loops->next, nullptr);
        std::size_t i = 0;
        bool same = true;
        for (const VertexNode* v = record.loops->vertices; v; v = v->next, ++i)
            same = same && i < pts.size() && v->x == pts[i].first && v->y == pts[i].second;
        EXPECT_EQ(i, pts.size());
        EXPECT_TRUE(same);
        OwnedList<VertexNode> outline(GetSlabOutlineVertices(slab));
        EXPECT_EQ(CountNodes(outline.get()), static_cast<int>(pts.size()));
    }
};

// Just past what one entity's xdata holds, through the commands: the floor
// slab and the roof slab are both made and read back whole.
TEST_F(LongOutlineSlabTest, floor_and_roof_slabs_past_the_xdata_limit_are_made_by_the_commands) {
    const auto pts = Comb(150);
    Dialog("152 click 4");
    PushOutline(pts);
    push("");
    push("");
    CmdFloorSlab();
    ASSERT_EQ(count("0=INSERT 8=FLOORSLAB"), 1);
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    ExpectOutline(slab, pts);

    Dialog("118 ok");
    std::vector<std::pair<double, double>> moved;
    for (const auto& [x, y] : pts) moved.emplace_back(x + 1e5, y);
    PushOutline(moved);
    PushAll({{"", "", "", ""}});
    CmdRoofSlab();
    ASSERT_EQ(count("0=INSERT 8=ROOFSLAB"), 1);
    ASSERT_TRUE(LastSlab(slab));
    ExpectOutline(slab, moved);
}

TEST_F(LongOutlineSlabTest, a_slab_of_8000_vertices_is_written_whole_and_survives_a_save) {
    const int teeth = 2000;
    const auto pts = Comb(teeth);
    std::vector<LoopPoint> loop;
    for (const auto& [x, y] : pts) loop.push_back({x, y, 0.0});
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 20.0;
    record.SetLoops(SlabLoops({loop}));
    ads_name slab;
    ASSERT_TRUE(WriteSlab(record, slab));
    ExpectOutline(slab, pts);
    // The bottom and top faces each cover the comb exactly once; the side
    // faces and the carriers of the record cover nothing in plan.
    const double area = 200.0 * teeth * 150 + teeth * 100.0 * 150;
    double faces = 0.0;
    for (const BlockEntity& e : BlockOf(slab)) faces += e.type == "3DFACE" ? TriangleArea(e) : 0.0;
    EXPECT_NEAR(faces, 2 * area, 1e-6 * area);

    // Saved and read again, the record is still whole: its pieces travel
    // with the faces of the block.
    resbuf* list = zcdbEntGet(slab);
    const std::string handle = FindRbCode(list, 5)->resval.rstring;
    zcutRelRb(list);
    host::DxfLoadResult back = host::readDxfText(host::writeDxfText(db()));
    ASSERT_TRUE(back.db) << back.error;
    ZcDbDatabase* drawing = db();
    zcdbSetCurDwg(back.db.get());
    ads_name again;
    EXPECT_EQ(zcdbHandEnt(handle.c_str(), again), RTNORM);
    ExpectOutline(again, pts);
    zcdbSetCurDwg(drawing);
}

// A record that still fits stays whole on its INSERT: no carrier, no count.
TEST_F(LongOutlineSlabTest, an_outline_that_fits_keeps_its_record_on_the_insert) {
    const auto pts = Comb(100);
    Dialog("152 click 4");
    PushOutline(pts);
    push("");
    push("");
    CmdFloorSlab();
    ads_name slab;
    ASSERT_TRUE(LastSlab(slab));
    resbuf* list = GetEntXData(slab, kSlabApp);
    int pairs = 0, longs = 0;
    for (const resbuf* rb = FindXDataApp(list, kSlabApp); rb; rb = rb->rbnext) {
        pairs += rb->restype == 1011 ? 1 : 0;
        longs += rb->restype == 1071 ? 1 : 0;
    }
    zcutRelRb(list);
    EXPECT_EQ(pairs, static_cast<int>(pts.size()));
    EXPECT_EQ(longs, 0);
    // A carrier is the one face whose four corners are one point.
    for (const BlockEntity& e : BlockOf(slab))
        EXPECT_FALSE(e.type == "3DFACE" && PointsEqual(e.p[0], e.p[1], true) &&
                     PointsEqual(e.p[0], e.p[2], true));
}
