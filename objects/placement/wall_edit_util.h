// Small pieces shared by the wall-line cuts: entity lists read with every
// application's xdata, wall entities made again from such a list with new
// geometry, and the wall selections of a level walked by index.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "core/geometry/geom_basic.h"
#include "host/ads/adsowners.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

namespace wallcut {

// The entity's list with the xdata of every application.
host::ResbufList ReadWhole(const ads_name entity);

// Makes a LINE from `list` running from a to b; false (nothing made) when
// the ends coincide or the host refuses the list. `made` gets the new name.
bool MakeLine(resbuf* list, const Point3& a, const Point3& b, ads_name made = nullptr);
// Makes the entity again from its own list as a LINE a-b and erases the old
// one; when the host refuses the new line the old one stays and the result
// is false. Ends that coincide only erase it (false).
bool RemakeLine(const ads_name entity, const Point3& a, const Point3& b, ads_name made = nullptr);

// The wall entities of one type on the wall layers of a level.
class WallSelection {
public:
    WallSelection(std::string_view type, double level, bool report);
    bool found() const { return static_cast<bool>(m_set); }
    const std::int64_t* set() const { return m_set.get(); }
    std::int32_t size() const { return m_set.size(); }
    bool name(std::int32_t i, ads_name out) const { return m_set.name(i, out); }

private:
    host::SelectionSet m_set;
};

Point3 ToPoint(const ads_point p);
// The point of the segment a-b above plan point p (a horizontal wall line
// keeps its height).
Point3 OnSegmentHeight(const Point3& a, const Point3& b, const Point3& p);

}  // namespace wallcut
