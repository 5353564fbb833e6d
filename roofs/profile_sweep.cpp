// The profile sweep. The frame at a vertex has its Z axis t pointing back
// along the path (the halving plane's normal at an inner vertex), its Y
// axis from the plane of the two path directions (the world Z for a path
// in a vertical plane, a straight stretch or with the vertical-axis
// switch), oriented by the normal of the previous frame so that it never
// flips, and X = Y x t, to the right of the direction of travel.
#include "roofs/profile_sweep.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/prompts.h"

namespace {

Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Length(const Point3& a) {
    return std::sqrt(Dot(a, a));
}
Point3 Unit(const Point3& a) {
    const double l = Length(a);
    return l > 0.0 ? Point3{a.x / l, a.y / l, a.z / l} : a;
}
Point3 Scale(const Point3& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}

// Columns X, Y, Z and the origin.
Matrix4 Frame(const Point3& origin, const Point3& X, const Point3& Y, const Point3& Z) {
    Matrix4 m;
    SetIdentity4(m);
    const Point3 axes[3] = {X, Y, Z};
    for (int c = 0; c < 3; ++c) {
        m.m[0][c] = axes[c].x;
        m.m[1][c] = axes[c].y;
        m.m[2][c] = axes[c].z;
    }
    m.m[0][3] = origin.x;
    m.m[1][3] = origin.y;
    m.m[2][3] = origin.z;
    return m;
}

// The horizontal unit vector to the right of the plan direction a -> b.
Point3 RightOf(const Point3& a, const Point3& b) {
    const double angle = AngleTo(a, b) - std::numbers::pi / 2.0;
    return {std::cos(angle), std::sin(angle), 0.0};
}

// The angle between two directions, in [0, pi].
double TurnAngle(const Point3& d1, const Point3& d2) {
    const double l = Length(d1) * Length(d2);
    if (l <= 0.0) return 0.0;
    return std::acos(std::max(-1.0, std::min(1.0, Dot(d1, d2) / l)));
}

void WriteFace(const std::string& layer, const VertexNode* s, const VertexNode* t, const VertexNode* t1,
               const VertexNode* s1) {
    const ads_point p[4] = {
        {s->x, s->y, s->z}, {t->x, t->y, t->z}, {t1->x, t1->y, t1->z}, {s1->x, s1->y, s1->z}};
    const host::ResbufList face(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p[0], 11, p[1],
                                              12, p[2], 13, p[3], 70, 0, 0));
    zcdbEntMake(face.get());
}

// One face per section edge between two placed sections.
void JoinSections(const std::string& layer, const VertexNode* S, const VertexNode* T) {
    for (const VertexNode *s = S, *t = T; s && t; s = s->next, t = t->next)
        WriteFace(layer, s, t, NextInRing(T, t), NextInRing(S, s));
}

}  // namespace

CPROFILI::~CPROFILI() {
    FreeList(path);
    FreeList(section);
}

void CPROFILI::OrientPath(const ads_name picked, const Point3& pick) {
    std::string type;
    GetEntTypeAndColor(picked, type);
    bool reverse = false;
    if (type == "ARC") {
        ArcRecord arc;
        if (!GetArcData(picked, arc, nullptr)) return;
        const double toPick = AngleDiffCcw(arc.startAngle, AngleTo(arc.centre, pick));
        const double toEnd = AngleDiffCcw(AngleTo(arc.centre, pick), arc.endAngle);
        reverse = toEnd < toPick;
    } else if (type == "LINE") {
        Point3 a, b;
        if (!GetLineData(picked, a, b)) return;
        reverse = Distance2d(pick, b) < Distance2d(pick, a);
    }
    if (reverse) path = ReverseList(path);
}

double CPROFILI::MiterFrame(Point3& normal, const Point3& d1, const Point3& d2) {
    const double stretch = std::fabs(1.0 / std::cos(TurnAngle(d1, d2) / 2.0));
    const Point3 n = Cross(d2, d1);
    const double len = Length(n);
    if (len > 0.0 && std::fabs(n.z / len) >= SharedTolerance && !verticalAxis) {
        Point3 u = Unit(Cross(Unit(d2), Unit(d1)));
        // The side of the previous frame's normal keeps the section upright.
        if (Dot(referenceNormal, u) < 0.0) u = Scale(u, -1.0);
        referenceNormal = u;
        normal = u;
    } else {
        normal = {0.0, 0.0, 1.0};
    }
    return stretch;
}

VertexNode* CPROFILI::TransformSection(const Matrix4& frame, double stretch) const {
    VertexNode* out = nullptr;
    for (const VertexNode* v = section; v; v = v->next) {
        Point3 p;
        TransformPoint(frame, {v->x * stretch, v->y, v->z}, p);
        VertexNode* node = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
        node->next = out;
        out = node;
    }
    return out;
}

VertexNode* PlaceProfileSections(CPROFILI& profile, const VertexNode* PP, const VertexNode* P,
                                 const VertexNode* C, const VertexNode* N, const VertexNode* NN) {
    const Point3 c = C->pt();
    Point3 X, Y, t;
    double stretch = 1.0;
    if (!P && N) {
        t = Unit(Sub(c, N->pt()));
        if (!NN) {
            X = RightOf(c, N->pt());
            Y = Cross(t, X);
        } else {
            profile.MiterFrame(Y, Sub(N->pt(), c), Sub(NN->pt(), N->pt()));
            X = Unit(Cross(Y, t));
        }
    } else if (P && N) {
        const Point3 a = Unit(Sub(c, P->pt())), b = Unit(Sub(N->pt(), c));
        t = Unit(Scale({a.x + b.x, a.y + b.y, a.z + b.z}, -1.0));
        stretch = profile.MiterFrame(Y, Sub(c, P->pt()), Sub(N->pt(), c));
        X = Unit(Cross(Y, t));
    } else if (P) {
        t = Unit(Sub(P->pt(), c));
        if (!PP) {
            X = RightOf(P->pt(), c);
            Y = Unit(Cross(t, X));
        } else {
            profile.MiterFrame(Y, Sub(P->pt(), PP->pt()), Sub(c, P->pt()));
            X = Unit(Cross(Y, t));
        }
    } else {
        return nullptr;
    }
    return profile.TransformSection(Frame(c, X, Y, t), stretch);
}

void TriangulatePlanarLoop(const CPROFILI& profile, const VertexNode* loop) {
    double a = 0, b = 0, c = 0, d = 0;
    if (CountNodes(loop) < 3 || !PolygonNormal(loop, a, b, c, d)) return;
    Matrix4 toWorld, toPlane;
    CoordSystemFromNormal(loop, toWorld, a, b, c);
    if (!InvertMatrix4(toWorld, toPlane)) return;
    VertexNode* flat = nullptr;
    VertexNode** tail = &flat;
    for (const VertexNode* v = loop; v; v = v->next) {
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        *tail = NewVertex(p.x, p.y, 0.0, 0, 0, 0, 0);
        tail = &(*tail)->next;
    }
    // The ear clipping takes its rings counter-clockwise in plane coordinates.
    int reversed = 0;
    flat = NormalizePolygon(1, flat, &reversed);
    int index = 0;
    for (VertexNode* v = flat; v; v = v->next) v->data1 = index++;
    if (index < 3) {
        FreeList(flat);
        return;
    }
    FaceRecord* faces = TriangulatePolygon(flat, index - 1, toWorld);
    EmitFaces(profile.layer, faces);
    FreeList(faces);
}

double LargestMiterStretch(const VertexNode* path, bool closed) {
    double largest = 1.0;
    for (const VertexNode* v = path; v; v = v->next) {
        const VertexNode* prev = v == path ? (closed ? PrevInRing(path, v) : nullptr) : PrevInRing(path, v);
        const VertexNode* next = v->next ? v->next : (closed ? path : nullptr);
        if (!prev || !next) continue;
        const double theta = TurnAngle(Sub(v->pt(), prev->pt()), Sub(next->pt(), v->pt()));
        const double c = std::cos(theta / 2.0);
        largest = std::max(largest, c <= 0.0 ? HUGE_VAL : 1.0 / c);
    }
    return largest;
}

namespace {

// Every vertex moved to the crossing of its two segments shifted to their
// right; the ends of an open path move square to their segment.
void OffsetPath(VertexNode* path, bool closed, double offset) {
    if (offset == 0.0) return;
    const int n = CountNodes(path);
    std::vector<Point3> pts;
    for (const VertexNode* v = path; v; v = v->next) pts.push_back(v->pt());
    std::vector<Point3> moved(pts);
    const double pi = std::numbers::pi;
    for (int i = 0; i < n; ++i) {
        const bool hasPrev = closed || i > 0, hasNext = closed || i + 1 < n;
        const Point3& V = pts[i];
        Point3 a1, a2, b1, b2;
        if (hasPrev) {
            const Point3& P = pts[(i + n - 1) % n];
            const double r = AngleTo(P, V) - pi / 2.0;
            a1 = PolarPoint(P, r, offset);
            a2 = PolarPoint(V, r, offset);
        }
        if (hasNext) {
            const Point3& N = pts[(i + 1) % n];
            const double r = AngleTo(V, N) - pi / 2.0;
            b1 = PolarPoint(V, r, offset);
            b2 = PolarPoint(N, r, offset);
        }
        if (!hasPrev) {
            // The perpendicular through the vertex.
            a1 = V;
            a2 = PolarPoint(V, AngleTo(V, pts[1]) - pi / 2.0, 10.0);
        }
        if (!hasNext) {
            b1 = V;
            b2 = PolarPoint(V, AngleTo(pts[i - 1], V) - pi / 2.0, 10.0);
        }
        const ads_point p1{a1.x, a1.y, 0}, p2{a2.x, a2.y, 0}, q1{b1.x, b1.y, 0}, q2{b2.x, b2.y, 0};
        ads_point at;
        if (zcdbInters(p1, p2, q1, q2, 0, at) == RTNORM) moved[i] = {at[0], at[1], V.z};
    }
    int i = 0;
    for (VertexNode* v = path; v; v = v->next, ++i) v->setPt(moved[i]);
}

}  // namespace

void MakeProfileBlock(CPROFILI& profile) {
    if (CountNodes(profile.path) < 2 || CountNodes(profile.section) < 3) return;
    OffsetPath(profile.path, profile.closed, profile.offset);
    resbuf rb;
    if (zcedGetVar("VIEWDIR", &rb) == RTNORM && rb.restype == RT3DPOINT)
        profile.referenceNormal = Unit({rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]});
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = profile.layer;
    EnsureLayer(layer, table, false, 0.0, true);

    const Point3 insertion = profile.path->pt();
    if (profile.uniqueBlock) {
        const ads_point origin{0.0, 0.0, 0.0};
        const host::ResbufList header(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 65, 2, "*U", 10, origin, 0));
        if (zcdbEntMake(header.get()) != RTNORM) return;
        for (VertexNode* v = profile.path; v; v = v->next)
            v->setPt({v->x - insertion.x, v->y - insertion.y, v->z - insertion.z});
    }

    const VertexNode* path = profile.path;
    const bool closed = profile.closed;
    auto at = [&](const VertexNode* v, int step) -> const VertexNode* {
        // The neighbour `step` vertices away (-2..2), wrapping on a closed path.
        const VertexNode* w = v;
        for (int k = 0; k < std::abs(step) && w; ++k) {
            if (step > 0)
                w = w->next ? w->next : (closed ? path : nullptr);
            else
                w = w == path ? (closed ? PrevInRing(path, w) : nullptr) : PrevInRing(path, w);
        }
        return w;
    };
    VertexNode* first =
        PlaceProfileSections(profile, at(path, -2), at(path, -1), path, at(path, 1), at(path, 2));
    VertexNode* keep = nullptr;
    if (closed)
        keep = CopyVertexList(first);
    else
        TriangulatePlanarLoop(profile, first);
    VertexNode* previous = first;
    for (const VertexNode* v = path->next; v; v = v->next) {
        VertexNode* placed = PlaceProfileSections(profile, at(v, -2), at(v, -1), v, at(v, 1), at(v, 2));
        JoinSections(profile.layer, previous, placed);
        FreeList(previous);
        previous = placed;
    }
    if (closed) {
        JoinSections(profile.layer, previous, keep);
        FreeList(keep);
    } else {
        TriangulatePlanarLoop(profile, previous);
    }
    FreeList(previous);

    if (profile.uniqueBlock) {
        const host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
        if (zcdbEntMake(end.get()) != RTNORM) return;
        char name[260] = "";
        zcedGetInput(name);
        const ads_point base{insertion.x, insertion.y, insertion.z};
        const host::ResbufList insert(
            zcutBuildList(RTDXF0, "INSERT", 2, name, 8, profile.layer.c_str(), 10, base, 0));
        zcdbEntMake(insert.get());
    }
}
