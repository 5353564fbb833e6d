// Vectors are matched exactly (bit for bit after the same arithmetic), as
// XOR pixels are: a vector drawn twice from the same inputs cancels.
#include "host/ed/grdraw.h"

#include <algorithm>
#include <unordered_set>

#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"

namespace host {
namespace {

struct GrState {
    std::vector<TempVector> vectors;
    std::unordered_set<ZcDbObjectId> undrawn;
};

GrState& gr() {
    static GrState s;
    return s;
}

bool samePoint(const ZcGePoint3d& a, const ZcGePoint3d& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool sameVector(const TempVector& a, const TempVector& b) {
    if (a.color != b.color) return false;
    return (samePoint(a.from, b.from) && samePoint(a.to, b.to)) || (samePoint(a.from, b.to) && samePoint(a.to, b.from));
}

void xorVector(const TempVector& v) {
    auto& vs = gr().vectors;
    auto it = std::find_if(vs.begin(), vs.end(), [&](const TempVector& o) { return sameVector(o, v); });
    if (it != vs.end()) vs.erase(it);
    else vs.push_back(v);
}

ZcGePoint3d toPoint(const ads_point p) { return ZcGePoint3d(p[0], p[1], p[2]); }

ZcGePoint3d transformed(const ZcGePoint3d& p, ads_matrix m) {
    if (!m) return p;
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

}  // namespace

const std::vector<TempVector>& temporaryVectors() { return gr().vectors; }
bool isUndrawn(ZcDbObjectId id) { return gr().undrawn.count(id) > 0; }

void redrawScreen() {
    gr().vectors.clear();
    gr().undrawn.clear();
}

void resetTemporaryGraphics() { redrawScreen(); }

std::vector<ZcGiPrimitive> recordWorldDraw(ZcDbEntity* ent, bool dragging) {
    ZcGiWorldDraw wd;
    wd.setDragging(dragging);
    if (ent) {
        wd.subEntityTraits().setColor(static_cast<std::uint16_t>(ent->colorIndex()));
        ent->worldDraw(&wd);
    }
    return wd.primitives();
}

}  // namespace host

// ------------------------------------------------------------ recording draw

bool ZcGiWorldGeometry::polyline(std::uint32_t n, const ZcGePoint3d* pts, const ZcGeVector3d* normal, std::int32_t) {
    if (!pts || n < 2) return false;
    ZcGiPrimitive p;
    p.kind = ZcGiPrimitive::kPolyline;
    p.color = traits_.color();
    p.points.assign(pts, pts + n);
    if (normal) p.normal = *normal;
    out_.push_back(std::move(p));
    return false;
}

bool ZcGiWorldGeometry::polygon(std::uint32_t n, const ZcGePoint3d* pts) {
    if (!pts || n < 3) return false;
    ZcGiPrimitive p;
    p.kind = ZcGiPrimitive::kPolygon;
    p.color = traits_.color();
    p.points.assign(pts, pts + n);
    out_.push_back(std::move(p));
    return false;
}

bool ZcGiWorldGeometry::circle(const ZcGePoint3d& center, double radius, const ZcGeVector3d& normal) {
    ZcGiPrimitive p;
    p.kind = ZcGiPrimitive::kCircle;
    p.color = traits_.color();
    p.center = center;
    p.radius = radius;
    p.normal = normal;
    out_.push_back(std::move(p));
    return false;
}

bool ZcGiWorldGeometry::circularArc(const ZcGePoint3d& center, double radius, const ZcGeVector3d& normal,
                                    const ZcGeVector3d& startVector, double sweepAngle, ZcGiArcType::Type) {
    ZcGiPrimitive p;
    p.kind = ZcGiPrimitive::kCircularArc;
    p.color = traits_.color();
    p.center = center;
    p.radius = radius;
    p.normal = normal;
    p.startVector = startVector;
    p.sweepAngle = sweepAngle;
    out_.push_back(std::move(p));
    return false;
}

bool ZcGiWorldGeometry::text(const ZcGePoint3d& position, const ZcGeVector3d& normal, const ZcGeVector3d& direction,
                             double height, double, double, const char* msg) {
    ZcGiPrimitive p;
    p.kind = ZcGiPrimitive::kText;
    p.color = traits_.color();
    p.center = position;
    p.normal = normal;
    p.direction = direction;
    p.height = height;
    p.text = msg ? msg : "";
    out_.push_back(std::move(p));
    return false;
}

// ------------------------------------------------------- classic interface

int zcedGrDraw(const ads_point from, const ads_point to, int color, int hl) {
    if (!from || !to) return RTERROR;
    host::xorVector({host::toPoint(from), host::toPoint(to), color, hl != 0});
    return RTNORM;
}

int zcedGrVecs(const resbuf* vlist, ads_matrix mat) {
    // Checked whole first: a malformed list draws nothing.
    std::vector<host::TempVector> vectors;
    int color = 7;
    for (const resbuf* rb = vlist; rb; rb = rb->rbnext) {
        if (rb->restype == RTSHORT) {
            color = rb->resval.rint;
            continue;
        }
        const resbuf* to = rb->rbnext;
        bool isPoint = rb->restype == RT3DPOINT || rb->restype == RTPOINT;
        if (!isPoint || !to || (to->restype != RT3DPOINT && to->restype != RTPOINT)) return RTERROR;
        ZcGePoint3d a = host::toPoint(rb->resval.rpoint), b = host::toPoint(to->resval.rpoint);
        if (rb->restype == RTPOINT) a.z = 0;
        if (to->restype == RTPOINT) b.z = 0;
        bool hl = color < 0 && color != -1;  // the host's "highlighted" colours
        vectors.push_back({host::transformed(a, mat), host::transformed(b, mat), color, hl});
        rb = to;
    }
    for (const host::TempVector& v : vectors) host::xorVector(v);
    return RTNORM;
}

int zcedRedraw(const ads_name ent, int mode) {
    if (!ent || (ent[0] == 0 && ent[1] == 0)) {
        if (mode != 0 && mode != 1) return RTERROR;
        host::redrawScreen();
        return RTNORM;
    }
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, ent) != Zcad::eOk || id.isNull()) return RTERROR;
    if (mode == 1) {
        host::gr().undrawn.erase(id);
        return RTNORM;
    }
    if (mode == 2) {
        host::gr().undrawn.insert(id);
        return RTNORM;
    }
    if (mode != 3 && mode != 4) return RTERROR;
    ZcDbEntity* e = nullptr;
    if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return RTERROR;
    if (mode == 3) e->highlight();
    else e->unhighlight();
    e->close();
    return RTNORM;
}
