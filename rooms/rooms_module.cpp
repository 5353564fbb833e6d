#include "rooms/rooms_module.h"

#include <array>

#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "rooms/dialogs/dlg_gest_eti.h"
#include "rooms/label_templates.h"
#include "rooms/polydeduct_cmd.h"
#include "rooms/room_card_cmds.h"
#include "rooms/room_data_cmds.h"
#include "rooms/schedules/schedule_cmds.h"
#include "rooms/slab_readers.h"
#include "settings/preferences/pref_hooks.h"

namespace {

constexpr std::array<CommandBinding, 15> kBindings{{
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
}};

}  // namespace

std::span<const CommandBinding> RoomsCommandBindings() {
    return kBindings;
}

void RegisterRoomsModule() {
    SlabReaders readers;
    readers.getSlabOutlineVertices = &GetSlabOutlineVertices;
    readers.readOpeningPolygon = &ReadOpeningPolygon;
    SetSlabReadersHook(readers);
    SetLabelTemplateNameHook([](const std::string& name) { return MapLabelTemplateName(name); });
}

void UnregisterRoomsModule() {
    SetLabelTemplateNameHook(nullptr);
    SetSlabReadersHook(SlabReaders{});
}
