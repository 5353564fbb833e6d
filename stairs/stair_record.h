// The stair record every stair and handrail command works on: its settings
// (loaded from the drawing's settings store when the record is made, written
// back as new defaults only when asked), its model (risers and the two
// sides as element lists), the tread areas, the plan symbol's segment lists
// and the outlines written as companion xdata records.
//
// The stair INSERT carries the record as "VELM6$_$MODE_SCALE-": 38 values,
// then the risers, the first side and the second side as three groups of
// four values per element. The reader accepts the shorter records of older
// releases (26, 27 or 33 values) and reads defensively: a value is taken
// only under its expected group code, and a damaged list stops the reader
// at the damage with the rest of the record left as the settings gave it.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/outline.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

constexpr const char* kStairApp = "VELM6$_$MODE_SCALE-";
constexpr const char* kStairHatchIsolationApp = "VELM5$_$ISOLTRATT-";
constexpr const char* kStairDetailApp = "VELM7$_$DETCOMPSCALE-";
constexpr const char* kStairOpeningApp = "VELM5$_$POLIGFALDA-";
constexpr const char* kStairOutlines3DApp = "VELM7$_$INFOSCALEST3D-";

// A line given by its two ends.
struct StairLine {
    Point3 a, b;
};

// One piece of the walking line: kind 0 a line from start to end; 1 an arc
// walked counter-clockwise from its start angle to its end angle; 2 an arc
// walked clockwise from its end angle to its start angle.
struct WalkElement {
    int kind = 0;
    Point3 start, end;
    Point3 centre;
    double radius = 0.0, startAngle = 0.0, endAngle = 0.0;
};

// One chord of an arc element, in walking order.
struct ArcPointNode {
    ArcPointNode* next = nullptr;
    int spare = 0;
    Point3 start, end;
    Point3 normal{0.0, 0.0, 1.0};
};

// One riser or one piece of a stair side. A line keeps its ends in pointA
// and pointB; an arc keeps its centre in pointA and (radius, start angle,
// end angle) in pointB. endA/endB are the ends in walking order.
struct StairElement {
    int kind = 0;  // 0 line, nonzero arc
    Point3 pointA, pointB;
    Point3 endA, endB;
    ArcPointNode* arcPoints = nullptr;  // owned; empty for a line
    ads_name source = {0, 0};
    bool landing = false;
    StairElement* next = nullptr;

    StairElement() = default;
    StairElement(const StairElement&) = delete;
    StairElement& operator=(const StairElement&) = delete;
    ~StairElement() { FreeList(arcPoints); }

    bool isArc() const { return kind != 0; }
    double radius() const { return pointB.x; }
    double startAngle() const { return pointB.y; }
    double endAngle() const { return pointB.z; }
};

// One step of a structure: the riser lines before and after it and the
// plane of its underside, z = -(a x + b y + d) / c.
struct StairStepPlane {
    StairLine front, back;
    double a = 0.0, b = 0.0, c = 1.0, d = 0.0;
    double ZAt(double x, double y) const { return -(a * x + b * y + d) / c; }
};

// A tread area (or an outline): a closed vertex ring the node owns.
struct StairStep {
    StairStep* next = nullptr;
    VertexNode* ring = nullptr;
    int spare1 = 0, spare2 = 0;

    StairStep() = default;
    StairStep(const StairStep&) = delete;
    StairStep& operator=(const StairStep&) = delete;
    ~StairStep() { FreeList(ring); }
};

class CSCALA {
public:
    CSCALA();
    ~CSCALA();
    CSCALA(const CSCALA&) = delete;
    CSCALA& operator=(const CSCALA&) = delete;

    bool saveDefaults = false;
    int nosingType = 0;
    int structureType = 0;
    int belowRepresentation = 0;
    int aboveRepresentation = 0;
    int startMarker = 0;
    double deductionHeight = 0.0;
    double lintelHeight = 0.0;
    double startMarkerSize = 0.0;
    VertexNode* detailPoints = nullptr;
    VertexNode* hatchIsolationPoints = nullptr;
    VertexNode* openingPolygon = nullptr;
    StairElement* secondSide = nullptr;
    StairElement* firstSide = nullptr;
    StairElement* risers = nullptr;
    SegmentRec* planAbove = nullptr;
    SegmentRec* planBelow = nullptr;
    StairStep* steps = nullptr;
    StairStep* outlines3D = nullptr;
    double riserThicknessPlan = 0.0;
    double stepThicknessPlan = 0.0;
    double unitFactor = 0.0;
    double scaleFactor = 0.0;
    double arrowSideLength = 0.0;
    double startFloorHeight = 0.0;
    double endFloorHeight = 0.0;
    double cutHeight = 0.0;
    double cutLineDistance = 0.0;
    double balustradeStartRight = 0.0;
    double balustradeStartLeft = 0.0;
    double balustradeJoinRight = 0.0;
    double balustradeJoinLeft = 0.0;
    double cutPlaneAngle = 0.0;
    double startOffset = 0.0;
    double floorDistance = 0.0;
    double stepHeight = 0.0;
    double slabThickness = 0.0;
    double nosingLength = 0.0;
    double nosingThickness = 0.0;
    double stepThickness = 0.0;
    double riserThickness = 0.0;
    double platformThickness = 0.0;
    double landingThickness = 0.0;
    int riserCount = 0;
    std::string layerBase;
    std::string layerTreads;
    std::string layerRisers;
    std::string layerStructure;
    std::string layer2DBelow;
    std::string layer2DCut;
    std::string layer2DPlan;
    std::string layer2DAbove;
    bool useRisers = false;
    bool lastStepAtEnd = false;

    // Working fields of the plan symbol: the 2D balustrade pieces of the
    // side being drawn (walking order) and the start-marker-pending flag.
    SegmentRec* pendingBalustrade = nullptr;
    bool startMarkerPending = false;

    // Working fields of the 3D faces: the structure's own step list (the
    // undersides, each a plane between two riser lines), and the four
    // corners of the face that closes the structure at the last riser:
    // corners 1 and 2 on the last tread, 3 and 4 below them, set by the
    // structure producer. A face whose low corners are not set is left out.
    std::vector<StairStepPlane> structureSteps;
    Point3 topFace[4] = {};
    bool topFaceHigh = false;
    bool topFaceLow = false;
    // Set by the face writers when the host refused an entity.
    bool entityFailed = false;

    // The xdata of the stair INSERT (starting with the -3 marker), the
    // application names registered first; the caller frees the list.
    resbuf* WriteStairXData(const Point3& offset) const;
    // The record's values and its three element lists from the entity data
    // of a stair INSERT (with the stair application's xdata), the elements
    // placed by the insertion point and rotation, arcs still without their
    // chords. False when the list holds no stair record.
    bool ReadStairXData(const resbuf* list, const Point3& insertion, double rotation);

    // ---- reading a stair back (stair_model_reader.cpp) ----
    // Fills the record from the entity data of a stair INSERT and rebuilds
    // its model: sides in walking order, risers from side to side, the
    // treads. False when the list holds no stair record.
    bool LoadStairFromEntity(const resbuf* list, const Point3& insertion, double rotation,
                             int riserAdjustment);

    // ---- plan symbol (stair_plan.cpp) ----
    void DrawStairPlanAtCut();
    void DrawStairPlan(int k, int type, const Point3 cut1[2], const Point3 cut2[2], int below);
    // A plan segment pushed on the front of the below (flag 1) or above
    // (flag 0) list; false when it is too small to keep.
    bool AppendPlanSegment(int below, const Point3& first, const Point3& second, int kind);

    void DrawPlanBalustrade(const StairElement& element, double thickness, bool leftSide);
    void TrimBalustradeAtCut(const StairLine* cut1, const StairLine* cut2);
    void DrawWalkArrow(const WalkElement& element, int below);
    void DrawStartMarker(const WalkElement& element, int below);

    // ---- 3D faces (stair_faces.cpp), written where entities go now ----
    void BuildNosingFaces();
    // The structure of the record's type: the producers below, in the
    // order the type takes them.
    void BuildStructure();
    void BuildFullStructure();
    void BuildSteppedStructure(bool stepsOnly);
    void BuildLandingStructure();
    void BuildStructureSides(bool stepsOnly);
    void BuildStepsOnlySides();

    // Asks for points inside treads, marking each tread's riser a landing
    // and showing the tread, until the answer is not a point; that status.
    int PickLandingPoint();

    // ---- block writer (stair_blocks.cpp) ----
    // Writes the stair as its blocks and the final INSERT (then the
    // drawing's last entity). False, with the message printed and no
    // INSERT made, when the host refused an entity.
    bool MakeStairBlocks();

private:
    void FreeModel();
};

// Moves an element from block to world coordinates: by the base point, then
// turned by `angle` about it.
void TransformStairElement(StairElement& element, const Point3& base, double angle);

// The record before `target` in a plan list; the last record when the
// target is not in the list; null when the target is the head.
SegmentRec* FindPredecessor(SegmentRec* head, const SegmentRec* target);
