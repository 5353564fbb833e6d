// A drawing with its settings objects and a data folder of its own (the
// folder of "VELMDCONFIG.CFG", where the wall-type files live), the module's
// resources current and the dialog driver's records empty.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "host/util/findfile.h"
#include "resources/velmresources.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

class WallTypesTest : public VelmTest {
protected:
    void SetUp() override {
        RegisterSettingsModule();
        VelmTest::SetUp();
        zcui::ResetUi();
        AfxSetResourceHandle(VelmResourceHandle());
        data.write("VELMDCONFIG.CFG", "STR_INF_VANI=75\n");
        std::string folder = data.path();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([folder, root] {
            return std::vector<std::string>{folder, root + "/support/host"};
        });
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        AfxSetResourceHandle(nullptr);
        zcui::ResetUi();
        VelmTest::TearDown();
        UnregisterSettingsModule();
    }
    // Copies shipped support files into the data folder.
    void copyShipped(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            std::string bytes;
            std::ifstream in(std::string(VELM_SOURCE_DIR) + "/support/" + name, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
            data.write(name, bytes);
        }
    }
    static std::vector<std::string> messageBoxes() {
        std::vector<std::string> texts;
        for (const zcui::MessageBoxRecord& m : zcui::MessageBoxes()) texts.push_back(m.text);
        return texts;
    }
    static std::vector<std::string> wallLayers() {
        std::vector<std::string> entries;
        if (VELM_LAYERMURI* w = OpenLayerMuriObject()) {
            entries = w->entries;
            w->close();
        }
        return entries;
    }

    TestDir data;
};
