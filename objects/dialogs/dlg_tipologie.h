// The parameter-set editor: the named parameter sets of one definition in
// a combo box, the chosen set's values in a list, a value edit that stages
// a new value per row, and the buttons that apply, add, delete and save
// the sets or insert the object with one of them. The pseudo-set of the
// values in the store is shown first and can be neither changed nor
// deleted. Only values the user typed are read back, so saving never
// alters a value nobody touched; an empty name or one another set has is
// refused, since it would make a set unreachable.
#pragma once

#include <string>

#include "host/ui/dialog.h"
#include "objects/dialogs/param_rows.h"

inline constexpr UINT IDD_TIPOLOGIE = 197;

namespace tipologie {
inline constexpr int kDelete = 1052;
inline constexpr int kNew = 3;
inline constexpr int kApply = 7;
inline constexpr int kInsert = 1202;
inline constexpr int kSetCombo = 1065;
inline constexpr int kList = 1066;
inline constexpr int kName = 1067;
inline constexpr int kValue = 1068;
inline constexpr int kLabel = 1069;
inline constexpr int kPicture = 1374;
}  // namespace tipologie

class CDlgTipologie : public CDialog {
public:
    explicit CDlgTipologie(CWnd* parent = nullptr);

    void LoadFromContext(const ObjContext& context);

    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_insert = 0;
    std::string m_chosenSetName;
    std::string m_pictureName;
    CArrayTipologie m_sets;

private:
    bool StagedValuesInRange();
    int SelectedSet() const;
    void FillList();
    void OnItemSelected();
    void OnValueChange();
    void OnApply();
    void OnNew();
    void OnDelete();
    void OnInsert();
    void OnPicture();
    // A name for a set: refused (with its message) when empty or when a set
    // other than `self` has it, letter case aside.
    bool NameAccepted(const std::string& name, int self);

    CEdit m_valueEdit;
    CStatic m_label;
    CComboBox m_setCombo;
    CListCtrl m_list;
    CEdit m_nameEdit;
    bool m_filling = false;
};
