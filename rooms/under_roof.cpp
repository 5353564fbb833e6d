// Rooms under roofs (see the header).
//
// The clip walks two copies of the outlines with their crossings put in,
// every vertex marked while it lies inside (or on) the other polygon: from a
// marked subject vertex it follows the subject, turns onto the clip outline
// at a crossing whose next clip vertex is marked, and closes a loop at the
// first unmarked vertex. Each step clears a mark, so the walk ends. A
// subject that meets the clip outline only at clip vertices gives the runs
// of marked clip vertices, one loop per run.
#include "rooms/under_roof.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "objects/language/obj_args.h"

namespace {

struct ClipVertex {
    Point3 p;
    bool mark = true;
};

std::vector<Point3> PointsOf(const VertexNode* list) {
    std::vector<Point3> points;
    for (const VertexNode* v = list; v; v = v->next) points.push_back(v->pt());
    return points;
}

bool SamePlan(const Point3& a, const Point3& b) {
    return PointsEqual(a, b, false);
}

// The ring with the crossings of its edges with the other ring's edges put
// in, in order along each edge; crossings at an end of the edge left out.
std::vector<ClipVertex> WithCrossings(const std::vector<Point3>& ring, const std::vector<Point3>& other) {
    std::vector<ClipVertex> out;
    const std::size_t n = ring.size(), m = other.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point3& a = ring[i];
        const Point3& b = ring[(i + 1) % n];
        out.push_back({a, true});
        std::vector<std::pair<double, Point3>> cuts;
        for (std::size_t j = 0; j < m; ++j) {
            Point3 x;
            if (!IntersectLines2d(a, b, other[j], other[(j + 1) % m], x, 1, ZcGeContext::gTol)) continue;
            if (SamePlan(x, a) || SamePlan(x, b)) continue;
            cuts.push_back({Distance2d(a, x), x});
        }
        std::sort(cuts.begin(), cuts.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
        for (std::size_t k = 0; k < cuts.size(); ++k)
            if (k == 0 || !SamePlan(cuts[k].second, cuts[k - 1].second))
                out.push_back({cuts[k].second, true});
    }
    return out;
}

void MarkInside(std::vector<ClipVertex>& ring, const VertexNode* polygon) {
    for (ClipVertex& v : ring) v.mark = PointInPolygon(v.p, polygon, kEdgesReported) != kOutsidePolygon;
}

VertexNode* ListOf(const std::vector<Point3>& points) {
    VertexNode* head = nullptr;
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
        VertexNode* v = NewVertex(it->x, it->y, it->z, 0, 0, 0, 0);
        v->next = head;
        head = v;
    }
    return head;
}

void AppendLoop(ContourNode**& tail, const std::vector<Point3>& loop) {
    if (loop.size() < 3) return;
    auto* c = new ContourNode;
    c->vertices = ListOf(loop);
    *tail = c;
    tail = &c->next;
}

int FindCoinciding(const std::vector<ClipVertex>& ring, const Point3& p) {
    for (std::size_t i = 0; i < ring.size(); ++i)
        if (SamePlan(ring[i].p, p)) return static_cast<int>(i);
    return -1;
}

// One loop of the walk from subject vertex `start`.
std::vector<Point3> WalkLoop(std::vector<ClipVertex>& subject, std::vector<ClipVertex>& clip,
                             std::size_t start) {
    std::vector<Point3> loop;
    std::vector<ClipVertex>* rings[2] = {&subject, &clip};
    int on = 0;
    std::size_t at = start;
    loop.push_back(subject[at].p);
    subject[at].mark = false;
    for (;;) {
        std::vector<ClipVertex>& cur = *rings[on];
        std::vector<ClipVertex>& other = *rings[1 - on];
        const std::size_t next = (at + 1) % cur.size();
        const int there = FindCoinciding(other, cur[next].p);
        if (there >= 0 && other[static_cast<std::size_t>(there)].mark &&
            other[(static_cast<std::size_t>(there) + 1) % other.size()].mark) {
            cur[next].mark = false;
            other[static_cast<std::size_t>(there)].mark = false;
            loop.push_back(cur[next].p);
            on = 1 - on;
            at = static_cast<std::size_t>(there);
            continue;
        }
        if (!cur[next].mark) break;
        cur[next].mark = false;
        loop.push_back(cur[next].p);
        at = next;
    }
    return loop;
}

}  // namespace

ContourNode* ClipPolygon(const VertexNode* subjectList, const VertexNode* clipList) {
    const std::vector<Point3> s = PointsOf(subjectList), k = PointsOf(clipList);
    if (s.size() < 3 || k.size() < 3) return nullptr;
    std::vector<ClipVertex> subject = WithCrossings(s, k);
    std::vector<ClipVertex> clip = WithCrossings(k, s);
    MarkInside(subject, clipList);
    MarkInside(clip, subjectList);

    ContourNode* loops = nullptr;
    ContourNode** tail = &loops;
    const auto marked = [](const ClipVertex& v) { return v.mark; };
    if (std::none_of(subject.begin(), subject.end(), marked)) {
        if (std::all_of(clip.begin(), clip.end(), marked)) AppendLoop(tail, k);
        return loops;
    }
    if (std::none_of(clip.begin(), clip.end(), marked)) {
        std::vector<Point3> whole;
        for (const ClipVertex& v : subject) whole.push_back(v.p);
        AppendLoop(tail, whole);
        return loops;
    }
    bool walked = false;
    for (;;) {
        std::size_t start = subject.size();
        for (std::size_t i = 0; i < subject.size(); ++i)
            if (subject[i].mark && FindCoinciding(clip, subject[i].p) < 0) {
                start = i;
                break;
            }
        if (start == subject.size()) break;
        AppendLoop(tail, WalkLoop(subject, clip, start));
        walked = true;
    }
    if (walked) return loops;
    // The subject meets the clip outline only at clip vertices: each run of
    // marked clip vertices is one piece, closed along the subject's edge.
    const std::size_t n = clip.size();
    std::size_t first = 0;
    while (first < n && clip[first].mark) ++first;
    if (first == n) {
        AppendLoop(tail, k);
        return loops;
    }
    std::vector<Point3> run;
    for (std::size_t step = 1; step <= n; ++step) {
        const ClipVertex& v = clip[(first + step) % n];
        if (v.mark) {
            run.push_back(v.p);
            continue;
        }
        AppendLoop(tail, run);
        run.clear();
    }
    return loops;
}

namespace {

bool CrossesRing(const std::vector<VertexNode*>& ring, const VertexNode* a, const VertexNode* b,
                 const VertexNode* c) {
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const VertexNode* p = ring[i];
        const VertexNode* q = ring[(i + 1) % n];
        if (p == a || p == b || p == c || q == a || q == b || q == c) continue;
        Point3 x;
        if (IntersectLines2d(a->pt(), c->pt(), p->pt(), q->pt(), x, 1, ZcGeContext::gTol)) return true;
    }
    return false;
}

VertexNode* CopyCorner(const VertexNode* v) {
    return NewVertex(v->x, v->y, v->z, v->edgeFlag, v->data1, v->data2, 0);
}

void AppendTriangle(FaceRecord**& tail, const VertexNode* a, const VertexNode* b, const VertexNode* c) {
    auto* t = new FaceRecord;
    t->corners = CopyCorner(a);
    t->corners->next = CopyCorner(b);
    t->corners->next->next = CopyCorner(c);
    *tail = t;
    tail = &t->next;
}

}  // namespace

FaceRecord* TriangulateUnderRoof(VertexNode*& polygon, bool (*userBreak)(), bool* broken) {
    if (broken) *broken = false;
    if (CountNodes(polygon) < 3) return nullptr;
    // Counter-clockwise: the ear test takes convex vertices only on such a
    // ring; on a clockwise one it would cut ears outside a concave room.
    polygon = NormalizePolygon(1, polygon, nullptr);
    std::vector<VertexNode*> ring;
    for (VertexNode* v = polygon; v; v = v->next) ring.push_back(v);
    FaceRecord* triangles = nullptr;
    FaceRecord** tail = &triangles;
    const double pi = std::numbers::pi;
    bool cut = true;
    while (cut && ring.size() > 3) {
        if (userBreak && userBreak()) {
            FreeList(triangles);
            if (broken) *broken = true;
            return nullptr;
        }
        cut = false;
        const std::size_t n = ring.size();
        for (std::size_t i = 0; i < n; ++i) {
            const VertexNode* z = ring[(i + n - 1) % n];
            const VertexNode* a = ring[i];
            const VertexNode* b = ring[(i + 1) % n];
            const VertexNode* c = ring[(i + 2) % n];
            const VertexNode* d = ring[(i + 3) % n];
            const Point3 A = a->pt(), B = b->pt(), C = c->pt(), Z = z->pt(), D = d->pt();
            if (AngleBetweenLines(B, C, B, A) >= pi) continue;
            if (AngleBetweenLines(A, B, A, C) >= AngleBetweenLines(A, B, A, Z)) continue;
            if (AngleBetweenLines(C, A, C, B) >= AngleBetweenLines(C, D, C, B)) continue;
            if (CrossesRing(ring, a, b, c)) continue;
            AppendTriangle(tail, a, b, c);
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>((i + 1) % n));
            cut = true;
            break;
        }
    }
    for (std::size_t i = 1; i + 1 < ring.size(); ++i) AppendTriangle(tail, ring[0], ring[i], ring[i + 1]);
    return triangles;
}

UnderRoofResult ComputeUnderRoof(const UnderRoofJob& job, VertexNode*& room, bool (*userBreak)()) {
    UnderRoofResult result;
    if (CountNodes(room) < 3) return result;
    // Room and pitch outlines turned alike, so the clip walks both one way.
    room = NormalizePolygon(1, room, nullptr);
    double volume = 0.0, wall = 0.0;
    int number = 0;
    for (const RoofPitch* pitch = job.pitches; pitch; pitch = pitch->next) {
        VertexNode* outline = NormalizePolygon(1, CopyVertexList(pitch->outline), nullptr);
        for (VertexNode* v = outline; v; v = v->next) v->z = job.level;
        ContourNode* pieces = ClipPolygon(outline, room);
        FreeList(outline);
        for (ContourNode* piece = pieces; piece; piece = piece->next) {
            for (VertexNode* v = piece->vertices; v; v = v->next) v->z = job.level;
            bool broken = false;
            FaceRecord* triangles = TriangulateUnderRoof(piece->vertices, userBreak, &broken);
            if (broken) {
                FreeListOfLists(pieces);
                result.broken = true;
                return result;
            }
            for (FaceRecord* t = triangles; t; t = t->next) {
                const VertexNode* A = t->corners;
                const VertexNode* B = A->next;
                const VertexNode* C = B->next;
                const double cx = (A->x + B->x + C->x) / 3.0, cy = (A->y + B->y + C->y) / 3.0;
                const double area =
                    0.5 * Distance2d(A->pt(), B->pt()) * Distance2d(A->pt(), C->pt()) *
                    std::fabs(std::sin(AngleBetweenLines(A->pt(), B->pt(), A->pt(), C->pt())));
                volume += (pitch->HeightAt(cx, cy) - job.level) * area;
                if (job.drawTriangles && WriteUnderRoofTriangle(job, *pitch, A, area, number + 1)) ++number;
            }
            FreeList(triangles);
            // Edges of the piece lying on a room edge are wall under the roof.
            for (const VertexNode* p = piece->vertices; p; p = p->next) {
                const VertexNode* q = NextInRing(static_cast<const VertexNode*>(piece->vertices), p);
                for (const VertexNode* r = room; r; r = r->next) {
                    const VertexNode* s = NextInRing(static_cast<const VertexNode*>(room), r);
                    if (!IsOnSegmentTol(p->pt(), r->pt(), s->pt(), SharedTolerance) ||
                        !IsOnSegmentTol(q->pt(), r->pt(), s->pt(), SharedTolerance))
                        continue;
                    const double mx = 0.5 * (p->x + q->x), my = 0.5 * (p->y + q->y);
                    wall += (pitch->HeightAt(mx, my) - job.level) * Distance2d(p->pt(), q->pt());
                    break;
                }
            }
        }
        FreeListOfLists(pieces);
    }
    const double roomArea = PolygonAreaByEars(room, userBreak);
    if (roomArea == -1.0) {
        result.broken = true;
        return result;
    }
    // A degenerate room has no mean height rather than a division by zero.
    result.height = roomArea > GeomEpsilon ? volume / roomArea : 0.0;
    result.wallSurface = wall;
    result.triangles = number;
    return result;
}

namespace {

void RegisterApp(const char* app) {
    const host::ResbufList found(zcdbTblSearch("APPID", app, 0));
    if (!found) zcdbRegApp(app);
}

// Takes the list over.
bool Make(resbuf* raw) {
    const host::ResbufList list(raw);
    return zcdbEntMake(list.get()) == RTNORM;
}

}  // namespace

bool WriteUnderRoofTriangle(const UnderRoofJob& job, const RoofPitch& pitch, const VertexNode* corners,
                            double area, int number) {
    RegisterApp(kUnderRoofTriangleApp);
    const VertexNode* v[3] = {corners, corners->next, corners->next->next};
    const double cx = (v[0]->x + v[1]->x + v[2]->x) / 3.0, cy = (v[0]->y + v[1]->y + v[2]->y) / 3.0;
    const double zc = pitch.HeightAt(cx, cy);
    ads_point local[3];
    for (int i = 0; i < 3; ++i) {
        local[i][0] = v[i]->x - cx;
        local[i][1] = v[i]->y - cy;
        local[i][2] = 0.0;  // the insert carries the floor elevation
    }
    ads_point origin{0.0, 0.0, 0.0};
    if (!Make(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 1, 2, "*U", 10, origin, 0))) return false;
    for (int i = 0; i < 3; ++i)
        Make(zcutBuildList(RTDXF0, "LINE", 8, job.lineLayer.c_str(), 10, local[i], 11, local[(i + 1) % 3], 39,
                           0.0, 62, 256, 0));
    char format[64];
    std::snprintf(format, sizeof format, "sup=%%.%df/h=%%.%df", job.decimals, job.decimals);
    char text[128];
    std::snprintf(text, sizeof text, format, area, zc - job.level);
    Make(zcutBuildList(RTDXF0, "TEXT", 8, job.textLayer.c_str(), 41, GetStyleWidthFactor("STANDARD"), 51,
                       GetStyleObliqueAngle("STANDARD"), 10, origin, 11, origin, 7, "STANDARD", 40,
                       job.textHeight, 50, 0.0, 72, 4, 1, text, 0));
    if (!Make(zcutBuildList(RTDXF0, "ENDBLK", 0))) return false;
    char blockName[260] = "";
    zcedGetInput(blockName);

    for (int i = 0; i < 3; ++i) local[i][2] = pitch.HeightAt(v[i]->x, v[i]->y);
    ads_point at{cx, cy, job.level};
    return Make(zcutBuildList(RTDXF0, "INSERT", 2, blockName, 8, job.insertLayer.c_str(), 10, at, 50, 0.0, -3,
                              1001, kUnderRoofTriangleApp, 1000, job.cardName.c_str(), 1070,
                              static_cast<short>(job.rowNumber), 1000, job.roomName.c_str(), 1070,
                              static_cast<short>(number), 1010, local[0], 1010, local[1], 1010, local[2],
                              1040, zc, 1040, area, 1040, (zc - job.level) * area, 0));
}
