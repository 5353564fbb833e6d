// The preferences sheet and its two commands.
#include "settings/preferences/pref_sheet.h"

#include "core/help_cmd.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "settings/rescale.h"
#include "store/settings_store.h"

namespace {
int g_lastPage = 0;
constexpr DWORD kContextHelpStyle = 0x400;

void RunPreferences(UINT firstPage) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CPreferenze sheet(IDS_PREFERENCES_CAPTION, nullptr, firstPage);
    sheet.DoModal();
}
}  // namespace

int LastPreferencesPage() {
    return g_lastPage;
}
void SetLastPreferencesPage(int index) {
    g_lastPage = index;
}

void CPrefPage::RecordActivePage() {
    if (CPropertySheet* sheet = GetSheet()) SetLastPreferencesPage(sheet->GetActiveIndex());
}

BOOL CPrefPage::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    return CPropertyPage::OnApply();
}

CPreferenze::CPreferenze(UINT captionId, CWnd* parent, UINT firstPage)
    : CPrefSheetBase(captionId, parent, firstPage) {
    for (CPrefPage* page :
         std::initializer_list<CPrefPage*>{&m_floors, &m_m3d, &m_quote, &m_param, &m_computi}) {
        page->m_sheet = this;
        AddPage(page);
    }
    HandleCommand(BN_CLICKED, ID_APPLY_NOW, [this] { ApplyAll(); });
    HandleCommand(BN_CLICKED, ID_HELP, [] { CmdVelmHelp(); });
}

CPreferenze::~CPreferenze() {
    RemovePage(&m_computi);
    RemovePage(&m_param);
    RemovePage(&m_quote);
    RemovePage(&m_m3d);
    RemovePage(&m_floors);
}

BOOL CPreferenze::OnInitDialog() {
    ModifyStyleEx(0, kContextHelpStyle);
    return CPropertySheet::OnInitDialog();
}

void CPreferenze::OnOK() {
    if (ApplyAll() && m_hWnd) EndDialog(IDOK);
}

bool CPreferenze::ApplyAll() {
    if (!Apply()) return false;
    if (!m_pendingUnit) return true;
    const double factor = *m_pendingUnit;
    m_pendingUnit.reset();
    // The unit the drawing already has rescales nothing.
    if (factor == DrawingUnitFactor()) return true;
    ApplyDrawingUnitFactor(factor);
    if (!m_hWnd) return true;
    for (int i = 0; i < GetPageCount(); ++i) {
        auto* page = static_cast<CPrefPage*>(GetPage(i));
        if (page->GetSafeHwnd()) page->Reload();
    }
    return true;
}

void CmdPreferences() {
    RunPreferences(static_cast<UINT>(LastPreferencesPage()));
}
void CmdFloorPreferences() {
    RunPreferences(0);
}
