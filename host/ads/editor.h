// The editor object and its reactors. A reactor added to zcedEditor hears
// about commands, LISP evaluations, system-variable changes and pick-first
// changes. Order per command: commandWillStart, then whatever the command
// does (database notifications included), then exactly one of
// commandEnded / commandCancelled / commandFailed.
//
// A reactor may remove itself (or another) while being notified; removed
// reactors are not called again, reactors added meanwhile only from the next
// notification on.
#pragma once

#include <cstddef>
#include <vector>

#include "host/rx/rxobject.h"
#include "host/util/snapshot.h"

class ZcEditorReactor {
public:
    virtual ~ZcEditorReactor() = default;
    virtual void commandWillStart(const char* cmdStr) { (void)cmdStr; }
    virtual void commandEnded(const char* cmdStr) { (void)cmdStr; }
    virtual void commandCancelled(const char* cmdStr) { (void)cmdStr; }
    virtual void commandFailed(const char* cmdStr) { (void)cmdStr; }
    virtual void unknownCommand(const char* cmdStr) { (void)cmdStr; }
    virtual void lispWillStart(const char* firstLine) { (void)firstLine; }
    virtual void lispEnded() {}
    virtual void lispCancelled() {}
    virtual void sysVarWillChange(const char* varName) { (void)varName; }
    virtual void sysVarChanged(const char* varName, bool success) {
        (void)varName;
        (void)success;
    }
    virtual void pickfirstModified() {}
};

class ZcEditor : public ZcRxObject {
public:
    // The editor behind a registry entry; null for anything else.
    static ZcEditor* cast(const ZcRxObject* p) {
        return const_cast<ZcEditor*>(dynamic_cast<const ZcEditor*>(p));
    }

    void addReactor(ZcEditorReactor* reactor);
    void removeReactor(ZcEditorReactor* reactor);
    bool hasReactor(const ZcEditorReactor* reactor) const;
    size_t reactorCount() const { return reactors_.size(); }

    // Calls f on every reactor present now and still present when its turn
    // comes.
    template <class F>
    void notify(F f) {
        const host::Snapshot<ZcEditorReactor> snapshot(reactors_);
        for (ZcEditorReactor* r : snapshot)
            if (hasReactor(r)) f(r);
    }

private:
    std::vector<ZcEditorReactor*> reactors_;
};

// The host's one editor (also the "ZcEditor" service of the system registry).
extern ZcEditor* zcedEditor;

namespace host {
void editorNotifySysVarWillChange(const char* name);
void editorNotifySysVarChanged(const char* name, bool success);
void editorNotifyPickfirstModified();
}  // namespace host
