// The Z-profile's options dialog (315 "Opcje tworzenia Profili-Z"). Like
// the floor slab's it closes as OK from its two outline buttons; Enter
// alone leaves the mode at 2, which the command takes as no choice.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_SIMIL_SOLAIO = 315;

class CDlgSimilSolaio : public CDialog {
public:
    explicit CDlgSimilSolaio(CWnd* parent = nullptr);

    void Load();
    void Store() const;
    // 0 points, 1 drawn outline, 2 none.
    int Mode() const { return m_mode; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    int m_mode = 2;
    int m_hatch = 0;
    std::string m_pattern;
    std::string m_layer;
    int m_hideApproximated = 0;
    int m_link = 0;
    int m_2d = 0;
    double m_angle = 0.0;
    double m_thickness = 0.0;
    double m_bottom = 0.0;
    double m_scale = 0.0;

private:
    void ChooseMode(int mode);

    CadvNumEdit m_editBottom, m_editThickness, m_editAngle, m_editScale;
};
