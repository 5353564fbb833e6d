// Start-up, unload and drawing load of the module.
//
// Every host service is found through the system registry (the dynamic
// linker, the command stack, the editor), as a module must: the module does
// not know how the host keeps them.
#include "core/lifecycle.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "core/command_sink.h"
#include "core/command_table.h"
#include "core/doc_reactor.h"
#include "core/lisp_functions.h"
#include "core/module_state.h"
#include "core/reactors.h"
#include "host/ads/adscodes.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/resbuf.h"
#include "host/ads/ssget.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/rx/rxdynlinker.h"
#include "host/rx/rxobject.h"
#include "host/win/textutil.h"
#include "resources/velmresources.h"
#include "roofs/roofs_module.h"
#include "settings/panes.h"
#include "settings/settings_store.h"
#include "settings/setup_slots.h"
#include "settings/setvar_drawing.h"

namespace {

bool g_started = false;
std::unique_ptr<VELMDocReactor> g_docReactor;

void installSettingLookup();
std::optional<std::string> settingAsText(const std::string& name);
bool firstAcadStringIsAscBounds(const resbuf* list, resbuf** appNode);

}  // namespace

void StartModule(void* appId) {
    if (g_started) return;
    if (auto* linker = ZcRxDynamicLinker::cast(zcrxSysRegistry()->at("DynamicLinker"))) {
        linker->unlockApplication(appId);
        linker->registerAppMDIAware(appId);
    }
    VelmRegisterResources();
    initApp();
    AddModulePanes();
}

void initApp() {
    PiValue = std::acos(-1.0);
    // The nine settings classes, each registering itself unless a class of
    // its name is known already; the preview entities of the jigs join with
    // the subsystems that draw them.
    RegisterSettingsClasses();
    RegisterRoofsModule();
    zcrxBuildClassHierarchy();
    g_docReactor = std::make_unique<VELMDocReactor>();
    zcDocManagerPtr()->addReactor(g_docReactor.get());
    HostCommandSink sink;
    RegisterCommands(sink);
    installSettingLookup();
    g_started = true;
}

void UnloadModule() {
    if (!g_started) return;
    unloadApp();
    RemoveEditorReactor();
    RemoveModulePanes();
    VelmUnregisterResources();
}

void unloadApp() {
    UnregisterSettingsClasses();
    UnregisterRoofsModule();
    RemoveModuleCommands();
    if (g_docReactor) {
        zcDocManagerPtr()->removeReactor(g_docReactor.get());
        g_docReactor.reset();
    }
    DetachDatabaseReactorFromAll();
    host::setSettingLookup(nullptr);
    g_started = false;
}

bool ModuleStarted() { return g_started; }

void OnDrawingLoad() {
    // A drawing message before start-up would read settings of classes
    // that are not registered yet.
    if (!g_started) return;
    DefineLispFunctions();
    ClearAscBoundsXdata();
    SetToleranceFromDrawing();
}

void OnDrawingUnload() { UndefineLispFunctions(); }

int ClearAscBoundsXdata() {
    // The xdata filter: -3 followed by the application's group 1001.
    resbuf* filter = zcutBuildList(-3, 1001, "ACAD", 0);
    ads_name ss = {0, 0};
    int st = zcedSSGet("X", nullptr, nullptr, filter, ss);
    zcutRelRb(filter);
    if (st != RTNORM) return 0;
    std::int32_t length = 0;
    zcedSSLength(ss, &length);
    resbuf* apps = zcutBuildList(RTSTR, "ACAD", 0);
    int cut = 0;
    for (std::int32_t i = 0; i < length; ++i) {
        ads_name ent;
        if (zcedSSName(ss, i, ent) != RTNORM) continue;
        resbuf* list = zcdbEntGetX(ent, apps);
        resbuf* appNode = nullptr;
        if (list && firstAcadStringIsAscBounds(list, &appNode)) {
            zcutRelRb(appNode->rbnext);
            appNode->rbnext = nullptr;
            if (zcdbEntMod(list) == RTNORM) ++cut;
        }
        zcutRelRb(list);
    }
    zcutRelRb(apps);
    zcedSSFree(ss);
    return cut;
}

void SetToleranceFromDrawing() {
    const int slot = SetupVar::SFTMTCM;
    double factor = 0.0;
    if (!GetVarReal(&slot, &factor)) factor = 1.0;
    SetSharedTolerance(factor * 0.001);
}

void AddModulePanes() {
    CreateFloorPane();
    CreateViewPane();
}

void RemoveModulePanes() {
    RemoveFloorPane();
    RemoveViewPane();
}

void RefreshModulePanes() {
    UpdateFloorPane();
    UpdateViewPane();
}

namespace {

// "!expect setting NAME VALUE" of the host program reads the variables
// through the by-name access, without its messages.
class QuietSettingsByName : public DrawingSettingsByName {
public:
    void print(const std::string&) override {}
};

void installSettingLookup() { host::setSettingLookup(settingAsText); }

std::optional<std::string> settingAsText(const std::string& name) {
    QuietSettingsByName drawing;
    std::string text;
    int integer = 0;
    double real = 0.0;
    switch (GetVarByName(drawing, name, -1, text, integer, real)) {
    case kKindText: return text;
    case kKindInt: return std::to_string(integer);
    case kKindReal: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", real);
        return std::string(buf);
    }
    default: return std::nullopt;
    }
}

// The list holds the entity's data, then -3, then the "ACAD" xdata: the
// first string after the "ACAD" group 1001 decides.
bool firstAcadStringIsAscBounds(const resbuf* list, resbuf** appNode) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype != 1001 || !rb->resval.rstring || !host::iequals(rb->resval.rstring, "ACAD")) continue;
        for (const resbuf* x = rb->rbnext; x && x->restype != 1001; x = x->rbnext) {
            if (x->restype != 1000) continue;
            if (!x->resval.rstring || std::string(x->resval.rstring) != "ASC_BOUNDS") return false;
            *appNode = const_cast<resbuf*>(rb);
            return true;
        }
        return false;
    }
    return false;
}

}  // namespace
