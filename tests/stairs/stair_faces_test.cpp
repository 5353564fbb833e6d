// The stair's 3D faces: nosing counts and shapes, every structure type on a
// straight flight and a quarter turn (planar, non-degenerate faces on the
// stair layers), the heights of the undersides, and the areas the faces
// cover.
#include "stairs/stair_faces.h"

#include <cmath>
#include <map>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

struct Face {
    std::string layer;
    int colour = 256;  // BYLAYER when the list leaves it out
    Point3 c[4];
};

Point3 Minus(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 CrossP(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Norm(const Point3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
// Area of the face (a triangle when its last corners repeat).
double FaceArea(const Face& f) {
    const Point3 n1 = CrossP(Minus(f.c[1], f.c[0]), Minus(f.c[2], f.c[0]));
    const Point3 n2 = CrossP(Minus(f.c[2], f.c[0]), Minus(f.c[3], f.c[0]));
    return 0.5 * Norm(n1) + 0.5 * Norm(n2);
}
bool IsPlanar(const Face& f) {
    Point3 n = CrossP(Minus(f.c[1], f.c[0]), Minus(f.c[2], f.c[0]));
    const double len = Norm(n);
    if (len < 1e-9) return false;
    const Point3 d = Minus(f.c[3], f.c[0]);
    return std::fabs((n.x * d.x + n.y * d.y + n.z * d.z) / len) < 1e-6;
}
bool IsVertical(const Face& f) {
    const Point3 n = CrossP(Minus(f.c[1], f.c[0]), Minus(f.c[2], f.c[0]));
    return std::fabs(n.z) < 1e-9 * Norm(n);
}
bool IsLevel(const Face& f) {
    return std::fabs(f.c[0].z - f.c[1].z) < 1e-9 && std::fabs(f.c[0].z - f.c[2].z) < 1e-9 &&
           std::fabs(f.c[0].z - f.c[3].z) < 1e-9;
}

class StairFaces : public VelmTest {
protected:
    static std::vector<Face> ModelFaces() {
        std::vector<Face> faces;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name name;
            if (zcdbGetAdsName(name, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(name);
            const resbuf* type = FindRbCode(list, 0);
            if (type && std::string(type->resval.rstring) == "3DFACE") {
                Face f;
                f.layer = FindRbCode(list, 8)->resval.rstring;
                if (const resbuf* c = FindRbCode(list, 62)) f.colour = c->resval.rint;
                for (int k = 0; k < 4; ++k) {
                    const resbuf* p = FindRbCode(list, 10 + k);
                    f.c[k] = {p->resval.rpoint[0], p->resval.rpoint[1], p->resval.rpoint[2]};
                }
                faces.push_back(f);
            }
            zcutRelRb(list);
        }
        return faces;
    }

    static void EraseFaces() {
        for (ZcDbObjectId id : modelSpace()) {
            ads_name name;
            if (zcdbGetAdsName(name, id) == Zcad::eOk) zcdbEntDel(name);
        }
    }

    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    // A record of the model between floors 300 apart, in place.
    static void Prepare(CSCALA& s, const std::vector<StairModelEntity>& model) {
        ASSERT_EQ(BuildStairModel(s, model, 0), "");
        s.floorDistance = 300.0;
        s.startOffset = 0.0;
        s.riserCount = CountNodes(s.risers);
        s.stepHeight = s.floorDistance / s.riserCount;
        s.riserThicknessPlan = 0.0;
        s.stepThicknessPlan = 0.0;
        s.steps = BuildStairSteps(s, s.risers, 0, 0.0);
    }
};

TEST_F(StairFaces, nosings_per_riser_by_shape_and_structure) {
    struct Case {
        int nosing, structure, perRiser;
    };
    for (Case c : {Case{1, 3, 4}, Case{1, 0, 5}, Case{1, 2, 5}, Case{0, 3, 9}, Case{0, 1, 10}}) {
        CSCALA s;
        Prepare(s, StraightFlight());
        s.nosingType = c.nosing;
        s.structureType = c.structure;
        s.nosingLength = 2.0;
        s.nosingThickness = 4.0;
        const int before = count("0=3DFACE");
        const int risersBefore = count("0=3DFACE 8=3DSTAIRS_RI");
        s.BuildNosingFaces();
        EXPECT_EQ(count("0=3DFACE") - before, 15 * c.perRiser) << c.nosing << " " << c.structure;
        EXPECT_EQ(count("0=3DFACE 8=3DSTAIRS_RI") - risersBefore, c.structure != 3 ? 15 : 0) << c.structure;
        EXPECT_FALSE(s.entityFailed);
    }
}

TEST_F(StairFaces, rounded_nosing_hangs_twice_its_length_before_the_riser) {
    CSCALA s;
    Prepare(s, StraightFlight());
    s.nosingType = 0;
    s.nosingLength = 2.0;
    s.structureType = 3;
    s.BuildNosingFaces();
    // The first riser runs along y = 0; its nosing reaches towards -y.
    double low = 1e9, front = 1e9;
    for (const Face& f : ModelFaces())
        for (const Point3& p : f.c)
            if (p.y < 1e-9 && p.z < s.stepHeight + 1e-9) {
                low = std::min(low, p.z);
                front = std::min(front, p.y);
            }
    EXPECT_NEAR(low, s.stepHeight - 4.0, 1e-9);
    EXPECT_NEAR(front, -0.951 * 2.0, 1e-9);
}

TEST_F(StairFaces, every_structure_gives_planar_faces_on_the_stair_layers) {
    const std::vector<StairModelEntity> models[2] = {StraightFlight(), QuarterTurn()};
    for (int m = 0; m < 2; ++m)
        for (int type = 0; type < 4; ++type) {
            EraseFaces();
            CSCALA s;
            Prepare(s, models[m]);
            s.structureType = type;
            s.nosingType = type % 2;
            s.nosingLength = 2.0;
            s.nosingThickness = 3.0;
            s.stepThickness = 5.0;
            s.riserThickness = type == 3 ? 0.0 : 4.0;
            s.landingThickness = 12.0;
            s.platformThickness = 15.0;
            s.BuildNosingFaces();
            s.BuildStructure();
            EXPECT_FALSE(s.entityFailed);
            const std::vector<Face> faces = ModelFaces();
            int structure = 0;
            for (const Face& f : faces) {
                EXPECT_TRUE(f.layer == "3DSTAIRS" || f.layer == "3DSTAIRS_TR" || f.layer == "3DSTAIRS_RI")
                    << f.layer;
                EXPECT_EQ(f.colour, 256);
                EXPECT_TRUE(IsPlanar(f)) << m << " " << type;
                EXPECT_GT(FaceArea(f), 1e-6) << m << " " << type;
                structure += f.layer == "3DSTAIRS";
            }
            EXPECT_GT(structure, 0) << m << " " << type;
            EXPECT_TRUE(s.topFaceLow || !s.topFaceHigh);
            EXPECT_NE(s.outlines3D, nullptr) << m << " " << type;
        }
}

TEST_F(StairFaces, full_structure_sides_and_bottom_cover_the_flight) {
    CSCALA s;
    Prepare(s, StraightFlight());
    s.structureType = 0;
    s.BuildStructure();
    // Each side is the climb of 15 treads of 30 down to the floor; the
    // bottom is the plan, 110 by 450.
    std::map<std::string, double> area;
    for (const Face& f : ModelFaces()) {
        if (IsVertical(f) && std::fabs(f.c[0].x) < 1e-9 && std::fabs(f.c[1].x) < 1e-9)
            area["first"] += FaceArea(f);
        if (IsVertical(f) && std::fabs(f.c[0].x - 110) < 1e-9 && std::fabs(f.c[1].x - 110) < 1e-9)
            area["second"] += FaceArea(f);
        if (IsLevel(f) && std::fabs(f.c[0].z) < 1e-9) area["bottom"] += FaceArea(f);
    }
    const double side = 30.0 * s.stepHeight * (15 * 16 / 2);
    EXPECT_NEAR(area["first"], side, 1e-6);
    EXPECT_NEAR(area["second"], side, 1e-6);
    EXPECT_NEAR(area["bottom"], 110.0 * 450.0, 1e-6);
}

TEST_F(StairFaces, stepped_and_landing_undersides_lie_their_thickness_below) {
    {
        CSCALA s;
        Prepare(s, StraightFlight());
        s.structureType = 1;
        s.stepThickness = 5.0;
        s.riserThickness = 4.0;
        s.BuildStructure();
        for (const Face& f : ModelFaces()) {
            if (!IsLevel(f)) continue;
            const double z = f.c[0].z;
            const double k = std::round((z + 5.0) / s.stepHeight);
            EXPECT_TRUE(std::fabs(z) < 1e-9 || std::fabs(z - (k * s.stepHeight - 5.0)) < 1e-9) << z;
        }
        // The moved riser plates stand 4 behind the risers.
        ASSERT_GE(s.structureSteps.size(), 3u);
        EXPECT_NEAR(s.structureSteps[1].front.a.y, 34.0, 1e-9);
        EXPECT_NEAR(s.structureSteps.back().back.a.y, 450.0, 1e-9);
    }
    {
        CSCALA s;
        Prepare(s, StraightFlight());
        s.structureType = 2;
        s.landingThickness = 12.0;
        s.platformThickness = 15.0;
        s.BuildStructure();
        const double D = StructureDepthAtRiser(s, 12.0, 30.0);
        EXPECT_NEAR(D, 12.0 * std::sqrt(1.0 + std::pow(s.stepHeight / 30.0, 2)), 1e-9);
        int sloped = 0;
        for (const Face& f : ModelFaces()) {
            if (IsLevel(f) || IsVertical(f)) continue;
            ++sloped;
            for (const Point3& p : f.c) EXPECT_NEAR(p.z, p.y * s.stepHeight / 30.0 - D, 1e-9);
        }
        EXPECT_GT(sloped, 0);
    }
}

TEST_F(StairFaces, a_triangulated_patch_covers_its_polygon) {
    // An L of area 3, level, sloped and vertical.
    const std::vector<Point3> flat = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    auto sloped = flat;
    for (Point3& p : sloped) p.z = 0.5 * p.x + 0.25 * p.y;
    std::vector<Point3> vertical;
    for (const Point3& p : flat) vertical.push_back({p.x * 0.6, p.x * 0.8, p.y});
    const double expected[3] = {3.0, 3.0 * std::sqrt(1 + 0.25 + 0.0625), 3.0};
    const std::vector<Point3>* polygons[3] = {&flat, &sloped, &vertical};
    for (int i = 0; i < 3; ++i) {
        EraseFaces();
        bool failed = false;
        // Given clockwise, with a repeated corner and one on a straight edge.
        std::vector<Point3> corners(polygons[i]->rbegin(), polygons[i]->rend());
        corners.insert(corners.begin() + 2, corners[2]);
        const Point3 a = corners[0], b = corners[1];
        corners.insert(corners.begin() + 1, {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2});
        EXPECT_EQ(EmitPlanarPolygon(corners, "3DSTAIRS", failed), 4) << i;
        double area = 0.0;
        for (const Face& f : ModelFaces()) {
            EXPECT_TRUE(IsPlanar(f));
            area += FaceArea(f);
        }
        EXPECT_NEAR(area, expected[i], 1e-9) << i;
        EXPECT_FALSE(failed);
    }
    bool failed = false;
    EXPECT_EQ(EmitPlanarPolygon({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, "3DSTAIRS", failed), 0);
}

}  // namespace
