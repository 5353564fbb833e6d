// The general wall type and the drawing of build-up layers.
#include "walls/recognition/wall_layers.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/hatch.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/db/dbhatch.h"
#include "host/ed/prompts.h"
#include "host/win/textutil.h"

namespace {

constexpr int kCoarseScale = 199;
constexpr const char* kUndefinedLayer = "lDaDefinire";

CStrato DefaultHalf() {
    CStrato half;
    half.material = "0";
    half.pattern = "0";
    half.patternScale = 0.0;
    half.thickness = "$*0.5";
    half.layer = kUndefinedLayer;
    return half;
}

void MakeLine(const std::string& layer, const VertexNode* from, const VertexNode* to) {
    ads_point a{from->x, from->y, from->z}, b{to->x, to->y, to->z};
    const host::ResbufList line(
        zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 62, 256, 10, a, 11, b, 39, 0.0, 0));
    zcdbEntMake(line.get());
}

// A LINE for every marked edge of the record's rings, on `layer`.
void DrawMarkedEdges(const LayerOutline& record, const std::string& layer) {
    for (const OwnedList<VertexNode>& ring : record.rings) {
        for (const VertexNode* v = ring.get(); v; v = v->next)
            if (v->edgeFlag) MakeLine(layer, v, v->next ? v->next : ring.get());
    }
}

bool Hatched(const LayerOutline& record) {
    if (host::iequals(record.pattern, "0") || record.rings.empty()) return false;
    for (const OwnedList<VertexNode>& ring : record.rings)
        if (CountNodes(ring.get()) < 3) return false;
    return true;
}

// The record's hatch in the block; a hatch the host cannot evaluate is
// reported and left out.
void HatchRecord(const LayerOutline& record, const std::string& layer, double elevation,
                 const std::string& blockName) {
    ZcDbHatch* hatch =
        NewModuleHatch(layer, record.angle * 180.0 / std::numbers::pi, record.scale, record.pattern);
    for (const OwnedList<VertexNode>& ring : record.rings) {
        VertexNode* copy = nullptr;
        for (const VertexNode* v = ring.get(); v; v = v->next)
            AppendVertex(&copy, v->pt(), v->edgeFlag, 0, 0);
        OwnedList<VertexNode> clean(RemoveCollinearSpikes(copy));
        std::vector<ZcGePoint2d> points;
        for (const VertexNode* v = clean.get(); v; v = v->next) points.push_back({v->x, v->y});
        if (points.empty()) continue;
        points.push_back(points.front());
        if (hatch->appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline, points) != Zcad::eOk) {
            delete hatch;
            return;
        }
    }
    // The loops lie in the plane z = 0; the hatch is lifted to the floor
    // once its lines are made.
    if (!EvaluateModuleHatch(hatch)) return;
    hatch->transformBy(ZcDbXform::translation(ZcGeVector3d(0.0, 0.0, elevation)));
    AppendToBlock(blockName, hatch);
}

void DrawPair(WallLayerSet& set, int pair, const AAR_LAYERC& catalogue, const std::string& blockLayer) {
    if (set.SecondSegmentExternal(pair)) set.SwapSegments(pair);
    std::vector<LayerOutline> records = set.LayerOutlines(pair);
    if (records.empty()) return;
    bool inBlock =
        set.DrawingScale() < kCoarseScale || !host::iequals(records.front().layer, kUndefinedLayer);

    std::vector<std::string> layers;
    for (const LayerOutline& record : records) {
        std::string name = record.layer;
        EnsureLayer(name, catalogue, true, set.Elevation(), true);
        layers.push_back(name);
    }

    if (!inBlock) {
        for (const LayerOutline& record : records) DrawMarkedEdges(record, blockLayer);
        return;
    }
    ads_point origin{0, 0, 0};
    const host::ResbufList head(zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 8, "0", 70, 1, 10, origin, 0));
    if (zcdbEntMake(head.get()) != RTNORM) return;
    for (std::size_t i = 0; i < records.size(); ++i) DrawMarkedEdges(records[i], layers[i]);
    const host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return;
    char blockName[260] = "";
    zcedGetInput(blockName);

    for (std::size_t i = 0; i < records.size(); ++i)
        if (Hatched(records[i])) HatchRecord(records[i], layers[i], set.Elevation(), blockName);

    const host::ResbufList insert(
        zcutBuildList(RTDXF0, "INSERT", 2, blockName, 8, blockLayer.c_str(), 10, origin, 50, 0.0, 0));
    zcdbEntMake(insert.get());
}

}  // namespace

CMuro GeneralWallType() {
    CMuro type;
    type.name = kGeneralWallType;
    type.color = 7;
    type.priority = 0;
    type.layer = "0";
    return type;
}

void EnsureDefaultWallType(CListMuri& list) {
    if (list.FindByName(kGeneralWallType) == list.end()) list.push_front(GeneralWallType());
    for (CMuro& type : list) {
        if (type.scales && type.scales->FindByNumber(200) != type.scales->end()) continue;
        auto layers = std::make_shared<CListStrati>();
        layers->push_front(DefaultHalf());
        layers->push_front(DefaultHalf());
        if (!type.scales) type.scales = std::make_shared<CListScale>();
        type.scales->push_front(CScala{200, std::move(layers)});
    }
}

void DrawWallLayers(WallLayerSet& set) {
    EnsureDefaultWallType(set.WallTypes());
    std::string blockLayer = set.BlockLayer();
    EraseTypeOnLayer("INSERT", blockLayer);
    EraseTypeOnLayer("LINE", blockLayer);
    if (set.WallPairCount() <= 0) {
        zcutPrintf("%s", kNoWallsMessage);
        return;
    }
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    for (int pair = 0; pair < set.WallPairCount(); ++pair) DrawPair(set, pair, catalogue, blockLayer);
}
