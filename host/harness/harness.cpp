// Order matters: the documents close while the start-up wiring that made
// their databases is still in place; only then is the wiring undone and the
// rest of the process-wide state cleared.
#include "host/harness/harness.h"

#include "host/db/dbmain.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/inputqueue.h"
#include "host/ed/session.h"
#include "host/ui/driver.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"

namespace host {

void resetAll() {
    resetEditorSession();
    reinstallHostCommands();
    resetDocuments();
    zcdbSetCurDwg(nullptr);
    stopHost();
    zcui::ResetUi();
    setDirectiveHandler(nullptr);
    setInputSource(nullptr);
    setSettingLookup(nullptr);
    resetExpectationFailures();
    transcript().clear();
    // What the last session wrote for itself is gone with it.
    removeTemporaryFolder();
    forgetKeptFileValues();
    forgetFilesAsRead();
    takeNotesForCommandLine();
}

}  // namespace host
