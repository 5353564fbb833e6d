// Line clean-up and junction commands (see the header).
//
// The junction cuts work on infinite-line and segment intersections in plan
// as the host computes them. An L is extended to its outer corner first and
// the inner faces are then stopped at their crossing; an X leaves out the
// piece of each face between the two faces of the other wall; a T stops the
// branch faces on the near face of the through wall and opens it between
// them.
#include "walls/drafting/line_cleanup.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "walls/editing/wall_lines.h"

namespace {

constexpr const char* kNotALine = "\nWybrany obiekt nie jest linią";

void ToAds(const Point3& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// The intersection of a-b and c-d: of the segments when `segments`, else of
// the infinite lines.
bool Inters(const Point3& a, const Point3& b, const Point3& c, const Point3& d, bool segments, Point3& out) {
    ads_point pa, pb, pc, pd, r;
    ToAds(a, pa), ToAds(b, pb), ToAds(c, pc), ToAds(d, pd);
    if (zcdbInters(pa, pb, pc, pd, segments ? 1 : 0, r) != RTNORM) return false;
    out = {r[0], r[1], r[2]};
    return true;
}

struct Line {
    ads_name name{0, 0};
    Point3 s, e;
    bool Read(const ads_name entity) {
        ads_name_set(entity, name);
        return GetLineData(entity, s, e) == 1;
    }
    bool Write() const { return RewriteWallLine(name, s, e); }
    // A new piece a-b made from this line's list.
    void MakePiece(const Point3& a, const Point3& b) const {
        host::ResbufList list = ReadWallLineList(name);
        MakeWallLine(list.get(), a, b, nullptr);
    }
};

double AbsCosBetween(const Line& p, const Line& q) {
    const double ux = p.e.x - p.s.x, uy = p.e.y - p.s.y, vx = q.e.x - q.s.x, vy = q.e.y - q.s.y;
    const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    if (lu <= 0.0 || lv <= 0.0) return 0.0;
    return std::fabs((ux * vx + uy * vy) / (lu * lv));
}

// A pick for the union and join commands: 1 picked, 0 picked nothing (ask
// again), -1 cancelled, Enter or another error.
int PickLine(const char* prompt, ads_name entity, ads_point at) {
    const int rc = zcedEntSel(prompt, entity, at);
    if (rc == RTNORM) return 1;
    if (rc == RTERROR && PickHitNothing()) return 0;
    return -1;
}

bool IsLine(const ads_name entity) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    return type == "LINE";
}

// Splits `line` at its two crossings, leaving out the piece between them.
void SplitBetween(Line& line, const Point3& x1, const Point3& x2) {
    Point3 nearStart, nearEnd;
    NearerPoint(line.s, x1, x2, nearStart);
    NearerPoint(line.e, x1, x2, nearEnd);
    const Point3 end = line.e;
    line.e = nearStart;
    line.Write();
    line.MakePiece(end, nearEnd);
}

}  // namespace

GESTINNESTO::GESTINNESTO() {
    filter.restype = 1001;
    filter.resval.rstring = const_cast<char*>("*");
}

GESTINNESTO::~GESTINNESTO() {
    filter.rbnext = nullptr;
    filter.resval.rstring = nullptr;
}

int GESTINNESTO::CollectLines() {
    host::SelectionSet picked;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, picked.put()) != RTNORM) return 0;
    std::vector<Line> lines;
    double level = 0.0;
    bool first = true;
    for (std::int32_t i = 0; i < picked.size(); ++i) {
        ads_name e;
        if (!picked.name(i, e)) continue;
        if (CheckEntityLevelLayer(e, "LINE", false, level, !first, false) != 1) continue;
        Line line;
        if (!line.Read(e)) continue;
        if (Distance3dRev(line.s, line.e) < GeomEpsilon) {
            // A line of no length cuts nothing: it goes rather than be counted.
            zcdbEntDel(e);
            continue;
        }
        first = false;
        lines.push_back(line);
    }
    const long count = static_cast<long>(lines.size());
    if (count > 4) {
        zcutPrintf("\nZbyt wiele linii:%ld", count);
        return 0;
    }
    if (count < (junctionType == kT ? 3 : 4)) {
        zcutPrintf("\nNie ma wystarczającej ilości linii:%d", static_cast<int>(count));
        return 0;
    }
    int bi = -1, bj = -1;
    double best = -1.0;
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j) {
            const double c = AbsCosBetween(lines[i], lines[j]);
            if (c >= best) best = c, bi = i, bj = j;
        }
    if (bi < 0) {
        zcutPrintf("\nNieprawidłowe linie");
        return 0;
    }
    ads_name_set(lines[bi].name, pairLine1);
    ads_name_set(lines[bj].name, pairLine2);
    line3[0] = line3[1] = line4[0] = line4[1] = 0;
    bool third = true;
    for (int i = 0; i < count; ++i) {
        if (i == bi || i == bj) continue;
        ads_name_set(lines[i].name, third ? line3 : line4);
        third = false;
    }
    return 1;
}

void GESTINNESTO::CleanLJunction() {
    Line a, b, c, d;
    if (!a.Read(pairLine1) || !b.Read(pairLine2) || !c.Read(line3) || !d.Read(line4)) return;
    Point3 ac, ad, bc, bd;
    if (!Inters(a.s, a.e, c.s, c.e, false, ac) || !Inters(a.s, a.e, d.s, d.e, false, ad) ||
        !Inters(b.s, b.e, c.s, c.e, false, bc) || !Inters(b.s, b.e, d.s, d.e, false, bd))
        return;
    // Each line from its outer corner to the end it keeps: the start points
    // are then the corners the inner faces are cut back to.
    auto toCorner = [](Line& line, const Point3& x1, const Point3& x2) {
        Point3 mid, kept, corner;
        MidPoint(x1, x2, mid);
        FartherPoint(mid, line.s, line.e, kept);
        FartherPoint(kept, x1, x2, corner);
        line.s = corner;
        line.e = kept;
    };
    toCorner(a, ac, ad);
    toCorner(b, bc, bd);
    toCorner(c, ac, bc);
    toCorner(d, ad, bd);
    Line* inner[2] = {nullptr, nullptr};
    Point3 innerCorner;
    for (Line* p : {&a, &b})
        for (Line* q : {&c, &d}) {
            Point3 x;
            if (!Inters(p->s, p->e, q->s, q->e, true, x)) continue;
            if (PointsEqual(x, p->s, true) || PointsEqual(x, q->s, true)) continue;
            innerCorner = x;
            inner[0] = p;
            inner[1] = q;
        }
    if (inner[0]) inner[0]->s = inner[1]->s = innerCorner;
    a.Write();
    b.Write();
    c.Write();
    d.Write();
}

void GESTINNESTO::CleanXJunction() {
    Line a, b, c, d;
    if (!a.Read(pairLine1) || !b.Read(pairLine2) || !c.Read(line3) || !d.Read(line4)) return;
    Point3 ac, ad, bc, bd;
    if (!Inters(a.s, a.e, c.s, c.e, true, ac) || !Inters(a.s, a.e, d.s, d.e, true, ad) ||
        !Inters(b.s, b.e, c.s, c.e, true, bc) || !Inters(b.s, b.e, d.s, d.e, true, bd))
        return;
    SplitBetween(a, ac, ad);
    SplitBetween(b, bc, bd);
    SplitBetween(c, ac, bc);
    SplitBetween(d, ad, bd);
}

void GESTINNESTO::CleanTJunction() {
    Line p1, p2, near, far;
    if (!p1.Read(pairLine1) || !p2.Read(pairLine2) || !near.Read(line3)) return;
    const bool four = line4[0] != 0 || line4[1] != 0;
    if (four) {
        if (!far.Read(line4)) return;
        Point3 x[4];
        if (!Inters(p1.s, p1.e, near.s, near.e, false, x[0]) ||
            !Inters(p1.s, p1.e, far.s, far.e, false, x[1]) ||
            !Inters(p2.s, p2.e, near.s, near.e, false, x[2]) ||
            !Inters(p2.s, p2.e, far.s, far.e, false, x[3]))
            return;
        bool onOthers = true, onPair = true;
        for (int i = 0; i < 4; ++i) {
            const Line& other = (i % 2 == 0) ? near : far;
            const Line& pair = (i < 2) ? p1 : p2;
            onOthers = onOthers && IsPointOnSegment(x[i], other.s, other.e);
            onPair = onPair && IsPointOnSegment(x[i], pair.s, pair.e);
        }
        if (!onOthers) {
            if (!onPair) return;
            std::swap(p1, near);
            std::swap(p2, far);
        }
        // The near face is the one on the branch's side: its crossings lie
        // closer to the branch's free ends.
        auto reach = [&](const Line& face) {
            double sum = 0.0;
            for (const Line* branch : {&p1, &p2}) {
                Point3 xn, xf, mid, freeEnd, x;
                if (!Inters(branch->s, branch->e, near.s, near.e, false, xn) ||
                    !Inters(branch->s, branch->e, far.s, far.e, false, xf) ||
                    !Inters(branch->s, branch->e, face.s, face.e, false, x))
                    return 1e300;
                MidPoint(xn, xf, mid);
                FartherPoint(mid, branch->s, branch->e, freeEnd);
                sum += Distance2d(freeEnd, x);
            }
            return sum;
        };
        if (reach(far) < reach(near)) std::swap(near, far);
    }
    Point3 x1, x2;
    if (!Inters(p1.s, p1.e, near.s, near.e, false, x1) || !Inters(p2.s, p2.e, near.s, near.e, false, x2))
        return;
    if (!IsPointOnSegment(x1, near.s, near.e) || !IsPointOnSegment(x2, near.s, near.e)) return;
    auto stopAt = [](Line& branch, const Point3& x) {
        if (Distance2d(branch.s, x) <= Distance2d(branch.e, x))
            branch.s = x;
        else
            branch.e = x;
    };
    stopAt(p1, x1);
    stopAt(p2, x2);
    p1.Write();
    p2.Write();
    SplitBetween(near, x1, x2);
}

void CmdUnionLines() {
    for (;;) {
        ads_name first, second;
        ads_point at;
        const int r1 = PickLine("\nWybierz pierwszą linię do połączenia lub Enter, aby zamknąć:", first, at);
        if (r1 < 0) return;
        if (r1 == 0) continue;
        if (!IsLine(first)) {
            zcutPrintf("%s", kNotALine);
            continue;
        }
        HighlightEntity(first, 0);
        for (;;) {
            const int r2 = PickLine("\nWybierz drugą linię do połączenia z pierwszą wybraną:", second, at);
            if (r2 < 0) {
                HighlightEntity(first, 1);
                return;
            }
            if (r2 == 0) continue;
            if (!IsLine(second)) {
                zcutPrintf("%s", kNotALine);
                continue;
            }
            if (second[0] == first[0] && second[1] == first[1]) {
                zcutPrintf("\nWybrano pierwszą linię dwukrotnie");
                continue;
            }
            break;
        }
        HighlightEntity(first, 1);
        Point3 a, b, c, d, span[2];
        if (GetLineData(first, a, b) != 1 || GetLineData(second, c, d) != 1) continue;
        CollinearSegmentsExtent(a, b, c, d, span);
        if (RewriteWallLine(first, span[0], span[1])) zcdbEntDel(second);
    }
}

void CmdJoinWall() {
    ads_name first, second;
    ads_point pick, at;
    double level = 0.0;
    for (;;) {
        const int r = PickLine("\nWybierz linię w miejscu, gdzie chcesz zamknąć ścianę:", first, pick);
        if (r < 0) return;
        if (r == 1 && CheckEntityLevelLayer(first, "LINE", false, level, false, true) == 1) break;
    }
    for (;;) {
        const int r = PickLine("\nWybierz drugą linię ściany:", second, at);
        if (r < 0) return;
        if (r == 1 && CheckEntityLevelLayer(second, "LINE", false, level, true, true) == 1) break;
    }
    Point3 a, b, c, d, n, x;
    if (GetLineData(first, a, b) != 1 || GetLineData(second, c, d) != 1) return;
    NearerPoint({pick[0], pick[1], pick[2]}, a, b, n);
    const Point3 across = PolarPoint(n, AngleTo(a, b) + std::numbers::pi / 2.0, 10.0);
    if (!Inters(n, across, c, d, false, x)) {
        zcutPrintf("\nDwie wybrane linie nie mogą być prostopadłe");
        return;
    }
    x.z = n.z;
    if (Distance2d(c, x) <= Distance2d(d, x))
        c = x;
    else
        d = x;
    if (!RewriteWallLine(second, c, d)) return;
    host::ResbufList list = ReadWallLineList(second);
    MakeWallLine(list.get(), n, x, nullptr);
}

namespace {

void RunJunction(std::int32_t kind) {
    GESTINNESTO junction;
    junction.junctionType = kind;
    if (!junction.CollectLines()) return;
    if (kind == GESTINNESTO::kL)
        junction.CleanLJunction();
    else if (kind == GESTINNESTO::kT)
        junction.CleanTJunction();
    else
        junction.CleanXJunction();
}

}  // namespace

void CmdCleanL() {
    RunJunction(GESTINNESTO::kL);
}
void CmdCleanT() {
    RunJunction(GESTINNESTO::kT);
}
void CmdCleanX() {
    RunJunction(GESTINNESTO::kX);
}
