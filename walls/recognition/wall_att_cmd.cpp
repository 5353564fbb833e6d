// The external-side command.
#include "walls/recognition/wall_att_cmd.h"

#include "core/host_services.h"
#include "core/pick_walls.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/contour_highlight.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_type_marks.h"

namespace {

constexpr const char* kNotAWallLine =
    "\nWybrany obiekt nie jest linią odpowiadającą ścianie bieżącej podłogi";

double CurrentLevel() {
    const int slot = SetupVar::SQPAV;
    double level = 0.0;
    return GetVarReal(&slot, &level) ? level : 0.0;
}

void MarkPerimeter(CFACCIATE* graph) {
    std::string keywords;
    ads_name entity;
    const int r = PickWallLine("LINE", "\nWybierz obwód po zewnętrznej stronie:", keywords, entity);
    if (r == 0) {
        zcutPrintf("%s", kNotAWallLine);
        return;
    }
    if (r != 1) return;
    WallFace* face = graph->FindFaceById(entity);
    if (!face) return;
    OwnedList<VertexNode> ring(graph->ApproximateContourCurves(face, nullptr, 0, true, -1.0));
    // The graph holds straight faces only: a closed perimeter has as many
    // corners as faces, an open chain one more.
    const bool closed = ring && CountNodes(ring.get()) == CountNodes(graph->usedFaces);
    HighlightContour(ring.get(), closed ? 0 : 1, true);
    for (WallFace* f = graph->usedFaces; f; f = f->next) SetExternalSideFlag(f, true);
}

void EraseDisplay(const ZcDbObjectId& id) {
    ZcDbObjectPointer<VELM_MUROESTERNO> opened(id, ZcDb::kForWrite);
    if (opened.openStatus() == Zcad::eOk) opened->erase();
}

}  // namespace

int WallLineResult(int pickResult) {
    switch (pickResult) {
        case 1:
            return 1;
        case 0:
            return 0;
        case -2:
            return -1;
        case -1:
            return -2;
        default:
            return pickResult > 1 ? 1 : -3;
    }
}

int PickWallLine(const std::string& type, const std::string& prompt, std::string& keywords, ads_name entity) {
    std::string layer;
    return WallLineResult(PickLinesAndArcs(type, prompt, entity, CurrentLevel(), layer, keywords, nullptr));
}

int PickExternalSide(CFACCIATE* graph) {
    std::string keywords = "Usuń Obwód";
    ads_name entity;
    const int r = PickWallLine(
        "LINE", "\nWybierz stronę zewnętrzną lub [Usuń zewnętrzne definicje/Zewnętrzny obwód]:", keywords,
        entity);
    if (r == 1) {
        SetExternalSideFlag(graph->FindFaceById(entity), true);
    } else if (r == 0) {
        zcutPrintf("%s", kNotAWallLine);
    } else if (r == -1) {
        if (zcutEqualsNoCase(keywords, "Usuń")) {
            for (WallFace* f = graph->faces; f; f = f->next) SetExternalSideFlag(f, false);
        } else if (zcutEqualsNoCase(keywords, "Obwód")) {
            MarkPerimeter(graph);
        }
    }
    return r;
}

void CmdWallAtt() {
    CFACCIATE graph;
    graph.Build(true, false, nullptr, false);
    auto* display = new VELM_MUROESTERNO;
    display->faces = graph.faces;
    ZcDbObjectId id;
    if (AppendToModelSpace(id, display) != Zcad::eOk) {
        // Appended but not to be opened again: the drawing owns it now.
        if (id.isNull())
            delete display;
        else
            EraseDisplay(id);
        graph.Clear();
        return;
    }
    PickExternalSide(&graph);
    EraseDisplay(id);
    graph.Clear();
}
