// Face edge, camera and wall-face selection services (see the header).
#include "walls/drafting/face_services.h"

#include <cmath>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ed/viewport.h"
#include "settings/floor_cmds_run.h"
#include "walls/graph/cfacciate.h"

namespace {

// The view height of a lens: what a 35 mm frame of 18 mm half-height would
// take in at the camera's distance.
constexpr double kLensHeightFactor = 18.0;

bool HasEntity(const FaceEdge& edge) {
    return edge.entity[0] != 0 || edge.entity[1] != 0;
}

}  // namespace

void ToggleNearestFaceEdge(const Point3& point, const Matrix4& matrix, resbuf* face) {
    Point3 corner[4];
    for (int k = 0; k < 4; ++k) {
        const resbuf* rb = FindRbCode(face, 10 + k);
        if (!rb) return;
        TransformPoint(matrix, {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]}, corner[k]);
    }
    int nearest = 0;
    double best = 0.0;
    for (int k = 0; k < 4; ++k) {
        const Point3& a = corner[k];
        const Point3& b = corner[(k + 1) % 4];
        const double excess = HostDistance(a, point) + HostDistance(b, point) - HostDistance(a, b);
        if (k == 0 || excess < best) best = excess, nearest = k;
    }
    const resbuf* flags = FindRbCode(face, 70);
    const short value = static_cast<short>((flags ? flags->resval.rint : 0) ^ (1 << nearest));
    SetRbShort(face, 70, value);
    zcdbEntMod(face);
}

void SetViewportCamera(const Point3& camera, const Point3& target, double lens, int mode) {
    resbuf tile;
    if (zcedGetVar("TILEMODE", &tile) == RTNORM && tile.resval.rint != 0) {
        zcutPrintf("\nPolecenie to nie może być stosowane w obszarze modelu");
        return;
    }
    {
        ZcDbObjectPointer<ZcDbViewport> viewport(zcedGetCurViewportObjectId(), ZcDb::kForWrite);
        if (!viewport) return;
        const ZcGeVector3d direction(camera.x - target.x, camera.y - target.y, camera.z - target.z);
        const ZcGePoint3d at(target.x, target.y, target.z);
        const double distance = direction.length();
        switch (mode) {
            case -1:
                viewport->setPerspectiveOff();
                viewport->setFrontClipOff();
                viewport->setBackClipOff();
                viewport->setFrontClipDistance(0.0);
                viewport->setBackClipDistance(0.0);
                break;
            case 0:
            case 1:
                viewport->setViewDirection(direction);
                viewport->setViewTarget(at);
                if (mode == 1) {
                    // Nothing between the camera and the eye's side is shown.
                    viewport->setFrontClipDistance(distance);
                    viewport->setFrontClipOn();
                    viewport->setBackClipOff();
                }
                break;
            case 3:
            case 4:
                viewport->setViewDirection(direction);
                viewport->setViewTarget(at);
                if (lens > 0.0) {
                    viewport->setLensLength(lens);
                    if (distance > 0.0) viewport->setViewHeight(kLensHeightFactor * distance / lens);
                }
                if (mode == 4) viewport->setPerspectiveOn();
                break;
            default:
                break;
        }
    }
    if (mode == 0 || mode == 1) {
        const int quiet = 0;
        const int echo = SysVarShort("CMDECHO", &quiet);
        zcedCommand(RTSTR, "_ZOOM", RTSTR, "_E", 0);
        SysVarShort("CMDECHO", &echo);
    }
}

void SelectFacesOnWallFace(ads_name output, double level, const ads_name input, const WallFace& face) {
    std::int32_t count = 0;
    if (zcedSSLength(input, &count) != RTNORM) return;
    const double elevation = face.isArc() ? face.arc.centre.z : face.start.z;
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name entity;
        if (zcedSSName(input, i, entity) != RTNORM) continue;
        double own = 0.0;
        if (GetEntityLevel(entity, own, nullptr, false) != 1 || std::fabs(own - level) > GeomEpsilon)
            continue;
        Point3 corner[4];
        if (Get3dFaceData(entity, corner) != 1) continue;
        bool on = true;
        for (Point3& c : corner) {
            c.z = elevation;
            if (face.isArc()) {
                const double r = Distance2d(c, face.arc.centre);
                on = on && std::fabs(r - face.arc.radius) <= GeomEpsilon && IsPointOnArc(c, face.arc, false);
            } else {
                on = on && IsPointOnSegment(c, face.start, face.end);
            }
        }
        if (on) zcedSSAdd(entity, output, output);
    }
}

void AddFaceEdgesToSelection(const WallFace& face, ads_name set) {
    const FaceEdge* edges = face.kind == 0 ? face.arcEdges : face.kind == 1 ? face.edges : nullptr;
    for (const FaceEdge* e = edges; e; e = e->next)
        if (HasEntity(*e)) zcedSSAdd(e->entity, set, set);
}

bool GatherOnWallFace(const ads_name wall, double level, bool outer, const std::int64_t* faces,
                      ads_name out) {
    CFACCIATE graph;
    graph.level = level;
    graph.floorHeight = GetFloorHeightAt(level);
    graph.Build(false, false, nullptr, false);
    graph.MergePillars();
    WallFace* face = graph.FindFaceById(wall);
    if (!face) {
        graph.Clear();
        return false;
    }
    const auto gather = [&](const WallFace& f) {
        if (faces)
            SelectFacesOnWallFace(out, level, faces, f);
        else
            AddFaceEdgesToSelection(f, out);
    };
    if (outer) {
        // The contour's faces are those the walk used.
        OwnedList<VertexNode> ring(graph.ApproximateContourCurves(face, nullptr, 0, true, -1.0));
        for (const WallFace* f = graph.usedFaces; f; f = f->next) gather(*f);
    } else {
        gather(*face);
    }
    graph.Clear();
    return true;
}
