// Reading a stair model from picked lines and arcs or back from the record
// of a stair INSERT, and the entity writers of the model (lines, arcs,
// tread faces).
//
// The picked entities are first read into plain records; the model is then
// built from those alone: the two sides grow from the ends of the first
// riser as chains of touching entities, and every remaining line becomes a
// riser, taken in the order of its positions along the two sides. A line
// that crosses no piece of a side cannot be placed on the stair and is left
// out.
#include <cmath>
#include <limits>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "stairs/stair_model.h"

namespace {

// The direction in which an entity leaves its end `from`.
double LeavingDirection(const StairModelEntity& e, bool fromStartEnd) {
    if (!e.isArc) return fromStartEnd ? AngleTo(e.a, e.b) : AngleTo(e.b, e.a);
    const ArcRecord arc{e.centre, e.radius, e.startAngle, e.endAngle, {0, 0, 1}};
    const double end = fromStartEnd ? e.startAngle : e.endAngle;
    double probe = fromStartEnd ? end + 0.001 : end - 0.001;
    if (!IsPointOnArc(PolarPoint(e.centre, probe, e.radius), arc, false))
        probe = fromStartEnd ? end - 0.001 : end + 0.001;
    const Point3 from = fromStartEnd ? e.a : e.b;
    return AngleTo(from, PolarPoint(e.centre, probe, e.radius));
}

StairElement* ElementFrom(const CSCALA& record, const StairModelEntity& e, bool reversed) {
    const Point3& first = reversed ? e.b : e.a;
    const Point3& second = reversed ? e.a : e.b;
    if (!e.isArc) return NewStairElement(record, first, second, first, second, 0, e.source, false);
    return NewStairElement(record, e.centre, {e.radius, e.startAngle, e.endAngle}, first, second, 1, e.source,
                           false);
}

StairElement* LastOf(StairElement* list) {
    while (list && list->next) list = list->next;
    return list;
}

void Append(StairElement** list, StairElement* e) {
    if (StairElement* last = LastOf(*list))
        last->next = e;
    else
        *list = e;
}

// Puts the ends of every side element in walking order, the first compared
// with `start` (an end of the first riser), and gives each arc its chords.
void OrderSideEnds(const CSCALA& record, StairElement* side, const Point3& start) {
    Point3 previous = start;
    for (StairElement* e = side; e; e = e->next) {
        if (e->isArc())
            ArcEndPoints(e->pointA, e->radius(), e->startAngle(), e->endAngle(), e->endA, e->endB);
        else {
            e->endA = e->pointA;
            e->endB = e->pointB;
        }
        if (PointsEqual(e->endB, previous, true)) SwapPoints(e->endA, e->endB);
        if (e->isArc()) {
            FreeList(e->arcPoints);
            e->arcPoints = MakeArcPoints(*e, record.scaleFactor);
        }
        previous = e->endB;
    }
}

}  // namespace

std::string BuildStairModel(CSCALA& record, std::vector<StairModelEntity> entities, std::size_t firstRiser) {
    if (firstRiser >= entities.size()) return kStairRisersOnlyLinesMessage;
    const StairModelEntity riserEntity = entities[firstRiser];
    if (!riserEntity.isLine) return kStairRisersOnlyLinesMessage;
    entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(firstRiser));
    for (const StairModelEntity& e : entities)
        if (!e.isLine && !e.isArc) return kStairOnlyLinesAndArcsMessage;

    record.firstSide = FreeList(record.firstSide);
    record.secondSide = FreeList(record.secondSide);
    record.risers = FreeList(record.risers);
    Point3 ra = riserEntity.a, rb = riserEntity.b;
    bool turnChecked = false;

    // Sides: the entities touching the ends of the first riser.
    for (std::size_t i = 0; i < entities.size() && (!record.firstSide || !record.secondSide);) {
        const StairModelEntity& e = entities[i];
        bool touchesStart = PointsEqual(e.a, ra, true) || PointsEqual(e.a, rb, true);
        bool touchesEnd = PointsEqual(e.b, ra, true) || PointsEqual(e.b, rb, true);
        if (!touchesStart && !touchesEnd) {
            ++i;
            continue;
        }
        const bool reversed = !touchesStart;
        const Point3 touching = reversed ? e.b : e.a;
        if (!turnChecked) {
            // The first side always lies on the same hand of the first riser.
            const double side = LeavingDirection(e, !reversed);
            const double turn = AngleDiffCcw(AngleTo(ra, rb), side);
            if (turn > std::numbers::pi) std::swap(ra, rb);
            turnChecked = true;
        }
        StairElement** target = PointsEqual(touching, ra, true) ? &record.firstSide : &record.secondSide;
        if (*target) {
            ++i;
            continue;
        }
        *target = ElementFrom(record, e, reversed);
        entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(i));
        i = 0;
    }
    if (!record.firstSide || !record.secondSide) return kStairTwoSidesMessage;

    // Chains: entities continuing either side from its free end. A line
    // from one side to the other is a riser (the last one is usually drawn
    // from side end to side end), never a side piece.
    StairElement** sides[2] = {&record.firstSide, &record.secondSide};
    auto bridges = [](const Point3& far, const StairElement* other) {
        return PositionAlongPolyline(SidePolyline(other), far).has_value();
    };
    // After each piece the search starts again from the first entity, so
    // that of two entities meeting a side's end the earlier one continues
    // it, whatever was appended before.
    for (bool added = true; added;) {
        added = false;
        for (std::size_t i = 0; i < entities.size() && !added;) {
            bool used = false;
            for (int k = 0; k < 2 && !used; ++k) {
                const Point3 end = LastOf(*sides[k])->endB;
                const StairModelEntity& e = entities[i];
                const bool atStart = PointsEqual(e.a, end, true);
                if (!atStart && !PointsEqual(e.b, end, true)) continue;
                if (e.isLine && bridges(atStart ? e.b : e.a, *sides[1 - k])) continue;
                Append(sides[k], ElementFrom(record, e, !atStart));
                used = true;
            }
            if (used) {
                entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(i));
                added = true;
            } else {
                ++i;
            }
        }
    }

    // Risers: the first one, then the rest in order along the sides.
    for (const StairModelEntity& e : entities)
        if (!e.isLine) return kStairRisersOnlyLinesMessage;
    record.risers = NewStairElement(record, ra, rb, ra, rb, 0, riserEntity.source, false);
    constexpr double kNone = 3.4028234663852886e+38;
    constexpr double kLimit = 1.7014117331926443e+38;
    while (!entities.empty()) {
        double best = kNone;
        std::size_t bestIndex = 0;
        Point3 bestA, bestB;
        for (std::size_t i = 0; i < entities.size(); ++i) {
            const StairLine line{entities[i].a, entities[i].b};
            auto first = RiserSideIntersection(line, record.firstSide);
            auto second = RiserSideIntersection(line, record.secondSide);
            if (!first || !second || first->position < 0.0 || second->position < 0.0) continue;
            const double sum = first->position + second->position;
            if (sum < best) {
                best = sum;
                bestIndex = i;
                bestA = first->point;
                bestB = second->point;
            }
        }
        if (best >= kLimit) break;
        Append(&record.risers,
               NewStairElement(record, bestA, bestB, bestA, bestB, 0, entities[bestIndex].source, false));
        entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(bestIndex));
    }
    SortRisers(record, record.risers);

    // The sides end at the last riser.
    StairElement* last = LastOf(record.risers);
    const StairLine lastLine{last->pointA, last->pointB};
    for (int which = 0; which < 2; ++which) {
        StairElement* side = which == 0 ? record.firstSide : record.secondSide;
        Point3 at = which == 0 ? last->pointA : last->pointB;
        StairElement* e = FindSideElementAt(side, lastLine, which, at);
        if (!e) continue;
        if (!e->isArc()) {
            if (PointsEqual(e->pointB, e->endB, true))
                e->pointB = at;
            else
                e->pointA = at;
            e->endB = at;
            continue;
        }
        const double angle = AngleTo(e->pointA, at);
        const Point3 start = PolarPoint(e->pointA, e->startAngle(), e->radius());
        if (PointsEqual(start, e->endB, false))
            e->pointB.y = angle;
        else
            e->pointB.z = angle;
        e->endB = PolarPoint(e->pointA, angle, e->radius());
        e->endB.z = e->pointA.z;
        FreeList(e->arcPoints);
        e->arcPoints = MakeArcPoints(*e, record.scaleFactor);
    }
    // The risers' ends on the sides as they now are, as a reader of the
    // stair's xdata will find them.
    for (StairElement* r = record.risers; r; r = r->next) {
        const StairLine line{r->pointA, r->pointB};
        if (auto a = RiserSideIntersection(line, record.firstSide)) r->pointA = r->endA = a->point;
        if (auto b = RiserSideIntersection(line, record.secondSide)) r->pointB = r->endB = b->point;
    }
    return {};
}

bool ReadStairModelFromLines(CSCALA& record, const ads_name selection, const ads_name firstRiser) {
    std::vector<StairModelEntity> entities;
    std::size_t firstIndex = 0;
    auto read = [&entities](const ads_name name) {
        StairModelEntity e;
        ads_name_set(name, e.source);
        std::string type;
        GetEntTypeAndColor(name, type);
        if (type == "LINE") {
            e.isLine = GetLineData(name, e.a, e.b) != 0;
        } else if (type == "ARC") {
            ArcRecord arc;
            if (GetArcData(name, arc)) {
                e.isArc = true;
                e.centre = arc.centre;
                e.radius = arc.radius;
                e.startAngle = arc.startAngle;
                e.endAngle = arc.endAngle;
                ArcEndPoints(arc.centre, arc.radius, arc.startAngle, arc.endAngle, e.a, e.b);
            }
        }
        entities.push_back(e);
    };
    read(firstRiser);
    std::int32_t n = 0;
    if (selection && zcedSSLength(selection, &n) == RTNORM) {
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name name;
            if (zcedSSName(selection, i, name) != RTNORM || ads_name_equal(name, firstRiser)) continue;
            read(name);
        }
    }
    const std::string message = BuildStairModel(record, std::move(entities), firstIndex);
    if (message.empty()) return true;
    zcutPrintf("%s", message.c_str());
    return false;
}

bool CSCALA::LoadStairFromEntity(const resbuf* list, const Point3& insertion, double rotation,
                                 int riserAdjustment) {
    if (!ReadStairXData(list, insertion, rotation)) return false;
    for (StairElement* group : {risers, firstSide, secondSide})
        for (StairElement* e = group; e; e = e->next)
            if (e->isArc()) e->arcPoints = MakeArcPoints(*e, scaleFactor);
    if (risers) {
        OrderSideEnds(*this, firstSide, risers->pointA);
        OrderSideEnds(*this, secondSide, risers->pointB);
    }
    for (StairElement* r = risers; r; r = r->next) {
        const StairLine line{r->pointA, r->pointB};
        if (auto a = RiserSideIntersection(line, firstSide)) r->pointA = a->point;
        if (auto b = RiserSideIntersection(line, secondSide)) r->pointB = b->point;
        r->endA = r->pointA;
        r->endB = r->pointB;
    }
    riserCount = CountNodes(risers);
    if (riserAdjustment > -10) {
        if (lastStepAtEnd) --riserCount;
        const int divisor = riserCount - riserAdjustment;
        stepHeight = divisor > 0 ? floorDistance / divisor : 0.0;
    }
    steps = BuildStairSteps(*this, risers, 0, 0.0);
    return true;
}

bool MakeLineEntity(const Point3& a, const Point3& b, const std::string& layer) {
    if (HostDistance(a, b) < SharedTolerance) return false;
    ads_point p = {a.x, a.y, a.z}, q = {b.x, b.y, b.z};
    const host::ResbufList list(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, p, 11, q, 0));
    return list && zcdbEntMake(list.get()) == RTNORM;
}

bool MakeArcEntity(const Point3& centre, double radius, double start, double end, const std::string& layer) {
    if (std::fabs(start - end) < SharedTolerance) return false;
    ads_point c = {centre.x, centre.y, centre.z};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "ARC", 8, layer.c_str(), 10, c, 40, radius, 50, start, 51, end, 0));
    return list && zcdbEntMake(list.get()) == RTNORM;
}

int DrawTreadFaces(const StairStep* steps, const std::string& layer) {
    Matrix4 identity;
    SetIdentity4(identity);
    int made = 0;
    for (const StairStep* s = steps; s; s = s->next) {
        VertexNode* ring = nullptr;
        for (const VertexNode* v = s->ring; v; v = v->next)
            if (v->data1 == 0) {
                // Prepending reverses the ring.
                VertexNode* copy = NewVertex(v->x, v->y, v->z, 0, 0, 0, 0);
                copy->next = ring;
                ring = copy;
            }
        int reversed = 0;
        ring = NormalizePolygon(1, ring, &reversed);
        int index = 0;
        for (VertexNode* v = ring; v; v = v->next) v->data1 = index++;
        if (index < 3) {
            FreeList(ring);
            continue;
        }
        FaceRecord* faces = TriangulatePolygon(ring, index - 1, identity);
        made += EmitFaces(layer, faces);
        FreeList(faces);
    }
    return made;
}
