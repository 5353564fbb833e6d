// Whether the 3D faces of a model close around the solids they bound.
//
// A set of faces is closed when every edge of every face is covered by
// faces on both sides: cut at the corners of other faces lying on it
// (T-junctions), each piece of edge must be an edge of an even number of
// faces, at least two. A piece covered once is a hole in the surface (a
// wall with no face at a door's side, a wall end left open); one covered
// three times is a fin. Faces are 3DFACEs as the drawing holds them: a
// triangle repeats a corner, repeated corners are one corner, and a face
// with fewer than three distinct corners bounds nothing and is left out.
//
// Gathering: `DrawingFaces` reads every 3DFACE of model space and the
// faces of every block reference (nested ones too) in world coordinates,
// each with its layer (a face on layer "0" inside a block takes the
// reference's layer) and the handle of the model-space entity it came
// from, so a test groups them per solid: by layer for the faces the 3D
// wall commands write, per reference for an object's own faces.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "visual/model3d/scene_walk.h"

namespace closed_model {

using Quad = std::array<Point3, 4>;

struct DrawnFace {
    std::string layer;
    std::string owner;  // handle of the model-space entity (the face or the reference)
    Quad c;
};

// A piece of edge not closed: its ends and how many faces have it.
struct OpenEdge {
    Point3 a, b;
    int coverings = 0;
};

namespace detail {

inline double Dist(const Point3& a, const Point3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// Points within `tol` of each other are one vertex.
class Vertices {
public:
    explicit Vertices(double tol) : m_tol(tol) {}
    int id(const Point3& p) {
        const std::int64_t cx = cell(p.x), cy = cell(p.y), cz = cell(p.z);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy)
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    auto it = m_grid.find(key(cx + dx, cy + dy, cz + dz));
                    if (it == m_grid.end()) continue;
                    for (int v : it->second)
                        if (Dist(points[static_cast<std::size_t>(v)], p) <= m_tol) return v;
                }
        const int v = static_cast<int>(points.size());
        points.push_back(p);
        m_grid[key(cx, cy, cz)].push_back(v);
        return v;
    }
    std::vector<Point3> points;

private:
    std::int64_t cell(double x) const { return static_cast<std::int64_t>(std::floor(x / (2.0 * m_tol))); }
    static std::int64_t key(std::int64_t x, std::int64_t y, std::int64_t z) {
        return (x * 73856093) ^ (y * 19349663) ^ (z * 83492791);
    }
    double m_tol;
    std::unordered_map<std::int64_t, std::vector<int>> m_grid;
};

}  // namespace detail

// The pieces of the faces' edges that are not covered by an even number
// of faces; empty when the faces close.
inline std::vector<OpenEdge> OpenEdges(const std::vector<Quad>& faces, double tol = 1e-3) {
    detail::Vertices verts(tol);
    std::vector<std::pair<int, int>> edges;
    for (const Quad& q : faces) {
        std::vector<int> ring;
        for (const Point3& p : q) {
            const int v = verts.id(p);
            if (std::find(ring.begin(), ring.end(), v) == ring.end()) ring.push_back(v);
        }
        if (ring.size() < 3) continue;
        for (std::size_t i = 0; i < ring.size(); ++i)
            edges.emplace_back(ring[i], ring[(i + 1) % ring.size()]);
    }
    // Vertices sorted by x, so an edge looks only at those within its x span.
    std::vector<int> byX(verts.points.size());
    for (std::size_t i = 0; i < byX.size(); ++i) byX[i] = static_cast<int>(i);
    std::sort(byX.begin(), byX.end(), [&](int a, int b) {
        return verts.points[static_cast<std::size_t>(a)].x < verts.points[static_cast<std::size_t>(b)].x;
    });
    std::map<std::pair<int, int>, int> cover;
    for (const auto& [ia, ib] : edges) {
        const Point3 a = verts.points[static_cast<std::size_t>(ia)],
                     b = verts.points[static_cast<std::size_t>(ib)];
        const double len = detail::Dist(a, b);
        const Point3 u{(b.x - a.x) / len, (b.y - a.y) / len, (b.z - a.z) / len};
        std::vector<std::pair<double, int>> cuts{{0.0, ia}, {len, ib}};
        const double x0 = std::min(a.x, b.x) - tol, x1 = std::max(a.x, b.x) + tol;
        auto it = std::lower_bound(byX.begin(), byX.end(), x0, [&](int v, double x) {
            return verts.points[static_cast<std::size_t>(v)].x < x;
        });
        for (; it != byX.end() && verts.points[static_cast<std::size_t>(*it)].x <= x1; ++it) {
            if (*it == ia || *it == ib) continue;
            const Point3& p = verts.points[static_cast<std::size_t>(*it)];
            const double t = (p.x - a.x) * u.x + (p.y - a.y) * u.y + (p.z - a.z) * u.z;
            if (t <= tol || t >= len - tol) continue;
            const Point3 foot{a.x + t * u.x, a.y + t * u.y, a.z + t * u.z};
            if (detail::Dist(foot, p) <= tol) cuts.emplace_back(t, *it);
        }
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
            const int v = cuts[i].second, w = cuts[i + 1].second;
            if (v != w) ++cover[{std::min(v, w), std::max(v, w)}];
        }
    }
    std::vector<OpenEdge> open;
    for (const auto& [piece, n] : cover)
        if (n % 2 != 0)
            open.push_back({verts.points[static_cast<std::size_t>(piece.first)],
                            verts.points[static_cast<std::size_t>(piece.second)], n});
    return open;
}

// The first `max` open pieces, one a line, for a failure message.
inline std::string Describe(const std::vector<OpenEdge>& open, std::size_t max = 12) {
    std::ostringstream out;
    out << open.size() << " open edge piece(s)";
    for (std::size_t i = 0; i < open.size() && i < max; ++i) {
        const OpenEdge& e = open[i];
        out << "\n  (" << e.a.x << ", " << e.a.y << ", " << e.a.z << ") - (" << e.b.x << ", " << e.b.y << ", "
            << e.b.z << ") covered " << e.coverings << "x";
    }
    return out.str();
}

namespace detail {

inline Point3 Apply(const ZcDbXform& x, const ZcGePoint3d& p) {
    const ZcGePoint3d w = x.apply(p);
    return {w.x, w.y, w.z};
}

inline void CollectEntity(const ZcDbObjectId& id, const ZcDbXform& x, const std::string& outerLayer,
                          const std::string& owner, int depth, std::vector<DrawnFace>& out) {
    ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
    if (ent.openStatus() != Zcad::eOk) return;
    std::string layer = ent->layer();
    if (!outerLayer.empty() && layer == "0") layer = outerLayer;
    if (auto* face = ZcDbFace::cast(ent.get())) {
        DrawnFace f{layer, owner, {}};
        for (int i = 0; i < 4; ++i) {
            ZcGePoint3d p;
            face->getVertexAt(i, p);
            f.c[static_cast<std::size_t>(i)] = Apply(x, p);
        }
        out.push_back(f);
    } else if (auto* ref = ZcDbBlockReference::cast(ent.get()); ref && depth < 16) {
        const ZcDbXform inner = scene::Product(x, ref->blockTransform());
        const ZcDbObjectId block = ref->blockTableRecord();
        ent.close();
        for (const ZcDbObjectId& child : scene::BlockEntities(block))
            CollectEntity(child, inner, layer, owner, depth + 1, out);
    }
}

}  // namespace detail

// Every 3DFACE among the model-space entities `ids` (a test's
// modelSpace()) and in the block references among them, in world
// coordinates.
inline std::vector<DrawnFace> DrawingFaces(const std::vector<ZcDbObjectId>& ids) {
    std::vector<DrawnFace> out;
    for (const ZcDbObjectId& id : ids) {
        std::string owner;
        {
            ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
            if (ent.openStatus() != Zcad::eOk) continue;
            owner = ent->handle().ascii();
        }
        detail::CollectEntity(id, ZcDbXform::identity(), "", owner, 0, out);
    }
    return out;
}

// The corners of the faces `keep` accepts.
inline std::vector<Quad> Select(const std::vector<DrawnFace>& faces,
                                const std::function<bool(const DrawnFace&)>& keep) {
    std::vector<Quad> out;
    for (const DrawnFace& f : faces)
        if (keep(f)) out.push_back(f.c);
    return out;
}

}  // namespace closed_model
