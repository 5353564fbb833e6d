// What the floor slab's and the Z-profile's option dialogs share: the
// element's thickness, height, layer, hide, floor-link and 2D boxes, the
// hatch group, each field kept in a setting slot of the dialog's own, and
// the outline buttons, which choose how the outline is given and close the
// dialog as OK. Closed another way, the mode stays at the dialog's "none".
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "host/ui/dialog.h"
#include "roofs/dialogs/number_fields.h"

// The setting slots (SetupVar) of the shared fields.
struct SlabOptionSlots {
    int thickness, height, layer, hide, hatch, pattern, angle, link, is2d;
};

class CSlabOptionsDialog : public CDialog {
public:
    virtual void Load();
    virtual void Store() const;
    int Mode() const { return m_mode; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    int m_mode;
    double m_thickness = 0.0;
    double m_height = 0.0;
    double m_angle = 0.0;
    std::string m_layer;
    std::string m_pattern;
    int m_hideApproximated = 0;
    int m_hatch = 0;
    int m_link = 0;
    int m_2d = 0;

protected:
    // `modeButtons` choose the modes 0, 1 … in their order; `noMode` is the
    // mode of a dialog closed without them. `hatchControls` are enabled by
    // the "make hatch" box.
    CSlabOptionsDialog(UINT id, CWnd* parent, const SlabOptionSlots& slots,
                       std::initializer_list<int> modeButtons, int noMode,
                       std::initializer_list<int> hatchControls);

    NumberFields m_numbers;

private:
    SlabOptionSlots m_slots;
    std::vector<int> m_hatchControls;
};
