// The vertex tools of the slab commands, on the loops of the outline jig.
// The interactive ones save OSMODE, ask with the host's point prompt and
// put OSMODE back on every way out. Vertices are found in plan within the single-precision
// epsilon, so a vertex is picked by its snap point.
#include "roofs/slab_vertex_tools.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

void SetLoopsZFromPlane(AJIG_COP& jig, double a, double b, double c, double d) {
    SetLoopsZFromPlane(jig.loops, a, b, c, d);
}

VertexNode* InsertVertexOnEdge(AJIG_COP& jig, Point3& point) {
    double a = 0, b = 0, c = 0, d = 0;
    if (PolygonNormal(jig.Outline(), a, b, c, d)) PlaneZ(a, b, c, d, point.x, point.y, point.z);
    const Point3 flat{point.x, point.y, 0.0};
    for (ContourNode* k = jig.loops; k; k = k->next) {
        for (VertexNode* v = k->vertices; v; v = v->next) {
            const VertexNode* w = NextInRing(k->vertices, v);
            if (!IsPointOnSegment(flat, {v->x, v->y, 0.0}, {w->x, w->y, 0.0})) continue;
            VertexNode* added = NewVertex(point.x, point.y, point.z, 1, v->data1, 0, 0);
            added->next = v->next;
            v->next = added;
            return added;
        }
    }
    return nullptr;
}

void DeleteVertex(AJIG_COP& jig, VertexNode* vertex) {
    if (!vertex || CountNodes(jig.Outline()) < 4) return;
    ContourNode** link = &jig.loops;
    for (ContourNode* k = jig.loops; k; link = &k->next, k = k->next) {
        VertexNode* v = k->vertices;
        while (v && v != vertex) v = v->next;
        if (!v) continue;
        RemoveNode(&k->vertices, vertex);
        if (CountNodes(k->vertices) < 3) {
            *link = k->next;
            k->next = nullptr;
            delete k;
            RenumberSlabLoops(jig.loops);
        }
        return;
    }
}

VertexNode* FindSlabVertexAt(const ContourNode* loops, const Point3& point) {
    for (const ContourNode* k = loops; k; k = k->next)
        for (VertexNode* v = k->vertices; v; v = v->next)
            if (std::fabs(v->x - point.x) < GeomEpsilon && std::fabs(v->y - point.y) < GeomEpsilon) return v;
    return nullptr;
}

namespace {

// Restores OSMODE when it goes out of scope.
class OsmodeScope {
public:
    explicit OsmodeScope(int value) { m_former = SysVarShort("OSMODE", &value); }
    ~OsmodeScope() { Restore(); }
    void Restore() {
        if (m_done) return;
        m_done = true;
        SysVarShort("OSMODE", &m_former);
    }

private:
    int m_former = 0;
    bool m_done = false;
};

// A point answer: RTNORM with the point, RTNONE for Enter, else cancel or
// error.
int AskPoint(const char* prompt, bool required, Point3& out, const Point3* base = nullptr) {
    ads_point pt;
    ads_point b{0, 0, 0};
    if (base) {
        b[0] = base->x;
        b[1] = base->y;
        b[2] = base->z;
    }
    const int rc = GetPointInRange(required ? RSG_NONULL : 0, nullptr, base ? b : nullptr, prompt, pt);
    if (rc == RTNORM) out = {pt[0], pt[1], pt[2]};
    return rc;
}

}  // namespace

int PickOpeningVertex(AJIG_COP& jig) {
    OsmodeScope osmode(1);
    for (;;) {
        Point3 p;
        const int rc = AskPoint("\nWybierz jeden wierzchołek otworu płyty:", true, p);
        if (rc == RTCAN || rc == RTERROR) return 0;
        if (rc != RTNORM) continue;
        ContourNode** link = jig.loops ? &jig.loops->next : nullptr;
        for (ContourNode* k = jig.loops ? jig.loops->next : nullptr; k; link = &k->next, k = k->next) {
            for (VertexNode* v = k->vertices; v; v = v->next) {
                if (std::fabs(v->x - p.x) >= GeomEpsilon || std::fabs(v->y - p.y) >= GeomEpsilon) continue;
                *link = k->next;
                k->next = nullptr;
                delete k;
                osmode.Restore();
                RenumberSlabLoops(jig.loops);
                return 1;
            }
        }
        zcutPrintf("\n%s", "Wybrany wierzchołek nie należy do żadnego otworu");
    }
}

void MoveSlabVertex(AJIG_COP& jig) {
    const double unit = SettingsUnitFactor();
    for (;;) {
        Point3 p;
        if (AskPoint("\nWybierz punkt do przesunięcia:", false, p) != RTNORM) break;
        bool already = false;
        for (const RingNode* r = jig.chosen; r && !already; r = r->next)
            already = PointsEqual(r->vertex->pt(), p, true);
        if (already) {
            zcutPrintf("\nPunkt został już wybrany");
            continue;
        }
        VertexNode* v = FindSlabVertexAt(jig.loops, p);
        if (!v) {
            zcutPrintf("\nWybrany punkt nie jest wierzchołkiem płyty");
            continue;
        }
        auto* node = new RingNode;
        node->vertex = v;
        node->next = jig.chosen;
        jig.chosen = node;
        DrawCrossMarker(v->pt(), unit);
    }
    for (const RingNode* r = jig.chosen; r; r = r->next) DrawCrossMarker(r->vertex->pt(), unit);
}

namespace {

// Asks until the answer is a point farther than the epsilon from `others`.
int AskDistinct(const char* prompt, const Point3* others, int count, Point3& out) {
    for (;;) {
        const int rc = AskPoint(prompt, true, out);
        if (rc != RTNORM) return rc;
        bool apart = true;
        for (int i = 0; i < count; ++i) apart = apart && HostDistance(out, others[i]) > GeomEpsilon;
        if (apart) return rc;
    }
}

}  // namespace

int PickGutterOrSurfacePoints(AJIG_COP& jig, double slopePercent) {
    const VertexNode* outline = jig.Outline();
    if (CountNodes(outline) < 3) return 0;
    Point3 p[3];
    if (!jig.gutterMode) {
        const int rc = AskPoint(
            "\nPierwszy punkt definiujący powierzchnię lub Enter, aby użyć trzech punktów:", false, p[0]);
        if (rc == RTNONE) {
            p[0] = outline->pt();
            p[1] = outline->next->pt();
            p[2] = outline->next->next->pt();
        } else if (rc != RTNORM) {
            return 0;
        } else {
            if (AskDistinct("\nDrugi punkt definiujący powierzchnię:", p, 1, p[1]) != RTNORM) return 0;
            if (AskDistinct("\nTrzeci punkt definiujący powierzchnię:", p, 2, p[2]) != RTNORM) return 0;
        }
    } else {
        const int rc = AskPoint("\nPierwszy punkt boku rynny, Enter, aby użyć dwóch punktów:", false, p[0]);
        if (rc == RTNONE) {
            p[0] = outline->pt();
            p[1] = outline->next->pt();
        } else if (rc != RTNORM) {
            return 0;
        } else if (AskDistinct("\nDrugi punkt boku rynny:", p, 1, p[1]) != RTNORM) {
            return 0;
        }
        double farthest = -SharedTolerance;
        for (const VertexNode* v = outline; v; v = v->next) {
            Point3 foot;
            PerpendicularFoot(v->pt(), p[0], p[1], foot);
            const double dist = Distance2d(foot, v->pt());
            if (dist > farthest) {
                farthest = dist;
                p[2] = v->pt();
            }
        }
        p[2].z = p[0].z + slopePercent / 100.0 * farthest;
    }
    double a = 0, b = 0, c = 0, d = 0;
    if (!PlaneCoefficients3(p[0], p[1], p[2], a, b, c, d)) {
        zcedAlert("Trzy punkty są wyrównane, dlatego nie definiują płaszczyzny");
        return 0;
    }
    SetLoopsZFromPlane(jig, a, b, c, d);
    return 1;
}

namespace {

// Asks until a slab vertex is picked: RTNORM with the vertex's point, RTNONE
// for Enter when allowed, else cancel or error.
int AskVertex(AJIG_COP& jig, const char* text, bool allowEnter, Point3& out) {
    const std::string prompt = std::string("\n") + text;
    for (;;) {
        const int rc = AskPoint(prompt.c_str(), !allowEnter, out);
        if (rc != RTNORM) return rc;
        if (const VertexNode* v = FindSlabVertexAt(jig.loops, out)) {
            out = v->pt();
            return rc;
        }
    }
}

}  // namespace

bool PickFixedPointsPlane(AJIG_COP& jig) {
    OsmodeScope osmode(1);
    Point3 p1, p2, p3;
    if (AskVertex(jig, "Pierwszy stały punkt:", false, p1) != RTNORM) return false;
    bool oneFixed = false;
    int rc = AskVertex(jig, "Drugi stały punkt/Enter, jeśli chcesz tylko jeden stały punkt:", true, p2);
    if (rc == RTNONE) {
        oneFixed = true;
        rc = AskVertex(jig, "Pierwszy punkt, który chcesz przenieść:", false, p2);
    }
    if (rc != RTNORM) return false;
    for (;;) {
        if (AskVertex(jig, "Ostatni punkt, który chcesz przenieść:", false, p3) != RTNORM) return false;
        if (!ArePointsCollinear(p1, p2, p3, SharedTolerance)) break;
        zcutPrintf("\n%s", "Trzy punkty nie definiują płaszczyzny, ponieważ są w jednej linii.");
    }
    osmode.Restore();
    Point3 from, to;
    if (AskPoint("\nOkreśl początkowy punkt przesunięcia:", true, from) != RTNORM) return false;
    if (AskPoint("\nOkreśl ostatni punkt przesunięcia:", true, to, &from) != RTNORM) return false;
    const double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    p3 = {p3.x + dx, p3.y + dy, p3.z + dz};
    if (oneFixed) p2 = {p2.x + dx, p2.y + dy, p2.z + dz};
    double a = 0, b = 0, c = 0, d = 0;
    if (PlaneCoefficients3(p1, p2, p3, a, b, c, d) && std::fabs(c) >= SharedTolerance &&
        std::fabs(c) >= GeomEpsilon) {
        SetLoopsZFromPlane(jig, a, b, c, d);
        return true;
    }
    zcutPrintf("\n%s", "Dłuższa płaszczyzna płyty nie może być zdefiniowana.");
    return false;
}
