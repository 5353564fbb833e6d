#include <gtest/gtest.h>

#include "host/ge/gebase.h"

TEST(GeBasic, point_equality_is_inclusive_at_the_tolerance) {
    ZcGeTol tol;
    tol.setEqualPoint(0.5);
    EXPECT_TRUE(ZcGePoint3d(0, 0, 0).isEqualTo(ZcGePoint3d(0.5, 0, 0), tol));
    EXPECT_FALSE(ZcGePoint3d(0, 0, 0).isEqualTo(ZcGePoint3d(0.5000001, 0, 0), tol));
}
