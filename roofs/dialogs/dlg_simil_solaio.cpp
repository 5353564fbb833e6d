// The Z-profile's options dialog.
#include "roofs/dialogs/dlg_simil_solaio.h"

#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_SCALE = 1362;
constexpr int IDC_POINTS = 4;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgSimilSolaio::CDlgSimilSolaio(CWnd* parent)
    : CSlabOptionsDialog(IDD_SIMIL_SOLAIO, parent,
                         {SetupVar::CSPESS_SIMIL, SetupVar::CQUOTAZ_SIMIL, SetupVar::CLAYER_SIMIL,
                          SetupVar::CSPIGINV_SIMIL, SetupVar::CEXECHATCH_SIMIL, SetupVar::CNOMEHATCH_SIMIL,
                          SetupVar::CANGTOT_SIMIL, SetupVar::CLINKQP_SIMIL, SetupVar::CRAPP2D_SIMIL},
                         {IDC_POINTS, IDC_CONTOUR}, 2,
                         {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE, IDC_SCALE}) {
    m_numbers.Add(IDC_SCALE, m_scale);
}

void CDlgSimilSolaio::Load() {
    CSlabOptionsDialog::Load();
    m_scale = SettingReal(SetupVar::CFATSCALA_SIMIL);
}

void CDlgSimilSolaio::Store() const {
    CSlabOptionsDialog::Store();
    SetSettingReal(SetupVar::CFATSCALA_SIMIL, m_scale);
}
