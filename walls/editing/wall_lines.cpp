#include "walls/editing/wall_lines.h"

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"

host::ResbufList ReadWallLineList(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(entity, apps.get()));
}

bool RewriteWallLine(const ads_name entity, const Point3& a, const Point3& b) {
    host::ResbufList list = ReadWallLineList(entity);
    if (!list) return false;
    const ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
    SetRbPoint(list.get(), 10, pa);
    SetRbPoint(list.get(), 11, pb);
    return zcdbEntMod(list.get()) == RTNORM;
}

bool MakeWallLine(resbuf* list, const Point3& a, const Point3& b, ads_name made) {
    if (!list || PointsEqual(a, b, true)) return false;
    const ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
    SetRbPoint(list, 10, pa);
    SetRbPoint(list, 11, pb);
    if (zcdbEntMake(list) != RTNORM) return false;
    if (made) zcdbEntLast(made);
    return true;
}

bool WallLineEnds(const ads_name entity, Point3& a, Point3& b) {
    return GetLineData(entity, a, b) == 1;
}
