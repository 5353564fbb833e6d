// The hatch commands. "VELMHATCH3D" takes an outer boundary and islands as
// point lists and hatches them free (no record) in their own plane.
// "VELMHFLOOR" traces the room around each picked point on the current
// floor's wall-face graph and hatches it in plan, less the hatch islands of
// objects and stairs of that floor lying wholly inside it. "VELMHWALL"
// hatches a wall face as the hatching service's wall-face blocks: a straight
// face as one vertical polygon cut and notched around its openings; an arc
// face as facets on the grid of multiples of the step angle (so walls on
// one circle share their seams), the pattern shift running on from facet to
// facet so the pattern reads as one across the seams, a facet holding an
// opening's jamb notched at the jamb's point on the chord and a facet under
// an opening left as a strip below and one above it.
//
// Limits: a slab-capped arc facet whose top dips below an opening's lintel
// keeps no strip above that opening.
#include "visual/model3d/hatch_cmds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/point_input.h"
#include "core/geometry/polygon.h"
#include "core/hatch.h"
#include "core/hatch_dialogs.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "roofs/slab_queries.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/wall_sides.h"

namespace {

constexpr const char* kUndoKeyword = "Cofnij";
constexpr const char* kPointLabel = "[Cofnij] Numer punktu";
constexpr const char* kTooFewPoints = "\nNie ma wystarczającej ilości punktów";
constexpr const char* kCollinear = "\nPierwsze trzy punkty nie mogą być wyrównane";
constexpr const char* kNotInRoom = "\nWybrany punkt nie jest wewnątrz pomieszczenia";
constexpr const char* kNotWall = "\nWybrany obiekt nie jest linią ani łukiem reprezentującym ścianę";
constexpr const char* kNoCovering = "\nNa rysunku nie ma prawidłowych płyt przykrywających";
constexpr const char* kIslandApp = "VELM5$_$ISOLTRATT-";
constexpr const char* kWallHatchKey = "3DWALLS_H";

using LoopList = OwnedList<FaceRecord>;

void AppendLoop(LoopList& loops, VertexNode* ring) {
    auto* loop = new FaceRecord;
    loop->corners = ring;
    if (!loops) {
        loops.reset(loop);
        return;
    }
    FaceRecord* tail = loops.get();
    while (tail->next) tail = tail->next;
    tail->next = loop;
}

void SetFlags(VertexNode* list, int flag) {
    for (VertexNode* v = list; v; v = v->next) v->edgeFlag = flag;
}

double Unwrap(double base, double angle) {
    return base + AngleDiffCcw(base, angle);
}

// ------------------------------------------------------------ free hatch

// One island asked; 1 taken, 0 the islands are over, -1 cancelled.
int AskIsland(PointInputPort& port, LoopList& loops) {
    for (;;) {
        zcutPrintf("\nWybierz wewnętrzne obszary:");
        std::string keyword;
        VertexNode* island = nullptr;
        int closed = 0;
        const int rc =
            InputPointList(port, kUndoKeyword, "\nOkreśl pierwszy punkt wyspy kreskowania:", kPointLabel,
                           keyword, island, closed, 0, 1);
        OwnedList<VertexNode> owned(island);
        if (rc == -1) return -1;
        if (rc == 0) return 0;
        if (rc == -2) continue;
        if (CountNodes(owned.get()) < 3) {
            zcutPrintf(kTooFewPoints);
            continue;
        }
        SetFlags(owned.get(), 0);
        AppendLoop(loops, owned.release());
        return 1;
    }
}

}  // namespace

void CmdHatch3D() {
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgTratt dialog;
        dialog.Load3D();
        if (dialog.DoModal() != IDOK) return;
        dialog.Save3D();
    }
    PointInputPortInRange port;
    zcutPrintf("Wybierz zewnętrzny obwód obszaru kreskowania:");
    std::string keyword;
    VertexNode* outer = nullptr;
    int closed = 0;
    const int rc =
        InputPointList(port, kUndoKeyword, "\nOkreśl pierwszy punkt granicy kreskowania:", kPointLabel,
                       keyword, outer, closed, 0, 1);
    OwnedList<VertexNode> outerOwned(outer);
    if (rc < 1) return;
    if (CountNodes(outer) < 3) {
        zcutPrintf(kTooFewPoints);
        return;
    }
    if (ArePointsCollinear(outer->pt(), outer->next->pt(), outer->next->next->pt(), SharedTolerance)) {
        zcutPrintf(kCollinear);
        return;
    }
    SetFlags(outer, 0);
    LoopList loops;
    AppendLoop(loops, outerOwned.release());
    for (;;) {
        const int island = AskIsland(port, loops);
        if (island < 0) return;
        if (island == 0) break;
    }
    port.Redraw();
    using namespace SetupVar;
    const std::string pattern = SettingString(CSTILETRATT3D);
    const std::string layer = SettingString(CLAYERTRATT3D);
    const double scale = SettingReal(SCALATRATT3D);
    const double angle = SettingReal(CANGTRATT3D);
    const double elevation = 0.0;
    HatchContour(loops.get(), layer, &angle, &scale, &elevation, pattern, 4);
}

// ------------------------------------------------------------ floor hatch

namespace {

// The points of the island record, from its first point to its end.
VertexNode* IslandRing(const ads_name entity) {
    const host::ResbufList list(GetEntXData(entity, kIslandApp));
    VertexNode* ring = nullptr;
    bool inRecord = false;
    for (const resbuf* rb = list.get(); rb; rb = rb->rbnext) {
        if (rb->restype == 1001) {
            inRecord = rb->resval.rstring && std::string_view(rb->resval.rstring) == kIslandApp;
        } else if (inRecord && rb->restype == 1011) {
            AppendVertex(&ring, {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]}, 0, 0, 0);
        }
    }
    return ring;
}

bool LiesWithin(const VertexNode* ring, const VertexNode* room) {
    for (const VertexNode* v = ring; v; v = v->next)
        if (!PolygonContainsPoint(v->pt(), room, 1)) return false;
    return true;
}

}  // namespace

void CmdHatchFloor() {
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgTratt dialog;
        dialog.LoadFloor();
        if (dialog.DoModal() != IDOK) return;
        dialog.SaveFloor();
    }
    using namespace SetupVar;
    const std::string pattern = SettingString(CSTILETRATTPAV);
    std::string layer = SettingString(CLAYERTRATTPAV);
    const double scale = SettingReal(SCALATRATTPAV);
    const double angle = SettingReal(CANGTRATTPAV);
    const double level = SettingReal(SQPAV);
    HatchWallGraph graph(level, true);
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    // The level layer is made with the first hatch, so a command ended
    // before any room leaves the drawing as it was.
    bool layerReady = false;

    const host::ResbufList filter(zcutBuildList(-3, 1001, kIslandApp, 0));
    host::SelectionSet islands;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), islands.put()) != RTNORM) islands.reset();

    for (;;) {
        ads_point picked;
        if (GetPointInRange(0, nullptr, nullptr,
                            "\nWybierz wewnętrzny punkt pokoju lub Enter, aby zamknąć:", picked) != RTNORM)
            return;
        const Point3 at{picked[0], picked[1], level};
        bool noFace = false;
        VertexNode* room = graph.RoomContour(at, noFace);
        if (!room) {
            if (noFace) zcutPrintf(kNotInRoom);
            continue;
        }
        SetFlags(room, 0);
        LoopList loops;
        AppendLoop(loops, room);
        const std::int32_t n = islands.size();
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name entity;
            double islandLevel = 0.0;
            if (!islands.name(i, entity) || !GetEntityLevel(entity, islandLevel, nullptr, true) ||
                std::fabs(islandLevel - level) > GeomEpsilon)
                continue;
            OwnedList<VertexNode> ring(IslandRing(entity));
            if (!ring || !LiesWithin(ring.get(), room)) continue;
            AppendLoop(loops, ring.release());
        }
        if (!layerReady) {
            EnsureLayer(layer, catalogue, true, level, false);
            layerReady = true;
        }
        HatchContourPlan(loops.get(), layer, &angle, &scale, pattern);
    }
}

// ------------------------------------------------------------- wall hatch

VertexNode* CapSlabTop(VertexNode* profile, double bottomZ, double capZ) {
    VertexNode* top = ReverseList(profile);
    for (VertexNode* v = top; v; v = v->next)
        if (std::fabs(v->z - bottomZ) < SharedTolerance) v->z += 3.0 * SharedTolerance;
    top = RemoveRepeats(top);
    // The cap where an edge passes it; what rises above runs along the cap,
    // so the face keeps its width under a slab higher than the cap.
    for (VertexNode* v = top; v && v->next; v = v->next) {
        const VertexNode* w = v->next;
        if ((v->z - capZ) * (w->z - capZ) >= 0.0) continue;
        const double t = (capZ - v->z) / (w->z - v->z);
        VertexNode* cut = NewVertex(v->x + t * (w->x - v->x), v->y + t * (w->y - v->y), capZ, 0, 0, 0, 0);
        cut->next = v->next;
        v->next = cut;
        v = cut;
    }
    for (VertexNode* v = top; v; v = v->next)
        if (v->z > capZ + GeomEpsilon) v->z = capZ;
    top = RemoveRepeats(top);
    SetFlags(top, 0);
    return top;
}

namespace {

// A facet in its own frame: u along the chord from P (0) to Q (L), z up.
struct UZ {
    double u, z;
};

// The top's height at u (the top runs from L down to 0).
double TopAt(const std::vector<UZ>& top, double u) {
    for (std::size_t i = 0; i + 1 < top.size(); ++i) {
        const UZ& a = top[i];
        const UZ& b = top[i + 1];
        if (u > a.u + GeomEpsilon || u < b.u - GeomEpsilon) continue;
        if (std::fabs(a.u - b.u) <= GeomEpsilon) return std::min(a.z, b.z);
        return a.z + (b.z - a.z) * (a.u - u) / (a.u - b.u);
    }
    return top.empty() ? 0.0 : top.back().z;
}

double LowestTop(const std::vector<UZ>& top, double from, double to) {
    double z = std::min(TopAt(top, from), TopAt(top, to));
    for (const UZ& p : top)
        if (p.u > from && p.u < to) z = std::min(z, p.z);
    return z;
}

double HighestTop(const std::vector<UZ>& top) {
    double z = -std::numeric_limits<double>::max();
    for (const UZ& p : top) z = std::max(z, p.z);
    return z;
}

struct FacetPolygon {
    std::vector<UZ> points;
    std::vector<int> flags;  // 0 visible edge to the next point, 1 a seam
    void add(double u, double z, int flag) {
        points.push_back({u, z});
        flags.push_back(flag);
    }
    // The top from `from` down to 0; the last edge (down the seam at P)
    // invisible.
    void addTop(const std::vector<UZ>& top, double from) {
        add(from, TopAt(top, from), 0);
        for (const UZ& p : top)
            if (p.u < from - GeomEpsilon && p.u > GeomEpsilon) add(p.u, p.z, 0);
        add(0.0, TopAt(top, 0.0), 1);
    }
};

// The strip less the opening over [uX, L] between zmin and zmax; one
// polygon.
FacetPolygon NotchedAtEnd(double length, double low, const std::vector<UZ>& top, double uX, double zmin,
                          double zmax) {
    FacetPolygon poly;
    poly.add(0.0, low, 0);
    if (zmin > low + SharedTolerance) {
        poly.add(length, low, 1);
        poly.add(length, zmin, 0);
        poly.add(uX, zmin, 0);
    } else {
        poly.add(uX, low, 0);
    }
    if (zmax < LowestTop(top, uX, length) - SharedTolerance) {
        poly.add(uX, zmax, 0);
        poly.add(length, zmax, 1);
        poly.addTop(top, length);
    } else {
        poly.addTop(top, uX);
    }
    return poly;
}

VertexNode* ToWorld(const FacetPolygon& poly, const Point3& p, const Point3& q, double length,
                    bool mirrored) {
    VertexNode* ring = nullptr;
    for (std::size_t i = 0; i < poly.points.size(); ++i) {
        const double u = mirrored ? length - poly.points[i].u : poly.points[i].u;
        const double t = length > 0.0 ? u / length : 0.0;
        AppendVertex(&ring, {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), poly.points[i].z}, poly.flags[i],
                     0, 0);
    }
    return ring;
}

// u of the point where the radius at `angle` meets the chord P-Q.
double JambOnChord(const Point3& centre, double angle, const Point3& p, const Point3& q, double length) {
    const double dx = std::cos(angle), dy = std::sin(angle);
    const double ex = q.x - p.x, ey = q.y - p.y;
    const double den = ex * dy - ey * dx;
    if (std::fabs(den) < GeomEpsilon) return length / 2.0;
    // centre + s d = p + t e
    const double t = (dx * (p.y - centre.y) - dy * (p.x - centre.x)) / den;
    return std::clamp(t, 0.0, 1.0) * length;
}

}  // namespace

std::vector<VertexNode*> ArcFacetPolygons(const ArcFacet& facet, const HatchArcOpening* opening,
                                          double arcStart, double arcEnd, VertexNode* top) {
    std::vector<VertexNode*> out;
    const Point3 p = PolarPoint(facet.centre, facet.from, facet.radius);
    const Point3 q = PolarPoint(facet.centre, facet.to, facet.radius);
    const double length = Distance2d(p, q);
    if (length <= GeomEpsilon) {
        FreeList(top);
        return out;
    }
    // The top from Q back to P in the facet's frame.
    std::vector<UZ> topUZ;
    if (top) {
        for (const VertexNode* v = top; v; v = v->next) topUZ.push_back({Distance2d(p, v->pt()), v->z});
        std::sort(topUZ.begin(), topUZ.end(), [](const UZ& a, const UZ& b) { return a.u > b.u; });
        FreeList(top);
    }
    if (topUZ.size() < 2) topUZ = {{length, facet.high}, {0.0, facet.high}};
    topUZ.front().u = length;
    topUZ.back().u = 0.0;

    auto strip = [&](double low, const std::vector<UZ>& over) {
        FacetPolygon poly;
        poly.add(0.0, low, 0);
        poly.add(length, low, 1);
        poly.addTop(over, length);
        return poly;
    };
    const double low = facet.low;
    if (!opening || opening->zmin >= HighestTop(topUZ) || opening->zmax <= low) {
        out.push_back(ToWorld(strip(low, topUZ), p, q, length, false));
        return out;
    }
    const double zmin = opening->zmin, zmax = opening->zmax;
    const bool startOn = opening->from > facet.from && opening->from < facet.to &&
                         std::fabs(opening->from - arcStart) > SharedTolerance;
    const bool endOn = !startOn && opening->to > facet.from && opening->to < facet.to &&
                       std::fabs(opening->to - arcEnd) > SharedTolerance;
    if (startOn) {
        const double uX = JambOnChord(facet.centre, opening->from, p, q, length);
        out.push_back(ToWorld(NotchedAtEnd(length, low, topUZ, uX, zmin, zmax), p, q, length, false));
        return out;
    }
    if (endOn) {
        // Mirrored: the covered part P-X becomes the end of the frame.
        const double uX = length - JambOnChord(facet.centre, opening->to, p, q, length);
        std::vector<UZ> mirrored;
        for (auto it = topUZ.rbegin(); it != topUZ.rend(); ++it) mirrored.push_back({length - it->u, it->z});
        out.push_back(ToWorld(NotchedAtEnd(length, low, mirrored, uX, zmin, zmax), p, q, length, true));
        return out;
    }
    // Under the opening across the whole chord: what is left below and above.
    if (zmin > low + SharedTolerance)
        out.push_back(ToWorld(strip(low, {{length, zmin}, {0.0, zmin}}), p, q, length, false));
    if (zmax < LowestTop(topUZ, 0.0, length) - SharedTolerance)
        out.push_back(ToWorld(strip(zmax, topUZ), p, q, length, false));
    return out;
}

namespace {

// The slabs covering the walls of one level, outlines flattened.
using CoveringSlabs = OwnedList<SlabPlaneRec>;

// The top from S to E under the slabs: the plan line split where the slab
// outlines cross it, each piece's ends at the height of the lowest slab
// plane over it, or at capZ where none is.
VertexNode* SlabTopProfile(const SlabPlaneRec* slabs, const Point3& s, const Point3& e, double capZ) {
    return BuildSlabProfile(s, e, slabs, capZ, true);
}

struct WallRun {
    double angle = 0.0, lower = 0.0, upper = 0.0;
    std::string pattern;
    bool variable = false;
    double scale = 1.0;
    std::string layer;
    double level = 0.0;
};

// The wall LINE (else ARC) the entity is, or the first one the crossing
// window around the pick holds.
bool FindWallEntity(const ads_name picked, const ads_point at, double wallDistance, ads_name wall,
                    double& level) {
    auto isWall = [&level](const ads_name e) {
        level = 0.0;
        return CheckEntityLevelLayer(e, "LINE", false, level, false, false) ||
               CheckEntityLevelLayer(e, "ARC", false, level, false, false);
    };
    if (isWall(picked)) {
        wall[0] = picked[0];
        wall[1] = picked[1];
        return true;
    }
    const double d = 0.1 * wallDistance;
    const double a1 = 0.75 * std::numbers::pi, a2 = -0.25 * std::numbers::pi;
    const ads_point c1{at[0] + d * std::cos(a1), at[1] + d * std::sin(a1), at[2]};
    const ads_point c2{at[0] + d * std::cos(a2), at[1] + d * std::sin(a2), at[2]};
    host::SelectionSet set;
    if (zcedSSGet("_C", c1, c2, nullptr, set.put()) != RTNORM) return false;
    const std::int32_t n = set.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (!set.name(i, e) || !isWall(e)) continue;
        wall[0] = e[0];
        wall[1] = e[1];
        return true;
    }
    return false;
}

void HatchLoops(const FaceRecord* loops, const WallRun& run, const double* shift) {
    HatchContour3d(loops, run.layer, &run.angle, &run.scale, run.pattern, shift);
}

void HatchStraightFace(HatchWallGraph& graph, const HatchWallFace& face, const WallRun& run,
                       const SlabPlaneRec* slabs) {
    const Point3 s = face.start, e = face.end;
    if (PointsEqual(s, e, true)) return;
    Matrix4 toPlane, toWorld;
    if (!PlaneToXYMatrix(s, {e.x - s.x, e.y - s.y, 0.0}, {0.0, 0.0, 1.0}, toPlane) ||
        !InvertMatrix4(toPlane, toWorld))
        return;
    VertexNode* polygon = nullptr;
    const Point3 sLow{s.x, s.y, s.z + run.lower}, eLow{e.x, e.y, e.z + run.lower};
    AppendVertex(&polygon, sLow, 0, 0, 0);
    AppendVertex(&polygon, eLow, 0, 0, 0);
    VertexNode* last = polygon->next;
    if (slabs) {
        last->next = CapSlabTop(
            SlabTopProfile(slabs, {s.x, s.y, run.level}, {e.x, e.y, run.level}, run.level + run.upper),
            sLow.z, run.level + run.upper);
    } else {
        AppendVertex(&polygon, {e.x, e.y, e.z + run.upper}, 0, 0, 0);
        AppendVertex(&polygon, {s.x, s.y, s.z + run.upper}, 0, 0, 0);
    }
    for (FaceRecord* piece : graph.CutAroundOpenings(polygon, toPlane, toWorld)) {
        HatchLoops(piece, run, nullptr);
        FreeList(piece);
    }
}

void HatchArcFace(const HatchWallFace& face, const WallRun& run, const SlabPlaneRec* slabs) {
    const double chord = GetScaleFactor(0);
    const double r = face.arc.radius;
    if (r < GeomEpsilon || chord > 1.999 * r || chord <= 0.0) return;
    const double step = 2.0 * std::asin(chord / (2.0 * r));
    const double start = Unwrap(0.0, face.arc.startAngle);
    double sweep = AngleDiffCcw(face.arc.startAngle, face.arc.endAngle);
    if (sweep <= 0.0) sweep = TwoPi();
    const double end = start + sweep;
    const double limit = end + step;
    double mark = std::ceil(start / step - 1e-9) * step;
    if (mark - start >= step) mark -= step;

    std::vector<HatchArcOpening> openings;
    for (HatchArcOpening o : face.openings) {
        double from = o.from, to = o.to;
        if (AngleDiffCcw(from, to) > std::numbers::pi) std::swap(from, to);
        o.from = Unwrap(start, from);
        o.to = o.from + AngleDiffCcw(from, to);
        openings.push_back(o);
    }
    auto holds = [](const HatchArcOpening& o, double a) {
        return a >= o.from - GeomEpsilon && a <= o.to + GeomEpsilon;
    };
    const double low = run.level + run.lower, high = run.level + run.upper;
    double shift = 0.0;
    for (double previous = start; mark < limit; previous = mark, mark += step) {
        const HatchArcOpening* opening = nullptr;
        for (const HatchArcOpening& o : openings)
            if (holds(o, mark) || holds(o, previous)) {
                opening = &o;
                break;
            }
        ArcFacet facet{face.arc.centre, r, std::max(previous, start), std::min(mark, end), low, high};
        VertexNode* top = nullptr;
        if (slabs) {
            bool fixedTop = false;
            const Point3 at = PolarPoint(face.arc.centre, mark, r);
            for (const HatchArcEdge& edge : face.edges) {
                const double a = AngleTo(edge.arc.centre, at);
                if (AngleDiffCcw(edge.arc.startAngle, a) <=
                    AngleDiffCcw(edge.arc.startAngle, edge.arc.endAngle) + GeomEpsilon) {
                    fixedTop = edge.extraReal != 0.0;
                    break;
                }
            }
            if (!fixedTop && facet.to - facet.from > GeomEpsilon) {
                Point3 p = PolarPoint(face.arc.centre, facet.from, r),
                       q = PolarPoint(face.arc.centre, facet.to, r);
                // The slab outlines lie flat at the level.
                p.z = q.z = run.level;
                top = CapSlabTop(SlabTopProfile(slabs, p, q, high), low, high);
            }
        }
        if (facet.to - facet.from > GeomEpsilon) {
            for (VertexNode* ring : ArcFacetPolygons(facet, opening, start, end, top)) {
                FaceRecord loop;
                loop.corners = ring;
                HatchLoops(&loop, run, &shift);
            }
        } else {
            FreeList(top);
        }
        shift += Distance2d(PolarPoint(face.arc.centre, previous, r), PolarPoint(face.arc.centre, mark, r));
    }
}

}  // namespace

void CmdHatchWall() {
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgTMuro dialog;
        dialog.Load();
        if (dialog.DoModal() != IDOK) return;
        dialog.Save();
    }
    using namespace SetupVar;
    WallRun run;
    const double wallDistance = SettingReal(DISCMURO);
    run.angle = SettingReal(CANGTMURO);
    run.lower = SettingReal(CLINFTMURO);
    run.upper = SettingReal(CLSUPTMURO);
    run.pattern = SettingString(CSTILETMURO);
    run.variable = SettingInt(TMUROAVAR) != 0;
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");

    for (;;) {
        ads_name picked;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz linię lub łuk ściany, aby zakreskować:", picked, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        ads_name wall;
        if (!FindWallEntity(picked, at, wallDistance, wall, run.level)) {
            zcutPrintf(kNotWall);
            continue;
        }
        std::string bare = kWallHatchKey;
        EnsureLayer(bare, catalogue, false, 0.0, false);
        run.layer = kWallHatchKey;
        EnsureLayer(run.layer, catalogue, true, run.level, false);

        HatchWallGraph graph(run.level, false);
        const std::optional<HatchWallFace> face = graph.FaceOf(wall);
        if (!face) continue;
        run.scale = GetScaleFactor(6);
        CoveringSlabs slabs;
        if (run.variable) {
            slabs.reset(CollectCoveringSlabs(run.level, true, true, false, true));
            if (!slabs) {
                zcutPrintf(kNoCovering);
                continue;
            }
        }
        if (face->isArc)
            HatchArcFace(*face, run, slabs.get());
        else
            HatchStraightFace(graph, *face, run, slabs.get());
    }
}
