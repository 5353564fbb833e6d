#include "host/ed/hostcmd_util.h"
namespace host {
void installInsertCommands() {}
void installDimCommands() {}
void installEditCommands() {}
}  // namespace host
