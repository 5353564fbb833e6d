// Vectors are matched exactly (bit for bit after the same arithmetic), as
// XOR pixels are: a vector drawn twice from the same inputs cancels.
// Limits: the slot list grows until the next redraw.
#include "host/ed/grdraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"

namespace host {
namespace {

// Vectors in drawing order, with a hash index from a vector's exact bits
// (ends ordered, so either direction finds it) to its slot, so that XOR
// drawing stays constant-time however many vectors show; removed slots are
// compacted away when the list is read.
struct VectorKey {
    std::uint64_t bits[7];
    bool operator==(const VectorKey& o) const {
        return std::equal(std::begin(bits), std::end(bits), std::begin(o.bits));
    }
};
struct VectorKeyHash {
    std::size_t operator()(const VectorKey& k) const {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint64_t b : k.bits) h = (h ^ b) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

struct GrState {
    std::vector<std::optional<TempVector>> slots;
    std::unordered_map<VectorKey, std::size_t, VectorKeyHash> index;
    std::vector<TempVector> shown;  // compacted view of slots
    bool dirty = false;
    std::unordered_set<ZcDbObjectId> undrawn;
};

GrState& gr() {
    static GrState s;
    return s;
}

std::uint64_t bitsOf(double v) {
    if (v == 0) v = 0;  // -0 and 0 are the same pixel
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

VectorKey keyOf(const TempVector& v) {
    const ZcGePoint3d* a = &v.from;
    const ZcGePoint3d* b = &v.to;
    if (std::tie(b->x, b->y, b->z) < std::tie(a->x, a->y, a->z)) std::swap(a, b);
    return {{bitsOf(a->x), bitsOf(a->y), bitsOf(a->z), bitsOf(b->x), bitsOf(b->y), bitsOf(b->z),
             static_cast<std::uint64_t>(static_cast<std::int64_t>(v.color))}};
}

void xorVector(const TempVector& v) {
    GrState& g = gr();
    VectorKey k = keyOf(v);
    auto it = g.index.find(k);
    if (it != g.index.end()) {
        g.slots[it->second].reset();
        g.index.erase(it);
    } else {
        g.index.emplace(k, g.slots.size());
        g.slots.push_back(v);
    }
    g.dirty = true;
}

ZcGePoint3d toPoint(const ads_point p) {
    return ZcGePoint3d(p[0], p[1], p[2]);
}

ZcGePoint3d transformed(const ZcGePoint3d& p, ads_matrix m) {
    if (!m) return p;
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

}  // namespace

const std::vector<TempVector>& temporaryVectors() {
    GrState& g = gr();
    if (g.dirty) {
        g.shown.clear();
        for (const auto& slot : g.slots)
            if (slot) g.shown.push_back(*slot);
        g.dirty = false;
    }
    return g.shown;
}
bool isUndrawn(ZcDbObjectId id) {
    return gr().undrawn.count(id) > 0;
}

void redrawScreen() {
    GrState& g = gr();
    g.slots.clear();
    g.index.clear();
    g.shown.clear();
    g.dirty = false;
    g.undrawn.clear();
}

void resetTemporaryGraphics() {
    redrawScreen();
}

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

bool ZcGiWorldGeometry::polyline(std::uint32_t n, const ZcGePoint3d* pts, const ZcGeVector3d* normal,
                                 std::int32_t) {
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

bool ZcGiWorldGeometry::circularArc(const ZcGePoint3d& start, const ZcGePoint3d& point,
                                    const ZcGePoint3d& end, ZcGiArcType::Type arcType) {
    const ZcGeVector3d a = point - start, b = end - start;
    ZcGeVector3d n = a.crossProduct(b);
    const double nn = n.dotProduct(n);
    if (nn <= 1e-24 * a.dotProduct(a) * b.dotProduct(b) || a.isZeroLength() || b.isZeroLength()) {
        const ZcGePoint3d line[2] = {start, end};
        return polyline(2, line);
    }
    // The circumcentre of the triangle, in its plane.
    const ZcGeVector3d toCenter =
        (b.crossProduct(n) * a.dotProduct(a) + n.crossProduct(a) * b.dotProduct(b)) / (2 * nn);
    const ZcGePoint3d center = start + toCenter;
    const ZcGeVector3d normal = n / std::sqrt(nn);
    const ZcGeVector3d from = start - center, to = end - center;
    // Counter-clockwise about the normal the arc passes the middle point.
    double sweep = std::atan2(from.crossProduct(to).dotProduct(normal), from.dotProduct(to));
    if (sweep < 0) sweep += 2 * 3.14159265358979323846;
    return circularArc(center, toCenter.length(), normal, from, sweep, arcType);
}

bool ZcGiWorldGeometry::text(const ZcGePoint3d& position, const ZcGeVector3d& normal,
                             const ZcGeVector3d& direction, double height, double, double, const char* msg) {
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
    if (mode == 3)
        e->highlight();
    else
        e->unhighlight();
    e->close();
    return RTNORM;
}
