// The host started with the module loaded, as the host program has it;
// `prepare` runs on the fresh session before the module is loaded (its
// support folders, the script directives).
#pragma once

#include <functional>

#include "host/ed/hostinit.h"
#include "host/ed/session.h"

extern "C" int zcrxEntryPoint(int msg, void* appId);

struct LoadedModule {
    int appTag = 0;
    explicit LoadedModule(const host::HostOptions& options = {}, const std::function<void()>& prepare = {}) {
        host::startHost(options);
        host::resetEditorSession();
        if (prepare) prepare();
        zcrxEntryPoint(1, &appTag);
        zcrxEntryPoint(3, &appTag);
    }
    ~LoadedModule() {
        zcrxEntryPoint(4, &appTag);
        zcrxEntryPoint(2, &appTag);
        host::resetEditorSession();
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
};
