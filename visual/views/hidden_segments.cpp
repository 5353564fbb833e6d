// The visibility pass of a view. A face hides the stretch of a segment
// that lies inside its outline in plan (or runs along an edge of it) where
// the segment lies behind the face's plane by the tolerance or more. Both
// are found as spans of the segment's parameter: the inside exactly, by
// the half-planes of the face's edges (a warped quadrilateral by its two
// triangles), so that a thin face hides nothing beyond its sharp corners;
// the depth by the difference of the two planes, linear along the segment.
// What the spans leave is the segment shortened, or its first visible
// piece kept and the rest tested again.
//
// A segment is tested against the faces of its bucket and of bucket 0 (all
// buckets for one of bucket 0) whose cell boxes it meets in plan and that
// do not lie wholly behind it. A plan index of the faces' cell boxes lists
// those candidates in the order a walk of the buckets would meet them, and
// the visible segments are found again by their ends in a hash of plan
// cells, so that neither search grows with the square of the view.
#include "visual/views/hidden_segments.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/geom_basic.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/segment_ops.h"
#include "visual/views/view_projection.h"

namespace {

bool Near2d(const Point3& p, const Point3& q, double t) {
    return std::fabs(p.x - q.x) <= t && std::fabs(p.y - q.y) <= t;
}

// The depth of the face's plane at a plan point; the caller has made sure
// the face is not seen edge-on.
double FaceDepth(const ViewFaceRecord& face, double x, double y) {
    return -(face.a * x + face.b * y + face.d) / face.c;
}

// A stretch of a segment by its parameter, 0 at the start, 1 at the end.
struct Span {
    double lo, hi;
};

// The most spans one face can cover: two convex parts, each its inside
// and four edges.
constexpr int kMaxCoverSpans = 10;

// A face in plan as a convex polygon, counter-clockwise.
struct PlanPolygon {
    Point3 p[4];
    int n = 0;
};

double PlanCross(const Point3& o, const Point3& a, const Point3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

PlanPolygon Oriented(std::initializer_list<Point3> corners) {
    PlanPolygon out;
    for (const Point3& c : corners) out.p[out.n++] = c;
    double area = 0.0;
    for (int i = 0; i < out.n; ++i) area += PlanCross(out.p[0], out.p[i], out.p[(i + 1) % out.n]);
    if (area < 0.0) std::reverse(out.p, out.p + out.n);
    return out;
}

// The face as convex parts in plan: itself, or the two triangles of a
// quadrilateral that projects dented (a warped face), split at its reflex
// corner, or crossed, split at its first diagonal.
int ConvexParts(const ViewFaceRecord& face, std::array<PlanPolygon, 2>& parts) {
    const Point3* c = face.corners;
    if (face.triangle) {
        parts[0] = Oriented({c[0], c[1], c[2]});
        return 1;
    }
    int positive = 0, negative = 0, lastPositive = 0, lastNegative = 0;
    for (int i = 0; i < 4; ++i) {
        // The turn at corner i + 1.
        const double turn = PlanCross(c[i], c[(i + 1) % 4], c[(i + 2) % 4]);
        if (turn > 0.0) ++positive, lastPositive = (i + 1) % 4;
        if (turn < 0.0) ++negative, lastNegative = (i + 1) % 4;
    }
    if (positive == 0 || negative == 0) {
        parts[0] = Oriented({c[0], c[1], c[2], c[3]});
        return 1;
    }
    const int r = positive == 1 ? lastPositive : negative == 1 ? lastNegative : 0;
    parts[0] = Oriented({c[r], c[(r + 1) % 4], c[(r + 2) % 4]});
    parts[1] = Oriented({c[(r + 2) % 4], c[(r + 3) % 4], c[r]});
    return 2;
}

// The stretch of the segment inside the closed convex polygon, exactly:
// clipped by each edge's half-plane in turn. None for a polygon without
// area, which covers nothing.
std::optional<Span> SpanInside(const PlanPolygon& poly, const Point3& s, const Point3& e) {
    double area = 0.0;
    for (int i = 1; i + 1 < poly.n; ++i) area += PlanCross(poly.p[0], poly.p[i], poly.p[i + 1]);
    if (!(area > 0.0)) return std::nullopt;
    Span out{0.0, 1.0};
    const double dx = e.x - s.x, dy = e.y - s.y;
    for (int i = 0; i < poly.n; ++i) {
        const Point3 &a = poly.p[i], &b = poly.p[(i + 1) % poly.n];
        const double ex = b.x - a.x, ey = b.y - a.y;
        if (ex == 0.0 && ey == 0.0) continue;
        // Left of the edge where f0 + u fd >= 0.
        const double f0 = ex * (s.y - a.y) - ey * (s.x - a.x);
        const double fd = ex * dy - ey * dx;
        if (fd == 0.0) {
            if (f0 < 0.0) return std::nullopt;
            continue;
        }
        const double u = -f0 / fd;
        if (fd > 0.0)
            out.lo = std::max(out.lo, u);
        else
            out.hi = std::min(out.hi, u);
        if (out.lo > out.hi) return std::nullopt;
    }
    return out;
}

// The stretch of the segment that runs along the edge a-b, both ends of
// the edge within t of the segment's line.
std::optional<Span> SpanAlongEdge(const Point3& a, const Point3& b, const Point3& s, const Point3& e,
                                  double t) {
    const double dx = e.x - s.x, dy = e.y - s.y;
    const double length2 = dx * dx + dy * dy;
    const double length = std::sqrt(length2);
    if (!(length > 0.0) || !(Distance2d(a, b) >= t)) return std::nullopt;
    const auto off = [&](const Point3& p) { return std::fabs(dx * (p.y - s.y) - dy * (p.x - s.x)) / length; };
    if (off(a) > t || off(b) > t) return std::nullopt;
    const double ua = ((a.x - s.x) * dx + (a.y - s.y) * dy) / length2;
    const double ub = ((b.x - s.x) * dx + (b.y - s.y) * dy) / length2;
    return Span{std::min(ua, ub), std::max(ua, ub)};
}

void Recell(ViewSegment& s, double unit) {
    const Point3 ends[2] = {s.start, s.end};
    CellRange(s.cellLow, s.cellHigh, 2, ends, unit);
}

// The segments already found visible, by the plan cell of each end.
class VisibleSegments {
public:
    explicit VisibleSegments(double t) : t_(t), size_(t > 0.0 ? 2.0 * t : 1e-9) {}

    void Add(const ViewSegment* s) {
        cells_[Key(s->start.x, s->start.y)].push_back(s);
        cells_[Key(s->end.x, s->end.y)].push_back(s);
    }

    // Whether a segment with the same plan ends (either way round) is in.
    bool Has(const ViewSegment& q) const {
        const std::int64_t cx = Cell(q.start.x), cy = Cell(q.start.y);
        for (std::int64_t x = cx - 1; x <= cx + 1; ++x)
            for (std::int64_t y = cy - 1; y <= cy + 1; ++y) {
                const auto it = cells_.find(Combine(x, y));
                if (it == cells_.end()) continue;
                for (const ViewSegment* s : it->second)
                    if ((Near2d(s->start, q.start, t_) && Near2d(s->end, q.end, t_)) ||
                        (Near2d(s->start, q.end, t_) && Near2d(s->end, q.start, t_)))
                        return true;
            }
        return false;
    }

private:
    std::int64_t Cell(double v) const {
        const double c = std::floor(v / size_);
        return static_cast<std::int64_t>(std::clamp(c, -4.0e15, 4.0e15));
    }
    static std::uint64_t Combine(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    std::uint64_t Key(double x, double y) const { return Combine(Cell(x), Cell(y)); }

    double t_;
    double size_;
    std::unordered_map<std::uint64_t, std::vector<const ViewSegment*>> cells_;
};

}  // namespace

ViewSegment* ClipSegmentByFace(CSezione& section, bool& hidden, const ViewFaceRecord& face,
                               ViewSegment& segment) {
    const double t = section.minLength;
    // A face seen edge-on covers nothing, and has no depth at a plan point.
    if (!(std::fabs(face.c) >= SharedTolerance)) return nullptr;
    const double length = Distance2d(segment.start, segment.end);
    if (!(length > 0.0)) return nullptr;

    // How far the segment lies behind the face, along it: linear in u, as
    // both are flat.
    const double behind0 = segment.start.z - FaceDepth(face, segment.start.x, segment.start.y);
    const double behind1 = segment.end.z - FaceDepth(face, segment.end.x, segment.end.y);
    if (behind0 < t && behind1 < t) return nullptr;
    Span front{0.0, 1.0};
    if (behind0 != behind1) {
        const double u = (t - behind0) / (behind1 - behind0);
        front = behind1 > behind0 ? Span{u, 1.0} : Span{0.0, u};
    }

    std::array<Span, kMaxCoverSpans> spans;
    int count = 0;
    const double step = t / length;  // t in u
    std::array<PlanPolygon, 2> parts;
    const int n = ConvexParts(face, parts);
    for (int k = 0; k < n; ++k) {
        const PlanPolygon& part = parts[static_cast<std::size_t>(k)];
        const auto keep = [&](Span s) {
            s.lo = std::max({s.lo, front.lo, 0.0});
            s.hi = std::min({s.hi, front.hi, 1.0});
            // A touch at a corner covers nothing; a segment shorter than
            // the tolerance inside the face goes whole.
            if (s.hi - s.lo < step && !(s.lo <= 0.0 && s.hi >= 1.0)) return;
            if (count < kMaxCoverSpans) spans[static_cast<std::size_t>(count++)] = s;
        };
        if (const std::optional<Span> in = SpanInside(part, segment.start, segment.end)) keep(*in);
        // Along an edge: covered (the edge's own line stands there), but
        // only where the face lies in front; the inside test alone would
        // decide that by rounding.
        for (int i = 0; i < part.n; ++i)
            if (const std::optional<Span> on =
                    SpanAlongEdge(part.p[i], part.p[(i + 1) % part.n], segment.start, segment.end, t))
                keep(*on);
    }
    if (count == 0) return nullptr;

    // What is left visible: the gaps between the covered spans, those
    // shorter than the tolerance dropped.
    std::sort(spans.begin(), spans.begin() + count, [](const Span& a, const Span& b) { return a.lo < b.lo; });
    std::array<Span, kMaxCoverSpans + 1> left;
    int visible = 0;
    double from = 0.0;
    for (int k = 0; k < count; ++k) {
        const Span& s = spans[static_cast<std::size_t>(k)];
        if (s.lo - from >= step) left[static_cast<std::size_t>(visible++)] = {from, s.lo};
        from = std::max(from, s.hi);
    }
    if (1.0 - from >= step) left[static_cast<std::size_t>(visible++)] = {from, 1.0};
    if (visible == 0) {
        hidden = true;
        return nullptr;
    }
    const Point3 start = segment.start, end = segment.end;
    const auto at = [&](double u) {
        return u <= 0.0   ? start
               : u >= 1.0 ? end
                          : Point3{start.x + u * (end.x - start.x), start.y + u * (end.y - start.y),
                                   start.z + u * (end.z - start.z)};
    };
    segment.start = at(left[0].lo);
    segment.end = at(left[0].hi);
    Recell(segment, section.unitLength);
    if (visible == 1) return nullptr;
    // The rest from the next gap on goes back to be tested again, against
    // this face too where it covers more than one span.
    auto* piece = new ViewSegment;
    piece->colour = segment.colour;
    piece->face = segment.face;
    piece->layer = segment.layer;
    piece->start = at(left[1].lo);
    piece->end = end;
    Recell(*piece, section.unitLength);
    ++section.segmentCount;
    return piece;
}

void RemoveHiddenSegments(CSezione& section) {
    // The faces in the order a walk of the buckets meets them, 0 to 9.
    struct Entry {
        const ViewFaceRecord* face;
        int bucket;
    };
    std::vector<Entry> faces;
    BoxIndex index;
    for (int k = 0; k < CSezione::kBuckets; ++k)
        for (const ViewFaceRecord* f = section.faceBuckets[k]; f; f = f->next) {
            faces.push_back({f, k});
            const double box[4] = {double(f->cellLow[0]), double(f->cellLow[1]), double(f->cellHigh[0]),
                                   double(f->cellHigh[1])};
            index.Add(box);
        }
    index.Build(0.0);

    VisibleSegments visible(section.minLength);
    for (const ViewSegment* s = section.sectionSegments; s; s = s->next) visible.Add(s);

    long long taken = 0;
    for (int bucket = 0; bucket < CSezione::kBuckets; ++bucket) {
        ViewSegment*& list = section.segmentBuckets[bucket];
        while (list) {
            ViewSegment* segment = list;
            list = segment->next;
            segment->next = nullptr;
            ++taken;
            const int position =
                section.segmentCount > 0 ? static_cast<int>(30 * taken / section.segmentCount) : 0;
            if (position != section.progressPosition) {
                section.progressPosition = position;
                zcedSetStatusBarProgressMeterPos(position + 50);
            }
            if (zcedUsrBrk()) {
                // The segment goes back; what is left of the bucket stays
                // for the section object to free.
                section.abortFlag = 1;
                segment->next = list;
                list = segment;
                break;
            }
            if (segment->colour < 0) {
                segment->next = section.sectionSegments;
                section.sectionSegments = segment;
                ++section.sectionSegmentCount;
                visible.Add(segment);
                continue;
            }

            bool hidden = false;
            const double box[4] = {double(segment->cellLow[0]), double(segment->cellLow[1]),
                                   double(segment->cellHigh[0]), double(segment->cellHigh[1])};
            for (int i : index.Query(box)) {
                const Entry& e = faces[i];
                if (bucket != 0 && e.bucket != 0 && e.bucket != bucket) continue;
                const ViewFaceRecord& f = *e.face;
                if (f.faceNumber == segment->face) continue;
                // The segment shrinks as faces cut it: its current box.
                if (segment->cellHigh[0] < f.cellLow[0] || segment->cellLow[0] > f.cellHigh[0] ||
                    segment->cellHigh[1] < f.cellLow[1] || segment->cellLow[1] > f.cellHigh[1] ||
                    segment->cellHigh[2] < f.cellLow[2])
                    continue;
                if (ViewSegment* piece = ClipSegmentByFace(section, hidden, f, *segment)) {
                    piece->next = list;
                    list = piece;
                }
                if (hidden) break;
            }
            if (hidden || visible.Has(*segment)) {
                delete segment;
                continue;
            }
            segment->next = section.sectionSegments;
            section.sectionSegments = segment;
            ++section.sectionSegmentCount;
            visible.Add(segment);
        }
    }
}
