// Module loading through dlopen, and the entry-point message fan-out.
#include "host/rx/rxdynlinker.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

#include "host/util/adscodes.h"
#include "host/win/kept_files.h"

namespace {

// Values kept from support files may have been made by the module: their
// deleters are its code, so they go before it does.
void closeModule(void* handle) {
    host::forgetKeptFileValues();
    dlclose(handle);
}

}  // namespace

ZcRxDynamicLinker* zcrxDynamicLinkerPtr() {
    static ZcRxDynamicLinker* linker = [] {
        auto* l = new ZcRxDynamicLinker;  // lives for the process
        zcrxSysRegistry()->atPut("DynamicLinker", l);
        return l;
    }();
    return linker;
}

bool zcrxLoadModule(const char* path, bool printIt) {
    std::string message;
    bool ok = zcrxDynamicLinkerPtr()->loadModule(path ? path : "", &message);
    if (!ok && printIt) std::fprintf(stderr, "%s\n", message.c_str());
    return ok;
}

bool zcrxUnloadModule(const char* path) {
    return zcrxDynamicLinkerPtr()->unloadModule(path ? path : "");
}

ZcRxClass* ZcRxDynamicLinker::desc() {
    static ZcRxClass* cls = zcrxRegisterHostClass("AcRxDynamicLinker", ZcRxObject::desc(), "", nullptr);
    return cls;
}

ZcRxClass* ZcRxDynamicLinker::isA() const {
    return ZcRxDynamicLinker::desc();
}

bool ZcRxDynamicLinker::loadModule(const std::string& path, std::string* message) {
    auto fail = [&](std::string text) {
        m_lastError = std::move(text);
        if (message) *message = m_lastError;
        return false;
    };
    if (findModule(path)) return fail("Moduł " + path + " jest już załadowany.");
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return fail("Nie można znaleźć pliku modułu " + path + ".");
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return fail("Nie można załadować modułu " + path + ": " + (why ? why : "?"));
    }
    auto entry = reinterpret_cast<int (*)(int, void*)>(dlsym(handle, "zcrxEntryPoint"));
    if (!entry) {
        dlclose(handle);
        return fail("Moduł " + path + " nie ma punktu wejścia zcrxEntryPoint.");
    }
    m_modules.push_back({path, handle, entry, false, false});
    if (entry(kInitAppMsg, handle) == ZcRx::kRetError) {
        // The module refused to start: forget it again.
        for (auto it = m_modules.begin(); it != m_modules.end(); ++it)
            if (it->handle == handle) {
                m_modules.erase(it);
                break;
            }
        closeModule(handle);
        return fail("Moduł " + path + " odmówił uruchomienia.");
    }
    m_lastError.clear();
    return true;
}

bool ZcRxDynamicLinker::unloadModule(const std::string& path) {
    for (auto it = m_modules.begin(); it != m_modules.end(); ++it) {
        if (it->path != path) continue;
        Module module = *it;
        module.entry(kUnloadAppMsg, module.handle);
        m_modules.erase(it);
        closeModule(module.handle);
        return true;
    }
    return false;
}

int ZcRxDynamicLinker::sendToAll(int msg) {
    int answered = 0;
    // A module may load or unload others while handling the message: walk a copy.
    std::vector<Module> snapshot = m_modules;
    for (const Module& m : snapshot)
        if (byAppId(m.handle) && m.entry(msg, m.handle) != ZcRx::kRetError) ++answered;
    return answered;
}

int ZcRxDynamicLinker::sendTo(void* appId, int msg) {
    Module* m = byAppId(appId);
    return m ? m->entry(msg, m->handle) : ZcRx::kRetError;
}

bool ZcRxDynamicLinker::unlockApplication(void* appId) {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->unlocked = true;
    return true;
}

bool ZcRxDynamicLinker::lockApplication(void* appId) {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->unlocked = false;
    return true;
}

bool ZcRxDynamicLinker::registerAppMDIAware(void* appId) {
    Module* m = byAppId(appId);
    if (!m) return false;
    m->mdiAware = true;
    return true;
}

bool ZcRxDynamicLinker::isApplicationLocked(void* appId) const {
    const Module* m = byAppId(appId);
    return m && !m->unlocked;
}

bool ZcRxDynamicLinker::isAppMDIAware(void* appId) const {
    const Module* m = byAppId(appId);
    return m && m->mdiAware;
}

const ZcRxDynamicLinker::Module* ZcRxDynamicLinker::findModule(const std::string& path) const {
    for (const Module& m : m_modules)
        if (m.path == path) return &m;
    return nullptr;
}

ZcRxDynamicLinker::Module* ZcRxDynamicLinker::byAppId(void* appId) {
    for (Module& m : m_modules)
        if (m.handle == appId) return &m;
    return nullptr;
}

const ZcRxDynamicLinker::Module* ZcRxDynamicLinker::byAppId(void* appId) const {
    for (const Module& m : m_modules)
        if (m.handle == appId) return &m;
    return nullptr;
}
