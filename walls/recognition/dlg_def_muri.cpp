// The wall-type assignment dialog and its owner-drawn list.
#include "walls/recognition/dlg_def_muri.h"

#include <cstdlib>

#include "core/levels.h"
#include "host/ui/hostdialogs.h"
#include "walls/recognition/wall_layers.h"

namespace {

constexpr int IDC_TYPES = 1078;
constexpr int IDC_PREVIEW = 1374;
constexpr int IDC_ASSIGN = 4;
constexpr int IDC_DRAW = 1061;

// Where the dialog stood when an action was last taken; until then it
// opens where the platform puts it.
struct DefMuriPlacement {
    WINDOWPLACEMENT placement;
    bool firstTime = true;
};
DefMuriPlacement& Placement() {
    static DefMuriPlacement state;
    return state;
}

}  // namespace

// ---------------------------------------------------------------- list

void CDefMuriListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    int row = static_cast<int>(dis->itemID);
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    CRect r = dis->rcItem;
    dc->FillSolidRect(r, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (selected) dc->DrawFocusRect(r);
    dc->SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    dc->SetBkMode(TRANSPARENT);

    int left = r.left;
    CRect name(left, r.top, left + GetColumnWidth(0), r.bottom);
    dc->DrawText(GetItemText(row, 0), &name, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    left = name.right;

    CRect cell(left, r.top, left + GetColumnWidth(1), r.bottom);
    dc->FillSolidRect(cell, zcedGetRGB(7) != 0 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    CRect swatch(cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2);
    dc->FillSolidRect(swatch, zcedGetRGB(std::atoi(GetItemText(row, 1).c_str())));
    left = cell.right;

    CRect priority(left, r.top, left + GetColumnWidth(2), r.bottom);
    dc->DrawText(GetItemText(row, 2), &priority, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

// ---------------------------------------------------------------- dialog

CDlgDefMuri::CDlgDefMuri(CListMuri& types, CWnd* parent) : CDialog(IDD_DEFMURI, parent), m_types(types) {
    HandleNotify(LVN_ITEMCHANGED, IDC_TYPES, [this](NMHDR*, LRESULT*) { OnSelChange(); });
    HandleCommand(BN_CLICKED, IDC_ASSIGN, [this] { OnAction(kAssign); });
    HandleCommand(BN_CLICKED, IDC_DRAW, [this] { OnAction(kDraw); });
}

void CDlgDefMuri::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TYPES, m_list);
    DDX_Control(dx, IDC_PREVIEW, m_preview);
}

BOOL CDlgDefMuri::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!Placement().firstTime) SetWindowPlacement(&Placement().placement);
    m_list.InsertColumn(0, "Kolor ściany", LVCFMT_LEFT, 165);
    m_list.InsertColumn(1, "Kolor", LVCFMT_LEFT, 35);
    m_list.InsertColumn(2, "Priorytet", LVCFMT_LEFT, 30);
    m_list.InsertItem(0, kGeneralWallType);
    m_list.SetItemText(0, 1, "7");
    m_list.SetItemText(0, 2, "0");
    int row = 1;
    for (const CMuro& type : m_types) {
        m_list.InsertItem(row, type.name);
        m_list.SetItemText(row, 1, std::to_string(type.color));
        m_list.SetItemText(row, 2, std::to_string(type.priority));
        ++row;
    }
    m_rows = row;
    int chosen = 0;
    for (int i = 0; i < m_rows; ++i)
        if (m_list.GetItemText(i, 0) == m_chosenName) {
            chosen = i;
            break;
        }
    m_list.SetItemState(chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    OnSelChange();
    return TRUE;
}

void CDlgDefMuri::OnSelChange() {
    int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) return;
    m_chosenName = m_list.GetItemText(row, 0);
    std::string key = "GENMURO";
    if (row > 0) {
        auto type = std::next(m_types.begin(), row - 1);
        key = type->storedFileName;
    }
    m_preview.SetBitmap(LoadObjectBitmap("", "IDB_", key));
}

void CDlgDefMuri::OnAction(int action) {
    GetWindowPlacement(&Placement().placement);
    Placement().firstTime = false;
    m_action = action;
    OnOK();
}
