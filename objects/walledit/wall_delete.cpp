// The wall deletion command (see the header). Everything runs on one
// CCANCMURO: the face graph of the picked line's level, the wall's extent
// on its axis, the corners where other walls meet it and the lines touched.
#include "objects/walledit/wall_delete.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/pick_walls.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/adspick.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall3d_commands.h"
#include "walls/editing/wall_lines.h"

namespace {

constexpr const char* kPickPrompt = "\nWybierz ścianę, którą chcesz usunąć:";
constexpr const char* kNoOtherSide = "\nNie można znaleźć innej bocznej ściany";

bool SameName(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}

bool IsNull(const ads_name a) {
    return a[0] == 0 && a[1] == 0;
}

void Copy(const ads_name from, ads_name to) {
    to[0] = from[0];
    to[1] = from[1];
}

// Position along the axis a->b of the plan projection of p (in lengths).
double AxisParam(const Point3& a, const Point3& b, const Point3& p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len < GeomEpsilon) return 0.0;
    return ((p.x - a.x) * dx + (p.y - a.y) * dy) / len;
}

Point3 AxisPoint(const Point3& a, const Point3& b, double t, double z) {
    const double len = Distance2d(a, b);
    if (len < GeomEpsilon) return {a.x, a.y, z};
    return {a.x + (b.x - a.x) * t / len, a.y + (b.y - a.y) * t / len, z};
}

// The foot on the infinite line through a and b of the perpendicular at p.
Point3 FootOn(const Point3& a, const Point3& b, const Point3& p) {
    const double len = Distance2d(a, b);
    if (len < GeomEpsilon) return a;
    const double t = AxisParam(a, b, p) / len;
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

double CurrentLevel() {
    const int slot = SetupVar::SQPAV;
    double level = 0.0;
    return GetVarReal(&slot, &level) ? level : 0.0;
}

}  // namespace

CCANCMURO::~CCANCMURO() {
    faces.Clear();
}

double CornerAngle(const Point3& corner, const Point3& faceOther, const Point3& edgeOther) {
    const double a = AngleTo(corner, faceOther), b = AngleTo(corner, edgeOther);
    return std::min(AngleDiffCcw(a, b), AngleDiffCcw(b, a)) - std::numbers::pi * 0.5;
}

void CCANCMURO::RecordTouched(const ads_name entity) {
    WallFace* face = faces.FindFaceById(entity);
    if (!face) return;
    const auto sameFace = [&](const Touched& t) { return t.face == face || SameName(t.entity, entity); };
    if (std::none_of(touchedFaces.begin(), touchedFaces.end(), sameFace)) {
        Touched t{face, face->firstPoint(), face->lastPoint(), {0, 0}};
        Copy(entity, t.entity);
        touchedFaces.push_back(t);
    }
    const auto sameLine = [&](const Touched& t) { return SameName(t.entity, entity); };
    if (std::none_of(touchedLines.begin(), touchedLines.end(), sameLine)) {
        Touched t{face, face->firstPoint(), face->lastPoint(), {0, 0}};
        Copy(entity, t.entity);
        touchedLines.push_back(t);
    }
}

void CCANCMURO::ComputeWallExtent() {
    const double dirP = AngleTo(picked->start, picked->end), dirO = AngleTo(opposite->start, opposite->end);
    // Faces drawn against each other: the picked one is turned round, so
    // both run the same way and the ends pair off.
    if (std::cos(dirP - dirO) < 0.0) {
        SwapPoints(picked->start, picked->end);
        for (FaceEdge* e = picked->edges; e; e = e->next) SwapPoints(e->start, e->end);
    }
    Point3 axisA, axisB;
    MidPoint(picked->start, opposite->start, axisA);
    MidPoint(picked->end, opposite->end, axisB);
    const double ps = AxisParam(axisA, axisB, picked->start), pe = AxisParam(axisA, axisB, picked->end);
    const double os = AxisParam(axisA, axisB, opposite->start), oe = AxisParam(axisA, axisB, opposite->end);
    const double spans[4][2] = {{ps, pe}, {os, oe}, {ps, oe}, {os, pe}};
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (std::fabs(spans[i][1] - spans[i][0]) < std::fabs(spans[best][1] - spans[best][0])) best = i;
    const double z = faces.level;
    Point3 s = AxisPoint(axisA, axisB, spans[best][0], z), e = AxisPoint(axisA, axisB, spans[best][1], z);
    if (Distance2d(e, picked->start) < Distance2d(s, picked->start)) std::swap(s, e);
    wallStart = s;
    wallEnd = e;
    cutStart = s;
    cutEnd = e;
}

namespace {

// True when p projects onto the axis within [from, to] (with the length
// tolerance at both ends).
bool ProjectsWithin(const Point3& from, const Point3& to, const Point3& p) {
    const double t = AxisParam(from, to, p), len = Distance2d(from, to);
    return t >= -SharedTolerance && t <= len + SharedTolerance;
}

}  // namespace

void CCANCMURO::EraseOpeningsInWall() {
    for (OutlineLink* l = picked->outlineLinks; l; l = l->next) {
        const OutlineNode* o = l->outline;
        if (!o || o->kind != 11 || !o->jamb1 || !o->jamb2) continue;
        const Point3 j1{o->jamb1->x, o->jamb1->y, o->jamb1->z}, j2{o->jamb2->x, o->jamb2->y, o->jamb2->z};
        if (ProjectsWithin(wallStart, wallEnd, j1) && ProjectsWithin(wallStart, wallEnd, j2))
            zcdbEntDel(o->entity);
    }
}

void CCANCMURO::FindWallCorners() {
    sideA1[0] = sideA1[1] = sideA2[0] = sideA2[1] = 0;
    sideB1[0] = sideB1[1] = sideB2[0] = sideB2[1] = 0;
    angleA1 = angleA2 = angleB1 = angleB2 = 0.0;
    struct Corner {
        Point3 at, faceOther;
        ads_name* side;
        double* angle;
    };
    const Corner corners[4] = {{picked->start, picked->end, &sideA1, &angleA1},
                               {picked->end, picked->start, &sideA2, &angleA2},
                               {opposite->start, opposite->end, &sideB1, &angleB1},
                               {opposite->end, opposite->start, &sideB2, &angleB2}};
    for (WallFace* f = faces.faces; f; f = f->next) {
        if (f == picked || f == opposite) continue;
        for (FaceEdge* e = f->edges; e; e = e->next) {
            if (!e->hasEntity()) continue;
            for (const Corner& c : corners) {
                const bool atStart = PointsEqual(e->start, c.at, true);
                if (!atStart && !PointsEqual(e->end, c.at, true)) continue;
                Copy(e->entity, *c.side);
                *c.angle = CornerAngle(c.at, c.faceOther, atStart ? e->end : e->start);
            }
        }
    }
}

void CCANCMURO::EraseWallFaces() {
    const bool sideAtStart = !IsNull(sideA1) || !IsNull(sideB1);
    const bool sideAtEnd = !IsNull(sideA2) || !IsNull(sideB2);
    const double len = Distance2d(wallStart, wallEnd);
    for (WallFace* face : {opposite, picked}) {
        const bool isPicked = face == picked;
        const double aStart = isPicked ? angleA1 : angleB1, aEnd = isPicked ? angleA2 : angleB2;
        const auto lengthening = [this](bool side, double angle) {
            if (!side) return 3.0 * thickness;
            return std::min(std::tan(angle) * 1.7 * thickness, 3.0 * thickness);
        };
        const double tStart = lengthening(sideAtStart, aStart), tEnd = lengthening(sideAtEnd, aEnd);
        cutStart = tStart > 0.0 ? AxisPoint(wallStart, wallEnd, -tStart, wallStart.z) : wallStart;
        cutEnd = tEnd > 0.0 ? AxisPoint(wallStart, wallEnd, len + tEnd, wallEnd.z) : wallEnd;
        FaceEdge** link = &face->edges;
        while (*link) {
            FaceEdge* e = *link;
            if (e->hasEntity() && ProjectsWithin(cutStart, cutEnd, e->start) &&
                ProjectsWithin(cutStart, cutEnd, e->end)) {
                RecordTouched(e->entity);
                zcdbEntDel(e->entity);
                *link = e->next;
                e->next = nullptr;
                FreeList(e);
                continue;
            }
            link = &e->next;
        }
    }
    faces.FacesChanged();
}

void CCANCMURO::CutFacesAtWallEnds() {
    for (WallFace* face : {picked, opposite}) {
        ads_name& sideStart = face == picked ? sideA1 : sideB1;
        ads_name& sideEnd = face == picked ? sideA2 : sideB2;
        bool startDone = false, endDone = false;
        for (FaceEdge* e = face->edges; e && !(startDone && endDone); e = e->next) {
            if (!e->hasEntity()) continue;
            Point3 footS = FootOn(e->start, e->end, wallStart), footE = FootOn(e->start, e->end, wallEnd);
            const bool crossesStart = IsPointStrictlyInside(footS, e->start, e->end);
            const bool crossesEnd = IsPointStrictlyInside(footE, e->start, e->end);
            if (crossesStart && crossesEnd && !startDone && !endDone) {
                host::ResbufList list = ReadWallLineList(e->entity);
                const Point3 start = e->start, end = e->end;
                // The end nearer wallStart keeps the line; the piece past
                // wallEnd is new.
                const bool forward =
                    AxisParam(wallStart, wallEnd, start) <= AxisParam(wallStart, wallEnd, end);
                const Point3 near = forward ? start : end, far = forward ? end : start;
                RewriteWallLine(e->entity, near, footS);
                RecordTouched(e->entity);
                Copy(e->entity, sideStart);
                ads_name made = {0, 0};
                if (MakeWallLine(list.get(), footE, far, made)) {
                    Copy(made, sideEnd);
                    RecordTouched(made);
                }
                e->start = near;
                e->end = footS;
                startDone = endDone = true;
                break;
            }
            const auto outside = [this](const Point3& p) {
                const double t = AxisParam(wallStart, wallEnd, p);
                return t < -SharedTolerance || t > Distance2d(wallStart, wallEnd) + SharedTolerance;
            };
            if (crossesStart && !startDone) {
                const Point3 keep = outside(e->start) ? e->start : e->end;
                RewriteWallLine(e->entity, keep, footS);
                RecordTouched(e->entity);
                Copy(e->entity, sideStart);
                e->start = keep;
                e->end = footS;
                startDone = true;
            } else if (crossesEnd && !endDone) {
                const Point3 keep = outside(e->start) ? e->start : e->end;
                RewriteWallLine(e->entity, keep, footE);
                RecordTouched(e->entity);
                Copy(e->entity, sideEnd);
                e->start = keep;
                e->end = footE;
                endDone = true;
            }
        }
    }
}

void CCANCMURO::CloseWallEnds() {
    const auto close = [this](const ads_name first, const ads_name second, const Point3& wallEndPoint) {
        if (IsNull(first) || IsNull(second)) return;
        if (SameName(first, second)) {
            RecordTouched(first);
            zcdbEntDel(first);
            return;
        }
        Point3 a1, a2, b1, b2;
        if (!WallLineEnds(first, a1, a2) || !WallLineEnds(second, b1, b2)) return;
        RecordTouched(first);
        RecordTouched(second);
        if (PointsEqual(a1, b1, true) || PointsEqual(a1, b2, true) || PointsEqual(a2, b1, true) ||
            PointsEqual(a2, b2, true)) {
            zcdbEntDel(first);
            zcdbEntDel(second);
            return;
        }
        if (ArePointsCollinear4(a1, a2, b1, b2, SharedTolerance)) {
            const Point3 pts[4] = {a1, a2, b1, b2};
            int bi = 0, bj = 1;
            for (int i = 0; i < 4; ++i)
                for (int j = i + 1; j < 4; ++j)
                    if (HostDistance(pts[i], pts[j]) > HostDistance(pts[bi], pts[bj])) bi = i, bj = j;
            zcdbEntDel(first);
            RewriteWallLine(second, pts[bi], pts[bj]);
            return;
        }
        Point3 x;
        if (!IntersectLines2d(a1, a2, b1, b2, x, 0, ModuleGeomTol)) return;
        x.z = wallEndPoint.z;
        if (Distance2d(x, wallEndPoint) >= 2.0 * thickness) return;
        RewriteWallLine(first, Distance2d(a1, x) >= Distance2d(a2, x) ? a1 : a2, x);
        RewriteWallLine(second, Distance2d(b1, x) >= Distance2d(b2, x) ? b1 : b2, x);
    };
    close(sideA1, sideB1, wallStart);
    close(sideA2, sideB2, wallEnd);
}

void CCANCMURO::Refresh3D() {
    const ads_name none = {0, 0};
    for (const Touched& t : touchedFaces) Erase3DFacesOnSegment(t.start, t.end, faces.level);
    for (const Touched& t : touchedLines) Regen3DWallsAround(t.entity, none, faces.level, none, none);
}

void CCANCMURO::Run() {
    ComputeWallExtent();
    EraseOpeningsInWall();
    FindWallCorners();
    EraseWallFaces();
    CutFacesAtWallEnds();
    CloseWallEnds();
    Refresh3D();
}

void CmdDelWall() {
    ads_name line = {0, 0};
    ads_point pick = {0, 0, 0}, snapped = {0, 0, 0};
    const double level = CurrentLevel();
    for (;;) {
        std::string layer, keywords;
        const int r = PickLinesAndArcs("LINE", kPickPrompt, line, level, layer, keywords, pick);
        if (r == 0) continue;
        if (r < 0) return;
        if (zcedOsnap(pick, "_NEAR", snapped) == RTNORM) break;
    }
    CCANCMURO work;
    work.faces.level = level;
    work.faces.Build(false, false, nullptr, false);
    work.picked = work.faces.FindFaceById(line);
    const Point3 at{snapped[0], snapped[1], level};
    double angle = 0.0;
    if (work.picked && work.picked->kind == 1)
        work.opposite = FindFaceAcross(work.faces, at, work.picked, &work.thickness, &angle, true);
    if (!work.opposite || work.opposite->kind != 1) {
        zcutPrintf("%s", kNoOtherSide);
        return;
    }
    work.Run();
}
