// Lists, trees, sliders, scroll bars and popup menus driven through a
// dialog: selection notifications, owner drawing and custom draw as recorded
// paint, label editing with refusal and cancel, sorted insertion, keys.
#include <gtest/gtest.h>

#include "host/ui/menu.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

// Owner-drawn rows: the selected row on the highlight colour, the others on
// the window colour, then the first column's text.
class FloorList : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        CDC* dc = CDC::FromHandle(dis->hDC);
        bool sel = (dis->itemState & ODS_SELECTED) != 0;
        dc->FillSolidRect(dis->rcItem, GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (dis->itemState & ODS_FOCUS) dc->DrawFocusRect(dis->rcItem);
        dc->SetTextColor(sel ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
        dc->TextOut(dis->rcItem.left + 2, dis->rcItem.top, GetItemText(static_cast<int>(dis->itemID), 0));
    }
};

class ListDialog : public CDialog {
public:
    ListDialog() : CDialog(510) {
        HandleNotify(LVN_ITEMCHANGED, 1030, [this](NMHDR* h, LRESULT*) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
            if ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED) changes.push_back(nm->iItem);
        });
        HandleNotify(TVN_BEGINLABELEDIT, 1040, [this](NMHDR* h, LRESULT* r) {
            auto* nm = reinterpret_cast<NMTVDISPINFO*>(h);
            *r = tree.GetItemText(nm->item.hItem) == "Wszystkie warstwy";  // the root keeps its name
        });
        HandleNotify(TVN_ENDLABELEDIT, 1040, [this](NMHDR* h, LRESULT* r) {
            auto* nm = reinterpret_cast<NMTVDISPINFO*>(h);
            endTexts.push_back(nm->item.pszText ? nm->item.pszText : "(cancelled)");
            *r = TRUE;
        });
        HandleScroll(false, [this](UINT code, UINT pos, CWnd*) { hscroll.push_back({code, pos}); });
        HandleScroll(true, [this](UINT code, UINT pos, CWnd*) { vscroll.push_back({code, pos}); });
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.InsertColumn(0, "Wysokość podłogi", LVCFMT_RIGHT, 65);
        list.InsertColumn(1, "Stan", LVCFMT_CENTER, 40);
        for (const char* e : {"600", "300", "0"}) {
            int i = list.InsertItem(list.GetItemCount(), e);
            list.SetItemText(i, 1, "ON");
        }
        root = tree.InsertItem("Wszystkie warstwy");
        for (const char* g : {"Ściany", "Schody", "Okna"}) tree.InsertItem(g, root, TVI_SORT);
        tree.Expand(root, TVE_EXPAND);
        static_cast<CSliderCtrl*>(GetDlgItem(1050))->SetRange(0, 10);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1030, list);
        DDX_Control(dx, 1040, tree);
    }
    FloorList list;
    CTreeCtrl tree;
    HTREEITEM root = nullptr;
    std::vector<int> changes;
    std::vector<std::string> endTexts;
    std::vector<std::pair<UINT, UINT>> hscroll, vscroll;
};

const DrawOp* FillAt(const std::vector<DrawOp>& ops, int top) {
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Kind::Fill && op.rect.top == top) return &op;
    return nullptr;
}

TEST_F(UiTest, list_view_selection_is_notified_and_owner_drawing_recorded) {
    std::vector<DrawOp> paint;
    zcui::InstallDialogDriver(510, [&](zcui::DialogUser& u) {
        u.Select(1030, {zcui::Row{"300"}});
        paint = u.Get<CListCtrl>(1030)->PaintRecord();
        u.Select(1030, {zcui::Row{0}, zcui::Row{2}});
        u.Ok();
    });
    ListDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // Row 1 selected; then row 1 cleared, rows 0 and 2 selected.
    EXPECT_EQ(dlg.changes, (std::vector<int>{1, 1, 0, 2}));
    EXPECT_EQ(dlg.list.GetSelectedCount(), 2);
    POSITION pos = dlg.list.GetFirstSelectedItemPosition();
    std::vector<int> rows;
    while (pos) rows.push_back(dlg.list.GetNextSelectedItem(pos));
    EXPECT_EQ(rows, (std::vector<int>{0, 2}));

    // Three rows painted below the header, the selected one highlighted and framed.
    const int h = dlg.list.RowHeight();
    CRect r0;
    dlg.list.GetItemRect(0, &r0, LVIR_BOUNDS);
    ASSERT_NE(FillAt(paint, r0.top + h), nullptr);
    EXPECT_EQ(FillAt(paint, r0.top)->colour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(FillAt(paint, r0.top + h)->colour, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(FillAt(paint, r0.top + 2 * h)->colour, GetSysColor(COLOR_WINDOW));
    int focusFrames = 0, texts = 0;
    for (const DrawOp& op : paint) {
        focusFrames += op.kind == DrawOp::Kind::FocusRect && op.rect.top == r0.top + h;
        texts += op.kind == DrawOp::Kind::Text;
    }
    EXPECT_EQ(focusFrames, 1);
    EXPECT_EQ(texts, 3 + 2);  // three rows, and the two headers
}

TEST_F(UiTest, custom_draw_colours_reach_the_painted_rows) {
    CDialog host(510);
    zcui::InstallDialogDriver(510, [&](zcui::DialogUser& u) {
        CListCtrl extra;
        extra.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 100), &u.Dialog(), 2000);
        extra.InsertColumn(0, "Warstwa", LVCFMT_LEFT, 80);
        extra.InsertItem(0, "**MURI");
        extra.InsertItem(1, "MURO1");
        u.Dialog().HandleNotify(NM_CUSTOMDRAW, 2000, [](NMHDR* h, LRESULT* r) {
            auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(h);
            if (cd->nmcd.dwDrawStage == CDDS_PREPAINT)
                *r = CDRF_NOTIFYITEMDRAW;
            else if (cd->nmcd.dwItemSpec == 0)
                cd->clrText = RGB(15, 240, 0);
        });
        extra.RedrawWindow();
        std::vector<COLORREF> colours;
        for (const DrawOp& op : extra.PaintRecord())
            if (op.kind == DrawOp::Kind::Text && op.rect.top > 10) colours.push_back(op.colour);
        EXPECT_EQ(colours, (std::vector<COLORREF>{RGB(15, 240, 0), GetSysColor(COLOR_WINDOWTEXT)}));
        u.Cancel();
    });
    host.DoModal();
}

TEST_F(UiTest, tree_inserts_sorted_and_label_edits_can_be_cancelled_or_refused) {
    Queue(
        R"(510 label 1040 "Okna" cancel label 1040 "Schody" "Klatki" label 1040 "Wszystkie warstwy" "X" ok)");
    ListDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> names;
    for (HTREEITEM h = dlg.tree.GetChildItem(dlg.root); h; h = dlg.tree.GetNextSiblingItem(h))
        names.push_back(dlg.tree.GetItemText(h));
    // Sorted as a Polish reader expects: "Ś" after "S".
    EXPECT_EQ(names, (std::vector<std::string>{"Okna", "Klatki", "Ściany"}));
    EXPECT_EQ(dlg.endTexts, (std::vector<std::string>{"(cancelled)", "Klatki"}));
    EXPECT_EQ(dlg.tree.GetItemText(dlg.root), "Wszystkie warstwy");
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(UiTest, label_edit_opened_by_the_program_is_typed_into_not_reopened) {
    ListDialog dlg;
    int begins = 0;
    dlg.HandleNotify(TVN_BEGINLABELEDIT, 1040, [&](NMHDR*, LRESULT* r) {
        ++begins;
        *r = 0;
    });
    zcui::InstallDialogDriver(510, [&](zcui::DialogUser& u) {
        HTREEITEM fresh = dlg.tree.InsertItem("", dlg.root);
        dlg.tree.EditLabel(fresh);
        u.EditLabel(1040, zcui::Row{std::string()}, std::string("Dachy"));
        u.Ok();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(dlg.endTexts, (std::vector<std::string>{"Dachy"}));
    EXPECT_NE(dlg.tree.FindItem("Dachy"), nullptr);
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(UiTest, slider_clamps_to_its_range_and_scroll_bars_report_codes) {
    Queue(R"(510 slider 1050 15 scroll 1060 pagedown scroll 1060 thumb 7 ok)");
    ListDialog dlg;
    int pos = -1;
    zcui::InstallDialogDriver(510, nullptr);
    dlg.HandleCommand(BN_CLICKED, IDOK, [&] {
        pos = static_cast<CSliderCtrl*>(dlg.GetDlgItem(1050))->GetPos();
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(pos, 10);
    EXPECT_EQ(dlg.hscroll, (std::vector<std::pair<UINT, UINT>>{
                               {TB_THUMBTRACK, 10}, {TB_THUMBPOSITION, 10}, {TB_ENDTRACK, 0}}));
    EXPECT_EQ(dlg.vscroll, (std::vector<std::pair<UINT, UINT>>{{SB_PAGEDOWN, 0},
                                                               {SB_ENDSCROLL, 0},
                                                               {SB_THUMBTRACK, 7},
                                                               {SB_THUMBPOSITION, 7},
                                                               {SB_ENDSCROLL, 0}}));
}

// A list box whose Delete key removes the selected rows.
class DeletingList : public CListBox {
public:
    int VKeyToItem(UINT key, UINT) override {
        if (key == VK_DELETE)
            for (int i = 0; i < GetCount();) {
                if (GetSel(i) > 0)
                    DeleteString(static_cast<UINT>(i));
                else
                    ++i;
            }
        return -1;
    }
};

class KeyDialog : public CDialog {
public:
    KeyDialog() : CDialog(500) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.ModifyStyle(0, LBS_WANTKEYBOARDINPUT);
        for (const char* s : {"1", "2", "3", "4", "5"}) list.AddString(s);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1020, list); }
    DeletingList list;
};

TEST_F(UiTest, delete_key_in_a_multiple_selection_list_removes_exactly_the_selected_rows) {
    Queue(R"(500 select 1020 "1" "2" "4" key 1020 delete ok)");
    KeyDialog dlg;
    dlg.DoModal();
    std::vector<std::string> left;
    for (int i = 0; i < dlg.list.GetCount(); ++i) {
        std::string s;
        dlg.list.GetText(i, s);
        left.push_back(s);
    }
    EXPECT_EQ(left, (std::vector<std::string>{"3", "5"}));
}

TEST_F(UiTest, list_box_searches_ignore_case_and_wrap_after_the_start) {
    CListBox list;
    list.Create(WS_CHILD | LBS_SORT, CRect(0, 0, 100, 100), nullptr, 1);
    for (const char* s : {"Muri", "muretti", "Solai", "MURI2"}) list.AddString(s);
    EXPECT_EQ(list.FindStringExact(-1, "MURI"), 1);
    EXPECT_EQ(list.FindStringExact(-1, "mur"), LB_ERR);
    EXPECT_EQ(list.FindString(-1, "mur"), 0);
    EXPECT_EQ(list.FindString(0, "mur"), 1);
    EXPECT_EQ(list.FindString(2, "mur"), 0);  // wraps past the end
    std::string first;
    list.GetText(0, first);
    EXPECT_EQ(first, "muretti");  // sorted without regard to case
}

TEST_F(UiTest, popup_menu_returns_the_driver_choice_and_refuses_disabled_items) {
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 10, "2D");
    menu.AppendMenu(MF_STRING | MF_CHECKED, 11, "3D");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 12, "Oba");
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 0);  // dismissed
    zcui::QueueMenuAnswer(11);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 11);
    zcui::QueueMenuAnswer(12);
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 0);
    EXPECT_EQ(zcui::DriverErrors().size(), 1u);
    ASSERT_EQ(zcui::MenusShown().size(), 3u);
    EXPECT_EQ(zcui::MenusShown()[1].items, (std::vector<std::string>{"2D", "3D", "-", "Oba"}));
    EXPECT_EQ(menu.GetMenuState(11, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

}  // namespace
