// The room data commands on a room drawn with the wall command: a new
// label with its card and row, labels without measuring, a polyline room
// whose polyline is gone, labels measured again, and the floor report.
#include <filesystem>
#include <set>
#include <string>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "rooms/room_records.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/room_records_fixture.h"

namespace {

constexpr const char* kLabels = "0=INSERT -3=VELM5$_$ETICHETTEVANI-";
constexpr const char* kCards = "0=INSERT -3=VELM5$_$TABELLEVANI-";
constexpr const char* kRows = "0=INSERT -3=VELM5$_$RECORDVANI-";

class RoomDataCmdsTest : public RoomRecordsTest {
protected:
    void SetUp() override {
        RoomRecordsTest::SetUp();
        SetSettingString(SetupVar::NOMEFILEUA, "TMS_TAB1");
        SetSettingInt(SetupVar::ULTIMORIFRIGA, 0);
        SetSettingString(SetupVar::ULTIMORIFTAB, "K1");
    }
    // Calls `each` with the items after the first two of every label's record.
    template <class Each>
    static void ForEachLabelRecord(Each each) {
        const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomLabelApp, 0));
        host::SelectionSet ss;
        if (zcedSSGet("X", nullptr, nullptr, filter.get(), ss.put()) != RTNORM) return;
        const host::ResbufList apps(zcutBuildList(RTSTR, kRoomLabelApp, 0));
        for (std::int32_t i = 0, n = ss.size(); i < n; ++i) {
            ads_name e;
            if (!ss.name(i, e)) continue;
            const host::ResbufList list(zcdbEntGetX(e, apps.get()));
            const resbuf* app = FindXDataApp(list.get(), kRoomLabelApp);
            each(app->rbnext->rbnext);
        }
    }
    // The non-empty texts of the labels' records, but their template's.
    static std::vector<std::string> LabelTexts() {
        std::vector<std::string> out;
        ForEachLabelRecord([&](const resbuf* items) {
            for (const resbuf* rb = items; rb; rb = rb->rbnext)
                if (rb->restype == 1000 && rb->resval.rstring && *rb->resval.rstring)
                    out.emplace_back(rb->resval.rstring);
        });
        return out;
    }
    // The real items (variables 60 ...) of each label's record.
    static std::vector<std::vector<double>> LabelValues() {
        std::vector<std::vector<double>> out;
        ForEachLabelRecord([&](const resbuf* items) {
            std::vector<double> values;
            for (const resbuf* rb = items; rb && values.size() < 25; rb = rb->rbnext)
                values.push_back(rb->restype == 1040 ? rb->resval.rreal : -1.0);
            out.push_back(values);
        });
        return out;
    }
};

TEST_F(RoomDataCmdsTest, new_label_with_card_and_row) {
    resbuf zero;
    zero.restype = RTSHORT;
    zero.resval.rint = 0;
    zcedSetVar("DIMZIN", &zero);
    run({"!dialog 139 ok", "VELMSPACEUNIT", "1000,0", "200,150", ""});
    EXPECT_EQ(count(kLabels), 1) << transcript();
    EXPECT_EQ(count(kCards), 1);
    EXPECT_EQ(count(kRows), 1);
    const auto values = LabelValues();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_NEAR(values[0][0], 370.0 * 270.0, 1e-6);  // 60: the clear area
    EXPECT_EQ(values[0][18], 1.0);                   // 78: the next room number
    EXPECT_EQ(SettingInt(SetupVar::ULTIMORIFRIGA), 1);
    resbuf dimzin;
    zcedGetVar("DIMZIN", &dimzin);
    EXPECT_EQ(dimzin.resval.rint, 0);  // put back after presetting field 70

    // Measured again on the whole floor: label and row written anew.
    if (VELM_PIANI* piani = OpenPianiObject(false)) {
        AA_PIANO ground;
        ground.height = 300.0;
        piani->piani.floors.push_back(ground);
        piani->close();
    }
    ads_name before;
    zcdbEntLast(before);
    run({"VELMSUNITR", "Całe"});
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kRows), 1);
    ads_name after;
    zcdbEntLast(after);
    EXPECT_FALSE(before[0] == after[0] && before[1] == after[1]) << transcript();
}

TEST_F(RoomDataCmdsTest, labels_without_measuring_take_the_next_numbers) {
    SetSettingInt(SetupVar::NOCALCOLOUA, 1);
    run({"!dialog 139 ok", "!dialog 139 ok", "!dialog 139 cancel", "VELMSPACEUNIT", "1000,0", "100,100", "",
         "250,150", ""});
    const auto values = LabelValues();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0][0], 0.0);                   // not measured
    EXPECT_EQ(values[0][18] + values[1][18], 3.0);  // rooms 1 and 2
    EXPECT_EQ(count(kRows), 0);
}

TEST_F(RoomDataCmdsTest, polyline_room_whose_polyline_is_gone) {
    ads_name pline;
    MakePolyline("0", {P(1000, 0), P(1100, 0), P(1100, 100), P(1000, 100)}, true, nullptr, pline);
    run({"!dialog 139 ok", "VELMSPACEUNIT", "2000,0", "Polilinia", "!pick 1050,0", "1050,50", ""});
    ASSERT_EQ(count(kLabels), 1) << transcript();
    EXPECT_NEAR(LabelValues()[0][0], 10000.0, 1e-6);
    zcdbEntDel(pline);
    // The label is picked at its insertion point (its attribute).
    run({"!dialog 139 ok", "VELMSUNITR", "!pick 1050,50", "", ""});
    EXPECT_NE(transcript().find("Nie można znaleźć polilinii powiązanej z etykietą pokoju!"),
              std::string::npos);
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kRows), 1);
}

// The anonymous blocks of the drawing that no insert references.
std::size_t UnreferencedBlocks() {
    ZcDbObjectPointer<ZcDbBlockTable> table(zcdbCurDwg()->blockTableId(), ZcDb::kForRead);
    if (!table) return 0;
    std::set<ZcDbObjectId> anonymous, referenced;
    for (ZcDbObjectId id : table->recordIds()) {
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(id, ZcDb::kForRead);
        std::string name;
        if (!block || block->getName(name) != Zcad::eOk) continue;
        if (name.rfind("*U", 0) == 0) anonymous.insert(id);
        ZcDbBlockTableRecordIterator* it = nullptr;
        block->newIterator(it);
        for (; it && !it->done(); it->step()) {
            ZcDbEntity* e = nullptr;
            if (it->getEntity(e, ZcDb::kForRead) != Zcad::eOk) continue;
            if (auto* insert = ZcDbBlockReference::cast(e)) referenced.insert(insert->blockTableRecord());
            e->close();
        }
        delete it;
    }
    std::size_t n = 0;
    for (ZcDbObjectId id : anonymous) n += referenced.count(id) == 0;
    return n;
}

// A name the label's record cannot hold (the host takes 16383 bytes of
// xdata on one entity) is refused naming the room and fails the command;
// nothing is drawn for it, no block of it is left, and a label given it in
// an update stays as it was.
TEST_F(RoomDataCmdsTest, a_name_the_label_cannot_hold_is_refused_naming_the_room) {
    const std::string name(72 * 1024, 'N');
    const std::string named = "Pomieszczenie „" + std::string(40, 'N') + "…”: dane etykiety mają";
    EXPECT_EQ(run({"!dialog 139 edit 1063 \"" + name + "\" ok", "VELMSPACEUNIT", "1000,0", "200,150", ""}),
              RTERROR);
    EXPECT_NE(transcript().find(named), std::string::npos) << transcript().substr(0, 2000);
    EXPECT_EQ(count(kLabels), 0);
    EXPECT_EQ(count(kRows), 0);
    EXPECT_EQ(UnreferencedBlocks(), 0u) << "no block holds the refused name";

    run({"!dialog 139 edit 1063 \"Salon\" ok", "VELMSPACEUNIT", "200,150", ""});
    ASSERT_EQ(count(kLabels), 1) << transcript();
    ASSERT_EQ(count(kRows), 1);
    ASSERT_EQ(LabelTexts(), (std::vector<std::string>{"Salon", "K1"}));
    const std::size_t said = transcript().size();
    run({"!dialog 139 edit 1063 \"" + name + "\" ok", "VELMSUNITR", "!pick 200,150", "", ""});
    EXPECT_NE(transcript().find(named, said), std::string::npos);
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kRows), 1);
    EXPECT_EQ(LabelTexts(), (std::vector<std::string>{"Salon", "K1"}));
}

TEST_F(RoomDataCmdsTest, floor_report) {
    run({"VELMVFLOOR", "!pick 900,900", "!pick 200,-15"});
    const std::string& t = transcript();
    EXPECT_NE(t.find("WYSOKOŚĆ PODŁOGI:0"), std::string::npos) << t;
    // The outer faces: 430 x 330 cm in square metres.
    EXPECT_NE(t.find("POWIERZCHNIA=14.19\n"), std::string::npos) << t;
    EXPECT_NE(t.find("(ŚREDNIA WYSOKOŚĆ PODŁOGI="), std::string::npos);
}

}  // namespace
