// What only the host program's script driver and the tests use: putting
// the whole host back to a fresh start. Module code never includes this
// header (tools/check_layers.py refuses it outside host/, app/, tests/,
// bench/ and fuzz/).
#pragma once

namespace host {

// Every piece of host state back to how a new process finds it: documents
// closed (none open: resetEditorSession opens a new one), the start-up
// wiring undone (startHost puts it back), the host's own commands as
// installed, the command processor, input queues, prompts, selections,
// system variables, LISP functions, status bar, transcript, temporary
// graphics, dialog drivers, queued answers and records, the script
// directives and their counts. Registered classes, commands, resources and
// reactors stay with their owners, who remove them when they unload.
void resetAll();

}  // namespace host
