// A tiny loadable module for the loader tests: it unlocks itself and
// declares itself aware of several documents on start, and counts every
// message it receives so the test can read them back.
#include <memory>
#include <string>
#include <vector>

#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"
#include "host/win/kept_files.h"

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

// A value kept for a file, made (and so deleted) by this module's code.
extern "C" void tinyModuleKeepFileValue(const char* path) {
    host::keepFileValue(path, "tiny", std::make_shared<const std::string>("parsed by the module"));
}
