// Every solid the 3D commands make closes around itself: curved walls,
// pilasters, floor slabs, roof pitches, girders and stairs, each made with
// the module's commands and judged per solid.
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/closed_model.h"
#include "tests/visual/model3d_fixture.h"

namespace {

using closed_model::DrawnFace;

bool Has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

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
