#include "host/ed/hostcmd_util.h"
namespace host {
void installInsertCommands() {}
void installEditCommands() {}
}  // namespace host
