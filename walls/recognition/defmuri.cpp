// The recognition set's life: its settings, the chain and the pairs, the
// frees that never free a shared face list twice, and the session that
// "VELMDEFWALL" drives.
#include "walls/recognition/defmuri.h"

#include <unordered_set>

#include "core/level_layers.h"
#include "core/levels.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/recognition/segment_grid.h"
#include "walls/recognition/velm_muroesterno.h"

namespace {

double RealSetting(int slot) {
    double value = 0.0;
    return GetVarReal(&slot, &value) ? value : 0.0;
}

int IntSetting(int slot) {
    int value = 0;
    return GetVarInt(&slot, &value) ? value : 0;
}

}  // namespace

void UnlinkFace(WallFace* face, WallFace** list) {
    if (!face || !list) return;
    UnlinkFace(*list, face);
}

DEFMURI::DEFMURI() {
    wallDistance = RealSetting(SetupVar::DISCMURO);
    level = RealSetting(SetupVar::SQPAV);
    unitFactor = RealSetting(SetupVar::SFTMTCM);
    printScale = IntSetting(SetupVar::SFATSCALA);
    blockName = "STRAT_BLOCK";
    MakeLevelLayerName(blockName, level);
}

DEFMURI::~DEFMURI() {
    m_grid.reset();
    FreeSegments();
    FreeWallPairs();
    wallTypes.RemoveAll();
    if (m_graph) m_graph->Clear();
}

void DEFMURI::ApplyWallType(WallSegment& s) {
    auto type = wallTypes.FindByName(s.typeName);
    if (type != wallTypes.end()) {
        s.colour = type->color;
        s.typeIndex = type->priority;
    } else {
        s.colour = 7;
        s.typeIndex = 0;
    }
    if (s.typeIndex > maxTypeIndex) maxTypeIndex = s.typeIndex;
}

void DEFMURI::PushSegment(WallSegment* s) {
    s->next = segments;
    segments = s;
    s->order = --m_headOrder;
    ++chainVersion;
    if (m_grid) m_grid->Insert(s);
}

void DEFMURI::AppendSegment(WallSegment* s) {
    WallSegment** tail = &segments;
    while (*tail) tail = &(*tail)->next;
    s->next = nullptr;
    *tail = s;
    s->order = ++m_tailOrder;
    ++chainVersion;
    if (m_grid) m_grid->Insert(s);
}

bool DEFMURI::UnlinkSegment(WallSegment* s) {
    for (WallSegment** p = &segments; *p; p = &(*p)->next) {
        if (*p == s) {
            *p = s->next;
            s->next = nullptr;
            if (m_grid) m_grid->Remove(s);
            return true;
        }
    }
    return false;
}

void DEFMURI::SegmentMoved(WallSegment* s) {
    ++chainVersion;
    if (m_grid) m_grid->Update(s);
}

WallPair* DEFMURI::MakeWallPair(WallSegment* a, WallSegment* b) {
    UnlinkSegment(a);
    UnlinkSegment(b);
    a->next = nullptr;
    b->next = nullptr;
    auto* pair = new WallPair{a, b, pairs};
    pairs = pair;
    m_pairCursor = {};
    m_pairCount = {};
    return pair;
}

void DEFMURI::FreeWallPairs() {
    // Pairs and chain pieces may share a face list: each list goes once,
    // and every segment still naming a freed one forgets it. One pass with
    // a set, since a floor holds thousands of pairs.
    m_pairCursor = {};
    m_pairCount = {};
    std::unordered_set<const WallFace*> freed;
    auto release = [&freed](WallFace* list) {
        if (list && freed.insert(list).second) FreeFaceList(list);
    };
    while (pairs) {
        WallPair* p = pairs;
        pairs = p->next;
        release(p->a ? p->a->faces : nullptr);
        release(p->b ? p->b->faces : nullptr);
        delete p->a;
        delete p->b;
        delete p;
    }
    for (WallSegment* s = segments; s; s = s->next)
        if (s->faces && freed.count(s->faces)) s->faces = nullptr;
}

void DEFMURI::FreeSegments() {
    // A list two pieces of a split share goes with the first; one a pair
    // holds stays with the pair.
    std::unordered_set<const WallFace*> held, seen;
    for (const WallPair* p = pairs; p; p = p->next) {
        if (p->a && p->a->faces) held.insert(p->a->faces);
        if (p->b && p->b->faces) held.insert(p->b->faces);
    }
    while (segments) {
        WallSegment* s = segments;
        segments = s->next;
        if (m_grid) m_grid->Remove(s);
        if (s->faces && seen.insert(s->faces).second && !held.count(s->faces)) FreeFaceList(s->faces);
        delete s;
    }
}

// ---- the session of "VELMDEFWALL" ----

WallPair* DEFMURI::PairAt(int index) const {
    if (index < 0) return nullptr;
    // The session asks the pairs in turn: walk on from the last one asked.
    PairCursor& c = m_pairCursor;
    if (c.head != pairs || !c.at || c.index > index) c = {pairs, 0, pairs};
    while (c.at && c.index < index) {
        c.at = c.at->next;
        ++c.index;
    }
    return c.at;
}

int DEFMURI::WallPairCount() const {
    if (m_pairCount.head != pairs || m_pairCount.index < 0) m_pairCount = {pairs, CountNodes(pairs), nullptr};
    return m_pairCount.index;
}

bool DEFMURI::SecondSegmentExternal(int pair) const {
    WallPair* p = PairAt(pair);
    return p && p->b && p->b->external;
}

void DEFMURI::SwapSegments(int pair) {
    if (WallPair* p = PairAt(pair)) std::swap(p->a, p->b);
}

std::vector<LayerOutline> DEFMURI::LayerOutlines(int pair) {
    std::vector<LayerOutline> out;
    WallPair* p = PairAt(pair);
    if (!p) return out;
    LayerRecord* last = BuildLayerOutlines(p);
    std::vector<LayerRecord*> records;
    for (LayerRecord* r = last; r; r = r->previous) records.insert(records.begin(), r);
    for (LayerRecord* r : records) {
        LayerOutline o;
        o.layer = r->layerName;
        o.pattern = r->hatchPattern;
        o.angle = r->hatchAngle;
        o.scale = r->hatchScale;
        for (PieceNode* piece = r->pieces; piece; piece = piece->next) {
            o.rings.emplace_back(piece->ring);
            piece->ring = nullptr;
        }
        out.push_back(std::move(o));
    }
    delete last;
    return out;
}

void DEFMURI::BuildFaceGraph() {
    if (!m_graph) m_graph = std::make_unique<CFACCIATE>();
    m_graph->Build(true, false, this, false);
}

void DEFMURI::RebuildFaceGraph() {
    if (m_graph) m_graph->Clear();
    FreeWallPairs();
    BuildFaceGraph();
}

void DEFMURI::ClearFaceGraph() {
    if (m_graph) m_graph->Clear();
}

void DEFMURI::SplitAtPilasters() {
    if (m_graph) AddTypedSegmentsFromFaces(m_graph.get());
}

ZcDbEntity* DEFMURI::NewDisplayEntity() {
    auto* display = new VELM_MUROESTERNO;
    display->faces = m_graph ? m_graph->faces : nullptr;
    display->segments = segments;
    display->pairs = pairs;
    return display;
}

bool DEFMURI::AssignWallTypeToLines(const std::string& typeName) {
    assignTypeName = typeName;
    return AssignWallTypeToLines();
}
