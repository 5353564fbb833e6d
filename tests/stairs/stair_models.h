// Stair models for the stair tests, as the model lines a user draws:
//  - a straight flight: 16 risers 110 wide, treads of 30, the sides running
//    10 past the last riser;
//  - a quarter turn to the left with three winders radiating from the inner
//    corner (0, 90): four risers, the winders, four more risers going -x;
//  - a curved flight: two concentric arcs (radius 50 and 160 about the
//    origin, 0 to 100 degrees) with radial risers every 30 degrees.
// Risers that radiate from a side's corner are drawn short of it, as a user
// picking them would, so that they do not continue a side.
#pragma once

#include <cmath>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "stairs/stair_model.h"

namespace stairtest {

inline StairModelEntity Line(Point3 a, Point3 b) {
    StairModelEntity e;
    e.isLine = true;
    e.a = a;
    e.b = b;
    return e;
}

inline StairModelEntity Arc(Point3 c, double r, double sa, double ea) {
    StairModelEntity e;
    e.isArc = true;
    e.centre = c;
    e.radius = r;
    e.startAngle = sa;
    e.endAngle = ea;
    ArcEndPoints(c, r, sa, ea, e.a, e.b);
    return e;
}

constexpr double kPi = 3.14159265358979323846;
inline double Deg(double d) {
    return d * kPi / 180.0;
}

// First riser first.
inline std::vector<StairModelEntity> StraightFlight() {
    std::vector<StairModelEntity> m;
    for (int i = 0; i < 16; ++i) m.push_back(Line({0, 30.0 * i, 0}, {110, 30.0 * i, 0}));
    m.push_back(Line({0, 0, 0}, {0, 460, 0}));
    m.push_back(Line({110, 0, 0}, {110, 460, 0}));
    return m;
}

inline std::vector<StairModelEntity> QuarterTurn() {
    std::vector<StairModelEntity> m;
    const Point3 c{0, 90, 0};
    for (int i = 0; i < 3; ++i) m.push_back(Line({0, 30.0 * i, 0}, {110, 30.0 * i, 0}));
    m.push_back(Line({5, 90, 0}, {110, 90, 0}));
    for (double d : {22.5, 45.0, 67.5}) {
        const double t = Deg(d);
        const double reach = d <= 45.0 ? 110.0 / std::cos(t) : 110.0 / std::sin(t);
        m.push_back(Line(PolarPoint(c, t, 5.0), PolarPoint(c, t, reach - 5.0)));
    }
    m.push_back(Line({0, 95, 0}, {0, 195, 0}));
    for (double x : {-30.0, -60.0, -90.0}) m.push_back(Line({x, 90, 0}, {x, 200, 0}));
    m.push_back(Line({0, 0, 0}, {0, 90, 0}));
    m.push_back(Line({0, 90, 0}, {-100, 90, 0}));
    m.push_back(Line({110, 0, 0}, {110, 200, 0}));
    m.push_back(Line({110, 200, 0}, {-100, 200, 0}));
    return m;
}

inline std::vector<StairModelEntity> CurvedFlight() {
    std::vector<StairModelEntity> m;
    const Point3 o{0, 0, 0};
    for (double d : {0.0, 30.0, 60.0, 90.0})
        m.push_back(Line(PolarPoint(o, Deg(d), 50.0), PolarPoint(o, Deg(d), 160.0)));
    m.push_back(Arc(o, 50.0, 0.0, Deg(100.0)));
    m.push_back(Arc(o, 160.0, 0.0, Deg(100.0)));
    return m;
}

// Draws the model in the current drawing; the selection set of every entity
// in `set` and the first riser's name in `first`.
inline void DrawModel(const std::vector<StairModelEntity>& model, ads_name set, ads_name first) {
    ads_name_clear(set);
    bool haveSet = false;
    for (std::size_t i = 0; i < model.size(); ++i) {
        const StairModelEntity& e = model[i];
        resbuf* list = nullptr;
        if (e.isLine) {
            ads_point a = {e.a.x, e.a.y, e.a.z}, b = {e.b.x, e.b.y, e.b.z};
            list = zcutBuildList(RTDXF0, "LINE", 8, "MODEL", 10, a, 11, b, 0);
        } else {
            ads_point c = {e.centre.x, e.centre.y, e.centre.z};
            list = zcutBuildList(RTDXF0, "ARC", 8, "MODEL", 10, c, 40, e.radius, 50, e.startAngle, 51,
                                 e.endAngle, 0);
        }
        ads_name made;
        zcdbEntMakeX(list, made);
        zcutRelRb(list);
        if (i == 0) ads_name_set(made, first);
        if (!haveSet) {
            zcedSSAdd(made, nullptr, set);
            haveSet = true;
        } else {
            ads_name result;
            zcedSSAdd(made, set, result);
        }
    }
}

inline int CountKind(const SegmentRec* list, int kind) {
    int n = 0;
    for (; list; list = list->next) n += list->kind == kind;
    return n;
}

}  // namespace stairtest
