// The parameters page (146: drawing unit, stairs, text styles, stair
// layers) and the quantities page (141: deductions, room card, decimals,
// room outline layer) of the preferences sheet.
//
// A new drawing unit typed on page 146 is handed to the sheet when it
// applies; the sheet rescales once every page stored its values.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "settings/preferences/pref_fields.h"
#include "settings/preferences/pref_page.h"

inline constexpr UINT IDD_PREF_PARAM = 146;
inline constexpr UINT IDD_PREF_COMPUTI = 141;
inline constexpr UINT IDS_NO_CARD_FILES = 1018;

class CDlgPrefParam : public CPrefPage {
public:
    CDlgPrefParam();

    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void Reload() override;

    PrefFields m_fields;
    PrefFields::Real* m_unit = nullptr;
    // Set by the user's edit of the unit, cleared by the apply.
    int m_unitChanged = 0;

private:
    void Load();
    bool m_loading = false;
};

class CDlgPrefComputi : public CPrefPage {
public:
    CDlgPrefComputi();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void Reload() override;

    CComboBox m_cards;
    std::string m_cardName;
    PrefFields m_fields;

private:
    void Load();
    void FillCards();
    void ShowPreview();
    void EnableOutlineLayer();
    int* m_outline = nullptr;
};
