// One call that puts the whole editor back to a fresh session: documents
// closed (a new empty one opened), queues, transcript, system variables,
// prompts, LISP functions, running commands, status bar. Reactors and
// registered commands belong to their owners and are left alone.
#pragma once

namespace host {
void resetEditorSession();
}
