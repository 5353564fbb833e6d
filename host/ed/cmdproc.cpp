// Running state is a stack of frames, one per running command (a
// transparent command pushes one on top of the command it interrupts), and a
// stack of argument frames, one per zcedCommand call in progress.
//
// A host command that a module command starts with zcedCommand and that
// still asks when its arguments run out waits for the module's next
// zcedCommand, as on the platform. It waits on a stack of its own: the
// command runs on a second thread that only ever runs while the module's
// thread waits for it, and the other way round, so the run stays one
// sequence of steps, as deterministic as a single thread.
#include "host/ed/cmdproc.h"

#include <condition_variable>
#include <cstdarg>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/editor.h"
#include "host/ads/lisp.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/ed/hostcmd_util.h"
#include "host/util/hostassert.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"

namespace host {
namespace {

struct HostCommandEntry {
    HostCommand handler;
    bool transparent = false;
};

struct CommandFrame {
    std::string name;
    bool cancelled = false;
    bool failed = false;
    bool module = false;
};

// An argument naming entities (a selection set or an entity name) stands
// in the items as a placeholder whose setOf entry indexes `sets`; when a
// prompt takes it, the set becomes the previous selection and the answer is
// "P", which the selection prompts read.
struct ArgFrame {
    std::vector<InputToken> items;
    std::vector<int> setOf;  // per item: index into sets, or -1
    std::vector<std::vector<ZcDbObjectId>> sets;
    size_t pos = 0;
    bool echo = true;
    bool lastFromArguments = false;  // the answer read last was one of the items
};

struct Pending {
    ZcApDocument* doc;
    std::vector<InputToken> tokens;
};

// A host command started by a module command's zcedCommand, with the
// arguments of that call and the calls after it. While the command waits
// for answers its thread is parked in nextPromptToken.
struct Continued {
    enum class Resume { Arguments, Cancel, User };
    ArgFrame frame;
    std::size_t depth = 0;  // running commands below the host command
    std::thread worker;
    std::thread::id workerId;
    std::mutex m;
    std::condition_variable cv;
    bool workerRuns = false;
    bool finished = false;
    int status = RTNORM;
    std::exception_ptr error;
    Resume resume = Resume::Arguments;
};

struct State {
    std::map<std::string, HostCommandEntry> hostCommands;
    std::map<std::string, HostCommandEntry> variableCommands;  // by variable name
    std::vector<CommandFrame> running;
    std::vector<ArgFrame*> args;
    std::vector<Pending> pending;
    bool ranOut = false;
    std::vector<std::string> leftOpen;
    std::string lastCommand;  // as typed at the command prompt, for Enter to repeat
    std::unique_ptr<Continued> continued;
    // A prompt of a quiet command whose module has yet to say whether its
    // next arguments or the user answer it.
    std::string heldPrompt;
    // While the reactors are told that a command ended with no command
    // left running: a failure they note makes that command's status
    // RTERROR (their update of the drawing after it failed).
    bool tellingEnd = false;
    bool failedAtEnd = false;
    // Steps as each outermost command starts and ends (commandRound).
    unsigned long long round = 0;
};

State& state() {
    static State s;
    // Installed on first use; the installers register through this state.
    static bool installed = false;
    if (!installed) {
        installed = true;
        installHostCommands();
    }
    return s;
}

// What a typed name resolves to.
struct Resolved {
    ZcEdCommand* module = nullptr;
    const HostCommandEntry* hostCmd = nullptr;
    std::string lispCommand;  // "c:NAME" defined as a LISP function
    std::string name;         // the global name, upper case
    bool transparent() const {
        return module ? module->isTransparent() : hostCmd ? hostCmd->transparent : false;
    }
    bool found() const { return module || hostCmd || !lispCommand.empty(); }
};

Resolved resolve(std::string typed);
int runResolved(const Resolved& r);
int runArgs(ArgFrame& frame);
InputToken waitForAnswers(Continued& c);
bool waitsForModule(const ArgFrame& f);
bool userAnswersNext(const ArgFrame& f);
void finishContinued(std::size_t depth);
void endContinued();
void flushPending();
std::vector<InputToken> splitCommandString(const std::string& text);
void setCmdNames();

}  // namespace

// A script goes on in the drawing its last command made current (NEW, OPEN,
// a switch of drawings), as it would on the host's command line.
void followCurrentDocument(ZcApDocument* before) {
    ZcApDocManager* dm = zcDocManagerPtr();
    ZcApDocument* now = dm->curDocument();
    if (!before || !now || now == before || !dm->isOpen(before)) return;
    std::vector<InputToken> rest;
    while (auto t = before->inputQueue().pop()) rest.push_back(std::move(*t));
    now->inputQueue().pushFront(rest);
}

// "!select x,y …": clicks at the command prompt. A point that does not
// read as x,y makes the line fail and leaves the set as it was.
static int selectLine(const std::string& args) {
    std::vector<ZcGePoint3d> points;
    std::string rest = ads_text::trim(args);
    while (!rest.empty()) {
        const size_t space = rest.find(' ');
        const std::string word = rest.substr(0, space);
        rest = space == std::string::npos ? std::string() : ads_text::trim(rest.substr(space));
        const size_t comma = word.find(',');
        if (comma == std::string::npos) return RTERROR;
        auto x = ads_text::parseReal(word.substr(0, comma));
        auto y = ads_text::parseReal(word.substr(comma + 1));
        if (!x || !y) return RTERROR;
        points.emplace_back(*x, *y, 0.0);
    }
    selectAtPoints(points);
    return RTNORM;
}

int processInput() {
    state().ranOut = false;
    int status = RTNORM;
    for (;;) {
        flushPending();
        InputQueue& q = currentInput();
        std::optional<InputToken> t = q.pop();
        if (!t && readMoreInput(q, true)) continue;
        if (!t) break;
        if (t->kind != InputToken::Text) continue;  // picks, cancels, breaks at the command prompt do nothing
        ZcApDocument* before = zcDocManagerPtr()->curDocument();
        int s = executeLine(t->text);
        followCurrentDocument(before);
        if (s == RTERROR || (s == RTCAN && status == RTNORM)) status = s;
    }
    return status;
}

int executeLine(const std::string& line) {
    std::string t = ads_text::trim(line);
    if (t.empty()) return RTNORM;
    if (t.rfind("!select", 0) == 0 && (t.size() == 7 || t[7] == ' ')) return selectLine(t.substr(7));
    if (t[0] == '!') return runDirective(t) ? RTNORM : RTERROR;
    if (t[0] == '(') return evaluateLispLine(t);
    if (t[0] == '\'') t.erase(0, 1);
    if (promptEchoOn()) {
        transcript().append("\nPolecenie: ");
        transcript().append(t);
    }
    Resolved r = resolve(t);
    if (!r.found()) {
        zcedEditor->notify([&](ZcEditorReactor* re) { re->unknownCommand(t.c_str()); });
        zcutPrintf("\nNieznane polecenie \"%s\".", ads_text::upper(t).c_str());
        return RTERROR;
    }
    state().lastCommand = t;
    int status = runResolved(r);
    flushPending();
    return status;
}

void registerHostCommand(const std::string& name, HostCommand handler, bool transparent) {
    state().hostCommands[ads_text::upper(name)] = {std::move(handler), transparent};
}

void reinstallHostCommands() {
    state().hostCommands.clear();
    installHostCommands();
}

bool unregisterHostCommand(const std::string& name) {
    return state().hostCommands.erase(ads_text::upper(name)) > 0;
}

bool registerCommandAlias(const std::string& alias, const std::string& target) {
    auto it = state().hostCommands.find(ads_text::upper(target));
    if (it == state().hostCommands.end()) return false;
    HostCommandEntry copy = it->second;
    state().hostCommands[ads_text::upper(alias)] = std::move(copy);
    return true;
}

bool isHostCommand(const std::string& name) {
    return state().hostCommands.count(ads_text::upper(name)) > 0;
}

std::vector<std::string> hostCommandNames() {
    std::vector<std::string> names;
    for (const auto& [name, entry] : state().hostCommands) names.push_back(name);
    return names;
}

InputToken nextUserToken() {
    InputQueue& q = currentInput();
    for (;;) {
        std::optional<InputToken> t = q.pop();
        if (!t && readMoreInput(q, false)) continue;
        if (!t) {
            state().ranOut = true;
            return {InputToken::Cancel, {}, {}};
        }
        if (t->kind == InputToken::Text && !t->text.empty() && t->text[0] == '!') {
            runDirective(t->text);
            continue;
        }
        return *t;
    }
}

InputToken nextPromptToken() {
    State& s = state();
    if (s.args.empty()) return nextUserToken();
    ArgFrame& f = *s.args.back();
    // The arguments ran out while the command still asks. Started by a
    // module command, it waits for that command's next zcedCommand (or its
    // end); otherwise it goes on with the user's answers, as typed after
    // the caller's own.
    f.lastFromArguments = false;
    if (waitsForModule(f)) {
        InputToken t = waitForAnswers(*s.continued);
        // The module's arguments answer it quietly; the user sees what he
        // answers.
        std::string held = std::move(s.heldPrompt);
        s.heldPrompt.clear();
        if (userAnswersNext(f) && t.kind != InputToken::Cancel) transcript().append(held);
        if (t.kind == InputToken::Cancel || f.pos >= f.items.size()) return t;
    }
    if (f.pos >= f.items.size()) return nextUserToken();
    size_t at = f.pos++;
    InputToken t = f.items[at];
    if (at < f.setOf.size() && f.setOf[at] >= 0) {
        f.lastFromArguments = true;
        setPreviousSelection(f.sets[static_cast<size_t>(f.setOf[at])]);
        return InputToken::makeText("P");
    }
    if (t.kind == InputToken::Text && t.text == PAUSE) return nextUserToken();
    f.lastFromArguments = true;
    return t;
}

bool runTransparentRequest(const std::string& token) {
    if (token.size() < 2 || token[0] != '\'') return false;
    std::string name = token.substr(1);
    Resolved r = resolve(name);
    if (!r.found()) {
        zcutPrintf("\nNieznane polecenie \"%s\".", ads_text::upper(name).c_str());
        return true;
    }
    if (!r.transparent()) {
        zcutPrintf("\nPolecenie %s nie może być użyte w sposób przezroczysty.", r.name.c_str());
        return true;
    }
    std::string resumed = currentCommandName();
    runResolved(r);
    if (!resumed.empty()) transcript().append("\nWznawianie polecenia " + resumed + ".");
    return true;
}

void noteCancelled() {
    if (!state().running.empty()) state().running.back().cancelled = true;
}

void noteFailed() {
    State& s = state();
    if (!s.running.empty())
        s.running.back().failed = true;
    else if (s.tellingEnd)
        s.failedAtEnd = true;
}

bool promptEchoOn() {
    const State& s = state();
    if (s.args.empty() || s.args.back()->echo) return true;
    // Once the arguments ran out the prompts are the user's, and shown; so
    // is a prompt the caller pauses at.
    return userAnswersNext(*s.args.back());
}

void echoPrompt(std::string_view text) {
    if (!promptEchoOn()) return;
    State& s = state();
    if (!s.args.empty() && waitsForModule(*s.args.back()))
        s.heldPrompt.append(text);
    else
        transcript().append(text);
}

bool answerEchoOn() {
    const State& s = state();
    if (s.args.empty() || s.args.back()->echo) return true;
    // The caller's last item is as quiet as the others; only the user's
    // own answers, once the items ran out, are shown.
    const ArgFrame& f = *s.args.back();
    return f.pos >= f.items.size() && !f.lastFromArguments;
}

bool inputRanOut() {
    return state().ranOut;
}

bool readingCommandArguments() {
    return !state().args.empty();
}

const std::vector<std::string>& objectsLeftOpen() {
    return state().leftOpen;
}

bool commandActive() {
    return !state().running.empty();
}

std::string currentCommandName() {
    return state().running.empty() ? std::string() : state().running.back().name;
}

void queueCommandString(ZcApDocument& doc, const std::string& text) {
    state().pending.push_back({&doc, splitCommandString(text)});
    if (!commandActive()) flushPending();
}

void resetCommandProcessor() {
    State& s = state();
    endContinued();
    s.running.clear();
    s.args.clear();
    s.pending.clear();
    s.ranOut = false;
    s.leftOpen.clear();
    s.lastCommand.clear();
    ++s.round;
    setCmdNames();
}

unsigned long long commandRound() {
    return state().round;
}

const std::string& lastCommandLine() {
    return state().lastCommand;
}

namespace {

Resolved resolve(std::string typed) {
    bool global = false, builtin = false;
    while (!typed.empty() && (typed[0] == '_' || typed[0] == '.')) {
        (typed[0] == '_' ? global : builtin) = true;
        typed.erase(0, 1);
    }
    Resolved r;
    r.name = ads_text::upper(typed);
    if (typed.empty()) return r;
    if (!builtin) {
        r.module = zcedRegCmds()->lookupCmd(typed.c_str(), global);
        if (r.module) {
            r.name = ads_text::upper(r.module->globalName());
            return r;
        }
    }
    auto it = state().hostCommands.find(r.name);
    if (it != state().hostCommands.end()) {
        r.hostCmd = &it->second;
        return r;
    }
    if (!builtin && lispFunctionDefined("c:" + typed)) {
        r.lispCommand = "c:" + typed;
        return r;
    }
    // A system variable's name: shows and sets it, in or out of a command.
    if (findSysVar(r.name)) {
        auto [entry, isNew] = state().variableCommands.try_emplace(r.name);
        if (isNew) {
            std::string name = r.name;
            entry->second = {[name] { return variableCommand(name); }, true};
        }
        r.hostCmd = &entry->second;
    }
    return r;
}

// An object left open cannot be opened for write again until closed, so
// whatever runs next would fail on it: said on the command line and kept.
void reportObjectsLeftOpen(const std::string& command) {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return;
    for (const ZcDbObject* o : db->objectsLeftOpen()) {
        std::string what = std::string(o->isA() ? o->isA()->name() : "?") + " " + o->handle().ascii();
        state().leftOpen.push_back(what + " after " + command);
        transcript().message("\nObiekt " + what + " pozostał otwarty po poleceniu " + command + ".");
    }
}

// The outermost command is one undo group, so "U" takes it back whole;
// the undo commands themselves stand outside.
bool groupsUndo(const std::string& name) {
    return name != "UNDO" && name != "U";
}

// Tells the reactors that a command ended: RTNORM, or RTERROR when one of
// them noted a failure while no command ran (a nested command's failure is
// its own).
int tellEnded(const char* name) {
    State& s = state();
    const bool outermost = s.running.empty();
    const bool telling = s.tellingEnd, failed = s.failedAtEnd;
    if (outermost) {
        s.tellingEnd = true;
        s.failedAtEnd = false;
    }
    zcedEditor->notify([&](ZcEditorReactor* re) { re->commandEnded(name); });
    const bool failedNow = outermost && s.failedAtEnd;
    s.tellingEnd = telling;
    s.failedAtEnd = failed;
    return failedNow ? RTERROR : RTNORM;
}

int runResolved(const Resolved& r) {
    State& s = state();
    ZcDbDatabase* db = s.running.empty() && groupsUndo(r.name) ? commandDatabase() : nullptr;
    ZcApDocument* doc = zcDocManagerPtr()->curDocument();
    const bool dbOfDoc = db && doc && doc->database() == db;
    if (db) db->beginUndoGroup();
    const std::size_t depth = s.running.size();
    if (depth == 0) {
        host::startCommandKeptFileValues();
        ++s.round;
    }
    s.running.push_back({r.name, false, false, r.module != nullptr});
    setCmdNames();
    // A copy: reactors and the handler may start nested commands, which
    // grow the frame stack under our feet.
    const std::string name = r.name;
    zcedEditor->notify([&](ZcEditorReactor* re) { re->commandWillStart(name.c_str()); });
    int status = RTNORM;
    if (r.module) {
        r.module->functionAddr()();
        finishContinued(depth + 1);
    } else if (r.hostCmd)
        status = r.hostCmd->handler();
    else
        status = invokeLispFunction(r.lispCommand, nullptr, false);
    // Nested commands end before the one that started them.
    ZC_HOST_ASSERT(s.running.size() == depth + 1);
    CommandFrame frame = s.running.back();
    s.running.pop_back();
    setCmdNames();
    // The command may have closed its document (and the database with it),
    // or made another one current: the group closes where it was opened.
    auto dbAlive = [&] {
        return db && (dbOfDoc ? zcDocManagerPtr()->isOpen(doc) && doc->database() == db : db == zcdbCurDwg());
    };
    const bool aliveAtEnd = dbAlive();
    // Commands that code runs with zcedCommand end while their caller may
    // rightly hold objects open: only a command typed (or scripted) is checked.
    if (s.running.empty() && s.args.empty()) reportObjectsLeftOpen(frame.name);
    const char* n = frame.name.c_str();
    int result = status == RTERROR || frame.failed    ? RTERROR
                 : frame.cancelled || status == RTCAN ? RTCAN
                                                      : RTNORM;
    // What the reactors change as the command ends belongs to its undo
    // group: one "U" takes back an erased door and the wall lines closed
    // over it together.
    // What the command worked out from support files serves the next one
    // while the files stay as they were; only what came from files too
    // young to vouch for is read afresh. Which files it read is forgotten.
    if (s.running.empty()) {
        ++s.round;
        host::forgetCommandKeptFileValues();
        host::forgetFilesAsRead();
        for (const std::string& note : host::takeNotesForCommandLine()) zcutPrintf("\n%s", note.c_str());
    }
    if (result == RTERROR)
        zcedEditor->notify([&](ZcEditorReactor* re) { re->commandFailed(n); });
    else if (result == RTCAN)
        zcedEditor->notify([&](ZcEditorReactor* re) { re->commandCancelled(n); });
    else
        result = tellEnded(n);
    if (aliveAtEnd && dbAlive()) {
        db->endUndoGroup();
        db->undoJournal().dropEmptyLastGroup();
    }
    return result;
}

int runArgs(ArgFrame& frame) {
    State& s = state();
    s.args.push_back(&frame);
    int status = RTNORM;
    while (frame.pos < frame.items.size()) {
        InputToken t = frame.items[frame.pos++];
        if (t.kind != InputToken::Text) continue;
        std::string name = ads_text::trim(t.text);
        if (name.empty()) continue;  // Enter at the command prompt
        if (name == PAUSE) {
            InputToken u = nextUserToken();
            if (u.kind != InputToken::Text) continue;
            name = ads_text::trim(u.text);
        }
        Resolved r = resolve(name);
        if (!r.found()) {
            zcutPrintf("\nNieznane polecenie \"%s\".", ads_text::upper(name).c_str());
            status = RTERROR;
            break;
        }
        if (frame.echo) transcript().append("\nPolecenie: " + name);
        int st = runResolved(r);
        if (st != RTNORM) {
            status = st;
            break;
        }
    }
    ZC_HOST_ASSERT(!s.args.empty() && s.args.back() == &frame);
    s.args.pop_back();
    return status;
}

// ------------------------------------------------ commands that wait

bool onWorkerThread() {
    const State& s = state();
    return s.continued && std::this_thread::get_id() == s.continued->workerId;
}

// Hands the turn to the waiting command and waits until it asks again or
// ends. Runs on the module's thread.
void runWorkerTurn(Continued& c) {
    std::unique_lock lock(c.m);
    c.workerRuns = true;
    c.cv.notify_all();
    c.cv.wait(lock, [&] { return !c.workerRuns; });
}

// The frame's arguments ran out, or the next one pauses for the user.
bool userAnswersNext(const ArgFrame& f) {
    if (f.pos >= f.items.size()) return true;
    const InputToken& next = f.items[f.pos];
    const bool set = f.pos < f.setOf.size() && f.setOf[f.pos] >= 0;
    return !set && next.kind == InputToken::Text && next.text == PAUSE;
}

// A quiet command's arguments ran out while its module still runs: the
// next answer is the module's to give, or the user's once it returns.
bool waitsForModule(const ArgFrame& f) {
    const State& s = state();
    return f.pos >= f.items.size() && s.continued && &f == &s.continued->frame &&
           std::this_thread::get_id() == s.continued->workerId;
}

// Parks the command's thread until the module answers, cancels or returns.
InputToken waitForAnswers(Continued& c) {
    if (c.resume == Continued::Resume::User) return nextUserToken();
    if (c.resume == Continued::Resume::Cancel) return {InputToken::Cancel, {}, {}};
    {
        std::unique_lock lock(c.m);
        c.workerRuns = false;
        c.cv.notify_all();
        c.cv.wait(lock, [&] { return c.workerRuns; });
    }
    if (c.resume == Continued::Resume::User) return nextUserToken();
    if (c.resume == Continued::Resume::Cancel) return {InputToken::Cancel, {}, {}};
    return InputToken::makeText("");
}

void startWorker(Continued& c, const Resolved& r) {
    c.finished = false;
    c.worker = std::thread([&c, r] {
        {
            std::unique_lock lock(c.m);
            c.cv.wait(lock, [&] { return c.workerRuns; });
        }
        try {
            c.status = runResolved(r);
        } catch (...) {
            c.error = std::current_exception();
            c.status = RTERROR;
        }
        std::lock_guard lock(c.m);
        c.finished = true;
        c.workerRuns = false;
        c.cv.notify_all();
    });
    c.workerId = c.worker.get_id();
}

// Runs the continued frame's commands from where it stands: the waiting
// command first, then any command names after its answers. RTNORM while a
// command still waits.
int driveContinued() {
    State& s = state();
    Continued& c = *s.continued;
    s.args.push_back(&c.frame);
    int status = RTNORM;
    bool resuming = c.worker.joinable();
    for (;;) {
        if (resuming) {
            runWorkerTurn(c);
            resuming = false;
            if (!c.finished) {
                ZC_HOST_ASSERT(!s.args.empty() && s.args.back() == &c.frame);
                s.args.pop_back();
                return RTNORM;
            }
            c.worker.join();
            if (c.error) {
                std::exception_ptr e = c.error;
                s.args.pop_back();
                s.continued.reset();
                std::rethrow_exception(e);
            }
            if (c.status != RTNORM) {
                status = c.resume == Continued::Resume::Cancel ? RTNORM : c.status;
                break;
            }
        }
        if (c.frame.pos >= c.frame.items.size()) break;
        InputToken t = c.frame.items[c.frame.pos++];
        if (t.kind != InputToken::Text) continue;
        std::string name = ads_text::trim(t.text);
        if (name.empty()) continue;
        if (name == PAUSE) {
            InputToken u = nextUserToken();
            if (u.kind != InputToken::Text) continue;
            name = ads_text::trim(u.text);
        }
        Resolved r = resolve(name);
        if (!r.found()) {
            zcutPrintf("\nNieznane polecenie \"%s\".", ads_text::upper(name).c_str());
            status = RTERROR;
            break;
        }
        if (c.frame.echo) transcript().append("\nPolecenie: " + name);
        c.resume = Continued::Resume::Arguments;
        startWorker(c, r);
        resuming = true;
    }
    ZC_HOST_ASSERT(!s.args.empty() && s.args.back() == &c.frame);
    s.args.pop_back();
    s.continued.reset();
    return status;
}

// A module's zcedCommand while a command it started waits: the arguments
// answer it; none cancels it.
int feedContinued(ArgFrame&& more) {
    Continued& c = *state().continued;
    if (more.items.empty()) {
        c.resume = Continued::Resume::Cancel;
    } else {
        const int offset = static_cast<int>(c.frame.sets.size());
        for (std::size_t i = 0; i < more.items.size(); ++i) {
            c.frame.items.push_back(std::move(more.items[i]));
            const int set = i < more.setOf.size() ? more.setOf[i] : -1;
            c.frame.setOf.push_back(set >= 0 ? set + offset : -1);
        }
        for (auto& set : more.sets) c.frame.sets.push_back(std::move(set));
        c.resume = Continued::Resume::Arguments;
    }
    return driveContinued();
}

// The module command at `depth` returned: what it left waiting takes the
// user's answers to its end.
void finishContinued(std::size_t depth) {
    State& s = state();
    if (!s.continued || s.continued->depth != depth || onWorkerThread()) return;
    s.continued->resume = Continued::Resume::User;
    driveContinued();
}

// A reset: a waiting command is cancelled to its end.
void endContinued() {
    State& s = state();
    if (!s.continued || onWorkerThread()) return;
    s.continued->resume = Continued::Resume::Cancel;
    try {
        driveContinued();
    } catch (...) {
        s.continued.reset();
    }
}

int runArgFrame(ArgFrame&& frame) {
    State& s = state();
    if (s.continued && !onWorkerThread()) return feedContinued(std::move(frame));
    // Only a module command's own calls wait for its next ones.
    if (s.continued || s.running.empty() || !s.running.back().module) return runArgs(frame);
    if (frame.items.empty()) return RTNORM;
    s.continued = std::make_unique<Continued>();
    s.continued->frame = std::move(frame);
    s.continued->depth = s.running.size();
    return driveContinued();
}

void flushPending() {
    State& s = state();
    if (!s.running.empty() || !s.args.empty()) return;
    while (!s.pending.empty()) {
        Pending p = std::move(s.pending.back());
        s.pending.pop_back();
        if (zcDocManagerPtr()->isOpen(p.doc)) p.doc->inputQueue().pushFront(p.tokens);
    }
}

std::vector<InputToken> splitCommandString(const std::string& text) {
    std::vector<InputToken> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(InputToken::parse(line));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return out;
}

void setCmdNames() {
    std::string names;
    for (const CommandFrame& f : state().running) names += (names.empty() ? "" : "'") + f.name;
    setSysVar("CMDNAMES", SysVarValue{names}, false);
}

std::string numberText(double v) {
    return ads_text::format("%.17g", v);
}

// Turns one argument of the host's argument list into an answer token.
std::optional<InputToken> argToken(const resbuf* rb) {
    switch (rb->restype) {
        case RTSTR:
            return InputToken::parse(rb->resval.rstring ? rb->resval.rstring : "");
        case RTREAL:
            return InputToken::makeText(numberText(rb->resval.rreal));
        case RTANG:
        case RTORINT:
            return InputToken::makeText(numberText(rb->resval.rreal) + "r");
        case RTSHORT:
            return InputToken::makeText(std::to_string(rb->resval.rint));
        case RTLONG:
            return InputToken::makeText(std::to_string(rb->resval.rlong));
        case RTPOINT:
            return InputToken::makeText(numberText(rb->resval.rpoint[0]) + "," +
                                        numberText(rb->resval.rpoint[1]));
        case RT3DPOINT:
            return InputToken::makeText(numberText(rb->resval.rpoint[0]) + "," +
                                        numberText(rb->resval.rpoint[1]) + "," +
                                        numberText(rb->resval.rpoint[2]));
        default:
            return std::nullopt;
    }
}

int runArgList(const resbuf* rbp) {
    ArgFrame frame;
    for (const resbuf* rb = rbp; rb; rb = rb->rbnext) {
        if (rb->restype == RTNONE) break;
        // (entity point): the entity picked at that point.
        if (rb->restype == RTLB) {
            const resbuf* e = rb->rbnext;
            const resbuf* p = e ? e->rbnext : nullptr;
            const resbuf* end = p ? p->rbnext : nullptr;
            if (!e || e->restype != RTENAME || !p || (p->restype != RTPOINT && p->restype != RT3DPOINT) ||
                !end || end->restype != RTLE)
                return RTREJ;
            frame.items.push_back(
                {InputToken::Pick, {}, ZcGePoint3d(p->resval.rpoint[0], p->resval.rpoint[1], 0)});
            frame.setOf.push_back(-1);
            rb = end;
            continue;
        }
        if (rb->restype == RTPICKS || rb->restype == RTENAME) {
            std::vector<ZcDbObjectId> ids;
            if (rb->restype == RTPICKS) {
                ids = selectionMembers(rb->resval.rlname);
            } else {
                ZcDbObjectId id;
                if (zcdbGetObjectId(id, rb->resval.rlname) != Zcad::eOk || id.isNull()) return RTREJ;
                ids.push_back(id);
            }
            frame.items.push_back(InputToken::makeText("P"));
            frame.setOf.push_back(static_cast<int>(frame.sets.size()));
            frame.sets.push_back(std::move(ids));
            continue;
        }
        std::optional<InputToken> t = argToken(rb);
        if (!t) return RTREJ;
        frame.items.push_back(*t);
        frame.setOf.push_back(-1);
    }
    frame.echo = sysVarShort("CMDECHO") != 0;
    return runArgFrame(std::move(frame));
}

}  // namespace
}  // namespace host

int zcedCommand(int rtype, ...) {
    va_list ap;
    va_start(ap, rtype);
    std::vector<resbuf> nodes;
    std::vector<std::string> strings;
    bool bad = false;
    for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(ap, int)) {
        resbuf rb;
        rb.restype = static_cast<short>(type);
        switch (type) {
            case RTSTR: {
                const char* s = va_arg(ap, const char*);
                strings.emplace_back(s ? s : "");
                break;
            }
            case RTREAL:
            case RTANG:
            case RTORINT:
                rb.resval.rreal = va_arg(ap, double);
                break;
            case RTSHORT:
                rb.resval.rint = static_cast<short>(va_arg(ap, int));
                break;
            case RTLONG:
                rb.resval.rlong = va_arg(ap, int);
                break;
            case RTENAME:
            case RTPICKS: {
                const std::int64_t* n = va_arg(ap, const std::int64_t*);
                rb.resval.rlname[0] = n ? n[0] : 0;
                rb.resval.rlname[1] = n ? n[1] : 0;
                break;
            }
            case RTLB:
            case RTLE:
                break;
            case RTPOINT:
            case RT3DPOINT: {
                const ads_real* p = va_arg(ap, const ads_real*);
                for (int i = 0; i < 3; ++i) rb.resval.rpoint[i] = p ? p[i] : 0.0;
                break;
            }
            default:
                bad = true;
                break;
        }
        if (bad) break;
        nodes.push_back(rb);
    }
    va_end(ap);
    if (bad) return RTREJ;
    // Strings are linked only now that the vector no longer moves.
    size_t si = 0;
    for (resbuf& rb : nodes)
        if (rb.restype == RTSTR) rb.resval.rstring = strings[si++].data();
    for (size_t i = 0; i + 1 < nodes.size(); ++i) nodes[i].rbnext = &nodes[i + 1];
    return host::runArgList(nodes.empty() ? nullptr : &nodes[0]);
}

int zcedCmd(const resbuf* rbp) {
    return host::runArgList(rbp);
}
