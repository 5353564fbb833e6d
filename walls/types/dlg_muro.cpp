// The wall definition dialog and the build-up layer dialog.
#include "walls/types/dlg_muro.h"

#include <cstring>

#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ui/driver.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/msgbox.h"
#include "host/win/textutil.h"
#include "walls/types/mxt_file.h"

namespace {

constexpr int IDC_FILE_NAME = 1001;
constexpr int IDC_NAME = 1005;
constexpr int IDC_SWATCH = 1009;
constexpr int IDC_LAYER_LIST = 1051;
constexpr int IDC_PRIORITY = 1091;
constexpr int kMaxChars = 40;

constexpr int IDC_MATERIAL = 1022;
constexpr int IDC_PATTERN = 1027;
constexpr int IDC_PATTERN_SCALE = 1026;
constexpr int IDC_LAYER = 107;
constexpr int IDC_THICKNESS = 1030;

}  // namespace

// ---------------------------------------------------------------- CDlgMuro

CDlgMuro::CDlgMuro(CListMuri& list, CMuro& type, CWnd* parent)
    : CDialog(IDD_MURO, parent), m_list(list), m_position(list.FindByName(type.name)), m_type(type) {
    m_fileName = type.fileName;
    m_name = type.name;
    m_layer = type.layer;
    m_color = type.color;
    m_priority = type.priority;
    HandleCommand(STN_CLICKED, IDC_SWATCH, [this] { OnSwatchClicked(); });
}

void CDlgMuro::SetLayerNames(const std::vector<std::string>& names) {
    m_layerNames.clear();
    if (!names.empty()) m_layerNames = names;
}

void CDlgMuro::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SWATCH, m_swatch);
    DDX_Control(dx, IDC_LAYER_LIST, m_layers);
    DDX_Text(dx, IDC_FILE_NAME, m_fileName);
    DDV_MaxChars(dx, m_fileName, kMaxChars);
    DDX_Text(dx, IDC_NAME, m_name);
    DDV_MaxChars(dx, m_name, kMaxChars);
    DDX_Text(dx, IDC_PRIORITY, m_priority);
    if (dx->m_bSaveAndValidate) DDX_LBString(dx, IDC_LAYER_LIST, m_layer);
}

BOOL CDlgMuro::OnInitDialog() {
    CDialog::OnInitDialog();
    m_swatch.SetColor(zcedGetRGB(m_color));
    m_swatch.EnableChoose(0);
    m_layers.ResetContent();
    for (const std::string& name : m_layerNames) m_layers.AddString(name);
    int row = m_layers.FindStringExact(-1, m_layer);
    m_layers.SetCurSel(row == LB_ERR ? 0 : row);
    return TRUE;
}

void CDlgMuro::OnSwatchClicked() {
    int color = m_color;
    if (zcedSetColorDialog(color, false, 1)) {
        m_color = color;
        m_swatch.SetColor(zcedGetRGB(m_color));
    }
}

bool CDlgMuro::FileNameUsable() const {
    if (m_fileName.empty()) return false;
    return m_fileName.find_first_of("\\/:*?<>|\"") == std::string::npos;
}

bool CDlgMuro::FileNameTaken() const {
    for (auto it = m_list.begin(); it != m_list.end(); ++it)
        if (it != m_position && host::iequals(it->fileName, m_fileName)) return true;
    return false;
}

void CDlgMuro::OnOK() {
    std::string name = GetDlgItem(IDC_NAME) ? GetDlgItem(IDC_NAME)->GetWindowText() : m_name;
    auto found = m_list.FindByName(name);
    if (found != m_list.end() && found != m_position) {
        std::string text;
        FormatModuleString(text, IDS_WALL_EXISTS, name.c_str());
        ModuleMessageBox(text, MB_OK, 0);
        return;
    }
    if (!UpdateData(TRUE)) return;
    if (!FileNameUsable()) {
        std::string text;
        LoadModuleString(text, IDS_BAD_FILE_NAME);
        ModuleMessageBox(text, MB_OK, 0);
        return;
    }
    if (FileNameTaken()) {
        std::string text;
        FormatModuleString(text, IDS_FILE_TAKEN, m_fileName.c_str());
        ModuleMessageBox(text, MB_OK, 0);
        return;
    }
    m_type.name = m_name;
    m_type.fileName = m_fileName;
    m_type.storedFileName = m_fileName;
    m_type.color = m_color;
    m_type.layer = m_layer;
    m_type.priority = m_priority;
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- CDlgStrato

CDlgStrato::CDlgStrato(CStrato& layer, CWnd* parent)
    : CDialog(IDD_STRATO, parent), m_values(layer), m_layer(layer) {}

void CDlgStrato::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_MATERIAL, m_values.material);
    DDV_MaxChars(dx, m_values.material, kMaxChars);
    DDX_Text(dx, IDC_PATTERN, m_values.pattern);
    DDV_MaxChars(dx, m_values.pattern, kMaxChars);
    DDX_Number(dx, IDC_PATTERN_SCALE, m_values.patternScale);
    DDX_Text(dx, IDC_LAYER, m_values.layer);
    DDV_MaxChars(dx, m_values.layer, kMaxChars);
    DDX_Text(dx, IDC_THICKNESS, m_values.thickness);
    DDV_MaxChars(dx, m_values.thickness, kMaxChars);
}

void CDlgStrato::OnOK() {
    if (!UpdateData(TRUE)) return;
    // The thickness is written to the type's file as it is: one the
    // build-up drawing cannot read, or no building has, stays here.
    if (!ThicknessExpressionValid(m_values.thickness)) {
        AfxMessageBox(OutOfRangeMessage(), MB_ICONEXCLAMATION);
        if (CWnd* field = GetDlgItem(IDC_THICKNESS)) field->SetFocus();
        return;
    }
    m_layer = m_values;
    EndDialog(IDOK);
}
