// The Z-profile editing dialog (316 "Edycja profilu"): a profile's layer,
// thickness, base height or slope and switches, and the one edit it is
// closed with. "Zmień własności geometryczne" and "Zmień nachylenie" take
// the fields over; the plan, opening and vertex buttons close it as it is.
// A level profile shows its base height, a sloped one its slope and the
// slope change.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_EPROFZ = 316;

enum EProfzAction {
    kEProfzAccept = 0,
    kEProfzTilt = 1,
    kEProfzAddOpening = 2,
    kEProfzDeleteOpening = 3,
    kEProfzDeleteVertex = 4,
    kEProfzChangeSlope = 5,
};

struct EProfzValues {
    std::string layer;
    bool hideApproximated = false;
    double slopePercent = 0.0;
    double baseHeight = 0.0;
    double thickness = 0.0;
    bool link = false;
    bool is2d = false;
};

class CDlgEProfz : public CDialog {
public:
    explicit CDlgEProfz(CWnd* parent = nullptr);

    // The slope is shown in degrees while the setting PENDINGRADI is on.
    void SetValues(const EProfzValues& values);
    EProfzValues GetValues() const;
    void SetZeroSlope(bool zero) { m_zeroSlope = zero ? 1 : 0; }
    int Action() const { return m_action; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    bool ReadFields();
    void CloseWith(int action, bool takeFields);

    std::string m_layer;
    int m_hide = 0;
    double m_slope = 0.0;  // as shown
    double m_baseHeight = 0.0;
    double m_thickness = 0.0;
    int m_link = 0, m_2d = 0;
    bool m_degrees = false;
    int m_action = kEProfzAccept;
    int m_zeroSlope = 1;

    CadvNumEdit m_editSlope, m_editBase, m_editThickness;
};
