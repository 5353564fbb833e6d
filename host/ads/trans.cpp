// Coordinate systems for zcedTrans: each one is an origin and three axes in
// world coordinates, so any pair converts through the world.
#include <cmath>
#include <optional>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbxform.h"
#include "host/util/nocase.h"

namespace {

struct Frame {
    ZcGePoint3d origin;
    ZcGeVector3d x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
};

Frame ocsFrame(const ZcGeVector3d& normal) {
    Frame f;
    f.z = normal / normal.length();
    f.x = zcdbOcsXAxis(f.z);
    f.y = f.z.crossProduct(f.x);
    return f;
}

// The view's: looking down VIEWDIR at TARGET, the screen's X level.
Frame dcsFrame() {
    Frame f;
    f.origin = host::sysVarPoint("TARGET");
    ZcGePoint3d d = host::sysVarPoint("VIEWDIR");
    ZcGeVector3d z(d.x, d.y, d.z);
    if (z.isZeroLength()) return f;
    f.z = z / z.length();
    ZcGeVector3d x = ZcGeVector3d(0, 0, 1).crossProduct(f.z);
    f.x = x.length() < 1e-12 ? ZcGeVector3d(1, 0, 0) : x / x.length();
    f.y = f.z.crossProduct(f.x);
    return f;
}

// Planar entities keep their coordinates in their OCS; the others (lines,
// 3D polylines, points, faces …) in the world.
bool hasOcs(const resbuf* data) {
    std::string kind;
    short flags = 0;
    for (const resbuf* r = data; r; r = r->rbnext) {
        if (r->restype == 0 && r->resval.rstring) kind = r->resval.rstring;
        if (r->restype == 70) flags = r->resval.rint;
    }
    if (host::iequals(kind, "POLYLINE")) return (flags & (8 | 16 | 64)) == 0;
    for (const char* k : {"CIRCLE", "ARC", "TEXT", "ATTRIB", "ATTDEF", "INSERT", "LWPOLYLINE", "SOLID",
                          "TRACE", "SHAPE", "HATCH", "DIMENSION", "MTEXT"})
        if (host::iequals(kind, k)) return true;
    return false;
}

std::optional<Frame> frameOf(const resbuf* rb) {
    if (!rb) return std::nullopt;
    switch (rb->restype) {
        case RTSHORT:
            if (rb->resval.rint == 0 || rb->resval.rint == 1 || rb->resval.rint == 3) return Frame{};
            if (rb->resval.rint == 2) return dcsFrame();
            return std::nullopt;
        case RT3DPOINT: {
            ZcGeVector3d n(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]);
            if (n.isZeroLength()) return std::nullopt;
            return ocsFrame(n);
        }
        case RTENAME: {
            resbuf* data = zcdbEntGet(rb->resval.rlname);
            if (!data) return std::nullopt;
            ZcGeVector3d n(0, 0, 1);
            for (const resbuf* r = data; r; r = r->rbnext)
                if (r->restype == 210) n = {r->resval.rpoint[0], r->resval.rpoint[1], r->resval.rpoint[2]};
            Frame f = hasOcs(data) && !n.isZeroLength() ? ocsFrame(n) : Frame{};
            zcutRelRb(data);
            return f;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

int zcedTrans(const ads_point pt, const resbuf* from, const resbuf* to, int disp, ads_point result) {
    if (!pt || !result) return RTERROR;
    std::optional<Frame> a = frameOf(from), b = frameOf(to);
    if (!a || !b) return RTERROR;
    ZcGeVector3d world = a->x * pt[0] + a->y * pt[1] + a->z * pt[2];
    if (!disp) world += a->origin.asVector() - b->origin.asVector();
    const double out[3] = {world.dotProduct(b->x), world.dotProduct(b->y), world.dotProduct(b->z)};
    for (int i = 0; i < 3; ++i) result[i] = out[i];
    return RTNORM;
}
