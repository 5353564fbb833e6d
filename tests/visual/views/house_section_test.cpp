// Sections of a finished house, its walls in 3D: the section line given by
// points in either order or by a placed "TMS_SEZ" symbol makes one frame;
// its cut stands exactly at the wall faces the line crosses; "Widok" cuts
// nothing; "Aksonometryczny" cuts as the symbol says and shows the cut in
// the display's direction. The section input is answered through the
// host's input queue, the house made by the module's own commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/geometry/matrix4.h"
#include "host/ads/adsent.h"
#include "host/ui/driver.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/views/section_faces.h"
#include "visual/views/section_input.h"

namespace {

Point3 Apply(const Matrix4& m, const Point3& p) {
    Point3 out;
    TransformPoint(m, p, out);
    return out;
}

// The cut's edges (word -1) of the face set, as pairs of corners.
std::vector<std::pair<Point3, Point3>> CutEdges(const CSezione& s) {
    std::vector<std::pair<Point3, Point3>> out;
    for (const SectionFace* f = s.faces; f; f = f->next) {
        const int n = f->cornerCount();
        for (int k = 0; k < n; ++k)
            if (f->edgeWords[k] == -1) out.push_back({f->corners[k], f->corners[(k + 1) % n]});
    }
    return out;
}

// The distinct x of the upright cut edges, each with the height range its
// edges cover together (a face's diagonal may split one cut line in two).
struct Upright {
    double x, low, high;
};
std::vector<Upright> UprightCuts(const std::vector<std::pair<Point3, Point3>>& edges) {
    std::vector<Upright> out;
    for (const auto& [a, b] : edges) {
        if (std::fabs(a.x - b.x) > 1e-6 || std::fabs(a.y - b.y) < 1e-6) continue;
        auto same = std::find_if(out.begin(), out.end(),
                                 [&](const Upright& u) { return std::fabs(u.x - a.x) < 1e-6; });
        if (same == out.end()) {
            out.push_back({a.x, std::min(a.y, b.y), std::max(a.y, b.y)});
        } else {
            same->low = std::min({same->low, a.y, b.y});
            same->high = std::max({same->high, a.y, b.y});
        }
    }
    std::sort(out.begin(), out.end(), [](const Upright& p, const Upright& q) { return p.x < q.x; });
    return out;
}

class HouseSection : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        // The house of the view tests: a floor 300 high, walls 30 thick
        // centred on 1000 x 800, an inner wall at x = 600, a door and a
        // window, a hip roof, a floor slab, a stair beside it, the walls in
        // 3D; the section symbol at -100,400 looking north. Each dialog is
        // answered once, as the script's "!dialog" lines would.
        for (const char* answer : {"1016 page 0 edit 1001 \"300\" ok", "145 click 1073", "109 click 3",
                                   "152 click 3", "226 edit 1180 \"300\" ok"}) {
            std::string error;
            ASSERT_TRUE(zcui::RunDialogScript(answer, &error)) << error;
        }
        ASSERT_EQ(run({"VELMFLOOROPTIONS",
                       "VELMWALL",
                       "0,0",
                       "1000,0",
                       "1000,800",
                       "0,800",
                       "Zamknij",
                       "VELMWALLD",
                       "600,15",
                       "600,785",
                       "",
                       "VELMOBJECT",
                       "P1",
                       "!pick 250,15",
                       "150",
                       "",
                       "VELMOBJECT",
                       "F1",
                       "!pick 985,250",
                       "150",
                       "",
                       "VELMHIPROOF",
                       "!pick 500,815",
                       "VELMFSLAB",
                       "!pick 500,815",
                       "",
                       "VELMSTAIRDEF",
                       "1100,0",
                       "1100,480",
                       "Utwórz",
                       "VELMWALL3D",
                       "",
                       "VELMOBJECT",
                       "TMS_SEZ",
                       "-100,400",
                       "0",
                       ""}),
                  RTNORM)
            << transcript();
        ASSERT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), 46) << transcript();
    }

    static bool Section(CSezione& s, std::initializer_list<std::string> answers) {
        push(answers);
        return GetSectionLine(s);
    }

    // What the view collector does with the walls' 3DFACEs: each in view
    // coordinates, left out wholly in front of the section plane, kept whole
    // behind it, else cut at it.
    static void Gather(CSezione& s) {
        for (const Face3D& f : Faces("VELM3DWALLS$0")) {
            Point3 view[4];
            int words[4];
            int front = 0;
            for (int k = 0; k < 4; ++k) {
                view[k] = Apply(s.viewFrame, f.c[k]);
                words[k] = (f.flags >> k) & 1 ? 0 : 1;
                front += view[k].z < 0.0;
            }
            if (front == 4) continue;
            if (front == 0) {
                s.AddQuadFaces(view, words, 1, f.layer, 256);
                continue;
            }
            Point3 cut[8];
            int cutWords[8];
            const int n = s.CutFace(view, words, cut, cutWords, s.sectionPlane, 0.0);
            s.AddQuadFaces(cut, cutWords, n, f.layer, 256);
        }
    }
};

}  // namespace

TEST_F(HouseSection, points_either_way_and_the_symbol_make_one_frame_cut_at_the_six_wall_faces) {
    CSezione points, reversed, symbol;
    ASSERT_TRUE(Section(points, {"-100,400", "1200,400", "500,-600"}));
    ASSERT_TRUE(Section(reversed, {"1200,400", "-100,400", "500,-600"}));
    ASSERT_TRUE(Section(symbol, {"", "!pick -100,400"}));
    // x along the line, y up, depth northwards; the first point is the origin.
    const double rows[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    for (const CSezione* s : {&points, &reversed, &symbol}) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(s->viewFrame.m[r][c], rows[r][c], 1e-9) << r << "," << c;
        const Point3 origin = Apply(s->viewFrame, {-100, 400, 0});
        EXPECT_NEAR(origin.x, 0.0, 1e-9);
        EXPECT_NEAR(origin.y, 0.0, 1e-9);
        EXPECT_NEAR(origin.z, 0.0, 1e-9);
        EXPECT_EQ(s->axonometric, 0);
        EXPECT_EQ(s->depthFlag, 0);
    }

    // The cut stands upright at both faces of the west wall, the inner wall
    // and the east wall, 30 apart, the whole storey high; nothing else of
    // the walls is cut, and nothing kept lies in front of the plane.
    Gather(points);
    const std::vector<std::pair<Point3, Point3>> edges = CutEdges(points);
    for (const auto& [a, b] : edges) {
        EXPECT_NEAR(a.z, 0.0, 1e-9);
        EXPECT_NEAR(b.z, 0.0, 1e-9);
    }
    const std::vector<Upright> cuts = UprightCuts(edges);
    ASSERT_EQ(cuts.size(), 6u);
    const double wallMiddles[3] = {0.0, 600.0, 1000.0};
    for (int w = 0; w < 3; ++w) {
        EXPECT_NEAR(cuts[2 * w + 1].x - cuts[2 * w].x, 30.0, 1e-6) << w;
        EXPECT_NEAR((cuts[2 * w].x + cuts[2 * w + 1].x) / 2.0 - 100.0, wallMiddles[w], 1e-6) << w;
    }
    for (const Upright& u : cuts) {
        EXPECT_NEAR(u.low, 0.0, 1e-6) << u.x;
        EXPECT_NEAR(u.high, 300.0, 1e-6) << u.x;
    }
    for (const SectionFace* f = points.faces; f; f = f->next)
        for (int k = 0; k < f->cornerCount(); ++k) EXPECT_GE(f->corners[k].z, -1e-9);
}

TEST_F(HouseSection, whole_view_cuts_no_wall_and_keeps_every_face) {
    ASSERT_EQ(run({"VPOINT", "0,-1,0"}), RTNORM);
    CSezione s;
    ASSERT_TRUE(Section(s, {"Widok"}));
    Gather(s);
    EXPECT_TRUE(CutEdges(s).empty());
    int kept = 0;
    for (const SectionFace* f = s.faces; f; f = f->next) {
        ++kept;
        for (int k = 0; k < f->cornerCount(); ++k) EXPECT_GT(f->corners[k].z, 0.0);
    }
    EXPECT_EQ(kept, 46);
}

TEST_F(HouseSection, axonometric_symbol_cuts_at_the_symbol_and_shows_the_cut_in_the_display_direction) {
    ASSERT_EQ(run({"VPOINT", "1,-1,1"}), RTNORM);
    CSezione plain, axo;
    ASSERT_TRUE(Section(plain, {"", "!pick -100,400"}));
    ASSERT_TRUE(Section(axo, {"Aksonometryczny", "!pick -100,400"}));
    EXPECT_EQ(axo.axonometric, 1);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(axo.viewFrame.m[r][c], plain.viewFrame.m[r][c], 1e-9);
    // The display frame looks along the view direction, into the screen,
    // with the whole drawing behind its origin.
    const double third = 1.0 / std::sqrt(3.0);
    EXPECT_NEAR(axo.displayFrame.m[2][0], -third, 1e-9);
    EXPECT_NEAR(axo.displayFrame.m[2][1], third, 1e-9);
    EXPECT_NEAR(axo.displayFrame.m[2][2], -third, 1e-9);

    // The kept faces come in display coordinates; taken back to the world,
    // the cut lies on the section plane y = 400 at the plain cut's walls.
    Gather(plain);
    Gather(axo);
    Matrix4 displayToWorld;
    ASSERT_TRUE(InvertMatrix4(axo.displayFrame, displayToWorld));
    std::vector<std::pair<Point3, Point3>> back;
    for (const auto& [a, b] : CutEdges(axo)) {
        const Point3 p = Apply(displayToWorld, a), q = Apply(displayToWorld, b);
        EXPECT_NEAR(p.y, 400.0, 1e-6);
        EXPECT_NEAR(q.y, 400.0, 1e-6);
        back.push_back({Apply(plain.viewFrame, p), Apply(plain.viewFrame, q)});
    }
    const std::vector<Upright> seen = UprightCuts(back), expected = UprightCuts(CutEdges(plain));
    ASSERT_EQ(seen.size(), 6u);
    ASSERT_EQ(expected.size(), 6u);
    for (std::size_t k = 0; k < seen.size(); ++k) EXPECT_NEAR(seen[k].x, expected[k].x, 1e-6);
    for (const SectionFace* f = axo.faces; f; f = f->next)
        for (int k = 0; k < f->cornerCount(); ++k) EXPECT_GT(f->corners[k].z, 0.0);
}
