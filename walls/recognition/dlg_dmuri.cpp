// The multiline options dialog.
#include "walls/recognition/dlg_dmuri.h"

#include "core/input_range.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {
const int kOuterSlot = SetupVar::DLINEDISTE;
const int kMinSlot = SetupVar::DLINEMSPES;
const int kMaxSlot = SetupVar::DLINEMASPE;
}  // namespace

CDlgDMuri::CDlgDMuri(CWnd* parent) : CDialog(IDD_DMURI, parent) {}

void CDlgDMuri::LoadFromSettings() {
    GetVarReal(&kOuterSlot, &m_outerDistance);
    GetVarReal(&kMinSlot, &m_minThickness);
    GetVarReal(&kMaxSlot, &m_maxThickness);
}

void CDlgDMuri::StoreToSettings() const {
    SetVarReal(&kOuterSlot, &m_outerDistance);
    SetVarReal(&kMinSlot, &m_minThickness);
    SetVarReal(&kMaxSlot, &m_maxThickness);
}

void CDlgDMuri::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Number(dx, 1063, m_outerDistance);
    DDX_Number(dx, 1064, m_minThickness);
    DDX_Number(dx, 1065, m_maxThickness);
}

int ShowMultilineOptionsDialog() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgDMuri dlg;
    dlg.LoadFromSettings();
    if (dlg.DoModal() != IDOK) return 0;
    dlg.StoreToSettings();
    return 1;
}
