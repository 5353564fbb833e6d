// The host pickers (see the header).
#include "objects/placement/host_pickers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <string>
#include <utility>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "core/pick_walls.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/language/obj_records.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/wall3d_commands.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/wall_line_ends.h"
#include "walls/graph/wall_line_table.h"

using namespace wallcut;

namespace {

constexpr const char* kNoSecondSide = "Nie można znaleźć drugiej strony ściany";
constexpr const char* kArcTooCoarse = "\nPrzybliżenie zakrzywionej ściany jest zbyt duże";

// The four prompts of a picker: first pass, first pass with the keywords,
// later passes, other run modes.
struct Prompts {
    const char* first;
    const char* firstWithKeywords;
    const char* later;
    const char* otherModes;
};

const Prompts kWallLinePrompts = {
    "\nWybierz wewnętrzną stronę ściany lub Enter, aby zamknąć:",
    "\nWybierz wewnętrzną linię ściany lub Enter, aby zamknąć lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz wewnętrzną stronę ściany lub Enter, aby zamknąć:",
    "\nWybierz wewnętrzną linię ściany lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kFreeWallLinePrompts = {
    "\nWybierz wewnętrzną stronę ściany lub Enter, aby wstawić bez ściany:",
    "\nWybierz wewnętrzną stronę ściany lub Enter, aby wstawić bez ściany:",
    "\nWybierz wewnętrzną stronę ściany lub Enter, aby wstawić bez ściany:",
    "\nWybierz wewnętrzną linię ściany lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kArcPrompts = {
    "\nWybierz wewnętrzny łuk ściany:", "\nWybierz wewnętrzny łuk ściany lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz wewnętrzny łuk ściany lub Enter, aby zamknąć:",
    "\nWybierz wewnętrzny łuk ściany lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kCornerPrompts = {
    "\nWybierz jedną z dwóch linii, która tworzy narożnik:",
    "\nWybierz jedną z dwóch linii, która tworzy narożnik lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz jedną z dwóch linii, która tworzy narożnik lub Enter, aby wyjść:",
    "\nWybierz jedną z dwóch linii, która tworzy narożnik lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kSlabPrompts = {
    "\nWybierz płytę, na której można wstawić obiekt:",
    "\nWybierz płytę, na której chcesz wstawić obiekt lub Enter, aby zamknąć lub [Modyfikuj "
    "parametry/Zastąp]:",
    "\nWybierz płytę, na której chcesz wstawić obiekt lub Enter, aby zamknąć:",
    "\nWybierz płytę, na której chcesz umieścić obiekt lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kAccessoryPrompts = {
    "\nOkreśl punkt wstawienia akcesoriów na głównym obiekcie lub Enter dla swobodnego wstawienia:",
    "\nOkreśl punkt wstawienia akcesoriów na głównym obiekcie/Enter dla swobodnego wstawienia lub "
    "[Modyfikuj parametry/Zastąp:",
    "\nOkreśl punkt wstawienia akcesoriów na głównym obiekcie lub Enter, aby zamknąć:",
    "\nOkreśl punkt wstawienia akcesoriów na głównym obiekcie lub Enter, aby pozostawić nieporuszony:"};

// What Enter does: ask again, or end the pick with a value.
constexpr int kAskAgain = -999;

struct Ask {
    const char* prompt;
    bool keywords;
    int enter;
};

// The prompt, the keywords and the Enter outcome of one pass;
// `firstPassEnter` is the picker's Enter on the first pass of run mode 0.
Ask PromptFor(const ObjContext& c, int iteration, const Prompts& p, int firstPassEnter) {
    if (c.runMode != 0) return {p.otherModes, false, 0};
    if (iteration > 0) return {p.later, false, -1};
    const bool keywords = c.skipParamInput != 0;
    return {keywords ? p.firstWithKeywords : p.first, keywords, firstPassEnter};
}

// Why the last pick failed, cleared for the next pick.
int TakePickError() {
    const int value = LastPickError();
    resbuf zero;
    zero.restype = RTSHORT;
    zero.resval.rint = 0;
    zcedSetVar("ERRNO", &zero);
    return value;
}

// A keyword answer: 1000 for "Zastąp"; "Modyfikuj" edits and asks again.
int OnKeyword(ObjContext& c, const std::string& keyword, const ParameterEditor& edit) {
    if (zcutEqualsNoCase(keyword, "Zastąp")) return 1000;
    if (zcutEqualsNoCase(keyword, "Modyfikuj") && edit) edit(c);
    return kAskAgain;
}

// An entity pick under the common rules: 1 with the entity and the point,
// or the picker's result (1000, 0, -1).
int PickEntity(ObjContext& c, int iteration, const Prompts& p, int firstPassEnter,
               const ParameterEditor& edit, ads_name entity, ads_point point) {
    for (;;) {
        const Ask ask = PromptFor(c, iteration, p, firstPassEnter);
        zcedInitGet(0, ask.keywords ? "Modyfikuj Zastąp" : nullptr);
        TakePickError();
        const int rc = zcedEntSel(ask.prompt, entity, point);
        if (rc == RTNORM) return 1;
        if (rc == RTCAN) return -1;
        if (rc == RTKWORD) {
            char keyword[64] = {};
            zcedGetInput(keyword);
            const int r = OnKeyword(c, keyword, edit);
            if (r != kAskAgain) return r;
            continue;
        }
        const int error = TakePickError();
        if (error == OL_ENTSELPICK) continue;
        if (error == OL_ENTSELNULL) {
            if (ask.enter != kAskAgain) return ask.enter;
            continue;
        }
        return -1;
    }
}

// A wall LINE or ARC through the toolkit picker under the common rules.
int PickWallEntity(ObjContext& c, int iteration, const Prompts& p, int firstPassEnter,
                   const ParameterEditor& edit, const char* type, ads_name entity, ads_point point) {
    const double level = SettingReal(SetupVar::SQPAV, 0.0);
    for (;;) {
        const Ask ask = PromptFor(c, iteration, p, firstPassEnter);
        std::string layer, keywords = ask.keywords ? "Modyfikuj Zastąp" : "";
        const int rc = PickLinesAndArcs(type, ask.prompt, entity, level, layer, keywords, point);
        if (rc == 1) return 1;
        if (rc == 0) {
            if (std::strcmp(type, "LINE") == 0)
                zcutPrintf("\nWybrany obiekt nie jest linią odpowiadającą ścianie bieżącej podłogi");
            continue;
        }
        if (rc == -1) return -1;
        if (rc == -2) {
            const int r = OnKeyword(c, keywords, edit);
            if (r != kAskAgain) return r;
            continue;
        }
        if (ask.enter != kAskAgain) return ask.enter;
    }
}

void DefineReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 0, u'R', "", value, "", 0, 0, c.vars);
}
bool Declared(const ObjContext& c, int number) {
    return FindObjVar(number, c.vars) != nullptr;
}
double Value(const ObjContext& c, int number) {
    double v = 0.0;
    std::string text;
    GetObjVar(number, v, text, c.vars);
    return v;
}

double Normalised(double angle) {
    const double two = TwoPi();
    angle = std::fmod(angle, two);
    return angle < 0.0 ? angle + two : angle;
}

void Copy(const ads_name from, ads_name to) {
    ads_name_set(from, to);
}

// The nearest line of the level's wall LINEs (but `skip`) crossed by the
// segment through `at` perpendicular to a-b, `reach` to each side.
// 1 found, 0 none within reach, -1 coincident lines.
int NearestAcross(double level, const ads_name skip, const Point3& a, const Point3& b, const Point3& at,
                  double reach, ads_name found, Point3& crossing) {
    ads_name_clear(found);
    const double across = AngleTo(a, b) + std::numbers::pi * 0.5;
    const Point3 t1 = PolarPoint(at, across, reach), t2 = PolarPoint(at, across + std::numbers::pi, reach);
    // A line crossing t1-t2 (within the tolerance past its ends) meets its
    // box grown by that tolerance.
    const double grow = 2.0 * ModuleGeomTol.equalPoint() + 1e-6 +
                        1e-9 * std::max({std::fabs(t1.x), std::fabs(t1.y), std::fabs(t2.x), std::fabs(t2.y)});
    const host::PlanBox box{std::min(t1.x, t2.x) - grow, std::min(t1.y, t2.y) - grow,
                            std::max(t1.x, t2.x) + grow, std::max(t1.y, t2.y) + grow};
    double best = 1e300;
    for (ZcDbObjectId id : WallLinesOfLevelNear(level, box)) {
        ads_name e;
        Point3 x;
        if (zcdbGetAdsName(e, id) != Zcad::eOk || ads_name_equal(e, skip)) continue;
        // Only the ends are needed: the line's list is not made.
        const std::optional<std::pair<Point3, Point3>> ends = WallLineEnds(e);
        if (!ends) continue;
        const auto& [s, t] = *ends;
        if (!IntersectLines2d(t1, t2, s, t, x, 1, ModuleGeomTol)) continue;
        const double d = Distance2d(at, x);
        if (d >= best) continue;
        if (d < GeomEpsilon) {
            zcutPrintf("\nLinie pokrywają się, użyj VELAUDIT");
            return -1;
        }
        best = d;
        crossing = x;
        Copy(e, found);
    }
    return ads_name_nil(found) ? 0 : 1;
}

// Turns a-b to run along `angle` (cosine of the difference not negative).
void OrientAlong(Point3 line[2], double angle) {
    if (std::cos(AngleDiffCcw(AngleTo(line[0], line[1]), angle)) < 0.0) std::swap(line[0], line[1]);
}

// The wall face of a host line oriented like the line; the line itself
// when the face graph gives none.
void FaceSegmentOf(const ads_name e, const Point3 line[2], Point3 face[2]) {
    WallFaceSpan span;
    face[0] = line[0];
    face[1] = line[1];
    if (!ReadWallFaceSpan(e, span) || span.isArc) return;
    face[0] = span.start;
    face[1] = span.end;
    if (std::cos(AngleDiffCcw(AngleTo(face[0], face[1]), AngleTo(line[0], line[1]))) < 0.0)
        std::swap(face[0], face[1]);
}

bool LineOf(const ads_name e, Point3 line[2]) {
    return !ads_name_nil(e) && GetLineData(e, line[0], line[1]);
}

// The side the object is aligned to: 1 the second line picked, 0 the
// first, 2 Enter (the middle); -1 cancel; -2 another entity.
int AskAlignment(const ObjContext& c) {
    for (;;) {
        ads_name e;
        ads_point p;
        TakePickError();
        const int rc =
            zcedEntSel("\nWybierz stronę dopasowania lub Enter, aby wyrównać do linii środkowej:", e, p);
        if (rc == RTCAN) return -1;
        if (rc == RTNORM) {
            if (ads_name_equal(e, c.secondEntity)) return 1;
            if (ads_name_equal(e, c.firstEntity)) return 0;
            return -2;
        }
        const int error = TakePickError();
        if (error == OL_ENTSELPICK) continue;
        if (error == OL_ENTSELNULL) return 2;
        return -1;
    }
}

}  // namespace

// ---- straight walls ----

int PickWallLine(ObjContext& c, int iteration, const ParameterEditor& edit) {
    const Prompts& prompts = c.freeOpening ? kFreeWallLinePrompts : kWallLinePrompts;
    for (;;) {
        ads_name e;
        ads_point at;
        const int rc = PickWallEntity(c, iteration, prompts, c.freeOpening ? 0 : -1, edit, "LINE", e, at);
        if (rc != 1) return rc;
        ads_point snapped;
        if (zcedOsnap(at, "_NEAR", snapped) != RTNORM) continue;
        Point3 line[2];
        if (!LineOf(e, line)) continue;
        Copy(e, c.firstEntity);
        c.elevation = line[0].z;
        c.host.wallLine[0] = line[0];
        c.host.wallLine[1] = line[1];
        PerpendicularFoot(ToPoint(snapped), line[0], line[1], c.host.pickPoint);
        c.host.secondLineFound = false;
        return FindWallLinesAtPick(c, false);
    }
}

int FindWallLineAtPoint(ObjContext& c, const Point3& point) {
    WallSelection lines("LINE", c.elevation, false);
    if (!lines.found()) return -1;
    c.host.pickPoint = point;
    for (std::int32_t i = 0; i < lines.size(); ++i) {
        ads_name e;
        Point3 line[2];
        if (!lines.name(i, e) || !LineOf(e, line) || !IsPointOnSegment(point, line[0], line[1])) continue;
        Copy(e, c.firstEntity);
        c.host.wallLine[0] = line[0];
        c.host.wallLine[1] = line[1];
        break;
    }
    c.host.secondLineFound = false;
    return FindWallLinesAtPick(c, true);
}

int FindWallLinesAtPick(ObjContext& c, bool noPrompt) {
    HostPlacement& h = c.host;
    const double unit = DrawingUnitFactor();
    if (!h.secondLineFound) {
        Point3 x;
        const int found = NearestAcross(c.elevation, c.firstEntity, h.wallLine[0], h.wallLine[1], h.pickPoint,
                                        1000.0 * unit, c.secondEntity, x);
        if (found < 0) return -1;
        if (found == 0) {
            zcutPrintf("\n%s", kNoSecondSide);
            return -1;
        }
        c.rotation = Normalised(AngleTo(h.pickPoint, x) - std::numbers::pi * 0.5);
        LineOf(c.secondEntity, h.secondWallLine);
    }
    if (!noPrompt &&
        !AreSegmentsParallel(h.wallLine[0], h.wallLine[1], h.secondWallLine[0], h.secondWallLine[1])) {
        const int side = AskAlignment(c);
        if (side == -1) return -1;
        if (side >= 0) c.alignment = side;
    }
    if (ads_name_nil(c.firstEntity) || ads_name_nil(c.secondEntity)) return 0;

    const double across = AngleTo(h.wallLine[0], h.wallLine[1]) + std::numbers::pi * 0.5;
    const Point3 t1 = PolarPoint(h.pickPoint, across, 100.0),
                 t2 = PolarPoint(h.pickPoint, across + std::numbers::pi, 100.0);
    Point3 x;
    if (IntersectLines2d(t1, t2, h.secondWallLine[0], h.secondWallLine[1], x, 0, ModuleGeomTol))
        c.rotation = Normalised(AngleTo(h.pickPoint, x) - std::numbers::pi * 0.5);
    OrientAlong(h.wallLine, c.rotation);
    OrientAlong(h.secondWallLine, c.rotation);
    double wallAngle =
        AngleBetweenLines(h.wallLine[0], h.wallLine[1], h.secondWallLine[0], h.secondWallLine[1]);
    if (wallAngle > std::numbers::pi * 0.5) wallAngle -= TwoPi();
    FaceSegmentOf(c.firstEntity, h.wallLine, h.faceSegment);
    FaceSegmentOf(c.secondEntity, h.secondWallLine, h.secondFaceSegment);

    const double s = c.mirrored ? -1.0 : 1.0;
    switch (c.alignment) {
        case 0:
            DefineReal(c, 18, s * wallAngle);
            DefineReal(c, 19, 0.0);
            break;
        case 1:
            DefineReal(c, 18, 0.0);
            DefineReal(c, 19, s * wallAngle);
            c.rotation += wallAngle;
            break;
        default:
            DefineReal(c, 18, s * wallAngle * 0.5);
            DefineReal(c, 19, s * wallAngle * 0.5);
            c.rotation += wallAngle * 0.5;
            break;
    }
    const Point3 towards = PolarPoint(h.pickPoint, c.rotation + std::numbers::pi * 0.5, 100.0);
    if (Declared(c, 1) &&
        IntersectLines2d(h.pickPoint, towards, h.secondWallLine[0], h.secondWallLine[1], x, 0, ModuleGeomTol))
        DefineReal(c, 1, Distance2d(h.pickPoint, x));
    c.rotation = Normalised(c.rotation);
    const bool upper = c.rotation > 0.24 * std::numbers::pi && c.rotation < 1.24 * std::numbers::pi;
    DefineReal(c, 16, upper != (c.mirrored != 0) ? 1.0 : 0.0);
    h.secondLineFound = true;
    return 1;
}

// ---- curved walls ----

int PickWallArc(ObjContext& c, int iteration, const ParameterEditor& edit) {
    ads_name e;
    ads_point at;
    ArcRecord first;
    for (;;) {
        const int rc = PickWallEntity(c, iteration, kArcPrompts, kAskAgain, edit, "ARC", e, at);
        if (rc != 1) return rc;
        if (GetArcData(e, first) == 1) break;
    }
    Copy(e, c.firstEntity);
    c.elevation = first.centre.z;
    c.insertionPoint[0] = first.centre.x;
    c.insertionPoint[1] = first.centre.y;
    c.insertionPoint[2] = first.centre.z;
    WallSelection arcs("ARC", c.elevation, false);
    if (!arcs.found()) return -1;
    const Point3 pick = ToPoint(at);
    double best = 1e300;
    ads_name_clear(c.secondEntity);
    for (std::int32_t i = 0; i < arcs.size(); ++i) {
        ads_name other;
        ArcRecord arc;
        if (!arcs.name(i, other) || ads_name_equal(other, e) || GetArcData(other, arc) != 1) continue;
        if (!PointsEqual(arc.centre, first.centre, true) || arc.radius < first.radius) continue;
        if (!IsPointOnArc(pick, arc, false) || arc.radius - first.radius >= best) continue;
        best = arc.radius - first.radius;
        Copy(other, c.secondEntity);
    }
    if (ads_name_nil(c.secondEntity)) {
        zcutPrintf("\nBrak prawidłowych łuków na warstwach ścian");
        return -1;
    }
    return FindArcWallAtPick(c);
}

int FindArcWallAtPick(ObjContext& c) {
    ArcRecord a1, a2;
    if (ads_name_nil(c.firstEntity) || ads_name_nil(c.secondEntity)) return 0;
    if (GetArcData(c.firstEntity, a1) != 1 || GetArcData(c.secondEntity, a2) != 1) return 0;
    if (Declared(c, 1)) DefineReal(c, 1, a2.radius - a1.radius);
    const double chord = GetScaleFactor(0) / (2.0 * a1.radius);
    const double step = chord <= 1.0 ? 2.0 * std::asin(chord) : 0.0;
    if (!(step >= SharedTolerance)) {
        zcutPrintf("%s", kArcTooCoarse);
        return 0;
    }
    double from = 0.0, to = 0.0;
    if (c.insertionType == InsertionType::ArcWallOpening) {
        if (!Declared(c, 8)) return 0;
        const double h = Value(c, 8) / (2.0 * a1.radius);
        if (std::abs(h) > 1.0) {
            zcutPrintf("%s", kArcTooCoarse);
            return 0;
        }
        from = std::asin(-h) + c.rotation;
        to = std::asin(h) + c.rotation;
        DefineReal(c, 13, a1.radius);
    } else {
        WallFaceSpan face;
        if (ReadWallFaceSpan(c.secondEntity, face) && face.isArc) {
            const double span = AngleDiffCcw(face.arc.startAngle, face.arc.endAngle);
            c.rotation = face.arc.startAngle + span * 0.5;
            DefineReal(c, 20, span);
            DefineReal(c, 13, face.arc.radius);
            from = face.arc.startAngle;
            to = face.arc.endAngle;
        }
    }
    if (AngleDiffCcw(from, to) < 2.0 * step) {
        zcutPrintf("%s", kArcTooCoarse);
        return 0;
    }
    // Both ends on the arc's approximation steps; a turn is at most
    // 2*pi / step steps long.
    const int limit = static_cast<int>(TwoPi() / step) + 2;
    double d = 0.0;
    for (int i = 0; i < limit && AngleDiffCcw(from, d) > step; ++i) d += step;
    DefineReal(c, 10, d - c.rotation);
    d += step;
    for (int i = 0; i < limit && AngleDiffCcw(to, d) > step; ++i) d += step;
    DefineReal(c, 11, (d - step) - c.rotation);
    DefineReal(c, 12, step);
    c.rotation = Normalised(c.rotation);
    const bool turned = c.rotation > 0.75 * std::numbers::pi && c.rotation < 1.75 * std::numbers::pi;
    DefineReal(c, 16, turned != (c.mirrored != 0) ? 1.0 : 0.0);
    return 1;
}

// ---- wall corners ----

int PickCornerForObject(ObjContext& c, int iteration, const ParameterEditor& edit) {
    const double level = SettingReal(SetupVar::SQPAV, 0.0);
    for (;;) {
        ads_name e;
        ads_point at;
        const int rc = PickEntity(c, iteration, kCornerPrompts, kAskAgain, edit, e, at);
        if (rc != 1) return rc;
        double onLevel = level;
        Point3 line[2];
        ads_point snapped;
        if (CheckEntityLevelLayer(e, "LINE", false, onLevel, true, false) != 1 || !LineOf(e, line)) continue;
        if (zcedOsnap(at, "_NEAR", snapped) != RTNORM) continue;
        const Point3 pick = ToPoint(snapped);
        if (Distance2d(pick, line[1]) < Distance2d(pick, line[0])) std::swap(line[0], line[1]);
        Copy(e, c.firstEntity);
        c.elevation = line[0].z;
        c.host.wallLine[0] = line[0];
        c.host.wallLine[1] = line[1];
        c.insertionPoint[0] = line[0].x;
        c.insertionPoint[1] = line[0].y;
        c.insertionPoint[2] = line[0].z;
        Point3 x;
        const int found = NearestAcross(c.elevation, e, line[0], line[1], pick, 1000.0 * DrawingUnitFactor(),
                                        c.secondEntity, x);
        if (found < 0) return -1;
        if (found == 0) {
            zcutPrintf("\n%s", kNoSecondSide);
            return -1;
        }
        LineOf(c.secondEntity, c.host.secondWallLine);
        c.alignment = 2;
        return ReadCornerLineVars(c);
    }
}

int ReadCornerLineVars(ObjContext& c) {
    HostPlacement& h = c.host;
    Point3 first[2], second[2];
    if (!LineOf(c.firstEntity, first) || !LineOf(c.secondEntity, second)) return -1;
    const Point3 at{c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
    for (Point3* line : {first, second})
        if (Distance2d(at, line[1]) < Distance2d(at, line[0])) std::swap(line[0], line[1]);
    h.wallLine[0] = first[0], h.wallLine[1] = first[1];
    h.secondWallLine[0] = second[0], h.secondWallLine[1] = second[1];

    // The wall lines meeting the hosts at their starts.
    Point3 lineA[2], lineB[2];
    bool foundA = false, foundB = false;
    {
        WallSelection lines("LINE", c.elevation, false);
        for (std::int32_t i = 0; i < lines.size(); ++i) {
            ads_name e;
            Point3 l[2];
            if (!lines.name(i, e) || ads_name_equal(e, c.firstEntity) || ads_name_equal(e, c.secondEntity) ||
                !LineOf(e, l))
                continue;
            for (int k = 0; k < 2; ++k) {
                if (!foundA && PointsEqual(l[k], first[0], true)) {
                    lineA[0] = l[k], lineA[1] = l[1 - k], foundA = true;
                } else if (!foundB && PointsEqual(l[k], second[0], true)) {
                    lineB[0] = l[k], lineB[1] = l[1 - k], foundB = true;
                }
            }
        }
    }
    if (!foundA || !foundB) return 1;
    if (Declared(c, 1)) DefineReal(c, 1, Distance2d(at, second[0]));
    c.rotation = AngleTo(first[0], second[0]);
    h.cornerPoint = at;
    h.oppositeCornerPoint = second[0];
    auto angleTo = [&](const Point3 l[2]) { return AngleBetweenLines(second[0], first[0], l[0], l[1]); };
    const double angles[4] = {angleTo(first), angleTo(lineA), angleTo(second), angleTo(lineB)};
    const bool swapped = angles[1] < angles[0];
    const int order[4] = {0, 1, 2, 3}, other[4] = {2, 3, 0, 1};
    for (int i = 0; i < 4; ++i) DefineReal(c, 20 + i, angles[swapped ? other[i] : order[i]]);
    const double r = Normalised(c.rotation);
    DefineReal(c, 16, r > 0.24 * std::numbers::pi && r < 1.24 * std::numbers::pi ? 1.0 : 0.0);
    return 1;
}

// ---- slabs ----

namespace {

// The first 1070 of the slab record; -1 without it.
int SlabKind(const resbuf* list) {
    const resbuf* app = FindXDataApp(list, kSlabApp);
    if (!app) return -1;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == 1070) return rb->resval.rint;
    return -1;
}

double SlabThickness(const resbuf* list) {
    const resbuf* app = FindXDataApp(list, kSlabApp);
    for (const resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == 1040) return rb->resval.rreal;
    return 0.0;
}

}  // namespace

int PickSlabForObject(ObjContext& c, int iteration, const ParameterEditor& edit) {
    for (;;) {
        ads_name e;
        ads_point at;
        const int rc = PickEntity(c, iteration, kSlabPrompts, kAskAgain, edit, e, at);
        if (rc != 1) return rc;
        host::ResbufList list(GetEntXData(e, kSlabApp));
        const int kind = list ? SlabKind(list.get()) : -1;
        if (kind < 0 || kind >= 16) {
            zcutPrintf("\nWybrany obiekt nie jest płytą");
            continue;
        }
        Copy(e, c.firstEntity);
        return ReadSlabPlaneVars(c);
    }
}

int ReadSlabPlaneVars(ObjContext& c) {
    double plane[4] = {0.0, 0.0, 1.0, 0.0};
    double thickness = 0.0;
    if (!ads_name_nil(c.firstEntity)) {
        host::ResbufList list(GetSlabXData(c.firstEntity));
        const int kind = list ? SlabKind(list.get()) : -1;
        if (kind < 0 || kind > 15) return -1;
        const double t = SlabThickness(list.get());
        ContourNode* loops = ParseSlabLoops(list.get());
        const VertexNode* loop = loops ? loops->vertices : nullptr;
        int slopeKind = -1;
        const double slope = loop ? GetLoopSlope(loop, slopeKind) : 0.0;
        const bool made = loop && PolygonNormal(loop, plane[0], plane[1], plane[2], plane[3]);
        FreeList(loops);
        if (!made || std::abs(plane[2]) < GeomEpsilon) return -1;
        thickness = slopeKind == 1 ? t / std::cos(std::atan(slope / 100.0)) : t;
    }
    for (int i = 0; i < 4; ++i) DefineReal(c, 20 + i, ads_name_nil(c.firstEntity) && i == 2 ? 1.0 : plane[i]);
    DefineReal(c, 24, thickness);
    return 1;
}

// ---- stairs ----

namespace {

constexpr const char* kStairRecordApp = "VELM5$_$DATICMANOSCALA-";
constexpr const char* kNoHandrailData =
    "\nSchody nie posiadają wystarczających informacji, aby wstawić poręcz";

// The stair record: placement of the stair and its sides and corners. A
// handrail record keeps its values where the record writer takes them
// from: A, B, C in a; D in b[2] until the point P fills b; the sign in
// c[1], the arc flag in c[2], the angle in c[0]; start, end and centre in
// d, e and f.
struct StairRecord {
    Point3 base;
    double rotation = 0.0;
    double scale[3] = {1.0, 1.0, 1.0};
    std::vector<ObjHandrail> records;
};

void Store(double out[3], const Point3& p) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}
Point3 PointOf(const double v[3]) {
    return {v[0], v[1], v[2]};
}

// One "{" … "}" block from rb (after the "{"); rb ends after the "}".
ObjHandrail ReadBlock(const resbuf*& rb, double xScale) {
    ObjHandrail h;
    std::vector<double> reals;
    std::vector<Point3> points;
    for (; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "}") {
            rb = rb->rbnext;
            break;
        }
        if (rb->restype == 1040) reals.push_back(rb->resval.rreal);
        if (rb->restype == 1010 || rb->restype == 1011) points.push_back(ToPoint(rb->resval.rpoint));
    }
    reals.resize(7, 0.0);
    points.resize(4);
    h.a[0] = reals[0], h.a[1] = reals[1], h.a[2] = reals[2], h.b[2] = reals[3];
    h.c[1] = reals[4];
    h.c[2] = std::abs(reals[5]) >= SharedTolerance ? 1.0 : 0.0;
    Store(h.b, points[0]);
    h.c[0] = reals[6] * xScale;
    Store(h.d, points[1]);
    Store(h.e, points[2]);
    Store(h.f, points[3]);
    return h;
}

// 1 read, 0 the entity has no record.
int ReadStairRecord(const ads_name stair, StairRecord& out) {
    host::ResbufList list(GetEntXData(stair, kStairRecordApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kStairRecordApp) : nullptr;
    if (!app) return 0;
    if (const resbuf* rb = FindRbCode(list.get(), 10)) out.base = ToPoint(rb->resval.rpoint);
    if (const resbuf* rb = FindRbCode(list.get(), 50)) out.rotation = rb->resval.rreal;
    for (int i = 0; i < 3; ++i)
        if (const resbuf* rb = FindRbCode(list.get(), 41 + i)) out.scale[i] = rb->resval.rreal;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001;) {
        if (rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "{") {
            rb = rb->rbnext;
            out.records.push_back(ReadBlock(rb, out.scale[0]));
            continue;
        }
        rb = rb->rbnext;
    }
    return 1;
}

void TakeStair(ObjContext& c, const ads_name stair, const StairRecord& s) {
    ads_name_set(stair, c.firstEntity);
    for (int i = 0; i < 3; ++i) c.scale[i] = s.scale[i];
    c.mirrored = s.scale[0] < 0.0 ? 1 : 0;
}

// The side under the point: its index, or -1.
int SideUnder(const std::vector<ObjHandrail>& sides, Point3 p) {
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const ObjHandrail& h = sides[i];
        const Point3 s = PointOf(h.d), e = PointOf(h.e), centre = PointOf(h.f);
        const Point3 u{e.x - s.x, e.y - s.y, e.z - s.z}, v{centre.x - s.x, centre.y - s.y, centre.z - s.z};
        const Point3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        if (std::abs(n.z) < GeomEpsilon) continue;  // no plane, or one seen edge-on
        p.z = s.z - (n.x * (p.x - s.x) + n.y * (p.y - s.y)) / n.z;
        const bool on = h.c[2] == 0.0 ? IsPointOnSegment(p, s, e)
                                      : std::abs(h.c[1] - HostDistance(p, centre)) < SharedTolerance;
        if (on) return static_cast<int>(i);
    }
    return -1;
}

const Prompts kBalustradePrompts = {
    "\nWybierz schody po stronie, gdzie wstawić barierkę:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub Enter, aby zamknąć:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub Enter, aby zaakceptować poprzednią pozycję:"};
const Prompts kHandrailCornerPrompts = {
    "\nWybierz schody, gdzie wstawić narożnik poręczy:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub Enter, aby zamknąć:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub Enter, aby zaakceptować poprzednią pozycję:"};

// A stair picked and its record read into the context: 1, or the pick's
// result, or -1 (with the message) for a stair without the record.
int PickStair(ObjContext& c, int iteration, const Prompts& prompts, const ParameterEditor& edit,
              StairRecord& s, ads_point at) {
    ads_name stair;
    const int rc = PickEntity(c, iteration, prompts, kAskAgain, edit, stair, at);
    if (rc != 1) return rc;
    if (!ReadStairRecord(stair, s)) {
        zcutPrintf("%s", kNoHandrailData);
        return -1;
    }
    TakeStair(c, stair, s);
    c.handrails.clear();
    return 1;
}

}  // namespace

int PickStairSideForBalustrade(ObjContext& c, int iteration, const ParameterEditor& edit) {
    StairRecord s;
    ads_point at;
    const int rc = PickStair(c, iteration, kBalustradePrompts, edit, s, at);
    if (rc != 1) return rc;
    for (const ObjHandrail& h : s.records)
        if (h.c[1] >= 0.0) c.handrails.push_back(h);
    ads_point snapped;
    if (zcedOsnap(at, "_NEAR", snapped) == RTNORM) ads_point_set(snapped, at);
    for (;;) {
        const int side = SideUnder(c.handrails, ToPoint(at));
        if (side >= 0) {
            std::rotate(c.handrails.begin(), c.handrails.begin() + side, c.handrails.end());
            c.handrails.front().c[0] += s.rotation;
            return 1;
        }
        zcutPrintf("\nNie można znaleźć boku schodów");
        if (GetPointInRange(0, nullptr, nullptr,
                            "\nWybierz schody po stronie, gdzie wstawić barierkę:", at) != RTNORM)
            return -1;
    }
}

int PickStairForHandrailCorner(ObjContext& c, int iteration, const ParameterEditor& edit) {
    StairRecord s;
    ads_point at;
    const int rc = PickStair(c, iteration, kHandrailCornerPrompts, edit, s, at);
    if (rc != 1) return rc;
    for (const ObjHandrail& h : s.records) {
        if (h.c[1] >= 0.0) continue;
        c.handrails.push_back(h);
        c.handrails.front().c[0] += s.rotation;
        return 1;
    }
    zcutPrintf("\nSchody nie posiadają wystarczających informacji, aby wstawić narożnik poręczy");
    return -1;
}

// ---- accessories ----

int PickMainObjectForAccessory(ObjContext& c, int iteration, const ParameterEditor& edit) {
    for (;;) {
        ads_name e;
        ads_point at;
        const int rc = PickEntity(c, iteration, kAccessoryPrompts, 0, edit, e, at);
        if (rc != 1) return rc;
        ads_point snapped;
        if (zcedOsnap(at, "_END", snapped) != RTNORM) continue;
        host::ResbufList list(GetEntXData(e, kParamRecordApp));
        if (!list) {
            zcutPrintf("\nWybrany obiekt jest niepoprawny");
            continue;
        }
        const resbuf* angle = FindRbCode(list.get(), 50);
        c.rotation = angle ? angle->resval.rreal : 0.0;
        for (int i = 0; i < 3; ++i) c.insertionPoint[i] = snapped[i];
        c.elevation = snapped[2];
        Copy(e, c.firstEntity);
        return 1;
    }
}

// ---- relocation ----

namespace {

// The object comes back with its walls cut again by what is left of them.
int KeepObject(const ads_name object, const char* message) {
    zcutPrintf("%s", message);
    zcdbEntDel(object);
    BreakWallAtObject(object, 0.0, false);
    return 0;
}

}  // namespace

int RelocateOnHost(ObjContext& c, const ads_name object) {
    const ads_name none = {0, 0};
    switch (c.insertionType) {
        case InsertionType::StraightWallOpening: {
            RejoinStraightWallLines(object, c.firstEntity, c.secondEntity);
            Regen3DWallsAround(c.firstEntity, c.secondEntity, c.elevation, none, none);
            if (c.only3d) return 1;
            if (!LineOf(c.firstEntity, c.host.wallLine) || !LineOf(c.secondEntity, c.host.secondWallLine))
                return KeepObject(object, "\nNie można znaleźć linii ścian");
            c.host.secondLineFound = true;
            FindWallLinesAtPick(c, true);
            return 1;
        }
        case InsertionType::ArcWallOpening: {
            RejoinArcWallLines(object, c.firstEntity, c.secondEntity);
            Regen3DWallsAround(c.firstEntity, c.secondEntity, c.elevation, none, none);
            if (ads_name_nil(c.firstEntity) || ads_name_nil(c.secondEntity))
                return KeepObject(object, "\nNie można znaleźć łuków ścian");
            FindArcWallAtPick(c);
            return 1;
        }
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven: {
            ads_name slab = {0, 0};
            EraseOpeningObject(object, slab);
            ComputeRatioVars(c);
            return 1;
        }
        case InsertionType::Pilaster:
            RejoinPilasterAtObject(object);
            return 1;
        case InsertionType::WallCorner: {
            ads_name lines[4];
            RejoinCornerWallLines(object, lines);
            Regen3DWallsAround(lines[0], lines[1], c.elevation, lines[2], lines[3]);
            // The hosts: the lines through the first points of the jambs.
            Copy(lines[0], c.firstEntity);
            Copy(lines[2], c.secondEntity);
            if (ads_name_nil(c.firstEntity) || ads_name_nil(c.secondEntity))
                return KeepObject(object, "\nNie można znaleźć linii ścian");
            ReadCornerLineVars(c);
            return 1;
        }
        case InsertionType::SlabOpening:
        case InsertionType::RoofWindow: {
            ads_name slab = {0, 0};
            EraseOpeningObject(object, slab);
            if (ads_name_nil(slab)) return KeepObject(object, "\nNie można znaleźć płyty");
            Copy(slab, c.firstEntity);
            ReadSlabPlaneVars(c);
            return 1;
        }
        default:
            zcdbEntDel(object);
            return 1;
    }
}
