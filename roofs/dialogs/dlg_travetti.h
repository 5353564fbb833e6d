// The girders' settings dialog (265 "Ustawienia dzwigarów"). Opened to
// rebuild girders it leaves only the distance from the slab, the recess,
// the layer and the two switches to change.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_TRAVETTI = 265;

class CDlgTravetti : public CDialog {
public:
    explicit CDlgTravetti(bool rebuild, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    bool m_rebuild = false;
    int m_number = 0;
    std::string m_layer;
    int m_rotate = 0;
    int m_plan = 0;  // for this run only

private:
    CadvNumEdit m_editHeight, m_editDistance, m_editRecess, m_editStart, m_editEnd, m_editWidth;
};
