// The hip-roof generator. See the header for the method; the comments here
// give the reasons of the rules each stage follows.
#include "roofs/hip_roof.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/statusbar.h"

namespace {

constexpr const char* kParallelPlaneMessage =
    "To jest płaszczyzna równoległa do płaszczyzny układu współrzędnych!";
constexpr const char* kCancelledMessage = "\nGenerowanie dachu zostało anulowane!";

bool Same(const Point3& p, const Point3& q) {
    return PointsEqual(p, q, true);
}

bool SameSegment(const RoofSegment& s, const Point3& p, const Point3& q) {
    return (Same(s.P, p) && Same(s.Q, q)) || (Same(s.P, q) && Same(s.Q, p));
}

bool Holds(const std::vector<RoofSegment>& list, const Point3& p, const Point3& q) {
    return std::any_of(list.begin(), list.end(), [&](const RoofSegment& s) { return SameSegment(s, p, q); });
}

ZcGePoint3d Ge(const Point3& p) {
    return ZcGePoint3d(p.x, p.y, p.z);
}

Point3 Pt(const ZcGePoint3d& p) {
    return {p.x, p.y, p.z};
}

// The bounded plan segments a-b and c-d meet (z taken as 0).
bool PlanSegmentsMeet(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const ads_point p1{a.x, a.y, 0.0}, p2{b.x, b.y, 0.0}, q1{c.x, c.y, 0.0}, q2{d.x, d.y, 0.0};
    ads_point at;
    return zcdbInters(p1, p2, q1, q2, 1, at) == RTNORM;
}

// The user break is only ever recorded: every stage tests the flag.
bool PollBreak(HipRoofWork& work) {
    if (!work.userBreak && HostUserBreak()) work.userBreak = true;
    return work.userBreak;
}

int PlaneCount(const HipRoofWork& work) {
    int n = 0;
    for (const RoofPlane* p = work.planes; p; p = p->next) ++n;
    return n;
}

// Meters are removed on every way out of a stage.
class ProgressMeter {
public:
    ProgressMeter(const char* label, int maximum) { zcedSetStatusBarProgressMeter(label, 0, maximum); }
    ~ProgressMeter() { zcedRestoreStatusBar(); }
    void Advance() { zcedSetStatusBarProgressMeterPos(++m_pos); }

private:
    int m_pos = 0;
};

// The angle test of a candidate end at one eave corner: the end must lie
// within the corner's half angle, measured from the eave.
bool OutsideCorner(double angle, double half) {
    return angle > half + GeomEpsilon || angle < 2.0 * GeomEpsilon;
}

}  // namespace

// ---------------------------------------------------------------- outline

void HipOutlineScale::Apply(std::vector<Point3>& points) const {
    for (Point3& p : points) {
        p.x = (p.x - reference.x) * factor;
        p.y = (p.y - reference.y) * factor;
        p.z = (p.z - reference.z) * factor;
    }
}

Point3 HipOutlineScale::Back(const Point3& p) const {
    return {p.x / factor + reference.x, p.y / factor + reference.y, p.z / factor + reference.z};
}

HipOutlineScale NormalizeHipOutline(std::vector<Point3>& points) {
    HipOutlineScale scale;
    if (points.empty()) return scale;
    double nearest = -1.0;
    for (const Point3& p : points) {
        const double d = std::hypot(p.x, p.y);
        if (nearest < 0.0 || d < nearest) {
            nearest = d;
            scale.reference = p;
        }
    }
    double span = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j)
            span = std::max(span, Distance2d(points[i], points[j]));
    scale.factor = span > 0.0 ? 10.0 / span : 1.0;
    scale.Apply(points);
    return scale;
}

// ---------------------------------------------------------------- planes

HipRoofWork::~HipRoofWork() {
    FreeHipRoofWork(*this);
}

void FreeHipRoofWork(HipRoofWork& work) {
    while (RoofPlane* p = work.planes) {
        work.planes = p->next;
        delete p;
    }
}

int BuildRoofPlanes(HipRoofWork& work, const Point3* points, int count) {
    FreeHipRoofWork(work);
    const double pi = std::numbers::pi;
    for (int i = 0; i < count; ++i) {
        const int j = (i + 1) % count, k = (i + count - 1) % count, jj = (j + 1) % count;
        auto plane = std::make_unique<RoofPlane>();
        plane->A = points[i];
        plane->B = points[j];
        plane->traceB = plane->B;
        plane->halfStart =
            std::max(AngleBetweenLines(plane->A, plane->B, plane->A, points[k]) / 2.0, pi / 3.0);
        plane->halfEnd =
            std::max(AngleBetweenLines(plane->B, points[jj], plane->B, plane->A) / 2.0, pi / 3.0);
        // The plane rises to the left of the eave's direction.
        const Point3& A = plane->A;
        const double L = Distance2d(A, plane->B);
        Point3 third = PolarPoint(A, std::atan2(plane->B.y - A.y, plane->B.x - A.x) + pi / 2.0, L);
        third.z = A.z + work.slope / 100.0 * L;
        const double ux = plane->B.x - A.x, uy = plane->B.y - A.y, uz = plane->B.z - A.z;
        const double vx = third.x - A.x, vy = third.y - A.y, vz = third.z - A.z;
        const double a = uy * vz - uz * vy, b = uz * vx - ux * vz, c = ux * vy - uy * vx;
        const double d = -(a * A.x + b * A.y + c * A.z);
        if (std::fabs(c) < SharedTolerance ||
            (std::fabs(a) < SharedTolerance && std::fabs(b) < SharedTolerance)) {
            zcutPrintf("\n%s", kParallelPlaneMessage);
            return 0;
        }
        plane->plane.set(a, b, c, d);
        plane->next = work.planes;
        work.planes = plane.release();
    }
    return 1;
}

void IntersectRoofPlanes(HipRoofWork& work) {
    for (RoofPlane* p = work.planes; p; p = p->next) {
        for (RoofPlane* q = p->next; q; q = q->next) {
            ZcGeLine3d line;
            if (!p->plane.intersectWith(q->plane, line)) continue;
            p->lines.push_back(line);
            q->lines.push_back(line);
        }
    }
}

void SeedRoofPolygons(HipRoofWork& work) {
    for (RoofPlane* p = work.planes; p; p = p->next) p->polygon = {p->A, p->traceB};
}

// ---------------------------------------------------------------- candidates

int CheckRoofSegment(HipRoofWork& work, const RoofPlane& plane, const std::vector<RoofSegment>& taken,
                     const Point3& S, const Point3& T) {
    const Point3& A = plane.A;
    const Point3& B = plane.B;
    if (S.z < A.z - GeomEpsilon || T.z < A.z - GeomEpsilon) return 1;
    if (PollBreak(work)) return 2;
    if (Same(S, T)) return 3;
    const Point3 ends[2] = {{S.x, S.y, A.z}, {T.x, T.y, A.z}};
    for (int e = 0; e < 2; ++e) {
        const Point3& X = ends[e];
        if (Same(X, A) || Same(X, B)) continue;
        if (OutsideCorner(AngleBetweenLines(A, B, A, X), plane.halfStart)) return 4 + 2 * e;
        if (OutsideCorner(AngleBetweenLines(B, X, B, A), plane.halfEnd)) return 5 + 2 * e;
    }
    for (const RoofSegment& s : taken) {
        if (Same(s.P, S) && Same(s.Q, T)) return 8;
        if (Same(s.P, T) && Same(s.Q, S)) return 9;
    }
    const bool atA = Same(S, A) || Same(T, A);
    const bool atB = Same(S, B) || Same(T, B);
    for (const RoofPlane* other = work.planes; other; other = other->next) {
        if (other == &plane) continue;
        // The neighbour sharing the corner the candidate starts from.
        if (atA && Same(other->B, A)) continue;
        if (atB && Same(other->A, B)) continue;
        if (PlanSegmentsMeet(S, T, other->A, other->B)) return 10;
    }
    return 0;
}

void ComputeHipRoofSegments(HipRoofWork& work) {
    ProgressMeter meter("Obliczenia segmentów.", PlaneCount(work) + 1);
    for (RoofPlane* P = work.planes; P; P = P->next) {
        if (PollBreak(work)) return;
        const ZcGeLine3d eave(Ge(P->A), Ge(P->B));
        const std::size_t n = P->lines.size();
        // Every pair of lines is met once; the triples reuse the points.
        std::vector<char> meets(n * n, 0);
        std::vector<Point3> at(n * n);
        std::vector<char> onEave(n, 0);
        std::vector<Point3> eavePoint(n);
        for (std::size_t i = 0; i < n; ++i) {
            ZcGePoint3d x;
            if (P->lines[i].intersectWith(eave, x)) {
                onEave[i] = 1;
                eavePoint[i] = Pt(x);
            }
            for (std::size_t j = i + 1; j < n; ++j) {
                if (!P->lines[i].intersectWith(P->lines[j], x)) continue;
                meets[i * n + j] = meets[j * n + i] = 1;
                at[i * n + j] = at[j * n + i] = Pt(x);
            }
        }
        std::vector<RoofSegment> found;
        auto propose = [&](const Point3& S, const Point3& T) {
            if (CheckRoofSegment(work, *P, found, S, T) == 0) found.insert(found.begin(), RoofSegment{S, T});
        };
        for (std::size_t i = 0; i < n && !work.userBreak; ++i) {
            for (std::size_t j = 0; j < n && !work.userBreak; ++j) {
                if (i == j || !meets[i * n + j]) continue;
                const Point3 S = at[i * n + j];
                if (onEave[i]) propose(S, eavePoint[i]);
                for (std::size_t k = 0; k < n; ++k)
                    if (k != i && k != j && meets[i * n + k]) propose(S, at[i * n + k]);
            }
        }
        if (work.userBreak) return;
        P->segments = std::move(found);
        meter.Advance();
    }
}

// ---------------------------------------------------------------- filter and join

int CountDanglingEnds(const RoofPlane& plane, const RoofSegment& s) {
    int dangling = 0;
    const Point3 ends[2][2] = {{s.P, s.Q}, {s.Q, s.P}};
    for (const auto& end : ends) {
        const Point3& X = end[0];
        const Point3& far = end[1];
        if (std::fabs(X.z - plane.A.z) <= GeomEpsilon) continue;
        bool held = false;
        for (const RoofSegment& t : plane.segments) {
            if (&t == &s || held) continue;
            const Point3* other = Same(t.P, X) ? &t.Q : (Same(t.Q, X) ? &t.P : nullptr);
            if (!other) continue;
            const double angle = AngleBetweenLines(X, far, X, *other);
            held = std::min(angle, 2.0 * std::numbers::pi - angle) > GeomEpsilon;
        }
        if (!held) ++dangling;
    }
    return dangling;
}

bool IsSegmentUnique(const HipRoofWork& work, const RoofPlane& plane, const RoofSegment& s) {
    for (const RoofPlane* other = work.planes; other; other = other->next)
        if (other != &plane && Holds(other->segments, s.P, s.Q)) return false;
    return true;
}

void FilterHipRoofSegments(HipRoofWork& work) {
    ProgressMeter meter("Filtrowanie segmentów.", PlaneCount(work) + 1);
    for (RoofPlane* P = work.planes; P; P = P->next) {
        // A segment that fails keeps failing as others go (an end loses
        // support, the other pitches do not change meanwhile), so removing
        // every failing one per sweep until none fails gives the same
        // segments as removing one and scanning again from the head.
        for (bool removed = true; removed;) {
            std::vector<char> fails(P->segments.size(), 0);
            removed = false;
            for (std::size_t i = 0; i < P->segments.size(); ++i) {
                const RoofSegment& s = P->segments[i];
                fails[i] = CountDanglingEnds(*P, s) != 0 || IsSegmentUnique(work, *P, s);
                removed = removed || fails[i];
            }
            if (!removed) break;
            std::vector<RoofSegment> kept;
            for (std::size_t i = 0; i < P->segments.size(); ++i)
                if (!fails[i]) kept.push_back(P->segments[i]);
            P->segments = std::move(kept);
        }
        meter.Advance();
    }
}

void JoinRoofSegments(RoofPlane& plane) {
    auto straight = [](const Point3& X, const Point3& a, const Point3& b) {
        return std::fabs(AngleBetweenLines(X, a, X, b) - std::numbers::pi) <= SharedTolerance;
    };
    bool again = true;
    while (again) {
        again = false;
        std::vector<RoofSegment>& list = plane.segments;
        for (std::size_t i = 0; i < list.size() && !again; ++i) {
            for (std::size_t j = i + 1; j < list.size() && !again; ++j) {
                const RoofSegment s = list[i], t = list[j];
                // Shared end, far end of s, far end of t: P-P, Q-P, P-Q, Q-Q.
                const Point3* cases[4][3] = {
                    {&s.P, &s.Q, &t.Q}, {&s.Q, &s.P, &t.Q}, {&s.P, &s.Q, &t.P}, {&s.Q, &s.P, &t.P}};
                const Point3* shared[4] = {&t.P, &t.P, &t.Q, &t.Q};
                for (int c = 0; c < 4 && !again; ++c) {
                    if (!Same(*cases[c][0], *shared[c])) continue;
                    if (!straight(*cases[c][0], *cases[c][1], *cases[c][2])) continue;
                    if (Holds(list, *cases[c][1], *cases[c][2])) continue;
                    list.insert(list.begin(), RoofSegment{*cases[c][1], *cases[c][2]});
                    again = true;
                }
            }
        }
    }
}

// ---------------------------------------------------------------- trace

namespace {

bool CrossesAnyPolygon(const HipRoofWork& work, const Point3& from, const Point3& to) {
    for (const RoofPlane* p = work.planes; p; p = p->next) {
        for (std::size_t i = 0; i + 1 < p->polygon.size(); ++i) {
            const Point3& a = p->polygon[i];
            const Point3& b = p->polygon[i + 1];
            if (Same(from, a) || Same(from, b) || Same(to, a) || Same(to, b)) continue;
            if (PlanSegmentsMeet(from, to, a, b)) return true;
        }
    }
    return false;
}

RoofPlane* NextUnmerged(RoofPlane* p) {
    while (p && p->merged) p = p->next;
    return p;
}

}  // namespace

int TracePlanePolygon(HipRoofWork& work, Point3 previous, Point3 current, RoofPlane& plane,
                      const RoofSegment* excluded) {
    if (PollBreak(work)) return 0;
    if (Same(current, plane.A)) {
        RoofPlane* next = NextUnmerged(plane.next);
        if (!next) return 1;
        const Point3 from = next->polygon[next->polygon.size() - 2];
        const Point3 at = next->polygon.back();
        return TracePlanePolygon(work, from, at, *next, nullptr);
    }
    struct Candidate {
        RoofSegment segment;
        Point3 other;
        bool struck = false;
    };
    std::vector<Candidate> gathered;
    for (const RoofSegment& s : plane.segments) {
        if (excluded && SameSegment(s, excluded->P, excluded->Q)) continue;
        const Point3* other = Same(s.P, current) ? &s.Q : (Same(s.Q, current) ? &s.P : nullptr);
        if (!other) continue;
        if (static_cast<int>(gathered.size()) == kMaxSegmentsAtPoint) {
            zcutPrintf("\n%s", "Zbyt duża liczba segmentów!");
            return 0;
        }
        gathered.push_back({s, *other});
    }
    for (;;) {
        // The candidate whose other end lies nearest to the eave start.
        Candidate* pick = nullptr;
        double nearest = 0.0;
        for (Candidate& c : gathered) {
            if (c.struck) continue;
            const double d = Distance2d(c.other, plane.A);
            if (!pick || d < nearest) {
                pick = &c;
                nearest = d;
            }
        }
        if (!pick) return 0;
        pick->struck = true;
        const Point3 other = pick->other;
        bool visited = false;
        for (std::size_t i = 1; i < plane.polygon.size(); ++i)
            visited = visited || Same(plane.polygon[i], other);
        if (visited || ArePointsCollinear(previous, current, other, SharedTolerance) ||
            CrossesAnyPolygon(work, current, other))
            continue;
        plane.polygon.push_back(other);
        const RoofSegment taken = pick->segment;
        if (TracePlanePolygon(work, current, other, plane, &taken) == 1) return 1;
        plane.polygon.pop_back();
        if (work.userBreak) return 0;
    }
}

// ---------------------------------------------------------------- merged fit

namespace {

int TraceWholeRoof(HipRoofWork& work) {
    SeedRoofPolygons(work);
    RoofPlane* first = NextUnmerged(work.planes);
    if (!first) return 0;
    return TracePlanePolygon(work, first->polygon[0], first->polygon[1], *first, nullptr);
}

bool EavesCollinear(const RoofPlane& p, const RoofPlane& q) {
    return ArePointsCollinear4(p.A, p.B, q.A, q.B, SharedTolerance);
}

// Hangs the pitch's segments (those the first member lacks) on the first
// member, headed by the merged eave, and marks the pitch merged.
void MergeInto(RoofPlane& first, RoofPlane& member) {
    std::vector<RoofSegment> chain{{first.A, member.B}};
    for (const RoofSegment& s : member.segments)
        if (!Holds(first.segments, s.P, s.Q) && !Holds(chain, s.P, s.Q)) chain.push_back(s);
    first.segments.insert(first.segments.end(), chain.begin(), chain.end());
    member.merged = 1;
    first.traceB = member.B;
    JoinRoofSegments(first);
}

}  // namespace

int SolveHipRoofFit(HipRoofWork& work) {
    std::vector<std::vector<RoofPlane*>> groups;
    for (RoofPlane* p = work.planes; p; p = p->next) {
        bool grouped = false;
        for (const auto& g : groups) grouped = grouped || EavesCollinear(*p, *g.front());
        if (grouped) continue;
        if (static_cast<int>(groups.size()) == kMaxRoofGroups) return 0;
        std::vector<RoofPlane*> found;
        for (RoofPlane* q = p->next; q; q = q->next) {
            if (!EavesCollinear(*p, *q)) continue;
            if (static_cast<int>(found.size()) == kMaxGroupMembers - 1) return 0;
            found.push_back(q);
        }
        if (found.empty()) continue;
        std::vector<RoofPlane*> group(found.rbegin(), found.rend());
        group.push_back(p);
        groups.push_back(std::move(group));
    }

    ProgressMeter meter("Rozwiązywanie dopasowania.", 10);
    for (const auto& group : groups) {
        if (PollBreak(work)) return 0;
        RoofPlane& first = *group[0];
        const std::vector<RoofSegment> kept = first.segments;
        auto undo = [&] {
            first.segments = kept;
            first.traceB = first.B;
            for (std::size_t m = 1; m < group.size(); ++m) group[m]->merged = 0;
            SeedRoofPolygons(work);
        };
        MergeInto(first, *group[1]);
        const int merged2 = TraceWholeRoof(work);
        meter.Advance();
        if (merged2 == 1) return 1;
        if (group.size() > 2) {
            MergeInto(first, *group[2]);
            const int merged3 = TraceWholeRoof(work);
            meter.Advance();
            if (merged3 == 1) return 1;
        }
        undo();
    }
    return 0;
}

// ---------------------------------------------------------------- the run

std::vector<std::vector<Point3>> GenerateHipRoof(const std::vector<Point3>& outline, double slopePercent,
                                                 bool& broken) {
    broken = false;
    // A vertex in the middle of a straight side would give two pitches in
    // one plane, which meet nowhere: the side is taken whole.
    std::vector<Point3> points;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Point3& prev = outline[(i + outline.size() - 1) % outline.size()];
        const Point3& next = outline[(i + 1) % outline.size()];
        if (ArePointsCollinear(prev, outline[i], next, SharedTolerance) &&
            IsPointOnSegment(outline[i], prev, next))
            continue;
        points.push_back(outline[i]);
    }
    if (points.size() < 3) points = outline;
    const HipOutlineScale scale = NormalizeHipOutline(points);
    HipRoofWork work;
    work.slope = slopePercent;
    if (!BuildRoofPlanes(work, points.data(), static_cast<int>(points.size()))) return {};
    IntersectRoofPlanes(work);
    SeedRoofPolygons(work);
    ComputeHipRoofSegments(work);
    if (work.userBreak) {
        broken = true;
        zcutPrintf("%s", kCancelledMessage);
        return {};
    }
    FilterHipRoofSegments(work);
    for (const RoofPlane* p = work.planes; p; p = p->next) {
        if (p->segments.empty()) {
            zcutPrintf("\n%s", "Nie można utworzyć dachu! Zbyt dużo segmentów zostało usuniętych.");
            return {};
        }
    }
    for (RoofPlane* p = work.planes; p; p = p->next) JoinRoofSegments(*p);
    const bool fitted = TraceWholeRoof(work) == 1 || (!work.userBreak && SolveHipRoofFit(work) == 1);
    if (work.userBreak) {
        broken = true;
        zcutPrintf("%s", kCancelledMessage);
        return {};
    }
    if (!fitted) {
        zcutPrintf("\n%s", "Nie można utworzyć dachu! Zbyt dużo dopasowań.");
        return {};
    }
    std::vector<std::vector<Point3>> loops;
    for (const RoofPlane* p = work.planes; p; p = p->next) {
        if (p->merged) continue;
        std::vector<Point3> loop;
        // The traced vertices without the closing A, then the eave.
        for (std::size_t i = 2; i + 1 < p->polygon.size(); ++i) loop.push_back(scale.Back(p->polygon[i]));
        loop.push_back(scale.Back(p->A));
        loop.push_back(scale.Back(p->traceB));
        loops.push_back(std::move(loop));
    }
    return loops;
}
