// The field set manager (dialog 143) and VELMDEFROOMD, which edits the
// room label field catalogue "UA_DEF.DLC" through it: sets are added,
// copied, changed and removed in memory and written back only on OK.
#pragma once

#include <string>

#include "host/ui/controls.h"
#include "host/ui/dialog.h"
#include "rooms/labels/label_catalogue.h"

inline constexpr UINT IDD_LABEL_SETS = 143;

class CDlgGestEti : public CDialog {
public:
    explicit CDlgGestEti(CWnd* parent = nullptr);

    CArrayUnitaAmb sets;
    std::string current;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    void OnSelChange();
    void ShowPicture();
    // Runs the set editor on `set` until its name is acceptable (free, or
    // `keep`) or the user cancels; false on cancel.
    bool EditSet(CArrayDefEti& set, const std::string& keep);
    void OnAdd();
    void OnCopy();
    void OnModify();
    void OnRemove();
    void AddAndSelect(const CArrayDefEti& set);

    CListBox m_list;
};

void VelmDefRoomD();
