// Layer names of a view: the reference prefix cut, the user's renames (the
// later line winning, whole lines however long), and the 3D wall layers of
// a level told apart with and without level suffixes.
#include <gtest/gtest.h>

#include <string>

#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"
#include "visual/views/section_faces.h"

namespace {

class LayerNames : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        const std::string mine = dir.path();
        host::setSupportPathProvider([root, mine] {
            return std::vector<std::string>{mine, root + "/support", root + "/support/host"};
        });
        loadModule();
    }
    std::string Parsed(CSezione& s, std::string name, int expected) {
        EXPECT_EQ(s.ParseLevel3DLayer(name), expected) << name;
        return name;
    }
    TestDir dir;
};

}  // namespace

TEST_F(LayerNames, wall_layers_of_a_level_read_minus_one_after_the_reference_prefix) {
    CSezione s;
    EXPECT_EQ(Parsed(s, "PLAN|VELM3DWALLS$300", -1), "VELM3DWALLS$300");
    EXPECT_EQ(Parsed(s, "velm3dwalls$-20.5", -1), "velm3dwalls$-20.5");
    EXPECT_EQ(Parsed(s, "A|B|VELM3DWALLS$0", 1), "B|VELM3DWALLS$0");
    EXPECT_EQ(Parsed(s, "VELM3DWALLS", 1), "VELM3DWALLS");
    EXPECT_EQ(Parsed(s, "VELM3DROOF$300", 1), "VELM3DROOF$300");
    EXPECT_EQ(Parsed(s, "3DWALLS$300", 1), "3DWALLS$300");
    EXPECT_EQ(Parsed(s, "VELM3DWALLS$30a", 1), "VELM3DWALLS$30a");

    // Without level suffixes the whole rest of the name is the wall layer.
    SetSettingInt(SetupVar::VELMLAYERQP, 1);
    CSezione flat;
    EXPECT_EQ(Parsed(flat, "VELM3DWALLS", -1), "VELM3DWALLS");
    EXPECT_EQ(Parsed(flat, "VELM3DWALLS$300", 1), "VELM3DWALLS$300");
}

TEST_F(LayerNames, renames_follow_the_users_list_the_later_line_winning) {
    const std::string longName(300, 'X');
    dir.write("VELMFLU.LST",
              "ROOF,ROOF_A\n"
              "no comma here\n"
              "EMPTY,\n"
              "roof, ROOF_B extra\n"
              "SPACED ,S2\n" +
                  longName + ",LONG_OK\n" + "VELM3DWALLS$300,PLAIN\n");
    CSezione s;
    EXPECT_EQ(Parsed(s, "Roof", 1), "ROOF_B");
    EXPECT_EQ(Parsed(s, "SPACED", 1), "SPACED");
    EXPECT_EQ(Parsed(s, "SPACED ", 1), "S2");
    EXPECT_EQ(Parsed(s, "EMPTY", 1), "EMPTY");
    EXPECT_EQ(Parsed(s, longName, 1), "LONG_OK");
    // A renamed layer is never taken for a wall layer.
    EXPECT_EQ(Parsed(s, "REF|VELM3DWALLS$300", 1), "PLAIN");
    int pairs = 0;
    for (const LayerRename* p = s.renames; p; p = p->next) ++pairs;
    EXPECT_EQ(pairs, 5);
}
