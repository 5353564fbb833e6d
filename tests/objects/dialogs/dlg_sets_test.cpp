// The parameter-set editor, the substitution dialog and the parameter
// choice: what can be changed, what is refused with which message, and
// that values nobody touched come back exactly.
#include "core/base/typed_number.h"
#include "core/input_range.h"
#include "objects/dialogs/dlg_aproppar.h"
#include "objects/dialogs/dlg_sostituisci.h"
#include "objects/dialogs/dlg_tipologie.h"
#include "tests/objects/dialogs/param_fixture.h"

namespace {

using namespace tipologie;

class SetEditor : public ParamDialogs {
protected:
    ObjContext& withSets() {
        return def("$20=\"Szerokość\"00D90.123456\n$21=\"Wysokość\"01D210\n",
                   "TYPO\nBEGIN\nA\n$20 = 90.123456\n$21 = 210\nBEGIN\nB\n$20 = 120\n$21 = 240\nEND_TYPO\n");
    }
    static const CInfoParametri& row(const CTipologia& set, int variable) {
        for (const CInfoParametri& r : set.rows)
            if (r.variable == variable) return r;
        static CInfoParametri none;
        return none;
    }
    static void command(zcui::DialogUser& u, int id) { u.Message(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

}  // namespace

TEST_F(SetEditor, the_store_values_set_can_be_neither_changed_nor_deleted) {
    ObjContext& c = withSets();
    CDlgTipologie dlg;
    dlg.LoadFromContext(c);
    drive(dlg, IDD_TIPOLOGIE, [&](zcui::DialogUser& u) {
        EXPECT_EQ(u.Text(kName), "Wstaw ostatnie parametry");
        for (int id : {kValue, kLabel, kApply, kDelete}) EXPECT_FALSE(u.Control(id)->IsWindowEnabled()) << id;
        command(u, kDelete);
        command(u, kApply);
        u.Select(kSetCombo, std::string("A"));
        for (int id : {kValue, kApply, kDelete}) EXPECT_TRUE(u.Control(id)->IsWindowEnabled()) << id;
        u.Ok();
    });
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Nie można usunąć zbioru parametrów",
                                                 "Nie można przypisać wartości do tego zbioru parametrów"}));
    EXPECT_EQ(dlg.m_sets.size(), 3u);
    EXPECT_EQ(dlg.m_chosenSetName, "A");
    EXPECT_EQ(dlg.m_insert, 0);
}

TEST_F(SetEditor, duplicate_and_empty_names_refused_by_new_and_apply) {
    ObjContext& c = withSets();
    CDlgTipologie dlg;
    dlg.LoadFromContext(c);
    drive(dlg, IDD_TIPOLOGIE, [&](zcui::DialogUser& u) {
        for (const char* name : {"A", "b", "", "wstaw OSTATNIE parametry"}) {
            u.Edit(kName, name);
            u.Click(kNew);
        }
        u.Select(kSetCombo, std::string("A"));
        u.Edit(kName, "B");
        u.Click(kApply);
        u.Edit(kName, "");
        u.Click(kApply);
        u.Edit(kName, "C");
        u.Click(kApply);
        u.Edit(kName, "D");
        u.Click(kNew);
        u.Ok();
    });
    const std::string exists = "Zbiór parametrów już istnieje";
    const std::string empty = "Nazwa zbioru parametrów nie może być pusta";
    EXPECT_EQ(boxes(), (std::vector<std::string>{exists, exists, empty, exists, exists, empty}));
    ASSERT_EQ(dlg.m_sets.size(), 4u);
    EXPECT_EQ(dlg.m_sets[1].name, "C");
    EXPECT_EQ(dlg.m_sets[3].name, "D");
    // A new set takes the values of the set in view, exactly.
    EXPECT_EQ(row(dlg.m_sets[3], 20).currentValue, 90.123456);
    EXPECT_EQ(dlg.m_chosenSetName, "C");
}

TEST_F(SetEditor, apply_reads_only_typed_values_and_delete_selects_the_new_last) {
    ObjContext& c = withSets();
    CDlgTipologie dlg;
    dlg.LoadFromContext(c);
    drive(dlg, IDD_TIPOLOGIE, [&](zcui::DialogUser& u) {
        u.Select(kSetCombo, std::string("A"));
        EXPECT_EQ(u.Text(kValue), shown(90.123456));
        u.Edit(kValue, shown(90.123456));  // the row's own text: nothing staged
        u.Select(kList, 1);
        EXPECT_EQ(u.Text(kLabel), "Wysokość");
        u.Edit(kValue, "250");
        EXPECT_EQ(u.Get<CListCtrl>(kList)->GetItemText(1, 2), "250");
        u.Click(kApply);
        EXPECT_EQ(u.Get<CListCtrl>(kList)->GetItemText(1, 1), shown(250));
        EXPECT_EQ(u.Get<CListCtrl>(kList)->GetItemText(1, 2), "");
        u.Select(kSetCombo, std::string("B"));
        u.Click(kDelete);
        EXPECT_EQ(u.Get<CComboBox>(kSetCombo)->GetCurSel(), 1);
        EXPECT_EQ(u.Text(kName), "A");
        u.Click(kInsert);
    });
    ASSERT_EQ(dlg.m_sets.size(), 2u);
    EXPECT_EQ(row(dlg.m_sets[1], 20).currentValue, 90.123456);
    EXPECT_EQ(row(dlg.m_sets[1], 21).currentValue, 250.0);
    EXPECT_EQ(dlg.m_insert, 1);
    EXPECT_EQ(dlg.m_chosenSetName, "A");
    EXPECT_TRUE(boxes().empty());
}

// A value that is no number is refused by OK with the message every number
// field gives, the dialog left open; a number out of range with its own.
TEST_F(SetEditor, a_typed_value_that_is_no_number_keeps_the_dialog_open) {
    ObjContext& c = withSets();
    CDlgTipologie dlg;
    dlg.LoadFromContext(c);
    const INT_PTR result = drive(dlg, IDD_TIPOLOGIE, [&](zcui::DialogUser& u) {
        u.Select(kSetCombo, std::string("A"));
        u.Edit(kValue, "abc");
        u.Ok();
        u.Edit(kValue, "1e300");
        u.Ok();
        u.Cancel();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(boxes(), (std::vector<std::string>{kInvalidValueMessage, OutOfRangeMessage()}));
    EXPECT_EQ(row(dlg.m_sets[1], 20).currentValue, 90.123456);
}

// ---------------------------------------------------------------- substitution

namespace {

namespace so = sostituisci;

class Substitution : public ParamDialogs {
protected:
    ObjContext& newObject() {
        return def("$20=\"szerokość\"00D90\n$21=\"Wysokość\"01D210\n$22=\"Kolor\"02S\"biały\"\n",
                   "TYPO\nBEGIN\nDuże\n$20 = 120\n$21 = 240\n$22 = \"szary\"\nEND_TYPO\n", "NOWY");
    }
    static ObjVarList oldVars() {
        ObjVarList vars;
        SetObjVar(5, kVarParameter, 1, u'D', "SZEROKOŚĆ", 80, "", 0, 0, vars);
        SetObjVar(6, kVarParameter, 1, u'D', "wysokość", 200, "", 0, 0, vars);
        SetObjVar(7, kVarParameter, 1, u'D', "% krawędź", 3, "", 0, 0, vars);
        return vars;
    }
    static std::string mark(zcui::DialogUser& u, int list, int item) {
        return u.Get<CListCtrl>(list)->GetItemText(item, 1);
    }
    static int link(const ObjVarList& vars, int number) {
        const ObjVar* v = FindObjVar(number, vars);
        return v ? v->auxIndex : -99;
    }
};

}  // namespace

TEST_F(Substitution, inherit_all_links_descriptions_that_differ_in_case) {
    ObjContext& c = newObject();
    CDlgSostituisci dlg;
    dlg.m_newName = "NOWY";
    dlg.m_oldName = "STARY";
    dlg.LoadNewFromContext(c);
    dlg.LoadOldRows(oldVars(), 1.0);
    drive(dlg, IDD_SOSTITUISCI, [&](zcui::DialogUser& u) {
        EXPECT_EQ(u.Text(so::kNewTitle), "Nowy obiekt ( NOWY )");
        EXPECT_EQ(u.Text(so::kOldTitle), "Stary obiekt ( STARY )");
        EXPECT_EQ(mark(u, so::kNewList, 0), so::kNewMark);
        EXPECT_EQ(mark(u, so::kNewList, 1), so::kNewMark);
        EXPECT_EQ(mark(u, so::kNewList, 2), "biały");
        EXPECT_EQ(mark(u, so::kOldList, 0), so::kOldMark);
        EXPECT_EQ(mark(u, so::kOldList, 1), so::kOldMark);
        EXPECT_EQ(mark(u, so::kOldList, 2), "");
        EXPECT_EQ(u.Get<CListCtrl>(so::kOldList)->GetItemText(2, 0), "wewnątrz krawędź");
        u.Select(so::kNewList, 1);
        EXPECT_EQ(u.Text(so::kValue), "");
        EXPECT_EQ(u.Get<CListCtrl>(so::kOldList)->GetNextItem(-1, LVNI_SELECTED), 1);
        u.Ok();
    });
    ObjVarList record;
    std::uint8_t takeSet = 0;
    std::string setName = "x";
    dlg.ApplyToRecord(record, takeSet, setName);
    EXPECT_EQ(link(record, 20), 5);
    EXPECT_EQ(link(record, 21), 6);
    EXPECT_EQ(link(record, 22), -1);
    EXPECT_EQ(takeSet, 0);
    EXPECT_EQ(setName, "x");
}

TEST_F(Substitution, typing_a_value_removes_both_marks) {
    ObjContext& c = newObject();
    CDlgSostituisci dlg;
    dlg.LoadNewFromContext(c);
    dlg.LoadOldRows(oldVars(), 0.0);
    drive(dlg, IDD_SOSTITUISCI, [&](zcui::DialogUser& u) {
        u.Select(so::kNewList, 0);
        u.Edit(so::kValue, "55");
        EXPECT_EQ(mark(u, so::kNewList, 0), "55");
        EXPECT_EQ(mark(u, so::kOldList, 0), "");
        EXPECT_EQ(mark(u, so::kOldList, 1), so::kOldMark);
        u.Select(so::kNewList, 2);
        u.Select(so::kOldList, 2);
        u.Click(so::kLink);
        EXPECT_EQ(mark(u, so::kOldList, 2), so::kOldMark);
        u.Ok();
    });
    ObjVarList record;
    std::uint8_t takeSet = 0;
    std::string setName;
    dlg.ApplyToRecord(record, takeSet, setName);
    EXPECT_EQ(link(record, 20), -1);
    EXPECT_EQ(FindObjVar(20, record)->value, 55.0);
    EXPECT_EQ(link(record, 21), 6);
    EXPECT_EQ(link(record, 22), 7);
}

TEST_F(Substitution, a_chosen_named_set_drops_every_link_and_names_the_set) {
    ObjContext& c = newObject();
    CDlgSostituisci dlg;
    dlg.LoadNewFromContext(c);
    dlg.LoadOldRows(oldVars(), 0.0);
    drive(dlg, IDD_SOSTITUISCI, [&](zcui::DialogUser& u) {
        u.Click(so::kInheritAll);
        u.Select(so::kSetCombo, std::string("Duże"));
        u.Click(so::kInheritAll);
        u.Ok();
    });
    ObjVarList record;
    std::uint8_t takeSet = 0;
    std::string setName;
    dlg.ApplyToRecord(record, takeSet, setName);
    EXPECT_EQ(takeSet, 1);
    EXPECT_EQ(setName, "Duże");
    for (int n : {20, 21, 22}) EXPECT_EQ(link(record, n), -1) << n;
    EXPECT_EQ(FindObjVar(22, record)->text, "szary");
}

// ---------------------------------------------------------------- choice

TEST_F(ParamDialogs, choice_marks_every_variable_of_a_ticked_description) {
    ObjVarList vars;
    SetObjVar(1, kVarParameter, 1, u'D', "Kolor", 1, "", 0, 0, vars);
    SetObjVar(2, kVarParameter, 1, u'D', "Rozmiar", 2, "", 0, 0, vars);
    SetObjVar(3, kVarParameter, 1, u'D', "Kolor", 3, "", 0, 0, vars);
    CDLG_APROPPAR dlg;
    dlg.m_vars = &vars;
    drive(dlg, IDD_APROPPAR, [](zcui::DialogUser& u) {
        u.Select(1232, std::string("Kolor"));
        u.Ok();
    });
    EXPECT_EQ(dlg.m_cancelled, 0);
    EXPECT_EQ(FindObjVar(1, vars)->applyMark, 1);
    EXPECT_EQ(FindObjVar(2, vars)->applyMark, 0);
    EXPECT_EQ(FindObjVar(3, vars)->applyMark, 1);

    ObjVarList other;
    SetObjVar(1, kVarParameter, 1, u'D', "Kolor", 1, "", 0, 0, other);
    CDLG_APROPPAR cancelled;
    cancelled.m_vars = &other;
    drive(cancelled, IDD_APROPPAR, [](zcui::DialogUser& u) {
        u.Click(1233);
        u.Cancel();
    });
    EXPECT_EQ(cancelled.m_cancelled, 1);
    EXPECT_EQ(FindObjVar(1, other)->applyMark, 0);
}
