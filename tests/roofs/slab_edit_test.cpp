// The slab and profile editors driven as a user would: the dialogs by the
// dialog driver, picks and drags from the input queue, and the edited
// element read back from the drawing.
#include "roofs/commands/slab_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/base/typed_number.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/ssget.h"
#include "host/ui/driver.h"
#include "host/ui/wnd.h"
#include "roofs/commands/edit_roof_points.h"
#include "roofs/commands/edit_slabs.h"
#include "roofs/commands/edit_zprofile.h"
#include "roofs/commands/floor_slab.h"
#include "roofs/commands/join_slabs.h"
#include "roofs/dialogs/dlg_eprofz.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_planes.h"
#include "store/setup_slots.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabEditTest : public SlabTest {
protected:
    void TearDown() override {
        zcui::RemoveDialogDriver(157);
        zcui::RemoveDialogDriver(316);
        SlabTest::TearDown();
    }
    static void Dialog(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    // A slab on `name` from the loops, flags from the word, at `base` on
    // `layer` (the name when empty).
    static void Slab(ads_name out, ContourNode* loops, int flagWord = 0, double thickness = 25.0,
                     const std::string& name = "FLOORSLAB", const std::string& layer = "",
                     double base = 0.0) {
        CFALDA record;
        record.name = name;
        record.thickness = thickness;
        DecodeSlabFlags(record, flagWord);
        record.SetLoops(loops);
        int kind = 0;
        const double slope = GetLoopSlope(loops->vertices, kind);
        if (kind == 1) record.slope = std::atan(slope / 100.0) * 180.0 / 3.14159265358979323846;
        ASSERT_TRUE(WriteSlab(record, out, layer, base));
    }
    struct Read {
        std::vector<std::vector<LoopPoint>> loops;
        int flagWord = 0;
        double thickness = 0.0;
        int edgeKey = 0;
        int hatchKind = 0;
    };
    static Read ReadBack(const ads_name slab) {
        Read r;
        CFALDA record;
        double E = 0;
        EXPECT_TRUE(ReadSlabRecord(slab, record, E));
        for (const ContourNode* k = record.loops; k; k = k->next) {
            r.loops.emplace_back();
            for (const VertexNode* v = k->vertices; v; v = v->next)
                r.loops.back().push_back({v->x, v->y, v->z, v->edgeFlag});
        }
        r.flagWord = record.FlagWord();
        r.thickness = record.thickness;
        r.edgeKey = record.edgeKey;
        r.hatchKind = record.hatch.kind;
        return r;
    }
    static bool Holds(const std::vector<LoopPoint>& loop, double x, double y, double z = NAN) {
        for (const LoopPoint& p : loop)
            if (std::fabs(p.x - x) < 1e-6 && std::fabs(p.y - y) < 1e-6 &&
                (std::isnan(z) || std::fabs(p.z - z) < 1e-6))
                return true;
        return false;
    }
    static std::string XDataText(const ads_name slab) {
        resbuf* list = GetEntXData(slab, kSlabApp);
        std::string text;
        for (const resbuf* rb = FindXDataApp(list, kSlabApp); rb; rb = rb->rbnext) {
            text += std::to_string(rb->restype) + ":";
            if (rb->restype == 1011)
                for (int i = 0; i < 3; ++i) text += std::to_string(rb->resval.rpoint[i]) + ",";
            else if (rb->restype == 1070)
                text += std::to_string(rb->resval.rint);
            else if (rb->restype == 1040)
                text += std::to_string(rb->resval.rreal);
            else if (rb->resval.rstring && (rb->restype == 1000 || rb->restype == 1002))
                text += rb->resval.rstring;
            text += " ";
        }
        zcutRelRb(list);
        return text;
    }
    // Takes the flag word out of the slab xdata, as old drawings hold it.
    static void StripFlagWord(const ads_name slab) {
        resbuf* list = GetEntXData(slab, kSlabApp);
        for (resbuf* rb = FindXDataApp(list, kSlabApp); rb && rb->rbnext; rb = rb->rbnext) {
            if (rb->restype == 1040 && rb->rbnext->restype == 1070) {
                resbuf* word = rb->rbnext;
                rb->rbnext = word->rbnext;
                word->rbnext = nullptr;
                zcutRelRb(word);
                break;
            }
        }
        ASSERT_EQ(zcdbEntMod(list), RTNORM);
        zcutRelRb(list);
    }
    static std::string LayerOfSlab(const ads_name slab) {
        resbuf* list = zcdbEntGet(slab);
        std::string layer;
        if (const resbuf* rb = FindRbCode(list, 8)) layer = rb->resval.rstring;
        zcutRelRb(list);
        return layer;
    }
    static bool Said(const std::string& text) { return transcript().find(text) != std::string::npos; }
    static int Times(const std::string& text) {
        int n = 0;
        for (std::size_t at = transcript().find(text); at != std::string::npos;
             at = transcript().find(text, at + 1))
            ++n;
        return n;
    }
};

// ---------------------------------------------------------------- VELMEDITSLABS

TEST_F(SlabEditTest, add_vertex_ignores_a_thickness_typed_in_the_dialog) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    Dialog("157 edit 1044 \"99\" click 8");
    push({"0,400", "500,0", "500,-100", ""});
    CmdEditSlabs();
    const Read r = ReadBack(slab);
    EXPECT_DOUBLE_EQ(r.thickness, 25.0);
    ASSERT_EQ(r.loops.size(), 1u);
    EXPECT_EQ(r.loops[0].size(), 5u);
    EXPECT_TRUE(Holds(r.loops[0], 500, -100, 275));
}

TEST_F(SlabEditTest, slab_of_no_thickness_from_the_floor_slab_command_takes_a_new_layer_key) {
    Dialog("152 edit 103 \"0\" edit 107 \"THIN\" click 4");
    push({"0,0", "1000,0", "1000,800", "0,800", "", ""});
    CmdFloorSlab();
    ads_name slab;
    ASSERT_EQ(zcdbEntLast(slab), RTNORM);
    ASSERT_EQ(ReadBack(slab).thickness, 0.0);
    // A magnitude no building has is still refused; the dialog stays open
    // for the thickness the slab has and the new key.
    Dialog("157 edit 1044 \"1e11\" ok edit 1044 \"0\" edit 107 \"THIN2\" ok");
    push("0,400");
    CmdEditSlabs();
    int refusals = 0;
    for (const auto& box : zcui::MessageBoxes()) refusals += box.text == OutOfRangeMessage();
    EXPECT_EQ(refusals, 1);
    const Read r = ReadBack(slab);
    EXPECT_DOUBLE_EQ(r.thickness, 0.0);
    EXPECT_EQ(LayerOfSlab(slab), "THIN2");
    ASSERT_EQ(r.loops.size(), 1u);
    EXPECT_EQ(r.loops[0].size(), 4u);
}

TEST_F(SlabEditTest, a_thickness_that_is_no_number_is_said_once_per_refused_ok) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    auto said = [] {
        int n = 0;
        for (const auto& box : zcui::MessageBoxes()) n += box.text == kInvalidValueMessage;
        return n;
    };
    // Leaving the field says nothing; each OK says it once and leaves the
    // dialog open, for the Cancel that keeps the slab as it was.
    const std::pair<const char*, int> runs[] = {
        {"157 edit 1044 \"abc\" ok cancel", 1},
        {"157 edit 1044 \"12abc\" ok cancel", 1},
        {"157 edit 1044 \"0x10\" ok cancel", 1},
        {"157 edit 1044 \"abc\" ok ok cancel", 2},
    };
    for (const auto& [line, times] : runs) {
        const int before = said();
        Dialog(line);
        push("0,400");
        CmdEditSlabs();
        EXPECT_EQ(said() - before, times) << line;
        ASSERT_FALSE(zcui::DialogsShown().empty());
        EXPECT_EQ(zcui::DialogsShown().back().result, IDCANCEL) << line;
        EXPECT_DOUBLE_EQ(ReadBack(slab).thickness, 25.0) << line;
    }
}

TEST_F(SlabEditTest, linked_flat_slab_shows_its_height_above_the_floor_and_ok_sets_it) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 900)}), 1, 25.0, "FLOORSLAB", "VELMFLOORSLAB$600", 600.0);
    std::string shown;
    bool slopeEnabled = true, heightEnabled = false;
    zcui::InstallDialogDriver(157, [&](zcui::DialogUser& user) {
        shown = user.Text(1042);
        slopeEnabled = user.Control(1043)->IsWindowEnabled();
        heightEnabled = user.Control(1042)->IsWindowEnabled();
        user.Edit(1042, "350");
        user.Ok();
    });
    push("0,400");
    CmdEditSlabs();
    EXPECT_NEAR(std::stod(shown), 300.0, 1e-9);
    EXPECT_FALSE(slopeEnabled);
    EXPECT_TRUE(heightEnabled);
    const Read r = ReadBack(slab);
    for (const LoopPoint& p : r.loops[0]) EXPECT_DOUBLE_EQ(p.z, 950.0);
    resbuf* list = zcdbEntGet(slab);
    EXPECT_DOUBLE_EQ(FindRbCode(list, 10)->resval.rpoint[2], 600.0);
    zcutRelRb(list);
}

TEST_F(SlabEditTest, slope_change_on_a_level_slab_says_so_and_changes_nothing) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    CFALDA record;
    AJIG_COP jig;
    ASSERT_TRUE(LoadSlabForEdit(slab, record, jig));
    push("0,0");
    EXPECT_FALSE(ChangeSlabSlope(jig, 40.0));
    EXPECT_TRUE(Said("Nie można modyfikować wartości nachylenia, jeśli jej pierwotna jest równa zero."));
    for (const VertexNode* v = jig.Outline(); v; v = v->next) EXPECT_DOUBLE_EQ(v->z, 275.0);
}

TEST_F(SlabEditTest, slope_change_turns_a_pitch_about_its_fixed_vertex) {
    ads_name slab;
    // 30 % rising in y from the gutter at y 0.
    Slab(slab, SlabLoops({{{0, 0, 0}, {600, 0, 0}, {600, 400, 120}, {0, 400, 120}}}));
    Dialog("157 edit 1043 \"50\" click 4");
    push({"0,200", "0,0"});
    CmdEditSlabs();
    const Read r = ReadBack(slab);
    EXPECT_TRUE(Holds(r.loops[0], 0, 0, 0));
    EXPECT_TRUE(Holds(r.loops[0], 600, 400, 200));
}

TEST_F(SlabEditTest, opening_of_two_points_is_refused_with_its_message) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    const std::string before = XDataText(slab);
    Dialog("157 click 12");
    // The jig takes Enter from the fourth vertex on: the third repeats the second.
    push({"0,400", "100,100", "300,100", "300,100", ""});
    CmdEditSlabs();
    EXPECT_TRUE(Said("\nNie ma wystarczająco dużo punktów"));
    EXPECT_EQ(XDataText(slab), before);
}

TEST_F(SlabEditTest, opening_by_points_lies_on_the_pitch) {
    ads_name slab;
    Slab(slab, SlabLoops({{{0, 0, 0}, {600, 0, 0}, {600, 400, 120}, {0, 400, 120}}}));
    Dialog("157 click 12");
    push({"0,200", "200,100", "400,100", "400,300", "200,300", ""});
    CmdEditSlabs();
    const Read r = ReadBack(slab);
    ASSERT_EQ(r.loops.size(), 2u);
    EXPECT_EQ(r.loops[1].size(), 4u);
    EXPECT_TRUE(Holds(r.loops[1], 400, 300, 90));
}

TEST_F(SlabEditTest, third_picture_chooses_the_upper_edges) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    int upper = 0, both = 1;
    zcui::InstallDialogDriver(157, [&](zcui::DialogUser& user) {
        user.Click(1040);
        upper = user.Checked(1028);
        both = user.Checked(1030);
        user.Ok();
    });
    push("0,400");
    CmdEditSlabs();
    EXPECT_EQ(upper, 1);
    EXPECT_EQ(both, 0);
    EXPECT_EQ(ReadBack(slab).edgeKey, 2);
}

TEST_F(SlabEditTest, profiles_and_slabs_without_flag_word_are_not_edited_as_slabs) {
    ads_name profile, old;
    Slab(profile, SlabLoops({Rect(0, -300, 400, -100, 0)}), 28, 10.0, "3DSWALK");
    Slab(old, SlabLoops({Rect(0, 0, 400, 200, 0)}));
    StripFlagWord(old);
    const std::string before = XDataText(profile) + XDataText(old);
    Dialog("157 ok");
    push({"0,-200", "0,100", "!cancel"});
    CmdEditSlabs();
    EXPECT_EQ(Times("Wybrany obiekt nie jest płytą"), 2);
    EXPECT_EQ(XDataText(profile) + XDataText(old), before);
}

// ---------------------------------------------------------------- hatches kept in step

class SlabHatchUpkeepTest : public SlabEditTest {
protected:
    void SetUp() override {
        SlabEditTest::SetUp();
        Dialog("152 check 1023 click 4");
        push({"0,0", "1000,0", "1000,800", "0,800", "", ""});
        CmdFloorSlab();
        resbuf* filter = zcutBuildList(-3, 1001, kSlabApp, 0);
        ads_name set;
        ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, set), RTNORM);
        zcutRelRb(filter);
        zcedSSName(set, 0, slab);
        zcedSSFree(set);
        ASSERT_EQ(count("0=HATCH"), 1);
    }
    // One hatch, found again over the slab's outline as it now is. (The
    // slab is picked on a diagonal of its faces: on its outline the newer
    // hatch would be picked.)
    void ExpectOneHatchOnTheOutline() {
        EXPECT_EQ(count("0=HATCH"), 1);
        EXPECT_NE(ReadBack(slab).hatchKind, 0);
    }
    ads_name slab{0, 0};
};

TEST_F(SlabHatchUpkeepTest, three_insertions_in_the_slab_dialog_leave_one_hatch) {
    Dialog("157 click 8");
    push({"500,400", "200,0", "200,-50", "1000,400", "1050,400", "500,800", "500,850", ""});
    CmdEditSlabs();
    EXPECT_EQ(ReadBack(slab).loops[0].size(), 7u);
    ExpectOneHatchOnTheOutline();
}

TEST_F(SlabHatchUpkeepTest, three_insertions_by_point_editing_leave_one_hatch) {
    push({"500,400", "Wstaw", "200,0", "200,-50", "1000,400", "1050,400", "500,800", "500,850", "",
          "!cancel"});
    CmdEditRoofPoints();
    EXPECT_EQ(ReadBack(slab).loops[0].size(), 7u);
    ExpectOneHatchOnTheOutline();
}

TEST_F(SlabHatchUpkeepTest, three_moves_in_one_command_leave_one_hatch) {
    push({"500,400", "1000,800", "", "0,0", "100,100", "0,800", "", "0,0", "-100,0", "0,0", "", "0,0",
          "0,-50", "!cancel"});
    CmdEditRoofPoints();
    const Read r = ReadBack(slab);
    EXPECT_TRUE(Holds(r.loops[0], 1100, 900));
    EXPECT_TRUE(Holds(r.loops[0], -100, 800));
    EXPECT_TRUE(Holds(r.loops[0], 0, -50));
    ExpectOneHatchOnTheOutline();
}

// ---------------------------------------------------------------- VELMEDITROOFP

TEST_F(SlabEditTest, point_editing_enter_without_choosing_rewrites_unchanged) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275), Rect(100, 100, 300, 300, 275, 0)}));
    const std::string before = XDataText(slab);
    push({"0,400", "", "0,0", "100,100", "!cancel"});
    CmdEditRoofPoints();
    EXPECT_EQ(XDataText(slab), before);
}

TEST_F(SlabEditTest, point_editing_a_vertex_named_twice_moves_once) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    // Typed without its height, then with it: the same vertex.
    push({"0,400", "1000,800", "1000,800,275", "", "0,0", "100,0", "!cancel"});
    CmdEditRoofPoints();
    EXPECT_TRUE(Said("Punkt został już wybrany"));
    EXPECT_TRUE(Holds(ReadBack(slab).loops[0], 1100, 800));
}

TEST_F(SlabEditTest, switching_from_a_profile_takes_none_of_its_flags) {
    ads_name profile, old;
    Slab(profile, SlabLoops({Rect(0, -300, 400, -100, 0)}), 29, 10.0, "3DSWALK", "VELM3DSWALK$0");
    Slab(old, SlabLoops({Rect(0, 0, 400, 200, 0)}), 0, 25.0, "FLOORSLAB");
    StripFlagWord(old);
    push({"0,-200", "Zmień", "0,100", "", "0,0", "0,0", "!cancel"});
    CmdEditRoofPoints();
    const Read r = ReadBack(old);
    EXPECT_EQ(r.flagWord, 0);
    resbuf* list = zcdbEntGet(old);
    EXPECT_STREQ(FindRbCode(list, 8)->resval.rstring, "FLOORSLAB");
    zcutRelRb(list);
}

TEST_F(SlabEditTest, vertex_inserted_into_an_opening_is_a_visible_edge_of_that_opening) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 1000, 800, 275), Rect(100, 100, 300, 300, 275, 0)}));
    push({"0,400", "Wstaw", "200,100", "200,150", "", "!cancel"});
    CmdEditRoofPoints();
    const Read r = ReadBack(slab);
    ASSERT_EQ(r.loops.size(), 2u);
    EXPECT_EQ(r.loops[0].size(), 4u);
    ASSERT_EQ(r.loops[1].size(), 5u);
    for (const LoopPoint& p : r.loops[1])
        if (std::fabs(p.x - 200) < 1e-9) {
            EXPECT_DOUBLE_EQ(p.y, 150.0);
            EXPECT_EQ(p.flag, 1);
        }
}

// ---------------------------------------------------------------- VELMJ3SLABS

class JoinSlabsTest : public SlabEditTest {
protected:
    // The main roof rising at 30 % from y 0, 1000 by 600.
    void Target() {
        Slab(target, SlabLoops({{{0, 0, 0}, {1000, 0, 0}, {1000, 600, 180}, {0, 600, 180}}}), 0, 20.0,
             "ROOFSLAB");
    }
    std::string State() { return XDataText(target) + XDataText(a) + XDataText(b); }
    ads_name target{0, 0}, a{0, 0}, b{0, 0};
};

TEST_F(JoinSlabsTest, dormer_pitches_cut_a_triangle_and_keep_their_hidden_edge) {
    Target();
    // Two pitches meeting at x 500, z 60 at their eaves and 100 at the ridge;
    // the first one's edge on x 400 hidden.
    Slab(a, SlabLoops({{{400, 100, 60}, {500, 100, 100}, {500, 500, 100}, {400, 500, 60, 0}}}), 0, 20.0,
         "ROOFSLAB");
    Slab(b, SlabLoops({{{500, 100, 100}, {600, 100, 60}, {600, 500, 60}, {500, 500, 100}}}), 0, 20.0,
         "ROOFSLAB");
    push({"0,300", "450,500", "550,500"});
    CmdJoin3Slabs();
    const Read t = ReadBack(target);
    ASSERT_EQ(t.loops.size(), 2u);
    ASSERT_EQ(t.loops[1].size(), 3u);
    EXPECT_TRUE(Holds(t.loops[1], 400, 200, 60));
    EXPECT_TRUE(Holds(t.loops[1], 500, 1000.0 / 3.0, 100));
    EXPECT_TRUE(Holds(t.loops[1], 600, 200, 60));
    const Read ra = ReadBack(a);
    EXPECT_TRUE(Holds(ra.loops[0], 400, 200, 60));
    EXPECT_TRUE(Holds(ra.loops[0], 500, 1000.0 / 3.0, 100));
    EXPECT_EQ(ra.loops[0][3].flag, 0);  // the hidden edge, in its own order
    EXPECT_TRUE(Holds(ReadBack(b).loops[0], 600, 200, 60));
}

TEST_F(JoinSlabsTest, target_and_a_slab_picked_twice_are_refused) {
    Target();
    Slab(a, SlabLoops({{{400, 100, 60}, {500, 100, 100}, {500, 500, 100}, {400, 500, 60}}}), 0, 20.0,
         "ROOFSLAB");
    const std::string before = XDataText(target) + XDataText(a);
    push({"0,300", "0,300", "450,500", "450,500", "!cancel"});
    CmdJoin3Slabs();
    EXPECT_TRUE(Said("Nie można zrzutować płyty docelowej"));
    EXPECT_TRUE(Said("Nie można wybrać pierwszej płyty dwukrotnie"));
    EXPECT_EQ(XDataText(target) + XDataText(a), before);
}

TEST_F(JoinSlabsTest, edges_parallel_to_the_target_give_their_message) {
    // A level target and level pitches: their side edges never meet it.
    Slab(target, SlabLoops({Rect(0, 0, 1000, 600, 0)}), 0, 20.0, "ROOFSLAB");
    Slab(a, SlabLoops({Rect(400, 100, 500, 500, 100)}), 0, 20.0, "ROOFSLAB");
    Slab(b, SlabLoops({Rect(500, 100, 600, 500, 100)}), 0, 20.0, "ROOFSLAB");
    const std::string before = State();
    push({"0,300", "450,500", "550,500"});
    CmdJoin3Slabs();
    EXPECT_TRUE(Said("Punkty podświetlonej płyty nie przecinają się z płytą docelową"));
    EXPECT_EQ(State(), before);
}

TEST_F(JoinSlabsTest, target_that_cannot_be_notched_leaves_all_three_slabs_as_they_were) {
    Target();
    Slab(a, SlabLoops({{{400, 100, 60}, {500, 100, 100}, {500, 500, 100}, {400, 500, 60}}}), 0, 20.0,
         "ROOFSLAB");
    // The second pitch reaches past the target: one end outside, and the
    // first's joined edge crosses no outline edge.
    Slab(b, SlabLoops({{{500, 100, 100}, {1100, 100, 40}, {1100, 500, 40}, {500, 500, 100}}}), 0, 20.0,
         "ROOFSLAB");
    const std::string before = State();
    push({"0,300", "450,500", "800,500"});
    CmdJoin3Slabs();
    EXPECT_TRUE(Said("Nie jest możliwe modyfikowanie docelowej płyty"));
    EXPECT_EQ(State(), before);
}

// ---------------------------------------------------------------- VELMEZPROF

TEST_F(SlabEditTest, profile_editing_refuses_a_slab) {
    ads_name slab;
    Slab(slab, SlabLoops({Rect(0, 0, 400, 200, 0)}));
    push({"0,100", "!cancel"});
    CmdEditZProfile();
    EXPECT_TRUE(Said("Wybrany obiekt nie jest prawidłowym profilem"));
}

TEST_F(SlabEditTest, profile_slope_shown_in_degrees_comes_back_in_percent) {
    int degrees = 1;
    SetSettingInt(SetupVar::PENDINGRADI, degrees);
    CDlgEProfz dialog;
    EProfzValues values;
    values.layer = "SWALK";
    values.slopePercent = 100.0;
    values.thickness = 10.0;
    dialog.SetValues(values);
    dialog.SetZeroSlope(false);
    std::string shown;
    zcui::InstallDialogDriver(316, [&](zcui::DialogUser& user) {
        shown = user.Text(1043);
        user.Edit(1043, "45");
        user.Ok();
    });
    ASSERT_EQ(RunModuleDialog(dialog), IDOK);
    EXPECT_NEAR(std::stod(shown), 45.0, 1e-9);
    EXPECT_NEAR(dialog.GetValues().slopePercent, 100.0, 1e-9);
}

TEST_F(SlabEditTest, level_profile_enables_only_its_base_height) {
    ads_name profile;
    Slab(profile, SlabLoops({Rect(0, -300, 400, -100, 0)}), 28, 10.0, "3DSWALK");
    bool base = false, slope = true, change = true;
    zcui::InstallDialogDriver(316, [&](zcui::DialogUser& user) {
        base = user.Control(1042)->IsWindowEnabled();
        slope = user.Control(1043)->IsWindowEnabled();
        change = user.Control(4)->IsWindowEnabled();
        user.Edit(1044, "20");
        user.Ok();
    });
    push("0,-200");
    CmdEditZProfile();
    EXPECT_TRUE(base);
    EXPECT_FALSE(slope);
    EXPECT_FALSE(change);
    const Read r = ReadBack(profile);
    EXPECT_DOUBLE_EQ(r.thickness, 20.0);
    EXPECT_EQ(r.flagWord, 28);
}

TEST_F(SlabEditTest, profile_opening_from_an_outline_keeps_every_vertex) {
    ads_name profile;
    Slab(profile, SlabLoops({Rect(0, -300, 400, -100, 0)}), 28, 10.0, "3DSWALK");
    resbuf* pl = zcutBuildList(RTDXF0, "LWPOLYLINE", 8, "0", 90, 4, 70, 1, 0);
    resbuf* tail = pl;
    while (tail->rbnext) tail = tail->rbnext;
    for (const auto& p : {std::pair{100.0, -250.0}, {200.0, -250.0}, {200.0, -150.0}, {100.0, -150.0}}) {
        const ads_point q{p.first, p.second, 0};
        tail->rbnext = zcutBuildList(10, q, 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    ASSERT_EQ(zcdbEntMake(pl), RTNORM);
    zcutRelRb(pl);
    Dialog("316 click 12");
    push({"0,-200", "Kontur", "!pick 150,-250"});
    CmdEditZProfile();
    const Read r = ReadBack(profile);
    ASSERT_EQ(r.loops.size(), 2u);
    EXPECT_EQ(r.loops[1].size(), 4u);
}

}  // namespace
