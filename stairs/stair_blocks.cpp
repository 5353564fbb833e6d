// The stair written into the drawing: the plan below the cut with the 3D
// faces in one anonymous block, the plan above the cut in another, both
// inserted on the level layers of their floors by an outer block, and that
// block inserted on the base layer with the stair's xdata.
//
// The record is moved to block coordinates (the first riser's first end at
// the origin) and stays there: the xdata keeps the elements so, and the
// reader adds the insertion point back. Every entity the host refuses stops
// the writer: the pending block is abandoned and no INSERT is made, so the
// caller keeps the model lines or the old stair.
#include <cmath>
#include <cstdio>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "stairs/stair_faces.h"
#include "stairs/stair_model.h"
#include "stairs/stair_plan.h"

namespace {

constexpr const char* kStairNotMadeMessage = "\nNie można utworzyć schodów";

// Takes the list over.
bool MakeEntity(resbuf* raw) {
    const host::ResbufList list(raw);
    return list && zcdbEntMake(list.get()) == RTNORM;
}

bool BeginBlock() {
    const ads_point origin{0.0, 0.0, 0.0};
    return MakeEntity(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 65, 2, "*U", 10, origin, 0));
}

bool EndBlock(std::string& name) {
    if (!MakeEntity(zcutBuildList(RTDXF0, "ENDBLK", 0))) return false;
    char buffer[260] = "";
    zcedGetInput(buffer);
    name = buffer;
    return !name.empty();
}

// One plan segment on its layer: lines 1..10, circles above 10, arcs 0
// and below.
bool MakePlanSegment(const SegmentRec& g, const std::string layers[5]) {
    const int kind = g.kind;
    const int entry = kind > 10 ? kind - 10 : std::abs(kind);
    const char* layer = layers[entry >= 0 && entry < 5 ? entry : 0].c_str();
    const ads_point p{g.geom[0], g.geom[1], g.geom[2]};
    if (kind >= 1 && kind <= 10) {
        const ads_point q{g.geom[3], g.geom[4], g.geom[5]};
        return MakeEntity(zcutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0));
    }
    if (kind > 10) return MakeEntity(zcutBuildList(RTDXF0, "CIRCLE", 8, layer, 10, p, 40, g.geom[3], 0));
    return MakeEntity(
        zcutBuildList(RTDXF0, "ARC", 8, layer, 10, p, 40, g.geom[3], 50, g.geom[4], 51, g.geom[5], 0));
}

}  // namespace

void StepSideChains(const StairStep* steps, RingNode** first, RingNode** second) {
    RingNode** tailA = first;
    RingNode** tailB = second;
    auto add = [](RingNode**& tail, VertexNode* v) {
        auto* n = new RingNode;
        n->vertex = v;
        *tail = n;
        tail = &n->next;
    };
    for (const StairStep* s = steps; s; s = s->next) {
        std::vector<VertexNode*> front, back, sideA, sideB;
        for (VertexNode* v = s->ring; v; v = v->next) {
            if (v->edgeFlag == 2) front.push_back(v);
            if (v->edgeFlag == 3) back.push_back(v);
            if (v->edgeFlag == 1) sideB.push_back(v);
            if (v->edgeFlag == 0) sideA.push_back(v);
        }
        if (front.size() != 2 || back.size() != 2) continue;
        add(tailA, front[0]);
        for (auto it = sideA.rbegin(); it != sideA.rend(); ++it) add(tailA, *it);
        add(tailA, back[1]);
        add(tailB, front[1]);
        for (VertexNode* v : sideB) add(tailB, v);
        add(tailB, back[0]);
    }
}

bool CSCALA::MakeStairBlocks() {
    if (!risers) return false;
    const Point3 base = risers->pointA;
    TranslateElements(secondSide, base.x, base.y);
    TranslateElements(firstSide, base.x, base.y);
    TranslateElements(risers, base.x, base.y);
    entityFailed = false;
    topFaceHigh = topFaceLow = false;
    structureSteps.clear();
    FreeList(outlines3D);
    outlines3D = nullptr;

    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    auto ensure = [&table](const std::string& key) {
        std::string name = key;
        EnsureLayer(name, table, false, 0.0, true);
        return name;
    };
    // The faces go on the final layer names; the record keeps the keys.
    const std::string keys[3] = {layerTreads, layerRisers, layerStructure};
    const std::string treads = ensure(layerTreads);
    const std::string riserLayer = structureType != 3 ? ensure(layerRisers) : layerRisers;
    const std::string structure = ensure(layerStructure);
    std::string layers[5];
    layers[1] = ensure(layer2DBelow);
    layers[4] = ensure(layer2DAbove);
    layers[2] = ensure(layer2DCut);
    layers[3] = ensure(layer2DPlan);

    DrawStairPlanAtCut();

    auto fail = []() {
        zcdbEntMake(nullptr);
        zcutPrintf("%s", kStairNotMadeMessage);
        host::noteFailed();
        return false;
    };

    std::string aboveName;
    if (planAbove) {
        if (!BeginBlock()) return fail();
        for (const SegmentRec* g = planAbove; g; g = g->next)
            if (!MakePlanSegment(*g, layers)) return fail();
        if (!EndBlock(aboveName)) return fail();
    }

    if (!BeginBlock()) return fail();
    for (const SegmentRec* g = planBelow; g; g = g->next)
        if (!MakePlanSegment(*g, layers)) return fail();

    FreeList(steps);
    steps = BuildStairSteps(*this, risers, nosingType, 0.0);
    DrawTreadFaces(steps, treads);

    // The closing face's top corners: the last tread's corners on the last
    // riser.
    const StairStep* lastStep = steps;
    while (lastStep && lastStep->next) lastStep = lastStep->next;
    const StairElement* lastRiser = risers;
    while (lastRiser->next) lastRiser = lastRiser->next;
    if (lastStep)
        for (const VertexNode* v = lastStep->ring; v && v->next; v = v->next) {
            const Point3 p = v->pt();
            if (PointsEqual(p, lastRiser->pointA, false) || PointsEqual(p, lastRiser->pointB, false)) {
                topFace[0] = p;
                topFace[1] = v->next->pt();
                topFaceHigh = true;
                break;
            }
        }

    // The producers write on the layers' final names.
    layerTreads = treads;
    layerRisers = riserLayer;
    layerStructure = structure;
    BuildNosingFaces();
    if (nosingType == 1) {
        FreeList(steps);
        steps = BuildStairSteps(*this, risers, 0, 0.0);
    }
    BuildStructure();
    layerTreads = keys[0];
    layerRisers = keys[1];
    layerStructure = keys[2];
    if (entityFailed) return fail();
    if (topFaceHigh && topFaceLow &&
        !WriteStairFace(structure, topFace[0], topFace[1], topFace[2], topFace[3], 0))
        return fail();
    std::string belowName;
    if (!EndBlock(belowName)) return fail();

    if (!BeginBlock()) return fail();
    std::string level = layerBase;
    MakeLevelLayerName(level, startFloorHeight);
    const ads_point origin{0.0, 0.0, 0.0};
    if (!MakeEntity(
            zcutBuildList(RTDXF0, "INSERT", 8, level.c_str(), 2, belowName.c_str(), 10, origin, 50, 0.0, 0)))
        return fail();
    if (!aboveName.empty()) {
        std::string upper = layerBase;
        MakeLevelLayerName(upper, endFloorHeight);
        const ads_point lift{0.0, 0.0, endFloorHeight - startFloorHeight};
        if (!MakeEntity(zcutBuildList(RTDXF0, "INSERT", 8, upper.c_str(), 2, aboveName.c_str(), 10, lift, 50,
                                      0.0, 0)))
            return fail();
    }
    std::string outerName;
    if (!EndBlock(outerName)) return fail();

    // The outlines the slab opening and the hatches read.
    RingNode* first = nullptr;
    RingNode* second = nullptr;
    StepSideChains(steps, &first, &second);
    RingNode* secondReversed = nullptr;
    for (RingNode* n = second; n; n = n->next) {
        auto* r = new RingNode;
        r->vertex = n->vertex;
        r->next = secondReversed;
        secondReversed = r;
    }
    BuildStairOutlines(*this, first, secondReversed, first, second);
    FreeList(first);
    FreeList(second);
    FreeList(secondReversed);

    host::ResbufList xdata(WriteStairXData({base.x, base.y, startFloorHeight}));
    const ads_point at{base.x, base.y, startFloorHeight};
    host::ResbufList insert(
        zcutBuildList(RTDXF0, "INSERT", 8, layerBase.c_str(), 2, outerName.c_str(), 10, at, 50, 0.0, 0));
    if (!insert) return fail();
    resbuf* tail = insert.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata.release();
    if (!MakeEntity(insert.release())) return fail();
    return true;
}
