// Loading module files by path: the entry-point messages, the linker's
// records of the module's own calls, and the failures.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"
#include "host/win/kept_files.h"

namespace {

std::string modulePath(const char* name) {
    return std::string(VELM_TEST_MODULE_DIR) + "/" + name + ".zrx";
}

template <class F>
F symbolOf(const std::string& path, const char* name) {
    const ZcRxDynamicLinker::Module* m = zcrxDynamicLinker->findModule(path);
    return m ? reinterpret_cast<F>(dlsym(m->handle, name)) : nullptr;
}

}  // namespace

TEST(ModuleLoading, start_documents_lisp_and_unload_reach_the_entry_point_in_order) {
    std::string path = modulePath("tiny_module");
    std::string message;
    ASSERT_TRUE(zcrxDynamicLinker->loadModule(path, &message)) << message;
    const ZcRxDynamicLinker::Module* m = zcrxDynamicLinker->findModule(path);
    ASSERT_NE(m, nullptr);
    void* appId = m->handle;
    EXPECT_FALSE(zcrxDynamicLinker->isApplicationLocked(appId));
    EXPECT_TRUE(zcrxDynamicLinker->isAppMDIAware(appId));
    EXPECT_EQ(zcrxDynamicLinker->sendToAll(kLoadDwgMsg), 1);
    EXPECT_EQ(zcrxDynamicLinker->sendTo(appId, kInvkSubrMsg), ZcRx::kRetOK);
    EXPECT_EQ(zcrxDynamicLinker->sendToAll(kUnloadDwgMsg), 1);
    auto count = symbolOf<int (*)()>(path, "tinyModuleMessageCount");
    auto at = symbolOf<int (*)(int)>(path, "tinyModuleMessageAt");
    ASSERT_NE(count, nullptr);
    ASSERT_EQ(count(), 4);
    EXPECT_EQ(at(0), kInitAppMsg);
    EXPECT_EQ(at(1), kLoadDwgMsg);
    EXPECT_EQ(at(2), kInvkSubrMsg);
    EXPECT_EQ(at(3), kUnloadDwgMsg);
    EXPECT_FALSE(zcrxDynamicLinker->loadModule(path, &message));  // already loaded
    EXPECT_TRUE(zcrxDynamicLinker->unloadModule(path));
    EXPECT_EQ(zcrxDynamicLinker->findModule(path), nullptr);
    EXPECT_EQ(zcrxDynamicLinker->sendToAll(kLoadDwgMsg), 0);
}

TEST(ModuleLoading, a_file_without_entry_point_is_refused_with_a_message) {
    std::string message;
    EXPECT_FALSE(zcrxDynamicLinker->loadModule(modulePath("no_entry_module"), &message));
    EXPECT_NE(message.find("zcrxEntryPoint"), std::string::npos);
    EXPECT_EQ(zcrxDynamicLinker->findModule(modulePath("no_entry_module")), nullptr);
}

TEST(ModuleLoading, a_module_refusing_to_start_is_not_kept) {
    std::string message;
    EXPECT_FALSE(zcrxDynamicLinker->loadModule(modulePath("refusing_module"), &message));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(zcrxDynamicLinker->findModule(modulePath("refusing_module")), nullptr);
}

TEST(ModuleLoading, a_file_that_is_not_a_module_is_refused) {
    std::string message;
    std::string path = std::string(VELM_SOURCE_DIR) + "/README.md";
    EXPECT_FALSE(zcrxDynamicLinker->loadModule(path, &message));
    EXPECT_NE(message.find("README.md"), std::string::npos);
}

TEST(ModuleLoading, the_velm_module_file_loads_and_unloads) {
    std::string path = std::string(VELM_BINARY_DIR) + "/velmlt18.zrx";
    std::string message;
    ASSERT_TRUE(zcrxDynamicLinker->loadModule(path, &message)) << message;
    EXPECT_TRUE(zcrxDynamicLinker->unloadModule(path));
}

TEST(ModuleLoading, values_a_module_kept_for_support_files_go_with_it) {
    namespace fs = std::filesystem;
    const fs::path file = fs::temp_directory_path() / "velm_rx_load_kept.txt";
    std::ofstream(file) << "one line\n";
    // Old enough to be kept outside a command.
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::string path = modulePath("tiny_module");
    std::string message;
    ASSERT_TRUE(zcrxDynamicLinker->loadModule(path, &message)) << message;
    auto keep = symbolOf<void (*)(const char*)>(path, "tinyModuleKeepFileValue");
    ASSERT_NE(keep, nullptr);
    keep(file.c_str());
    EXPECT_NE(host::keptFileValue(file.string(), "tiny"), nullptr);
    // Its deleter is the module's code: kept past the unload, the value
    // would be freed through code no longer mapped.
    EXPECT_TRUE(zcrxDynamicLinker->unloadModule(path));
    EXPECT_EQ(host::keptFileValue(file.string(), "tiny"), nullptr);
    host::forgetKeptFileValues();
    fs::remove(file);
}
