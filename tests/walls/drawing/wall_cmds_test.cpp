// The rectangle and wall-layer commands, and the clean-up of degenerate
// wall lines.
#include <algorithm>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/walls/drawing/walls_fixture.h"
#include "walls/drawing/draw_walls.h"

namespace {

// The rectangle numbers the drawing's lines carry, one per line.
std::vector<double> RectangleNumbers() {
    std::vector<double> out;
    WallsTest::ForEachSelected(zcutBuildList(RTDXF0, "LINE", -3, 1001, "VELM13CAD$_$RECTANGLINE-", 0),
                               [&](const ads_name e) {
                                   if (resbuf* list = GetEntXData(e, "VELM13CAD$_$RECTANGLINE-")) {
                                       if (const resbuf* n = FindRbCode(list, 1040))
                                           out.push_back(n->resval.rreal);
                                       zcutRelRb(list);
                                   }
                               });
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST_F(WallsTest, rectangles_are_numbered_in_turn_and_the_number_survives_a_cancelled_layer_dialog) {
    SetReal(SetupVar::SETRECT_INCREMENT, 5);
    run({"VELMRWALL", "0,0", "300,200", "500,0", "800,200", ""});
    EXPECT_EQ(RectangleNumbers(), (std::vector<double>{5, 5, 5, 5, 6, 6, 6, 6})) << transcript();
    EXPECT_EQ(Real(SetupVar::SETRECT_INCREMENT), 7);
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_TRUE(HasLine(lines, {0, 0}, {0, 200}));
    EXPECT_TRUE(HasLine(lines, {800, 200}, {800, 0}));
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");

    run({"VELMRWALL", "0,500", "300,700", "!dialog 345 cancel", "Warstwa"});
    EXPECT_EQ(Real(SetupVar::SETRECT_INCREMENT), 8)
        << "the rectangle drawn before the cancel keeps its number";
    EXPECT_EQ(RectangleNumbers().back(), 7);
}

TEST_F(WallsTest, a_rectangle_by_thickness_stands_on_its_base_and_keeps_the_thickness) {
    run({"VELMRWALL", "0,0", "Grubość", "25", "400,0", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, 0}, {400, 0}));
    EXPECT_TRUE(HasLine(lines, {400, 25}, {0, 25}));
    EXPECT_EQ(Real(SetupVar::SETLASTSPESSRECT), 25);
    EXPECT_NE(transcript().find("Wprowadź grubość ściany prostokątnej <30>:"), std::string::npos)
        << transcript();

    // Sides of no length are refused and asked again.
    run({"VELMRWALL", "0,300", "Grubość", "0", "-5", "", "0,300", "0,400", "0,900", "500,900", "600,1000",
         ""});
    const std::vector<FaceLine> more = Lines();
    EXPECT_EQ(more.size(), 12u) << transcript();
    EXPECT_TRUE(HasLine(more, {-25, 300}, {-25, 400})) << "the thickness kept from before";
    EXPECT_TRUE(HasLine(more, {0, 900}, {0, 1000}));
    const std::string& said = transcript();
    std::size_t refusals = 0;
    for (std::size_t at = said.find("Określony punkt jest nieprawidłowy"); at != std::string::npos;
         at = said.find("Określony punkt jest nieprawidłowy", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, 2u);

    // Cancel at the thickness still keeps the next number.
    run({"VELMRWALL", "0,500", "Grubość", "!cancel"});
    EXPECT_EQ(Real(SetupVar::SETRECT_INCREMENT), 3);
}

TEST_F(WallsTest, only_degenerate_lines_on_the_floors_wall_layers_are_erased) {
    WallLine({10, 10}, {10, 10});
    WallLine({20, 20}, {20 + 1e-6, 20});
    WallLine({30, 30}, {30, 30}, "Ściana ogólna", "0");
    WallLine({40, 40}, {40, 40}, "Ściana ogólna", "VELM2DWALLS$300");
    EXPECT_EQ(EraseNullWallLines(), 1);
    EXPECT_EQ(count("0=LINE"), 3);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines("VELM2DWALLS$300").size(), 1u);
}

TEST_F(WallsTest, the_wall_layer_list_keeps_its_first_layer_first) {
    run({"!dialog 176 select 1034 \"2DWALLS\" key 1034 delete edit 1036 \"ARCH\" click 1035 ok",
         "VELMLWALL"});
    VELM_LAYERMURI* walls = OpenLayerMuriObject();
    ASSERT_NE(walls, nullptr);
    const std::vector<std::string> entries = walls->entries;
    walls->close();
    EXPECT_EQ(entries, (std::vector<std::string>{"2DWALLS", "ARCH"})) << transcript();
}
