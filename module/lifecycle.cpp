// Start-up, unload and drawing load of the module.
//
// Every host service is found through the system registry (the dynamic
// linker, the command stack, the editor), as a module must: the module does
// not know how the host keeps them.
#include "module/lifecycle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/base/module_state.h"
#include "core/core_module.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/docman.h"
#include "host/rx/rxdynlinker.h"
#include "host/rx/rxobject.h"
#include "host/util/adscodes.h"
#include "host/util/nocase.h"
#include "host/util/resbuf.h"
#include "host/win/textutil.h"
#include "module/command_bindings.h"
#include "module/command_sink.h"
#include "module/current_drawing.h"
#include "module/doc_reactor.h"
#include "module/lisp_functions.h"
#include "module/reactors.h"
#include "objects/objects_module.h"
#include "resources/velmresources.h"
#include "roofs/roofs_module.h"
#include "rooms/rooms_module.h"
#include "settings/release5.h"
#include "settings/rescale.h"
#include "settings/settings_module.h"
#include "stairs/stairs_module.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/visual_module.h"
#include "walls/walls_module.h"

namespace {

// Whether the module runs, and the document reactor it keeps on the host
// while it does.
struct ModuleLife {
    bool started = false;
    std::unique_ptr<VELMDocReactor> docReactor;
};
ModuleLife g_life;

void RegisterSubsystemModules();
void UnregisterSubsystemModules();
bool firstAcadStringIsAscBounds(const resbuf* list, resbuf** appNode);

}  // namespace

void StartModule(void* appId) {
    if (g_life.started) return;
    if (auto* linker = ZcRxDynamicLinker::cast(zcrxSysRegistry()->at("DynamicLinker"))) {
        linker->unlockApplication(appId);
        linker->registerAppMDIAware(appId);
    }
    VelmRegisterResources();
    initApp();
    AddModulePanes();
}

void initApp() {
    // Each subsystem registers its classes (each class registering itself
    // unless a class of its name is known already), reactors and hooks: the
    // nine settings objects first, then the preview entities of the jigs in
    // the order their subsystems first name them.
    RegisterSubsystemModules();
    zcrxBuildClassHierarchy();
    g_life.docReactor = std::make_unique<VELMDocReactor>();
    zcDocManagerPtr()->addReactor(g_life.docReactor.get());
    HostCommandSink sink;
    RegisterCommands(sink);
    g_life.started = true;
}

void UnloadModule() {
    if (!g_life.started) return;
    unloadApp();
    RemoveEditorReactor();
    RemoveModulePanes();
    VelmUnregisterResources();
}

void unloadApp() {
    UnregisterSubsystemModules();
    RemoveModuleCommands();
    if (g_life.docReactor) {
        zcDocManagerPtr()->removeReactor(g_life.docReactor.get());
        g_life.docReactor.reset();
    }
    DetachDatabaseReactorFromAll();
    g_life.started = false;
}

bool ModuleStarted() {
    return g_life.started;
}

void OnDrawingLoad() {
    // A drawing message before start-up would read settings of classes
    // that are not registered yet.
    if (!g_life.started) return;
    DefineLispFunctions();
    ConvertRelease5Drawing();
    ClearAscBoundsXdata();
    SetToleranceFromDrawing();
    PublishDrawingUnit(true);
}

void OnDrawingUnload() {
    UndefineLispFunctions();
}

int ClearAscBoundsXdata() {
    // The xdata filter: -3 followed by the application's group 1001.
    const host::ResbufList filter(zcutBuildList(-3, 1001, "ACAD", 0));
    ads_name ss = {0, 0};
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), ss) != RTNORM) return 0;
    std::int32_t length = 0;
    zcedSSLength(ss, &length);
    const host::ResbufList apps(zcutBuildList(RTSTR, "ACAD", 0));
    int cut = 0;
    for (std::int32_t i = 0; i < length; ++i) {
        ads_name ent;
        if (zcedSSName(ss, i, ent) != RTNORM) continue;
        const host::ResbufList list(zcdbEntGetX(ent, apps.get()));
        resbuf* appNode = nullptr;
        if (list && firstAcadStringIsAscBounds(list.get(), &appNode)) {
            const host::ResbufList dropped(std::exchange(appNode->rbnext, nullptr));
            if (zcdbEntMod(list.get()) == RTNORM) ++cut;
        }
    }
    zcedSSFree(ss);
    return cut;
}

namespace {

// Start-up order of the subsystems' registration; unload follows the same
// order.
void RegisterSubsystemModules() {
    RegisterCoreModule();
    RegisterSettingsModule();
    RegisterWallsModule();
    RegisterObjectsModule();
    RegisterRoofsModule();
    RegisterStairsModule();
    RegisterRoomsModule();
    RegisterVisualModule();
}

void UnregisterSubsystemModules() {
    UnregisterCoreModule();
    UnregisterSettingsModule();
    UnregisterWallsModule();
    UnregisterObjectsModule();
    UnregisterRoofsModule();
    UnregisterStairsModule();
    UnregisterRoomsModule();
    UnregisterVisualModule();
}

// The list holds the entity's data, then -3, then the "ACAD" xdata: the
// first string after the "ACAD" group 1001 decides.
bool firstAcadStringIsAscBounds(const resbuf* list, resbuf** appNode) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype != 1001 || !rb->resval.rstring || !zcutEqualsNoCase(rb->resval.rstring, "ACAD"))
            continue;
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
