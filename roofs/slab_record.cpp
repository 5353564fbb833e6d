// Reading the slab xdata into a CFALDA, and the edge-flag rules that turn a
// triangle of the outline's triangulation into the group 70 of its bottom
// and top faces.
//
// The reader is lenient where the format always was: the flag word after
// the thickness may be missing (old slabs), an unknown edge key keeps the
// key the record held. The hatch of the slab is found again by its outline
// within 1.1 times the vertical thickness, but never less than the shared
// tolerance, or a slab of thickness 0 would never find its own hatch.
#include "roofs/slab_record.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "roofs/slab_planes.h"

const char* const kSlabEdgeKeys[4] = {"key_nes", "key_sup", "key_inf", "key_ent"};

CFALDA::~CFALDA() {
    FreeListOfLists(loops);
}

int CFALDA::FlagWord() const {
    return (zProfile ? kSlabZProfile : 0) + (ignoreWallHeight ? kSlabIgnoreWallHeight : 0) +
           (singleLayer ? kSlabSingleLayer : 0) + (draw2D ? kSlabDraw2D : 0) +
           (linkedToFloor ? kSlabLinkedToFloor : 0);
}

void CFALDA::SetLoops(ContourNode* newLoops) {
    if (newLoops == loops) return;
    FreeListOfLists(loops);
    loops = newLoops;
}

namespace {

// The vertex count of a record kept in pieces; -1 for a record kept whole.
int PiecedVertexCount(const resbuf* app) {
    for (const resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001 && rb->restype != 1002;
         rb = rb->rbnext)
        if (rb->restype == 1071) return static_cast<int>(rb->resval.rlong);
    return -1;
}

// Appends the vertex pairs of every piece in `xdata` (a carrier's) to the
// loop it names.
void CollectPieces(const resbuf* xdata, std::vector<std::vector<const resbuf*>>& loops) {
    int index = -1;
    for (const resbuf* rb = xdata; rb; rb = rb->rbnext) {
        if (rb->restype == 1071) {
            index = static_cast<int>(rb->resval.rlong);
            if (index < 0 || index > 100000) index = -1;
            if (index >= static_cast<int>(loops.size())) loops.resize(static_cast<std::size_t>(index) + 1);
        } else if (rb->restype == 1011 && index >= 0 && rb->rbnext && rb->rbnext->restype == 1070) {
            loops[static_cast<std::size_t>(index)].push_back(rb);
            rb = rb->rbnext;
        }
    }
}

// Rebuilds the braced loops of a pieced record from the carriers of the
// INSERT's block onto the end of `list`.
void JoinPieces(const ads_name entity, resbuf* list, int count) {
    ZcDbObjectId entityId, blockId;
    if (zcdbGetObjectId(entityId, entity) != Zcad::eOk) return;
    {
        ZcDbObjectPointer<ZcDbEntity> ent(entityId, ZcDb::kForRead);
        const ZcDbBlockReference* insert = ent ? ZcDbBlockReference::cast(ent.get()) : nullptr;
        if (insert) blockId = insert->blockTableRecord();
    }
    if (blockId.isNull()) return;
    std::vector<host::ResbufList> carriers;
    std::vector<std::vector<const resbuf*>> loops;
    {
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
        ZcDbBlockTableRecordIterator* it = nullptr;
        if (!block || block->newIterator(it) != Zcad::eOk || !it) return;
        for (it->start(); !it->done(); it->step()) {
            ZcDbEntity* opened = nullptr;
            if (it->getEntity(opened, ZcDb::kForRead) != Zcad::eOk) continue;
            ZcDbObjectPointer<ZcDbEntity> inner(opened);
            if (resbuf* part = inner->xData(kSlabApp)) {
                carriers.emplace_back(part);
                CollectPieces(part, loops);
            }
        }
        delete it;
    }
    int total = 0;
    for (const auto& loop : loops) total += static_cast<int>(loop.size());
    if (total != count) return;
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (const auto& loop : loops) {
        tail = tail->rbnext = zcutBuildList(1002, "{", 0);
        for (const resbuf* pair : loop) {
            tail->rbnext = zcutBuildList(1011, pair->resval.rpoint, 1070, pair->rbnext->resval.rint, 0);
            tail = tail->rbnext->rbnext;
        }
        tail = tail->rbnext = zcutBuildList(1002, "}", 0);
    }
}

std::string LayerOf(const resbuf* list) {
    const resbuf* layer = FindRbCode(list, 8);
    return layer && layer->resval.rstring ? layer->resval.rstring : "";
}

}  // namespace

host::ResbufList GetSlabXData(const ads_name entity) {
    host::ResbufList list(GetEntXData(entity, kSlabApp));
    const int count = PiecedVertexCount(FindXDataApp(list.get(), kSlabApp));
    if (list && count >= 0) JoinPieces(entity, list.get(), count);
    return list;
}

bool ReadSlabRecord(const ads_name entity, CFALDA& record, double& floorElevation) {
    floorElevation = 0.0;
    const host::ResbufList list = GetSlabXData(entity);
    if (!list) return false;
    return ReadSlabRecordFromList(list.get(), record, floorElevation, true);
}

bool ReadSlabRecordFromList(const resbuf* list, CFALDA& record, double& floorElevation, bool searchHatch) {
    floorElevation = 0.0;
    const resbuf* app = FindXDataApp(list, kSlabApp);
    if (!app) return false;
    const resbuf* rb = app->rbnext;
    while (rb && rb->restype != 1000) rb = rb->rbnext;
    if (!rb) return false;
    record.name = rb->resval.rstring ? rb->resval.rstring : "";
    rb = rb->rbnext;
    if (rb && rb->restype == 1000 && rb->resval.rstring) {
        for (int k = 0; k < 4; ++k)
            if (host::iequals(rb->resval.rstring, kSlabEdgeKeys[k])) record.edgeKey = k;
    }
    if (rb) rb = rb->rbnext;
    if (rb && rb->restype == 1040) record.thickness = rb->resval.rreal;
    if (rb) rb = rb->rbnext;
    if (rb && rb->restype == 1070) {
        DecodeSlabFlags(record, rb->resval.rint);
        if (record.linkedToFloor) {
            double level = 0.0;
            if (ParseDollarNumber(LayerOf(list), level)) floorElevation = level;
        }
    } else {
        DecodeSlabFlags(record, 0);
    }
    if (PiecedVertexCount(app) >= 0) {
        // The list holds only the head: the loops are read from the carriers.
        const resbuf* name = FindRbCode(list, -1);
        const host::ResbufList whole = name ? GetSlabXData(name->resval.rlname) : nullptr;
        record.SetLoops(ParseSlabLoops(FindXDataApp(whole.get(), kSlabApp)));
    } else {
        record.SetLoops(ParseSlabLoops(app));
    }

    record.hideApproximated = false;
    for (const ContourNode* k = record.loops; k; k = k->next)
        for (const VertexNode* v = k->vertices; v; v = v->next)
            if (ReducedEdgeFlag(v->edgeFlag) < 0) record.hideApproximated = true;

    record.slope = 0.0;
    if (record.loops) {
        int kind = 0;
        const double value = GetLoopSlope(record.loops->vertices, kind);
        if (kind != 2) record.slope = std::atan(value / 100.0) * 180.0 / std::numbers::pi;
    }

    record.hatch = SlabHatch{};
    if (searchHatch && record.loops) {
        const double tolerance =
            std::max(std::fabs(SlopeLength(1.1 * record.thickness, record.slope)), SharedTolerance);
        record.hatch.kind =
            FindHatchByOutline(record.loops->vertices, tolerance, record.hatch.data, record.hatch.entity);
    }
    return true;
}

ContourNode* ParseSlabLoops(const resbuf* xdata) {
    ContourNode* head = nullptr;
    ContourNode* tail = nullptr;
    int index = 0;
    const resbuf* rb = xdata;
    while (rb && rb->restype != 1002) rb = rb->rbnext;
    while (rb) {
        // rb is an opening 1002: pairs up to the next 1002.
        auto* loop = new ContourNode;
        VertexNode* last = nullptr;
        rb = rb->rbnext;
        while (rb && rb->restype != 1002) {
            if (rb->restype == 1011 && rb->rbnext && rb->rbnext->restype == 1070) {
                VertexNode* v = NewVertex(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2],
                                          rb->rbnext->resval.rint, index, 0, 0);
                if (last)
                    last->next = v;
                else
                    loop->vertices = v;
                last = v;
                rb = rb->rbnext;
            }
            rb = rb->rbnext;
        }
        if (tail)
            tail->next = loop;
        else
            head = loop;
        tail = loop;
        ++index;
        if (!rb) break;
        // The closing 1002; the next loop starts at the 1002 after it.
        rb = rb->rbnext;
        while (rb && rb->restype != 1002) rb = rb->rbnext;
    }
    return head;
}

VertexNode* GetSlabOutlineVertices(const ads_name entity) {
    const host::ResbufList list = GetSlabXData(entity);
    if (!list) return nullptr;
    VertexNode* result = nullptr;
    const resbuf* rb = FindXDataApp(list.get(), kSlabApp);
    while (rb && rb->restype != 1002) rb = rb->rbnext;
    for (rb = rb ? rb->rbnext : nullptr; rb && rb->restype != 1002; rb = rb->rbnext) {
        if (rb->restype != 1011) continue;
        const Point3 p{rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
        bool present = false;
        for (const VertexNode* v = result; v && !present; v = v->next)
            present = PointsEqual(v->pt(), p, true);
        if (present) continue;
        VertexNode* v = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
        v->next = result;
        result = v;
    }
    return result;
}

void DecodeSlabFlags(CFALDA& record, int v) {
    record.zProfile = record.ignoreWallHeight = record.singleLayer = record.draw2D = false;
    if (v >= kSlabZProfile) {
        record.zProfile = true;
        v -= kSlabZProfile;
    }
    if (v >= kSlabIgnoreWallHeight) {
        record.ignoreWallHeight = true;
        v -= kSlabIgnoreWallHeight;
    }
    if (v >= kSlabSingleLayer) {
        record.singleLayer = true;
        v -= kSlabSingleLayer;
    }
    if (v >= kSlabDraw2D) {
        record.draw2D = true;
        v -= kSlabDraw2D;
    }
    record.linkedToFloor = v >= kSlabLinkedToFloor;
}

void SlabKeyPair(int edgeKey, int keyPair[2]) {
    VELM_ASSERT(edgeKey >= 0 && edgeKey < 4);
    keyPair[0] = (edgeKey == 2 || edgeKey == 3) ? 1 : 0;
    keyPair[1] = (edgeKey == 1 || edgeKey == 3) ? 1 : 0;
}

namespace {

const VertexNode* NextInLoop(const VertexNode* v, const ContourNode* loops) {
    if (v->next) return v->next;
    int index = 0;
    for (const ContourNode* k = loops; k; k = k->next, ++index)
        if (index == v->data1) return k->vertices;
    return nullptr;
}

}  // namespace

void GetFaceEdgeFlags(int out[2], const int keyPair[2], const VertexNode* a, const VertexNode* b,
                      const VertexNode* c, const ContourNode* loops) {
    VELM_ASSERT(a != nullptr && b != nullptr && c != nullptr && loops != nullptr);
    out[0] = out[1] = 8;
    const VertexNode* ends[3][2] = {{a, b}, {b, c}, {c, a}};
    for (int i = 0; i < 3; ++i) {
        const int weight = 1 << i;
        const VertexNode* x = ends[i][0];
        const VertexNode* y = ends[i][1];
        if (x->data1 != y->data1) {
            out[0] += weight;
            out[1] += weight;
            continue;
        }
        const bool drawn = (NextInLoop(x, loops) == y && ReducedEdgeFlag(x->edgeFlag) == 1) ||
                           (NextInLoop(y, loops) == x && ReducedEdgeFlag(y->edgeFlag) == 1);
        if (!drawn) {
            out[0] += weight;
            out[1] += weight;
        } else if (x->data1 == 0) {
            out[0] += weight * keyPair[0];
            out[1] += weight * keyPair[1];
        }
    }
}

ContourNode* CopySlabLoops(const ContourNode* loops) {
    ContourNode* head = nullptr;
    ContourNode** tail = &head;
    for (const ContourNode* k = loops; k; k = k->next) {
        auto* copy = new ContourNode;
        copy->spare = k->spare;
        copy->vertices = CopyVertexList(k->vertices);
        *tail = copy;
        tail = &copy->next;
    }
    return head;
}

void RenumberSlabLoops(ContourNode* loops) {
    int index = 0;
    for (ContourNode* k = loops; k; k = k->next, ++index)
        for (VertexNode* v = k->vertices; v; v = v->next) v->data1 = index;
}
