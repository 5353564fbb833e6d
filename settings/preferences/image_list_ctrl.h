// The floor list of the floors page: an owner-drawn report list whose row
// with the key text (the current floor) is marked green, with the visible
// state (column 2, "ON"/"OFF") and the edge-view mode (column 3, 0 to 3)
// drawn as images of the small image list (0 "OFF", 1 "ON", 2 + mode).
#pragma once

#include <string>

#include "host/ui/listctrl.h"

inline constexpr COLORREF kKeyRowColour = RGB(15, 240, 0);

class CImageListCtrl : public CListCtrl {
public:
    // Compared, case and all, with each row's first column.
    std::string m_key;

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};
