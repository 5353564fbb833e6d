// The substitution dialog: when placed objects are replaced by another
// definition, each parameter of the new object either inherits the value
// of a parameter of the old one (a link, shown by the marks "<<---------"
// and "--------->>") or takes a value set here. Choosing a named set of the
// new object takes the set as a whole and drops the links.
#pragma once

#include <cstdint>
#include <string>

#include "host/ui/dialog.h"
#include "objects/dialogs/param_rows.h"

inline constexpr UINT IDD_SOSTITUISCI = 199;

namespace sostituisci {
inline constexpr int kLink = 3;
inline constexpr int kInheritAll = 4;
inline constexpr int kSetCombo = 1065;
inline constexpr int kOldList = 1067;
inline constexpr int kValue = 1068;
inline constexpr int kLabel = 1069;
inline constexpr int kNewList = 1071;
inline constexpr int kShowNew = 1072;
inline constexpr int kNewTitle = 1073;
inline constexpr int kOldTitle = 1074;
inline constexpr int kPicture = 1374;
inline constexpr const char* kNewMark = "<<---------";
inline constexpr const char* kOldMark = "--------->>";
}  // namespace sostituisci

class CDlgSostituisci : public CDialog {
public:
    explicit CDlgSostituisci(CWnd* parent = nullptr);

    void LoadNewFromContext(const ObjContext& context);
    // The old object's stored parameters and its inside/outside value.
    void LoadOldRows(const ObjVarList& vars, double side);
    // The new object's parameters as chosen: one variable per row carrying
    // its link; a named set chosen sets `takeSetName` and `setName`.
    void ApplyToRecord(ObjVarList& vars, std::uint8_t& takeSetName, std::string& setName) const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Refused, with the module's message, while a number row shows a value
    // typed that is no number in range.
    void OnOK() override;

    const CArrayInfoParametri& NewRows() const { return m_newRows; }
    int SelectedSet() const { return m_selectedSet; }

    std::string m_newName, m_oldName;
    std::string m_newPicture, m_oldPicture;
    int m_showNew = 1;

private:
    void ShowPicture();
    void FillNewList();
    void InheritAll();
    void OnLink();
    void RefreshMarks();
    void OnNewSelected();
    void OnValueUpdate();
    void OnPicture();
    CInfoParametri* NewRowByDescription(const std::string& description);
    const CInfoParametri* OldRowByDescription(const std::string& description) const;

    int m_selectedSet = 0;
    CListCtrl m_oldList, m_newList;
    CComboBox m_setCombo;
    CStatic m_label;
    CEdit m_valueEdit;
    CArrayTipologie m_sets;
    CArrayInfoParametri m_oldRows, m_newRows;
    bool m_filling = false;
};
