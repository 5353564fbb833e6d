// Wall line clean-up: junctions cut from their face lines, two lines
// joined, an open wall end closed. Every line rewritten or split keeps its
// wall-type record; a selection the junction cannot use changes nothing.
#include "walls/drafting/line_cleanup.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/walls/drawing/walls_fixture.h"

namespace {

using Spans = std::vector<std::pair<double, double>>;

Spans At(const std::vector<FaceLine>& lines, bool horizontal, double c) {
    Spans out;
    for (const FaceLine& l : lines) {
        const double a = horizontal ? l.start.y : l.start.x, b = horizontal ? l.end.y : l.end.x;
        if (std::abs(a - c) > 1e-9 || std::abs(b - c) > 1e-9) continue;
        const double u = horizontal ? l.start.x : l.start.y, v = horizontal ? l.end.x : l.end.y;
        out.emplace_back(std::round(std::min(u, v) * 1e6) / 1e6, std::round(std::max(u, v) * 1e6) / 1e6);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void EveryLineKeepsItsType(const std::vector<FaceLine>& lines) {
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");
}

}  // namespace

class LineCleanupTest : public WallsTest {};

TEST_F(LineCleanupTest, an_l_runs_to_the_outer_corner_and_the_inner_faces_stop_at_their_crossing) {
    WallLine({0, -15}, {300, -15});
    WallLine({0, 15}, {300, 15});
    WallLine({285, 0}, {285, 300});
    WallLine({315, 0}, {315, 300});
    run({"VELMCLEANL", "!pick 100,-15", "!pick 100,15", "!pick 285,200", "!pick 315,200", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_EQ(At(lines, true, -15), (Spans{{0, 315}}));
    EXPECT_EQ(At(lines, true, 15), (Spans{{0, 285}}));
    EXPECT_EQ(At(lines, false, 315), (Spans{{-15, 300}}));
    EXPECT_EQ(At(lines, false, 285), (Spans{{15, 300}}));
    EveryLineKeepsItsType(lines);
}

TEST_F(LineCleanupTest, an_x_leaves_eight_pieces_without_the_crossing_square) {
    WallLine({1200, -15}, {1600, -15});
    WallLine({1200, 15}, {1600, 15});
    WallLine({1385, -200}, {1385, 200});
    WallLine({1415, -200}, {1415, 200});
    run({"VELMCLEANX", "!pick 1300,-15", "!pick 1300,15", "!pick 1385,100", "!pick 1415,100", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 8u) << transcript();
    for (const double y : {-15.0, 15.0}) EXPECT_EQ(At(lines, true, y), (Spans{{1200, 1385}, {1415, 1600}}));
    for (const double x : {1385.0, 1415.0}) EXPECT_EQ(At(lines, false, x), (Spans{{-200, -15}, {15, 200}}));
    EveryLineKeepsItsType(lines);
}

TEST_F(LineCleanupTest, a_t_opens_the_near_face_from_three_lines_or_four_in_any_order) {
    // Three lines: the branch's faces and the face they meet.
    WallLine({600, -15}, {1000, -15});
    WallLine({600, 15}, {1000, 15});
    WallLine({785, 0}, {785, 300});
    WallLine({815, 0}, {815, 300});
    run({"VELMCLEANT", "!pick 785,200", "!pick 700,15", "!pick 815,200", ""});
    std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(At(lines, true, 15), (Spans{{600, 785}, {815, 1000}})) << transcript();
    EXPECT_EQ(At(lines, true, -15), (Spans{{600, 1000}}));
    EXPECT_EQ(At(lines, false, 785), (Spans{{15, 300}}));
    EXPECT_EQ(At(lines, false, 815), (Spans{{15, 300}}));
    EveryLineKeepsItsType(lines);

    // Four lines, the through wall picked first and its far face before
    // the near one: the branch is found all the same.
    WallLine({2600, -15}, {3000, -15});
    WallLine({2600, 15}, {3000, 15});
    WallLine({2785, 0}, {2785, -300});
    WallLine({2815, 0}, {2815, -300});
    run({"VELMCLEANT", "!pick 2700,15", "!pick 2700,-15", "!pick 2785,-200", "!pick 2815,-200", ""});
    lines = Lines();
    EXPECT_EQ(At(lines, true, -15), (Spans{{600, 1000}, {2600, 2785}, {2815, 3000}})) << transcript();
    EXPECT_EQ(At(lines, true, 15), (Spans{{600, 785}, {815, 1000}, {2600, 3000}}));
    EXPECT_EQ(At(lines, false, 2785), (Spans{{-300, -15}}));
}

TEST_F(LineCleanupTest, counts_are_checked_after_zero_length_lines_are_erased) {
    WallLine({0, -15}, {300, -15});
    WallLine({0, 15}, {300, 15});
    WallLine({285, 0}, {285, 300});
    WallLine({315, 0}, {315, 300});
    WallLine({500, 500}, {500, 500});
    WallLine({0, 100}, {300, 100});
    // Five lines of length: refused, nothing changed but the empty line gone.
    run({"VELMCLEANL", "!pick 100,-15", "!pick 100,15", "!pick 285,200", "!pick 315,200", "!pick 100,100",
         "!pick 500,500", ""});
    EXPECT_NE(transcript().find("Zbyt wiele linii:5"), std::string::npos) << transcript();
    std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 5u) << "the line of no length is gone";
    EXPECT_EQ(At(lines, true, -15), (Spans{{0, 300}}));

    // Too few for an L.
    run({"VELMCLEANL", "!pick 100,-15", "!pick 100,15", "!pick 285,200", ""});
    EXPECT_NE(transcript().find("Nie ma wystarczającej ilości linii:3"), std::string::npos) << transcript();
    EXPECT_EQ(At(Lines(), true, -15), (Spans{{0, 300}}));
}

TEST_F(LineCleanupTest, union_spans_the_farthest_ends_and_asks_again_for_the_same_line) {
    WallLine({0, 985}, {200, 985});
    WallLine({300, 985}, {500, 985});
    run({"VELMULINES", "!pick 100,985", "!pick 100,985", "!pick 400,985", ""});
    EXPECT_NE(transcript().find("Wybrano pierwszą linię dwukrotnie"), std::string::npos) << transcript();
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(At(lines, true, 985), (Spans{{0, 500}}));
    EveryLineKeepsItsType(lines);
}

TEST_F(LineCleanupTest, join_closes_the_end_nearer_the_first_pick_with_the_second_lines_record) {
    WallLine({0, 1415}, {200, 1415});
    WallLine({0, 1385}, {180, 1385}, "Ściana zewnętrzna");
    run({"VELMJOINWALL", "!pick 190,1415", "!pick 100,1385"});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 3u) << transcript();
    EXPECT_EQ(At(lines, true, 1385), (Spans{{0, 200}}));
    EXPECT_EQ(At(lines, false, 200), (Spans{{1385, 1415}}));
    for (const FaceLine& l : lines) {
        if (std::abs(l.start.x - 200) < 1e-9 && std::abs(l.end.x - 200) < 1e-9) {
            EXPECT_EQ(l.wallType, "Ściana zewnętrzna");
        }
    }
}
