// The insertion run on scripted answers: what a run leaves in the drawing
// and in its context for the roads through the placement, the counters it
// advances, and the system variables it puts back.
#include "objects/placement/insert_run.h"

#include <cmath>
#include <filesystem>

#include "core/entity_data.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "objects/placement/library_cmds.h"
#include "objects/placement/modify_regen.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/objects/language/lang_fixture.h"

namespace {

// A free object 100 long with one fixed point; `extra` adds VAR lines.
std::string Definition(int type, const std::string& extra = "") {
    return "VAR\n$3= " + std::to_string(type) + "\n$40=\"Długość\"01D100\n" + extra +
           "END_VAR\n\nFIXP\n(0 0 0 0)\nEND_FIXP\n\nDRAG\n2 1\n(0 0 0)\n($40 0 0)\n(1 2)\n\n"
           "DRAW\n0\nLINE\n0\n(0 0 0)\n($40 0 0)\nEND\n";
}

class InsertRun : public ObjLanguage {
protected:
    ObjContext& context(const std::string& name, int runMode = 0) {
        contexts.push_back(NewObjContext(name));
        ObjContext& c = *contexts.back();
        InitObjVariables(c);
        c.runMode = runMode;
        c.skipParamInput = 1;
        return c;
    }
    static double var(ObjContext& c, int number) {
        const ObjVar* v = FindObjVar(number, c.vars);
        return v ? v->value : std::nan("");
    }
    static int inserts() { return count("0=INSERT -3=VELM5$_$PARAMETRI-"); }
};

}  // namespace

TEST_F(InsertRun, a_free_object_lands_where_picked_with_the_angle_variables) {
    write("T.txt", Definition(10));
    struct Row {
        const char* angle;
        double flag;
    };
    // 5001 is set strictly inside (0.74 pi, 1.74 pi).
    for (const Row& r : {Row{"135", 1.0}, Row{"90", 0.0}, Row{"314", 0.0}, Row{"310", 1.0}}) {
        ObjContext& c = context("T");
        push({"100,50", r.angle, ""});
        EXPECT_EQ(InsertParamObject(c, nullptr, nullptr, 1), 0);
        EXPECT_EQ(var(c, 5001), r.flag) << r.angle;
        EXPECT_NEAR(var(c, 30), std::stod(r.angle) * std::acos(-1.0) / 180.0, 1e-9);
        EXPECT_NEAR(var(c, 10025), 100.0, 1e-9);
        EXPECT_NEAR(var(c, 10026), 50.0, 1e-9);
    }
    EXPECT_EQ(inserts(), 4);
}

TEST_F(InsertRun, block_only_types_and_replace_and_cancel_leave_no_insert) {
    for (int type : {13}) {
        write("B.txt", Definition(type));
        ObjContext& c = context("B");
        AAR_LAYERC layers;
        ASSERT_EQ(LoadObjFile(c, "B"), 1);
        ASSERT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        c.repeat = 1;
        EXPECT_EQ(PlaceParamObject(c, layers, nullptr), -1) << type;
        EXPECT_FALSE(c.blockName.empty()) << type;
    }
    EXPECT_EQ(inserts(), 0);
    write("T.txt", Definition(10));
    ObjContext& replace = context("T");
    push("Zastąp");
    EXPECT_EQ(InsertParamObject(replace, nullptr, nullptr, 1), kReplaceChosen);
    ObjContext& cancel = context("T");
    EXPECT_EQ(InsertParamObject(cancel, nullptr, nullptr, 1), 0);
    EXPECT_EQ(inserts(), 0);
}

TEST_F(InsertRun, a_repeated_object_is_placed_until_the_user_cancels_and_a_missing_file_is_reported) {
    write("R.txt", Definition(10, "$29= 1\n"));
    ObjContext& c = context("R");
    push({"0,0", "", "100,0", "", "200,0", ""});
    InsertParamObject(c, nullptr, nullptr, 1);
    EXPECT_EQ(inserts(), 3);
    ObjContext& other = context("R", 1);
    push({"0,0", "", "100,0", ""});
    InsertParamObject(other, nullptr, nullptr, 1);
    EXPECT_EQ(inserts(), 4);  // only a new insertion repeats
    ObjContext& missing = context("NONE");
    EXPECT_EQ(InsertParamObject(missing, nullptr, nullptr, 1), 0);
    EXPECT_NE(transcript().find("NONE(.txt) !Nie mogę znaleźć pliku definicji obiektu"), std::string::npos);
}

TEST_F(InsertRun, counters_advance_by_the_opening_category_and_the_label_kind) {
    setInt(SetupVar::SUFFISSOFINES, 4);
    setInt(SetupVar::SUFFISSOPORTA, 7);
    ObjContext& c = context("T");
    SetObjVar(11102, kVarFixed, 1, u'S', "", 0, "windows", 0, 0, c.vars);
    AdvanceObjectCounters(c, 0);
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOFINES), 5);
    EXPECT_EQ(var(c, 11100), 5.0);
    SetObjVar(11102, kVarFixed, 1, u'S', "", 0, "SCHODY", 0, 0, c.vars);
    AdvanceObjectCounters(c, 0);
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOPORTA), 8);
    EXPECT_EQ(var(c, 11101), 8.0);
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOFINES), 5);

    setInt(SetupVar::PROGRESSIVALET, 'A');
    SetObjVar(11034, kVarParameter, 1, u'S', "", 0, "A", 0, 0, c.vars);
    AdvanceObjectCounters(c, 1);
    EXPECT_EQ(FindObjVar(11034, c.vars)->text, "B");
    EXPECT_EQ(SettingInt(SetupVar::PROGRESSIVALET), 'B');
}

TEST_F(InsertRun, ratio_variables_follow_the_insertion_type) {
    ObjContext& c = context("T");
    for (int n : {4, 5, 31, 33, 34}) SetObjVar(n, kVarParameter, 1, u'D', "", 2.0, "", 0, 0, c.vars);
    SetObjVar(6, kVarComputed, 1, u'D', "", 0.0, "", 0, 0, c.vars);
    c.insertionType = InsertionType::SlabCutTotalGiven;
    ComputeRatioVars(c);
    EXPECT_EQ(var(c, 6), 6.0);  // 31 + 33 + 34
    EXPECT_NEAR(var(c, 5), 2.0 / 6.0, 1e-12);
    c.insertionType = InsertionType::SlabCutPartGiven;
    FindObjVar(5, c.vars)->value = 3.0;
    ComputeRatioVars(c);
    EXPECT_EQ(var(c, 4), 18.0);
    // A parameter $6 is the user's; zero gives a zero ratio, not a division.
    SetObjVar(6, kVarParameter, 1, u'D', "", 0.0, "", 0, 0, c.vars);
    c.insertionType = InsertionType::SlabCutTotalGiven;
    ComputeRatioVars(c);
    EXPECT_EQ(var(c, 6), 0.0);
    EXPECT_EQ(var(c, 5), 0.0);
}

TEST_F(InsertRun, regeneration_shows_a_new_block_on_the_same_insert_or_leaves_it_alone) {
    write("T.txt", Definition(10));
    ObjContext& c = context("T");
    push({"100,50", "", ""});
    InsertParamObject(c, nullptr, nullptr, 1);
    ASSERT_EQ(inserts(), 1);
    ads_name insert;
    ASSERT_EQ(zcdbEntLast(insert), RTNORM);
    const auto block = [&] {
        resbuf* list = zcdbEntGet(insert);
        std::string name = FindRbCode(list, 2)->resval.rstring;
        zcutRelRb(list);
        return name;
    };
    const std::string first = block();
    AAR_LAYERC layers;
    // An opening type filter skips an object without a schedule record.
    RegenParamObject(insert, layers, nullptr, -1, "WINDOWS", nullptr);
    EXPECT_EQ(block(), first);
    RegenParamObject(insert, layers, nullptr, -1, "*", nullptr);
    const std::string second = block();
    EXPECT_NE(second, first);
    EXPECT_EQ(inserts(), 1);  // the same INSERT, its record kept
    // A definition that no longer draws leaves the object as it was.
    write("T.txt", "VAR\n$3= 10\nEND_VAR\nDRAW\n0\nLINE\n0\n($99 0 0)\n");
    RegenParamObject(insert, layers, nullptr, -1, nullptr, nullptr);
    EXPECT_EQ(block(), second);
    EXPECT_EQ(inserts(), 1);
}

TEST_F(InsertRun, a_definition_is_named_by_a_reduced_file_name_or_by_a_placed_object) {
    write("T.txt", Definition(10));
    std::string name = "lib/T.txt";
    EXPECT_EQ(SelectObjectFile("", name, nullptr), 1);
    EXPECT_EQ(name, "T");
    name = "other/MISSING.txt";  // not found: passed on as typed
    EXPECT_EQ(SelectObjectFile("", name, nullptr), 1);
    EXPECT_EQ(name, "other/MISSING.txt");
    // Paths a file dialog gives, from folders with a dot in their names:
    // stored whole, they would tie the drawing to this machine.
    for (const std::string& chosen : {path("wersja.2") + "/T.txt", std::string("C:\\Dane.v2\\T.txt")}) {
        name = chosen;
        EXPECT_EQ(SelectObjectFile("", name, nullptr), 1);
        EXPECT_EQ(name, "T") << chosen;
    }

    ObjContext& c = context("T");
    push({"100,50", ""});
    InsertParamObject(c, nullptr, nullptr, 1);
    ads_name placed;
    ASSERT_EQ(zcdbEntLast(placed), RTNORM);
    const ads_point a = {0, 500, 0}, b = {10, 500, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    // A plain line is refused and asked again; the placed object answers.
    name = ".";
    push({"!pick 5,500", "!pick 150,50"});
    EXPECT_EQ(SelectObjectFile("\nWybierz:", name, nullptr), 1);
    EXPECT_EQ(name, "T");
    EXPECT_NE(transcript().find("Wybrany element nie jest parametrycznym obiektem"), std::string::npos);
    name = ".";
    EXPECT_EQ(GetParamObjectFile("\nWybierz:", name, placed), 1);  // the preset asks nothing
    EXPECT_EQ(name, "T");
}

TEST_F(InsertRun, a_modified_object_is_rebuilt_in_place_or_comes_back_when_it_cannot_be) {
    write("T.txt", Definition(10));
    ObjContext& c = context("T");
    push({"100,50", "90", ""});
    InsertParamObject(c, nullptr, nullptr, 1);
    ads_name placed;
    ASSERT_EQ(zcdbEntLast(placed), RTNORM);
    const auto insertPoint = [](const ads_name e) {
        resbuf* list = zcdbEntGet(e);
        const resbuf* at = FindRbCode(list, 10);
        const Point3 p{at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]};
        zcutRelRb(list);
        return p;
    };
    ObjContext& read = context("T");
    ObjParamRecord record;
    ASSERT_EQ(LoadObjFile(read, "T"), 1);
    ASSERT_EQ(ReadVarSection(false, read), 0);
    EXPECT_EQ(LoadObjectParametriXData(read, placed, record, true), 1);
    EXPECT_NEAR(read.rotation, std::acos(-1.0) / 2, 1e-9);
    record.insertionType = InsertionType::StraightWallOpening;  // another insertion type is refused
    EXPECT_EQ(LoadObjectParametriXData(read, placed, record, true), -1);

    // Position kept: the new INSERT stands where the old one stood.
    ObjContext& modify = context("T", 1);
    ModifyParamObjects(modify, placed);
    EXPECT_EQ(inserts(), 1);
    ads_name rebuilt;
    ASSERT_EQ(zcdbEntLast(rebuilt), RTNORM);
    EXPECT_NEAR(insertPoint(rebuilt).x, 100.0, 1e-9);
    EXPECT_NEAR(insertPoint(rebuilt).y, 50.0, 1e-9);

    // A definition that no longer draws: the object comes back.
    write("T.txt", "VAR\n$3= 10\n$40=\"Długość\"01D100\nEND_VAR\nDRAW\n0\nLINE\n0\n($99 0 0)\n");
    ObjContext& failing = context("T", 1);
    ModifyParamObjects(failing, rebuilt);
    EXPECT_EQ(inserts(), 1);
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    EXPECT_NEAR(insertPoint(rebuilt).x, 100.0, 1e-9);
}

TEST_F(InsertRun, replacement_by_another_insertion_type_is_refused_and_the_object_kept) {
    write("T.txt", Definition(10));
    write("W.txt", Definition(12));
    ObjContext& c = context("T");
    push({"100,50", ""});
    InsertParamObject(c, nullptr, nullptr, 1);
    ASSERT_EQ(inserts(), 1);
    ObjContext& replace = context("W", 2);
    replace.skipParamInput = 0;
    push({"!pick 150,50", ""});
    ReplaceParamObjects(replace);
    EXPECT_NE(transcript().find("Obiekty muszą być tego samego typu"), std::string::npos) << transcript();
    EXPECT_EQ(inserts(), 1);
}

TEST_F(InsertRun, a_unique_code_already_in_the_drawing_stops_a_new_insertion_but_not_a_schedule_run) {
    write("U.txt", Definition(10, "$11097=\"MEBEL\"C\n$14=\"K1\"C\n"));
    ObjContext& first = context("U");
    push({"100,50", ""});
    InsertParamObject(first, nullptr, nullptr, 1);
    ASSERT_EQ(inserts(), 1);
    ObjContext& again = context("U");
    push({"300,50", ""});
    InsertParamObject(again, nullptr, nullptr, 1);
    EXPECT_NE(transcript().find("Obiekt z unikalnym kodem >K1< już istnieje"), std::string::npos);
    EXPECT_EQ(inserts(), 1);
    ObjContext& schedule = context("U", 5);
    push({"500,50", ""});
    InsertParamObject(schedule, nullptr, nullptr, 1);
    EXPECT_EQ(inserts(), 2);
}
