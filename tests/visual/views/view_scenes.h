// Small face sets in view coordinates for the hidden-face and shadow tests:
// rectangles facing the viewer at a depth, split into two triangles or
// whole, and the grid a view spans over them.
#pragma once

#include <cmath>
#include <string>

#include "core/geometry/vertex_list.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/section_faces.h"

namespace scenes {

// Pushes one face at the head of the list; null when it is not valid.
inline SectionFace* Add(SectionFace*& list, const Point3 (&c)[4], const int (&words)[4],
                        const std::string& layer, int colour = 256) {
    auto* f = new SectionFace(c, words, colour, layer);
    if (!f->valid) {
        delete f;
        return nullptr;
    }
    f->next = list;
    list = f;
    return f;
}

// A rectangle at depth z, whole, or as two triangles whose shared diagonal
// is not shown.
inline void Rect(SectionFace*& list, double x0, double y0, double x1, double y1, double z,
                 const std::string& layer, bool split = false, int colour = 256) {
    if (!split) {
        Add(list, {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, {1, 1, 1, 1}, layer, colour);
        return;
    }
    Add(list, {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x1, y1, z}}, {1, 1, 0, 0}, layer, colour);
    Add(list, {{x0, y0, z}, {x1, y1, z}, {x0, y1, z}, {x0, y1, z}}, {0, 1, 1, 0}, layer, colour);
}

inline void Grid(const SectionFace* faces, double grid[63]) {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const SectionFace* f = faces; f; f = f->next)
        for (int k = 0; k < f->cornerCount(); ++k) {
            const double v[3] = {f->corners[k].x, f->corners[k].y, f->corners[k].z};
            for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], v[a]), hi[a] = std::max(hi[a], v[a]);
        }
    SpanViewGrid(lo, hi, grid);
}

// Plan area of a ring, measured from its first vertex.
inline double Area(const VertexNode* ring) {
    double a = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        a += (v->x - ring->x) * (w->y - ring->y) - (w->x - ring->x) * (v->y - ring->y);
    }
    return a / 2.0;
}

}  // namespace scenes
