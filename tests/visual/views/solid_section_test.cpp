// A solid through a saved drawing and into a section: a box whose front
// face holds a window-sized hole, saved, read back, exploded, chained and
// added to a section that sees it whole, must give faces covering exactly
// its surface less the hole.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/db/dbmain.h"
#include "host/db/dbsolid.h"
#include "host/db/dxffile.h"
#include "tests/support/velm_test.h"
#include "visual/views/section_faces.h"

namespace {

double FaceArea(const SectionFace& f) {
    auto tri = [](const Point3& a, const Point3& b, const Point3& c) {
        const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const double x = uy * vz - uz * vy, y = uz * vx - ux * vz, z = ux * vy - uy * vx;
        return std::sqrt(x * x + y * y + z * z) / 2.0;
    };
    const Point3* c = f.corners;
    return tri(c[0], c[1], c[2]) + (f.triangle ? 0.0 : tri(c[0], c[2], c[3]));
}

}  // namespace

class SolidSectionTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

TEST_F(SolidSectionTest, box_with_a_hole_survives_the_drawing_and_covers_its_surface) {
    const double X = 400, Y = 300, Z = 270;
    auto* solid = new ZcDb3dSolid;
    solid->setDatabaseDefaults(db());
    // Faces wind counter-clockwise seen from outside; the front face (y = 0)
    // holds a hole 100 wide and 120 high.
    ASSERT_EQ(solid->addFace({{{{0, 0, 0}, {X, 0, 0}, {X, 0, Z}, {0, 0, Z}}, {}},
                              {{{150, 0, 50}, {150, 0, 170}, {250, 0, 170}, {250, 0, 50}}, {}}}),
              Zcad::eOk);
    const ZcDbFaceLoop others[5] = {{{0, 0, 0}, {0, Y, 0}, {X, Y, 0}, {X, 0, 0}},
                                    {{0, 0, Z}, {X, 0, Z}, {X, Y, Z}, {0, Y, Z}},
                                    {{X, 0, 0}, {X, Y, 0}, {X, Y, Z}, {X, 0, Z}},
                                    {{X, Y, 0}, {0, Y, 0}, {0, Y, Z}, {X, Y, Z}},
                                    {{0, Y, 0}, {0, 0, 0}, {0, 0, Z}, {0, Y, Z}}};
    for (const ZcDbFaceLoop& f : others) ASSERT_EQ(solid->addFace({{f, {}}}), Zcad::eOk);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db()->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ASSERT_EQ(ms->appendZcDbEntity(solid), Zcad::eOk);
    solid->close();
    ms->close();

    const std::string path = std::string(VELM_BINARY_DIR) + "/visual_solid_section.dxf";
    std::string error;
    ASSERT_TRUE(host::saveDxf(db(), path, nullptr, &error)) << error;
    host::DxfLoadResult loaded = host::loadDxf(path);
    ASSERT_TRUE(loaded.db) << loaded.error;

    ASSERT_EQ(zcdbOpenObject(ms, loaded.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    int solids = 0;
    CSezione section;
    // The view frame sees the box from in front: x right, y up, z the depth,
    // the section plane 10 before the front face (a face lying in the plane
    // would be cut away with what lies in front).
    SetIdentity4(section.viewFrame);
    section.viewFrame.m[1][1] = 0.0;
    section.viewFrame.m[1][2] = 1.0;
    section.viewFrame.m[2][1] = 1.0;
    section.viewFrame.m[2][2] = 0.0;
    section.viewFrame.m[2][3] = 10.0;
    Matrix4 placement;
    SetIdentity4(placement);
    for (ZcDbObjectId id : ms->entityIds()) {
        ZcDb3dSolid* read = nullptr;
        if (zcdbOpenObject(read, id, ZcDb::kForRead) != Zcad::eOk) continue;
        ++solids;
        EXPECT_EQ(read->loops().size(), 7u);
        section.CollectEntityFaces(read, placement);
        read->close();
    }
    ms->close();
    ASSERT_EQ(solids, 1);
    double area = 0.0;
    int faces = 0;
    for (const SectionFace* f = section.faces; f; f = f->next, ++faces) area += FaceArea(*f);
    EXPECT_NEAR(area, 2 * (X * Y + X * Z + Y * Z) - 100 * 120, 1e-6);
    EXPECT_EQ(faces, 8 + 5 * 2);  // n + 2 holes - 2 triangles a face
    EXPECT_DOUBLE_EQ(section.boxMin[2], 10.0);
    EXPECT_DOUBLE_EQ(section.boxMax[2], Y + 10.0);
}
