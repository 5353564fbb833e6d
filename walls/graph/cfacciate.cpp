// The graph's life: its settings, clearing, and the face holding an entity.
#include "walls/graph/cfacciate.h"

#include "core/base/module_state.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

double SettingOr(int slot, double fallback) {
    double value = 0.0;
    return GetVarReal(&slot, &value) ? value : fallback;
}

bool SameEntity(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}

}  // namespace

CFACCIATE::CFACCIATE() {
    level = SettingOr(SetupVar::SQPAV, 0.0);
    unitFactor = SettingOr(SetupVar::SFTMTCM, 1.0);
    maxWallThickness = SettingOr(SetupVar::DISCMURO, 60.0);
    floorHeight = GetFloorHeightAt(level);
    floorInt = GetFloorIntAt(level);
    chordLength = GetScaleFactor(0);
    joinTolerance = 100.0 * SharedTolerance;
}

CFACCIATE::~CFACCIATE() {
    Clear();
}

void CFACCIATE::Clear() {
    FacesChanged();
    outlines = FreeOutlineList(outlines);
    faces = FreeFaceList(faces);
    pillarFaces = FreeFaceList(pillarFaces);
    // Nothing else owns the faces a contour approximation set aside.
    usedFaces = FreeFaceList(usedFaces);
    pendingLines = FreeList(pendingLines);
    pendingArcs = FreeList(pendingArcs);
    contour = FreeLinkedNodes(contour);
}

void CFACCIATE::FacesChanged() {
    m_faceCache.reset();
}

graph_index::FaceCache& CFACCIATE::CachedFaces() const {
    if (!m_faceCache || !m_faceCache->matches(faces, unitFactor))
        m_faceCache = std::make_unique<graph_index::FaceCache>(faces, unitFactor);
    return *m_faceCache;
}

WallFace* CFACCIATE::FindFaceById(const ads_name entity) const {
    for (WallFace* f = faces; f; f = f->next) {
        for (const FaceEdge* e = f->edges; e; e = e->next)
            if (e->hasEntity() && SameEntity(e->entity, entity)) return f;
        for (const FaceEdge* e = f->arcEdges; e; e = e->next)
            if (e->hasEntity() && SameEntity(e->entity, entity)) return f;
    }
    return nullptr;
}
