// A module that refuses to start.
extern "C" int zcrxEntryPoint(int msg, void* appId) {
    (void)appId;
    return msg == 1 ? 3 : 0;
}
