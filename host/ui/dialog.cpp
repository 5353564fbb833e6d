// Dialogs and data exchange: see dialog.h.  Numbers are read and written with
// a '.' whatever the locale; a numeric field must hold one number and nothing
// else (blanks around it allowed).
#include "host/ui/dialog.h"

#include <climits>
#include <cstdlib>
#include <optional>

#include "host/ui/driver.h"
#include "host/ui/msgbox.h"
#include "host/ui/uitext.h"
#include "host/win/textutil.h"

// ---------------------------------------------------------------- controls

std::unique_ptr<CWnd> MakeControl(ControlKind kind) {
    switch (kind) {
        case ControlKind::Static:
            return std::make_unique<CStatic>();
        case ControlKind::Button:
            return std::make_unique<CButton>();
        case ControlKind::Edit:
            return std::make_unique<CEdit>();
        case ControlKind::ListBox:
            return std::make_unique<CListBox>();
        case ControlKind::ComboBox:
            return std::make_unique<CComboBox>();
        case ControlKind::ListView:
            return std::make_unique<CListCtrl>();
        case ControlKind::TreeView:
            return std::make_unique<CTreeCtrl>();
        case ControlKind::Slider:
            return std::make_unique<CSliderCtrl>();
        case ControlKind::ScrollBar:
            return std::make_unique<CScrollBar>();
        case ControlKind::Header:
            return std::make_unique<CHeaderCtrl>();
    }
    return std::make_unique<CWnd>();
}

// ---------------------------------------------------------------- dialog

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), templateId_(templateId) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    const DialogTemplate* t = FindDialogTemplate(templateId_);
    if (!t) {
        zcui::RecordDriverError(zcui::Format("dialog %u has no template", templateId_));
        return -1;
    }
    modal_ = true, ended_ = false, result_ = IDCANCEL;
    CreateFromTemplate(*t, m_pParentWnd, false);
    if (!ended_ && m_hWnd) zcui::DriveModal(*this);
    int result = result_;
    CWnd::DestroyWindow();
    modal_ = false;
    zcui::RecordDialog(templateId_, result);
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (m_hWnd) return FALSE;
    templateId_ = templateId;
    m_pParentWnd = parent;
    const DialogTemplate* t = FindDialogTemplate(templateId_);
    if (!t) {
        zcui::RecordDriverError(zcui::Format("dialog %u has no template", templateId_));
        return FALSE;
    }
    modal_ = false, ended_ = false, result_ = IDCANCEL;
    if (!CreateFromTemplate(*t, parent, false)) return FALSE;
    zcui::RegisterModeless(*this);
    return TRUE;
}

BOOL CDialog::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    if (!modal_) zcui::UnregisterModeless(*this);
    return CWnd::DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(const DialogTemplate& t, CWnd* parent, bool child) {
    CRect r(0, 0, t.width, t.height);
    MapDialogRect(&r);
    if (t.fontPoints != 8 || t.fontFace != DialogFont()->Face()) {
        ownFont_ = std::make_unique<CFont>();
        ownFont_->CreatePointFont(t.fontPoints * 10, t.fontFace.c_str());
        font_ = ownFont_.get();
    }
    CreateChildWindow((child ? WS_CHILD : WS_POPUP) | WS_VISIBLE | t.style, r, child ? parent : nullptr, 0,
                      t.caption);
    exStyle_ = t.exStyle;
    if (!child) rect_ = r;
    ReserveChildren(t.controls.size());
    for (const ControlTemplate& c : t.controls) {
        std::unique_ptr<CWnd> ctl = MakeControl(c.kind);
        CRect cr = c.rect;
        MapDialogRect(&cr);
        CWnd* raw = ctl.get();
        raw->stock_ = true;
        owned_.push_back(std::move(ctl));  // CreateChildWindow attaches it, in order
        raw->CreateChildWindow(c.style, cr, this, static_cast<UINT>(c.id), c.text);
        raw->exStyle_ = c.exStyle;
        if (c.kind == ControlKind::Static && (c.style & SS_TYPEMASK) == SS_BITMAP)
            static_cast<CStatic*>(raw)->SetBitmap(LoadBitmapResource(c.text));
        if (c.kind == ControlKind::Button && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            defId_ = static_cast<UINT>(c.id);
    }
    BOOL focusDefault = static_cast<BOOL>(SendMessage(WM_INITDIALOG));
    if (m_hWnd && !ended_ && focusDefault && !child) {
        if (CWnd* first = GetNextDlgTabItem(nullptr)) GotoDlgCtrl(first);
    }
    if (m_hWnd) PaintInvalidated();
    return m_hWnd != nullptr;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    if (dx.m_bFailed) {
        if (dx.m_pLastControl && CWnd::IsLive(dx.m_pLastControl)) {
            GotoDlgCtrl(dx.m_pLastControl);
            if (auto* e = dynamic_cast<CEdit*>(dx.m_pLastControl)) e->SetSel(0, -1);
        }
        return FALSE;
    }
    return TRUE;
}

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (!modal_ && m_hWnd) ShowWindow(SW_HIDE);
}

void CDialog::GotoDlgCtrl(CWnd* ctl) {
    if (!ctl || !CWnd::IsLive(ctl)) return;
    ctl->SetFocus();
    if (GetFocus() == ctl)
        if (auto* e = dynamic_cast<CEdit*>(ctl)) e->SetSel(0, -1);
}

void CDialog::NextDlgCtrl() {
    CWnd* focus = GetFocus();
    if (CWnd* next = GetNextDlgTabItem(focus && focus->GetParent() == this ? focus : nullptr))
        GotoDlgCtrl(next);
}

void CDialog::PrevDlgCtrl() {
    CWnd* focus = GetFocus();
    if (CWnd* prev = GetNextDlgTabItem(focus && focus->GetParent() == this ? focus : nullptr, TRUE))
        GotoDlgCtrl(prev);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    return DialogKey(msg);
}

BOOL CDialog::DialogKey(MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    CWnd* focus = GetFocus();
    switch (msg->wParam) {
        case VK_TAB:
            if (GetKeyState(VK_SHIFT) < 0)
                PrevDlgCtrl();
            else
                NextDlgCtrl();
            return TRUE;
        case VK_ESCAPE:
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return TRUE;
        case VK_RETURN: {
            if (auto* e = dynamic_cast<CEdit*>(focus);
                e && (e->GetStyle() & ES_MULTILINE) && (e->GetStyle() & ES_WANTRETURN))
                return FALSE;
            if (auto* b = dynamic_cast<CButton*>(focus);
                b && (b->ButtonType() == BS_PUSHBUTTON || b->ButtonType() == BS_DEFPUSHBUTTON)) {
                b->UserClick();
                return TRUE;
            }
            CWnd* def = GetDlgItem(static_cast<int>(defId_));
            if (def && !def->IsWindowEnabled()) return TRUE;  // a disabled default button: nothing
            SendMessage(WM_COMMAND, MAKEWPARAM(defId_, BN_CLICKED), reinterpret_cast<LPARAM>(def));
            return TRUE;
        }
        default:
            return FALSE;
    }
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp) {
    if (CWnd::OnCommand(wp, lp)) return TRUE;
    if (HIWORD(wp) != BN_CLICKED) return FALSE;
    if (LOWORD(wp) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) return OnInitDialog();
    if (msg == WM_NEXTDLGCTL) {
        if (lp)
            GotoDlgCtrl(reinterpret_cast<CWnd*>(wp));
        else if (wp == 0)
            NextDlgCtrl();
        else
            PrevDlgCtrl();
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------- exchange

CWnd* CDataExchange::PrepareCtrl(int id) {
    if (m_bFailed) return nullptr;
    CWnd* c = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (!c) {
        zcui::RecordDriverError(zcui::Format("data exchange: the dialog has no control %d", id));
        m_bFailed = true;
        return nullptr;
    }
    m_pLastControl = c;
    m_bEditLastControl = false;
    return c;
}

CWnd* CDataExchange::PrepareEditCtrl(int id) {
    CWnd* c = PrepareCtrl(id);
    if (c) m_bEditLastControl = true;
    return c;
}

void CDataExchange::Fail() {
    m_bFailed = true;
}

namespace {

void Refuse(CDataExchange* dx, const std::string& message) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
}

template <class T>
void IntegerText(CDataExchange* dx, int id, T& value, long long min, long long max) {
    CWnd* c = dx->PrepareEditCtrl(id);
    if (!c) return;
    if (!dx->m_bSaveAndValidate) {
        c->SetWindowText(std::to_string(value));
        return;
    }
    // The whole text must be the number: "12abc" is not 12 nor "0x10" 16.
    const std::optional<long long> typed = host::parseInteger(c->GetWindowText());
    if (!typed) return Refuse(dx, zcui::kEnterInteger);
    const long long v = *typed;
    if (v < min || v > max)
        return Refuse(dx, zcui::Format(zcui::kIntegerRange, static_cast<long>(min), static_cast<long>(max)));
    value = static_cast<T>(v);
}

std::string FormatReal(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

template <class T>
void RealText(CDataExchange* dx, int id, T& value, int digits) {
    CWnd* c = dx->PrepareEditCtrl(id);
    if (!c) return;
    if (!dx->m_bSaveAndValidate) {
        c->SetWindowText(FormatReal(value, digits));
        return;
    }
    const std::optional<double> typed = host::parseDouble(c->GetWindowText());
    if (!typed) return Refuse(dx, zcui::kEnterNumber);
    value = static_cast<T>(*typed);
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, int& v) {
    IntegerText(dx, id, v, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* dx, int id, short& v) {
    IntegerText(dx, id, v, SHRT_MIN, SHRT_MAX);
}
void DDX_Text(CDataExchange* dx, int id, long& v) {
    IntegerText(dx, id, v, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* dx, int id, UINT& v) {
    IntegerText(dx, id, v, 0, UINT_MAX);
}
void DDX_Text(CDataExchange* dx, int id, double& v) {
    RealText(dx, id, v, 15);
}
void DDX_Text(CDataExchange* dx, int id, float& v) {
    RealText(dx, id, v, 6);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    CWnd* c = dx->PrepareEditCtrl(id);
    if (!c) return;
    if (dx->m_bSaveAndValidate)
        value = c->GetWindowText();
    else
        c->SetWindowText(value);
}

namespace {

template <class T>
T* Prepare(CDataExchange* dx, int id, const char* kind) {
    CWnd* c = dx->PrepareCtrl(id);
    if (!c) return nullptr;
    auto* t = dynamic_cast<T*>(c);
    if (!t) {
        zcui::RecordDriverError(
            zcui::Format("data exchange: control %d is a %s, not a %s", id, c->KindName(), kind));
        dx->Fail();
    }
    return t;
}

}  // namespace

void DDX_Check(CDataExchange* dx, int id, int& value) {
    auto* b = Prepare<CButton>(dx, id, "button");
    if (!b) return;
    if (dx->m_bSaveAndValidate)
        value = b->GetCheck();
    else
        b->SetCheck(value);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    auto* first = Prepare<CButton>(dx, id, "radio button");
    if (!first || !first->GetParent()) return;
    std::vector<CButton*> radios;
    for (CWnd* w : first->GetParent()->GroupOf(first))
        if (auto* b = dynamic_cast<CButton*>(w); b && b->IsRadioKind()) radios.push_back(b);
    // The group starts at the named button.
    auto at = std::find(radios.begin(), radios.end(), first);
    radios.erase(radios.begin(), at);
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < radios.size(); ++i)
            if (radios[i]->GetCheck() == BST_CHECKED) value = static_cast<int>(i);
    } else {
        for (size_t i = 0; i < radios.size(); ++i)
            radios[i]->SetCheck(static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DDX_LBString(CDataExchange* dx, int id, std::string& value) {
    auto* l = Prepare<CListBox>(dx, id, "list box");
    if (!l) return;
    if (dx->m_bSaveAndValidate) {
        int i = l->GetCurSel();
        value = i >= 0 ? (l->GetText(i, value), value) : std::string();
    } else if (l->SelectString(-1, value) < 0) {
        l->SetCurSel(-1);
    }
}

void DDX_LBStringExact(CDataExchange* dx, int id, std::string& value) {
    auto* l = Prepare<CListBox>(dx, id, "list box");
    if (!l) return;
    if (dx->m_bSaveAndValidate) {
        int i = l->GetCurSel();
        value = i >= 0 ? (l->GetText(i, value), value) : std::string();
    } else {
        l->SetCurSel(l->FindStringExact(-1, value));
    }
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    auto* l = Prepare<CListBox>(dx, id, "list box");
    if (!l) return;
    if (dx->m_bSaveAndValidate)
        index = l->GetCurSel();
    else
        l->SetCurSel(index);
}

void DDX_CBString(CDataExchange* dx, int id, std::string& value) {
    auto* c = Prepare<CComboBox>(dx, id, "combo box");
    if (!c) return;
    if (dx->m_bSaveAndValidate) {
        value = c->GetWindowText();
    } else if (c->SelectString(-1, value) < 0) {
        c->SetCurSel(-1);
        if (c->HasEdit()) c->SetWindowText(value);
    }
}

void DDX_CBStringExact(CDataExchange* dx, int id, std::string& value) {
    auto* c = Prepare<CComboBox>(dx, id, "combo box");
    if (!c) return;
    if (dx->m_bSaveAndValidate) {
        value = c->GetWindowText();
    } else {
        int i = c->FindStringExact(-1, value);
        c->SetCurSel(i);
        if (i < 0 && c->HasEdit()) c->SetWindowText(value);
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    auto* c = Prepare<CComboBox>(dx, id, "combo box");
    if (!c) return;
    if (dx->m_bSaveAndValidate)
        index = c->GetCurSel();
    else
        c->SetCurSel(index);
}

void DDX_Slider(CDataExchange* dx, int id, int& value) {
    auto* s = Prepare<CSliderCtrl>(dx, id, "slider");
    if (!s) return;
    if (dx->m_bSaveAndValidate)
        value = s->GetPos();
    else
        s->SetPos(value);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->m_bFailed || control.GetSafeHwnd()) return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd)) {
        zcui::RecordDriverError(zcui::Format("data exchange: cannot bind control %d", id));
        dx->Fail();
    }
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
    if (dx->m_bFailed) return;
    if (!dx->m_bSaveAndValidate) {
        if (auto* e = dynamic_cast<CEdit*>(dx->m_pLastControl))
            e->LimitText(maxChars);
        else if (auto* c = dynamic_cast<CComboBox*>(dx->m_pLastControl))
            c->LimitText(maxChars);
        return;
    }
    if (zcui::CodePointCount(value) > maxChars) Refuse(dx, zcui::Format(zcui::kMaxChars, maxChars));
}

namespace {

void IntegerRange(CDataExchange* dx, long long v, long long min, long long max) {
    if (dx->m_bFailed || !dx->m_bSaveAndValidate) return;
    if (v < min || v > max)
        Refuse(dx, zcui::Format(zcui::kIntegerRange, static_cast<long>(min), static_cast<long>(max)));
}

void RealRange(CDataExchange* dx, double v, double min, double max) {
    if (dx->m_bFailed || !dx->m_bSaveAndValidate) return;
    if (v < min || v > max) Refuse(dx, zcui::Format(zcui::kNumberRange, min, max));
}

}  // namespace

void DDV_MinMaxInt(CDataExchange* dx, int v, int min, int max) {
    IntegerRange(dx, v, min, max);
}
void DDV_MinMaxShort(CDataExchange* dx, short v, short min, short max) {
    IntegerRange(dx, v, min, max);
}
void DDV_MinMaxLong(CDataExchange* dx, long v, long min, long max) {
    IntegerRange(dx, v, min, max);
}
void DDV_MinMaxUInt(CDataExchange* dx, UINT v, UINT min, UINT max) {
    IntegerRange(dx, v, min, max);
}
void DDV_MinMaxDouble(CDataExchange* dx, double v, double min, double max) {
    RealRange(dx, v, min, max);
}
void DDV_MinMaxFloat(CDataExchange* dx, float v, float min, float max) {
    RealRange(dx, v, min, max);
}
