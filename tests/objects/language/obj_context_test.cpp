// Numbered variables and the object context: the VAR line forms and their
// faults, the include flags, the insertion type, the predefined variables,
// the fixed points and the number prompt.
#include "objects/language/obj_context.h"

#include <gtest/gtest.h>

#include "lang_fixture.h"

namespace {

std::string Marker(const ObjText& t, std::size_t i) {
    return t.lines[i].text.substr(0, 12);
}

}  // namespace

TEST_F(ObjLanguage, var_lines_of_every_form) {
    setUnit(10.0);
    write("FORMS.txt",
          "VAR\n"
          "; a comment, then a blank line\n\n"
          "$12=\"Width\"05D90\n"
          "#20= 4.5 ; a number in drawing units\n"
          "$31= $12/2\n"
          "$40=\"Okno\"C\n"
          "-33= 1+1\n"
          "$13=\"Height\"03r7\n"
          "$14=\"Name\"04S\"abc\"\n"
          "$11034=\"Label\"06S\"x\"\n"
          "END_VAR\n");
    ObjContext& c = load("FORMS");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    const ObjVar* w = FindObjVar(12, c.vars);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->kind, kVarParameter);
    EXPECT_EQ(w->order, 5);
    EXPECT_EQ(w->type, u'D');
    EXPECT_EQ(w->significant, 1);
    EXPECT_EQ(w->value, 900.0);
    const ObjVar* n = FindObjVar(20, c.vars);
    EXPECT_EQ(n->kind, kVarComputed);
    EXPECT_EQ(n->description, "4.5");
    EXPECT_EQ(n->value, 45.0);
    EXPECT_EQ(n->numeric, 1);
    EXPECT_EQ(FindObjVar(31, c.vars)->value, 0.0);
    EXPECT_EQ(FindObjVar(31, c.vars)->description, "$12/2");
    const ObjVar* k = FindObjVar(40, c.vars);
    EXPECT_EQ(k->kind, kVarFixed);
    EXPECT_EQ(k->type, u'S');
    EXPECT_EQ(k->text, "Okno");
    EXPECT_EQ(FindObjVar(33, c.vars)->trace, 1);
    EXPECT_EQ(FindObjVar(13, c.vars)->type, u'R');
    EXPECT_EQ(FindObjVar(13, c.vars)->significant, 0);
    EXPECT_EQ(FindObjVar(13, c.vars)->value, 70.0);
    EXPECT_EQ(FindObjVar(14, c.vars)->text, "abc");
    EXPECT_EQ(FindObjVar(11034, c.vars)->text, "");

    // Reading the declarations again without values keeps the current ones.
    FindObjVar(12, c.vars)->value = 1.5;
    FindObjVar(14, c.vars)->text = "kept";
    ASSERT_EQ(ReadVarSection(false, c), 0);
    EXPECT_EQ(FindObjVar(12, c.vars)->value, 1.5);
    EXPECT_EQ(FindObjVar(14, c.vars)->text, "kept");
}

TEST_F(ObjLanguage, wrong_var_lines_name_their_variable) {
    struct Case {
        const char* body;
        int result;
    } cases[] = {
        {"$12=\"A\"05D1\n$13=\"B\"05D2\nEND_VAR\n", 13},  // the same order twice
        {"$12=\"A\"05D1\n", -1},                          // no end line
        {"$0=\n", kVarZeroLineWrong},                     // variable 0, not success
        {"$7=\"A\"X1\nEND_VAR\n", 7},                     // no such type letter
        {"$8=\"A\n", 8},                                  // no closing quote
        {"$9=\"A\"S\nEND_VAR\n", 9},                      // a text without its value
        {"$x= 1\nEND_VAR\n", -1},                         // no number
        {"$10 2\nEND_VAR\n", 10},                         // no "="
    };
    for (const Case& k : cases) {
        write("BAD.txt", std::string("VAR\n") + k.body);
        ObjContext& c = load("BAD");
        EXPECT_EQ(ReadVarSection(true, c), k.result) << k.body;
    }
    EXPECT_EQ(VarSectionErrorLabel(kVarZeroLineWrong), "VAR(0)");
    EXPECT_EQ(VarSectionErrorLabel(13), "VAR(13)");
    write("NOSECTION.txt", "DRAW\nEND\n");
    EXPECT_EQ(ReadVarSection(true, load("NOSECTION")), -1);

    // A line is read in entries of 257 characters: the expression of a
    // longer line is its first entry's part, the rest is no declaration.
    write("EXPR.txt", "VAR\n$31= 2" + std::string(255, '0') + "\n$32= 1\nEND_VAR\n");
    ObjContext& e = load("EXPR");
    EXPECT_EQ(ReadVarSection(true, e), 0);
    EXPECT_EQ(FindObjVar(31, e.vars)->description, "2" + std::string(251, '0'));
    EXPECT_EQ(FindObjVar(32, e.vars)->description, "1");
}

TEST_F(ObjLanguage, parameters_flag_the_innermost_include_block) {
    write("NEST.txt", "VAR\n@\"outer.inc\"\n$40= 1\nEND_VAR\n");
    write("outer.inc", "$31= 2\n@\"inner.inc\"\n$32= 3\n");
    write("inner.inc", "$12=\"A\"01D1\n");
    ObjContext& c = load("NEST");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    EXPECT_EQ(Marker(*c.text, 1), ";DDC$2009560");  // outer: no parameter of its own
    EXPECT_EQ(Marker(*c.text, 3), ";DDC$2009561");  // inner
    // A parameter after the inner block belongs to the outer one.
    write("outer.inc", "@\"inner.inc\"\n$13=\"B\"02D1\n");
    ObjContext& d = load("NEST");
    ASSERT_EQ(ReadVarSection(true, d), 0);
    EXPECT_EQ(Marker(*d.text, 1), ";DDC$2009561");
    EXPECT_EQ(Marker(*d.text, 2), ";DDC$2009561");
}

// A definition read again in the same command is the one on disk: kept
// while it stays as it was, read anew once it grew or was touched.
TEST_F(ObjLanguage, a_definition_read_again_after_it_changed_is_the_new_one) {
    write("KEPT.txt", "VAR\n$31= 2\nEND_VAR\n");
    ObjContext& a = load("KEPT");
    ASSERT_EQ(ReadVarSection(true, a), 0);
    EXPECT_EQ(FindObjVar(31, a.vars)->description, "2");
    ObjContext& b = load("KEPT");
    ASSERT_EQ(ReadVarSection(true, b), 0);
    EXPECT_EQ(FindObjVar(31, b.vars)->description, "2");
    write("KEPT.txt", "VAR\n$31= 42\nEND_VAR\n");
    ObjContext& c = load("KEPT");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    EXPECT_EQ(FindObjVar(31, c.vars)->description, "42");
}

TEST_F(ObjLanguage, insertion_type_and_its_options) {
    write("STAIR.txt", "VAR\n$3= 14\n$4=\"H\"01D280\n$5=\"R\"02D17\n$0=\"Z\"03D0\n$29= 1\nEND_VAR\n");
    const int raps = SetupVar::RAPSCALEPROSP;
    short two = 2;
    SetVarInt(&raps, &two);
    const int sqpav = SetupVar::SQPAV;
    double level = 300.0;
    SetVarReal(&sqpav, &level);
    setInt(SetupVar::INS_APER_SOLO3D, 1);

    setInt(SetupVar::SCALADINTER, 1);
    ObjContext& a = load("STAIR");
    EXPECT_EQ(a.only3d, 1);
    ASSERT_EQ(ReadVarSection(true, a), 0);
    ReadInsertionType(a);
    EXPECT_EQ(a.insertionType, InsertionType::SlabCutTotalGiven);
    EXPECT_EQ(a.workingType, InsertionType::SlabCutTotalGiven);
    EXPECT_EQ(FindObjVar(5, a.vars)->kind, kVarFixed);
    EXPECT_EQ(FindObjVar(4, a.vars)->kind, kVarParameter);
    EXPECT_EQ(FindObjVar(11003, a.vars)->value, 1.0);
    EXPECT_EQ(a.only3d, 0);  // kept for openings and corners only
    EXPECT_EQ(a.elevationGiven, 1);
    EXPECT_EQ(a.elevation, 300.0);
    EXPECT_EQ(a.repeat, 1);

    setInt(SetupVar::SCALADINTER, 0);
    ObjContext& b = load("STAIR");
    ASSERT_EQ(ReadVarSection(true, b), 0);
    ReadInsertionType(b);
    EXPECT_EQ(b.insertionType, InsertionType::SlabCutPartGiven);
    EXPECT_EQ(FindObjVar(4, b.vars)->kind, kVarFixed);
    EXPECT_EQ(FindObjVar(5, b.vars)->kind, kVarParameter);

    write("PLAIN.txt", "VAR\n$8=\"W\"01D1\nEND_VAR\n");
    ObjContext& p = load("PLAIN");
    ASSERT_EQ(ReadVarSection(true, p), 0);
    ReadInsertionType(p);
    EXPECT_EQ(p.insertionType, InsertionType::Free);
    EXPECT_EQ(p.elevationGiven, 0);
}

TEST_F(ObjLanguage, new_context_and_predefined_variables) {
    EXPECT_EQ(NewObjContext("tcWall")->layerDefFile, "TCLAYERC.DEF");
    EXPECT_EQ(NewObjContext("F1")->layerDefFile, "LAYERC.DEF");
    auto c = NewObjContext("F1");
    EXPECT_EQ(c->paramSetName, "Wstaw ostatnie parametry");
    EXPECT_EQ(c->insertionType, InsertionType::Free);
    EXPECT_EQ(c->alignment, 2);

    setInt(SetupVar::CALC_INT_SEZ, 2 | 16 | 64);
    setInt(SetupVar::SALLINTXTQ, 21);
    const int sqpav = SetupVar::SQPAV;
    double level = 12.5;
    SetVarReal(&sqpav, &level);
    setUnit(10.0);
    InitObjVariables(*c);
    auto value = [&](int n) { return FindObjVar(n, c->vars) ? FindObjVar(n, c->vars)->value : -1.0; };
    EXPECT_EQ(value(10001), 1.0);
    EXPECT_EQ(value(10002), 0.0);
    EXPECT_EQ(value(10003), 0.0);
    EXPECT_EQ(value(10004), 1.0);
    EXPECT_EQ(value(10005), 1.0);
    EXPECT_EQ(value(9), 1.0);
    EXPECT_EQ(value(11009), 2.0);
    EXPECT_EQ(value(7), 10.0);
    EXPECT_DOUBLE_EQ(value(15), 3.14159265358979323846);
    EXPECT_EQ(FindObjVar(11035, c->vars)->text, "12.5");
    EXPECT_EQ(FindObjVar(11030, c->vars)->text, "0");
    const std::string date = FindObjVar(11032, c->vars)->text;
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[2], '/');
    EXPECT_EQ(date[5], '/');
    InitObjSettingVars(*c, "VELMOA01");
    EXPECT_EQ(FindObjVar(41, c->vars)->text, "VELMOA01");
    EXPECT_EQ(FindObjVar(45, c->vars)->value, 2.0);
    // A later declaration of a predefined number replaces it.
    SetObjVar(9, kVarParameter, 1, u'I', "Kind", 4.0, "", 0, 0, c->vars);
    EXPECT_EQ(value(9), 4.0);
    EXPECT_EQ(FindObjVar(9, c->vars)->order, -1);
    FreeObjContext(std::move(c));
    FreeObjContext(nullptr);
}

TEST_F(ObjLanguage, fixed_points_by_index_and_kind) {
    auto c = NewObjContext("X");
    VertexNode* list = nullptr;
    AppendVertex(&list, {0, 0, 0}, 0, 0, 0);
    AppendVertex(&list, {10, 0, 0}, 1, 0, 0);
    AppendVertex(&list, {10, 0, 0}, 2, 0, 0);
    AppendVertex(&list, {5, 5, 0}, 3, 0, 0);
    c->fixedPoints.reset(list);
    double p[3];
    EXPECT_EQ(GetObjPoint(*c, p), 0);
    c->fixedPointIndex = 4;
    EXPECT_EQ(GetObjPoint(*c, p), 3);
    EXPECT_EQ(p[1], 5.0);
    c->fixedPointIndex = 9;
    EXPECT_EQ(GetObjPoint(*c, p), 0);
    EXPECT_EQ(p[0], 0.0);

    // From the last point the search wraps to the first, skipping a point
    // equal to the given one and points of the other kind class.
    const double given[3] = {0, 0, 0};
    double out[3];
    c->fixedPointIndex = 4;
    NextFixedPoint(given, *c, out, 0);
    EXPECT_EQ(c->fixedPointIndex, 2);
    EXPECT_EQ(out[0], 10.0);
    NextFixedPoint(given, *c, out, 2);
    EXPECT_EQ(c->fixedPointIndex, 3);
    c->fixedPointIndex = 9;
    NextFixedPoint(given, *c, out, 0);
    EXPECT_EQ(c->fixedPointIndex, 9);
    EXPECT_EQ(out[0], 0.0);

    EXPECT_EQ(FindFixedPointByKind(*c, out, 1), 3);
    EXPECT_EQ(c->fixedPointIndex, 4);
    EXPECT_EQ(FindFixedPointByKind(*c, out, 2), 0);
    EXPECT_EQ(FindFixedPointByKind(*c, out, 0), 1);
    EXPECT_EQ(FindFixedPointByKind(*c, out, 3), 2);
    c->fixedPoints.reset();
    EXPECT_EQ(FindFixedPointByKind(*c, out, 1), 0);
    EXPECT_EQ(FindFixedPointByKind(*c, out, 2), 3);
}

TEST_F(ObjLanguage, number_prompt_with_replies_and_point_filters) {
    double v = 0.0;
    // A reply that only begins with a number is asked again, not read as it.
    push({"abc", "12abc", "1,5", "0x10", "--5", "12.5"});
    const std::size_t before = transcript().size();
    EXPECT_EQ(PromptNumberWithFilters("\nWartość: ", 0.0, v), RTNORM);
    EXPECT_EQ(v, 12.5);
    std::size_t said = 0;
    for (std::size_t at = transcript().find("\nPodana wartość jest nieprawidłowa", before);
         at != std::string::npos; at = transcript().find("\nPodana wartość jest nieprawidłowa", at + 1))
        ++said;
    EXPECT_EQ(said, 5u);
    push("?");
    EXPECT_EQ(PromptNumberWithFilters("\nWartość: ", 0.0, v), kNumReplyQuestion);
    push(">");
    EXPECT_EQ(PromptNumberWithFilters("\nWartość: ", 0.0, v), kNumReplyGreater);
    push("");
    EXPECT_EQ(PromptNumberWithFilters("\nWartość: ", 0.0, v), RTNONE);
    push({".z", "3,4,10"});
    EXPECT_EQ(PromptNumberWithFilters("\nWartość: ", 2.5, v), RTNORM);
    EXPECT_EQ(v, 7.5);
    EXPECT_NE(transcript().find("współrzędną Z:"), std::string::npos);
}

// The index answers every number as the walk of the list does: the first
// declared of a repeated number, nothing for a missing one, whatever the
// numbers (sparse, negative, huge).
TEST(ObjVarIndexTest, finds_what_the_walk_of_the_list_finds) {
    const std::vector<std::vector<std::int32_t>> lists{
        {},
        {12, 20, 31, 12, 40, 0},
        {5, 5, 5},
        {1, 11034, 7},  // one number far beyond the rest
        {3, -4, 9, 3},  // a negative number
        {100000000, 2, 100000000},
    };
    for (const auto& numbers : lists) {
        ObjVarList list;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            list.push_back(std::make_unique<ObjVar>());
            list.back()->number = numbers[i];
            list.back()->value = static_cast<double>(i);
        }
        const ObjVarIndex index(list);
        for (int n : {-5, -4, -1, 0, 1, 2, 3, 5, 7, 9, 12, 13, 20, 31, 40, 41, 11034, 100000000, 2147483647})
            EXPECT_EQ(index.find(n), FindObjVar(n, static_cast<const ObjVarList&>(list))) << n;
    }
}

// A setter leaves the list as SetObjVar one call after another leaves it:
// the first declared of a repeated number set, a new number appended in
// the order of the calls, small, far and negative numbers alike.
TEST(ObjVarSetterTest, sets_what_set_obj_var_sets) {
    const std::vector<std::int32_t> declared{12, 20, 11034, 12, -4, 1023, 1024, 11034, 0};
    const std::vector<std::int32_t> calls{12, 11034, 7, -4, 1024, 50000, 7, 0, 1023, -9, 11033, 50000};
    const auto make = [&] {
        ObjVarList list;
        for (std::int32_t n : declared) {
            list.push_back(std::make_unique<ObjVar>());
            list.back()->number = n;
            list.back()->value = -1.0;
        }
        return list;
    };
    ObjVarList walked = make(), slotted = make();
    ObjVarSetter setter(slotted);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string text = "t" + std::to_string(i);
        const ObjVar* a =
            SetObjVar(calls[i], kVarComputed, 1, u'S', "$1+2", static_cast<double>(i), text, 1, 0, walked);
        const ObjVar* b =
            setter.set(calls[i], kVarComputed, 1, u'S', "$1+2", static_cast<double>(i), text, 1, 0);
        EXPECT_EQ(a->number, b->number);
        EXPECT_EQ(a->value, b->value);
    }
    ASSERT_EQ(walked.size(), slotted.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
        EXPECT_EQ(walked[i]->number, slotted[i]->number) << i;
        EXPECT_EQ(walked[i]->value, slotted[i]->value) << i;
        EXPECT_EQ(walked[i]->text, slotted[i]->text) << i;
        EXPECT_EQ(walked[i]->description, slotted[i]->description) << i;
        EXPECT_EQ(walked[i]->kind, slotted[i]->kind) << i;
    }
}
