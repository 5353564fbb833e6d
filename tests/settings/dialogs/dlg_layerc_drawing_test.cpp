// The layer catalogue dialog between the catalogue and a drawing's layers.
#include "host/db/dbsymtb.h"
#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_layerc.h"
#include "settings/dialogs/layer_linetypes.h"
#include "tests/settings/drawing_fixture.h"

namespace {

class LayercDrawing : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        zcui::ResetUi();
        AfxSetResourceHandle(VelmResourceHandle());
        AddLayer("MURY", 3, 25);
        AddLayer("OKNA", 4, 18);
    }
    void TearDown() override {
        AfxSetResourceHandle(nullptr);
        zcui::ResetUi();
        DrawingSettings::TearDown();
    }
    void AddLayer(const char* name, int colour, int weight) {
        ZcDbLayerTable* t = nullptr;
        ASSERT_EQ(db->getLayerTable(t, ZcDb::kForWrite), Zcad::eOk);
        auto* rec = new ZcDbLayerTableRecord;
        rec->setName(name);
        rec->setColorIndex(colour);
        rec->setLineWeight(weight);
        ASSERT_EQ(t->add(rec), Zcad::eOk);
        rec->close();
        t->close();
    }
    std::pair<int, int> Layer(const char* name) {
        ZcDbLayerTable* t = nullptr;
        db->getLayerTable(t, ZcDb::kForRead);
        ZcDbLayerTableRecord* rec = nullptr;
        t->getAt(name, rec, ZcDb::kForRead);
        t->close();
        std::pair<int, int> v{rec->colorIndex(), rec->lineWeight()};
        rec->close();
        return v;
    }
    static AA_LAYERC Row(const char* key, int colour, int weight) {
        AA_LAYERC r;
        r.groupPath = "G";
        r.key = key;
        r.layerName = key;
        r.color = colour;
        r.lineWeight = static_cast<std::int16_t>(weight);
        return r;
    }
};

}  // namespace

TEST_F(LayercDrawing, catalogue_to_layers_skips_values_no_layer_can_take) {
    CDlgLayerc dlg;
    dlg.SetCatalogue(AAR_LAYERC{{Row("mury", 256, -1), Row("OKNA", 5, 50)}});
    zcui::InstallDialogDriver(IDD_LAYERC, [](zcui::DialogUser& u) { u.Click(6); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(Layer("MURY"), std::make_pair(3, 25));
    EXPECT_EQ(Layer("OKNA"), std::make_pair(5, 50));
}

TEST_F(LayercDrawing, layers_to_catalogue_copies_colour_weight_and_linetype) {
    CDlgLayerc dlg;
    dlg.SetCatalogue(AAR_LAYERC{{Row("Mury", 1, -3), Row("NONE", 2, -3)}});
    zcui::InstallDialogDriver(IDD_LAYERC, [](zcui::DialogUser& u) { u.Click(7); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.Catalogue()[0].color, 3);
    EXPECT_EQ(dlg.Catalogue()[0].lineWeight, 25);
    EXPECT_EQ(dlg.Catalogue()[0].linetype, "Continuous");
    EXPECT_EQ(dlg.Catalogue()[1].color, 2);
}

TEST_F(LayercDrawing, load_layer_linetypes_sets_known_linetypes_and_leaves_unloadable_ones) {
    LayerAttrEntry okna{"OKNA", "DASHED_NOWHERE", 30, 6, 1, 0, nullptr};
    LayerAttrEntry mury{"MURY", "Continuous", 35, 2, 1, 0, &okna};
    LayerAttrEntry missing{"BRAK", "Continuous", 35, 2, 0, 0, &mury};
    LoadLayerLinetypes(&missing);
    EXPECT_EQ(Layer("MURY"), std::make_pair(2, 35));
    EXPECT_EQ(Layer("OKNA"), std::make_pair(4, 18));
    ZcDbLayerTable* t = nullptr;
    db->getLayerTable(t, ZcDb::kForRead);
    ZcDbLayerTableRecord* rec = nullptr;
    t->getAt("MURY", rec, ZcDb::kForRead);
    t->close();
    EXPECT_TRUE(rec->isOff());
    rec->close();
}
