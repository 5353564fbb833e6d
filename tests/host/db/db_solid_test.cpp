// Region and solid stand-ins: explode results that must add up.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/dbmain.h"

namespace {

bool sameLoops(const std::vector<ZcDbFaceLoop>& a, const std::vector<ZcDbFaceLoop>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        for (std::size_t k = 0; k < a[i].size(); ++k)
            if (a[i][k].x != b[i][k].x || a[i][k].y != b[i][k].y || a[i][k].z != b[i][k].z) return false;
    }
    return true;
}

}  // namespace

TEST(SolidStandIns, box_explodes_into_faces_whose_areas_sum_to_its_surface) {
    ZcDb3dSolid box;
    ASSERT_EQ(box.createBox({0, 0, 0}, {2, 3, 4}), Zcad::eOk);
    std::vector<ZcDbEntity*> parts;
    ASSERT_EQ(box.explode(parts), Zcad::eOk);
    ASSERT_EQ(parts.size(), 6u);
    double total = 0;
    ZcGeVector3d normals;
    for (ZcDbEntity* e : parts) {
        std::unique_ptr<ZcDbEntity> owned(e);
        auto* r = ZcDbRegion::cast(e);
        ASSERT_NE(r, nullptr);
        total += r->area();
        normals += r->normal();
    }
    EXPECT_NEAR(total, 2 * (2 * 3 + 3 * 4 + 2 * 4), 1e-9);
    EXPECT_TRUE(normals.isZeroLength());  // a closed surface: outward normals cancel
    EXPECT_EQ(box.createBox({0, 0, 0}, {1, 1, 0}), Zcad::eInvalidInput);
}

TEST(SolidStandIns, region_explodes_to_lines_along_its_loops) {
    ZcDbRegion r;
    ZcDbFaceLoop outer{{0, 0, 5}, {4, 0, 5}, {4, 4, 5}, {0, 4, 5}};
    ZcDbFaceLoop hole{{1, 1, 5}, {2, 1, 5}, {2, 2, 5}};
    ASSERT_EQ(r.setLoops({outer, hole}), Zcad::eOk);
    EXPECT_NEAR(r.area(), 16 - 0.5, 1e-12);
    std::vector<ZcDbEntity*> parts;
    r.explode(parts);
    std::vector<std::unique_ptr<ZcDbEntity>> owned(parts.begin(), parts.end());
    ASSERT_EQ(parts.size(), 7u);
    for (unsigned i = 0; i < 7; ++i) {
        auto* line = ZcDbLine::cast(parts[i]);
        ASSERT_NE(line, nullptr) << i;
        const ZcDbFaceLoop& loop = i < 4 ? outer : hole;
        unsigned k = i < 4 ? i : i - 4;
        EXPECT_TRUE(line->startPoint().isEqualTo(loop[k])) << i;
        EXPECT_TRUE(line->endPoint().isEqualTo(loop[(k + 1) % loop.size()])) << i;
    }
    ZcDbFaceLoop bent{{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 0}};
    EXPECT_EQ(r.setLoops({bent}), Zcad::eInvalidInput);
    EXPECT_EQ(r.loops().size(), 2u);
}

TEST(SolidStandIns, both_round_trip_through_the_filers) {
    ZcDb3dSolid box;
    box.createBox({1, 1, 1}, {2, 2, 2});
    ZcDbMemDxfFiler f;
    ASSERT_EQ(box.dxfOut(&f), Zcad::eOk);
    std::unique_ptr<ZcRxObject> made(zcrxFindClassByDxfName("3DSOLID")->create());
    auto* copy = ZcDb3dSolid::cast(made.get());
    ASSERT_NE(copy, nullptr);
    f.rewind();
    ASSERT_EQ(copy->dxfIn(&f), Zcad::eOk);
    EXPECT_TRUE(sameLoops(copy->loops(), box.loops()));
    ZcDbDwgFiler d;
    box.dwgOutFields(&d);
    d.seekStart();
    ZcDb3dSolid fromDwg;
    ASSERT_EQ(fromDwg.dwgInFields(&d), Zcad::eOk);
    EXPECT_TRUE(sameLoops(fromDwg.loops(), box.loops()));
}
