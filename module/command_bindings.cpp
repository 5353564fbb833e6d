// The join of the subsystems' command handlers with the one command table.
//
// A command enters the host's command stack only once its handler is listed
// in the bindings of the subsystem that owns it, in that subsystem's
// registration unit (`<folder>/<folder>_module.cpp`):
//
//     std::span<const CommandBinding> CoreCommandBindings() {
//         static constexpr CommandBinding kBindings[] = {
//             {"VELMHELP", &CmdVelmHelp},
//         };
//         return kBindings;
//     }
//
// The tests check every list against the table (`CheckCommandBindings`).
#include "module/command_bindings.h"

#include "core/core_module.h"
#include "core/name_list.h"
#include "host/util/nocase.h"
#include "objects/objects_module.h"
#include "roofs/roofs_module.h"
#include "rooms/rooms_module.h"
#include "settings/settings_module.h"
#include "stairs/stairs_module.h"
#include "visual/visual_module.h"
#include "walls/walls_module.h"

namespace {

std::vector<CommandBinding> AllCommandBindings();

}  // namespace

std::span<const CommandBinding> CommandBindingsOf(CommandOwner owner) {
    using enum CommandOwner;
    switch (owner) {
        case Core:
            return CoreCommandBindings();
        case Settings:
            return SettingsCommandBindings();
        case Objects:
            return ObjectsCommandBindings();
        case Walls:
            return WallsCommandBindings();
        case Roofs:
            return RoofsCommandBindings();
        case Stairs:
            return StairsCommandBindings();
        case Rooms:
            return RoomsCommandBindings();
        case Visual:
            return VisualCommandBindings();
    }
    return {};
}

const std::vector<CommandEntry>& CommandTable() {
    static const std::vector<CommandEntry> table = JoinCommandTable(AllCommandBindings());
    return table;
}

const CommandEntry* FindCommand(std::string_view globalName) {
    for (const CommandEntry& row : CommandTable()) {
        if (zcutEqualsNoCase(row.globalName, globalName)) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<const CommandEntry*> CommandsWithoutHandler() {
    std::vector<const CommandEntry*> missing;
    for (const CommandEntry& row : CommandTable()) {
        if (row.handler == nullptr) {
            missing.push_back(&row);
        }
    }
    return missing;
}

void RegisterCommands(CommandSink& sink) {
    RegisterCommands(sink, CommandTable());
}

namespace {

std::vector<CommandBinding> AllCommandBindings() {
    using enum CommandOwner;
    std::vector<CommandBinding> all;
    for (int owner = static_cast<int>(Core); owner <= static_cast<int>(Visual); ++owner) {
        const auto some = CommandBindingsOf(static_cast<CommandOwner>(owner));
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

}  // namespace
