// The 3DFACE the face commands' tests draw, and its edge flags read back.
#pragma once

#include <gtest/gtest.h>

#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"

inline void Face(ads_name made, const char* layer, Point3 a, Point3 b, Point3 c, Point3 d) {
    const ads_point pa{a.x, a.y, a.z}, pb{b.x, b.y, b.z}, pc{c.x, c.y, c.z}, pd{d.x, d.y, d.z};
    host::ResbufList list(
        zcutBuildList(RTDXF0, "3DFACE", 8, layer, 10, pa, 11, pb, 12, pc, 13, pd, 70, 0, 0));
    EXPECT_EQ(zcdbEntMake(list.get()), RTNORM);
    zcdbEntLast(made);
}

inline int EdgeFlags(const ads_name face) {
    host::ResbufList list(zcdbEntGet(face));
    const resbuf* flags = FindRbCode(list.get(), 70);
    return flags ? flags->resval.rint : 0;
}
