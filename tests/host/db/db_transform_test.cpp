// Transforms: every entity's defining points must land where the matrix
// sends the original points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "host/db/dbmain.h"

namespace {

const double kPi = std::acos(-1.0);

void expectNear(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
}

std::vector<ZcDbXform> someTransforms() {
    return {ZcDbXform::translation({3, -2, 1}), ZcDbXform::rotation(0.7, {0, 0, 1}, {1, 2, 0}),
            ZcDbXform::rotation(1.1, {1, 1, 0}, {0, 0, 0}), ZcDbXform::scaling(2.5, {1, 1, 1}),
            ZcDbXform::mirroring({0, 0, 0}, {1, 0, 0})};
}

}  // namespace

TEST(Transforms, ocs_conversion_round_trips_for_tilted_planes) {
    for (ZcGeVector3d n :
         {ZcGeVector3d(0, 0, 1), ZcGeVector3d(0, 1, 1), ZcGeVector3d(1e-3, 0, 1), ZcGeVector3d(-1, 2, -3)}) {
        ZcGePoint3d p(1.5, -2, 7);
        expectNear(zcdbOcsToWcs(zcdbWcsToOcs(p, n), n), p);
        EXPECT_NEAR(zcdbOcsXAxis(n).dotProduct(n), 0, 1e-12);
    }
    expectNear(zcdbOcsToWcs({1, 2, 3}, {0, 0, 1}), {1, 2, 3});
}

TEST(Transforms, arc_end_points_follow_the_matrix_mirrors_included) {
    for (const ZcDbXform& x : someTransforms()) {
        ZcDbArc arc({1, 1, 0}, {0, 0, 1}, 2, 0.3, 2.0);
        ZcGePoint3d s = x.apply(arc.startPoint()), e = x.apply(arc.endPoint());
        ASSERT_EQ(arc.transformBy(x), Zcad::eOk);
        // A mirror reverses the sweep: the ends trade places.
        bool mirrored = x.det() < 0;
        expectNear(arc.startPoint(), mirrored ? e : s);
        expectNear(arc.endPoint(), mirrored ? s : e);
    }
}

TEST(Transforms, polyline_vertices_and_line_ends_follow_the_matrix) {
    for (const ZcDbXform& x : someTransforms()) {
        ZcDbPolyline pl;
        pl.addVertexAt(0, {0, 0}, 0.5);
        pl.addVertexAt(1, {4, 0});
        pl.addVertexAt(2, {4, 3});
        pl.setElevation(2);
        std::vector<ZcGePoint3d> expected;
        for (unsigned i = 0; i < 3; ++i) {
            ZcGePoint3d p;
            pl.getPointAt(i, p);
            expected.push_back(x.apply(p));
        }
        ASSERT_EQ(pl.transformBy(x), Zcad::eOk);
        for (unsigned i = 0; i < 3; ++i) {
            ZcGePoint3d p;
            pl.getPointAt(i, p);
            expectNear(p, expected[i]);
        }
        ZcDbLine line({1, 2, 3}, {4, 5, 6});
        line.transformBy(x);
        expectNear(line.startPoint(), x.apply(ZcGePoint3d(1, 2, 3)));
    }
}

TEST(Transforms, text_rotation_turns_with_the_drawing) {
    ZcDbText text({1, 0, 0}, "A", 2, 0.25);
    ASSERT_EQ(text.transformBy(ZcDbXform::rotation(kPi / 2, {0, 0, 1})), Zcad::eOk);
    EXPECT_NEAR(text.rotation(), 0.25 + kPi / 2, 1e-12);
    expectNear(text.position(), {0, 1, 0});
    text.transformBy(ZcDbXform::scaling(3));
    EXPECT_NEAR(text.height(), 6, 1e-12);
}

TEST(Transforms, block_reference_maps_block_points_into_the_world) {
    ZcDbDatabase db;
    ZcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, ZcDb::kForWrite), Zcad::eOk);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("DRZWI");
    block->setOrigin({1, 0, 0});
    ZcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, block), Zcad::eOk);
    block->close();
    bt->close();
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* placed = new ZcDbBlockReference({10, 10, 0}, blockId);
    placed->setScaleFactors({2, 2, 2});
    placed->setRotation(kPi / 2);
    ASSERT_EQ(ms->appendZcDbEntity(placed), Zcad::eOk);
    // Block point (2,0,0) is 1 unit from the base point along X: scaled to
    // 2, turned a quarter, placed at (10,10).
    expectNear(placed->blockTransform().apply(ZcGePoint3d(2, 0, 0)), {10, 12, 0});
    EXPECT_EQ(placed->blockTableRecord(), blockId);
    placed->close();
    ms->close();
}

TEST(Transforms, non_uniform_scaling_of_a_circle_is_refused_unchanged) {
    ZcDbCircle c({0, 0, 0}, {0, 0, 1}, 1);
    ZcDbXform squash;
    squash.m[0][0] = 2;
    EXPECT_EQ(c.transformBy(squash), Zcad::eNotApplicable);
    EXPECT_EQ(c.radius(), 1);
}

TEST(Transforms, plan_ocs_shortcut_gives_the_bits_of_the_general_change_of_axes) {
    const double values[] = {0.0, -0.0, 1.5, -2.25, 1e300, -1e-300, 4.9e-324};
    for (double nx : {0.0, -0.0})
        for (double x : values)
            for (double y : values)
                for (double z : values) {
                    const ZcGeVector3d n(nx, -nx, 1), ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
                    const ZcGePoint3d want = ZcGePoint3d() + ax * x + ay * y + n * z;
                    const ZcGePoint3d got = zcdbOcsToWcs({x, y, z}, n);
                    ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0)
                        << x << " " << y << " " << z << " " << nx;
                }
}
