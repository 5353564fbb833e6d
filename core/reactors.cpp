// Life of the edit-command reactors. The editor reactor is found through
// the system registry's "ZcEditor" service, as the module finds every host
// service; the database reactor is detached from every open drawing at
// unload, since a drawing that outlives the module would otherwise call a
// reactor whose code is gone.
#include "core/reactors.h"

#include <memory>

#include "host/ed/docman.h"
#include "host/rx/rxobject.h"

namespace {

std::unique_ptr<velmPrmtReactorED> g_editorReactor;

ZcEditor* hostEditor();

}  // namespace

velmPrmtReactorDB& PrmtReactorDB() {
    static velmPrmtReactorDB reactor;
    return reactor;
}

void AttachDatabaseReactor(ZcDbDatabase* db) {
    if (db && !db->hasReactor(&PrmtReactorDB())) db->addReactor(&PrmtReactorDB());
}

void DetachDatabaseReactorFromAll() {
    ZcApDocManager* docs = zcDocManagerPtr();
    if (!docs) return;
    for (auto it = docs->newZcApDocumentIterator(); !it->done(); it->step())
        if (ZcDbDatabase* db = it->document()->database()) db->removeReactor(&PrmtReactorDB());
}

void EnsureEditorReactor() {
    if (g_editorReactor) return;
    ZcEditor* editor = hostEditor();
    if (!editor) return;
    g_editorReactor = std::make_unique<velmPrmtReactorED>();
    editor->addReactor(g_editorReactor.get());
}

void RemoveEditorReactor() {
    if (!g_editorReactor) return;
    if (ZcEditor* editor = hostEditor()) editor->removeReactor(g_editorReactor.get());
    g_editorReactor.reset();
}

velmPrmtReactorED* EditorReactor() { return g_editorReactor.get(); }

// ------------------------------------------------------------ notifications
//
// The updates after the host's erase, stretch and rotate commands, and the
// view-mode and wall-palette hand-offs, arrive with the subsystems that own
// the touched objects.

void velmPrmtReactorDB::objectModified(const ZcDbDatabase* db, const ZcDbObject* obj) {
    (void)db;
    (void)obj;
}

void velmPrmtReactorDB::objectErased(const ZcDbDatabase* db, const ZcDbObject* obj, bool erased) {
    (void)db;
    (void)obj;
    (void)erased;
}

void velmPrmtReactorED::commandWillStart(const char* cmdStr) { (void)cmdStr; }

void velmPrmtReactorED::commandEnded(const char* cmdStr) { (void)cmdStr; }

void velmPrmtReactorED::sysVarWillChange(const char* varName) { (void)varName; }

void velmPrmtReactorED::sysVarChanged(const char* varName, bool success) {
    (void)varName;
    (void)success;
}

void velmPrmtReactorED::pickfirstModified() {}

namespace {

ZcEditor* hostEditor() { return ZcEditor::cast(zcrxSysRegistry()->at("ZcEditor")); }

}  // namespace
