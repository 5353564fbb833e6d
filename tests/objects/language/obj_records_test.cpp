// The records of placed objects group for group, against the layouts the
// readers in the other subsystems rely on, one object per insertion type;
// the entities made, the host's refusal and the unique-code lookup.
#include <gtest/gtest.h>

#include <functional>

#include "core/levels.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "host/win/textutil.h"
#include "obj_records_fixture.h"
#include "rooms/opening_marks.h"
#include "walls/graph/outline_record.h"

namespace {

std::string Def(const std::string& vars, const std::string& sections = "") {
    return "VAR\n" + vars + "END_VAR\n" + sections + "DRAW\nOBIEKT\nLINE\nW1\n(0 0 0)\n(10 0 0)\nEND\n";
}

const std::string kParamHead = "$5=\"p5\"01D5\n$7=\"p7\"02S\"siedem\"\n$12=\"p12\"03D12\n";
const std::string kCuts =
    "CUT2D\n2\n(0 0 0)\n(90 0 0)\n2\n(90 30 0)\n(0 30 0)\n"
    "CUT3DE\n1\n+(0 0 0)\nENDCUT3DE\nCUT3DI\n1\n-(0 30 0)\nENDCUT3DI\n";
const std::string kOpening =
    "$1= 30\n$8= 90\n$25= 3\n$27= 4\n$190= 150\n$191= 2\n$192= 10\n$11100= 7\n$11101= 9\n";

const Lines kCommonSpec = {"1070 10005", "1040 0", "1070 10004", "1040 0", "1070 10003", "1040 0",
                           "1070 10002", "1040 0", "1070 10001", "1040 0", "1070 11030", "1000 ",
                           "1070 11036", "1000 ",  "1070 11035", "1000 "};

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool Highlighted(const ads_name e) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, e) != Zcad::eOk) return false;
    ZcDbObjectPointer<ZcDbEntity> p(id, ZcDb::kForRead);
    return p.openStatus() == Zcad::eOk && p->isHighlighted();
}

std::vector<std::string> AppOrder(const resbuf* list) {
    std::vector<std::string> out;
    for (; list; list = list->rbnext)
        if (list->restype == 1001) out.push_back(list->resval.rstring);
    return out;
}

class Placed : public ObjRecords {
protected:
    void SetUp() override {
        ObjRecords::SetUp();
        setUnit(1.0);
    }
    // Defines, reads, draws and attaches the object "T" at (100, 200) turned
    // by a quarter turn; its xdata.
    Groups attach(const std::string& vars, const std::string& sections = "",
                  std::function<void(ObjContext&)> adjust = nullptr) {
        ObjContext& c = prepared("T" + std::to_string(++serial), Def(vars, sections), false);
        // The placers compute the variables below 31 (20 apart).
        for (auto& v : c.vars)
            if (v->kind == kVarComputed && v->number < 31 && v->number != 20)
                v->value = host::parseDoublePrefix(v->description).value_or(0.0);
        placeAt(c, 100, 200, kHalfPi);
        if (adjust) adjust(c);
        ads_name e;
        EXPECT_EQ(AttachParamXdata(c, e), 1);
        last[0] = e[0];
        last[1] = e[1];
        return xdataOf(e);
    }
    std::string name() const { return "T" + std::to_string(serial); }
    int serial = 0;
    ads_name last{0, 0};
};

}  // namespace

TEST_F(Placed, window_in_a_straight_wall) {
    Groups x = attach("$3= 11\n" + kParamHead + kOpening + "$11102=\"WINDOWS\"C\n", kCuts);
    EXPECT_EQ(AppOrder(x.get()), (std::vector<std::string>{kParamRecordApp, kParaSpecApp, kTag3DiStrRecordApp,
                                                           kAbInfissiObjApp}));
    EXPECT_EQ(RecordLines(x.get(), kParamRecordApp),
              (Lines{"1001 VELM5$_$PARAMETRI-", "1000 " + name(), "1000 Wstaw ostatnie parametry", "1070 11",
                     "1070 1", "1010 0,0,0", "1070 2", "1010 4,3,90", "1010 0,0,0", "1070 12", "1040 12",
                     "1070 7", "1000 siedem", "1070 5", "1040 5"}));
    EXPECT_EQ(RecordLines(x.get(), kParaSpecApp), Concat({"1001 VELM5$_$PARASPEC-", "1070 18", "1040 0",
                                                          "1070 11109", "1040 0", "1070 11108", "1040 0"},
                                                         kCommonSpec));
    EXPECT_EQ(RecordLines(x.get(), kTag3DiStrRecordApp), (Lines{"1001 VELM5$_$TAG3DISTR-",
                                                                "1070 11",
                                                                "1070 2",
                                                                "1040 150",
                                                                "1040 0",
                                                                "1040 10",
                                                                "1070 0",
                                                                "1040 30",
                                                                "1040 0",
                                                                "1011 0,0,0",
                                                                "1011 0,0,0",
                                                                "1002 {",
                                                                "1011 100,200,0",
                                                                "1011 100,290,0",
                                                                "1002 }",
                                                                "1002 {",
                                                                "1011 70,290,0",
                                                                "1011 70,200,0",
                                                                "1002 }",
                                                                "1002 {",
                                                                "1070 0",
                                                                "1011 70,200,0",
                                                                "1002 }",
                                                                "1002 {",
                                                                "1070 1",
                                                                "1011 100,200,0",
                                                                "1002 }"}));
    EXPECT_EQ(RecordLines(x.get(), kAbInfissiObjApp), (Lines{"1001 VELM6$_$ABINFISSI_OBJ-",
                                                             "1000 " + name(),
                                                             "1000 FINESTRE",
                                                             "1000 Wstaw ostatnie parametry",
                                                             "1000 ",
                                                             "1000 ",
                                                             "1040 0",
                                                             "1000 ",
                                                             "1070 7",
                                                             "1040 90",
                                                             "1040 0",
                                                             "1040 150",
                                                             "1070 0",
                                                             "1040 0",
                                                             "1040 0",
                                                             "1040 0",
                                                             "1070 0",
                                                             "1000 ",
                                                             "1070 0",
                                                             "1000 ",
                                                             "1000 ",
                                                             "1040 30",
                                                             "1070 7",
                                                             "1040 0"}));
    // What the wall-face graph and the type query read of it.
    EXPECT_EQ(GetParamObjectType(last), 11);
    OutlineNode* o = ReadTag3DiStr(last);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->kind, 11);
    EXPECT_EQ(CountNodes(o->jamb1), 2);
    FreeOutlineList(o);
    // And the schedules.
    int number = 0;
    std::string kind = "stale";
    GetOpeningTypeAndNumber(last, number, kind);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(kind, "WINDOWS");
}

TEST_F(Placed, objects_other_than_openings_have_no_mark) {
    attach("$3= 10\n$11102=\"WINDOWS\"C\n");
    int number = -1;
    std::string kind = "stale";
    GetOpeningTypeAndNumber(last, number, kind);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(kind, "");
}

TEST_F(Placed, door_and_curved_wall_placement_data) {
    Groups door = attach("$3= 11\n" + kOpening +
                             "$11008=\"right\"01B1\n$11025= 6\n$11027= 8\n$11107= 41\n"
                             "$11015= 1.5\n$11016= 2.5\n$11102=\"doors\"C\n",
                         kCuts);
    Lines p = RecordLines(door.get(), kParamRecordApp);
    ASSERT_GT(p.size(), 7u);
    EXPECT_EQ(p[7], "1010 8,6,90");
    Lines obj = RecordLines(door.get(), kAbInfissiObjApp);
    ASSERT_EQ(obj.size(), 24u);
    EXPECT_EQ(obj[2], "1000 PORTE");
    EXPECT_EQ(obj[8], "1070 9");   // the door mark
    EXPECT_EQ(obj[12], "1070 1");  // 11015 declared
    EXPECT_EQ(obj[13], "1040 1.5");
    EXPECT_EQ(obj[22], "1070 41");  // 11107
    EXPECT_EQ(obj[23], "1040 2.5");
    EXPECT_EQ(RecordLines(door.get(), kTag3DiStrRecordApp)[8], "1040 2.5");

    Groups unknown = attach("$3= 11\n" + kOpening + "$11102=\"GATES\"C\n", kCuts);
    EXPECT_EQ(RecordLines(unknown.get(), kAbInfissiObjApp)[2], "1000 ");

    Groups curved = attach("$3= 12\n" + kOpening + "$10= 1\n$11= 2\n$12= 3\n$13= 4\n$11015= 2\n", kCuts);
    EXPECT_EQ(RecordLines(curved.get(), kParamRecordApp)[7], "1010 4,3,4");
    EXPECT_EQ(RecordLines(curved.get(), kParaSpecApp),
              Concat({"1001 VELM5$_$PARASPEC-", "1070 13", "1040 4", "1070 12", "1040 3", "1070 11", "1040 2",
                      "1070 10", "1040 1", "1070 11109", "1040 0", "1070 11108", "1040 0"},
                     kCommonSpec));
    EXPECT_EQ(RecordLines(curved.get(), kTag3DiStrRecordApp)[8], "1040 300");  // $190 x $191
}

TEST_F(Placed, block_only_pilaster_and_corner_objects) {
    Groups block = attach("$3= 13\n" + kParamHead);
    EXPECT_EQ(AppOrder(block.get()), (std::vector<std::string>{kParaSpecApp}));

    Groups pilaster =
        attach("$3= 17\n", "CUT2D\n3\n(0 0 0)\n(30 0 0)\n(30 30 0)\nCUT3DE\n1\n+(1 1 1)\nENDCUT3DE\n");
    EXPECT_EQ(RecordLines(pilaster.get(), kPilastroStrApp),
              (Lines{"1001 VELM5$_$PILASTROSTR-", "1011 100,200,0", "1011 100,230,0", "1011 70,230,0"}));
    VertexNode* outline = GetPillarOutline(last);
    EXPECT_EQ(CountNodes(outline), 3);
    FreeList(outline);

    Groups corner =
        attach("$3= 18\n" + kOpening + "$40= 20\n$41= 25\n$20= 1\n$21= 2\n$22= 3\n$23= 4\n", kCuts);
    EXPECT_EQ(RecordLines(corner.get(), kParamRecordApp)[7], "1010 4,3,0");
    EXPECT_EQ(RecordLines(corner.get(), kParaSpecApp),
              Concat({"1001 VELM5$_$PARASPEC-", "1070 1", "1040 30", "1070 23", "1040 4", "1070 22", "1040 3",
                      "1070 21", "1040 2", "1070 20", "1040 1"},
                     kCommonSpec));
    EXPECT_EQ(RecordLines(corner.get(), kAbInfissiObjApp)[9], "1040 45");
    EXPECT_EQ(RecordLines(corner.get(), kTag3DiStrRecordApp)[1], "1070 18");
}

TEST_F(Placed, slab_objects_schedule_tables_separators_and_handrails) {
    const std::string polig = "POLIG\n-2\n(0 0 0)\n(10 0 0)\n";
    Groups pitch = attach("$3= 48\n$30= 0.25\n$31= 3.7\n$20= 1\n$11015= 5\n$11016= 6\n", polig);
    EXPECT_EQ(AppOrder(pitch.get())[0], kPoligFaldaApp);
    EXPECT_EQ(RecordLines(pitch.get(), kPoligFaldaApp),
              (Lines{"1001 VELM5$_$POLIGFALDA-", "1070 3", "1070 -2", "1011 100,200,0", "1070 -2",
                     "1011 100,210,0"}));
    EXPECT_EQ(RecordLines(pitch.get(), kParamRecordApp)[7], "1010 0.25,0,0");
    EXPECT_EQ(
        RecordLines(pitch.get(), kParaSpecApp),
        Concat({"1001 VELM5$_$PARASPEC-", "1070 24", "1040 0", "1070 23", "1040 0", "1070 22", "1040 0",
                "1070 21", "1040 0", "1070 20", "1040 1", "1070 11015", "1040 5", "1070 11016", "1040 6"},
               kCommonSpec));
    Groups slab = attach("$3= 19\n$31= 3.7\n", polig);
    EXPECT_EQ(RecordLines(slab.get(), kPoligFaldaApp)[1], "1070 3");
    Groups free = attach("$3= 10\n", polig);
    EXPECT_EQ(RecordLines(free.get(), kPoligFaldaApp)[1], "1070 0");

    Groups table = attach("$3= 22\n$40= 12.9\n$41=\"VELMOA01\"C\n$79=\"DOORS\"C\n");
    EXPECT_EQ(RecordLines(table.get(), kAbInfissiTabApp),
              (Lines{"1001 VELM6$_$ABINFISSI_TAB-", "1000 VELMOA01", "1000 DOORS", "1070 12"}));
    Groups separator = attach("$3= 24\n$30= 0\n$40= 50\n");
    EXPECT_EQ(RecordLines(separator.get(), kSeparatoreApp),
              (Lines{"1001 VELM6$_$SEPARATORE-", "1011 100,200,0", "1011 150,200,0"}));

    const std::string stair =
        "DCHANDSTAIR\nBEGIN\n(1 2 3)\n(10 0 6)\n(0.5 8 9)\n(0 10 1)\n(0 20 2)\n(0 30 3)\n"
        "BEGIN\n(11 12 13)\n(0 0 0)\n(0 0 0)\n(0 0 0)\n(0 0 0)\n(0 0 0)\nEND_DCHAND\n";
    Groups rail = attach("$3= 20\n", stair);
    EXPECT_EQ(RecordLines(rail.get(), kDatiCManoApp), (Lines{"1001 VELM5$_$DATICMANO-", "1040 11", "1040 12",
                                                             "1040 13", "1040 0", "1040 0", "1040 0"}));
    EXPECT_EQ(RecordLines(rail.get(), kDatiCManoScalaApp), (Lines{"1001 VELM5$_$DATICMANOSCALA-",
                                                                  "1002 {",
                                                                  "1040 1",
                                                                  "1040 2",
                                                                  "1040 3",
                                                                  "1040 6",
                                                                  "1040 8",
                                                                  "1040 9",
                                                                  "1011 100,210,6",
                                                                  "1040 0.5",
                                                                  "1011 90,200,1",
                                                                  "1011 80,200,2",
                                                                  "1011 70,200,3",
                                                                  "1002 }",
                                                                  "1002 {",
                                                                  "1040 11",
                                                                  "1040 12",
                                                                  "1040 13",
                                                                  "1040 0",
                                                                  "1040 0",
                                                                  "1040 0",
                                                                  "1011 100,200,0",
                                                                  "1040 0",
                                                                  "1011 100,200,0",
                                                                  "1011 100,200,0",
                                                                  "1011 100,200,0",
                                                                  "1002 }"}));
    Groups corner = attach("$3= 27\n", stair);
    EXPECT_FALSE(RecordLines(corner.get(), kDatiCManoApp).empty());
    Groups other = attach("$3= 10\n", stair);
    EXPECT_TRUE(RecordLines(other.get(), kDatiCManoApp).empty());
    EXPECT_FALSE(RecordLines(other.get(), kDatiCManoScalaApp).empty());
}

TEST_F(Placed, per_kind_records_follow_paraspec_in_their_order) {
    setReal(SetupVar::SRAPPORTO_UM, 1.0);
    Groups x =
        attach("$3= 10\n$14=\"AB-1\"C\n$20=\"n\"01I3\n$11097=\"SZAFY\"C\n$11103= 2.5\n$11104=\"Opis\"C\n",
               "ISLANDH\n(0 0 0)\n(5 0 0)\nEND_ISLANDH\n"
               "POLIGDED\n2\n(1 0 0)\n(2 0 0)\n"
               "ST3DPLANE\nBEGIN\n2\n(0 0 0)\n(1 0 0)\nBEGIN\n1\n(2 0 0)\nEND_ST3DPLANE\n"
               "COM\nA\n$20\nx\nB\ny\nz\nEND_COM\n"
               "TABELLE\n$20\n$99\n$14\nEND_TABELLE\n",
               [](ObjContext& c) {
                   c.layerSubstitutions = {{"A", "B"}, {"C", "D"}};
               });
    EXPECT_EQ(AppOrder(x.get()),
              (std::vector<std::string>{kParamRecordApp, kParaSpecApp, kCambioLayerApp, kInfoScaleSt3dApp,
                                        kIsolTrattApp, kTernaCompApp, kDetCompScaleApp, kAbGenericiObjApp}));
    EXPECT_EQ(RecordLines(x.get(), kCambioLayerApp),
              (Lines{"1001 VELM11CAD$_$CAMBIOLAYER-", "1000 C", "1000 D", "1000 A", "1000 B"}));
    EXPECT_EQ(RecordLines(x.get(), kInfoScaleSt3dApp),
              (Lines{"1001 VELM7$_$INFOSCALEST3D-", "1002 {", "1011 100,201,0", "1011 100,200,0", "1002 }",
                     "1002 {", "1011 100,202,0", "1002 }"}));
    EXPECT_EQ(RecordLines(x.get(), kIsolTrattApp),
              (Lines{"1001 VELM5$_$ISOLTRATT-", "1011 100,205,0", "1011 100,200,0"}));
    EXPECT_EQ(RecordLines(x.get(), kTernaCompApp),
              (Lines{"1001 VELM5$_$TERNACOMP-", "1000 A", "1000 3", "1000 x", "1000 B", "1000 y", "1000 z"}));
    EXPECT_EQ(RecordLines(x.get(), kDetCompScaleApp),
              (Lines{"1001 VELM7$_$DETCOMPSCALE-", "1011 100,201,0", "1011 100,202,0"}));
    EXPECT_EQ(RecordLines(x.get(), kAbGenericiObjApp),
              (Lines{"1001 VELM6$_$ABGENERICI_OBJ-", "1000 " + name(), "1000 SZAFY",
                     "1000 Wstaw ostatnie parametry", "1000 Opis", "1000 AB-1", "1040 2.5", "1070 20",
                     "1040 3", "1070 14", "1000 AB-1"}));
}

TEST_F(Placed, attributes_and_a_refused_insert) {
    AttdefRecord variable;
    variable.layer = "0";
    variable.tag = "NR";
    variable.defaultValue = "12";
    variable.style = "STANDARD";
    variable.height = 5;
    variable.point[0] = 10;
    variable.point[2] = 3;
    variable.rotation = 0.25;
    variable.justification = 102;
    AttdefRecord constant = variable;
    constant.tag = "STALY";
    constant.flags = 2;
    const std::size_t before = modelSpace().size();
    attach("$3= 10\n", "", [&](ObjContext& c) {
        c.attdefs = {constant, variable};
        c.elevation = 7;
    });
    std::vector<ZcDbObjectId> ids = modelSpace();
    ASSERT_EQ(ids.size(), before + 1);
    Groups insert(zcdbEntGet(last));
    EXPECT_EQ(kind(insert), "INSERT");
    EXPECT_EQ(integer(insert, 66), 1);
    EXPECT_POINT(point(insert, 210), 0, 0, 1);
    ads_name next;
    ASSERT_EQ(zcdbEntNext(last, next), RTNORM);
    Groups attrib(zcdbEntGet(next));
    EXPECT_EQ(kind(attrib), "ATTRIB");
    EXPECT_EQ(text(attrib, 2), "NR");
    EXPECT_EQ(text(attrib, 1), "12");
    EXPECT_POINT(point(attrib, 10), 100, 210, 7);
    EXPECT_NEAR(real(attrib, 50), 0.25 + kHalfPi, 1e-12);
    EXPECT_EQ(integer(attrib, 72), 2);
    EXPECT_EQ(integer(attrib, 74), 1);
    // The constant one made none.
    if (zcdbEntNext(next, next) == RTNORM) {
        EXPECT_NE(kind(Groups(zcdbEntGet(next))), "ATTRIB");
    }

    // Only constant attributes: none made, yet the INSERT (added by the
    // host only at its SEQEND) is in the drawing.
    const std::size_t withOne = modelSpace().size();
    attach("$3= 10\n", "", [&](ObjContext& c) { c.attdefs = {constant}; });
    EXPECT_EQ(modelSpace().size(), withOne + 1);
    if (zcdbEntNext(last, next) == RTNORM) {
        EXPECT_NE(kind(Groups(zcdbEntGet(next))), "ATTRIB");
    }

    // Parameters beyond the host's xdata limit: nothing is left behind.
    std::string many = "$3= 10\n";
    for (int i = 0; i < 700; ++i)
        many += "$" + std::to_string(20000 + i) + "=\"p\"S\"" + std::string(20, 'x') + "\"\n";
    ObjContext& c = prepared("BIG", Def(many), false);
    c.attdefs = {variable};
    const std::size_t count = modelSpace().size();
    const std::size_t mark = transcript().size();
    ads_name e;
    EXPECT_EQ(AttachParamXdata(c, e), -1);
    EXPECT_EQ(modelSpace().size(), count);
    EXPECT_NE(transcript().find("\nNie można utworzyć obiektu BIG", mark), std::string::npos);
    // The host takes new entities normally afterwards.
    attach("$3= 10\n");
    EXPECT_EQ(modelSpace().size(), count + 1);
}

TEST_F(Placed, unique_codes_are_found_without_regard_to_case) {
    EXPECT_EQ(FindObjectByUniqueCode("ab-7"), 0);
    attach("$3= 10\n$14=\"X-1\"C\n$11097=\"SZAFY\"C\n");
    attach("$3= 10\n$14=\"AB-7\"C\n$11097=\"SZAFY\"C\n");
    EXPECT_EQ(FindObjectByUniqueCode("ab-7"), 1);
    EXPECT_TRUE(Highlighted(last));
    EXPECT_EQ(FindObjectByUniqueCode("ab-8"), 0);
}

TEST(OpeningWords, kind_words_both_ways_and_unknown_words_left_alone) {
    std::string out = "stale";
    TranslateOpeningType("windows", out, false);
    EXPECT_EQ(out, "FINESTRE");
    TranslateOpeningType("Porte", out, true);
    EXPECT_EQ(out, "DOORS");
    TranslateOpeningType("APERTURE", out, true);
    EXPECT_EQ(out, "OPENINGS");
    TranslateOpeningType("GATES", out, false);
    EXPECT_EQ(out, "OPENINGS");
}
