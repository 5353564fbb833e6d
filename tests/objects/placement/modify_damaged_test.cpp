// VELMMODIFY on a door whose records were damaged in the drawing file: its
// own record with a group too many, or a wall line at it whose xdata opens
// a brace it never closes. The damaged entity is named by its handle and
// the door and its walls stay as they were.
#include <gtest/gtest.h>

#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/util/findfile.h"
#include "objects/language/obj_records.h"
#include "tests/store/damaged_records.h"
#include "tests/support/velm_test.h"
#include "walls/graph/outline_record.h"

namespace {

class ModifyDamaged : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        // A room and a door in its bottom wall: eight faces, the door cuts two.
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        run({"VELMOBJECT", "P1", "!pick 200,15", "100"});
        ASSERT_EQ(doors(), 1) << transcript();
        ASSERT_EQ(wallLines(), 10) << transcript();
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            zcdbGetAdsName(e, id);
            resbuf* record = GetEntXData(e, kParamRecordApp);
            if (record && FindXDataApp(record, kParamRecordApp)) ads_name_set(e, door);
            zcutRelRb(record);
        }
        ASSERT_FALSE(ads_name_nil(door));
        doorHandle = Handle(door);
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }
    static int doors() { return count("0=INSERT -3=VELM5$_$PARAMETRI-"); }
    static int wallLines() { return count("0=LINE 8=VELM2DWALLS$0"); }
    static std::string Handle(const ads_name e) {
        resbuf* list = zcdbEntGet(e);
        const resbuf* h = FindRbCode(list, 5);
        std::string out = h && h->resval.rstring ? h->resval.rstring : "";
        zcutRelRb(list);
        return out;
    }
    // The door picked for modification.
    void Modify() {
        run({"VELMMODIFY", "!pick 145,0"});
        EXPECT_NE(transcript().find("Uszkodzone dane rozszerzone elementu " + damaged), std::string::npos)
            << transcript();
        EXPECT_EQ(doors(), 1);
        EXPECT_EQ(wallLines(), 10);
        EXPECT_EQ(Handle(door), doorHandle);
    }

    ads_name door = {0, 0};
    std::string doorHandle, damaged;
};

TEST_F(ModifyDamaged, a_door_record_with_a_group_twice_is_named_and_left) {
    damaged = doorHandle;
    DamageXData(door, kParamRecordApp, [](DxfItems& items) {
        // The fixed point's Z, once more.
        ZcDbDxfItem z;
        z.code = 1030;
        z.kind = ZcDbDxfItem::kindOfCode(1030);
        items.insert(items.begin() + 5, z);
    });
    Modify();
}

TEST_F(ModifyDamaged, a_wall_line_whose_xdata_opens_a_stray_brace_is_named_and_the_door_left) {
    const OwnedOutline outline{ReadTag3DiStr(door)};
    ASSERT_TRUE(outline);
    const OutlineNode& gap = *outline;
    ads_name line = {0, 0};
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        zcdbGetAdsName(e, id);
        Point3 s, t;
        if (GetLineData(e, s, t) &&
            (PointsEqual(s, gap.gapA[0], false) || PointsEqual(t, gap.gapA[0], false)))
            ads_name_set(e, line);
    }
    ASSERT_FALSE(ads_name_nil(line));
    damaged = Handle(line);
    DamageXData(line, "VELM5$_$DATITIPOMURO-", [](DxfItems& items) {
        ZcDbDxfItem brace;
        brace.code = 1002;
        brace.kind = ZcDbDxfItem::kString;
        brace.text = "{";
        items.insert(items.begin(), brace);
    });
    Modify();
}

}  // namespace
