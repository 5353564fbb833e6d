// The floor slab's options dialog.
#include "roofs/dialogs/dlg_solaio.h"

#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_OSNAP = 1026;
constexpr int IDC_POINTS = 4;
constexpr int IDC_WALLS = 3;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgSolaio::CDlgSolaio(CWnd* parent)
    : CSlabOptionsDialog(IDD_SOLAIO, parent,
                         {SetupVar::CSPESS_SOLAIO, SetupVar::CINTRADO, SetupVar::CLAYERSOL,
                          SetupVar::S_INVISVERT, SetupVar::CTRATTEGGIO01, SetupVar::CSTILESOLAIO,
                          SetupVar::CANGCAMPS, SetupVar::CLEGAMEQP, SetupVar::CGENERA2D},
                         {IDC_POINTS, IDC_WALLS, IDC_CONTOUR}, 3,
                         {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE}) {}

void CDlgSolaio::Load() {
    CSlabOptionsDialog::Load();
    m_osnap = SettingInt(SetupVar::COSNAP);
}

void CDlgSolaio::Store() const {
    CSlabOptionsDialog::Store();
    SetSettingInt(SetupVar::COSNAP, m_osnap);
}

void CDlgSolaio::DoDataExchange(CDataExchange* dx) {
    CSlabOptionsDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
}
