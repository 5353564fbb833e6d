// Chains of the host's own dimensions across plans and rooms and through
// picked points.
//
// Every chain ends the same way: the measuring points are sorted along the
// dimension line and thinned to one per foot (ProjectPointsOnLine), the
// feet become the definition points and DrawDimension drives the host's
// dimensioning command span by span. What differs is where the points come
// from: crossings of a drawn sequence with lines, the faces of the
// wall-face graph walked end to end, or picks.
//
// The face walks stop at their target faces or a dead end; a walk that
// comes back to a face it has taken gives up, since a ring of faces that
// misses the target would otherwise go round for ever.
#include "rooms/dimensions/dim_chains.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <string>

#include "core/base/module_state.h"
#include "core/dimtext.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/point_input.h"
#include "core/geometry/triangulate.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "resources/velmresources.h"
#include "rooms/dimensions/dim_dialogs.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/wall_face.h"

namespace {

constexpr const char* kLinePointPrompt = "\nOkreśl punkt na linii wymiarowej:";
constexpr const char* kPointsDisagree = "\nPunkty i kąt linii wymiarowej nie są zgodne";

std::string EntityType(const ads_name entity) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    return type;
}

std::string EntityLayer(const ads_name entity) {
    host::ResbufList list(zcdbEntGet(entity));
    const resbuf* layer = FindRbCode(list.get(), 8);
    return layer && layer->resval.rstring ? layer->resval.rstring : "";
}

// The gap an opening leaves on the segment s-e: the pair of its outline
// points that lies on it (an opening's outline carries one pair per face
// of the wall).
bool GapOnFace(const OutlineNode& o, const Point3& s, const Point3& e, Point3 out[2]) {
    for (const Point3* pair : {o.gapA, o.gapB}) {
        if (IsOnSegmentTol(pair[0], s, e, SharedTolerance) &&
            IsOnSegmentTol(pair[1], s, e, SharedTolerance)) {
            out[0] = pair[0];
            out[1] = pair[1];
            return true;
        }
    }
    return false;
}

double AbsCosBetween(double a, double b) {
    return std::fabs(std::cos(a - b));
}

// The far end of the dimension line through p along `angle`, both ways.
void DimensionLine(const Point3& p, double angle, double halfLength, Point3 line[2]) {
    line[0] = PolarPoint(p, angle + std::numbers::pi, halfLength);
    line[1] = PolarPoint(p, angle, halfLength);
}

// The word of the host's dimensioning command and the line's angle for a
// direction setting; false when an aligned direction was not given.
bool DirectionOf(int setting, std::string& word, double& angle) {
    switch (setting) {
        case 0:
            word = "_HOR";
            angle = 0.0;
            return true;
        case 1:
            word = "_VER";
            angle = std::numbers::pi / 2.0;
            return true;
        default:
            word = "_ALI";
            return GetDimensionAngle(angle, false) == 1;
    }
}

// The faces meeting `at` other than `previous`, the first one found.
WallFace* NextFaceAt(const CFACCIATE& graph, const WallFace* previous, const Point3& at) {
    for (WallFace* f = graph.faces; f; f = f->next) {
        if (f == previous) continue;
        if (PointsEqual(f->firstPoint(), at, true) || PointsEqual(f->lastPoint(), at, true)) return f;
    }
    return nullptr;
}

Point3 OtherEnd(const WallFace& f, const Point3& at) {
    return PointsEqual(f.firstPoint(), at, true) ? f.lastPoint() : f.firstPoint();
}

// Walks from `start` (the face left behind) through the faces meeting end
// to end, collecting each face's points, until a face of `targets` is met
// (collected when `collectTarget`) or nothing continues. False when the
// walk meets a face it has taken already.
bool WalkFaces(const CFACCIATE& graph, WallFace* start, Point3 current,
               const std::set<const WallFace*>& targets, bool collectTarget, int openings, double angle,
               VertexNode*& list) {
    std::set<const WallFace*> taken{start};
    WallFace* previous = start;
    for (;;) {
        WallFace* next = NextFaceAt(graph, previous, current);
        if (!next) return true;
        if (targets.count(next)) {
            if (collectTarget) list = CollectFacePoints(list, *next, openings, angle);
            return true;
        }
        if (!taken.insert(next).second) return false;
        list = CollectFacePoints(list, *next, openings, angle);
        current = OtherEnd(*next, current);
        previous = next;
    }
}

// Sorts and thins the points, moves their feet by `offset` towards them
// and draws the chain; nothing with fewer than two feet left.
void DrawChain(VertexNode*& points, const Point3 line[2], double lineAngle, double offset, bool moveFeet,
               const ads_point* reference, std::string style, const std::string& layer,
               const std::string& word, double level, double minSpan) {
    double side = 0.0;
    OwnedList<VertexNode> measured(
        ProjectPointsOnLine(&points, DrawingUnitFactor(), line[0], line[1], lineAngle, &side));
    if (CountNodes(points) < 2) {
        zcutPrintf("%s", kPointsDisagree);
        return;
    }
    if (moveFeet)
        for (VertexNode* v = points; v; v = v->next) v->setPt(PolarPoint(v->pt(), side, offset));
    ads_point at;
    if (reference) {
        at[0] = (*reference)[0];
        at[1] = (*reference)[1];
        at[2] = (*reference)[2];
    } else {
        const Point3 p = PolarPoint(points->pt(), side + std::numbers::pi, offset);
        at[0] = p.x;
        at[1] = p.y;
        at[2] = p.z;
    }
    const double rotation = word == "_VER" ? side : side + std::numbers::pi;
    DrawDimension(style, layer, at, points, measured.get(), word, rotation, level, offset, minSpan);
}

// The dimension layer of the floor, made when missing; asked for only when
// a chain is about to be drawn, so a command given up changes nothing.
std::string PrepareLayer(std::string layer, double level) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    EnsureLayer(layer, layers, true, level, false);
    return layer;
}

// Calls `use` with the pieces of wall face that the openings of the level
// on visible layers have cut away: the gap of a straight-wall opening on
// each face, the legs from the jambs of a corner opening to its corners.
template <class Use>
void ForEachOpeningGap(double level, Use use) {
    CFACCIATE graph;
    graph.level = level;
    graph.LoadOutlines(false);
    for (const OutlineNode* o = graph.outlines; o; o = o->next) {
        if (!IsLayerVisible(EntityLayer(o->entity))) continue;
        if (o->kind == OutlineKind::StraightWallOpening) {
            use(o->gapA[0], o->gapA[1]);
            use(o->gapB[0], o->gapB[1]);
        } else if (o->kind == OutlineKind::WallCorner) {
            use(o->gapB[0], o->corner[0]);
            use(o->gapB[1], o->corner[0]);
            use(o->gapA[0], o->corner[1]);
            use(o->gapA[1], o->corner[1]);
        }
    }
}

struct GraphOfLevel {
    std::unique_ptr<CFACCIATE> graph = std::make_unique<CFACCIATE>();
    explicit GraphOfLevel(double level) {
        graph->level = level;
        graph->floorHeight = GetFloorHeightAt(level);
        graph->Build(false, false, nullptr, false);
        graph->MergePillars();
        graph->SplitAtJunctions();
    }
};

}  // namespace

int GetDimensionAngle(double& angle, bool options) {
    for (;;) {
        ads_real typed = 0.0;
        const int rc = GetAngleInRange(
            0, options ? "Opcje" : nullptr, nullptr,
            options ? "\nKąt linii wymiarowej lub Enter, jeśli chcesz wybrać linię odniesienia lub [Opcje "
                      "warstwy i stylu]:"
                    : "\nKąt linii wymiarowej lub Enter, jeśli chcesz wybrać linię odniesienia:",
            &typed);
        if (rc == RTNORM) {
            angle = typed;
            return 1;
        }
        if (rc == RTKWORD) {
            CZcModuleResourceOverride use(VelmResourceHandle());
            CDlgQV dialog;
            dialog.DoModal();
            continue;
        }
        if (rc != RTNONE) return 0;
        break;
    }
    for (;;) {
        ads_name entity;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz linię równoległą do linii wymiarowej:", entity, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return 0;
        Point3 s, e;
        if (EntityType(entity) != "LINE" || GetLineData(entity, s, e) != 1) {
            zcutPrintf("%s", "\nWybrany element nie jest linią");
            continue;
        }
        angle = AngleTo(s, e);
        return 1;
    }
}

VertexNode* CollectFacePoints(VertexNode* list, const WallFace& face, int openings, double angle) {
    const Point3 s = face.firstPoint(), e = face.lastPoint();
    list = AddVertexUnique(list, s, true);
    list = AddVertexUnique(list, e, true);
    if (openings == 0 || face.isArc()) return list;
    for (const OutlineLink* link = face.outlineLinks; link; link = link->next) {
        const OutlineNode* o = link->outline;
        if (!o) continue;
        Point3 gap[2];
        if (!GapOnFace(*o, s, e, gap)) continue;
        if (o->kind == OutlineKind::StraightWallOpening) {
            if (AbsCosBetween(AngleTo(gap[0], gap[1]), angle) < 0.1) continue;
        } else if (o->kind == OutlineKind::WallCorner) {
            if (openings == 1 && AbsCosBetween(AngleTo(gap[0], gap[1]), angle) <= 0.8) continue;
        } else {
            continue;
        }
        if (openings == 1) {
            Point3 mid;
            MidPoint(gap[0], gap[1], mid);
            list = AddVertexUnique(list, mid, true);
        } else {
            list = AddVertexUnique(list, gap[0], true);
            list = AddVertexUnique(list, gap[1], true);
        }
    }
    return list;
}

VertexNode* SequenceIntersectionPoints(bool allLines, double level, double angle) {
    PointInputPortInRange port;
    std::string keyword;
    int closed = 0;
    VertexNode* raw = nullptr;
    const int n = InputPointList(port, "", "\nPierwszy punkt przecięcia sekwencji:", "[Cofnij] Numer punktu",
                                 keyword, raw, closed, 1, 0);
    OwnedList<VertexNode> sequence(raw);
    if (n < 2) {
        if (n >= 0) zcutPrintf("%s", "\nNie można narysować wymiarów. Nie ma wystarczająco dużo punktów");
        return nullptr;
    }
    for (VertexNode* v = sequence.get(); v; v = v->next) v->z = level;

    host::SelectionSet lines;
    const int found = allLines ? ExistsEntityType("LINE", false, lines.put())
                               : SelectOnWallLayers("LINE", lines.put(), level, false);
    if (found != 1) return nullptr;

    VertexNode* points = nullptr;
    auto cross = [&](const Point3& s, const Point3& e) {
        // Lines running along the dimension give no useful crossing.
        if (AbsCosBetween(AngleTo(s, e), angle) > 0.707) return;
        for (const VertexNode* a = sequence.get(); a && a->next; a = a->next) {
            Point3 x;
            if (!IntersectLines2d(a->pt(), a->next->pt(), s, e, x, 1, ModuleGeomTol)) continue;
            x.z = level;
            points = AddVertexUnique(points, x, false);
        }
    };
    ads_name line;
    for (std::int32_t i = 0; lines.name(i, line); ++i) {
        Point3 s, e;
        if (GetLineData(line, s, e) != 1) continue;
        if (!IsLayerVisible(EntityLayer(line))) continue;
        cross(s, e);
    }
    // An opening cuts its wall's lines away: where the sequence passes
    // through it, the wall faces are the opening's gaps.
    ForEachOpeningGap(level, cross);
    return points;
}

VertexNode* ElevationChainPoints(const Point3 line[2], double& level, int openings) {
    const double lineAngle = AngleTo(line[0], line[1]);
    for (;;) {
        ads_name first;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz pierwszą linię elewacji frontowej:", first, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return nullptr;
        if (CheckEntityLevelLayer(first, "LINE", true, level, false, false) != 1) continue;

        GraphOfLevel built(level);
        const CFACCIATE& graph = *built.graph;
        WallFace* firstFace = graph.FindFaceById(first);
        if (!firstFace) continue;
        const double faceAngle = AngleTo(firstFace->firstPoint(), firstFace->lastPoint());
        if (std::fabs(std::sin(faceAngle - lineAngle)) >= 0.999) {
            zcutPrintf("%s", "\nWybrana linia jest prostopadła do kąta linii wymiarowej");
            continue;
        }

        WallFace* lastFace = nullptr;
        Point3 lastStart, lastEnd;
        for (;;) {
            ads_name last;
            const int rc2 = zcedEntSel("\nWybierz ostatnią linię elewacji frontowej:", last, at);
            if (rc2 == RTCAN) return nullptr;
            if (rc2 == RTNORM && GetLineData(last, lastStart, lastEnd) == 1)
                lastFace = graph.FindFaceById(last);
            if (lastFace) break;
            if (rc2 != RTNORM && rc2 != RTERROR) return nullptr;
            zcutPrintf("%s", "\nWybrany obiekt nie jest prawidłową linią");
        }

        Point3 current;
        NearerPoint(lastStart, firstFace->firstPoint(), firstFace->lastPoint(), current);
        VertexNode* points = CollectFacePoints(nullptr, *firstFace, openings, lineAngle);
        if (lastFace == firstFace) return points;
        if (!WalkFaces(graph, firstFace, current, {lastFace}, true, openings, lineAngle, points))
            return FreeList(points);
        return points;
    }
}

VertexNode* RoomCrossingPoints(const CFACCIATE& graph, const Point3 line[2], int openings) {
    Point3 middle;
    MidPoint(line[0], line[1], middle);
    const double lineAngle = AngleTo(line[0], line[1]);
    WallFace* side[2] = {nullptr, nullptr};
    Point3 crossing[2];
    double nearest[2] = {0.0, 0.0};
    for (WallFace* f = graph.faces; f; f = f->next) {
        if (f->isArc()) continue;
        Point3 x;
        if (!IntersectLines2d(line[0], line[1], f->start, f->end, x, 1, ModuleGeomTol)) continue;
        x.z = f->start.z;
        const double d = Distance2d(middle, x);
        const double along = (x.x - middle.x) * std::cos(lineAngle) + (x.y - middle.y) * std::sin(lineAngle);
        const int k = along < 0.0 ? 0 : 1;
        if (!side[k] || d < nearest[k]) {
            side[k] = f;
            crossing[k] = x;
            nearest[k] = d;
        }
    }
    if (!side[0] || !side[1]) return nullptr;

    VertexNode* points = nullptr;
    points = AddVertexUnique(points, crossing[0], true);
    points = AddVertexUnique(points, crossing[1], true);
    // From the end of one face nearer to the other face's crossing: the
    // shorter way round the room between the two.
    Point3 fromB, fromA;
    NearerPoint(crossing[0], side[1]->start, side[1]->end, fromB);
    NearerPoint(crossing[1], side[0]->start, side[0]->end, fromA);
    const bool startAtA = Distance2d(fromA, crossing[1]) < Distance2d(fromB, crossing[0]);
    WallFace* start = startAtA ? side[0] : side[1];
    const Point3 current = startAtA ? fromA : fromB;
    if (!WalkFaces(graph, start, current, {side[0], side[1]}, false, openings, lineAngle, points))
        return FreeList(points);
    return points;
}

void VelmDPlan() {
    using namespace SetupVar;
    int mode = 0;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgQe dialog;
        dialog.LoadSettings();
        if (dialog.DoModal() != IDOK) return;
        dialog.SaveSettings();
        mode = dialog.GetMode();
    }
    double level = SettingReal(SQPAV);
    const double unit = DrawingUnitFactor();
    const double extension = SettingReal(SQEEXTENS, 30.0);
    const double minSpan = SettingReal(SQEMINQUOT, 0.0);

    std::string word;
    double angle = 0.0;
    if (!DirectionOf(SettingInt(SQEORIENT, 1), word, angle)) return;

    ads_point p;
    if (GetPointInRange(0, nullptr, nullptr, kLinePointPrompt, p) != RTNORM) return;
    Point3 line[2];
    DimensionLine({p[0], p[1], p[2]}, angle, 1000.0 * unit, line);

    VertexNode* points = mode == CDlgQe::kIntersections
                             ? SequenceIntersectionPoints(SettingInt(SOPZIONE_PUNTI, 1) != 0, level, angle)
                             : ElevationChainPoints(line, level, SettingInt(SQETIPOQ, 0));
    if (!points) return;
    const std::string layer = PrepareLayer(SettingString(LAYER_2DQUOTE, "2DDIM_P"), level);
    DrawChain(points, line, angle, extension, true, nullptr, SettingString(SETCURSTILEQE), layer, word, level,
              minSpan);
    FreeList(points);
}

void VelmDPRoom() {
    using namespace SetupVar;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgQPunto dialog;
        dialog.LoadSettings();
        if (dialog.DoModal() != IDOK) return;
        dialog.SaveSettings();
    }
    const double level = SettingReal(SQPAV);
    const double unit = DrawingUnitFactor();
    const double minSpan = SettingReal(SQEMINQUOT, 0.0);
    const int openings = SettingInt(SQPTIPOQ, 1);
    std::string word;
    double angle = 0.0;
    if (!DirectionOf(SettingInt(SQPORIENT, 1), word, angle)) return;

    GraphOfLevel built(level);
    ads_point p;
    while (GetPointInRange(0, nullptr, nullptr, kLinePointPrompt, p) == RTNORM) {
        Point3 line[2];
        DimensionLine({p[0], p[1], p[2]}, angle, 100000.0 * unit, line);
        VertexNode* points = RoomCrossingPoints(*built.graph, line, openings);
        if (!points) {
            zcutPrintf("%s", "\nNie ma elewacji, która przecina się z kierunkiem wymiaru");
            continue;
        }
        const ads_point* reference = &p;
        const std::string layer = PrepareLayer(SettingString(LAYER_2DQUOTEP, "2DDIM_R"), level);
        DrawChain(points, line, angle, 0.0, false, reference, SettingString(SETCURSTILEQP), layer, word,
                  level, minSpan);
        FreeList(points);
    }
}

void VelmDV() {
    using namespace SetupVar;
    double angle = 0.0;
    if (GetDimensionAngle(angle, true) != 1) return;
    std::string word = "_ALI";
    if (std::fabs(std::sin(angle)) < GeomEpsilon) word = "_HOR";
    if (std::fabs(std::cos(angle)) < GeomEpsilon) word = "_VER";

    ads_point p;
    if (GetPointInRange(RSG_NONULL, nullptr, nullptr, kLinePointPrompt, p) != RTNORM) return;
    const double level = SettingReal(SQPAV);
    const double unit = DrawingUnitFactor();
    const double extension = SettingReal(SQEEXTENS, 30.0);
    const double minSpan = SettingReal(SQEMINQUOT, 0.0);
    Point3 line[2];
    DimensionLine({p[0], p[1], p[2]}, angle, 1000.0 * unit, line);
    const ads_point from{line[0].x, line[0].y, line[0].z}, to{line[1].x, line[1].y, line[1].z};
    zcedGrDraw(from, to, 1, 1);

    zcutPrintf("%s", "\nOkreśl pierwszy punkt wyjściowy:");
    constexpr int kEndAndIntersection = 33;
    const int osmode = SysVarShort("OSMODE", &kEndAndIntersection);
    VertexNode* points = nullptr;
    ads_point q;
    while (GetPointInRange(0, nullptr, nullptr, "", q) == RTNORM) {
        AppendVertex(&points, {q[0], q[1], q[2]}, 0, 0, 0);
        zcutPrintf("%s", "\nOkreśl następny punkt wyjściowy:");
    }
    SysVarShort("OSMODE", &osmode);

    if (CountNodes(points) >= 2) {
        const std::string layer = PrepareLayer(SettingString(LAYER_2DQUOTE, "2DDIM_P"), level);
        DrawChain(points, line, angle, extension, true, nullptr, SettingString(SETCURSTILEQE), layer, word,
                  level, minSpan);
    }
    FreeList(points);
    zcedRedraw(nullptr, 1);
}
