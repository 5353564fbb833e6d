// The handrail record: the shape of a handrail or balustrade (kept in the
// drawing's settings, edited in the handrail dialog) and the working lists
// of its geometry along one side of a stair.
//
// `HandrailWork` is the plain record the geometry runs on, with the
// settings' defaults, so the geometry can be exercised without a drawing.
// `CScalaCorriData` loads it from the settings when made and writes the
// nine edited values back when it goes, only when asked (`saveDefaults`):
// a cancelled dialog leaves the settings as they were. The inset and the
// three layer keys are read on every run and never written.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"

// A side of a stair in walking order: consecutive points are the ends of
// one straight segment; a point's Z is the height of the stair there, so a
// riser is a segment without plan length.
using SideChain = std::vector<Point3>;

// One piece of the handrail path. A straight piece (kind 0) runs from
// `start` to `end`; an arc piece (kind 1) keeps its centre in `start` and
// (radius, start angle, end angle) in `end`, and runs counter-clockwise
// from its start angle to its end angle, walked that way when `direction`
// is set. Points keep Z 0: the heights are the fields below.
struct HandrailPiece {
    static constexpr int kStraight = 0;
    static constexpr int kArc = 1;

    int kind = kStraight;
    bool direction = true;
    Point3 start, end;
    // The far edge of the rail band after the path computation: a straight
    // piece's start X, Y and end X, Y; an arc's centre X, Y, radius, start
    // and end angle.
    std::array<double, 5> path = {};
    double railStart = 0.0, railEnd = 0.0;
    double stairStart = 0.0, stairEnd = 0.0;
    // Height of the step that follows the piece; 0 when none.
    double rise = 0.0;
    double savedStairStart = 0.0;

    bool isArc() const { return kind != kStraight; }
    double radius() const { return end.x; }
    double startAngle() const { return end.y; }
    double endAngle() const { return end.z; }
};

// One vertical element: the piece it stands on and its section.
struct HandrailPost {
    std::size_t piece = 0;
    std::vector<Point3> section;
};

using PostFace = std::array<Point3, 4>;

constexpr int kHandrailSolid = 0;
constexpr int kHandrailRailOnly = 1;
constexpr int kHandrailWithPosts = 2;
constexpr int kHandrailOutside = 0;
constexpr int kHandrailInside = 1;

struct HandrailWork {
    std::vector<HandrailPiece> pathPieces;
    double width = 6.0;
    double height = 90.0;
    double maxSteps = 60.0;
    double thickness = 4.0;
    double spacing = 25.0;
    double postRadius = 5.0;
    double sideInset = 5.0;
    std::string railLayer = "3DSTAIRS_HR";
    std::string postLayer = "3DSTAIRS_RL";
    std::string baseLayer = "STAIRS";
    int type = kHandrailSolid;
    int sideElementCount = 4;
    int position = kHandrailOutside;
    SideChain firstSide, secondSide;
    std::vector<HandrailPost> posts;
    std::vector<PostFace> postFaces;
    Point3 pickPoint, startPoint, endPoint, insertionPoint;
    int chosenSide = 0;
    bool saveDefaults = false;
    double averageTread = 0.0;
    double unitFactor = 1.0;
    double level = 0.0;
    // The band's side of the path (true: to the right of the walking
    // direction) and the sideways move of the path, set by the command
    // before the vertical elements are placed.
    bool bandRight = false;
    double pathOffset = 0.0;

    // ---- geometry (handrail_geometry.cpp) ----
    // The chain the pick point lies nearer to (ties: the first); with
    // `wholeSide` the handrail runs from its first to its last point, else
    // between the feet of `start` and `end` on it. Null when a point is
    // not on the chosen side or a side is empty.
    const SideChain* ChooseHandrailSide(bool wholeSide, const Point3& start, const Point3& end);
    // Fills `pathPieces` and `averageTread` from the chain between
    // `startPoint` and `endPoint`, with the rail heights.
    void BuildHandrailPieces(const SideChain& chain);
    // Plan length of the pieces from..to inclusive; with `offset`, of the
    // pieces moved sideways by `distance` (to the left when positive).
    double PieceRunLength(std::size_t from, std::size_t to, bool offset, double distance) const;
    // The rail band of types 1 and 2: the band `thickness` high under the
    // rail top.
    void MakeRailBand();
    void PlaceVerticalElements();
    void BuildVerticalElementFaces();
    std::vector<Point3> PostSection(const Point3& centre, double direction) const;
    // The point at `distance` along the run starting at piece `from`, moved
    // sideways by `offset` (to the left when positive), and the piece that
    // holds it; false past the last piece.
    bool PointAtRunDistance(std::size_t from, double distance, double offset, Point3& point,
                            std::size_t& piece) const;

private:
    // Flat pieces of a landing run from..to, rising over the last average
    // tread before the step; the number of pieces inserted.
    std::size_t SplitLandingPiece(std::size_t from, std::size_t to);
};

class CScalaCorriData : public HandrailWork {
public:
    // The settings of the working drawing.
    CScalaCorriData();
    ~CScalaCorriData();
    CScalaCorriData(const CScalaCorriData&) = delete;
    CScalaCorriData& operator=(const CScalaCorriData&) = delete;
};
