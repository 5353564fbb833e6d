// The stair commands run through the command processor: a stair from model
// lines with landings picked in the dialog loop, refusals, editing, and a
// stair turned back into its model lines.
#include "stairs/commands/stair_commands.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ui/driver.h"
#include "roofs/slab_block.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "store/velm_setup.h"
#include "tests/roofs/slab_fixture.h"
#include "tests/stairs/stair_models.h"
#include "tests/store/damaged_records.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

class StairCommands : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    static void Queue(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    // A straight flight of 16 risers from model lines, built with OK.
    static void MakeStraightStair() {
        ads_name set, first;
        DrawModel(StraightFlight(), set, first);
        zcedSSFree(set);
        Queue("226 check 1166 0 edit 1158 \"300\" edit 1180 \"300\" ok");
        run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", ""});
    }
};

// The stair INSERT's record, read back.
bool ReadStair(CSCALA& record) {
    ads_name last;
    if (zcdbEntLast(last) != RTNORM) return false;
    resbuf* apps = zcutBuildList(RTSTR, kStairApp, 0);
    resbuf* list = zcdbEntGetX(last, apps);
    zcutRelRb(apps);
    if (!list) return false;
    const resbuf* at = FindRbCode(list, 10);
    const resbuf* rotation = FindRbCode(list, 50);
    const bool ok = FindXDataApp(list, kStairApp) &&
                    record.LoadStairFromEntity(list, {at->resval.rpoint[0], at->resval.rpoint[1], 0.0},
                                               rotation ? rotation->resval.rreal : 0.0, -100);
    zcutRelRb(list);
    return ok;
}

TEST_F(StairCommands, model_lines_become_a_stair_with_the_landings_picked) {
    ads_name set, first;
    DrawModel(StraightFlight(), set, first);
    zcedSSFree(set);
    // The landing button twice; inside treads 3 and 8, one point on an edge.
    Queue("226 radio 1172 click 1177");
    Queue("226 click 1177");
    Queue("226 ok");
    run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", "", "50,75", "50,60", "", "50,225", ""});
    EXPECT_NE(transcript().find(kStairLandingOutsideMessage), std::string::npos);
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
    EXPECT_EQ(count("0=LINE 8=MODEL"), 0);
    CSCALA back;
    ASSERT_TRUE(ReadStair(back));
    EXPECT_EQ(back.structureType, 2);
    std::vector<int> landings;
    int i = 0;
    for (const StairElement* r = back.risers; r; r = r->next, ++i)
        if (r->landing) landings.push_back(i);
    EXPECT_EQ(landings, (std::vector<int>{2, 7}));
}

TEST_F(StairCommands, refusals_leave_the_model_lines) {
    // Only the first riser between the sides.
    for (const auto& e :
         {Line({0, 0, 0}, {110, 0, 0}), Line({0, 0, 0}, {0, 100, 0}), Line({110, 0, 0}, {110, 100, 0})}) {
        ads_point a{e.a.x, e.a.y, 0}, b{e.b.x, e.b.y, 0};
        resbuf* l = zcutBuildList(RTDXF0, "LINE", 8, "MODEL", 10, a, 11, b, 0);
        zcdbEntMake(l);
        zcutRelRb(l);
    }
    ads_point c{300, 0, 0};
    resbuf* arc = zcutBuildList(RTDXF0, "ARC", 8, "MODEL", 10, c, 40, 20.0, 50, 0.0, 51, 3.0, 0);
    zcdbEntMake(arc);
    zcutRelRb(arc);
    // The refusal fails the command.
    EXPECT_EQ(run({"VELMCREATESTAIR", "!pick 320,0", "!pick 50,0", "W", "-20,-20", "200,200", ""}), RTERROR);
    EXPECT_NE(transcript().find(kStairPickLineMessage), std::string::npos);
    EXPECT_NE(transcript().find(kStairTwoRisersMessage), std::string::npos);
    EXPECT_EQ(count("0=LINE 8=MODEL"), 3);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(StairCommands, edit_rebuilds_the_stair_in_place) {
    MakeStraightStair();
    ASSERT_EQ(count("0=INSERT 8=STAIRS"), 1);
    Queue("226 edit 1158 \"320\" ok");
    run({"VELMEDITSTAIR", "!pick 500,500", "!pick 50,0"});
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
    CSCALA back;
    ASSERT_TRUE(ReadStair(back));
    EXPECT_DOUBLE_EQ(back.floorDistance, 320.0);
    EXPECT_EQ(CountNodes(back.risers), 16);
    EXPECT_DOUBLE_EQ(back.risers->pointA.x, 0.0);
    EXPECT_DOUBLE_EQ(back.risers->pointA.y, 0.0);

    // Cancelled: the stair stays as it was.
    Queue("226 cancel");
    run({"VELMEDITSTAIR", "!pick 50,0"});
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
}

TEST_F(StairCommands, floor_distances_no_building_has_are_refused_by_the_options) {
    ads_name set, first;
    DrawModel(StraightFlight(), set, first);
    zcedSSFree(set);
    // Each refusal keeps the dialog open; left open, it is cancelled and the
    // model lines stay for the next try.
    for (const char* distance : {"1e308", "-1e308", "1e20", "0"}) {
        SCOPED_TRACE(distance);
        const std::size_t boxes = zcui::MessageBoxes().size();
        Queue(std::string("226 check 1166 0 edit 1158 \"") + distance + "\" ok");
        run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", ""});
        EXPECT_EQ(count("0=INSERT 8=STAIRS"), 0);
        ASSERT_GT(zcui::MessageBoxes().size(), boxes);
        EXPECT_EQ(zcui::MessageBoxes().back().text, "Wartość poza zakresem.");
    }
    Queue("226 check 1166 0 edit 1158 \"300\" edit 1180 \"300\" ok");
    run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", ""});
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
}

TEST_F(StairCommands, model_lines_come_back_where_the_stair_lies) {
    MakeStraightStair();
    ads_name stair;
    ASSERT_EQ(zcdbEntLast(stair), RTNORM);
    // Turned a quarter about its insertion point.
    resbuf* list = zcdbEntGet(stair);
    SetRbReal(list, 50, std::numbers::pi / 2.0);
    zcdbEntMod(list);
    zcutRelRb(list);
    // A line that is no stair is refused first.
    ads_point a{500, 0, 0}, b{600, 0, 0};
    resbuf* other = zcutBuildList(RTDXF0, "LINE", 8, "X", 10, a, 11, b, 0);
    zcdbEntMake(other);
    zcutRelRb(other);
    run({"VELMSTAIRMODEL", "!pick 550,0", "!pick -90,50"});
    EXPECT_NE(transcript().find(kStairNotAStairMessage), std::string::npos);
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_EQ(count("0=LINE 8=0 62=7"), 16);
    EXPECT_EQ(count("0=LINE 8=0 62=1"), 2);
    // The first riser now runs from the origin up the y axis.
    bool found = false;
    ads_name ent, next;
    for (bool more = zcdbEntNext(nullptr, ent) == RTNORM; more;
         more = zcdbEntNext(ent, next) == RTNORM && (ads_name_set(next, ent), true)) {
        resbuf* l = zcdbEntGet(ent);
        const resbuf* colour = FindRbCode(l, 62);
        const resbuf* p = FindRbCode(l, 10);
        const resbuf* q = FindRbCode(l, 11);
        if (colour && colour->resval.rint == 7 && p && q && std::fabs(p->resval.rpoint[0]) < 1e-9 &&
            std::fabs(p->resval.rpoint[1]) < 1e-9 && std::fabs(q->resval.rpoint[0]) < 1e-9 &&
            std::fabs(q->resval.rpoint[1] - 110.0) < 1e-9)
            found = true;
        zcutRelRb(l);
    }
    EXPECT_TRUE(found);
}

// A floor slab over the stair, the stair's opening cut into it.
bool MakeSlab(ads_name insert) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 25.0;
    DecodeSlabFlags(record, 0);
    record.SetLoops(SlabLoops({Rect(-100, -100, 300, 600, 300)}));
    MakeSlabLayerName(record);
    std::string block;
    resbuf* xdata = MakeSlabBlock(record, block, BridgeHoles(record.loops), 0.0);
    if (!xdata) return false;
    const ads_point at{0, 0, 0};
    resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, "FLOORSLAB", 10, at, 50, 0.0, 0);
    resbuf* tail = ins;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata;
    const int rc = zcdbEntMake(ins);
    zcutRelRb(ins);
    return rc == RTNORM && zcdbEntLast(insert) == RTNORM;
}

// The slab's loops: their count and the lowest y of the hole.
std::pair<int, double> SlabHole(const ads_name slab) {
    resbuf* list = GetEntXData(slab, kSlabApp);
    ContourNode* loops = ParseSlabLoops(FindXDataApp(list, kSlabApp));
    zcutRelRb(list);
    double low = 1e9;
    if (loops && loops->next)
        for (const VertexNode* v = loops->next->vertices; v; v = v->next) low = std::min(low, v->y);
    const int n = CountNodes(loops);
    FreeListOfLists(loops);
    return {n, low};
}

TEST_F(StairCommands, editing_moves_the_opening_and_a_failed_rebuild_changes_nothing) {
    ads_name set, first;
    DrawModel(StraightFlight(), set, first);
    zcedSSFree(set);
    Queue("226 check 1166 0 edit 1158 \"300\" edit 1180 \"300\" edit 1161 \"210\" edit 1162 \"25\" ok");
    run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", ""});
    ads_name stair, slab;
    ASSERT_EQ(zcdbEntLast(stair), RTNORM);
    ASSERT_TRUE(MakeSlab(slab));
    CutOpeningIntoSlab(stair, slab);
    // Treads from 65 up (300 - 25 - 210) start at the fourth riser.
    EXPECT_EQ(SlabHole(slab), std::make_pair(2, 90.0));

    // A lower lintel: treads from 125 up, from the seventh riser.
    Queue("226 edit 1161 \"150\" ok");
    run({"VELMEDITSTAIR", "!pick 50,0"});
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
    EXPECT_EQ(SlabHole(slab), std::make_pair(2, 180.0));

    // A stair that cannot be written leaves the old one and its opening.
    SetSettingString(SetupVar::SETSCA_LAYERBASE, "NO<LAYER");
    Queue("226 edit 1161 \"210\" ok");
    run({"VELMEDITSTAIR", "!pick 50,0"});
    EXPECT_NE(transcript().find("Nie można utworzyć schodów"), std::string::npos);
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1);
    EXPECT_EQ(SlabHole(slab), std::make_pair(2, 180.0));
}

// The drawing's settings read from a record that lost one value (the real
// before the text "HATCHFLOOR"): the slots from the gap on keep their
// defaults, which is said once, and the edited stair is still a stair on
// its layer, not one built from values taken from the wrong slots.
TEST_F(StairCommands, a_store_read_with_a_value_missing_keeps_its_defaults_and_the_stair_edits) {
    MakeStraightStair();
    ASSERT_EQ(count("0=INSERT 8=STAIRS"), 1);
    int text = -1;
    for (int i = 1; i < kSetupVarCount && text < 0; ++i)
        if (SetupVarDefinition(i).type == kVarText && std::string(SetupVarDefinition(i).text) == "HATCHFLOOR")
            text = i;
    ASSERT_GT(text, 0);
    ReadBackDamaged(OpenSetupObject(false), [text](DxfItems& items) {
        const std::size_t marker = FindDxfItem(items, 100, "VELM_SETUP");
        ASSERT_LT(marker + text, items.size());
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(marker + text));
    });
    const std::string repaired = "Uszkodzony rekord ustawień \"VELM_SETUP\"";
    EXPECT_NE(transcript().find(repaired), std::string::npos);
    EXPECT_EQ(SettingString(SetupVar::SETSCA_LAYERBASE), SetupVarDefinition(SetupVar::SETSCA_LAYERBASE).text);

    Queue("226 ok");
    run({"VELMEDITSTAIR", "!pick 50,0"});
    EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1) << transcript();
    EXPECT_EQ(count("0=INSERT"), 1);
    EXPECT_EQ(transcript().find(repaired), transcript().rfind(repaired));
}

}  // namespace
