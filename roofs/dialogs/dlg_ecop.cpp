// The slab editing dialog.
#include "roofs/dialogs/dlg_ecop.h"

namespace {

constexpr int IDC_HEIGHT = 1042;
constexpr int IDC_LINK = 1027;
constexpr int IDC_IGNORE_WALL_HEIGHT = 1203;
constexpr int IDC_HIDE_SIDES = 3;
// The edge-key radios and their pictures, by key 0..3.
constexpr int kEdgeRadios[4] = {1030, 1029, 1028, 1011};
constexpr int kEdgePictures[4] = {1038, 1039, 1040, 1041};

}  // namespace

CDlgEcop::CDlgEcop(CWnd* parent) : CSlabEditDialog(IDD_ECOP, parent, {IDC_HEIGHT, IDC_LINK}) {
    HandleCommand(BN_CLICKED, IDC_HIDE_SIDES, [this] { CloseWith(kEcopHideSides, true); });
    HandleCommand(BN_CLICKED, 5, [this] { CloseWith(kEcopMove2d, false); });
    HandleCommand(BN_CLICKED, 8, [this] { CloseWith(kEcopAddVertex, false); });
    for (int key = 0; key < 4; ++key)
        HandleCommand(BN_CLICKED, kEdgePictures[key], [this, key] { ChooseEdgeKey(key); });
}

void CDlgEcop::SetValues(const EcopValues& v) {
    ShowFields(v.name, v.hideApproximated, v.slopePercent, v.height, v.thickness, v.f1, v.f2);
    m_edgeKey = v.edgeKey >= 0 && v.edgeKey < 4 ? v.edgeKey : 0;
    m_f8 = v.f8 ? 1 : 0;
}

EcopValues CDlgEcop::GetValues() const {
    EcopValues v;
    v.name = m_name;
    v.hideApproximated = m_hide > 0;
    v.edgeKey = m_edgeKey;
    v.slopePercent = SlopePercent();
    v.height = m_height;
    v.thickness = m_thickness;
    v.f1 = m_link > 0;
    v.f2 = m_2d > 0;
    v.f8 = m_f8 > 0;
    return v;
}

void CDlgEcop::DoDataExchange(CDataExchange* dx) {
    CSlabEditDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_IGNORE_WALL_HEIGHT, m_f8);
    // The radios are not ids in a row, so each is set and read on its own.
    if (dx->m_bSaveAndValidate) {
        for (int key = 0; key < 4; ++key)
            if (IsDlgButtonChecked(kEdgeRadios[key])) m_edgeKey = key;
    } else {
        for (int key = 0; key < 4; ++key) CheckDlgButton(kEdgeRadios[key], key == m_edgeKey ? 1 : 0);
    }
}

void CDlgEcop::ChooseEdgeKey(int key) {
    if (!ReadFields()) return;
    m_edgeKey = key;
    UpdateData(FALSE);
}
