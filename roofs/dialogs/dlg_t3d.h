// The sloped roof slab's options dialog (118 "Opcje płyty"). The slope is
// kept in percent; the dialog shows it in degrees while "Nachylenie w
// stopniach dziesiętnych" is checked and converts the shown value at once
// when that box is clicked.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_T3D = 118;

class CDlgT3D : public CDialog {
public:
    explicit CDlgT3D(CWnd* parent = nullptr);

    void Load();
    void Store() const;
    // The slope in percent, whatever the dialog shows.
    double SlopePercent() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    double m_thickness = 0.0;
    double m_slope = 0.0;  // as shown: degrees when m_degrees is set
    double m_angle = 0.0;
    std::string m_layer;
    std::string m_pattern;
    int m_edgeOption = 0;
    int m_osnap = 0;
    int m_gutter = 0;
    int m_degrees = 0;
    int m_hatch = 0;
    int m_2d = 0;

private:
    void OnDegrees();
    void OnGutter();

    CadvNumEdit m_editThickness, m_editSlope, m_editAngle;
};
