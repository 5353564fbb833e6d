#include "host/ed/hostcmd_util.h"
namespace host {
void installInsertCommands() {}
void installEditCommands() {}
void resetEditCommands() {}
}  // namespace host
