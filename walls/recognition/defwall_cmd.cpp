// The wall-type assignment command.
#include "walls/recognition/defwall_cmd.h"

#include "core/base/velm_assert.h"
#include "core/host_services.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/grdraw.h"
#include "resources/velmresources.h"
#include "walls/recognition/dlg_def_muri.h"
#include "walls/types/mxt_file.h"

namespace {

WallRecognitionFactory& Factory() {
    static WallRecognitionFactory factory;
    return factory;
}

void EraseEntity(const ZcDbObjectId& id) {
    ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
    if (entity.openStatus() == Zcad::eOk) entity->erase();
}

// Shows the dialog on the chosen name: the action, the chosen name updated
// on OK; no action on cancel.
int AskAction(CListMuri& types, std::string& chosen) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgDefMuri dlg(types);
    dlg.m_chosenName = chosen;
    if (dlg.DoModal() != IDOK) return CDlgDefMuri::kNone;
    chosen = dlg.m_chosenName;
    return dlg.m_action;
}

}  // namespace

void SetWallRecognitionFactory(WallRecognitionFactory factory) {
    Factory() = std::move(factory);
}

void CmdDefWall() {
    VELM_ASSERT(Factory());
    std::unique_ptr<WallRecognitionSession> set = Factory()();
    if (!set) return;
    if (!LoadWallTypes(set->WallTypes())) return;
    std::string chosen = kGeneralWallType;
    set->BuildFaceGraph();
    for (;;) {
        set->SplitAtPilasters();
        ZcDbEntity* display = set->NewDisplayEntity();
        if (!display) break;
        ZcDbObjectId displayId;
        if (AppendToModelSpace(displayId, display) != Zcad::eOk) {
            // Appended but not to be opened again: the drawing owns it now.
            if (displayId.isNull())
                delete display;
            else
                EraseEntity(displayId);
            break;
        }
        zcedRedraw(nullptr, 1);
        int action = AskAction(set->WallTypes(), chosen);
        EraseEntity(displayId);
        if (action == CDlgDefMuri::kAssign) {
            set->FreeSegments();
            set->AssignWallTypeToLines(chosen);
            // Also when nothing was assigned: the freed segments held the
            // graph's faces.
            set->RebuildFaceGraph();
            continue;
        }
        if (action == CDlgDefMuri::kDraw) {
            set->PairSegments();
            DrawWallLayers(*set);
        }
        break;
    }
    set->ClearFaceGraph();
}

bool RedrawFloorWallLayers() {
    VELM_ASSERT(Factory());
    std::unique_ptr<WallRecognitionSession> set = Factory()();
    if (!set || !LoadWallTypes(set->WallTypes())) return false;
    set->BuildFaceGraph();
    set->SplitAtPilasters();
    set->PairSegments();
    // A floor without walls is left alone, quietly: the scale change goes on.
    if (set->WallPairCount() > 0) DrawWallLayers(*set);
    set->ClearFaceGraph();
    return true;
}
