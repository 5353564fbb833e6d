// velmhost: the host program. Opens (or creates) a drawing, loads the
// module file, feeds a script or the keyboard to the command processor with
// the command line echoed to stdout, saves when asked (--save, or the
// script's QSAVE/SAVE/SAVEAS), says on its last line whether and where the
// drawing was saved, closes the drawing and unloads the module.
//
//   velmhost [DRAWING.dxf] [--script FILE.scr | -] [--save OUT.dxf]
//            [--support DIR]… [--registry FILE] [--module FILE]
//   velmhost --dialogs | --dialog ID     the module's dialogs, from its templates,
//                                        its property sheets and the host's dialogs
//   velmhost --help | -h                 the usage
//
// Exit status: 0 success; 1 a command failed, the script ended inside a
// command, an !expect line failed, a !dialog/!msgbox answer was never used
// or the drawing could not be saved (a failed script says why in one line
// on standard error); 2 bad usage or an unreadable file.
#include <editline/readline.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "host/ads/editor.h"
#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/inputqueue.h"
#include "host/ed/statusbar.h"
#include "host/harness/harness.h"
#include "host/rx/rxdynlinker.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/registry.h"

namespace {

struct Options {
    std::string drawing, script, save, registry, module;
    std::vector<std::string> support;
    bool keyboard = false;
    bool listDialogs = false;
    bool help = false;           // --help, -h
    std::optional<long> dialog;  // --dialog ID
};

const char* kUsage =
    "użycie: velmhost [RYSUNEK.dxf] [--script PLIK.scr | -] [--save WYNIK.dxf] [--support KATALOG]... "
    "[--registry PLIK] [--module PLIK]\n"
    "       velmhost --dialogs | --dialog ID\n"
    "       velmhost --help | -h";

int usage(const std::string& why) {
    std::fprintf(stderr, "velmhost: %s\n%s\n", why.c_str(), kUsage);
    return 2;
}

bool parseArgs(int argc, char** argv, Options& o, std::string& why) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                why = "brak wartości po " + a;
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (a == "--script") {
            if (!value(o.script)) return false;
            if (o.script == "-") o.keyboard = true, o.script.clear();
        } else if (a == "-") {
            o.keyboard = true;
        } else if (a == "--save") {
            if (!value(o.save)) return false;
            if (o.save.empty()) {
                why = "pusta nazwa pliku po --save";
                return false;
            }
        } else if (a == "--support") {
            std::string dir;
            if (!value(dir)) return false;
            o.support.push_back(dir);
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--dialogs") {
            o.listDialogs = true;
        } else if (a == "--dialog") {
            std::string id;
            if (!value(id)) return false;
            char* end = nullptr;
            long v = std::strtol(id.c_str(), &end, 10);
            if (id.empty() || *end != '\0' || v <= 0) {
                why = "--dialog: \"" + id + "\" nie jest numerem okna";
                return false;
            }
            o.dialog = v;
        } else if (a == "--registry") {
            if (!value(o.registry)) return false;
        } else if (a == "--module") {
            if (!value(o.module)) return false;
        } else if (a.rfind("--", 0) == 0) {
            why = "nieznana opcja " + a;
            return false;
        } else if (o.drawing.empty()) {
            o.drawing = a;
        } else {
            why = "za dużo rysunków: " + a;
            return false;
        }
    }
    return true;
}

std::string programDir(const char* argv0) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string(argv0);
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Queues script text: one answer per line, a line ended by LF, CR LF or a
// bare CR; a line whose first non-blank character is ';' is a comment and
// no answer at all.
void queueScript(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;
        std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == ';') continue;
        host::currentInput().pushLine(line);
    }
}

// Runs what is queued; 1 when a command failed or the input ran out inside one.
// What made a script fail besides its checks, for its last lines: the
// commands that failed or were unknown, by name, each once.
class ScriptFailures : public ZcEditorReactor {
public:
    void commandFailed(const char* command) override { note(std::string("błąd polecenia ") + command); }
    void unknownCommand(const char* command) override { note(std::string("nieznane polecenie ") + command); }
    void note(const std::string& why) {
        for (const std::string& known : reasons_)
            if (known == why) return;
        reasons_.push_back(why);
    }
    std::string summary() const {
        std::string text;
        for (const std::string& why : reasons_) text += (text.empty() ? "" : ", ") + why;
        return text;
    }

private:
    std::vector<std::string> reasons_;
};

int runQueued() {
    int rc = host::processInput();
    return rc == RTERROR || host::inputRanOut() ? 1 : 0;
}

namespace keyboard {

bool cancelled = false;
// Ctrl-C: the signal only marks the line as cancelled; the key reader,
// whose read it interrupts, hands it to the editor as a key.
volatile std::sig_atomic_t interrupted = 0;

// Escape and Ctrl-C: the line being typed is dropped and the prompt that
// waits is cancelled, as Escape does on the host's command line.
int cancelLine(int, int) {
    cancelled = true;
    rl_done = 1;
    return 0;
}

// The line the transcript's echo left open: the prompt that waits.
std::string waitingPrompt() {
    const std::string& text = host::transcript().text();
    std::size_t end = text.find_last_of('\n');
    return end == std::string::npos ? text : text.substr(end + 1);
}

// One line from the terminal, edited and kept in the history, for the
// command prompt or for the prompt of a command.
bool readTyped(host::InputQueue& queue, bool atCommandPrompt) {
    std::string prompt = atCommandPrompt ? "Polecenie: " : waitingPrompt();
    // The line editor shows the prompt itself, so that it can redraw it.
    std::fputs(atCommandPrompt ? "\n" : "\r\033[K", stdout);
    std::fflush(stdout);
    cancelled = false;
    rl_done = 0;
    char* typed = readline(prompt.c_str());
    std::string line = typed ? typed : "";
    std::free(typed);
    if (!typed || cancelled) {
        std::fputs("\n", stdout);
        host::transcript().shownOnScreen("");
        if (atCommandPrompt) return cancelled;  // Ctrl-D at the command prompt ends the session
        queue.pushCancel();
        return true;
    }
    // The history as a shell keeps it: a line repeated is kept once.
    HIST_ENTRY* last = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
    if (!line.empty() && (!last || line != last->line)) add_history(line.c_str());
    host::transcript().shownOnScreen(atCommandPrompt ? "\nPolecenie: " + line : line);
    std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == ';') return true;  // a comment
    // Enter at an empty command prompt repeats the last command, as on the
    // platform's command line (a script's empty line stays an empty answer:
    // scripts are written for that). The screen shows the name on the next
    // line, where the command's echo puts it.
    if (atCommandPrompt && first == std::string::npos && !host::lastCommandLine().empty()) {
        queue.pushLine(host::lastCommandLine());
        return true;
    }
    queue.pushLine(line);
    return true;
}

void onInterrupt(int) {
    interrupted = 1;
}

constexpr int kCtrlC = 3;
constexpr int kCtrlD = 4;
constexpr int kEscape = 0x1b;

// One byte of the terminal, -1 at its end. Ctrl-C comes back as its key,
// also when it was typed while a command ran and the terminal was in its
// line mode: then only its signal is left, and it cancels the next prompt.
// The signal is let in only while waiting, so that one arriving just
// before the wait is not missed.
int readByte(int fd) {
    sigset_t interrupt, others;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    for (;;) {
        sigprocmask(SIG_BLOCK, &interrupt, &others);
        pollfd p = {fd, POLLIN, 0};
        const int ready = interrupted ? 0 : ::ppoll(&p, 1, nullptr, &others);
        const bool cancel = interrupted;
        interrupted = 0;
        sigprocmask(SIG_SETMASK, &others, nullptr);
        if (cancel) return kCtrlC;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        unsigned char byte = 0;
        ssize_t n = ::read(fd, &byte, 1);
        if (n == 1) return byte;
        if (n < 0 && errno == EINTR) continue;
        return -1;
    }
}

bool moreWithin(int fd, int milliseconds) {
    pollfd p = {fd, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) > 0;
}

// The editor's key reader hands over whole characters: a Polish letter
// typed arrives as its UTF-8 bytes and is given as one code point. Escape
// alone cancels like Ctrl-C; the Escape that starts a longer key (an arrow)
// is followed at once by the rest of it and goes to the editor.
int readKey(FILE* stream) {
    const int fd = fileno(stream);
    const int first = readByte(fd);
    // A Ctrl-D typed on an empty line while a command ran, when the editor
    // had handed the terminal back to its line mode, waits there as a NUL.
    if (first == 0) return kCtrlD;
    if (first == kEscape) return moreWithin(fd, 50) ? kEscape : kCtrlC;
    if (first < 0xC0 || first > 0xF4) return first;
    const int continuations = first < 0xE0 ? 1 : first < 0xF0 ? 2 : 3;
    int code = first & (0x3F >> continuations);
    for (int i = 0; i < continuations; ++i) {
        const int next = readByte(fd);
        if (next < 0 || (next & 0xC0) != 0x80) return next < 0 ? next : '?';
        code = (code << 6) | (next & 0x3F);
    }
    return code;
}

}  // namespace keyboard

int runKeyboard() {
    if (!isatty(0)) {
        // Piped keyboard input runs as one script.
        std::string pending;
        for (std::string line; std::getline(std::cin, line);) pending += line + "\n";
        queueScript(pending);
        return runQueued();
    }
    // The editor measures the Polish prompts in the terminal's characters;
    // numbers keep their '.' whatever the locale.
    std::setlocale(LC_CTYPE, "");
    rl_readline_name = "velmhost";
    rl_catch_signals = 0;
    rl_getc_function = keyboard::readKey;
    rl_initialize();
    rl_add_defun("velm-cancel", keyboard::cancelLine, keyboard::kCtrlC);
    struct sigaction interrupt = {};
    interrupt.sa_handler = keyboard::onInterrupt;
    sigemptyset(&interrupt.sa_mask);
    sigaction(SIGINT, &interrupt, nullptr);
    using_history();
    host::setInputSource(keyboard::readTyped);
    int status = runQueued();
    host::setInputSource(nullptr);
    return status;
}

// "--dialogs" and "--dialog ID": what a script needs to answer a dialog:
// the module's, read from the templates the loaded module registered, its
// property sheets with their pages, and the host's own (colour and file
// dialogs), which scripts may also name by word.
const char* hostDialogWord(UINT id) {
    switch (id) {
        case zcui::kColorDialogId:
            return "color";
        case zcui::kTrueColorDialogId:
            return "truecolor";
        case zcui::kRgbDialogId:
            return "rgb";
        case zcui::kFileDialogId:
            return "file";
        default:
            return nullptr;
    }
}

std::string sheetCaption(const ResourceModule& module, UINT id) {
    auto it = module.strings.find(id);
    return it == module.strings.end() ? std::string() : it->second;
}

// A sheet's pages: "0 = 147, 1 = 262, …".
std::string sheetPages(const std::vector<UINT>& pages) {
    std::string out;
    for (std::size_t i = 0; i < pages.size(); ++i)
        out += (i ? ", " : "") + std::to_string(i) + " = " + std::to_string(pages[i]);
    return out;
}

const DialogTemplate* findTemplate(const std::vector<HINSTANCE>& modules, UINT id) {
    for (HINSTANCE module : modules)
        if (auto it = module->dialogs.find(id); it != module->dialogs.end()) return &it->second;
    return nullptr;
}

int listDialogs(const Options& o) {
    const std::vector<HINSTANCE> modules = zcuiRegisteredResources();
    const HINSTANCE hostResources = zcuiHostResources();
    if (o.dialog) {
        const UINT id = static_cast<UINT>(*o.dialog);
        for (HINSTANCE module : modules) {
            auto sheet = module->sheets.find(id);
            if (sheet == module->sheets.end()) continue;
            std::printf("%u \"%s\"  arkusz właściwości: \"page N\" wybiera stronę; apply, ok, cancel\n", id,
                        sheetCaption(*module, id).c_str());
            for (std::size_t i = 0; i < sheet->second.size(); ++i) {
                std::printf("page %zu: ", i);
                const DialogTemplate* page = findTemplate(modules, sheet->second[i]);
                if (page)
                    std::fputs(zcui::DescribeDialogTemplate(*page).c_str(), stdout);
                else
                    std::printf("%u (brak szablonu)\n", sheet->second[i]);
            }
            return 0;
        }
        if (const DialogTemplate* dialog = findTemplate(modules, id)) {
            std::fputs(zcui::DescribeDialogTemplate(*dialog).c_str(), stdout);
            return 0;
        }
        if (auto it = hostResources->dialogs.find(id); it != hostResources->dialogs.end()) {
            std::fputs(zcui::DescribeDialogTemplate(it->second).c_str(), stdout);
            return 0;
        }
        std::fprintf(stderr, "velmhost: ani moduł, ani program nie ma okna %ld\n", *o.dialog);
        return 2;
    }
    for (HINSTANCE module : modules)
        for (const auto& [id, dialog] : module->dialogs)
            std::printf("%u \"%s\"\n", id, dialog.caption.c_str());
    for (HINSTANCE module : modules)
        for (const auto& [id, pages] : module->sheets)
            std::printf("%u \"%s\"  arkusz, strony: %s\n", id, sheetCaption(*module, id).c_str(),
                        sheetPages(pages).c_str());
    for (const auto& [id, dialog] : hostResources->dialogs) {
        const char* word = hostDialogWord(id);
        std::printf("%u \"%s\"  okno programu%s%s\n", id, dialog.caption.c_str(), word ? ": !dialog " : "",
                    word ? word : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit (a shell's "ulimit -f") stops a write part way: the
    // write then fails with EFBIG and is told as any failed write, where the
    // signal's default would end the program there without a word, the
    // transcript's end and the edit lost and a temporary file left.
    std::signal(SIGXFSZ, SIG_IGN);
    Options o;
    std::string why;
    if (!parseArgs(argc, argv, o, why)) return usage(why);
    if (o.help) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    std::string dir = programDir(argv[0]);
    if (o.module.empty()) o.module = dir + "/velmlt18.zrx";

    std::string scriptText;
    // The files named here are the user's: a pipe or "/dev/null" is read too.
    if (!o.script.empty() &&
        !host::readWholeFile(o.script, scriptText, &why, host::kMaxSupportFileBytes, host::FileOrigin::User))
        return usage("nie można odczytać skryptu " + o.script + (why.empty() ? "" : ": " + why));
    if (!o.registry.empty()) host::setRegistryFile(o.registry);

    // Written to a file or a pipe, a script's echo goes out in large blocks.
    if (!isatty(1)) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    host::startHost({o.support, dir});
    host::installScriptDirectives();
    // The files a script names are found beside it first (a script from a
    // pipe has nothing beside it).
    if (!o.script.empty() && host::fileIsRegular(o.script)) {
        std::size_t slash = o.script.find_last_of('/');
        host::setScriptFolder(slash == std::string::npos ? "." : o.script.substr(0, slash + 1));
    }
    // A listing of dialogs shows only the listing.
    const bool listing = o.listDialogs || o.dialog;
    host::transcript().setEcho(!listing);
    host::setStatusBarEcho(!listing);
    host::resetDocuments();
    // The module first: its classes must be known when the drawing's
    // objects are read. Opening the drawing then sends it 3.
    if (!zcrxDynamicLinker->loadModule(o.module, &why)) {
        std::fprintf(stderr, "velmhost: nie można wczytać modułu %s: %s\n", o.module.c_str(), why.c_str());
        return 2;
    }
    if (listing) {
        int listed = listDialogs(o);
        zcrxDynamicLinker->unloadModule(o.module);
        return listed;
    }
    ZcApDocument* drawing = host::openDrawing(o.drawing, &why, host::FileOrigin::User);
    if (!drawing) {
        std::fprintf(stderr, "velmhost: %s\n", why.c_str());
        zcrxDynamicLinker->unloadModule(o.module);
        return 2;
    }
    // A new drawing is named by the file it will be saved as, as a save
    // under a name would name it: the exports propose that name and _QSAVE
    // writes there. A file already there is not read: the drawing is new.
    if (o.drawing.empty() && !o.save.empty()) zcDocManagerPtr()->renameDocument(drawing, o.save);

    ScriptFailures failures;
    zcedEditor->addReactor(&failures);
    int status = 0;
    if (!o.script.empty()) {
        queueScript(scriptText);
        status = runQueued();
        std::fflush(stdout);
    } else if (o.keyboard || isatty(0)) {
        status = runKeyboard();
    }
    if (status != 0 && host::inputRanOut()) failures.note("skrypt skończył się w trakcie polecenia");
    if (host::reportUnusedAnswers() > 0) status = 1, failures.note("odpowiedź nieużyta");
    if (zcui::FailedAnswers() > 0) status = 1, failures.note("odpowiedź w oknie niewykonana");
    if (host::expectationFailures() > 0) status = 1;
    // A script's checks summed up in one line, so a reader sees at the end
    // whether the drawing is what the script says it is.
    // A script that failed elsewhere never reads as a success: the line
    // says what failed beside the checks that held.
    if (const int checked = host::expectationsChecked(); checked > 0) {
        const int failed = host::expectationFailures();
        if (failed > 0)
            host::transcript().append("\nSprawdzenia !expect: niespełnione " + std::to_string(failed) +
                                      " z " + std::to_string(checked));
        else if (status == 0)
            host::transcript().append("\nSprawdzenia !expect: wszystkie spełnione (" +
                                      std::to_string(checked) + ")");
        else
            host::transcript().append("\nSprawdzenia !expect: spełnione (" + std::to_string(checked) +
                                      "), ale skrypt nie powiódł się: " + failures.summary());
    }
    zcedEditor->removeReactor(&failures);
    // The transcript says what failed where it failed; standard error says
    // in one line that the run failed and why, for whoever reads only that.
    std::string failedWhy;
    if (status != 0) {
        if (host::expectationFailures() > 0) failures.note("niespełnione sprawdzenia !expect");
        failedWhy = failures.summary().empty() ? "błąd polecenia" : failures.summary();
    }

    // The drawing is saved while the module that owns its custom objects is
    // still loaded, and closed (message 4) before the module goes (message
    // 2): no object of the drawing outlives the code that files it. Only
    // --save or the script's own save commands write a file: a script that
    // only looked, or failed, leaves the drawing it opened as it was.
    int saveFailed = 0;
    if (!o.save.empty()) {
        if (!zcDocManagerPtr()->isOpen(drawing)) drawing = zcDocManagerPtr()->curDocument();
        if (!host::saveDrawing(drawing, o.save, &why)) {
            std::fflush(stdout);
            std::fprintf(stderr, "velmhost: %s\n", why.c_str());
            saveFailed = 1;
        }
    }
    const std::string& saved = host::lastSavedPath();
    if (saved.empty())
        std::printf("\nRysunku nie zapisano.");
    else
        std::printf("\nRysunek zapisano w pliku %s.", saved.c_str());
    host::resetDocuments();
    zcrxDynamicLinker->unloadModule(o.module);
    host::removeTemporaryFolder();
    std::fputs("\n", stdout);
    if (!failedWhy.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "velmhost: skrypt nie powiódł się: %s\n", failedWhy.c_str());
    }
    return saveFailed ? saveFailed : status;
}
