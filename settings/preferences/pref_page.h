// What the five preference pages share: the sheet they belong to, the page
// to open next time, and a reload after the sheet changed the drawing unit.
#pragma once

#include <optional>

#include "host/ui/propsheet.h"

// What a page asks of the sheet that carries it: a new drawing unit, applied
// once after every created page stored its values (the sheet, CPreferenze,
// does that in ApplyAll).
class CPrefSheetBase : public CPropertySheet {
public:
    using CPropertySheet::CPropertySheet;

    // A unit factor to apply after the pages stored theirs.
    void SetPendingUnit(double factor) { m_pendingUnit = factor; }

protected:
    std::optional<double> m_pendingUnit;
};

class CPrefPage : public CPropertyPage {
public:
    explicit CPrefPage(UINT templateId) : CPropertyPage(templateId) {}

    // Set by the sheet that carries the page.
    CPrefSheetBase* m_sheet = nullptr;

    // Shows the stored settings again (the sheet calls it on created pages
    // after a unit change rescaled them).
    virtual void Reload() {}

    // A page whose fields refuse their values keeps the sheet open on it.
    BOOL OnApply() override;

protected:
    // The sheet's active page becomes the one "VELMOPTIONS" opens next.
    void RecordActivePage();
};

// The page of the last confirmed sheet; 0 when the module loads.
int LastPreferencesPage();
void SetLastPreferencesPage(int index);
