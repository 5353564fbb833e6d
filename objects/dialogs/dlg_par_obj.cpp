// The parameter dialog.
//
// The grid is made at run time under the header: seven slots of five
// controls each, refilled from the row array whenever the view moves.
// Every value change goes through CommitRow, which reads a slot back only
// when the user changed what it showed.
#include "objects/dialogs/dlg_par_obj.h"

#include <algorithm>

#include "core/input_range.h"
#include "core/levels.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "objects/dialogs/run_memory.h"
#include "objects/language/obj_text.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

using namespace parobj;

namespace {

constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 14;
constexpr int kScrollWidth = 16;

bool IsLength(char16_t type) {
    return type == u'A' || type == u'D' || type == u'R';
}

}  // namespace

void ResetParameterDialogPlacement() {
    RunMemory().parameterDialog = WINDOWPLACEMENT{};
    RunMemory().parameterDialogShown = false;
}

// ---------------------------------------------------------------- slot controls

BOOL CEditParametri::PreTranslateMessage(MSG* msg) {
    if (msg && msg->message == WM_KEYDOWN && m_pDlg) {
        switch (msg->wParam) {
            case VK_UP:
                m_pDlg->MoveRowFocus(m_slot, false);
                return TRUE;
            case VK_DOWN:
            case VK_TAB:
                if (m_pDlg->RowCountShown() <= 1) break;
                m_pDlg->MoveRowFocus(m_slot, true);
                return TRUE;
            case VK_RETURN:
                return TRUE;
            default:
                break;
        }
    }
    return CEdit::PreTranslateMessage(msg);
}

void CEditParametri::OnSetFocus(CWnd* old) {
    CEdit::OnSetFocus(old);
    if (m_pDlg) m_pDlg->OnRowFocus(m_slot, true);
}

void CEditParametri::OnKillFocus(CWnd* next) {
    CEdit::OnKillFocus(next);
    if (m_pDlg) m_pDlg->OnRowFocus(m_slot, false);
}

void CButtonParametri::OnSetFocus(CWnd* old) {
    CButton::OnSetFocus(old);
    if (m_pDlg) m_pDlg->OnRowFocus(m_slot, true);
}

void CButtonParametri::OnKillFocus(CWnd* next) {
    CButton::OnKillFocus(next);
    if (m_pDlg) m_pDlg->OnRowFocus(m_slot, false);
}

// ---------------------------------------------------------------- the dialog

CDlgParObj::CDlgParObj(CWnd* parent) : CDialog(IDD_PAROBJ, parent) {
    for (int s = 0; s < kSlots; ++s) {
        m_new[s].m_slot = m_newCheck[s].m_slot = s;
        m_new[s].m_pDlg = m_newCheck[s].m_pDlg = this;
    }
    for (int id : {kFromDrawing, kFromObject, kAll, kSelect, kApply}) {
        static constexpr int codes[] = {0, 0, 0, 5, 6, 3, 2, 4};
        HandleCommand(BN_CLICKED, id, [this, code = codes[id]] { OnButton(code); });
    }
    HandleCommand(CBN_SELCHANGE, kSetCombo, [this] { OnSelchangeSet(); });
    HandleCommand(BN_CLICKED, kSignificantOnly, [this] { OnSignificantOnly(); });
    HandleNotify(HDN_TRACK, kHeader, [this](NMHDR* hdr, LRESULT*) { OnHeaderTrack(hdr); });
}

void CDlgParObj::LoadFromContext(const ObjContext& context, int focusRow) {
    m_sets = BuildParameterSets(context, ParameterSetOptions{});
    m_selectedSet = std::max(0, FindParameterSet(m_sets, context.paramSetName));
    m_focusRow = focusRow;
    m_title = std::string(m_insertMode == 1 ? "Wstaw obiekt:" : "Modyfikuj obiekt:") + context.objectName;
    m_significantOnly = SettingInt(SetupVar::MOSTRAPRPRINC);
    m_sizes.clear();
    for (const auto& v : context.vars)
        if (v->kind == kVarParameter && IsSizeParameter(context, v->number)) m_sizes.push_back(v->number);
}

void CDlgParObj::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, kSetCombo, m_setCombo);
    DDX_Check(dx, kSignificantOnly, m_significantOnly);
    if (m_setCombo.GetCount() > 0) DDX_CBIndex(dx, kSetCombo, m_selectedSet);
}

BOOL CDlgParObj::OnInitDialog() {
    m_result = 0;
    m_currentRow = -1;
    CDialog::OnInitDialog();
    if (RunMemory().parameterDialogShown) SetWindowPlacement(&RunMemory().parameterDialog);

    m_setCombo.ResetContent();
    for (const CTipologia& set : m_sets) m_setCombo.AddString(set.name);
    if (m_sets.empty()) return TRUE;
    m_selectedSet = std::clamp(m_selectedSet, 0, static_cast<int>(m_sets.size()) - 1);
    m_setCombo.SetCurSel(m_selectedSet);
    BuildRowsFromSet();

    CreateSlots();
    CountRows();
    m_first = std::clamp(m_first, 0, std::max(0, m_rowCount - kSlots));
    ShowScrollBar(false);
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(kPicture)))
        picture->SetBitmap(LoadObjectBitmap("", "IDB_", m_pictureName));
    ApplyLayout();
    FillRows(m_first);
    SetWindowText(m_title);

    if (m_rowCount == 0) {
        GetDlgItem(kFromDrawing)->EnableWindow(FALSE);
        GetDlgItem(kFromObject)->EnableWindow(FALSE);
        return TRUE;
    }
    FocusSlot(std::clamp(m_focusRow, 0, std::min(kSlots, m_rowCount - m_first) - 1));
    GotoDlgCtrl(GetDlgItem(IDOK));
    return FALSE;
}

void CDlgParObj::BuildRowsFromSet() {
    UpdateData(TRUE);
    const int sel = m_setCombo.GetCurSel();
    if (sel < 0) return;
    std::string name;
    m_setCombo.GetLBText(sel, name);
    const int found = FindParameterSet(m_sets, name);
    if (found < 0) return;
    m_selectedSet = found;
    m_rows.clear();
    for (const CInfoParametri& row : m_sets[found].rows)
        if (row.significant == 1) m_rows.push_back(row);
    for (const CInfoParametri& row : m_sets[found].rows)
        if (row.significant != 1) m_rows.push_back(row);
    UpdateData(FALSE);
}

void CDlgParObj::CreateSlots() {
    m_header.DestroyWindow();
    m_scroll.DestroyWindow();
    m_header.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, kHeaderHeight), this, kHeader);
    while (m_header.GetItemCount() > 0) m_header.DeleteItem(0);
    const char* titles[] = {"Opis", "Bieżący", "Nowy"};
    for (int c = 0; c < 3; ++c) {
        HDITEM item;
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        item.cxy = m_columnWidth[c];
        item.pszText = titles[c];
        item.fmt = HDF_STRING | HDF_LEFT;
        m_header.InsertItem(c, &item);
    }
    m_header.SetFont(GetFont());
    const CRect none(0, 0, 1, kRowHeight);
    for (int s = 0; s < kSlots; ++s) {
        for (CWnd* w : {static_cast<CWnd*>(&m_description[s]), static_cast<CWnd*>(&m_current[s]),
                        static_cast<CWnd*>(&m_new[s]), static_cast<CWnd*>(&m_currentCheck[s]),
                        static_cast<CWnd*>(&m_newCheck[s])})
            w->DestroyWindow();
        m_description[s].Create(WS_CHILD | WS_VISIBLE | ES_READONLY, none, this, kDescription + s);
        m_current[s].Create(WS_CHILD | WS_VISIBLE | ES_READONLY | ES_RIGHT, none, this, kCurrentEdit + s);
        m_currentCheck[s].Create("", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_AUTOCHECKBOX, none, this,
                                 kCurrentCheck + s);
        m_new[s].Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_RIGHT | ES_AUTOHSCROLL, none,
                        this, kNewEdit + s);
        m_newCheck[s].Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, none, this,
                             kNewCheck + s);
        for (CWnd* w : {static_cast<CWnd*>(&m_description[s]), static_cast<CWnd*>(&m_current[s]),
                        static_cast<CWnd*>(&m_new[s]), static_cast<CWnd*>(&m_currentCheck[s]),
                        static_cast<CWnd*>(&m_newCheck[s])})
            w->SetFont(GetFont());
    }
    m_scroll.Create(WS_CHILD | SBS_VERT, none, this, kScrollBar);
    LayoutSlots();
}

// Places the header, the slots and the scroll bar in the frame by the
// current column widths.
void CDlgParObj::LayoutSlots() {
    CRect frame(0, 0, 0, 0);
    if (CWnd* f = GetDlgItem(kFrame)) {
        f->GetWindowRect(&frame);
        ScreenToClient(&frame);
    }
    const int x0 = frame.left + 1, y0 = frame.top + 1;
    const int c0 = m_columnWidth[0], c1 = m_columnWidth[1], c2 = m_columnWidth[2];
    m_header.MoveWindow(x0, y0, c0 + c1 + c2, kHeaderHeight);
    for (int s = 0; s < kSlots; ++s) {
        const int y = y0 + kHeaderHeight + s * kRowHeight;
        m_description[s].MoveWindow(x0 + 2, y, std::max(0, c0 - 4), kRowHeight);
        m_current[s].MoveWindow(x0 + c0 + 2, y, std::max(0, c1 - 8), kRowHeight);
        m_currentCheck[s].MoveWindow(x0 + c0 + 2, y, std::max(0, c1 - 4), kRowHeight);
        m_new[s].MoveWindow(x0 + c0 + c1 + 2, y, std::max(0, c2 - 4), kRowHeight);
        m_newCheck[s].MoveWindow(x0 + c0 + c1 + 2, y, std::max(0, c2 - 4), kRowHeight);
    }
    m_scroll.MoveWindow(x0 + c0 + c1 + c2, y0 + kHeaderHeight, kScrollWidth, kSlots * kRowHeight);
    if (CWnd* f = GetDlgItem(kFrame)) f->Invalidate();
}

void CDlgParObj::CountRows() {
    if (!m_significantOnly) {
        m_rowCount = static_cast<int>(m_rows.size());
        return;
    }
    m_rowCount = 0;
    while (m_rowCount < static_cast<int>(m_rows.size()) && m_rows[m_rowCount].significant == 1) ++m_rowCount;
}

// At opening the bar is hidden with seven rows or fewer; after the
// significant-only switch only with fewer than seven.
void CDlgParObj::ShowScrollBar(bool afterToggle) {
    const bool hide = afterToggle ? m_rowCount < kSlots : m_rowCount <= kSlots;
    if (hide) {
        m_scroll.ShowWindow(SW_HIDE);
        return;
    }
    m_scroll.SetScrollRange(0, std::max(0, m_rowCount - kSlots));
    m_scroll.SetScrollPos(m_first);
    m_scroll.ShowWindow(SW_SHOW);
}

void CDlgParObj::ApplyLayout() {
    auto bottomOf = [this](int id) {
        CRect r;
        GetDlgItem(id)->GetWindowRect(&r);
        ScreenToClient(&r);
        return r;
    };
    int bottom = 0;
    if (m_insertMode == 1) {
        for (int id : {kSelect, kAll, kApply}) GetDlgItem(id)->ShowWindow(SW_HIDE);
        const int top = bottomOf(kFromObject).top;
        for (int id : {IDOK, IDCANCEL}) {
            CRect r = bottomOf(id);
            GetDlgItem(id)->MoveWindow(r.left, top, r.Width(), r.Height());
        }
        bottom = bottomOf(IDCANCEL).bottom;
    } else {
        bottom = bottomOf(kApply).bottom;
    }
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    const int frame = window.Height() - client.Height();
    MoveWindow(window.left, window.top, window.Width(), bottom + 30 + frame);
}

void CDlgParObj::FillRows(int first) {
    for (int s = 0; s < kSlots; ++s) {
        const int r = first + s;
        CWnd* all[] = {&m_description[s], &m_current[s], &m_new[s], &m_currentCheck[s], &m_newCheck[s]};
        if (r >= m_rowCount) {
            for (CWnd* w : all) w->ShowWindow(SW_HIDE);
            m_shown[s].clear();
            continue;
        }
        const CInfoParametri& row = m_rows[r];
        m_description[s].SetWindowText(row.description);
        m_description[s].ShowWindow(SW_SHOW);
        const bool yesNo = row.type == u'B';
        if (yesNo) {
            m_currentCheck[s].SetCheck(row.currentValue != 0.0 ? BST_CHECKED : BST_UNCHECKED);
            m_newCheck[s].SetCheck(row.newValue != 0.0 ? BST_CHECKED : BST_UNCHECKED);
            m_shown[s].clear();
        } else {
            m_current[s].SetWindowText(row.FormatValue(true));
            m_shown[s] = row.FormatValue(false);
            m_new[s].SetWindowText(m_shown[s]);
        }
        m_currentCheck[s].ShowWindow(yesNo ? SW_SHOW : SW_HIDE);
        m_newCheck[s].ShowWindow(yesNo ? SW_SHOW : SW_HIDE);
        m_current[s].ShowWindow(yesNo ? SW_HIDE : SW_SHOW);
        m_new[s].ShowWindow(yesNo ? SW_HIDE : SW_SHOW);
    }
}

bool CDlgParObj::CommitRow(int slot) {
    if (slot < 0) {
        bool all = true;
        for (int s = 0; s < kSlots && all; ++s) all = CommitRow(s);
        return all;
    }
    if (slot >= kSlots) return true;
    const int r = m_first + slot;
    if (r >= m_rowCount || r >= static_cast<int>(m_rows.size())) return true;
    CInfoParametri& row = m_rows[r];
    if (row.type == u'B') {
        const bool checked = m_newCheck[slot].GetCheck() == BST_CHECKED;
        if (checked != (row.newValue != 0.0)) row.newValue = checked ? 1.0 : 0.0;
        return true;
    }
    const std::string text = m_new[slot].GetWindowText();
    if (text == m_shown[slot]) return true;
    if (row.type == u'S') {
        m_shown[slot] = text;
        row.newText = text;
        return true;
    }
    // A value that cannot be read, or is out of range, is refused and the
    // row keeps the value it had; the text stays for the user to correct.
    const std::optional<double> value = ParseRowValue(row.type, text);
    const bool size = std::find(m_sizes.begin(), m_sizes.end(), row.variable) != m_sizes.end();
    if (!value || (size && !SizeInRange(*value))) {
        AfxMessageBox(OutOfRangeMessage(), MB_ICONEXCLAMATION);
        return false;
    }
    m_shown[slot] = text;
    row.newValue = *value;
    return true;
}

void CDlgParObj::FocusSlot(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    const int r = m_first + slot;
    CWnd* target = nullptr;
    if (r < m_rowCount)
        target = m_rows[r].type == u'B' ? static_cast<CWnd*>(&m_newCheck[slot]) : &m_new[slot];
    if (target) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void CDlgParObj::OnRowFocus(int slot, bool gained) {
    if (!gained) {
        CommitRow(slot);
        return;
    }
    const int r = m_first + slot;
    if (r >= m_rowCount) return;
    m_currentRow = r;
    if (CWnd* pick = GetDlgItem(kFromDrawing)) pick->EnableWindow(IsLength(m_rows[r].type));
}

void CDlgParObj::MoveRowFocus(int slot, bool down) {
    CommitRow(-1);
    const int lastSlot = std::min(kSlots, m_rowCount - m_first) - 1;
    if (lastSlot < 0) return;
    int target = slot;
    if (slot == lastSlot && !(slot == 0 && !down)) {
        if (!down) {
            target = slot - 1;
        } else {
            if (m_first + kSlots < m_rowCount) {
                ++m_first;
                m_scroll.SetScrollPos(m_first);
                FillRows(m_first);
            }
            target = std::min(kSlots, m_rowCount - m_first) - 1;
        }
    } else if (slot == 0) {
        if (down) {
            target = 1;
        } else {
            if (m_first > 0) {
                --m_first;
                m_scroll.SetScrollPos(m_first);
                FillRows(m_first);
            }
            target = 0;
        }
    } else {
        target = down ? slot + 1 : slot - 1;
    }
    FocusSlot(target);
}

void CDlgParObj::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    if (bar != &m_scroll) {
        CDialog::OnVScroll(code, pos, bar);
        return;
    }
    int min = 0, max = 0;
    m_scroll.GetScrollRange(&min, &max);
    int first = m_first;
    switch (code) {
        case SB_LINEUP:
            first -= 1;
            break;
        case SB_LINEDOWN:
            first += 1;
            break;
        case SB_PAGEUP:
            first -= kSlots;
            break;
        case SB_PAGEDOWN:
            first += kSlots;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            first = static_cast<int>(pos);
            break;
        case SB_TOP:
            first = min;
            break;
        case SB_BOTTOM:
            first = max;
            break;
        default:
            return;
    }
    CommitRow(-1);
    m_first = std::clamp(first, min, max);
    m_scroll.SetScrollPos(m_first);
    FillRows(m_first);
}

void CDlgParObj::OnButton(int code) {
    if (!UpdateData(TRUE) || !CommitRow(-1)) return;
    m_result = code;
    EndDialog(IDOK);
}

void CDlgParObj::OnOK() {
    OnButton(1);
}

void CDlgParObj::OnSelchangeSet() {
    CommitRow(-1);
    BuildRowsFromSet();
    // The sets hold the same parameters, but a count from another set must
    // never reach past this one's rows.
    CountRows();
    m_first = 0;
    if (m_rowCount > kSlots) m_scroll.SetScrollRange(0, m_rowCount - kSlots);
    m_scroll.SetScrollPos(0);
    FillRows(0);
}

void CDlgParObj::OnSignificantOnly() {
    UpdateData(TRUE);
    CommitRow(-1);
    CountRows();
    m_first = 0;
    ShowScrollBar(true);
    FillRows(0);
}

void CDlgParObj::OnHeaderTrack(NMHDR* hdr) {
    auto* nm = reinterpret_cast<NMHEADER*>(hdr);
    if (!nm || !nm->pitem || nm->iItem < 0 || nm->iItem > 2) return;
    m_columnWidth[nm->iItem] = std::max(0, nm->pitem->cxy);
    LayoutSlots();
}

bool CDlgParObj::ApplyToContext(ObjContext& context) {
    if (m_sets.empty()) return true;
    std::string name = m_sets[std::clamp(m_selectedSet, 0, static_cast<int>(m_sets.size()) - 1)].name;
    if (!zcutEqualsNoCase(name, kLastParametersSet)) {
        for (const CInfoParametri& row : m_rows) {
            const bool changed =
                row.type == u'S' ? row.newText != row.currentText : row.newValue != row.currentValue;
            if (changed) {
                name = kLastParametersSet;
                break;
            }
        }
    }
    context.paramSetName = name;
    const bool keepInText = zcutEqualsNoCase(name, kLastParametersSet) &&
                            (context.runMode == 0 || context.runMode == 5) && context.text;
    // Every row of the chosen set is applied, the hidden ones too: a set
    // chosen with only the significant rows in view is still the whole set.
    for (const CInfoParametri& row : m_rows) {
        ObjVar* var = FindObjVar(row.variable, context.vars);
        if (!var) continue;
        if (row.type == u'S') {
            if (row.newText == var->text) continue;
            var->text = row.newText;
        } else {
            if (row.newValue == var->value) continue;
            var->value = row.newValue;
        }
        if (keepInText) WriteVarValue(*context.text, *var);
    }
    SetSettingInt(SetupVar::MOSTRAPRPRINC, m_significantOnly);
    return true;
}

int CDlgParObj::GetCurrentVariable(int& rowInView) {
    rowInView = std::max(0, m_currentRow - m_first);
    m_focusRow = rowInView;
    if (m_currentRow < 0 || m_currentRow >= static_cast<int>(m_rows.size())) return 0;
    return m_rows[m_currentRow].variable;
}

void CDlgParObj::OnDestroy() {
    GetWindowPlacement(&RunMemory().parameterDialog);
    RunMemory().parameterDialogShown = true;
    CDialog::OnDestroy();
}
