// The module's entry point: the host sends it one message code per event
// (1 start-up, 2 unload, 3 drawing load, 4 drawing unload, 5 LISP call).
// The answer is 0 (accepted) for every code, except that a LISP function
// which reported an error is answered with the host's error code, so the
// host can tell the caller the call failed.
#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"
#include "module/lifecycle.h"
#include "module/lisp_functions.h"

extern "C" int zcrxEntryPoint(int msg, void* appId) {
    switch (msg) {
        case kInitAppMsg:
            StartModule(appId);
            break;
        case kUnloadAppMsg:
            UnloadModule();
            break;
        case kLoadDwgMsg:
            OnDrawingLoad();
            break;
        case kUnloadDwgMsg:
            OnDrawingUnload();
            break;
        case kInvkSubrMsg:
            if (DispatchLispFunction() == RTERROR) return ZcRx::kRetError;
            break;
        default:
            break;
    }
    return ZcRx::kRetOK;
}

// The version of the extension interface the module was built for.
extern "C" int zcrxGetApiVersion() {
    return 1;
}
