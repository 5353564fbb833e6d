// A shared object without the module entry point: loading it must fail.
extern "C" int notAnEntryPoint() {
    return 0;
}
