// Curved sides in strips. Angles are handled unwrapped: the face runs from
// its start angle (in [0, 2 pi)) to start + sweep, and the stations are the
// multiples k t of the strip angle t in that range.
#include "visual/model3d/arc_sides.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/face_rings.h"
#include "core/geometry/matrix4.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall_sides.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/wall_face.h"

namespace {

constexpr double kFloatMax = 3.4028234663852886e38;

int BottomShown(int mode) {
    return mode == 0 || mode == 1 ? 1 : 0;
}
int TopShown(int mode) {
    return mode == 0 || mode == 2 ? 1 : 0;
}

double Normalized(double a) {
    const double twoPi = TwoPi();
    a = std::fmod(a, twoPi);
    return a < 0.0 ? a + twoPi : a;
}

// The strip's frame: the arc face, its span and what every strip needs.
struct Strip {
    const WallFace* face;
    const std::string* layer;
    double start, sweep;  // unwrapped
    double elevation, height;
    const SlabPlaneRec* covering;
    int curvedFlag;

    double End() const { return start + sweep; }
    // The angle of a direction unwrapped into [start, start + 2 pi).
    double Unwrap(double a) const { return start + AngleDiffCcw(start, a); }
    Point3 At(double angle, double z) const {
        Point3 p = PolarPoint(face->arc.centre, angle, face->arc.radius);
        p.z = z;
        return p;
    }
};

void Quad(const std::string& layer, const Point3& a, const Point3& b, const Point3& c, const Point3& d,
          int flags) {
    const ads_point p0{a.x, a.y, a.z}, p1{b.x, b.y, b.z}, p2{c.x, c.y, c.z}, p3{d.x, d.y, d.z};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 10, p0, 11, p1, 12, p2, 13, p3, 70, flags, 0));
    zcdbEntMake(list.get());
}

Point3 WithZ(Point3 p, double z) {
    p.z = z;
    return p;
}

// The opening's z range within the wall's height; false when it lies
// wholly above or below the wall, which then stands whole there.
bool RangeInWall(const OutlineNode& o, double bottom, double top, double& zmin, double& zmax) {
    OpeningRange(o, zmin, zmax);
    zmin = std::max(zmin, bottom);
    zmax = std::min(zmax, top);
    return zmax - zmin > SharedTolerance;
}

// The opening's span on the arc, unwrapped from the strip frame's start.
void OpeningSpan(const Strip& s, const OutlineNode& o, double& from, double& to) {
    double a = o.gapAngle[0], b = o.gapAngle[1];
    if (AngleDiffCcw(a, b) > std::numbers::pi) std::swap(a, b);
    from = s.Unwrap(a);
    to = from + AngleDiffCcw(a, b);
}

bool InSpan(double angle, double from, double to) {
    return angle >= from - GeomEpsilon && angle <= to + GeomEpsilon;
}

struct Heights {
    double b, t;
    int bottomShown, topShown;
};

Heights EdgeHeights(const Strip& s, const FaceEdge* edge) {
    if (!edge) return {s.elevation, s.elevation + s.height, 1, 1};
    return {edge->bottomZ, edge->topZ, BottomShown(edge->edgeVisibility), TopShown(edge->edgeVisibility)};
}

// Under a slab the wall's top is the slab's, not the edge's: the opening
// is taken as it is.
void WallRange(const OutlineNode& o, const Heights& h, bool slab, double& zmin, double& zmax) {
    if (slab)
        OpeningRange(o, zmin, zmax);
    else
        RangeInWall(o, h.b, h.t, zmin, zmax);
}

void StripUnderOpening(const Strip& s, const Point3& p1, const Point3& p2, const OutlineNode& o, int v,
                       const FaceEdge* edge, bool slab) {
    const Heights h = EdgeHeights(s, edge);
    double zmin, zmax;
    WallRange(o, h, slab, zmin, zmax);
    if (zmin - h.b > SharedTolerance)
        Quad(*s.layer, WithZ(p1, h.b), WithZ(p2, h.b), WithZ(p2, zmin), WithZ(p1, zmin),
             v + (h.bottomShown ? 0 : 1));
    if (!slab) {
        if (h.t - zmax > SharedTolerance)
            Quad(*s.layer, WithZ(p1, zmax), WithZ(p2, zmax), WithZ(p2, h.t), WithZ(p1, h.t),
                 v + (h.topShown ? 0 : 4));
        return;
    }
    BuildStripUnderFaces(WithZ(p1, zmax), WithZ(p2, zmax), 1, (v & 2) ? 0 : 1, (v & 8) ? 0 : 1, *s.layer,
                         s.elevation, s.height, s.covering);
}

// p1 lies outside the opening, p2 inside, x is the jamb on the chord; a 1
// hides the strip's station line at p1.
void StripAcrossJamb(const Strip& s, const Point3& p1, const Point3& p2, const Point3& x,
                     const OutlineNode& o, int a, const FaceEdge* edge, bool slab) {
    const Heights h = EdgeHeights(s, edge);
    double zmin, zmax;
    WallRange(o, h, slab, zmin, zmax);
    const int bottomHidden = h.bottomShown ? 0 : 1, topHidden = h.topShown ? 0 : 4;
    double m = h.b;
    int middleBottom = bottomHidden;
    if (zmin - h.b > SharedTolerance) {
        Quad(*s.layer, WithZ(p1, h.b), WithZ(x, h.b), WithZ(x, zmin), WithZ(p1, zmin),
             2 + 4 + 8 * a + bottomHidden);
        Quad(*s.layer, WithZ(x, h.b), WithZ(p2, h.b), WithZ(p2, zmin), WithZ(x, zmin),
             8 + 2 * a + bottomHidden);
        m = zmin;
        middleBottom = 1;
    }
    if (slab) {
        Quad(*s.layer, WithZ(p1, m), WithZ(x, m), WithZ(x, zmax), WithZ(p1, zmax), 4 + 8 * a + middleBottom);
        BuildStripUnderFaces(WithZ(p1, zmax), WithZ(x, zmax), 0, 0, a == 1 ? 0 : 1, *s.layer, s.elevation,
                             s.height, s.covering);
        BuildStripUnderFaces(WithZ(x, zmax), WithZ(p2, zmax), 1, a == 1 ? 0 : 1, 0, *s.layer, s.elevation,
                             s.height, s.covering);
        return;
    }
    if (h.t - zmax >= SharedTolerance) {
        Quad(*s.layer, WithZ(p1, m), WithZ(x, m), WithZ(x, zmax), WithZ(p1, zmax), 4 + 8 * a + middleBottom);
        Quad(*s.layer, WithZ(p1, zmax), WithZ(x, zmax), WithZ(x, h.t), WithZ(p1, h.t),
             1 + 2 + 8 * a + topHidden);
        Quad(*s.layer, WithZ(x, zmax), WithZ(p2, zmax), WithZ(p2, h.t), WithZ(x, h.t), 8 + 2 * a + topHidden);
    } else {
        Quad(*s.layer, WithZ(p1, m), WithZ(x, m), WithZ(x, h.t), WithZ(p1, h.t),
             8 * a + middleBottom + topHidden);
    }
}

// The jamb's point on the chord p1-p2: where the radius at `angle` meets it.
Point3 JambOnChord(const Strip& s, double angle, const Point3& p1, const Point3& p2) {
    const Point3 c = s.face->arc.centre;
    const Point3 r = PolarPoint(c, angle, s.face->arc.radius);
    const ads_point a1{c.x, c.y, p1.z}, a2{r.x, r.y, p1.z}, b1{p1.x, p1.y, p1.z}, b2{p2.x, p2.y, p1.z};
    ads_point hit;
    if (zcdbInters(a1, a2, b1, b2, 0, hit) != RTNORM) return WithZ(r, p1.z);
    return {hit[0], hit[1], p1.z};
}

double AngleOf(const Strip& s, const Point3& p) {
    return s.Unwrap(AngleTo(s.face->arc.centre, p));
}

void GenArcStrip(const Strip& s, const FaceEdge* edge, const OutlineNode* opening, double a1, double a2,
                 int stripSlab) {
    const bool interior1 = a1 > s.start + GeomEpsilon, interior2 = a2 < s.End() - GeomEpsilon;
    a1 = std::max(a1, s.start);
    a2 = std::min(a2, s.End());
    if (a2 - a1 <= GeomEpsilon) return;
    const Heights h = EdgeHeights(s, edge);
    const Point3 p1 = s.At(a1, h.b), p2 = s.At(a2, h.b);
    const int v = (interior1 && s.curvedFlag == 1 ? 8 : 0) + (interior2 && s.curvedFlag == 1 ? 2 : 0);
    const bool slab = stripSlab != 0;
    double zmin, zmax;
    if (opening && !slab && !RangeInWall(*opening, h.b, h.t, zmin, zmax)) opening = nullptr;
    if (!opening) {
        if (!edge) return;
        if (slab) {
            BuildStripUnderFaces(p1, p2, h.bottomShown, (v & 2) ? 0 : 1, (v & 8) ? 0 : 1, *s.layer,
                                 s.elevation, s.height, s.covering);
            return;
        }
        Quad(*s.layer, p1, p2, WithZ(p2, h.t), WithZ(p1, h.t),
             (h.bottomShown ? 0 : 1) + v + (h.topShown ? 0 : 4));
        return;
    }
    double from, to;
    OpeningSpan(s, *opening, from, to);
    const bool firstInStrip = opening->jamb1 && InSpan(AngleOf(s, opening->jamb1->pt()), a1, a2);
    const bool secondInStrip = opening->jamb2 && InSpan(AngleOf(s, opening->jamb2->pt()), a1, a2);
    if (firstInStrip && std::fabs(from - s.start) > SharedTolerance && from > a1 && from < a2) {
        const Point3 x = JambOnChord(s, from, p1, p2);
        StripAcrossJamb(s, p1, p2, x, *opening, (v & 8) ? 1 : 0, edge, slab);
    } else if (secondInStrip && std::fabs(to - s.End()) > SharedTolerance && to > a1 && to < a2) {
        const Point3 x = JambOnChord(s, to, p1, p2);
        StripAcrossJamb(s, p2, p1, x, *opening, (v & 2) ? 1 : 0, edge, slab);
    } else if (from <= a1 + GeomEpsilon && to >= a2 - GeomEpsilon) {
        StripUnderOpening(s, p1, p2, *opening, v, edge, slab);
    } else if (edge) {
        // The opening touches the strip only at a station: plain wall.
        if (slab)
            BuildStripUnderFaces(p1, p2, h.bottomShown, (v & 2) ? 0 : 1, (v & 8) ? 0 : 1, *s.layer,
                                 s.elevation, s.height, s.covering);
        else
            Quad(*s.layer, p1, p2, WithZ(p2, h.t), WithZ(p1, h.t),
                 (h.bottomShown ? 0 : 1) + v + (h.topShown ? 0 : 4));
    }
}

}  // namespace

void GetZRange(const VertexNode* points, double& zmin, double& zmax) {
    zmin = kFloatMax;
    zmax = -kFloatMax;
    for (; points; points = points->next) {
        zmin = std::min(zmin, points->z);
        zmax = std::max(zmax, points->z);
    }
}

void OpeningRange(const OutlineNode& o, double& zmin, double& zmax) {
    zmin = kFloatMax;
    zmax = -kFloatMax;
    for (const VertexNode* ring : {o.cut3DInt1, o.cut3DExt1, o.cut3DInt2, o.cut3DExt2}) {
        double lo, hi;
        GetZRange(ring, lo, hi);
        zmin = std::min(zmin, lo);
        zmax = std::max(zmax, hi);
    }
    if (zmin > zmax) zmin = zmax = o.z;
}

void BuildStripUnderFaces(const Point3& s, const Point3& e, int bottomFlag, int endFlag, int startFlag,
                          const std::string& layer, double elevation, double height,
                          const SlabPlaneRec* covering) {
    if (PointsEqual(s, e, true)) return;
    Matrix4 toPlane, toWorld;
    if (!PlaneToXYMatrix(s, {e.x - s.x, e.y - s.y, 0.0}, {0.0, 0.0, 1.0}, toPlane) ||
        !InvertMatrix4(toPlane, toWorld))
        return;
    const Point3 sAt{s.x, s.y, elevation}, eAt{e.x, e.y, elevation};
    VertexNode* cuts = IntersectSegmentWithFaces(sAt, eAt, covering);  // from E to S
    // Top vertices from S to E: walk the cuts backwards.
    std::vector<Point3> pts;
    for (const VertexNode* v = cuts; v; v = v->next) pts.push_back(v->pt());
    FreeList(cuts);
    VertexNode* ring = nullptr;
    VertexNode** tail = &ring;
    auto add = [&](Point3 p, int flag) {
        *tail = NewVertex(p.x, p.y, p.z, flag, 0, 0, 0);
        tail = &(*tail)->next;
    };
    for (std::size_t i = pts.size(); i-- > 1;) {
        const Point3& p = pts[i];
        const Point3& q = pts[i - 1];
        const SlabPlaneRec* plane = FindFaceAtPoint(p, q, covering);
        const double zp =
            plane ? -(plane->a * p.x + plane->b * p.y + plane->d) / plane->c : elevation + height;
        const double zq =
            plane ? -(plane->a * q.x + plane->b * q.y + plane->d) / plane->c : elevation + height;
        add({p.x, p.y, zp}, 1);
        add({q.x, q.y, zq}, i == 1 ? endFlag : 1);
    }
    add(e, bottomFlag);
    add(s, startFlag);
    // Consecutive repeats out (the flag of the later one kept).
    for (VertexNode* v = ring; v && v->next;) {
        if (PointsEqual(v->pt(), v->next->pt(), true)) {
            VertexNode* gone = v->next;
            v->edgeFlag = gone->edgeFlag;
            v->next = gone->next;
            delete gone;
        } else {
            v = v->next;
        }
    }
    for (VertexNode* v = ring; v; v = v->next) {
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        v->setPt(p);
    }
    ContourNode polygon;
    polygon.vertices = ring;
    if (CountNodes(ring) >= 3) {
        RingNode* bridged = BridgeHolesIntoOutline(&polygon);
        TriangulateTo3DFaces(layer, &polygon, bridged, toWorld);
        FreeList(bridged);
    }
}

std::vector<double> ArcStations(const WallFace& face, double step) {
    std::vector<double> out;
    const double r = face.arc.radius;
    if (r < GeomEpsilon || 1.999 * r < step || step <= 0.0) return out;
    const double t = 2.0 * std::asin(step / (2.0 * r));
    const double start = Normalized(face.arc.startAngle);
    double sweep = AngleDiffCcw(face.arc.startAngle, face.arc.endAngle);
    if (sweep <= 0.0) sweep = TwoPi();
    // The same stations as the strips: a strip thinner than the epsilon
    // is not made, so its line is no corner.
    out.push_back(start);
    double station = std::ceil(start / t - 1e-9) * t;
    if (station - start >= t) station -= t;
    for (; station < start + sweep - GeomEpsilon; station += t)
        if (station - out.back() > GeomEpsilon) out.push_back(station);
    out.push_back(start + sweep);
    return out;
}

int GenArcWallSide(const WallFace& face, const std::string& layer, int slabMode, double step, int curvedFlag,
                   double elevation, double height, const SlabPlaneRec* covering) {
    const double r = face.arc.radius;
    if (r < GeomEpsilon || 1.999 * r < step || step <= 0.0) return 0;
    MarkFaceModelType(face, slabMode ? 2 : 1);
    const double t = 2.0 * std::asin(step / (2.0 * r));
    Strip s{&face, &layer, Normalized(face.arc.startAngle), 0.0, elevation, height, covering, curvedFlag};
    s.sweep = AngleDiffCcw(face.arc.startAngle, face.arc.endAngle);
    if (s.sweep <= 0.0) s.sweep = TwoPi();
    const double limit = s.End() + t;
    double station = std::ceil(s.start / t - 1e-9) * t;
    if (station - s.start >= t) station -= t;
    if (!(station < limit)) return 1;
    double prev = s.start;
    for (; station < limit; prev = station, station += t) {
        const double at = std::min(station, s.End());
        const FaceEdge* edge = nullptr;
        for (const FaceEdge* e = face.arcEdges; e; e = e->next) {
            edge = e;
            if (AngleDiffCcw(s.start, e->arc.endAngle) + GeomEpsilon >= at - s.start) break;
        }
        const int stripSlab = slabMode && edge ? (edge->extraReal == 0.0 ? 1 : 0) : slabMode;
        const OutlineNode* opening = nullptr;
        for (const OutlineLink* l = face.outlineLinks; l && !opening; l = l->next) {
            if (!l->outline || l->outline->kind != OutlineKind::ArcWallOpening) continue;
            double from, to;
            OpeningSpan(s, *l->outline, from, to);
            if (InSpan(at, from, to) || InSpan(std::max(prev, s.start), from, to)) opening = l->outline;
        }
        GenArcStrip(s, edge, opening, prev, station, stripSlab);
    }
    return 1;
}
