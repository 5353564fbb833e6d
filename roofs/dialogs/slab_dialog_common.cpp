// The shared parts of the slab dialogs.
#include "roofs/dialogs/slab_dialog_common.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "core/hatch_dialogs.h"
#include "host/ads/adsent.h"
#include "host/ui/msgbox.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"

void DDV_SymbolName(CDataExchange* dx, const std::string& name) {
    if (!dx || !dx->m_bSaveAndValidate || dx->m_bFailed) return;
    if (zcdbSNValid(name.c_str(), 0) == RTNORM) return;
    AfxMessageBox("Nazwa warstwy nie jest prawidłowa", MB_ICONERROR);
    dx->Fail();
}

void EnableSlabHatchControls(CDialog& dialog, const std::vector<int>& hatchControls) {
    const BOOL on = dialog.IsDlgButtonChecked(IDC_SLAB_MAKE_HATCH) ? TRUE : FALSE;
    for (int id : hatchControls)
        if (CWnd* control = dialog.GetDlgItem(id)) control->EnableWindow(on);
}

void WireSlabHatchGroup(CDialog& dialog, std::initializer_list<int> hatchControls) {
    dialog.HandleCommand(EN_CHANGE, IDC_SLAB_PATTERN, [&dialog] {
        std::string pattern;
        dialog.GetDlgItemText(IDC_SLAB_PATTERN, pattern);
        ShowPatternPreview(dialog, pattern);
    });
    auto picker = [&dialog] {
        std::string pattern;
        dialog.GetDlgItemText(IDC_SLAB_PATTERN, pattern);
        if (!RunPatternPicker(pattern)) return;
        dialog.SetDlgItemText(IDC_SLAB_PATTERN, pattern);
        ShowPatternPreview(dialog, pattern);
    };
    dialog.HandleCommand(BN_CLICKED, IDC_SLAB_PATTERN_BUTTON, picker);
    dialog.HandleCommand(BN_CLICKED, IDC_SLAB_PREVIEW, picker);
    std::vector<int> ids(hatchControls);
    dialog.HandleCommand(BN_CLICKED, IDC_SLAB_MAKE_HATCH, [&dialog, ids] {
        const BOOL on = dialog.IsDlgButtonChecked(IDC_SLAB_MAKE_HATCH) ? TRUE : FALSE;
        for (int id : ids)
            if (CWnd* control = dialog.GetDlgItem(id)) control->EnableWindow(on);
    });
}

INT_PTR RunModuleDialog(CDialog& dialog) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    return dialog.DoModal();
}

double SlopePercentToDegrees(double percent) {
    return std::atan(percent / 100.0) * 180.0 / std::numbers::pi;
}

double SlopeDegreesToPercent(double degrees) {
    return std::tan(degrees * std::numbers::pi / 180.0) * 100.0;
}
