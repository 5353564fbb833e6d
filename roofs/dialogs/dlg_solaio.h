// The floor slab's options dialog (152 "Opcje płyty podłowej"). It has no
// OK button: each of the three outline buttons chooses how the outline is
// given and closes the dialog as OK; the mode stays 3 when it is closed
// another way.
#pragma once

#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/dialogs/slab_options_dialog.h"

inline constexpr UINT IDD_SOLAIO = 152;

// The mode: 0 points, 1 outer wall contour, 2 drawn outline, 3 none.
class CDlgSolaio : public CSlabOptionsDialog {
public:
    explicit CDlgSolaio(CWnd* parent = nullptr);

    void Load() override;
    void Store() const override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_osnap = 0;
};
