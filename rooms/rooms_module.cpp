#include "rooms/rooms_module.h"

#include <array>

#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "rooms/label_templates.h"
#include "rooms/polydeduct_cmd.h"
#include "rooms/slab_readers.h"
#include "settings/preferences/pref_hooks.h"

namespace {

constexpr std::array<CommandBinding, 1> kBindings{{
    {"VELMPOLYDEDUCT", &VelmPolyDeduct},
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
