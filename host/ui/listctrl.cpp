// List view and tree view: see listctrl.h.  State changes of list rows are
// told to the parent whether the program or the user made them, as the
// platform does; tree selection changes may be refused by the parent.
#include "host/ui/listctrl.h"

#include <algorithm>

#include "host/ui/uitext.h"

namespace {

UserResult Reachable(const CWnd& w) {
    if (!w.IsWindowVisible()) return zcui::Format("%s %d is hidden", w.KindName(), w.GetDlgCtrlID());
    if (!w.IsWindowEnabled()) return zcui::Format("%s %d is disabled", w.KindName(), w.GetDlgCtrlID());
    return {};
}

constexpr int kHeaderHeight = 17;

}  // namespace

// ---------------------------------------------------------------- columns

int CListCtrl::InsertColumn(int col, std::string_view heading, int format, int width, int) {
    if (col < 0) return -1;
    col = std::min(col, GetColumnCount());
    if (width < 0) width = zcui::CodePointCount(heading) * GetFont()->Advance() + 12;
    columns_.insert(columns_.begin() + col, Column{std::string(heading), format, width});
    for (Row& r : rows_)
        if (static_cast<int>(r.texts.size()) > col) r.texts.insert(r.texts.begin() + col, std::string());
    Invalidate();
    return col;
}

BOOL CListCtrl::DeleteColumn(int col) {
    if (col < 0 || col >= GetColumnCount()) return FALSE;
    columns_.erase(columns_.begin() + col);
    for (Row& r : rows_)
        if (static_cast<int>(r.texts.size()) > col) r.texts.erase(r.texts.begin() + col);
    Invalidate();
    return TRUE;
}

int CListCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < GetColumnCount() ? columns_[col].width : 0;
}

BOOL CListCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= GetColumnCount()) return FALSE;
    columns_[col].width = std::max(0, width);
    Invalidate();
    return TRUE;
}

std::string CListCtrl::GetColumnHeading(int col) const {
    return col >= 0 && col < GetColumnCount() ? columns_[col].heading : std::string();
}

int CListCtrl::GetColumnFormat(int col) const {
    return col >= 0 && col < GetColumnCount() ? columns_[col].format : LVCFMT_LEFT;
}

// ---------------------------------------------------------------- rows

int CListCtrl::InsertItem(int index, std::string_view text, int image) {
    if (index < 0) return -1;
    index = std::min(index, GetItemCount());
    Row row;
    row.texts.push_back(std::string(text));
    row.image = image;
    rows_.insert(rows_.begin() + index, std::move(row));
    if (mark_ >= index) ++mark_;
    Invalidate();
    return index;
}

int CListCtrl::InsertItem(const LVITEM* item) {
    if (!item) return -1;
    int i = InsertItem(item->iItem, (item->mask & LVIF_TEXT) ? item->pszText : "",
                       (item->mask & LVIF_IMAGE) ? item->iImage : -1);
    if (i < 0) return i;
    if (item->mask & LVIF_PARAM) rows_[i].data = static_cast<DWORD_PTR>(item->lParam);
    if (item->mask & LVIF_STATE) rows_[i].state = item->state & item->stateMask;
    return i;
}

BOOL CListCtrl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    rows_.erase(rows_.begin() + index);
    if (mark_ == index)
        mark_ = -1;
    else if (mark_ > index)
        --mark_;
    if (top_ >= GetItemCount()) top_ = std::max(0, GetItemCount() - 1);
    Invalidate();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    rows_.clear();
    top_ = 0, mark_ = -1;
    Invalidate();
    return TRUE;
}

BOOL CListCtrl::SetItemText(int index, int sub, std::string_view text) {
    if (index < 0 || index >= GetItemCount() || sub < 0) return FALSE;
    auto& texts = rows_[index].texts;
    if (static_cast<int>(texts.size()) <= sub) texts.resize(sub + 1);
    texts[sub] = std::string(text);
    Invalidate();
    return TRUE;
}

std::string CListCtrl::GetItemText(int index, int sub) const {
    if (index < 0 || index >= GetItemCount() || sub < 0) return {};
    const auto& texts = rows_[index].texts;
    return sub < static_cast<int>(texts.size()) ? texts[sub] : std::string();
}

BOOL CListCtrl::SetItem(const LVITEM* item) {
    if (!item || item->iItem < 0 || item->iItem >= GetItemCount()) return FALSE;
    if (item->mask & LVIF_TEXT) SetItemText(item->iItem, item->iSubItem, item->pszText);
    if (item->mask & LVIF_IMAGE) rows_[item->iItem].image = item->iImage;
    if (item->mask & LVIF_PARAM) rows_[item->iItem].data = static_cast<DWORD_PTR>(item->lParam);
    if (item->mask & LVIF_STATE) ChangeState(item->iItem, item->state, item->stateMask);
    Invalidate();
    return TRUE;
}

BOOL CListCtrl::GetItem(LVITEM* item) const {
    if (!item || item->iItem < 0 || item->iItem >= GetItemCount()) return FALSE;
    const Row& r = rows_[item->iItem];
    if (item->mask & LVIF_TEXT) item->pszText = GetItemText(item->iItem, item->iSubItem);
    if (item->mask & LVIF_IMAGE) item->iImage = r.image;
    if (item->mask & LVIF_PARAM) item->lParam = static_cast<LPARAM>(r.data);
    if (item->mask & LVIF_STATE) item->state = r.state & item->stateMask;
    return TRUE;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    if (index >= GetItemCount()) return FALSE;
    if (index < 0) {  // every row
        for (int i = 0; i < GetItemCount(); ++i) ChangeState(i, state, mask);
        return TRUE;
    }
    ChangeState(index, state, mask);
    return TRUE;
}

void CListCtrl::ChangeState(int index, UINT state, UINT mask) {
    Row& r = rows_[index];
    UINT next = (r.state & ~mask) | (state & mask);
    if ((GetStyle() & LVS_SINGLESEL) && (next & LVIS_SELECTED) && !(r.state & LVIS_SELECTED))
        for (int i = 0; i < GetItemCount(); ++i)
            if (i != index && (rows_[i].state & LVIS_SELECTED)) ChangeState(i, 0, LVIS_SELECTED);
    if ((next & LVIS_FOCUSED) && !(r.state & LVIS_FOCUSED))
        for (int i = 0; i < GetItemCount(); ++i)
            if (i != index && (rows_[i].state & LVIS_FOCUSED)) ChangeState(i, 0, LVIS_FOCUSED);
    if (next == r.state) return;
    NMLISTVIEW nm;
    nm.iItem = index, nm.uOldState = r.state, nm.uNewState = next, nm.uChanged = LVIF_STATE;
    nm.lParam = static_cast<LPARAM>(r.data);
    nm.hdr.code = LVN_ITEMCHANGING;
    if (NotifyParent(nm.hdr) != 0) return;  // refused
    if (index >= GetItemCount()) return;    // the parent removed the row meanwhile
    rows_[index].state = next;
    if (next & LVIS_SELECTED) mark_ = index;
    Invalidate();
    nm.hdr.code = LVN_ITEMCHANGED;
    NotifyParent(nm.hdr);
}

UINT CListCtrl::GetItemState(int index, UINT mask) const {
    return index >= 0 && index < GetItemCount() ? rows_[index].state & mask : 0;
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    rows_[index].data = data;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
    return index >= 0 && index < GetItemCount() ? rows_[index].data : 0;
}

int CListCtrl::GetSelectedCount() const {
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                          [](const Row& r) { return (r.state & LVIS_SELECTED) != 0; }));
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    int i = GetNextItem(-1, LVNI_SELECTED);
    return i < 0 ? 0 : i + 1;
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
    int i = static_cast<int>(pos) - 1;
    int next = GetNextItem(i, LVNI_SELECTED);
    pos = next < 0 ? 0 : next + 1;
    return i;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
    for (int i = std::max(start + 1, 0); i < GetItemCount(); ++i) {
        UINT need = flags & (LVNI_SELECTED | LVNI_FOCUSED);
        UINT have = ((rows_[i].state & LVIS_SELECTED) ? LVNI_SELECTED : 0) |
                    ((rows_[i].state & LVIS_FOCUSED) ? LVNI_FOCUSED : 0);
        if ((have & need) == need) return i;
    }
    return -1;
}

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
    CImageList*& slot = which == LVSIL_SMALL ? small_ : normal_;
    Invalidate();
    return std::exchange(slot, list);
}

int CListCtrl::RowHeight() const {
    int h = GetFont()->Height() + 3;
    if (small_) h = std::max(h, small_->GetImageSize().cy);
    return h;
}

int CListCtrl::GetCountPerPage() const {
    return std::max(1, (rect_.Height() - kHeaderHeight) / RowHeight());
}

BOOL CListCtrl::EnsureVisible(int index, BOOL) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    if (index < top_)
        top_ = index;
    else if (index >= top_ + GetCountPerPage())
        top_ = index - GetCountPerPage() + 1;
    Invalidate();
    return TRUE;
}

BOOL CListCtrl::GetItemRect(int index, CRect* r, UINT code) const {
    if (!r || index < 0 || index >= GetItemCount()) return FALSE;
    int width = 0;
    for (const Column& c : columns_) width += c.width;
    int y = kHeaderHeight + (index - top_) * RowHeight();
    *r = CRect(0, y, width, y + RowHeight());
    if (code == LVIR_LABEL && !columns_.empty()) r->right = columns_[0].width;
    return TRUE;
}

int CListCtrl::FindRow(std::string_view text) const {
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemText(i, 0) == text) return i;
    return -1;
}

// ---------------------------------------------------------------- user

UserResult CListCtrl::UserSelect(const std::vector<int>& rows) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    for (int row : rows)
        if (row < 0 || row >= GetItemCount()) return zcui::Format("list view %d has no row %d", id_, row);
    if (rows.size() > 1 && (GetStyle() & LVS_SINGLESEL))
        return zcui::Format("list view %d takes one row at a time", id_);
    SetFocus();
    bool first = true;
    for (int row : rows) {
        if (first)
            for (int i = 0; i < GetItemCount(); ++i)
                if (i != row && (rows_[i].state & LVIS_SELECTED)) ChangeState(i, 0, LVIS_SELECTED);
        first = false;
        if (row < GetItemCount())
            ChangeState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NMITEMACTIVATE nm;
        nm.iItem = row;
        nm.hdr.code = NM_CLICK;
        NotifyParent(nm.hdr);
    }
    return {};
}

UserResult CListCtrl::UserDoubleClick(int row) {
    if (UserResult r = UserSelect({row}); !r.empty()) return r;
    NMITEMACTIVATE nm;
    nm.iItem = row;
    nm.hdr.code = NM_DBLCLK;
    NotifyParent(nm.hdr);
    return {};
}

UserResult CListCtrl::UserColumnClick(int col) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (col < 0 || col >= GetColumnCount()) return zcui::Format("list view %d has no column %d", id_, col);
    NMLISTVIEW nm;
    nm.iSubItem = col;
    nm.hdr.code = LVN_COLUMNCLICK;
    NotifyParent(nm.hdr);
    return {};
}

UserResult CListCtrl::UserTrackColumn(int col, int width) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (col < 0 || col >= GetColumnCount()) return zcui::Format("list view %d has no column %d", id_, col);
    HDITEM item;
    item.mask = HDI_WIDTH, item.cxy = columns_[col].width;
    NMHEADER nm;
    nm.iItem = col, nm.pitem = &item;
    nm.hdr.code = HDN_BEGINTRACK;
    if (NotifyParent(nm.hdr) != 0) return {};
    item.cxy = std::max(0, width);
    nm.hdr.code = HDN_TRACK;
    NotifyParent(nm.hdr);
    nm.hdr.code = HDN_ENDTRACK;
    NotifyParent(nm.hdr);
    SetColumnWidth(col, item.cxy);
    nm.hdr.code = HDN_ITEMCHANGED;
    NotifyParent(nm.hdr);
    return {};
}

void CListCtrl::OnKeyDown(UINT key, UINT, UINT) {
    NMLVKEYDOWN nm;
    nm.wVKey = static_cast<WORD>(key);
    nm.hdr.code = LVN_KEYDOWN;
    NotifyParent(nm.hdr);
}

void CListCtrl::NotifyFocus(bool gained) {
    NMHDR hdr;
    hdr.code = gained ? NM_SETFOCUS : NM_KILLFOCUS;
    NotifyParent(hdr);
}

void CListCtrl::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    if (auto* l = dynamic_cast<const CListCtrl*>(&from)) {
        columns_ = l->columns_, rows_ = l->rows_, small_ = l->small_, normal_ = l->normal_;
        lvEx_ = l->lvEx_, top_ = l->top_, mark_ = l->mark_;
    }
}

// ---------------------------------------------------------------- painting

void CListCtrl::DefaultPaint(CDC& dc) {
    CRect client;
    GetClientRect(&client);
    int x = 0;
    for (const Column& c : columns_) {
        CRect r(x, 0, x + c.width, kHeaderHeight);
        dc.DrawText(c.heading, &r,
                    c.format == LVCFMT_RIGHT    ? DT_RIGHT
                    : c.format == LVCFMT_CENTER ? DT_CENTER
                                                : 0);
        x += c.width;
    }
    const bool focused = GetFocus() == this;
    const int last = std::min(GetItemCount(), top_ + GetCountPerPage());
    if (GetStyle() & LVS_OWNERDRAWFIXED) {
        for (int i = top_; i < last; ++i) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_LISTVIEW, dis.CtlID = static_cast<UINT>(id_), dis.itemID = static_cast<UINT>(i);
            dis.itemState = ((rows_[i].state & LVIS_SELECTED) ? ODS_SELECTED : 0) |
                            ((rows_[i].state & LVIS_FOCUSED) && focused ? ODS_FOCUS : 0);
            dis.hwndItem = this, dis.hDC = &dc, dis.itemData = rows_[i].data;
            GetItemRect(i, &dis.rcItem, LVIR_BOUNDS);
            DrawItem(&dis);
            if (i >= GetItemCount()) break;
        }
        return;
    }
    NMLVCUSTOMDRAW cd;
    cd.nmcd.hdr.code = NM_CUSTOMDRAW;
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    cd.nmcd.hdc = &dc;
    cd.nmcd.rc = client;
    LRESULT mode = NotifyParent(cd.nmcd.hdr);
    for (int i = top_; i < last && i < GetItemCount(); ++i) {
        const bool sel = (rows_[i].state & LVIS_SELECTED) != 0;
        COLORREF text = GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        COLORREF back = GetSysColor(sel ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        CRect r;
        GetItemRect(i, &r, LVIR_BOUNDS);
        if (mode & CDRF_NOTIFYITEMDRAW) {
            NMLVCUSTOMDRAW item;
            item.nmcd.hdr.code = NM_CUSTOMDRAW;
            item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            item.nmcd.hdc = &dc, item.nmcd.rc = r, item.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
            item.nmcd.uItemState = sel ? ODS_SELECTED : 0;
            item.nmcd.lItemlParam = static_cast<LPARAM>(rows_[i].data);
            LRESULT res = NotifyParent(item.nmcd.hdr);
            if (res & CDRF_SKIPDEFAULT) continue;
            if (i >= GetItemCount()) break;
            if (item.clrText != CLR_DEFAULT) text = item.clrText;
            if (item.clrTextBk != CLR_DEFAULT) back = item.clrTextBk;
        }
        dc.FillSolidRect(r, back);
        dc.SetTextColor(text);
        int cx = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            CRect cell(cx + 2, r.top, cx + columns_[c].width - 2, r.bottom);
            if (c == 0 && small_ && rows_[i].image >= 0) {
                small_->Draw(&dc, rows_[i].image, CPoint(cx, r.top), ILD_NORMAL);
                cell.left += small_->GetImageSize().cx;
            }
            int f = columns_[c].format;
            dc.DrawText(GetItemText(i, c), &cell,
                        f == LVCFMT_RIGHT    ? DT_RIGHT
                        : f == LVCFMT_CENTER ? DT_CENTER
                                             : 0);
            cx += columns_[c].width;
        }
        if ((rows_[i].state & LVIS_FOCUSED) && focused) dc.DrawFocusRect(r);
    }
}

// ---------------------------------------------------------------- tree view

struct TreeItem {
    std::string text;
    int image = 0, selectedImage = 0;
    DWORD_PTR data = 0;
    UINT state = 0;
    TreeItem* parent = nullptr;
    std::vector<TreeItem*> children;
};

CTreeCtrl::CTreeCtrl() = default;
CTreeCtrl::~CTreeCtrl() = default;

std::vector<TreeItem*>& CTreeCtrl::ChildrenOf(HTREEITEM parent) {
    return (parent == TVI_ROOT || !parent) ? roots_ : parent->children;
}

const std::vector<TreeItem*>& CTreeCtrl::ChildrenOf(HTREEITEM parent) const {
    return (parent == TVI_ROOT || !parent) ? roots_ : parent->children;
}

HTREEITEM CTreeCtrl::InsertItem(std::string_view text, HTREEITEM parent, HTREEITEM after) {
    return InsertItem(text, 0, 0, parent, after);
}

HTREEITEM CTreeCtrl::InsertItem(std::string_view text, int image, int selectedImage, HTREEITEM parent,
                                HTREEITEM after) {
    if (parent && parent != TVI_ROOT && !IsItem(parent)) return nullptr;
    auto owned = std::make_unique<TreeItem>();
    TreeItem* item = owned.get();
    item->text = std::string(text), item->image = image, item->selectedImage = selectedImage;
    item->parent = (parent == TVI_ROOT) ? nullptr : parent;
    auto& siblings = ChildrenOf(parent);
    auto at = siblings.end();
    if (after == TVI_FIRST) {
        at = siblings.begin();
    } else if (after == TVI_SORT) {
        at = std::upper_bound(
            siblings.begin(), siblings.end(), item->text,
            [](const std::string& t, const TreeItem* s) { return zcui::CollateCompare(t, s->text) < 0; });
    } else if (after != TVI_LAST && after) {
        auto prev = std::find(siblings.begin(), siblings.end(), after);
        if (prev != siblings.end()) at = prev + 1;
    }
    siblings.insert(at, item);
    live_.insert(item);
    items_.push_back(std::move(owned));
    Invalidate();
    return item;
}

void CTreeCtrl::Destroy(TreeItem* item) {
    for (TreeItem* c : item->children) Destroy(c);
    if (selected_ == item) selected_ = nullptr;
    if (editItem_ == item) editing_ = false, editItem_ = nullptr;
    live_.erase(item);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item) {
    if (item == TVI_ROOT) return DeleteAllItems();
    if (!IsItem(item)) return FALSE;
    std::erase(ChildrenOf(item->parent ? item->parent : TVI_ROOT), item);
    Destroy(item);
    std::erase_if(items_, [this](const std::unique_ptr<TreeItem>& p) { return !live_.count(p.get()); });
    Invalidate();
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems() {
    roots_.clear();
    live_.clear();
    items_.clear();
    selected_ = editItem_ = nullptr;
    editing_ = false;
    Invalidate();
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
    return roots_.empty() ? nullptr : roots_.front();
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
    if (item == TVI_ROOT || !item) return GetRootItem();
    return IsItem(item) && !item->children.empty() ? item->children.front() : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
    if (!IsItem(item)) return nullptr;
    const auto& s = ChildrenOf(item->parent ? item->parent : TVI_ROOT);
    auto at = std::find(s.begin(), s.end(), item);
    return at != s.end() && at + 1 != s.end() ? *(at + 1) : nullptr;
}

HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM item) const {
    if (!IsItem(item)) return nullptr;
    const auto& s = ChildrenOf(item->parent ? item->parent : TVI_ROOT);
    auto at = std::find(s.begin(), s.end(), item);
    return at != s.end() && at != s.begin() ? *(at - 1) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const {
    return IsItem(item) ? item->parent : nullptr;
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const {
    switch (code) {
        case TVGN_ROOT:
            return GetRootItem();
        case TVGN_NEXT:
            return GetNextSiblingItem(item);
        case TVGN_PREVIOUS:
            return GetPrevSiblingItem(item);
        case TVGN_PARENT:
            return GetParentItem(item);
        case TVGN_CHILD:
            return GetChildItem(item);
        case TVGN_CARET:
            return selected_;
        default:
            return nullptr;
    }
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
    return IsItem(item) && !item->children.empty();
}
std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    return IsItem(item) ? item->text : std::string();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, std::string_view text) {
    if (!IsItem(item)) return FALSE;
    item->text = std::string(text);
    Invalidate();
    return TRUE;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    return IsItem(item) ? item->data : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
    if (!IsItem(item)) return FALSE;
    item->data = data;
    return TRUE;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
    if (!IsItem(item)) return FALSE;
    image = item->image, selectedImage = item->selectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
    if (!IsItem(item)) return FALSE;
    item->image = image, item->selectedImage = selectedImage;
    Invalidate();
    return TRUE;
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const {
    if (!IsItem(item)) return 0;
    return ((item == selected_ ? TVIS_SELECTED : 0) | item->state) & mask;
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code) {
    if (!IsItem(item)) return FALSE;
    UINT old = item->state;
    if (code == TVE_EXPAND)
        item->state |= TVIS_EXPANDED;
    else if (code == TVE_COLLAPSE)
        item->state &= ~TVIS_EXPANDED;
    else if (code == TVE_TOGGLE)
        item->state ^= TVIS_EXPANDED;
    if (old != item->state) Invalidate();
    return TRUE;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) {
    return Select(item, TVC_UNKNOWN);
}

BOOL CTreeCtrl::Select(HTREEITEM item, UINT action) {
    if (item && !IsItem(item)) return FALSE;
    if (item == selected_) return TRUE;
    NMTREEVIEW nm;
    nm.action = action;
    nm.itemOld.hItem = selected_;
    nm.itemOld.lParam = selected_ ? static_cast<LPARAM>(selected_->data) : 0;
    nm.itemNew.hItem = item;
    nm.itemNew.lParam = item ? static_cast<LPARAM>(item->data) : 0;
    nm.hdr.code = TVN_SELCHANGING;
    if (NotifyParent(nm.hdr) != 0) return FALSE;
    if (item && !IsItem(item)) return FALSE;
    selected_ = item;
    for (TreeItem* p = item ? item->parent : nullptr; p; p = p->parent) p->state |= TVIS_EXPANDED;
    Invalidate();
    nm.hdr.code = TVN_SELCHANGED;
    NotifyParent(nm.hdr);
    return TRUE;
}

BOOL CTreeCtrl::SortChildren(HTREEITEM item) {
    if (item && item != TVI_ROOT && !IsItem(item)) return FALSE;
    auto& s = ChildrenOf(item);
    std::stable_sort(s.begin(), s.end(), [](const TreeItem* a, const TreeItem* b) {
        return zcui::CollateCompare(a->text, b->text) < 0;
    });
    Invalidate();
    return TRUE;
}

CImageList* CTreeCtrl::SetImageList(CImageList* list, int) {
    Invalidate();
    return std::exchange(images_, list);
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM item) {
    if (!IsItem(item) || !(GetStyle() & TVS_EDITLABELS)) return nullptr;
    if (editing_) EndEditLabelNow(TRUE);
    SelectItem(item);
    NMTVDISPINFO nm;
    nm.item.hItem = item;
    nm.item.pszText = item->text.c_str();
    nm.item.lParam = static_cast<LPARAM>(item->data);
    nm.hdr.code = TVN_BEGINLABELEDIT;
    if (NotifyParent(nm.hdr) != 0 || !IsItem(item)) return nullptr;  // refused
    if (!edit_) edit_ = std::make_unique<CEdit>();
    if (!edit_->GetSafeHwnd())
        edit_->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 100, 16), nullptr, 1);
    edit_->SetWindowText(item->text);
    editing_ = true, editItem_ = item;
    return edit_.get();
}

BOOL CTreeCtrl::EndEditLabelNow(BOOL cancel) {
    if (!editing_ || !IsItem(editItem_)) {
        editing_ = false;
        return FALSE;
    }
    HTREEITEM item = editItem_;
    std::string text = edit_->GetWindowText();
    editing_ = false, editItem_ = nullptr;
    NMTVDISPINFO nm;
    nm.item.hItem = item;
    nm.item.pszText = cancel ? nullptr : text.c_str();
    nm.item.lParam = static_cast<LPARAM>(item->data);
    nm.hdr.code = TVN_ENDLABELEDIT;
    LRESULT accept = NotifyParent(nm.hdr);
    if (!cancel && accept && IsItem(item)) SetItemText(item, text);
    return TRUE;
}

HTREEITEM CTreeCtrl::FindItem(std::string_view text) const {
    std::vector<TreeItem*> stack(roots_.rbegin(), roots_.rend());
    while (!stack.empty()) {
        TreeItem* t = stack.back();
        stack.pop_back();
        if (t->text == text) return t;
        stack.insert(stack.end(), t->children.rbegin(), t->children.rend());
    }
    return nullptr;
}

UserResult CTreeCtrl::UserSelect(HTREEITEM item) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (!IsItem(item)) return zcui::Format("tree view %d has no such item", id_);
    SetFocus();
    Select(item, TVC_BYMOUSE);
    NMHDR hdr;
    hdr.code = NM_CLICK;
    NotifyParent(hdr);
    return {};
}

UserResult CTreeCtrl::UserDoubleClick(HTREEITEM item) {
    if (UserResult r = UserSelect(item); !r.empty()) return r;
    NMHDR hdr;
    hdr.code = NM_DBLCLK;
    NotifyParent(hdr);
    if (IsItem(item) && !item->children.empty()) UserExpand(item, TVE_TOGGLE);
    return {};
}

UserResult CTreeCtrl::UserExpand(HTREEITEM item, UINT code) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (!IsItem(item)) return zcui::Format("tree view %d has no such item", id_);
    Expand(item, code);
    NMTREEVIEW nm;
    nm.action = code;
    nm.itemNew.hItem = item;
    nm.itemNew.state = item->state;
    nm.hdr.code = TVN_ITEMEXPANDED;
    NotifyParent(nm.hdr);
    return {};
}

UserResult CTreeCtrl::UserEditLabel(HTREEITEM item, const std::string* text) {
    if (UserResult r = Reachable(*this); !r.empty()) return r;
    if (!IsItem(item)) return zcui::Format("tree view %d has no such item", id_);
    if (!(GetStyle() & TVS_EDITLABELS)) return zcui::Format("tree view %d does not edit labels", id_);
    SetFocus();
    // An edit the program opened on this item is typed into as it stands.
    CEdit* edit = editing_ && editItem_ == item ? edit_.get() : EditLabel(item);
    if (!edit) return {};  // the parent refused: nothing to type into
    if (text) edit->SetWindowText(*text);
    EndEditLabelNow(text == nullptr);
    return {};
}

void CTreeCtrl::OnKeyDown(UINT key, UINT, UINT) {
    NMTVKEYDOWN nm;
    nm.wVKey = static_cast<WORD>(key);
    nm.hdr.code = TVN_KEYDOWN;
    NotifyParent(nm.hdr);
}

void CTreeCtrl::NotifyFocus(bool gained) {
    NMHDR hdr;
    hdr.code = gained ? NM_SETFOCUS : NM_KILLFOCUS;
    NotifyParent(hdr);
}

void CTreeCtrl::CopyState(const CWnd& from) {
    CWnd::CopyState(from);
    // A template's tree is empty when a member takes it over.
    if (auto* t = dynamic_cast<const CTreeCtrl*>(&from)) images_ = t->images_;
}

void CTreeCtrl::DefaultPaint(CDC& dc) {
    CRect client;
    GetClientRect(&client);
    int y = 0;
    PaintLevel(dc, roots_, 0, y, client.bottom);
}

void CTreeCtrl::PaintLevel(CDC& dc, const std::vector<TreeItem*>& items, int depth, int& y,
                           int bottom) const {
    const int h = std::max(GetFont()->Height() + 3, images_ ? images_->GetImageSize().cy : 0);
    for (const TreeItem* t : items) {
        if (y >= bottom && bottom > 0) return;
        int x = depth * 19 + 2;
        if (images_) {
            images_->Draw(&dc, t == selected_ ? t->selectedImage : t->image, CPoint(x, y), ILD_NORMAL);
            x += images_->GetImageSize().cx + 2;
        }
        CRect r(x, y, x + GetFont()->Advance() * zcui::CodePointCount(t->text) + 4, y + h);
        bool sel = t == selected_;
        if (sel) dc.FillSolidRect(r, GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        dc.TextOut(x + 2, y + 1, t->text);
        y += h;
        if (t->state & TVIS_EXPANDED) PaintLevel(dc, t->children, depth + 1, y, bottom);
    }
}
