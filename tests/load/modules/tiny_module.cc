// A tiny loadable module for the loader tests: it unlocks itself and
// declares itself aware of several documents on start, and counts every
// message it receives so the test can read them back.
#include <vector>

#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"

namespace {
std::vector<int> g_messages;
}

extern "C" int zcrxEntryPoint(int msg, void* appId) {
    g_messages.push_back(msg);
    if (msg == kInitAppMsg) {
        zcrxDynamicLinker->unlockApplication(appId);
        zcrxDynamicLinker->registerAppMDIAware(appId);
    }
    return ZcRx::kRetOK;
}

extern "C" int tinyModuleMessageCount() {
    return static_cast<int>(g_messages.size());
}
extern "C" int tinyModuleMessageAt(int i) {
    return g_messages.at(static_cast<std::size_t>(i));
}
