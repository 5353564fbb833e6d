// The common controls: static, button (push, check, three-state, radio, group
// box), edit, list box, combo box, scroll bar, slider and header.  Each keeps
// its state as the screen would show it and tells its parent what a user did
// (clicks, text changes, focus, selection changes, scrolling).  The methods
// named User… are what a person does with the mouse or keyboard: the dialog
// driver calls them, and they send the notifications; the other methods are
// the program's calls and, as on the real platform, mostly notify nothing.
#pragma once

#include <string>
#include <vector>

#include "host/ui/wnd.h"

// Static styles.
inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_BITMAP = 0xE;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_NOTIFY = 0x100;
inline constexpr DWORD SS_REALSIZEIMAGE = 0x800;
inline constexpr DWORD SS_SUNKEN = 0x1000;
// Button styles.
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_CHECKBOX = 0x2;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x3;
inline constexpr DWORD BS_RADIOBUTTON = 0x4;
inline constexpr DWORD BS_3STATE = 0x5;
inline constexpr DWORD BS_AUTO3STATE = 0x6;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD BS_BITMAP = 0x80;
inline constexpr DWORD BS_PUSHLIKE = 0x1000;
inline constexpr DWORD BS_NOTIFY = 0x4000;
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr int BST_INDETERMINATE = 2;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
// Edit styles.
inline constexpr DWORD ES_LEFT = 0x0;
inline constexpr DWORD ES_CENTER = 0x1;
inline constexpr DWORD ES_RIGHT = 0x2;
inline constexpr DWORD ES_MULTILINE = 0x4;
inline constexpr DWORD ES_UPPERCASE = 0x8;
inline constexpr DWORD ES_PASSWORD = 0x20;
inline constexpr DWORD ES_AUTOVSCROLL = 0x40;
inline constexpr DWORD ES_AUTOHSCROLL = 0x80;
inline constexpr DWORD ES_READONLY = 0x800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;
// List box styles and results.
inline constexpr DWORD LBS_NOTIFY = 0x1;
inline constexpr DWORD LBS_SORT = 0x2;
inline constexpr DWORD LBS_MULTIPLESEL = 0x8;
inline constexpr DWORD LBS_OWNERDRAWFIXED = 0x10;
inline constexpr DWORD LBS_HASSTRINGS = 0x40;
inline constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x400;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x800;
inline constexpr int LB_ERR = -1;
inline constexpr int LB_ERRSPACE = -2;
inline constexpr int CB_ERR = -1;
inline constexpr int CB_ERRSPACE = -2;
// Combo box styles.
inline constexpr DWORD CBS_SIMPLE = 0x1;
inline constexpr DWORD CBS_DROPDOWN = 0x2;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x3;
inline constexpr DWORD CBS_TYPEMASK = 0x3;
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x10;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x40;
inline constexpr DWORD CBS_SORT = 0x100;
// Scroll bar and slider styles.
inline constexpr DWORD SBS_HORZ = 0x0;
inline constexpr DWORD SBS_VERT = 0x1;
inline constexpr DWORD TBS_AUTOTICKS = 0x1;
inline constexpr DWORD TBS_VERT = 0x2;
inline constexpr UINT SIF_RANGE = 0x1;
inline constexpr UINT SIF_PAGE = 0x2;
inline constexpr UINT SIF_POS = 0x4;
inline constexpr UINT SIF_TRACKPOS = 0x10;
inline constexpr UINT SIF_ALL = 0x17;
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;

// Owner drawing of one row or button.
inline constexpr UINT ODT_LISTBOX = 2;
inline constexpr UINT ODT_COMBOBOX = 3;
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODT_LISTVIEW = 102;
inline constexpr UINT ODA_DRAWENTIRE = 1;
inline constexpr UINT ODA_SELECT = 2;
inline constexpr UINT ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x1;
inline constexpr UINT ODS_GRAYED = 0x2;
inline constexpr UINT ODS_DISABLED = 0x4;
inline constexpr UINT ODS_CHECKED = 0x8;
inline constexpr UINT ODS_FOCUS = 0x10;
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    CRect rcItem;
    DWORD_PTR itemData = 0;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// A user action that cannot be done (control disabled, row missing …) comes
// back as a message; an empty text is success.
using UserResult = std::string;

class CStatic : public CWnd {
public:
    BOOL Create(std::string_view text, DWORD style, const CRect& r, CWnd* parent, UINT id = 0xFFFF) {
        return CreateChildWindow(style, r, parent, id, text);
    }
    HBITMAP SetBitmap(HBITMAP bmp);
    HBITMAP GetBitmap() const { return bitmap_; }
    UserResult UserClick(bool doubleClick = false);
    const char* KindName() const override { return "static"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;

private:
    HBITMAP bitmap_;
};

class CButton : public CWnd {
public:
    BOOL Create(std::string_view text, DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id, text);
    }
    int GetCheck() const { return check_; }
    void SetCheck(int state);
    UINT GetState() const { return static_cast<UINT>(check_); }
    UINT GetButtonStyle() const { return style_ & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    HBITMAP SetBitmap(HBITMAP bmp);
    HBITMAP GetBitmap() const { return bitmap_; }
    // A click: auto check boxes and radio buttons change state first.
    UserResult UserClick();
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    const char* KindName() const override;
    UINT ButtonType() const { return style_ & BS_TYPEMASK; }
    bool IsCheckKind() const;
    bool IsRadioKind() const { return ButtonType() == BS_RADIOBUTTON || ButtonType() == BS_AUTORADIOBUTTON; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;

private:
    int check_ = BST_UNCHECKED;
    HBITMAP bitmap_;
};

// A push button with a bitmap pair: the up bitmap shown at rest, the down
// one while pressed. The ids are kept, so what a button shows can be told.
class CBitmapButton : public CButton {
public:
    // Loads both bitmaps of the current resource handle; FALSE when the up
    // bitmap is missing (the ids are kept either way).
    BOOL LoadBitmaps(UINT upId, UINT downId);
    UINT UpBitmapId() const { return upId_; }
    UINT DownBitmapId() const { return downId_; }
    HBITMAP DownBitmap() const { return down_; }

protected:
    void CopyState(const CWnd& from) override;

private:
    UINT upId_ = 0, downId_ = 0;
    HBITMAP down_;
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    void SetWindowText(std::string_view text) override;
    // Selection in characters; end -1 means to the end of the text.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    DWORD GetSel() const;
    void ReplaceSel(std::string_view text, BOOL canUndo = FALSE);
    void Clear() { ReplaceSel(""); }
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    void LimitText(int chars = 0) { limit_ = chars; }
    void SetLimitText(int chars) { limit_ = chars; }
    int GetLimitText() const { return limit_; }
    int GetLineCount() const;
    // Set by the user's typing, cleared whenever the program sets the text.
    BOOL GetModify() const { return modified_; }
    void SetModify(BOOL modified = TRUE) { modified_ = modified != 0; }
    // Whether the field holds an entry of the user's: a text typed since the
    // program last set one, and not empty. What the dialog put there (a
    // row's stored value, a default) is no entry, nor is a field left or
    // made empty; blanks typed are one, to be read as the field reads any.
    bool HoldsTypedText() const { return modified_ && !text_.empty(); }
    // The user replaces the whole text, as by selecting all and typing.
    UserResult UserSetText(std::string_view text);
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    const char* KindName() const override { return "edit"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;
    std::string Transform(std::string_view text) const;

private:
    int selStart_ = 0, selEnd_ = 0;
    int limit_ = 0;
    bool modified_ = false;
};

// Rows of a list box or combo box.
struct ListRow {
    std::string text;
    DWORD_PTR data = 0;
    bool selected = false;
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    int AddString(std::string_view text);
    int InsertString(int index, std::string_view text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(rows_.size()); }
    int GetText(int index, std::string& out) const;
    int GetTextLen(int index) const;
    // Searches start after `start` (-1: from the top) and wrap; case ignored.
    int FindString(int start, std::string_view prefix) const;
    int FindStringExact(int start, std::string_view text) const;
    int SelectString(int start, std::string_view prefix);
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetSel(int index) const;
    int SetSel(int index, BOOL select = TRUE);
    int GetSelCount() const;
    int GetSelItems(int max, int* out) const;
    std::vector<int> GetSelectedRows() const;
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
    int SetItemDataPtr(int index, void* p) { return SetItemData(index, reinterpret_cast<DWORD_PTR>(p)); }
    int GetCaretIndex() const { return caret_; }
    int SetCaretIndex(int index, BOOL = TRUE);
    int GetTopIndex() const { return top_; }
    int SetTopIndex(int index);
    bool IsMultiple() const { return (style_ & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    // The user selects rows (clicks, with Ctrl for more than one).
    UserResult UserSelect(const std::vector<int>& rows);
    UserResult UserDoubleClick(int row);
    // The list box's answer to a key when it asks for keyboard input;
    // -1 lets the key take its default action.
    virtual int VKeyToItem(UINT key, UINT caret);
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    const char* KindName() const override { return "list box"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;

private:
    std::vector<ListRow> rows_;
    int cur_ = -1;
    int caret_ = 0;
    int top_ = 0;
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    int AddString(std::string_view text);
    int InsertString(int index, std::string_view text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(rows_.size()); }
    int GetLBText(int index, std::string& out) const;
    int GetLBTextLen(int index) const;
    int FindString(int start, std::string_view prefix) const;
    int FindStringExact(int start, std::string_view text) const;
    int SelectString(int start, std::string_view prefix);
    int GetCurSel() const { return cur_; }
    int SetCurSel(int index);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
    int SetItemDataPtr(int index, void* p) { return SetItemData(index, reinterpret_cast<DWORD_PTR>(p)); }
    BOOL LimitText(int chars) {
        limit_ = chars;
        return TRUE;
    }
    BOOL SetEditSel(int, int) { return TRUE; }
    bool HasEdit() const { return (style_ & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }
    UserResult UserSelect(int row);
    UserResult UserDoubleClick(int row);
    UserResult UserSetText(std::string_view text);
    const char* KindName() const override { return "combo box"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;

private:
    std::vector<ListRow> rows_;
    int cur_ = -1;
    int limit_ = 0;
};

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = SIF_ALL;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    int GetScrollPos() const { return pos_; }
    int SetScrollPos(int pos, BOOL redraw = TRUE);
    void GetScrollRange(int* min, int* max) const;
    void SetScrollRange(int min, int max, BOOL redraw = TRUE);
    BOOL SetScrollInfo(const SCROLLINFO* info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(SCROLLINFO* info, UINT mask = SIF_ALL) const;
    void ShowScrollBar(BOOL show = TRUE) { ShowWindow(show ? SW_SHOW : SW_HIDE); }
    // The user scrolls: the parent is told the code (and the thumb position)
    // and then that scrolling ended; the parent moves the bar.
    UserResult UserScroll(UINT code, int thumbPos = 0);
    const char* KindName() const override { return "scroll bar"; }

protected:
    void CopyState(const CWnd& from) override;

private:
    int min_ = 0, max_ = 100, pos_ = 0;
    UINT page_ = 0;
};

class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    void SetRange(int min, int max, BOOL redraw = FALSE);
    void SetRangeMin(int min, BOOL redraw = FALSE) { SetRange(min, max_, redraw); }
    void SetRangeMax(int max, BOOL redraw = FALSE) { SetRange(min_, max, redraw); }
    void GetRange(int& min, int& max) const { min = min_, max = max_; }
    int GetRangeMin() const { return min_; }
    int GetRangeMax() const { return max_; }
    int GetPos() const { return pos_; }
    void SetPos(int pos);
    void SetTicFreq(int freq) { ticFreq_ = freq > 0 ? freq : 1; }
    BOOL SetTic(int pos);
    void ClearTics(BOOL = FALSE) { tics_.clear(); }
    int GetNumTics() const;
    int SetPageSize(int size) { return std::exchange(page_, size); }
    int SetLineSize(int size) { return std::exchange(line_, size); }
    int GetPageSize() const { return page_; }
    int GetLineSize() const { return line_; }
    // The user drags the thumb to pos (clamped to the range).
    UserResult UserMove(int pos);
    const char* KindName() const override { return "slider"; }

protected:
    void CopyState(const CWnd& from) override;

private:
    int min_ = 0, max_ = 100, pos_ = 0, ticFreq_ = 1, page_ = 20, line_ = 1;
    std::vector<int> tics_;
};

inline constexpr UINT HDI_WIDTH = 0x1;
inline constexpr UINT HDI_TEXT = 0x2;
inline constexpr UINT HDI_FORMAT = 0x4;
inline constexpr UINT HDI_LPARAM = 0x8;
inline constexpr int HDF_LEFT = 0;
inline constexpr int HDF_RIGHT = 1;
inline constexpr int HDF_CENTER = 2;
inline constexpr int HDF_STRING = 0x4000;
struct HDITEM {
    UINT mask = 0;
    int cxy = 0;
    std::string pszText;
    int fmt = 0;
    LPARAM lParam = 0;
};
struct NMHEADER {
    NMHDR hdr;
    int iItem = 0;
    int iButton = 0;
    HDITEM* pitem = nullptr;
};

class CHeaderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    int InsertItem(int index, const HDITEM* item);
    BOOL DeleteItem(int index);
    BOOL GetItem(int index, HDITEM* item) const;
    BOOL SetItem(int index, const HDITEM* item);
    // The user drags a column divider: begin, track and end notifications
    // (begin can be refused with a non-zero result), then the new width.
    UserResult UserTrack(int index, int width);
    const char* KindName() const override { return "header"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;

private:
    std::vector<HDITEM> items_;
};
