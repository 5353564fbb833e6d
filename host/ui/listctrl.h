// The list view (report view: columns with header text, width and
// alignment; rows with sub-item texts, an image, selection and focus states
// and item data; owner-drawn fixed rows or custom draw) and the tree view
// (items under parents, inserted last, first or sorted; expand; images; item
// data; selection; label editing that the parent may refuse or cancel).
// Painting covers only the rows that fit in the control, as a screen would.
#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/ui/controls.h"

inline constexpr DWORD LVS_REPORT = 0x1;
inline constexpr DWORD LVS_SINGLESEL = 0x4;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x8;
inline constexpr DWORD LVS_EDITLABELS = 0x200;
inline constexpr DWORD LVS_OWNERDRAWFIXED = 0x400;
inline constexpr DWORD LVS_NOSORTHEADER = 0x8000;
inline constexpr DWORD LVS_EX_GRIDLINES = 0x1;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x20;
inline constexpr UINT LVIS_FOCUSED = 0x1;
inline constexpr UINT LVIS_SELECTED = 0x2;
inline constexpr UINT LVIF_TEXT = 0x1;
inline constexpr UINT LVIF_IMAGE = 0x2;
inline constexpr UINT LVIF_PARAM = 0x4;
inline constexpr UINT LVIF_STATE = 0x8;
inline constexpr UINT LVNI_ALL = 0x0;
inline constexpr UINT LVNI_FOCUSED = 0x1;
inline constexpr UINT LVNI_SELECTED = 0x2;
inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int LVSIL_STATE = 2;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr int LVIR_BOUNDS = 0;
inline constexpr int LVIR_ICON = 1;
inline constexpr int LVIR_LABEL = 2;
inline constexpr UINT CDDS_PREPAINT = 0x1;
inline constexpr UINT CDDS_ITEM = 0x10000;
inline constexpr UINT CDDS_ITEMPREPAINT = 0x10001;
inline constexpr UINT CDDS_SUBITEM = 0x20000;
inline constexpr LRESULT CDRF_DODEFAULT = 0x0;
inline constexpr LRESULT CDRF_NEWFONT = 0x2;
inline constexpr LRESULT CDRF_SKIPDEFAULT = 0x4;
inline constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;

using POSITION = std::intptr_t;  // 0 ends an iteration

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    std::string pszText;
    int iImage = -1;
    LPARAM lParam = 0;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    CPoint ptAction;
    LPARAM lParam = 0;
};
using NMITEMACTIVATE = NMLISTVIEW;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    HDC hdc = nullptr;
    CRect rc;
    DWORD_PTR dwItemSpec = 0;
    UINT uItemState = 0;
    LPARAM lItemlParam = 0;
};
struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText = CLR_DEFAULT;
    COLORREF clrTextBk = CLR_DEFAULT;
    int iSubItem = 0;
};

struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};
using NMTVKEYDOWN = NMLVKEYDOWN;

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    int InsertColumn(int col, std::string_view heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    BOOL DeleteColumn(int col);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    int GetColumnWidth(int col) const;
    BOOL SetColumnWidth(int col, int width);
    std::string GetColumnHeading(int col) const;
    int GetColumnFormat(int col) const;

    int InsertItem(int index, std::string_view text, int image = -1);
    int InsertItem(const LVITEM* item);
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(rows_.size()); }
    BOOL SetItemText(int index, int sub, std::string_view text);
    std::string GetItemText(int index, int sub) const;
    BOOL SetItem(const LVITEM* item);
    BOOL GetItem(LVITEM* item) const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const;
    BOOL SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int GetSelectedCount() const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    int GetNextItem(int start, UINT flags) const;
    int GetSelectionMark() const { return mark_; }
    int SetSelectionMark(int index) { return std::exchange(mark_, index); }
    CImageList* SetImageList(CImageList* list, int which);
    CImageList* GetImageList(int which) const {
        return which == LVSIL_SMALL ? small_ : which == LVSIL_NORMAL ? normal_ : nullptr;
    }
    DWORD SetExtendedStyle(DWORD ex) { return std::exchange(lvEx_, ex); }
    DWORD GetExtendedStyle() const { return lvEx_; }
    BOOL EnsureVisible(int index, BOOL partialOk);
    BOOL RedrawItems(int, int) {
        Invalidate();
        return TRUE;
    }
    BOOL Update(int) {
        Invalidate();
        return TRUE;
    }
    BOOL GetItemRect(int index, CRect* r, UINT code) const;
    int GetTopIndex() const { return top_; }
    int GetCountPerPage() const;
    int RowHeight() const;

    // The user clicks rows (a plain click, then Ctrl+clicks), double-clicks
    // one, clicks a column header or drags a column divider.
    UserResult UserSelect(const std::vector<int>& rows);
    UserResult UserDoubleClick(int row);
    UserResult UserColumnClick(int col);
    UserResult UserTrackColumn(int col, int width);
    int FindRow(std::string_view text) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    const char* KindName() const override { return "list view"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;

private:
    struct Column {
        std::string heading;
        int format = LVCFMT_LEFT;
        int width = 0;
    };
    struct Row {
        std::vector<std::string> texts;
        int image = -1;
        UINT state = 0;
        DWORD_PTR data = 0;
    };
    // Changes a row's state as a user would, with the item-changed notification.
    void ChangeState(int index, UINT state, UINT mask);
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    CImageList* small_ = nullptr;
    CImageList* normal_ = nullptr;
    DWORD lvEx_ = 0;
    int top_ = 0;
    int mark_ = -1;
};

// ---------------------------------------------------------------- tree view

inline constexpr DWORD TVS_HASBUTTONS = 0x1;
inline constexpr DWORD TVS_HASLINES = 0x2;
inline constexpr DWORD TVS_LINESATROOT = 0x4;
inline constexpr DWORD TVS_EDITLABELS = 0x8;
inline constexpr DWORD TVS_SHOWSELALWAYS = 0x20;
inline constexpr UINT TVIS_SELECTED = 0x2;
inline constexpr UINT TVIS_EXPANDED = 0x20;
inline constexpr UINT TVE_COLLAPSE = 0x1;
inline constexpr UINT TVE_EXPAND = 0x2;
inline constexpr UINT TVE_TOGGLE = 0x3;
inline constexpr UINT TVGN_ROOT = 0x0;
inline constexpr UINT TVGN_NEXT = 0x1;
inline constexpr UINT TVGN_PREVIOUS = 0x2;
inline constexpr UINT TVGN_PARENT = 0x3;
inline constexpr UINT TVGN_CHILD = 0x4;
inline constexpr UINT TVGN_CARET = 0x9;
inline constexpr UINT TVC_UNKNOWN = 0x0;
inline constexpr UINT TVC_BYMOUSE = 0x1;
inline constexpr UINT TVC_BYKEYBOARD = 0x2;

struct TreeItem;
using HTREEITEM = TreeItem*;
// Where an item goes among its siblings; never dereferenced.
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));

struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    const char* pszText = nullptr;  // null: no text (a cancelled label edit)
    int iImage = 0;
    int iSelectedImage = 0;
    LPARAM lParam = 0;
};
struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    CPoint ptDrag;
};
struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};

class CTreeCtrl : public CWnd {
public:
    CTreeCtrl();
    ~CTreeCtrl() override;
    BOOL Create(DWORD style, const CRect& r, CWnd* parent, UINT id) {
        return CreateChildWindow(style, r, parent, id);
    }
    HTREEITEM InsertItem(std::string_view text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(std::string_view text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();
    UINT GetCount() const { return static_cast<UINT>(live_.size()); }
    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
    BOOL ItemHasChildren(HTREEITEM item) const;
    std::string GetItemText(HTREEITEM item) const;
    BOOL SetItemText(HTREEITEM item, std::string_view text);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
    UINT GetItemState(HTREEITEM item, UINT mask) const;
    BOOL Expand(HTREEITEM item, UINT code);
    BOOL SelectItem(HTREEITEM item);
    HTREEITEM GetSelectedItem() const { return selected_; }
    BOOL SortChildren(HTREEITEM item);
    BOOL EnsureVisible(HTREEITEM) { return TRUE; }
    CImageList* SetImageList(CImageList* list, int which);
    CImageList* GetImageList(int) const { return images_; }
    // Starts editing a label: the parent may refuse (non-zero answer).
    CEdit* EditLabel(HTREEITEM item);
    BOOL EndEditLabelNow(BOOL cancel);
    CEdit* GetEditControl() const { return editing_ ? edit_.get() : nullptr; }
    // The first item with this text, depth first; null when none.
    HTREEITEM FindItem(std::string_view text) const;
    bool IsItem(HTREEITEM item) const { return item && live_.count(item) > 0; }

    UserResult UserSelect(HTREEITEM item);
    UserResult UserDoubleClick(HTREEITEM item);
    UserResult UserExpand(HTREEITEM item, UINT code);
    // Edits a label: a null text cancels the edit.
    UserResult UserEditLabel(HTREEITEM item, const std::string* text);
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    const char* KindName() const override { return "tree view"; }

protected:
    void CopyState(const CWnd& from) override;
    void DefaultPaint(CDC& dc) override;
    void NotifyFocus(bool gained) override;

private:
    std::vector<TreeItem*>& ChildrenOf(HTREEITEM parent);
    const std::vector<TreeItem*>& ChildrenOf(HTREEITEM parent) const;
    void Destroy(TreeItem* item);
    BOOL Select(HTREEITEM item, UINT action);
    void PaintLevel(CDC& dc, const std::vector<TreeItem*>& items, int depth, int& y, int bottom) const;
    std::vector<std::unique_ptr<TreeItem>> items_;  // owns every item
    std::unordered_set<const TreeItem*> live_;
    std::vector<TreeItem*> roots_;
    HTREEITEM selected_ = nullptr;
    HTREEITEM editItem_ = nullptr;
    bool editing_ = false;
    std::unique_ptr<CEdit> edit_;
    CImageList* images_ = nullptr;
};
