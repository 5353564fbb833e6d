// The section object's settings and frames. The settings are read once, at
// construction, so a view is made with one consistent set even if a later
// pass would change the store; an unreadable value reads 0.
#include "visual/views/section_object.h"

#include <cmath>

#include "core/geometry/outline.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ge/gematrix3d.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"

namespace {

constexpr double kEmptyBox = 3.4028234663852886e+38;

int ReadInt(int slot) {
    int value = 0;
    return GetVarInt(&slot, &value) ? value : 0;
}

double ReadReal(int slot) {
    double value = 0.0;
    return GetVarReal(&slot, &value) ? value : 0.0;
}

std::string ReadString(int slot) {
    std::string text;
    return GetVarString(&slot, text) ? text : std::string();
}

bool Unit(const Point3& from, const Point3& to, ZcGeVector3d& out) {
    out = ZcGeVector3d(to.x - from.x, to.y - from.y, to.z - from.z);
    const double length = out.length();
    if (!(length > 0.0)) return false;
    out = out / length;
    return true;
}

bool FrameFromAxes(Matrix4& frame, const Point3& origin, const ZcGeVector3d& u, const ZcGeVector3d& w,
                   const ZcGeVector3d& n) {
    ZcGeMatrix3d system;
    system.setCoordSystem(ZcGePoint3d(origin.x, origin.y, origin.z), u, w, n);
    ZcGeMatrix3d inverse;
    if (!system.inverse(inverse, 1e-12)) return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) frame.m[r][c] = inverse(r, c);
    return true;
}

}  // namespace

CSezione::CSezione() {
    useEntityColour = ReadInt(SetupVar::SETSEZ_COLLAYER) != 0;
    directOutput = ReadInt(SetupVar::SETSEZ_GENESPLO) == 0;
    breakOverhang = ReadReal(SetupVar::SETSEZSPORGSPEZZATA);

    const double unit = ReadReal(SetupVar::SFTMTCM);
    minLength = unit * 0.01;
    tolerance.setEqualPoint(unit * 0.01 * 0.1);
    tolerance.setEqualVector(unit * 0.01 * 0.1);
    unitLength = unit * 10.0;

    shadeGradientMode = ReadInt(SetupVar::SETOMBRE_SFUMA);
    shadeColourMode = ReadInt(SetupVar::SETOMBRE_COLOR);
    shadeHatchMode = ReadInt(SetupVar::SETOMBRE_GHATCH);
    shadeHatchPattern = ReadString(SetupVar::SETOMBRE_MHATCH);
    shadeHatchScale = ReadReal(SetupVar::SETOMBRE_FSHATCH);
    shadeHatchAngle = ReadReal(SetupVar::SETOMBRE_ANGHATCH);
    {
        int slot = SetupVar::SETOMBRE_DIRLUCE;
        GetVarPoint(&slot, &lightDirection.x, &lightDirection.y, &lightDirection.z);
    }
    wallLayerLength = ReadReal(SetupVar::DISCMURO);
    intersectionFlag = ReadInt(SetupVar::CALC_INT_SEZ) & 1;

    sectionPlane.set(0.0, 0.0, 1.0, 0.0);
    sidePlane.set(1.0, 0.0, 0.0, 0.0);
    SetIdentity4(viewFrame);
    SetIdentity4(displayFrame);
    SetIdentity4(inverseViewFrame);
    shadeLayer1 = "2DSHADE_H";
    shadeLayer2 = "2DSHADE_L";

    cleanUp = ReadInt(SetupVar::SETSEZRIPULSEZ);
    sectionHatch = ReadInt(SetupVar::SETSEZTRATTSEZ);
    sectionHatchScale = ReadReal(SetupVar::SETSEZSCALAHSEZ);
    sectionHatchAngle = ReadReal(SetupVar::SETSEZANGHSEZ);
    sectionHatchLayer = ReadString(SetupVar::SETSEZLAYERHSEZ);
    sectionHatchPattern = ReadString(SetupVar::SETSEZMODHSEZ);
    extraHatch = ReadInt(SetupVar::SETSEZAGGIUNGITRAT);

    // Empty until the first face or line widens it.
    for (int k = 0; k < 3; ++k) {
        boxMin[k] = kEmptyBox;
        boxMax[k] = -kEmptyBox;
    }
    ReadFluList();
}

CSezione::~CSezione() {
    for (int k = 0; k < kBuckets; ++k) {
        FreeList(faceBuckets[k]);
        FreeList(segmentBuckets[k]);
    }
    FreeList(sectionSegments);
    FreeList(viewLines);
    FreeList(faces);
    FreeFaceGroups(coplanarGroups);
    FreeShadowGroups(shadeOutlines);
    FreeList(levelMarks);
    FreeOutlinePolygons(wallOutlines);
    FreeOutlinePolygons(capOutlines);
    FreeNameList(layerNames);
    FreeList(renames);
    for (WallChain* chain = wallChains; chain;) {
        WallChain* next = chain->next;
        FreeList(chain->segments);
        delete chain;
        chain = next;
    }
}

bool BuildViewFrame(Matrix4& frame, Point3& A, Point3& B, const Point3& C, Point3& E, FrameMode mode) {
    ZcGeVector3d u, w;
    if (!Unit(B, A, u) || !Unit(B, C, w)) return false;
    ZcGeVector3d n = w.crossProduct(u);
    if (mode == FrameMode::Extents) {
        ads_point lo = {0, 0, 0}, hi = {0, 0, 0};
        SysVarPoint("EXTMIN", nullptr, lo);
        SysVarPoint("EXTMAX", nullptr, hi);
        if (lo[0] > hi[0]) {
            zcutPrintf(kNoValidObjects);
            return false;
        }
        A = {lo[0], lo[1], lo[2]};
        const double d = std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                                   (hi[2] - lo[2]) * (hi[2] - lo[2]));
        // The origin stands the extents' diagonal back from their lowest
        // corner, so every object lies on the far side of the view plane.
        B = {A.x - d * n.x, A.y - d * n.y, A.z - d * n.z};
        E = {B.x - n.x, B.y - n.y, B.z - n.z};
    }
    if (!FrameFromAxes(frame, B, u, w, n)) return false;
    Point3 camera;
    TransformPoint(frame, E, camera);
    if (camera.z > 0.0) {
        n = u.crossProduct(w);
        if (!FrameFromAxes(frame, B, u, w, n)) return false;
        TransformPoint(frame, E, camera);
    }
    A = camera;
    return true;
}
