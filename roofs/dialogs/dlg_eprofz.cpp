// The Z-profile editing dialog.
#include "roofs/dialogs/dlg_eprofz.h"

namespace {

constexpr int IDC_BASE = 1042;

}  // namespace

CDlgEProfz::CDlgEProfz(CWnd* parent) : CSlabEditDialog(IDD_EPROFZ, parent, {IDC_BASE}) {}

void CDlgEProfz::SetValues(const EProfzValues& v) {
    ShowFields(v.layer, v.hideApproximated, v.slopePercent, v.baseHeight, v.thickness, v.link, v.is2d);
}

EProfzValues CDlgEProfz::GetValues() const {
    EProfzValues v;
    v.layer = m_name;
    v.hideApproximated = m_hide > 0;
    v.slopePercent = SlopePercent();
    v.baseHeight = m_height;
    v.thickness = m_thickness;
    v.link = m_link > 0;
    v.is2d = m_2d > 0;
    return v;
}
