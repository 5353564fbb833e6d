// The placement preview and its jigs (see the header).
#include "objects/placement/placement_preview.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/grdraw.h"
#include "host/ge/gematrix3d.h"
#include "objects/language/obj_context.h"
#include "store/settings_dbfiler.h"
#include "store/settings_store.h"

namespace {

constexpr auto kSampleControls =
    static_cast<ZcEdJig::UserInputControls>(ZcEdJig::kAccept3dCoordinates | ZcEdJig::kNullResponseAccepted);

ZcDbObjectPointer<ZcDbLayerTableRecord> OpenLayerForWrite(const std::string& name) {
    ZcDbObjectPointer<ZcDbLayerTableRecord> rec;
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db || name.empty()) return rec;
    ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
    ZcDbObjectId id;
    if (table && table->getAt(name, id) == Zcad::eOk) rec.open(id, ZcDb::kForWrite);
    return rec;
}

void DrawSegment(ZcGiWorldDraw* wd, const ZcGePoint3d& a, const ZcGePoint3d& b) {
    const ZcGePoint3d pts[2] = {a, b};
    wd->geometry().polyline(2, pts);
}

// A plus-shaped cross whose arms are `size` long.
void DrawCross(ZcGiWorldDraw* wd, const ZcGePoint3d& c, double size, std::uint16_t colour) {
    wd->subEntityTraits().setColor(colour);
    const double half = std::numbers::pi * 0.5;
    auto at = [&](double angle) {
        return ZcGePoint3d(c.x + size * std::cos(angle), c.y + size * std::sin(angle), c.z);
    };
    DrawSegment(wd, at(0.0), at(std::numbers::pi));
    DrawSegment(wd, at(half), at(3.0 * half));
}

void Transform(VELM_PRJ* prj, const ZcGeMatrix3d& m) {
    if (!prj) return;
    for (ZcGePoint3d& p : prj->outline) p.transformBy(m);
    if (prj->showFixedPointCross) prj->fixedPointMarker.transformBy(m);
}

}  // namespace

// ---- VELM_PRJ ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_PRJ)

VELM_PRJ::VELM_PRJ() : unitFactor(DrawingUnitFactor()), crossSize(20.0 * unitFactor) {
    SysVarString("CLAYER", {}, currentLayer);
    if (ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayerForWrite(currentLayer)) {
        if (rec->isOff()) {
            layerWasOff = true;
            rec->setIsOff(false);
        }
    }
}

VELM_PRJ::~VELM_PRJ() {
    if (!layerWasOff) return;
    if (ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayerForWrite(currentLayer)) rec->setIsOff(true);
}

bool VELM_PRJ::worldDraw(ZcGiWorldDraw* wd) {
    for (std::size_t i = 0; i + 1 < outline.size(); i += 2) DrawSegment(wd, outline[i], outline[i + 1]);
    if (showBaseCross) DrawCross(wd, basePoint, crossSize, 3);
    if (showFixedPointCross) DrawCross(wd, fixedPointMarker, crossSize, 1);
    return true;
}

// ---- VELM_PRJTRAVE ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_PRJTRAVE)

bool VELM_PRJTRAVE::worldDraw(ZcGiWorldDraw* wd) {
    // The chains are drawn as far as both hold points.
    const std::size_t n = std::min(third.size(), second.size());
    const OutlinePointArray& a = third;
    const OutlinePointArray& b = second;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        DrawSegment(wd, a[i], a[i + 1]);
        DrawSegment(wd, a[i], b[i]);
        DrawSegment(wd, b[i], b[i + 1]);
    }
    if (n > 0) DrawSegment(wd, a[n - 1], b[n - 1]);
    wd->subEntityTraits().setColor(3);
    DrawSegment(wd, points[0], points[1]);
    DrawSegment(wd, points[2], points[3]);
    if (n > 0) DrawSegment(wd, a[0], b[0]);
    return true;
}

// ---- AJIG_PRJ ----

ZcEdJig::DragStatus AJIG_PRJ::samplePoint(bool withBase) {
    auto acquire = [&] {
        return withBase ? acquirePoint(currentPoint, firstPoint) : acquirePoint(currentPoint);
    };
    DragStatus st = acquire();
    // Told and asked again; the preview stays where it was meanwhile.
    while (st == kNormal && !PointInRange(Point3{currentPoint.x, currentPoint.y, currentPoint.z})) {
        currentPoint = previousPoint;
        ReportOutOfRange();
        st = acquire();
    }
    if (st == kNormal && currentPoint.isEqualTo(previousPoint)) {
        translation = ZcGeVector3d(0.0, 0.0, 0.0);
        return kNoChange;
    }
    if (st == kNormal) {
        translation = ZcGeVector3d(currentPoint.x - previousPoint.x, currentPoint.y - previousPoint.y, 0.0);
        previousPoint = currentPoint;
    } else {
        translation = ZcGeVector3d(0.0, 0.0, 0.0);
    }
    return st;
}

ZcEdJig::DragStatus AJIG_PRJ::sampler() {
    if (step < 2 || step > 7) return kNoChange;
    lastStep = step;
    setUserInputControls(kSampleControls);
    switch (step) {
        case 2:
        case 3: {
            setKeywordList(keywords.c_str());
            const DragStatus st = samplePoint(false);
            if (st == kNoChange) return st;
            if (step == 2) {
                if (st == kCancel)
                    step = 1;
                else if (st == kNull)
                    step = 9;
                else if (st == kKW1)
                    step = 6;
                else if (st == kKW2)
                    step = 5;
                else if (st == kKW3)
                    step = 8;
            } else if (st == kCancel) {
                step = 1;
            } else if (st == kNull) {
                currentPoint = firstPoint;
                step = 0;
            }
            return st;
        }
        case 4: {
            DragStatus st = acquireAngle(rotationInput, currentPoint);
            while (st == kNormal && !AngleInRange(rotationInput)) {
                rotationInput = previousRotationInput;
                ReportOutOfRange();
                st = acquireAngle(rotationInput, currentPoint);
            }
            if (st == kNormal && rotationInput == previousRotationInput) {
                rotationStep = 0.0;
                return kNoChange;
            }
            if (st == kNormal) {
                rotationStep = rotationInput - previousRotationInput;
                previousRotationInput = rotationInput;
            } else {
                rotationStep = 0.0;
            }
            if (st == kCancel) {
                step = 1;
            } else if (st == kNull) {
                rotationInput = 0.0;
                step = 3;
            }
            return st;
        }
        case 7: {
            const DragStatus st = samplePoint(useFirstPointAsBase);
            if (st == kNoChange) return st;
            if (st == kNull) {
                confirmed = true;
                if (useFirstPointAsBase) step = 3;
            } else if (st == kCancel) {
                step = 1;
            }
            return st;
        }
        default:
            return kNoChange;
    }
}

bool AJIG_PRJ::update() {
    ZcGeMatrix3d m;
    if (lastStep == 2 || lastStep == 3 || lastStep == 7)
        m.setToTranslation(translation);
    else if (lastStep == 4)
        m.setToRotation(rotationStep, rotationAxis, currentPoint);
    Transform(prj, m);
    return true;
}

// ---- AJIG_PRJ_APP ----

const ZcGePoint3d& AJIG_PRJ_APP::referencePoint() const {
    const int i = referenceIndex < 0 || referenceIndex > 3 ? 0 : referenceIndex;
    return measureFromFront ? frontPoints[i] : linePoints[i];
}

ZcEdJig::DragStatus AJIG_PRJ_APP::sampler() {
    // The prompt spells the last keyword "Modifikuj": a user typing what the
    // prompt shows is understood too.
    setKeywordList(
        measureFromFront
            ? "Linia Odniesienie Zmień Modyfikuj Modifikuj _ Linia Odniesienie Zmień Modyfikuj Modyfikuj"
            : "Przód Odniesienie Zmień Modyfikuj Modifikuj _ Przód Odniesienie Zmień Modyfikuj Modyfikuj");
    setUserInputControls(kSampleControls);
    DragStatus st = acquireDist(distance, referencePoint());
    while (st == kNormal && !CoordinateInRange(distance)) {
        distance = previousDistance;
        ReportOutOfRange();
        st = acquireDist(distance, referencePoint());
    }
    if (st == kNormal && distance == previousDistance) {
        translation = ZcGeVector3d(0.0, 0.0, 0.0);
        return kNoChange;
    }
    switch (referenceIndex) {
        case 1:
            currentDirection = firstDirection + std::numbers::pi;
            break;
        case 2:
            currentDirection = secondDirection;
            break;
        case 3:
            currentDirection = secondDirection + std::numbers::pi;
            break;
        default:
            currentDirection = firstDirection;
            break;
    }
    if (st == kNormal) {
        const double d = distance - previousDistance;
        translation = ZcGeVector3d(d * std::cos(currentDirection), d * std::sin(currentDirection), 0.0);
        previousDistance = distance;
    } else {
        translation = ZcGeVector3d(0.0, 0.0, 0.0);
    }
    if (st == kCancel)
        step = 1;
    else if (st == kNull)
        step = 7;
    else if (st == kKW1)
        step = 3;
    else if (st == kKW2)
        step = 4;
    else if (st == kKW3)
        step = 6;
    else if (st == kKW4)
        step = 5;
    return st;
}

bool AJIG_PRJ_APP::update() {
    if (step != 2) return true;
    ZcGeMatrix3d m;
    m.setToTranslation(translation);
    Transform(prj, m);
    return true;
}

void CalcLineSupportGeometry(AJIG_PRJ_APP& jig, const ObjContext& context, double elevation,
                             const ZcGePoint3d& fixedPoint) {
    jig.distance = 0.0;
    jig.previousDistance = 0.0;
    if (!jig.prj) return;
    VELM_PRJ& prj = *jig.prj;
    prj.outline.clear();
    for (const resbuf* rb = context.dragSegments.get(); rb; rb = rb->rbnext)
        prj.outline.emplace_back(rb->resval.rpoint[0], rb->resval.rpoint[1], elevation);
    ZcGeMatrix3d toFixed, turn, place;
    toFixed.setToTranslation(ZcGeVector3d(-fixedPoint.x, -fixedPoint.y, 0.0));
    turn.setToRotation(context.rotation, ZcGeVector3d(0.0, 0.0, 1.0), ZcGePoint3d(0.0, 0.0, 0.0));
    const ZcGePoint3d& base = jig.referencePoint();
    jig.translation = ZcGeVector3d(base.x, base.y, 0.0);
    place.setToTranslation(jig.translation);
    for (ZcGePoint3d& p : prj.outline) p.transformBy(toFixed).transformBy(turn).transformBy(place);
    prj.fixedPointMarker = ZcGePoint3d(0.0, 0.0, elevation) + jig.translation;
}

// ---- AJIG_PRJ_APA ----

ZcEdJig::DragStatus AJIG_PRJ_APA::sampler() {
    setKeywordList("Modyfikuj");
    setUserInputControls(kSampleControls);
    DragStatus st = acquireAngle(angle, centre);
    while (st == kNormal && !AngleInRange(angle)) {
        angle = previousAngle;
        ReportOutOfRange();
        st = acquireAngle(angle, centre);
    }
    if (st == kNormal && angle == previousAngle) {
        rotationStep = 0.0;
        return kNoChange;
    }
    if (st == kNormal) {
        rotationStep = angle - previousAngle;
        previousAngle = angle;
    } else {
        rotationStep = 0.0;
    }
    if (st == kCancel)
        step = 1;
    else if (st == kNull)
        step = 4;
    else if (st == kKW1)
        step = 3;
    return st;
}

bool AJIG_PRJ_APA::update() {
    ZcGeMatrix3d m;
    m.setToRotation(rotationStep, rotationAxis, centre);
    if (prj)
        for (ZcGePoint3d& p : prj->outline) p.transformBy(m);
    return true;
}
