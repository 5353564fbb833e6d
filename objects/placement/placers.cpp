// The interactive placers (see the header).
#include "objects/placement/placers.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ge/gematrix3d.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/placement/param_input.h"
#include "objects/placement/placement_preview.h"

namespace {

Point3 Fixed(const ObjContext& c, int* kind = nullptr) {
    double p[3];
    const int k = GetObjPoint(c, p);
    if (kind) *kind = k;
    return {p[0], p[1], p[2]};
}

// The drag points at height z, moved by (dx, dy).
void FillOutline(VELM_PRJ& prj, const ObjContext& c, double z, double dx, double dy) {
    prj.outline.clear();
    for (const resbuf* rb = c.dragSegments.get(); rb; rb = rb->rbnext)
        prj.outline.emplace_back(rb->resval.rpoint[0] + dx, rb->resval.rpoint[1] + dy, z);
}

void Translate(VELM_PRJ& prj, double dx, double dy) {
    ZcGeMatrix3d m;
    m.setToTranslation(ZcGeVector3d(dx, dy, 0.0));
    for (ZcGePoint3d& p : prj.outline) p.transformBy(m);
    if (prj.showFixedPointCross) prj.fixedPointMarker.transformBy(m);
}

void Rotate(VELM_PRJ& prj, double angle, const ZcGePoint3d& centre) {
    ZcGeMatrix3d m;
    m.setToRotation(angle, ZcGeVector3d(0.0, 0.0, 1.0), centre);
    for (ZcGePoint3d& p : prj.outline) p.transformBy(m);
}

// The parameter dialog, then the variables, fixed points and drag outline
// read again; false when the dialog was cancelled.
bool ModifyParameters(ObjContext& c, double factor, bool rereadFixedPoints) {
    if (EditObjectParametersDialog(c.runMode == 1 ? 1 : 0, c) < 0) return false;
    EvaluateComputedVars(c, factor);
    if (c.text) {
        if (rereadFixedPoints) ReadFixpSection(c, true);
        ReadDragSection(c);
    }
    return true;
}

// point - R(angle) x fixed, in plan.
Point3 LessTurnedFixed(const Point3& point, double angle, const Point3& fixed) {
    const double cs = std::cos(angle), sn = std::sin(angle);
    return {point.x - (cs * fixed.x - sn * fixed.y), point.y - (sn * fixed.x + cs * fixed.y), point.z};
}

}  // namespace

int PlaceObjectInteractive(ObjContext& c, double factor) {
    const double e = SysVarReal("ELEVATION", nullptr, nullptr);
    AJIG_PRJ jig;
    auto prj = std::make_unique<VELM_PRJ>();
    jig.prj = prj.get();
    prj->showFixedPointCross = true;
    prj->fixedPointMarker = ZcGePoint3d(0.0, 0.0, e);
    Point3 fixed = Fixed(c);
    FillOutline(*prj, c, e, -fixed.x, -fixed.y);
    const bool replaceable = c.skipParamInput != 0 && c.runMode == 0;
    jig.step = 2;
    while (jig.step != 0 && jig.step != 1 && jig.step != 9) {
        switch (jig.step) {
            case 2:
                if (replaceable) {
                    jig.keywords = "Zmień Modyfikuj Zastąp";
                    jig.setDispPrompt("\n%s",
                                      "Punkt wstawiania lub [Zmień stały punkt/Modyfikuj parametry/Zastąp]:");
                } else {
                    jig.keywords = "Zmień Modyfikuj";
                    jig.setDispPrompt("\n%s",
                                      "Punkt wstawienia lub [Zmień stały punkt/Modyfikuj parametry]:");
                }
                break;
            case 3:
                jig.keywords.clear();
                jig.setDispPrompt("\n%s", "Punkt wstawiania lub Enter, aby potwierdzić pierwszy wybrany:");
                break;
            case 4:
                jig.setDispPrompt("\n%s", "Kąt obrotu <0.0>:");
                break;
            default:
                break;
        }
        jig.drag();
        switch (jig.step) {
            case 2:
                jig.firstPoint = jig.currentPoint;
                jig.step = 4;
                if (!c.elevationGiven) {
                    c.elevation = jig.currentPoint.z;
                    for (ZcGePoint3d& p : prj->outline) p.z = c.elevation;
                }
                break;
            case 3:
                if (!c.elevationGiven) c.elevation = jig.currentPoint.z;
                jig.step = 0;
                break;
            case 4:
                jig.step = 3;
                break;
            case 5: {
                const int index = c.fixedPointIndex;
                if (!ModifyParameters(c, factor, true)) return -1;
                if (index <= CountNodes(c.fixedPoints.get())) c.fixedPointIndex = index;
                fixed = Fixed(c);
                FillOutline(*prj, c, c.elevation, jig.currentPoint.x - fixed.x, jig.currentPoint.y - fixed.y);
                jig.step = jig.lastStep;
                break;
            }
            case 6: {
                double given[3] = {fixed.x, fixed.y, fixed.z}, next[3];
                NextFixedPoint(given, c, next, 0);
                Translate(*prj, fixed.x - next[0], fixed.y - next[1]);
                fixed = {next[0], next[1], next[2]};
                jig.step = jig.lastStep;
                break;
            }
            case 8:
                return 1000;
            default:
                break;
        }
    }
    if (c.runMode == 1 && jig.step == 9) return 1;
    if (jig.step != 0) return -1;
    const Point3 at{jig.currentPoint.x, jig.currentPoint.y, c.elevation};
    c.rotation = jig.rotationInput;
    const Point3 insertion = LessTurnedFixed(at, c.rotation, fixed);
    c.insertionPoint[0] = insertion.x;
    c.insertionPoint[1] = insertion.y;
    c.insertionPoint[2] = c.elevation;
    return 1;
}

int PlaceOpeningOnLine(ObjContext& c, double elevation, double factor) {
    AJIG_PRJ_APP jig;
    auto prj = std::make_unique<VELM_PRJ>();
    jig.prj = prj.get();
    prj->showBaseCross = true;
    prj->showFixedPointCross = true;
    FillOutline(*prj, c, elevation, 0.0, 0.0);
    const HostPlacement& h = c.host;
    const Point3 front[4] = {h.faceSegment[0], h.faceSegment[1], h.secondFaceSegment[0],
                             h.secondFaceSegment[1]};
    const Point3 line[4] = {h.wallLine[0], h.wallLine[1], h.secondWallLine[0], h.secondWallLine[1]};
    for (int i = 0; i < 4; ++i) {
        jig.frontPoints[i] = ZcGePoint3d(front[i].x, front[i].y, front[i].z);
        jig.linePoints[i] = ZcGePoint3d(line[i].x, line[i].y, line[i].z);
    }
    jig.firstDirection = AngleTo(line[0], line[1]);
    jig.secondDirection = AngleTo(line[2], line[3]);
    if (c.runMode == 0) {
        // The fixed point measured from the wall end nearer to the pick.
        const int wanted = Distance2d(h.pickPoint, line[1]) <= Distance2d(h.pickPoint, line[0]) ? 1 : 0;
        int pos = 1;
        for (const VertexNode* v = c.fixedPoints.get(); v; v = v->next, ++pos) {
            if (v->edgeFlag != wanted) continue;
            c.fixedPointIndex = pos;
            break;
        }
    }
    int kind = 0;
    Point3 fixed = Fixed(c, &kind);
    auto place = [&] {
        jig.referenceIndex = kind < 0 || kind > 3 ? 0 : kind;
        prj->basePoint = jig.referencePoint();
        CalcLineSupportGeometry(jig, c, elevation, ZcGePoint3d(fixed.x, fixed.y, fixed.z));
        jig.step = 2;
    };
    place();
    while (jig.step != 0 && jig.step != 1 && jig.step != 7) {
        jig.setDispPrompt(
            "\n%s", jig.measureFromFront
                        ? "Odległość lub [Linia ściany/Odniesienie/Zmień stały punkt/Modyfikuj parametry]:"
                        : "Odległość lub [Przód ściany/Odniesienie/Zmień stały punkt/Modifikuj parametry]:");
        jig.drag();
        switch (jig.step) {
            case 2:
                jig.step = 0;
                continue;
            case 3:
                jig.measureFromFront = !jig.measureFromFront;
                break;
            case 4: {
                double out[3];
                kind = FindFixedPointByKind(c, out, jig.referenceIndex);
                fixed = Fixed(c);
                break;
            }
            case 5:
                if (!ModifyParameters(c, factor, true)) return -1;
                fixed = Fixed(c, &kind);
                break;
            case 6: {
                double given[3] = {fixed.x, fixed.y, fixed.z}, next[3];
                NextFixedPoint(given, c, next, jig.referenceIndex);
                fixed = {next[0], next[1], next[2]};
                kind = jig.referenceIndex;
                break;
            }
            default:
                continue;
        }
        place();
    }
    if (c.runMode == 1 && jig.step == 7) return 1;
    if (jig.step != 0) return -1;
    const ZcGePoint3d& ref = jig.referencePoint();
    const Point3 q{ref.x + jig.distance * std::cos(jig.currentDirection),
                   ref.y + jig.distance * std::sin(jig.currentDirection), 0.0};
    Point3 o = LessTurnedFixed(q, c.rotation, fixed);
    o.z = elevation;
    const Point3 across = PolarPoint(o, c.rotation + std::numbers::pi * 0.5, 100.0);
    Point3 x;
    if (!IntersectLines2d(line[0], line[1], o, across, x, 0, ModuleGeomTol)) x = o;
    c.insertionPoint[0] = x.x;
    c.insertionPoint[1] = x.y;
    c.insertionPoint[2] = elevation;
    c.elevation = elevation;
    c.host.pickPoint = {x.x, x.y, elevation};
    return 1;
}

int PlaceOpeningOnArc(ObjContext& c, double elevation, double factor) {
    AJIG_PRJ_APA jig;
    auto prj = std::make_unique<VELM_PRJ>();
    jig.prj = prj.get();
    jig.centre = ZcGePoint3d(c.insertionPoint[0], c.insertionPoint[1], elevation);
    FillOutline(*prj, c, elevation, c.insertionPoint[0], c.insertionPoint[1]);
    jig.step = 2;
    for (;;) {
        jig.setDispPrompt("%s", "\nKąt wstawienia dla otworu lub [Modyfikuj parametry]:");
        jig.drag();
        if (jig.step == 2) {
            c.rotation = jig.angle;
            return 1;
        }
        if (jig.step == 3) {
            if (!ModifyParameters(c, factor, false)) return -1;
            FillOutline(*prj, c, elevation, c.insertionPoint[0], c.insertionPoint[1]);
            Rotate(*prj, jig.angle, jig.centre);
            jig.step = 2;
            continue;
        }
        return c.runMode == 1 && jig.step == 4 ? 1 : -1;
    }
}

int PlaceLabelObject(ObjContext& c, bool askRotation) {
    const std::string& prompt = c.replacementLayer;
    if (prompt.empty()) return 1;
    AJIG_PRJ jig;
    auto prj = std::make_unique<VELM_PRJ>();
    jig.prj = prj.get();
    FillOutline(*prj, c, c.elevation, 0.0, 0.0);
    const Point3& base = c.host.basePoint;
    const bool hasBase = c.host.hasBasePoint;
    jig.firstPoint = ZcGePoint3d(base.x, base.y, base.z);
    auto store = [&](const ZcGePoint3d& p) {
        c.insertionPoint[0] = p.x;
        c.insertionPoint[1] = p.y;
    };
    if (!askRotation || !hasBase) {
        jig.step = 7;
        jig.useFirstPointAsBase = hasBase;
        jig.setDispPrompt("%s", prompt.c_str());
        jig.drag();
        if (jig.step == 1) return -1;
        store(jig.step == 3 ? jig.firstPoint : jig.currentPoint);
        return jig.confirmed ? 0 : 1;
    }
    jig.step = 4;
    jig.currentPoint = jig.firstPoint;
    jig.previousPoint = jig.firstPoint;
    Translate(*prj, base.x, base.y);
    // The angle first, then the point (Enter there keeps the base point).
    for (;;) {
        if (jig.step == 4)
            jig.setDispPrompt("\n%s", "Kąt obrotu <0.0>:");
        else
            jig.setDispPrompt("%s", prompt.c_str());
        jig.drag();
        if (jig.step == 1) return -1;
        if (jig.step == 4) {
            jig.step = 3;
            continue;
        }
        break;
    }
    store(jig.currentPoint);
    c.rotation = jig.rotationInput;
    return 1;
}
