// A stair's 3D faces bound solids whatever its path and structure: cut by
// upright planes at many angles, through its turn and along its flights,
// every edge of the cut meets another at each end, so a section can cap
// it. And a path drawn with a landing and then a flight gets its steps
// after the landing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/ui/driver.h"
#include "tests/visual/section_judge.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class StairSolid : public Model3DTest {
protected:
    // The stair drawn along the path with the structure's radio button;
    // its faces in world coordinates.
    std::vector<Face3D> Stair(int structureRadio, const std::vector<std::string>& path) {
        std::string error;
        const std::string dialog =
            "226 radio " + std::to_string(structureRadio) + " edit 1158 \"300\" edit 1180 \"300\" ok";
        EXPECT_TRUE(zcui::RunDialogScript(dialog, &error)) << error;
        push("VELMSTAIRDEF");
        for (const std::string& p : path) push(p);
        push("Utwórz");
        EXPECT_EQ(run({}), RTNORM) << transcript();
        EXPECT_EQ(count("0=INSERT 8=STAIRS"), 1) << transcript();
        std::vector<Face3D> faces;
        for (const auto& solid : judge::DrawingSolids({}, modelSpace()))
            faces.insert(faces.end(), solid.faces.begin(), solid.faces.end());
        return faces;
    }

    // The open ends of the cuts along upright planes through `at` every
    // few degrees, each a hair either side of the plane too.
    static int OpenEndsAround(const std::vector<Face3D>& faces, const Point3& at, std::string& where) {
        int total = 0;
        for (int k = 0; k < 36; ++k) {
            const double angle = k * kPi / 36.0 + 0.013;
            for (const double depth : {-0.37, 1e-6, 0.41}) {
                const Matrix4 frame = judge::SectionFrame(at, angle);
                const int open = judge::OpenEnds(judge::CutFaces(faces, frame, depth));
                if (open > 0 && where.empty())
                    where = std::to_string(angle * 180.0 / kPi) + " degrees, depth " + std::to_string(depth);
                total += open;
            }
        }
        return total;
    }
};

// A flight, a quarter turn to the left and a flight, in every structure.
TEST_F(StairSolid, winder_and_landing_stairs_are_closed_in_every_structure) {
    struct Path {
        const char* what;
        std::vector<std::string> answers;
        std::vector<Point3> through;
    };
    const Path paths[] = {
        {"a flight, a quarter turn to the left and a flight",
         {"Szerokość", "100", "Stopień", "28", "0,0", "0,150", "Łuk", "Środek", "-100,150", "90", "-250,250"},
         {{-100, 150, 0}, {-60, 190, 0}, {0, 80, 0}, {-180, 250, 0}}},
        {"a flight, a landing turning left and a flight",
         {"Szerokość", "100", "Stopień", "30", "0,0", "0,150", "Półpiętro", "0,250", "Kondygnacja",
          "-300,250"},
         {{0, 200, 0}, {-40, 230, 0}, {0, 100, 0}, {-150, 250, 0}}},
        {"a flight, a half turn on a landing and a flight back",
         {"Szerokość", "100", "Stopień", "30", "0,0", "0,150", "Półpiętro", "0,200", "-110,200",
          "Kondygnacja", "-110,20"},
         {{-55, 200, 0}, {0, 160, 0}, {-110, 100, 0}}},
    };
    for (const Path& path : paths)
        for (const int radio : {1170, 1171, 1172, 1189}) {
            SCOPED_TRACE(std::string(path.what) + ", structure radio " + std::to_string(radio));
            const std::vector<Face3D> faces = Stair(radio, path.answers);
            ASSERT_FALSE(faces.empty());
            for (const Point3& at : path.through) {
                std::string where;
                EXPECT_EQ(OpenEndsAround(faces, at, where), 0)
                    << "through " << at.x << "," << at.y << ": " << where;
            }
            std::vector<ZcDbObjectId> ids = modelSpace();
            for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
        }
}

}  // namespace

namespace {

// Paths with a landing ("Półpiętro") and then a flight ("Kondygnacja"),
// straight on and turning: the flight after the landing has its risers
// (turned back into model lines, one line each), the landing none.
TEST_F(StairSolid, a_flight_after_a_landing_gets_its_steps) {
    struct Path {
        std::vector<std::string> answers;
        int risers;
    };
    const Path paths[] = {
        // A landing from the first point, then a flight of ten treads.
        {{"0,0", "Półpiętro", "0,150", "Kondygnacja", "0,450"}, 12},
        // A flight, a landing, a flight on.
        {{"0,0", "0,150", "Półpiętro", "0,300", "Kondygnacja", "0,450"}, 12},
        // A flight, a landing turning left, a flight west.
        {{"0,0", "0,150", "Półpiętro", "0,250", "Kondygnacja", "-300,250"}, 15},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.answers[2]);
        std::string error;
        ASSERT_TRUE(zcui::RunDialogScript("226 ok", &error)) << error;
        push("VELMSTAIRDEF");
        for (const char* p : {"Szerokość", "100", "Stopień", "30"}) push(p);
        for (const std::string& p : path.answers) push(p);
        push("Utwórz");
        ASSERT_EQ(run({"VELMSTAIRMODEL", "!pick 50,100"}), RTNORM) << transcript();
        EXPECT_EQ(count("0=LINE 8=0 62=7"), path.risers) << transcript();
        std::vector<ZcDbObjectId> ids = modelSpace();
        for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }
}

}  // namespace
