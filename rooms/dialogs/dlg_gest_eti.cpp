// The field set manager and VELMDEFROOMD.
#include "rooms/dialogs/dlg_gest_eti.h"

#include "core/dialogs/dlg_slide.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ui/msgbox.h"
#include "host/ui/resources.h"
#include "objects/placement/object_run.h"
#include "resources/velmresources.h"
#include "rooms/dialogs/dlg_def_etichette.h"

namespace {

constexpr int IDC_SETS = 1001;
constexpr int IDC_PICTURE = 1374;
constexpr int IDC_ADD = 5;
constexpr int IDC_COPY = 1065;
constexpr int IDC_MODIFY = 1053;
constexpr int IDC_REMOVE = 1052;
constexpr UINT IDS_BAD_CATALOGUE = 1031;
constexpr UINT IDS_NAME_USED = 1032;

std::string ModuleText(unsigned id) {
    std::string text;
    LoadModuleString(text, id);
    return text;
}

}  // namespace

CDlgGestEti::CDlgGestEti(CWnd* parent) : CDialog(IDD_LABEL_SETS, parent) {
    HandleCommand(LBN_SELCHANGE, IDC_SETS, [this] { OnSelChange(); });
    HandleCommand(LBN_DBLCLK, IDC_SETS, [this] { OnModify(); });
    HandleCommand(STN_CLICKED, IDC_PICTURE, [this] {
        CDlgSlide slide;
        slide.SetImageName(current);
        slide.DoModal();
    });
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAdd(); });
    HandleCommand(BN_CLICKED, IDC_COPY, [this] { OnCopy(); });
    HandleCommand(BN_CLICKED, IDC_MODIFY, [this] { OnModify(); });
    HandleCommand(BN_CLICKED, IDC_REMOVE, [this] { OnRemove(); });
}

void CDlgGestEti::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SETS, m_list);
    DDX_LBStringExact(dx, IDC_SETS, current);
}

BOOL CDlgGestEti::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.ResetContent();
    for (const CArrayDefEti& set : sets) m_list.AddString(set.setName);
    UpdateData(FALSE);
    ShowPicture();
    return TRUE;
}

void CDlgGestEti::OnSelChange() {
    UpdateData(TRUE);
    ShowPicture();
}

void CDlgGestEti::ShowPicture() {
    // "IDB__NAME" from the object bitmaps, else "_NAME.BMP"; neither: the
    // picture stays as it was.
    HBITMAP bitmap = LoadObjectBitmap("_", "IDB__", current);
    if (!bitmap) return;
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(IDC_PICTURE))) picture->SetBitmap(bitmap);
}

bool CDlgGestEti::EditSet(CArrayDefEti& set, const std::string& keep) {
    for (;;) {
        CDlgDefEtichette editor(this);
        editor.set = set;
        if (editor.DoModal() != IDOK) return false;
        set = editor.set;
        if ((!keep.empty() && set.setName == keep) || sets.FindSet(set.setName) < 0) return true;
        ModuleMessageBox(ModuleText(IDS_NAME_USED), MB_OK | MB_ICONERROR, 0);
    }
}

void CDlgGestEti::AddAndSelect(const CArrayDefEti& set) {
    sets.AddSet(set);
    const int row = m_list.AddString(set.setName);
    m_list.SetCurSel(row);
    current = set.setName;
    ShowPicture();
}

void CDlgGestEti::OnAdd() {
    CArrayDefEti set;
    if (EditSet(set, "")) AddAndSelect(set);
}

void CDlgGestEti::OnCopy() {
    const int at = sets.FindSet(current);
    if (at < 0) return;
    CArrayDefEti set = sets[at];
    set.setName += "Kopiuj";
    if (EditSet(set, "")) AddAndSelect(set);
}

void CDlgGestEti::OnModify() {
    UpdateData(TRUE);
    const int at = sets.FindSet(current);
    if (at < 0) return;
    const std::string old = current;
    CArrayDefEti set = sets[at];
    if (!EditSet(set, old)) return;
    sets[sets.FindSet(old)] = set;
    if (set.setName != old) {
        const int row = m_list.FindStringExact(-1, old);
        if (row >= 0) m_list.DeleteString(row);
        m_list.SetCurSel(m_list.AddString(set.setName));
        current = set.setName;
    }
}

void CDlgGestEti::OnRemove() {
    const int row = m_list.GetCurSel();
    if (row < 0) return;
    std::string name;
    m_list.GetText(row, name);
    sets.RemoveSet(name);
    m_list.DeleteString(row);
    const int count = m_list.GetCount();
    if (count > 0) {
        m_list.SetCurSel(row < count ? row : count - 1);
        m_list.GetText(m_list.GetCurSel(), current);
    } else {
        current.clear();
    }
    ShowPicture();
}

void VelmDefRoomD() {
    CArrayUnitaAmb sets;
    if (!sets.ReadUaDefDlc(kLabelCatalogueFile)) {
        ModuleMessageBox(ModuleText(IDS_BAD_CATALOGUE), MB_OK | MB_ICONERROR, 0);
        return;
    }
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgGestEti manager;
    manager.current = "TMS_ETI1";
    manager.sets = sets;
    if (manager.DoModal() != IDOK) return;
    manager.sets.WriteUaDefDlc(kLabelCatalogueFile);
}
