// The handrail's geometry: the sides of a stair placed from the object
// library (read from the stair records the library writes), and the rail
// path along one side offset into the two edges of the rail band with
// clean joins. Plain records: nothing here touches the drawing.
//
// A library stair record describes one straight flight of one side (its
// fifth value tells the side: 0 the second outline, anything else the
// first) or one side of a curved flight (its sixth value set; the fifth is
// then that side's radius). Each gives the stepped profile of its side:
// treads as pairs of points at the tread's height.
#pragma once

#include <optional>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "host/util/resbuf.h"
#include "stairs/handrail_record.h"

constexpr const char* kLibraryStairApp = "VELM5$_$DATICMANOSCALA-";

struct LibraryStairStep {
    double tread = 0.0;  // tread length, or the angle per tread of a curved flight
    double riser = 0.0;
    double count = 0.0;  // number of steps
    double baseHeight = 0.0;
    double side = 0.0;   // side marker, or the radius of a curved side
    double arc = 0.0;    // 1.0 for a side of a curved flight
    Point3 placed;       // kept, not used
    double angle = 0.0;  // kept, not used
    Point3 start, direction, centre;
};

// The records of the library stair application in `xdata` (an entity list
// or its xdata part), newest first. A record cut short, or holding a group
// of another kind, is dropped; corners (fifth value below zero) too.
std::vector<LibraryStairStep> ReadLibraryStairSteps(const resbuf* xdata);
// The outline of one side (1 the first, 0 the second); straight records
// used are taken out of `steps`. Null when there is none.
VertexNode* BuildLibrarySideOutline(int sideFlag, std::vector<LibraryStairStep>& steps);
VertexNode* FlightProfile(const LibraryStairStep& step);
VertexNode* ArcFlightProfile(const LibraryStairStep& step, double angleStep);
SideChain OutlineToChain(const VertexNode* outline);

// One edge of the rail band in plan: a straight segment or an arc running
// counter-clockwise from `startAngle` to `endAngle`.
enum class RailSegmentKind { kLine, kArc };

struct RailSegment {
    RailSegmentKind kind = RailSegmentKind::kLine;
    bool direction = true;
    Point3 a, b;  // a straight segment's ends
    Point3 centre;
    double radius = 0.0, startAngle = 0.0, endAngle = 0.0;

    Point3 StartPoint() const;
    Point3 EndPoint() const;
};

class CCorrimano {
public:
    CCorrimano() = default;
    CCorrimano(const CCorrimano&) = delete;
    CCorrimano& operator=(const CCorrimano&) = delete;

    int sideFlag = 0;
    double width = 0.0;
    std::string layerKey;
    std::string planLayer, layer3D;
    std::string blockName;

    // Moves the pieces' path sideways by `offset` (to the left of the
    // walking direction when positive), then computes the band's far edge
    // `railWidth` to the left (`negate` false) or right of it into each
    // piece's `path`. False, the pieces possibly
    // half moved, when an offset arc vanishes or a join finds no point.
    bool ComputeHandrailPath(std::vector<HandrailPiece>& pieces, int side, const std::string& key,
                             double railWidth, double offset, bool negate);
    // The pieces moved by `distance` (to the left when positive), joined.
    static std::optional<std::vector<RailSegment>> OffsetHandrailPath(
        const std::vector<HandrailPiece>& pieces, double distance);
    // Cuts the two segments at their join; false when no joint exists.
    static bool JoinOffsetRailSegments(RailSegment& first, RailSegment& second);
};

// The segment of a piece as it stands, and the piece set from a segment.
RailSegment PieceSegment(const HandrailPiece& piece);
void StoreSegment(HandrailPiece& piece, const RailSegment& segment);
RailSegment PathSegment(const HandrailPiece& piece);
