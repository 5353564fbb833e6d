#include "rooms/schedules/opening_marks.h"

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"

void GetOpeningTypeAndNumber(const ads_name entity, int& number, std::string& kind) {
    number = 0;
    kind.clear();
    resbuf* apps = zcutBuildList(RTSTR, kAbInfissiObjApp, 0);
    resbuf* list = zcdbEntGetX(entity, apps);
    zcutRelRb(apps);
    const resbuf* app = FindXDataApp(list, kAbInfissiObjApp);
    // Item 2 is the kind word, item 8 the mark number.
    const resbuf* rb = app ? app->rbnext : nullptr;
    for (int item = 1; rb && rb->restype != 1001 && item <= 8; ++item, rb = rb->rbnext) {
        if (item == 2 && rb->restype == 1000 && rb->resval.rstring)
            TranslateOpeningType(rb->resval.rstring, kind, true);
        if (item == 8 && rb->restype == 1070) number = rb->resval.rint;
    }
    zcutRelRb(list);
}
