// Shared pieces of the face-graph tests: a fresh drawing with the settings
// classes (the graph reads its values from the settings when constructed),
// and records made by hand for the tests that need no entities.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <tuple>
#include <utility>

#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

class GraphTest : public VelmTest {
protected:
    void SetUp() override {
        RegisterSettingsModule();
        VelmTest::SetUp();
    }
    void TearDown() override {
        VelmTest::TearDown();
        UnregisterSettingsModule();
    }
};

inline FaceEdge* Line(Point3 a, Point3 b, double rectangleId = kNoRectangle) {
    auto* e = new FaceEdge;
    e->start = a;
    e->end = b;
    e->rectangleId = rectangleId;
    return e;
}

inline FaceEdge* ArcEdge(Point3 centre, double radius, double start, double end) {
    auto* e = new FaceEdge;
    e->isArc = true;
    e->arc.centre = centre;
    e->arc.radius = radius;
    e->arc.startAngle = start;
    e->arc.endAngle = end;
    return e;
}

// Makes the list hold the edges in the order given.
inline void SetPending(FaceEdge*& list, std::initializer_list<FaceEdge*> edges) {
    FaceEdge** tail = &list;
    while (*tail) tail = &(*tail)->next;
    for (FaceEdge* e : edges) {
        *tail = e;
        tail = &e->next;
    }
}

inline WallFace* StraightFace(Point3 a, Point3 b) {
    WallFace* f = NewWallFace();
    f->start = a;
    f->end = b;
    return f;
}

inline WallFace* ArcFace(Point3 centre, double radius, double start, double end) {
    WallFace* f = NewWallFace();
    f->kind = 0;
    f->arc.centre = centre;
    f->arc.radius = radius;
    f->arc.startAngle = start;
    f->arc.endAngle = end;
    return f;
}

// Puts the faces into the graph's list in the order given.
inline void SetFaces(CFACCIATE& g, std::initializer_list<WallFace*> faces) {
    for (WallFace* f : faces) AppendFace(g.faces, f);
}

inline int CountFaces(const WallFace* list) {
    return CountNodes(list);
}

inline int CountEdges(const WallFace* f) {
    return CountNodes(f->edges);
}

inline bool Near(const Point3& a, const Point3& b, double tol = 1e-6) {
    return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol;
}

// The face of the list whose ends are a and b, in either order.
inline WallFace* FaceBetween(WallFace* list, Point3 a, Point3 b) {
    for (WallFace* f = list; f; f = f->next)
        if ((Near(f->start, a) && Near(f->end, b)) || (Near(f->start, b) && Near(f->end, a))) return f;
    return nullptr;
}

// Plan area of a ring by the shoelace formula, always positive.
inline double ShoelaceArea(const VertexNode* ring) {
    double sum = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        sum += v->x * w->y - w->x * v->y;
    }
    return std::fabs(sum) / 2.0;
}

// The room the graph traces from a point inside it: whether its contour
// closed, its vertices and its area (the chord polygon and the arcs'
// correction).
struct Traced {
    bool closed = false;
    int vertices = 0;
    double area = 0.0;
};

inline Traced TraceRoom(CFACCIATE& g, Point3 inside) {
    Traced t;
    double heading = 0.0;
    WallFace* start = g.FindNearestFace(inside, &heading);
    if (!start) return t;
    double correction = 0.0;
    VertexNode* ring = g.RecognizeContour(heading, start, &correction, true);
    t.closed = g.contour != nullptr;
    t.vertices = CountNodes(ring);
    t.area = ShoelaceArea(ring) + correction;
    FreeList(ring);
    g.contour = FreeLinkedNodes(g.contour);
    return t;
}

// An entity-data list put together item by item.
class List {
public:
    ~List() { zcutRelRb(m_head); }
    List& add(resbuf* rb) {
        (m_tail ? m_tail->rbnext : m_head) = rb;
        while (rb->rbnext) rb = rb->rbnext;
        m_tail = rb;
        return *this;
    }
    List& type(const char* t) { return add(zcutBuildList(RTDXF0, t, 0)); }
    List& text(int code, const char* s) { return add(zcutBuildList(code, s, 0)); }
    List& real(int code, double v) { return add(zcutBuildList(code, v, 0)); }
    List& integer(int code, int v) { return add(zcutBuildList(code, v, 0)); }
    List& point(int code, Point3 p) {
        const ads_point a = {p.x, p.y, p.z};
        return add(zcutBuildList(code, a, 0));
    }
    List& xdata() { return add(zcutBuildList(-3, 0)); }
    const resbuf* get() const { return m_head; }

private:
    resbuf* m_head = nullptr;
    resbuf* m_tail = nullptr;
};

// An xdata record built by hand: its resbufs chained as they are added and
// released with it; rings are written as the outline records file them.
struct HandRecord {
    ~HandRecord() { zcutRelRb(head); }
    void add(resbuf* rb) {
        (tail ? tail->rbnext : head) = rb;
        for (tail = rb; tail->rbnext;) tail = tail->rbnext;
    }
    void point(int code, Point3 p) {
        const ads_point a = {p.x, p.y, p.z};
        add(zcutBuildList(code, a, 0));
    }
    void ring(std::initializer_list<Point3> pts) {
        add(zcutBuildList(1002, "{", 0));
        for (const Point3& p : pts) {
            add(zcutBuildList(1070, 1, 0));
            point(1011, p);
        }
        add(zcutBuildList(1002, "}", 0));
    }
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
};

// An opening as the object engine records it: jambs a1-b1 and a2-b2 across
// the wall, its hole on both faces between bottom and top; `proud` moves
// the hole outlines that far out of the jambs' ends (an object thicker than
// its wall).
inline void OpeningRecord(Point3 a1, Point3 b1, Point3 a2, Point3 b2, double bottom, double top,
                          double proud = 0.0) {
    HandRecord r;
    r.add(zcutBuildList(RTDXF0, "POINT", 8, "VELM2DOBJ$0", 0));
    r.point(10, {(a1.x + b2.x) / 2, (a1.y + b2.y) / 2, 0});
    r.add(zcutBuildList(-3, 0));
    r.add(zcutBuildList(1001, kTag3DiStrApp, 1070, 11, 1070, 0, 1040, Distance2d(a1, a2), 1040, top - bottom,
                        1040, bottom, 1070, 0, 1040, Distance2d(a1, b1), 0));
    r.point(1011, a1);
    r.point(1011, a1);
    for (auto [from, to] : {std::pair{a1, b1}, std::pair{a2, b2}}) {
        r.add(zcutBuildList(1002, "{", 0));
        r.point(1011, from);
        r.point(1011, to);
        r.add(zcutBuildList(1002, "}", 0));
    }
    const double across = Distance2d(a1, b1);
    const double ox = (a1.x - b1.x) / across * proud, oy = (a1.y - b1.y) / across * proud;
    for (auto [p, q, k] : {std::tuple{a1, a2, 1.0}, std::tuple{b1, b2, -1.0}})
        r.ring({{p.x + k * ox, p.y + k * oy, bottom},
                {q.x + k * ox, q.y + k * oy, bottom},
                {q.x + k * ox, q.y + k * oy, top},
                {p.x + k * ox, p.y + k * oy, top}});
    r.ring({});
    r.ring({});
    ASSERT_EQ(zcdbEntMake(r.head), RTNORM);
}
