// Projection of a view's faces into face records and view segments, and the
// piercing pass that splits every segment where it passes through a face.
//
// Each face is laid down as triangles (a quadrilateral split along a
// diagonal inside it). Every shown edge of a triangle becomes a segment,
// an edge made by the cut carrying the colour -256; a segment already there
// with the same plan ends is merged, the nearer or the cut one kept. Each
// triangle not seen edge-on becomes a face record that may hide what lies
// behind it. With the intersection flag, where a face passes through an
// earlier one the line they share is drawn too.
//
// The piercing pass makes every piece of a segment lie wholly on one side
// of every face it crosses, so that the visibility pass can judge a piece
// by one point. Faces and segments are screened by their bucket and their
// cell boxes; within a bucket a plan grid of the segments' cell boxes
// finds the candidates, in the order a walk of the bucket would.
#include "visual/views/view_projection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/geometry/matrix4.h"
#include "core/name_list.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "host/ge/gelinear.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/segment_ops.h"

namespace {

// A cell index from a coordinate, kept inside the 32-bit range so that a
// far point or a zero cell size cannot overflow it.
std::int32_t CellIndex(double v) {
    constexpr double kLimit = 2.0e9;
    if (!(v == v)) return 0;
    return static_cast<std::int32_t>(std::clamp(v, -kLimit, kLimit));
}

// The column or row of a coordinate: 0, 1 or 2, or -1 on a dividing line.
int Band(double v, double first, double second) {
    if (v < first) return 0;
    if (v > first && v < second) return 1;
    if (v > second) return 2;
    return -1;
}

bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool CellsOverlap(const std::int32_t aLow[3], const std::int32_t aHigh[3], const std::int32_t bLow[3],
                  const std::int32_t bHigh[3]) {
    for (int axis = 0; axis < 3; ++axis)
        if (aHigh[axis] < bLow[axis] || bHigh[axis] < aLow[axis]) return false;
    return true;
}

double Length2d(const Point3& p, const Point3& q) {
    return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y));
}

double Cross2d(const Point3& o, const Point3& a, const Point3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The plan distance of p from the segment a-b.
double DistanceToSegment2d(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double u = 0.0;
    if (length2 > 0.0) u = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
    const double ex = p.x - (a.x + u * dx), ey = p.y - (a.y + u * dy);
    return std::sqrt(ex * ex + ey * ey);
}

double Distance3(const Point3& p, const Point3& q) {
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
}

// Where the line through p along dir crosses the edge a-b of a face whose
// plane holds the line: the point, when it lies on the edge within tol.
bool LineMeetsEdge(const Point3& p, const Point3& dir, const Point3& a, const Point3& b, double tol,
                   Point3& out) {
    const double ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
    const double wx = p.x - a.x, wy = p.y - a.y, wz = p.z - a.z;
    const double dd = dir.x * dir.x + dir.y * dir.y + dir.z * dir.z;
    const double ee = ex * ex + ey * ey + ez * ez;
    const double de = dir.x * ex + dir.y * ey + dir.z * ez;
    const double den = dd * ee - de * de;
    if (!(dd > 0.0) || !(ee > 0.0) || den <= 1e-12 * dd * ee) return false;
    const double dw = dir.x * wx + dir.y * wy + dir.z * wz;
    const double ew = ex * wx + ey * wy + ez * wz;
    const double s = (de * ew - ee * dw) / den;
    const double u = (dd * ew - de * dw) / den;
    const double length = std::sqrt(ee);
    if (u * length < -tol || u * length > length + tol) return false;
    const Point3 onLine{p.x + s * dir.x, p.y + s * dir.y, p.z + s * dir.z};
    const double uc = std::clamp(u, 0.0, 1.0);
    out = {a.x + uc * ex, a.y + uc * ey, a.z + uc * ez};
    return Distance3(onLine, out) <= tol;
}

// The chord the line cuts from a face record: its two distinct points and
// how many of them are corners. False unless there are exactly two.
bool Chord(const ViewFaceRecord& face, const Point3& p, const Point3& dir, double tol, Point3 out[2],
           int& corners) {
    const int n = face.cornerCount();
    int found = 0;
    for (int i = 0; i < n; ++i) {
        Point3 x;
        if (!LineMeetsEdge(p, dir, face.corners[i], face.corners[(i + 1) % n], tol, x)) continue;
        bool known = false;
        for (int k = 0; k < found; ++k) known = known || Distance3(out[k], x) <= tol;
        if (known) continue;
        if (found == 2) return false;
        out[found++] = x;
    }
    if (found != 2) return false;
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < n; ++i)
            if (Distance3(out[k], face.corners[i]) <= tol) {
                ++corners;
                break;
            }
    return true;
}

}  // namespace

int RegionOfPoints(const Point3* points, int count, const double boxMin[3], const double boxMax[3]) {
    const double x1 = boxMin[0] + 0.37 * (boxMax[0] - boxMin[0]);
    const double x2 = boxMin[0] + 0.62 * (boxMax[0] - boxMin[0]);
    const double y1 = boxMin[1] + 0.37 * (boxMax[1] - boxMin[1]);
    const double y2 = boxMin[1] + 0.62 * (boxMax[1] - boxMin[1]);
    int shared = 0;
    for (int k = 0; k < count; ++k) {
        const int column = Band(points[k].x, x1, x2), row = Band(points[k].y, y1, y2);
        if (column < 0 || row < 0) return 0;
        const int region = 3 * row + column + 1;
        if (k > 0 && region != shared) return 0;
        shared = region;
    }
    return shared;
}

void CellRange(std::int32_t low[3], std::int32_t high[3], int count, const Point3* points, double cellSize) {
    double lo[3] = {points[0].x, points[0].y, points[0].z};
    double hi[3] = {lo[0], lo[1], lo[2]};
    for (int k = 1; k < count; ++k) {
        const double v[3] = {points[k].x, points[k].y, points[k].z};
        for (int axis = 0; axis < 3; ++axis) {
            lo[axis] = std::min(lo[axis], v[axis]);
            hi[axis] = std::max(hi[axis], v[axis]);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        // Without a cell size every record shares the one cell 0: nothing is
        // screened out, nothing is lost.
        low[axis] = cellSize > 0.0 ? CellIndex(std::floor(lo[axis] / cellSize)) : 0;
        high[axis] = cellSize > 0.0 ? CellIndex(std::ceil(hi[axis] / cellSize)) : 0;
    }
}

bool PointInTriangle2d(const Point3& p, const Point3& a, const Point3& b, const Point3& c, double tolerance) {
    const double area2 = Cross2d(a, b, c);
    const double ab = Length2d(a, b), bc = Length2d(b, c), ca = Length2d(c, a);
    const double scale = std::max({ab, bc, ca});
    // A triangle without area in plan is its edges.
    if (!(std::fabs(area2) > GeomEpsilon * scale * scale))
        return DistanceToSegment2d(p, a, b) <= tolerance || DistanceToSegment2d(p, b, c) <= tolerance ||
               DistanceToSegment2d(p, c, a) <= tolerance;
    // Inside every edge's line, or outside by no more than the tolerance
    // (the cross product is the distance times the edge's length).
    const double sign = area2 > 0.0 ? 1.0 : -1.0;
    return sign * Cross2d(a, b, p) >= -tolerance * ab && sign * Cross2d(b, c, p) >= -tolerance * bc &&
           sign * Cross2d(c, a, p) >= -tolerance * ca;
}

bool PointInFace2d(const Point3& p, const ViewFaceRecord& face, double tolerance) {
    const Point3* c = face.corners;
    if (PointInTriangle2d(p, c[0], c[1], c[2], tolerance)) return true;
    return !face.triangle && PointInTriangle2d(p, c[2], c[3], c[0], tolerance);
}

// The segments of each bucket by the plan cell of their start, for the
// search of a segment with the same ends: what a walk of the bucket finds,
// without the walk. Of several matches the newest (nearest the list's head)
// is the one the walk would meet first. Only ends move while it is kept, so
// filing by the start stays true; a bucket whose head is not the one it
// last saw was changed by someone else and is filed again.
struct SegmentEndIndex {
    struct Entry {
        long long order;
        ViewSegment* segment;
    };

    explicit SegmentEndIndex(double tolerance)
        : t(tolerance), size(tolerance > 0.0 ? 2.0 * tolerance : 1e-9) {}

    void Sync(int bucket, ViewSegment* list) {
        if (heads[bucket] == list) return;
        cells[bucket].clear();
        long long count = 0;
        for (const ViewSegment* s = list; s; s = s->next) ++count;
        long long order = next + count;
        for (ViewSegment* s = list; s; s = s->next) cells[bucket][Key(s->start)].push_back({order--, s});
        next += count;
        heads[bucket] = list;
    }

    void Add(int bucket, ViewSegment* s) {
        cells[bucket][Key(s->start)].push_back({++next, s});
        heads[bucket] = s;
    }

    ViewSegment* Find(int bucket, const ViewSegment& query) const {
        const Entry* best = nullptr;
        for (const Point3& p : {query.start, query.end}) {
            const std::int64_t cx = Cell(p.x), cy = Cell(p.y);
            for (std::int64_t x = cx - 1; x <= cx + 1; ++x)
                for (std::int64_t y = cy - 1; y <= cy + 1; ++y) {
                    const auto it = cells[bucket].find(Combine(x, y));
                    if (it == cells[bucket].end()) continue;
                    for (const Entry& e : it->second)
                        if ((!best || e.order > best->order) &&
                            IsDuplicateSegment(query, *e.segment, t, true))
                            best = &e;
                }
        }
        return best ? best->segment : nullptr;
    }

    std::int64_t Cell(double v) const {
        return static_cast<std::int64_t>(std::clamp(std::floor(v / size), -4.0e15, 4.0e15));
    }
    static std::uint64_t Combine(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    std::uint64_t Key(const Point3& p) const { return Combine(Cell(p.x), Cell(p.y)); }

    double t;
    double size;
    std::unordered_map<std::uint64_t, std::vector<Entry>> cells[CSezione::kBuckets];
    ViewSegment* heads[CSezione::kBuckets] = {};
    long long next = 0;
};

// The face records of each bucket filed by their plan cells in coarse
// squares, so that the intersection search of a new face meets only the
// records near it instead of walking whole buckets. A query gives the
// records whose squares it touches, newest first as the walk would meet
// them; the caller still applies its own cell test. Records spanning many
// squares are kept apart and always given. A bucket whose head is not the
// one it last saw was changed by someone else and is filed again.
struct FaceRecordIndex {
    struct Entry {
        long long order;
        const ViewFaceRecord* record;
    };
    static constexpr std::int64_t kSquare = 8;  // cells per square side
    static constexpr std::int64_t kWide = 16;   // squares per side beyond which a record is wide

    void Sync(int bucket, const ViewFaceRecord* list) {
        if (heads[bucket] == list) return;
        squares[bucket].clear();
        wide[bucket].clear();
        long long count = 0;
        for (const ViewFaceRecord* r = list; r; r = r->next) ++count;
        long long order = next + count;
        for (const ViewFaceRecord* r = list; r; r = r->next) File(bucket, r, order--);
        next += count;
        heads[bucket] = list;
    }

    void Add(int bucket, const ViewFaceRecord* r) {
        File(bucket, r, ++next);
        heads[bucket] = r;
    }

    const std::vector<Entry>& Query(int bucket, const ViewFaceRecord& r) {
        found.clear();
        std::int64_t lo[2], hi[2];
        Range(r, lo, hi);
        if (hi[0] - lo[0] >= kWide || hi[1] - lo[1] >= kWide) {
            // A wide query walks the squares filed rather than its own.
            for (const auto& [key, entries] : squares[bucket])
                for (const Entry& e : entries) found.push_back(e);
        } else {
            for (std::int64_t x = lo[0]; x <= hi[0]; ++x)
                for (std::int64_t y = lo[1]; y <= hi[1]; ++y) {
                    const auto it = squares[bucket].find(Combine(x, y));
                    if (it == squares[bucket].end()) continue;
                    for (const Entry& e : it->second) found.push_back(e);
                }
        }
        for (const Entry& e : wide[bucket]) found.push_back(e);
        std::sort(found.begin(), found.end(),
                  [](const Entry& a, const Entry& b) { return a.order > b.order; });
        found.erase(std::unique(found.begin(), found.end(),
                                [](const Entry& a, const Entry& b) { return a.order == b.order; }),
                    found.end());
        return found;
    }

    static void Range(const ViewFaceRecord& r, std::int64_t lo[2], std::int64_t hi[2]) {
        for (int a = 0; a < 2; ++a) {
            lo[a] = FloorDiv(r.cellLow[a]);
            hi[a] = FloorDiv(r.cellHigh[a]);
        }
    }
    static std::int64_t FloorDiv(std::int64_t v) {
        return v >= 0 ? v / kSquare : -((-v + kSquare - 1) / kSquare);
    }
    static std::uint64_t Combine(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    void File(int bucket, const ViewFaceRecord* r, long long order) {
        std::int64_t lo[2], hi[2];
        Range(*r, lo, hi);
        if (hi[0] - lo[0] >= kWide || hi[1] - lo[1] >= kWide) {
            wide[bucket].push_back({order, r});
            return;
        }
        for (std::int64_t x = lo[0]; x <= hi[0]; ++x)
            for (std::int64_t y = lo[1]; y <= hi[1]; ++y)
                squares[bucket][Combine(x, y)].push_back({order, r});
    }

    std::unordered_map<std::uint64_t, std::vector<Entry>> squares[CSezione::kBuckets];
    std::vector<Entry> wide[CSezione::kBuckets];
    const ViewFaceRecord* heads[CSezione::kBuckets] = {};
    std::vector<Entry> found;
    long long next = 0;
};

namespace {

void DeleteSegmentEnds(SegmentEndIndex* index) {
    delete index;
}

void DeleteFaceIndex(FaceRecordIndex* index) {
    delete index;
}

}  // namespace

void CSezione::AddSegment(Point3 start, Point3 end, int colour, int faceNumber, int bucket, int layerValue) {
    VELM_ASSERT(bucket >= 0 && bucket < kBuckets);
    // A point that a degenerate division made unusable is no line.
    if (!Finite(start) || !Finite(end)) return;
    if (Distance2d(start, end) < minLength) return;
    auto* segment = new ViewSegment;
    segment->start = start;
    segment->end = end;
    segment->colour = colour;
    segment->face = faceNumber;
    segment->layer = layerValue;
    const Point3 ends[2] = {start, end};
    CellRange(segment->cellLow, segment->cellHigh, 2, ends, unitLength);
    if (!segmentEnds || segmentEnds->t != minLength)
        segmentEnds = {new SegmentEndIndex(minLength), &DeleteSegmentEnds};
    segmentEnds->Sync(bucket, segmentBuckets[bucket]);
    if (ViewSegment* kept = segmentEnds->Find(bucket, *segment)) {
        MergeDuplicateSegment(*segment, *kept, minLength);
        delete segment;
        return;
    }
    segment->next = segmentBuckets[bucket];
    segmentBuckets[bucket] = segment;
    ++segmentCount;
    segmentEnds->Add(bucket, segment);
}

void CSezione::ProjectFace(SectionFace* face) {
    ++faceCount;
    std::string layer = face->layer;
    ParseLevel3DLayer(layer);
    const int layerValue = GetNameValue(layer, layerNames);
    const int position = (faceCount / 500) % 100;
    if (position != progressPosition) {
        progressPosition = position;
        zcedSetStatusBarProgressMeterPos(position);
    }

    Point3 triangles[8];
    int words[8];
    int count = 1;
    if (face->triangle) {
        for (int k = 0; k < 4; ++k) {
            triangles[k] = face->corners[std::min(k, 2)];
            words[k] = face->edgeWords[k];
        }
    } else {
        count = SplitQuadIntoTriangles(false, face->corners, face->edgeWords, triangles, words);
    }

    ZcGeTol parallel;
    parallel.setEqualPoint(minLength);
    parallel.setEqualVector(0.001);
    for (int t = 0; t < count; ++t) {
        const Point3* c = triangles + 4 * t;
        const int* w = words + 4 * t;
        const int bucket = RegionOfPoints(c, 3, boxMin, boxMax);
        for (int i = 0; i < 3; ++i) {
            if (w[i] < 0)
                AddSegment(c[i], c[(i + 1) % 3], -256, faceCount, bucket, layerValue);
            else if (w[i] > 0)
                AddSegment(c[i], c[(i + 1) % 3], face->colour, faceCount, bucket, layerValue);
        }
        // Seen edge-on a face hides nothing, and its depth at a plan point
        // would divide by c.
        if (!(std::fabs(face->c) >= SharedTolerance)) continue;

        auto* record = new ViewFaceRecord;
        record->plane = face->plane;
        record->triangle = 1;
        for (int k = 0; k < 4; ++k) record->corners[k] = c[std::min(k, 2)];
        record->a = face->a;
        record->b = face->b;
        record->c = face->c;
        record->d = face->d;
        CellRange(record->cellLow, record->cellHigh, 3, c, unitLength);
        record->faceNumber = faceCount;

        if (intersectionFlag & 1) {
            if (!faceIndex) faceIndex = {new FaceRecordIndex, &DeleteFaceIndex};
            for (int k = 0; k < kBuckets; ++k) {
                if (!(k == bucket || bucket == 0 || k == 0)) continue;
                faceIndex->Sync(k, faceBuckets[k]);
                for (const FaceRecordIndex::Entry& entry : faceIndex->Query(k, *record)) {
                    const ViewFaceRecord* other = entry.record;
                    if (!CellsOverlap(record->cellLow, record->cellHigh, other->cellLow, other->cellHigh))
                        continue;
                    if (record->plane.isParallelTo(other->plane, parallel)) continue;
                    ZcGeLine3d line;
                    if (!record->plane.intersectWith(other->plane, line, parallel)) continue;
                    const ZcGePoint3d base = line.pointOnLine();
                    const ZcGeVector3d along = line.direction();
                    const Point3 p{base.x, base.y, base.z}, dir{along.x, along.y, along.z};
                    Point3 mine[2], theirs[2];
                    int corners = 0;
                    if (!Chord(*record, p, dir, minLength, mine, corners) ||
                        !Chord(*other, p, dir, minLength, theirs, corners) || corners >= 2)
                        continue;
                    Point3 shared[2];
                    if (OverlapOfCollinearSegments2d(mine[0], mine[1], theirs[0], theirs[1], shared))
                        AddSegment(shared[0], shared[1], face->colour, -1, bucket, layerValue);
                }
            }
        }
        record->next = faceBuckets[bucket];
        faceBuckets[bucket] = record;
        if (faceIndex) {
            faceIndex->Sync(bucket, record->next);
            faceIndex->Add(bucket, record);
        }
    }
}

void CSezione::BucketViewLines() {
    ViewSegment* lines = viewLines;
    viewLines = nullptr;
    for (ViewSegment* line = lines; line; line = line->next) {
        const Point3 ends[2] = {line->start, line->end};
        AddSegment(line->start, line->end, line->colour, line->face, RegionOfPoints(ends, 2, boxMin, boxMax),
                   line->layer);
    }
    FreeList(lines);
    // The visibility pass that follows takes the buckets apart.
    segmentEnds.reset();
}

namespace {

// The segments of one bucket filed by their plan cells in a uniform grid,
// for the faces that may split them. Boxes only grow stale by shrinking, so
// a query still finds every segment whose box overlaps; the caller applies
// its own test.
class SegmentGrid {
public:
    SegmentGrid(ViewSegment* list, const std::int32_t lo[2], const std::int32_t hi[2], int count) {
        for (int a = 0; a < 2; ++a) {
            lo_[a] = lo[a];
            const double span = static_cast<double>(hi[a]) - lo[a] + 1.0;
            n_[a] = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(std::max(count, 1)))), 1, 512);
            size_[a] = std::max(1.0, std::ceil(span / n_[a]));
        }
        cells_.assign(static_cast<std::size_t>(n_[0]) * n_[1], {});
        for (ViewSegment* s = list; s; s = s->next) Add(s);
    }

    void Add(ViewSegment* s) {
        const std::uint32_t id = static_cast<std::uint32_t>(segments_.size());
        segments_.push_back(s);
        seen_.push_back(0);
        int c0[2], c1[2];
        Range(s->cellLow, s->cellHigh, c0, c1);
        for (int x = c0[0]; x <= c1[0]; ++x)
            for (int y = c0[1]; y <= c1[1]; ++y)
                cells_[static_cast<std::size_t>(x) * n_[1] + y].push_back(id);
    }

    // The segments whose filed box may overlap the plan cells low..high,
    // once each.
    const std::vector<ViewSegment*>& Query(const std::int32_t low[3], const std::int32_t high[3]) {
        found_.clear();
        ++stamp_;
        int c0[2], c1[2];
        Range(low, high, c0, c1);
        for (int x = c0[0]; x <= c1[0]; ++x)
            for (int y = c0[1]; y <= c1[1]; ++y)
                for (std::uint32_t id : cells_[static_cast<std::size_t>(x) * n_[1] + y]) {
                    if (seen_[id] == stamp_) continue;
                    seen_[id] = stamp_;
                    found_.push_back(segments_[id]);
                }
        return found_;
    }

private:
    void Range(const std::int32_t low[], const std::int32_t high[], int c0[2], int c1[2]) const {
        for (int a = 0; a < 2; ++a) {
            c0[a] = Cell(low[a], a);
            c1[a] = Cell(high[a], a);
        }
    }
    int Cell(std::int32_t v, int axis) const {
        const double c = std::floor((static_cast<double>(v) - lo_[axis]) / size_[axis]);
        if (!(c > 0.0)) return 0;
        return c >= n_[axis] - 1 ? n_[axis] - 1 : static_cast<int>(c);
    }

    std::vector<std::vector<std::uint32_t>> cells_;
    std::vector<ViewSegment*> segments_;
    std::vector<std::uint32_t> seen_;
    std::vector<ViewSegment*> found_;
    std::uint32_t stamp_ = 0;
    double lo_[2] = {0.0, 0.0};
    double size_[2] = {1.0, 1.0};
    int n_[2] = {1, 1};
};

}  // namespace

void CSezione::SplitSegmentsAtFaces() {
    // The visibility pass that follows takes the buckets apart: the index
    // of their ends goes with this pass, whichever way it ends.
    struct DropIndex {
        CSezione& section;
        ~DropIndex() {
            section.segmentEnds.reset();
            section.faceIndex.reset();
        }
    } dropIndex{*this};
    int records = 0;
    for (int k = 0; k < kBuckets; ++k)
        for (const ViewFaceRecord* f = faceBuckets[k]; f; f = f->next) ++records;
    if (records == 0) return;

    // Per bucket, a grid over the plan cells of every segment.
    std::int32_t lo[2] = {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()};
    std::int32_t hi[2] = {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
    for (int k = 0; k < kBuckets; ++k)
        for (const ViewSegment* s = segmentBuckets[k]; s; s = s->next)
            for (int a = 0; a < 2; ++a) {
                lo[a] = std::min(lo[a], s->cellLow[a]);
                hi[a] = std::max(hi[a], s->cellHigh[a]);
            }
    if (lo[0] > hi[0]) return;
    std::vector<SegmentGrid> grids;
    grids.reserve(kBuckets);
    for (int k = 0; k < kBuckets; ++k)
        grids.emplace_back(segmentBuckets[k], lo, hi, CountNodes(segmentBuckets[k]));

    int done = 0;
    for (int k = 0; k < kBuckets; ++k)
        for (const ViewFaceRecord* f = faceBuckets[k]; f; f = f->next) {
            const int position = static_cast<int>(50LL * done++ / records);
            if (position != progressPosition) {
                progressPosition = position;
                zcedSetStatusBarProgressMeterPos(position);
            }
            if (zcedUsrBrk()) {
                abortFlag = 1;
                return;
            }
            Matrix4 toPlane, toSpace;
            PlaneMatrices(f->plane, toPlane, toSpace);
            Point3 flat[4];
            for (int i = 0; i < f->cornerCount(); ++i) TransformPoint(toPlane, f->corners[i], flat[i]);

            for (int g = 0; g < kBuckets; ++g) {
                if (!(k == 0 || g == 0 || g == k)) continue;
                // Pieces split off below go to this bucket's grid; the ones
                // found here are tested only once.
                const std::vector<ViewSegment*>& candidates = grids[g].Query(f->cellLow, f->cellHigh);
                for (ViewSegment* s : candidates) {
                    if (s->face == f->faceNumber || s->colour < 0) continue;
                    if (!CellsOverlap(s->cellLow, s->cellHigh, f->cellLow, f->cellHigh)) continue;
                    const double ds = f->a * s->start.x + f->b * s->start.y + f->c * s->start.z + f->d;
                    const double de = f->a * s->end.x + f->b * s->end.y + f->c * s->end.z + f->d;
                    // Parallel to the plane, or both ends on one side: no
                    // crossing between them. A segment lying in the plane
                    // (an edge the face shares with a neighbour) crosses it
                    // only by rounding, anywhere.
                    if (!(ds != de) || (ds > 0.0 && de > 0.0) || (ds < 0.0 && de < 0.0)) continue;
                    if (std::fabs(ds) <= minLength && std::fabs(de) <= minLength) continue;
                    const double length = Distance3(s->start, s->end);
                    const double u = ds / (ds - de);
                    const Point3 x{s->start.x + u * (s->end.x - s->start.x),
                                   s->start.y + u * (s->end.y - s->start.y),
                                   s->start.z + u * (s->end.z - s->start.z)};
                    const double toStart = Distance3(x, s->start), toEnd = Distance3(x, s->end);
                    if (toStart < minLength || toEnd < minLength) continue;
                    if (std::fabs(toStart + toEnd - length) > minLength) continue;
                    // Nor a hair from an end in plan, however far in depth:
                    // the piece would have the segment's own plan ends, and
                    // the search for a duplicate would take it for the
                    // segment and drop it.
                    if (Distance2d(x, s->start) < minLength || Distance2d(x, s->end) < minLength) continue;
                    Point3 xFlat;
                    TransformPoint(toPlane, x, xFlat);
                    const bool inside =
                        PointInTriangle2d(xFlat, flat[0], flat[1], flat[2], minLength) ||
                        (!f->triangle && PointInTriangle2d(xFlat, flat[2], flat[3], flat[0], minLength));
                    if (!inside) continue;
                    // The segment is shortened first, so that its piece is
                    // never merged back into what it was split from.
                    const Point3 end = s->end;
                    s->end = x;
                    const Point3 ends[2] = {s->start, s->end};
                    CellRange(s->cellLow, s->cellHigh, 2, ends, unitLength);
                    const ViewSegment* head = segmentBuckets[g];
                    AddSegment(x, end, s->colour, s->face, g, s->layer);
                    if (segmentBuckets[g] != head) grids[g].Add(segmentBuckets[g]);
                }
            }
        }
}
