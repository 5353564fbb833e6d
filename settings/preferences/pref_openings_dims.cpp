// The openings-and-walls and dimensions preference pages.
#include "settings/preferences/pref_openings_dims.h"

#include "host/ui/hostdialogs.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {
constexpr int IDC_UPPER_WALL = 1034;
constexpr int IDC_UPPER_COLOUR = 1152;
constexpr int IDC_SWATCH = 1154;
constexpr int IDC_COMMON_PREFIX = 1237;
constexpr int IDC_DOORS_INSIDE = 1032;
constexpr int kPrefixEdits[] = {1004, 1005, 1003};
constexpr int kDoorsInsideSlot = SetupVar::SETOPZPORTEALLEST;
constexpr int kUpperColourSlot = SetupVar::M3D_CLOSECOL;

constexpr int IDC_WINDOW_LEFT = 1032;
constexpr int IDC_DOOR_LEFT = 1028;
constexpr int kAlignSlot = SetupVar::SALLINTXTQ;
}  // namespace

// ---------------------------------------------------------------- 262

CDLGPREFM3D::CDLGPREFM3D() : CPrefPage(IDD_PREF_M3D) {
    m_fields.AddReal(1002, SetupVar::DISCMURO).edit.SetSignMode(0, 0);
    m_fields.Check(1360, SetupVar::SETOPZM3DAUTO);
    m_fields.Check(1033, SetupVar::SETOPZFINESALLINT);
    m_fields.Check(1205, SetupVar::SETMODVISTA);
    m_fields.Check(1235, SetupVar::OSDISABMURO);
    m_fields.Check(1023, SetupVar::SAPRI_AUTO);
    m_upperWall = &m_fields.Check(IDC_UPPER_WALL, SetupVar::CHIUSURA_SUP);
    m_fields.Check(1035, SetupVar::VIS_MUROCURVO);
    m_fields.Check(1078, SetupVar::SETM3D_LDIP2D);
    m_fields.Check(1024, SetupVar::INS_APER_SOLO3D);
    m_fields.Check(1025, SetupVar::INS_APER_LIBERE);
    m_commonPrefix = &m_fields.Check(IDC_COMMON_PREFIX, SetupVar::INS_PREFISSOCOM);
    m_fields.Text(1004, SetupVar::INS_PREFISSOVPOR);
    m_fields.Text(1005, SetupVar::INS_PREFISSOVFIN);
    m_fields.Text(1003, SetupVar::INS_PREFISSOVAPE);
    m_fields.Check(1236, SetupVar::OSINSAPERTURE);
    HandleCommand(BN_CLICKED, IDC_UPPER_WALL, [this] {
        UpdateData(TRUE);
        EnableDependants();
    });
    HandleCommand(BN_CLICKED, IDC_COMMON_PREFIX, [this] {
        UpdateData(TRUE);
        EnableDependants();
    });
    HandleCommand(BN_CLICKED, IDC_UPPER_COLOUR, [this] {
        int colour = m_upperColour;
        if (zcedSetColorDialog(colour, false, 1)) {
            m_upperColour = colour;
            m_swatch.SetColor(zcedGetRGB(m_upperColour));
        }
    });
}

void CDLGPREFM3D::DoDataExchange(CDataExchange* dx) {
    CPrefPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_SWATCH, m_swatch);
    m_fields.Exchange(dx);
    if (!dx->m_bFailed) DDX_Check(dx, IDC_DOORS_INSIDE, m_doorsInside);
}

void CDLGPREFM3D::Load() {
    m_fields.Load();
    m_upperColour = SettingInt(kUpperColourSlot, 1);
    m_doorsInside = SettingInt(kDoorsInsideSlot, 0) == 0 ? 1 : 0;
}

BOOL CDLGPREFM3D::OnInitDialog() {
    CPrefPage::OnInitDialog();
    Load();
    UpdateData(FALSE);
    m_swatch.SetColor(zcedGetRGB(m_upperColour));
    EnableDependants();
    return TRUE;
}

void CDLGPREFM3D::Reload() {
    Load();
    UpdateData(FALSE);
    m_swatch.SetColor(zcedGetRGB(m_upperColour));
    EnableDependants();
}

void CDLGPREFM3D::EnableDependants() {
    if (CWnd* b = GetDlgItem(IDC_UPPER_COLOUR)) b->EnableWindow(*m_upperWall != 0);
    for (int id : kPrefixEdits)
        if (CWnd* e = GetDlgItem(id)) e->EnableWindow(*m_commonPrefix != 0);
}

void CDLGPREFM3D::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!m_fields.Store()) return;
    SetSettingInt(kUpperColourSlot, m_upperColour);
    SetSettingInt(kDoorsInsideSlot, m_doorsInside ? 0 : 1);
    RecordActivePage();
    CPrefPage::OnOK();
}

// ---------------------------------------------------------------- 142

CDlgPrefQuote::CDlgPrefQuote() : CPrefPage(IDD_PREF_QUOTE) {
    // Checked in this order when the controls are read.
    m_fields.AddReal(1025, SetupVar::SQEMINQUOT, true).edit.SetSignMode(0, 0);
    m_fields.AddReal(1027, SetupVar::SQSOGLIA_TEDIT, true).edit.SetSignMode(0, 0);
    m_fields.AddReal(1017, SetupVar::SQSPOSTA_COMP);
    m_fields.AddReal(1016, SetupVar::SQ_SPOSTAMENTO);
    m_fields.AddReal(1026, SetupVar::SQEEXTENS);
    m_fields.Int(1015, SetupVar::SCIFRE_QUOTE);
    m_fields.AddReal(1024, SetupVar::SDIST_QUOTE);
    m_fields.AddReal(1022, SetupVar::SPOSYQUOTE);
    m_fields.AddReal(1031, SetupVar::SDIST_QUOTEP);
    m_fields.AddReal(1023, SetupVar::SPOSYQUOTEP);
    m_fields.Text(1082, SetupVar::STILETQUOTE);
    m_fields.Check(1146, SetupVar::ARROTUNQUARTO);
    m_fields.Check(1144, SetupVar::QNORMDIN);
    m_fields.Check(1145, SetupVar::SEPDECVIRG);
}

void CDlgPrefQuote::DoDataExchange(CDataExchange* dx) {
    CPrefPage::DoDataExchange(dx);
    m_fields.Exchange(dx);
    if (dx->m_bFailed) return;
    DDX_Radio(dx, IDC_WINDOW_LEFT, m_windowAlign);
    DDX_Radio(dx, IDC_DOOR_LEFT, m_doorAlign);
}

void CDlgPrefQuote::Load() {
    m_fields.Load();
    m_storedAlign = SettingInt(kAlignSlot, 11);
    m_windowAlign = m_storedAlign % 10;
    m_doorAlign = m_storedAlign / 10;
}

BOOL CDlgPrefQuote::OnInitDialog() {
    CPrefPage::OnInitDialog();
    Load();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgPrefQuote::Reload() {
    Load();
    UpdateData(FALSE);
}

void CDlgPrefQuote::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!m_fields.Store()) return;
    // A group with no button on keeps its stored digit.
    const int window = m_windowAlign >= 0 ? m_windowAlign : m_storedAlign % 10;
    const int door = m_doorAlign >= 0 ? m_doorAlign : m_storedAlign / 10;
    SetSettingInt(kAlignSlot, door * 10 + window);
    RecordActivePage();
    CPrefPage::OnOK();
}
