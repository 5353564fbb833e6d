// A room of four walls from the shipped library, with one object placed
// into its bottom wall by VELMOBJECT, as a user would place it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/util/findfile.h"
#include "objects/language/obj_records.h"
#include "tests/support/velm_test.h"

class PlacedObjectTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }
    // The definition `name` placed 100 along the bottom wall; `placed` is
    // its INSERT.
    void Place(const std::string& name) {
        run({"VELMOBJECT", name, "!pick 200,15", "100"});
        ASSERT_EQ(placedObjects(), 1) << transcript();
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            zcdbGetAdsName(e, id);
            resbuf* record = GetEntXData(e, kParamRecordApp);
            if (record && FindXDataApp(record, kParamRecordApp)) ads_name_set(e, placed);
            zcutRelRb(record);
        }
        ASSERT_FALSE(ads_name_nil(placed));
    }
    static int placedObjects() { return count("0=INSERT -3=VELM5$_$PARAMETRI-"); }
    static int wallLines() { return count("0=LINE 8=VELM2DWALLS$0"); }

    ads_name placed = {0, 0};
};
