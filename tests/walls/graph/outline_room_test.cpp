// A room drawn with the wall command, a door and a window set into its
// walls by their outline records, and the elevation of every wall face cut
// and notched by its openings: what is left of each face must be its
// rectangle less the openings on it.
//
// The room comes from the drawing the host program saved from
// tests/walls/graph/outline_room.scr when VELM_OUTLINE_ROOM_DXF names it
// (the CTest run); run alone, the test draws the same room itself and takes
// it through a DXF save and load the same way.
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "tests/host/win_testdir.h"
#include "tests/walls/graph/graph_fixture.h"
#include "walls/graph/outline_polygons.h"
#include "walls/graph/outline_record.h"

namespace {

class OutlineRoomTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

// Moves the ring into the plane of the face S-E: x along the face, y up
// from the level; the caller's part, done in place.
void ToFacePlane(VertexNode* ring, const WallFace& face, double level) {
    const double length = Distance2d(face.start, face.end);
    const double ux = (face.end.x - face.start.x) / length, uy = (face.end.y - face.start.y) / length;
    for (VertexNode* v = ring; v; v = v->next)
        v->setPt({(v->x - face.start.x) * ux + (v->y - face.start.y) * uy, v->z - level, 0.0});
}

}  // namespace

TEST_F(OutlineRoomTest, every_face_keeps_its_rectangle_less_its_openings_and_the_door_becomes_a_notch) {
    TestDir dir;
    std::string error;
    const char* saved = std::getenv("VELM_OUTLINE_ROOM_DXF");
    if (saved && *saved) {
        ASSERT_NE(host::openDrawing(saved, &error), nullptr) << error;
    } else {
        run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
        const std::string path = dir.path("pokoj.dxf");
        ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
        ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;
    }
    ASSERT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 8) << transcript();
    zcdbRegApp(kTag3DiStrApp);
    // A door 90 wide in the bottom wall, a window 120 by 120 in the right one.
    OpeningRecord({150, 15, 0}, {150, -15, 0}, {240, 15, 0}, {240, -15, 0}, 0, 210);
    OpeningRecord({385, 100, 0}, {415, 100, 0}, {385, 220, 0}, {415, 220, 0}, 90, 210);

    CFACCIATE g;
    // The drawing has no floor list; the room's floor is 300 high.
    g.floorHeight = 300.0;
    g.Build(false, false, nullptr, false);
    ASSERT_EQ(CountFaces(g.faces), 8);
    ASSERT_EQ(CountNodes(g.outlines), 2);
    const double height = g.floorHeight;

    int facesWithOpenings = 0, notches = 0;
    for (WallFace* face = g.faces; face; face = face->next) {
        const double length = Distance2d(face->start, face->end);
        double expected = length * height;
        for (const OutlineLink* l = face->outlineLinks; l; l = l->next) {
            VertexNode* hole = GetOutlineSideRing(face->start, face->end, l->outline);
            ASSERT_NE(hole, nullptr);
            ToFacePlane(hole, *face, g.level);
            expected -= ShoelaceArea(hole);
        }
        facesWithOpenings += face->outlineLinks != nullptr;
        const int links = CountNodes(face->outlineLinks);

        auto* rectangle = new ContourNode;
        rectangle->vertices = nullptr;
        for (Point3 p :
             {Point3{0, 0, 0}, Point3{length, 0, 0}, Point3{length, height, 0}, Point3{0, height, 0}})
            AppendVertex(&rectangle->vertices, p, 1, 0, 0);
        ContourNode* pieces = CutPolygonsByOutlines(rectangle, face);
        EXPECT_EQ(CountNodes(face->outlineLinks), links);
        double left = 0.0;
        for (ContourNode* piece = pieces; piece; piece = piece->next) {
            piece->vertices = MergeOutlineIntoPolygon(piece->vertices, face);
            notches += CountNodes(piece->vertices) == 8;
            left += ShoelaceArea(piece->vertices);
            // The holes the callers add: outlines starting inside the piece.
            for (const OutlineLink* l = face->outlineLinks; l; l = l->next) {
                const VertexNode* hole = GetOutlineSideRing(face->start, face->end, l->outline);
                if (CountNodes(hole) > 2 && PointInPolygon(hole->pt(), piece->vertices, 2) == 1)
                    left -= ShoelaceArea(hole);
            }
        }
        EXPECT_NEAR(left, expected, 1e-6) << "face " << face->start.x << "," << face->start.y;
        FreeListOfLists(pieces);
    }
    EXPECT_EQ(facesWithOpenings, 4);
    EXPECT_EQ(notches, 2);
}
