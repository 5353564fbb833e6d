// The floor slab's options dialog (152 "Opcje płyty podłowej"). It has no
// OK button: each of the three outline buttons chooses how the outline is
// given and closes the dialog as OK; the mode stays 3 when it is closed
// another way.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_SOLAIO = 152;

class CDlgSolaio : public CDialog {
public:
    explicit CDlgSolaio(CWnd* parent = nullptr);

    void Load();
    void Store() const;
    // 0 points, 1 outer wall contour, 2 drawn outline, 3 none.
    int Mode() const { return m_mode; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    int m_mode = 3;
    double m_thickness = 0.0;
    double m_offset = 0.0;
    double m_angle = 0.0;
    std::string m_layer;
    std::string m_pattern;
    int m_hideApproximated = 0;
    int m_osnap = 0;
    int m_hatch = 0;
    int m_link = 0;
    int m_2d = 0;

private:
    void ChooseMode(int mode);

    CadvNumEdit m_editThickness, m_editOffset, m_editAngle;
};
