// Loading module files. A module is a shared object exporting
//   extern "C" int zcrxEntryPoint(int msg, void* appId);
// Loading opens the file, finds the entry point and sends it code 1
// (kInitAppMsg); unloading sends code 2 and closes the file. The editor sends
// code 3 per opened drawing and 4 per closed one, 5 for LISP calls, through
// sendToAll. The linker is the "DynamicLinker" service of the system
// registry. The module's "unlock" and "several documents" calls are recorded
// so that the platform (and tests) can see them.
// Limits: no dependency tracking between modules; a module that refuses
// code 1 (answers ZcRx::kRetError) is closed again and reported as failed.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "host/rx/rxobject.h"

namespace ZcRx {
// What an entry point answers: anything but kRetError counts as accepted.
enum AppRetCode : int { kRetOK = 0, kRetError = 3 };
}  // namespace ZcRx

class ZcRxDynamicLinker : public ZcRxObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcRxDynamicLinker);

    struct Module {
        std::string path;
        void* handle = nullptr;  // dlopen handle; also the module's appId
        int (*entry)(int, void*) = nullptr;
        bool unlocked = false;
        bool mdiAware = false;
    };

    // Loads the file and sends it code 1. On failure returns false and fills
    // `message` with the reason ("missing file", "no entry point" ...).
    bool loadModule(const std::string& path, std::string* message = nullptr);
    // Sends code 2 and closes the file; false when it was not loaded.
    bool unloadModule(const std::string& path);
    // Sends `msg` to every loaded module in load order; returns how many
    // accepted it.
    int sendToAll(int msg);
    // Sends `msg` to one module (by appId); returns its answer, kRetError when unknown.
    int sendTo(void* appId, int msg);

    bool unlockApplication(void* appId);
    bool lockApplication(void* appId);
    bool registerAppMDIAware(void* appId);
    bool isApplicationLocked(void* appId) const;
    bool isAppMDIAware(void* appId) const;

    const std::vector<Module>& modules() const { return m_modules; }
    const Module* findModule(const std::string& path) const;
    const std::string& lastError() const { return m_lastError; }

private:
    Module* byAppId(void* appId);
    const Module* byAppId(void* appId) const;
    std::vector<Module> m_modules;
    std::string m_lastError;
};

// The "DynamicLinker" service, registered on first use.
ZcRxDynamicLinker* zcrxDynamicLinkerPtr();
#define zcrxDynamicLinker (zcrxDynamicLinkerPtr())

// Free-function forms of the linker calls.
bool zcrxLoadModule(const char* path, bool printIt = false);
bool zcrxUnloadModule(const char* path);
