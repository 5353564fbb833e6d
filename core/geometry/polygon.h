// Operations on vertex rings as polygons: plane, area, point location, the
// simplicity test, the crossing tests used by ear cutting and bridging,
// bridging holes into their outer contour, and arcs turned into vertices.
// Areas and point location work in plan. Reference rings (RingNode lists)
// name vertices of other lists and never own them.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

bool PolygonNormal(const VertexNode* list, double& a, double& b, double& c, double& d);

// Plan area enclosed by the ring, positive for a valid polygon; -2.0 for
// fewer than three vertices, -1.0 when userBreak (if given) answers true
// after a pass. The list is not changed.
double PolygonAreaByEars(const VertexNode* list, bool (*userBreak)() = nullptr);
double PolygonAreaByEars(const RingNode* ring, bool (*userBreak)() = nullptr);

// Where PointInPolygon finds a point.
inline constexpr int kOutsidePolygon = 0;
inline constexpr int kInsidePolygon = 1;
inline constexpr int kOnPolygonEdge = 2;
// Its modes: the edges not looked at (a point on one falls either way), a
// point on an edge reported as kOnPolygonEdge, or taken as outside.
inline constexpr int kEdgesUntested = 0;
inline constexpr int kEdgesReported = 1;
inline constexpr int kEdgesOutside = 2;

// kInsidePolygon or kOutsidePolygon; with mode kEdgesReported a point on an
// edge gives kOnPolygonEdge, with any other mode but kEdgesUntested
// kOutsidePolygon.
int PointInPolygon(const Point3& p, const VertexNode* list, int mode);

// Where p lies against the ring: kOnPolygonEdge within t of an edge (a
// plain distance: PointInPolygon's edge test reaches farther to the side
// the longer the edge, so a point a unit inside a long ring would pass for
// its border), else inside or outside by crossings.
int PointAgainstRing(const Point3& p, const VertexNode* ring, double t);

// The ring's plan box: min x, min y, max x, max y (empty, lows above highs,
// for no ring).
void RingPlanBox(const VertexNode* ring, double box[4]);

// The ring's plan box widened so far that PointInPolygon answers
// kOutsidePolygon, in every mode, for a point beyond it: a long ring is
// then not walked for points plainly away from it. False (and no box) when
// a coordinate is not a number.
bool RingReachBox(const VertexNode* ring, double box[4]);

// PointInPolygon's answer counting only the given edges (each from, to);
// the ring's own answer when they are all of its edges, in any order.
using PlanEdge = std::pair<const VertexNode*, const VertexNode*>;
int PointInEdges(const Point3& p, std::span<const PlanEdge> edges, int mode);

// PointInPolygon for many points against one long ring, with the same
// answers: the edges are filed by height, so a point looks only at the
// edges level with it (and at those it may lie on) rather than at all.
// The ring must outlive the locator and stay as it is.
class RingLocator {
public:
    explicit RingLocator(const VertexNode* ring);
    // The same for a set of edges, answering as PointInEdges.
    explicit RingLocator(std::span<const PlanEdge> edges);
    int Where(const Point3& p, int mode) const;

private:
    void File();

    std::vector<const VertexNode*> from_;  // edge k runs from from_[k] ...
    std::vector<const VertexNode*> to_;    // ... to to_[k]
    // Bands of heights, each tier's eight of the one before (a point's band
    // in the first shifted by three bits a tier); an edge is filed in the
    // first tier where it spans at most nine.
    struct Tier {
        int shift = 0, bands = 1;
        std::vector<int> start, edges;  // the edges of band b from start[b]
    };
    int BandOf(double y) const;  // in the first tier
    std::vector<Tier> tiers_;
    std::vector<int> tall_;  // edges whose heights are not numbers (all, for a flat ring)
    double low_ = 0.0, band_ = 1.0;
    int bands_ = 1;
};
// True when p lies inside the ring in plan; with mode != 0 a point on an
// edge counts as inside. False for fewer than three vertices.
bool PolygonContainsPoint(const Point3& p, const VertexNode* list, int mode);

// Decides insideness by trying p as a new vertex; the list is left as it was.
bool IsInsideByInsertion(const Point3& p, VertexNode* list, int onEdgeResult);

bool EdgeCrossesPolygon(const VertexNode* list, const VertexNode* a, const VertexNode* b,
                        const VertexNode* c);
bool SegmentCrossesPolygon(const RingNode* ring, const VertexNode* a, const VertexNode* b,
                           const VertexNode* c);
bool SegmentCrossesContours(const VertexNode* a, const VertexNode* b, const ContourNode* contours);
bool IsSimplePolygon(const VertexNode* list);

// One counter-clockwise reference ring joining the holes (contours after the
// first) to the outer contour through the shortest free bridges; each bridge
// is walked both ways. The contours are cleaned of duplicates in place and
// keep their vertices. Holes that no bridge can reach are left out.
RingNode* BridgeHoles(ContourNode* contours);

// The arc from start to end (counter-clockwise) as S, interior chord points,
// E; area receives the area between the chords and the arc. Without
// fromStart the interior points sit on multiples of the angular step from
// angle 0, so neighbouring arcs of one circle share them. Null for a zero
// radius or a zero angular step.
VertexNode* ArcToVertices(double step, const Point3& centre, double radius, double start, double end,
                          double* area, bool fromStart, const Point3* normal = nullptr);
