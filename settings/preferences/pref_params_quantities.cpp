// The parameters and quantities preference pages.
#include "settings/preferences/pref_params_quantities.h"

#include "core/dialogs/dlg_slide.h"
#include "core/levels.h"
#include "core/support_files.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "settings/preferences/pref_hooks.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {
constexpr int IDC_UNIT = 1016;
constexpr int kUnitSlot = SetupVar::SFTMTCM;

constexpr int IDC_CARDS = 1083;
constexpr int IDC_PREVIEW = 1374;
constexpr int IDC_OUTLINE = 1149;
constexpr int IDC_OUTLINE_LAYER = 1020;
constexpr int kCardSlot = SetupVar::NOMEFILEUA;

void SetPicture(CWnd* control, HBITMAP bitmap) {
    if (auto* picture = dynamic_cast<CStatic*>(control)) picture->SetBitmap(bitmap);
}
}  // namespace

// ---------------------------------------------------------------- 146

CDlgPrefParam::CDlgPrefParam() : CPrefPage(IDD_PREF_PARAM) {
    // Checked in this order when the controls are read.
    m_fields.AddReal(1019, SetupVar::SET_DIMQPFISSO, true).edit.SetSignMode(0, 1);
    m_unit = &m_fields.AddReal(IDC_UNIT, kUnitSlot, true);
    m_unit->edit.SetSignMode(0, 1);
    m_fields.Check(1029, SetupVar::SCALADINTER);
    m_fields.Check(1450, SetupVar::SET_PARINIZIALEOBJ);
    m_fields.Check(1025, SetupVar::RAPSCALEPROSP);  // the first of the three stair radio buttons
    m_fields.Text(1083, SetupVar::STILETESTOUA1);
    m_fields.Text(1084, SetupVar::STILETESTOUA2);
    m_fields.Text(1162, SetupVar::SETSCA_LAYER2DSR);
    m_fields.Text(111, SetupVar::SETSCA_LAYER2DSC);
    m_fields.Text(1161, SetupVar::SETSCA_LAYER2DSF);
    m_fields.Text(105, SetupVar::SETSCA_LAYERALZA);
    m_fields.Text(108, SetupVar::SETCOR_LAYERNAME);
    m_fields.Text(1160, SetupVar::SETSCA_LAYERPEDA);
    m_fields.Text(109, SetupVar::SETCOR_LAYERRING);
    m_fields.Text(106, SetupVar::SETSCA_LAYERSTRU);
    m_fields.Text(107, SetupVar::SETSCA_LAYER2DCC);
    HandleCommand(EN_CHANGE, IDC_UNIT, [this] {
        // Filling the edit is not the user's change.
        if (m_loading) return;
        SetModified(TRUE);
        m_unitChanged = 1;
    });
}

void CDlgPrefParam::DoDataExchange(CDataExchange* dx) {
    CPrefPage::DoDataExchange(dx);
    m_fields.Exchange(dx);
}

void CDlgPrefParam::Load() {
    m_fields.Load();
    m_loading = true;
    UpdateData(FALSE);
    m_loading = false;
}

BOOL CDlgPrefParam::OnInitDialog() {
    CPrefPage::OnInitDialog();
    m_unitChanged = 0;
    Load();
    return TRUE;
}

void CDlgPrefParam::Reload() {
    m_unitChanged = 0;
    Load();
}

BOOL CDlgPrefParam::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    if (m_unitChanged && m_sheet) m_sheet->SetPendingUnit(m_unit->value);
    m_unitChanged = 0;
    SetModified(FALSE);
    QuerySiblings(0, 0);
    return CPrefPage::OnApply();
}

void CDlgPrefParam::OnOK() {
    if (!UpdateData(TRUE)) return;
    // The unit goes through the sheet's rescaling, never stored bare.
    if (!m_fields.Store({kUnitSlot})) return;
    RecordActivePage();
    CPrefPage::OnOK();
}

// ---------------------------------------------------------------- 141

CDlgPrefComputi::CDlgPrefComputi() : CPrefPage(IDD_PREF_COMPUTI) {
    m_fields.AddReal(1017, SetupVar::CINTOMIN, true).edit.SetSignMode(0, 0);
    m_fields.AddReal(1018, SetupVar::CNONDETRAI);
    m_fields.AddReal(1016, SetupVar::SRAPPORTO_UM);
    m_fields.AddReal(1014, SetupVar::AREAMENOSUP);
    m_fields.AddReal(1013, SetupVar::AREAMENOINF);
    m_fields.AddReal(1019, SetupVar::SETCOM_ZSCALE);
    m_fields.Int(1015, SetupVar::CIFRE_COMPUTO);
    m_fields.Check(1079, SetupVar::NOCALCOLOUA);
    m_fields.Text(1081, SetupVar::NOMEFILEOA);
    m_fields.Check(1082, SetupVar::ETIDIRETTRICE);
    m_fields.Check(1084, SetupVar::DISEGNATRIANGOLI);
    m_fields.Check(1361, SetupVar::SETOPZRUOTAETI);
    m_outline = &m_fields.Check(IDC_OUTLINE, SetupVar::GENPOLICONT);
    m_fields.Check(1151, SetupVar::SETCOM_DETSCAINT);
    m_fields.Check(1150, SetupVar::SETCOM_DETPILINT);
    m_fields.Text(IDC_OUTLINE_LAYER, SetupVar::LAYERPOLI);
    HandleCommand(CBN_SELCHANGE, IDC_CARDS, [this] {
        const int sel = m_cards.GetCurSel();
        if (sel >= 0) m_cards.GetLBText(sel, m_cardName);
        ShowPreview();
    });
    HandleCommand(STN_CLICKED, IDC_PREVIEW, [this] {
        CDlgSlide slide;
        slide.SetImageName(m_cardName);
        slide.DoModal();
    });
    HandleCommand(BN_CLICKED, IDC_OUTLINE, [this] {
        UpdateData(TRUE);
        EnableOutlineLayer();
    });
}

void CDlgPrefComputi::DoDataExchange(CDataExchange* dx) {
    CPrefPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CARDS, m_cards);
    m_fields.Exchange(dx);
}

void CDlgPrefComputi::FillCards() {
    m_cards.ResetContent();
    std::string folder;
    GetDataFolder(folder);
    folder += "tab/";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + "*.ua").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        AfxMessageBox(IDS_NO_CARD_FILES);
        return;
    }
    do {
        std::string name = found.cFileName;
        m_cards.AddString(name.substr(0, name.find('.')));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void CDlgPrefComputi::Load() {
    m_fields.Load();
    m_cardName = MappedLabelTemplateName(SettingString(kCardSlot, "TMS_TAB1"));
    FillCards();
    int pick = -1;
    for (int i = 0; i < m_cards.GetCount() && pick < 0; ++i) {
        std::string text;
        m_cards.GetLBText(i, text);
        if (zcutEqualsNoCase(text, m_cardName)) pick = i;
    }
    if (pick < 0 && m_cards.GetCount() > 0) pick = 0;
    // With no card file the stored name stays.
    if (pick >= 0) {
        m_cards.SetCurSel(pick);
        m_cards.GetLBText(pick, m_cardName);
    }
}

BOOL CDlgPrefComputi::OnInitDialog() {
    CPrefPage::OnInitDialog();
    Load();
    ShowPreview();
    UpdateData(FALSE);
    EnableOutlineLayer();
    return TRUE;
}

void CDlgPrefComputi::Reload() {
    m_fields.Load();
    UpdateData(FALSE);
    EnableOutlineLayer();
}

void CDlgPrefComputi::ShowPreview() {
    if (HBITMAP bitmap = LoadObjectBitmap("_", "IDB__", m_cardName))
        SetPicture(GetDlgItem(IDC_PREVIEW), bitmap);
}

void CDlgPrefComputi::EnableOutlineLayer() {
    if (CWnd* e = GetDlgItem(IDC_OUTLINE_LAYER)) e->EnableWindow(*m_outline != 0);
}

void CDlgPrefComputi::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!m_fields.Store()) return;
    SetSettingString(kCardSlot, m_cardName);
    RecordActivePage();
    CPrefPage::OnOK();
}
