// VELMDocReactor. The settings are read from the drawing that has become
// current, whatever the working drawing was before the call; the working
// drawing is put back afterwards.
#include "module/doc_reactor.h"

#include "core/host_services.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "module/current_drawing.h"
#include "module/reactors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/editing/dlg_ddmuro.h"

namespace {

// Makes a drawing the working one for the life of the object.
class WorkingDrawing {
public:
    explicit WorkingDrawing(ZcDbDatabase* db) : previous_(zcdbCurDwg()) { zcdbSetCurDwg(db); }
    ~WorkingDrawing() { zcdbSetCurDwg(previous_); }
    WorkingDrawing(const WorkingDrawing&) = delete;
    WorkingDrawing& operator=(const WorkingDrawing&) = delete;

private:
    ZcDbDatabase* previous_;
};

}  // namespace

void VELMDocReactor::documentCreated(ZcApDocument* doc) {
    if (doc) AttachDatabaseReactor(doc->database());
}

void VELMDocReactor::documentBecameCurrent(ZcApDocument* doc) {
    if (!doc) return;
    // The palette shows the walls of the drawing it was opened on.
    CloseWallPalette();
    {
        WorkingDrawing working(doc->database() ? doc->database() : zcdbCurDwg());
        SetToleranceFromDrawing();
        if (SettingInt(SetupVar::NOCONF_VELMOR) == 0) {
            constexpr int kCoords = 2, kUcsOrtho = 0;
            SysVarShort("COORDS", &kCoords);
            SysVarShort("UCSORTHO", &kUcsOrtho);
        }
    }
    EnsureEditorReactor();
    RefreshModulePanes();
}
