// The module's command table and its registration with the host.
//
// One data table holds the module's 138 commands in registration order:
// position, global name, local name, flags and the subsystem that owns the
// handler. Handlers are not written into the table: each subsystem lists the
// handlers it has built as {global name, handler} pairs (its
// `...CommandBindings` function, in its registration unit), and the module
// joins those lists once (module/command_bindings.h), so a
// command without a built handler simply keeps a null handler and is not
// registered. Registration goes through `CommandSink`, a narrow view of the
// host's command stack, so the module does not depend on how the host keeps
// its commands.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/util/adscodes.h"

using CommandHandler = void (*)();

// The subsystem whose code provides a command's handler.
enum class CommandOwner : int {
    Core = 1,
    Settings = 2,
    Objects = 3,
    Walls = 4,
    Roofs = 5,
    Stairs = 6,
    Rooms = 7,
    Visual = 8,
};

// Flag values as the host's command stack takes them.
inline constexpr int kCmdModal = ZCRX_CMD_MODAL;
inline constexpr int kCmdTransparent = ZCRX_CMD_TRANSPARENT;
// Takes over the selection made before the command started, and redraws.
inline constexpr int kCmdPickFirst = ZCRX_CMD_USEPICKSET | ZCRX_CMD_REDRAW;

// The command group of every command; also the application name of the
// module's custom classes.
inline constexpr const char* kCommandGroup = "VELM7";
inline constexpr int kCommandCount = 138;

struct CommandEntry {
    int position;  // 1-based registration position
    const char* globalName;
    const char* localName;
    int flags;
    CommandOwner owner;
    CommandHandler handler;  // null while the command is not built
};

struct CommandBinding {
    const char* globalName;
    CommandHandler handler;
};

// The 138 rows in registration order, every handler null.
std::span<const CommandEntry> CommandDefinitions();

// The rows with the handlers of `bindings` filled in by global name; the
// first binding of a name wins and bindings of unknown names are ignored
// (`CheckCommandBindings` reports both).
std::vector<CommandEntry> JoinCommandTable(std::span<const CommandBinding> bindings);

// Faults in one subsystem's bindings, one message each: a name that is not
// in the table, a command owned by another subsystem, a null handler, a name
// bound twice. Empty when the bindings are sound.
std::vector<std::string> CheckCommandBindings(CommandOwner owner, std::span<const CommandBinding> bindings);

// What registration needs of the host's command stack.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    virtual void addCommand(const char* group, const char* globalName, const char* localName, int flags,
                            CommandHandler handler) = 0;
};

// Adds every command of `table` that has a handler to `sink`, in table
// order, in the group "VELM7".
void RegisterCommands(CommandSink& sink, std::span<const CommandEntry> table);
