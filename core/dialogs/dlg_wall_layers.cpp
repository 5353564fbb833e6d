// The wall-layer list dialog and the wall-layer pick dialog.
#include "core/dialogs/dlg_wall_layers.h"

#include <algorithm>

#include "host/ui/msgbox.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {
constexpr int IDC_LAYER_LIST = 1034;
constexpr int IDC_ADD = 1035;
constexpr int IDC_NEW_NAME = 1036;
constexpr int IDC_PICK_LIST = 1452;
constexpr UINT IDS_LAYER_EXISTS = 1047;

// The 3D wall layer of a 2D wall layer: "3D" and the name without a
// leading "2D".
std::string WallLayer3DName(const std::string& name) {
    return "3D" + (name.starts_with("2D") ? name.substr(2) : name);
}
}  // namespace

// ---------------------------------------------------------------- CDlgLstLayer

CDlgLstLayer::CDlgLstLayer(CWnd* parent) : CDialog(IDD_LSTLAYER, parent) {
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAdd(); });
}

void CDlgLstLayer::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LAYER_LIST, m_lstLayer);
    DDX_Text(dx, IDC_NEW_NAME, m_newName);
}

BOOL CDlgLstLayer::OnInitDialog() {
    CDialog::OnInitDialog();
    m_lstLayer.ResetContent();
    for (const std::string& layer : m_layers) m_lstLayer.AddString(layer);
    UpdateData(FALSE);
    return TRUE;
}

void CDlgLstLayer::OnAdd() {
    if (!UpdateData(TRUE)) return;
    if (!m_newName.empty()) {
        if (m_lstLayer.FindStringExact(-1, m_newName) == LB_ERR)
            m_lstLayer.AddString(m_newName);
        else
            AfxMessageBox(IDS_LAYER_EXISTS, MB_OK, 0);
    }
    UpdateData(FALSE);
}

void CDlgLstLayer::OnOK() {
    m_layers.clear();
    for (int i = 0; i < m_lstLayer.GetCount(); ++i) {
        std::string text;
        m_lstLayer.GetText(i, text);
        m_layers.push_back(std::move(text));
    }
    EndDialog(IDOK);
}

void CDlgLstLayer::GetLayers(std::vector<std::string>& out) const {
    out.clear();
    for (const std::string& layer : m_layers)
        if (std::find(out.begin(), out.end(), layer) == out.end()) out.push_back(layer);
}

// ---------------------------------------------------------------- CDlgSelezLayer

CDlgSelezLayer::CDlgSelezLayer(CWnd* parent) : CDialog(IDD_SELEZLAYER, parent) {
    HandleCommand(LBN_SELCHANGE, IDC_PICK_LIST, [this] { OnSelChange(); });
}

void CDlgSelezLayer::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PICK_LIST, m_list);
}

BOOL CDlgSelezLayer::OnInitDialog() {
    CDialog::OnInitDialog();
    static const int kWallLayerSlot = SetupVar::ULAYERMURO;
    std::string current;
    GetVarString(&kWallLayerSlot, current);
    m_list.ResetContent();
    if (ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject()); walls) {
        for (std::size_t i = 0; i < walls->entries.size(); ++i) {
            std::string name = walls->entries[i];
            if (!m_use2DNames) name = WallLayer3DName(name);
            m_list.AddString(name);
        }
    }
    if (m_use2DNames) {
        int at = m_list.FindStringExact(-1, current);
        if (at != LB_ERR) m_list.SetCurSel(at);
    }
    UpdateData(FALSE);
    return TRUE;
}

void CDlgSelezLayer::OnSelChange() {
    int at = m_list.GetCurSel();
    if (at == LB_ERR) return;
    m_list.GetText(at, m_chosenLayer);
    EndDialog(IDOK);
}
