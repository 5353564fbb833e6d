// The drawing of a view. In order: the cut walls' outlines (with the
// clean-up setting, in wall_outlines); the cut segments merged where they
// overlap on one line; the overlaps of all segments settled pair by pair in
// list order (the nearer keeps the common part, a cut edge always wins over
// an ordinary one, and the loser keeps only its parts outside); what lies
// inside a cut wall dropped, so the hatch there stays clear; the sheet
// mapping (real size, or the uniform scale that fits the view into the
// window); then the segments written, each joined first with the
// collinear segments of its colour that continue it, the shadow outlines and
// a stepped section's break line.
//
// Pairs are screened by plan boxes and end points by an index, so whole
// floors of tens of thousands of segments stay near linear; the outcome is
// that of trying every later segment in order.
#include "visual/views/section_walls.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/geometry/box_index.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/segment_ops.h"
#include "visual/views/view_shading.h"
#include "visual/views/wall_outlines.h"

namespace {

// The meter of the view command stands at 80 when the drawing starts.
constexpr int kMeterFrom = 80;
constexpr int kMeterSpan = 20;

void PlanBox(const ViewSegment& s, double box[4]) {
    box[0] = std::min(s.start.x, s.end.x);
    box[1] = std::min(s.start.y, s.end.y);
    box[2] = std::max(s.start.x, s.end.x);
    box[3] = std::max(s.start.y, s.end.y);
}

bool CellsMeetXY(const ViewSegment& a, const ViewSegment& b) {
    for (int k = 0; k < 2; ++k)
        if (a.cellHigh[k] < b.cellLow[k] || b.cellHigh[k] < a.cellLow[k]) return false;
    return true;
}

// The point of the segment at a plan point on it, with the segment's depth.
Point3 OnSegmentAt(const ViewSegment& s, const Point3& at) {
    return {at.x, at.y, SegmentZAt2d(s.start, s.end, at.x, at.y)};
}

// The overlap clean-up over the table of segments in list order.
class OverlapCleaner {
public:
    OverlapCleaner(CSezione& section, std::vector<ViewSegment*>& segments)
        : section_(section), segs_(segments), t_(section.minLength), cell_(section.unitLength) {}

    // False on a user break.
    bool Run() {
        const int original = static_cast<int>(segs_.size());
        std::vector<int> ids;
        for (int i = 0; i < original; ++i) {
            if (!segs_[i]) continue;
            double box[4];
            PlanBox(*segs_[i], box);
            index_.Add(box);
            ids.push_back(i);
        }
        index_.Build(t_);
        rootOf_.resize(original);
        for (int i = 0; i < original; ++i) rootOf_[i] = i;
        pieces_.assign(original, {});

        int position = -1;
        std::vector<int> later;
        for (int i = 0; i < static_cast<int>(segs_.size()); ++i) {
            if (!segs_[i]) continue;
            const int now = kMeterFrom + static_cast<int>(static_cast<std::int64_t>(kMeterSpan) * i /
                                                          static_cast<std::int64_t>(segs_.size()));
            if (now != position) {
                position = now;
                zcedSetStatusBarProgressMeterPos(position);
            }
            if (zcedUsrBrk()) {
                section_.abortFlag = 1;
                return false;
            }
            double box[4];
            PlanBox(*segs_[i], box);
            later.clear();
            for (int e : index_.Query(box)) {
                const int o = ids[e];
                if (o > i && segs_[o]) later.push_back(o);
                for (int p : pieces_[o])
                    if (p > i && segs_[p]) later.push_back(p);
            }
            std::sort(later.begin(), later.end());
            later.erase(std::unique(later.begin(), later.end()), later.end());
            for (int j : later) {
                if (!segs_[i]) break;
                if (!segs_[j] || !CellsMeetXY(*segs_[i], *segs_[j])) continue;
                Compare(i, j);
            }
        }
        return true;
    }

private:
    void Compare(int a, int b) {
        ViewSegment& A = *segs_[a];
        ViewSegment& B = *segs_[b];
        // A piece shorter than the tolerance has no line to hold another
        // on; it is dropped when the segments are written.
        if (Distance2d(A.start, A.end) < t_ || Distance2d(B.start, B.end) < t_) return;
        const int c1 = ClassifyPointOnSegment2d(A.start, A.end, B.start, false, t_);
        const int c2 = ClassifyPointOnSegment2d(A.start, A.end, B.end, false, t_);
        if (c1 == 0 || c2 == 0 || (c1 == c2 && c1 != 2)) return;
        if (c1 == 2 && c2 == 2) {
            const double mine = SegmentZAt2d(A.start, A.end, B.start.x, B.start.y) +
                                SegmentZAt2d(A.start, A.end, B.end.x, B.end.y);
            if ((mine > B.start.z + B.end.z && A.colour >= 0) || B.colour < 0)
                GiveWay(a, b);
            else
                Remove(b);
            return;
        }
        if (c1 != 2 && c2 != 2) {
            const double theirs = SegmentZAt2d(B.start, B.end, A.start.x, A.start.y) +
                                  SegmentZAt2d(B.start, B.end, A.end.x, A.end.y);
            if ((theirs > A.start.z + A.end.z && B.colour >= 0) || A.colour < 0)
                GiveWay(b, a);
            else
                Remove(a);
            return;
        }
        // One end of B on A, the other beyond one of A's ends: A's end on
        // that side lies within B, and the common part runs between the two.
        Point3& bInside = c1 == 2 ? B.start : B.end;
        Point3& aInside = (c1 == 2 ? c2 : c1) == 10 ? A.end : A.start;
        Point3 mid;
        MidPoint(bInside, aInside, mid);
        bool cutA;
        if ((A.colour < 0) != (B.colour < 0))
            cutA = A.colour >= 0;
        else
            cutA = SegmentZAt2d(A.start, A.end, mid.x, mid.y) > SegmentZAt2d(B.start, B.end, mid.x, mid.y);
        if (cutA) {
            aInside = OnSegmentAt(A, bInside);
            Changed(a);
        } else {
            bInside = OnSegmentAt(B, aInside);
            Changed(b);
        }
    }

    // Segment g keeps only its parts outside o, which lies on it.
    void GiveWay(int g, int o) {
        ViewSegment& G = *segs_[g];
        const ViewSegment& O = *segs_[o];
        const auto meets = [&](const Point3& p) {
            return Distance2d(p, O.start) <= t_ || Distance2d(p, O.end) <= t_;
        };
        // O's ends, the one nearer G's start first.
        const bool inOrder = Distance2d(G.start, O.start) <= Distance2d(G.start, O.end);
        const Point3 nearStart = OnSegmentAt(G, inOrder ? O.start : O.end);
        const Point3 nearEnd = OnSegmentAt(G, inOrder ? O.end : O.start);
        const bool m1 = meets(G.start), m2 = meets(G.end);
        if (m1 && m2) {
            if (G.colour >= 0) Remove(g);
            return;
        }
        if (m1) {
            G.start = nearEnd;
            Changed(g);
            return;
        }
        if (m2) {
            G.end = nearStart;
            Changed(g);
            return;
        }
        auto* after = new ViewSegment;
        after->colour = G.colour;
        after->layer = G.layer;
        after->face = G.face;
        after->start = nearEnd;
        after->end = G.end;
        G.end = nearStart;
        Changed(g);
        SegmentCells(*after, cell_);
        segs_.push_back(after);
        ++section_.sectionSegmentCount;
        const int root = rootOf_[g];
        rootOf_.push_back(root);
        pieces_[root].push_back(static_cast<int>(segs_.size()) - 1);
        if (Distance2d(after->start, after->end) < t_) Remove(static_cast<int>(segs_.size()) - 1);
    }

    void Changed(int k) {
        ViewSegment& s = *segs_[k];
        if (Distance2d(s.start, s.end) < t_) {
            Remove(k);
            return;
        }
        SegmentCells(s, cell_);
    }

    void Remove(int k) {
        delete segs_[k];
        segs_[k] = nullptr;
        --section_.sectionSegmentCount;
    }

    CSezione& section_;
    std::vector<ViewSegment*>& segs_;
    double t_;
    double cell_;
    BoxIndex index_;
    std::vector<int> rootOf_;               // the segment a piece was split from first
    std::vector<std::vector<int>> pieces_;  // the pieces split from each segment
};

// The view's place on the sheet.
struct SheetMap {
    double xmin = 0.0, ymin = 0.0, scale = 1.0;
    double x0 = 0.0, y0 = 0.0;
    Point3 operator()(const Point3& p) const {
        return {(p.x - xmin) * scale + x0, (p.y - ymin) * scale + y0, 0.0};
    }
};

// The ratio of one axis, or none when either length is no length.
double FitRatio(double window, double extent) {
    window = std::fabs(window);
    if (!(extent > 0.0) || !(window > 0.0) || !std::isfinite(window / extent)) return 0.0;
    return window / extent;
}

SheetMap MakeSheetMap(const CSezione& section, const std::vector<ViewSegment*>& segments, bool fit) {
    SheetMap map;
    double xmax = 0.0, ymax = 0.0;
    bool first = true;
    for (const ViewSegment* s : segments) {
        if (!s) continue;
        for (const Point3& p : {s->start, s->end}) {
            if (first || p.x < map.xmin) map.xmin = p.x;
            if (first || p.y < map.ymin) map.ymin = p.y;
            if (first || p.x > xmax) xmax = p.x;
            if (first || p.y > ymax) ymax = p.y;
            first = false;
        }
    }
    if (fit) {
        const double rx = FitRatio(section.cornerPoint.x - section.lowerLeft.x, xmax - map.xmin);
        const double ry = FitRatio(section.cornerPoint.y - section.lowerLeft.y, ymax - map.ymin);
        if (rx > 0.0 && ry > 0.0)
            map.scale = std::min(rx, ry);
        else if (rx > 0.0 || ry > 0.0)
            map.scale = std::max(rx, ry);
    }
    map.x0 = section.lowerLeft.x;
    map.y0 = section.lowerLeft.y;
    // A corner given below or left of the first point still spans the
    // window: the view goes into it, not beside it.
    if (fit) {
        map.x0 = std::min(map.x0, section.cornerPoint.x);
        map.y0 = std::min(map.y0, section.cornerPoint.y);
    }
    return map;
}

// Adds to `at` the plan parameters along the segment where it crosses the
// ring's edges, strictly between its ends; with `corners` also those of the
// ring's corners lying on it within t (where the ring may turn off the
// segment's line, a nosing off a riser, without crossing it).
void AddCrossings(const ViewSegment& s, const VertexNode* ring, double t, bool corners,
                  std::vector<double>& at) {
    const double rx = s.end.x - s.start.x, ry = s.end.y - s.start.y, length2 = rx * rx + ry * ry;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        const double qx = v->x - s.start.x, qy = v->y - s.start.y;
        if (corners && length2 > 0.0) {
            const double along = (qx * rx + qy * ry) / length2;
            if (along > 0.0 && along < 1.0 && std::fabs(qx * ry - qy * rx) <= t * std::sqrt(length2))
                at.push_back(along);
        }
        const double sx = w->x - v->x, sy = w->y - v->y;
        const double den = rx * sy - ry * sx;
        if (!(std::fabs(den) > 1e-12 * (std::fabs(rx) + std::fabs(ry)) * (std::fabs(sx) + std::fabs(sy))))
            continue;
        const double u = (qx * sy - qy * sx) / den, k = (qx * ry - qy * rx) / den;
        if (u > 0.0 && u < 1.0 && k >= 0.0 && k <= 1.0) at.push_back(u);
    }
}

// The parts of a segment outside a ring: the pieces between its crossings
// with the ring's edges whose middles do not lie inside it, as plan
// parameters along the segment.
std::vector<std::pair<double, double>> PartsOutside(const ViewSegment& s, const VertexNode* ring, double t) {
    std::vector<double> at{0.0, 1.0};
    AddCrossings(s, ring, t, false, at);
    std::sort(at.begin(), at.end());
    const double rx = s.end.x - s.start.x, ry = s.end.y - s.start.y;
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i + 1 < at.size(); ++i) {
        const double m = (at[i] + at[i + 1]) / 2.0;
        const Point3 mid{s.start.x + m * rx, s.start.y + m * ry, 0.0};
        if (PointAgainstRing(mid, ring, t) == kInsidePolygon) continue;
        if (!out.empty() && out.back().second >= at[i])
            out.back().second = at[i + 1];
        else
            out.push_back({at[i], at[i + 1]});
    }
    return out;
}

Point3 AlongSegment(const ViewSegment& s, double u) {
    const Point3 p{s.start.x + u * (s.end.x - s.start.x), s.start.y + u * (s.end.y - s.start.y), 0.0};
    return OnSegmentAt(s, p);
}

// Keeps of segment i the parts given (plan parameters along it), those
// shorter than the tolerance left out: the first in its place, the rest
// appended. False when nothing was kept and the segment is gone.
bool KeepParts(CSezione& section, std::vector<ViewSegment*>& segments, std::size_t i,
               std::vector<std::pair<double, double>> parts) {
    ViewSegment* s = segments[i];
    if (parts.size() == 1 && parts[0].first == 0.0 && parts[0].second == 1.0) return true;
    const double length = Distance2d(s->start, s->end);
    std::erase_if(parts, [&](const auto& p) { return (p.second - p.first) * length < section.minLength; });
    if (parts.empty()) {
        delete s;
        segments[i] = nullptr;
        --section.sectionSegmentCount;
        return false;
    }
    for (std::size_t p = 1; p < parts.size(); ++p) {
        auto* piece = new ViewSegment;
        piece->colour = s->colour;
        piece->layer = s->layer;
        piece->face = s->face;
        piece->start = AlongSegment(*s, parts[p].first);
        piece->end = AlongSegment(*s, parts[p].second);
        SegmentCells(*piece, section.unitLength);
        segments.push_back(piece);
        ++section.sectionSegmentCount;
    }
    const Point3 from = AlongSegment(*s, parts[0].first), to = AlongSegment(*s, parts[0].second);
    s->start = from;
    s->end = to;
    SegmentCells(*s, section.unitLength);
    return true;
}

// The parts of a cut edge that bound the union of the outlines: pieces
// between its crossings with the outlines' edges, dropped where the cut
// lies on both sides of them. Where two solids' cuts overlap or meet (a
// slab resting on a wall's top, two slabs overlapping), the cap is their
// union, and neither solid's edge is drawn across it.
std::vector<std::pair<double, double>> PartsBounding(const ViewSegment& s,
                                                     const std::vector<const VertexNode*>& rings, double t) {
    std::vector<double> at{0.0, 1.0};
    const double rx = s.end.x - s.start.x, ry = s.end.y - s.start.y, length = std::hypot(rx, ry);
    // Split too where a corner lies within the reach of the probes below, so
    // each piece lies beside one stretch of a cut's border.
    for (const VertexNode* ring : rings) AddCrossings(s, ring, 2.0 * t, true, at);
    std::sort(at.begin(), at.end());
    const auto covered = [&rings](const Point3& p) {
        for (const VertexNode* ring : rings)
            if (PointInPolygon(p, ring, kEdgesUntested) == kInsidePolygon) return true;
        return false;
    };
    // A side is covered when a step of t or of 2t to it lands in a cut: the
    // line may lie up to t off a cut's border, and where two cuts meet each
    // border may wander by t, so a single step of t can fall into the hair
    // between them and leave the line drawn across their union.
    const double nx = -ry / length * t, ny = rx / length * t;
    const auto side = [&covered](const Point3& at, double dx, double dy) {
        return covered({at.x + dx, at.y + dy, 0.0}) || covered({at.x + 2.0 * dx, at.y + 2.0 * dy, 0.0});
    };
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 0; i + 1 < at.size(); ++i) {
        if ((at[i + 1] - at[i]) * length <= 0.0) continue;
        const double m = (at[i] + at[i + 1]) / 2.0;
        const Point3 mid{s.start.x + m * rx, s.start.y + m * ry, 0.0};
        if (side(mid, nx, ny) && side(mid, -nx, -ny)) continue;
        if (!out.empty() && out.back().second >= at[i])
            out.back().second = at[i + 1];
        else
            out.push_back({at[i], at[i + 1]});
    }
    return out;
}

// Takes out what of the segments lies inside a cut's outline: a segment
// with both ends inside or on it goes whole, one that runs into it keeps
// its parts outside (nothing behind a cut shows through it). Then every
// segment keeps only the parts that bound the cuts' union.
void ClearWallInsides(CSezione& section, std::vector<ViewSegment*>& segments) {
    std::vector<const OutlinePolygon*> rings;
    BoxIndex index;
    for (const OutlinePolygon* o = section.wallOutlines; o; o = o->next) {
        if (CountNodes(o->ring) < 3) continue;
        rings.push_back(o);
        index.Add(o->box2d);
    }
    if (rings.empty()) return;
    index.Build(section.minLength);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        ViewSegment* s = segments[i];
        if (!s) continue;
        double box[4];
        PlanBox(*s, box);
        const auto bounding = [&] {
            std::vector<const VertexNode*> near;
            for (int k : index.Query(box)) near.push_back(rings[k]->ring);
            if (!near.empty()) KeepParts(section, segments, i, PartsBounding(*s, near, section.minLength));
        };
        if (s->colour < 0) {
            bounding();
            continue;
        }
        bool gone = false;
        for (int k : index.Query(box)) {
            const VertexNode* ring = rings[k]->ring;
            const double t = section.minLength;
            const int a = PointAgainstRing(s->start, ring, t);
            const int b = PointAgainstRing(s->end, ring, t);
            bool whole = a != kOutsidePolygon && b != kOutsidePolygon;
            // Both ends on the border: only a line across the inside goes.
            if (whole && a == kOnPolygonEdge && b == kOnPolygonEdge) {
                Point3 mid;
                MidPoint(s->start, s->end, mid);
                whole = PointAgainstRing(mid, ring, t) == kInsidePolygon;
            }
            std::vector<std::pair<double, double>> parts;
            if (!whole) parts = PartsOutside(*s, ring, t);
            if (!KeepParts(section, segments, i, std::move(parts))) {
                gone = true;
                break;
            }
            PlanBox(*s, box);
        }
        // What is left may still lie where two cuts meet, on the border of
        // each but inside their union.
        if (!gone) bounding();
    }
}

// Writes the LINEs of the view, making their layers before the first.
class LineWriter {
public:
    explicit LineWriter(CSezione& section) : section_(section) {}

    void Segment(const Point3& a, const Point3& b, int colour) {
        Begin();
        if (colour < 0)
            Write(cutLayer_, 256, a, b);
        else
            Write(lineLayer_, colour, a, b);
    }
    void Shade(const Point3& a, const Point3& b, int colour) {
        Begin();
        if (!shadeReady_) {
            shadeLayer_ = section_.shadeLayer2;
            EnsureLayer(shadeLayer_, catalogue_, false, 0.0, false);
            shadeReady_ = true;
        }
        Write(shadeLayer_, colour, a, b);
    }
    void Break(const Point3& a, const Point3& b) {
        Begin();
        std::string layer = kSectionBreakLayer;
        EnsureLayer(layer, catalogue_, false, 0.0, false);
        Write(layer, 256, a, b);
    }

private:
    void Begin() {
        if (begun_) return;
        begun_ = true;
        section_.outputFlag = 1;
        catalogue_.ReadLayerDefFile("LAYERC.DEF");
        lineLayer_ = kSectionLayer;
        EnsureLayer(lineLayer_, catalogue_, false, 0.0, false);
        cutLayer_ = kSectionCutLayer;
        EnsureLayer(cutLayer_, catalogue_, false, 0.0, false);
        if (section_.hiddenLines && section_.shadeHatchMode) {
            std::string first = section_.shadeLayer1;
            EnsureLayer(first, catalogue_, false, 0.0, false);
            shadeLayer_ = section_.shadeLayer2;
            EnsureLayer(shadeLayer_, catalogue_, false, 0.0, false);
            shadeReady_ = true;
        }
        if (section_.sectionHatch && !section_.sectionHatchLayer.empty()) {
            std::string hatch = section_.sectionHatchLayer;
            EnsureLayer(hatch, catalogue_, false, 0.0, false);
        }
    }

    static void Write(const std::string& layer, int colour, const Point3& a, const Point3& b) {
        const ads_point p = {a.x, a.y, 0.0};
        const ads_point q = {b.x, b.y, 0.0};
        const host::ResbufList list(
            zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 62, colour, 10, p, 11, q, 0));
        zcdbEntMake(list.get());
    }

    CSezione& section_;
    AAR_LAYERC catalogue_;
    bool begun_ = false;
    bool shadeReady_ = false;
    std::string lineLayer_, cutLayer_, shadeLayer_;
};

// Step 5: each segment, joined with those of its colour that continue it
// on its line, written and freed; the table ends empty.
void WriteSegments(CSezione& section, std::vector<ViewSegment*>& segments, const SheetMap& map,
                   LineWriter& out) {
    const double t = section.minLength;
    const double cell = t > 1e-9 ? t : 1e-9;
    const auto key = [cell](const Point3& p) {
        const double cx = std::floor(p.x / cell), cy = std::floor(p.y / cell);
        const auto ix = std::fabs(cx) < 4.0e18 ? static_cast<std::int64_t>(cx) : 0;
        const auto iy = std::fabs(cy) < 4.0e18 ? static_cast<std::int64_t>(cy) : 0;
        return std::pair<std::int64_t, std::int64_t>(ix, iy);
    };
    const auto hash = [](std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    };
    std::unordered_map<std::uint64_t, std::vector<int>> ends;
    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        if (!segments[i]) continue;
        for (const Point3& p : {segments[i]->start, segments[i]->end}) {
            const auto [x, y] = key(p);
            ends[hash(x, y)].push_back(i);
        }
    }
    // The first segment (in list order) that continues s at p.
    const auto continuation = [&](int self, const Point3& p) {
        const ViewSegment& s = *segments[self];
        const auto [x, y] = key(p);
        int best = -1;
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = ends.find(hash(x + dx, y + dy));
                if (it == ends.end()) continue;
                for (int k : it->second) {
                    if (k == self || (best >= 0 && k >= best) || !segments[k]) continue;
                    const ViewSegment& o = *segments[k];
                    if (o.colour != s.colour) continue;
                    if (Distance2d(o.start, p) > t && Distance2d(o.end, p) > t) continue;
                    if (ClassifyPointOnSegment2d(s.start, s.end, o.start, true, t) != 1 ||
                        ClassifyPointOnSegment2d(s.start, s.end, o.end, true, t) != 1)
                        continue;
                    best = k;
                }
            }
        return best;
    };

    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        ViewSegment* s = segments[i];
        if (!s) continue;
        if (Distance2d(s->start, s->end) < t) {
            delete s;
            segments[i] = nullptr;
            continue;
        }
        for (bool joined = true; joined;) {
            joined = false;
            for (int side = 0; side < 2 && !joined; ++side) {
                Point3& end = side == 0 ? s->start : s->end;
                const int k = continuation(i, end);
                if (k < 0) continue;
                ViewSegment* o = segments[k];
                const Point3 far = Distance2d(o->start, end) <= t ? o->end : o->start;
                // Only a segment that runs on lengthens this one; one that
                // folds back lies on it and goes all the same.
                if (ClassifyPointOnSegment2d(s->start, s->end, far, false, t) == (side == 0 ? 30 : 10))
                    end = far;
                delete o;
                segments[k] = nullptr;
                joined = true;
            }
        }
        out.Segment(map(s->start), map(s->end), s->colour);
        delete s;
        segments[i] = nullptr;
    }
}

void WriteShadeOutlines(CSezione& section, const SheetMap& map, LineWriter& out) {
    for (ShadowGroup* group = section.shadeOutlines; group; group = group->next) {
        int colour = 256;
        if (section.shadeColourMode && group->number > 0 && group->number <= 256) colour = group->number;
        for (OutlinePolygon* piece = group->pieces; piece; piece = piece->next) {
            for (VertexNode* v = piece->ring; v; v = v->next) v->setPt(map(v->pt()));
            for (VertexNode* v = piece->ring; v; v = v->next)
                if (v->mark == 0) out.Shade(v->pt(), NextInRing(piece->ring, v)->pt(), colour);
        }
    }
}

void WriteBreakLine(CSezione& section, const SheetMap& map, LineWriter& out) {
    if (!section.depthFlag || !(std::fabs(section.breakOverhang) > GeomEpsilon)) return;
    if (!(section.boxMin[1] <= section.boxMax[1])) return;
    Point3 at;
    TransformPoint(section.viewFrame, section.depthPoint, at);
    const Point3 low{at.x, section.boxMin[1] - section.breakOverhang, 0.0};
    const Point3 high{at.x, section.boxMax[1] + section.breakOverhang, 0.0};
    out.Break(map(low), map(high));
}

}  // namespace

void SectionWalls(CSezione& section, bool fit) {
    // The list becomes a table in list order: removals leave a hole,
    // pieces are appended.
    std::vector<ViewSegment*> segments;
    for (ViewSegment* s = section.sectionSegments; s; s = s->next) segments.push_back(s);
    section.sectionSegments = nullptr;
    // Cells on one grid throughout, whatever the passes before left.
    for (ViewSegment* s : segments) {
        s->next = nullptr;
        SegmentCells(*s, section.unitLength);
    }
    section.sectionSegmentCount = static_cast<std::int32_t>(segments.size());
    const auto freeAll = [&] {
        for (ViewSegment*& s : segments) {
            delete s;
            s = nullptr;
        }
        section.sectionSegmentCount = 0;
    };
    if (segments.empty()) return;

    if (section.cleanUp) BuildWallOutlines(section, segments);
    section.sectionSegmentCount -= MergeCollinearCuts(segments, false, section.minLength, section.unitLength);
    if (!OverlapCleaner(section, segments).Run()) {
        freeAll();
        return;
    }

    const SheetMap map = MakeSheetMap(section, segments, fit);
    ClearWallInsides(section, segments);
    // The cuts take the section hatch, and no shadow falls inside one.
    ClearShadowsInOutlines(section.shadeOutlines, section.wallOutlines);
    for (VertexNode* v = section.levelMarks; v; v = v->next) v->setPt(map(v->pt()));
    for (OutlinePolygon* o = section.wallOutlines; o; o = o->next) {
        for (VertexNode* v = o->ring; v; v = v->next) v->setPt(map(v->pt()));
        // The box follows the ring onto the sheet.
        if (o->ring) {
            o->box2d[0] = o->box2d[2] = o->ring->x;
            o->box2d[1] = o->box2d[3] = o->ring->y;
            for (const VertexNode* v = o->ring; v; v = v->next) {
                o->box2d[0] = std::min(o->box2d[0], v->x), o->box2d[1] = std::min(o->box2d[1], v->y);
                o->box2d[2] = std::max(o->box2d[2], v->x), o->box2d[3] = std::max(o->box2d[3], v->y);
            }
        }
    }

    LineWriter out(section);
    WriteSegments(section, segments, map, out);
    freeAll();
    if (!section.outputFlag) return;
    WriteShadeOutlines(section, map, out);
    WriteBreakLine(section, map, out);
}
