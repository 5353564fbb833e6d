// The stair commands (see the header).
//
// Editing builds the new stair before it touches the old one: only a stair
// written whole replaces the old stair and takes its opening in the slab,
// so a failed rebuild leaves the drawing as it was.
#include "stairs/commands/stair_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "roofs/slab_openings.h"
#include "stairs/dialogs/dlg_scale.h"
#include "stairs/stair_model.h"
#include "walls/graph/contour_highlight.h"

namespace {

// A pick that hit nothing, as opposed to one that failed.
bool MissedPick(int rc) {
    return rc == RTERROR && PickHitNothing();
}

bool IsStair(const ads_name entity) {
    const host::ResbufList list(GetEntXData(entity, kStairApp));
    return list && FindXDataApp(list.get(), kStairApp);
}

// Asks for a stair until one is picked; false on cancel.
bool PickStair(const char* prompt, ads_name stair) {
    for (;;) {
        ads_point pick;
        const int rc = zcedEntSel(prompt, stair, pick);
        if (MissedPick(rc)) continue;
        if (rc != RTNORM) return false;
        if (IsStair(stair)) return true;
        zcutPrintf("%s", kStairNotAStairMessage);
    }
}

// The record of a stair INSERT, its elements in world places.
bool LoadStair(CSCALA& record, const ads_name stair, int riserAdjustment) {
    const host::ResbufList list(GetEntXData(stair, kStairApp));
    if (!list) return false;
    const resbuf* at = FindRbCode(list.get(), 10);
    const resbuf* rotation = FindRbCode(list.get(), 50);
    const Point3 insertion =
        at ? Point3{at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]} : Point3{0, 0, 0};
    return record.LoadStairFromEntity(list.get(), insertion, rotation ? rotation->resval.rreal : 0.0,
                                      riserAdjustment);
}

// How far a riser's end may lie from its line's end on this side: a side
// arc is read as chords, and a radial line meets a chord up to the chord's
// rise from the arc inside the arc.
double EndTolerance(const StairLine& riser, const StairElement* side) {
    const double tolerance = 1e-6 + 10.0 * SharedTolerance;
    const auto crossing = RiserSideIntersection(riser, side);
    if (!crossing || !crossing->element || !crossing->element->isArc()) return tolerance;
    const double r = crossing->element->radius();
    double rise = 0.0;
    for (const ArcPointNode* c = crossing->element->arcPoints; c; c = c->next) {
        const double half = Distance2d(c->start, c->end) / 2.0;
        rise = std::max(rise, r - std::sqrt(std::max(0.0, r * r - half * half)));
    }
    return tolerance + 2.0 * rise;
}

// A riser of the model lies where its line was drawn, from end to end: the
// sides it was read between are the ones the line joins.
bool RiserOnItsLine(const CSCALA& record, const StairElement& riser) {
    Point3 a, b;
    if (!(riser.source[0] || riser.source[1]) || !GetLineData(riser.source, a, b)) return false;
    const StairLine line{riser.pointA, riser.pointB};
    const double ta = EndTolerance(line, record.firstSide), tb = EndTolerance(line, record.secondSide);
    auto near = [](const Point3& p, const Point3& q, double t) { return Distance2d(p, q) <= t; };
    return (near(a, riser.pointA, ta) && near(b, riser.pointB, tb)) ||
           (near(b, riser.pointA, ta) && near(a, riser.pointB, tb));
}

// Every line of the set and the first riser is a side piece or a riser of
// the model, the step lines and no other are its risers, each where it was
// drawn, and every two risers in a row hold a tread between them: the stair
// goes the whole way the lines do.
bool UsesWholeModel(const CSCALA& record, const ads_name set, int stepLines) {
    std::int32_t lines = 0;
    if (set && zcedSSLength(set, &lines) != RTNORM) lines = 0;
    int used = 0;
    for (const StairElement* list : {record.firstSide, record.secondSide, record.risers})
        for (const StairElement* e = list; e; e = e->next) used += e->source[0] || e->source[1];
    if (used != lines + 1 || record.riserCount != stepLines) return false;
    for (const StairElement* r = record.risers; r; r = r->next)
        if (!RiserOnItsLine(record, *r)) return false;
    return CountNodes(record.steps) == record.riserCount - 1;
}

}  // namespace

int CSCALA::PickLandingPoint() {
    for (;;) {
        ads_point picked;
        const int rc = GetPointInRange(0, nullptr, nullptr,
                                       "\nWybierz wewnętrzny punkt półpiętra/Enter, aby zakończyć:", picked);
        if (rc != RTNORM) return rc;
        const Point3 p{picked[0], picked[1], 0.0};
        bool found = false;
        StairElement* riser = risers;
        for (const StairStep* step = steps; step && riser; step = step->next, riser = riser->next) {
            VertexNode* polygon = nullptr;
            for (const VertexNode* v = step->ring; v; v = v->next)
                if (v->data1 == 0) AppendVertex(&polygon, {v->x, v->y, 0.0}, 0, 0, 0);
            // A point on the tread's edge is not inside it.
            if (CountNodes(polygon) >= 3 && PointInPolygon(p, polygon, kEdgesOutside) == kInsidePolygon) {
                riser->landing = true;
                HighlightContour(polygon, 0, false);
                found = true;
            }
            FreeList(polygon);
            if (found) break;
        }
        if (!found) zcutPrintf("%s", kStairLandingOutsideMessage);
    }
}

int RunStairOptions(CSCALA& record) {
    for (;;) {
        const int code = ShowStairOptions(record);
        if (code != kScaleExitLanding) return code;
        record.PickLandingPoint();
    }
}

bool CreateStairFromModel(const ads_name set, const ads_name firstRiser, int stepLines) {
    CSCALA record;
    if (!ReadStairModelFromLines(record, set, firstRiser)) {
        host::noteFailed();
        return false;
    }
    record.riserCount = CountNodes(record.risers);
    if (record.riserCount < 2) {
        zcutPrintf("%s", kStairTwoRisersMessage);
        host::noteFailed();
        return false;
    }
    FreeList(record.steps);
    record.steps = BuildStairSteps(record, record.risers, 0, 0.0);
    if (stepLines >= 0 && !UsesWholeModel(record, set, stepLines)) {
        zcutPrintf("%s", kStairPathNotWholeMessage);
        host::noteFailed();
        return false;
    }
    if (RunStairOptions(record) != kScaleExitOk) return false;
    record.saveDefaults = true;
    // The model lines go only when the stair was written.
    if (!record.MakeStairBlocks()) return false;
    for (const StairElement* list : {record.secondSide, record.firstSide, record.risers})
        for (const StairElement* e = list; e; e = e->next)
            if (e->source[0] || e->source[1]) zcdbEntDel(e->source);
    return true;
}

void CmdCreateStair() {
    ads_name line;
    for (;;) {
        ads_point pick;
        const int rc = zcedEntSel("\nWybierz linię pierwszego stopnia:", line, pick);
        if (MissedPick(rc)) continue;
        if (rc != RTNORM) return;
        const host::ResbufList list(zcdbEntGet(line));
        const resbuf* type = FindRbCode(list.get(), 0);
        const bool isLine = type && zcutEqualsNoCase(type->resval.rstring, "LINE");
        if (isLine) break;
        zcutPrintf("%s", kStairPickLineMessage);
    }
    zcedRedraw(line, 3);
    const char* prompts[2] = {"Wybierz wszystkie obiekty, które definiują schody:",
                              "Usuń obiekty ze zbioru wskazań:"};
    ads_name set = {0, 0};
    const int rc = zcedSSGet(":$", prompts, nullptr, nullptr, set);
    zcedRedraw(line, 4);
    if (rc != RTNORM) return;
    FilterLineArcSelection(set);
    CreateStairFromModel(set, line);
    zcedSSFree(set);
}

void CmdEditStair() {
    ads_name stair = {0, 0};
    bool picked = false;
    ads_name first = {0, 0};
    if (zcedSSGet("_I", nullptr, nullptr, nullptr, first) == RTNORM) {
        long n = 0;
        zcedSSLength(first, &n);
        // A pre-selected entity that is no stair is dropped without a word.
        if (n == 1 && zcedSSName(first, 0, stair) == RTNORM && IsStair(stair)) picked = true;
        zcedSSFree(first);
    }
    if (!picked && !PickStair("\nWybierz schody, które chcesz modyfikować:", stair)) return;

    CSCALA record;
    if (!LoadStair(record, stair, -100)) return;
    if (RunStairOptions(record) != kScaleExitOk) return;
    if (!record.MakeStairBlocks()) return;
    ads_name made;
    if (zcdbEntLast(made) != RTNORM) return;
    ads_name slab = {0, 0};
    const int hadOpening = EraseOpeningObject(stair, slab);
    if (hadOpening && (slab[0] || slab[1])) CutOpeningIntoSlab(made, slab);
}

void CmdStairModel() {
    ads_name stair;
    if (!PickStair("\nWybierz schody, które chcesz przekształcić w definicję modelu:", stair)) return;
    const host::ResbufList list(GetEntXData(stair, kStairApp));
    if (!list) return;
    const resbuf* at = FindRbCode(list.get(), 10);
    const resbuf* rotation = FindRbCode(list.get(), 50);
    const Point3 base =
        at ? Point3{at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]} : Point3{0, 0, 0};
    const double angle = rotation ? rotation->resval.rreal : 0.0;
    // The three element groups: risers, first side, second side.
    struct Item {
        int group;
        StairElement element;
    };
    std::vector<std::unique_ptr<Item>> items;
    int group = 0;
    const resbuf* rb = FindXDataApp(list.get(), kStairApp);
    for (; rb; rb = rb->rbnext) {
        if (rb != FindXDataApp(list.get(), kStairApp) && rb->restype == 1001) break;
        if (rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "{") {
            ++group;
            continue;
        }
        if (group == 0 || rb->restype != 1070) continue;
        const resbuf* landing = rb->rbnext;
        const resbuf* a = landing ? landing->rbnext : nullptr;
        const resbuf* b = a ? a->rbnext : nullptr;
        if (!landing || !a || !b || a->restype != 1010 || b->restype != 1010) break;
        auto item = std::make_unique<Item>();
        item->group = group;
        item->element.kind = rb->resval.rint;
        item->element.pointA = {a->resval.rpoint[0], a->resval.rpoint[1], a->resval.rpoint[2]};
        item->element.pointB = {b->resval.rpoint[0], b->resval.rpoint[1], b->resval.rpoint[2]};
        TransformStairElement(item->element, base, angle);
        items.push_back(std::move(item));
        rb = b;
    }
    ads_name slab = {0, 0};
    EraseOpeningObject(stair, slab);
    for (const auto& item : items) {
        const StairElement& e = item->element;
        const int colour = item->group == 1 ? 7 : 1;
        host::ResbufList made;
        if (e.isArc()) {
            if (std::fabs(e.startAngle() - e.endAngle()) < SharedTolerance) continue;
            const ads_point c{e.pointA.x, e.pointA.y, e.pointA.z};
            made.reset(zcutBuildList(RTDXF0, "ARC", 8, "0", 62, colour, 10, c, 40, e.radius(), 50,
                                     e.startAngle(), 51, e.endAngle(), 0));
        } else {
            if (Distance2d(e.pointA, e.pointB) < SharedTolerance) continue;
            const ads_point p{e.pointA.x, e.pointA.y, e.pointA.z}, q{e.pointB.x, e.pointB.y, e.pointB.z};
            made.reset(zcutBuildList(RTDXF0, "LINE", 8, "0", 62, colour, 10, p, 11, q, 0));
        }
        zcdbEntMake(made.get());
    }
}
