#include "objects/placement/wall_edit_util.h"

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"

namespace wallcut {

host::ResbufList ReadWhole(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(entity, apps.get()));
}

bool MakeLine(resbuf* list, const Point3& a, const Point3& b, ads_name made) {
    if (!list || PointsEqual(a, b, true)) return false;
    const ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
    SetRbPoint(list, 10, pa);
    SetRbPoint(list, 11, pb);
    if (zcdbEntMake(list) != RTNORM) return false;
    if (made) zcdbEntLast(made);
    return true;
}

bool RemakeLine(const ads_name entity, const Point3& a, const Point3& b, ads_name made) {
    host::ResbufList list = ReadWhole(entity);
    if (!list) return false;
    if (PointsEqual(a, b, true)) {
        zcdbEntDel(entity);
        return false;
    }
    // The old line goes only once the new one exists: a list the host
    // refuses leaves the wall as it was.
    if (!MakeLine(list.get(), a, b, made)) return false;
    zcdbEntDel(entity);
    return true;
}

WallSelection::WallSelection(std::string_view type, double level, bool report) {
    if (SelectOnWallLayers(type, m_set.put(), level, report) != 1) m_set.reset();
}

Point3 ToPoint(const ads_point p) {
    return {p[0], p[1], p[2]};
}

Point3 OnSegmentHeight(const Point3& a, const Point3& b, const Point3& p) {
    const double length = Distance2d(a, b);
    const double t = length > GeomEpsilon ? Distance2d(a, p) / length : 0.0;
    return {p.x, p.y, a.z + (b.z - a.z) * t};
}

}  // namespace wallcut
