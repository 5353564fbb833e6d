// Junctions and function lines in the wall-face graph.
//
// A face on which another face ends is split there, its wall lines divided
// at the point, so that contours can turn at every junction. Function lines
// (LINEs of the floor's "2DFUNL" layer) separate rooms without a wall: they
// become faces of their own, split each other where one ends on another,
// and split the wall faces they end on.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/ssget.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/graph_index.h"
#include "walls/graph/point_index.h"

namespace {

bool Crossing(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x) {
    return IntersectLines2d(a, b, c, d, x, 1, ZcGeContext::gTol);
}

// Divides F's edges at P (F now ends at P): the edges beyond P go to N, an
// edge across P is cut, its part before P a new edge without entity.
void HandOverEdges(WallFace& f, WallFace& n, const Point3& p) {
    const double cut = Distance2d(f.start, p);
    FaceEdge** link = &f.edges;
    while (*link && Distance2d(f.start, (*link)->end) <= cut + SharedTolerance) link = &(*link)->next;
    FaceEdge* moved = *link;
    *link = nullptr;
    n.edges = moved;
    if (!moved || Distance2d(f.start, moved->start) >= cut - SharedTolerance) return;
    FaceEdge* before = NewSpanEdge(moved->start, p, moved->topZ, moved->bottomZ, moved->edgeVisibility);
    before->extraReal = moved->extraReal;
    before->wallTypeName = moved->wallTypeName;
    before->externalSide = moved->externalSide;
    before->layerIndex = moved->layerIndex;
    *link = before;
    moved->start = p;
}

// The plan box outside which no point passes IsPointOnSegment for the
// face's ends: it spares most of the square roots of that test for the
// faces the grid gives only as neighbours.
struct Reach {
    explicit Reach(const WallFace& f) {
        m = graph_index::OnSegmentReach(f.start, f.end);
        minX = std::min(f.start.x, f.end.x) - m, maxX = std::max(f.start.x, f.end.x) + m;
        minY = std::min(f.start.y, f.end.y) - m, maxY = std::max(f.start.y, f.end.y) + m;
    }
    bool mayHold(const Point3& p) const { return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY; }
    double m, minX, maxX, minY, maxY;
};

}  // namespace

void CFACCIATE::SplitAtJunctions() {
    FacesChanged();
    std::vector<WallFace*> order;
    PointIndex ends(GridCell(unitFactor));
    WallFace* tail = nullptr;
    for (WallFace* f = faces; f; f = f->next) {
        const int id = static_cast<int>(order.size());
        order.push_back(f);
        ends.add(f->start, id);
        ends.add(f->end, id);
        tail = f;
    }
    std::vector<int> ids;
    for (std::size_t i = 0; i < order.size(); ++i) {
        WallFace* f = order[i];
        if (f->isArc()) continue;
        Reach reach(*f);
        // Each split below shortens f to a point on it only within the
        // tolerance, so the face's reach may drift a little; the slack
        // covers dozens of such splits.
        const double slack = 4.0 * reach.m;
        if (!ends.inBox(reach.minX - slack, reach.minY - slack, reach.maxX + slack, reach.maxY + slack,
                        ids)) {
            ids.resize(order.size());
            for (std::size_t k = 0; k < ids.size(); ++k) ids[k] = static_cast<int>(k);
        }
        for (int id : ids) {
            WallFace* g = order[id];
            if (g == f || g->isArc()) continue;
            Point3 p;
            if (reach.mayHold(g->start) && IsPointStrictlyInside(g->start, f->start, f->end))
                p = g->start;
            else if (reach.mayHold(g->end) && IsPointStrictlyInside(g->end, f->start, f->end))
                p = g->end;
            else
                continue;
            WallFace* n = NewWallFace();
            n->start = p;
            n->end = f->end;
            n->outlineLinks = CopyOutlineLinks(f->outlineLinks);
            f->end = p;
            reach = Reach(*f);
            HandOverEdges(*f, *n, p);
            if (tail)
                tail->next = n;
            else
                faces = n;
            tail = n;
            const int nid = static_cast<int>(order.size());
            order.push_back(n);
            ends.add(n->start, nid);
            ends.add(n->end, nid);
            ends.add(p, static_cast<int>(i));
        }
    }
}

void CFACCIATE::MergeFunLines() {
    FacesChanged();
    std::string layer = "2DFUNL";
    MakeLevelLayerName(layer, level);
    ads_name set = {0, 0};
    if (!SelectTypeOnLayer("LINE", layer, false, set, false)) return;
    std::vector<std::pair<Point3, Point3>> lines;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        Point3 a, b;
        if (zcedSSName(set, i, entity) == RTNORM && GetLineData(entity, a, b)) lines.emplace_back(a, b);
    }
    zcedSSFree(set);
    if (!lines.empty()) MergeFunLineSegments(lines);
}

void CFACCIATE::MergeFunLineSegments(const std::vector<std::pair<Point3, Point3>>& lines) {
    FacesChanged();
    std::vector<WallFace*> fun;
    for (const auto& [a, b] : lines) {
        WallFace* f = NewWallFace();
        f->isFunctionLine = 1;
        f->start = a;
        f->end = b;
        fun.push_back(f);
    }
    for (WallFace* f = faces; f; f = f->next) f->isFunctionLine = 0;

    // Where one line ends on another, the other is split.
    const double near = unitFactor * 10000.0 * SharedTolerance;
    auto endsNear = [near](const WallFace* f, const Point3& x) {
        return Distance2d(f->start, x) < near || Distance2d(f->end, x) < near;
    };
    auto split = [&fun](WallFace* f, const Point3& x) {
        WallFace* rest = NewWallFace();
        rest->isFunctionLine = 1;
        rest->start = x;
        rest->end = f->end;
        f->end = x;
        fun.push_back(rest);
    };
    for (std::size_t i = 0; i < fun.size(); ++i) {
        for (std::size_t j = i + 1; j < fun.size(); ++j) {
            WallFace* l = fun[i];
            WallFace* m = fun[j];
            Point3 x;
            if (!Crossing(l->start, l->end, m->start, m->end, x)) continue;
            const bool mEnds = endsNear(m, x), lEnds = endsNear(l, x);
            if (mEnds && !lEnds)
                split(l, x);
            else if (lEnds && !mEnds)
                split(m, x);
        }
    }

    WallFace* list = nullptr;
    for (auto it = fun.rbegin(); it != fun.rend(); ++it) {
        (*it)->next = list;
        list = *it;
    }
    SplitFacesAtFunLines(list);
    WallFace** tail = &faces;
    while (*tail) tail = &(*tail)->next;
    *tail = list;
}

void CFACCIATE::SplitFacesAtFunLines(WallFace* funLines) {
    for (WallFace* l = funLines; l; l = l->next) {
        for (WallFace* w = faces; w; w = w->next) {
            if (w->isArc() || w->isFunctionLine) continue;
            if (!IsPointStrictlyInside(l->start, w->start, w->end) &&
                !IsPointStrictlyInside(l->end, w->start, w->end))
                continue;
            Point3 x;
            if (!Crossing(l->start, l->end, w->start, w->end, x)) continue;
            WallFace* piece = NewWallFace();
            piece->start = w->start;
            piece->end = x;
            piece->outlineLinks = CopyOutlineLinks(w->outlineLinks);
            w->start = x;
            AppendFace(faces, piece);
        }
    }
}
