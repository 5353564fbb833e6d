// View-mode operations on the current drawing. See viewmode_cmds.h.
#include "settings/viewmode_cmds.h"

#include "core/host_services.h"
#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/ed/prompts.h"
#include "host/ed/viewport.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/editor_steps.h"
#include "settings/floors_edit.h"
#include "settings/pane_texts.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

int Tilemode() {
    return SysVarShort("TILEMODE", nullptr);
}
int Cvport() {
    return SysVarShort("CVPORT", nullptr);
}
ZcDbObjectId CurrentViewport() {
    return zcedGetCurViewportObjectId();
}

std::optional<std::vector<std::string>> ReadListFile(const std::string& name) {
    bool notText = false;
    std::optional<std::vector<std::string>> lines = ReadSupportLines(name, &notText);
    if (!lines && !notText) zcutPrintf("\n%s:%s\n", "Pliku nie znaleziono", name.c_str());
    return lines;
}

void RunCommand(const std::vector<std::string>& answers) {
    RunQuiet(answers);
}

}  // namespace

std::optional<VxdLists> LoadVxdLists() {
    std::optional<std::vector<std::string>> lines = ReadListFile(kVxdListFile);
    if (!lines) return std::nullopt;
    if (std::optional<SupportFault> fault = VxdListFault(*lines)) {
        if (std::optional<std::string> path = FindSupportFile(kVxdListFile))
            ReportSupportFault(*path, *fault);
        return std::nullopt;
    }
    return ParseVxdLines(*lines);
}

void ApplyViewMode(int tilemode, int mode, int apply) {
    (void)apply;  // every caller applies
    if (Cvport() == 1) return;
    const std::optional<VxdLists> lists = LoadVxdLists();
    if (!lists) return;
    ZcDbDatabase* db = WorkingDrawing();
    if (tilemode != 0) {
        ApplyViewModeLists(db, *lists, tilemode, mode, {}, nullptr);
        return;
    }
    bool applied = false;
    EditFloors([&](VELM_PIANI& floors) {
        ApplyViewModeLists(db, *lists, 0, mode, CurrentViewport(), &floors);
        applied = true;
    });
    if (!applied) ApplyViewModeLists(db, *lists, 0, mode, CurrentViewport(), nullptr);
}

void ApplyFloorToCurrentViewport(const AA_PIANO& floor, const VELM_PIANI& floors) {
    const int cvport = Cvport();
    if (cvport == 1) return;
    const VxdLists lists = LoadVxdLists().value_or(VxdLists{});
    ApplyViewportVisibility(floor, floors, WorkingDrawing(), CurrentViewport(), cvport, lists);
}

void ApplyFloorFlags(const VELM_PIANI& floors, int tilemode) {
    if (tilemode != 0) {
        UpdateFloorLayers(floors, WorkingDrawing());
        return;
    }
    for (const AA_PIANO& floor : floors.piani.floors) ApplyFloorToCurrentViewport(floor, floors);
}

void OnTilemodeChanged(const std::string& variable) {
    if (!zcutEqualsNoCase(variable, "tilemode")) return;
    const int tilemode = Tilemode();
    const int before = SettingInt(SetupVar::APPOGGIOCOM);
    if (before == tilemode) return;
    const double unit = DrawingUnitFactor();
    EditFloors([&](VELM_PIANI& floors) {
        ZcDbDatabase* db = WorkingDrawing();
        if (before == 1 && tilemode == 0) {
            floors.ReadFloorVisibility(db, 275.0 * unit);
            floors.ThawFloorLayers(db);
            ApplyViewMode(1, kViewModeBoth);
        } else if (before == 0 && tilemode == 1) {
            UpdateFloorLayers(floors, db);
            ApplyViewMode(1, SettingInt(SetupVar::VXDSTATE));
        }
    });
}

void RefreshViewMode() {
    if (SettingInt(SetupVar::SETMODVISTA) == 0) return;
    const int tilemode = Tilemode();
    const ZcGeVector3d dir = ViewDirection();
    const int mode = ViewModeForDirection(dir);
    ApplyViewMode(tilemode, mode);
    if (tilemode != 0) SetSettingInt(SetupVar::VXDSTATE, mode);
    if (mode == kViewMode2D) RunCommand({"_SHADEMODE", "_2"});
    if (tilemode == 0) RunCommand({"_REGEN"});
    UpdateViewPane();
    RunCommand({"_REDRAW"});
}

void CmdViewMode() {
    const int tilemode = Tilemode();
    zcedInitGet(RSG_NONULL, "2D 3D Obydwa");
    char answer[64] = {};
    const int status = zcedGetKword("\nWidok [2D/3D/Obydwa]:", answer);
    if (status != RTNORM && status != RTKWORD) return;
    int mode = kViewModeBoth;
    if (zcutEqualsNoCase(answer, "2D"))
        mode = kViewMode2D;
    else if (zcutEqualsNoCase(answer, "3D"))
        mode = kViewMode3D;
    ApplyViewMode(tilemode, mode);
    if (tilemode != 0) {
        SetSettingInt(SetupVar::VXDSTATE, mode);
    } else {
        RunCommand({"_REGEN"});
    }
    UpdateViewPane();
}

void ToggleLayerList(const std::string& fileName, const std::string& prompt) {
    const int tilemode = Tilemode();
    if (Cvport() == 1) {
        zcutPrintf("\nPolecenie to nie może być stosowane w obszarze papieru");
        return;
    }
    zcedInitGet(0, "Wł. Wył.");
    char answer[64] = {};
    const int status = zcedGetKword(prompt.c_str(), answer);
    if (status != RTNORM && status != RTKWORD && status != RTNONE) return;
    const bool on = status != RTNONE && zcutEqualsNoCase(answer, "Wł.");
    std::optional<std::vector<std::string>> lines = ReadListFile(fileName);
    if (!lines) return;
    SwitchLayerList(WorkingDrawing(), ParsePatternLines(*lines), tilemode, on, CurrentViewport());
}

void CmdRoofPlates() {
    ToggleLayerList(kRoofPlateListFile, "\nPłyty dachowe [Wł. Wył.]<Wył.>:");
}

void CmdFloorPlates() {
    ToggleLayerList(kFloorPlateListFile, "\nPłyty podłogowe [Wł. Wył.]<Wył.>:");
}
