// The preferences sheet: five pages (floors; openings and walls;
// dimensions; parameters; quantities), opened by "VELMOPTIONS" on the page
// last confirmed and by "VELMFLOOROPTIONS" on the floors page.
//
// A new drawing unit is applied once, after every created page stored its
// values: the pages store what they show in the old unit, then the stored
// lengths are rescaled and the pages show them again.
#pragma once

#include <optional>

#include "settings/preferences/pref_floor.h"
#include "settings/preferences/pref_openings_dims.h"
#include "settings/preferences/pref_params_quantities.h"

inline constexpr UINT IDS_PREFERENCES_CAPTION = 1016;

class CPreferenze : public CPrefSheetBase {
public:
    CPreferenze(UINT captionId, CWnd* parent, UINT firstPage);
    ~CPreferenze() override;

    BOOL OnInitDialog() override;
    void OnOK() override;

    // Apply of every created page, then the pending unit change.
    bool ApplyAll();

    CDlgPrefDatiPiano m_floors;
    CDLGPREFM3D m_m3d;
    CDlgPrefQuote m_quote;
    CDlgPrefParam m_param;
    CDlgPrefComputi m_computi;
};

// "VELMOPTIONS" and "VELMFLOOROPTIONS".
void CmdPreferences();
void CmdFloorPreferences();
