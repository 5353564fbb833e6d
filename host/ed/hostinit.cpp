// Start-up wiring: the database factory, the registry services, the module
// messages and the support folders.
#include "host/ed/hostinit.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/editor.h"
#include "host/ads/lisp.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/db/dxffile.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/ed/prompts.h"
#include "host/rx/rxdynlinker.h"
#include "host/ui/hostdialogs.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"

namespace {

// Commands work on the current document's drawing.
class WorkingDatabaseFollower : public ZcApDocManagerReactor {
public:
    void documentBecameCurrent(ZcApDocument* doc) override { zcdbSetCurDwg(doc ? doc->database() : nullptr); }
    void documentToBeDestroyed(ZcApDocument* doc) override {
        if (doc && zcdbCurDwg() == doc->database()) zcdbSetCurDwg(nullptr);
    }
};

struct HostState {
    bool started = false;
    host::HostOptions options;
    // A database read by openDrawing, waiting for the document the factory makes.
    std::unique_ptr<ZcDbDatabase> pendingDb;
    std::unique_ptr<host::MemorySysVarStore> pendingVars;
    WorkingDatabaseFollower follower;
    // Where a drawing was last saved since start-up, for the host program's
    // last line; empty while nothing was.
    std::string lastSaved;
    // The user's data folder, seeded from the shipped support folder; empty
    // when there is none (no home, or it cannot be made).
    std::string userData;
    // The shipped support folder as found at start; empty without a
    // program folder.
    std::string shipped;
    // The support path as made for the drawing of that name (all it is made
    // from but the options, which a new start forgets it with).
    std::string pathDrawing;
    host::SharedFolders path;
};

HostState& state() {
    // Never destroyed: documents closed at exit still call the factory's destroyer.
    static HostState* s = new HostState;
    return *s;
}

ZcDbDatabase* makeDatabase(ZcApDocument& doc) {
    HostState& s = state();
    if (s.pendingVars) doc.setSysVarStore(std::move(s.pendingVars));
    if (s.pendingDb) return s.pendingDb.release();
    return new ZcDbDatabase(true);
}

void destroyDatabase(ZcDbDatabase* db) {
    if (zcdbCurDwg() == db) zcdbSetCurDwg(nullptr);
    delete db;
}

void registerServices() {
    zcrxSysRegistry()->atPut("ZCAD_REGISTERED_COMMANDS", zcedRegCmds());
    zcrxSysRegistry()->atPut("ZcEditor", zcedEditor);
}

// The support folder the program ships: beside it, or, for a program run
// from its build tree, the source tree's that it was built from.
std::string shippedSupport(const std::string& programDir) {
    std::string root = programDir + "/support";
    if (!host::folderThisRound(root)) root = std::string(VELM_SOURCE_DIR) + "/support";
    return root;
}

// A folder that takes some files but not all (a full disk, a file-size
// limit): the files it lacks are read from the shipped folder and edits of
// them will fail, so which they are is said; the next start copies them.
void reportNotCopied(const std::string& user, const std::vector<host::NotCopied>& notCopied) {
    constexpr std::size_t kNamed = 10;
    std::string names;
    for (std::size_t i = 0; i < notCopied.size() && i < kNamed; ++i) {
        const std::string& path = notCopied[i].path;
        names += (i ? ", " : "") + (path.rfind(user + "/", 0) == 0 ? path.substr(user.size() + 1) : path);
    }
    if (notCopied.size() > kNamed) names += " i " + std::to_string(notCopied.size() - kNamed) + " innych";
    std::fprintf(
        stderr,
        "velmhost: do folderu danych użytkownika %s nie skopiowano %zu plików pomocniczych (%s): %s; "
        "ich zmian nie można zapisać\n",
        user.c_str(), notCopied.size(), notCopied.front().reason.c_str(), names.c_str());
}

// The shipped files are read where they are; what the module writes (its
// catalogues, wall types, blocks) goes to the user's data folder, which is
// searched before them. It starts as a copy of the shipped folder, and a
// shipped file it lacks is copied at every start; its own files are never
// replaced. The host's own files and the picture libraries (read only) stay
// in the shipped folder alone. A folder that cannot be made or written is
// said at once: the edits of support files will fail, and the shipped
// folder is never written in its place.
std::string seedUserData(const std::string& shipped) {
    const std::string user = host::userDataFolder();
    if (user.empty()) {
        std::fprintf(stderr,
                     "velmhost: brak folderu danych użytkownika (nie ustawiono HOME ani XDG_DATA_HOME): "
                     "zmian plików pomocniczych nie można zapisać\n");
        return {};
    }
    if (!host::folderExists(shipped)) return {};
    std::vector<host::NotCopied> notCopied;
    const bool made = host::copyMissing(shipped, user, {"host", "*.dll"}, &notCopied);
    if (const std::optional<std::string> why = host::folderUnwritable(user)) {
        std::fprintf(stderr,
                     "velmhost: nie można zapisywać w folderze danych użytkownika %s: %s; "
                     "zmian plików pomocniczych nie można zapisać\n",
                     user.c_str(), why->c_str());
    } else if (!notCopied.empty()) {
        reportNotCopied(user, notCopied);
    }
    // A folder that is there keeps serving what it holds, written or not.
    return made || host::folderExists(user) ? user : std::string();
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// FILEDIA 0: a file request becomes a prompt on the command line, as a
// user working from scripts expects; Enter takes the default name.
std::optional<int> askFileNameWhenDialogsAreOff(const zcui::FileRequest& request, std::string& path) {
    resbuf value;
    if (zcedGetVar("FILEDIA", &value) != RTNORM || value.restype != RTSHORT || value.resval.rint != 0)
        return std::nullopt;
    std::string prompt = "\n" + (request.title.empty() ? std::string("Nazwa pliku") : request.title);
    if (!request.defaultName.empty()) prompt += " <" + request.defaultName + ">";
    prompt += ": ";
    char answer[1024] = {};
    int status = zcedGetString(1, prompt.c_str(), answer, sizeof answer);
    if (status != RTNORM) return status == RTNONE ? RTCAN : status;
    path = answer[0] ? std::string(answer) : request.defaultName;
    if (path.empty()) return RTCAN;
    if (!request.extension.empty() && path.find('.', path.find_last_of("/\\") + 1) == std::string::npos)
        path += "." + request.extension;
    return RTNORM;
}

// The support path: the folders given, the user's, the shipped ones and
// the drawing's own. Whether each is there is left to the search, which
// asks only after the folders it reaches: a command that labels a room
// finds its dozen names in the first two.
std::vector<std::string> madeSupportPath(ZcApDocument* doc) {
    const host::HostOptions& o = state().options;
    std::vector<std::string> path = o.supportDirs;
    if (const std::string& user = state().userData; !user.empty())
        for (const char* sub : {"", "/tab"}) path.push_back(user + sub);
    if (const std::string& root = state().shipped; !root.empty())
        for (const char* sub : {"", "/host", "/tab"}) path.push_back(root + sub);
    if (doc) {
        std::string name = doc->fileName();
        if (name.find_first_of("/\\") != std::string::npos) path.push_back(folderOf(name));
    }
    return path;
}

}  // namespace

namespace host {

SharedFolders sharedSupportPath() {
    HostState& s = state();
    ZcApDocument* doc = zcDocManagerPtr()->curDocument();
    const char* drawing = doc ? doc->fileName() : "";
    if (s.path && s.pathDrawing == drawing) return s.path;
    s.path = std::make_shared<const std::vector<std::string>>(madeSupportPath(doc));
    s.pathDrawing = drawing;
    return s.path;
}

void startHost(const HostOptions& options) {
    HostState& s = state();
    s.options = options;
    s.path.reset();
    s.lastSaved.clear();
    s.shipped = options.programDir.empty() ? std::string() : shippedSupport(options.programDir);
    s.userData = s.shipped.empty() ? std::string() : seedUserData(s.shipped);
    // Only read: an edit of a file found there goes to the user's folder or fails.
    host::setProtectedFolders(s.shipped.empty() ? std::vector<std::string>{} : std::vector{s.shipped});
    // What the user named and the user's own folders hold is the user's;
    // only the drawing's folder is someone else's.
    std::vector<std::string> users = options.supportDirs;
    for (const std::string& root : {s.userData, s.shipped})
        if (!root.empty())
            for (const char* sub : {"", "/host", "/tab"}) users.push_back(root + sub);
    setUserFolders(users);
    if (!s.started) {
        s.started = true;
        registerServices();
        zcDocManagerPtr()->addReactor(&s.follower);
    }
    // The hooks again at every start: a test may have put its own in place.
    setDatabaseFactory(makeDatabase, destroyDatabase);
    setSharedSupportPathProvider(sharedSupportPath);
    if (ZcApDocument* doc = zcDocManagerPtr()->curDocument()) zcdbSetCurDwg(doc->database());
    setLispInvoker([]() -> int {
        // A module answers an error code when its function failed.
        const auto& modules = zcrxDynamicLinker->modules();
        if (modules.empty()) return RTERROR;
        int status = RTNORM;
        for (const auto& m : std::vector<ZcRxDynamicLinker::Module>(modules))
            if (zcrxDynamicLinker->sendTo(m.handle, 5) == ZcRx::kRetError) status = RTERROR;
        return status;
    });
    // LISP functions a module defines belong to the drawing being loaded.
    setLispScopeProvider([]() -> const void* { return zcDocManagerPtr()->curDocument(); });
    setDocumentLoadHook([](ZcApDocument& doc, bool loaded) {
        {
            LispScopeOverride scope(&doc);
            zcrxDynamicLinker->sendToAll(loaded ? 3 : 4);
        }
        if (!loaded) forgetLispScope(&doc);
    });
    zcui::SetFilePromptHook(askFileNameWhenDialogsAreOff);
}

void stopHost() {
    HostState& s = state();
    if (s.started) {
        zcDocManagerPtr()->removeReactor(&s.follower);
        zcrxSysRegistry()->remove("ZCAD_REGISTERED_COMMANDS");
        zcrxSysRegistry()->remove("ZcEditor");
    }
    s.started = false;
    s.options = {};
    s.path.reset();
    s.shipped.clear();
    s.userData.clear();
    host::setProtectedFolders({});
    s.pendingDb.reset();
    s.pendingVars.reset();
    setDatabaseFactory(nullptr, nullptr);
    setSupportPathProvider(nullptr);
    setSupportFolders({});
    setScriptFolder({});
    setUserFolders({});
    setLispInvoker(nullptr);
    setLispScopeProvider(nullptr);
    setDocumentLoadHook(nullptr);
    zcui::SetFilePromptHook(nullptr);
}

std::vector<std::string> supportPath() {
    std::vector<std::string> there;
    for (const std::string& folder : *sharedSupportPath())
        if (folderThisRound(folder)) there.push_back(folder);
    return there;
}

ZcApDocument* openDrawing(const std::string& path, std::string* error, FileOrigin origin) {
    HostState& s = state();
    if (!path.empty() && fileExists(path)) {
        DxfLoadResult r = loadDxf(path, origin);
        if (!r.db) {
            if (error) *error = r.error;
            return nullptr;
        }
        // What the drawing loses is the user's to know, apart from the command line.
        for (const std::string& n : r.notes) std::fprintf(stderr, "%s\n", n.c_str());
        // What was mended: nothing lost, said on the command line.
        for (const std::string& n : r.repairs) zcutPrintf("\n%s", n.c_str());
        s.pendingDb = std::move(r.db);
        s.pendingVars = std::move(r.vars);
    }
    ZcApDocument* doc = zcDocManagerPtr()->createDocument(path);
    s.pendingDb.reset();
    s.pendingVars.reset();
    return doc;
}

bool saveDrawing(ZcApDocument* doc, const std::string& path, std::string* error) {
    if (!doc || !doc->database()) {
        if (error) *error = "DXF: brak rysunku do zapisania";
        return false;
    }
    const bool saved = saveDxf(doc->database(), path, &doc->sysVars(), error);
    // What the save could not read (a hatch's pattern file) is said, saved or not.
    for (const std::string& note : takeNotesForCommandLine()) zcutPrintf("\n%s", note.c_str());
    if (!saved) return false;
    state().lastSaved = path;
    return true;
}

const std::string& lastSavedPath() {
    return state().lastSaved;
}

}  // namespace host
