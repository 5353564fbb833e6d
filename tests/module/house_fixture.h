// A small house drawn with the module's own commands, for the tests that
// try commands on a finished drawing: four walls 30 thick around the axis
// rectangle 600 x 400, a door in the front wall and a window in the right
// one, the room measured with its label and card, a floor slab over it, a
// stair beside the house and the walls in 3D. The support files are a copy
// of the shipped ones in the test's own folder, which is also the current
// folder, so whatever a command writes stays there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/ads/adstext.h"
#include "host/db/dxffile.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

class HouseTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        m_support = dir.path("support");
        std::filesystem::copy(std::string(VELM_SOURCE_DIR) + "/support", m_support,
                              std::filesystem::copy_options::recursive);
        const std::vector<std::string> folders{m_support, m_support + "/tab", m_support + "/host"};
        host::setSupportPathProvider([folders] { return folders; });
        m_workingDir = std::filesystem::current_path();
        std::filesystem::create_directories(dir.path("work"));
        std::filesystem::current_path(dir.path("work"));
    }
    void TearDown() override {
        std::filesystem::current_path(m_workingDir);
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }

    // Draws the house in the current drawing; the status of the commands.
    static int drawHouse() {
        return run({
            "VELMWALLD",
            "0,0",
            "600,0",
            "600,400",
            "0,400",
            "Zamknij",
            "",
            "VELMOBJECT",
            "P1",
            "!pick 200,15",
            "100",
            "",
            "VELMOBJECT",
            "F1",
            "!pick 585,200",
            "100",
            "",
            "!dialog 139 ok",
            "VELMSPACEUNIT",
            "800,600",
            "300,200",
            "",
            "!dialog 152 click 4",
            "VELMFSLAB",
            "-100,-100",
            "700,-100",
            "700,500",
            "-100,500",
            "",
            "",
            "VELMSTAIRDEF",
            "Szerokość",
            "110",
            "Stopień",
            "30",
            "1000,0",
            "1000,300",
            "!dialog 226 ok",
            "Utwórz",
            "VELMWALL3D",
            "",
        });
    }

    // The current drawing as its DXF text.
    static std::string drawingText() { return host::writeDxfText(db(), &curDoc()->sysVars()); }

    // The drawing saved to `name` in the test's folder; its path.
    std::string saveDrawing(const std::string& name) {
        const std::string path = dir.path(name);
        std::string error;
        EXPECT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
        return path;
    }

    // Opens a saved drawing as the current one, closing the drawing before.
    static void reopen(const std::string& path) {
        ZcApDocument* before = curDoc();
        std::string error;
        ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;
        if (before) zcDocManagerPtr()->closeDocument(before);
    }

    TestDir dir;

private:
    std::string m_support;
    std::filesystem::path m_workingDir;
};
