// Every solid the 3D commands make closes around itself: curved walls,
// pilasters, floor slabs, roof pitches, girders and stairs, each made with
// the module's commands and judged per solid.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "module/reactors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/closed_model.h"
#include "tests/visual/model3d_fixture.h"

namespace {

using closed_model::DrawnFace;

bool Has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// The wall arcs of the floor about the curved room wall's centre: radius
// and the angles, in degrees, each runs between counter-clockwise.
struct WallArc {
    double radius, start, end;
};

class SolidsClosedTest : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        run({"!dialog 1016 page 0 edit 1001 \"300\" ok", "VELMFLOOROPTIONS"});
    }
    static int Lines(const std::vector<std::string>& lines) {
        for (const std::string& l : lines) push(l);
        return run({});
    }
    // The faces per solid: the walls of the floor with their reveals as
    // one, every block reference's own faces apart, other loose faces by
    // layer.
    static std::map<std::string, std::vector<closed_model::Quad>> Solids() {
        std::map<std::string, std::vector<closed_model::Quad>> out;
        std::set<std::string> refs;
        for (const ZcDbObjectId& id : modelSpace()) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (ref.openStatus() == Zcad::eOk)
                refs.insert(ref->handle().ascii() + std::string(" ") + ref->layer());
        }
        for (const DrawnFace& f : closed_model::DrawingFaces(modelSpace())) {
            if (Has(f.layer, "3DWALLS") || Has(f.layer, "3DOPENINGS")) {
                out["walls"].push_back(f.c);
                continue;
            }
            std::string key = f.layer;
            for (const std::string& r : refs)
                if (r.rfind(f.owner + " ", 0) == 0) key = r;
            out[key].push_back(f.c);
        }
        return out;
    }
    // How many faces of the walls the radius of the curved room wall at
    // `degrees` crosses at height z, from inside the room to outside it.
    static int WallCrossings(double degrees, double z) {
        const double a = degrees * std::numbers::pi / 180.0;
        const Point3 from{1200.0 + 200.0 * std::cos(a), 150.0 + 200.0 * std::sin(a), z};
        const Point3 to{1200.0 + 300.0 * std::cos(a), 150.0 + 300.0 * std::sin(a), z};
        int n = 0;
        for (const DrawnFace& f : closed_model::DrawingFaces(modelSpace())) {
            if (!Has(f.layer, "3DWALLS")) continue;
            if (SegmentHits(from, to, f.c[0], f.c[1], f.c[2]) ||
                SegmentHits(from, to, f.c[0], f.c[2], f.c[3]))
                ++n;
        }
        return n;
    }
    static bool SegmentHits(const Point3& p, const Point3& q, const Point3& a, const Point3& b,
                            const Point3& c) {
        const auto sub = [](const Point3& u, const Point3& v) {
            return Point3{u.x - v.x, u.y - v.y, u.z - v.z};
        };
        const auto cross = [](const Point3& u, const Point3& v) {
            return Point3{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        };
        const auto dot = [](const Point3& u, const Point3& v) { return u.x * v.x + u.y * v.y + u.z * v.z; };
        const Point3 d = sub(q, p), e1 = sub(b, a), e2 = sub(c, a), h = cross(d, e2);
        const double det = dot(e1, h);
        if (std::fabs(det) < 1e-12) return false;
        const Point3 s = sub(p, a), k = cross(s, e1);
        const double u = dot(s, h) / det, v = dot(d, k) / det, t = dot(e2, k) / det;
        return u >= 0.0 && v >= 0.0 && u + v <= 1.0 && t >= 0.0 && t <= 1.0;
    }
    static std::vector<WallArc> WallArcs() {
        std::vector<WallArc> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(e);
            bool arc = false, wall = false;
            WallArc a{};
            for (const resbuf* rb = list; rb; rb = rb->rbnext) {
                if (rb->restype == 0) arc = std::string(rb->resval.rstring) == "ARC";
                if (rb->restype == 8) wall = Has(rb->resval.rstring, "2DWALLS");
                if (rb->restype == 40) a.radius = rb->resval.rreal;
                if (rb->restype == 50) a.start = rb->resval.rreal * 180.0 / std::numbers::pi;
                if (rb->restype == 51) a.end = rb->resval.rreal * 180.0 / std::numbers::pi;
            }
            zcutRelRb(list);
            if (arc && wall) out.push_back(a);
        }
        std::sort(out.begin(), out.end(), [](const WallArc& x, const WallArc& y) {
            return std::tie(x.radius, x.start) < std::tie(y.radius, y.start);
        });
        return out;
    }
    // Every solid's open edges, one line each; empty when all close.
    static std::string OpenSolids() {
        std::string out;
        for (const auto& [name, faces] : Solids()) {
            // Door leaves and panes are sheets, not solids.
            if (Has(name, "OPENINGS_") || Has(name, "2DOBJ")) continue;
            const auto open = closed_model::OpenEdges(faces);
            if (!open.empty()) out += name + ": " + closed_model::Describe(open, 6) + "\n";
        }
        return out;
    }
};

// A curved wall with a free end, and a room closed by a curved wall with a
// window in it: sides, ends, reveals, tops and feet close around the
// walls, and the floor or one curved side made again gives the same faces.
TEST_F(SolidsClosedTest, CurvedWallsCloseWithTheirEndsOpeningsAndTops) {
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    Lines({"VELMWALLD", "0,0", "400,0", "Łuk", "400", "100", "0", ""});
    // The arc's axis: chord 400 rise 100 about (1200, 150), radius 250;
    // its inner side 235 from the centre, the outer 265.
    Lines({"VELMWALLD", "1000,0", "1400,0", "1400,300", "Łuk", "400", "100", "180", "Zamknij"});
    Lines({"VELMOBJECT", "F1C", "!pick 1317.5,353.52", "50", ""});
    ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
    EXPECT_EQ(OpenSolids(), "");
    EXPECT_EQ(WallCrossings(50.0, 160.0), 0) << "the window's hole";
    EXPECT_EQ(WallCrossings(50.0, 50.0), 2) << "under the sill";
    // The window's sill and head, between the sides, at its 3D outline.
    const int once = count("0=3DFACE");
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE"), once);
    for (const char* side : {"!pick 1317.5,353.52", "!pick 1332.5,379.5", "!pick 600,-85"}) {
        run({"VELMW3DFACE", side, ""});
        EXPECT_EQ(count("0=3DFACE"), once) << side;
        EXPECT_EQ(OpenSolids(), "") << side;
    }
}

// The window of a curved wall, placed at 50 degrees on the room's inner
// side: both wall arcs stop at its radial jambs, 90 apart on the inner
// side, the curved sides leave its hole between sill and head and the
// walls close around its reveals; erased, the arcs are whole again and
// the sides, made again, cover where it was.
TEST_F(SolidsClosedTest, AWindowInACurvedWallCutsItsArcsAndSides) {
    // The drawing was there before the module: its erasures followed as a
    // drawing opened later would be.
    AttachDatabaseReactor(db());
    EnsureEditorReactor();
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    Lines({"VELMWALLD", "1000,0", "1400,0", "1400,300", "Łuk", "400", "100", "180", "Zamknij"});
    const std::vector<WallArc> whole = WallArcs();
    ASSERT_EQ(whole.size(), 2u) << transcript();
    Lines({"VELMOBJECT", "F1C", "!pick 1317.5,353.52", "50", ""});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << transcript();

    const double half = std::asin(45.0 / 235.0) * 180.0 / std::numbers::pi;
    const std::vector<WallArc> cut = WallArcs();
    ASSERT_EQ(cut.size(), 4u);
    for (int side = 0; side < 2; ++side) {
        const WallArc& before = cut[2 * side];
        const WallArc& after = cut[2 * side + 1];
        EXPECT_NEAR(before.radius, whole[side].radius, 1e-9);
        EXPECT_NEAR(before.start, whole[side].start, 1e-9);
        EXPECT_NEAR(before.end, 50.0 - half, 1e-9) << side;
        EXPECT_NEAR(after.start, 50.0 + half, 1e-9) << side;
        EXPECT_NEAR(after.end, whole[side].end, 1e-9);
    }
    // The gap's chord on the picked side is the window's width.
    const double gap = (cut[1].start - cut[0].end) * std::numbers::pi / 180.0;
    EXPECT_NEAR(2.0 * cut[0].radius * std::sin(gap / 2.0), 90.0, 1e-9);

    ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
    for (const double degrees : {50.0 - half + 0.5, 50.0, 50.0 + half - 0.5}) {
        for (const double z : {90.0, 160.0, 230.0})
            EXPECT_EQ(WallCrossings(degrees, z), 0) << degrees << " " << z;
        EXPECT_EQ(WallCrossings(degrees, 80.0), 2) << degrees;
        EXPECT_EQ(WallCrossings(degrees, 240.0), 2) << degrees;
    }
    for (const double degrees : {50.0 - half - 0.5, 50.0 + half + 0.5})
        EXPECT_EQ(WallCrossings(degrees, 160.0), 2) << degrees;
    EXPECT_EQ(OpenSolids(), "");

    // The frame line on the window's inner side, half way along: 2 inside
    // the pane, which stands where the jambs cross the wall's middle.
    const double a = 50.0 * std::numbers::pi / 180.0;
    const double frame = 250.0 * std::cos(half * std::numbers::pi / 180.0) - 2.0;
    const double x = 1200.0 + frame * std::cos(a), y = 150.0 + frame * std::sin(a);
    Lines({"_ERASE", "!pick " + std::to_string(x) + "," + std::to_string(y), ""});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 0) << transcript();
    const std::vector<WallArc> joined = WallArcs();
    ASSERT_EQ(joined.size(), 2u) << transcript();
    for (int side = 0; side < 2; ++side) {
        EXPECT_NEAR(joined[side].start, whole[side].start, 1e-9);
        EXPECT_NEAR(joined[side].end, whole[side].end, 1e-9);
    }
    ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
    EXPECT_EQ(WallCrossings(50.0, 160.0), 2);
    EXPECT_EQ(OpenSolids(), "");
}

// The same window in a curved wall lower than its sill leaves the wall
// whole; in one lower than its head it opens the wall's top. Either way
// the walls close and no side rises above them.
TEST_F(SolidsClosedTest, AWindowOverACurvedWallsTopLeavesItClosed) {
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    for (const double height : {60.0, 200.0}) {
        run({"_ERASE", "_ALL", "", "!dialog 1016 page 0 edit 1001 \"" + std::to_string(height) + "\" ok",
             "VELMFLOOROPTIONS"});
        Lines({"VELMWALLD", "1000,0", "1400,0", "1400,300", "Łuk", "400", "100", "180", "Zamknij"});
        Lines({"VELMOBJECT", "F1C", "!pick 1317.5,353.52", "50", ""});
        ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
        double top = 0.0;
        for (const DrawnFace& f : closed_model::DrawingFaces(modelSpace()))
            if (Has(f.layer, "3DWALLS"))
                for (const Point3& p : f.c) top = std::max(top, p.z);
        EXPECT_NEAR(top, height, 1e-9);
        EXPECT_EQ(WallCrossings(50.0, 50.0), 2) << height;
        EXPECT_EQ(WallCrossings(50.0, height - 5.0), height < 85.0 ? 2 : 0) << height;
        EXPECT_EQ(OpenSolids(), "") << height;
    }
}

// A free wall shorter than it is thick (a column) closes at its ends
// whether the tops are closed or not, and at its top and foot when they
// are; made again, it has the same faces.
TEST_F(SolidsClosedTest, AWallShorterThanItIsThickIsClosed) {
    for (const int tops : {1, 0}) {
        run({"_ERASE", "_ALL", ""});
        SetSettingInt(SetupVar::CHIUSURA_SUP, tops);
        Lines({"!dialog 145 edit 1066 \"28\" edit 1067 \"28\" click 1073", "VELMWALL", "1469,526", "1474,553",
               ""});
        ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
        // Without tops only the rims at the foot and the top stay open.
        std::string open;
        for (const closed_model::OpenEdge& e : closed_model::OpenEdges(Solids()["walls"])) {
            const bool rim = std::fabs(e.a.z - e.b.z) < 1e-6 &&
                             (std::fabs(e.a.z) < 1e-6 || std::fabs(e.a.z - 300.0) < 1e-6);
            if (tops || !rim) open += closed_model::Describe({e}) + "\n";
        }
        EXPECT_EQ(open, "") << tops;
        const int once = count("0=3DFACE");
        EXPECT_EQ(once, tops ? 8 : 6) << tops;
        run({"VELMWALL3D", ""});
        EXPECT_EQ(count("0=3DFACE"), once) << tops;
    }
}

// An annex whose walls start and end on a room's outer face, which they
// split: every wall gets its top and foot, the room's too, none twice;
// made again, the same faces. (The room is within the largest wall
// thickness: a thicker one is no wall to pair and gets no top.)
TEST_F(SolidsClosedTest, AnAnnexOnARoomsOuterFaceLeavesEveryWallCapped) {
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    SetSettingReal(SetupVar::DISCMURO, 72.0);
    for (const auto& [room, annex] : {std::pair{70, 29}, std::pair{8, 70}}) {
        SCOPED_TRACE(std::to_string(room) + " " + std::to_string(annex));
        run({"_ERASE", "_ALL", ""});
        const std::string x = std::to_string(600 + room / 2), far = std::to_string(900 + room / 2);
        Lines({"!dialog 145 edit 1066 \"" + std::to_string(room) + "\" edit 1067 \"" + std::to_string(room) +
                   "\" click 1073",
               "VELMWALL", "0,0", "600,0", "600,500", "0,500", "Zamknij"});
        Lines({"!dialog 145 edit 1066 \"" + std::to_string(annex) + "\" edit 1067 \"" +
                   std::to_string(annex) + "\" click 1073",
               "VELMWALL", x + ",100", far + ",100", far + ",400", x + ",400", ""});
        ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
        EXPECT_EQ(OpenSolids(), "");
        const int once = count("0=3DFACE");
        run({"VELMWALL3D", ""});
        EXPECT_EQ(count("0=3DFACE"), once);
    }
}

// A partition ending on a room's inner face splits it; where its mouth is
// wider than the gap faces merge across (here 72), the room's wall still
// gets its top and foot whole, at any angle of the room.
TEST_F(SolidsClosedTest, APartitionsWideMouthLeavesTheRoomWallCapped) {
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    SetSettingReal(SetupVar::DISCMURO, 72.0);
    for (const double degrees : {0.0, 16.0, 53.0})
        for (const auto& [partition, slant] :
             {std::pair{40, 0.0}, std::pair{70, 0.0}, std::pair{40, 126.0}, std::pair{70, 126.0}}) {
            SCOPED_TRACE(std::to_string(degrees) + " " + std::to_string(partition) + " " +
                         std::to_string(slant));
            run({"_ERASE", "_ALL", ""});
            const double r = degrees * std::numbers::pi / 180.0;
            auto at = [r](double x, double y) {
                return std::to_string(x * std::cos(r) - y * std::sin(r)) + "," +
                       std::to_string(x * std::sin(r) + y * std::cos(r));
            };
            Lines({"!dialog 145 edit 1066 \"61\" edit 1067 \"61\" click 1073", "VELMWALL", at(0, 0),
                   at(600, 0), at(600, 500), at(0, 500), "Zamknij"});
            const std::string t = std::to_string(partition);
            Lines({"!dialog 145 edit 1066 \"" + t + "\" edit 1067 \"" + t + "\" click 1073", "VELMWALL",
                   at(300, 30.5), at(300 + slant, 300), ""});
            ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
            EXPECT_EQ(OpenSolids(), "");
        }
}

// A window draws its own reveals: its wall adds none, at whatever angle
// the room is turned (a reveal's centre lies on the diagonal of the
// window's own face, which rounding could put outside both its halves).
TEST_F(SolidsClosedTest, AWindowsOwnRevealsAreNotDoubledByItsWall) {
    for (int k = 0; k < 24; ++k) {
        const double degrees = 27.62 + 14.77 * k;
        SCOPED_TRACE(degrees);
        run({"_ERASE", "_ALL", ""});
        const double r = degrees * std::numbers::pi / 180.0;
        auto at = [r](double x, double y) {
            return std::to_string(x * std::cos(r) - y * std::sin(r)) + "," +
                   std::to_string(x * std::sin(r) + y * std::cos(r));
        };
        Lines({"!dialog 145 edit 1066 \"70\" edit 1067 \"70\" click 1073", "VELMWALL", at(0, 0), at(600, 0),
               at(600, 500), at(0, 500), "Zamknij"});
        Lines({"VELMOBJECT", "F1", "!pick " + at(230 + 7 * k, 35), std::to_string(195 + 7 * k)});
        ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << transcript();
        ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
        EXPECT_EQ(count("0=3DFACE -3=VELM12CAD$_$CHIUSURA3D-"), 0);
    }
}

// A pilaster from the library stands closed: front, sides, back, foot and
// top.
TEST_F(SolidsClosedTest, APilasterIsASolid) {
    Lines({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    Lines({"VELMOBJECT", "PIL1", "200,15", "0", ""});
    ASSERT_EQ(count("0=INSERT 8=2DPILASTERS"), 1) << transcript();
    EXPECT_EQ(OpenSolids(), "");
}

// A floor slab with a straight stair's opening, a hip roof, a gable roof,
// girders under a pitch and a winder stair: each block closes.
TEST_F(SolidsClosedTest, SlabsRoofsGirdersAndStairsAreSolids) {
    Lines({"VELMWALLD", "0,0", "800,0", "800,600", "0,600", "Zamknij"});
    Lines({"VELMSTAIRDEF", "Szerokość", "90", "Stopień", "28", "100,80", "100,500", "Utwórz"});
    Lines({"!dialog 152 click 4", "VELMFSLAB", "0,0", "800,0", "800,600", "0,600", "", "Obiekt",
           "!pick 100,300", ""});
    Lines({"!dialog 109 edit 104 \"40\" edit 105 \"50\" edit 106 \"300\" radio 1027 click 4", "VELMHIPROOF",
           "0,0", "800,0", "800,600", "0,600", ""});
    Lines({"VELMGROOF", "200,-250", "600,-250", "200,0"});
    Lines({"VELMGIRDER", "!pick 400,-50", ""});
    Lines({"VELMSTAIRDEF", "Szerokość", "100", "Stopień", "28", "300,80", "300,300", "Łuk", "Środek",
           "200,300", "90", "80,400", "Utwórz"});
    ASSERT_EQ(count("0=INSERT 8=STAIRS"), 2) << transcript();
    ASSERT_EQ(count("0=INSERT 8=FLOORSLAB"), 1) << transcript();
    ASSERT_GE(count("0=INSERT 8=ROOFSLAB"), 6) << transcript();
    ASSERT_GE(count("0=INSERT 8=GIRDER"), 1) << transcript();
    EXPECT_EQ(OpenSolids(), "");
}

// A floor above a door: its walls' foot runs whole over the door below
// (the door's gap is its own floor's), and the two floors close.
TEST_F(SolidsClosedTest, AFloorAboveADoorKeepsItsFootWhole) {
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    Lines({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij", "VELMOBJECT", "P1", "!pick 200,15",
           "100"});
    Lines({"VELMWALL3D", ""});
    Lines({"VELMSETVAR", "SQPAV", "300", "VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    ASSERT_EQ(Lines({"VELMWALL3D", ""}), RTNORM) << transcript();
    EXPECT_EQ(OpenSolids(), "");
}

}  // namespace
