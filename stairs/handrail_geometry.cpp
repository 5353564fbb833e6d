// The handrail's geometry (see the header).
//
// The path: the chosen side is walked from the start point to the end
// point; every segment with a plan length becomes a piece, and a segment
// without one (a riser) gives its height to the piece before it as the rise
// of the step that follows. A run is the pieces up to one with a rise: a
// run no longer than the longest tread (`maxSteps`) is a tread, over which
// the rail climbs the step's rise; a longer run is a landing, where the
// rail stays level until one average tread before the step.
//
// The band: the path (moved sideways first for a rail inside the stair)
// and its copy `width` beside it, both as plan segments joined where they
// meet. Parallel straight segments (a landing cut in two) are left as they
// are; an arc must meet its neighbour's line or circle, else the rail is
// not made.
#include "stairs/handrail_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "host/ge/gearc.h"
#include "host/ge/gelinear.h"

namespace {

constexpr double kFloatMax = 3.4028234663852886e+38;
// More steps than any stair holds: a record claiming more is damaged.
constexpr double kMaxLibrarySteps = 10000.0;

double NormalizeAngle(double a) {
    const double two = 2.0 * std::numbers::pi;
    a = std::fmod(a, two);
    return a < 0.0 ? a + two : a;
}

// The counter-clockwise sweep from a to b in (0, 2pi].
double Sweep(double a, double b) {
    double s = NormalizeAngle(b - a);
    if (s <= 0.0) s = 2.0 * std::numbers::pi;
    return s;
}

Point3 OnCircle(const Point3& c, double r, double angle, double z = 0.0) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle), z};
}

// The plan foot of p on segment a-b as a parameter (0 at a, 1 at b); 0 for
// a segment without plan length.
double FootParameter(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 <= 0.0) return 0.0;
    return ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
}

Point3 AtParameter(const Point3& a, const Point3& b, double t) {
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

// Whether the foot of p lies on the segment, within the tolerance. A riser
// (no plan length) has no foot: its ends belong to the treads either side.
bool FootOnSegment(const Point3& p, const Point3& a, const Point3& b, Point3& foot) {
    const double len = Distance2d(a, b);
    if (len < SharedTolerance) return false;
    const double t = FootParameter(p, a, b);
    if (t * len < -SharedTolerance || (t - 1.0) * len > SharedTolerance) return false;
    foot = AtParameter(a, b, std::clamp(t, 0.0, 1.0));
    return true;
}

// Whether p lies on the segment in plan, within the tolerance.
bool PointOnSegment(const Point3& p, const Point3& a, const Point3& b) {
    if (Distance2d(a, b) < SharedTolerance) return Distance2d(p, a) <= SharedTolerance;
    Point3 foot;
    return FootOnSegment(p, a, b, foot) && Distance2d(p, foot) <= SharedTolerance;
}

bool HasRise(const HandrailPiece& piece) {
    return std::fabs(piece.rise) > GeomEpsilon;
}

double OffsetRadius(const HandrailPiece& piece, double distance) {
    return piece.direction ? piece.radius() - distance : piece.radius() + distance;
}

double PieceLength(const HandrailPiece& piece, double distance) {
    if (!piece.isArc()) return Distance2d(piece.start, piece.end);
    return std::fabs(OffsetRadius(piece, distance)) * Sweep(piece.startAngle(), piece.endAngle());
}

// Direction of walking along a piece at a point on it.
double WalkingAngle(const HandrailPiece& piece, const Point3& at) {
    if (!piece.isArc()) return AngleTo(piece.start, piece.end);
    const double radial = AngleTo(piece.start, at);
    return NormalizeAngle(radial + (piece.direction ? 1.0 : -1.0) * std::numbers::pi / 2.0);
}

// How far along a piece a plan point lies, 0 at its start and 1 at its end.
double PieceFraction(const HandrailPiece& piece, const Point3& p) {
    if (!piece.isArc()) return std::clamp(FootParameter(p, piece.start, piece.end), 0.0, 1.0);
    const double sweep = Sweep(piece.startAngle(), piece.endAngle());
    const double along = std::min(Sweep(piece.startAngle(), AngleTo(piece.start, p)), sweep) / sweep;
    return piece.direction ? along : 1.0 - along;
}

bool LibraryPointsMeet(const Point3& p, const Point3& q) {
    return Distance2d(p, q) < SharedTolerance;
}

void AppendProfile(VertexNode*& outline, VertexNode* profile) {
    if (!outline) {
        outline = profile;
        return;
    }
    VertexNode* tail = outline;
    while (tail->next) tail = tail->next;
    tail->next = profile;
}

}  // namespace

// ---- library stairs ----

std::vector<LibraryStairStep> ReadLibraryStairSteps(const resbuf* xdata) {
    std::vector<LibraryStairStep> steps;
    const resbuf* app = FindXDataApp(xdata, kLibraryStairApp);
    if (!app) return steps;
    const resbuf* rb = app->rbnext;
    auto isBrace = [](const resbuf* r, const char* brace) {
        return r && r->restype == 1002 && r->resval.rstring && std::string(r->resval.rstring) == brace;
    };
    while (rb && rb->restype != 1001) {
        if (!isBrace(rb, "{")) {
            rb = rb->rbnext;
            continue;
        }
        static constexpr int kCodes[11] = {1040, 1040, 1040, 1040, 1040, 1040, 1011, 1040, 1011, 1011, 1011};
        const resbuf* item[11] = {};
        const resbuf* r = rb->rbnext;
        bool whole = true;
        for (int k = 0; k < 11; ++k, r = r->rbnext) {
            if (!r || r->restype != kCodes[k]) {
                whole = false;
                break;
            }
            item[k] = r;
        }
        if (!whole || !isBrace(r, "}")) {
            // Resume at the group that broke the record (it may open the next).
            rb = r;
            continue;
        }
        rb = r->rbnext;
        auto real = [&](int k) { return item[k]->resval.rreal; };
        auto point = [&](int k) {
            return Point3{item[k]->resval.rpoint[0], item[k]->resval.rpoint[1], item[k]->resval.rpoint[2]};
        };
        LibraryStairStep s;
        s.tread = real(0);
        s.riser = real(1);
        s.count = real(2);
        s.baseHeight = real(3);
        s.side = real(4);
        const double sixth = real(5);
        s.arc = sixth >= SharedTolerance ? 1.0 : 0.0;
        if (sixth < -SharedTolerance) s.count = std::fabs(sixth);
        s.placed = point(6);
        s.angle = real(7);
        s.start = point(8);
        s.direction = point(9);
        s.centre = point(10);
        if (s.side < -SharedTolerance) continue;  // a corner, not a side
        steps.insert(steps.begin(), s);
    }
    return steps;
}

VertexNode* FlightProfile(const LibraryStairStep& step) {
    const double n = step.count;
    if (!(n >= 0.0 && n <= kMaxLibrarySteps)) return nullptr;
    const double angle = AngleTo(step.start, step.direction);
    VertexNode* outline = nullptr;
    for (int i = 1; i - 1 < n - 1; ++i) {
        const double z = step.baseHeight + i * step.riser;
        Point3 p = PolarPoint(step.start, angle, (i - 1) * step.tread);
        Point3 q = PolarPoint(step.start, angle, i * step.tread);
        p.z = q.z = z;
        AppendVertex(&outline, p, 0, 0, 0);
        AppendVertex(&outline, q, 0, 0, 0);
    }
    return outline;
}

VertexNode* ArcFlightProfile(const LibraryStairStep& step, double angleStep) {
    const double n = step.count;
    if (!(n >= 0.0 && n <= kMaxLibrarySteps)) return nullptr;
    const double r = step.riser;
    const double R = std::fabs(step.side);
    const Point3& c = step.centre;
    const double theta0 = AngleTo(c, step.direction);
    const double z0 = step.baseHeight + r;
    VertexNode* outline = nullptr;
    AppendVertex(&outline, OnCircle(c, R, theta0, z0), 0, 0, 0);
    for (int k = 1; k - 1 < n - 2; ++k) {
        AppendVertex(&outline, OnCircle(c, R, theta0 + k * angleStep, z0 + (k - 1) * r), 0, 0, 0);
        AppendVertex(&outline, OnCircle(c, R, theta0 + k * angleStep, z0 + k * r), 0, 0, 0);
    }
    AppendVertex(&outline, OnCircle(c, R, theta0 + (n - 1) * angleStep, z0 + (n - 2) * r), 0, 0, 0);
    return outline;
}

VertexNode* BuildLibrarySideOutline(int sideFlag, std::vector<LibraryStairStep>& steps) {
    if (steps.empty()) return nullptr;
    if (steps.front().arc != 0.0) {
        if (steps.size() < 2 || steps[1].arc == 0.0) return nullptr;
        const double r0 = std::fabs(steps[0].side), r1 = std::fabs(steps[1].side);
        const std::size_t pick = sideFlag == 0 ? (r0 > r1 ? 0 : 1) : (r0 <= r1 ? 0 : 1);
        return ArcFlightProfile(steps[pick], -steps[pick].tread);
    }
    auto isSide = [sideFlag](const LibraryStairStep& s) {
        const bool zero = std::fabs(s.side) < SharedTolerance;
        return sideFlag == 1 ? !zero : zero;
    };
    auto first = std::find_if(steps.begin(), steps.end(), isSide);
    if (first == steps.end()) return nullptr;
    VertexNode* outline = FlightProfile(*first);
    Point3 currentStart = first->start, currentEnd = first->direction;
    steps.erase(first);
    for (bool found = true; found;) {
        found = false;
        for (auto it = steps.begin(); it != steps.end(); ++it) {
            if (it->arc != 0.0) continue;
            if (LibraryPointsMeet(it->start, currentEnd)) {
                AppendProfile(outline, FlightProfile(*it));
                currentEnd = it->direction;
            } else if (LibraryPointsMeet(it->direction, currentStart)) {
                VertexNode* front = FlightProfile(*it);
                AppendProfile(front, outline);
                outline = front;
                currentStart = it->start;
            } else {
                continue;
            }
            steps.erase(it);
            found = true;
            break;
        }
    }
    return outline;
}

SideChain OutlineToChain(const VertexNode* outline) {
    SideChain chain;
    for (const VertexNode* v = outline; v; v = v->next) chain.push_back(v->pt());
    return chain;
}

// ---- the path along the side ----

const SideChain* HandrailWork::ChooseHandrailSide(bool wholeSide, const Point3& start, const Point3& end) {
    if (firstSide.size() < 2 || secondSide.size() < 2) return nullptr;
    auto nearest = [this](const SideChain& chain) {
        double best = kFloatMax;
        for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
            Point3 foot;
            if (FootOnSegment(pickPoint, chain[i], chain[i + 1], foot))
                best = std::min(best, Distance2d(pickPoint, foot));
        }
        return best;
    };
    chosenSide = nearest(firstSide) <= nearest(secondSide) ? 0 : 1;
    const SideChain& chain = chosenSide == 0 ? firstSide : secondSide;
    if (wholeSide) {
        startPoint = chain.front();
        endPoint = chain.back();
        return &chain;
    }
    auto footOn = [&chain](const Point3& p, Point3& out) {
        double best = kFloatMax;
        for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
            Point3 foot;
            if (!FootOnSegment(p, chain[i], chain[i + 1], foot)) continue;
            const double d = Distance2d(p, foot);
            if (d < best) {
                best = d;
                out = {foot.x, foot.y, chain[i].z};
            }
        }
        return best <= kFloatMax / 10.0;
    };
    if (!footOn(start, startPoint) || !footOn(end, endPoint)) return nullptr;
    return &chain;
}

double HandrailWork::PieceRunLength(std::size_t from, std::size_t to, bool offset, double distance) const {
    double total = 0.0;
    for (std::size_t i = from; i <= to && i < pathPieces.size(); ++i)
        total += PieceLength(pathPieces[i], offset ? distance : 0.0);
    return total;
}

void HandrailWork::BuildHandrailPieces(const SideChain& chain) {
    pathPieces.clear();
    averageTread = 0.0;
    bool started = false;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        const Point3& a = chain[i];
        const Point3& b = chain[i + 1];
        Point3 from = a;
        if (!started) {
            if (!PointOnSegment(startPoint, a, b)) continue;
            started = true;
            from = startPoint;
        }
        Point3 to = b;
        const bool last = PointOnSegment(endPoint, from, b);
        if (last) to = endPoint;
        HandrailPiece piece;
        piece.start = {from.x, from.y, 0.0};
        piece.end = {to.x, to.y, 0.0};
        piece.stairStart = from.z;
        piece.stairEnd = to.z;
        if (Distance2d(from, to) >= SharedTolerance)
            pathPieces.push_back(piece);
        else if (!pathPieces.empty())
            pathPieces.back().rise += to.z - from.z;
        if (last) break;
    }
    if (pathPieces.empty()) return;

    // The average tread: runs shorter than the longest tread.
    double sum = 0.0, total = 0.0;
    int count = 0;
    for (std::size_t i = 0; i < pathPieces.size(); ++i) {
        sum += PieceLength(pathPieces[i], 0.0);
        if (HasRise(pathPieces[i]) || i + 1 == pathPieces.size()) {
            if (sum < maxSteps) {
                ++count;
                total += sum;
            }
            sum = 0.0;
        }
    }
    averageTread = count ? std::min(total / count, maxSteps) : 0.0;

    std::size_t first = 0;
    for (std::size_t k = 0; k < pathPieces.size(); ++k) {
        if (!HasRise(pathPieces[k])) continue;
        const double run = PieceRunLength(first, k, false, 0.0);
        if (run - maxSteps <= SharedTolerance) {
            double h = height;
            const double rise = pathPieces[k].rise;
            for (std::size_t j = first; j <= k; ++j) {
                pathPieces[j].railStart = h;
                if (run > 0.0) h += PieceLength(pathPieces[j], 0.0) * rise / run;
                pathPieces[j].railEnd = h;
            }
        } else {
            k += SplitLandingPiece(first, k);
        }
        first = k + 1;
    }
    for (std::size_t j = first; j < pathPieces.size(); ++j)
        pathPieces[j].railStart = pathPieces[j].railEnd = height;
}

std::size_t HandrailWork::SplitLandingPiece(std::size_t from, std::size_t to) {
    const double A = averageTread;
    const double rise = pathPieces[to].rise;
    const double total = PieceRunLength(from, to, false, 0.0);
    auto railAt = [&](double remaining) {
        if (A <= 0.0 || remaining >= A) return height;
        return height + rise * (A - remaining) / A;
    };
    std::size_t inserted = 0;
    double done = 0.0;
    for (std::size_t j = from; j <= to + inserted; ++j) {
        HandrailPiece& piece = pathPieces[j];
        const double len = PieceLength(piece, 0.0);
        const double remainingStart = total - done;
        const double remainingEnd = remainingStart - len;
        done += len;
        if (!piece.isArc() && remainingStart > A + SharedTolerance && remainingEnd < A - SharedTolerance) {
            // The rail starts to climb one average tread before the step.
            const Point3 cut = AtParameter(piece.start, piece.end, (remainingStart - A) / len);
            HandrailPiece after = piece;
            after.start = cut;
            after.railStart = height;
            after.railEnd = railAt(remainingEnd);
            piece.end = cut;
            piece.rise = 0.0;
            piece.railStart = piece.railEnd = height;
            pathPieces.insert(pathPieces.begin() + static_cast<std::ptrdiff_t>(j) + 1, after);
            ++inserted;
            ++j;
            continue;
        }
        piece.railStart = railAt(remainingStart);
        piece.railEnd = railAt(remainingEnd);
    }
    return inserted;
}

void HandrailWork::MakeRailBand() {
    for (HandrailPiece& p : pathPieces) {
        p.savedStairStart = p.stairStart;
        p.stairStart += p.railStart - thickness;
        p.stairEnd += p.railEnd - thickness;
        p.railStart = p.railEnd = thickness;
    }
    for (std::size_t i = 0; i + 1 < pathPieces.size(); ++i) {
        const HandrailPiece& p = pathPieces[i];
        HandrailPiece& q = pathPieces[i + 1];
        if (p.railEnd + p.stairEnd < q.stairStart) q.stairStart = p.stairEnd;
    }
}

bool HandrailWork::PointAtRunDistance(std::size_t from, double distance, double offset, Point3& point,
                                      std::size_t& piece) const {
    double done = 0.0;
    for (std::size_t i = from; i < pathPieces.size(); ++i) {
        const HandrailPiece& p = pathPieces[i];
        const double len = PieceLength(p, offset);
        if (distance > done + len + SharedTolerance && i + 1 < pathPieces.size()) {
            done += len;
            continue;
        }
        const double along = std::clamp(distance - done, 0.0, len);
        piece = i;
        if (!p.isArc()) {
            const double angle = AngleTo(p.start, p.end);
            const Point3 on = PolarPoint(p.start, angle, along);
            point = PolarPoint(on, angle + std::numbers::pi / 2.0, offset);
        } else {
            const double r = OffsetRadius(p, offset);
            const double turn = r > 0.0 ? along / r : 0.0;
            point = OnCircle(p.start, r, p.direction ? p.startAngle() + turn : p.endAngle() - turn);
        }
        point.z = 0.0;
        return true;
    }
    return false;
}

std::vector<Point3> HandrailWork::PostSection(const Point3& centre, double direction) const {
    std::vector<Point3> section;
    const int n = std::max(sideElementCount, 2);
    for (int k = 0; k < n; ++k)
        section.push_back(PolarPoint(
            centre, direction + std::numbers::pi / 4.0 + k * 2.0 * std::numbers::pi / n, postRadius));
    return section;
}

void HandrailWork::PlaceVerticalElements() {
    posts.clear();
    // The elements stand in the middle of the band.
    const double offset = pathOffset + (bandRight ? -0.5 : 0.5) * width;
    std::size_t first = 0;
    for (std::size_t k = 0; k < pathPieces.size(); ++k) {
        if (!HasRise(pathPieces[k]) && k + 1 < pathPieces.size()) continue;
        const double run = PieceRunLength(first, k, true, offset);
        if (run >= 2.0 * postRadius) {
            // A spacing that is not a length gives one element per run.
            int n = spacing > 0.0 ? static_cast<int>(std::floor(run / spacing)) : 1;
            if (n < 1) n = 1;
            for (int i = 0; i < n; ++i) {
                Point3 at;
                std::size_t piece = 0;
                if (!PointAtRunDistance(first, (i + 0.5) * run / n, offset, at, piece)) continue;
                posts.insert(posts.begin(), {piece, PostSection(at, WalkingAngle(pathPieces[piece], at))});
            }
        }
        first = k + 1;
    }
}

void HandrailWork::BuildVerticalElementFaces() {
    postFaces.clear();
    for (const HandrailPost& post : posts) {
        if (post.piece >= pathPieces.size() || post.section.size() < 2) continue;
        const HandrailPiece& p = pathPieces[post.piece];
        const double base = p.savedStairStart - (position == kHandrailOutside ? sideInset : 0.0);
        // The rail's underside over a point: the band's bottom along the piece.
        auto underside = [&p](const Point3& q) {
            const double t = PieceFraction(p, q);
            return p.stairStart + t * (p.stairEnd - p.stairStart);
        };
        const std::size_t n = post.section.size();
        const std::size_t edges = n > 2 ? n : n - 1;
        for (std::size_t k = 0; k < edges; ++k) {
            Point3 a = post.section[k], b = post.section[(k + 1) % n];
            Point3 a2 = a, b2 = b;
            a.z = b.z = base;
            a2.z = underside(a2);
            b2.z = underside(b2);
            postFaces.push_back({a, b, b2, a2});
        }
    }
}

// ---- the rail band's edges ----

Point3 RailSegment::StartPoint() const {
    return kind == RailSegmentKind::kLine ? a : OnCircle(centre, radius, startAngle);
}

Point3 RailSegment::EndPoint() const {
    return kind == RailSegmentKind::kLine ? b : OnCircle(centre, radius, endAngle);
}

RailSegment PieceSegment(const HandrailPiece& piece) {
    RailSegment s;
    s.kind = piece.isArc() ? RailSegmentKind::kArc : RailSegmentKind::kLine;
    s.direction = piece.direction;
    if (!piece.isArc()) {
        s.a = piece.start;
        s.b = piece.end;
    } else {
        s.centre = piece.start;
        s.radius = piece.radius();
        s.startAngle = piece.startAngle();
        s.endAngle = piece.endAngle();
    }
    return s;
}

void StoreSegment(HandrailPiece& piece, const RailSegment& segment) {
    if (segment.kind == RailSegmentKind::kLine) {
        piece.start = {segment.a.x, segment.a.y, 0.0};
        piece.end = {segment.b.x, segment.b.y, 0.0};
        piece.path = {segment.a.x, segment.a.y, segment.b.x, segment.b.y, 0.0};
        return;
    }
    const double a0 = NormalizeAngle(AngleTo(segment.centre, segment.StartPoint()));
    const double a1 = NormalizeAngle(AngleTo(segment.centre, segment.EndPoint()));
    piece.start = {segment.centre.x, segment.centre.y, 0.0};
    piece.end = {segment.radius, a0, a1};
    piece.path = {segment.centre.x, segment.centre.y, segment.radius, a0, a1};
}

RailSegment PathSegment(const HandrailPiece& piece) {
    RailSegment s;
    s.kind = piece.isArc() ? RailSegmentKind::kArc : RailSegmentKind::kLine;
    s.direction = piece.direction;
    if (!piece.isArc()) {
        s.a = {piece.path[0], piece.path[1], 0.0};
        s.b = {piece.path[2], piece.path[3], 0.0};
    } else {
        s.centre = {piece.path[0], piece.path[1], 0.0};
        s.radius = piece.path[2];
        s.startAngle = piece.path[3];
        s.endAngle = piece.path[4];
    }
    return s;
}

bool CCorrimano::JoinOffsetRailSegments(RailSegment& first, RailSegment& second) {
    const Point3 firstEnd = first.kind == RailSegmentKind::kLine
                                ? first.b
                                : (first.direction ? first.EndPoint() : first.StartPoint());
    const Point3 secondStart = second.kind == RailSegmentKind::kLine
                                   ? second.a
                                   : (second.direction ? second.StartPoint() : second.EndPoint());
    ZcGePoint2d p1, p2;
    int found = 0;
    if (first.kind == RailSegmentKind::kLine && second.kind == RailSegmentKind::kLine) {
        const ZcGeLine2d l1(ZcGePoint2d{first.a.x, first.a.y}, ZcGePoint2d{first.b.x, first.b.y});
        const ZcGeLine2d l2(ZcGePoint2d{second.a.x, second.a.y}, ZcGePoint2d{second.b.x, second.b.y});
        // Lines that never meet (in one line, or parallel) keep their ends.
        if (!l1.intersectWith(l2, p1)) return true;
        found = 1;
    } else if (first.kind == RailSegmentKind::kLine || second.kind == RailSegmentKind::kLine) {
        const RailSegment& line = first.kind == RailSegmentKind::kLine ? first : second;
        const RailSegment& arc = first.kind == RailSegmentKind::kLine ? second : first;
        const ZcGeCircArc2d circle({arc.centre.x, arc.centre.y}, arc.radius);
        if (!circle.intersectWith(
                ZcGeLine2d(ZcGePoint2d{line.a.x, line.a.y}, ZcGePoint2d{line.b.x, line.b.y}), found, p1, p2))
            return false;
    } else {
        const ZcGeCircArc2d c1({first.centre.x, first.centre.y}, first.radius);
        const ZcGeCircArc2d c2({second.centre.x, second.centre.y}, second.radius);
        if (!c1.intersectWith(c2, found, p1, p2)) return false;
    }
    if (found < 1) return false;
    Point3 x{p1.x, p1.y, 0.0};
    if (found > 1) {
        const Point3 y{p2.x, p2.y, 0.0};
        if (Distance2d(y, firstEnd) + Distance2d(y, secondStart) <
            Distance2d(x, firstEnd) + Distance2d(x, secondStart))
            x = y;
    }
    if (first.kind == RailSegmentKind::kLine)
        first.b = x;
    else if (first.direction)
        first.endAngle = AngleTo(first.centre, x);
    else
        first.startAngle = AngleTo(first.centre, x);
    if (second.kind == RailSegmentKind::kLine)
        second.a = x;
    else if (second.direction)
        second.startAngle = AngleTo(second.centre, x);
    else
        second.endAngle = AngleTo(second.centre, x);
    return true;
}

std::optional<std::vector<RailSegment>> CCorrimano::OffsetHandrailPath(
    const std::vector<HandrailPiece>& pieces, double distance) {
    std::vector<RailSegment> segments;
    for (const HandrailPiece& piece : pieces) {
        RailSegment s = PieceSegment(piece);
        if (s.kind == RailSegmentKind::kLine) {
            const double angle = AngleTo(s.a, s.b) + std::numbers::pi / 2.0;
            s.a = PolarPoint(s.a, angle, distance);
            s.b = PolarPoint(s.b, angle, distance);
            s.a.z = s.b.z = 0.0;
        } else {
            s.radius = OffsetRadius(piece, distance);
            if (s.radius < SharedTolerance) return std::nullopt;
        }
        segments.push_back(s);
    }
    for (std::size_t i = 1; i < segments.size(); ++i)
        if (!JoinOffsetRailSegments(segments[i - 1], segments[i])) return std::nullopt;
    return segments;
}

bool CCorrimano::ComputeHandrailPath(std::vector<HandrailPiece>& pieces, int side, const std::string& key,
                                     double railWidth, double offset, bool negate) {
    if (pieces.empty()) return false;
    if (std::fabs(offset) > GeomEpsilon) {
        auto moved = OffsetHandrailPath(pieces, offset);
        if (!moved) return false;
        for (std::size_t i = 0; i < pieces.size(); ++i) StoreSegment(pieces[i], (*moved)[i]);
    }
    sideFlag = side;
    layerKey = key;
    width = negate ? -railWidth : railWidth;
    auto far = OffsetHandrailPath(pieces, width);
    if (!far) return false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const RailSegment& s = (*far)[i];
        if (s.kind == RailSegmentKind::kLine) {
            pieces[i].path = {s.a.x, s.a.y, s.b.x, s.b.y, 0.0};
        } else {
            pieces[i].path = {s.centre.x, s.centre.y, s.radius,
                              NormalizeAngle(AngleTo(s.centre, s.StartPoint())),
                              NormalizeAngle(AngleTo(s.centre, s.EndPoint()))};
        }
    }
    return true;
}
