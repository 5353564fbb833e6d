// The profile sweep: sections placed along plain paths, and the swept
// surface written into the drawing, checked as a closed surface (every
// face edge shared by exactly two faces) where the path is open and capped.
#include "roofs/profile_sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "core/base/module_state.h"
#include "host/harness/harness.h"
#include "roofs/commands/profile_cmd.h"
#include "tests/roofs/slab_fixture.h"

namespace {

VertexNode* List(std::initializer_list<Point3> pts) {
    VertexNode* list = nullptr;
    for (const Point3& p : pts) AppendVertex(&list, p, 1, 0, 0);
    return list;
}

class ProfileSweepTest : public SlabTest {
protected:
    // A 20 x 30 section standing on the path, clockwise.
    static void Start(CPROFILI& profile, std::initializer_list<Point3> path) {
        profile.layer = "3DEAVES";
        profile.uniqueBlock = false;
        profile.path = List(path);
        profile.section = List({{-10, 0, 0}, {-10, 30, 0}, {10, 30, 0}, {10, 0, 0}});
    }
    static std::vector<BlockEntity> Faces() {
        std::vector<BlockEntity> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* data = zcdbEntGet(e);
            BlockEntity be;
            for (const resbuf* rb = data; rb; rb = rb->rbnext) {
                if (rb->restype == 0) be.type = rb->resval.rstring;
                if (rb->restype >= 10 && rb->restype <= 13)
                    be.p[rb->restype - 10] = {rb->resval.rpoint[0], rb->resval.rpoint[1],
                                              rb->resval.rpoint[2]};
            }
            zcutRelRb(data);
            if (be.type == "3DFACE") out.push_back(be);
        }
        return out;
    }
    // Every edge of every face, by its rounded ends, counted.
    static bool Watertight(const std::vector<BlockEntity>& faces) {
        using Key = std::tuple<long, long, long>;
        auto key = [](const Point3& p) {
            return Key{std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6)};
        };
        std::map<std::pair<Key, Key>, int> edges;
        for (const BlockEntity& f : faces) {
            for (int i = 0; i < 4; ++i) {
                Key a = key(f.p[i]), b = key(f.p[(i + 1) % 4]);
                if (a == b) continue;
                if (b < a) std::swap(a, b);
                ++edges[{a, b}];
            }
        }
        for (const auto& [edge, n] : edges)
            if (n != 2) return false;
        return true;
    }
};

TEST_F(ProfileSweepTest, two_points_give_a_capped_extrusion_to_the_right_of_the_path) {
    CPROFILI profile;
    Start(profile, {{0, 0, 0}, {100, 0, 0}});
    MakeProfileBlock(profile);
    const auto faces = Faces();
    ASSERT_EQ(faces.size(), 8u);  // four sides and two triangles per cap
    double capArea = 0.0;
    for (const BlockEntity& f : faces) {
        for (const Point3& p : f.p) {
            EXPECT_GE(p.y, -10.0 - 1e-9);
            EXPECT_LE(p.y, 10.0 + 1e-9);
            EXPECT_GE(p.z, -1e-9);
            EXPECT_LE(p.z, 30.0 + 1e-9);
        }
        if (std::fabs(f.p[0].x - f.p[1].x) < 1e-9 && std::fabs(f.p[1].x - f.p[2].x) < 1e-9) {
            const Point3 u{0, f.p[1].y - f.p[0].y, f.p[1].z - f.p[0].z},
                v{0, f.p[2].y - f.p[0].y, f.p[2].z - f.p[0].z};
            capArea += std::fabs(u.y * v.z - u.z * v.y) / 2.0;
        }
    }
    EXPECT_NEAR(capArea, 2 * 600.0, 1e-6);
    EXPECT_TRUE(Watertight(faces));
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(ProfileSweepTest, mitred_turns_share_their_edges) {
    CPROFILI open;
    Start(open, {{0, 0, 0}, {100, 0, 0}, {100, 100, 20}, {0, 150, 20}});
    MakeProfileBlock(open);
    EXPECT_TRUE(Watertight(Faces()));
    EXPECT_EQ(Faces().size(), 3u * 4u + 4u);
}

TEST_F(ProfileSweepTest, closed_path_joins_its_last_section_to_the_first_without_caps) {
    CPROFILI closed;
    Start(closed, {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}});
    closed.closed = true;
    MakeProfileBlock(closed);
    const auto faces = Faces();
    EXPECT_EQ(faces.size(), 16u);
    EXPECT_TRUE(Watertight(faces));
}

TEST_F(ProfileSweepTest, section_y_axis_follows_the_switch_and_vertical_planes) {
    // The placed section's Y axis: from its point (0, 0) to its point (0, 10).
    auto yAxis = [](CPROFILI& profile, const VertexNode* pp, const VertexNode* p, const VertexNode* c,
                    const VertexNode* n, const VertexNode* nn) {
        VertexNode* placed = PlaceProfileSections(profile, pp, p, c, n, nn);
        // Reversed order: (0, 10) then (0, 0).
        const Point3 y{placed->x - placed->next->x, placed->y - placed->next->y, placed->z - placed->next->z};
        FreeList(placed);
        return y;
    };
    CPROFILI profile;
    profile.section = List({{0, 0, 0}, {0, 10, 0}});
    VertexNode* sloped = List({{0, 0, 0}, {100, 0, 0}, {200, 100, 50}});
    profile.verticalAxis = true;
    Point3 y = yAxis(profile, nullptr, sloped, sloped->next, sloped->next->next, nullptr);
    EXPECT_NEAR(y.z, 10.0, 1e-9);
    profile.verticalAxis = false;
    y = yAxis(profile, nullptr, sloped, sloped->next, sloped->next->next, nullptr);
    EXPECT_GT(std::fabs(y.x) + std::fabs(y.y), 1e-3);  // tilted off the vertical
    FreeList(sloped);

    VertexNode* vertical = List({{0, 0, 0}, {100, 0, 50}, {200, 0, 50}});
    y = yAxis(profile, nullptr, vertical, vertical->next, vertical->next->next, nullptr);
    EXPECT_NEAR(y.z, 10.0, 1e-9);
    FreeList(vertical);
}

TEST_F(ProfileSweepTest, offset_moves_the_reference_line_right_and_block_holds_the_faces) {
    CPROFILI profile;
    Start(profile, {{50, 20, 0}, {150, 20, 0}});
    profile.offset = 5.0;
    profile.uniqueBlock = true;
    MakeProfileBlock(profile);
    EXPECT_TRUE(Faces().empty());
    ASSERT_EQ(count("0=INSERT 8=3DEAVES"), 1);
    ads_name insert;
    zcdbEntLast(insert);
    // The reference line moved 5 to the right of the path: the block is
    // inserted at the moved first point and the section centred on it.
    resbuf* list = zcdbEntGet(insert);
    const resbuf* at = FindRbCode(list, 10);
    ASSERT_TRUE(at);
    EXPECT_NEAR(at->resval.rpoint[0], 50.0, 1e-9);
    EXPECT_NEAR(at->resval.rpoint[1], 15.0, 1e-9);
    zcutRelRb(list);
    const auto block = BlockOf(insert);
    EXPECT_EQ(block.size(), 8u);
    for (const BlockEntity& f : block)
        for (const Point3& p : f.p) {
            EXPECT_GE(p.y, -10.0 - 1e-9);
            EXPECT_LE(p.y, 10.0 + 1e-9);
        }
}

TEST_F(ProfileSweepTest, vertical_segment_and_u_turn_are_refused_with_nothing_written) {
    for (const std::vector<std::string>& pts : {std::vector<std::string>{"0,0,0", "0,0,100", "100,0,100", ""},
                                                std::vector<std::string>{"0,0", "100,0", "0,0.5", ""}}) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript("232 click 1094", &error)) << error;
        for (const std::string& p : pts) push(p);
        CmdProfileSweep();
    }
    EXPECT_NE(transcript().find("\nNie mogą być pionowe segmenty definicji krzywej"), std::string::npos);
    EXPECT_NE(transcript().find("\nDefinicja krzywej nie może zawracać"), std::string::npos);
    EXPECT_TRUE(Faces().empty());
    EXPECT_EQ(count("0=INSERT"), 0);
}

}  // namespace
