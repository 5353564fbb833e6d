// The parameter dialog driven as a user would: which rows are shown, the
// scroll bar, moving between rows by keyboard, the pick buttons, the code
// of each closing button, and the values written back to the store.
#include "objects/dialogs/dlg_par_obj.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/units.h"
#include "tests/objects/dialogs/param_fixture.h"

using namespace parobj;

namespace {

class ParameterGrid : public ParamDialogs {
protected:
    void SetUp() override {
        ParamDialogs::SetUp();
        ResetParameterDialogPlacement();  // a place another test left
    }
    INT_PTR show(CDlgParObj& dlg, ObjContext& c, const std::function<void(zcui::DialogUser&)>& act,
                 int insertMode = 1) {
        dlg.SetInsertMode(insertMode);
        dlg.LoadFromContext(c, 0);
        dlg.m_pictureName = c.objectName;
        return drive(dlg, IDD_PAROBJ, act);
    }
    static bool visible(zcui::DialogUser& u, int id) {
        return u.Control(id) && u.Control(id)->IsWindowVisible();
    }
    static bool enabled(zcui::DialogUser& u, int id) {
        return u.Control(id) && u.Control(id)->IsWindowEnabled();
    }
    static int focusId() { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; }
};

}  // namespace

TEST_F(ParameterGrid, no_row_shown_disables_both_pick_buttons) {
    setInt(SetupVar::MOSTRAPRPRINC, 1);
    const std::vector<std::string> defs = {"$40=\"Okno\"C\n$41= 5\n", "$20=\"mała\"00d5\n$21=\"duża\"01d6\n"};
    for (const std::string& vars : defs) {
        ObjContext& c = def(vars);
        CDlgParObj dlg;
        bool checked = false;
        show(dlg, c, [&](zcui::DialogUser& u) {
            for (int s = 0; s < kSlots; ++s) {
                EXPECT_FALSE(visible(u, kDescription + s)) << vars;
                EXPECT_FALSE(visible(u, kNewEdit + s)) << vars;
                EXPECT_FALSE(visible(u, kNewCheck + s)) << vars;
            }
            EXPECT_FALSE(enabled(u, kFromDrawing));
            EXPECT_FALSE(enabled(u, kFromObject));
            checked = true;
            u.Ok();
        });
        EXPECT_TRUE(checked);
        freeLast();
    }
}

TEST_F(ParameterGrid, seven_rows_hide_the_bar_until_significant_only_is_switched) {
    setInt(SetupVar::MOSTRAPRPRINC, 1);
    ObjContext& c = def(lengths(7));
    CDlgParObj dlg;
    show(dlg, c, [&](zcui::DialogUser& u) {
        EXPECT_FALSE(visible(u, kScrollBar));
        EXPECT_EQ(u.Checked(kSignificantOnly), 1);
        u.Check(kSignificantOnly, 0);
        ASSERT_TRUE(visible(u, kScrollBar));
        int min = -1, max = -1;
        u.Get<CScrollBar>(kScrollBar)->GetScrollRange(&min, &max);
        EXPECT_EQ(min, 0);
        EXPECT_EQ(max, 0);
        u.Ok();
    });
    dlg.ApplyToContext(c);
    EXPECT_EQ(SettingInt(SetupVar::MOSTRAPRPRINC), 0);
}

TEST_F(ParameterGrid, keys_move_between_rows_and_scroll_and_enter_never_closes) {
    ObjContext& c = def(lengths(10));
    CDlgParObj dlg;
    std::vector<std::string> trail;
    show(dlg, c, [&](zcui::DialogUser& u) {
        ASSERT_TRUE(visible(u, kScrollBar));
        u.Key(kNewEdit, VK_DOWN);
        EXPECT_EQ(focusId(), kNewEdit + 1);
        u.Key(kNewEdit + 1, VK_UP);
        u.Key(kNewEdit, VK_UP);  // the top row of the top page: stays
        EXPECT_EQ(focusId(), kNewEdit);
        EXPECT_EQ(dlg.FirstRowInView(), 0);
        u.Key(kNewEdit + 6, VK_TAB);  // the last slot scrolls one row down
        EXPECT_EQ(dlg.FirstRowInView(), 1);
        EXPECT_EQ(focusId(), kNewEdit + 6);
        EXPECT_EQ(u.Text(kDescription), "P1");
        EXPECT_EQ(u.Get<CScrollBar>(kScrollBar)->GetScrollPos(), 1);
        u.Key(kNewEdit + 6, VK_DOWN);
        u.Key(kNewEdit + 6, VK_TAB);
        EXPECT_EQ(dlg.FirstRowInView(), 3);
        u.Key(kNewEdit + 6, VK_TAB);  // the last row of the last page: nothing
        EXPECT_EQ(dlg.FirstRowInView(), 3);
        EXPECT_EQ(focusId(), kNewEdit + 6);
        EXPECT_EQ(u.Text(kDescription + 6), "P9");
        u.Key(kNewEdit, VK_UP);  // the top slot scrolls one row up
        EXPECT_EQ(dlg.FirstRowInView(), 2);
        EXPECT_EQ(focusId(), kNewEdit);
        u.Edit(kNewEdit + 3, "77");
        u.Key(kNewEdit + 3, VK_RETURN);
        EXPECT_FALSE(u.Ended());
        u.Scroll(kScrollBar, SB_TOP);
        EXPECT_EQ(u.Text(kNewEdit + 5), shown(77));
        u.Scroll(kScrollBar, SB_PAGEDOWN);
        EXPECT_EQ(dlg.FirstRowInView(), 3);
        u.Ok();
    });
    EXPECT_EQ(dlg.GetResultCode(), 1);
    dlg.ApplyToContext(c);
    EXPECT_EQ(value(c, 25), 77.0);
    EXPECT_EQ(value(c, 24), 50.0);
}

TEST_F(ParameterGrid, pick_from_drawing_only_on_lengths_and_angles) {
    ObjContext& c = def(
        "$20=\"d\"00D5\n$21=\"i\"01I2\n$22=\"s\"02S\"x\"\n$23=\"b\"03B1\n$24=\"a\"04A0.5\n$25=\"r\"05R1\n");
    CDlgParObj dlg;
    show(dlg, c, [&](zcui::DialogUser& u) {
        const std::pair<int, bool> cases[] = {{kNewEdit, true},      {kNewEdit + 1, false},
                                              {kNewEdit + 2, false}, {kNewCheck + 3, false},
                                              {kNewEdit + 4, true},  {kNewEdit + 5, true}};
        for (auto [id, pick] : cases) {
            u.Focus(id);
            EXPECT_EQ(enabled(u, kFromDrawing), pick) << id;
        }
        EXPECT_TRUE(visible(u, kNewCheck + 3));
        EXPECT_FALSE(visible(u, kNewEdit + 3));
        EXPECT_EQ(u.Checked(kCurrentCheck + 3), 1);
        u.Ok();
    });
    int inView = -1;
    EXPECT_EQ(dlg.GetCurrentVariable(inView), 25);
    EXPECT_EQ(inView, 5);
}

TEST_F(ParameterGrid, every_button_closes_as_ok_with_its_code) {
    ObjContext& c = def(lengths(2));
    const std::pair<int, int> buttons[] = {{IDOK, 1},   {kSelect, 2},      {kAll, 3},
                                           {kApply, 4}, {kFromDrawing, 5}, {kFromObject, 6}};
    for (auto [id, code] : buttons) {
        CDlgParObj dlg;
        EXPECT_EQ(show(
                      dlg, c, [id = id](zcui::DialogUser& u) { u.Click(id); }, 0),
                  IDOK);
        EXPECT_EQ(dlg.GetResultCode(), code) << id;
    }
    CDlgParObj cancelled;
    EXPECT_EQ(show(
                  cancelled, c, [](zcui::DialogUser& u) { u.Cancel(); }, 0),
              IDCANCEL);
    EXPECT_EQ(cancelled.GetResultCode(), 0);

    CDlgParObj inserting;
    show(inserting, c, [&](zcui::DialogUser& u) {
        for (int id : {kSelect, kAll, kApply}) EXPECT_FALSE(visible(u, id));
        CRect ok, pick;
        u.Control(IDOK)->GetWindowRect(&ok);
        u.Control(kFromObject)->GetWindowRect(&pick);
        EXPECT_EQ(ok.top, pick.top);
        EXPECT_EQ(u.Dialog().GetWindowText(), "Wstaw obiekt:T");
        u.Ok();
    });
}

TEST_F(ParameterGrid, a_changed_value_of_a_named_set_records_the_last_parameters) {
    const std::string typo = "TYPO\nBEGIN\nDuże\n$20 = 120\n$21 = 40\nEND_TYPO\n";
    ObjContext& c = def(lengths(2), typo);
    c.paramSetName = "Duże";
    CDlgParObj untouched;
    show(untouched, c, [&](zcui::DialogUser& u) {
        EXPECT_EQ(u.Get<CComboBox>(kSetCombo)->GetCurSel(), 1);
        EXPECT_EQ(u.Text(kNewEdit), shown(120));
        u.Ok();
    });
    untouched.ApplyToContext(c);
    EXPECT_EQ(c.paramSetName, "Duże");
    EXPECT_EQ(value(c, 20), 120.0);
    EXPECT_EQ(c.text->modified, 0);

    CDlgParObj changed;
    show(changed, c, [&](zcui::DialogUser& u) {
        u.Edit(kNewEdit + 1, "45");
        u.Ok();
    });
    changed.ApplyToContext(c);
    EXPECT_EQ(c.paramSetName, "Wstaw ostatnie parametry");
    EXPECT_EQ(value(c, 21), 45.0);
    EXPECT_EQ(c.text->modified, 1);  // the last values kept in the definition
}

TEST_F(ParameterGrid, side_word_from_the_opening_variables) {
    struct Case {
        double v11008, v11108, v11109;  // negative: not declared
        const char* shown;
    };
    const Case cases[] = {{1, 0.5, -1, "Strona zewnątrz"},
                          {1, 0.2, 1, "Strona wewnątrz"},
                          {-1, -1, 1, "Strona wewnątrz"},
                          {-1, -1, -1, "Strona zewnątrz"}};
    for (const Case& k : cases) {
        ObjContext& c = def("$20=\"Strona %\"00D1\n");
        const std::pair<int, double> vars[] = {{11008, k.v11008}, {11108, k.v11108}, {11109, k.v11109}};
        for (auto [n, v] : vars)
            if (v >= 0) SetObjVar(n, kVarFixed, 0, u'R', "", v, "", 0, 0, c.vars);
        CDlgParObj dlg;
        show(dlg, c, [&](zcui::DialogUser& u) {
            EXPECT_EQ(u.Text(kDescription), k.shown);
            u.Ok();
        });
        freeLast();
    }
}

TEST_F(ParameterGrid, architectural_units_keep_untouched_values_and_read_edited_ones) {
    const int architectural = 4;
    SysVarShort("LUNITS", &architectural);
    ObjContext& c = def("$20=\"a\"00D12.3456789\n$21=\"b\"01D10\n");
    CDlgParObj dlg;
    show(dlg, c, [&](zcui::DialogUser& u) {
        EXPECT_NE(u.Text(kNewEdit).find('\''), std::string::npos);
        u.Focus(kNewEdit);
        u.Edit(kNewEdit + 1, "2'6\"");
        u.Ok();
    });
    dlg.ApplyToContext(c);
    EXPECT_EQ(value(c, 20), 12.3456789);
    EXPECT_DOUBLE_EQ(value(c, 21), 30.0);
    EXPECT_EQ(c.paramSetName, "Wstaw ostatnie parametry");
}

TEST_F(ParameterGrid, header_drag_moves_the_columns_and_the_window_keeps_its_place) {
    ObjContext& c = def("$20=\"d\"00D5\n$21=\"b\"01B1\n");
    auto left = [](zcui::DialogUser& u, int id) {
        CRect r;
        u.Control(id)->GetWindowRect(&r);
        return r;
    };
    CDlgParObj dlg;
    CRect moved;
    show(dlg, c, [&](zcui::DialogUser& u) {
        const CRect edit = left(u, kNewEdit), check = left(u, kNewCheck + 1), desc = left(u, kDescription);
        u.TrackColumn(kHeader, 0, 150);
        EXPECT_EQ(left(u, kNewEdit).left, edit.left - 32);
        EXPECT_EQ(left(u, kNewCheck + 1).left, check.left - 32);
        EXPECT_EQ(left(u, kDescription).Width(), desc.Width() - 32);
        u.TrackColumn(kHeader, 2, 80);
        EXPECT_EQ(left(u, kNewEdit).Width(), edit.Width() + 22);
        u.Dialog().GetWindowRect(&moved);
        u.Dialog().MoveWindow(moved.left + 40, moved.top + 25, moved.Width(), moved.Height());
        u.Dialog().GetWindowRect(&moved);
        u.Ok();
    });
    show(dlg, c, [&](zcui::DialogUser& u) {
        CRect again;
        u.Dialog().GetWindowRect(&again);
        EXPECT_EQ(again.left, moved.left);
        EXPECT_EQ(again.top, moved.top);
        u.Ok();
    });
}

// The width and height a wall opening is cut by are sizes: zero, less, or a
// number no building has is refused with the module's message and the
// dialog stays open; another length of the same object may be zero or less.
TEST_F(ParameterGrid, an_opening_refuses_a_width_or_height_of_zero_or_less) {
    const std::string vars = "$3= 11\n$8=\"Szerokość\"00D90\n$190=\"Wysokość\"01D205\n$192=\"Próg\"02D0\n";
    for (const char* typed : {"0", "-30", "1e20", "1e308"}) {
        for (const int slot : {0, 1}) {
            ObjContext& c = def(vars);
            CDlgParObj dlg;
            bool stayed = false;
            const std::size_t boxesBefore = zcui::MessageBoxes().size();
            show(dlg, c, [&](zcui::DialogUser& u) {
                u.Edit(kNewEdit + slot, typed);
                u.Ok();
                stayed = !u.Ended();
                u.Cancel();
            });
            EXPECT_TRUE(stayed) << typed << " in slot " << slot;
            ASSERT_GT(zcui::MessageBoxes().size(), boxesBefore);
            EXPECT_EQ(zcui::MessageBoxes().back().text, OutOfRangeMessage());
            freeLast();
        }
    }
    ObjContext& c = def(vars);
    CDlgParObj dlg;
    show(dlg, c, [&](zcui::DialogUser& u) {
        u.Edit(kNewEdit + 2, "-30");
        u.Ok();
    });
    EXPECT_EQ(dlg.GetResultCode(), 1);
    dlg.ApplyToContext(c);
    EXPECT_EQ(value(c, 192), -30.0);
    freeLast();
}
