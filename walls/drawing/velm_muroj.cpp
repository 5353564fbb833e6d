// The wall segment entity (see the header). Faces are made and changed
// through entity-data lists, so a face keeps every record it carries when
// its geometry changes.
#include "walls/drawing/velm_muroj.h"

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/grdraw.h"
#include "settings/dialogs/layer_linetypes.h"
#include "store/settings_dbfiler.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

double readUnitFactor() {
    const int slot = SetupVar::SFTMTCM;
    double factor = 1.0;
    if (!GetVarReal(&slot, &factor)) factor = 1.0;
    return factor;
}

void toPoint(const Point3& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

ZcGePoint3d gePoint(const Point3& p) {
    return {p.x, p.y, p.z};
}

// The entity list of one face, with the common groups and the record.
host::ResbufList faceList(const VELM_MUROJ& m, int face) {
    if (m.seg.kind == DrawnSegment::kStraight) {
        ads_point a, b;
        toPoint(m.seg.face[face].start, a);
        toPoint(m.seg.face[face].end, b);
        return host::ResbufList(zcutBuildList(RTDXF0, "LINE", 8, m.layer.c_str(), 10, a, 11, b, 62, 256, 39,
                                              0.0, -3, 1001, kWallTypeApp, 1000, m.wallType.c_str(), 0));
    }
    const ArcRecord arc = FaceArcRecord(m.seg, face);
    ads_point c;
    toPoint(arc.centre, c);
    c[2] = m.seg.vertex.z;
    return host::ResbufList(zcutBuildList(RTDXF0, "ARC", 8, m.layer.c_str(), 10, c, 40, arc.radius, 50,
                                          arc.startAngle, 51, arc.endAngle, 62, 256, 39, 0.0, -3, 1001,
                                          kWallTypeApp, 1000, m.wallType.c_str(), 0));
}

bool makeLast(const host::ResbufList& list, ads_name made) {
    if (zcdbEntMake(list.get()) != RTNORM) return false;
    return zcdbEntLast(made) == RTNORM;
}

}  // namespace

VELM_PREVIEW_ENTITY_MEMBERS(VELM_MUROJ)

VELM_MUROJ::VELM_MUROJ() : unitFactor(readUnitFactor()) {}

void VELM_MUROJ::ContinueFrom(const VELM_MUROJ& prev) {
    seg = DrawnSegment{};
    seg.face[0] = prev.seg.face[0];
    seg.face[1] = prev.seg.face[1];
    seg.vertex = prev.seg.vertex;
    seg.startThickness = prev.seg.endThickness;
    seg.endThickness = prev.seg.endThickness;
    layer = prev.layer;
    wallType = prev.wallType;
    alignment = prev.alignment;
    ads_name_clear(faceEntity[0]);
    ads_name_clear(faceEntity[1]);
    ads_name_clear(startCapEntity);
    unitFactor = readUnitFactor();
}

bool VELM_MUROJ::worldDraw(ZcGiWorldDraw* wd) {
    wd->subEntityTraits().setColor(2);
    for (int i = 0; i < 2; ++i) {
        if (seg.kind == DrawnSegment::kStraight) {
            const ZcGePoint3d pts[2] = {gePoint(seg.face[i].start), gePoint(seg.face[i].end)};
            wd->geometry().polyline(2, pts);
        } else {
            const ArcRecord arc = FaceArcRecord(seg, i);
            const Point3 from = PolarPoint(arc.centre, arc.startAngle, 1.0);
            const ZcGeVector3d start(from.x - arc.centre.x, from.y - arc.centre.y, 0.0);
            wd->geometry().circularArc(gePoint(arc.centre), arc.radius, ZcGeVector3d(0, 0, 1), start,
                                       AngleDiffCcw(arc.startAngle, arc.endAngle));
        }
    }
    if (seg.startCap) {
        const ZcGePoint3d cap[2] = {gePoint(FaceStartPoint(seg, 0)), gePoint(FaceStartPoint(seg, 1))};
        wd->geometry().polyline(2, cap);
    }
    return true;
}

bool VELM_MUROJ::WriteWallSegments(const LayerAttrEntry* pending) {
    for (int i = 0; i < 2; ++i)
        if (!makeLast(faceList(*this, i), faceEntity[i])) return false;
    LoadLayerLinetypes(pending);
    if (seg.startCap && !WriteCap(false, startCapEntity)) return false;
    return true;
}

bool VELM_MUROJ::WriteCap(bool atEnd, ads_name cap) const {
    ads_point a, b;
    toPoint(atEnd ? FaceEndPoint(seg, 0) : FaceStartPoint(seg, 0), a);
    toPoint(atEnd ? FaceEndPoint(seg, 1) : FaceStartPoint(seg, 1), b);
    const host::ResbufList list(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, a, 11, b, 62, 256, 39,
                                              0.0, -3, 1001, kWallTypeApp, 1000, wallType.c_str(), 0));
    return makeLast(list, cap);
}

void VELM_MUROJ::UpdateSegmentEntities() const {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    for (int i = 0; i < 2; ++i) {
        if (ads_name_nil(faceEntity[i])) continue;
        const host::ResbufList list(zcdbEntGetX(faceEntity[i], apps.get()));
        if (!list) continue;
        if (seg.kind == DrawnSegment::kStraight) {
            ads_point a, b;
            toPoint(seg.face[i].start, a);
            toPoint(seg.face[i].end, b);
            SetRbPoint(list.get(), 10, a);
            SetRbPoint(list.get(), 11, b);
        } else {
            const ArcRecord arc = FaceArcRecord(seg, i);
            ads_point c;
            toPoint(arc.centre, c);
            SetRbPoint(list.get(), 10, c);
            SetRbReal(list.get(), 40, arc.radius);
            SetRbReal(list.get(), 50, arc.startAngle);
            SetRbReal(list.get(), 51, arc.endAngle);
        }
        zcdbEntMod(list.get());
    }
}

void VELM_MUROJ::EraseSegmentEntities() {
    for (ads_name* n : {&faceEntity[0], &faceEntity[1], &startCapEntity}) {
        if (!ads_name_nil(*n)) zcdbEntDel(*n);
        ads_name_clear(*n);
    }
}
