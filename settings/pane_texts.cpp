// What the panes show and their refresh. See pane_texts.h.
#include "settings/pane_texts.h"

#include <cmath>

#include "host/win/textutil.h"
#include "settings/viewmode.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

int ElevationDecimals(double sftmtcm) {
    if (!(sftmtcm > 0.0)) return 1;
    const double l = std::log10(sftmtcm);
    if (l > 1e-12) return 1;
    // log10 of 0.1 or 0.01 may land a hair above the whole number.
    return 1 - static_cast<int>(std::trunc(l - 1e-9));
}

std::string FloorPaneText(double sqpav, double sftmtcm) {
    return std::string(kFloorPaneLabel) + host::formatFixed(sqpav, ElevationDecimals(sftmtcm));
}

std::optional<std::string> ViewPaneText(int vxdstate) {
    switch (vxdstate) {
        case kViewMode2D:
            return std::string("Widok:2D");
        case kViewMode3D:
            return std::string("Widok:3D");
        case kViewModeBoth:
            return std::string("Widok:2D+3D");
        default:
            return std::nullopt;
    }
}

namespace {

// The two panes the module puts on the status bar, null while they are off.
struct StatusPanes {
    ZcPane* floor = nullptr;
    ZcPane* view = nullptr;
};

StatusPanes& Panes() {
    static StatusPanes panes;
    return panes;
}

}  // namespace

ZcPane*& FloorPaneSlot() {
    return Panes().floor;
}

ZcPane*& ViewPaneSlot() {
    return Panes().view;
}

void UpdateFloorPane() {
    ZcPane* pane = FloorPaneSlot();
    if (!pane) return;
    pane->SetText(FloorPaneText(SettingReal(SetupVar::SQPAV), DrawingUnitFactor()).c_str());
    if (ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar()) bar->Update();
}

void UpdateViewPane() {
    ZcPane* pane = ViewPaneSlot();
    if (!pane) return;
    if (std::optional<std::string> text = ViewPaneText(SettingInt(SetupVar::VXDSTATE)))
        pane->SetText(text->c_str());
    if (ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar()) bar->Update();
}
