// The floor and view panes. See panes.h for what they show and offer.
#include "settings/panes.h"

#include <cmath>

#include "core/host_services.h"
#include "host/ed/docman.h"
#include "host/ui/dc.h"
#include "host/ui/menu.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/editor_steps.h"
#include "settings/floor_cmds_run.h"
#include "settings/viewmode.h"
#include "settings/viewmode_cmds.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr UINT kMenuResource = 324;
constexpr UINT kBitmapAllOn = 58112;
constexpr UINT kBitmapPick = 320;
constexpr UINT kBitmapOff = 321;

double CurrentFloor() {
    return SettingReal(SetupVar::SQPAV);
}
int StoredViewMode() {
    return SettingInt(SetupVar::VXDSTATE);
}
int Tilemode() {
    return SysVarShort("TILEMODE", nullptr);
}

// The current document is write-locked while a menu choice changes it.
class DocumentWriteLock {
public:
    DocumentWriteLock() : doc_(curDoc()) {
        if (doc_ && zcDocManagerPtr()->lockDocument(doc_, ZcAp::kWrite) != eEdOk) doc_ = nullptr;
    }
    ~DocumentWriteLock() {
        if (doc_) zcDocManagerPtr()->unlockDocument(doc_);
    }
    DocumentWriteLock(const DocumentWriteLock&) = delete;
    DocumentWriteLock& operator=(const DocumentWriteLock&) = delete;

private:
    ZcApDocument* doc_;
};

// The pane menus start from resource 324 (one popup with a placeholder);
// without it, from an empty popup.
CMenu* StartPopup(CMenu& bar) {
    if (bar.LoadMenu(kMenuResource)) {
        if (CMenu* popup = bar.GetSubMenu(0)) {
            while (popup->GetMenuItemCount() > 0) popup->DeleteMenu(0, MF_BYPOSITION);
            return popup;
        }
        bar.DestroyMenu();
    }
    bar.CreatePopupMenu();
    return &bar;
}

}  // namespace

std::vector<FloorLabel> BuildFloorLabels(const VELM_PIANI& floors, double sqpav, double sftmtcm) {
    const int decimals = ElevationDecimals(sftmtcm);
    std::vector<FloorLabel> labels;
    for (const AA_PIANO& floor : floors.piani.floors) {
        FloorLabel label{host::formatFixed(floor.elevation, decimals), floor.elevation,
                         std::abs(floor.elevation - sqpav) < kLevelEpsilon};
        auto at = labels.begin();
        bool repeated = false;
        for (; at != labels.end(); ++at) {
            if (zcutEqualsNoCase(at->text, label.text)) {
                repeated = true;
                break;
            }
            if (label.text < at->text) break;
        }
        if (!repeated) labels.insert(at, std::move(label));
    }
    return labels;
}

int ViewModeOfMenuId(unsigned int id, int stored) {
    switch (id) {
        case kViewMenu3D:
            return kViewMode3D;
        case kViewMenu2D:
            return kViewMode2D;
        case kViewMenuBoth:
            return kViewModeBoth;
        default:
            return stored;
    }
}

void SwitchAllFloorsOn(VELM_PIANI& floors) {
    for (AA_PIANO& floor : floors.piani.floors) floor.visible = true;
}

void SwitchOnlyFloor(VELM_PIANI& floors, double elevation) {
    for (AA_PIANO& floor : floors.piani.floors)
        floor.visible = std::abs(floor.elevation - elevation) < kLevelEpsilon;
}

// ------------------------------------------------------------- floor pane

CPaneQpav::CPaneQpav() {
    SetToolTipText("Bieżąca podłoga i wizualizacja piętra");
    SetStyle(ZCSB_NOBORDERS);
    SetText(kFloorPaneLabel);
}

void CPaneQpav::OnLButtonDown(unsigned int nFlags, ZcPanePoint point) {
    ZcPane::OnLButtonDown(nFlags, point);
    ShowFloorMenu(true);
}

void CPaneQpav::OnRButtonDown(unsigned int nFlags, ZcPanePoint point) {
    ZcPane::OnLButtonDown(nFlags, point);
    ShowFloorMenu(false);
}

void CPaneQpav::OnLButtonDblClk(unsigned int, ZcPanePoint) {}

void CPaneQpav::ShowFloorMenu(bool leftButton) {
    std::vector<FloorLabel> labels;
    DocumentWriteLock lock;
    const double sqpav = CurrentFloor();
    const double unit = DrawingUnitFactor();
    // The list is brought up to date with the layers before it is shown.
    EditFloors([&](VELM_PIANI& floors) {
        floors.ReadFloorVisibility(WorkingDrawing(), 275.0 * unit);
        labels = BuildFloorLabels(floors, sqpav, unit);
    });

    CMenu bar;
    CMenu* popup = StartPopup(bar);
    CBitmap allOn, pick, off;
    allOn.LoadBitmap(kBitmapAllOn);
    pick.LoadBitmap(kBitmapPick);
    off.LoadBitmap(kBitmapOff);
    popup->AppendMenu(MF_BITMAP, kFloorMenuAllOn, &allOn);
    popup->AppendMenu(MF_BITMAP, kFloorMenuPick, &pick);
    popup->AppendMenu(MF_BITMAP, kFloorMenuOff, &off);
    popup->AppendMenu(MF_SEPARATOR);
    for (std::size_t i = 0; i < labels.size(); ++i)
        popup->AppendMenu(MF_STRING | (labels[i].current ? MF_CHECKED : MF_UNCHECKED),
                          kFloorMenuFirstFloor + i, labels[i].text);

    const unsigned int id = DisplayPopupPaneMenu(*popup);
    if (id == kFloorMenuAllOn) {
        const int tilemode = Tilemode();
        EditFloors([&](VELM_PIANI& floors) {
            SwitchAllFloorsOn(floors);
            ApplyFloorFlags(floors, tilemode);
        });
        if (tilemode != 0) QueueCommand("_REGEN\n");
    } else if (id == kFloorMenuPick) {
        CmdCurrentFloor();
        QueueCommand("_REDRAW\n");
    } else if (id == kFloorMenuOff) {
        CmdFloorOff();
        QueueCommand("_REDRAW\n");
    } else if (id >= kFloorMenuFirstFloor && id - kFloorMenuFirstFloor < labels.size()) {
        const double chosen = labels[id - kFloorMenuFirstFloor].elevation;
        SetSettingReal(SetupVar::SQPAV, chosen);
        if (leftButton) {
            const int tilemode = Tilemode();
            EditFloors([&](VELM_PIANI& floors) {
                const VELM_PIANI stored = floors;
                SwitchOnlyFloor(floors, chosen);
                ApplyFloorFlags(floors, tilemode);
                // In paper space only the viewport changes: the stored
                // flags go back as they were.
                if (tilemode == 0) floors = stored;
            });
            QueueCommand("_REGEN\n");
        }
    }
    UpdateFloorPane();
}

// -------------------------------------------------------------- view pane

CPaneVista::CPaneVista() {
    SetToolTipText("Wizualizacja przedstawienia 2D/3D");
    SetStyle(ZCSB_NOBORDERS);
    SetText("2D+3D");
}

void CPaneVista::OnLButtonDown(unsigned int nFlags, ZcPanePoint point) {
    ZcPane::OnLButtonDown(nFlags, point);
    const int stored = StoredViewMode();
    CMenu bar;
    CMenu* popup = StartPopup(bar);
    popup->AppendMenu(MF_STRING | (stored == kViewMode3D ? MF_CHECKED : 0), kViewMenu3D,
                      "Trójwymiarowe (3D)");
    popup->AppendMenu(MF_STRING | (stored == kViewMode2D ? MF_CHECKED : 0), kViewMenu2D, "Dwuwymiarowe (2D)");
    popup->AppendMenu(MF_STRING | (stored == kViewModeBoth ? MF_CHECKED : 0), kViewMenuBoth,
                      "Obydwa (2D+3D)");
    const unsigned int id = DisplayPopupPaneMenu(*popup);
    const int tilemode = Tilemode();
    const int mode = ViewModeOfMenuId(id, stored);
    DocumentWriteLock lock;
    ApplyViewMode(tilemode, mode);
    if (tilemode != 0) SetSettingInt(SetupVar::VXDSTATE, mode);
    QueueCommand("_REGEN\n");
    UpdateViewPane();
}

// ------------------------------------------------------- creation, update

void CreateFloorPane() {
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    if (!bar || FloorPaneSlot()) return;
    FloorPaneSlot() = new CPaneQpav;
    bar->Insert(1, FloorPaneSlot(), true);
}

void CreateViewPane() {
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    if (!bar || ViewPaneSlot()) return;
    ViewPaneSlot() = new CPaneVista;
    bar->Insert(0, ViewPaneSlot(), true);
}

// The bar does not own its panes: the pane is deleted once it is off the bar.
void RemoveFloorPane() {
    if (ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar(); bar && FloorPaneSlot())
        bar->Remove(FloorPaneSlot(), true);
    delete FloorPane();
    FloorPaneSlot() = nullptr;
}

void RemoveViewPane() {
    if (ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar(); bar && ViewPaneSlot())
        bar->Remove(ViewPaneSlot(), true);
    delete ViewPane();
    ViewPaneSlot() = nullptr;
}

// Only the panes made here ever fill the slots.
CPaneQpav* FloorPane() {
    return static_cast<CPaneQpav*>(FloorPaneSlot());
}
CPaneVista* ViewPane() {
    return static_cast<CPaneVista*>(ViewPaneSlot());
}
