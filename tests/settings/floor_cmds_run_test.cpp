// The floor commands driven through the input queue, on the current
// document's drawing: selections and picks answered as a user does.
#include "settings/floor_cmds_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbobjptr.h"
#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "settings/editor_steps.h"
#include "tests/host/win_testdir.h"
#include "tests/settings/drawing_fixture.h"
#include "tests/settings/floor_host.h"

namespace {

class FloorCommands : public DrawingSettings {
protected:
    std::unique_ptr<CommandsHeard> heard;
    std::vector<std::pair<ZcDbObjectId, double>> rows;  // each line's y, for picks

    void SetUp() override {
        DrawingSettings::SetUp();
        host::transcript().clear();
        heard = std::make_unique<CommandsHeard>();
    }
    void TearDown() override {
        heard.reset();
        DrawingSettings::TearDown();
    }

    // The next pick prompt picks that line (a point far off misses).
    void pick(ZcDbObjectId id) {
        for (const auto& [line, y] : rows)
            if (line == id) curDoc()->inputQueue().pushPick(0.5, y);
    }
    static void SetShort(const char* name, short value) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        ASSERT_EQ(zcedSetVar(name, &rb), RTNORM) << name;
    }
    void miss() { curDoc()->inputQueue().pushPick(500, 500); }
    static void editFloors(const std::function<void(VELM_PIANI&)>& edit) { EditFloors(edit); }

    void feed(std::initializer_list<const char*> lines) {
        for (const char* l : lines) curDoc()->inputQueue().pushLine(l);
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
        EXPECT_EQ(zcdbOpenObject(ms, space.isNull() ? db->modelSpaceId() : space, ZcDb::kForWrite),
                  Zcad::eOk);
        ZcDbObjectId id;
        EXPECT_EQ(ms->appendZcDbEntity(id, e), Zcad::eOk);
        e->close();
        ms->close();
        return id;
    }
    ZcDbObjectId line(const std::string& layerName, double z) {
        const double y = 10.0 * static_cast<double>(rows.size());
        auto* l = new ZcDbLine({0, y, z}, {1, y, z});
        l->setLayer(layerName);
        const ZcDbObjectId id = append(l);
        rows.emplace_back(id, y);
        return id;
    }
    int layersNamed(const std::string& prefix) {
        ZcDbLayerTable* t = nullptr;
        EXPECT_EQ(db->getLayerTable(t, ZcDb::kForRead), Zcad::eOk);
        const std::vector<ZcDbObjectId> ids = t->recordIds(true);
        t->close();
        int count = 0;
        for (ZcDbObjectId id : ids) {
            ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, ZcDb::kForRead);
            if (rec && rec->name().starts_with(prefix)) ++count;
        }
        return count;
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
    feed({"0.0"});
    AnswerSelection({l, p});
    CmdAssignZ();
    EXPECT_EQ(lineState(l).second, 0.0);
    ZcDbLine* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, l, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(back->endPoint().z, 0.0);
    back->close();

    feed({"25"});
    AnswerSelection({l, p});
    CmdMoveZ();
    EXPECT_EQ(lineState(l).second, 25.0);
    feed({"25"});
    curDoc()->inputQueue().pushCancel();
    CmdMoveZ();
    EXPECT_EQ(lineState(l).second, 25.0);
}

TEST_F(FloorCommands, floor_commands_refuse_when_levels_are_off) {
    SetSettingInt(SetupVar::VELMLAYERQP, 1);
    CmdCurrentFloor();
    CmdFloorTransfer();
    EXPECT_NE(transcript().find("system wielopodłogowy jest wyłączony"), std::string::npos);
    EXPECT_EQ(StoredCurrentFloor(), 0.0);
}

TEST_F(FloorCommands, current_floor_from_a_pick_and_a_pick_without_level) {
    layer("VELMA$300");
    layer("PLAIN");
    pick(line("VELMA$300", 300));
    CmdCurrentFloor();
    EXPECT_EQ(StoredCurrentFloor(), 300.0);
    pick(line("PLAIN", 0));
    CmdCurrentFloor();
    EXPECT_EQ(StoredCurrentFloor(), 300.0);
    EXPECT_NE(transcript().find("nie jest identyfikowany jako podłoga"), std::string::npos);
}

TEST_F(FloorCommands, switching_off_the_current_floor_warns_and_freezes_it) {
    layer("VELMA$0");
    pick(line("VELMA$0", 0));
    zcui::QueueMessageBoxAnswer(IDOK);
    CmdFloorOff();
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Ostrzeżenie: aktualna podłoga zostanie wyłączony");
    EXPECT_FALSE(StoredFloors().piani.floors[0].visible);
    ZcDbLayerTableRecord* rec = nullptr;
    ZcDbLayerTable* t = nullptr;
    db->getLayerTable(t, ZcDb::kForRead);
    ASSERT_EQ(t->getAt("VELMA$0", rec, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(rec->isFrozen());
    rec->close();
    t->close();
    EXPECT_EQ(heard->names, std::vector<std::string>{"REGEN"});
}

TEST_F(FloorCommands, whole_floor_move_with_a_single_floor_moves_and_relinks) {
    layer("VELMA$300");
    layer("LINKED");
    layer("OTHER$300");
    editFloors([](VELM_PIANI& floors) {
        AA_PIANO f;
        f.elevation = 300;
        f.height = 280;
        f.layers = {"LINKED"};
        floors.piani.floors.push_back(f);
    });
    ZcDbObjectId onLevel = line("VELMA$300", 300);
    ZcDbObjectId onLinked = line("LINKED", 300);
    ZcDbObjectId other = line("OTHER$300", 300);
    // Enter at the selection: the one floor found in layer names is taken.
    feed({"", "600", "Tak"});
    CmdFloorTransfer();
    EXPECT_NE(transcript().find("Tylko podłoga na wysokości 300 zawiera obiekty"), std::string::npos);
    EXPECT_EQ(lineState(onLevel), (std::pair<std::string, double>{"VELMA$600", 600}));
    EXPECT_EQ(lineState(onLinked), (std::pair<std::string, double>{"LINKED", 600}));
    // Not moved (no "VELM" prefix), and so not erased either.
    EXPECT_EQ(lineState(other), (std::pair<std::string, double>{"OTHER$300", 300}));
    EXPECT_EQ(StoredCurrentFloor(), 600.0);
    VELM_PIANI floors = StoredFloors();
    EXPECT_FALSE(floors.FindFloorByElevation(300));
    const AA_PIANO* moved = floors.FindFloorByElevation(600);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->layers, std::vector<std::string>{"LINKED"});
    EXPECT_EQ(moved->height, 280.0);
}

TEST_F(FloorCommands, selection_copy_keeps_the_original_and_a_cancel_changes_nothing) {
    layer("VELMA$0");
    ZcDbObjectId a = line("VELMA$0", 0);
    AnswerSelection({a});
    feed({"300", "", ""});  // target, No to deleting, No to changing floor
    CmdFloorTransfer();
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$300", 300}));
    EXPECT_EQ(StoredCurrentFloor(), 0.0);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ms->entityIds(true).size(), 2u);
    ms->close();

    // A cancelled target ends without change; a cancelled yes/no question
    // about deleting the old floor moves, as a "Tak" does.
    const std::vector<ZcDbObjectId> selection = {a};
    CopyToFloor(kFloorAsk, false, 0, 0, "", &selection);  // the queue is empty: cancel
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$300", 300}));
    feed({"600"});
    CopyToFloor(kFloorAsk, false, 0, 0, "", &selection);
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$600", 600}));
    EXPECT_EQ(StoredCurrentFloor(), 600.0);
}

TEST_F(FloorCommands, target_floor_from_a_picked_entity_after_a_miss) {
    layer("VELMA$0");
    layer("VELMB$500");
    ZcDbObjectId a = line("VELMA$0", 0);
    ZcDbObjectId target = line("VELMB$500", 500);
    AnswerSelection({a});
    feed({""});
    miss();
    pick(target);
    feed({"Tak"});
    CmdFloorTransfer();
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$500", 500}));
    EXPECT_EQ(StoredCurrentFloor(), 500.0);
}

TEST_F(FloorCommands, viewport_scale_fifty_in_centimetres) {
    SetShort("TILEMODE", 0);
    SetShort("CVPORT", 1);
    auto* vp = new ZcDbViewport;
    ZcDbObjectId id = append(vp, db->paperSpaceId());
    feed({"50"});
    AnswerSelection({id});
    CmdViewportScale();
    ZcDbViewport* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_DOUBLE_EQ(back->customScale(), 0.2);
    back->close();
    EXPECT_TRUE(heard->names.empty());

    SetShort("TILEMODE", 1);
    CmdViewportScale();
    EXPECT_NE(transcript().find("nie może być stosowane w obszarze modelu"), std::string::npos);
}

TEST_F(FloorCommands, whole_floor_is_found_near_the_level_its_text_reads_back_as) {
    layer("LINKED");
    AA_PIANO stored;
    stored.elevation = 300.00000001;
    stored.layers = {"LINKED"};
    editFloors([&](VELM_PIANI& floors) { floors.piani.floors.push_back(stored); });
    ZcDbObjectId onLinked = line("LINKED", 300);

    CopyToFloor(kFloorCopy, true, 300, 600, "300", nullptr);
    EXPECT_TRUE(StoredFloors().FindFloorNear(300));  // a copy keeps the source floor
    EXPECT_NEAR(lineState(onLinked).second, 600.0, 1e-6);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    const auto ids = ms->entityIds(true);
    ms->close();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_NEAR(lineState(ids[1]).second, 300.0, 1e-6);  // the duplicate stays

    CopyToFloor(kFloorMove, true, 300, 900, "300", nullptr);
    VELM_PIANI floors = StoredFloors();
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
    editFloors([&](VELM_PIANI& floors) { floors.piani.floors.push_back(f); });
    ZcDbObjectId a = line("VELMA$300", 300);
    ZcDbObjectId b = line("LINKED", 300);
    line("VELMA$3000", 3000);
    pick(a);
    feed({"Przesuń"});
    CmdFloorSelect();
    // The move starts with the floor's entities selected (and asks for its
    // base point, which nobody gives).
    EXPECT_EQ(heard->names, std::vector<std::string>{"MOVE"});
    const std::vector<ZcDbObjectId> handed = PreviousSelection();
    EXPECT_EQ(handed.size(), 2u);
    EXPECT_NE(std::find(handed.begin(), handed.end(), b), handed.end());

    heard->names.clear();
    pick(a);
    CmdFloorSelect();  // the keyword question cancelled: nothing handed on
    EXPECT_TRUE(heard->names.empty());
}

// Level layers are named by the layer service, never by hand.
TEST_F(FloorCommands, transfer_lands_on_the_level_layer_the_layer_service_names) {
    TestDir dir;
    dir.write("LAYERC.DEF", "**Otwory,\n2DOPENINGS_W,OTWORY_2D,4,X,Continuous,25\n");
    const std::string folder = dir.path();
    host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    layer("VELM2DWALLS$0");
    layer("VELM2DWALLS$3.50");
    layer("VELM2DOPENINGS_W$0");
    const ZcDbObjectId wall = line("VELM2DWALLS$0", 0);
    const ZcDbObjectId opening = line("VELM2DOPENINGS_W$0", 0);
    AnswerSelection({wall});
    feed({"3.5", "Tak"});
    CmdFloorTransfer();
    // The existing layer of 3.5 is taken however its number is written.
    EXPECT_EQ(lineState(wall), (std::pair<std::string, double>{"VELM2DWALLS$3.50", 3.5}));
    EXPECT_EQ(layersNamed("VELM2DWALLS$3"), 1);

    // A key the catalogue maps goes to the catalogue's layer, with its row.
    AnswerSelection({opening});
    feed({"300", "Tak"});
    CmdFloorTransfer();
    host::setSupportPathProvider(nullptr);
    EXPECT_EQ(lineState(opening), (std::pair<std::string, double>{"VELMOTWORY_2D$300", 300}));
    EXPECT_EQ(layersNamed("VELM2DOPENINGS_W$300"), 0);
    ZcDbObjectPointer<ZcDbLayerTableRecord> made(db->recordId(db->layerTableId(), "VELMOTWORY_2D$300"),
                                                 ZcDb::kForRead);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->colorIndex(), 4);
    EXPECT_EQ(static_cast<int>(made->lineWeight()), 25);
}

// The yes/no questions are the toolkit's: each on a line of its own.
TEST_F(FloorCommands, floor_transfer_questions_start_on_a_new_line) {
    layer("VELMA$0");
    const ZcDbObjectId a = line("VELMA$0", 0);
    AnswerSelection({a});
    feed({"300", "", ""});
    CmdFloorTransfer();
    EXPECT_NE(transcript().find("\nCzy chcesz usunąć podłogę z poprzednią wysokością? <N>"),
              std::string::npos);
    EXPECT_NE(transcript().find("\nCzy chcesz zmienić aktualną podłogę? <N>"), std::string::npos);
}

// Cancelled floor commands read the floor list and never add one.
TEST_F(FloorCommands, cancelled_floor_commands_add_no_floor_list) {
    layer("VELMA$0");
    const ZcDbObjectId a = line("VELMA$0", 0);
    ASSERT_TRUE(settingsEntry("VELM_PIANI").isNull());
    feed({""});  // Enter at the selection: the one floor; then the target cancelled
    CmdFloorTransfer();
    EXPECT_TRUE(settingsEntry("VELM_PIANI").isNull());
    pick(a);  // the keyword question cancelled
    CmdFloorSelect();
    EXPECT_TRUE(settingsEntry("VELM_PIANI").isNull());
    EXPECT_TRUE(heard->names.empty());
    // Without a list the floor at 0 a new one would hold is still found.
    pick(a);
    feed({""});
    CmdFloorSelect();
    EXPECT_EQ(heard->names, std::vector<std::string>{"SELECT"});
    EXPECT_EQ(lineState(a), (std::pair<std::string, double>{"VELMA$0", 0}));
}
