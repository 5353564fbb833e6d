// The visibility pass of a view. After the piercing pass every segment lies
// wholly in front of or wholly behind each face it crosses in plan, so one
// depth comparison, at a point where the two overlap, tells whether a face
// covers it: a face in front hides the segment's part inside its outline,
// which is cut away at the outline's crossings (an end shortened, or the
// middle taken out and the far piece tested on its own).
//
// A segment is tested against the faces of its bucket and of bucket 0 (all
// buckets for one of bucket 0) whose cell boxes it meets in plan and that
// do not lie wholly behind it. A plan index of the faces' cell boxes lists
// those candidates in the order a walk of the buckets would meet them, and
// the visible segments are found again by their ends in a hash of plan
// cells, so that neither search grows with the square of the view.
#include "visual/views/hidden_segments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// Where the plan segments p0-p1 and q0-q1 cross, each within t of its
// ends; false for parallel ones.
bool Crossing2d(const Point3& p0, const Point3& p1, const Point3& q0, const Point3& q1, double t,
                Point3& out) {
    const double rx = p1.x - p0.x, ry = p1.y - p0.y;
    const double sx = q1.x - q0.x, sy = q1.y - q0.y;
    const double den = rx * sy - ry * sx;
    const double lr = std::sqrt(rx * rx + ry * ry), ls = std::sqrt(sx * sx + sy * sy);
    if (!(lr > 0.0) || !(ls > 0.0) || !(std::fabs(den) > GeomEpsilon * lr * ls)) return false;
    const double wx = q0.x - p0.x, wy = q0.y - p0.y;
    const double u = (wx * sy - wy * sx) / den;
    const double v = (wx * ry - wy * rx) / den;
    if (u * lr < -t || u * lr > lr + t || v * ls < -t || v * ls > ls + t) return false;
    out = {p0.x + u * rx, p0.y + u * ry, 0.0};
    return true;
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
    const auto behind = [&](const Point3& p) {
        return SegmentZAt2d(segment.start, segment.end, p.x, p.y) - FaceDepth(face, p.x, p.y) >= t;
    };

    Point3 crossings[2];
    int found = 0;
    bool startOn = false, endOn = false;
    const int n = face.cornerCount();
    for (int i = 0; i < n; ++i) {
        Point3 x;
        if (!Crossing2d(segment.start, segment.end, face.corners[i], face.corners[(i + 1) % n], t, x))
            continue;
        if (Near2d(x, segment.start, t)) {
            startOn = true;
            continue;
        }
        if (Near2d(x, segment.end, t)) {
            endOn = true;
            continue;
        }
        if (found > 0 && Near2d(x, crossings[0], t)) continue;
        if (found < 2) crossings[found++] = x;
    }
    // The crossings lie on the segment: their depth is the segment's there.
    for (int k = 0; k < found; ++k)
        crossings[k].z = SegmentZAt2d(segment.start, segment.end, crossings[k].x, crossings[k].y);

    if (found == 0 || (startOn && endOn)) {
        const Point3 mid{(segment.start.x + segment.end.x) / 2.0, (segment.start.y + segment.end.y) / 2.0,
                         0.0};
        if (!behind(mid)) return nullptr;
        if (PointInFace2d(mid, face, SharedTolerance)) hidden = true;
        return nullptr;
    }
    if (!behind(crossings[0])) return nullptr;
    if (found == 1) {
        if (PointInFace2d(segment.start, face, t))
            segment.start = crossings[0];
        else if (PointInFace2d(segment.end, face, t))
            segment.end = crossings[0];
        Recell(segment, section.unitLength);
        return nullptr;
    }
    if (!behind(crossings[1])) return nullptr;
    const bool secondNearer =
        Distance2d(segment.start, crossings[1]) < Distance2d(segment.start, crossings[0]);
    const Point3& cut = secondNearer ? crossings[1] : crossings[0];
    const Point3& resume = secondNearer ? crossings[0] : crossings[1];
    auto* piece = new ViewSegment;
    piece->colour = segment.colour;
    piece->face = segment.face;
    piece->layer = segment.layer;
    piece->start = resume;
    piece->end = segment.end;
    segment.end = cut;
    Recell(segment, section.unitLength);
    Recell(*piece, section.unitLength);
    if (Distance2d(piece->start, piece->end) < t) {
        delete piece;
        return nullptr;
    }
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
