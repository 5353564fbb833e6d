// The script lines that open every dialog of the module on the house of
// house_fixture.h: each bound command alone, and the dialogs reached only
// after a prompt or two, from another dialog, or after choosing a row or an
// object. The walks over all dialogs run each of them on a fresh copy of
// the house, with a driver of their own answering whatever opens.
#pragma once

#include <string>
#include <vector>

#include "module/command_bindings.h"

// One run: the lines that open the dialogs; for the walls' 3D palette,
// which stays open past its command, the lines after it is driven.
struct WalkRun {
    std::vector<std::string> lines;
    std::vector<std::string> afterPalette = {};
};

// The palette of the walls' 3D settings: modeless, it takes its fields with
// its Apply.
inline constexpr unsigned kWallPalette = 156;
inline constexpr int kWallPaletteApply = 1230;

inline std::vector<std::string> BoundCommands() {
    std::vector<std::string> names;
    for (const CommandEntry& row : CommandTable())
        if (row.handler) names.push_back(row.globalName);
    return names;
}

inline std::vector<WalkRun> DialogOpeningRuns() {
    std::vector<WalkRun> runs;
    for (const std::string& command : BoundCommands()) runs.push_back({{command}});
    runs.push_back({{"VELMOBJECT", "P1", "Modyfikuj"}});
    runs.push_back({{"VELMSTAIRDEF", "1500,0", "1500,300", "Utwórz"}});
    runs.push_back({{"!dialog 226 click 1207", "VELMSTAIRDEF", "1500,0", "1500,300", "Utwórz"}});
    runs.push_back({{"VELMMODIFY", "!pick 200,15"}});
    runs.push_back({{"!dialog 1016 page 0 click 1042", "VELMOPTIONS"}});
    runs.push_back({{"!dialog 214 click 1115", "VELMCATBLOCK"}});
    runs.push_back({{"VELMEDITSLABS", "!pick 700,200"}});
    runs.push_back({{"VELMLIGHTDEDUCTION", "C", "560,150", "620,250", ""}});
    runs.push_back({{"!dialog 129 select 1021 0 click 1003 ok", "VELMDEFMXT"}});
    runs.push_back({{"!dialog 129 select 1021 \"Tynk\" click 1003 ok", "VELMDEFMXT"}});
    runs.push_back({{"VELMOBJECTREP", "F1", "C", "560,150", "620,250", ""}});
    runs.push_back({{"!dialog file edit 1152 \"F1.txt\" ok", "VELMTIPOF", ""}});
    runs.push_back({{"!dialog 315 click 4", "VELMZPROF", "1000,-300", "1400,-300", "1400,-100", "1000,-100",
                     "", "", "VELMEZPROF", "1200,-300"}});
    runs.push_back({{"!select 300,0 600,200", "VELMDDWALL"}, {"VELMWALL3D", ""}});
    return runs;
}
