// Drawings from someone else whose blocks contain themselves or nest into
// more faces than a machine holds: opening names the cycle, the exports of
// the whole drawing finish on what can be drawn, and refuse, with the
// reason and nothing written, what cannot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/win/registry.h"
#include "tests/host/win_testdir.h"
#include "tests/support/block_dxf.h"
#include "tests/visual/model3d_fixture.h"

namespace fs = std::filesystem;

namespace {

class BlockExpansion : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        host::setRegistryFile(dir.path("registry"));
        fs::create_directories(dir.path("docs/POV-Ray/v3.6/include"));
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0, nullptr,
                        0, KEY_WRITE, nullptr, &key, nullptr);
        const std::string personal = dir.path("docs");
        RegSetValueExW(key, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(personal.c_str()),
                       static_cast<DWORD>(personal.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override {
        host::setRegistryFile(dir.path("unused"));
        Model3DTest::TearDown();
    }
    void Open(const BlockDxf& dxf) {
        const std::string path = dir.path("received.dxf");
        std::ofstream(path) << dxf.text;
        ZcApDocument* before = curDoc();
        std::string error;
        ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;
        if (before) zcDocManagerPtr()->closeDocument(before);
    }
    int PovFile(const std::string& path) {
        return run({"!dialog file edit 1152 \"" + path + "\" ok", "VELMPOVRAYF", ""});
    }
    int VrmlFile(const std::string& path) {
        return run({"!dialog file edit 1152 \"" + path + "\" ok", "VELMWRLOUT", ""});
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
    TestDir dir;
};

}  // namespace

TEST_F(BlockExpansion, blocks_containing_themselves_are_named_on_opening_and_the_rest_exported) {
    Open(MakeBlockDxf({{"A", 1, {"A"}}, {"B", 1, {"C"}}, {"C", 1, {"B"}}}, {"", 1, {"A", "B"}}));
    EXPECT_NE(transcript().find("blok \"A\" zawiera sam siebie"), std::string::npos) << transcript();
    EXPECT_NE(transcript().find("blok \"B\" zawiera sam siebie przez blok \"C\""), std::string::npos);
    EXPECT_EQ(PovFile(dir.path("scene.pov")), RTNORM) << transcript();
    // The face of the drawing, A's, and B's with C's inside it.
    EXPECT_EQ(Count(Read(dir.path("scene.pov")), "polygon {"), 4);
    EXPECT_EQ(VrmlFile(dir.path("scene.wrl")), RTNORM) << transcript();
    EXPECT_TRUE(fs::exists(dir.path("scene.wrl")));
}

TEST_F(BlockExpansion, a_block_made_to_contain_itself_is_refused_by_name_and_nothing_written) {
    Open(MakeBlockDxf({{"ROOF", 1, {}}, {"HOUSE", 1, {"ROOF"}}}, {"", 0, {"HOUSE"}}));
    ZcDbBlockTableRecord* roof = nullptr;
    ASSERT_EQ(zcdbOpenObject(roof, db()->recordId(db()->blockTableId(), "ROOF"), ZcDb::kForWrite), Zcad::eOk);
    auto* house = new ZcDbBlockReference({0, 0, 5}, db()->recordId(db()->blockTableId(), "HOUSE"));
    ASSERT_EQ(roof->appendZcDbEntity(house), Zcad::eOk);
    house->close();
    roof->close();
    EXPECT_EQ(PovFile(dir.path("scene.pov")), RTERROR);
    EXPECT_EQ(VrmlFile(dir.path("scene.wrl")), RTERROR);
    EXPECT_NE(transcript().find("zawiera sam siebie: polecenie przerwano"), std::string::npos)
        << transcript();
    EXPECT_FALSE(fs::exists(dir.path("scene.pov")));
    EXPECT_FALSE(fs::exists(dir.path("scene.wrl")));
}

TEST_F(BlockExpansion, ten_to_the_eighth_faces_are_refused_with_their_count_and_nothing_written) {
    Open(TenToTheEighthDxf());
    const std::string refused = "ma 100000000 obiektów, więcej niż 10000000: polecenie przerwano";
    EXPECT_EQ(PovFile(dir.path("scene.pov")), RTERROR);
    EXPECT_EQ(VrmlFile(dir.path("scene.wrl")), RTERROR);
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("received.dxf")}, false);
    EXPECT_EQ(run({"VELMPOVRAYD", ""}), RTERROR);
    EXPECT_EQ(Count(transcript(), refused), 3) << transcript();
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().extension() != ".pov" && entry.path().extension() != ".wrl") << entry.path();
}
