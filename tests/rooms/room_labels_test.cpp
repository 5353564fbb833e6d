// Room labels, cards, rows and totals: the records written, a label
// redrawn from its record, and the card commands.
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbsymtb.h"
#include "rooms/labels/label_templates.h"
#include "rooms/room_calc.h"
#include "rooms/room_card_cmds.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/room_records_fixture.h"

namespace {

constexpr const char* kLabels = "0=INSERT -3=VELM5$_$ETICHETTEVANI-";
constexpr const char* kCards = "0=INSERT -3=VELM5$_$TABELLEVANI-";
constexpr const char* kRows = "0=INSERT -3=VELM5$_$RECORDVANI-";
constexpr const char* kTotals = "0=INSERT -3=VELM5$_$TOTABVANI-";

class RoomLabelsTest : public RoomRecordsTest {
protected:
    // The room measured, its card found or placed at `cardAt`, its label
    // placed at `at` turned by `rotation`, and its row written.
    bool Label(const char* card, int row, Point3 at, double rotation, bool fixed = false,
               Point3 cardAt = P(1000, 0)) {
        CCALCVANI room;
        Prepare(room, card, row);
        room.fixedLivingFlag = room.fixedVentilationFlag = fixed;
        room.drawLeader = 1;
        room.fixedLivingArea = 12.0;
        CFACCIATE g;
        PrepareRoomGraph(g, 0.0);
        if (!room.FindRoomOutline(P(200, 150), g)) return false;
        room.interiorPoint = P(200, 150);
        if (!room.FindRoomCard()) {
            room.cardPoint = cardAt;
            if (!room.CreateRoomCard(1)) return false;
        }
        // The user turns the label about the interior point, then puts it.
        room.StartRun(room.labelDefinition, at, rotation, "\nPunkt wstawienia etykiety:");
        push({Xy(PolarPoint(room.interiorPoint, rotation, 100.0)), Xy(at)});
        Point3 preset = room.interiorPoint;
        RunInsertParamObject(*room.context, 1, &preset);
        const int ok = room.CreateRoomLabel();
        room.FreeRun();
        return ok && room.CreateCardRow();
    }
    static std::string Xy(const Point3& p) {
        char text[80];
        std::snprintf(text, sizeof text, "%.17g,%.17g", p.x, p.y);
        return text;
    }
    static void Prepare(CCALCVANI& room, const char* card, int row) {
        room.templateName = "TMS_TAB1";
        LabelTemplate names;
        ReadUaFile("TMS_TAB1", names);
        room.labelDefinition = names.labelBlock;
        room.cardDefinition = names.cardBlock;
        room.rowDefinition = names.rowBlock;
        room.totalDefinition = names.totalBlock;
        room.ReadLabelFieldSet();
        room.Field(75)->value = "Kuchnia";
        room.Field(78)->value = std::to_string(row);
        room.Field(79)->value = card;
        room.Field(70)->value = "250";
        room.cardName = card;
        room.rowNumber = row;
        room.labelLayer = "2DROOMDATA$0";
    }
    // The entity list of the only entity carrying `app`, xdata included.
    static resbuf* Only(const char* app) {
        resbuf* filter = zcutBuildList(-3, 1001, app, 0);
        ads_name ss, e;
        resbuf* list = nullptr;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM) {
            if (zcedSSName(ss, 0, e) == RTNORM) {
                resbuf* apps = zcutBuildList(RTSTR, "*", 0);
                list = zcdbEntGetX(e, apps);
                zcutRelRb(apps);
            }
            zcedSSFree(ss);
        }
        zcutRelRb(filter);
        return list;
    }
    static std::string TotalAttrib(const char* tag) {
        resbuf* filter = zcutBuildList(-3, 1001, kRoomTotalApp, 0);
        ads_name ss, e, next;
        std::string value;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM && zcedSSName(ss, 0, e) == RTNORM) {
            while (zcdbEntNext(e, next) == RTNORM) {
                e[0] = next[0];
                e[1] = next[1];
                resbuf* a = zcdbEntGet(e);
                const bool attrib = std::string(FindRbCode(a, 0)->resval.rstring) == "ATTRIB";
                if (attrib && std::string(FindRbCode(a, 2)->resval.rstring) == tag)
                    value = FindRbCode(a, 1)->resval.rstring;
                zcutRelRb(a);
                if (!attrib) break;
            }
            zcedSSFree(ss);
        }
        zcutRelRb(filter);
        return value;
    }
    static int Items(const resbuf* list) {
        int n = 0;
        for (const resbuf* rb = list; rb; rb = rb->rbnext) n += rb->restype >= 1000;
        return n;
    }
};

TEST_F(RoomLabelsTest, label_record_leader_and_rotated_attributes) {
    ASSERT_TRUE(Label("K1", 3, P(200, 120), 0.5)) << transcript();
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kCards), 1);
    EXPECT_EQ(count(kRows), 1);
    resbuf* list = Only(kRoomLabelApp);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Items(list), 31);  // no outline polyline: no link
    const resbuf* app = FindXDataApp(list, kRoomLabelApp);
    EXPECT_STREQ(app->rbnext->resval.rstring, "TMS_TAB1");
    EXPECT_NEAR(app->rbnext->rbnext->resval.rreal, 370.0 * 270.0, 1e-6);  // variable 60
    EXPECT_NEAR(FindRbCode(list, 50)->resval.rreal, 0.5, 1e-12);
    // The leader in the block: from the origin to the interior point in
    // block coordinates.
    const std::string block = FindRbCode(list, 2)->resval.rstring;
    zcutRelRb(list);
    ZcDbBlockTable* table = nullptr;
    ASSERT_EQ(db()->getBlockTable(table, ZcDb::kForRead), Zcad::eOk);
    ZcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(table->getAt(block, rec, ZcDb::kForRead), Zcad::eOk);
    table->close();
    bool leader = false;
    for (ZcDbObjectId id : rec->entityIds()) {
        ZcDbLine* line = nullptr;
        if (zcdbOpenObject(line, id, ZcDb::kForRead) != Zcad::eOk) continue;
        const double c = std::cos(-0.5), s = std::sin(-0.5);
        leader = leader ||
                 (std::fabs(line->endPoint().x - (0 * c - 30 * s)) < 1e-9 &&
                  std::fabs(line->endPoint().y - (0 * s + 30 * c)) < 1e-9 && line->startPoint().x == 0.0);
        line->close();
    }
    rec->close();
    EXPECT_TRUE(leader);

    // Attributes turn with the label.
    ads_name label, attrib;
    resbuf* filter = zcutBuildList(-3, 1001, kRoomLabelApp, 0);
    ads_name ss;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    zcutRelRb(filter);
    zcedSSName(ss, 0, label);
    zcedSSFree(ss);
    ASSERT_EQ(zcdbEntNext(label, attrib), RTNORM);
    resbuf* a = zcdbEntGet(attrib);
    EXPECT_NEAR(FindRbCode(a, 50)->resval.rreal, 0.5, 1e-12);
    zcutRelRb(a);
}

TEST_F(RoomLabelsTest, redraw_keeps_place_and_reads_the_mask) {
    ASSERT_TRUE(Label("K1", 3, P(200, 120), 0.25, true));
    resbuf* before = Only(kRoomLabelApp);
    const Point3 at{FindRbCode(before, 10)->resval.rpoint[0], FindRbCode(before, 10)->resval.rpoint[1], 0};
    const std::string layer = FindRbCode(before, 8)->resval.rstring;
    const double rotation = FindRbCode(before, 50)->resval.rreal;
    EXPECT_NEAR(rotation, 0.25, 1e-12);
    zcutRelRb(before);

    ads_name label;
    resbuf* filter = zcutBuildList(-3, 1001, kRoomLabelApp, 0);
    ads_name ss;
    zcedSSGet("X", nullptr, nullptr, filter, ss);
    zcutRelRb(filter);
    zcedSSName(ss, 0, label);
    zcedSSFree(ss);
    CCALCVANI room;
    room.LoadFromLabel(label, nullptr, nullptr, -1, -1, false);
    EXPECT_TRUE(room.fixedLivingFlag);
    EXPECT_FALSE(room.fixedWindowFlag);  // mask 5: living and ventilation
    EXPECT_TRUE(room.fixedVentilationFlag);
    EXPECT_EQ(room.rowNumber, 3);
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kRows), 1);  // the row written again
    resbuf* after = Only(kRoomLabelApp);
    EXPECT_EQ(FindRbCode(after, 8)->resval.rstring, layer);
    EXPECT_EQ(FindRbCode(after, 50)->resval.rreal, rotation);
    EXPECT_EQ(FindRbCode(after, 10)->resval.rpoint[0], at.x);
    EXPECT_EQ(FindRbCode(after, 10)->resval.rpoint[1], at.y);
    zcutRelRb(after);

    // A label definition that makes no block leaves label and row.
    RemoveDefinitions();
    CCALCVANI failing;
    ads_name again;
    filter = zcutBuildList(-3, 1001, kRoomLabelApp, 0);
    zcedSSGet("X", nullptr, nullptr, filter, ss);
    zcutRelRb(filter);
    zcedSSName(ss, 0, again);
    zcedSSFree(ss);
    failing.LoadFromLabel(again, nullptr, nullptr, -1, -1, false);
    EXPECT_EQ(count(kLabels), 1);
    EXPECT_EQ(count(kRows), 1);
}

TEST_F(RoomLabelsTest, missing_variable_writes_nothing) {
    CCALCVANI room;
    Prepare(room, "K1", 1);
    room.StartRun(room.labelDefinition, P(200, 120), 0.0, "");
    RunInsertParamObject(*room.context, 1);
    auto& vars = room.context->vars;
    std::erase_if(vars, [](const auto& v) { return v->number == 65; });
    EXPECT_EQ(room.CreateRoomLabel(), 0);
    room.FreeRun();
    EXPECT_NE(transcript().find("Wewnętrzny błąd dla wartości indeksowanych od 60 do 79"), std::string::npos);
    EXPECT_EQ(count(kLabels), 0);

    // With an outline polyline the record links it: 34 items.
    room.outlineHandle = "1F";
    room.polylineRoom = true;
    room.StartRun(room.labelDefinition, P(200, 120), 0.0, "");
    RunInsertParamObject(*room.context, 1);
    EXPECT_EQ(room.CreateRoomLabel(), 1);
    room.FreeRun();
    resbuf* list = Only(kRoomLabelApp);
    EXPECT_EQ(Items(list), 34);
    const resbuf* link = FindXDataApp(list, kRoomOutlineLinkApp);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->rbnext->resval.rint, 1);
    EXPECT_STREQ(link->rbnext->rbnext->resval.rstring, "1F");
    zcutRelRb(list);
}

TEST_F(RoomLabelsTest, totals_and_renaming_by_command) {
    ASSERT_TRUE(Label("K1", 1, P(200, 120), 0.0));
    ASSERT_TRUE(Label("K1", 2, P(200, 180), 0.0));
    ASSERT_TRUE(Label("Inna", 1, P(100, 100), 0.0, false, P(1500, 0)));
    EXPECT_EQ(count(kCards), 2);
    // The K1 card, 140 by 16 on paper at 1:50 in centimetres, has its right
    // edge from (1700, 0) down to (1700, -80); a miss asks again and a line
    // is no card.
    run({"_LINE", "0,500", "50,500", ""});
    run({"VELMTOTAB", "!pick 900,900", "!pick 25,500", "!pick 1700,-20"});
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest kartą pokoju"), std::string::npos);
    EXPECT_EQ(count(kTotals), 1);
    // The sums of the card's own two labels, in square metres.
    EXPECT_EQ(TotalAttrib("SUMA60"), "19.98");
    run({"VELMTOTAB", "!pick 1700,-20"});
    EXPECT_EQ(count(kTotals), 1);  // replaced

    // Renaming in another letter case does nothing; a new name redraws the
    // labels of that card only.
    run({"VELMCNAMETAB", "!pick 1700,-20", "k1"});
    EXPECT_EQ(count(kCards), 2);
    run({"VELMCNAMETAB", "!pick 1700,-20", "Parter"});
    EXPECT_EQ(count(kCards), 2);
    EXPECT_EQ(count(kLabels), 3);
    EXPECT_EQ(count(kRows), 3);
    int renamed = 0;
    resbuf* filter = zcutBuildList(-3, 1001, kRoomRowApp, 0);
    ads_name ss;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    zcutRelRb(filter);
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    resbuf* apps = zcutBuildList(RTSTR, kRoomRowApp, 0);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        zcedSSName(ss, i, e);
        resbuf* l = zcdbEntGetX(e, apps);
        renamed += std::string(FindXDataApp(l, kRoomRowApp)->rbnext->resval.rstring) == "Parter";
        zcutRelRb(l);
    }
    zcutRelRb(apps);
    zcedSSFree(ss);
    EXPECT_EQ(renamed, 2);
    EXPECT_EQ(count(kTotals), 1);
}

// The print-scale rebuild of a card: made anew at its place with its total
// written again; a card that cannot be made again stays as it was.
TEST_F(RoomLabelsTest, card_rebuilt_with_its_total_or_kept) {
    ASSERT_TRUE(Label("K1", 1, P(200, 120), 0.0));
    run({"VELMTOTAB", "!pick 1700,-20"});
    ASSERT_EQ(count(kTotals), 1);
    auto cardName = [] {
        resbuf* list = Only(kRoomCardApp);
        const resbuf* self = FindRbCode(list, -1);
        std::array<std::int64_t, 2> name{self ? self->resval.rlname[0] : 0,
                                         self ? self->resval.rlname[1] : 0};
        zcutRelRb(list);
        return name;
    };
    const auto old = cardName();
    ads_name card{old[0], old[1]};
    EXPECT_TRUE(RebuildRoomCard(card, 0.0));
    EXPECT_EQ(count(kCards), 1);
    EXPECT_EQ(count(kTotals), 1);
    const auto made = cardName();
    EXPECT_NE(made, old);
    resbuf* list = Only(kRoomCardApp);
    const resbuf* at = FindRbCode(list, 10);
    ASSERT_NE(at, nullptr);
    EXPECT_DOUBLE_EQ(at->resval.rpoint[0], 1000.0);  // where the card was
    zcutRelRb(list);

    RemoveDefinitions();
    ads_name again{made[0], made[1]};
    EXPECT_FALSE(RebuildRoomCard(again, 0.0));
    EXPECT_EQ(cardName(), made);
    EXPECT_EQ(count(kCards), 1);
    // A line is no card.
    run({"_LINE", "0,500", "50,500", ""});
    ads_name line;
    ASSERT_EQ(zcdbEntLast(line), RTNORM);
    const int lines = count("0=LINE");
    EXPECT_FALSE(RebuildRoomCard(line, 0.0));
    EXPECT_EQ(count("0=LINE"), lines);
}

}  // namespace
