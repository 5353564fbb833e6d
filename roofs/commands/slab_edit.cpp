// The slab editors' shared steps. The jig holds working copies of the
// element's loops; every edit here changes only them, so an edit that is
// cancelled or refused leaves the drawing as it was, and the caller writes
// the element once the edit is complete. Insertion is the one edit that
// writes as it goes (the user sees each new vertex in the slab at once).
#include "roofs/commands/slab_edit.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/outline_select.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "roofs/slab_vertex_tools.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

SlabXDataInfo InspectSlabXData(const ads_name entity) {
    SlabXDataInfo info;
    const host::ResbufList list(GetEntXData(entity, kSlabApp));
    if (!list) return info;
    const resbuf* app = FindXDataApp(list.get(), kSlabApp);
    info.present = app != nullptr;
    // name, edge key, thickness, then the flag word
    const resbuf* rb = app ? app->rbnext : nullptr;
    while (rb && rb->restype != 1000) rb = rb->rbnext;
    info.named = rb != nullptr;
    for (int skip = 0; rb && skip < 3; ++skip) rb = rb->rbnext;
    if (info.named && rb && rb->restype == 1070) {
        info.flagged = true;
        info.flagWord = rb->resval.rint;
    }
    return info;
}

namespace {

// The one entity of the pick-first selection, which is cleared; false when
// it does not hold exactly one.
bool TakeImpliedEntity(ads_name entity) {
    resbuf* first = nullptr;
    zcedSSGetFirst(nullptr, &first);
    const host::ResbufList pset(first);
    if (!pset) return false;
    ads_name set{pset->resval.rlname[0], pset->resval.rlname[1]};
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    const bool one = n == 1 && zcedSSName(set, 0, entity) == RTNORM;
    zcedSSFree(set);
    if (one) zcedSSSetFirst(nullptr, nullptr);
    return one;
}

}  // namespace

bool PickSlabEntity(const char* prompt, bool useImplied,
                    const std::function<PickVerdict(const ads_name, bool)>& check, ads_name entity) {
    if (useImplied) {
        ads_name implied{0, 0};
        if (TakeImpliedEntity(implied)) {
            switch (check(implied, true)) {
                case PickVerdict::Take:
                    ads_name_set(implied, entity);
                    return true;
                case PickVerdict::Fail:
                    return false;
                case PickVerdict::AskAgain:
                    break;
            }
        }
    }
    for (;;) {
        ads_name picked{0, 0};
        ads_point pt;
        const int rc = zcedEntSel(prompt, picked, pt);
        if (rc == RTNORM) {
            switch (check(picked, false)) {
                case PickVerdict::Take:
                    ads_name_set(picked, entity);
                    return true;
                case PickVerdict::Fail:
                    return false;
                case PickVerdict::AskAgain:
                    continue;
            }
        }
        if (rc != RTCAN && PickHitNothing()) continue;
        return false;
    }
}

void PrintNoSlabPlane() {
    zcutPrintf("\nNie można obliczyć płaszczyzny płyty");
}

bool ComputeJigPlane(AJIG_COP& jig) {
    double a = 0, b = 0, c = 0, d = 0;
    if (!PolygonNormal(jig.Outline(), a, b, c, d) || !(std::fabs(c) >= GeomEpsilon)) return false;
    jig.a = a;
    jig.b = b;
    jig.c = c;
    jig.d = d;
    return true;
}

void SyncSlopeFromLoops(CFALDA& record, const AJIG_COP& jig) {
    int kind = 0;
    const double value = GetLoopSlope(jig.Outline(), kind);
    if (kind == 1) record.slope = std::atan(value / 100.0) * 180.0 / std::numbers::pi;
    if (kind == 2) record.slope = 0.0;
}

bool LoadSlabForEdit(const ads_name entity, CFALDA& record, AJIG_COP& jig) {
    // A record loaded again must keep nothing of the element it held.
    record.name.clear();
    record.edgeKey = 0;
    record.thickness = 0.0;
    record.slope = 0.0;
    record.SetLoops(nullptr);
    record.hatch = SlabHatch{};
    DecodeSlabFlags(record, 0);
    double floor = 0.0;
    if (!ReadSlabRecord(entity, record, floor)) return false;
    if (record.singleLayer)
        Make2DSlabLayerName(record);
    else
        MakeSlabLayerName(record);

    FreeList(jig.chosen);
    jig.chosen = nullptr;
    FreeListOfLists(jig.loops);
    jig.loops = CopySlabLoops(record.loops);
    jig.current = nullptr;
    jig.kind = AJIG_COP::kOnPlane;
    jig.elevation = floor;
    int kind = 0;
    const double value = GetLoopSlope(jig.Outline(), kind);
    if (kind == 2) {
        jig.offset = value - floor;
        jig.slopePercent = 0.0;
    } else {
        jig.offset = 0.0;
        jig.slopePercent = value;
    }
    if (!ComputeJigPlane(jig)) {
        PrintNoSlabPlane();
        return false;
    }
    return true;
}

namespace {

void ForgetLastSample(AJIG_COP& jig) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    jig.lastSample = {none, none, none};
}

// One drag in `stage` with `prompt`; the stage the jig reports.
int DragIn(AJIG_COP& jig, int stage, const char* prompt) {
    jig.stage = stage;
    ForgetLastSample(jig);
    jig.setDispPrompt("%s", prompt);
    jig.drag();
    return jig.stage;
}

}  // namespace

bool DragChosenVertices(AJIG_COP& jig) {
    ads_point base;
    if (GetPointInRange(RSG_NONULL, nullptr, nullptr, "\nOkreśl początkowy punkt przesunięcia:", base) !=
        RTNORM)
        return false;
    jig.basePoint = {base[0], base[1], base[2]};
    jig.current = nullptr;
    return DragIn(jig, 17, "\nOkreśl ostatni punkt przesunięcia:") != 1;
}

void InsertSlabVertices(AJIG_COP& jig, CFALDA& record, const ads_name entity, double floorElevation) {
    // The hatch goes while the outline changes and is made once at the end;
    // its pattern, scale, angle and layer stay in the record for that.
    const int hatchKind = record.hatch.kind;
    if (hatchKind != 0) {
        zcdbEntDel(record.hatch.entity);
        record.hatch.kind = 0;
        record.hatch.entity[0] = record.hatch.entity[1] = 0;
    }
    jig.SetOsmode(512);
    for (;;) {
        jig.current = nullptr;
        const int stage = DragIn(jig, 15, "\nWybierz krawędź na której wstawić nowy wierzchołek:");
        if (stage != 15) break;
        Point3 at = jig.cursor;
        VertexNode* added = InsertVertexOnEdge(jig, at);
        if (!added) continue;
        jig.SetOsmode(jig.savedOsmode);
        jig.current = added;
        jig.cursor = at;
        const int placed = DragIn(jig, 16, "\nOkreśl położenie nowego punktu:");
        jig.current = nullptr;
        if (placed == 1) {
            // A cancelled placement takes the new vertex back out.
            for (ContourNode* k = jig.loops; k; k = k->next) {
                VertexNode* v = k->vertices;
                while (v && v != added) v = v->next;
                if (v) {
                    RemoveNode(&k->vertices, added);
                    break;
                }
            }
            break;
        }
        RewriteSlab(record, entity, floorElevation, jig.loops);
        jig.SetOsmode(512);
    }
    jig.SetOsmode(jig.savedOsmode);
    if (hatchKind != 0) HatchSlabAgain(record, hatchKind);
}

bool DeleteSlabVertices(AJIG_COP& jig) {
    jig.SetOsmode(1);
    bool finished = false;
    for (;;) {
        jig.current = nullptr;
        const int stage = DragIn(jig, 14, "\nWybierz wierzchołek, który chcesz usunąć:");
        if (stage == 0) {
            finished = true;
            break;
        }
        if (stage != 14) break;
        if (VertexNode* v = FindSlabVertexAt(jig.loops, jig.cursor)) DeleteVertex(jig, v);
    }
    jig.SetOsmode(jig.savedOsmode);
    return finished;
}

namespace {

const char* const kOpeningFirst =
    "\nOkreśl pierwszy wierzchołek otworu [Kontur/Niewidoczny/Obiekt] lub Enter, aby zamknąć:";
const char* const kOpeningNext =
    "\nOkreśl liczbę wierzchołków %d lub Enter, aby zamknąć[Niewidoczny/Cofnij]:";

// A picked polygon (owned) on the slab's plane, at the loop's index.
VertexNode* OnSlabPlane(const AJIG_COP& jig, VertexNode* polygon, int index) {
    for (VertexNode* v = polygon; v; v = v->next) {
        double z = v->z;
        if (jig.ZOnPlane(v->x, v->y, z)) v->z = z;
        v->edgeFlag = 1;
        v->data1 = index;
    }
    return polygon;
}

}  // namespace

bool AddSlabOpening(AJIG_COP& jig) {
    int index = 0;
    for (const ContourNode* k = jig.loops; k; k = k->next) ++index;
    auto* loop = new ContourNode;
    loop->vertices = NewVertex(jig.cursor.x, jig.cursor.y, jig.cursor.z, 1, index, 0, 0);
    ContourNode* last = jig.LastLoop();
    if (last)
        last->next = loop;
    else
        jig.loops = loop;
    jig.current = loop->vertices;
    jig.vertexNumber = 1;
    jig.basePoint = jig.cursor;

    auto dropLoop = [&jig, loop] {
        ContourNode* before = jig.loops;
        if (before == loop) {
            jig.loops = nullptr;
        } else {
            while (before->next != loop) before = before->next;
            before->next = nullptr;
        }
        FreeListOfLists(loop);
        jig.current = nullptr;
    };

    bool pointByPoint = true;
    for (bool entering = true; entering;) {
        jig.stage = 5;
        ForgetLastSample(jig);
        if (jig.vertexNumber == 1)
            jig.setDispPrompt("%s", kOpeningFirst);
        else
            jig.setDispPrompt(kOpeningNext, jig.vertexNumber);
        jig.drag();
        switch (jig.stage) {
            case 5: {
                VertexNode* given = jig.current;
                VertexNode* added = NewVertex(given->x, given->y, given->z, 1, index, 0, 0);
                added->next = given->next;
                given->next = added;
                jig.current = added;
                ++jig.vertexNumber;
                break;
            }
            case 7:
                if (jig.current) jig.current->edgeFlag = jig.current->edgeFlag < 0 ? 1 : -1;
                break;
            case 8:
                if (jig.current && jig.current != loop->vertices) {
                    VertexNode* before = PrevInRing(loop->vertices, jig.current);
                    RemoveNode(&loop->vertices, jig.current);
                    jig.current = before;
                    jig.current->setPt(jig.cursor);
                    --jig.vertexNumber;
                }
                break;
            case 9: {
                int status = 1;
                VertexNode* polygon =
                    SelectClosedOutline(status, "\nWybrać zamknięty kontur otworu:", 0, false);
                if (!polygon) break;
                FreeList(loop->vertices);
                loop->vertices = OnSlabPlane(jig, polygon, index);
                pointByPoint = false;
                entering = false;
                break;
            }
            case 10: {
                ads_name object{0, 0};
                VertexNode* polygon = SelectOpeningObject(object);
                if (!polygon) break;
                WriteOpeningXData(object, jig.a, jig.b, jig.c, jig.d);
                FreeList(loop->vertices);
                loop->vertices = OnSlabPlane(jig, polygon, index);
                pointByPoint = false;
                entering = false;
                break;
            }
            case 0:
            case 11:
                entering = false;
                break;
            default:
                dropLoop();
                return false;
        }
    }
    if (pointByPoint && jig.current) RemoveNode(&loop->vertices, jig.current);
    jig.current = nullptr;
    // The ring's duplicates go, the closing one of a picked outline too.
    loop->vertices = RemoveDuplicateVertices(loop->vertices);
    if (CountNodes(loop->vertices) < 3) {
        zcutPrintf("\n%s", "Nie ma wystarczająco dużo punktów");
        dropLoop();
        return false;
    }
    return true;
}

bool ChangeSlabSlope(AJIG_COP& jig, double slopePercent) {
    double a = jig.a, b = jig.b, c = jig.c;
    if (std::fabs(a) < GeomEpsilon && std::fabs(b) < GeomEpsilon) {
        zcutPrintf("\n%s", "Nie można modyfikować wartości nachylenia, jeśli jej pierwotna jest równa zero.");
        return false;
    }
    const VertexNode* fixed = nullptr;
    while (!fixed) {
        ads_point pt;
        if (GetPointInRange(RSG_NONULL, nullptr, nullptr, "\nStały punkt:", pt) != RTNORM) return false;
        fixed = FindSlabVertexAt(jig.loops, {pt[0], pt[1], pt[2]});
    }
    if (std::fabs(slopePercent) <= GeomEpsilon) {
        a = b = 0.0;
        c = 1.0;
    } else {
        // The new plane keeps the plan direction in which the slab falls.
        if (c < 0.0) {
            a = -a;
            b = -b;
        }
        c = std::sqrt(a * a + b * b) / (slopePercent / 100.0);
    }
    const double d = -(a * fixed->x + b * fixed->y + c * fixed->z);
    SetLoopsZFromPlane(jig, a, b, c, d);
    jig.a = a;
    jig.b = b;
    jig.c = c;
    jig.d = d;
    return true;
}

double HeightOverFloor(const CFALDA& record, bool wasLinked, double& floor, double height) {
    if (!record.linkedToFloor) return height;
    if (!wasLinked) floor = SettingReal(SetupVar::SQPAV);
    return height + floor;
}

bool RunSharedSlabEdit(int action, AJIG_COP& jig, CFALDA& record, double& floor, double height,
                       double slopePercent) {
    switch (action) {
        case kSlabEditAccept:
            if (slopePercent == 0.0)
                for (ContourNode* k = jig.loops; k; k = k->next)
                    for (VertexNode* v = k->vertices; v; v = v->next) v->z = height;
            return true;
        case kSlabEditTilt:
            if (!PickFixedPointsPlane(jig)) return false;
            record.linkedToFloor = false;
            floor = 0.0;
            return true;
        case kSlabEditAddOpening:
            return AddSlabOpening(jig);
        case kSlabEditDeleteOpening:
            return PickOpeningVertex(jig) != 0;
        case kSlabEditDeleteVertex:
            return DeleteSlabVertices(jig);
        case kSlabEditChangeSlope:
            return ChangeSlabSlope(jig, slopePercent);
    }
    return false;
}

void RewriteEditedSlab(CFALDA& record, const AJIG_COP& jig, const ads_name entity, double floor) {
    SyncSlopeFromLoops(record, jig);
    RewriteSlab(record, entity, floor, jig.loops);
}
