// Life of the edit-command reactors. The editor reactor is found through
// the system registry's "ZcEditor" service, as the module finds every host
// service; the database reactor is detached from every open drawing at
// unload, since a drawing that outlives the module would otherwise call a
// reactor whose code is gone.
#include "module/reactors.h"

#include <memory>

#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/rx/rxobject.h"
#include "host/util/adscodes.h"
#include "host/util/nocase.h"
#include "host/util/resbuf.h"
#include "host/win/textutil.h"
#include "settings/viewmode_cmds.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/editing/dlg_ddmuro.h"

namespace {

// The reactors the module puts on the host: the database reactor every open
// drawing carries, and the editor reactor while the module runs.
struct ModuleReactors {
    velmPrmtReactorDB database;
    std::unique_ptr<velmPrmtReactorED> editor;
};

ModuleReactors& Reactors() {
    static ModuleReactors reactors;
    return reactors;
}

ZcEditor* hostEditor();
}  // namespace

velmPrmtReactorDB& PrmtReactorDB() {
    return Reactors().database;
}

void AttachDatabaseReactor(ZcDbDatabase* db) {
    if (db && !db->hasReactor(&PrmtReactorDB())) db->addReactor(&PrmtReactorDB());
}

void DetachDatabaseReactorFromAll() {
    PrmtReactorDB().touched().clear();
    ZcApDocManager* docs = zcDocManagerPtr();
    if (!docs) return;
    for (auto it = docs->newZcApDocumentIterator(); !it->done(); it->step())
        if (ZcDbDatabase* db = it->document()->database()) db->removeReactor(&PrmtReactorDB());
}

void EnsureEditorReactor() {
    if (Reactors().editor) return;
    ZcEditor* editor = hostEditor();
    if (!editor) return;
    Reactors().editor = std::make_unique<velmPrmtReactorED>();
    editor->addReactor(Reactors().editor.get());
}

void RemoveEditorReactor() {
    if (!Reactors().editor) return;
    if (ZcEditor* editor = hostEditor()) editor->removeReactor(Reactors().editor.get());
    Reactors().editor.reset();
}

velmPrmtReactorED* EditorReactor() {
    return Reactors().editor.get();
}

// ------------------------------------------------------------ notifications
//
// The view mode follows the host's view commands and its switches between
// model and paper space; the wall palette takes the walls picked first.

void velmPrmtReactorDB::objectOpenedForModify(const ZcDbDatabase* db, const ZcDbObject* obj) {
    (void)db;
    if (obj) m_touched.noteOpenedForModify(*obj);
}

void velmPrmtReactorDB::objectModified(const ZcDbDatabase* db, const ZcDbObject* obj) {
    (void)db;
    if (obj) m_touched.noteModified(*obj);
}

// An unerase (undo, "OOPS") brings nothing to update.
void velmPrmtReactorDB::objectErased(const ZcDbDatabase* db, const ZcDbObject* obj, bool erased) {
    (void)db;
    if (obj && erased) m_touched.noteErased(*obj);
}

void velmPrmtReactorED::commandWillStart(const char* cmdStr) {
    if (IsEditCommand(cmdStr)) PrmtReactorDB().touched().clear();
}

void velmPrmtReactorED::commandEnded(const char* cmdStr) {
    if (IsViewCommand(cmdStr)) {
        RefreshViewMode();
        return;
    }
    // A failed update leaves the drawing half updated: the command goes
    // back whole, with what the updates did in its undo group, and counts
    // as failed.
    if (IsEditCommand(cmdStr) && !PrmtReactorDB().touched().runUpdates(m_updates)) {
        host::noteFailed();
        if (ZcApDocument* doc = zcDocManagerPtr()->curDocument())
            zcDocManagerPtr()->sendStringToExecute(doc, "_U\n", true, false, false);
    }
}

// The value before the switch, which the change handler compares with the new one.
void velmPrmtReactorED::sysVarWillChange(const char* varName) {
    if (!varName || !zcutEqualsNoCase(varName, "tilemode")) return;
    resbuf value;
    if (zcedGetVar("TILEMODE", &value) != RTNORM || value.restype != RTSHORT) return;
    SetSettingInt(SetupVar::APPOGGIOCOM, value.resval.rint);
}

void velmPrmtReactorED::sysVarChanged(const char* varName, bool success) {
    if (varName && success) OnTilemodeChanged(varName);
}

void velmPrmtReactorED::pickfirstModified() {
    WallPalettePickFirstChanged();
}

namespace {

ZcEditor* hostEditor() {
    return ZcEditor::cast(zcrxSysRegistry()->at("ZcEditor"));
}

}  // namespace
