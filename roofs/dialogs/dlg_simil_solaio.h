// The Z-profile's options dialog (315 "Opcje tworzenia Profili-Z"). Like
// the floor slab's it closes as OK from its two outline buttons; Enter
// alone leaves the mode at 2, which the command takes as no choice.
#pragma once

#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/dialogs/slab_options_dialog.h"

inline constexpr UINT IDD_SIMIL_SOLAIO = 315;

// The mode: 0 points, 1 drawn outline, 2 none.
class CDlgSimilSolaio : public CSlabOptionsDialog {
public:
    explicit CDlgSimilSolaio(CWnd* parent = nullptr);

    void Load() override;
    void Store() const override;

    double m_scale = 0.0;
};
