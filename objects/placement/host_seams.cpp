#include "objects/placement/host_seams.h"

#include "host/ads/adsent.h"

namespace {

template <class F>
F& Slot() {
    static F f;
    return f;
}

}  // namespace

void SetWallFaceSpanReader(WallFaceSpanReader reader) {
    Slot<WallFaceSpanReader>() = std::move(reader);
}
bool ReadWallFaceSpan(const ads_name entity, WallFaceSpan& out) {
    auto& f = Slot<WallFaceSpanReader>();
    return f && f(entity, out);
}

void SetSlabLoopsReader(SlabLoopsReader reader) {
    Slot<SlabLoopsReader>() = std::move(reader);
}
void SetLoopSlopeReader(LoopSlopeReader reader) {
    Slot<LoopSlopeReader>() = std::move(reader);
}
ContourNode* ReadSlabLoops(const resbuf* slabList) {
    auto& f = Slot<SlabLoopsReader>();
    return f ? f(slabList) : nullptr;
}
double ReadLoopSlope(const VertexNode* loop, int& kind) {
    kind = -1;
    auto& f = Slot<LoopSlopeReader>();
    return f ? f(loop, kind) : 0.0;
}

void SetOpeningEraser(OpeningEraser eraser) {
    Slot<OpeningEraser>() = std::move(eraser);
}
int EraseObjectOpening(const ads_name object, ads_name slab) {
    ads_name_clear(slab);
    auto& f = Slot<OpeningEraser>();
    if (f) return f(object, slab);
    zcdbEntDel(object);
    return 0;
}

void SetWallFacesRegenerator(WallFacesRegenerator regenerator) {
    Slot<WallFacesRegenerator>() = std::move(regenerator);
}
void RegenerateWallFaces(const ads_name a, const ads_name b, double elevation, const ads_name c,
                         const ads_name d) {
    auto& f = Slot<WallFacesRegenerator>();
    if (f) f(a, b, elevation, c, d);
}

void SetSlabOpeningCutter(SlabOpeningCutter cutter) {
    Slot<SlabOpeningCutter>() = std::move(cutter);
}
void CutObjectIntoSlab(const ads_name object, const ads_name slab) {
    auto& f = Slot<SlabOpeningCutter>();
    if (f) f(object, slab);
}
