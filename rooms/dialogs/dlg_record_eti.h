// The field editor (dialog 138): a field's variable ("$70" to "$84"), its
// prompt, and whether it is chosen from a list, with the list's choices.
#pragma once

#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/controls.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_LABEL_FIELD = 138;

class CDlgRecordEti : public CDialog {
public:
    explicit CDlgRecordEti(CWnd* parent = nullptr);

    std::string variable = "$72";
    std::string prompt;
    int isList = 0;
    std::vector<std::string> choices;  // kept in the list's (sorted) order
    std::string newChoice;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    void EnableChoices();
    void AddChoice();

    CComboBox m_variables;
    CAdvListBox m_choices;
    CAdvInvioEdit m_newChoice;
};
