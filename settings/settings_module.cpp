#include "settings/settings_module.h"

#include "host/rx/rxobject.h"
#include "settings/floor_cmds_run.h"
#include "settings/floors.h"
#include "settings/matpov.h"
#include "settings/preferences/opz_aper.h"
#include "settings/preferences/pref_sheet.h"
#include "settings/rescale.h"
#include "settings/setvar_drawing.h"
#include "settings/viewmode_cmds.h"
#include "store/settings_store.h"

std::span<const CommandBinding> SettingsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMSETVAR", &CmdVelmSetVar},      {"VELMFLOORV", &CmdFloorPlates},
        {"VELMROOFV", &CmdRoofPlates},       {"VELMVPSCALE", &CmdViewportScale},
        {"VELMASSIGNZ", &CmdAssignZ},        {"VELMMOVEZ", &CmdMoveZ},
        {"VELMVXD", &CmdViewMode},           {"VELMFLOORTRANS", &CmdFloorTransfer},
        {"VELMCFLOOR", &CmdCurrentFloor},    {"VELMFLOOROFF", &CmdFloorOff},
        {"VELMFLOORSEL", &CmdFloorSelect},   {"VELMSCALEF", &CmdScaleFactors},
        {"VELMOPTIONS", &CmdPreferences},    {"VELMFLOOROPTIONS", &CmdFloorPreferences},
        {"VELMOPENSET", &CmdOpeningOptions},
    };
    return kBindings;
}

// The nine settings classes in the order the module registers them (the
// floors between the store's own); unload removes them in the same order.
void RegisterSettingsModule() {
    VELM_SETUP::rxInit();
    VELM_LIBOBJOPT::rxInit();
    VELM_FSCALA::rxInit();
    VELM_GENGRUPPO::rxInit();
    VELM_LAYEROMBRA::rxInit();
    VELM_PIANI::rxInit();
    VELM_LAYERMURI::rxInit();
    VELM_SPESSMURI::rxInit();
    VELM_MATPOV::rxInit();
    zcrxBuildClassHierarchy();
    // The preferences sheet opens on its first page in a new session.
    SetLastPreferencesPage(0);
}

void UnregisterSettingsModule() {
    VELM_SETUP::rxUninit();
    VELM_LIBOBJOPT::rxUninit();
    VELM_FSCALA::rxUninit();
    VELM_GENGRUPPO::rxUninit();
    VELM_LAYEROMBRA::rxUninit();
    VELM_PIANI::rxUninit();
    VELM_LAYERMURI::rxUninit();
    VELM_SPESSMURI::rxUninit();
    VELM_MATPOV::rxUninit();
}
