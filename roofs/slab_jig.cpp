// The slab preview entity and the outline jig. The jig's sampler does all
// the work of a stage: it arms the keywords and Enter rule of the stage,
// acquires one point, puts it at the height the command kind asks for and
// turns the answer into an outcome stage; update only serves the gable-roof
// stages, recomputing the roof from the points given so far.
#include "roofs/slab_jig.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/rx/rxobject.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "store/settings_dbfiler.h"

// ---------------------------------------------------------------- VELM_COPJ

namespace {}  // namespace

VELM_PREVIEW_ENTITY_MEMBERS(VELM_COPJ)

namespace {

// More than `count` vertices in the list, told without walking past them.
bool LongerThan(const VertexNode* list, int count) {
    for (; list; list = list->next)
        if (count-- == 0) return true;
    return false;
}

// The edge from v to the next vertex of the ring, white when visible, green
// when hidden; nothing for a vertex that starts no edge.
bool DrawLoopEdge(ZcGiWorldDraw* wd, const ContourNode* k, const VertexNode* v) {
    if (v->edgeFlag == 0) return false;
    const VertexNode* w = NextInRing<const VertexNode>(k->vertices, v);
    wd->subEntityTraits().setColor(v->edgeFlag >= 0 ? 7 : 3);
    const ZcGePoint3d pts[2] = {ZcGePoint3d(v->x, v->y, v->z), ZcGePoint3d(w->x, w->y, w->z)};
    wd->geometry().polyline(2, pts);
    return true;
}

}  // namespace

bool VELM_COPJ::worldDraw(ZcGiWorldDraw* wd) {
    if (!wd) return true;
    for (const ContourNode* k = loops; k; k = k->next) {
        // A loop of one or two vertices shows only its first edge.
        const bool firstOnly = CountNodes(k->vertices) < 3;
        for (const VertexNode* v = k->vertices; v; v = v->next)
            if (DrawLoopEdge(wd, k, v) && firstOnly) break;
    }
    return true;
}

std::uint32_t VELM_COPJ::setAttributes(ZcGiDrawableTraits*) {
    return 2;
}

// ---------------------------------------------------------------- AJIG_COP

AJIG_COP::AJIG_COP() : m_preview(std::make_unique<VELM_COPJ>()) {
    // No sample yet: the first point, wherever it is, is a change.
    const double none = std::numeric_limits<double>::quiet_NaN();
    lastSample = {none, none, none};
}

AJIG_COP::~AJIG_COP() {
    FreeList(chosen);
    FreeListOfLists(loops);
    if (osmodeSaved) SysVarShort("OSMODE", &savedOsmode);
}

void AJIG_COP::SetOsmode(int value) {
    const int former = SysVarShort("OSMODE", &value);
    if (!osmodeSaved) {
        osmodeSaved = true;
        savedOsmode = former;
    }
}

ContourNode* AJIG_COP::LastLoop() const {
    ContourNode* k = loops;
    while (k && k->next) k = k->next;
    return k;
}

bool AJIG_COP::ZOnPlane(double x, double y, double& z) const {
    return PlaneZ(a, b, c, d, x, y, z);
}

ZcDbEntity* AJIG_COP::entity() const {
    m_preview->loops = loops;
    return m_preview.get();
}

int AJIG_COP::drawChanges(ZcGiWorldDraw& wd) {
    // Find the first vertex whose edge may have changed. An edge stands
    // while both its ends are as drawn and it does not close the ring (the
    // vertex before the first changed or added one starts a changed edge);
    // a loop of fewer than three vertices, drawn or now, is drawn whole.
    // During entry the search starts at the settled point: what lies
    // before it is as drawn.
    std::size_t loopIndex = 0, vertexIndex = 0;
    const ContourNode* k = loops;
    const VertexNode* from = nullptr;
    Settled start;
    if (m_entry && m_settled.loop && m_settled.loopIndex < m_drawn.size() &&
        (!m_settled.vertex || m_settled.vertexIndex < m_drawn[m_settled.loopIndex].vertices.size())) {
        start = m_settled;
        k = start.loop;
        loopIndex = start.loopIndex;
    }
    for (; k && loopIndex < m_drawn.size(); k = k->next, ++loopIndex) {
        const std::vector<DrawnVertex>& drawn = m_drawn[loopIndex].vertices;
        std::size_t same = 0;
        const VertexNode* v = k->vertices;
        const VertexNode* lastSame = nullptr;
        if (k == start.loop && start.vertex) {
            lastSame = start.vertex;
            v = start.vertex->next;
            same = start.vertexIndex + 1;
        }
        while (v && same < drawn.size() && v->x == drawn[same].x && v->y == drawn[same].y &&
               v->z == drawn[same].z && v->edgeFlag == drawn[same].edgeFlag) {
            lastSame = v;
            v = v->next;
            ++same;
        }
        if (!v && same == drawn.size()) continue;
        std::size_t count = same;
        for (const VertexNode* w = v; w; w = w->next) ++count;
        if (same > 0 && count >= 3 && drawn.size() >= 3) {
            from = lastSame;
            vertexIndex = same - 1;
        }
        break;
    }
    std::size_t kept = m_drawnPrimitives;
    std::vector<DrawnVertex> prefix;
    std::size_t loopStart = 0;
    if (loopIndex < m_drawn.size()) {
        DrawnLoop& changed = m_drawn[loopIndex];
        kept = from ? changed.vertices[vertexIndex].primitivesBefore : changed.primitivesBefore;
        if (from) {
            changed.vertices.resize(vertexIndex);
            prefix = std::move(changed.vertices);
            loopStart = changed.primitivesBefore;
        }
    }
    m_drawn.resize(loopIndex);
    std::size_t drawnNow = kept;
    for (; k; k = k->next) {
        DrawnLoop& loop = m_drawn.emplace_back();
        loop.primitivesBefore = from ? loopStart : drawnNow;
        loop.vertices = std::move(prefix);
        prefix.clear();
        const bool firstOnly = !from && CountNodes(k->vertices) < 3;
        bool done = false;
        for (const VertexNode* v = from ? from : k->vertices; v; v = v->next) {
            loop.vertices.push_back({v->x, v->y, v->z, v->edgeFlag, drawnNow});
            if (!done && DrawLoopEdge(&wd, k, v)) {
                ++drawnNow;
                done = firstOnly;
            }
        }
        from = nullptr;
    }
    m_drawnPrimitives = drawnNow;
    if (m_entry) {
        // The gutter plane is known on the vertices only when this drag put it there.
        if (!m_gutterThisDrag) m_gutterKnown = false;
        m_gutterThisDrag = false;
        ForgetSettled();
        if (current && !m_drawn.empty())
            m_settled = {LastLoop(), m_drawn.size() - 1, m_before, m_before ? m_currentIndex - 1 : 0};
    }
    return static_cast<int>(kept);
}

void AJIG_COP::BeginEntry() {
    m_entry = true;
    ForgetSettled();
    m_gutterKnown = m_gutterThisDrag = false;
    m_before = nullptr;
    m_currentIndex = 0;
    const ContourNode* last = LastLoop();
    for (VertexNode* v = last ? last->vertices : nullptr; v && v != current; v = v->next) {
        m_before = v;
        ++m_currentIndex;
    }
}

void AJIG_COP::EndEntry() {
    m_entry = false;
    ForgetSettled();
    m_gutterKnown = m_gutterThisDrag = false;
    m_before = nullptr;
}

void AJIG_COP::NoteCurrent(VertexNode* before, std::size_t index) {
    if (!m_entry) return;
    VELM_ASSERT(before ? before->next == current && index > 0 : index == 0);
    m_before = before;
    m_currentIndex = index;
    // The vertex before the current one is as drawn: the current vertex is
    // the only one the user changes, and it was drawn after each change
    // before the next became current (or the settled point lies before it).
    std::size_t last = 0;
    for (const ContourNode* k = loops; k && k->next; k = k->next) ++last;
    Lower({LastLoop(), last, before, before ? index - 1 : 0});
}

void AJIG_COP::NoteLastLoopReplaced() {
    if (!m_entry) return;
    std::size_t last = 0;
    for (const ContourNode* k = loops; k && k->next; k = k->next) ++last;
    m_before = nullptr;
    Lower({LastLoop(), last, nullptr, 0});
}

void AJIG_COP::Lower(const Settled& s) {
    if (!m_settled.loop) return;
    // A position as the number of the loop's vertices it covers.
    const std::size_t mine = m_settled.vertex ? m_settled.vertexIndex + 1 : 0;
    const std::size_t theirs = s.vertex ? s.vertexIndex + 1 : 0;
    if (s.loopIndex < m_settled.loopIndex || (s.loopIndex == m_settled.loopIndex && theirs < mine))
        m_settled = s;
}

bool AJIG_COP::update() {
    if (stage >= 2 && stage <= 4) ComputeGableRoof();
    return true;
}

ZcEdJig::DragStatus AJIG_COP::sampler() {
    m_gutterThisDrag = false;
    switch (stage) {
        case 2:
        case 3:
        case 4:
            return SampleGable();
        case 5:
            return SampleVertex(true);
        case 6:
            return SampleVertex(false);
        case 12:
            return SamplePlain(vertexNumber > 3, false);
        case 14:
        case 15:
            return SamplePlain(true, false);
        case 16:
            return SamplePlain(false, true);
        case 17:
            return SampleMove();
        default:
            return kCancel;
    }
}

bool AJIG_COP::Unchanged(const Point3& p) const {
    const double tol = ZcGeContext::gTol.equalPoint();
    return std::fabs(p.x - lastSample.x) < tol && std::fabs(p.y - lastSample.y) < tol &&
           std::fabs(p.z - lastSample.z) < tol;
}

Point3 AJIG_COP::PreviousOfCurrent() const {
    if (m_entry) return current && m_before ? m_before->pt() : basePoint;
    const ContourNode* k = LastLoop();
    if (k && current && k->vertices && current != k->vertices) {
        VertexNode* prev = PrevInRing(k->vertices, current);
        if (prev) return prev->pt();
    }
    return basePoint;
}

void AJIG_COP::PlaceCurrent(const Point3& p) {
    cursor = p;
    if (current) current->setPt(p);
}

// A point beyond the drawing's range is told and asked for again.
ZcEdJig::DragStatus AJIG_COP::OutOfRange() {
    ReportOutOfRange();
    return kNoChange;
}

ZcEdJig::DragStatus AJIG_COP::AcquireInRange(ZcGePoint3d& p, const ZcGePoint3d* base) {
    DragStatus st = base ? acquirePoint(p, *base) : acquirePoint(p);
    while (st == kNormal && !PointInRange(Point3{p.x, p.y, p.z})) {
        ReportOutOfRange();
        st = base ? acquirePoint(p, *base) : acquirePoint(p);
    }
    return st;
}

ZcEdJig::DragStatus AJIG_COP::SampleGable() {
    setKeywordList("");
    setUserInputControls(kAccept3dCoordinates);
    ZcGePoint3d p;
    const ZcGePoint3d from = stage == 2 ? ZcGePoint3d()
                                        : ZcGePoint3d(gablePoints[stage - 3].x, gablePoints[stage - 3].y,
                                                      gablePoints[stage - 3].z);
    const DragStatus st = AcquireInRange(p, stage == 2 ? nullptr : &from);
    if (st != kNormal) {
        stage = 1;
        return st;
    }
    const Point3 q{p.x, p.y, p.z};
    if (!PointInRange(q)) return OutOfRange();
    if (Unchanged(q)) return kNoChange;
    lastSample = q;
    cursor = q;
    gablePoints[stage - 2] = q;
    return st;
}

ZcEdJig::DragStatus AJIG_COP::SampleVertex(bool outline) {
    const bool first = vertexNumber == 1;
    const bool early = vertexNumber == 2 || vertexNumber == 3;
    bool enter = !early;
    if (outline)
        setKeywordList(first ? "Niewidoczny Kontur Obiekt" : "Niewidoczny Cofnij");
    else
        setKeywordList(first ? "Niewidoczny" : "Niewidoczny Cofnij");
    if (!outline && first) enter = kind == kGutter;
    setUserInputControls(
        static_cast<UserInputControls>(kAccept3dCoordinates | (enter ? kNullResponseAccepted : 0)));
    ZcGePoint3d p;
    DragStatus st;
    if (first && outline) {
        st = AcquireInRange(p, nullptr);
    } else {
        const Point3 base = first ? basePoint : PreviousOfCurrent();
        const ZcGePoint3d from(base.x, base.y, base.z);
        st = AcquireInRange(p, &from);
    }
    returnStage = outline ? 5 : 6;
    switch (st) {
        case kNormal: {
            Point3 q{p.x, p.y, p.z};
            if (!PointInRange(q)) return OutOfRange();
            if (Unchanged(q)) return kNoChange;
            lastSample = q;
            if (kind == kAtElevation || kind == kAtElevationToo) {
                q.z = elevation + offset;
            } else if (kind == kOnPlane) {
                double z = q.z;
                if (ZOnPlane(q.x, q.y, z)) q.z = z;
            }
            PlaceCurrent(q);
            if (kind == kGutter && LongerThan(Outline(), outline ? 2 : 3)) ApplyGutterSlope(*this);
            return st;
        }
        case kNull:
            stage = (first && (outline || kind == kGutter)) ? 0 : 11;
            return st;
        case kKW1:
            stage = 7;
            return st;
        case kKW2:
            stage = (outline && first) ? 9 : 8;
            return st;
        case kKW3:
            stage = 10;
            return st;
        default:
            stage = 1;
            return st;
    }
}

ZcEdJig::DragStatus AJIG_COP::SamplePlain(bool allowEnter, bool onPlane) {
    const bool undo = stage == 12 && vertexNumber > 1;
    setKeywordList(undo ? "Cofnij" : "");
    setUserInputControls(
        static_cast<UserInputControls>(kAccept3dCoordinates | (allowEnter ? kNullResponseAccepted : 0)));
    ZcGePoint3d p;
    const DragStatus st = AcquireInRange(p, nullptr);
    if (st == kNormal) {
        Point3 q{p.x, p.y, p.z};
        if (!PointInRange(q)) return OutOfRange();
        if (Unchanged(q)) return kNoChange;
        lastSample = q;
        if (stage == 12) q.z = offset;
        if (onPlane) {
            double z = q.z;
            if (ZOnPlane(q.x, q.y, z)) q.z = z;
        }
        PlaceCurrent(q);
        return st;
    }
    if (st == kNull && allowEnter) {
        stage = 0;
    } else if (st == kKW1 && undo) {
        stage = 8;
        returnStage = 12;
    } else {
        stage = 1;
    }
    return st;
}

ZcEdJig::DragStatus AJIG_COP::SampleMove() {
    // The move starts from the base point.
    if (std::isnan(lastSample.x)) lastSample = basePoint;
    setKeywordList("");
    setUserInputControls(kAccept3dCoordinates);
    ZcGePoint3d p;
    const ZcGePoint3d from(basePoint.x, basePoint.y, basePoint.z);
    const DragStatus st = AcquireInRange(p, &from);
    if (st != kNormal) {
        stage = 1;
        return st;
    }
    const Point3 q{p.x, p.y, p.z};
    if (!PointInRange(q)) return OutOfRange();
    if (Unchanged(q)) return kNoChange;
    const double dx = q.x - lastSample.x, dy = q.y - lastSample.y, dz = q.z - lastSample.z;
    for (RingNode* r = chosen; r; r = r->next) {
        VertexNode* v = r->vertex;
        v->x += dx;
        v->y += dy;
        v->z += dz;
        double z = v->z;
        if (ZOnPlane(v->x, v->y, z)) v->z = z;
    }
    lastSample = q;
    cursor = q;
    return st;
}

// ---------------------------------------------------------------- markers and edges

void DrawCrossMarker(const Point3& point, double unit) {
    const double r = 15.0 * unit;
    const double pi = std::numbers::pi;
    const double angles[2][2] = {{pi / 4, 5 * pi / 4}, {3 * pi / 4, 7 * pi / 4}};
    for (const auto& pair : angles) {
        const Point3 p = PolarPoint(point, pair[0], r);
        const Point3 q = PolarPoint(point, pair[1], r);
        const ads_point from{p.x, p.y, p.z}, to{q.x, q.y, q.z};
        zcedGrDraw(from, to, -1, 1);
    }
}

bool PickSlabEdge(AJIG_COP& jig) {
    int osmode = 512;
    const int former = SysVarShort("OSMODE", &osmode);
    bool toggled = false;
    for (;;) {
        ads_point pt;
        if (GetPointInRange(0, nullptr, nullptr,
                            "\nWybierz krawędź, którą chcesz, aby była widoczna/niewidoczna:", pt) != RTNORM)
            break;
        Point3 p{pt[0], pt[1], pt[2]};
        double z = p.z;
        if (jig.ZOnPlane(p.x, p.y, z)) p.z = z;
        VertexNode* edge = nullptr;
        for (ContourNode* k = jig.loops; k && !edge; k = k->next)
            for (VertexNode* v = k->vertices; v && !edge; v = v->next)
                if (IsPointOnSegment(p, v->pt(), NextInRing(k->vertices, v)->pt())) edge = v;
        if (!edge) {
            zcutPrintf("\n%s", "Nie znaleziono żadnej krawędzi!");
            continue;
        }
        switch (ReducedEdgeFlag(edge->edgeFlag)) {
            case -2:
                edge->edgeFlag = -1;
                break;
            case -1:
                edge->edgeFlag = -2;
                break;
            case 0:
                edge->edgeFlag = 1;
                break;
            default:
                edge->edgeFlag = 0;
                break;
        }
        toggled = true;
        break;
    }
    SysVarShort("OSMODE", &former);
    return toggled;
}

// ---------------------------------------------------------------- gutter mode

int ApplyGutterSlope(AJIG_COP& jig) {
    VertexNode* v1 = jig.Outline();
    if (!v1 || !v1->next || !v1->next->next) return 0;
    VertexNode* v2 = v1->next;
    VertexNode* v3 = v2->next;
    // The heights of the second and third vertex as drawn: when the plane
    // cannot be made they may stay so, and then nothing moved.
    const double drawn[2] = {v2->z, v3->z};
    auto kept = [&] {
        const double now[2] = {v2->z, v3->z};
        return std::memcmp(now, drawn, sizeof now) == 0;
    };
    v2->z = v1->z;
    Point3 perp[2];
    PerpendicularPoint(v1->pt(), v2->pt(), v3->pt(), 100.0, perp);
    const ads_point a1{v1->x, v1->y, v1->z}, a2{v2->x, v2->y, v2->z};
    const ads_point b1{v3->x, v3->y, v3->z}, b2{perp[0].x, perp[0].y, perp[0].z};
    ads_point foot;
    double a = 0, b = 0, c = 0, d = 0;
    bool made = zcdbInters(a1, a2, b1, b2, 0, foot) == RTNORM;
    if (made) {
        const double run = Distance2d({foot[0], foot[1], foot[2]}, v3->pt());
        v3->z = v1->z + run * jig.slopePercent / 100.0;
        made = PlaneCoefficients3(v1->pt(), v2->pt(), v3->pt(), a, b, c, d);
    }
    if (!made) {
        if (!kept()) {
            jig.m_gutterKnown = false;
            jig.ForgetSettled();
        }
        return 0;
    }
    const double plane[4] = {a, b, c, d};
    const bool known = jig.m_entry && jig.m_gutterKnown && jig.m_settled.loop &&
                       std::memcmp(plane, jig.m_gutter, sizeof plane) == 0;
    if (!known) {
        SetLoopsZFromPlane(jig.loops, a, b, c, d);
        if (jig.m_entry) {
            jig.ForgetSettled();
            std::memcpy(jig.m_gutter, plane, sizeof plane);
            jig.m_gutterKnown = true;
        }
    } else if (!(std::fabs(c) < GeomEpsilon)) {
        // The same plane as before: the settled vertices are on it already
        // (their z would come out as it is); the second and third vertex
        // go back onto it, and whatever follows the settled point is put on it.
        PlaneZ(a, b, c, d, v2->x, v2->y, v2->z);
        PlaneZ(a, b, c, d, v3->x, v3->y, v3->z);
        const AJIG_COP::Settled& s = jig.m_settled;
        for (const ContourNode* k = s.loop; k; k = k->next)
            for (VertexNode* v = k == s.loop && s.vertex ? s.vertex->next : k->vertices; v; v = v->next)
                PlaneZ(a, b, c, d, v->x, v->y, v->z);
    }
    if (known && !kept()) jig.ForgetSettled();
    jig.m_gutterThisDrag = jig.m_entry;
    return 1;
}

// ---------------------------------------------------------------- the gable roof

void InitGableRoofLoops(AJIG_COP& jig) {
    static const std::vector<std::vector<int>> plain = {{1, 1, 0, 1}, {1, 1, 1, 1}};
    static const std::vector<std::vector<int>> withFront = {
        {1, 1, 1}, {1, 1, 0, 1, 0, 1}, {1, 1, 1}, {1, 1, 0, 0, 0, 1}};
    const auto& flags = jig.gable.front ? withFront : plain;
    FreeListOfLists(jig.loops);
    jig.loops = nullptr;
    ContourNode** tail = &jig.loops;
    for (const std::vector<int>& loopFlags : flags) {
        auto* loop = new ContourNode;
        for (int f : loopFlags) AppendVertex(&loop->vertices, Point3{}, f, 0, 0);
        *tail = loop;
        tail = &loop->next;
    }
    jig.current = nullptr;
}

void AJIG_COP::ComputeGableRoof() {
    const double pi = std::numbers::pi;
    const double u = gable.unit;
    Point3& P1 = gablePoints[0];
    Point3& P2 = gablePoints[1];
    Point3& P3 = gablePoints[2];
    if (stage == 2) P2 = {P1.x + 200.0 * u, P1.y, P1.z};
    if (stage == 2 || stage == 3) P3 = PolarPoint(P2, AngleTo(P1, P2) + pi / 2.0, 100.0 * u);
    std::vector<std::vector<Point3>> shape;
    for (const ContourNode* k = loops; k; k = k->next) {
        shape.emplace_back();
        for (const VertexNode* v = k->vertices; v; v = v->next) shape.back().push_back(v->pt());
    }
    if (Distance2d(P1, P2) < GeomEpsilon) return;
    gableValidity = ComputeGableLoops(gable, P1, P2, P3, shape);
    int index = 0;
    for (ContourNode* k = loops; k; k = k->next, ++index) {
        if (index >= static_cast<int>(shape.size())) break;
        const std::vector<Point3>& pts = shape[index];
        std::size_t i = 0;
        for (VertexNode* v = k->vertices; v && i < pts.size(); v = v->next, ++i) {
            v->setPt(pts[i]);
            // With front slabs the first two loops show whether they are valid.
            if (gable.front && index < 2) v->edgeFlag = gableValidity == kGableValid ? 1 : 0;
        }
    }
}
