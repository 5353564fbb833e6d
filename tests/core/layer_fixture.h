// The module's test drawing, with its settings objects, and a stand-in of the host's layer command that
// records its answers (and makes the layer it is asked to make), a stand-in regen, and helpers to add and
// read layers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

inline void AddLayer(const std::string& name, int color, bool off = false) {
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(GetWorkingDatabase()->getLayerTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    rec->setColorIndex(color);
    rec->setIsOff(off);
    ASSERT_EQ(table->add(rec), Zcad::eOk);
    rec->close();
    table->close();
}

inline int LayerColor(const std::string& name) {
    ZcDbLayerTable* table = nullptr;
    GetWorkingDatabase()->getLayerTable(table, ZcDb::kForRead);
    ZcDbLayerTableRecord* rec = nullptr;
    int color = -1;
    if (table->getAt(name, rec, ZcDb::kForRead) == Zcad::eOk) {
        color = rec->colorIndex();
        rec->close();
    }
    table->close();
    return color;
}

inline AAR_LAYERC Catalogue() {
    AAR_LAYERC t;
    t.ParseLayerDefLines({"**Ściany,", "2DWALLS,MURI,1,X,DASHED,25", "3DWALLS,3DWALLS,254,,Continuous,-1",
                          "2DFUNL,2DFUNL,3,,HIDDEN,-2"});
    return t;
}

// Records what the layer command is given, answer by answer, up to the
// empty answer that ends it, and the two variables while it runs.
class LayerService : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        ASSERT_NE(db(), nullptr);
        ASSERT_EQ(GetWorkingDatabase(), db());
        host::registerHostCommand("-LAYER", [this] {
            echoWhileRunning = host::sysVarShort("CMDECHO");
            regenWhileRunning = host::sysVarShort("REGENMODE");
            const std::size_t first = answers.size();
            for (;;) {
                host::InputToken t = host::nextPromptToken();
                if (t.kind != host::InputToken::Text) return RTCAN;
                answers.push_back(t.text);
                if (t.text.empty()) return RTNORM;
                // The layer named after "_N" is made, as the host would.
                if (answers.size() == first + 2 && answers[first] == "_N") AddLayer(t.text, 7);
            }
        });
        host::registerHostCommand("REGEN", [this] {
            ++regens;
            return RTNORM;
        });
    }
    void TearDown() override {
        // The host's own commands take their names back.
        host::unregisterHostCommand("-LAYER");
        host::unregisterHostCommand("REGEN");
        host::installHostCommands();
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }

    std::vector<std::string> answers;
    int echoWhileRunning = -1;
    int regenWhileRunning = -1;
    int regens = 0;
};
