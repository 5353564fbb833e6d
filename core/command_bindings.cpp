// The command handlers each subsystem has built, by global name.
//
// A command enters the host's command stack only once its handler is listed
// here, in the list of the subsystem that owns it; the command table joins
// these lists (command_table.h). A subsystem adds one row per handler:
//
//     std::span<const CommandBinding> CoreCommandBindings() {
//         static constexpr CommandBinding kBindings[] = {
//             {"VELMHELP", &CmdHelp},
//         };
//         return kBindings;
//     }
//
// A subsystem may move its function into its own folder; the declaration
// stays in command_table.h. The tests check every list against the table.
#include "core/command_table.h"
#include "core/help_cmd.h"
#include "settings/floor_cmds_run.h"
#include "settings/setvar_drawing.h"
#include "settings/viewmode_cmds.h"

std::span<const CommandBinding> CoreCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMHELP", &CmdVelmHelp},
    };
    return kBindings;
}

std::span<const CommandBinding> SettingsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMSETVAR", &CmdVelmSetVar},
        {"VELMFLOORV", &CmdFloorPlates},     {"VELMROOFV", &CmdRoofPlates},
        {"VELMVPSCALE", &CmdViewportScale},  {"VELMASSIGNZ", &CmdAssignZ},
        {"VELMMOVEZ", &CmdMoveZ},            {"VELMVXD", &CmdViewMode},
        {"VELMFLOORTRANS", &CmdFloorTransfer}, {"VELMCFLOOR", &CmdCurrentFloor},
        {"VELMFLOOROFF", &CmdFloorOff},      {"VELMFLOORSEL", &CmdFloorSelect},
    };
    return kBindings;
}

std::span<const CommandBinding> ObjectsCommandBindings() { return {}; }

std::span<const CommandBinding> WallsCommandBindings() { return {}; }

std::span<const CommandBinding> StairsCommandBindings() { return {}; }

std::span<const CommandBinding> RoomsCommandBindings() { return {}; }

std::span<const CommandBinding> VisualCommandBindings() { return {}; }
