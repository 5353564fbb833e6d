// Element layers made on two floors with the real layer catalogue and the
// host's own layer command, then saved to DXF and read back: what a drawing
// keeps after the module has made its layers, not what the service sends.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/layer_catalogue.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/ed/hostinit.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

class LayersEndToEnd : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        host::startHost(host::HostOptions{
            {std::string(VELM_SOURCE_DIR) + "/support", std::string(VELM_SOURCE_DIR) + "/support/host"}, ""});
    }
    void TearDown() override {
        host::startHost({});
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }

    // Makes the current floor `level` through the settings variable and the
    // layers of the keys on it, at the level read back from the settings.
    static void LayersOnFloor(const AAR_LAYERC& catalogue, double level,
                              std::map<std::string, std::string>& made) {
        const int slot = SetupVar::SQPAV;
        SetVarReal(&slot, &level);
        double current = -1.0;
        ASSERT_TRUE(GetVarReal(&slot, &current));
        for (const char* key : {"2DWALLS", "2DFUNL", "3DWALLS"}) {
            std::string name = key;
            EnsureLayer(name, catalogue, true, current, false);
            made[std::string(key) + "@" + std::to_string(static_cast<int>(level))] = name;
        }
    }

    struct Layer {
        int color = 0;
        std::string linetype;
        int weight = 0;
        bool operator==(const Layer&) const = default;
    };
    static std::map<std::string, Layer> SavedLayers(ZcDbDatabase* drawing) {
        std::map<std::string, Layer> layers;
        ZcDbLayerTable* table = nullptr;
        EXPECT_EQ(drawing->getLayerTable(table, ZcDb::kForRead), Zcad::eOk);
        ZcDbSymbolTableIterator* it = nullptr;
        EXPECT_EQ(table->newIterator(it), Zcad::eOk);
        for (it->start(); !it->done(); it->step()) {
            ZcDbLayerTableRecord* rec = nullptr;
            if (it->getRecord(rec, ZcDb::kForRead) != Zcad::eOk) continue;
            std::string name;
            rec->getName(name);
            layers[name] = {rec->colorIndex(), rec->linetype(), static_cast<int>(rec->lineWeight())};
            rec->close();
        }
        delete it;
        table->close();
        return layers;
    }
};

}  // namespace

TEST_F(LayersEndToEnd, element_layers_of_two_floors_survive_a_dxf_round_trip_with_catalogue_attributes) {
    AAR_LAYERC catalogue;
    ASSERT_EQ(catalogue.ReadLayerDefFile("LAYERC.DEF"), 1);
    ASSERT_FALSE(catalogue.empty());
    std::map<std::string, std::string> made;
    LayersOnFloor(catalogue, 0.0, made);
    LayersOnFloor(catalogue, 300.0, made);
    EXPECT_EQ(made, (std::map<std::string, std::string>{{"2DWALLS@0", "VELM2DWALLS$0"},
                                                        {"2DWALLS@300", "VELM2DWALLS$300"},
                                                        {"2DFUNL@0", "VELM2DFUNL$0"},
                                                        {"2DFUNL@300", "VELM2DFUNL$300"},
                                                        {"3DWALLS@0", "VELM3DWALLS$0"},
                                                        {"3DWALLS@300", "VELM3DWALLS$300"}}));

    TestDir dir;
    const std::string path = dir.path("floors.dxf");
    std::string error;
    ASSERT_TRUE(host::saveDxf(db(), path, nullptr, &error)) << error;
    host::DxfLoadResult back = host::loadDxf(path);
    ASSERT_TRUE(back.db) << back.error;
    const std::map<std::string, Layer> layers = SavedLayers(back.db.get());

    // The catalogue's rows: "2DWALLS,2DWALLS,7,…,Continuous,50",
    // "2DFUNL,2DFUNL,1,…,DASHED,13", "3DWALLS,3DWALLS,254,…,Continuous,-3".
    const std::map<std::string, Layer> expected = {
        {"VELM2DWALLS$0", {7, "Continuous", 50}},   {"VELM2DWALLS$300", {7, "Continuous", 50}},
        {"VELM2DFUNL$0", {1, "DASHED", 13}},        {"VELM2DFUNL$300", {1, "DASHED", 13}},
        {"VELM3DWALLS$0", {254, "Continuous", -3}}, {"VELM3DWALLS$300", {254, "Continuous", -3}},
    };
    for (const auto& [name, want] : expected) {
        const auto found = layers.find(name);
        ASSERT_NE(found, layers.end()) << name;
        EXPECT_EQ(found->second.color, want.color) << name;
        EXPECT_TRUE(zcutEqualsNoCase(found->second.linetype, want.linetype))
            << name << " " << found->second.linetype;
        EXPECT_EQ(found->second.weight, want.weight) << name;
    }
    // Nothing else beyond the drawing's own layer "0".
    EXPECT_EQ(layers.size(), expected.size() + 1);
    EXPECT_EQ(layers.count("0"), 1u);
}
