// The drawing the host program saved from tests/settings/scripts/
// preferences.scr (named by VELM_PREFERENCES_DXF in the CTest run), read
// back: the floors raised by the floors page and the walls moved with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

namespace {
class PreferencesSaved : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};
}  // namespace

TEST_F(PreferencesSaved, floors_and_their_walls_were_raised_and_the_unit_is_metres) {
    const char* saved = std::getenv("VELM_PREFERENCES_DXF");
    if (!saved || !*saved) GTEST_SKIP() << "run by CTest after the preferences script";
    std::string error;
    ASSERT_NE(host::openDrawing(saved, &error), nullptr) << error;
    VELM_PIANI* p = OpenPianiObject(true);
    ASSERT_NE(p, nullptr);
    std::vector<double> elevations;
    for (const AA_PIANO& f : p->piani.floors) elevations.push_back(f.elevation);
    const AA_PIANO* ground = p->FindFloorByElevation(0.0);
    ASSERT_NE(ground, nullptr);
    // 320 centimetres, in metres since the unit changed.
    EXPECT_DOUBLE_EQ(ground->height, 3.2);
    p->close();
    std::sort(elevations.begin(), elevations.end());
    EXPECT_EQ(elevations, (std::vector<double>{0.0, 320.0, 620.0}));
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SFTMTCM), 0.01);

    std::vector<std::pair<std::string, double>> lines;
    for (ZcDbObjectId id : modelSpace()) {
        ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
        if (line.openStatus() == Zcad::eOk) lines.emplace_back(line->layer(), line->startPoint().z);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, double>>{{"VELM2DWALLS$320", 320.0},
                                                                  {"VELM2DWALLS$620", 620.0}}));
}
