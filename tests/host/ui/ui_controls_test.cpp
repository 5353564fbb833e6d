// The controls on their own and inside a dialog: edit selections and limits,
// combo and list box bookkeeping, list view and tree invariants, focus and
// tab order, scroll and slider ranges, header tracking, and what a paint
// records.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/host/ui/ui_fixture.h"

namespace {

// A dialog with a log of every command notification its controls send.
class LoggingDialog : public CDialog {
public:
    explicit LoggingDialog(UINT id) : CDialog(id) {}
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        log.push_back({LOWORD(wp), HIWORD(wp)});
        return CDialog::OnCommand(wp, lp);
    }
    std::vector<std::pair<int, UINT>> log;
};

TEST(UiEdit, replacing_the_selection_counts_characters_not_bytes) {
    CEdit e;
    e.Create(WS_CHILD, CRect(0, 0, 50, 12), nullptr, 1);
    e.SetWindowText("żółw");
    e.SetSel(1, 3);
    e.ReplaceSel("AB");
    EXPECT_EQ(e.GetWindowText(), "żABw");
    int s = 0, t = 0;
    e.GetSel(s, t);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(t, 3);
    e.LimitText(5);
    e.SetSel(0, -1);
    e.ReplaceSel("ąęśćźżółń");
    EXPECT_EQ(e.GetWindowText(), "ąęśćź");
    e.OnChar(VK_BACK, 1, 0);
    EXPECT_EQ(e.GetWindowText(), "ąęść");
    EXPECT_TRUE(e.GetModify());
}

TEST(UiEdit, only_what_the_user_typed_since_the_program_set_the_text_is_an_entry) {
    CEdit e;
    e.Create(WS_CHILD, CRect(0, 0, 50, 12), nullptr, 1);
    e.SetWindowText("0");
    EXPECT_FALSE(e.HoldsTypedText()) << "a value the dialog showed";
    e.SetSel(0, -1);
    e.ReplaceSel("0");
    EXPECT_TRUE(e.HoldsTypedText()) << "typed, even as the text shown";
    e.SetWindowText("0");
    EXPECT_FALSE(e.GetModify()) << "the program's text again, the same as typed";
    e.SetSel(0, -1);
    e.ReplaceSel(" ");
    EXPECT_TRUE(e.HoldsTypedText()) << "blanks typed are an entry";
    e.SetSel(0, -1);
    e.OnChar(VK_BACK, 1, 0);
    EXPECT_TRUE(e.GetModify());
    EXPECT_FALSE(e.HoldsTypedText()) << "a field made empty holds none";
}

TEST(UiEdit, read_only_and_upper_case_fields_filter_what_is_typed) {
    CEdit e;
    e.Create(WS_CHILD | ES_UPPERCASE | ES_READONLY, CRect(0, 0, 50, 12), nullptr, 1);
    e.OnChar('a', 1, 0);
    EXPECT_EQ(e.GetWindowText(), "");
    e.SetReadOnly(FALSE);
    e.OnChar('a', 1, 0);
    e.OnChar(0x142, 1, 0);  // ł
    EXPECT_EQ(e.GetWindowText(), "AŁ");
    CEdit digits;
    digits.Create(WS_CHILD | ES_NUMBER, CRect(0, 0, 50, 12), nullptr, 2);
    for (char c : std::string("1a2.3")) digits.OnChar(static_cast<UINT>(c), 1, 0);
    EXPECT_EQ(digits.GetWindowText(), "123");
}

TEST_F(UiTest, setting_the_same_text_again_tells_nothing_so_handlers_cannot_loop) {
    LoggingDialog dlg(500);
    int changes = 0;
    dlg.HandleCommand(EN_CHANGE, 1001, [&] {
        ++changes;
        dlg.SetDlgItemText(1001, dlg.GetWindowText().empty() ? "x" : "x");  // writes back what is there
    });
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        u.Dialog().SetDlgItemText(1001, "x");
        u.Dialog().SetDlgItemText(1001, "x");
        u.Cancel();
    });
    dlg.DoModal();
    EXPECT_EQ(changes, 1);
}

// One handler per control and notification: registering again replaces it,
// another notification or control has its own, and a handler may replace
// itself while it runs.
TEST(UiWindow, a_command_handler_registered_again_replaces_the_first) {
    CWnd w;
    w.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0);
    std::string got;
    w.HandleCommand(BN_CLICKED, 7, [&] { got += "a"; });
    w.HandleCommand(BN_CLICKED, 8, [&] { got += "b"; });
    w.HandleCommand(BN_DOUBLECLICKED, 7, [&] { got += "c"; });
    w.HandleCommand(BN_CLICKED, 7, [&] {
        got += "d";
        w.HandleCommand(BN_CLICKED, 7, [&] { got += "e"; });
    });
    for (int id : {7, 8, 9, 7}) w.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(got, "dbec");
    EXPECT_FALSE(w.SendMessage(WM_COMMAND, MAKEWPARAM(9, BN_CLICKED), 0));
    w.DestroyWindow();
}

TEST_F(UiTest, tab_order_skips_disabled_hidden_and_non_tab_stop_controls_and_wraps) {
    std::vector<int> order;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        CDialog& d = u.Dialog();
        d.GetDlgItem(1002)->EnableWindow(FALSE);
        d.GetDlgItem(1003)->ShowWindow(SW_HIDE);
        u.Focus(1001);
        for (int i = 0; i < 12; ++i) {
            u.Key(0, VK_TAB);
            order.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        }
        u.Key(0, VK_TAB, false, true);
        order.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        u.Cancel();
    });
    LoggingDialog dlg(500);
    dlg.DoModal();
    EXPECT_EQ(order,
              (std::vector<int>{1004, 1005, 1010, 1011, 1012, 1020, 1021, 1, 2, 1001, 1004, 1005, 1004}));
}

// An edit whose Enter moves to the next control instead of closing the dialog.
class EnterMovesOn : public CEdit {
public:
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            GetParent()->SendMessage(WM_NEXTDLGCTL, 0, 0);
            return TRUE;
        }
        return CEdit::PreTranslateMessage(msg);
    }
};

class EnterDialog : public CDialog {
public:
    EnterDialog() : CDialog(500) {}
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1001, edit); }
    EnterMovesOn edit;
};

TEST_F(UiTest, enter_in_an_edit_that_moves_on_does_not_press_the_default_button) {
    int focus = 0;
    bool open = false;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        u.Key(1001, VK_RETURN);
        open = !u.Ended();
        focus = CWnd::GetFocus()->GetDlgCtrlID();
        u.Cancel();
    });
    EnterDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(open);
    EXPECT_EQ(focus, 1002);
}

// Typing goes through the control's character filter, which may ask for Ctrl.
class SignFilter : public CEdit {
public:
    void OnChar(UINT ch, UINT rep, UINT flags) override {
        if (ch == '-' && GetKeyState(VK_CONTROL) >= 0) return;
        CEdit::OnChar(ch, rep, flags);
    }
};

class FilterDialog : public CDialog {
public:
    FilterDialog() : CDialog(500) {}
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1001, edit); }
    SignFilter edit;
};

TEST_F(UiTest, typed_characters_pass_the_controls_own_filter) {
    Queue(R"(500 type 1001 "-12-3" cancel)");
    FilterDialog dlg;
    std::string text;
    dlg.HandleCommand(BN_CLICKED, IDCANCEL, [&] {
        text = dlg.edit.GetWindowText();
        dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(text, "123");
}

TEST(UiCombo, drop_down_lists_take_rows_and_drop_downs_take_text) {
    CComboBox list, edit;
    list.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(0, 0, 80, 80), nullptr, 1);
    edit.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(0, 0, 80, 80), nullptr, 2);
    for (const char* s : {"Tetti", "Muri", "Solai"}) list.AddString(s), edit.AddString(s);
    std::string first;
    list.GetLBText(0, first);
    EXPECT_EQ(first, "Muri");
    EXPECT_FALSE(list.UserSetText("Nowa").empty());
    EXPECT_TRUE(edit.UserSetText("Nowa").empty());
    EXPECT_EQ(edit.GetWindowText(), "Nowa");
    EXPECT_EQ(edit.GetCurSel(), CB_ERR);
    list.SetCurSel(2);
    EXPECT_EQ(list.GetWindowText(), "Tetti");
    list.DeleteString(0);
    EXPECT_EQ(list.GetCurSel(), 1);  // the selection follows its row
    list.DeleteString(1);
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    EXPECT_EQ(list.GetWindowText(), "");
    EXPECT_EQ(list.SelectString(-1, "sol"), 0);
}

TEST(UiListBox, single_and_multiple_selection_keep_their_own_rules) {
    CListBox one, many;
    one.Create(WS_CHILD, CRect(0, 0, 80, 80), nullptr, 1);
    many.Create(WS_CHILD | LBS_MULTIPLESEL, CRect(0, 0, 80, 80), nullptr, 2);
    for (const char* s : {"a", "b", "c", "d"}) one.AddString(s), many.AddString(s);
    EXPECT_EQ(one.SetCurSel(2), 2);
    EXPECT_EQ(one.GetSel(2), 1);
    EXPECT_EQ(one.SetSel(1), LB_ERR);  // single selection has no SetSel
    EXPECT_EQ(one.GetSelCount(), LB_ERR);
    one.DeleteString(0);
    EXPECT_EQ(one.GetCurSel(), 1);
    EXPECT_EQ(one.InsertString(9, "z"), LB_ERR);

    many.SetSel(1), many.SetSel(3);
    int rows[4] = {};
    EXPECT_EQ(many.GetSelItems(4, rows), 2);
    EXPECT_EQ(rows[0], 1);
    EXPECT_EQ(rows[1], 3);
    EXPECT_EQ(many.SetCurSel(0), LB_ERR);
    many.SetItemData(3, 77);
    many.DeleteString(0);
    EXPECT_EQ(many.GetItemData(2), 77u);
    EXPECT_EQ(many.GetSelCount(), 2);
}

class CountingList : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_NOTIFY) {
            auto* h = reinterpret_cast<NMHDR*>(lp);
            if (h->code == LVN_ITEMCHANGING)
                return vetoFrom >= 0 && reinterpret_cast<NMLISTVIEW*>(h)->iItem >= vetoFrom;
            if (h->code == LVN_ITEMCHANGED) ++changed;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
    int changed = 0;
    int vetoFrom = -1;
};

TEST(UiListView, single_selection_moves_and_the_parent_may_refuse_a_change) {
    CountingList parent;
    parent.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 300, 300), nullptr, 0);
    CListCtrl lv;
    lv.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, CRect(0, 0, 200, 200), &parent, 5);
    lv.InsertColumn(0, "A", LVCFMT_LEFT, 50);
    for (int i = 0; i < 4; ++i) lv.InsertItem(i, std::to_string(i));
    lv.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    lv.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(lv.GetSelectedCount(), 1);
    EXPECT_EQ(lv.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(parent.changed, 3);  // 1 on, 1 off, 2 on
    parent.vetoFrom = 3;
    lv.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(lv.GetItemState(3, LVIS_SELECTED), 0u);
    EXPECT_EQ(lv.GetNextItem(-1, LVNI_SELECTED), -1);  // row 2 gave way before row 3 refused

    lv.InsertColumn(0, "Nowa", LVCFMT_LEFT, 30);
    EXPECT_EQ(lv.GetItemText(1, 1), "1");  // sub-items moved right with the new column
    EXPECT_EQ(lv.GetItemText(1, 0), "");
    lv.DeleteItem(0);
    EXPECT_EQ(lv.GetItemText(0, 1), "1");
    EXPECT_EQ(lv.GetItemText(7, 0), "");  // out of range reads empty
    EXPECT_FALSE(lv.SetItemText(-1, 0, "x"));
}

class RowCounter : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        ++drawn;
        last = static_cast<int>(dis->itemID);
    }
    int drawn = 0;
    int last = -1;
};

TEST(UiListView, painting_a_long_list_draws_only_the_rows_in_view) {
    RowCounter lv;
    lv.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, CRect(0, 0, 200, 17 + 16 * 10),
              nullptr, 1);
    lv.InsertColumn(0, "A", LVCFMT_LEFT, 50);
    for (int i = 0; i < 100000; ++i) lv.InsertItem(lv.GetItemCount(), "r");
    lv.RedrawWindow();
    EXPECT_EQ(lv.drawn, lv.GetCountPerPage());
    EXPECT_LE(lv.drawn, 11);
    lv.EnsureVisible(50000, FALSE);
    lv.drawn = 0;
    lv.RedrawWindow();
    EXPECT_EQ(lv.last, 50000);
}

TEST(UiTree, deleting_a_parent_deletes_its_children_and_stale_handles_are_harmless) {
    CTreeCtrl t;
    t.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 1);
    HTREEITEM a = t.InsertItem("a");
    HTREEITEM a1 = t.InsertItem("a1", a);
    HTREEITEM b = t.InsertItem("b");
    t.InsertItem("b0", b, TVI_FIRST);
    HTREEITEM b1 = t.InsertItem("b1", b);
    t.SetItemData(b1, 9);
    EXPECT_EQ(t.GetCount(), 5u);
    EXPECT_EQ(t.GetItemText(t.GetChildItem(b)), "b0");
    EXPECT_EQ(t.GetParentItem(b1), b);
    EXPECT_EQ(t.GetNextItem(a, TVGN_NEXT), b);
    t.SelectItem(a1);
    EXPECT_TRUE(t.GetItemState(a, TVIS_EXPANDED));  // selecting shows the item
    ASSERT_TRUE(t.DeleteItem(a));
    EXPECT_EQ(t.GetCount(), 3u);
    EXPECT_EQ(t.GetSelectedItem(), nullptr);
    EXPECT_FALSE(t.IsItem(a1));
    EXPECT_EQ(t.GetItemText(a1), "");
    EXPECT_FALSE(t.SetItemText(a1, "x"));
    EXPECT_EQ(t.InsertItem("orphan", a1), nullptr);
    EXPECT_EQ(t.GetItemData(b1), 9u);
    EXPECT_EQ(t.GetRootItem(), b);
}

TEST(UiScroll, page_size_limits_the_last_position_and_sliders_count_ticks) {
    CScrollBar bar;
    bar.Create(WS_CHILD | SBS_VERT, CRect(0, 0, 10, 100), nullptr, 1);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0, si.nMax = 19, si.nPage = 7, si.nPos = 50;
    bar.SetScrollInfo(&si);
    EXPECT_EQ(bar.GetScrollPos(), 13);  // 19 - 7 + 1
    bar.SetScrollPos(-4);
    EXPECT_EQ(bar.GetScrollPos(), 0);

    CSliderCtrl s;
    s.Create(WS_CHILD | TBS_AUTOTICKS, CRect(0, 0, 100, 20), nullptr, 2);
    s.SetRange(0, 10);
    s.SetTicFreq(5);
    EXPECT_EQ(s.GetNumTics(), 3);
    s.SetPos(-3);
    EXPECT_EQ(s.GetPos(), 0);
}

TEST(UiHeader, a_refused_drag_keeps_the_width) {
    CountingList parent;
    parent.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 300, 300), nullptr, 0);
    CHeaderCtrl h;
    h.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 20), &parent, 137);
    HDITEM item;
    item.mask = HDI_WIDTH | HDI_TEXT, item.cxy = 182, item.pszText = "Opis";
    h.InsertItem(0, &item);
    parent.HandleNotify(HDN_BEGINTRACK, 137, [](NMHDR*, LRESULT* r) { *r = TRUE; });
    EXPECT_TRUE(h.UserTrack(0, 50).empty());
    HDITEM got;
    got.mask = HDI_WIDTH;
    h.GetItem(0, &got);
    EXPECT_EQ(got.cxy, 182);
    parent.HandleNotify(HDN_BEGINTRACK, 137, [](NMHDR*, LRESULT* r) { *r = FALSE; });
    h.UserTrack(0, 50);
    h.GetItem(0, &got);
    EXPECT_EQ(got.cxy, 50);
}

// A colour swatch: the background brush comes from the control itself.
class Swatch : public CStatic {
public:
    HBRUSH CtlColor(CDC* dc, UINT) override {
        dc->SetBkColor(colour);
        brush.DeleteObject();
        brush.CreateSolidBrush(colour);
        return brush;
    }
    COLORREF colour = RGB(0, 0, 255);
    CBrush brush;
};

TEST(UiPaint, a_static_fills_with_the_brush_it_gives_and_text_is_measured_per_character) {
    Swatch s;
    s.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 30, 20), nullptr, 1);
    s.RedrawWindow();
    ASSERT_FALSE(s.PaintRecord().empty());
    EXPECT_EQ(s.PaintRecord()[0].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(s.PaintRecord()[0].colour, RGB(0, 0, 255));

    CDC dc;
    EXPECT_EQ(dc.GetTextExtent("Ściana").cx, 6 * kCharAdvance);
    CRect r(0, 0, 100, 20);
    dc.DrawText("abc", &r, DT_RIGHT);
    dc.DrawText("abcd", &r, DT_CENTER);
    EXPECT_EQ(dc.Ops()[0].rect.left, 100 - 3 * kCharAdvance);
    EXPECT_EQ(dc.Ops()[1].rect.left, (100 - 4 * kCharAdvance) / 2);
    int saved = dc.SaveDC();
    dc.SetTextColor(RGB(1, 2, 3));
    dc.RestoreDC(saved);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    CDC mem;
    CBitmap bmp;
    EXPECT_FALSE(dc.BitBlt(0, 0, 10, 10, &mem, 0, 0, SRCCOPY));  // nothing selected: nothing copied
}

// Windows that end leave their paint records' room to the next ones: a new
// window's record holds its own steps only, however many windows ended.
TEST(UiPaint, a_window_painted_after_others_ended_records_only_its_own_steps) {
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<CStatic>> ended;
        for (int i = 0; i < 300; ++i) {
            ended.push_back(std::make_unique<CStatic>());
            ended.back()->Create("Powierzchnia użytkowa " + std::to_string(i), WS_CHILD | WS_VISIBLE,
                                 CRect(0, 0, 200, 20), nullptr, 1);
            ended.back()->RedrawWindow();
        }
        ended.clear();
        CStatic s;
        s.Create("x", WS_CHILD | WS_VISIBLE, CRect(0, 0, 30, 20), nullptr, 2);
        s.RedrawWindow();
        ASSERT_EQ(s.PaintRecord().size(), 1u);
        EXPECT_EQ(s.PaintRecord()[0].text, "x");
        s.SetWindowText("yz");
        s.RedrawWindow();
        ASSERT_EQ(s.PaintRecord().size(), 1u);
        EXPECT_EQ(s.PaintRecord()[0].text, "yz");
    }
}

TEST(UiWindow, placement_and_coordinates_round_trip) {
    CWnd top, child;
    top.CreateChildWindow(WS_VISIBLE, CRect(100, 50, 400, 250), nullptr, 0);
    child.CreateChildWindow(WS_CHILD | WS_VISIBLE, CRect(10, 20, 60, 40), &top, 7);
    CRect r;
    child.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(110, 70, 160, 90));
    top.ScreenToClient(&r);
    EXPECT_EQ(r, CRect(10, 20, 60, 40));
    WINDOWPLACEMENT wp;
    top.GetWindowPlacement(&wp);
    top.MoveWindow(0, 0, 10, 10);
    top.SetWindowPlacement(&wp);
    top.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(100, 50, 400, 250));
    CRect du(0, 0, 4, 8);
    top.MapDialogRect(&du);
    EXPECT_EQ(du, CRect(0, 0, kDialogBaseX, kDialogBaseY));
    top.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());  // hidden with its parent
}

TEST(UiWindow, posted_messages_wait_for_delivery_and_die_with_their_window) {
    auto w = std::make_unique<CWnd>();
    w->CreateChildWindow(WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0);
    int got = 0;
    w->HandleMessage(WM_APP + 1, [&](WPARAM wp, LPARAM) -> LRESULT { return got += static_cast<int>(wp); });
    w->PostMessage(WM_APP + 1, 2);
    EXPECT_EQ(got, 0);
    CWnd::DeliverPostedMessages();
    EXPECT_EQ(got, 2);
    w->PostMessage(WM_APP + 1, 5);
    w.reset();
    CWnd::DeliverPostedMessages();  // must not reach the freed window
    EXPECT_EQ(got, 2);
}

}  // namespace

namespace {

const char* const kClickResources = R"(
dialog 600 "Klik" 100 60
  picture 1031 "" 0 0 10 10 notify
  picture 1032 "" 12 0 10 10
  checkbox 1201 "Ręczny" 0 20 60 10 manual
  listbox 1452 "" 0 32 60 20 sort
end
)";

class ClickDialog : public CDialog {
public:
    ClickDialog() : CDialog(600) {
        HandleCommand(STN_CLICKED, 1031, [this] { ++pictureClicks; });
        HandleCommand(STN_CLICKED, 1032, [this] { ++silentClicks; });
        // A manual check box: the program decides its state.
        HandleCommand(BN_CLICKED, 1201, [this] { CheckDlgButton(1201, IsDlgButtonChecked(1201) ? 0 : 1); });
        HandleCommand(LBN_DBLCLK, 1452, [this] {
            auto* l = static_cast<CListBox*>(GetDlgItem(1452));
            l->GetText(l->GetCurSel(), picked);
            EndDialog(IDOK);
        });
    }
    BOOL OnInitDialog() override {
        for (const char* s : {"2DWALLS", "2DMURI"}) static_cast<CListBox*>(GetDlgItem(1452))->AddString(s);
        return CDialog::OnInitDialog();
    }
    int pictureClicks = 0, silentClicks = 0;
    std::string picked;
};

TEST(UiClicks, pictures_tell_clicks_only_with_notify_and_manual_boxes_follow_the_program) {
    std::string error;
    HINSTANCE h = zcuiRegisterResources("clicks", {{"c.txt", kClickResources}}, &error);
    ASSERT_NE(h, nullptr) << error;
    CZcModuleResourceOverride use(h);
    zcui::ResetUi();
    int manual = -1;
    zcui::InstallDialogDriver(600, [&](zcui::DialogUser& u) {
        u.Click(1031);
        u.Click(1032);
        u.Check(1201, 1);
        manual = u.Checked(1201);
        u.DoubleClick(1452, zcui::Row{"2dwalls"});
    });
    ClickDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.pictureClicks, 1);
    EXPECT_EQ(dlg.silentClicks, 0);
    EXPECT_EQ(manual, 1);
    EXPECT_EQ(dlg.picked, "2DWALLS");
    EXPECT_TRUE(zcui::DriverErrors().empty());
    zcui::ResetUi();
    zcuiUnregisterResources(h);
}

}  // namespace

namespace {

// Rows drawn with an image chosen by a column's text, centred in that column.
class StateList : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        CDC* dc = CDC::FromHandle(dis->hDC);
        int row = static_cast<int>(dis->itemID);
        int x = GetColumnWidth(0) + GetColumnWidth(1) / 2 - 8;
        GetImageList(LVSIL_SMALL)
            ->Draw(dc, GetItemText(row, 1) == "OFF" ? 0 : 1, CPoint(x, dis->rcItem.top), ILD_TRANSPARENT);
    }
};

TEST(UiListView, owner_drawn_rows_record_the_images_they_draw) {
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, 0, 4, 0));
    CBitmap strip;
    ASSERT_TRUE(strip.Attach(std::make_shared<const BitmapImage>(BitmapImage{"strip", 64, 16, 24})));
    EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 4);
    StateList lv;
    lv.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, CRect(0, 0, 200, 100), nullptr, 1030);
    lv.SetImageList(&images, LVSIL_SMALL);
    lv.InsertColumn(0, "Wysokość podłogi", LVCFMT_RIGHT, 65);
    lv.InsertColumn(1, "Stan", LVCFMT_CENTER, 40);
    lv.InsertItem(0, "0");
    lv.SetItemText(0, 1, "ON");
    lv.InsertItem(1, "300");
    lv.SetItemText(1, 1, "OFF");
    lv.RedrawWindow();
    std::vector<std::pair<int, int>> drawn;  // image, x
    for (const DrawOp& op : lv.PaintRecord())
        if (op.kind == DrawOp::Kind::Image && op.list == &images) drawn.push_back({op.image, op.rect.left});
    EXPECT_EQ(drawn, (std::vector<std::pair<int, int>>{{1, 65 + 20 - 8}, {0, 65 + 20 - 8}}));
    EXPECT_FALSE(images.Draw(nullptr, 0, CPoint(), 0));
    CDC dc;
    EXPECT_FALSE(images.Draw(&dc, 4, CPoint(), 0));  // no such image: nothing drawn
    EXPECT_TRUE(dc.Ops().empty());
}

}  // namespace

TEST(UiBitmapButton, loads_its_pair_from_the_current_resources_and_keeps_the_ids) {
    std::string bmp(54 + 12 * 4, '\0');
    bmp[0] = 'B', bmp[1] = 'M', bmp[2] = static_cast<char>(bmp.size());
    bmp[10] = 54, bmp[14] = 40, bmp[18] = 4, bmp[22] = 4, bmp[26] = 1, bmp[28] = 24;
    HINSTANCE res = zcuiRegisterResources("pair", {{"21.bmp", bmp}, {"22.bmp", bmp}});
    ASSERT_NE(res, nullptr);
    HINSTANCE before = AfxGetResourceHandle();
    AfxSetResourceHandle(res);
    CBitmapButton b;
    b.Create("Lewo", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), nullptr, 5);
    EXPECT_TRUE(b.LoadBitmaps(21, 22));
    EXPECT_EQ(b.UpBitmapId(), 21u);
    EXPECT_EQ(b.DownBitmapId(), 22u);
    EXPECT_TRUE(b.GetBitmap() && b.DownBitmap());
    EXPECT_FALSE(b.LoadBitmaps(23, 22));  // no up bitmap
    EXPECT_EQ(b.UpBitmapId(), 23u);
    AfxSetResourceHandle(before);
    zcuiUnregisterResources(res);
}

// A control looked up by id is the first child holding that id, as the
// family changes: an id given later, a control that ends or is deleted, one
// subclassed in its place, ones added after look-ups. The children's own ids
// are the oracle; a few children and a dialog's worth are looked up alike.
TEST(UiFamily, a_control_is_found_by_id_as_the_family_changes) {
    for (int count : {4, 40}) {
        CWnd parent;
        parent.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0, "p");
        std::vector<std::unique_ptr<CWnd>> kids;
        const auto add = [&](int id) {
            kids.push_back(std::make_unique<CWnd>());
            kids.back()->CreateChildWindow(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent,
                                           static_cast<UINT>(id));
        };
        for (int i = 0; i < count; ++i) add(100 + i);
        const auto expectFirst = [&](const char* step) {
            for (int id : {7, 100, 101, 102, 103, 104, 100 + count, 100 + count + 1}) {
                CWnd* first = nullptr;
                for (CWnd* c : parent.Children())
                    if (!first && c->GetDlgCtrlID() == id) first = c;
                EXPECT_EQ(parent.GetDlgItem(id), first) << count << " " << step << ": id " << id;
            }
        };
        expectFirst("made");
        kids[2]->SetDlgCtrlID(100);
        EXPECT_EQ(parent.GetDlgItem(100), kids[0].get());
        expectFirst("renumbered");
        kids[0]->DestroyWindow();
        EXPECT_EQ(parent.GetDlgItem(100), kids[2].get());
        expectFirst("ended");
        kids[1]->SetDlgCtrlID(7);
        kids[3].reset();
        EXPECT_EQ(parent.GetDlgItem(103), nullptr);
        expectFirst("deleted");
        CWnd sub;
        ASSERT_TRUE(sub.SubclassDlgItem(7, &parent));
        EXPECT_EQ(parent.GetDlgItem(7), &sub);
        expectFirst("subclassed");
        for (int i = 0; i < count * 2; ++i) add(100 + (i % 3 == 0 ? count + 1 : i));  // repeated ids too
        expectFirst("added");
        parent.DestroyWindow();
        EXPECT_EQ(parent.GetDlgItem(100), nullptr);
    }
}
