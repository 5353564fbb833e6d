// The stair record: construction from the settings, the write-back of the
// defaults, the stair xdata writer and its reader.
//
// The writer builds the result-buffer list front to back with one tail
// pointer. The reader walks the list with a cursor that takes a value only
// under the group code the format puts there; at an unexpected code or at
// the end of the list it stops, so a record from a damaged or foreign file
// never reads past its end and leaves the later fields as the settings
// gave them.
#include "stairs/stair_record.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

using namespace SetupVar;

namespace {

int ReadInt(int slot) {
    int value = 0;
    GetVarInt(&slot, &value);
    return value;
}

double ReadReal(int slot) {
    double value = 0.0;
    GetVarReal(&slot, &value);
    return value;
}

std::string ReadText(int slot) {
    std::string text;
    GetVarString(&slot, text);
    return text;
}

void WriteInt(int slot, int value) {
    const short v = static_cast<short>(value);
    SetVarInt(&slot, &v);
}

void WriteReal(int slot, double value) {
    SetVarReal(&slot, &value);
}

// Appends nodes to a list through its tail.
class RbWriter {
public:
    resbuf* head() const { return head_.get(); }
    resbuf* release() {
        tail_ = nullptr;
        return head_.release();
    }
    resbuf* add(int code) {
        resbuf* rb = zcutNewRb(code);
        if (tail_)
            tail_->rbnext = rb;
        else
            head_.reset(rb);
        tail_ = rb;
        return rb;
    }
    void real(int code, double v) { add(code)->resval.rreal = v; }
    void shortValue(int code, int v) { add(code)->resval.rint = static_cast<short>(v); }
    void text(int code, const std::string& v) { host::rbSetString(add(code), v); }
    void point(int code, const Point3& p) {
        resbuf* rb = add(code);
        rb->resval.rpoint[0] = p.x;
        rb->resval.rpoint[1] = p.y;
        rb->resval.rpoint[2] = p.z;
    }

private:
    host::ResbufList head_;
    resbuf* tail_ = nullptr;
};

void RegisterApp(const char* app) {
    const host::ResbufList found(zcdbTblSearch("APPID", app, 0));
    if (!found) zcdbRegApp(app);
}

void WriteElementGroup(RbWriter& w, const StairElement* list) {
    w.text(1002, "{");
    for (const StairElement* e = list; e; e = e->next) {
        w.shortValue(1070, e->kind);
        w.shortValue(1070, e->landing ? 1 : 0);
        w.point(1010, e->pointA);
        w.point(1010, e->pointB);
    }
    w.text(1002, "}");
}

// The points of an open list with the offset's x and y added, last first.
void WriteReversedPoints(RbWriter& w, const VertexNode* list, const Point3& offset, bool withEdgeFlag) {
    std::vector<const VertexNode*> nodes;
    for (const VertexNode* v = list; v; v = v->next) nodes.push_back(v);
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (withEdgeFlag) w.shortValue(1070, (*it)->edgeFlag);
        w.point(1011, {(*it)->x + offset.x, (*it)->y + offset.y, (*it)->z});
    }
}

// One ring of the 3D outlines: split after the first vertex whose third
// integer is set; each part written last point first.
void WriteOutlineRing(RbWriter& w, const VertexNode* ring, const Point3& offset) {
    std::vector<Point3> first, second;
    bool split = false;
    for (const VertexNode* v = ring; v; v = v->next) {
        const Point3 p{v->x + offset.x, v->y + offset.y, v->z + offset.z};
        if (split) {
            second.push_back(p);
            continue;
        }
        first.push_back(p);
        if (v->data2 != 0 && v->next) {
            split = true;
            second.push_back(p);
        }
    }
    if (split && ring) second.push_back({ring->x + offset.x, ring->y + offset.y, ring->z + offset.z});
    for (const std::vector<Point3>* part : {&first, &second}) {
        if (part->empty()) continue;
        w.text(1002, "{");
        for (auto it = part->rbegin(); it != part->rend(); ++it) w.point(1011, *it);
        w.text(1002, "}");
    }
}

// Reads the stair record's values in order; stops at the first node that
// does not carry the expected code.
class RbCursor {
public:
    explicit RbCursor(const resbuf* at) : at_(at) {}
    bool atCode(int code) const { return at_ && at_->restype == code; }
    bool atText(int code, const char* text) const {
        return atCode(code) && at_->resval.rstring && std::string(at_->resval.rstring) == text;
    }
    bool real(double& out) {
        if (!atCode(1040)) return false;
        out = at_->resval.rreal;
        at_ = at_->rbnext;
        return true;
    }
    bool integer(int& out) {
        if (!atCode(1070)) return false;
        out = at_->resval.rint;
        at_ = at_->rbnext;
        return true;
    }
    bool text(std::string& out) {
        if (!atCode(1000)) return false;
        out = at_->resval.rstring ? at_->resval.rstring : "";
        at_ = at_->rbnext;
        return true;
    }
    bool point(Point3& out) {
        if (!atCode(1010)) return false;
        out = {at_->resval.rpoint[0], at_->resval.rpoint[1], at_->resval.rpoint[2]};
        at_ = at_->rbnext;
        return true;
    }
    void skip() {
        if (at_) at_ = at_->rbnext;
    }

private:
    const resbuf* at_;
};

// One value of the 38 in the record: a pointer to the field and its kind.
struct ValueSlot {
    enum Kind { Real, Int, Bool, Text } kind;
    void* field;
    int maximum = 0;  // integer fields: accepted values 0..maximum
};

bool ReadValue(RbCursor& c, const ValueSlot& slot) {
    VELM_ASSERT(slot.field != nullptr);
    switch (slot.kind) {
        case ValueSlot::Real:
            return c.real(*static_cast<double*>(slot.field));
        case ValueSlot::Text:
            return c.text(*static_cast<std::string*>(slot.field));
        case ValueSlot::Bool: {
            int v = 0;
            if (!c.integer(v)) return false;
            *static_cast<bool*>(slot.field) = v > 0;
            return true;
        }
        case ValueSlot::Int: {
            VELM_ASSERT(slot.maximum > 0);  // else every stored value would be dropped
            int v = 0;
            if (!c.integer(v)) return false;
            if (v >= 0 && v <= slot.maximum) *static_cast<int*>(slot.field) = v;
            return true;
        }
    }
    return false;
}

// Reads one element group ("{" … "}") into a list, each element placed by
// the base point and rotation; false when the group is damaged (what was
// read whole is kept).
bool ReadElementGroup(RbCursor& c, StairElement** list, const Point3& base, double rotation) {
    VELM_ASSERT(list != nullptr);
    if (!c.atText(1002, "{")) return false;
    c.skip();
    StairElement** tail = list;
    while (*tail) tail = &(*tail)->next;
    while (!c.atText(1002, "}")) {
        int kind = 0, landing = 0;
        Point3 a, b;
        if (!c.integer(kind) || !c.integer(landing) || !c.point(a) || !c.point(b)) return false;
        auto* e = new StairElement;
        e->kind = kind;
        e->pointA = a;
        e->pointB = b;
        TransformStairElement(*e, base, rotation);
        e->landing = landing > 0;
        *tail = e;
        tail = &e->next;
    }
    c.skip();
    return true;
}

}  // namespace

CSCALA::CSCALA() {
    nosingType = ReadInt(SETSCA_TIPOSPORG);
    structureType = ReadInt(SETSCA_MODINFERI);
    belowRepresentation = ReadInt(SETSCA_RAPPARTEN);
    aboveRepresentation = ReadInt(SETSCA_RAPARRIVO);
    startMarker = ReadInt(SETSCA_INILPASSO);
    deductionHeight = ReadReal(SETCOM_ZSCALE);
    lintelHeight = ReadReal(SETSCA_ZPASSAGGI);
    startMarkerSize = ReadReal(SETSCA_DIMLCER);
    riserThicknessPlan = ReadReal(SETSCA_MENOA);
    stepThicknessPlan = ReadReal(SETSCA_MENOP);
    unitFactor = ReadReal(SFTMTCM);
    scaleFactor = GetScaleFactor(0);
    arrowSideLength = ReadReal(SETSCA_DIMFREC);
    startFloorHeight = ReadReal(SQPAV);
    endFloorHeight = startFloorHeight;
    cutHeight = ReadReal(SETSCA_QUOSEZ);
    cutLineDistance = ReadReal(SETSCA_DLINSEZ);
    balustradeStartRight = ReadReal(SETSCA_SCALEPP2DDES);
    balustradeStartLeft = ReadReal(SETSCA_SCALEPP2DSIN);
    balustradeJoinRight = ReadReal(SETSCA_SCALEPP2DDES2);
    balustradeJoinLeft = ReadReal(SETSCA_SCALEPP2DSIN2);
    cutPlaneAngle = ReadReal(SETSCA_AINLSEZ);
    floorDistance = ReadReal(SETSCA_DINTERP);
    slabThickness = ReadReal(CSPESS_SOLAIO);
    nosingLength = ReadReal(SETSCA_SPOGRAD);
    nosingThickness = ReadReal(SETSCA_SPESSPO);
    stepThickness = ReadReal(SETSCA_DZGRADI);
    riserThickness = ReadReal(SETSCA_DXGRADI);
    platformThickness = ReadReal(SETSCA_SPESPIA);
    landingThickness = ReadReal(SETSCA_SPESRAM);
    layerBase = ReadText(SETSCA_LAYERBASE);
    layerTreads = ReadText(SETSCA_LAYERPEDA);
    layerRisers = ReadText(SETSCA_LAYERALZA);
    layerStructure = ReadText(SETSCA_LAYERSTRU);
    layer2DBelow = ReadText(SETSCA_LAYER2DSC);
    layer2DCut = ReadText(SETSCA_LAYER2DSR);
    layer2DPlan = ReadText(SETSCA_LAYER2DSF);
    layer2DAbove = ReadText(SETSCA_LAYER2DCC);
    useRisers = ReadInt(SETSCA_SPECALZA) > 0;
    lastStepAtEnd = ReadInt(SETSCA_UPEDASUQPA) > 0;
}

CSCALA::~CSCALA() {
    FreeList(detailPoints);
    FreeList(hatchIsolationPoints);
    FreeList(openingPolygon);
    FreeList(planAbove);
    FreeList(planBelow);
    FreeList(pendingBalustrade);
    FreeModel();
    FreeList(outlines3D);
    if (!saveDefaults) return;
    WriteInt(SETSCA_SPECALZA, useRisers ? 1 : 0);
    WriteReal(SETSCA_DINTERP, floorDistance);
    WriteInt(SETSCA_TIPOSPORG, nosingType);
    WriteInt(SETSCA_MODINFERI, structureType);
    WriteInt(SETSCA_RAPPARTEN, belowRepresentation);
    WriteInt(SETSCA_RAPARRIVO, aboveRepresentation);
    WriteReal(SETSCA_SPOGRAD, nosingLength);
    WriteReal(SETSCA_SPESSPO, nosingThickness);
    WriteReal(SETSCA_DZGRADI, stepThickness);
    WriteReal(SETSCA_DXGRADI, riserThickness);
    WriteReal(SETSCA_SPESPIA, platformThickness);
    WriteReal(SETSCA_SPESRAM, landingThickness);
    WriteReal(SETSCA_ZPASSAGGI, lintelHeight);
    WriteInt(SETSCA_UPEDASUQPA, lastStepAtEnd ? 1 : 0);
    WriteReal(SETSCA_MENOA, riserThicknessPlan);
    WriteReal(SETSCA_MENOP, stepThicknessPlan);
    WriteInt(SETSCA_INILPASSO, startMarker);
    WriteReal(SETSCA_DIMLCER, startMarkerSize);
    WriteReal(SETSCA_QUOSEZ, cutHeight);
    WriteReal(SETSCA_DLINSEZ, cutLineDistance);
    WriteReal(SETSCA_SCALEPP2DDES, balustradeStartRight);
    WriteReal(SETSCA_SCALEPP2DSIN, balustradeStartLeft);
    WriteReal(SETSCA_SCALEPP2DDES2, balustradeJoinRight);
    WriteReal(SETSCA_SCALEPP2DSIN2, balustradeJoinLeft);
    WriteReal(SETSCA_AINLSEZ, cutPlaneAngle);
}

void CSCALA::FreeModel() {
    secondSide = FreeList(secondSide);
    firstSide = FreeList(firstSide);
    risers = FreeList(risers);
    steps = FreeList(steps);
}

resbuf* CSCALA::WriteStairXData(const Point3& offset) const {
    RbWriter w;
    w.add(-3);
    RegisterApp(kStairApp);
    w.text(1001, kStairApp);
    w.real(1040, scaleFactor);
    w.real(1040, startOffset);
    w.shortValue(1070, useRisers ? 1 : 0);
    w.real(1040, floorDistance);
    w.shortValue(1070, nosingType);
    w.shortValue(1070, structureType);
    w.shortValue(1070, lastStepAtEnd ? 1 : 0);
    for (double v : {nosingLength, nosingThickness, stepThickness, riserThickness, platformThickness,
                     landingThickness, startFloorHeight, endFloorHeight, lintelHeight, slabThickness})
        w.real(1040, v);
    w.shortValue(1070, belowRepresentation);
    w.shortValue(1070, aboveRepresentation);
    w.real(1040, cutHeight);
    for (const std::string* s : {&layerTreads, &layerRisers, &layerStructure, &layer2DBelow, &layer2DCut,
                                 &layer2DPlan, &layer2DAbove})
        w.text(1000, *s);
    w.real(1040, stepThicknessPlan);
    w.real(1040, riserThicknessPlan);
    w.real(1040, startMarkerSize);
    w.shortValue(1070, startMarker);
    for (double v : {arrowSideLength, cutLineDistance, balustradeStartRight, balustradeStartLeft,
                     balustradeJoinRight, balustradeJoinLeft, cutPlaneAngle})
        w.real(1040, v);
    WriteElementGroup(w, risers);
    WriteElementGroup(w, firstSide);
    WriteElementGroup(w, secondSide);

    if (hatchIsolationPoints) {
        RegisterApp(kStairHatchIsolationApp);
        w.text(1001, kStairHatchIsolationApp);
        WriteReversedPoints(w, hatchIsolationPoints, offset, false);
    }
    if (detailPoints) {
        RegisterApp(kStairDetailApp);
        w.text(1001, kStairDetailApp);
        WriteReversedPoints(w, detailPoints, offset, false);
    }
    if (openingPolygon) {
        RegisterApp(kStairOpeningApp);
        w.text(1001, kStairOpeningApp);
        WriteReversedPoints(w, openingPolygon, offset, true);
    }
    if (outlines3D) {
        RegisterApp(kStairOutlines3DApp);
        w.text(1001, kStairOutlines3DApp);
        for (const StairStep* o = outlines3D; o; o = o->next) WriteOutlineRing(w, o->ring, offset);
    }
    return w.release();
}

bool CSCALA::ReadStairXData(const resbuf* list, const Point3& insertion, double rotation) {
    const resbuf* app = FindXDataApp(list, kStairApp);
    if (!app) return false;
    FreeModel();
    RbCursor c(app->rbnext);
    const ValueSlot values[] = {
        {ValueSlot::Real, &scaleFactor},
        {ValueSlot::Real, &startOffset},
        {ValueSlot::Bool, &useRisers},
        {ValueSlot::Real, &floorDistance},
        {ValueSlot::Int, &nosingType, 1},
        {ValueSlot::Int, &structureType, 3},
        {ValueSlot::Bool, &lastStepAtEnd},
        {ValueSlot::Real, &nosingLength},
        {ValueSlot::Real, &nosingThickness},
        {ValueSlot::Real, &stepThickness},
        {ValueSlot::Real, &riserThickness},
        {ValueSlot::Real, &platformThickness},
        {ValueSlot::Real, &landingThickness},
        {ValueSlot::Real, &startFloorHeight},
        {ValueSlot::Real, &endFloorHeight},
        {ValueSlot::Real, &lintelHeight},
        {ValueSlot::Real, &slabThickness},
        {ValueSlot::Int, &belowRepresentation, 2},
        {ValueSlot::Int, &aboveRepresentation, 2},
        {ValueSlot::Real, &cutHeight},
        {ValueSlot::Text, &layerTreads},
        {ValueSlot::Text, &layerRisers},
        {ValueSlot::Text, &layerStructure},
        {ValueSlot::Text, &layer2DBelow},
        {ValueSlot::Text, &layer2DCut},
        {ValueSlot::Text, &layer2DPlan},
        {ValueSlot::Text, &layer2DAbove},
        {ValueSlot::Real, &stepThicknessPlan},
        {ValueSlot::Real, &riserThicknessPlan},
        {ValueSlot::Real, &startMarkerSize},
        {ValueSlot::Int, &startMarker, 2},
        {ValueSlot::Real, &arrowSideLength},
        {ValueSlot::Real, &cutLineDistance},
        {ValueSlot::Real, &balustradeStartRight},
        {ValueSlot::Real, &balustradeStartLeft},
        {ValueSlot::Real, &balustradeJoinRight},
        {ValueSlot::Real, &balustradeJoinLeft},
        {ValueSlot::Real, &cutPlaneAngle},
    };
    // Older records end after value 26, 27 or 33; the groups follow at once.
    for (const ValueSlot& slot : values)
        if (c.atCode(1002) || !ReadValue(c, slot)) break;
    if (ReadElementGroup(c, &risers, insertion, rotation) &&
        ReadElementGroup(c, &firstSide, insertion, rotation))
        ReadElementGroup(c, &secondSide, insertion, rotation);
    return true;
}

void TransformStairElement(StairElement& element, const Point3& base, double angle) {
    auto place = [&](Point3 p) {
        p.x += base.x;
        p.y += base.y;
        const double d = Distance2d(base, p);
        if (d < GeomEpsilon) return p;
        Point3 out = PolarPoint(base, AngleTo(base, p) + angle, d);
        out.z = p.z;
        return out;
    };
    if (!element.isArc()) {
        element.pointA = place(element.pointA);
        element.pointB = place(element.pointB);
        element.endA = element.pointA;
        element.endB = element.pointB;
        return;
    }
    Point3 s, e;
    ArcEndPoints(element.pointA, element.radius(), element.startAngle(), element.endAngle(), s, e);
    const Point3 centre = place(element.pointA);
    s = place(s);
    e = place(e);
    element.pointA = centre;
    element.pointB.y = AngleTo(centre, s);
    element.pointB.z = AngleTo(centre, e);
    element.endA = s;
    element.endB = e;
}
