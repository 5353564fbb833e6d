// What the hip and the gable roof's option dialogs share: the roof settings
// both keep (thickness, overhang, layer, the gutter height and where it is
// taken, snap, hatch with its pattern and angle, 2D, the slope in percent
// or, while "Nachylenie w stopn. dziesięt." is checked, in degrees) with
// their fields, and that box, which converts every slope shown. A dialog
// adds number fields of its own to m_numbers.
#pragma once

#include <string>

#include "host/ui/dialog.h"
#include "roofs/dialogs/number_fields.h"

class CRoofOptionsDialog : public CDialog {
public:
    // The settings into the fields (the slopes shown as the box says) and back.
    virtual void Load();
    virtual void Store() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    std::string m_layer, m_pattern;
    int m_heightAt = 0;  // 0 at the gutter, 1 at the top of the wall
    int m_osnap = 0, m_hatch = 0, m_2d = 0, m_degrees = 0;
    // As shown (the slope in degrees when m_degrees is set).
    double m_thickness = 0, m_slope = 0, m_overhang = 0, m_height = 0, m_angle = 0;

protected:
    // `overhangId`: the overhang field, the one shared field whose id differs.
    CRoofOptionsDialog(UINT id, CWnd* parent, int overhangId);

    // A slope of the settings (percent) as shown, and back.
    double ShownSlope(double percent) const;
    double SlopePercent(double shown) const;

    // The shared number fields; a dialog adds its own.
    NumberFields m_numbers;
};
