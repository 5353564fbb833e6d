// Order matters: documents close first (their notifications may still
// print), then the process-wide state is cleared.
#include "host/ed/session.h"

#include "host/ads/adsent.h"
#include "host/ads/lisp.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"

namespace host {

void resetEditorSession() {
    resetCommandProcessor();
    resetDocuments();
    resetHostCommands();
    resetSelections();
    resetEntityInterface();
    resetSessionSysVars();
    resetPrompts();
    resetLisp();
    resetStatusBar();
    transcript().clear();
    zcDocManagerPtr()->createDocument("");  // a new drawing, "Drawing1.dwg"
    transcript().clear();
}

}  // namespace host
