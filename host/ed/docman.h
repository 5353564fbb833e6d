// Documents and the document manager. Each open drawing is a ZcApDocument
// with its file path, its input queue, its drawing system variables and its
// database; one of them is current. The database is made and destroyed
// through a factory the drawing database installs, so this unit needs only
// a forward declaration of it.
//
// Notification order: creating a document fires documentCreated, then (as
// it becomes current) documentBecameCurrent, then the load hook (the runtime
// sends the drawing-load message to the modules there). Closing fires the
// unload hook, then documentToBeDestroyed; when the closed document was
// current the most recently opened remaining one becomes current.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/ads/sysvars.h"
#include "host/ed/edstatus.h"
#include "host/ed/inputqueue.h"

class ZcDbDatabase;

namespace ZcAp {
enum DocLockMode : int {
    kNone = 0x00,
    kAutoWrite = 0x01,
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};
}

class ZcApDocument {
public:
    explicit ZcApDocument(std::string path);
    ~ZcApDocument();
    ZcApDocument(const ZcApDocument&) = delete;
    ZcApDocument& operator=(const ZcApDocument&) = delete;

    const char* fileName() const { return path_.c_str(); }
    const char* docTitle() const { return title_.c_str(); }
    // Whether the drawing has a file of its own: opened or saved under a
    // name. A new drawing is "DrawingN.dwg" until then.
    bool isTitled() const { return titled_; }
    ZcDbDatabase* database() const { return database_; }
    ZcAp::DocLockMode lockMode() const { return lockCount_ > 0 ? lockMode_ : ZcAp::kNotLocked; }
    int lockCount() const { return lockCount_; }

    host::InputQueue& inputQueue() { return queue_; }
    // The drawing system variables; the drawing database may put its own
    // store in (one that reads and writes its header) when it is created.
    host::SysVarStore& sysVars() { return *sysVars_; }
    void setSysVarStore(std::unique_ptr<host::SysVarStore> store);

private:
    friend class ZcApDocManager;
    std::string path_;
    std::string title_;
    bool titled_ = false;
    ZcDbDatabase* database_ = nullptr;
    ZcAp::DocLockMode lockMode_ = ZcAp::kNotLocked;
    int lockCount_ = 0;
    host::InputQueue queue_;
    std::unique_ptr<host::SysVarStore> sysVars_;
};

class ZcApDocManagerReactor {
public:
    virtual ~ZcApDocManagerReactor() = default;
    virtual void documentCreated(ZcApDocument* doc) { (void)doc; }
    virtual void documentToBeDestroyed(ZcApDocument* doc) { (void)doc; }
    virtual void documentBecameCurrent(ZcApDocument* doc) { (void)doc; }
    virtual void documentLockModeChanged(ZcApDocument* doc, ZcAp::DocLockMode myPrevMode,
                                         ZcAp::DocLockMode myCurMode) {
        (void)doc;
        (void)myPrevMode;
        (void)myCurMode;
    }
};

class ZcApDocumentIterator {
public:
    explicit ZcApDocumentIterator(std::vector<ZcApDocument*> docs) : docs_(std::move(docs)) {}
    bool done() const { return pos_ >= docs_.size(); }
    void step() { ++pos_; }
    ZcApDocument* document() const { return done() ? nullptr : docs_[pos_]; }

private:
    std::vector<ZcApDocument*> docs_;
    size_t pos_ = 0;
};

class ZcApDocManager {
public:
    ZcApDocument* curDocument() const { return current_; }
    ZcApDocument* mdiActiveDocument() const { return current_; }
    int documentCount() const { return static_cast<int>(docs_.size()); }
    std::unique_ptr<ZcApDocumentIterator> newZcApDocumentIterator() const;

    ZcEdStatus setCurDocument(ZcApDocument* doc, ZcAp::DocLockMode mode = ZcAp::kNone, bool activate = false);
    ZcEdStatus activateDocument(ZcApDocument* doc) { return setCurDocument(doc, ZcAp::kNone, true); }
    ZcEdStatus lockDocument(ZcApDocument* doc, ZcAp::DocLockMode mode = ZcAp::kWrite,
                            const char* globalCmdName = nullptr, const char* localCmdName = nullptr,
                            bool prompt = true);
    ZcEdStatus unlockDocument(ZcApDocument* doc);

    // Queues a command string on the document: it runs after the command
    // that is running returns (at once when none is). Lines end at '\n'.
    ZcEdStatus sendStringToExecute(ZcApDocument* doc, const char* str, bool activate = true,
                                   bool bWrapUpInactiveDoc = false, bool bEchoString = true);

    void addReactor(ZcApDocManagerReactor* reactor);
    void removeReactor(ZcApDocManagerReactor* reactor);

    // The host's own operations: open (or create) a drawing and make it
    // current; close one.
    ZcApDocument* createDocument(const std::string& path);
    ZcEdStatus closeDocument(ZcApDocument* doc);
    // The document takes the file `path` as its own (a save under a new
    // name): its name, DWGNAME and DWGPREFIX, and the support path follow.
    void renameDocument(ZcApDocument* doc, const std::string& path);
    // The open document whose title or path equals name (ignoring case).
    ZcApDocument* findDocument(const std::string& name) const;
    bool isOpen(const ZcApDocument* doc) const;

private:
    template <class F>
    void notify(F f);
    void becomeCurrent(ZcApDocument* doc);

    std::vector<std::unique_ptr<ZcApDocument>> docs_;
    ZcApDocument* current_ = nullptr;
    std::vector<ZcApDocManagerReactor*> reactors_;
};

ZcApDocManager* zcDocManagerPtr();
#define zcDocManager zcDocManagerPtr()
inline ZcApDocument* curDoc() {
    return zcDocManagerPtr()->curDocument();
}

namespace host {

// Makes and destroys a document's database (installed by the drawing
// database); without it a document has no database.
void setDatabaseFactory(std::function<ZcDbDatabase*(ZcApDocument&)> make,
                        std::function<void(ZcDbDatabase*)> destroy);
// Called after a document is opened and made current (loaded = true) and
// before it is closed (false): the runtime sends messages 3 and 4 there.
void setDocumentLoadHook(std::function<void(ZcApDocument&, bool loaded)> hook);

// The current document's queue; a document is created when none is open.
InputQueue& currentInput();

// Closes every document (no notifications skipped) and clears the hooks'
// effects on the editor: a fresh editor for the next test.
void resetDocuments();

}  // namespace host
