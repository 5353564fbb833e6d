// The gable roof's options dialog (151 "Dach dwuspadowy"), with its group
// of front slabs (half-hips): sized by their width or by the height of
// their lower edge. Both slopes are shown in degrees while "Nachylenie w
// stopn. dziesięt." is checked.
#pragma once

#include "roofs/dialogs/roof_options_dialog.h"

inline constexpr UINT IDD_TCAP = 151;

class CDlgTCAP : public CRoofOptionsDialog {
public:
    explicit CDlgTCAP(CWnd* parent = nullptr);

    void Load() override;
    void Store() const override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_front = 0, m_byWidth = 0;
    // As shown (the front slope in degrees when m_degrees is set).
    double m_frontOverhang = 0, m_frontWidth = 0, m_frontHeight = 0, m_frontSlope = 0;

private:
    void EnableFrontControls();
};
