// The wall model as a closed surface: in every scene the walls' faces
// with the reveals their objects draw close around the walls (every edge
// covered on both sides), the closing faces are neither lost nor doubled
// when sides are made again, and a face an object draws is not drawn a
// second time by the wall.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/closed_model.h"
#include "tests/visual/model3d_fixture.h"

namespace {

using closed_model::DrawnFace;

bool Has(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

struct Scene {
    const char* name;
    std::vector<std::string> lines;
};

// Walls of one floor made with the module's commands; each scene ends with
// the floor generated in 3D, tops and feet closed.
std::vector<Scene> Scenes() {
    return {
        {"room with a door and a window",
         {"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij", "VELMOBJECT", "P1", "!pick 200,15",
          "100", "VELMOBJECT", "F1", "!pick 385,150", "100"}},
        {"two doors in one wall and a window",
         {"VELMWALLD", "0,0", "600,0", "600,300", "0,300", "Zamknij", "VELMOBJECT", "P1", "!pick 100,15",
          "50", "VELMOBJECT", "P1", "!pick 400,15", "50", "VELMOBJECT", "F1", "!pick 15,150", "50"}},
        {"a free wall and a free column",
         {"VELMWALLD", "0,0", "300,0", "", "VELMWALLD", "500,0", "500,40", ""}},
        {"walls at 15 and 75 degrees with a door in the slanted wall",
         {"VELMWALLD", "0,0", "@500<15", "@400<105", "@500<195", "Zamknij", "VELMOBJECT", "P1",
          "!pick 245.356,50.215", "100"}},
        {"a room with a partition ending free in it",
         {"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij", "VELMWALLD", "300,15", "300,250", ""}},
    };
}

class ClosedScene : public Model3DTest {
protected:
    // A new drawing's floor is 1 high: the scenes' floors are 300.
    static void FloorOf300() { run({"!dialog 1016 page 0 edit 1001 \"300\" ok", "VELMFLOOROPTIONS"}); }
};

class ClosedModelTest : public ClosedScene, public ::testing::WithParamInterface<int> {
protected:
    // The faces that bound the walls: the wall layers' and those the
    // objects set into the walls draw on their opening layers (their
    // reveals); door leaves and panes are sheets of their own.
    static std::vector<closed_model::Quad> WallSolid(const std::vector<DrawnFace>& faces) {
        return closed_model::Select(
            faces, [](const DrawnFace& f) { return Has(f.layer, "3DWALLS") || Has(f.layer, "3DOPENINGS"); });
    }
    static std::string Layers(const std::vector<DrawnFace>& faces) {
        std::vector<std::string> names;
        for (const DrawnFace& f : faces)
            if (std::find(names.begin(), names.end(), f.layer) == names.end()) names.push_back(f.layer);
        std::string out;
        for (const std::string& n : names) out += " " + n;
        return out;
    }
    void Build(const Scene& s) {
        FloorOf300();
        for (const std::string& l : s.lines) push(l);
        run({});
        SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
        run({"VELMWALL3D", ""});
    }
};

TEST_P(ClosedModelTest, TheWallsCloseAroundThemselves) {
    const Scene s = Scenes()[static_cast<std::size_t>(GetParam())];
    Build(s);
    const std::vector<DrawnFace> faces = closed_model::DrawingFaces(modelSpace());
    const auto solid = WallSolid(faces);
    ASSERT_FALSE(solid.empty()) << s.name << transcript();
    const auto open = closed_model::OpenEdges(solid);
    EXPECT_TRUE(open.empty()) << s.name << ": " << closed_model::Describe(open)
                              << "\nlayers:" << Layers(faces);
    // The floor made again: the same faces, none left over, none lost.
    const int once = count("0=3DFACE");
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE"), once) << s.name;
    EXPECT_TRUE(closed_model::OpenEdges(WallSolid(closed_model::DrawingFaces(modelSpace()))).empty())
        << s.name;
}

INSTANTIATE_TEST_SUITE_P(Scenes, ClosedModelTest, ::testing::Range(0, static_cast<int>(Scenes().size())));

class WallClosingTest : public ClosedScene {
protected:
    void SetUp() override {
        ClosedScene::SetUp();
        FloorOf300();
    }
};

// The jambs of a door the object does not draw are the wall's; they stand
// across the wall and still go with the side that made them: a side made
// again one by one, from either face of the wall, leaves one set.
TEST_F(WallClosingTest, ADoorsJambsGoWithTheirSide) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    run({"VELMOBJECT", "P1", "!pick 200,15", "100"});
    run({"VELMWALL3D", ""});
    // Faces across the bottom wall (y from -15 to 15) at the door's sides.
    auto across = [] {
        int n = 0;
        for (const Face3D& f : Faces()) {
            double y0 = 1e300, y1 = -1e300, x0 = 1e300, x1 = -1e300;
            for (const Point3& c : f.c) {
                y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
                x0 = std::min(x0, c.x), x1 = std::max(x1, c.x);
            }
            n += y1 - y0 > 29.0 && x1 - x0 < 1e-6 && x0 > 15.0 && x0 < 385.0;
        }
        return n;
    };
    EXPECT_EQ(across(), 2) << "the two jambs";
    const int all = count("0=3DFACE");
    for (const char* pick : {"!pick 50,15", "!pick 50,-15", "!pick 300,15"}) {
        run({"VELMW3DFACE", pick, ""});
        EXPECT_EQ(across(), 2) << pick;
        EXPECT_EQ(count("0=3DFACE"), all) << pick;
    }
}

// A window draws its sill, head and jambs: the wall adds no face on them.
TEST_F(WallClosingTest, RevealsTheObjectDrawsAreNotDrawnTwice) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    run({"VELMOBJECT", "F1", "!pick 385,150", "100"});
    run({"VELMWALL3D", ""});
    const std::vector<DrawnFace> faces = closed_model::DrawingFaces(modelSpace());
    int walls = 0, objects = 0;
    for (const DrawnFace& f : faces) {
        // faces standing across the right wall (x from 385 to 415) by the
        // window (the wall's caps and feet lie across it everywhere)
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300, z0 = 1e300, z1 = -1e300;
        for (const Point3& c : f.c) {
            x0 = std::min(x0, c.x), x1 = std::max(x1, c.x), y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
            z0 = std::min(z0, c.z), z1 = std::max(z1, c.z);
        }
        const bool acrossTheWall = x0 > 384.0 && x1 < 416.0 && x1 - x0 > 29.0;
        if (!acrossTheWall || y0 < 50.0 || y1 > 250.0 || (z1 - z0 < 1e-6 && (z0 < 1e-6 || z0 > 299.0)))
            continue;
        if (Has(f.layer, "3DWALLS")) ++walls;
        if (Has(f.layer, "3DOPENINGS")) ++objects;
    }
    EXPECT_EQ(walls, 0);
    EXPECT_EQ(objects, 4);
}

// The faces of every shape of a VRML file, in its coordinates.
std::vector<closed_model::Quad> VrmlFaces(const std::string& text) {
    std::vector<closed_model::Quad> out;
    std::istringstream in(text);
    std::string line;
    std::vector<Point3> points;
    enum { kNone, kPoints, kIndex } state = kNone;
    while (std::getline(in, line)) {
        if (line.find("point [") != std::string::npos) {
            points.clear();
            state = kPoints;
        } else if (line.find("coordIndex [") != std::string::npos) {
            state = kIndex;
        } else if (!line.empty() && line[0] == ']') {
            state = kNone;
        } else if (state == kPoints) {
            Point3 p;
            std::istringstream(line) >> p.x >> p.y >> p.z;
            points.push_back(p);
        } else if (state == kIndex) {
            std::istringstream row(line);
            std::vector<Point3> c;
            for (int i; row >> i && i >= 0;) c.push_back(points.at(static_cast<std::size_t>(i)));
            if (c.size() == 3) c.push_back(c[0]);
            if (c.size() == 4) out.push_back({c[0], c[1], c[2], c[3]});
        }
    }
    return out;
}

// The model as the VRML file shows it: with the door leaves' and panes'
// layers off, what is written of the walls and their reveals is closed.
TEST_F(WallClosingTest, TheVrmlModelShowsNoHollowWallAtADoor) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    run({"VELMOBJECT", "P1", "!pick 200,15", "100"});
    run({"VELMOBJECT", "F1", "!pick 385,150", "100"});
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    run({"VELMWALL3D", ""});
    {
        ZcDbObjectPointer<ZcDbLayerTable> layers(db()->layerTableId(), ZcDb::kForRead);
        ASSERT_EQ(layers.openStatus(), Zcad::eOk);
        ZcDbSymbolTableIterator* it = nullptr;
        ASSERT_EQ(layers->newIterator(it), Zcad::eOk);
        for (; !it->done(); it->step()) {
            ZcDbObjectId id;
            it->getRecordId(id);
            ZcDbObjectPointer<ZcDbLayerTableRecord> layer(id, ZcDb::kForWrite);
            if (layer && !Has(layer->name(), "3DWALLS") && !Has(layer->name(), "3DOPENINGS"))
                layer->setIsOff(true);
        }
        delete it;
    }
    const std::filesystem::path folder = std::filesystem::path(VELM_BINARY_DIR) / "vrml_files";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "closed_walls.wrl").string();
    std::filesystem::remove(path);
    run({"!dialog file edit 1152 \"" + path + "\" ok", "VELMWRLOUT", ""});
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const auto faces = VrmlFaces(text.str());
    ASSERT_FALSE(faces.empty()) << transcript();
    const auto open = closed_model::OpenEdges(faces, 1e-3);
    EXPECT_TRUE(open.empty()) << closed_model::Describe(open);
}

}  // namespace
