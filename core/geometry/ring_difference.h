// The one polygon kernel of the module: the boolean operations of two simple
// plane rings. The wall sides take an opening's hole outline away from a
// face polygon with it (SubtractRing); the hidden-face and shadow passes of
// the views clip, shade and merge their plan polygons with it (RingBoolean,
// through visual/views/polygon_clip).
//
// The algorithm, in the order RingBoolean runs it:
//   1. both rings are copied and turned counter-clockwise, each edge keeping
//      its properties (mark, edge flag, numbers, where it came from);
//   2. each ring gets a vertex wherever the other's edges cross it or its
//      vertices lie on it, unless the point is within the snap distance of
//      an end of the edge concerned;
//   3. vertices within the snap distance of each other are one node;
//   4. every edge is classified against the other ring: outside, inside,
//      or on its border, running the same way as a border edge of the
//      other or the opposite way;
//   5. the edges of the result are chosen by the operation (difference:
//      A outside B and B inside A reversed; intersection: both inside;
//      union: both outside), and walked into closed loops. Where several
//      edges leave one node the walk takes the sharpest left turn, so that
//      loops touching at a point stay apart.
// Counter-clockwise loops are pieces, clockwise ones holes. Collinear
// overlaps, which break the usual crossing walk, are ordinary here: a door
// whose hole runs along the bottom of a wall simply takes that stretch of
// the bottom away.
//
// Limits: works in plan (x, y); z and the spare double (a shadow's height)
// are interpolated along the edge a new vertex is inserted into, so rings
// lying in one plane keep it. Most rings are small (faces of one view,
// openings of one wall side) and every step may look at every pair of
// edges; long rings (the union of many shadow pieces) have their crossings
// looked up in an index of the other's edges, their nodes filed by cell,
// their point tests answered by a locator and their walk led by the edges
// leaving each node, with the same results; a long ring against a short
// one may be given by its part near the short one (NearPartOf), its other
// edges passing through as runs. Self-intersecting rings are not
// supported. Points are near when both plan coordinates are within the snap
// distance.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"

enum class RingEdgeClass { kOutside, kInside, kSame, kOpposite };
enum class RingOperation { kDifference, kIntersection, kUnion };

// Which ring (0 or 1) and which edge of it (counted in the input's own order)
// an edge of a traced loop comes from.
struct RingEdgeSource {
    int ring = 0;
    int edge = 0;
};

// A traced loop; from[i] names the source of the edge starting at its i-th
// vertex.
struct RingLoop {
    OwnedList<VertexNode> ring;
    std::vector<RingEdgeSource> from;
};

// What of a long ring lies near a short one. An edge of the long ring is
// near when it comes within the reach of the short ring's edges at which
// any test of the kernel (a crossing, a snap, a point on an edge, the sides
// of an edge) or of the views' piece screen (edges within twice the snap or
// the bulge of an edge's on-edge ellipse) may take the two as meeting, with
// room to spare; a far edge lies wholly inside the short ring or wholly
// outside. A point by the short ring lies on no far edge, and sees those to
// its left by their heights alone where they lie wholly left of the short
// ring, else by where they cross its level.
struct RingNearPart {
    std::span<const VertexNode* const> vertices;  // the long ring's, in order
    std::vector<char> near;                       // by edge; edge i starts at vertex i
    int farEdges = 0;
    // Far edges level with the short ring: how many of those wholly to its
    // left span its whole height, the lows and highs (each ascending) of
    // the other such, and the ends of those that may pass left of it.
    int leftAcross = 0;
    std::vector<double> leftLow, leftHigh;
    std::vector<PlanEdge> level;

    // Whether a point by the short ring (within its reach) sees an odd
    // number of far edges to its left, as PointInPolygon counts them.
    bool FarParity(const Point3& p) const;

private:
    // The edges that may pass left filed by height once asked often.
    mutable int asked_ = 0;
    mutable std::optional<RingLocator> levelLocator_;
};
// A long ring's vertices and plan points in order (the first again at the
// end), kept while the ring stays as it is for the near parts of many short
// rings; not usable when a coordinate is not a number, or the ring runs
// clockwise or has fewer than three vertices.
struct RingPoints {
    std::vector<const VertexNode*> vertices;
    std::vector<double> x, y;
    // Each run of kChunk edges: its box and its longest edge (as the sum
    // of its sides), so that a stretch away from a short ring is passed
    // over whole.
    static constexpr std::size_t kChunk = 32;
    std::vector<std::array<double, 5>> chunks;
    bool usable = false;
};
RingPoints PointsOfRing(const VertexNode* ring);
// Whether a long ring lies apart in plan from a small ring within `box` by
// more than `margin`: no edge of the long ring comes within the margin of
// the box (by their boxes), and a corner of the small ring lies outside
// the long ring. Only screens: false says nothing.
bool RingPointsApart(const RingPoints& longRing, const VertexNode* small, const double box[4], double margin);
// The near part of a long ring for `shortRing`, or none when the rings are
// not for it (a point of the short ring not a number, the long ring not
// usable). The long ring's points must outlive the part. `crowded` holds (at least) every vertex of
// the long ring that has another within the snap distance (see
// CrowdedVertices): the edges starting there are taken as near, as the
// snap makes one node of them wherever they lie.
std::optional<RingNearPart> NearPartOf(const RingPoints& longRing, const VertexNode* shortRing, double snap,
                                       std::span<const Point3> crowded);
// The vertices of the ring with another within the snap distance (in x and
// in y), in plan; with `box`, only those within the snap distance of it.
std::vector<Point3> CrowdedVertices(const VertexNode* ring, double snap, const double* box = nullptr);

class RingBoolean {
public:
    // Ring 0 is a, ring 1 is b; both are copied (x, y, z, spare, mark and the
    // edge flag and numbers of each edge).
    RingBoolean(const VertexNode* a, const VertexNode* b, double snap);
    // The same operation for ring `longRing` long and the other short,
    // given the long ring's near part for the short one: each run of far
    // edges is carried through as one (no crossing, snap or point test can
    // touch it, and it lies wholly inside the other ring or outside, as its
    // start does), and point tests against the long ring count its near
    // edges and the far edges level with the short ring, so the work grows
    // with the near part. Classes, Apart, Within and Trace answer as the
    // plain construction does, to the bit; VertexCount and VertexAt describe
    // the near part only.
    RingBoolean(const VertexNode* a, const VertexNode* b, double snap, const RingNearPart& part,
                int longRing);
    ~RingBoolean();
    RingBoolean(const RingBoolean&) = delete;
    RingBoolean& operator=(const RingBoolean&) = delete;

    // Every edge of ring k is of class c1 or c2.
    bool AllOf(int k, RingEdgeClass c1, RingEdgeClass c2) const;
    // Ring k lies within the other (borders may touch).
    bool Within(int k) const { return AllOf(k, RingEdgeClass::kInside, RingEdgeClass::kSame); }
    // The insides do not meet.
    bool Apart() const;

    // The loops of the operation's result, counter-clockwise pieces and
    // clockwise holes; loops of no area are dropped. A vertex carries the
    // properties of the edge starting at it (an edge of ring 1 walked the
    // other way keeps its own).
    std::vector<RingLoop> Trace(RingOperation op) const;
    // As Trace, but with more than `most` loops none is built and none
    // given: a caller wanting one polygon is spared building the rest.
    std::vector<RingLoop> Trace(RingOperation op, std::size_t most) const;

    // Ring k as split and turned counter-clockwise: its vertex count, and
    // each vertex's point and spare double.
    int VertexCount(int k) const;
    Point3 VertexAt(int k, int i) const;
    double SpareAt(int k, int i) const;

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};

// Twice the signed plan area of the ring, counter-clockwise positive.
double RingSignedArea2(const VertexNode* ring);
// The same for a ring given as points in order, the last joined back to
// the first.
double PointsSignedArea2(std::span<const Point3> ring);
// Whether p lies inside the ring of points by the even-odd rule, counting
// the edges crossed by the row to its left; a point on an edge falls
// either way.
bool PointInPointsEvenOdd(std::span<const Point3> ring, const Point3& p);
// A copy of the ring (spare and mark too) run the other way, each edge
// keeping its mark, flag and numbers.
OwnedList<VertexNode> ReversedRing(const VertexNode* ring);
// Whether two points lie within the tolerance of each other in x and in y.
bool PointsNear2d(const Point3& p, const Point3& q, double tolerance);

// The pieces of `subject` lying outside `cutter`, each a closed ring running
// the way the subject runs. A vertex keeps the edge flag and numbers of the
// edge starting at it (a cutter edge keeps its own although it is walked the
// other way); a vertex where the boundary passes from one ring to the other
// has mark 1, every other mark 0; a point where one edge was merely split
// goes. A cutter wholly inside the subject gives the subject and, as a
// second ring, the cutter run the other way (a hole); a cutter apart from it
// gives the subject alone; a cutter covering it gives nothing. Points closer
// than tol are one point. A subject of fewer than three distinct points
// gives nothing; a cutter of fewer gives the subject.
std::vector<OwnedList<VertexNode>> SubtractRing(const VertexNode* subject, const VertexNode* cutter,
                                                double tol);
