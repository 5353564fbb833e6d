// The walls subsystem's registration (see the header).
#include "walls/walls_module.h"

#include <memory>

#include "core/entity_readers.h"
#include "host/rx/rxobject.h"
#include "host/util/nocase.h"
#include "objects/placement/gap_outline.h"
#include "objects/placement/host_seams.h"
#include "settings/rescale.h"
#include "walls/dblwall/dblwall_cmd.h"
#include "walls/drawing/velm_muroj.h"
#include "walls/drawing/wall_cmds.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"
#include "walls/graph/pair_lines_hook.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/defwall_cmd.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_att_cmd.h"
#include "walls/types/dlg_strati.h"

namespace {

// The object library's view of an outline record read by the face graph.
bool ReadGapOutlineRecord(const resbuf* list, GapOutline& out) {
    OutlineNode* o = ParseTag3DiStr(list);
    if (!o) return false;
    out.entity[0] = o->entity[0];
    out.entity[1] = o->entity[1];
    out.kind = o->kind;
    out.z = o->z;
    out.base = o->base;
    for (int i = 0; i < 2; ++i) {
        out.gapA[i] = o->gapA[i];
        out.gapB[i] = o->gapB[i];
        out.gapAngle[i] = o->gapAngle[i];
        out.corner[i] = o->corner[i];
    }
    out.radiusA = o->radiusA;
    out.radiusB = o->radiusB;
    out.wallThickness = o->wallThickness;
    FreeOutlineList(o);
    return true;
}

// The face of one wall line or arc, for the object library's pickers.
bool ReadWallFaceOfEntity(const ads_name entity, WallFaceSpan& out) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    CFACCIATE graph;
    WallFace* face = zcutEqualsNoCase(type, "ARC") ? graph.BuildFromArc(entity) : graph.BuildFromLine(entity);
    if (!face) return false;
    out.isArc = face->isArc();
    out.start = face->start;
    out.end = face->end;
    out.arc = face->arc;
    FreeFaceList(face);
    return true;
}

}  // namespace

std::span<const CommandBinding> WallsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALL", &CmdWall},       {"VELMWALLD", &CmdWallD},     {"VELMRWALL", &CmdRectWall},
        {"VELMLWALL", &CmdLayerWall}, {"VELMDEFWALL", &CmdDefWall}, {"VELMWALLATT", &CmdWallAtt},
        {"VELMDBLWALL", &CmdDblWall}, {"VELMDEFMXT", &CmdDefMxt},
    };
    return kBindings;
}

void RegisterWallsModule() {
    VELM_MUROESTERNO::rxInit();
    VELM_MUROJ::rxInit();
    zcrxBuildClassHierarchy();
    SetWallRecognitionFactory([] { return std::make_unique<DEFMURI>(); });
    SetPairWallLinesHook([](DEFMURI& set, FaceEdge** pending) { set.PairWallLines(pending); });
    SetFloorWallLayersHook([](double) { return RedrawFloorWallLayers(); });
    SetGapOutlineReader(&ReadGapOutlineRecord);
    SetPilasterOutlineReader([](const ads_name entity) { return GetPillarOutline(entity); });
    SetWallFaceSpanReader(&ReadWallFaceOfEntity);
}

void UnregisterWallsModule() {
    SetWallFaceSpanReader(nullptr);
    SetPilasterOutlineReader(nullptr);
    SetGapOutlineReader(nullptr);
    SetFloorWallLayersHook(nullptr);
    SetPairWallLinesHook(nullptr);
    SetWallRecognitionFactory(nullptr);
    VELM_MUROJ::rxUninit();
    VELM_MUROESTERNO::rxUninit();
}
