#include "rooms/rooms_module.h"

#include <array>

#include "rooms/dialogs/dlg_gest_eti.h"
#include "rooms/dimensions/dim_chains.h"
#include "rooms/dimensions/dim_symbols.h"
#include "rooms/funline_cmd.h"
#include "rooms/labels/label_templates.h"
#include "rooms/light_deduction_cmd.h"
#include "rooms/polydeduct_cmd.h"
#include "rooms/room_calc.h"
#include "rooms/room_card_cmds.h"
#include "rooms/room_data_cmds.h"
#include "rooms/room_extract.h"
#include "rooms/room_graph.h"
#include "rooms/room_label_cmds.h"
#include "rooms/schedules/schedule_cmds.h"
#include "settings/preferences/pref_hooks.h"
#include "settings/rescale.h"

namespace {

constexpr std::array<CommandBinding, 28> kBindings{{
    {"VELMPOLYDEDUCT", &VelmPolyDeduct},
    {"VELMWABC", &VelmWAbc},
    {"VELMDABC", &VelmDAbc},
    {"VELMABC", &VelmAbc},
    {"VELMREINDEXABC", &VelmReindexAbc},
    {"VELMTOTABC", &VelmTotAbc},
    {"VELMXABC", &VelmXAbc},
    {"VELMDEFROOMD", &VelmDefRoomD},
    {"VELMEDITTAB", &VelmEditTab},
    {"VELMTOTAB", &VelmTotTab},
    {"VELMCNAMETAB", &VelmCNameTab},
    {"VELMSPACEUNIT", &VelmSpaceUnit},
    {"VELMSUNITV", &VelmSUnitV},
    {"VELMSUNITR", &VelmSUnitR},
    {"VELMVFLOOR", &VelmVFloor},
    {"VELMMODTAG", &VelmModTag},
    {"VELMREINDEXROOM", &VelmReindexRoom},
    {"VELMSHOWTAGFIX", &VelmShowTagFix},
    {"VELMINFOUNIT", &VelmInfoUnit},
    {"VELMEXTRACTR", &VelmExtractR},
    {"VELMFUNLINE", &VelmFunLine},
    {"VELMDPLAN", &VelmDPlan},
    {"VELMDROOM", &VelmDRoom},
    {"VELMDPROOM", &VelmDPRoom},
    {"VELMDELEV", &VelmDElev},
    {"VELMDV", &VelmDV},
    {"VELMDBROKEN", &VelmDBroken},
    {"VELMLIGHTDEDUCTION", &CmdLightDeduction},
}};

// The room family of the print-scale update, one entity at a time.
bool RebuildForRescale(RoomRebuild what, const ads_name entity, double level) {
    switch (what) {
        case RoomRebuild::kLabel: {
            CCALCVANI room;
            room.level = level;
            room.LoadFromLabel(entity, nullptr, nullptr, -1, -1, false);
            return true;
        }
        case RoomRebuild::kCard:
            return RebuildRoomCard(entity, level);
        case RoomRebuild::kSchedule:
            return RebuildSchedule(entity);
    }
    return false;
}

}  // namespace

std::span<const CommandBinding> RoomsCommandBindings() {
    return kBindings;
}

void RegisterRoomsModule() {
    SetLabelTemplateNameHook([](const std::string& name) { return MapLabelTemplateName(name); });
    SetRoomRebuildHook(&RebuildForRescale);
    SetDimensionSymbolHook([](const Point3& at, double rotation, double length, int decimals,
                              const std::string& name, double elevation) {
        return CreateDimensionSymbol(at, rotation, length, decimals, name, elevation);
    });
}

void UnregisterRoomsModule() {
    SetDimensionSymbolHook(nullptr);
    DropKeptRoomGraphs();
    SetRoomRebuildHook(nullptr);
    SetLabelTemplateNameHook(nullptr);
}
