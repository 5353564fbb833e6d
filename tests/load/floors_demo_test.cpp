// The floors demo through the host program: the script's own checks pass,
// and the saved drawing, read back, has the floors' layers frozen, thawed
// and renamed as the floor commands and the view mode left them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"

namespace {

std::string outputPath() {
    return ::testing::TempDir() + "velmhost_floors_demo.txt";
}

int velmhost(const std::string& args) {
    const std::string cmd =
        std::string(VELM_BINARY_DIR) + "/velmhost " + args + " > " + outputPath() + " 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string output() {
    std::ifstream in(outputPath());
    return {std::istreambuf_iterator<char>(in), {}};
}

struct LayerState {
    bool frozen = false;
    int color = 0;
};

std::map<std::string, LayerState> Layers(ZcDbDatabase* db) {
    std::map<std::string, LayerState> layers;
    ZcDbLayerTable* table = nullptr;
    EXPECT_EQ(db->getLayerTable(table, ZcDb::kForRead), Zcad::eOk);
    ZcDbSymbolTableIterator* it = nullptr;
    EXPECT_EQ(table->newIterator(it), Zcad::eOk);
    for (it->start(); !it->done(); it->step()) {
        ZcDbLayerTableRecord* rec = nullptr;
        if (it->getRecord(rec, ZcDb::kForRead) != Zcad::eOk) continue;
        std::string name;
        rec->getName(name);
        layers[name] = {rec->isFrozen(), rec->colorIndex()};
        rec->close();
    }
    delete it;
    table->close();
    return layers;
}

}  // namespace

TEST(FloorsDemo, floors_moved_switched_off_and_viewed_in_plan_leave_the_right_layers) {
    const std::string source = VELM_SOURCE_DIR;
    const std::string saved = ::testing::TempDir() + "velmhost_floors_demo.dxf";
    std::remove(saved.c_str());
    ASSERT_EQ(velmhost("--script " + source + "/demo/floors.scr --save " + saved + " --support " + source +
                       "/support"),
              0)
        << output();
    host::DxfLoadResult back = host::loadDxf(saved);
    ASSERT_TRUE(back.db) << back.error;
    const std::map<std::string, LayerState> layers = Layers(back.db.get());
    auto frozen = [&](const std::string& name) -> std::optional<bool> {
        const auto found = layers.find(name);
        if (found == layers.end()) return std::nullopt;
        return found->second.frozen;
    };
    // The ground floor is switched off: both its layers frozen.
    EXPECT_EQ(frozen("VELM2DWALLS$0"), true);
    EXPECT_EQ(frozen("VELM3DWALLS$0"), true);
    // The moved floor, switched off last as the current floor (after the
    // warning box): its plan layer frozen too, its 3D layer frozen by the
    // plan view; the old floor's layers are gone with the floor.
    EXPECT_EQ(frozen("VELM2DWALLS$600"), true);
    EXPECT_EQ(frozen("VELM3DWALLS$600"), true);
    EXPECT_EQ(frozen("VELM2DWALLS$300"), std::nullopt);
    EXPECT_EQ(frozen("VELM3DWALLS$300"), std::nullopt);
    // The new level layers were made from the layer catalogue.
    ASSERT_TRUE(layers.count("VELM3DWALLS$600"));
    EXPECT_EQ(layers.at("VELM3DWALLS$600").color, 254);
    EXPECT_EQ(frozen("0"), false);
}
