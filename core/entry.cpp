// The module's entry point: the host sends it one message code per event.
#include "host/ads/adscodes.h"

extern "C" int zcrxEntryPoint(int msg, void* appId) {
    (void)msg;
    (void)appId;
    return 0;
}

extern "C" int zcrxGetApiVersion() { return 1; }
