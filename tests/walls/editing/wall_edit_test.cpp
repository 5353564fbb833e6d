// Wall editing: the face moved whole with the walls at its ends following,
// a recess cut into a stretch, nothing changed when nothing moves, and the
// pick taken from the pick-first selection only when it is one line.
#include "walls/editing/wall_edit.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

using Spans = std::vector<std::pair<double, double>>;

Spans Along(const std::vector<FaceLine>& lines, bool horizontal, double at) {
    Spans out;
    for (const FaceLine& l : lines) {
        const double a = horizontal ? l.start.y : l.start.x, b = horizontal ? l.end.y : l.end.x;
        if (std::abs(a - at) > 1e-6 || std::abs(b - at) > 1e-6) continue;
        const double s = horizontal ? l.start.x : l.start.y, e = horizontal ? l.end.x : l.end.y;
        // Moved points carry rounding noise from the polar moves.
        const auto r = [](double v) { return std::round(v * 1e6) / 1e6; };
        out.emplace_back(r(std::min(s, e)), r(std::max(s, e)));
    }
    std::sort(out.begin(), out.end());
    return out;
}

constexpr const char* kPickPrompt = "Wybierz linię ściany bocznej, którą chcesz modyfikować:";

}  // namespace

class WallEditTest : public WallsTest {
protected:
    void Room() {
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        ASSERT_EQ(Lines().size(), 8u) << transcript();
    }
};

TEST_F(WallEditTest, enter_moves_the_whole_face_and_the_walls_at_both_ends_follow_it) {
    Room();
    run({"VELMEDITWALL", "!pick 400,-15", "", "20"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 8u) << transcript();
    EXPECT_EQ(Along(lines, true, -35.0), (Spans{{-15.0, 615.0}}));
    EXPECT_TRUE(Along(lines, true, -15.0).empty()) << "the old face is gone";
    EXPECT_EQ(Along(lines, false, -15.0), (Spans{{-35.0, 415.0}}));
    EXPECT_EQ(Along(lines, false, 615.0), (Spans{{-35.0, 415.0}}));
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");
}

TEST_F(WallEditTest, a_recess_makes_its_two_sides_and_keeps_the_old_faces_outer_pieces) {
    Room();
    // From the end nearer the pick (x 615): 100 to the recess, 200 wide.
    run({"VELMEDITWALL", "!pick 400,-15", "100", "200", "20"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 12u) << transcript();
    EXPECT_EQ(Along(lines, true, -15.0), (Spans{{-15.0, 315.0}, {515.0, 615.0}}));
    EXPECT_EQ(Along(lines, true, -35.0), (Spans{{315.0, 515.0}}));
    EXPECT_EQ(Along(lines, false, 315.0), (Spans{{-35.0, -15.0}}));
    EXPECT_EQ(Along(lines, false, 515.0), (Spans{{-35.0, -15.0}}));
    EXPECT_EQ(Along(lines, false, -15.0), (Spans{{-15.0, 415.0}})) << "the side walls stay";
}

TEST_F(WallEditTest, the_width_mode_measures_from_the_face_across_and_no_displacement_changes_nothing) {
    Room();
    run({"VELMEDITWALL", "!pick 400,-15", "", "0"});
    EXPECT_EQ(Along(Lines(), true, -15.0), (Spans{{-15.0, 615.0}}));
    run({"VELMEDITWALL", "!pick 400,-15", "", "Szerokość", "30"});
    EXPECT_EQ(Along(Lines(), true, -15.0), (Spans{{-15.0, 615.0}})) << "the width it has changes nothing";
    run({"VELMEDITWALL", "!pick 400,-15", "", "Szerokość", "60"});
    EXPECT_EQ(Along(Lines(), true, -45.0), (Spans{{-15.0, 615.0}})) << transcript();
}

TEST_F(WallEditTest, one_pick_first_line_skips_the_prompt_and_two_do_not) {
    Room();
    run({"!select 400,-15", "VELMEDITWALL", "", "20"});
    EXPECT_EQ(transcript().find(kPickPrompt), std::string::npos);
    EXPECT_EQ(Along(Lines(), true, -35.0), (Spans{{-15.0, 615.0}})) << transcript();

    run({"!select 400,-35 400,15", "VELMEDITWALL", "!pick 400,-35", "", "20"});
    EXPECT_NE(transcript().find(kPickPrompt), std::string::npos);
    EXPECT_EQ(Along(Lines(), true, -55.0), (Spans{{-15.0, 615.0}}));
}

TEST(WallEditJig, counts_the_sides_of_an_opening_on_the_stretch) {
    AJIG_EMURO jig;
    jig.preview->C = {0, 0, 0};
    jig.preview->D = {600, 0, 0};
    OutlineNode door;
    door.kind = 11;
    VertexNode j1{}, j1b{}, j2{}, j2b{};
    j1.x = 100, j1.y = 0, j1b.x = 100, j1b.y = 30, j1.next = &j1b;
    j2.x = 190, j2.y = 0, j2b.x = 190, j2b.y = 30, j2.next = &j2b;
    door.jamb1 = &j1;
    door.jamb2 = &j2;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 2);
    j2.x = j2b.x = 700;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 1) << "one jamb beyond the stretch";
    door.kind = 18;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 1) << "a corner object is never moved with the face";
}
