// The 2D wall options dialog.
#include "walls/drawing/dlg_cmd_muro.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/units.h"
#include "host/db/dbobjptr.h"
#include "host/win/textutil.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/types/mxt_file.h"

namespace {

constexpr int IDC_START = 1066;
constexpr int IDC_END = 1067;
constexpr int IDC_LEFT = 1072;
constexpr int IDC_CENTRE = 1073;
constexpr int IDC_RIGHT = 1074;
constexpr int IDC_TYPES = 1001;
constexpr int IDC_PREVIEW = 1374;
constexpr int IDC_TRIM = 1068;
constexpr int IDC_LAYERS = 1051;

constexpr const char* kGeneralWallType = "Ściana ogólna";

const int kTrimSlot = SetupVar::MTRIMAUTO;
const int kTypeSlot = SetupVar::ULTIMOTMURO;
const int kLayerSlot = SetupVar::ULAYERMURO;
const int kStartSlot = SetupVar::MDPLINESTART;
const int kEndSlot = SetupVar::MDPLINEEND;
const int kAlignSlot = SetupVar::ALLINMURO;

// The row whose text equals `text`, letter case ignored; LB_ERR when none.
int FindExactRow(const CListBox& list, const std::string& text) {
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string row;
        list.GetText(i, row);
        if (host::iequals(row, text)) return i;
    }
    return LB_ERR;
}

}  // namespace

CDlgCmdMuro::CDlgCmdMuro(CWnd* parent) : CDialog(IDD_CMDMURO, parent) {
    HandleCommand(LBN_SELCHANGE, IDC_TYPES, [this] { OnTypeChange(); });
    HandleCommand(CBN_KILLFOCUS, IDC_START, [this] { OnStartKillFocus(); });
    HandleCommand(BN_CLICKED, IDC_LEFT, [this] { OnAlign(0); });
    HandleCommand(BN_CLICKED, IDC_CENTRE, [this] { OnAlign(1); });
    HandleCommand(BN_CLICKED, IDC_RIGHT, [this] { OnAlign(2); });
}

void CDlgCmdMuro::Prepare() {
    GetVarInt(&kTrimSlot, &m_trim);
    GetVarString(&kTypeSlot, m_typeName);
    GetVarString(&kLayerSlot, m_layer);
    // OK keeps the stored alignment unless an alignment button chose another.
    int alignment = 1;
    GetVarInt(&kAlignSlot, &alignment);
    m_alignment = alignment >= 0 && alignment <= 2 ? alignment : 1;

    m_thicknessTexts.clear();
    int plain = 1;
    int dimzin = SysVarShort("DIMZIN", &plain);
    for (double t : ReadWallThicknesses()) {
        char text[64] = "";
        zcdbRToS(t, 2, -1, text);
        m_thicknessTexts.push_back(text);
    }
    SysVarShort("DIMZIN", &dimzin);

    m_wallLayers = ReadWallLayerNames();
}

void CDlgCmdMuro::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_START, m_start);
    DDX_Control(dx, IDC_END, m_end);
    DDX_Control(dx, IDC_LEFT, m_left);
    DDX_Control(dx, IDC_CENTRE, m_centre);
    DDX_Control(dx, IDC_RIGHT, m_right);
    DDX_Control(dx, IDC_TYPES, m_types);
    DDX_Control(dx, IDC_LAYERS, m_layers);
    DDX_Control(dx, IDC_PREVIEW, m_preview);
    DDX_Check(dx, IDC_TRIM, m_trim);
    if (dx->m_bSaveAndValidate) {
        // A thickness that is not a number is refused here, so the dialog
        // stays open rather than storing 0.
        DDX_Text(dx, IDC_START, m_startThickness);
        DDX_Text(dx, IDC_END, m_endThickness);
        DDX_CBString(dx, IDC_START, m_startText);
        DDX_CBString(dx, IDC_END, m_endText);
        DDX_LBString(dx, IDC_TYPES, m_typeName);
        DDX_LBString(dx, IDC_LAYERS, m_layer);
    }
}

BOOL CDlgCmdMuro::OnInitDialog() {
    CDialog::OnInitDialog();
    m_left.LoadBitmaps(154, 155);
    m_centre.LoadBitmaps(153, 156);
    m_right.LoadBitmaps(151, 157);

    m_start.ResetContent();
    m_end.ResetContent();
    CListMuri types;
    LoadWallTypes(types);
    m_types.ResetContent();
    m_rowLayers.clear();
    m_rowPreviews.clear();
    m_types.AddString(kGeneralWallType);
    m_rowLayers.push_back("2DWALLS");
    m_rowPreviews.push_back("genmuro");
    for (const CMuro& type : types) {
        m_types.AddString(type.name);
        m_rowLayers.push_back(type.layer);
        m_rowPreviews.push_back(type.storedFileName);
    }
    int row = FindExactRow(m_types, m_typeName);
    m_types.SetCurSel(row == LB_ERR ? 0 : row);
    ShowPreview(m_types.GetCurSel());

    for (const std::string& text : m_thicknessTexts) {
        m_start.AddString(text);
        m_end.AddString(text);
    }
    if (!m_thicknessTexts.empty()) {
        m_start.SetCurSel(0);
        m_end.SetCurSel(0);
    }

    m_layers.ResetContent();
    auto offer = [this](const std::string& layer) {
        if (!layer.empty() && FindExactRow(m_layers, layer) == LB_ERR) m_layers.AddString(layer);
    };
    for (const std::string& layer : m_rowLayers) offer(layer);
    for (const std::string& layer : m_wallLayers) offer(layer);
    SelectLayer(m_layer);
    // Enter chooses the alignment the walls already have.
    SetDefID(static_cast<UINT>(IDC_LEFT + m_alignment));
    return TRUE;
}

void CDlgCmdMuro::ShowPreview(int row) {
    if (row < 0 || row >= static_cast<int>(m_rowPreviews.size())) return;
    m_preview.SetBitmap(LoadObjectBitmap("", "IDB_", m_rowPreviews[row]));
}

void CDlgCmdMuro::SelectLayer(const std::string& layer) {
    int row = FindExactRow(m_layers, layer);
    m_layers.SetCurSel(row == LB_ERR ? 0 : row);
}

void CDlgCmdMuro::OnTypeChange() {
    int row = m_types.GetCurSel();
    if (row == LB_ERR) return;
    ShowPreview(row);
    if (row < static_cast<int>(m_rowLayers.size())) SelectLayer(m_rowLayers[row]);
}

void CDlgCmdMuro::OnStartKillFocus() {
    m_end.SetWindowText(m_start.GetWindowText());
}

void CDlgCmdMuro::OnAlign(int alignment) {
    m_alignment = alignment;
    OnOK();
}

void CDlgCmdMuro::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!SizeInRange(m_startThickness) || !SizeInRange(m_endThickness)) {
        ModuleMessageBox(OutOfRangeMessage(), MB_OK, 0);
        return;
    }
    short trim = static_cast<short>(m_trim);
    short alignment = static_cast<short>(m_alignment);
    SetVarInt(&kTrimSlot, &trim);
    SetVarReal(&kStartSlot, &m_startThickness);
    SetVarReal(&kEndSlot, &m_endThickness);
    SetVarString(&kTypeSlot, m_typeName.c_str());
    SetVarString(&kLayerSlot, m_layer.c_str());
    SetVarInt(&kAlignSlot, &alignment);
    if (ZcDbObjectPointer<VELM_SPESSMURI> history(OpenSpessMuriObject()); history) {
        history->UseThickness(m_endThickness);
    }
    EndDialog(IDOK);
}

int ShowWallOptionsDialog() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgCmdMuro dlg;
    dlg.Prepare();
    return dlg.DoModal() == IDOK ? 1 : 0;
}
