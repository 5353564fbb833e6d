// The preview of an object while it is placed: VELM_PRJ draws the drag
// outline with a cross at the wall reference point and one at the object's
// fixed point, and the three jigs move it. AJIG_PRJ moves and turns it
// freely, AJIG_PRJ_APP slides it along a straight wall by a distance from a
// reference point, AJIG_PRJ_APA turns it about an opening's insertion point
// in an arc wall. VELM_PRJTRAVE draws a pair of chains with rungs for the
// hosts that build one by name.
//
// None of these entities is ever added to a drawing. While a VELM_PRJ lives
// the current layer is on, so the preview shows; a layer that was off is
// turned off again when the preview goes, on cancel too.
//
// The jigs keep their sampling state in `step`: the placer sets a sampling
// step, runs drag() and reads the step the answer led to. Steps 0 (accepted)
// and 1 (cancelled) end every placement; the other steps are the placer's.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "host/ge/gebase.h"

struct ObjContext;

using OutlinePointArray = std::vector<ZcGePoint3d>;

class VELM_PRJ : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_PRJ);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    VELM_PRJ();
    ~VELM_PRJ() override;
    VELM_PRJ(const VELM_PRJ&) = delete;
    VELM_PRJ& operator=(const VELM_PRJ&) = delete;

    // The outline's point pairs, then the crosses that are shown: the base
    // cross in colour 3, the fixed-point cross in colour 1.
    bool worldDraw(ZcGiWorldDraw* wd) override;

    OutlinePointArray outline;  // points 0-1, 2-3, … are the segments
    ZcGePoint3d basePoint;
    ZcGePoint3d fixedPointMarker;
    bool showBaseCross = false;
    bool showFixedPointCross = false;
    bool layerWasOff = false;
    std::string currentLayer;  // CLAYER when the preview was made
    double unitFactor = 1.0;
    double crossSize = 20.0;  // arm length: 20 cm in drawing units
};

class VELM_PRJTRAVE : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_PRJTRAVE);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    // Chain `third` with its rungs to chain `second` (of the same length),
    // then in colour 3 the segments points[0]-points[1], points[2]-points[3]
    // and the first rung.
    bool worldDraw(ZcGiWorldDraw* wd) override;

    OutlinePointArray first, second, third;  // the first is not drawn
    ZcGePoint3d points[4];
};

class AJIG_PRJ : public ZcEdJig {
public:
    AJIG_PRJ() = default;
    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return prj; }

    int step = 0;
    int lastStep = 0;
    ZcGePoint3d currentPoint;
    ZcGePoint3d previousPoint;
    ZcGePoint3d firstPoint;
    bool useFirstPointAsBase = false;
    bool confirmed = false;
    double rotationInput = 0.0;
    VELM_PRJ* prj = nullptr;
    ZcGeVector3d translation;
    std::string keywords;  // the placer sets them before each drag
    ZcGeVector3d rotationAxis{0.0, 0.0, 1.0};
    double rotationStep = 0.0;
    double previousRotationInput = 0.0;

private:
    DragStatus samplePoint(bool withBase);
};

class AJIG_PRJ_APP : public ZcEdJig {
public:
    AJIG_PRJ_APP() = default;
    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return prj; }
    // The base of the current reference set and index.
    const ZcGePoint3d& referencePoint() const;

    int step = 0;
    bool measureFromFront = false;
    ZcGePoint3d frontPoints[4];
    ZcGePoint3d linePoints[4];
    double distance = 0.0;
    double previousDistance = 0.0;
    double firstDirection = 0.0;   // line point 0 to line point 1
    double secondDirection = 0.0;  // line point 2 to line point 3
    double currentDirection = 0.0;
    int referenceIndex = 0;
    VELM_PRJ* prj = nullptr;
    ZcGeVector3d translation;
};

class AJIG_PRJ_APA : public ZcEdJig {
public:
    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return prj; }

    int step = 0;
    double angle = 0.0;
    double previousAngle = 0.0;
    double rotationStep = 0.0;
    ZcGePoint3d centre;  // the opening's insertion point
    ZcGeVector3d rotationAxis{0.0, 0.0, 1.0};
    VELM_PRJ* prj = nullptr;
};

// Lays the context's drag outline on the wall for the jig's current
// reference: at `elevation`, the fixed point on the reference point, turned
// by the context's rotation. The jig's distances start again from 0.
void CalcLineSupportGeometry(AJIG_PRJ_APP& jig, const ObjContext& context, double elevation,
                             const ZcGePoint3d& fixedPoint);
