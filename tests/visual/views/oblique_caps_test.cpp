// Caps of solids cut where the plane falls at a slant: a room's walls cut
// at shallow angles and through its inside corner, a stair with a door
// leaf far behind it, two slabs whose cuts overlap, and a wall's window
// jamb cut at 45 degrees; each scene also at seeded planes it was not
// written along. Each view is judged against an independent cut of each
// solid's faces (section_judge.h): no more than 1 % of a solid's cap left
// bare, no more than 1 % of the cap hatched outside the caps, and no more
// than a unit of line inside a cap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "tests/visual/section_judge.h"
#include "tests/visual/views/view_oracle.h"

namespace {

using judge::Figures;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr const char* kWalls = "VELM3DWALLS$0";

class ObliqueCaps : public Model3DTest {
protected:
    // An upright face from plan point a to b, between heights z0 and z1.
    static void Upright(const char* layer, double ax, double ay, double bx, double by, double z0, double z1) {
        MakeFace(layer, {ax, ay, z0}, {bx, by, z0}, {bx, by, z1}, {ax, ay, z1});
    }

    // A closed box on one layer.
    static void Box(const char* layer, double x0, double y0, double z0, double x1, double y1, double z1) {
        Upright(layer, x0, y0, x1, y0, z0, z1);
        Upright(layer, x1, y0, x1, y1, z0, z1);
        Upright(layer, x1, y1, x0, y1, z0, z1);
        Upright(layer, x0, y1, x0, y0, z0, z1);
        MakeFace(layer, {x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0});
        MakeFace(layer, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});
    }

    // The walls of a square room, 30 thick, outside 0..1500 both ways and
    // 280 high, as the 3D walls are made: their upright faces only, open
    // at the foot and the top.
    static void Room() {
        const double o[4][2] = {{0, 0}, {1500, 0}, {1500, 1500}, {0, 1500}};
        const double i[4][2] = {{30, 30}, {1470, 30}, {1470, 1470}, {30, 1470}};
        for (int k = 0; k < 4; ++k) {
            Upright(kWalls, o[k][0], o[k][1], o[(k + 1) % 4][0], o[(k + 1) % 4][1], 0, 280);
            Upright(kWalls, i[k][0], i[k][1], i[(k + 1) % 4][0], i[(k + 1) % 4][1], 0, 280);
        }
    }

    // A straight wall x 0..30, y 0..900, 280 high, open at its foot and top,
    // with a window opening y 480..570, z 90..210: its faces around the
    // opening, the opening's reveals, sill and head, the wall's ends; and a
    // window in it: a frame box along each jamb and a pane between them.
    static void WallWithWindow() {
        for (const double x : {0.0, 30.0}) {
            Upright(kWalls, x, 0, x, 900, 0, 90);
            Upright(kWalls, x, 0, x, 900, 210, 280);
            Upright(kWalls, x, 0, x, 480, 90, 210);
            Upright(kWalls, x, 570, x, 900, 90, 210);
        }
        Upright(kWalls, 0, 480, 30, 480, 90, 210);
        Upright(kWalls, 0, 570, 30, 570, 90, 210);
        MakeFace(kWalls, {0, 480, 90}, {30, 480, 90}, {30, 570, 90}, {0, 570, 90});
        MakeFace(kWalls, {0, 480, 210}, {30, 480, 210}, {30, 570, 210}, {0, 570, 210});
        Upright(kWalls, 0, 0, 30, 0, 0, 280);
        Upright(kWalls, 0, 900, 30, 900, 0, 280);
        Box("WINDOW", 10, 480, 90, 20, 487, 210);
        Box("WINDOW", 10, 563, 90, 20, 570, 210);
        Upright("PANE", 15, 487, 15, 563, 90, 210);
    }

    // A stepped stair rising east from x 100, 200 wide about y 300: one
    // solid of treads, risers, stepped sides, back and bottom.
    static void Stair() {
        const int steps = 6;
        const double run = 40, rise = 30, v0 = 200, v1 = 400;
        for (int k = 0; k < steps; ++k) {
            const double u = 100 + k * run, z = k * rise;
            Upright("STAIR", u, v0, u, v1, z, z + rise);
            MakeFace("STAIR", {u, v0, z + rise}, {u, v1, z + rise}, {u + run, v1, z + rise},
                     {u + run, v0, z + rise});
            for (const double v : {v0, v1}) Upright("STAIR", u, v, u + run, v, 0, z + rise);
        }
        const double end = 100 + steps * run;
        Upright("STAIR", end, v0, end, v1, 0, steps * rise);
        MakeFace("STAIR", {100, v0, 0}, {100, v1, 0}, {end, v1, 0}, {end, v0, 0});
    }

    static std::string At(double x, double y) {
        char text[64];
        std::snprintf(text, sizeof text, "%.9f,%.9f", x, y);
        return text;
    }

    // The section through plan point (x, y) running at `angle`, seen from
    // the right of that direction, judged against the solids and erased.
    static Figures Judge(double x, double y, double angle) {
        const std::vector<judge::Solid> model = judge::DrawingSolids(Faces(), modelSpace());
        const double ux = std::cos(angle), uy = std::sin(angle);
        const Point3 from{x - 4000.0 * ux, y - 4000.0 * uy, 0.0};
        const Point3 place{0.0, -20000.0, 0.0};
        Figures out;
        out.capArea = -1.0;
        if (run({"VELMGENVIEW", At(from.x, from.y), At(x + 4000.0 * ux, y + 4000.0 * uy),
                 At(x + 3000.0 * uy, y - 3000.0 * ux), At(place.x, place.y)}) != RTNORM)
            return out;
        std::string block;
        const ZcDbObjectId view = oracle::NewestView(modelSpace(), block);
        if (view.isNull()) return out;
        const Matrix4 frame = judge::SectionFrame(from, angle);
        std::vector<Face3D> all;
        for (const judge::Solid& s : model) all.insert(all.end(), s.faces.begin(), s.faces.end());
        const oracle::ViewOracle extent(all, frame);
        const Point3 shift{extent.xmin - place.x, extent.ymin - place.y, 0.0};
        std::vector<judge::Hatch> hatches;
        std::vector<judge::LineSeg> lines;
        judge::ReadViewBlock(db(), block, shift, hatches, lines);
        const judge::ViewJudge viewJudge(model, frame);
        out = viewJudge.Measure(hatches, lines);
        if (out.worstBareShare > 0.01 || out.stray > 0.01 * out.capArea || out.lineInside > 1.0)
            judge::DrawForFailure(At(x, y) + "_" + std::to_string(angle), viewJudge, hatches, lines);
        ZcDbObjectPointer<ZcDbEntity>(view, ZcDb::kForWrite)->erase();
        return out;
    }

    // The view through (x, y) at `angle`, and seen from its back, keep
    // the limits; `what` names the case in a failure.
    static void ExpectCapped(double x, double y, double angle, const std::string& what, bool bothWays = true,
                             bool holdLines = true) {
        for (const double turn : {0.0, kPi}) {
            if (turn > 0.0 && !bothWays) continue;
            const Figures f = Judge(x, y, angle + turn);
            const std::string name = what + (turn > 0.0 ? " (seen back)" : "");
            ASSERT_GT(f.capArea, 0.0) << name << transcript();
            EXPECT_LE(f.worstBareShare, 0.01) << name << ": bare " << f.bare << " of " << f.capArea;
            EXPECT_LE(f.stray, 0.01 * f.capArea) << name << ": hatched outside " << f.stray;
            if (holdLines) {
                EXPECT_LE(f.lineInside, 1.0) << name;
            }
        }
    }

    // Seeded planes through the plan box at random directions.
    static void ExpectCappedAtRandom(double x0, double y0, double x1, double y1, std::uint64_t seed,
                                     int count, bool holdLines = true) {
        judge::Random random(seed);
        for (int k = 0; k < count; ++k) {
            const double x = random.Uniform(x0, x1), y = random.Uniform(y0, y1),
                         angle = random.Uniform(0, kPi);
            ExpectCapped(x, y, angle,
                         "seeded plane " + std::to_string(k) + " at " + At(x, y) + " " +
                             std::to_string(angle / kDeg) + " deg",
                         true, holdLines);
        }
    }
};

TEST_F(ObliqueCaps, a_wall_cut_at_any_slant_is_capped_whole) {
    Room();
    // Through the west wall at y 750, meeting it at 28, 20 and 2 degrees
    // (its cut 64 to 860 wide in the view), and square for comparison.
    for (const double a : {90.0, 28.0, 20.0, 2.0})
        ExpectCapped(15.0, 750.0, (90.0 + a) * kDeg, "west wall at " + std::to_string(a) + " deg");
    ExpectCappedAtRandom(0.0, 0.0, 1500.0, 1500.0, 1131, 4);
}

TEST_F(ObliqueCaps, a_plane_clipping_a_rooms_inside_corner_caps_both_walls_and_not_the_void) {
    Room();
    // x + y = C clips the inside corner at 30, 30 by a few units.
    for (const double c : {61.0, 66.0, 75.0})
        ExpectCapped(c / 2.0, c / 2.0, -45.0 * kDeg, "corner at x + y = " + std::to_string(c));
}

TEST_F(ObliqueCaps, a_door_leaf_far_behind_a_cut_leaves_it_capped) {
    Stair();
    // A leaf of one face about 450 behind the stair's cut seen from the
    // south-west.
    Upright("DOOR", 600, 800, 690, 710, 0, 210);
    ExpectCapped(220.0, 300.0, -45.0 * kDeg, "stair from the south-west");
    ExpectCappedAtRandom(100.0, 200.0, 340.0, 400.0, 4, 3);
}

TEST_F(ObliqueCaps, where_the_cuts_of_two_slabs_overlap_the_overlap_is_capped) {
    Box("SLABA", 0, 0, 275, 600, 400, 290);
    Box("SLABB", 400, 100, 275, 1000, 500, 290);
    ExpectCapped(500.0, 200.0, 0.0, "along the overlap");
    ExpectCapped(500.0, 200.0, 30.0 * kDeg, "across the overlap at 30 deg");
    ExpectCappedAtRandom(400.0, 100.0, 600.0, 400.0, 5, 3);
}

TEST_F(ObliqueCaps, a_window_jamb_cut_at_45_degrees_is_capped_as_wall_without_its_void) {
    WallWithWindow();
    for (const double y : {470.0, 485.0, 500.0, 565.0})
        ExpectCapped(15.0, y, 45.0 * kDeg, "jamb at y " + std::to_string(y));
    ExpectCappedAtRandom(0.0, 400.0, 30.0, 650.0, 6, 4);
}

}  // namespace
