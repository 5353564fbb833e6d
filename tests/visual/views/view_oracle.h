// An independent look at a view: the model's 3DFACEs taken into view
// coordinates and cast rays along the view direction from the section
// plane, against which the lines and hatches a view command wrote are
// judged. A point of the section plane lies in the cut of a solid when the
// ray from it crosses the faces behind the plane an odd number of times;
// a point of the drawing lies in the cut (a cap) when that holds all
// around it.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "tests/visual/model3d_fixture.h"

namespace oracle {

struct Tri {
    Point3 p[3];
};

struct Line2 {
    Point3 a, b;
};

using Ring = std::vector<Point3>;

class ViewOracle {
public:
    // The faces (world) seen through the frame (world to view).
    ViewOracle(const std::vector<Face3D>& faces, const Matrix4& frame) {
        for (const Face3D& f : faces) {
            Point3 v[4];
            for (int k = 0; k < 4; ++k) TransformPoint(frame, f.c[k], v[k]);
            tris_.push_back({{v[0], v[1], v[2]}});
            if (!f.triangle()) tris_.push_back({{v[0], v[2], v[3]}});
        }
        // The view's extent: what of the faces lies behind the section plane.
        bool first = true;
        for (const Tri& t : tris_)
            for (int k = 0; k < 3; ++k) {
                const Point3& a = t.p[k];
                const Point3& b = t.p[(k + 1) % 3];
                std::vector<Point3> kept;
                if (a.z >= 0.0) kept.push_back(a);
                if ((a.z < 0.0) != (b.z < 0.0)) {
                    const double s = a.z / (a.z - b.z);
                    kept.push_back({a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), 0.0});
                }
                for (const Point3& p : kept) {
                    if (first || p.x < xmin) xmin = p.x;
                    if (first || p.y < ymin) ymin = p.y;
                    first = false;
                }
            }
    }

    // The depths (> 0) where the ray from the section plane at x, y
    // crosses a face.
    std::vector<double> Hits(double x, double y) const {
        std::vector<double> out;
        for (const Tri& t : tris_) {
            const Point3 &a = t.p[0], &b = t.p[1], &c = t.p[2];
            const double d = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            if (std::fabs(d) < 1e-9) continue;
            const double u = ((b.x - x) * (c.y - y) - (c.x - x) * (b.y - y)) / d;
            const double v = ((c.x - x) * (a.y - y) - (a.x - x) * (c.y - y)) / d;
            const double w = 1.0 - u - v;
            if (u < 0.0 || v < 0.0 || w < 0.0) continue;
            const double z = u * a.z + v * b.z + w * c.z;
            if (z > 1e-6) out.push_back(z);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    bool InSolid(double x, double y) const { return Hits(x, y).size() % 2 == 1; }

    // Inside a cut, away from its border by about delta: the points around
    // (not the point itself, which may lie on a face's edge) all inside.
    bool InCap(double x, double y, double delta = 0.5) const {
        for (int k = 0; k < 6; ++k) {
            const double angle = 0.1 + k * 1.0471975511965976;
            if (!InSolid(x + delta * std::cos(angle), y + delta * std::sin(angle))) return false;
        }
        return true;
    }

    // Sheet point to view point, for a view drawn at real size at `at`.
    Point3 FromSheet(const Point3& p, const Point3& at) const {
        return {p.x - at.x + xmin, p.y - at.y + ymin, 0.0};
    }

    double xmin = 0.0, ymin = 0.0;

private:
    std::vector<Tri> tris_;
};

// The newest INSERT of an anonymous block (a view) among `ids` and not
// among `before`, and its block's name; null when there is none.
inline ZcDbObjectId NewestView(const std::vector<ZcDbObjectId>& ids, std::string& block,
                               const std::vector<ZcDbObjectId>& before = {}) {
    ZcDbObjectId found;
    for (ZcDbObjectId id : ids) {
        if (std::find(before.begin(), before.end(), id) != before.end()) continue;
        ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
        if (!ref) continue;
        ZcDbObjectPointer<ZcDbBlockTableRecord> rec(ref->blockTableRecord(), ZcDb::kForRead);
        std::string name;
        if (rec) rec->getName(name);
        if (!name.empty() && name[0] == '*') found = id, block = name;
    }
    return found;
}

inline ZcDbObjectPointer<ZcDbBlockTableRecord> OpenBlock(ZcDbDatabase* db, const std::string& name) {
    return ZcDbObjectPointer<ZcDbBlockTableRecord>(db->recordId(db->blockTableId(), name), ZcDb::kForRead);
}

// The LINEs of a block on one layer.
inline std::vector<Line2> BlockLines(ZcDbDatabase* db, const std::string& block, const std::string& layer) {
    std::vector<Line2> out;
    auto rec = OpenBlock(db, block);
    if (!rec) return out;
    for (ZcDbObjectId id : rec->entityIds()) {
        ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
        if (!line || line->layer() != layer) continue;
        const ZcGePoint3d s = line->startPoint(), e = line->endPoint();
        out.push_back({{s.x, s.y, 0.0}, {e.x, e.y, 0.0}});
    }
    return out;
}

// The outer loops of the block's hatches on one layer.
inline std::vector<Ring> BlockHatchRings(ZcDbDatabase* db, const std::string& block,
                                         const std::string& layer) {
    std::vector<Ring> out;
    auto rec = OpenBlock(db, block);
    if (!rec) return out;
    for (ZcDbObjectId id : rec->entityIds()) {
        ZcDbObjectPointer<ZcDbHatch> hatch(id, ZcDb::kForRead);
        if (!hatch || hatch->layer() != layer) continue;
        for (int i = 0; i < hatch->numLoops(); ++i) {
            const ZcDbHatch::Loop& loop = hatch->loopAt(i);
            Ring ring;
            if (loop.isPolyline())
                for (const ZcGePoint2d& p : loop.vertices) ring.push_back({p.x, p.y, 0.0});
            else
                for (const ZcDbHatch::Edge& e : loop.edges) ring.push_back({e.start.x, e.start.y, 0.0});
            if (ring.size() >= 3) out.push_back(ring);
        }
    }
    return out;
}

inline bool InRing(const Point3& p, const Ring& ring) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Point3 &a = ring[i], &b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
    }
    return in;
}

inline bool InAnyRing(const Point3& p, const std::vector<Ring>& rings) {
    return std::any_of(rings.begin(), rings.end(), [&](const Ring& r) { return InRing(p, r); });
}

// Points every `step` along each line, its ends left out.
inline std::vector<Point3> Samples(const std::vector<Line2>& lines, double step) {
    std::vector<Point3> out;
    for (const Line2& l : lines) {
        const double len = std::hypot(l.b.x - l.a.x, l.b.y - l.a.y);
        const int n = static_cast<int>(len / step);
        for (int k = 1; k < n; ++k) {
            const double s = static_cast<double>(k) / n;
            out.push_back({l.a.x + s * (l.b.x - l.a.x), l.a.y + s * (l.b.y - l.a.y), 0.0});
        }
    }
    return out;
}

// The length of the lines of `a` that no line of `b` covers (within tol),
// measured on samples `step` apart.
inline double Uncovered(const std::vector<Line2>& a, const std::vector<Line2>& b, double step, double tol) {
    double missing = 0.0;
    for (const Point3& p : Samples(a, step)) {
        bool covered = false;
        for (const Line2& l : b) {
            const double dx = l.b.x - l.a.x, dy = l.b.y - l.a.y;
            const double len2 = dx * dx + dy * dy;
            double s = len2 > 0.0 ? ((p.x - l.a.x) * dx + (p.y - l.a.y) * dy) / len2 : 0.0;
            s = std::clamp(s, 0.0, 1.0);
            if (std::hypot(l.a.x + s * dx - p.x, l.a.y + s * dy - p.y) <= tol) {
                covered = true;
                break;
            }
        }
        if (!covered) missing += step;
    }
    return missing;
}

}  // namespace oracle
