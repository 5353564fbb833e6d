// The floor list's drawing.
#include "settings/preferences/image_list_ctrl.h"

#include "host/ui/dc.h"
#include "host/win/textutil.h"

void CImageListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC& dc = *dis->hDC;
    const int item = static_cast<int>(dis->itemID);
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const bool key = GetItemText(item, 0) == m_key;
    COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : key ? kKeyRowColour : GetSysColor(COLOR_WINDOW);
    dc.FillSolidRect(dis->rcItem, back);
    if (dis->itemState & ODS_FOCUS) dc.DrawFocusRect(dis->rcItem);
    dc.SetTextColor(selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                    : key    ? RGB(0, 0, 0)
                             : GetSysColor(COLOR_WINDOWTEXT));
    const int left = dis->rcItem.left;
    const int top = dis->rcItem.top;
    const int w0 = GetColumnWidth(0), w1 = GetColumnWidth(1), w2 = GetColumnWidth(2), w3 = GetColumnWidth(3);
    CRect r(left + 2, top, left + w0, dis->rcItem.bottom);
    std::string text = GetItemText(item, 0);
    dc.DrawText(text, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    r = CRect(left + 2 + w0, top, left + w0 + w1, dis->rcItem.bottom);
    text = GetItemText(item, 1);
    dc.DrawText(text, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    CImageList* images = GetImageList(LVSIL_SMALL);
    if (!images) return;
    const int state = GetItemText(item, 2) == "OFF" ? 0 : 1;
    images->Draw(&dc, state, CPoint(left + w0 + w1 + w2 / 2 - 8, top), ILD_TRANSPARENT);
    const int mode = static_cast<int>(host::parseIntegerPrefix(GetItemText(item, 3)).value_or(0));
    images->Draw(&dc, mode + 2, CPoint(left + w0 + w1 + w2 + w3 / 2 - 8, top), ILD_TRANSPARENT);
}
