// Reading the outline records. The object engine writes the outline record
// as a fixed head (kind, numbers, wall thickness, optional last real), two
// corner points and six point groups between "{" and "}": the two jambs and
// the four hole outlines, the last four as (flag, point) pairs.
#include "walls/graph/outline_record.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "walls/graph/outline_kind.h"

namespace {

Point3 PointOf(const resbuf* rb) {
    VELM_ASSERT(rb != nullptr);
    return {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
}

bool IsOpen(const resbuf* rb) {
    return rb && rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "{";
}
bool IsClose(const resbuf* rb) {
    return rb && rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "}";
}

// Reads the values of one record in order; a value of another code than
// asked is left for the next question.
class Cursor {
public:
    explicit Cursor(const resbuf* rb) : m_rb(rb) {}
    const resbuf* take(int code) {
        if (!m_rb || m_rb->restype != code) return nullptr;
        const resbuf* rb = m_rb;
        m_rb = m_rb->rbnext;
        return rb;
    }
    double real() {
        const resbuf* rb = take(1040);
        return rb ? rb->resval.rreal : 0.0;
    }
    int integer() {
        const resbuf* rb = take(1070);
        return rb ? rb->resval.rint : 0;
    }
    bool at(int code) const { return m_rb && m_rb->restype == code; }
    bool atEnd() const { return !m_rb || m_rb->restype == 1001; }
    void skip() {
        VELM_ASSERT(m_rb != nullptr);  // callers skip only what they have looked at
        m_rb = m_rb->rbnext;
    }

    // The points of one "{" ... "}" group: plain points (repeats skipped)
    // or (flag, point) pairs, a repeated point marking the previous vertex.
    VertexNode* group(bool flagged) {
        while (!atEnd() && !IsOpen(m_rb)) skip();
        if (atEnd()) return nullptr;
        skip();
        VertexNode* head = nullptr;
        VertexNode* tail = nullptr;
        int flag = 0;
        while (!atEnd() && !IsClose(m_rb)) {
            if (flagged && at(1070)) {
                flag = integer();
                continue;
            }
            if (!at(1011)) {
                skip();
                continue;
            }
            const Point3 p = PointOf(take(1011));
            if (tail && PointsEqual(tail->pt(), p, true)) {
                if (flagged) tail->edgeFlag = flag;
                continue;
            }
            VertexNode* v = NewVertex(p.x, p.y, p.z, flagged ? flag : 0, 0, 0, 0);
            (tail ? tail->next : head) = v;
            tail = v;
        }
        if (IsClose(m_rb)) skip();
        return head;
    }

private:
    const resbuf* m_rb;
};

Point3 LastPoint(const VertexNode* list) {
    VELM_ASSERT(list != nullptr);
    while (list->next) list = list->next;
    return list->pt();
}

// How far, in plan, the ring's farthest point lies from the line through p
// and q (from p itself when the two coincide).
double RingOffset(const VertexNode* ring, const Point3& p, const Point3& q) {
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double length = std::hypot(dx, dy);
    double offset = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const double d =
            length > 0.0 ? std::fabs(dx * (v->y - p.y) - dy * (v->x - p.x)) / length : Distance2d(p, v->pt());
        offset = std::max(offset, d);
    }
    return offset;
}

// The graph takes an opening's external hole outline to stand where its
// jambs end (face B) and the internal one where they start (face A).
// Definitions do not all draw their jambs that way round: one whose first
// hole outline stands on face B and its second on face A has them
// exchanged, so that every face gets the outline lying on it rather than
// the one a wall's thickness away.
void PutHoleOutlinesOnTheirFaces(OutlineNode& o) {
    if (o.kind != OutlineKind::StraightWallOpening || !o.cut3DInt1 || !o.cut3DExt1) return;
    const double intOnA = RingOffset(o.cut3DInt1, o.gapA[0], o.gapA[1]);
    const double intOnB = RingOffset(o.cut3DInt1, o.gapB[0], o.gapB[1]);
    const double extOnA = RingOffset(o.cut3DExt1, o.gapA[0], o.gapA[1]);
    const double extOnB = RingOffset(o.cut3DExt1, o.gapB[0], o.gapB[1]);
    if (intOnB < intOnA && extOnA < extOnB) std::swap(o.cut3DInt1, o.cut3DExt1);
}

}  // namespace

OutlineNode* ParseTag3DiStr(const resbuf* list) {
    const resbuf* app = FindXDataApp(list, kTag3DiStrApp);
    if (!app) return nullptr;
    Cursor c(app->rbnext);
    if (!c.at(1070)) return nullptr;
    auto o = std::make_unique<OutlineNode>();
    o->kind = c.integer();
    o->openingCount = c.integer();
    o->openingArea = c.real();
    o->windowArea = c.real();
    o->sillHeight = c.real();
    o->reserved = c.integer();
    o->wallThickness = c.real();
    o->ventilationArea = c.at(1040) ? c.real() : o->windowArea;
    Point3 corners[2];
    for (Point3& p : corners)
        if (const resbuf* rb = c.take(1011)) p = PointOf(rb);
    if (o->kind == OutlineKind::WallCorner) {
        o->corner[0] = corners[0];
        o->corner[1] = corners[1];
    }
    o->jamb1 = c.group(false);
    o->jamb2 = c.group(false);
    o->cut3DInt1 = c.group(true);
    o->cut3DExt1 = c.group(true);
    o->cut3DInt2 = c.group(true);
    o->cut3DExt2 = c.group(true);
    if (CountNodes(o->jamb1) < 2 || CountNodes(o->jamb2) < 2) {
        FreeOutlineList(o.release());
        return nullptr;
    }

    if (const resbuf* name = FindRbCode(list, -1)) {
        o->entity[0] = name->resval.rlname[0];
        o->entity[1] = name->resval.rlname[1];
    }
    if (const resbuf* base = FindRbCode(list, 10)) o->base = PointOf(base);
    const resbuf* layer = FindRbCode(list, 8);
    if (!layer || !layer->resval.rstring || !ParseDollarNumber(layer->resval.rstring, o->z)) o->z = o->base.z;

    o->gapA[0] = o->jamb1->pt();
    o->gapA[1] = o->jamb2->pt();
    o->gapB[0] = LastPoint(o->jamb1);
    o->gapB[1] = LastPoint(o->jamb2);
    PutHoleOutlinesOnTheirFaces(*o);
    if (o->kind == OutlineKind::ArcWallOpening) {
        o->gapAngle[0] = AngleTo(o->base, o->gapA[0]);
        o->gapAngle[1] = AngleTo(o->base, o->gapA[1]);
        o->radiusA = Distance2d(o->base, o->gapA[0]);
        o->radiusB = o->radiusA + o->wallThickness;
    }
    return o.release();
}

OutlineNode* ReadTag3DiStr(const ads_name entity) {
    host::ResbufList list(GetEntXData(entity, kTag3DiStrApp));
    return list ? ParseTag3DiStr(list.get()) : nullptr;
}

OutlineNode* CreateTag3DiStrNode(const resbuf* xdata, const Point3& base, const std::string& layer,
                                 const ads_name entity) {
    if (!xdata) return nullptr;
    const ads_point at = {base.x, base.y, base.z};
    host::ResbufList head(zcutBuildList(-1, entity, 8, layer.c_str(), 10, at, 0));
    if (!head) return nullptr;
    resbuf* tail = head.get();
    while (tail->rbnext) tail = tail->rbnext;
    // The xdata stays the caller's: it is only lent for the reading.
    tail->rbnext = const_cast<resbuf*>(xdata);
    OutlineNode* outline = ParseTag3DiStr(head.get());
    tail->rbnext = nullptr;
    return outline;
}

VertexNode* GetPillarOutline(const ads_name entity) {
    host::ResbufList list(GetEntXData(entity, kPilasterApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kPilasterApp) : nullptr;
    if (!app) return nullptr;
    double level = 0.0;
    const bool onLevel = GetEntityLevel(entity, level, nullptr, false) == 1;
    VertexNode* head = nullptr;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1011) continue;
        Point3 p = PointOf(rb);
        if (onLevel) p.z = level;
        VertexNode* v = NewVertex(p.x, p.y, p.z, 0, 0, 0, 0);
        v->next = head;
        head = v;
    }
    return head;
}
