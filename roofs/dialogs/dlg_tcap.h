// The gable roof's options dialog (151 "Dach dwuspadowy"), with its group
// of front slabs (half-hips): sized by their width or by the height of
// their lower edge. Both slopes are shown in degrees while "Nachylenie w
// stopn. dziesięt." is checked.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_TCAP = 151;

class CDlgTCAP : public CDialog {
public:
    explicit CDlgTCAP(CWnd* parent = nullptr);

    void Load();
    void Store() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    std::string m_layer, m_pattern;
    int m_heightAt = 0;
    int m_osnap = 0, m_hatch = 0, m_front = 0, m_byWidth = 0, m_2d = 0, m_degrees = 0;
    // As shown (the slopes in degrees when m_degrees is set).
    double m_thickness = 0, m_slope = 0, m_overhang = 0, m_frontOverhang = 0, m_height = 0, m_angle = 0;
    double m_frontWidth = 0, m_frontHeight = 0, m_frontSlope = 0;

private:
    void EnableFrontControls();
    void OnDegrees();

    CadvNumEdit m_editThickness, m_editSlope, m_editOverhang, m_editFrontOverhang, m_editHeight, m_editAngle;
    CadvNumEdit m_editFrontWidth, m_editFrontHeight, m_editFrontSlope;
};
