// The pattern lines of a hatch: every piece must lie inside the loops and
// outside their holes, the families must be spaced as the pattern says, and
// together the pieces must sweep the hatched area (length times spacing).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"

namespace {

using Lines = std::vector<std::pair<ZcGePoint2d, ZcGePoint2d>>;

std::unique_ptr<ZcDbHatch> Square(const std::string& pattern, double scale, double angle = 0.0) {
    auto h = std::make_unique<ZcDbHatch>();
    h->setPattern(ZcDbHatch::kPreDefined, pattern);
    h->setPatternScale(scale);
    h->setPatternAngle(angle);
    const std::vector<ZcGePoint2d> square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    h->appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline, square);
    return h;
}

double Length(const Lines& lines) {
    double total = 0.0;
    for (const auto& [p, q] : lines) total += std::hypot(q.x - p.x, q.y - p.y);
    return total;
}

class HatchLines : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("zwcadiso.pat",
                  "*ANSI31, diagonal\n45, 0,0, 0,3.175\n"
                  "*DASHED, dashes\n0, 0,0, 0,10, 6,-4\n"
                  "*SPECKS, tiny dashes on few lines\n0, 0,0, 0,10, 0.00001,-0.00001\n"
                  "*FAROFF, dashes from an origin far away\n0, 1e17,0, 0,10, 0.5,-0.5\n");
        host::setSupportFolders({dir.path("")});
    }
    void TearDown() override { host::setSupportFolders({}); }
    TestDir dir;
};

}  // namespace

TEST_F(HatchLines, diagonal_lines_lie_inside_the_square_spaced_as_the_pattern_says) {
    const std::unique_ptr<ZcDbHatch> h = Square("ANSI31", 1.0);
    Lines lines;
    ASSERT_TRUE(host::hatchPatternLines(*h, lines));
    ASSERT_FALSE(lines.empty());
    std::set<long> offsets;
    for (const auto& [p, q] : lines) {
        for (const ZcGePoint2d& e : {p, q}) {
            EXPECT_GE(e.x, -1e-9);
            EXPECT_LE(e.x, 100 + 1e-9);
            EXPECT_GE(e.y, -1e-9);
            EXPECT_LE(e.y, 100 + 1e-9);
        }
        EXPECT_NEAR(q.y - p.y, q.x - p.x, 1e-9);  // at 45 degrees
        // The distance of the line from the pattern origin, in spacings.
        const double across = (p.y - p.x) / std::sqrt(2.0) / 3.175;
        EXPECT_NEAR(across, std::round(across), 1e-9);
        offsets.insert(std::lround(across));
    }
    EXPECT_EQ(offsets.size(), lines.size());  // one piece per line in a convex loop
    EXPECT_NEAR(Length(lines) * 3.175, 100.0 * 100.0, 100.0 * 3.175 * 2);
}

TEST_F(HatchLines, holes_are_left_out_and_dashes_cut_the_lines) {
    std::unique_ptr<ZcDbHatch> h = Square("DASHED", 1.0);
    h->appendLoop(ZcDbHatch::kPolyline, std::vector<ZcGePoint2d>{{40, 40}, {60, 40}, {60, 60}, {40, 60}});
    Lines lines;
    ASSERT_TRUE(host::hatchPatternLines(*h, lines));
    for (const auto& [p, q] : lines) {
        EXPECT_NEAR(p.y, q.y, 1e-9);
        EXPECT_LE(q.x - p.x, 6.0 + 1e-9);
        const double mx = (p.x + q.x) / 2.0;
        EXPECT_FALSE(mx > 40 && mx < 60 && p.y > 40 && p.y < 60) << p.x << "," << p.y;
    }
    // Rows at y = 0, 10 ... 100 (11 rows, the ones on the top and bottom
    // edges count as boundary), 6 of every 10 drawn, the hole's 20 x 2 rows
    // left out.
    const double drawn = Length(lines);
    EXPECT_GT(drawn, 0.6 * (9 * 100 - 2 * 20) - 30);
    EXPECT_LT(drawn, 0.6 * (11 * 100) + 30);
}

TEST_F(HatchLines, solid_fills_unknown_patterns_and_too_dense_hatches_give_no_lines) {
    Lines lines;
    EXPECT_FALSE(host::hatchPatternLines(*Square("SOLID", 1.0), lines));
    EXPECT_FALSE(host::hatchPatternLines(*Square("NOSUCH", 1.0), lines));
    EXPECT_FALSE(host::hatchPatternLines(*Square("ANSI31", 0.001), lines));
    EXPECT_TRUE(lines.empty());
}

TEST_F(HatchLines, dashes_are_capped_as_lines_are) {
    // Eleven lines, but ten million dashes and gaps along each.
    const std::unique_ptr<ZcDbHatch> specks = Square("SPECKS", 1.0);
    EXPECT_LE(host::countPatternLines({host::PatternLine{0, 0, 0, 0, 10, {}}}, 1.0, 100, 100),
              host::kMaxHatchLines);
    EXPECT_EQ(host::evaluateHatch(*specks), Zcad::eInvalidInput);
    Lines lines;
    EXPECT_FALSE(host::hatchPatternLines(*specks, lines));
    // At a scale that makes them long enough, the same pattern draws.
    EXPECT_EQ(host::evaluateHatch(*Square("SPECKS", 1000.0)), Zcad::eOk);
    // An origin so far off that a dash no longer moves along the line: the
    // walk ends at its cap instead of stepping in place for ever.
    EXPECT_EQ(host::evaluateHatch(*Square("FAROFF", 1.0)), Zcad::eOk);
    EXPECT_FALSE(host::hatchPatternLines(*Square("FAROFF", 1.0), lines));
    EXPECT_TRUE(lines.empty());
}
