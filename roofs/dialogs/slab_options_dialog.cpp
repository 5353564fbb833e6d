// The slab option dialogs' shared fields and outline buttons.
#include "roofs/dialogs/slab_options_dialog.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_HEIGHT = 106;
constexpr int IDC_LAYER = 107;
constexpr int IDC_HIDE_APPROX = 1025;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;

}  // namespace

CSlabOptionsDialog::CSlabOptionsDialog(UINT id, CWnd* parent, const SlabOptionSlots& slots,
                                       std::initializer_list<int> modeButtons, int noMode,
                                       std::initializer_list<int> hatchControls)
    : CDialog(id, parent), m_mode(noMode), m_slots(slots), m_hatchControls(hatchControls) {
    WireSlabHatchGroup(*this, hatchControls);
    int mode = 0;
    for (int button : modeButtons)
        HandleCommand(BN_CLICKED, button, [this, chosen = mode++] {
            m_mode = chosen;
            OnOK();
        });
    m_numbers.Add(IDC_THICKNESS, m_thickness);
    m_numbers.Add(IDC_HEIGHT, m_height);
    m_numbers.Add(IDC_SLAB_HATCH_ANGLE, m_angle);
}

void CSlabOptionsDialog::Load() {
    m_thickness = SettingReal(m_slots.thickness);
    m_height = SettingReal(m_slots.height);
    m_layer = SettingString(m_slots.layer);
    m_hideApproximated = SettingInt(m_slots.hide);
    m_hatch = SettingInt(m_slots.hatch);
    m_pattern = SettingString(m_slots.pattern);
    m_angle = SettingReal(m_slots.angle);
    m_link = SettingInt(m_slots.link);
    m_2d = SettingInt(m_slots.is2d);
}

void CSlabOptionsDialog::Store() const {
    SetSettingReal(m_slots.thickness, m_thickness);
    SetSettingReal(m_slots.height, m_height);
    SetSettingString(m_slots.layer, m_layer);
    SetSettingInt(m_slots.hide, m_hideApproximated);
    SetSettingInt(m_slots.hatch, m_hatch);
    SetSettingString(m_slots.pattern, m_pattern);
    SetSettingReal(m_slots.angle, m_angle);
    SetSettingInt(m_slots.link, m_link);
    SetSettingInt(m_slots.is2d, m_2d);
}

void CSlabOptionsDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    m_numbers.Exchange(dx);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hideApproximated);
    DDX_Check(dx, IDC_LINK, m_link);
    DDX_Check(dx, IDC_2D, m_2d);
}

BOOL CSlabOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_numbers.Show();
    EnableSlabHatchControls(*this, m_hatchControls);
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CSlabOptionsDialog::OnOK() {
    if (!m_numbers.Read(*this)) return;
    CDialog::OnOK();
}
