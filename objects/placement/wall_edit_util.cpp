#include "objects/placement/wall_edit_util.h"

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"

namespace wallcut {

RbList ReadWhole(const ads_name entity) {
    RbList apps(zcutBuildList(RTSTR, "*", 0));
    return RbList(zcdbEntGetX(entity, apps.get()));
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
    RbList list = ReadWhole(entity);
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
    m_found = SelectOnWallLayers(type, m_set, level, report) == 1;
}

WallSelection::~WallSelection() {
    if (m_found) zcedSSFree(m_set);
}

std::int32_t WallSelection::size() const {
    std::int32_t n = 0;
    if (m_found) zcedSSLength(m_set, &n);
    return n;
}

bool WallSelection::name(std::int32_t i, ads_name out) const {
    return m_found && zcedSSName(m_set, i, out) == RTNORM;
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
