// A drawing with its settings objects, a temporary folder on the support
// path for definition files, and helpers to write and read those files and
// to load a definition into a fresh object context.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/util/findfile.h"
#include "objects/language/obj_context.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

// What the callers of some definitions set before the definition is read.
inline void SetCallerVariables(const std::string& name, ObjVarList& vars) {
    if (name == "key_etiMaglia") {
        SetObjVar(20, kVarFixed, 0, u'R', "", 3.0, "", 0, 0, vars);
        SetObjVar(21, kVarFixed, 0, u'S', "", 0.0, "B", 0, 0, vars);
        SetObjVar(22, kVarFixed, 0, u'S', "", 0.0, "STANDARD", 0, 0, vars);
        SetObjVar(23, kVarFixed, 0, u'R', "", 25.0, "", 0, 0, vars);
        SetObjVar(24, kVarFixed, 0, u'R', "", 40.0, "", 0, 0, vars);
    } else if (name.rfind("key_qd", 0) == 0) {
        SetObjVar(12040, kVarFixed, 0, u'R', "", 452.5, "", 0, 0, vars);
        SetObjVar(12041, kVarFixed, 0, u'R', "", 2.0, "", 0, 0, vars);
        SetObjVar(12042, kVarFixed, 0, u'R', "", 0.01, "", 0, 0, vars);
    } else if (name == "BAL1") {
        // The handrail record of the stair the balustrade stands on.
        const double record[5] = {100, 28, 17.5, 448, 0};
        for (int i = 0; i < 5; ++i) SetObjVar(51 + i, kVarFixed, 0, u'R', "", record[i], "", 0, 0, vars);
    }
}

class ObjLanguage : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        ASSERT_NE(db(), nullptr);
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("velm_objlang_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "lib");
        const std::string support = dir.string();
        host::setSupportPathProvider([support] { return std::vector<std::string>{support}; });
    }
    void TearDown() override {
        for (auto& c : contexts) FreeObjContext(std::move(c));
        contexts.clear();
        host::setSupportPathProvider(nullptr);
        host::setSupportFolders({});
        std::filesystem::remove_all(dir);
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void setUnit(double unit) {
        const int slot = SetupVar::SFTMTCM;
        SetVarReal(&slot, &unit);
    }
    static void setInt(int slot, short value) { SetVarInt(&slot, &value); }
    // A context whose definition `name` is loaded (the result in `loaded`);
    // it is freed (and saved) by the fixture unless the test frees it.
    ObjContext& load(const std::string& name, int* loaded = nullptr) {
        contexts.push_back(NewObjContext(name));
        int r = LoadObjFile(*contexts.back(), name);
        if (loaded) *loaded = r;
        return *contexts.back();
    }
    // Frees (and so saves) the most recent context.
    void freeLast() {
        FreeObjContext(std::move(contexts.back()));
        contexts.pop_back();
    }

    std::filesystem::path dir;
    std::vector<std::unique_ptr<ObjContext>> contexts;
};
