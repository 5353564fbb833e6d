// The set editor (dialog 137): a field set's name, caption and fields, one
// row each (variable, prompt, whether from a list), with the field editor
// for adding and changing a field and the room form as a preview.
#pragma once

#include <string>

#include "host/ui/dialog.h"
#include "host/ui/listctrl.h"
#include "rooms/labels/label_catalogue.h"

inline constexpr UINT IDD_LABEL_SET = 137;

class CDlgDefEtichette : public CDialog {
public:
    explicit CDlgDefEtichette(CWnd* parent = nullptr);

    CArrayDefEti set;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    void ShowRow(int row, const CDefEti& field, bool insert);
    bool EditField(CDefEti& field);
    void OnAdd();
    void OnModify();
    void OnRemove();
    void OnPreview();

    CListCtrl m_list;
    std::string m_caption, m_name;
};
