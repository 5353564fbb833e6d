// The hip roof's options dialog (109 "Dach czterospadowy"). Like the floor
// slab's it has no OK button: the three outline buttons choose how the
// outline is given and close it as OK; closed another way the mode stays
// 3 (none) and the command ends.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_TPAD = 109;

class CDlgTPAD : public CDialog {
public:
    explicit CDlgTPAD(CWnd* parent = nullptr);

    void Load();
    void Store() const;
    // 0 points, 1 outer wall contour, 2 drawn contour, 3 none.
    int Mode() const { return m_mode; }
    double SlopePercent() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    int m_mode = 3;
    std::string m_pattern;
    std::string m_layer;
    int m_hatch = 0;
    int m_heightAt = 0;  // 0 at the gutter, 1 at the top of the wall
    int m_osnap = 0;
    int m_2d = 0;
    int m_degrees = 0;
    double m_height = 0.0;
    double m_angle = 0.0;
    double m_thickness = 0.0;
    double m_slope = 0.0;  // as shown
    double m_overhang = 0.0;

private:
    void ChooseMode(int mode);
    void OnDegrees();

    CadvNumEdit m_editHeight, m_editAngle, m_editThickness, m_editSlope, m_editOverhang;
};
