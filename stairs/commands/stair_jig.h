// The stair path jig: the user draws the plan path of a stair as a chain of
// straight flights, arcs and landings while the two sides and the step
// lines follow the cursor. The chain lives in the preview entity
// VELM_OBJ_SCALAJ (newest node first); the jig AJIG_CMD_SCALA holds the
// drawing state (mode, keywords, prompt, width, step, alignment, snap,
// flight) and turns the finished chain into plain model lines for the stair
// builder.
//
// Modes: 0 next point of a straight segment, 1 second point of a
// three-point arc, 2 centre of an arc, 3 end point of a three-point arc,
// 4 angle of a centre arc, 5 end keeping the model lines, 6 end and build
// the stair, 7 undo the last node, 8 cancelled.
//
// An arc keeps its centre in the first triple of each side and (radius,
// start angle, end angle) in the second. A geometry input that gives no
// sound arc (points too close or in a line, an angle of nothing, a stair
// wider than the arc allows) leaves the node as it was.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"
#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "host/util/adscodes.h"

struct StepLine {
    Point3 start, end;
    StepLine* next = nullptr;
};

struct StairPathNode {
    int kind = 0;                 // 0 straight, 1 arc
    unsigned char direction = 1;  // arcs: 1 counter-clockwise, 0 clockwise
    Point3 sideA[2];              // right-hand side walking from the node point
    Point3 sideB[2];              // left-hand side
    Point3 point;                 // where the segment starts
    double width = 0.0;
    double step = 0.0;  // -1 for a landing
    double endAngle = 0.0;
    StepLine* stepLines = nullptr;  // newest first; owned
    StairPathNode* previous = nullptr;

    StairPathNode() = default;
    StairPathNode(const StairPathNode&) = delete;
    StairPathNode& operator=(const StairPathNode&) = delete;
    ~StairPathNode();
    bool isArc() const { return kind != 0; }
};

void InitPathNode(StairPathNode& node);
void FreeStepLines(StairPathNode& node);
// The angle of one step of length s on the centre line of an arc node; 0
// when the step does not fit on it.
double StepAngleOnArc(const StairPathNode& node, double s);
void BuildLineStepLines(StairPathNode& node, bool withSteps, double s, double w);
void BuildArcStepLines(StairPathNode& node, bool withSteps, double delta);
// Joins the newest node to the one before it (the sides meet), then
// rebuilds the previous node's step lines.
void JoinWithPreviousNode(StairPathNode* previous, StairPathNode& newest);

class VELM_OBJ_SCALAJ : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_OBJ_SCALAJ);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    VELM_OBJ_SCALAJ() = default;
    ~VELM_OBJ_SCALAJ() override;
    bool worldDraw(ZcGiWorldDraw* wd) override;

    StairPathNode* newest = nullptr;
    unsigned char draw = 1;
};

class AJIG_CMD_SCALA : public ZcEdJig {
public:
    AJIG_CMD_SCALA();
    ~AJIG_CMD_SCALA() override;

    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return preview; }

    void BuildStairCreatePrompt(const std::string& keyword);
    void BuildStairDefPrompt(const std::string& keyword);
    std::string LineStageAnswer(DragStatus status);
    std::string ArcStageAnswer(DragStatus status);

    void SetLineSides(const Point3& p, StairPathNode& node) const;
    // False (radii not written) when the inner side would have no radius.
    bool SetArcRadii(StairPathNode& node, double r) const;
    bool SetThreePointArc(const Point3& end, const Point3& second, StairPathNode& node);
    bool SetCentreAngleArc(double angle, const Point3& centre, StairPathNode& node);

    // Pushes a new node starting at p.
    StairPathNode& PushNode(const Point3& p);
    bool UndoLastNode();
    // A flight after the path's last step line, with no step line though a
    // side of it is a step long or more (after a turn its inner side cannot
    // reach): the stair would end before it.
    bool FlightWithoutSteps() const;
    // The model lines of the path in a new selection set (the caller frees
    // it), the stair's start line kept apart, and the number of step lines
    // made (the start line one of them). False when nothing was made.
    bool MakePathModelLines();

    int mode = 0;
    VELM_OBJ_SCALAJ* preview = nullptr;
    std::string keywordList;
    std::string prompt;
    std::string alignmentNames[3] = {"Lewo", "Środek", "Prawo"};
    std::string answer;
    int alignment = 1;
    double width = 110.0;
    double step = 30.0;
    double savedElevation = 0.0;
    ads_name modelLines = {0, 0};
    ads_name startLine = {0, 0};
    int stepLinesMade = 0;
    bool firstPoint = true;
    bool snap = false;
    bool flight = true;
    Point3 point;
    Point3 lastPoint;
    Point3 arcPoint;
    bool threePoint = true;
    int savedAngDir = 0;
    double savedAngBase = 0.0;
    double angle = 0.0;
    double lastAngle = 0.0;
    bool haveLast = false;

private:
    bool OfferArc() const;
    std::string CommonAnswer(DragStatus status);
    void ApplyCommonKeyword(const std::string& keyword);
};

void CmdStairDef();
