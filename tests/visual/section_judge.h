// A judge of section views that owes nothing to the view's own cap search.
// Each solid's faces are cut by the plane a hair behind the section plane;
// a point of the plane lies in that solid's cut (a cap) when the row
// through it crosses the solid's cut edges an odd number of times, and in
// the view's cap when it lies in any solid's. Single faces (a door leaf, a
// pane) bound no solid: a piece of a cut that is one straight open chain
// is left out. The view is then measured row by row against its section
// hatches and its lines: the cap area left bare, the hatched area outside
// every cap, the length of line drawn inside a cap, and the length of the
// caps' outline (where a cap lies on one side of a cut edge and none on
// the other) that no line follows.
#pragma once

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "tests/visual/model3d_fixture.h"
#include "tests/visual/views/view_oracle.h"
#include "visual/model3d/scene_walk.h"

namespace judge {

struct Seg {
    double ax, ay, bx, by;
};

using Spans = std::vector<std::pair<double, double>>;

// Sorted spans with those that overlap joined.
inline Spans Joined(Spans spans) {
    std::sort(spans.begin(), spans.end());
    Spans out;
    for (const auto& span : spans)
        if (!out.empty() && span.first <= out.back().second)
            out.back().second = std::max(out.back().second, span.second);
        else
            out.push_back(span);
    return out;
}

inline double Length(const Spans& spans) {
    double total = 0.0;
    for (const auto& [a, b] : spans) total += b - a;
    return total;
}

// The length joined spans a and b have in common.
inline double Common(const Spans& a, const Spans& b) {
    double total = 0.0;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        total += std::max(0.0, std::min(a[i].second, b[j].second) - std::max(a[i].first, b[j].first));
        if (a[i].second < b[j].second)
            ++i;
        else
            ++j;
    }
    return total;
}

// The spans of the row at height y inside closed rings, by crossings.
inline void RowSpans(const std::vector<Seg>& edges, double y, Spans& out) {
    std::vector<double> xs;
    for (const Seg& s : edges)
        if ((s.ay > y) != (s.by > y)) xs.push_back(s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay));
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) out.push_back({xs[k], xs[k + 1]});
}

// One solid's cut, its edges bucketed by height for quick rows.
class SolidCut {
public:
    explicit SolidCut(std::vector<Seg> edges) : edges_(std::move(edges)) {
        lo_ = 1e300;
        hi_ = -1e300;
        for (const Seg& s : edges_) lo_ = std::min({lo_, s.ay, s.by}), hi_ = std::max({hi_, s.ay, s.by});
        left_ = 1e300, right_ = -1e300;
        for (const Seg& s : edges_)
            left_ = std::min({left_, s.ax, s.bx}), right_ = std::max({right_, s.ax, s.bx});
        const int bands = std::max(1, static_cast<int>((hi_ - lo_) / kBand) + 1);
        bands_.assign(static_cast<std::size_t>(bands), {});
        for (std::size_t i = 0; i < edges_.size(); ++i) {
            const Seg& s = edges_[i];
            for (int b = Band(std::min(s.ay, s.by)); b <= Band(std::max(s.ay, s.by)); ++b)
                bands_[static_cast<std::size_t>(b)].push_back(i);
        }
    }

    void Spans(double y, judge::Spans& out) const {
        if (y < lo_ || y > hi_) return;
        std::vector<double> xs;
        for (std::size_t i : bands_[static_cast<std::size_t>(Band(y))]) {
            const Seg& s = edges_[i];
            if ((s.ay > y) != (s.by > y)) xs.push_back(s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) out.push_back({xs[k], xs[k + 1]});
    }

    // In one of the row's spans: where a cut is left open (an odd count of
    // crossings), its last crossing bounds nothing, as in the area.
    bool Inside(double x, double y) const {
        judge::Spans spans;
        Spans(y, spans);
        return std::any_of(spans.begin(), spans.end(),
                           [x](const auto& s) { return s.first < x && x < s.second; });
    }

    // Some edge nearer than `margin`.
    bool Near(double x, double y, double margin) const {
        if (y < lo_ - margin || y > hi_ + margin) return false;
        for (int b = Band(y - margin); b <= Band(y + margin); ++b)
            for (std::size_t i : bands_[static_cast<std::size_t>(b)]) {
                const Seg& s = edges_[i];
                const double dx = s.bx - s.ax, dy = s.by - s.ay, len2 = dx * dx + dy * dy;
                const double u =
                    len2 > 0.0 ? std::clamp(((x - s.ax) * dx + (y - s.ay) * dy) / len2, 0.0, 1.0) : 0.0;
                if (std::hypot(s.ax + u * dx - x, s.ay + u * dy - y) < margin) return true;
            }
        return false;
    }

    // Inside all round, farther than margin from every edge (a wall's cut
    // may have no edge along its foot or top).
    bool WellInside(double x, double y, double margin) const {
        if (x < left_ || x > right_ || y < lo_ || y > hi_) return false;
        judge::Spans row;
        Spans(y, row);
        const auto in = [](const judge::Spans& spans, double at) {
            return std::any_of(spans.begin(), spans.end(),
                               [at](const auto& s) { return s.first < at && at < s.second; });
        };
        if (!in(row, x) || !in(row, x + margin) || !in(row, x - margin)) return false;
        return Inside(x, y + margin) && Inside(x, y - margin) && !Near(x, y, margin);
    }

    double low() const { return lo_; }
    double high() const { return hi_; }
    double left() const { return left_; }
    double right() const { return right_; }
    const std::vector<Seg>& edges() const { return edges_; }

private:
    static constexpr double kBand = 10.0;
    int Band(double y) const {
        const int b = static_cast<int>(std::floor((y - lo_) / kBand));
        return std::clamp(b, 0, static_cast<int>(bands_.size()) - 1);
    }
    std::vector<Seg> edges_;
    std::vector<std::vector<std::size_t>> bands_;
    double lo_, hi_, left_, right_;
};

// The cut at depth `at` of a solid's faces (world) seen through the frame,
// in view x and y.
inline std::vector<Seg> CutFaces(const std::vector<Face3D>& faces, const Matrix4& frame, double at) {
    std::vector<Seg> cut;
    for (const Face3D& f : faces) {
        Point3 v[4];
        for (int k = 0; k < 4; ++k) TransformPoint(frame, f.c[k], v[k]);
        for (int t = 0; t < (f.triangle() ? 1 : 2); ++t) {
            const Point3 tri[3] = {v[0], v[1 + t], v[2 + t]};
            std::vector<Point3> on;
            for (int k = 0; k < 3; ++k) {
                const Point3& a = tri[k];
                const Point3& b = tri[(k + 1) % 3];
                if ((a.z - at) * (b.z - at) >= 0.0) continue;
                const double s = (at - a.z) / (b.z - a.z);
                on.push_back({a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), at});
            }
            if (on.size() == 2) cut.push_back({on[0].x, on[0].y, on[1].x, on[1].y});
        }
    }
    return cut;
}

// The cut without its single faces: a piece (edges joined end to end) that
// is open and straight is the cut of a sheet, not of a solid.
inline std::vector<Seg> WithoutSheets(const std::vector<Seg>& cut, double tol = 1e-3) {
    const std::size_t n = cut.size();
    std::vector<std::size_t> root(n);
    std::iota(root.begin(), root.end(), std::size_t{0});
    const auto find = [&root](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    const auto meet = [tol](double x0, double y0, double x1, double y1) {
        return std::fabs(x0 - x1) <= tol && std::fabs(y0 - y1) <= tol;
    };
    std::vector<int> degree(2 * n, 0);  // of each end: how many other ends meet it
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const Seg &a = cut[i], &b = cut[j];
            const double ea[2][2] = {{a.ax, a.ay}, {a.bx, a.by}}, eb[2][2] = {{b.ax, b.ay}, {b.bx, b.by}};
            for (int p = 0; p < 2; ++p)
                for (int q = 0; q < 2; ++q)
                    if (meet(ea[p][0], ea[p][1], eb[q][0], eb[q][1])) {
                        ++degree[2 * i + static_cast<std::size_t>(p)];
                        ++degree[2 * j + static_cast<std::size_t>(q)];
                        root[find(i)] = find(j);
                    }
        }
    std::map<std::size_t, std::vector<std::size_t>> pieces;
    for (std::size_t i = 0; i < n; ++i) pieces[find(i)].push_back(i);
    std::vector<Seg> out;
    for (const auto& [r, members] : pieces) {
        bool open = false, straight = true;
        const Seg& first = cut[members.front()];
        const double dx = first.bx - first.ax, dy = first.by - first.ay, len = std::hypot(dx, dy);
        for (std::size_t i : members) {
            open = open || degree[2 * i] == 0 || degree[2 * i + 1] == 0;
            for (const double* p : {&cut[i].ax, &cut[i].bx}) {
                const double off =
                    len > 0.0 ? std::fabs((p[0] - first.ax) * dy - (p[1] - first.ay) * dx) / len : 0.0;
                straight = straight && off <= tol;
            }
        }
        if (open && straight) continue;
        for (std::size_t i : members) out.push_back(cut[i]);
    }
    return out;
}

// A solid's faces. The walls' loose faces (open at their foot and top)
// keep every piece of their cut; elsewhere straight open pieces are
// single faces.
struct Solid {
    std::vector<Face3D> faces;
    bool object = true;
    std::string name;  // its layer, to name it in a report
};

// A hatch: its loops, inside by crossings over all of them.
using Loop = std::vector<Point3>;
struct Hatch {
    std::vector<Loop> loops;
};

// What one view measures.
struct Figures {
    double capArea = 0.0;
    double bare = 0.0;            // cap area under no hatch
    double stray = 0.0;           // hatched area outside every cap
    double worstBareShare = 0;    // the largest share of one solid's cap left bare
    std::string worstSolid;       // that solid's name
    double lineInside = 0.0;      // length of line inside a cap
    double missingOutline = 0.0;  // length of the caps' outline with no line along it
    double missingEdges = 0.0;    // length of the creases seen behind with no line along them
    int solids = 0;
};

struct LineSeg {
    Point3 a, b;
};

// Lines filed by square cells for the question whether one passes near a
// point.
class LineGrid {
public:
    explicit LineGrid(const std::vector<LineSeg>& lines) : lines_(lines) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const LineSeg& l = lines_[i];
            const long x0 = Cell(std::min(l.a.x, l.b.x)), x1 = Cell(std::max(l.a.x, l.b.x));
            const long y0 = Cell(std::min(l.a.y, l.b.y)), y1 = Cell(std::max(l.a.y, l.b.y));
            // A line across a great many cells is looked at everywhere.
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
                everywhere_.push_back(i);
                continue;
            }
            for (long cx = x0; cx <= x1; ++cx)
                for (long cy = y0; cy <= y1; ++cy) cells_[{cx, cy}].push_back(i);
        }
    }

    bool Near(double x, double y, double margin) const {
        const auto close = [&](std::size_t i) {
            const LineSeg& l = lines_[i];
            const double dx = l.b.x - l.a.x, dy = l.b.y - l.a.y, len2 = dx * dx + dy * dy;
            const double u =
                len2 > 0.0 ? std::clamp(((x - l.a.x) * dx + (y - l.a.y) * dy) / len2, 0.0, 1.0) : 0.0;
            return std::hypot(l.a.x + u * dx - x, l.a.y + u * dy - y) <= margin;
        };
        if (std::any_of(everywhere_.begin(), everywhere_.end(), close)) return true;
        for (long cx = Cell(x - margin); cx <= Cell(x + margin); ++cx)
            for (long cy = Cell(y - margin); cy <= Cell(y + margin); ++cy) {
                const auto it = cells_.find({cx, cy});
                if (it != cells_.end() && std::any_of(it->second.begin(), it->second.end(), close))
                    return true;
            }
        return false;
    }

private:
    static constexpr double kCell = 5.0;
    static long Cell(double v) { return static_cast<long>(std::floor(v / kCell)); }
    const std::vector<LineSeg>& lines_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> cells_;
    std::vector<std::size_t> everywhere_;
};

class ViewJudge {
public:
    // Solids as face groups (world), the frame (world to view), the depth of
    // the cut behind the plane.
    ViewJudge(const std::vector<Solid>& solids, const Matrix4& frame, double at = 1e-6) {
        for (const Solid& solid : solids) {
            std::vector<Seg> cut = CutFaces(solid.faces, frame, at);
            if (solid.object) cut = WithoutSheets(cut);
            if (cut.empty()) continue;
            cuts_.emplace_back(std::move(cut));
            names_.push_back(solid.name);
        }
    }

    int solids() const { return static_cast<int>(cuts_.size()); }
    const std::vector<SolidCut>& cuts() const { return cuts_; }

    // Hatches and lines in view coordinates; rows `step` apart, lines
    // sampled `step` / 4 apart, `margin` kept from cap edges for lines.
    Figures Measure(const std::vector<Hatch>& hatches, const std::vector<LineSeg>& lines, double step = 1.0,
                    double margin = 0.5) const {
        Figures f;
        f.solids = solids();
        if (cuts_.empty()) return f;
        double lo = 1e300, hi = -1e300;
        for (const SolidCut& c : cuts_) lo = std::min(lo, c.low()), hi = std::max(hi, c.high());
        for (const Hatch& h : hatches)
            for (const Loop& l : h.loops)
                for (const Point3& p : l) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
        const std::vector<std::vector<Seg>> hatchEdges = Edges(hatches);
        std::vector<double> solidArea(cuts_.size(), 0.0), solidBare(cuts_.size(), 0.0);
        for (double y = lo + step / 2.0; y < hi; y += step) {
            Spans hatch;
            for (const std::vector<Seg>& e : hatchEdges) RowSpans(e, y, hatch);
            const Spans hatched = Joined(hatch);
            Spans all;
            for (std::size_t s = 0; s < cuts_.size(); ++s) {
                Spans mine;
                cuts_[s].Spans(y, mine);
                mine = Joined(mine);
                solidArea[s] += Length(mine) * step;
                solidBare[s] += (Length(mine) - Common(mine, hatched)) * step;
                all.insert(all.end(), mine.begin(), mine.end());
            }
            const Spans cap = Joined(all);
            const double common = Common(cap, hatched);
            f.capArea += Length(cap) * step;
            f.bare += (Length(cap) - common) * step;
            f.stray += (Length(hatched) - common) * step;
        }
        for (std::size_t s = 0; s < cuts_.size(); ++s)
            if (solidArea[s] > 50.0 && solidBare[s] / solidArea[s] > f.worstBareShare) {
                f.worstBareShare = solidBare[s] / solidArea[s];
                f.worstSolid = names_[s];
            }
        const double sample = step / 4.0;
        for (const LineSeg& l : lines) {
            const double len = std::hypot(l.b.x - l.a.x, l.b.y - l.a.y);
            const int n = static_cast<int>(len / sample);
            for (int k = 0; k < n; ++k) {
                const double s = (k + 0.5) / n;
                const double x = l.a.x + s * (l.b.x - l.a.x), y = l.a.y + s * (l.b.y - l.a.y);
                if (std::any_of(cuts_.begin(), cuts_.end(),
                                [&](const SolidCut& c) { return c.WellInside(x, y, margin); }))
                    f.lineInside += len / n;
            }
        }
        f.missingOutline = MissingOutline(lines, sample);
        return f;
    }

    // The length of the caps' outline that no line follows: each cut edge
    // sampled `sample` apart, a sample on the outline where one side of it
    // lies in a cap and the other in none (two solids touching along a cut
    // have no outline there), and missing where no line passes within
    // `near`.
    double MissingOutline(const std::vector<LineSeg>& lines, double sample = 0.25, double near = 0.05,
                          std::vector<std::pair<double, double>>* where = nullptr) const {
        const LineGrid grid(lines);
        double missing = 0.0;
        for (const SolidCut& cut : cuts_)
            for (const Seg& s : cut.edges()) {
                const double dx = s.bx - s.ax, dy = s.by - s.ay, len = std::hypot(dx, dy);
                const int n = static_cast<int>(std::ceil(len / sample));
                if (n == 0) continue;
                // A step off the edge to either side, within any drawing's
                // tolerance of it.
                const double ox = -dy / len * kSide, oy = dx / len * kSide;
                for (int k = 0; k < n; ++k) {
                    const double u = (k + 0.5) / n, x = s.ax + u * dx, y = s.ay + u * dy;
                    if (InAnyCap(x + ox, y + oy) == InAnyCap(x - ox, y - oy)) continue;
                    if (grid.Near(x, y, near)) continue;
                    missing += len / n;
                    if (where) where->push_back({x, y});
                }
            }
        return missing;
    }

    bool InAnyCap(double x, double y) const {
        return std::any_of(cuts_.begin(), cuts_.end(), [&](const SolidCut& c) {
            return x >= c.left() && x <= c.right() && c.Inside(x, y);
        });
    }

    // The cap area that other hatches (shadows) cover, rows `step` apart.
    double Covered(const std::vector<Hatch>& hatches, double step = 1.0) const {
        double lo = 1e300, hi = -1e300, covered = 0.0;
        for (const SolidCut& c : cuts_) lo = std::min(lo, c.low()), hi = std::max(hi, c.high());
        const std::vector<std::vector<Seg>> hatchEdges = Edges(hatches);
        for (double y = lo + step / 2.0; y < hi; y += step) {
            Spans hatch, all;
            for (const std::vector<Seg>& e : hatchEdges) RowSpans(e, y, hatch);
            for (const SolidCut& c : cuts_) c.Spans(y, all);
            covered += Common(Joined(all), Joined(hatch)) * step;
        }
        return covered;
    }

private:
    static constexpr double kSide = 0.02;
    // Each hatch's loop edges, its inside by crossings over all of them.
    static std::vector<std::vector<Seg>> Edges(const std::vector<Hatch>& hatches) {
        std::vector<std::vector<Seg>> out;
        for (const Hatch& h : hatches) {
            std::vector<Seg> edges;
            for (const Loop& l : h.loops)
                for (std::size_t i = 0; i < l.size(); ++i) {
                    const Point3 &a = l[i], &b = l[(i + 1) % l.size()];
                    edges.push_back({a.x, a.y, b.x, b.y});
                }
            out.push_back(std::move(edges));
        }
        return out;
    }

    std::vector<SolidCut> cuts_;
    std::vector<std::string> names_;
};

// The section hatches and every line of a view's block, moved from the
// sheet into view coordinates by `shift`; with `shadows`, the shadow
// hatches there.
inline void ReadViewBlock(ZcDbDatabase* db, const std::string& block, const Point3& shift,
                          std::vector<Hatch>& hatches, std::vector<LineSeg>& lines,
                          std::vector<Hatch>* shadows = nullptr) {
    auto rec = oracle::OpenBlock(db, block);
    if (!rec) return;
    const auto moved = [&shift](double x, double y) { return Point3{x + shift.x, y + shift.y, 0.0}; };
    for (ZcDbObjectId id : rec->entityIds()) {
        if (ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead); line) {
            const ZcGePoint3d s = line->startPoint(), e = line->endPoint();
            lines.push_back({moved(s.x, s.y), moved(e.x, e.y)});
            continue;
        }
        ZcDbObjectPointer<ZcDbHatch> hatch(id, ZcDb::kForRead);
        if (!hatch) continue;
        std::vector<Hatch>* into = hatch->layer() == "VELMSECTION_H" ? &hatches
                                   : hatch->layer() == "2DSHADE_H"   ? shadows
                                                                     : nullptr;
        if (!into) continue;
        Hatch h;
        for (int i = 0; i < hatch->numLoops(); ++i) {
            const ZcDbHatch::Loop& loop = hatch->loopAt(i);
            Loop ring;
            if (loop.isPolyline())
                for (const ZcGePoint2d& p : loop.vertices) ring.push_back(moved(p.x, p.y));
            else
                for (const ZcDbHatch::Edge& e : loop.edges) ring.push_back(moved(e.start.x, e.start.y));
            if (ring.size() >= 3) h.loops.push_back(ring);
        }
        into->push_back(h);
    }
}

// With VELM_JUDGE_SVG naming a folder, a failing view is drawn there as
// `name`.svg: the judge's cuts in red, the hatches in grey, the lines in
// black, the outline and edges no line follows in green and magenta; a picture says more than the figures
// when a cap goes wrong.
inline void DrawForFailure(const std::string& name, const ViewJudge& judge, const std::vector<Hatch>& hatches,
                           const std::vector<LineSeg>& lines,
                           const std::vector<std::pair<double, double>>& edgesMissed = {}) {
    const char* folder = std::getenv("VELM_JUDGE_SVG");
    if (!folder || !*folder) return;
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    const auto grow = [&](double x, double y) {
        lo[0] = std::min(lo[0], x), lo[1] = std::min(lo[1], y), hi[0] = std::max(hi[0], x),
        hi[1] = std::max(hi[1], y);
    };
    for (const SolidCut& c : judge.cuts())
        for (const Seg& s : c.edges()) grow(s.ax, s.ay), grow(s.bx, s.by);
    for (const LineSeg& l : lines) grow(l.a.x, l.a.y), grow(l.b.x, l.b.y);
    if (lo[0] > hi[0]) return;
    std::string file = name;
    for (char& ch : file)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    std::ofstream out(std::string(folder) + "/" + file + ".svg");
    const double w = hi[0] - lo[0] + 20.0, h = hi[1] - lo[1] + 20.0;
    out << "<svg xmlns='http://www.w3.org/2000/svg' viewBox='" << lo[0] - 10.0 << " " << -hi[1] - 10.0 << " "
        << w << " " << h << "' width='1600' height='" << static_cast<int>(1600.0 * h / w) << "'>\n";
    for (const Hatch& hatch : hatches) {
        out << "<path fill='#bbb' fill-rule='evenodd' d='";
        for (const Loop& l : hatch.loops) {
            for (std::size_t i = 0; i < l.size(); ++i) out << (i ? " L" : " M") << l[i].x << " " << -l[i].y;
            out << " Z";
        }
        out << "'/>\n";
    }
    for (const LineSeg& l : lines)
        out << "<line x1='" << l.a.x << "' y1='" << -l.a.y << "' x2='" << l.b.x << "' y2='" << -l.b.y
            << "' stroke='black' stroke-width='" << w / 1600.0 << "'/>\n";
    for (const SolidCut& c : judge.cuts())
        for (const Seg& s : c.edges())
            out << "<line x1='" << s.ax << "' y1='" << -s.ay << "' x2='" << s.bx << "' y2='" << -s.by
                << "' stroke='red' stroke-width='" << w / 1600.0 << "' stroke-dasharray='" << w / 200.0
                << "'/>\n";
    // What the judge counts as line inside a cap, marked in blue.
    for (const LineSeg& l : lines) {
        const double len = std::hypot(l.b.x - l.a.x, l.b.y - l.a.y);
        const int n = static_cast<int>(len / 0.25);
        for (int k = 0; k < n; k += 8) {
            const double u = (k + 0.5) / n, x = l.a.x + u * (l.b.x - l.a.x), y = l.a.y + u * (l.b.y - l.a.y);
            for (const SolidCut& c : judge.cuts())
                if (c.WellInside(x, y, 0.5)) {
                    out << "<circle cx='" << x << "' cy='" << -y << "' r='" << w / 400.0
                        << "' fill='blue'/>\n";
                    break;
                }
        }
    }
    // The caps' outline that no line follows, in green.
    std::vector<std::pair<double, double>> missing;
    judge.MissingOutline(lines, 0.25, 0.05, &missing);
    for (std::size_t k = 0; k < missing.size(); k += 2)
        out << "<circle cx='" << missing[k].first << "' cy='" << -missing[k].second << "' r='" << w / 400.0
            << "' fill='green'/>\n";
    // The edges seen behind the plane that no line follows, in magenta.
    for (const auto& [x, y] : edgesMissed)
        out << "<circle cx='" << x << "' cy='" << -y << "' r='" << w / 400.0 << "' fill='magenta'/>\n";
    out << "</svg>\n";
}

// The least view x and y of what of the faces lies at depth `from` or
// more behind the plane: where the view command puts the sheet's origin.
inline Point3 ViewExtentMin(const std::vector<Solid>& solids, const Matrix4& frame, double from) {
    Point3 lo{1e300, 1e300, 0.0};
    for (const Solid& solid : solids)
        for (const Face3D& f : solid.faces) {
            Point3 v[4];
            for (int k = 0; k < 4; ++k) TransformPoint(frame, f.c[k], v[k]);
            const int n = f.triangle() ? 3 : 4;
            for (int k = 0; k < n; ++k) {
                const Point3& a = v[k];
                const Point3& b = v[(k + 1) % n];
                if (a.z >= from) lo.x = std::min(lo.x, a.x), lo.y = std::min(lo.y, a.y);
                if ((a.z < from) != (b.z < from)) {
                    const double t = (from - a.z) / (b.z - a.z);
                    lo.x = std::min(lo.x, a.x + t * (b.x - a.x));
                    lo.y = std::min(lo.y, a.y + t * (b.y - a.y));
                }
            }
        }
    return lo;
}

// The frame of a vertical section along the plan line from `from` in the
// direction `angle`, seen from its right: view x along the line, view y
// the world's z, the depth to its left.
inline Matrix4 SectionFrame(const Point3& from, double angle) {
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double nx = -uy, ny = ux;
    Matrix4 m;
    SetIdentity4(m);
    const double rows[3][4] = {{ux, uy, 0.0, -(from.x * ux + from.y * uy)},
                               {0.0, 0.0, 1.0, 0.0},
                               {nx, ny, 0.0, -(from.x * nx + from.y * ny)}};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 4; ++k) m.m[r][k] = rows[r][k];
    return m;
}

inline Matrix4 ToMatrix(const ZcDbXform& x) {
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) m.m[r][k] = x.m[r][k];
    return m;
}

// The 3DFACEs of a block, nested references placed, in world coordinates.
inline void BlockFaces(const ZcDbObjectId& block, const Matrix4& placement, std::vector<Face3D>& out) {
    for (const ZcDbObjectId& id : scene::BlockEntities(block)) {
        ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
        if (const auto* face = ZcDbFace::cast(entity.get())) {
            Face3D f;
            for (int k = 0; k < 4; ++k) {
                ZcGePoint3d p;
                face->getVertexAt(k, p);
                TransformPoint(placement, Point3{p.x, p.y, p.z}, f.c[k]);
            }
            f.layer = face->layer();
            f.flags = face->invisibleEdgeFlags();
            f.hasFlags = true;
            out.push_back(f);
        } else if (const auto* nested = ZcDbBlockReference::cast(entity.get())) {
            Matrix4 inner;
            MultiplyMatrix4(placement, ToMatrix(nested->blockTransform()), inner);
            BlockFaces(nested->blockTableRecord(), inner, out);
        }
    }
}

// Every 3DFACE of the drawing by solid: each top-level INSERT's faces one
// solid, the loose ones of each layer name up to its "_" or "$" another;
// given the loose faces and the ids of model space.
inline std::vector<Solid> DrawingSolids(const std::vector<Face3D>& loose,
                                        const std::vector<ZcDbObjectId>& modelSpace) {
    std::map<std::string, std::vector<Face3D>> byLayer;
    for (const Face3D& f : loose) byLayer[f.layer.substr(0, f.layer.find_first_of("_$"))].push_back(f);
    // The reveals a door or window draws into its opening close the wall
    // around it: they are the walls' faces, not the object's.
    const auto reveal = [](const Face3D& f) { return f.layer.find("3DOPENINGS") != std::string::npos; };
    std::vector<std::pair<ZcDbObjectId, std::vector<Face3D>>> objects;
    for (ZcDbObjectId id : modelSpace) {
        ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
        if (!ref) continue;
        std::vector<Face3D> faces, own;
        BlockFaces(ref->blockTableRecord(), ToMatrix(ref->blockTransform()), faces);
        for (const Face3D& f : faces) (reveal(f) ? byLayer["VELM3DWALLS"] : own).push_back(f);
        objects.push_back({id, std::move(own)});
    }
    std::vector<Solid> out;
    // Only the walls are open faces that bound a solid; a loose pane or
    // leaf on another layer is a sheet like an object's.
    for (auto& [name, faces] : byLayer)
        out.push_back({std::move(faces), name.rfind("VELM3DWALLS", 0) != 0, name});
    for (auto& [id, faces] : objects) {
        ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
        if (!faces.empty()) out.push_back({std::move(faces), true, ref->layer()});
    }
    return out;
}

// The ends of a cut's edges that touch no other edge (at its end or along
// it): none when the faces cut bound solids.
inline int OpenEnds(const std::vector<Seg>& cut, double tol = 1e-3) {
    int open = 0;
    for (std::size_t i = 0; i < cut.size(); ++i)
        for (int p = 0; p < 2; ++p) {
            const double x = p ? cut[i].bx : cut[i].ax, y = p ? cut[i].by : cut[i].ay;
            bool met = false;
            for (std::size_t j = 0; j < cut.size() && !met; ++j) {
                if (j == i) continue;
                const Seg& s = cut[j];
                const double dx = s.bx - s.ax, dy = s.by - s.ay, len2 = dx * dx + dy * dy;
                const double u =
                    len2 > 0.0 ? std::clamp(((x - s.ax) * dx + (y - s.ay) * dy) / len2, 0.0, 1.0) : 0.0;
                met = std::hypot(s.ax + u * dx - x, s.ay + u * dy - y) <= tol;
            }
            open += met ? 0 : 1;
        }
    return open;
}

// A small repeatable generator, the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    double Uniform(double lo, double hi) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    std::size_t Index(std::size_t n) {
        return std::min(n - 1, static_cast<std::size_t>(Uniform(0.0, static_cast<double>(n))));
    }

private:
    std::uint64_t state_;
};

}  // namespace judge
