// The floor commands driven through the input queue, on the current
// document's drawing, with selections and picks answered by test doubles.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/ed/transcript.h"
#include "settings/floor_cmds_run.h"
#include "settings/floors_services.h"

namespace {

class FloorCommands : public ::testing::Test {
protected:
    std::unique_ptr<ZcDbDatabase> drawing = std::make_unique<ZcDbDatabase>();
    ZcDbDatabase* db = drawing.get();
    VELM_PIANI floors;
    double sqpav = 0.0;
    bool levelsOff = false;
    int tilemode = 1, cvport = 2;
    std::vector<ZcDbObjectId> selection;
    bool cancelSelection = false;
    std::vector<std::pair<int, ZcDbObjectId>> picks;
    std::vector<std::string> alerts, commands;
    std::pair<std::string, std::vector<ZcDbObjectId>> handed;

    void SetUp() override {
        host::resetEditorSession();
        floors.Reset();
        FloorServices s = DefaultFloorServices();
        s.database = [this] { return db; };
        s.currentFloor = [this] { return sqpav; };
        s.setCurrentFloor = [this](double z) { sqpav = z; };
        s.unitFactor = [] { return 1.0; };
        s.levelsOff = [this] { return levelsOff; };
        s.editFloors = [this](const std::function<void(VELM_PIANI&)>& f) { f(floors); };
        s.tilemode = [this] { return tilemode; };
        s.cvport = [this] { return cvport; };
        s.selectObjects = [this]() -> std::optional<std::vector<ZcDbObjectId>> {
            if (cancelSelection)
                return std::nullopt;
            return selection;
        };
        s.selectViewports = [this](const std::string&, const std::string&) {
            return std::optional<std::vector<ZcDbObjectId>>(selection);
        };
        s.pickEntity = [this](const std::string&, ZcDbObjectId& id) {
            if (picks.empty())
                return static_cast<int>(RTCAN);
            auto [status, picked] = picks.front();
            picks.erase(picks.begin());
            id = picked;
            return status;
        };
        s.alert = [this](const std::string& t) { alerts.push_back(t); };
        s.commandOnSelection = [this](const std::string& c, const std::vector<ZcDbObjectId>& ids) {
            handed = {c, ids};
        };
        s.runCommand = [this](const std::vector<std::string>& a) { commands.push_back(a.front()); };
        SetFloorServices(std::move(s));
    }
    void TearDown() override {
        SetFloorServices(DefaultFloorServices());
        host::resetEditorSession();
    }

    void feed(std::initializer_list<const char*> lines) {
        for (const char* l : lines)
            curDoc()->inputQueue().pushLine(l);
    }
    static const std::string& transcript() { return host::transcript().text(); }

    ZcDbObjectId layer(const std::string& name) {
        ZcDbLayerTable* t = nullptr;
        EXPECT_EQ(db->getLayerTable(t, ZcDb::kForWrite), Zcad::eOk);
        auto* rec = new ZcDbLayerTableRecord;
        rec->setName(name);
        ZcDbObjectId id;
        EXPECT_EQ(t->add(id, rec), Zcad::eOk);
        rec->close();
        t->close();
        return id;
    }
    ZcDbObjectId append(ZcDbEntity* e, ZcDbObjectId space = {}) {
        ZcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(zcdbOpenObject(ms, space.isNull() ? db->modelSpaceId() : space, ZcDb::kForWrite), Zcad::eOk);
        ZcDbObjectId id;
        EXPECT_EQ(ms->appendZcDbEntity(id, e), Zcad::eOk);
        e->close();
        ms->close();
        return id;
    }
    ZcDbObjectId line(const std::string& layerName, double z) {
        auto* l = new ZcDbLine({0, 0, z}, {1, 0, z});
        l->setLayer(layerName);
        return append(l);
    }
    std::pair<std::string, double> lineState(ZcDbObjectId id) {
        ZcDbLine* l = nullptr;
        EXPECT_EQ(zcdbOpenObject(l, id, ZcDb::kForRead, true), Zcad::eOk);
        std::pair<std::string, double> s{l->isErased() ? "erased" : l->layer(), l->startPoint().z};
        l->close();
        return s;
    }
};

}  // namespace

TEST_F(FloorCommands, assign_z_moves_lines_and_leaves_polylines) {
    ZcDbObjectId l = line("0", 300);
    auto* poly = new ZcDb2dPolyline;
    ZcDbObjectId p = append(poly);
    selection = {l, p};
    feed({"0.0"});
    CmdAssignZ();
    EXPECT_EQ(lineState(l).second, 0.0);
    ZcDbLine* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, l, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(back->endPoint().z, 0.0);
    back->close();

    feed({"25"});
    CmdMoveZ();
    EXPECT_EQ(lineState(l).second, 25.0);
    cancelSelection = true;
    feed({"25"});
    CmdMoveZ();
    EXPECT_EQ(lineState(l).second, 25.0);
}

TEST_F(FloorCommands, floor_commands_refuse_when_levels_are_off) {
    levelsOff = true;
    CmdCurrentFloor();
    CmdFloorTransfer();
    EXPECT_NE(transcript().find("system wielopodłogowy jest wyłączony"), std::string::npos);
    EXPECT_EQ(sqpav, 0.0);
}

TEST_F(FloorCommands, current_floor_from_a_pick_and_a_pick_without_level) {
    layer("VELMA$300");
    layer("PLAIN");
    picks = {{RTNORM, line("VELMA$300", 300)}};
    CmdCurrentFloor();
    EXPECT_EQ(sqpav, 300.0);
    picks = {{RTNORM, line("PLAIN", 0)}};
    CmdCurrentFloor();
    EXPECT_EQ(sqpav, 300.0);
    EXPECT_NE(transcript().find("nie jest identyfikowany jako podłoga"), std::string::npos);
}

TEST_F(FloorCommands, switching_off_the_current_floor_warns_and_freezes_it) {
    layer("VELMA$0");
    picks = {{RTNORM, line("VELMA$0", 0)}};
    CmdFloorOff();
    EXPECT_EQ(alerts, std::vector<std::string>{"Ostrzeżenie: aktualna podłoga zostanie wyłączony"});
    EXPECT_FALSE(floors.piani.floors[0].visible);
    ZcDbLayerTableRecord* rec = nullptr;
    ZcDbLayerTable* t = nullptr;
    db->getLayerTable(t, ZcDb::kForRead);
    ASSERT_EQ(t->getAt("VELMA$0", rec, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(rec->isFrozen());
    rec->close();
    t->close();
    EXPECT_EQ(commands, std::vector<std::string>{"_REGEN"});
}

TEST_F(FloorCommands, whole_floor_move_with_a_single_floor_moves_and_relinks) {
    layer("VELMA$300");
    layer("LINKED");
    layer("OTHER$300");
    floors.piani.floors.push_back([] {
        AA_PIANO f;
        f.elevation = 300;
        f.height = 280;
        f.layers = {"LINKED"};
        return f;
    }());
    ZcDbObjectId onLevel = line("VELMA$300", 300);
    ZcDbObjectId onLinked = line("LINKED", 300);
    ZcDbObjectId other = line("OTHER$300", 300);
    // Enter at the selection: the one floor found in layer names is taken.
    feed({"600", "Tak"});
    CmdFloorTransfer();
    EXPECT_NE(transcript().find("Tylko podłoga na wysokości 300 zawiera obiekty"), std::string::npos);
    EXPECT_EQ(lineState(onLevel), (std::pair<std::string, double>{"VELMA$600", 600}));
    EXPECT_EQ(lineState(onLinked), (std::pair<std::string, double>{"LINKED", 600}));
    // Not moved (no "VELM" prefix), and so not erased either.
    EXPECT_EQ(lineState(other), (std::pair<std::string, double>{"OTHER$300", 300}));
    EXPECT_EQ(sqpav, 600.0);
    EXPECT_FALSE(floors.FindFloorByElevation(300));
    const AA_PIANO* moved = floors.FindFloorByElevation(600);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->layers, std::vector<std::string>{"LINKED"});
    EXPECT_EQ(moved->height, 280.0);
}

TEST_F(FloorCommands, selection_copy_keeps_the_original_and_a_cancel_changes_nothing) {
    layer("VELMA$0");
    ZcDbObjectId a = line("VELMA$0", 0);
    selection = {a};
    feed({"300", "", ""});  // target, No to deleting, No to changing floor
    CmdFloorTransfer();
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$300", 300}));
    EXPECT_EQ(sqpav, 0.0);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ms->entityIds(true).size(), 2u);
    ms->close();

    // A cancelled question ends without change.
    CopyToFloor(kFloorAsk, false, 0, 0, "", &selection);  // the queue is empty: cancel
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$300", 300}));
    feed({"600"});
    CopyToFloor(kFloorAsk, false, 0, 0, "", &selection);
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$300", 300}));
}

TEST_F(FloorCommands, target_floor_from_a_picked_entity_after_a_miss) {
    layer("VELMA$0");
    layer("VELMB$500");
    ZcDbObjectId a = line("VELMA$0", 0);
    ZcDbObjectId target = line("VELMB$500", 500);
    selection = {a};
    picks = {{RTERROR, {}}, {RTNORM, target}};
    feed({"", "Tak"});
    CmdFloorTransfer();
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$500", 500}));
    EXPECT_EQ(sqpav, 500.0);
}

TEST_F(FloorCommands, viewport_scale_fifty_in_centimetres) {
    tilemode = 0;
    cvport = 1;
    auto* vp = new ZcDbViewport;
    ZcDbObjectId id = append(vp, db->paperSpaceId());
    selection = {id};
    feed({"50"});
    CmdViewportScale();
    ZcDbViewport* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_DOUBLE_EQ(back->customScale(), 0.2);
    back->close();
    EXPECT_TRUE(commands.empty());

    tilemode = 1;
    CmdViewportScale();
    EXPECT_NE(transcript().find("nie może być stosowane w obszarze modelu"), std::string::npos);
}

TEST_F(FloorCommands, whole_floor_is_found_near_the_level_its_text_reads_back_as) {
    layer("LINKED");
    AA_PIANO stored;
    stored.elevation = 300.00000001;
    stored.layers = {"LINKED"};
    floors.piani.floors.push_back(stored);
    ZcDbObjectId onLinked = line("LINKED", 300);

    CopyToFloor(kFloorCopy, true, 300, 600, "300", nullptr);
    EXPECT_TRUE(floors.FindFloorNear(300));  // a copy keeps the source floor
    EXPECT_NEAR(lineState(onLinked).second, 600.0, 1e-6);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    const auto ids = ms->entityIds(true);
    ms->close();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_NEAR(lineState(ids[1]).second, 300.0, 1e-6);  // the duplicate stays

    CopyToFloor(kFloorMove, true, 300, 900, "300", nullptr);
    EXPECT_FALSE(floors.FindFloorNear(300));
    ASSERT_TRUE(floors.FindFloorNear(900));
    EXPECT_EQ(floors.FindFloorNear(900)->layers, std::vector<std::string>{"LINKED"});
    EXPECT_FALSE(lineState(ids[1]).first == "erased");
}

TEST_F(FloorCommands, floor_selection_gathers_level_and_linked_layers_of_that_floor_only) {
    layer("VELMA$300");
    layer("VELMA$3000");
    layer("LINKED");
    AA_PIANO f;
    f.elevation = 300;
    f.layers = {"linked"};
    floors.piani.floors.push_back(f);
    ZcDbObjectId a = line("VELMA$300", 300);
    ZcDbObjectId b = line("LINKED", 300);
    line("VELMA$3000", 3000);
    picks = {{RTNORM, a}};
    feed({"Przesuń"});
    CmdFloorSelect();
    EXPECT_EQ(handed.first, "_MOVE");
    EXPECT_EQ(handed.second.size(), 2u);
    EXPECT_NE(std::find(handed.second.begin(), handed.second.end(), b), handed.second.end());

    handed = {};
    picks = {{RTNORM, a}};
    CmdFloorSelect();  // the keyword question cancelled: nothing handed on
    EXPECT_TRUE(handed.first.empty());
}
