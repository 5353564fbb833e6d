// The hatch pattern picker and the hatch settings dialogs.
//
// Picker pages: the page start is always a multiple of twenty; the
// highlighted button is remembered with the page it was chosen on, so
// paging away and back shows it highlighted again. Pictures come from the
// module's bitmap library or the support path: "IDB_" + name (file
// NAME.BMP), highlighted "IDB__" + name (file _NAME.BMP), "NONDISPO" for a
// name without a picture and "VUOTO" for buttons past the last name. A
// button whose picture cannot be found keeps what it showed.
#include "core/hatch_dialogs.h"

#include <algorithm>
#include <filesystem>

#include "core/input_range.h"
#include "core/levels.h"
#include "core/support_files.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_PATTERN_LIST = 1001;
constexpr int IDC_PREVIOUS = 3;
constexpr int IDC_NEXT = 4;
constexpr int IDC_ANGLE = 101;
constexpr int IDC_PATTERN = 102;
constexpr int IDC_LOWER = 103;
constexpr int IDC_UPPER = 104;
constexpr int IDC_LAYER = 107;
constexpr int IDC_SCALE = 1026;
constexpr int IDC_PICKER = 6;
constexpr int IDC_PREVIEW = 1374;
constexpr int IDC_VARIABLE = 1236;

void AddPatternFiles(const std::string& folder, std::vector<std::string>& names, int& found);
void SetStaticBitmap(CWnd* control, const HBITMAP& bitmap);

}  // namespace

// ---------------------------------------------------------------- names

void LoadPatternNames(std::vector<std::string>& names) {
    names.clear();
    if (std::optional<std::string> path = FindSupportFile("zwcadiso.pat")) {
        if (std::optional<LineCursor> cursor = OpenLineCursor(*path)) {
            std::string line;
            while (ReadLineNoEol(line, *cursor)) {
                if (line.size() > 255) line.resize(255);
                if (line.empty() || line[0] != '*') continue;
                std::string name = line.substr(
                    1, line.find(',') == std::string::npos ? std::string::npos : line.find(',') - 1);
                while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r'))
                    name.pop_back();
                names.push_back(name);
            }
        }
    }
    std::string folder;
    if (!GetVxdListFolder(folder)) return;
    int found = 0;
    AddPatternFiles(folder, names, found);
    if (found > 0) AddPatternFiles(folder + "pat/", names, found);
}

// ---------------------------------------------------------------- CDlgHatch

CDlgHatch::CDlgHatch(CWnd* parent) : CDialog(IDD_HATCH_PATTERN, parent) {
    HandleCommand(BN_CLICKED, IDC_PREVIOUS, [this] { PreviousPage(); });
    HandleCommand(BN_CLICKED, IDC_NEXT, [this] { NextPage(); });
    HandleCommand(LBN_SELCHANGE, IDC_PATTERN_LIST, [this] { OnListChange(); });
    HandleCommandRange(BN_CLICKED, kFirstButton, kFirstButton + kButtons - 1,
                       [this](int id) { SelectButton(id - kFirstButton); });
}

void CDlgHatch::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PATTERN_LIST, m_list);
    DDX_LBStringExact(dx, IDC_PATTERN_LIST, m_pattern);
}

BOOL CDlgHatch::OnInitDialog() {
    CDialog::OnInitDialog();
    LoadPatternNames(m_names);
    m_list.ResetContent();
    for (const std::string& name : m_names) m_list.AddString(name);
    m_count = static_cast<int>(m_names.size());

    auto at = std::find(m_names.begin(), m_names.end(), m_pattern);
    if (at != m_names.end()) {
        int i = static_cast<int>(at - m_names.begin());
        m_list.SetCurSel(i);
        m_pageStart = (i / kButtons) * kButtons;
        m_selPage = m_pageStart;
        m_selButton = i - m_pageStart;
        ShowPage();
    } else {
        m_list.SetCurSel(0);
        m_pageStart = 0;
        m_selPage = 0;
        m_selButton = -1;
        ShowPage();
        SelectButton(0);
    }
    if (CWnd* next = GetDlgItem(IDC_NEXT)) next->EnableWindow(m_pageStart + kButtons < m_count);
    if (CWnd* previous = GetDlgItem(IDC_PREVIOUS)) previous->EnableWindow(m_pageStart > 0);
    UpdateData(FALSE);
    return TRUE;
}

void CDlgHatch::ShowPage() {
    for (int k = 0; k < kButtons; ++k) {
        m_buttons[k] = GetDlgItem(kFirstButton + k);
        int index = m_pageStart + k;
        if (index < m_count) {
            ShowPicture(k, k == m_selButton && m_selPage == m_pageStart);
        } else {
            SetStaticBitmap(m_buttons[k], LoadObjectBitmap("", "IDB___", "VUOTO"));
        }
    }
}

void CDlgHatch::ShowPicture(int k, bool highlighted) {
    CWnd* button = GetDlgItem(kFirstButton + k);
    int index = m_pageStart + k;
    if (!button || index < 0 || index >= m_count) return;
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    HBITMAP bitmap =
        highlighted ? LoadObjectBitmap("", "IDB_", "_" + name) : LoadObjectBitmap("", "IDB_", name);
    if (!bitmap && !highlighted) bitmap = LoadObjectBitmap("", "IDB___", "NONDISPO");
    SetStaticBitmap(button, bitmap);
}

void CDlgHatch::SelectButton(int k) {
    if (m_selButton >= 0 && m_selPage == m_pageStart) ShowPicture(m_selButton, false);
    if (m_pageStart + k < m_list.GetCount()) {
        m_list.SetCurSel(m_pageStart + k);
        m_pattern = m_names[static_cast<std::size_t>(m_pageStart + k)];
        ShowPicture(k, true);
        m_selButton = k;
        m_selPage = m_pageStart;
    } else {
        m_selButton = -1;
    }
    UpdateData(FALSE);
}

void CDlgHatch::PreviousPage() {
    m_pageStart -= kButtons;
    if (m_pageStart < 0) m_pageStart = 0;
    if (m_pageStart == 0)
        if (CWnd* previous = GetDlgItem(IDC_PREVIOUS)) previous->EnableWindow(FALSE);
    if (m_pageStart + kButtons < m_count)
        if (CWnd* next = GetDlgItem(IDC_NEXT)) next->EnableWindow(TRUE);
    ShowPage();
}

void CDlgHatch::NextPage() {
    m_pageStart += kButtons;
    if (m_count <= m_pageStart + kButtons)
        if (CWnd* next = GetDlgItem(IDC_NEXT)) next->EnableWindow(FALSE);
    if (m_pageStart > 0)
        if (CWnd* previous = GetDlgItem(IDC_PREVIOUS)) previous->EnableWindow(TRUE);
    ShowPage();
}

void CDlgHatch::OnListChange() {
    UpdateData(TRUE);
    int s = m_list.GetCurSel();
    if (s < 0) return;
    while (m_pageStart + kButtons < s + 1) NextPage();
    while (m_pageStart > s) PreviousPage();
    ShowPage();
    SelectButton(s - m_pageStart);
}

// ---------------------------------------------------------------- CDlgTratt

// Both settings dialogs show the pattern's picture beside its name: leaving
// the name refreshes it; the picker button and the picture open the picker.
void WirePatternControls(CDialog& dialog, std::string& pattern) {
    dialog.HandleCommand(EN_KILLFOCUS, IDC_PATTERN, [&dialog, &pattern] {
        dialog.UpdateData(TRUE);
        ShowPatternPreview(dialog, pattern);
    });
    auto picker = [&dialog, &pattern] {
        dialog.UpdateData(TRUE);
        if (RunPatternPicker(pattern)) {
            ShowPatternPreview(dialog, pattern);
            dialog.UpdateData(FALSE);
        }
    };
    dialog.HandleCommand(BN_CLICKED, IDC_PICKER, picker);
    dialog.HandleCommand(BN_CLICKED, IDC_PREVIEW, picker);
}

CDlgTratt::CDlgTratt(CWnd* parent) : CDialog(IDD_TRATT, parent) {
    WirePatternControls(*this, m_pattern);
}

void CDlgTratt::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Number(dx, IDC_ANGLE, m_angle);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDX_Text(dx, IDC_PATTERN, m_pattern);
    DDX_Size(dx, IDC_SCALE, m_scale);
}

BOOL CDlgTratt::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_title);
    m_preview = GetDlgItem(IDC_PREVIEW);
    ShowPatternPreview(*this, m_pattern);
    UpdateData(FALSE);
    return TRUE;
}

void CDlgTratt::Load3D() {
    Load(SetupVar::CSTILETRATT3D, SetupVar::CLAYERTRATT3D, SetupVar::SCALATRATT3D, SetupVar::CANGTRATT3D,
         "Kreskowanie 3D");
}

void CDlgTratt::LoadFloor() {
    Load(SetupVar::CSTILETRATTPAV, SetupVar::CLAYERTRATTPAV, SetupVar::SCALATRATTPAV, SetupVar::CANGTRATTPAV,
         "Kreskowanie podłogi");
}

void CDlgTratt::Save3D() const {
    Save(SetupVar::CSTILETRATT3D, SetupVar::CLAYERTRATT3D, SetupVar::SCALATRATT3D, SetupVar::CANGTRATT3D);
}

void CDlgTratt::SaveFloor() const {
    Save(SetupVar::CSTILETRATTPAV, SetupVar::CLAYERTRATTPAV, SetupVar::SCALATRATTPAV, SetupVar::CANGTRATTPAV);
}

void CDlgTratt::Load(int pattern, int layer, int scale, int angle, const char* title) {
    // Opened (or made) and closed again before the slots are read one by one.
    if (ZcDbObjectPointer<VELM_SETUP>(OpenSetupObject(true))) {
        GetVarString(&pattern, m_pattern);
        GetVarString(&layer, m_layer);
        GetVarReal(&scale, &m_scale);
        GetVarReal(&angle, &m_angle);
    }
    m_title = title;
}

void CDlgTratt::Save(int pattern, int layer, int scale, int angle) const {
    if (!ZcDbObjectPointer<VELM_SETUP>(OpenSetupObject(false))) return;
    SetVarString(&pattern, m_pattern.c_str());
    SetVarString(&layer, m_layer.c_str());
    SetVarReal(&scale, &m_scale);
    SetVarReal(&angle, &m_angle);
}

// ---------------------------------------------------------------- CDlgTMuro

CDlgTMuro::CDlgTMuro(CWnd* parent) : CDialog(IDD_TMURO, parent) {
    WirePatternControls(*this, m_pattern);
}

void CDlgTMuro::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Number(dx, IDC_ANGLE, m_angle);
    DDX_Text(dx, IDC_PATTERN, m_pattern);
    DDX_Number(dx, IDC_LOWER, m_lowerHeight);
    DDX_Number(dx, IDC_UPPER, m_upperHeight);
    DDX_Check(dx, IDC_VARIABLE, m_variableHeight);
}

BOOL CDlgTMuro::OnInitDialog() {
    CDialog::OnInitDialog();
    m_preview = GetDlgItem(IDC_PREVIEW);
    ShowPatternPreview(*this, m_pattern);
    UpdateData(FALSE);
    return TRUE;
}

void CDlgTMuro::Load() {
    if (!ZcDbObjectPointer<VELM_SETUP>(OpenSetupObject(true))) return;
    int slot = SetupVar::CSTILETMURO;
    GetVarString(&slot, m_pattern);
    slot = SetupVar::CANGTMURO;
    GetVarReal(&slot, &m_angle);
    slot = SetupVar::CLINFTMURO;
    GetVarReal(&slot, &m_lowerHeight);
    slot = SetupVar::CLSUPTMURO;
    GetVarReal(&slot, &m_upperHeight);
    slot = SetupVar::TMUROAVAR;
    GetVarInt(&slot, &m_variableHeight);
}

void CDlgTMuro::Save() const {
    if (!ZcDbObjectPointer<VELM_SETUP>(OpenSetupObject(false))) return;
    int slot = SetupVar::CANGTMURO;
    SetVarReal(&slot, &m_angle);
    slot = SetupVar::CLINFTMURO;
    SetVarReal(&slot, &m_lowerHeight);
    slot = SetupVar::CLSUPTMURO;
    SetVarReal(&slot, &m_upperHeight);
    slot = SetupVar::TMUROAVAR;
    short flag = m_variableHeight ? 1 : 0;
    SetVarInt(&slot, &flag);
    slot = SetupVar::CSTILETMURO;
    SetVarString(&slot, m_pattern.c_str());
}

// ---------------------------------------------------------------- pattern controls

void ShowPatternPreview(CWnd& dialog, const std::string& pattern) {
    HBITMAP bitmap = LoadObjectBitmap("", "IDB_", pattern);
    if (!bitmap) bitmap = LoadObjectBitmap("", "IDB___", "NONDISPO");
    SetStaticBitmap(dialog.GetDlgItem(IDC_PREVIEW), bitmap);
}

bool RunPatternPicker(std::string& pattern) {
    CDlgHatch picker(nullptr);
    picker.SetPattern(pattern);
    if (picker.DoModal() != IDOK) return false;
    picker.GetPattern(pattern);
    return true;
}

// ---------------------------------------------------------------- helpers

namespace {

// The ".pat" files of a folder, by name; `found` counts them.
void AddPatternFiles(const std::string& folder, std::vector<std::string>& names, int& found) {
    std::error_code ec;
    std::vector<std::string> stems;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        std::string ext = entry.path().extension().string();
        if (ext.size() == 4 && (ext == ".pat" || ext == ".PAT" || ext == ".Pat"))
            stems.push_back(entry.path().stem().string());
    }
    std::sort(stems.begin(), stems.end());
    found = static_cast<int>(stems.size());
    names.insert(names.end(), stems.begin(), stems.end());
}

void SetStaticBitmap(CWnd* control, const HBITMAP& bitmap) {
    if (!bitmap) return;
    if (auto* picture = dynamic_cast<CStatic*>(control)) picture->SetBitmap(bitmap);
}

}  // namespace
