// Opening mark records as the schedules read them, the room written into
// them, the template file and the schedule variables of a row.
#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "rooms/schedules/schedule_context.h"
#include "tests/rooms/schedules_fixture.h"

namespace {

using ScheduleRecordsTest = SchedulesTest;

// The values of the mark record items of the entity, as text.
std::string Item(const ads_name e, int item) {
    resbuf* app = nullptr;
    resbuf* list = ReadMarkRecord(e, app);
    const resbuf* rb = MarkRecordItem(app, item);
    std::string out;
    if (rb && rb->restype == 1000) out = rb->resval.rstring;
    if (rb && rb->restype == 1070) out = std::to_string(rb->resval.rint);
    if (rb && rb->restype == 1040) out = FormatRealTrim(rb->resval.rreal);
    zcutRelRb(list);
    return out;
}

// A straight face from a to b.
FaceSegment Straight(Point3 a, Point3 b) {
    FaceSegment face;
    face.start = a;
    face.end = b;
    return face;
}

TEST_F(ScheduleRecordsTest, kind_and_number_of_a_mark) {
    Opening("PORTE", 7, 0.0, P(0, 0));
    Opening("okno", 8, 0.0, P(10, 0));
    ads_name door, odd, plain;
    ASSERT_EQ(zcdbEntNext(nullptr, door), RTNORM);
    ASSERT_EQ(zcdbEntNext(door, odd), RTNORM);
    int number = -1;
    std::string kind = "stale";
    GetOpeningTypeAndNumber(door, number, kind);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(kind, "DOORS");
    GetOpeningTypeAndNumber(odd, number, kind);
    EXPECT_EQ(number, 8);
    EXPECT_EQ(kind, "");  // an unknown word: in no schedule
    run({"_LINE", "0,50", "10,50", ""});
    zcdbEntLast(plain);
    GetOpeningTypeAndNumber(plain, number, kind);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(kind, "");
}

TEST_F(ScheduleRecordsTest, room_written_on_each_side_of_an_opening) {
    Opening("PORTE", 1, 0.0, P(0, 0));
    OutlineNode o;
    zcdbEntLast(o.entity);
    // A door in a wall from y = 0 (own face, where the jambs start) to y = 30.
    o.kind = 11;
    o.jamb1 = Ring({P(0, 0), P(0, 30)});
    o.jamb2 = Ring({P(90, 0), P(90, 30)});
    FaceSegment own = Straight(P(-100, 0), P(200, 0)), other = Straight(P(-100, 30), P(200, 30));
    RecordOpeningRoom(o, own, 4, "Kuchnia", 1, 1, "K", 12.5);
    RecordOpeningRoom(o, other, 5, "Hol", 0, 0, "H", 99.0);
    EXPECT_EQ(Item(o.entity, 16), "4");
    EXPECT_EQ(Item(o.entity, 17), "Kuchnia");
    EXPECT_EQ(Item(o.entity, 18), "5");
    EXPECT_EQ(Item(o.entity, 19), "Hol");
    EXPECT_EQ(Item(o.entity, 4), "K");  // the flags of the second call were clear
    EXPECT_EQ(Item(o.entity, 6), "12.5");
    EXPECT_EQ(Item(o.entity, 9), "90");  // nothing else moved
    // A name the opening cannot carry leaves its record as it was, and says so.
    EXPECT_FALSE(RecordOpeningRoom(o, other, 6, std::string(20000, 'N'), 0, 0, "", 0.0));
    EXPECT_EQ(Item(o.entity, 18), "5");
    EXPECT_EQ(Item(o.entity, 19), "Hol");
    EXPECT_TRUE(RecordOpeningRoom(o, other, 6, "Hol", 0, 0, "", 0.0));

    // A curved wall: the radius tells the side.
    o.kind = 12;
    o.radiusA = 300.0;
    FaceSegment arc;
    arc.isArc = true;
    arc.radius = 300.0 + 1e-7;
    RecordOpeningRoom(o, arc, 6, "Salon", 0, 0, "", 0.0);
    arc.radius = 300.0 + 1e-6;
    RecordOpeningRoom(o, arc, 7, "Taras", 0, 0, "", 0.0);
    EXPECT_EQ(Item(o.entity, 16), "6");
    EXPECT_EQ(Item(o.entity, 18), "7");

    // A corner object: its first points on the face make it the own side.
    o.kind = 18;
    o.jamb1 = FreeList(o.jamb1);
    o.jamb2 = FreeList(o.jamb2);
    o.jamb1 = Ring({P(0, 50), P(30, 50)});
    o.jamb2 = Ring({P(50, 0), P(50, 30)});
    RecordOpeningRoom(o, Straight(P(0, 0), P(0, 100)), 8, "Pokój", 0, 0, "", 0.0);
    RecordOpeningRoom(o, Straight(P(30, 30), P(30, 100)), 9, "Łazienka", 0, 0, "", 0.0);
    EXPECT_EQ(Item(o.entity, 16), "8");
    EXPECT_EQ(Item(o.entity, 19), "Łazienka");
    // Other kinds decide no side.
    o.kind = 13;
    RecordOpeningRoom(o, own, 10, "X", 1, 0, "Z", 0.0);
    EXPECT_EQ(Item(o.entity, 4), "K");
    o.jamb1 = FreeList(o.jamb1);
    o.jamb2 = FreeList(o.jamb2);
    o.jamb1 = o.jamb2 = nullptr;
}

TEST_F(ScheduleRecordsTest, template_keys_and_end) {
    CABACHI s;
    data.write("T1.OA", "; komentarz\nTAB=  TABELA reszta\nrec=WIERSZ\nend\ntot=PO\n");
    s.templateName = "T1";
    ASSERT_EQ(s.ReadOaFile(), 1);
    EXPECT_EQ(s.tableName, "TABELA");
    EXPECT_EQ(s.rowName, "WIERSZ");
    EXPECT_EQ(s.totalName, "");  // after "end"

    data.write("T2.OA", "tab=A\ntot=C\nend\n");
    s.templateName = "T2";
    EXPECT_EQ(s.ReadOaFile(), 0);
    EXPECT_NE(transcript().find("Błąd w definicji pliku zestawienia otworów T2.oa"), std::string::npos);

    data.write("T3.OA", "tab=A\nrec=B\ntot=C\n");
    s.templateName = "T3";
    EXPECT_EQ(s.ReadOaFile(), 0);  // no "end": named at the last line
    EXPECT_EQ(lastMessage(),
              data.path("T3.OA") + ":3: Błąd w definicji pliku zestawienia otworów T3.oa: brak wiersza end");

    // An empty template is said to be one, not passed over in silence.
    data.write("T4.OA", "");
    s.templateName = "T4";
    EXPECT_EQ(s.ReadOaFile(), 0);
    EXPECT_EQ(lastMessage(),
              data.path("T4.OA") + ":1: Błąd w definicji pliku zestawienia otworów T4.oa: brak wiersza end");

    s.templateName = "BRAK";
    EXPECT_EQ(s.ReadOaFile(), 0);
    EXPECT_NE(transcript().find("BRAK.OA: Pliku nie znaleziono"), std::string::npos);

    s.templateName = "VELMOA01";
    ASSERT_EQ(s.ReadOaFile(), 1);
    EXPECT_EQ(s.totalName, "ABC_TOT");
}

TEST_F(ScheduleRecordsTest, row_variables_by_mode) {
    CABACHI s;
    s.templateName = "VELMOA01";
    s.texts[0] = "DOORS";
    s.texts[5] = "ostatni";
    s.reals[2] = 3.5;
    s.rowsValue = 12;
    s.insertionPoint = P(5, 6);
    // Item 5 of another group: later items keep their codes.
    resbuf* record = zcutBuildList(1001, kAbInfissiObjApp, 1000, "P1", 1000, "PORTE", 1000, "S", 1000, "T",
                                   1071, 5, 1040, 1.5, 1000, "D-", 1070, 3, 1040, 90.0, 1040, 205.0, 1040,
                                   2.0, 1070, 1, 1040, 1.8, 1040, 0.0, 1040, 0.0, 1070, 4, 1000, "Hol", 1070,
                                   0, 1000, "", 1000, "", 1040, 1.0, 1070, 3, 1040, 7.25, 0);
    s.currentRecord = record;
    auto value = [&s](int n) { return FindObjVar(n, s.context->vars); };

    s.context = NewObjContext("ABC_REC");
    s.FillParameters(1);
    EXPECT_TRUE(value(41) && value(41)->text == "VELMOA01");
    EXPECT_FALSE(value(40));
    s.FillParameters(2);
    ASSERT_TRUE(value(40) && value(56));
    EXPECT_EQ(value(40)->value, 12);
    EXPECT_EQ(value(56)->value, 6);
    EXPECT_FALSE(value(57));

    s.FillParameters(0);
    EXPECT_EQ(value(58)->text, "PORTE");
    EXPECT_FALSE(value(61));  // the foreign group's code stays unused
    EXPECT_EQ(value(62)->value, 1.5);
    EXPECT_EQ(value(64)->type, u'I');
    EXPECT_EQ(value(64)->value, 3);
    EXPECT_EQ(value(65)->value, 90.0);
    EXPECT_EQ(value(73)->text, "Hol");
    EXPECT_EQ(value(88)->value, 7.25);    // the 23rd item
    EXPECT_EQ(value(79)->text, "DOORS");  // never an opening's item
    EXPECT_EQ(value(84)->text, "ostatni");
    EXPECT_EQ(value(87)->value, 3.5);
    s.currentRecord = nullptr;
    zcutRelRb(record);
}

}  // namespace
