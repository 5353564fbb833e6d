// The editor's reactor list: a plain vector, since a handful of reactors is
// the most a session holds.
#include "host/ads/editor.h"

#include <algorithm>

namespace {
ZcEditor theEditor;
}

ZcEditor* zcedEditor = &theEditor;

void ZcEditor::addReactor(ZcEditorReactor* reactor) {
    if (reactor && !hasReactor(reactor)) reactors_.push_back(reactor);
}

void ZcEditor::removeReactor(ZcEditorReactor* reactor) {
    reactors_.erase(std::remove(reactors_.begin(), reactors_.end(), reactor), reactors_.end());
}

bool ZcEditor::hasReactor(const ZcEditorReactor* reactor) const {
    return std::find(reactors_.begin(), reactors_.end(), reactor) != reactors_.end();
}

namespace host {

void editorNotifySysVarWillChange(const char* name) {
    zcedEditor->notify([&](ZcEditorReactor* r) { r->sysVarWillChange(name); });
}

void editorNotifySysVarChanged(const char* name, bool success) {
    zcedEditor->notify([&](ZcEditorReactor* r) { r->sysVarChanged(name, success); });
}

void editorNotifyPickfirstModified() {
    zcedEditor->notify([](ZcEditorReactor* r) { r->pickfirstModified(); });
}

}  // namespace host
