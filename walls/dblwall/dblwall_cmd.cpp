// The double-line wall command.
#include "walls/dblwall/dblwall_cmd.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/layer_catalogue.h"
#include "core/level_records.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/dblwall/dblwall_lines.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/dlg_dmuri.h"

namespace {

struct RingFree {
    void operator()(VertexNode* ring) const { FreeList(ring); }
};
using Ring = std::unique_ptr<VertexNode, RingFree>;

// The outlines of the pilasters of the floor, one closed ring each.
std::vector<Ring> PilasterRings(double level) {
    std::vector<Ring> rings;
    ForEachLevelRecord(kPilasterApp, level, SharedTolerance, [&](const ads_name entity) {
        if (VertexNode* ring = GetPillarOutline(entity); CountNodes(ring) >= 3)
            rings.emplace_back(ring);
        else
            FreeList(ring);
    });
    return rings;
}

bool WriteLine(const std::string& layer, const DoubleLine& piece) {
    const ads_point a = {piece.start.x, piece.start.y, piece.start.z};
    const ads_point b = {piece.end.x, piece.end.y, piece.end.z};
    const host::ResbufList list(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, a, 11, b, 0));
    return zcdbEntMake(list.get()) == RTNORM;
}

}  // namespace

int DrawDoubleLines(CFACCIATE& graph, const std::string& layer, double distance, double minThickness,
                    double maxThickness) {
    const std::vector<Ring> owned = PilasterRings(graph.level);
    std::vector<const VertexNode*> rings;
    for (const Ring& r : owned) rings.push_back(r.get());
    DoubleLineFaces faces(graph, std::max(minThickness, maxThickness));
    int written = 0;
    double angle = 0.0;
    while (WallFace* f = PairDoubleLines(&angle, minThickness, maxThickness, faces)) {
        const DoubleLine line = BuildDoubleLine(*f, angle, distance, faces);
        for (const DoubleLine& piece : DoubleLinePieces(*f, line, rings)) written += WriteLine(layer, piece);
    }
    return written;
}

void CmdDblWall() {
    if (!ShowMultilineOptionsDialog()) return;
    const double distance = SettingReal(SetupVar::DLINEDISTE, 4.0);
    const double minThickness = SettingReal(SetupVar::DLINEMSPES, 15.0);
    const double maxThickness = SettingReal(SetupVar::DLINEMASPE, 50.0);
    const double level = SettingReal(SetupVar::SQPAV, 0.0);

    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = "2DWALLL";
    EnsureLayer(layer, catalogue, true, level, false);
    EraseTypeOnLayer("LINE", layer);

    CFACCIATE graph;
    graph.Build(true, false, nullptr, false);
    graph.MergePillars();
    if (!graph.faces) {
        zcutPrintf("%s", kNoWallModelMessage);
        return;
    }
    DrawDoubleLines(graph, layer, distance, minThickness, maxThickness);
}
