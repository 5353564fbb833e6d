#include "walls/graph/wall_line_ends.h"

#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "walls/graph/wall_line_table.h"

std::optional<std::pair<Point3, Point3>> WallLineEnds(const ads_name entity) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, entity) != Zcad::eOk) return std::nullopt;
    ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
    if (line.openStatus() != Zcad::eOk) return std::nullopt;
    const ZcGePoint3d a = line->startPoint(), b = line->endPoint();
    return std::make_pair(Point3{a.x, a.y, a.z}, Point3{b.x, b.y, b.z});
}

void EraseZeroLengthWallLines(double level) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return;
    for (ZcDbObjectId id : KeptWallLineTable(db).linesOn(WallLayerNamesAt(level), true)) {
        ads_name e;
        if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
        const std::optional<std::pair<Point3, Point3>> ends = WallLineEnds(e);
        if (ends && HostDistance(ends->first, ends->second) < kZeroLengthWallLine) zcdbEntDel(e);
    }
}
