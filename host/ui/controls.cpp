// The common controls: see controls.h.  Sorted lists insert with the
// collation of uitext.h; searches ignore case; user actions refuse disabled
// or hidden controls, as a person could not reach them.
#include "host/ui/controls.h"

#include <algorithm>

#include "host/ui/uitext.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

UserResult Reachable(const CWnd& w) {
    if (!w.IsWindowVisible()) return zcui::Format("%s %d is hidden", w.KindName(), w.GetDlgCtrlID());
    if (!w.IsWindowEnabled()) return zcui::Format("%s %d is disabled", w.KindName(), w.GetDlgCtrlID());
    return {};
}

// Byte offset of the character with the given index (clamped to the end).
size_t ByteOffset(const std::string& s, int chars) {
    size_t i = 0;
    for (int n = 0; n < chars && i < s.size(); ++n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

int InsertSorted(std::vector<ListRow>& rows, std::string_view text) {
    auto at = std::upper_bound(rows.begin(), rows.end(), text, [](std::string_view t, const ListRow& r) {
        return zcui::CollateCompare(t, r.text) < 0;
    });
    int index = static_cast<int>(at - rows.begin());
    rows.insert(at, ListRow{std::string(text)});
    return index;
}

int Find(const std::vector<ListRow>& rows, int start, std::string_view text, bool exact) {
    const int n = static_cast<int>(rows.size());
    if (start < -1 || start >= n) start = -1;
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        bool hit = exact ? host::iequals(rows[i].text, text) : zcui::StartsWithNoCase(rows[i].text, text);
        if (hit) return i;
    }
    return LB_ERR;
}

}  // namespace

// ---------------------------------------------------------------- static

HBITMAP CStatic::SetBitmap(HBITMAP bmp) {
    HBITMAP old = bitmap_;
    bitmap_ = std::move(bmp);
    Invalidate();
    return old;
}

UserResult CStatic::UserClick(bool doubleClick) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (doubleClick)
        OnLButtonDblClk(0, CPoint());
    else
        OnLButtonDown(0, CPoint());
    if (style_ & SS_NOTIFY) NotifyParent(doubleClick ? STN_DBLCLK : STN_CLICKED);
    return {};
}

void CStatic::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* s = dynamic_cast<const CStatic*>(&from)) bitmap_ = s->bitmap_;
}

void CStatic::DefaultPaint(CDC& dc) {
    CRect r;
    GetClientRect(&r);
    if (HBRUSH brush = CtlColor(&dc, 6 /* CTLCOLOR_STATIC */)) dc.FillRect(r, brush);
    if ((style_ & SS_TYPEMASK) == SS_BITMAP) {
        dc.DrawBitmap(bitmap_, 0, 0);
        return;
    }
    UINT align = (style_ & SS_TYPEMASK) == SS_CENTER  ? DT_CENTER
                 : (style_ & SS_TYPEMASK) == SS_RIGHT ? DT_RIGHT
                                                      : 0;
    if (!text_.empty()) dc.DrawText(text_, &r, align);
}

// ---------------------------------------------------------------- button

bool CButton::IsCheckKind() const {
    UINT t = ButtonType();
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}

const char* CButton::KindName() const {
    if (IsRadioKind()) return "radio button";
    if (IsCheckKind()) return "check box";
    if (ButtonType() == BS_GROUPBOX) return "group box";
    return "button";
}

void CButton::SetCheck(int state) {
    if (state < 0 || state > 2) state = BST_UNCHECKED;
    if (state == BST_INDETERMINATE && ButtonType() != BS_3STATE && ButtonType() != BS_AUTO3STATE)
        state = BST_CHECKED;
    if (check_ != state) Invalidate();
    check_ = state;
}

void CButton::SetButtonStyle(UINT style, BOOL) {
    style_ = (style_ & ~0xFFFFu) | (style & 0xFFFF);
    Invalidate();
}

HBITMAP CButton::SetBitmap(HBITMAP bmp) {
    HBITMAP old = bitmap_;
    bitmap_ = std::move(bmp);
    Invalidate();
    return old;
}

UserResult CButton::UserClick() {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (ButtonType() == BS_GROUPBOX) return zcui::Format("group box %d cannot be clicked", id_);
    OnLButtonDown(0, CPoint());
    if ((style_ & WS_TABSTOP) || IsRadioKind()) SetFocus();
    switch (ButtonType()) {
        case BS_AUTOCHECKBOX:
            SetCheck(check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck((check_ + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON:
            if (parent_)
                for (CWnd* w : parent_->GroupOf(this))
                    if (auto* b = dynamic_cast<CButton*>(w); b && b != this && b->IsRadioKind())
                        b->SetCheck(BST_UNCHECKED);
            SetCheck(BST_CHECKED);
            break;
        default:
            break;
    }
    NotifyParent(BN_CLICKED);
    return {};
}

LRESULT CButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == BM_GETCHECK) return check_;
    if (msg == BM_SETCHECK) {
        SetCheck(static_cast<int>(wp));
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CButton::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* b = dynamic_cast<const CButton*>(&from)) check_ = b->check_, bitmap_ = b->bitmap_;
}

BOOL CBitmapButton::LoadBitmaps(UINT upId, UINT downId) {
    upId_ = upId, downId_ = downId;
    CBitmap up, down;
    up.LoadBitmap(upId);
    down.LoadBitmap(downId);
    down_ = down.Detach();
    SetBitmap(up.Detach());
    return GetBitmap() != nullptr;
}

void CBitmapButton::CopyState(const CWnd& from) {
    CButton::CopyState(from);
    if (auto* b = dynamic_cast<const CBitmapButton*>(&from))
        upId_ = b->upId_, downId_ = b->downId_, down_ = b->down_;
}

void CButton::NotifyFocus(bool gained) {
    if (style_ & BS_NOTIFY) NotifyParent(gained ? BN_SETFOCUS : BN_KILLFOCUS);
}

void CButton::DefaultPaint(CDC& dc) {
    CRect r;
    GetClientRect(&r);
    if (ButtonType() == BS_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_BUTTON, dis.CtlID = static_cast<UINT>(id_), dis.hwndItem = this, dis.hDC = &dc;
        dis.rcItem = r;
        dis.itemState = (enabled_ ? 0 : ODS_DISABLED) | (GetFocus() == this ? ODS_FOCUS : 0);
        DrawItem(&dis);
        return;
    }
    if (bitmap_)
        dc.DrawBitmap(bitmap_, 0, 0);
    else if (!text_.empty())
        dc.DrawText(text_, &r, IsCheckKind() || IsRadioKind() ? DT_LEFT : DT_CENTER);
    if (GetFocus() == this) dc.DrawFocusRect(r);
}

// ---------------------------------------------------------------- edit

std::string CEdit::Transform(std::string_view text) const {
    // Text entered in a dialog is valid UTF-8 whatever the bytes.
    std::string valid = host::repairUtf8(text);
    return (style_ & ES_UPPERCASE) ? zcui::FoldUpper(valid) : valid;
}

void CEdit::SetWindowText(std::string_view text) {
    // A text the program sets is not the user's, even when it is the one
    // the user typed.
    modified_ = false;
    // Most texts a dialog is filled with are valid and kept as given: they
    // are compared and copied in place.
    if (!(style_ & ES_UPPERCASE) && host::isValidUtf8(text)) {
        if (text == text_) return;
        text_.assign(text.data(), text.size());
    } else {
        std::string t = Transform(text);
        if (t == text_) return;
        SetTextRaw(std::move(t));
    }
    selStart_ = selEnd_ = 0;
    Invalidate();
    // A single-line edit reports a text set by the program as a change too.
    if (!(style_ & ES_MULTILINE)) {
        NotifyParent(EN_UPDATE);
        NotifyParent(EN_CHANGE);
    }
}

void CEdit::SetSel(int start, int end, BOOL) {
    int n = zcui::CodePointCount(text_);
    if (start < 0) {  // -1 removes the selection
        selStart_ = selEnd_ = std::clamp(selEnd_, 0, n);
        return;
    }
    if (end < 0 || end > n) end = n;
    selStart_ = std::min(start, n), selEnd_ = end;
    if (selStart_ > selEnd_) std::swap(selStart_, selEnd_);
}

void CEdit::GetSel(int& start, int& end) const {
    start = selStart_, end = selEnd_;
}

DWORD CEdit::GetSel() const {
    return static_cast<DWORD>(selStart_) | (static_cast<DWORD>(selEnd_) << 16);
}

void CEdit::ReplaceSel(std::string_view text, BOOL) {
    std::string t = Transform(text);
    std::string cur = text_;
    size_t a = ByteOffset(cur, selStart_), b = ByteOffset(cur, selEnd_);
    if (limit_ > 0) {
        int room = limit_ - (zcui::CodePointCount(cur) - zcui::CodePointCount(cur.substr(a, b - a)));
        if (room < zcui::CodePointCount(t)) t = t.substr(0, ByteOffset(t, std::max(room, 0)));
    }
    cur.replace(a, b - a, t);
    selStart_ = selEnd_ = selStart_ + zcui::CodePointCount(t);
    SetTextRaw(std::move(cur));
    modified_ = true;
    Invalidate();
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    style_ = readOnly ? (style_ | ES_READONLY) : (style_ & ~ES_READONLY);
    Invalidate();
    return TRUE;
}

int CEdit::GetLineCount() const {
    if (!(style_ & ES_MULTILINE)) return 1;
    return 1 + static_cast<int>(std::count(text_.begin(), text_.end(), '\n'));
}

UserResult CEdit::UserSetText(std::string_view text) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (style_ & ES_READONLY) return zcui::Format("edit %d is read-only", id_);
    SetFocus();
    if (GetFocus() != this) return zcui::Format("edit %d cannot take the focus", id_);
    SetSel(0, -1);
    ReplaceSel(text);
    return {};
}

void CEdit::OnChar(UINT ch, UINT, UINT) {
    if (style_ & ES_READONLY) return;
    if (ch == VK_BACK) {
        if (selStart_ == selEnd_ && selStart_ > 0) --selStart_;
        ReplaceSel("");
        return;
    }
    if (ch == VK_RETURN && !((style_ & ES_MULTILINE) && (style_ & ES_WANTRETURN))) return;
    if (ch < 0x20 && ch != VK_RETURN) return;
    if ((style_ & ES_NUMBER) && (ch < '0' || ch > '9')) return;
    std::string s;
    if (ch == VK_RETURN)
        s = "\r\n";
    else if (ch < 0x80)
        s = static_cast<char>(ch);
    else if (ch < 0x800)
        s = {static_cast<char>(0xC0 | (ch >> 6)), static_cast<char>(0x80 | (ch & 0x3F))};
    else
        s = {static_cast<char>(0xE0 | (ch >> 12)), static_cast<char>(0x80 | ((ch >> 6) & 0x3F)),
             static_cast<char>(0x80 | (ch & 0x3F))};
    ReplaceSel(s);
}

void CEdit::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* e = dynamic_cast<const CEdit*>(&from))
        selStart_ = e->selStart_, selEnd_ = e->selEnd_, limit_ = e->limit_, modified_ = e->modified_;
}

void CEdit::NotifyFocus(bool gained) {
    NotifyParent(gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

void CEdit::DefaultPaint(CDC& dc) {
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(r, GetSysColor(enabled_ && !(style_ & ES_READONLY) ? COLOR_WINDOW : COLOR_BTNFACE));
    dc.SetTextColor(GetSysColor(enabled_ ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    UINT align = (style_ & ES_RIGHT) ? DT_RIGHT : (style_ & ES_CENTER) ? DT_CENTER : DT_LEFT;
    if (text_.empty()) return;
    if (style_ & ES_PASSWORD)
        dc.DrawText(std::string(zcui::CodePointCount(text_), '*'), &r, align);
    else
        dc.DrawText(text_, &r, align);
}

// ---------------------------------------------------------------- list box

int CListBox::AddString(std::string_view text) {
    if (style_ & LBS_SORT) return InsertString(-2, text);
    rows_.push_back(ListRow{std::string(text)});
    Invalidate();
    return GetCount() - 1;
}

int CListBox::InsertString(int index, std::string_view text) {
    int at;
    if (index == -2) {
        at = InsertSorted(rows_, text);
    } else {
        if (index > GetCount()) return LB_ERR;
        at = index < 0 ? GetCount() : index;
        rows_.insert(rows_.begin() + at, ListRow{std::string(text)});
    }
    if (cur_ >= at) ++cur_;
    Invalidate();
    return at;
}

int CListBox::DeleteString(UINT index) {
    if (index >= rows_.size()) return LB_ERR;
    rows_.erase(rows_.begin() + index);
    int i = static_cast<int>(index);
    if (cur_ == i)
        cur_ = -1;
    else if (cur_ > i)
        --cur_;
    if (caret_ >= GetCount()) caret_ = std::max(0, GetCount() - 1);
    Invalidate();
    return GetCount();
}

void CListBox::ResetContent() {
    rows_.clear();
    cur_ = -1, caret_ = 0, top_ = 0;
    Invalidate();
}

int CListBox::GetText(int index, std::string& out) const {
    if (index < 0 || index >= GetCount()) return LB_ERR;
    out = rows_[index].text;
    return static_cast<int>(out.size());
}

int CListBox::GetTextLen(int index) const {
    return index < 0 || index >= GetCount() ? LB_ERR : static_cast<int>(rows_[index].text.size());
}

int CListBox::FindString(int start, std::string_view prefix) const {
    return Find(rows_, start, prefix, false);
}
int CListBox::FindStringExact(int start, std::string_view text) const {
    return Find(rows_, start, text, true);
}

int CListBox::SelectString(int start, std::string_view prefix) {
    if (IsMultiple()) return LB_ERR;
    int i = FindString(start, prefix);
    if (i >= 0) SetCurSel(i);
    return i;
}

int CListBox::GetCurSel() const {
    if (IsMultiple()) return caret_ < GetCount() && rows_[caret_].selected ? caret_ : LB_ERR;
    return cur_;
}

int CListBox::SetCurSel(int index) {
    if (IsMultiple() || index >= GetCount()) return LB_ERR;
    cur_ = index < 0 ? -1 : index;
    if (cur_ >= 0) caret_ = cur_;
    Invalidate();
    return index < 0 ? LB_ERR : index;
}

int CListBox::GetSel(int index) const {
    if (index < 0 || index >= GetCount()) return LB_ERR;
    return IsMultiple() ? rows_[index].selected : index == cur_;
}

int CListBox::SetSel(int index, BOOL select) {
    if (!IsMultiple() || index >= GetCount()) return LB_ERR;
    if (index < 0) {
        for (auto& r : rows_) r.selected = select != 0;
    } else {
        rows_[index].selected = select != 0;
        caret_ = index;
    }
    Invalidate();
    return 0;
}

int CListBox::GetSelCount() const {
    if (!IsMultiple()) return LB_ERR;
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow& r) { return r.selected; }));
}

std::vector<int> CListBox::GetSelectedRows() const {
    std::vector<int> out;
    for (int i = 0; i < GetCount(); ++i)
        if (GetSel(i) > 0) out.push_back(i);
    return out;
}

int CListBox::GetSelItems(int max, int* out) const {
    if (!IsMultiple() || !out) return LB_ERR;
    int n = 0;
    for (int i = 0; i < GetCount() && n < max; ++i)
        if (rows_[i].selected) out[n++] = i;
    return n;
}

DWORD_PTR CListBox::GetItemData(int index) const {
    return index < 0 || index >= GetCount() ? static_cast<DWORD_PTR>(LB_ERR) : rows_[index].data;
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    if (index < 0 || index >= GetCount()) return LB_ERR;
    rows_[index].data = data;
    return 0;
}

int CListBox::SetCaretIndex(int index, BOOL) {
    if (index < 0 || index >= GetCount()) return LB_ERR;
    caret_ = index;
    return 0;
}

int CListBox::SetTopIndex(int index) {
    if (index < 0 || index >= std::max(1, GetCount())) return LB_ERR;
    top_ = index;
    Invalidate();
    return 0;
}

UserResult CListBox::UserSelect(const std::vector<int>& rows) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    for (int row : rows)
        if (row < 0 || row >= GetCount()) return zcui::Format("list box %d has no row %d", id_, row);
    if (rows.size() > 1 && !IsMultiple()) return zcui::Format("list box %d takes one row at a time", id_);
    SetFocus();
    if (!IsMultiple()) {
        for (int row : rows) {
            SetCurSel(row);
            if (style_ & LBS_NOTIFY) NotifyParent(LBN_SELCHANGE);
        }
        return {};
    }
    // A plain click first (clearing the others), then Ctrl+clicks.
    bool first = true;
    for (int row : rows) {
        if (first) SetSel(-1, FALSE);
        SetSel(row, TRUE);
        first = false;
        if (style_ & LBS_NOTIFY) NotifyParent(LBN_SELCHANGE);
    }
    return {};
}

UserResult CListBox::UserDoubleClick(int row) {
    if (UserResult r = UserSelect({row}); !r.empty()) return r;
    if (style_ & LBS_NOTIFY) NotifyParent(LBN_DBLCLK);
    return {};
}

int CListBox::VKeyToItem(UINT, UINT) {
    return -1;
}

void CListBox::OnKeyDown(UINT key, UINT, UINT) {
    if (style_ & LBS_WANTKEYBOARDINPUT) {
        if (VKeyToItem(key, static_cast<UINT>(caret_)) != -1) return;
    }
    if ((key == VK_DOWN || key == VK_UP) && !IsMultiple() && GetCount() > 0) {
        int next = std::clamp(cur_ + (key == VK_DOWN ? 1 : -1), 0, GetCount() - 1);
        if (next != cur_) {
            SetCurSel(next);
            if (style_ & LBS_NOTIFY) NotifyParent(LBN_SELCHANGE);
        }
    }
}

void CListBox::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* l = dynamic_cast<const CListBox*>(&from))
        rows_ = l->rows_, cur_ = l->cur_, caret_ = l->caret_, top_ = l->top_;
}

void CListBox::NotifyFocus(bool gained) {
    if (style_ & LBS_NOTIFY) NotifyParent(gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

void CListBox::DefaultPaint(CDC& dc) {
    CRect client;
    GetClientRect(&client);
    const int h = GetFont()->Height() + 3;
    int visible = std::max(1, client.Height() / h);
    for (int i = top_; i < GetCount() && i < top_ + visible; ++i) {
        CRect r(0, (i - top_) * h, client.right, (i - top_ + 1) * h);
        bool sel = GetSel(i) > 0;
        if (style_ & LBS_OWNERDRAWFIXED) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_LISTBOX, dis.CtlID = static_cast<UINT>(id_), dis.itemID = static_cast<UINT>(i);
            dis.itemState = (sel ? ODS_SELECTED : 0) | (i == caret_ && GetFocus() == this ? ODS_FOCUS : 0);
            dis.hwndItem = this, dis.hDC = &dc, dis.rcItem = r, dis.itemData = rows_[i].data;
            DrawItem(&dis);
            continue;
        }
        dc.FillSolidRect(r, GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        dc.SetTextColor(GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        dc.TextOut(r.left + 2, r.top + 1, rows_[i].text);
    }
}

// ---------------------------------------------------------------- combo box

int CComboBox::AddString(std::string_view text) {
    if (style_ & CBS_SORT) return InsertString(-2, text);
    // Filled a choice at a time: room for a short list at once.
    if (rows_.capacity() == 0) rows_.reserve(16);
    rows_.emplace_back().text.assign(text.data(), text.size());
    return GetCount() - 1;
}

int CComboBox::InsertString(int index, std::string_view text) {
    int at;
    if (index == -2) {
        at = InsertSorted(rows_, text);
    } else {
        if (index > GetCount()) return CB_ERR;
        at = index < 0 ? GetCount() : index;
        rows_.insert(rows_.begin() + at, ListRow{std::string(text)});
    }
    if (cur_ >= at) ++cur_;
    return at;
}

int CComboBox::DeleteString(UINT index) {
    if (index >= rows_.size()) return CB_ERR;
    rows_.erase(rows_.begin() + index);
    int i = static_cast<int>(index);
    if (cur_ == i) {
        cur_ = -1;
        SetTextRaw("");
    } else if (cur_ > i) {
        --cur_;
    }
    Invalidate();
    return GetCount();
}

void CComboBox::ResetContent() {
    rows_.clear();
    cur_ = -1;
    SetTextRaw("");
    Invalidate();
}

int CComboBox::GetLBText(int index, std::string& out) const {
    if (index < 0 || index >= GetCount()) return CB_ERR;
    out = rows_[index].text;
    return static_cast<int>(out.size());
}

int CComboBox::GetLBTextLen(int index) const {
    return index < 0 || index >= GetCount() ? CB_ERR : static_cast<int>(rows_[index].text.size());
}

int CComboBox::FindString(int start, std::string_view prefix) const {
    return Find(rows_, start, prefix, false);
}
int CComboBox::FindStringExact(int start, std::string_view text) const {
    return Find(rows_, start, text, true);
}

int CComboBox::SelectString(int start, std::string_view prefix) {
    int i = FindString(start, prefix);
    if (i >= 0) SetCurSel(i);
    return i;
}

int CComboBox::SetCurSel(int index) {
    if (index >= GetCount()) return CB_ERR;
    cur_ = index < 0 ? -1 : index;
    SetTextRaw(cur_ >= 0 ? rows_[cur_].text : std::string());
    Invalidate();
    return index < 0 ? CB_ERR : index;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return index < 0 || index >= GetCount() ? static_cast<DWORD_PTR>(CB_ERR) : rows_[index].data;
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    if (index < 0 || index >= GetCount()) return CB_ERR;
    rows_[index].data = data;
    return 0;
}

UserResult CComboBox::UserSelect(int row) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (row < 0 || row >= GetCount()) return zcui::Format("combo box %d has no row %d", id_, row);
    SetFocus();
    SetCurSel(row);
    NotifyParent(CBN_SELCHANGE);
    NotifyParent(CBN_CLOSEUP);
    return {};
}

UserResult CComboBox::UserDoubleClick(int row) {
    if (UserResult r = UserSelect(row); !r.empty()) return r;
    NotifyParent(CBN_DBLCLK);
    return {};
}

UserResult CComboBox::UserSetText(std::string_view text) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (!HasEdit()) return zcui::Format("combo box %d is a drop-down list: choose a row", id_);
    SetFocus();
    std::string t(text);
    if (limit_ > 0 && zcui::CodePointCount(t) > limit_) t = t.substr(0, ByteOffset(t, limit_));
    cur_ = -1;
    SetTextRaw(std::move(t));
    Invalidate();
    NotifyParent(CBN_EDITUPDATE);
    NotifyParent(CBN_EDITCHANGE);
    return {};
}

void CComboBox::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* c = dynamic_cast<const CComboBox*>(&from)) rows_ = c->rows_, cur_ = c->cur_, limit_ = c->limit_;
}

void CComboBox::NotifyFocus(bool gained) {
    NotifyParent(gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

void CComboBox::DefaultPaint(CDC& dc) {
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(r, GetSysColor(COLOR_WINDOW));
    if (!text_.empty()) dc.TextOut(2, 1, text_);
}

// ---------------------------------------------------------------- scroll bar

int CScrollBar::SetScrollPos(int pos, BOOL) {
    int old = pos_;
    int top = page_ > 0 ? std::max(min_, max_ - static_cast<int>(page_) + 1) : max_;
    pos_ = std::clamp(pos, min_, std::max(min_, top));
    Invalidate();
    return old;
}

void CScrollBar::GetScrollRange(int* min, int* max) const {
    if (min) *min = min_;
    if (max) *max = max_;
}

void CScrollBar::SetScrollRange(int min, int max, BOOL) {
    min_ = min, max_ = std::max(min, max);
    SetScrollPos(pos_);
}

BOOL CScrollBar::SetScrollInfo(const SCROLLINFO* info, BOOL) {
    if (!info) return FALSE;
    if (info->fMask & SIF_RANGE) min_ = info->nMin, max_ = std::max(info->nMin, info->nMax);
    if (info->fMask & SIF_PAGE) page_ = info->nPage;
    SetScrollPos((info->fMask & SIF_POS) ? info->nPos : pos_);
    return TRUE;
}

BOOL CScrollBar::GetScrollInfo(SCROLLINFO* info, UINT mask) const {
    if (!info) return FALSE;
    info->fMask = mask;
    info->nMin = min_, info->nMax = max_, info->nPage = page_, info->nPos = pos_, info->nTrackPos = pos_;
    return TRUE;
}

UserResult CScrollBar::UserScroll(UINT code, int thumbPos) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (!parent_) return {};
    UINT msg = (style_ & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        int pos = std::clamp(thumbPos, min_, max_);
        parent_->SendMessage(msg, MAKEWPARAM(SB_THUMBTRACK, static_cast<unsigned>(pos)), self);
        parent_->SendMessage(msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(pos)), self);
    } else {
        parent_->SendMessage(msg, MAKEWPARAM(code, 0), self);
    }
    parent_->SendMessage(msg, MAKEWPARAM(SB_ENDSCROLL, 0), self);
    return {};
}

void CScrollBar::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* s = dynamic_cast<const CScrollBar*>(&from))
        min_ = s->min_, max_ = s->max_, pos_ = s->pos_, page_ = s->page_;
}

// ---------------------------------------------------------------- slider

void CSliderCtrl::SetRange(int min, int max, BOOL) {
    min_ = min, max_ = std::max(min, max);
    pos_ = std::clamp(pos_, min_, max_);
    Invalidate();
}

void CSliderCtrl::SetPos(int pos) {
    pos_ = std::clamp(pos, min_, max_);
    Invalidate();
}

BOOL CSliderCtrl::SetTic(int pos) {
    if (pos < min_ || pos > max_) return FALSE;
    tics_.push_back(pos);
    return TRUE;
}

int CSliderCtrl::GetNumTics() const {
    // The two ends always carry a tick.
    int n = 2 + static_cast<int>(tics_.size());
    if (style_ & TBS_AUTOTICKS) n += std::max(0, (max_ - min_ - 1) / ticFreq_);
    return n;
}

UserResult CSliderCtrl::UserMove(int pos) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    SetFocus();
    SetPos(pos);
    if (!parent_) return {};
    UINT msg = (style_ & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    parent_->SendMessage(msg, MAKEWPARAM(TB_THUMBTRACK, static_cast<unsigned>(pos_)), self);
    parent_->SendMessage(msg, MAKEWPARAM(TB_THUMBPOSITION, static_cast<unsigned>(pos_)), self);
    parent_->SendMessage(msg, MAKEWPARAM(TB_ENDTRACK, 0), self);
    return {};
}

void CSliderCtrl::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* s = dynamic_cast<const CSliderCtrl*>(&from)) {
        min_ = s->min_, max_ = s->max_, pos_ = s->pos_, ticFreq_ = s->ticFreq_;
        page_ = s->page_, line_ = s->line_, tics_ = s->tics_;
    }
}

// ---------------------------------------------------------------- header

int CHeaderCtrl::InsertItem(int index, const HDITEM* item) {
    if (!item) return -1;
    index = std::clamp(index, 0, GetItemCount());
    items_.insert(items_.begin() + index, *item);
    Invalidate();
    return index;
}

BOOL CHeaderCtrl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    items_.erase(items_.begin() + index);
    Invalidate();
    return TRUE;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const {
    if (!item || index < 0 || index >= GetItemCount()) return FALSE;
    UINT mask = item->mask;
    *item = items_[index];
    item->mask = mask;
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, const HDITEM* item) {
    if (!item || index < 0 || index >= GetItemCount()) return FALSE;
    HDITEM& it = items_[index];
    if (item->mask & HDI_WIDTH) it.cxy = item->cxy;
    if (item->mask & HDI_TEXT) it.pszText = item->pszText;
    if (item->mask & HDI_FORMAT) it.fmt = item->fmt;
    if (item->mask & HDI_LPARAM) it.lParam = item->lParam;
    Invalidate();
    return TRUE;
}

UserResult CHeaderCtrl::UserTrack(int index, int width) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (index < 0 || index >= GetItemCount()) return zcui::Format("header %d has no column %d", id_, index);
    HDITEM item = items_[index];
    item.mask = HDI_WIDTH;
    NMHEADER nm;
    nm.iItem = index, nm.pitem = &item;
    nm.hdr.code = HDN_BEGINTRACK;
    if (NotifyParent(nm.hdr) != 0) return {};  // the parent refused the drag
    item.cxy = std::max(0, width);
    nm.hdr.code = HDN_TRACK;
    NotifyParent(nm.hdr);
    nm.hdr.code = HDN_ENDTRACK;
    NotifyParent(nm.hdr);
    items_[index].cxy = item.cxy;
    nm.hdr.code = HDN_ITEMCHANGED;
    NotifyParent(nm.hdr);
    Invalidate();
    return {};
}

void CHeaderCtrl::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* h = dynamic_cast<const CHeaderCtrl*>(&from)) items_ = h->items_;
}

void CHeaderCtrl::DefaultPaint(CDC& dc) {
    int x = 0;
    for (const HDITEM& it : items_) {
        CRect r(x, 0, x + it.cxy, GetFont()->Height() + 4);
        dc.DrawText(it.pszText, &r,
                    (it.fmt & HDF_RIGHT)    ? DT_RIGHT
                    : (it.fmt & HDF_CENTER) ? DT_CENTER
                                            : DT_LEFT);
        x += it.cxy;
    }
}
