// A closed outline hatched with a named pattern and two points dimensioned,
// the drawing saved as DXF and read back: the hatch keeps its record and
// the dimension the module's text.
#include <gtest/gtest.h>

#include <string>

#include "core/dimtext.h"
#include "core/hatch.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdim.h"
#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/ed/hostcmd_util.h"
#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

class HatchAndDimensionDrawing : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        host::installHostCommands();  // whatever stand-ins earlier tests left
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
    }
    void TearDown() override {
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }
};

}  // namespace

TEST_F(HatchAndDimensionDrawing, saved_drawing_holds_the_tagged_hatch_and_the_dimension_text) {
    auto* outer = new FaceRecord;
    for (Point3 p : {Point3{0, 0, 0}, Point3{8, 0, 0}, Point3{8, 6, 0}, Point3{0, 6, 0}})
        AppendVertex(&outer->corners, p, 0, 0, 0);
    OwnedList<FaceRecord> contour(outer);
    double angle = 45.0, scale = 1.0, elevation = 0.0;
    HatchContour(contour.get(), "FLOORSLAB", &angle, &scale, &elevation, "ANSI31", 2);

    int slot = SetupVar::QNORMDIN;
    short on = 1;
    SetVarInt(&slot, &on);
    VertexNode* points = nullptr;
    AppendVertex(&points, {0, -2, 0}, 1, 0, 0);
    AppendVertex(&points, {3.5, -2, 0}, 1, 1, 0);
    OwnedList<VertexNode> owned(points);
    std::string style = "STANDARD";
    ads_point line{0, -4, 0};
    DrawDimension(style, "0", line, points, nullptr, "_HOR", 0.0, 0.0, 0.0, 0.0);

    TestDir dir;
    std::string error;
    ASSERT_TRUE(host::saveDxf(db(), dir.path("rysunek.dxf"), nullptr, &error)) << error;
    host::DxfLoadResult loaded = host::loadDxf(dir.path("rysunek.dxf"));
    ASSERT_TRUE(loaded.db) << loaded.error;

    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, loaded.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    int hatches = 0, dimensions = 0;
    for (ZcDbObjectId id : ms->entityIds()) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (auto* h = ZcDbHatch::cast(e)) {
            ++hatches;
            EXPECT_EQ(h->patternName(), "ANSI31");
            resbuf* record = h->xData(kHatchApp);
            HatchXData d;
            OwnedList<FaceRecord> loops(ParseHatchRecord(record, d));
            zcutRelRb(record);
            ASSERT_TRUE(loops);
            EXPECT_EQ(d.kind, 2);
            EXPECT_EQ(d.layer, "FLOORSLAB");
            EXPECT_EQ(CountNodes(loops->corners), 4);
        }
        if (auto* dim = ZcDbDimension::cast(e)) {
            ++dimensions;
            EXPECT_EQ(dim->dimensionText().substr(0, 3), "3\\H");
            EXPECT_NE(dim->dimensionText().find("\\S5^"), std::string::npos);
        }
        e->close();
    }
    ms->close();
    EXPECT_EQ(hatches, 1);
    EXPECT_EQ(dimensions, 1);
}
