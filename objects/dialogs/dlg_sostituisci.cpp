// The substitution dialog.
#include "objects/dialogs/dlg_sostituisci.h"

#include "core/dialogs/dlg_slide.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ui/msgbox.h"
#include "host/ui/uitext.h"
#include "host/util/nocase.h"

using namespace sostituisci;

CDlgSostituisci::CDlgSostituisci(CWnd* parent) : CDialog(IDD_SOSTITUISCI, parent) {
    HandleCommand(CBN_SELCHANGE, kSetCombo, [this] { FillNewList(); });
    HandleCommand(BN_CLICKED, kLink, [this] { OnLink(); });
    HandleCommand(BN_CLICKED, kInheritAll, [this] { InheritAll(); });
    HandleCommand(BN_CLICKED, kShowNew, [this] {
        UpdateData(TRUE);
        ShowPicture();
    });
    HandleCommand(STN_CLICKED, kPicture, [this] { OnPicture(); });
    HandleNotify(LVN_ITEMCHANGED, kNewList, [this](NMHDR* hdr, LRESULT*) {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (nm && (nm->uNewState & LVIS_SELECTED) && !(nm->uOldState & LVIS_SELECTED)) OnNewSelected();
    });
    for (UINT code : {EN_CHANGE, EN_UPDATE}) HandleCommand(code, kValue, [this] { OnValueUpdate(); });
}

void CDlgSostituisci::LoadNewFromContext(const ObjContext& context) {
    m_sets = BuildParameterSets(context, ParameterSetOptions{false, true});
}

void CDlgSostituisci::LoadOldRows(const ObjVarList& vars, double side) {
    m_oldRows.clear();
    for (const auto& v : vars) {
        CInfoParametri row = RowFromVar(*v, side);
        row.kind = kVarParameter;
        row.index = v->auxIndex;
        m_oldRows.push_back(std::move(row));
    }
}

void CDlgSostituisci::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, kShowNew, m_showNew);
}

BOOL CDlgSostituisci::OnInitDialog() {
    CDialog::OnInitDialog();
    m_oldList.SubclassDlgItem(kOldList, this);
    m_newList.SubclassDlgItem(kNewList, this);
    m_setCombo.SubclassDlgItem(kSetCombo, this);
    m_label.SubclassDlgItem(kLabel, this);
    m_valueEdit.SubclassDlgItem(kValue, this);
    SetDlgItemText(kNewTitle, zcui::Format(ResourceString(1061).c_str(), m_newName.c_str()));
    SetDlgItemText(kOldTitle, zcui::Format(ResourceString(1062).c_str(), m_oldName.c_str()));
    ShowPicture();
    m_newList.InsertColumn(0, "Parametry", LVCFMT_LEFT, 150);
    m_newList.InsertColumn(1, "Wartość", LVCFMT_RIGHT, 80);
    m_oldList.InsertColumn(0, "Parametry", LVCFMT_LEFT, 150);
    m_oldList.InsertColumn(1, "Powiązany", LVCFMT_RIGHT, 80);
    for (std::size_t i = 0; i < m_oldRows.size(); ++i)
        m_oldList.InsertItem(static_cast<int>(i), m_oldRows[i].description);
    if (m_oldList.GetItemCount() > 0) m_oldList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    for (const CTipologia& set : m_sets) m_setCombo.AddString(set.name);
    if (m_sets.empty()) return TRUE;
    m_setCombo.SetCurSel(0);
    FillNewList();
    InheritAll();
    return TRUE;
}

void CDlgSostituisci::ShowPicture() {
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(kPicture)))
        picture->SetBitmap(LoadObjectBitmap("_", "IDB__", m_showNew ? m_newPicture : m_oldPicture));
}

void CDlgSostituisci::FillNewList() {
    const int sel = m_setCombo.GetCurSel();
    if (sel < 0 || sel >= static_cast<int>(m_sets.size())) return;
    m_selectedSet = sel;
    m_newRows = m_sets[sel].rows;
    m_filling = true;
    m_newList.DeleteAllItems();
    for (std::size_t i = 0; i < m_newRows.size(); ++i) {
        const int item = m_newList.InsertItem(static_cast<int>(i), m_newRows[i].description);
        m_newList.SetItemText(item, 1, m_newRows[i].FormatValue(true));
    }
    m_filling = false;
    RefreshMarks();
    if (m_newList.GetItemCount() > 0) m_newList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
}

CInfoParametri* CDlgSostituisci::NewRowByDescription(const std::string& description) {
    for (CInfoParametri& row : m_newRows)
        if (row.description == description) return &row;
    return nullptr;
}

const CInfoParametri* CDlgSostituisci::OldRowByDescription(const std::string& description) const {
    for (const CInfoParametri& row : m_oldRows)
        if (row.description == description) return &row;
    return nullptr;
}

void CDlgSostituisci::InheritAll() {
    for (int item = 0; item < m_newList.GetItemCount(); ++item) {
        const std::string description = m_newList.GetItemText(item, 0);
        for (int old = 0; old < m_oldList.GetItemCount(); ++old) {
            if (!zcutEqualsNoCase(m_oldList.GetItemText(old, 0), description)) continue;
            m_newList.SetItemText(item, 1, kNewMark);
            m_oldList.SetItemText(old, 1, kOldMark);
            if (CInfoParametri* row = NewRowByDescription(description)) row->index = m_oldRows[old].variable;
            break;
        }
    }
}

void CDlgSostituisci::OnLink() {
    const int item = m_newList.GetNextItem(-1, LVNI_SELECTED);
    const int old = m_oldList.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0) return;
    m_newList.SetItemText(item, 1, kNewMark);
    if (old >= 0) {
        CInfoParametri* row = NewRowByDescription(m_newList.GetItemText(item, 0));
        const CInfoParametri* from = OldRowByDescription(m_oldList.GetItemText(old, 0));
        if (row && from) row->index = from->variable;
    }
    RefreshMarks();
}

// The old rows some new row links to carry their mark; a new row that has
// lost its link shows its value again.
void CDlgSostituisci::RefreshMarks() {
    for (int old = 0; old < m_oldList.GetItemCount() && old < static_cast<int>(m_oldRows.size()); ++old) {
        bool linked = false;
        for (const CInfoParametri& row : m_newRows)
            if (row.index >= 0 && row.index == m_oldRows[old].variable) linked = true;
        m_oldList.SetItemText(old, 1, linked ? kOldMark : "");
    }
    for (int item = 0; item < m_newList.GetItemCount(); ++item) {
        if (m_newList.GetItemText(item, 1) != kNewMark) continue;
        const CInfoParametri* row = NewRowByDescription(m_newList.GetItemText(item, 0));
        if (row && row->index < 0) m_newList.SetItemText(item, 1, row->FormatValue(true));
    }
}

void CDlgSostituisci::OnNewSelected() {
    const int item = m_newList.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0) return;
    const std::string description = m_newList.GetItemText(item, 0);
    const std::string value = m_newList.GetItemText(item, 1);
    const bool marked = value == kNewMark;
    m_filling = true;
    m_label.SetWindowText(description);
    m_valueEdit.SetWindowText(marked ? "" : value);
    m_filling = false;
    const CInfoParametri* row = NewRowByDescription(description);
    int linkedOld = -1;
    if (marked && row)
        for (int old = 0; old < static_cast<int>(m_oldRows.size()); ++old)
            if (m_oldRows[old].variable == row->index) {
                linkedOld = old;
                break;
            }
    m_oldList.SetItemState(-1, 0, LVIS_SELECTED);
    if (linkedOld >= 0) m_oldList.SetItemState(linkedOld, LVIS_SELECTED, LVIS_SELECTED);
}

void CDlgSostituisci::OnValueUpdate() {
    if (m_filling) return;
    const std::string label = m_label.GetWindowText();
    const std::string text = m_valueEdit.GetWindowText();
    for (int item = 0; item < m_newList.GetItemCount(); ++item) {
        if (m_newList.GetItemText(item, 0) != label) continue;
        if (m_newList.GetItemText(item, 1) == text) return;  // nothing typed
        m_newList.SetItemText(item, 1, text);
        if (CInfoParametri* row = NewRowByDescription(label)) {
            row->index = -1;
            if (row->type == u'S')
                row->currentText = row->newText = text;
            else if (std::optional<double> value = ParseRowValue(row->type, text))
                row->currentValue = row->newValue = *value;
        }
        break;
    }
    if (m_selectedSet > 0) {
        for (CInfoParametri& row : m_newRows) row.index = -1;
        m_selectedSet = 0;
    }
    RefreshMarks();
}

void CDlgSostituisci::OnOK() {
    for (int item = 0; item < m_newList.GetItemCount(); ++item) {
        const std::string shown = m_newList.GetItemText(item, 1);
        const CInfoParametri* row = NewRowByDescription(m_newList.GetItemText(item, 0));
        if (!row || row->type == u'S' || shown == kNewMark || ParseRowValue(row->type, shown)) continue;
        AfxMessageBox(OutOfRangeMessage(), MB_ICONEXCLAMATION);
        m_newList.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
        return;
    }
    CDialog::OnOK();
}

void CDlgSostituisci::OnPicture() {
    CDlgSlide slide(this);
    slide.SetImageName(m_showNew ? m_newPicture : m_oldPicture);
    slide.DoModal();
}

void CDlgSostituisci::ApplyToRecord(ObjVarList& vars, std::uint8_t& takeSetName, std::string& setName) const {
    FreeObjVars(vars);
    for (const CInfoParametri& row : m_newRows) {
        ObjVar* v = SetObjVar(row.variable, kVarParameter, 0, row.type, row.description, row.currentValue,
                              row.currentText, 0, 0, vars);
        if (v) v->auxIndex = row.index;
    }
    if (m_selectedSet >= 1 && m_selectedSet < static_cast<int>(m_sets.size()) &&
        !zcutEqualsNoCase(m_sets[m_selectedSet].name, kLastParametersSet)) {
        for (auto& v : vars) v->auxIndex = -1;
        takeSetName = 1;
        setName = m_sets[m_selectedSet].name;
    }
}
