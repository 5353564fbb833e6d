// Parameter input on the command line and through the parameter dialog,
// values taken from a placed object, and the TYPO section written back.
#include "objects/placement/param_input.h"

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "objects/dialogs/dlg_par_obj.h"
#include "objects/dialogs/dlg_tipologie.h"
#include "objects/language/obj_records.h"
#include "tests/objects/dialogs/param_fixture.h"

namespace {

class ParamInput : public ParamDialogs {
protected:
    ObjContext& object() {
        return def(
            "$20=\"Szerokość:\"00D90\n$21=\"Liczba\"01I3\n$22=\"Otwarte\"02B1\n$23=\"Nazwa\"03S\"x\"\n",
            "TYPO\nBEGIN\nDuże\n$20 = 120\n$21 = 4\n$22 = 0\n$23 = \"duże\"\nEND_TYPO\n");
    }
    static bool has(const std::string& part) { return transcript().find(part) != std::string::npos; }
    // A line carrying the object record of definition `name` with $20 = 77
    // and $23 = "XY" (and $99, which the definition lacks).
    static void placed(const std::string& name, double y) {
        zcdbRegApp(kParamRecordApp);
        ads_point a{0, y, 0}, b{10, y, 0}, z{0, 0, 0};
        resbuf* rb =
            zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, -3, 1001, kParamRecordApp, 1000, name.c_str(),
                          1000, "Duże", 1070, 10, 1070, 1, 1070, 2, 1010, z, 1010, z, 1010, z, 1070, 20, 1040,
                          77.0, 1070, 23, 1000, "XY", 1070, 99, 1040, 5.0, 0);
        zcdbEntMake(rb);
        zcutRelRb(rb);
    }
    static std::string text(const ObjContext& c) {
        std::string all;
        for (const ObjLine& l : c.text->lines) all += l.text;
        return all;
    }
};

}  // namespace

TEST_F(ParamInput, enter_asks_each_parameter_in_var_order_and_dot_stops) {
    ObjContext& c = object();
    c.paramSetName = "Duże";
    push({"", "100", "."});
    EXPECT_EQ(ChooseParameterSet(c), 1);
    EXPECT_EQ(value(c, 20), 100.0);
    EXPECT_EQ(value(c, 21), 3.0);
    EXPECT_EQ(c.paramSetName, "Wstaw ostatnie parametry");
    EXPECT_TRUE(has("Szerokość<" + shown(90) + ">:"));
    EXPECT_TRUE(has("Liczba<3>:"));
    EXPECT_FALSE(has("Otwarte<"));
}

TEST_F(ParamInput, a_typed_set_name_applies_the_set_and_an_unknown_one_is_refused) {
    ObjContext& c = object();
    push("duże");
    EXPECT_EQ(ChooseParameterSet(c), 1);
    EXPECT_EQ(value(c, 20), 120.0);
    EXPECT_EQ(FindObjVar(23, c.vars)->text, "duże");
    EXPECT_EQ(c.paramSetName, "duże");
    push("Małe");
    EXPECT_LT(ChooseParameterSet(c), 0);
    EXPECT_TRUE(has("Ustawienie parametrów nie jest zdefiniowane"));
    // A set naming a variable the definition lacks is not applied at all.
    SetObjVar(98, kVarParameter, 1, u'D', "x", 1, "", 0, 0, c.paramSets.front().vars);
    c.paramSets.front().vars.front()->value = 1.0;
    EXPECT_EQ(ApplyParameterSet(c, "Duże"), 0);
    EXPECT_TRUE(has("Błąd w pliku definicji obiektu"));
    EXPECT_EQ(value(c, 20), 120.0);
}

TEST_F(ParamInput, yes_no_takes_only_zero_or_one_and_texts_keep_blanks) {
    ObjContext& c = object();
    push({"2", "0"});
    EXPECT_EQ(PromptVariableValue(*FindObjVar(22, c.vars), c), 1);
    EXPECT_TRUE(has("Wartości logiczne mogą być tylko 0 lub 1"));
    EXPECT_EQ(value(c, 22), 0.0);
    push("okno dachowe");
    EXPECT_EQ(PromptVariableValue(*FindObjVar(23, c.vars), c), 1);
    EXPECT_EQ(FindObjVar(23, c.vars)->text, "okno dachowe");
    push(".");
    EXPECT_EQ(PromptVariableValue(*FindObjVar(23, c.vars), c), 1);
    EXPECT_EQ(FindObjVar(23, c.vars)->text, "okno dachowe");
    push("");
    EXPECT_EQ(PromptVariableValue(*FindObjVar(23, c.vars), c), 1);
    EXPECT_EQ(FindObjVar(23, c.vars)->text, "");
}

TEST_F(ParamInput, special_and_handrail_records_read_from_a_placed_object) {
    ObjContext& c = object();
    SetObjVar(11015, kVarComputed, 1, u'R', "Kąt skrzydła", 0, "", 0, 0, c.vars);
    zcdbRegApp(kParaSpecApp);
    zcdbRegApp(kDatiCManoApp);
    ads_point a{0, 0, 0}, b{10, 0, 0};
    resbuf* rb = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, -3, 1001, kParaSpecApp, 1070, 11015,
                               1040, 0.5, 1070, 40, 1000, "ab", 1001, kDatiCManoApp, 1040, 1.0, 1040, 2.0,
                               1040, 3.0, 1040, 4.0, 1040, 5.0, 1040, 1e-12, 0);
    ads_name line;
    ASSERT_EQ(zcdbEntMakeX(rb, line), RTNORM);
    zcutRelRb(rb);
    ReadParaSpecFromObject(c, line);
    const ObjVar* angle = FindObjVar(11015, c.vars);
    EXPECT_EQ(angle->kind, 1);
    EXPECT_EQ(angle->description, "Kąt skrzydła");
    EXPECT_EQ(angle->value, 0.5);
    const ObjVar* text = FindObjVar(40, c.vars);
    EXPECT_EQ(text->kind, 0);
    EXPECT_EQ(text->type, u'S');
    EXPECT_EQ(text->text, "ab");

    c.insertionPoint[0] = 7, c.insertionPoint[1] = 8, c.rotation = 0.25;
    ASSERT_EQ(ReadHandrailXData(c, line), 1);
    ASSERT_EQ(c.handrails.size(), 1u);
    const ObjHandrail& h = c.handrails.front();
    EXPECT_EQ(h.a[2], 3.0);
    EXPECT_EQ(h.b[2], 4.0);
    EXPECT_EQ(h.c[1], 5.0);
    EXPECT_EQ(h.c[2], 0.0);  // below the length tolerance: a straight side
    EXPECT_EQ(h.b[0], 7.0);
    EXPECT_EQ(h.c[0], 0.25);
    EXPECT_EQ(ReadHandrailXData(c, line) + ReadHandrailXData(c, line), 2);
    EXPECT_EQ(c.handrails.size(), 1u);
}

TEST_F(ParamInput, distance_picks_take_the_absolute_axis_difference_and_end_the_asking) {
    ObjContext& c = object();
    ObjVar& width = *FindObjVar(20, c.vars);
    push({"dx", "10,0", "3,5"});
    EXPECT_EQ(PromptVariableValue(width, c), 2);
    EXPECT_EQ(width.value, 7.0);
    push({"dy", "0,-3", "4,2"});
    EXPECT_EQ(PromptVariableValue(width, c), 2);
    EXPECT_EQ(width.value, 5.0);
    push("33");
    EXPECT_EQ(PromptVariableValue(width, c), 1);
    EXPECT_EQ(width.value, 33.0);
}

TEST_F(ParamInput, greater_takes_the_values_of_a_placed_object_of_the_same_definition) {
    ObjContext& c = object();
    placed("INNY", 20);
    placed("t", 0);
    ads_point a{0, 40, 0}, b{10, 40, 0};
    resbuf* plain = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(plain);
    zcutRelRb(plain);
    push({">", "!pick 5,40", "!pick 5,20", "!pick 5,0"});
    EXPECT_EQ(PromptVariableValue(*FindObjVar(21, c.vars), c), 2);
    EXPECT_TRUE(has("Wybrany element nie jest parametrycznym obiektem"));
    EXPECT_TRUE(has("Wybrany obiekt nie jest tym samym, który wstawiasz lub modyfikujesz"));
    EXPECT_EQ(value(c, 20), 77.0);
    EXPECT_EQ(FindObjVar(23, c.vars)->text, "XY");
    EXPECT_EQ(FindObjVar(99, c.vars), nullptr);
    EXPECT_EQ(c.paramSetName, "Duże");
}

TEST_F(ParamInput, dialog_codes_and_a_value_asked_on_the_command_line) {
    ObjContext& c = object();
    int openings = 0;
    zcui::InstallDialogDriver(IDD_PAROBJ, [&](zcui::DialogUser& u) {
        if (++openings == 1) {
            u.Focus(parobj::kNewEdit);
            u.Click(parobj::kFromDrawing);
        } else {
            u.Ok();
        }
    });
    push("150");
    EXPECT_EQ(EditObjectParametersDialog(0, c), 0);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(value(c, 20), 150.0);
    zcui::InstallDialogDriver(IDD_PAROBJ, [](zcui::DialogUser& u) { u.Click(parobj::kApply); });
    EXPECT_EQ(EditObjectParametersDialog(1, c), 5);
    zcui::InstallDialogDriver(IDD_PAROBJ, [](zcui::DialogUser& u) { u.Click(parobj::kAll); });
    EXPECT_EQ(EditObjectParametersDialog(1, c), 4);
    zcui::InstallDialogDriver(IDD_PAROBJ, [](zcui::DialogUser& u) { u.Cancel(); });
    EXPECT_EQ(EditObjectParametersDialog(0, c), -1);
    zcui::RemoveDialogDriver(IDD_PAROBJ);
}

TEST_F(ParamInput, sets_written_divided_by_the_unit_factor_and_appended_without_typo) {
    setUnit(0.01);
    ObjContext& c = def("$20=\"Szer\"00D90\n$21=\"Nazwa\"01S\"ab\"\n$22=\"Ile\"02I3\n");
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) {
        u.Edit(tipologie::kName, "Nowe");
        u.Click(tipologie::kNew);
        u.Ok();
    });
    EXPECT_EQ(SaveParameterSets(c), 1);
    const std::string block = "TYPO\nBEGIN\nNowe\n$20 = 90.000000\n$21 = \"ab\"\n$22 = 3.000000\nEND_TYPO\n";
    EXPECT_EQ(text(c).substr(text(c).size() - block.size() - 10), "END_DRAW\n\n" + block);
    freeLast();
    EXPECT_NE(read("T.txt").find("\n\n" + block), std::string::npos);
}

TEST_F(ParamInput, a_lower_case_typo_section_is_replaced_not_shadowed) {
    ObjContext& c = def("$20=\"Szer\"00D5\n", "typo\nBEGIN\nStare\n$20 = 50\nend_typo\n");
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) {
        u.Edit(tipologie::kName, "Nowa");
        u.Click(tipologie::kNew);
        u.Ok();
    });
    EXPECT_EQ(SaveParameterSets(c), 1);
    const std::string all = text(c);
    EXPECT_EQ(all.find("typo"), std::string::npos);
    EXPECT_EQ(all.find("END_TYPO"), all.rfind("END_TYPO"));
    EXPECT_NE(
        all.find("VAR\n$20=\"Szer\"00D5\nEND_VAR\nTYPO\nBEGIN\nStare\n$20 = 50.000000\nBEGIN\nNowa\n$20 = "
                 "5.000000\nEND_TYPO\nDRAW"),
        std::string::npos);
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) { u.Cancel(); });
    EXPECT_EQ(SaveParameterSets(c), 0);
    zcui::RemoveDialogDriver(IDD_TIPOLOGIE);
}

// An OK on the sets as they were wrote the section again in the writer's
// own form.
TEST_F(ParamInput, sets_left_as_they_were_write_nothing) {
    const std::string original =
        "VAR\n$20=\"Szer\"00D5\nEND_VAR\ntypo\nBEGIN\nStare\n$20 = 50\nend_typo\nDRAW\nEND_DRAW\n";
    write("T.txt", original);
    ObjContext& c = load("T");
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) { u.Ok(); });
    EXPECT_EQ(SaveParameterSets(c), 1);
    zcui::RemoveDialogDriver(IDD_TIPOLOGIE);
    freeLast();
    EXPECT_EQ(read("T.txt"), original);
}

TEST_F(ParamInput, sets_of_an_included_typo_section_go_back_to_the_included_file) {
    write("TY.inc", "TYPO\nBEGIN\nStare\n$20 = 50\nEND_TYPO\n");
    write("T.txt", "VAR\n$20=\"Szer\"00D5\nEND_VAR\n@\"TY.inc\"\nDRAW\nEND_DRAW\n");
    ObjContext& c = load("T");
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) {
        u.Edit(tipologie::kName, "Nowa");
        u.Click(tipologie::kNew);
        u.Ok();
    });
    EXPECT_EQ(SaveParameterSets(c), 1);
    zcui::RemoveDialogDriver(IDD_TIPOLOGIE);
    freeLast();
    EXPECT_EQ(read("T.txt"), "VAR\n$20=\"Szer\"00D5\nEND_VAR\n@\"TY.inc\"\nDRAW\nEND_DRAW\n");
    EXPECT_EQ(read("TY.inc"), "TYPO\nBEGIN\nStare\n$20 = 50.000000\nBEGIN\nNowa\n$20 = 5.000000\nEND_TYPO\n");
}
