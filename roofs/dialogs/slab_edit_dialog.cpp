// The editing dialogs' shared fields and edit buttons.
#include "roofs/dialogs/slab_edit_dialog.h"

#include "core/input_range.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_SLOPE = 1043;
constexpr int IDC_HEIGHT = 1042;
constexpr int IDC_THICKNESS = 1044;
constexpr int IDC_NAME = 107;
constexpr int IDC_HIDE_APPROX = 1046;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;
constexpr int IDC_CHANGE_SLOPE = 4;

}  // namespace

CSlabEditDialog::CSlabEditDialog(UINT id, CWnd* parent, std::initializer_list<int> levelOnly)
    : CDialog(id, parent), m_levelOnly(levelOnly) {
    HandleCommand(BN_CLICKED, IDC_CHANGE_SLOPE, [this] { CloseWith(kSlabEditChangeSlope, true); });
    HandleCommand(BN_CLICKED, 6, [this] { CloseWith(kSlabEditTilt, false); });
    HandleCommand(BN_CLICKED, 7, [this] { CloseWith(kSlabEditDeleteVertex, false); });
    HandleCommand(BN_CLICKED, 11, [this] { CloseWith(kSlabEditDeleteOpening, false); });
    HandleCommand(BN_CLICKED, 12, [this] { CloseWith(kSlabEditAddOpening, false); });
}

void CSlabEditDialog::ShowFields(const std::string& name, bool hide, double slopePercent, double height,
                                 double thickness, bool link, bool is2d) {
    m_degrees = SettingInt(SetupVar::PENDINGRADI) != 0;
    m_name = name;
    m_hide = hide ? 1 : 0;
    m_slope = m_degrees ? SlopePercentToDegrees(slopePercent) : slopePercent;
    m_height = height;
    m_thickness = thickness;
    m_link = link ? 1 : 0;
    m_2d = is2d ? 1 : 0;
}

double CSlabEditDialog::SlopePercent() const {
    return m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope;
}

void CSlabEditDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_HEIGHT, m_editHeight);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Text(dx, IDC_NAME, m_name);
    DDV_SymbolName(dx, m_name);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hide);
    DDX_Check(dx, IDC_LINK, m_link);
    DDX_Check(dx, IDC_2D, m_2d);
}

BOOL CSlabEditDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editSlope, &m_editHeight, &m_editThickness}) edit->SetDecimals(10);
    m_editSlope.SetDouble(m_slope);
    m_editHeight.SetDouble(m_height);
    m_editThickness.SetDouble(m_thickness);
    const BOOL level = m_level ? TRUE : FALSE;
    for (int id : m_levelOnly)
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(level);
    for (int id : {IDC_SLOPE, IDC_CHANGE_SLOPE})
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(!level);
    return TRUE;
}

bool CSlabEditDialog::ReadFields() {
    if (!UpdateData(TRUE)) return false;
    const std::optional<double> slope = m_editSlope.Number();
    const std::optional<double> height = m_editHeight.Number();
    const std::optional<double> thickness = m_editThickness.Number();
    // A slab moved or thickened beyond any building stays open for a sane
    // value. The thickness takes what the making dialogs take: a slab of
    // none is a plain surface and has to stay editable.
    if (!NumbersInRange({slope, height, thickness})) return false;
    m_slope = *slope;
    m_height = *height;
    m_thickness = *thickness;
    return true;
}

void CSlabEditDialog::CloseWith(int action, bool takeFields) {
    if (takeFields && !ReadFields()) return;
    m_action = action;
    EndDialog(IDOK);
}

void CSlabEditDialog::OnOK() {
    CloseWith(kSlabEditAccept, true);
}
