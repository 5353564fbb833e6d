// The openings-and-walls page (262) and the dimensions page (142) of the
// preferences sheet: settings variables shown on open and stored on OK (or
// the sheet's apply, which runs OK).
#pragma once

#include "core/controls/advcontrols.h"
#include "settings/preferences/pref_fields.h"
#include "settings/preferences/pref_page.h"

inline constexpr UINT IDD_PREF_M3D = 262;
inline constexpr UINT IDD_PREF_QUOTE = 142;

class CDLGPREFM3D : public CPrefPage {
public:
    CDLGPREFM3D();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void Reload() override;

    // M3D_CLOSECOL, the colour index of the upper wall.
    int m_upperColour = 1;
    // "&Drzwi": checked while SETOPZPORTEALLEST is 0.
    int m_doorsInside = 0;
    CadvColorStatic m_swatch;
    PrefFields m_fields;

private:
    void Load();
    void EnableDependants();
    int* m_upperWall = nullptr;
    int* m_commonPrefix = nullptr;
};

class CDlgPrefQuote : public CPrefPage {
public:
    CDlgPrefQuote();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void Reload() override;

    // SALLINTXTQ: doors x 10 + windows (0 left, 1 centre, 2 right); -1
    // when no button of the group is on.
    int m_windowAlign = -1;
    int m_doorAlign = -1;
    PrefFields m_fields;

private:
    void Load();
    int m_storedAlign = 11;
};
