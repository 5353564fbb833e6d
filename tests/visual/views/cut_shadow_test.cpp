// Shadows stop at the cut: walls made 3D by the module's own command, cut
// by sections either way with the light on the side they are seen from,
// show no shadow hatch inside their section hatch. The overlap is measured
// on the view block alone, by sampling the shadow hatches' loops against
// the section hatches' loops, none of the passes' polygon code involved.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/host_services.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ui/driver.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/views/view_oracle.h"
#include "visual/views/view_commands.h"

namespace {

using oracle::Ring;

class CutShadow : public Model3DTest {
protected:
    // Two walls 30 thick and 300 high, joined in an L: one along x from
    // 0,0 to 600,0, one along y from there to 600,500.
    void TwoWalls(bool closedTops) {
        std::string error;
        ASSERT_TRUE(zcui::RunDialogScript("1016 page 0 edit 1001 \"300\" ok", &error)) << error;
        SetSettingInt(SetupVar::CHIUSURA_SUP, closedTops ? 1 : 0);
        ASSERT_EQ(run({"VELMFLOOROPTIONS", "VELMWALLD", "0,0", "600,0", "600,500", "", "VELMWALL3D", ""}),
                  RTNORM)
            << transcript();
        ASSERT_GT(count("0=3DFACE 8=VELM3DWALLS$0"), 0) << transcript();
    }

    static void LightFrom(double x, double y, double z) {
        int slot = SetupVar::SETOMBRE_DIRLUCE;
        SetVarPoint(&slot, &x, &y, &z);
    }

    // A view with hidden faces and shadows from the section line p1-p2 seen
    // from `side`; the name of its block (empty when none was made).
    static std::string ShadedView(const char* p1, const char* p2, const char* side) {
        push({p1, p2, side, "0,-3000"});
        GenerateView(0, 1);
        std::string block;
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (!ref) continue;
            ZcDbObjectPointer<ZcDbBlockTableRecord> rec(ref->blockTableRecord(), ZcDb::kForRead);
            if (rec) rec->getName(block);
        }
        return block;
    }

    // The area of the section hatches, and of what the shadow hatches
    // cover of it, on a grid of samples `step` apart.
    static void Overlap(const std::string& block, double step, double& cut, double& shaded) {
        const std::vector<Ring> cuts = oracle::BlockHatchRings(db(), block, "VELMSECTION_H");
        const std::vector<Ring> shadows = oracle::BlockHatchRings(db(), block, "2DSHADE_H");
        cut = shaded = 0.0;
        for (const Ring& r : cuts) {
            double lo[2] = {r[0].x, r[0].y}, hi[2] = {r[0].x, r[0].y};
            for (const Point3& p : r) {
                lo[0] = std::min(lo[0], p.x), lo[1] = std::min(lo[1], p.y);
                hi[0] = std::max(hi[0], p.x), hi[1] = std::max(hi[1], p.y);
            }
            // Off the round coordinates the loops' edges run along.
            for (double x = lo[0] + 0.37 * step; x < hi[0]; x += step)
                for (double y = lo[1] + 0.61 * step; y < hi[1]; y += step) {
                    if (!oracle::InRing({x, y, 0.0}, r)) continue;
                    cut += step * step;
                    if (oracle::InAnyRing({x, y, 0.0}, shadows)) shaded += step * step;
                }
        }
    }

    // South-north across the first wall seen from the west, lit from the
    // west; west-east across the second seen from the north, lit from the
    // north. Each time the wall's inside runs from the cut to the other
    // wall's outer face, which the pass takes for a face seen and lit.
    void ExpectCleanCuts() {
        struct Section {
            const char *p1, *p2, *side;
            Point3 light;
        };
        const Section sections[] = {{"300,-300", "300,300", "-500,0", {-1.0, -0.4, 0.6}},
                                    {"400,250", "900,250", "600,900", {0.4, 1.0, 0.6}}};
        for (const Section& s : sections) {
            SCOPED_TRACE(std::string(s.p1) + " " + s.p2);
            LightFrom(s.light.x, s.light.y, s.light.z);
            const std::string block = ShadedView(s.p1, s.p2, s.side);
            ASSERT_FALSE(block.empty()) << transcript();
            ASSERT_FALSE(oracle::BlockHatchRings(db(), block, "2DSHADE_H").empty());
            double cut = 0.0, shaded = 0.0;
            Overlap(block, 1.0, cut, shaded);
            EXPECT_NEAR(cut, 9000.0, 200.0);
            EXPECT_EQ(shaded, 0.0) << "of " << cut;
        }
    }
};

TEST_F(CutShadow, walls_cut_either_way_with_the_light_on_the_seen_side_show_no_shadow_in_their_cut) {
    TwoWalls(false);
    ExpectCleanCuts();
}

// With closed tops a wall's cut edges make a U open at its foot.
TEST_F(CutShadow, walls_with_closed_tops_are_hatched_where_cut_and_show_no_shadow_there) {
    TwoWalls(true);
    ExpectCleanCuts();
}

}  // namespace

namespace {

// The README's walkthrough house up to its hip roof (the script's steps
// before the rooms): walls, doors, windows, the stair, the floor slab, the
// walls in 3D and the roof.
class WalkthroughCutShadow : public CutShadow {
protected:
    void SetUp() override {
        CutShadow::SetUp();
        std::ifstream in(std::string(VELM_SOURCE_DIR) + "/demo/first_house.scr");
        ASSERT_TRUE(in);
        std::string line, script;
        while (std::getline(in, line)) {
            if (line.rfind("; 9.", 0) == 0) break;
            if (line.rfind(";", 0) == 0 || line.rfind("!expect", 0) == 0) continue;
            script += line + "\n";
        }
        host::currentInput().pushLines(script);
        host::processInput();
        ASSERT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), 73) << transcript();
    }
};

TEST_F(WalkthroughCutShadow, the_west_east_section_lit_from_the_south_shows_no_shadow_in_its_cuts) {
    LightFrom(0.5, -1.0, 0.8);
    const std::string block = ShadedView("-100,400", "1200,400", "500,-600");
    ASSERT_FALSE(block.empty()) << transcript();
    ASSERT_FALSE(oracle::BlockHatchRings(db(), block, "2DSHADE_H").empty());
    double cut = 0.0, shaded = 0.0;
    Overlap(block, 2.0, cut, shaded);
    EXPECT_GT(cut, 20000.0);
    EXPECT_EQ(shaded, 0.0) << "of " << cut;
}

}  // namespace
