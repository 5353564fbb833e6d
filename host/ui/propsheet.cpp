// Property sheets and pages: see propsheet.h.  The sheet is sized to its
// largest page; its buttons are OK, "Anuluj", "Zastosuj" and "Pomoc".
#include "host/ui/propsheet.h"

#include <algorithm>

#include "host/ui/driver.h"
#include "host/ui/uitext.h"

// ---------------------------------------------------------------- page

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId), captionId_(captionId) {}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::SetModified(BOOL changed) {
    modified_ = changed != 0;
    if (sheet_) sheet_->PageChanged();
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wp, LPARAM lp) {
    return sheet_ ? sheet_->SendMessage(PSM_QUERYSIBLINGS, wp, lp) : 0;
}

std::string CPropertyPage::GetTitle() const {
    if (captionId_) return ResourceString(captionId_);
    const DialogTemplate* t = FindDialogTemplate(TemplateId());
    return t ? t->caption : std::string();
}

LRESULT CPropertyPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == PSM_QUERYSIBLINGS) {
        LRESULT r = CDialog::WindowProc(msg, wp, lp);  // a registered handler answers first
        return r ? r : OnQuerySiblings(wp, lp);
    }
    return CDialog::WindowProc(msg, wp, lp);
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet, const CRect& at) {
    const DialogTemplate* t = FindDialogTemplate(TemplateId());
    if (!t) {
        zcui::RecordDriverError(zcui::Format("property page %u has no template", TemplateId()));
        return FALSE;
    }
    sheet_ = sheet;
    ended_ = false;
    modified_ = false;
    CreateFromTemplate(*t, sheet, true);
    if (m_hWnd) MoveWindow(at.left, at.top, rect_.Width(), rect_.Height(), FALSE);
    return m_hWnd != nullptr;
}

// ---------------------------------------------------------------- sheet

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CDialog(0, parent), captionId_(captionId), startPage_(selectPage) {}

CPropertySheet::CPropertySheet(std::string_view caption, CWnd* parent, UINT selectPage)
    : CDialog(0, parent), startPage_(selectPage) {
    SetTextRaw(std::string(caption));
}

CPropertySheet::~CPropertySheet() {
    // Pages are the owner's members: let go of them before they go.
    for (CPropertyPage* p : pages_)
        if (CWnd::IsLive(p)) p->sheet_ = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page || GetPageIndex(page) >= 0) return;
    pages_.push_back(page);
    page->sheet_ = this;
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
    RemovePage(GetPageIndex(page));
}

void CPropertySheet::RemovePage(int index) {
    if (index < 0 || index >= GetPageCount()) return;
    CPropertyPage* page = pages_[index];
    if (page->GetSafeHwnd()) page->CWnd::DestroyWindow();
    page->sheet_ = nullptr;
    pages_.erase(pages_.begin() + index);
    if (active_ >= GetPageCount()) active_ = GetPageCount() - 1;
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? pages_[index] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
    auto at = std::find(pages_.begin(), pages_.end(), page);
    return at == pages_.end() ? -1 : static_cast<int>(at - pages_.begin());
}

UINT CPropertySheet::DriverId() const {
    if (captionId_) return captionId_;
    return pages_.empty() ? 0 : pages_.front()->TemplateId();
}

INT_PTR CPropertySheet::DoModal() {
    if (m_hWnd || pages_.empty()) return -1;
    // The sheet is as large as its largest page, with room for the buttons.
    int w = 0, h = 0;
    for (CPropertyPage* p : pages_) {
        const DialogTemplate* t = FindDialogTemplate(p->TemplateId());
        if (!t) {
            zcui::RecordDriverError(zcui::Format("property page %u has no template", p->TemplateId()));
            return -1;
        }
        w = std::max(w, t->width), h = std::max(h, t->height);
    }
    CRect page(0, 0, w, h);
    MapDialogRect(&page);
    page.OffsetRect(7, 28);
    pageRect_ = page;
    std::string caption = captionId_ ? ResourceString(captionId_) : GetWindowText();
    modal_ = true, ended_ = false, result_ = IDCANCEL, active_ = -1;
    CreateChildWindow(WS_POPUP | WS_VISIBLE, CRect(0, 0, page.right + 7, page.bottom + 40), nullptr, 0,
                      caption);
    const int y = page.bottom + 10;
    struct Button {
        int id;
        const char* text;
        DWORD style;
    };
    const Button buttons[] = {{IDOK, "OK", BS_DEFPUSHBUTTON},
                              {IDCANCEL, "Anuluj", BS_PUSHBUTTON},
                              {ID_APPLY_NOW, "&Zastosuj", BS_PUSHBUTTON | WS_DISABLED},
                              {IDHELP, "Pomoc", BS_PUSHBUTTON}};
    int x = page.right - 4 * 80;
    for (const Button& b : buttons) {
        auto button = std::make_unique<CButton>();
        DWORD style = WS_CHILD | WS_TABSTOP | b.style;
        if (!(b.id == ID_APPLY_NOW && (m_psh.dwFlags & PSH_NOAPPLYNOW)) &&
            !(b.id == IDHELP && !(m_psh.dwFlags & PSH_HASHELP)))
            style |= WS_VISIBLE;
        CButton* raw = button.get();
        raw->Create(b.text, style, CRect(x, y, x + 75, y + 23), nullptr, static_cast<UINT>(b.id));
        AdoptChild(std::move(button));
        x += 80;
    }
    SendMessage(WM_INITDIALOG);
    if (m_hWnd && !ended_) {
        if (active_ < 0) SetActivePage(static_cast<int>(std::min<UINT>(startPage_, GetPageCount() - 1)));
        PaintInvalidated();
        zcui::DriveModal(*this);
    }
    int result = result_;
    CWnd::DestroyWindow();
    modal_ = false;
    active_ = -1;
    zcui::RecordDialog(DriverId(), result);
    return result;
}

BOOL CPropertySheet::OnInitDialog() {
    if (active_ < 0 && !pages_.empty())
        SetActivePage(static_cast<int>(std::min<UINT>(startPage_, GetPageCount() - 1)));
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int index) {
    CPropertyPage* next = GetPage(index);
    if (!next) return FALSE;
    if (index == active_) return TRUE;
    if (!m_hWnd) {  // before the sheet is shown: where it opens
        startPage_ = static_cast<UINT>(index);
        return TRUE;
    }
    if (CPropertyPage* cur = GetActivePage()) {
        if (!cur->OnKillActive()) return FALSE;
        cur->ShowWindow(SW_HIDE);
    }
    if (!next->GetSafeHwnd() && !next->CreatePage(this, pageRect_)) return FALSE;
    active_ = index;
    next->ShowWindow(SW_SHOW);
    next->OnSetActive();
    if (CWnd* first = next->GetNextDlgTabItem(nullptr)) next->GotoDlgCtrl(first);
    return TRUE;
}

bool CPropertySheet::IsApplyEnabled() const {
    CWnd* apply = GetDlgItem(ID_APPLY_NOW);
    return apply && apply->IsWindowEnabled();
}

void CPropertySheet::PageChanged() {
    bool any =
        std::any_of(pages_.begin(), pages_.end(), [](const CPropertyPage* p) { return p->IsModified(); });
    if (CWnd* apply = GetDlgItem(ID_APPLY_NOW)) apply->EnableWindow(any);
}

bool CPropertySheet::Apply() {
    if (CPropertyPage* cur = GetActivePage(); cur && !cur->OnKillActive()) return false;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* p = pages_[i];
        if (!p->GetSafeHwnd()) continue;
        if (!p->OnApply()) {
            SetActivePage(i);
            return false;
        }
        if (!m_hWnd) return false;  // a page closed the sheet
    }
    for (CPropertyPage* p : pages_) p->modified_ = false;
    PageChanged();
    return true;
}

void CPropertySheet::OnOK() {
    if (Apply() && m_hWnd) EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
    if (CPropertyPage* cur = GetActivePage(); cur && !cur->OnQueryCancel()) return;
    for (CPropertyPage* p : pages_)
        if (p->GetSafeHwnd()) p->OnReset();
    EndDialog(IDCANCEL);
}

BOOL CPropertySheet::PressButton(int button) {
    switch (button) {
        case PSBTN_OK:
            OnOK();
            return TRUE;
        case PSBTN_CANCEL:
            OnCancel();
            return TRUE;
        case PSBTN_APPLYNOW:
            Apply();
            return TRUE;
        case PSBTN_HELP:
            SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), 0);
            return TRUE;
        default:
            return FALSE;
    }
}

CWnd* CPropertySheet::FindControl(int id) const {
    if (CPropertyPage* page = GetActivePage())
        if (CWnd* c = page->GetDlgItem(id)) return c;
    return GetDlgItem(id);
}

void CPropertySheet::NextDlgCtrl() {
    if (CPropertyPage* page = GetActivePage()) page->NextDlgCtrl();
}

void CPropertySheet::PrevDlgCtrl() {
    if (CPropertyPage* page = GetActivePage()) page->PrevDlgCtrl();
}

BOOL CPropertySheet::OnCommand(WPARAM wp, LPARAM lp) {
    if (CWnd::OnCommand(wp, lp)) return TRUE;
    if (HIWORD(wp) != BN_CLICKED) return FALSE;
    switch (LOWORD(wp)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        case ID_APPLY_NOW:
            Apply();
            return TRUE;
        case IDHELP:
            return CWnd::OnCommand(MAKEWPARAM(ID_HELP, BN_CLICKED), lp);
        default:
            break;
    }
    // A page's own buttons reach the page first; anything else is not ours.
    return FALSE;
}

LRESULT CPropertySheet::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == PSM_QUERYSIBLINGS) {
        for (CPropertyPage* p : std::vector<CPropertyPage*>(pages_))
            if (p->GetSafeHwnd())
                if (LRESULT r = p->SendMessage(PSM_QUERYSIBLINGS, wp, lp)) return r;
        return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
