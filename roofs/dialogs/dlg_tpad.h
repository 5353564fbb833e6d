// The hip roof's options dialog (109 "Dach czterospadowy"). Like the floor
// slab's it has no OK button: the three outline buttons choose how the
// outline is given and close it as OK; closed another way the mode stays
// 3 (none) and the command ends.
#pragma once

#include "roofs/dialogs/roof_options_dialog.h"

inline constexpr UINT IDD_TPAD = 109;

class CDlgTPAD : public CRoofOptionsDialog {
public:
    explicit CDlgTPAD(CWnd* parent = nullptr);

    // 0 points, 1 outer wall contour, 2 drawn contour, 3 none.
    int Mode() const { return m_mode; }

    int m_mode = 3;

private:
    void ChooseMode(int mode);
};
