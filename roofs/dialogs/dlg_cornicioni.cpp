// The profile sweep's options dialog. The layer must be a valid name and
// the arc approximation above 0, so that no face of a half-made block is
// refused.
#include "roofs/dialogs/dlg_cornicioni.h"

#include "core/controls/advcontrols.h"
#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_ARC = 1186;
constexpr int IDC_OFFSET = 1017;
constexpr int IDC_LAYER = 107;
constexpr int IDC_UNIQUE = 1184;
constexpr int IDC_VERTICAL = 1204;
constexpr int IDC_POINTS = 1094;
constexpr int IDC_OUTLINE = 1156;
constexpr int IDC_ELEMENTS = 1185;

}  // namespace

DLG_CORNICIONI::DLG_CORNICIONI(CWnd* parent) : CDialog(IDD_CORNICIONI, parent) {
    HandleCommand(BN_CLICKED, IDC_POINTS, [this] { ChooseMode(0); });
    HandleCommand(BN_CLICKED, IDC_OUTLINE, [this] { ChooseMode(1); });
    HandleCommand(BN_CLICKED, IDC_ELEMENTS, [this] { ChooseMode(2); });
}

void DLG_CORNICIONI::Load() {
    m_layer = SettingString(SetupVar::SETCON_LAYEREN);
    m_arcStep = SettingReal(SetupVar::SETCON_APPARC);
    m_offset = SettingReal(SetupVar::SETCON_OFFSET);
    m_uniqueBlock = SettingInt(SetupVar::SETCON_GENBLK) > 0 ? 1 : 0;
    m_verticalAxis = SettingInt(SetupVar::SETCON_ASSEPVER) > 0 ? 1 : 0;
}

void DLG_CORNICIONI::Store() const {
    SetSettingString(SetupVar::SETCON_LAYEREN, m_layer);
    SetSettingReal(SetupVar::SETCON_APPARC, m_arcStep);
    SetSettingReal(SetupVar::SETCON_OFFSET, m_offset);
    SetSettingInt(SetupVar::SETCON_GENBLK, m_uniqueBlock);
    SetSettingInt(SetupVar::SETCON_ASSEPVER, m_verticalAxis);
}

void DLG_CORNICIONI::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Number(dx, IDC_ARC, m_arcStep);
    if (dx->m_bSaveAndValidate && !dx->m_bFailed && !(m_arcStep > 0.0)) {
        AfxMessageBox(kInvalidValueMessage, MB_ICONERROR);
        dx->Fail();
    }
    DDX_Number(dx, IDC_OFFSET, m_offset);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_UNIQUE, m_uniqueBlock);
    DDX_Check(dx, IDC_VERTICAL, m_verticalAxis);
}

void DLG_CORNICIONI::ChooseMode(int mode) {
    m_mode = mode;
    OnOK();
}
