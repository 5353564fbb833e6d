// The parameter-set editor.
#include "objects/dialogs/dlg_tipologie.h"

#include <algorithm>

#include "core/base/typed_number.h"
#include "core/dialogs/dlg_slide.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"

using namespace tipologie;

namespace {

constexpr UINT kNoDeleteString = 1055;
constexpr UINT kNoAssignString = 1056;
constexpr UINT kSetExistsString = 1060;
constexpr UINT kEmptyNameString = 1063;

}  // namespace

CDlgTipologie::CDlgTipologie(CWnd* parent) : CDialog(IDD_TIPOLOGIE, parent) {
    HandleCommand(CBN_SELCHANGE, kSetCombo, [this] { FillList(); });
    HandleNotify(LVN_ITEMCHANGED, kList, [this](NMHDR* hdr, LRESULT*) {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (nm && (nm->uNewState & LVIS_SELECTED) && !(nm->uOldState & LVIS_SELECTED)) OnItemSelected();
    });
    for (UINT code : {EN_CHANGE, EN_UPDATE, EN_KILLFOCUS})
        HandleCommand(code, kValue, [this] { OnValueChange(); });
    HandleCommand(BN_CLICKED, kApply, [this] { OnApply(); });
    HandleCommand(BN_CLICKED, kNew, [this] { OnNew(); });
    HandleCommand(BN_CLICKED, kDelete, [this] { OnDelete(); });
    HandleCommand(BN_CLICKED, kInsert, [this] { OnInsert(); });
    HandleCommand(STN_CLICKED, kPicture, [this] { OnPicture(); });
}

void CDlgTipologie::LoadFromContext(const ObjContext& context) {
    m_sets = BuildParameterSets(context, ParameterSetOptions{false, false});
}

BOOL CDlgTipologie::OnInitDialog() {
    CDialog::OnInitDialog();
    m_valueEdit.SubclassDlgItem(kValue, this);
    m_label.SubclassDlgItem(kLabel, this);
    m_setCombo.SubclassDlgItem(kSetCombo, this);
    m_list.SubclassDlgItem(kList, this);
    m_nameEdit.SubclassDlgItem(kName, this);
    m_insert = 0;
    m_list.InsertColumn(0, ResourceString(1057), LVCFMT_LEFT, 180);
    m_list.InsertColumn(1, ResourceString(1058), LVCFMT_RIGHT, 70);
    m_list.InsertColumn(2, ResourceString(1059), LVCFMT_RIGHT, 70);
    for (const CTipologia& set : m_sets) m_setCombo.AddString(set.name);
    if (m_sets.empty()) return TRUE;
    m_setCombo.SetCurSel(0);
    FillList();
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(kPicture)))
        picture->SetBitmap(LoadObjectBitmap("_", "IDB__", m_pictureName));
    return TRUE;
}

int CDlgTipologie::SelectedSet() const {
    const int sel = m_setCombo.GetCurSel();
    if (sel < 0) return -1;
    std::string name;
    m_setCombo.GetLBText(sel, name);
    return FindParameterSet(m_sets, name);
}

void CDlgTipologie::FillList() {
    const int index = SelectedSet();
    if (index < 0) return;
    const CTipologia& set = m_sets[index];
    m_filling = true;
    m_nameEdit.SetWindowText(set.name);
    m_list.DeleteAllItems();
    for (std::size_t i = 0; i < set.rows.size(); ++i) {
        const int item = m_list.InsertItem(static_cast<int>(i), set.rows[i].description);
        m_list.SetItemText(item, 1, set.rows[i].FormatValue(true));
        m_list.SetItemText(item, 2, "");
        m_list.SetItemData(item, i);
    }
    m_filling = false;
    const bool editable = !zcutEqualsNoCase(set.name, kLastParametersSet);
    for (int id : {kValue, kLabel, kApply, kDelete}) GetDlgItem(id)->EnableWindow(editable);
    if (m_list.GetItemCount() > 0) {
        m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        OnItemSelected();
    } else {
        m_filling = true;
        m_label.SetWindowText("");
        m_valueEdit.SetWindowText("");
        m_filling = false;
    }
}

void CDlgTipologie::OnItemSelected() {
    const int item = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0) return;
    m_filling = true;
    m_label.SetWindowText(m_list.GetItemText(item, 0));
    const std::string staged = m_list.GetItemText(item, 2);
    m_valueEdit.SetWindowText(staged.empty() ? m_list.GetItemText(item, 1) : staged);
    m_filling = false;
}

// The value edit stages its text as the selected row's new value; the
// row's own text back (or nothing) stages nothing.
void CDlgTipologie::OnValueChange() {
    if (m_filling) return;
    const int item = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0 || m_list.GetItemText(item, 0) != m_label.GetWindowText()) return;
    const std::string text = m_valueEdit.GetWindowText();
    m_list.SetItemText(item, 2, text == m_list.GetItemText(item, 1) ? std::string() : text);
}

bool CDlgTipologie::NameAccepted(const std::string& name, int self) {
    if (name.empty()) {
        AfxMessageBox(kEmptyNameString);
        return false;
    }
    for (int i = 0; i < static_cast<int>(m_sets.size()); ++i) {
        if (i != self && zcutEqualsNoCase(m_sets[i].name, name)) {
            AfxMessageBox(kSetExistsString);
            return false;
        }
    }
    return true;
}

// A value typed for a number row that no number in range reads refuses
// the button that would take it.
bool CDlgTipologie::StagedValuesInRange() {
    const int index = SelectedSet();
    if (index < 0) return true;
    const CTipologia& set = m_sets[index];
    for (int item = 0; item < m_list.GetItemCount(); ++item) {
        const std::string staged = m_list.GetItemText(item, 2);
        const std::size_t row = m_list.GetItemData(item);
        if (staged.empty() || row >= set.rows.size() || set.rows[row].type == u'S') continue;
        if (ParseRowValue(set.rows[row].type, staged)) continue;
        // A text that is no number is told as every number field tells it;
        // a number no drawing holds as out of range.
        const bool number = TypedNumber(staged) || staged.find_first_of("'\"/") != std::string::npos;
        AfxMessageBox(number ? OutOfRangeMessage() : std::string(kInvalidValueMessage), MB_ICONEXCLAMATION);
        m_list.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        OnItemSelected();
        return false;
    }
    return true;
}

void CDlgTipologie::OnApply() {
    const int index = SelectedSet();
    if (index < 0) return;
    if (!StagedValuesInRange()) return;
    CTipologia& set = m_sets[index];
    if (zcutEqualsNoCase(set.name, kLastParametersSet)) {
        AfxMessageBox(kNoAssignString);
        return;
    }
    const std::string name = m_nameEdit.GetWindowText();
    if (name != set.name && !NameAccepted(name, index)) return;
    for (int item = 0; item < m_list.GetItemCount(); ++item) {
        const std::string staged = m_list.GetItemText(item, 2);
        if (staged.empty()) continue;
        CInfoParametri& row = set.rows[m_list.GetItemData(item)];
        if (row.type == u'S') {
            row.currentText = row.newText = staged;
        } else if (std::optional<double> value = ParseRowValue(row.type, staged)) {
            row.currentValue = row.newValue = *value;
        }
        m_list.SetItemText(item, 1, row.FormatValue(true));
        m_list.SetItemText(item, 2, "");
    }
    if (name != set.name) {
        set.name = name;
        const int sel = m_setCombo.GetCurSel();
        m_setCombo.DeleteString(sel);
        m_setCombo.InsertString(sel, name);
        m_setCombo.SetCurSel(sel);
    }
    OnItemSelected();
}

void CDlgTipologie::OnNew() {
    const std::string name = m_nameEdit.GetWindowText();
    if (!NameAccepted(name, -1) || m_sets.empty()) return;
    const int shown = SelectedSet();
    CTipologia added = m_sets.front();
    added.name = name;
    // The values of the set in view, exactly as held.
    if (shown >= 0) {
        for (CInfoParametri& row : added.rows) {
            for (const CInfoParametri& from : m_sets[shown].rows) {
                if (from.variable != row.variable) continue;
                row.currentValue = row.newValue = from.currentValue;
                row.currentText = row.newText = from.currentText;
                break;
            }
        }
    }
    m_setCombo.AddString(name);
    m_sets.push_back(std::move(added));
}

void CDlgTipologie::OnDelete() {
    const int index = SelectedSet();
    if (index < 0) return;
    if (zcutEqualsNoCase(m_sets[index].name, kLastParametersSet)) {
        AfxMessageBox(kNoDeleteString);
        return;
    }
    const int sel = m_setCombo.GetCurSel();
    m_setCombo.DeleteString(sel);
    m_sets.erase(m_sets.begin() + index);
    m_setCombo.SetCurSel(std::min(sel, m_setCombo.GetCount() - 1));
    FillList();
}

void CDlgTipologie::OnInsert() {
    if (!StagedValuesInRange()) return;
    m_chosenSetName = m_nameEdit.GetWindowText();
    m_insert = 1;
    EndDialog(IDOK);
}

void CDlgTipologie::OnOK() {
    if (!StagedValuesInRange()) return;
    const int index = SelectedSet();
    if (index >= 0) m_chosenSetName = m_sets[index].name;
    CDialog::OnOK();
}

void CDlgTipologie::OnPicture() {
    CDlgSlide slide(this);
    slide.SetImageName(m_pictureName);
    slide.DoModal();
}
