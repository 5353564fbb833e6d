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
#include "tests/objects/placement/placed_object_fixture.h"
#include "tests/store/damaged_records.h"
#include "walls/graph/outline_record.h"

namespace {

class ModifyDamaged : public PlacedObjectTest {
protected:
    void SetUp() override {
        PlacedObjectTest::SetUp();
        // A room and a door in its bottom wall: eight faces, the door cuts two.
        Place("P1");
        ASSERT_EQ(wallLines(), 10) << transcript();
        ads_name_set(placed, door);
        doorHandle = Handle(door);
    }
    static int doors() { return placedObjects(); }
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
