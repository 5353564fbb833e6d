// LISP definition and dispatch. The dispatch keeps the call's edits in one
// undo group and its host commands silent; both are put back whatever the
// server does, so a failing function still leaves a closed group and the
// user's CMDECHO.
#include "module/lisp_functions.h"

#include <string>

#include "host/ads/cmdline.h"
#include "host/ads/lisp.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ui/resources.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_layerc.h"
#include "settings/setvar_drawing.h"

namespace {

constexpr unsigned kCannotDefineString = 1040;

const LispFunctionEntry kLispFunctions[] = {
    {"c:ddlcolor", &ddlcolor},
    {"velmsetvar", &LispVelmSetVar},
    {"velmgetvar", &LispVelmGetVar},
};

std::string cannotDefineFormat();

// CMDECHO off for the life of the object, then its old value again.
class QuietCommands {
public:
    QuietCommands();
    ~QuietCommands();
    QuietCommands(const QuietCommands&) = delete;
    QuietCommands& operator=(const QuietCommands&) = delete;

private:
    bool saved_ = false;
    short old_ = 1;
};

}  // namespace

std::span<const LispFunctionEntry> LispFunctionTable() {
    return kLispFunctions;
}

bool DefineLispFunctions() {
    short code = 0;
    for (const LispFunctionEntry& f : kLispFunctions) {
        if (zcedDefun(f.name, code) != RTNORM) {
            zcutPrintf(cannotDefineFormat().c_str(), f.name);
            return false;
        }
        ++code;
    }
    return true;
}

void UndefineLispFunctions() {
    short code = 0;
    for (const LispFunctionEntry& f : kLispFunctions) zcedUndef(f.name, code++);
}

int DispatchLispFunction() {
    int code = zcedGetFunCode();
    std::span<const LispFunctionEntry> table = LispFunctionTable();
    // A negative code would index before the table: refused like one above it.
    if (code < 0 || code >= static_cast<int>(table.size())) return RTNORM;
    QuietCommands quiet;
    zcedCommand(RTSTR, "_UNDO", RTSTR, "_BEGIN", RTNONE);
    int status = table[code].serve();
    zcedCommand(RTSTR, "_REDRAW", RTSTR, "_UNDO", RTSTR, "_END", RTNONE);
    return status;
}

namespace {

// The message comes from the module's string table; the text is kept here
// too, so a missing table cannot turn it into an empty or unsafe format.
std::string cannotDefineFormat() {
    std::string text;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        text = ResourceString(kCannotDefineString);
    }
    // Exactly one %s may reach the formatter.
    std::size_t at = text.find('%');
    if (at == std::string::npos || text.compare(at, 2, "%s") != 0 ||
        text.find('%', at + 1) != std::string::npos)
        return "\nNie można zdefiniować %s";
    return text;
}

QuietCommands::QuietCommands() {
    resbuf value;
    if (zcedGetVar("CMDECHO", &value) == RTNORM && value.restype == RTSHORT) {
        saved_ = true;
        old_ = value.resval.rint;
    }
    resbuf off;
    off.restype = RTSHORT;
    off.resval.rint = 0;
    zcedSetVar("CMDECHO", &off);
}

QuietCommands::~QuietCommands() {
    if (!saved_) return;
    resbuf back;
    back.restype = RTSHORT;
    back.resval.rint = old_;
    zcedSetVar("CMDECHO", &back);
}

}  // namespace
