// The slab commands' input road. The jig reports in its stage what the user
// chose; this loop does what each outcome asks of the loops and drags again
// until the user finishes or cancels. The last loop is always the one being
// entered, its last vertex (the jig's current one) the rubber-band vertex.
#include "roofs/commands/slab_entry.h"

#include <cmath>

#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/hatch.h"
#include "core/host_services.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "roofs/outline_select.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"

namespace {

int LoopCount(const AJIG_COP& jig) {
    int n = 0;
    for (const ContourNode* k = jig.loops; k; k = k->next) ++n;
    return n;
}

// A new last loop of one vertex at the cursor, with the next loop index.
void BeginLoop(AJIG_COP& jig) {
    const int index = LoopCount(jig);
    auto* loop = new ContourNode;
    loop->vertices = NewVertex(jig.cursor.x, jig.cursor.y, jig.cursor.z, 1, index, 0, 0);
    if (ContourNode* last = jig.LastLoop())
        last->next = loop;
    else
        jig.loops = loop;
    jig.current = loop->vertices;
    jig.vertexNumber = 1;
    jig.basePoint = jig.cursor;
    jig.NoteCurrent(nullptr, 0);
}

// The given point stays where it is; a new rubber-band vertex follows it.
void AddVertex(AJIG_COP& jig) {
    VertexNode* given = jig.current;
    VertexNode* added = NewVertex(given->x, given->y, given->z, 1, given->data1, 0, 0);
    added->next = given->next;
    given->next = added;
    jig.current = added;
    ++jig.vertexNumber;
    jig.NoteCurrent(given, static_cast<std::size_t>(jig.vertexNumber - 1));
    SetLastPoint(given->pt());
}

// The last given vertex is taken back: the rubber-band vertex goes and the
// one before it follows the cursor.
void UndoVertex(AJIG_COP& jig) {
    ContourNode* loop = jig.LastLoop();
    if (!loop || !jig.current || jig.current == loop->vertices) return;
    VertexNode* before = PrevInRing(loop->vertices, jig.current);
    VELM_ASSERT(before != nullptr);  // the current vertex is one of the loop's
    RemoveNode(&loop->vertices, jig.current);
    jig.current = before;
    jig.current->setPt(jig.cursor);
    --jig.vertexNumber;
    VertexNode* earlier = jig.current != loop->vertices ? PrevInRing(loop->vertices, jig.current) : nullptr;
    jig.NoteCurrent(earlier, static_cast<std::size_t>(jig.vertexNumber - 1));
    if (earlier) SetLastPoint(earlier->pt());
}

// The picked polygon (owned) replaces the loop being entered and a new
// loop is begun.
void TakeOpening(AJIG_COP& jig, VertexNode* polygon, const SlabEntryPrompts& prompts) {
    ContourNode* loop = jig.LastLoop();
    int index = 0;
    for (ContourNode* k = jig.loops; k != loop; k = k->next) ++index;
    for (VertexNode* v = polygon; v; v = v->next) {
        v->data1 = index;
        if (prompts.placePickedLoops) v->z = jig.elevation + jig.offset;
    }
    jig.NoteLastLoopReplaced();
    FreeList(loop->vertices);
    loop->vertices = polygon;
    BeginLoop(jig);
}

// Closes the loop being entered without its rubber-band vertex.
void CloseLoop(AJIG_COP& jig) {
    ContourNode* loop = jig.LastLoop();
    if (loop && jig.current) RemoveNode(&loop->vertices, jig.current);
    jig.current = nullptr;
    BeginLoop(jig);
}

void SetPrompt(AJIG_COP& jig, const SlabEntryPrompts& prompts) {
    const bool outline = jig.stage == 6;
    if (jig.vertexNumber == 1)
        jig.setDispPrompt("%s", outline ? prompts.outlineFirst : prompts.openingFirst);
    else
        jig.setDispPrompt(outline ? prompts.outlineNext : prompts.openingNext, jig.vertexNumber);
}

}  // namespace

void SetLastPoint(const Point3& p) {
    const ads_point value{p.x, p.y, p.z};
    ads_point former;
    SysVarPoint("LASTPOINT", value, former);
}

void BeginSlabLoops(AJIG_COP& jig) {
    FreeListOfLists(jig.loops);
    jig.loops = nullptr;
    BeginLoop(jig);
    jig.stage = 6;
}

void BeginSlabOpenings(AJIG_COP& jig, VertexNode* outline) {
    FreeListOfLists(jig.loops);
    jig.loops = new ContourNode;
    jig.loops->vertices = outline;
    for (VertexNode* v = outline; v; v = v->next) v->data1 = 0;
    BeginLoop(jig);
    jig.stage = 5;
}

int EnterSlabLoops(AJIG_COP& jig, const SlabEntryPrompts& prompts) {
    // Only this road changes the loops while it runs (see BeginEntry).
    struct Entry {
        AJIG_COP& jig;
        explicit Entry(AJIG_COP& j) : jig(j) { jig.BeginEntry(); }
        ~Entry() { jig.EndEntry(); }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
    } entry(jig);
    while (jig.stage != 0 && jig.stage != 1) {
        SetPrompt(jig, prompts);
        const int asked = jig.stage;
        jig.drag();
        switch (jig.stage) {
            case 5:
            case 6:
                // The jig leaves the stage as it was when a point was given.
                if (jig.stage == asked) AddVertex(jig);
                break;
            case 7:
                if (jig.current) jig.current->edgeFlag = jig.current->edgeFlag < 0 ? 1 : -1;
                jig.stage = jig.returnStage;
                break;
            case 8:
                UndoVertex(jig);
                jig.stage = jig.returnStage;
                break;
            case 9: {
                int status = 1;
                VertexNode* polygon = SelectClosedOutline(status, prompts.openingContour, 0, false);
                if (polygon) TakeOpening(jig, polygon, prompts);
                jig.stage = 5;
                break;
            }
            case 10: {
                ads_name object{0, 0};
                VertexNode* polygon = SelectOpeningObject(object);
                if (polygon) {
                    double a = 0, b = 0, c = 0, d = 0;
                    if (prompts.rewriteObject && PolygonNormal(jig.Outline(), a, b, c, d))
                        WriteOpeningXData(object, a, b, c, d);
                    TakeOpening(jig, polygon, prompts);
                }
                jig.stage = 5;
                break;
            }
            case 11:
                CloseLoop(jig);
                jig.stage = 5;
                break;
            default:
                break;
        }
    }
    return jig.stage;
}

void DropUnfinishedLoop(AJIG_COP& jig) {
    if (!jig.loops || !jig.loops->next) return;
    ContourNode* before = jig.loops;
    while (before->next->next) before = before->next;
    FreeListOfLists(before->next);
    before->next = nullptr;
    jig.current = nullptr;
}

bool WriteSlabInsert(CFALDA& record, const ContourNode* loops, double base, const std::string& insertLayer,
                     ads_name insert) {
    ContourNode* copy = CopySlabLoops(loops);
    for (ContourNode* k = copy; k; k = k->next)
        for (VertexNode* v = k->vertices; v; v = v->next)
            if (v->edgeFlag < 0) v->edgeFlag = 0;
    record.SetLoops(copy);
    std::string block;
    host::ResbufList xdata(MakeSlabBlock(record, block, BridgeHoles(record.loops), base));
    if (!xdata) return false;
    const ads_point at{0.0, 0.0, base};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, insertLayer.c_str(), 10, at, 50, 0.0, 0));
    resbuf* tail = list.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata.release();
    if (zcdbEntMake(list.get()) != RTNORM) return false;
    if (insert) zcdbEntLast(insert);
    return true;
}

void HatchSlabLoops(const CFALDA& record, const std::string& layer, double angle, double scale,
                    const std::string& pattern, int kind) {
    FaceRecord* contour = LoopsAsHatchContour(record.loops);
    const double T = SlopeLength(record.thickness, record.slope);
    HatchContour(contour, layer, &angle, &scale, &T, pattern, kind);
    FreeList(contour);
}

std::string SlabHatchLayer(const std::string& name, int kind, bool linked, double elevation) {
    if (!linked) return name;
    const std::string key = HatchLayerKeyFor(name, kind).key;
    std::string layer = key;
    MakeLevelLayerName(layer, elevation);
    // With the levels switched off the key is kept as it is; the service
    // must then form it from the name itself, not from the key again.
    return layer == key ? name : layer;
}
