// Girder footprints on plain outlines, and the girder commands under a
// slab written the way the slab commands write it.
#include "roofs/girders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "host/ads/ssget.h"
#include "host/harness/harness.h"
#include "roofs/commands/girder_cmds.h"
#include "store/setup_slots.h"
#include "tests/roofs/slab_fixture.h"

namespace {

VertexNode* Outline(std::initializer_list<Point3> pts) {
    VertexNode* list = nullptr;
    for (const Point3& p : pts) AppendVertex(&list, p, 1, 0, 0);
    return list;
}

void ExpectCorner(const Point3& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

TEST(GirderFootprint, cut_at_the_outline_and_squared_across_an_outline_corner) {
    // A zero-length edge (the repeated vertex) is skipped; the top side
    // turns at (100, 400), between the girder's two long sides.
    VertexNode* outline =
        Outline({{0, 0, 0}, {600, 0, 0}, {600, 0, 0}, {600, 400, 0}, {100, 400, 0}, {0, 500, 0}});
    GirderFootprint f;
    ASSERT_EQ(ComputeGirders({100, 0, 0}, {100, 10, 0}, outline, 10.0, f), 1);
    ExpectCorner(f.corners[0], 105, 0);  // the first side lies to the right of the axis
    ExpectCorner(f.corners[3], 95, 0);
    // The far ends lie on two edges: the one further out is brought back.
    ExpectCorner(f.corners[1], 105, 400);
    ExpectCorner(f.corners[2], 95, 400);
    EXPECT_NE(f.endEdges[0], f.endEdges[1]);
    // An axis beyond the outline gives no footprint.
    EXPECT_EQ(ComputeGirders({700, 0, 0}, {700, 10, 0}, outline, 10.0, f), 0);
    FreeList(outline);
}

class GirdersTest : public SlabTest {
protected:
    // A roof slab 600 x 400 rising at 30 % from its edge y = 0.
    void SetUp() override {
        SlabTest::SetUp();
        CFALDA record;
        record.name = "ROOFSLAB";
        record.thickness = 30.0;
        record.slope = std::atan(0.3) * 180.0 / std::numbers::pi;
        record.SetLoops(SlabLoops({{{0, 0, 0}, {600, 0, 0}, {600, 400, 120}, {0, 400, 120}}}));
        ASSERT_TRUE(WriteSlab(record, m_slab));
    }
    static void Dialog(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    // The lower faces of the girders, by their xdata.
    static std::vector<std::vector<Point3>> Girders() {
        std::vector<std::vector<Point3>> out;
        resbuf* filter = zcutBuildList(RTDXF0, "INSERT", 8, "GIRDER", 0);
        ads_name set;
        if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(set, &n);
            for (std::int32_t i = 0; i < n; ++i) {
                ads_name e;
                zcedSSName(set, i, e);
                CFALDA record;
                double E = 0;
                if (!ReadSlabRecord(e, record, E)) continue;
                EXPECT_EQ(record.FlagWord(), 4);
                out.emplace_back();
                for (const VertexNode* v = record.loops->vertices; v; v = v->next)
                    out.back().push_back(v->pt());
            }
            zcedSSFree(set);
        }
        zcutRelRb(filter);
        return out;
    }
    static std::vector<BlockEntity> BlockOfLastGirder() {
        ads_name last;
        zcdbEntLast(last);
        return BlockOf(last);
    }
    ads_name m_slab{0, 0};
};

TEST_F(GirdersTest, girders_hang_under_the_slab_plane_at_their_spacing) {
    push("300,0");
    CmdGirders();
    const auto girders = Girders();
    ASSERT_EQ(girders.size(), 10u);
    const double drop = 18.0 / std::cos(std::atan(0.3)) + 80.0;
    std::vector<double> centres;
    for (const auto& g : girders) {
        double cx = 0;
        for (const Point3& p : g) {
            EXPECT_NEAR(0.3 * p.y - p.z, drop, 1e-6);
            cx += p.x / 4.0;
        }
        centres.push_back(cx);
        EXPECT_NEAR(std::fabs(g[0].x - g[3].x), 10.0, 1e-9);
    }
    std::sort(centres.begin(), centres.end());
    EXPECT_NEAR(centres.front(), 25.0, 1e-9);
    EXPECT_NEAR(centres.back(), 575.0, 1e-9);
    for (std::size_t i = 1; i < centres.size(); ++i)
        EXPECT_NEAR(centres[i] - centres[i - 1], 550.0 / 9.0, 1e-9);
}

TEST_F(GirdersTest, one_girder_fits_and_too_many_are_refused) {
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, 1);
    push("300,0");
    CmdGirders();
    EXPECT_EQ(Girders().size(), 1u);
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, 60);
    push("300,0");
    CmdGirders();
    EXPECT_NE(transcript().find("\nNie można wstawić dźwigarów.\nKrawędź płyty jest zbyt krótka"),
              std::string::npos);
    EXPECT_EQ(Girders().size(), 1u);
}

TEST_F(GirdersTest, projection_passes_the_picked_edge_and_the_plan_switch_lasts_one_run) {
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, 2);
    SetSettingReal(SetupVar::SETTRA_RIENTRANZA, -30.0);
    Dialog("265 check 1248 ok");
    for (const char* line : {"Opcje", "300,0"}) push(line);
    CmdGirders();
    for (const auto& g : Girders()) {
        double low = 1e9, high = -1e9;
        for (const Point3& p : g) low = std::min(low, p.y), high = std::max(high, p.y);
        EXPECT_NEAR(low, -30.0, 1e-9);
        EXPECT_NEAR(high, 400.0, 1e-9);  // the far end is not at the picked edge
    }
    const int lines = count("0=LINE");
    EXPECT_EQ(lines, 0);  // plan lines live in the blocks
    int planLines = 0;
    for (const BlockEntity& e : BlockOfLastGirder()) planLines += e.type == "LINE" && e.p[0].z == 0.0 ? 1 : 0;
    EXPECT_EQ(planLines, 4);
    push("300,0");
    CmdGirders();
    planLines = 0;
    for (const BlockEntity& e : BlockOfLastGirder()) planLines += e.type == "LINE" ? 1 : 0;
    EXPECT_EQ(planLines, 0);
}

TEST_F(GirdersTest, zprofile_is_refused_and_rotation_squares_the_girder) {
    CFALDA profile;
    profile.name = "3DSWALK";
    profile.thickness = 10.0;
    DecodeSlabFlags(profile, 28);
    profile.SetLoops(SlabLoops({Rect(1000, 0, 1400, 200, 0)}));
    ads_name zp;
    ASSERT_TRUE(WriteSlab(profile, zp));
    for (const char* line : {"1200,0", "!cancel"}) push(line);
    CmdGirders();
    EXPECT_NE(transcript().find("\nWybrany obiekt nie jest płytą"), std::string::npos);
    EXPECT_TRUE(Girders().empty());

    SetSettingInt(SetupVar::SETTRA_RUOTARE, 1);
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, 1);
    push("300,0");
    CmdGirders();
    // A side face's rising edge runs along the slab's normal.
    const Point3 n{0.0, -0.3 / std::sqrt(1.09), 1.0 / std::sqrt(1.09)};
    int checked = 0;
    for (const BlockEntity& e : BlockOfLastGirder()) {
        if (e.type != "3DFACE" || e.layer != "3DGIRDER") continue;
        const Point3 d{e.p[2].x - e.p[1].x, e.p[2].y - e.p[1].y, e.p[2].z - e.p[1].z};
        const double len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (std::fabs(len - 18.0) > 1e-6) continue;
        EXPECT_NEAR((d.x * n.x + d.y * n.y + d.z * n.z) / len, 1.0, 1e-9);
        ++checked;
    }
    EXPECT_EQ(checked, 4);
}

TEST_F(GirdersTest, rebuild_changes_only_girders_with_a_new_footprint) {
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, 2);
    push("300,0");
    CmdGirders();
    // A girder outside the slab (no new footprint there) and the slab itself.
    CFALDA stray;
    stray.name = "GIRDER";
    stray.thickness = 18.0;
    DecodeSlabFlags(stray, 4);
    stray.SetLoops(SlabLoops({{{2010, 0, 0}, {2010, 400, 0}, {2000, 400, 0}, {2000, 0, 0}}}));
    ads_name strayInsert;
    ASSERT_TRUE(WriteSlab(stray, strayInsert));
    Dialog("265 edit 1249 \"-30\" ok");
    for (const char* line : {"300,0", "20,200", "2000,200", "300,200", ""}) push(line);
    CmdRebuildGirders();
    const auto girders = Girders();
    ASSERT_EQ(girders.size(), 3u);
    int projecting = 0, stayed = 0;
    for (const auto& g : girders) {
        double low = 1e9;
        for (const Point3& p : g) low = std::min(low, p.y);
        projecting += std::fabs(low + 30.0) < 1e-9 ? 1 : 0;
        stayed += g[0].x >= 2000.0 ? 1 : 0;
    }
    EXPECT_EQ(projecting, 1);
    EXPECT_EQ(stayed, 1);
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 1);
}

TEST_F(GirdersTest, dialog_refuses_negative_distances_and_no_girders) {
    Dialog("265 edit 1239 \"-1\" ok edit 1239 \"0\" edit 1241 \"0\" ok edit 1241 \"3\" ok");
    push("Opcje");
    push("!cancel");
    CmdGirders();
    std::vector<std::string> texts;
    for (const auto& box : zcui::MessageBoxes()) texts.push_back(box.text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Odległość, na początku i na końcu musi być równa lub większa od zera");
    EXPECT_EQ(texts[1], "Liczba dźwigarów musi być większa od zera");
    EXPECT_EQ(SettingInt(SetupVar::SETTRA_NUMTRAV), 3);
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SETTRA_DISTINI), 0.0);
}

}  // namespace
