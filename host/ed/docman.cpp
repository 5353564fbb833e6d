// Documents are owned by the manager in opening order; the current one is a
// plain pointer into that list. The system-variable table reads the current
// document's store through the provider installed at first use.
#include "host/ed/docman.h"

#include <algorithm>

#include "host/ed/cmdproc.h"
#include "host/util/hostassert.h"
#include "host/util/snapshot.h"
#include "host/win/replace_file.h"
#include "host/win/textutil.h"

namespace {

struct Hooks {
    std::function<ZcDbDatabase*(ZcApDocument&)> makeDb;
    std::function<void(ZcDbDatabase*)> destroyDb;
    std::function<void(ZcApDocument&, bool)> load;
};

Hooks& hooks() {
    static Hooks h;
    return h;
}

std::string titleOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// DWGPREFIX as the platform gives it: a full folder with its separator. A
// drawing never saved, or named without a folder, lies in the current folder.
std::string prefixOf(const std::string& path) {
    const std::string folder = folderOf(path);
    const bool full =
        !folder.empty() && (folder[0] == '/' || folder[0] == '\\' || (folder.size() > 1 && folder[1] == ':'));
    if (full) return folder;
    std::string made = host::absolutePath(folder.empty() ? "." : folder);
    if (made.size() > 1 && made.substr(made.size() - 2) == "/.") made.pop_back();
    if (made.empty() || made.back() != '/') made += '/';
    return made;
}

}  // namespace

ZcApDocument::ZcApDocument(std::string path)
    : path_(std::move(path)), title_(titleOf(path_)), sysVars_(std::make_unique<host::MemorySysVarStore>()) {}

void ZcApDocument::setSysVarStore(std::unique_ptr<host::SysVarStore> store) {
    if (store) sysVars_ = std::move(store);
}

ZcApDocument::~ZcApDocument() {
    if (database_ && hooks().destroyDb) hooks().destroyDb(database_);
}

namespace {
// Wires the system variables to the current document as soon as the host
// library is loaded, so no drawing variable is ever kept elsewhere.
const bool kWiredAtLoad = (zcDocManagerPtr(), true);
}  // namespace

ZcApDocManager* zcDocManagerPtr() {
    // The hooks are made first so they outlive the manager: documents still
    // open at exit give their databases back through them.
    hooks();
    static ZcApDocManager manager;
    static bool wired = [] {
        host::setDrawingSysVarStoreProvider([]() -> host::SysVarStore* {
            ZcApDocument* d = manager.curDocument();
            return d ? &d->sysVars() : nullptr;
        });
        return true;
    }();
    (void)wired;
    return &manager;
}

std::unique_ptr<ZcApDocumentIterator> ZcApDocManager::newZcApDocumentIterator() const {
    std::vector<ZcApDocument*> docs;
    for (const auto& d : docs_) docs.push_back(d.get());
    return std::make_unique<ZcApDocumentIterator>(std::move(docs));
}

ZcEdStatus ZcApDocManager::setCurDocument(ZcApDocument* doc, ZcAp::DocLockMode mode, bool activate) {
    (void)activate;
    if (!isOpen(doc)) return eEdInvalidInput;
    if (doc != current_) becomeCurrent(doc);
    if (mode != ZcAp::kNone) return lockDocument(doc, mode);
    return eEdOk;
}

ZcEdStatus ZcApDocManager::lockDocument(ZcApDocument* doc, ZcAp::DocLockMode mode, const char*, const char*,
                                        bool) {
    if (!isOpen(doc)) return eEdInvalidInput;
    // Another caller holds an exclusive lock: only re-entrant locks pass.
    if (doc->lockCount_ > 0 && doc->lockMode_ == ZcAp::kXWrite && mode != ZcAp::kXWrite)
        return eEdLockViolation;
    ZcAp::DocLockMode prev = doc->lockMode();
    ++doc->lockCount_;
    doc->lockMode_ = mode;
    notify([&](ZcApDocManagerReactor* r) { r->documentLockModeChanged(doc, prev, mode); });
    return eEdOk;
}

ZcEdStatus ZcApDocManager::unlockDocument(ZcApDocument* doc) {
    if (!isOpen(doc) || doc->lockCount_ == 0) return eEdNotApplicable;
    ZcAp::DocLockMode prev = doc->lockMode();
    --doc->lockCount_;
    ZcAp::DocLockMode now = doc->lockMode();
    notify([&](ZcApDocManagerReactor* r) { r->documentLockModeChanged(doc, prev, now); });
    return eEdOk;
}

ZcEdStatus ZcApDocManager::sendStringToExecute(ZcApDocument* doc, const char* str, bool activate, bool,
                                               bool) {
    if (!isOpen(doc) || !str) return eEdInvalidInput;
    if (activate && doc != current_) becomeCurrent(doc);
    host::queueCommandString(*doc, str);
    return eEdOk;
}

void ZcApDocManager::addReactor(ZcApDocManagerReactor* reactor) {
    if (reactor && std::find(reactors_.begin(), reactors_.end(), reactor) == reactors_.end())
        reactors_.push_back(reactor);
}

void ZcApDocManager::removeReactor(ZcApDocManagerReactor* reactor) {
    reactors_.erase(std::remove(reactors_.begin(), reactors_.end(), reactor), reactors_.end());
}

ZcApDocument* ZcApDocManager::createDocument(const std::string& path) {
    std::string name = path;
    // A new unnamed drawing takes the first free "DrawingN.dwg".
    for (int n = 1; name.empty(); ++n) {
        std::string candidate = "Drawing" + std::to_string(n) + ".dwg";
        if (!findDocument(candidate)) name = candidate;
    }
    docs_.push_back(std::make_unique<ZcApDocument>(name));
    ZcApDocument* doc = docs_.back().get();
    doc->titled_ = !path.empty();
    if (hooks().makeDb) doc->database_ = hooks().makeDb(*doc);
    notify([&](ZcApDocManagerReactor* r) { r->documentCreated(doc); });
    becomeCurrent(doc);
    if (hooks().load) hooks().load(*doc, true);
    return doc;
}

ZcEdStatus ZcApDocManager::closeDocument(ZcApDocument* doc) {
    if (!isOpen(doc)) return eEdInvalidInput;
    if (hooks().load) hooks().load(*doc, false);
    notify([&](ZcApDocManagerReactor* r) { r->documentToBeDestroyed(doc); });
    bool wasCurrent = doc == current_;
    if (wasCurrent) current_ = nullptr;
    auto it = std::find_if(docs_.begin(), docs_.end(), [&](const auto& d) { return d.get() == doc; });
    // A reactor told of the closing must not close the document itself.
    ZC_HOST_ASSERT(it != docs_.end());
    std::unique_ptr<ZcApDocument> owned = std::move(*it);
    docs_.erase(it);
    // What was still queued for the closed drawing (the rest of a script)
    // goes on in the drawing that becomes current.
    std::vector<host::InputToken> rest;
    while (auto t = owned->inputQueue().pop()) rest.push_back(std::move(*t));
    owned.reset();
    if (wasCurrent && !docs_.empty()) becomeCurrent(docs_.back().get());
    if (!rest.empty() && current_) current_->inputQueue().pushFront(rest);
    return eEdOk;
}

ZcApDocument* ZcApDocManager::findDocument(const std::string& name) const {
    for (const auto& d : docs_)
        if (host::iequals(d->title_, name) || host::iequals(d->path_, name)) return d.get();
    return nullptr;
}

bool ZcApDocManager::isOpen(const ZcApDocument* doc) const {
    return doc && std::any_of(docs_.begin(), docs_.end(), [&](const auto& d) { return d.get() == doc; });
}

template <class F>
void ZcApDocManager::notify(F f) {
    const host::Snapshot<ZcApDocManagerReactor> snapshot(reactors_);
    for (ZcApDocManagerReactor* r : snapshot)
        if (std::find(reactors_.begin(), reactors_.end(), r) != reactors_.end()) f(r);
}

void ZcApDocManager::becomeCurrent(ZcApDocument* doc) {
    ZC_HOST_ASSERT(isOpen(doc));
    current_ = doc;
    host::setSysVar("DWGNAME", host::SysVarValue{std::string(doc->title_)}, false);
    host::setSysVar("DWGPREFIX", host::SysVarValue{prefixOf(doc->path_)}, false);
    notify([&](ZcApDocManagerReactor* r) { r->documentBecameCurrent(doc); });
}

void ZcApDocManager::renameDocument(ZcApDocument* doc, const std::string& path) {
    if (!isOpen(doc) || path.empty()) return;
    doc->path_ = path;
    doc->title_ = titleOf(path);
    doc->titled_ = true;
    if (doc != current_) return;
    host::setSysVar("DWGNAME", host::SysVarValue{std::string(doc->title_)}, false);
    host::setSysVar("DWGPREFIX", host::SysVarValue{prefixOf(doc->path_)}, false);
}

namespace host {

void setDatabaseFactory(std::function<ZcDbDatabase*(ZcApDocument&)> make,
                        std::function<void(ZcDbDatabase*)> destroy) {
    hooks().makeDb = std::move(make);
    hooks().destroyDb = std::move(destroy);
}

void setDocumentLoadHook(std::function<void(ZcApDocument&, bool loaded)> hook) {
    hooks().load = std::move(hook);
}

InputQueue& currentInput() {
    ZcApDocManager* m = zcDocManagerPtr();
    if (!m->curDocument()) m->createDocument("");
    return m->curDocument()->inputQueue();
}

void resetDocuments() {
    ZcApDocManager* m = zcDocManagerPtr();
    while (m->documentCount() > 0) {
        auto it = m->newZcApDocumentIterator();
        m->closeDocument(it->document());
    }
}

}  // namespace host
