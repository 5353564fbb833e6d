#include "objects/placement/library_cmds.h"

#include <cstdio>
#include <memory>
#include <string>

#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"
#include "objects/language/obj_context.h"
#include "objects/placement/insert_run.h"
#include "settings/store/settings_store.h"
#include "settings/store/setup_slots.h"

namespace {

// The definition name typed at the prompt; Enter takes the last one used.
bool AskObjectName(std::string& name) {
    const std::string last = SettingString(SetupVar::ULTIMO_FMASTER, "F1");
    char prompt[300];
    std::snprintf(prompt, sizeof prompt, "\nNazwa pliku obiektu <%s>:", last.c_str());
    char reply[260] = {};
    if (zcedGetString(0, prompt, reply) != RTNORM) return false;
    name = reply;
    if (name.empty()) {
        name = last;
    } else {
        SetSettingString(SetupVar::ULTIMO_FMASTER, name);
    }
    return true;
}

// A new insertion of the named definition.
int InsertNamedObject(const std::string& name) {
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    context->skipParamInput = SettingInt(SetupVar::SET_PARINIZIALEOBJ) == 0 ? 1 : 0;
    context->runMode = 0;
    InitObjVariables(*context);
    const int result = InsertParamObject(*context, nullptr, nullptr, 1);
    FreeObjContext(std::move(context));
    return result;
}

}  // namespace

void CmdObject() {
    std::string name;
    if (!AskObjectName(name)) return;
    InsertNamedObject(name);
}
