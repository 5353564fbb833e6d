// The stair path jig and its preview (see the header).
#include "stairs/commands/stair_jig.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "store/settings_dbfiler.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

ZcGePoint3d Ge(const Point3& p) {
    return {p.x, p.y, p.z};
}

double Radius(const Point3 side[2]) {
    return side[1].x;
}

Point3 ArcPoint(const Point3 side[2], double angle) {
    return PolarPoint(side[0], angle, side[1].x);
}

// The angle at which an arc node begins in walking order, and where it
// ends: a clockwise arc is walked from its end angle to its start angle.
double WalkStartAngle(const StairPathNode& n, const Point3 side[2]) {
    return n.direction ? side[1].y : side[1].z;
}

// The foot of p on the infinite line a-b, and whether it falls within a-b.
Point3 Foot(const Point3& p, const Point3& a, const Point3& b, bool& within) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    within = t >= 0.0 && t <= 1.0;
    return {a.x + t * dx, a.y + t * dy, a.z};
}

void AddStepLine(StairPathNode& node, const Point3& a, const Point3& b) {
    auto* line = new StepLine;
    line->start = a;
    line->end = b;
    line->next = node.stepLines;
    node.stepLines = line;
}

bool SamePlan(const Point3& a, const Point3& b) {
    return PointsEqual(a, b, false);
}

bool SameSide(const Point3 a[2], const Point3 b[2]) {
    return SamePlan(a[0], b[0]) && SamePlan(a[1], b[1]);
}

// A straight side drawn to a point: the inner corner of a landing turned
// through its middle has one on each of its two segments.
bool PointSide(const StairPathNode& n, const Point3 side[2]) {
    return !n.isArc() && SamePlan(side[0], side[1]);
}

// The older node repeats the newer one where a side of it lies where the
// newer's does; two sides drawn to the same point say nothing of that, as
// both segments of a landing turned through its middle have them.
bool Repeats(const StairPathNode& older, const StairPathNode& newer) {
    if (SameSide(older.sideA, newer.sideA) && SameSide(older.sideB, newer.sideB)) return true;
    return (SameSide(older.sideA, newer.sideA) && !PointSide(older, older.sideA)) ||
           (SameSide(older.sideB, newer.sideB) && !PointSide(older, older.sideB));
}

int ReadInt(int slot, int fallback) {
    return SettingInt(slot, fallback);
}

// The straight-after-arc and arc-after-straight crossings of a side line
// with a side circle: the one nearer to `near`.
bool LineCircle(const Point3& a, const Point3& b, const Point3 circle[2], const Point3& near, Point3& out) {
    Point3 p1, p2;
    if (!IntersectLineCircle(a, b, circle[0], Radius(circle), p1, p2)) return false;
    out = Distance2d(p1, near) <= Distance2d(p2, near) ? p1 : p2;
    return true;
}

}  // namespace

// ---- nodes ----

StairPathNode::~StairPathNode() {
    FreeList(stepLines);
}

void InitPathNode(StairPathNode& node) {
    FreeList(node.stepLines);
    node.stepLines = nullptr;
    node.kind = 0;
    node.direction = 1;
    node.sideA[0] = node.sideA[1] = node.sideB[0] = node.sideB[1] = {};
    node.point = {};
    node.width = node.step = node.endAngle = 0.0;
    node.previous = nullptr;
}

void FreeStepLines(StairPathNode& node) {
    FreeList(node.stepLines);
    node.stepLines = nullptr;
}

double StepAngleOnArc(const StairPathNode& node, double s) {
    const double mean = (Radius(node.sideA) + Radius(node.sideB)) / 2.0;
    if (!(mean > 0.0) || s <= 0.0 || s / 2.0 > mean) return 0.0;
    return 2.0 * std::asin((s / 2.0) / mean);
}

void BuildLineStepLines(StairPathNode& node, bool withSteps, double s, double w) {
    FreeStepLines(node);
    int k0 = 0;
    if (!node.previous) {
        AddStepLine(node, node.sideA[0], node.sideB[0]);
        k0 = 1;
    }
    if (!withSteps || s <= 0.0) return;
    if (Distance2d(node.sideA[0], node.sideA[1]) < GeomEpsilon ||
        Distance2d(node.sideB[0], node.sideB[1]) < GeomEpsilon)
        return;
    bool within = false;
    Point3 p0 = node.sideB[0];
    Foot(p0, node.sideA[0], node.sideA[1], within);
    if (!within) p0 = Foot(node.sideA[0], node.sideB[0], node.sideB[1], within);
    Point3 p1 = node.sideB[1];
    Foot(p1, node.sideA[0], node.sideA[1], within);
    if (!within) p1 = Foot(node.sideA[1], node.sideB[0], node.sideB[1], within);
    const double theta = AngleTo(node.sideB[0], node.sideB[1]);
    const double run = Distance2d(p0, p1);
    for (int k = k0; k * s <= run + 1e-9; ++k) {
        const Point3 q = PolarPoint(p0, theta, k * s);
        AddStepLine(node, q, PolarPoint(q, theta - std::numbers::pi / 2.0, w));
    }
}

void BuildArcStepLines(StairPathNode& node, bool withSteps, double delta) {
    FreeStepLines(node);
    int k0 = 0;
    if (!node.previous) {
        const double a = WalkStartAngle(node, node.sideB);
        AddStepLine(node, ArcPoint(node.sideB, a), ArcPoint(node.sideA, a));
        k0 = 1;
    }
    if (!withSteps || !(delta > 0.0)) return;
    const double start = node.sideB[1].y;
    double end = node.sideB[1].z;
    if (node.direction) {
        if (end < start) end += 2.0 * std::numbers::pi;
        for (int k = k0; start + k * delta <= end + 1e-12; ++k) {
            const double a = start + k * delta;
            AddStepLine(node, ArcPoint(node.sideB, a), ArcPoint(node.sideA, a));
        }
    } else {
        double low = start;
        if (low > end) low -= 2.0 * std::numbers::pi;
        for (int k = k0; end - k * delta >= low - 1e-12; ++k) {
            const double a = end - k * delta;
            AddStepLine(node, ArcPoint(node.sideB, a), ArcPoint(node.sideA, a));
        }
    }
}

void JoinWithPreviousNode(StairPathNode* previous, StairPathNode& newest) {
    if (!previous) return;
    const Point3& p = newest.point;
    for (int side = 0; side < 2; ++side) {
        Point3* n = side == 0 ? newest.sideA : newest.sideB;
        Point3* q = side == 0 ? previous->sideA : previous->sideB;
        if (!newest.isArc() && !previous->isArc()) {
            Point3 x;
            if (IntersectLines2d(n[0], n[1], q[0], q[1], x, 0, ModuleGeomTol)) {
                n[0] = x;
                q[1] = x;
            } else {
                n[0] = q[1];
            }
        } else if (!newest.isArc() && previous->isArc()) {
            Point3 x;
            if (LineCircle(n[0], n[1], q, p, x)) {
                n[0] = x;
                (previous->direction ? q[1].z : q[1].y) = AngleTo(q[0], x);
            }
        } else if (newest.isArc() && !previous->isArc()) {
            Point3 x;
            if (LineCircle(q[0], q[1], n, q[1], x)) {
                q[1] = x;
                (newest.direction ? n[1].y : n[1].z) = AngleTo(n[0], x);
            }
        }
    }
    if (previous->step > 0.0) {
        if (previous->isArc())
            BuildArcStepLines(*previous, true, StepAngleOnArc(*previous, previous->step));
        else
            BuildLineStepLines(*previous, true, previous->step, previous->width);
    }
}

// ---- the preview entity ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_OBJ_SCALAJ)

VELM_OBJ_SCALAJ::~VELM_OBJ_SCALAJ() {
    while (newest) {
        StairPathNode* older = newest->previous;
        delete newest;
        newest = older;
    }
}

bool VELM_OBJ_SCALAJ::worldDraw(ZcGiWorldDraw* wd) {
    if (!draw || !wd) return true;
    wd->subEntityTraits().setColor(1);
    ZcGiWorldGeometry& g = wd->geometry();
    for (const StairPathNode* n = newest; n; n = n->previous) {
        for (const Point3* side : {n->sideA, n->sideB}) {
            if (!n->isArc()) {
                const ZcGePoint3d pts[2] = {Ge(side[0]), Ge(side[1])};
                g.polyline(2, pts);
                continue;
            }
            double start = side[1].y, end = side[1].z;
            if (end < start) end += 2.0 * std::numbers::pi;
            g.circularArc(Ge(ArcPoint(side, start)), Ge(ArcPoint(side, (start + end) / 2.0)),
                          Ge(ArcPoint(side, end)));
        }
        for (const StepLine* l = n->stepLines; l; l = l->next) {
            const ZcGePoint3d pts[2] = {Ge(l->start), Ge(l->end)};
            g.polyline(2, pts);
        }
    }
    return true;
}

// ---- the jig ----

AJIG_CMD_SCALA::AJIG_CMD_SCALA() {
    preview = static_cast<VELM_OBJ_SCALAJ*>(VELM_OBJ_SCALAJ::Create());
    const int zero = 0;
    savedAngDir = SysVarShort("ANGDIR", &zero);
    const double none = 0.0;
    const int set = 1;
    savedAngBase = SysVarReal("ANGBASE", &none, &set);
    savedElevation = SysVarReal("ELEVATION", &none, &set);
    snap = ReadInt(SetupVar::SETSCA_SNAPDRAG, 0) > 0;
    width = SettingReal(SetupVar::SETSCA_LARSCALA, 110.0);
    step = SettingReal(SetupVar::SETSCA_PEDSCALA, 30.0);
}

AJIG_CMD_SCALA::~AJIG_CMD_SCALA() {
    SysVarShort("ANGDIR", &savedAngDir);
    const int set = 1;
    SysVarReal("ANGBASE", &savedAngBase, &set);
    SysVarReal("ELEVATION", &savedElevation, &set);
    delete preview;
    const int snapSlot = SetupVar::SETSCA_SNAPDRAG;
    const short snapValue = snap ? 1 : 0;
    SetVarInt(&snapSlot, &snapValue);
    const int widthSlot = SetupVar::SETSCA_LARSCALA;
    SetVarReal(&widthSlot, &width);
    const int stepSlot = SetupVar::SETSCA_PEDSCALA;
    SetVarReal(&stepSlot, &step);
}

bool AJIG_CMD_SCALA::OfferArc() const {
    return !preview->newest || !preview->newest->isArc();
}

void AJIG_CMD_SCALA::ApplyCommonKeyword(const std::string& keyword) {
    const int decimals = ReadInt(SetupVar::CIFRE_COMPUTO, 2);
    auto askLength = [decimals](const char* message, double& value) {
        char format[32];
        std::snprintf(format, sizeof format, "%%s<%%.%df>:", decimals);
        char text[300];
        std::snprintf(text, sizeof text, format, message, value);
        double answer = 0.0;
        if (GetDistInRange(6, nullptr, nullptr, text, &answer) == RTNORM) value = answer;
    };
    if (keyword == "Szerokość") {
        askLength("\nNowa wartość dla szerokości schodów", width);
    } else if (keyword == "Stopień") {
        askLength("\nNowa wartość dla stopnia schodów", step);
    } else if (keyword == "Dopasowanie" || keyword == "Wyrównanie") {
        const std::string text = "\nWyrównanie punktu[Lewo/Środek/Prawo]<" + alignmentNames[alignment] + ">:";
        zcedInitGet(0, "Lewo środek prawo");
        char reply[64] = "";
        if (zcedGetKword(text.c_str(), reply) == RTNORM)
            for (int i = 0; i < 3; ++i)
                if (zcutEqualsNoCase(reply, alignmentNames[i].c_str())) alignment = i;
    } else if (keyword == "Wyłącz") {
        snap = false;
    } else if (keyword == "Włącz") {
        snap = true;
    } else if (keyword == "Półpiętro") {
        flight = false;
    } else if (keyword == "Kondygnacja") {
        flight = true;
    }
}

void AJIG_CMD_SCALA::BuildStairCreatePrompt(const std::string& keyword) {
    if (keyword == "Utwórz") {
        mode = 6;
        return;
    }
    if (zcutEqualsNoCase(keyword.c_str(), "Łuk")) {
        mode = 1;
        answer.clear();
    } else {
        ApplyCommonKeyword(keyword);
    }
    const bool arc = OfferArc();
    keywordList = std::string("Utwórz Szerokość Stopień Wyrównanie ") + (snap ? "Wyłącz" : "Włącz") + " " +
                  (flight ? "Półpiętro" : "Kondygnacja") + " Cofnij" + (arc ? " Łuk" : "");
    prompt = std::string("\n[Utwórz/Szerokość/Stopień/Wyrównanie/") + (arc ? "Łuk/" : "") +
             (snap ? "Przyciąganie Wyłącz/" : "Przyciąganie Włącz/") +
             (flight ? "Półpiętro/" : "Kondygnacja/") + "Cofnij]" +
             (firstPoint ? "Od punktu:" : "Do punktu:");
}

void AJIG_CMD_SCALA::BuildStairDefPrompt(const std::string& keyword) {
    if (keyword == "3punkt") {
        threePoint = true;
        mode = 1;
    } else if (keyword == "Środek") {
        threePoint = false;
        mode = 2;
    } else if (keyword == "!angoloFinale!") {
        threePoint = false;
        mode = 4;
    } else if (keyword == "Odwróć") {
        if (StairPathNode* n = preview->newest) {
            n->direction = n->direction ? 0 : 1;
            const int dir = n->direction ? 0 : 1;
            SysVarShort("ANGDIR", &dir);
        }
    } else {
        ApplyCommonKeyword(keyword);
    }
    keywordList = std::string("Odwróć Szerokość Stopień Wyrównanie ") + (snap ? "Wyłącz" : "Włącz") + " " +
                  (flight ? "Półpiętro" : "Kondygnacja") + " " + (threePoint ? "Środek" : "3punkt") +
                  " Cofnij";
    prompt = std::string("\n[Szerokość/Stopień/Wyrównanie/Odwróć/") +
             (snap ? "Przyciąganie Wyłącz/" : "Przyciąganie Włącz/") +
             (flight ? "Półpiętro/" : "Kondygnacja/") + (threePoint ? "Środek/" : "3punkt/") + "Cofnij]" +
             (threePoint  ? "Okreść drugi punkt łuku:"
              : mode == 4 ? "Kąt:"
                          : "Określ punkt środkowy łuku:");
}

// Keywords 2 to 6 and cancel mean the same in both stages.
std::string AJIG_CMD_SCALA::CommonAnswer(DragStatus status) {
    switch (status) {
        case kKW2:
            return "Szerokość";
        case kKW3:
            return "Stopień";
        case kKW4:
            return "Dopasowanie";
        case kKW5:
            return snap ? "Wyłącz" : "Włącz";
        case kKW6:
            return flight ? "Półpiętro" : "Kondygnacja";
        case kCancel:
            mode = 8;
            return "";
        default:
            return "";
    }
}

std::string AJIG_CMD_SCALA::LineStageAnswer(DragStatus status) {
    switch (status) {
        case kKW1:
            return "Utwórz";
        case kKW7:
            mode = 7;
            return "";
        case kKW8:
            return "Łuk";
        case kNull:
            mode = 5;
            return "";
        default:
            return CommonAnswer(status);
    }
}

std::string AJIG_CMD_SCALA::ArcStageAnswer(DragStatus status) {
    switch (status) {
        case kKW1:
            return "Odwróć";
        case kKW7:
            return threePoint ? "Środek" : "3punkt";
        case kKW8:
            mode = 7;
            return "";
        case kNull:
            return "";
        default:
            return CommonAnswer(status);
    }
}

ZcEdJig::DragStatus AJIG_CMD_SCALA::sampler() {
    StairPathNode* node = preview->newest;
    const Point3 base = node ? node->point : Point3{};
    if (mode != 3) setKeywordList(keywordList.c_str());
    setDispPrompt("%s", prompt.c_str());
    DragStatus status = kNormal;
    bool isAngle = false;
    Point3 sample = point;
    double sampledAngle = angle;
    if (mode == 0) {
        setUserInputControls(kNullResponseAccepted);
        ZcGePoint3d p;
        status = acquirePoint(p, Ge(base));
        sample = {p.x, p.y, p.z};
        if (status == kNormal && snap && step > 0.0) {
            const double d = std::floor(Distance2d(base, sample) / step) * step;
            sample = PolarPoint(base, AngleTo(base, sample), d);
        }
    } else if (mode == 1 || mode == 2) {
        setUserInputControls(static_cast<UserInputControls>(0));
        ZcGePoint3d p;
        status = acquirePoint(p, Ge(base));
        sample = {p.x, p.y, p.z};
    } else if (mode == 3) {
        setUserInputControls(static_cast<UserInputControls>(0));
        ZcGePoint3d p;
        status = acquirePoint(p);
        if (status == kNormal) arcPoint = {p.x, p.y, p.z};
        sample = arcPoint;
    } else if (mode == 4) {
        isAngle = true;
        setUserInputControls(static_cast<UserInputControls>(0));
        status = acquireAngle(sampledAngle, Ge(point));
        if (status == kNormal && snap && node) {
            const double delta = StepAngleOnArc(*node, step);
            if (delta > 0.0) {
                if (node->direction)
                    sampledAngle = std::floor(sampledAngle / delta) * delta;
                else
                    sampledAngle = 2.0 * std::numbers::pi -
                                   std::floor((2.0 * std::numbers::pi - sampledAngle) / delta) * delta;
            }
        }
    }
    if (status == kNormal && (isAngle ? !AngleInRange(sampledAngle) : !PointInRange(sample))) {
        ReportOutOfRange();
        return kNoChange;
    }
    if (status == kNormal) {
        if (isAngle) {
            if (haveLast && sampledAngle == lastAngle) return kNoChange;
            angle = lastAngle = sampledAngle;
        } else {
            if (haveLast && mode != 3 && PointsEqual(sample, lastPoint, true)) return kNoChange;
            if (mode != 3) point = sample;
            lastPoint = sample;
        }
        haveLast = true;
    }
    answer = mode == 0 ? LineStageAnswer(status) : ArcStageAnswer(status);
    return status;
}

bool AJIG_CMD_SCALA::update() {
    StairPathNode* node = preview->newest;
    if (!node) return true;
    if (mode == 0) {
        SetLineSides(point, *node);
        JoinWithPreviousNode(node->previous, *node);
        BuildLineStepLines(*node, flight, step, width);
    } else if (mode == 3 || mode == 4) {
        const bool sound =
            mode == 3 ? SetThreePointArc(arcPoint, point, *node) : SetCentreAngleArc(angle, point, *node);
        if (sound) {
            JoinWithPreviousNode(node->previous, *node);
            BuildArcStepLines(*node, flight, StepAngleOnArc(*node, step));
        }
    }
    return true;
}

void AJIG_CMD_SCALA::SetLineSides(const Point3& p, StairPathNode& node) const {
    const Point3& n = node.point;
    const double theta = AngleTo(n, p);
    const double right = theta - std::numbers::pi / 2.0, left = theta + std::numbers::pi / 2.0;
    if (alignment == 0) {
        node.sideB[0] = n;
        node.sideB[1] = p;
        node.sideA[0] = PolarPoint(n, right, width);
        node.sideA[1] = PolarPoint(p, right, width);
    } else if (alignment == 2) {
        node.sideA[0] = n;
        node.sideA[1] = p;
        node.sideB[0] = PolarPoint(n, left, width);
        node.sideB[1] = PolarPoint(p, left, width);
    } else {
        node.sideA[0] = PolarPoint(n, right, width / 2.0);
        node.sideA[1] = PolarPoint(p, right, width / 2.0);
        node.sideB[0] = PolarPoint(n, left, width / 2.0);
        node.sideB[1] = PolarPoint(p, left, width / 2.0);
    }
    node.sideA[0].z = node.sideA[1].z = 0.0;
}

bool AJIG_CMD_SCALA::SetArcRadii(StairPathNode& node, double r) const {
    double a = r, b = r;
    if (!node.direction) {
        b = alignment == 0 ? r : alignment == 1 ? r + width / 2.0 : r + width;
        a = alignment == 0 ? r - width : alignment == 1 ? r - width / 2.0 : r;
    } else {
        b = alignment == 0 ? r : alignment == 1 ? r - width / 2.0 : r - width;
        a = alignment == 0 ? r + width : alignment == 1 ? r + width / 2.0 : r;
    }
    const double inner = node.direction ? b : a;
    // A stair wider than its arc allows has no inner side.
    if (!(inner > 0.0)) return false;
    node.sideA[1].x = a;
    node.sideB[1].x = b;
    node.sideA[0].z = node.sideB[0].z = 0.0;
    return true;
}

bool AJIG_CMD_SCALA::SetThreePointArc(const Point3& e, const Point3& m, StairPathNode& node) {
    const Point3& n = node.point;
    if (Distance2d(n, m) < GeomEpsilon || Distance2d(m, e) < GeomEpsilon || Distance2d(n, e) < GeomEpsilon)
        return false;
    if (ArePointsCollinear(n, m, e, SharedTolerance)) return false;
    // The crossing of the perpendicular bisectors of n-m and m-e.
    const double ax = m.x - n.x, ay = m.y - n.y, bx = e.x - m.x, by = e.y - m.y;
    const double det = ax * by - ay * bx;
    if (std::fabs(det) < 1e-18) return false;
    const double c1 = (ax * (n.x + m.x) + ay * (n.y + m.y)) / 2.0;
    const double c2 = (bx * (m.x + e.x) + by * (m.y + e.y)) / 2.0;
    const Point3 c{(c1 * by - ay * c2) / det, (ax * c2 - c1 * bx) / det, 0.0};
    const bool clockwise = det <= 0.0;
    const unsigned char oldDirection = node.direction;
    node.direction = clockwise ? 0 : 1;
    const Point3 oldA[2] = {node.sideA[0], node.sideA[1]}, oldB[2] = {node.sideB[0], node.sideB[1]};
    node.sideA[0] = node.sideB[0] = c;
    const double start = clockwise ? AngleTo(c, e) : AngleTo(c, n);
    const double end = clockwise ? AngleTo(c, n) : AngleTo(c, e);
    node.sideA[1].y = node.sideB[1].y = start;
    node.sideA[1].z = node.sideB[1].z = end;
    if (!SetArcRadii(node, Distance2d(c, e))) {
        node.direction = oldDirection;
        node.sideA[0] = oldA[0];
        node.sideA[1] = oldA[1];
        node.sideB[0] = oldB[0];
        node.sideB[1] = oldB[1];
        return false;
    }
    const int dir = clockwise ? 1 : 0;
    SysVarShort("ANGDIR", &dir);
    return true;
}

bool AJIG_CMD_SCALA::SetCentreAngleArc(double a, const Point3& c, StairPathNode& node) {
    if (std::fabs(a) < GeomEpsilon) return false;
    const Point3 oldA[2] = {node.sideA[0], node.sideA[1]}, oldB[2] = {node.sideB[0], node.sideB[1]};
    node.sideA[0] = node.sideB[0] = {c.x, c.y, 0.0};
    const double t0 = AngleTo(c, node.point);
    const double start = node.direction ? t0 : t0 + a;
    const double end = node.direction ? t0 + a : t0;
    node.sideA[1].y = node.sideB[1].y = start;
    node.sideA[1].z = node.sideB[1].z = end;
    if (!SetArcRadii(node, Distance2d(c, node.point))) {
        node.sideA[0] = oldA[0];
        node.sideA[1] = oldA[1];
        node.sideB[0] = oldB[0];
        node.sideB[1] = oldB[1];
        return false;
    }
    return true;
}

StairPathNode& AJIG_CMD_SCALA::PushNode(const Point3& p) {
    auto* node = new StairPathNode;
    node->point = p;
    node->previous = preview->newest;
    preview->newest = node;
    return *node;
}

bool AJIG_CMD_SCALA::UndoLastNode() {
    StairPathNode* node = preview->newest;
    if (!node) return false;
    point = node->point;
    if (!node->previous) {
        mode = 0;
        return false;
    }
    preview->newest = node->previous;
    delete node;
    StairPathNode* back = preview->newest;
    width = back->width;
    if (back->step >= 0.0) {
        BuildStairCreatePrompt("Kondygnacja");
        step = back->step;
    } else {
        BuildStairCreatePrompt("Półpiętro");
    }
    mode = back->isArc() ? 1 : 0;
    return true;
}

bool AJIG_CMD_SCALA::FlightWithoutSteps() const {
    for (const StairPathNode* n = preview->newest; n; n = n->previous) {
        if (!(n->step > 0.0)) continue;
        int lines = 0;
        for (const StepLine* l = n->stepLines; l; l = l->next) ++lines;
        // From the path's end back to the last flight with steps, which the
        // stair reaches; the first segment's start line is no step of it.
        if (lines > (n->previous ? 0 : 1)) return false;
        double longest = 0.0;
        for (const Point3* side : {n->sideA, n->sideB}) {
            const double length =
                n->isArc() ? Radius(side) * std::fabs(side[1].z - side[1].y) : Distance2d(side[0], side[1]);
            longest = std::max(longest, length);
        }
        if (longest >= n->step) return true;
    }
    return false;
}

bool AJIG_CMD_SCALA::MakePathModelLines() {
    ads_name_clear(modelLines);
    ads_name_clear(startLine);
    stepLinesMade = 0;
    // Nodes repeating a newer one's side are dropped.
    for (StairPathNode* n = preview->newest; n; n = n->previous) {
        StairPathNode* newer = n;
        for (StairPathNode* o = n->previous; o;) {
            if (Repeats(*o, *n)) {
                newer->previous = o->previous;
                delete o;
                o = newer->previous;
                continue;
            }
            newer = o;
            o = o->previous;
        }
    }
    StairPathNode* oldest = preview->newest;
    while (oldest && oldest->previous) oldest = oldest->previous;
    if (oldest) {
        for (StepLine* l = oldest->stepLines; l; l = l->next)
            for (StepLine** p = &l->next; *p;) {
                StepLine* m = *p;
                const bool same = (SamePlan(m->start, l->start) && SamePlan(m->end, l->end)) ||
                                  (SamePlan(m->start, l->end) && SamePlan(m->end, l->start));
                if (same) {
                    *p = m->next;
                    delete m;
                } else {
                    p = &m->next;
                }
            }
    }

    bool haveSet = false;
    auto keep = [&](resbuf* raw, bool start) -> bool {
        const host::ResbufList list(raw);
        const bool ok = list && zcdbEntMake(list.get()) == RTNORM;
        ads_name made;
        if (!ok || zcdbEntLast(made) != RTNORM) return false;
        if (start) {
            ads_name_set(made, startLine);
            return true;
        }
        if (!haveSet) {
            haveSet = zcedSSAdd(made, nullptr, modelLines) == RTNORM;
        } else {
            ads_name result;
            zcedSSAdd(made, modelLines, result);
        }
        return true;
    };
    // Every side before any step line: the stair builder grows the sides
    // from the lines it meets first, and a step line that starts where a
    // side turns (the inner corner of a landing) must not be taken for the
    // side's next piece.
    for (StairPathNode* n = preview->newest; n; n = n->previous) {
        for (const Point3* side : {n->sideA, n->sideB}) {
            if (n->isArc()) {
                if (!(Radius(side) > 0.0)) continue;
                const ads_point c{side[0].x, side[0].y, 0.0};
                keep(zcutBuildList(RTDXF0, "ARC", 8, "0", 62, 1, 39, 0.0, 10, c, 40, Radius(side), 50,
                                   side[1].y, 51, side[1].z, 0),
                     false);
            } else {
                // A side drawn to a point is no line of the model.
                if (PointSide(*n, side)) continue;
                const ads_point a{side[0].x, side[0].y, 0.0}, b{side[1].x, side[1].y, 0.0};
                keep(zcutBuildList(RTDXF0, "LINE", 8, "0", 62, 1, 39, 0.0, 10, a, 11, b, 0), false);
            }
        }
    }
    std::vector<const StepLine*> written;
    for (StairPathNode* n = preview->newest; n; n = n->previous) {
        for (StepLine* l = n->stepLines; l; l = l->next) {
            // Where a segment starts on the line that ended the one before,
            // the riser is written once.
            bool repeated = false;
            for (const StepLine* w : written)
                repeated = repeated || (SamePlan(w->start, l->start) && SamePlan(w->end, l->end)) ||
                           (SamePlan(w->start, l->end) && SamePlan(w->end, l->start));
            if (repeated) continue;
            written.push_back(l);
            const ads_point a{l->start.x, l->start.y, 0.0}, b{l->end.x, l->end.y, 0.0};
            if (keep(zcutBuildList(RTDXF0, "LINE", 8, "0", 62, 2, 39, 0.0, 10, a, 11, b, 0),
                     n == oldest && !l->next))
                ++stepLinesMade;
        }
    }
    return haveSet;
}
