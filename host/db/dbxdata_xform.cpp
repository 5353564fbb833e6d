// Extended data through a transform (see the header).
#include "host/db/dbxdata_xform.h"

#include <vector>

void zcdbTransformXData(ZcDbObject* object, const ZcDbXform& xform) {
    if (!object) return;
    // Copied first: writing an application's items changes the list.
    const std::vector<ZcDbXDataApp> apps = object->xDataApps();
    for (const ZcDbXDataApp& app : apps) {
        std::vector<ZcDbDxfItem> items = app.items;
        bool moved = false;
        for (ZcDbDxfItem& it : items) {
            ZcGePoint3d p = it.point();
            switch (it.code) {
                case 1011:
                    p = xform.apply(p);
                    break;
                case 1012:
                case 1013: {
                    ZcGeVector3d v = xform.apply(p.asVector());
                    const double length = v.length();
                    if (it.code == 1013 && length > 0) v = v / length;
                    p = ZcGePoint3d() + v;
                    break;
                }
                case 1041:
                case 1042:
                    it.real[0] *= xform.scale();
                    moved = true;
                    continue;
                default:
                    continue;
            }
            for (int k = 0; k < 3; ++k) it.real[k] = p[k];
            moved = true;
        }
        if (moved) object->setXDataApp(app.app, std::move(items));
    }
}
