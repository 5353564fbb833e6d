// VELM_MATPOV in a drawing: made from the catalogue on first open, found
// again afterwards with the rows the user stored.
#include "host/util/findfile.h"
#include "settings/matpov.h"
#include "tests/host/win_testdir.h"
#include "tests/settings/drawing_fixture.h"

namespace {

class MatPovDrawing : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        VELM_MATPOV::rxInit();
        zcrxBuildClassHierarchy();
        dir.write("LAYERPOV.DEF", "**Muri,\nWALLS,T_Brick,1,1\n");
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        DrawingSettings::TearDown();
        VELM_MATPOV::rxUninit();
    }
    TestDir dir;
};

}  // namespace

TEST_F(MatPovDrawing, first_open_fills_from_the_catalogue_and_later_opens_keep_edits) {
    VELM_MATPOV* m = OpenMatPovObject();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->rows.size(), 2u);
    EXPECT_EQ(m->rows[1].texture, "T_Brick");
    m->rows[1].texture = "T_Wood";
    m->close();
    EXPECT_FALSE(settingsEntry("VELM_MATPOV").isNull());
    m = OpenMatPovObject();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->rows[1].texture, "T_Wood");
    m->close();
}
