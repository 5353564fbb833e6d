// The module's own dialog controls: partner enabling, numeric validation
// with focus holding, colour swatches, Enter-as-Tab edits and list boxes
// that delete their selected rows.
#include "core/controls/advcontrols.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "host/ui/hostdialogs.h"
#include "host/ui/msgbox.h"
#include "host/win/textutil.h"

// ---------------------------------------------------------------- CadvEdit

void CadvEdit::OnEnable(BOOL enable) {
    CEdit::OnEnable(enable);
    CWnd* parent = GetParent();
    if (!parent) return;
    // Partners are looked up each time: an id of 0 or of a missing control
    // simply finds nothing.
    for (UINT id : {m_idPartner1, m_idPartner2}) {
        if (id == 0) continue;
        if (CWnd* partner = parent->GetDlgItem(static_cast<int>(id))) partner->EnableWindow(enable);
    }
}

// ---------------------------------------------------------------- CadvNumEdit

void CadvNumEdit::SetSignMode(short signMode, int zeroRefused) {
    m_signMode = signMode;
    m_zeroRefused = zeroRefused;
}

int CadvNumEdit::Validate(int showMessage) {
    const std::optional<double> typed = Number();
    const double v = typed.value_or(0.0);
    bool valid = typed && v >= m_minimum && v <= m_maximum;
    if (m_signMode == 0 && v < 0.0) valid = false;
    if (m_signMode == 1 && v > 0.0) valid = false;
    if (m_zeroRefused && v == 0.0) valid = false;
    if (!valid && showMessage) AfxMessageBox(kInvalidValueMessage, MB_OK, 0);
    return valid ? 1 : 0;
}

void CadvNumEdit::SetRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void CadvNumEdit::GetRangeFloat(float& minimum, float& maximum) const {
    minimum = static_cast<float>(m_minimum);
    maximum = static_cast<float>(m_maximum);
}

void CadvNumEdit::GetRange(double& minimum, double& maximum) const {
    minimum = m_minimum;
    maximum = m_maximum;
}

void CadvNumEdit::SetInt(int value) {
    SetWindowText(std::to_string(value));
}

void CadvNumEdit::SetDouble(double value) {
    if (m_decimals <= 0) {
        SetWindowText(host::formatNumber(value, 6));
        return;
    }
    // With decimals set the value keeps them, so a value converted back and
    // forth in the field comes back as it was; trailing zeros are dropped.
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", m_decimals, value);
    std::string_view shown = text;
    if (shown.find('.') != std::string_view::npos) {
        shown.remove_suffix(shown.size() - 1 - shown.find_last_not_of('0'));
        if (shown.back() == '.') shown.remove_suffix(1);
    }
    SetWindowText(std::string(shown == "-0" ? std::string_view("0") : shown));
}

double CadvNumEdit::GetDouble() const {
    return Number().value_or(0.0);
}

std::optional<double> CadvNumEdit::Number() const {
    return TypedNumber(GetWindowText());
}

BOOL CadvNumEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_TAB)) {
        if (!MayLeave()) {
            SelectAllAgain();
            return TRUE;
        }
        if (msg->wParam == VK_RETURN) {
            if (CWnd* parent = GetParent()) parent->SendMessage(WM_NEXTDLGCTL, 0, 0);
            return TRUE;
        }
    }
    return CadvEdit::PreTranslateMessage(msg);
}

void CadvNumEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    bool pass = false;
    if (ch == '-')
        pass = m_minimum < 0.0;
    else if (ch == '.')
        pass = m_decimals > 0;
    else if (ch == ',')
        pass = true;  // kept, so "1,5" is refused whole rather than read as 15
    else
        pass = (ch >= '0' && ch <= '9') || ch == VK_BACK;
    // Ctrl keeps clipboard shortcuts and anything else typed with it working.
    if (!pass && GetKeyState(VK_CONTROL) < 0) pass = true;
    if (pass) CadvEdit::OnChar(ch, repeat, flags);
}

void CadvNumEdit::OnKillFocus(CWnd* next) {
    CadvEdit::OnKillFocus(next);
    // Leaving the dialog, or pressing its Cancel button, must not be held up
    // by a value the user is about to throw away.
    if (!next || next->GetParent() != GetParent() || next->GetDlgCtrlID() == IDCANCEL) return;
    if (!MayLeave()) {
        SetFocus();
        SelectAllAgain();
    }
}

bool CadvNumEdit::MayLeave() {
    // A text that is no number, or an endless one, is no value to hold
    // against the field's rules: the dialog's reading of the field (OK,
    // Apply, a row change) refuses it with its own message. Said here too,
    // one OK would say it twice: once as the field is left for the next
    // one or for the OK button, once more as OK reads it.
    const std::optional<double> typed = Number();
    if (!typed || !std::isfinite(*typed)) return true;
    return Validate(1) != 0;
}

void CadvNumEdit::SelectAllAgain() {
    SetSel(0, -1);
}

bool EditsHoldNumbers(std::initializer_list<CadvNumEdit*> edits) {
    for (CadvNumEdit* edit : edits) {
        if (edit->Number()) continue;
        AfxMessageBox(kInvalidValueMessage, MB_OK, 0);
        edit->SetFocus();
        edit->SetSel(0, -1);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- CadvColorStatic

CadvColorStatic::CadvColorStatic() : m_background(GetSysColor(COLOR_BTNFACE)) {
    m_brush.CreateSolidBrush(m_background);
}

void CadvColorStatic::ChooseColor() {
    CColorDialog dialog(m_background, 0, nullptr);
    if (dialog.DoModal() == IDOK) SetColor(dialog.GetColor());
}

void CadvColorStatic::SetColor(COLORREF colour) {
    m_background = colour;
    m_brush.DeleteObject();
    m_brush.CreateSolidBrush(colour);
    Invalidate(TRUE);
}

void CadvColorStatic::SetTextColor(COLORREF colour) {
    m_text = colour;
    Invalidate(TRUE);
}

HBRUSH CadvColorStatic::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(m_text);
    dc->SetBkColor(m_background);
    return m_brush;
}

void CadvColorStatic::OnLButtonDown(UINT flags, CPoint at) {
    if (m_chooseEnabled) ChooseColor();
    CStatic::OnLButtonDown(flags, at);
}

// ---------------------------------------------------------------- CAdvInvioEdit

BOOL CAdvInvioEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        if (CWnd* parent = GetParent()) parent->SendMessage(WM_NEXTDLGCTL, 0, 0);
        return TRUE;
    }
    return CEdit::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------- CAdvListBox

int CAdvListBox::VKeyToItem(UINT key, UINT caret) {
    if (key == VK_DELETE) {
        int count = GetCount();
        // A deleted row pulls the next one into its index: look there again.
        for (int i = 0; i < count;) {
            if (GetSel(i) > 0) {
                DeleteString(static_cast<UINT>(i));
                --count;
            } else {
                ++i;
            }
        }
    }
    (void)caret;
    return -1;
}
