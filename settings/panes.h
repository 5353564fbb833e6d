// The two status-bar panes: the floor pane shows the current floor and
// offers a menu (every floor on, pick the current floor, switch a floor off,
// and one item per floor); the view pane shows the 2D/3D view mode and
// offers the three modes.
//
// The texts, the floor labels and what a chosen item does to the floor list
// are plain functions, so they are checked without a status bar. The panes
// read the settings store (SQPAV, SFTMTCM, VXDSTATE), the floor list,
// TILEMODE and the current viewport, and queue their commands on the
// current document.
//
// A floor item keeps the elevation it was built from; the shown label is
// never parsed back, so a floor whose elevation has more decimals than its
// label is still the floor chosen.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/ed/statusbar.h"
#include "settings/floors.h"
#include "settings/pane_texts.h"

// One floor item of the menu: its label, the elevation it stands for and
// whether it is the current floor.
struct FloorLabel {
    std::string text;
    double elevation = 0.0;
    bool current = false;
};

// Labels in ascending order of their character codes, labels equal
// ignoring case given once (the first floor's elevation kept).
std::vector<FloorLabel> BuildFloorLabels(const VELM_PIANI& floors, double sqpav, double sftmtcm);

// Menu ids of the floor pane and the view pane.
enum : unsigned int {
    kFloorMenuAllOn = 1,
    kFloorMenuPick = 2,
    kFloorMenuOff = 3,
    kFloorMenuFirstFloor = 5,
    kViewMenu3D = 1,
    kViewMenu2D = 2,
    kViewMenuBoth = 3,
};

// The mode a view-menu answer chooses: the stored mode when dismissed.
int ViewModeOfMenuId(unsigned int id, int stored);

// The floor list after "every floor on", and after choosing a floor with the
// left button (only floors within 2^-23 of `elevation` on).
void SwitchAllFloorsOn(VELM_PIANI& floors);
void SwitchOnlyFloor(VELM_PIANI& floors, double elevation);

class CPaneQpav : public ZcPane {
public:
    CPaneQpav();
    void OnLButtonDown(unsigned int nFlags, ZcPanePoint point) override;
    void OnRButtonDown(unsigned int nFlags, ZcPanePoint point) override;
    void OnLButtonDblClk(unsigned int nFlags, ZcPanePoint point) override;

private:
    void ShowFloorMenu(bool leftButton);
};

class CPaneVista : public ZcPane {
public:
    CPaneVista();
    void OnLButtonDown(unsigned int nFlags, ZcPanePoint point) override;
};

void CreateFloorPane();
void CreateViewPane();
void RemoveFloorPane();
void RemoveViewPane();

// The panes on the bar, null while they do not exist.
CPaneQpav* FloorPane();
CPaneVista* ViewPane();
