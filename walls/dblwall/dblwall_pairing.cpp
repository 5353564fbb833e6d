// The pairing of faces for the inner lines of double-line walls.
#include "walls/dblwall/dblwall_pairing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/base/module_state.h"

namespace {

constexpr double kMaxSine = 0.4;
constexpr double kFarAway = 3.4028234663852886e38;
// A face whose box would cover more cells than this is checked by every
// face instead of being filed cell by cell.
constexpr long long kMaxCellsPerFace = 4096;

bool IsPilasterFace(const WallFace& f) {
    return !f.isArc() && f.edges && !f.edges->next && !f.edges->hasEntity();
}

struct Box {
    double x0, y0, x1, y1;
};
Box BoxOf(const Point3& a, const Point3& b, double grow) {
    return {std::min(a.x, b.x) - grow, std::min(a.y, b.y) - grow, std::max(a.x, b.x) + grow,
            std::max(a.y, b.y) + grow};
}

bool Close(const Point3& p, const Point3& q) {
    return Distance2d(p, q) < SharedTolerance;
}

// The sine of the angle between the directions of two segments.
double SineBetween(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const double ux = b.x - a.x, uy = b.y - a.y, wx = d.x - c.x, wy = d.y - c.y;
    const double lu = std::hypot(ux, uy), lw = std::hypot(wx, wy);
    if (lu <= 0.0 || lw <= 0.0) return 1.0;
    return (ux * wy - uy * wx) / (lu * lw);
}

// The point across the two faces: on F's side and on G's side; false when
// neither face's end has its foot on the other.
bool OverlapPoints(const WallFace& f, const WallFace& g, Point3& onF, Point3& onG) {
    Point3 foot;
    for (const Point3* p : {&g.start, &g.end}) {
        PerpendicularFoot(*p, f.start, f.end, foot);
        if (IsPointOnSegment(foot, f.start, f.end)) {
            onF = foot;
            onG = *p;
            return true;
        }
    }
    for (const Point3* p : {&f.start, &f.end}) {
        PerpendicularFoot(*p, g.start, g.end, foot);
        if (IsPointOnSegment(foot, g.start, g.end)) {
            onF = *p;
            onG = foot;
            return true;
        }
    }
    return false;
}

// Faces on both sides of the cross line that only meet end to end.
bool EndToEnd(const WallFace& f, const WallFace& g, const Point3& x, const Point3& y) {
    int count = 0;
    const Point3* farX = nullptr;
    const Point3* farY = nullptr;
    for (const WallFace* h : {&f, &g}) {
        for (int which = 0; which < 2; ++which) {
            const Point3& end = which == 0 ? h->start : h->end;
            const Point3& other = which == 0 ? h->end : h->start;
            if (PointsEqual(end, x, false)) {
                ++count;
                farX = &other;
            }
            if (PointsEqual(end, y, false)) {
                ++count;
                farY = &other;
            }
        }
    }
    if (count != 2 || !farX || !farY) return false;
    const double cosine = std::cos(AngleTo(x, *farX) - AngleTo(y, *farY));
    return cosine < 0.0;
}

}  // namespace

DoubleLineFaces::DoubleLineFaces(const CFACCIATE& graph, double reach) {
    m_reach = std::max(reach, 0.0) + 1.0;
    m_cell = std::max(m_reach, 100.0 * SharedTolerance);
    for (WallFace* f = graph.faces; f; f = f->next) {
        m_faces.push_back(f);
        m_marks.push_back(IsPilasterFace(*f) ? kPilaster : kUnhandled);
    }
    for (int i = 0; i < size(); ++i) {
        const WallFace& f = *m_faces[static_cast<std::size_t>(i)];
        const Box b = BoxOf(f.firstPoint(), f.lastPoint(), f.isArc() ? f.arc.radius : 0.0);
        const long long ix0 = cellOf(b.x0), ix1 = cellOf(b.x1), iy0 = cellOf(b.y0), iy1 = cellOf(b.y1);
        if ((ix1 - ix0 + 1) * (iy1 - iy0 + 1) > kMaxCellsPerFace) {
            m_huge.push_back(i);
        } else {
            for (long long ix = ix0; ix <= ix1; ++ix)
                for (long long iy = iy0; iy <= iy1; ++iy) m_extent[key(ix, iy)].push_back(i);
        }
        if (f.isArc()) continue;
        for (const Point3* p : {&f.start, &f.end}) {
            std::vector<int>& cell = m_ends[key(cellOf(p->x), cellOf(p->y))];
            if (cell.empty() || cell.back() != i) cell.push_back(i);
        }
    }
}

long long DoubleLineFaces::cellOf(double v) const {
    return static_cast<long long>(std::floor(v / m_cell));
}

DoubleLineFaces::Key DoubleLineFaces::key(long long ix, long long iy) const {
    return (static_cast<Key>(static_cast<std::uint32_t>(ix)) << 32) | static_cast<std::uint32_t>(iy);
}

void DoubleLineFaces::near(const Point3& a, const Point3& b, std::vector<int>& out) const {
    out = m_huge;
    const Box box = BoxOf(a, b, m_reach);
    const long long ix0 = cellOf(box.x0), ix1 = cellOf(box.x1), iy0 = cellOf(box.y0), iy1 = cellOf(box.y1);
    if ((ix1 - ix0 + 1) * (iy1 - iy0 + 1) > static_cast<long long>(m_extent.size())) {
        for (const auto& [k, ids] : m_extent) out.insert(out.end(), ids.begin(), ids.end());
    } else {
        for (long long ix = ix0; ix <= ix1; ++ix)
            for (long long iy = iy0; iy <= iy1; ++iy)
                if (auto it = m_extent.find(key(ix, iy)); it != m_extent.end())
                    out.insert(out.end(), it->second.begin(), it->second.end());
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

void DoubleLineFaces::endingAt(const Point3& p, std::vector<int>& out) const {
    out.clear();
    const long long ix = cellOf(p.x), iy = cellOf(p.y);
    for (long long dx = -1; dx <= 1; ++dx)
        for (long long dy = -1; dy <= 1; ++dy)
            if (auto it = m_ends.find(key(ix + dx, iy + dy)); it != m_ends.end())
                for (int i : it->second) {
                    const WallFace& f = *m_faces[static_cast<std::size_t>(i)];
                    if (Close(f.start, p) || Close(f.end, p)) out.push_back(i);
                }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

WallFace* PairDoubleLines(double* angle, double minThickness, double maxThickness, DoubleLineFaces& faces) {
    std::vector<int> candidates;
    while (faces.cursor < faces.size()) {
        const int i = faces.cursor++;
        WallFace* f = faces.face(i);
        if (f->isArc() || faces.mark(i) != DoubleLineFaces::kUnhandled) continue;
        faces.setMark(i, DoubleLineFaces::kHandled);
        double best = kFarAway;
        double way = 0.0;
        bool dropped = false;
        faces.near(f->start, f->end, candidates);
        for (int j : candidates) {
            const WallFace* g = faces.face(j);
            if (j == i || g->isArc() || faces.mark(j) == DoubleLineFaces::kPilaster) continue;
            if (std::fabs(SineBetween(f->start, f->end, g->start, g->end)) > kMaxSine) continue;
            if (Close(f->start, g->start) || Close(f->start, g->end) || Close(f->end, g->start) ||
                Close(f->end, g->end))
                continue;
            Point3 onF, onG;
            if (!OverlapPoints(*f, *g, onF, onG)) continue;
            if (EndToEnd(*f, *g, onF, onG)) continue;
            const double d = Distance2d(onF, onG);
            if (d < SharedTolerance) {
                dropped = true;
                break;
            }
            if (d < best) {
                best = d;
                way = AngleTo(onF, onG);
            }
            if (best < minThickness) {
                dropped = true;
                break;
            }
        }
        if (!dropped && best - maxThickness <= GeomEpsilon) {
            *angle = way;
            return f;
        }
    }
    return nullptr;
}
