#include "rooms/rooms_module.h"

#include <array>

#include "objects/placement/insert_run.h"
#include "objects/placement/modify_regen.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "rooms/dialogs/dlg_gest_eti.h"
#include "rooms/labels/label_templates.h"
#include "rooms/object_run.h"
#include "rooms/polydeduct_cmd.h"
#include "rooms/room_calc.h"
#include "rooms/room_card_cmds.h"
#include "rooms/room_data_cmds.h"
#include "rooms/schedules/schedule_cmds.h"
#include "rooms/slab_readers.h"
#include "settings/preferences/pref_hooks.h"
#include "settings/rescale.h"

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

// The object library's run as the labels, cards and schedules call it.
int InsertForRooms(ObjContext& context, int /*flag*/, Point3* presetPoint) {
    // The preset point (a room's interior point) is where the label stays
    // when the user answers the placement prompt with Enter.
    if (presetPoint) {
        context.insertionPoint[0] = presetPoint->x;
        context.insertionPoint[1] = presetPoint->y;
        context.host.basePoint = *presetPoint;
        context.host.hasBasePoint = true;
    }
    InsertParamObject(context, nullptr, nullptr, 1);
    if (presetPoint) presetPoint->z = context.insertionPoint[2];
    return context.blockName.empty() ? RTERROR : RTNORM;
}
int PlaceForRooms(ObjContext& context) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile(context.layerDefFile);
    PlaceParamObject(context, layers, nullptr);
    return context.blockName.empty() ? RTERROR : RTNORM;
}
int RegenForRooms(const ads_name entity, const AAR_LAYERC& layers) {
    RegenParamObject(entity, layers, nullptr, -1, nullptr, nullptr);
    return RTNORM;
}

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
    SlabReaders readers;
    readers.getSlabOutlineVertices = &GetSlabOutlineVertices;
    readers.readOpeningPolygon = &ReadOpeningPolygon;
    SetSlabReadersHook(readers);
    SetLabelTemplateNameHook([](const std::string& name) { return MapLabelTemplateName(name); });
    SetObjectRunHook({&InsertForRooms, &PlaceForRooms, &RegenForRooms});
    SetRoomRebuildHook(&RebuildForRescale);
}

void UnregisterRoomsModule() {
    SetRoomRebuildHook(nullptr);
    SetObjectRunHook({});
    SetLabelTemplateNameHook(nullptr);
    SetSlabReadersHook(SlabReaders{});
}
