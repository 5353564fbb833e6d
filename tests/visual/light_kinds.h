// The placed lights of a drawing given the light kinds 1, 2, 3 … in the
// order of model space, so that an export meets every kind and one past the
// last it knows.
#pragma once

#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbid.h"

// Returns the kind the next light would get.
inline int NumberLightKinds(const std::vector<ZcDbObjectId>& entities) {
    int kind = 1;
    for (ZcDbObjectId id : entities) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* list = zcdbEntGetX(e, host::ResbufList(zcutBuildList(RTSTR, "VELM5$_$PARASPEC-", 0)).get());
        bool light = false;
        for (resbuf* rb = list; rb; rb = rb->rbnext)
            if (rb->restype == 1070 && rb->resval.rint == 34 && rb->rbnext) {
                rb->rbnext->resval.rreal = kind++;
                light = true;
                break;
            }
        if (light) zcdbEntMod(list);
        zcutRelRb(list);
    }
    return kind;
}
