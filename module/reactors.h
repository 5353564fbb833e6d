// The module's edit-command reactors: the database reactor, one static
// object attached to every drawing created while the module is loaded, and
// the editor reactor, made when a drawing first becomes current. Here they
// have the life the module entry gives them (attach, detach, one editor
// reactor at a time), the view mode re-applied after the host's view
// commands and its switches between model and paper space (TILEMODE, whose
// value before the switch is kept in the drawing's APPOGGIOCOM), and the
// objects the host's erase, stretch and rotate commands touched brought
// back in step by their owners when the command ends
// (module/touched_objects.h).
#pragma once

#include "host/ads/editor.h"
#include "host/db/dbdatabase.h"
#include "module/touched_objects.h"

// Notes what the host's edits touch in the module's one touched-object list.
class velmPrmtReactorDB : public ZcDbDatabaseReactor {
public:
    void objectOpenedForModify(const ZcDbDatabase* db, const ZcDbObject* obj) override;
    void objectModified(const ZcDbDatabase* db, const ZcDbObject* obj) override;
    void objectErased(const ZcDbDatabase* db, const ZcDbObject* obj, bool erased = true) override;

    TouchedObjectList& touched() { return m_touched; }

private:
    TouchedObjectList m_touched;
};

class velmPrmtReactorED : public ZcEditorReactor {
public:
    void commandWillStart(const char* cmdStr) override;
    void commandEnded(const char* cmdStr) override;
    void sysVarWillChange(const char* varName) override;
    void sysVarChanged(const char* varName, bool success) override;
    void pickfirstModified() override;

    // The updates run on the touched objects: the owners' own unless
    // replaced (a test watching the order of the calls).
    void setUpdates(TouchedObjectUpdates updates) { m_updates = std::move(updates); }

private:
    TouchedObjectUpdates m_updates = OwnerUpdates();
};

// The one database reactor of the module.
velmPrmtReactorDB& PrmtReactorDB();

// Attaches the database reactor to a drawing (once; a null drawing is ignored).
void AttachDatabaseReactor(ZcDbDatabase* db);
// Detaches it from every open drawing and drops what it noted: after unload
// the host must not call into the module any more.
void DetachDatabaseReactorFromAll();

// The editor reactor: made and added to the host editor (the "ZcEditor"
// service) on first call; later calls change nothing.
void EnsureEditorReactor();
// Removes and deletes it when it exists.
void RemoveEditorReactor();
// The editor reactor, null before the first drawing became current.
velmPrmtReactorED* EditorReactor();
