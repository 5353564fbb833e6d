// What the slab and the profile editing dialogs share: the element's layer
// name, thickness, height and slope (shown in degrees while the setting
// PENDINGRADI is on), its hide, floor-link and 2D boxes, and the buttons of
// the edits both offer. Each closes the dialog with its edit: the slope
// change and OK take the fields over, the plan, vertex and opening buttons
// close it as it is (those edits work on the plan only). A level element
// shows its height, a sloped one its slope and the slope change.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

class CSlabEditDialog : public CDialog {
public:
    // Whether the element is level (the default).
    void SetLevel(bool level) { m_level = level; }
    // The edit the dialog was closed with (SlabEditAction or the dialog's own).
    int Action() const { return m_action; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

protected:
    // `levelOnly`: the controls enabled only for a level element.
    CSlabEditDialog(UINT id, CWnd* parent, std::initializer_list<int> levelOnly);

    // The fields shown and read back: the slope goes in and comes out in percent.
    void ShowFields(const std::string& name, bool hide, double slopePercent, double height, double thickness,
                    bool link, bool is2d);
    double SlopePercent() const;
    // Reads the fields; false when one is refused.
    bool ReadFields();
    void CloseWith(int action, bool takeFields);

    std::string m_name;
    int m_hide = 0;
    double m_slope = 0.0;  // as shown
    double m_height = 0.0;
    double m_thickness = 0.0;
    int m_link = 0, m_2d = 0;

private:
    std::vector<int> m_levelOnly;
    bool m_degrees = false;
    bool m_level = true;
    int m_action = 0;

    CadvNumEdit m_editSlope, m_editHeight, m_editThickness;
};
