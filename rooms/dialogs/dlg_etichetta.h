// The room form (dialog 139): the user fields of a room's field set, laid
// out at run time (a check box for the non-usable area field 71 at the top,
// then one row per field: its prompt, and an edit or a drop-down list from
// pools of twenty), the leader switch and, behind a toggle, the three fixed
// areas with their values.
#pragma once

#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/controls.h"
#include "host/ui/dialog.h"
#include "rooms/labels/label_catalogue.h"

inline constexpr UINT IDD_ROOM_FORM = 139;

class CDlgEtichetta : public CDialog {
public:
    static constexpr int kPool = 20;

    explicit CDlgEtichetta(CWnd* parent = nullptr);

    CArrayDefEti fields;
    bool heightFromField = true;  // false: field 70 is computed, not shown
    int drawLeader = 0;
    int fixedFlags[3] = {0, 0, 0};
    double fixedValues[3] = {0.0, 0.0, 0.0};
    bool detailsOpen = false;
    int keptWidth = 0, keptHeight = 0;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    // The control each field was given at the opening (0 none).
    const std::vector<int>& FieldControls() const { return m_controls; }

private:
    void LayOut();
    void ToggleDetails();
    void EnableFixedEdits();

    CadvNumEdit m_values[3];
    std::vector<int> m_controls;
};
