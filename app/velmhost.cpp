// velmhost: the host program. Opens (or creates) a drawing, loads the
// module file, feeds a script or the keyboard to the command processor with
// the command line echoed to stdout, saves when asked (--save, or the
// script's QSAVE/SAVE/SAVEAS), says on its last line whether and where the
// drawing was saved, closes the drawing and unloads the module.
//
//   velmhost [DRAWING.dxf] [--script FILE.scr | -] [--save OUT.dxf]
//            [--support DIR]… [--registry FILE] [--module FILE]
//
// Exit status: 0 success; 1 a command failed, the script ended inside a
// command, an !expect line failed or a !dialog/!msgbox answer was never
// used; 2 bad usage, an unreadable file or a drawing that cannot be saved.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/statusbar.h"
#include "host/harness/harness.h"
#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"
#include "host/win/files.h"
#include "host/win/registry.h"

namespace {

struct Options {
    std::string drawing, script, save, registry, module;
    std::vector<std::string> support;
    bool keyboard = false;
};

const char* kUsage =
    "użycie: velmhost [RYSUNEK.dxf] [--script PLIK.scr | -] [--save WYNIK.dxf] [--support KATALOG]... "
    "[--registry PLIK] [--module PLIK]";

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
int runQueued() {
    int rc = host::processInput();
    return rc == RTERROR || host::inputRanOut() ? 1 : 0;
}

int runKeyboard() {
    int status = 0;
    bool tty = isatty(0);
    if (tty) std::fputs("\nPolecenie: ", stdout);
    std::string pending;
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!tty) {
            pending += line + "\n";
            continue;
        }
        queueScript(line + "\n");
        status |= runQueued();
        std::fputs("\nPolecenie: ", stdout);
        std::fflush(stdout);
    }
    if (!tty) {
        queueScript(pending);
        status |= runQueued();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string why;
    if (!parseArgs(argc, argv, o, why)) return usage(why);
    std::string dir = programDir(argv[0]);
    if (o.module.empty()) o.module = dir + "/velmlt18.zrx";

    std::string scriptText;
    if (!o.script.empty() && !host::readWholeFile(o.script, scriptText, &why))
        return usage("nie można odczytać skryptu " + o.script + (why.empty() ? "" : ": " + why));
    if (!o.registry.empty()) host::setRegistryFile(o.registry);

    // Written to a file or a pipe, a script's echo goes out in large blocks.
    if (!isatty(1)) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    host::startHost({o.support, dir});
    host::installScriptDirectives();
    host::transcript().setEcho(true);
    host::setStatusBarEcho(true);
    host::resetDocuments();
    // The module first: its classes must be known when the drawing's
    // objects are read. Opening the drawing then sends it 3.
    if (!zcrxDynamicLinker->loadModule(o.module, &why)) {
        std::fprintf(stderr, "velmhost: nie można wczytać modułu %s: %s\n", o.module.c_str(), why.c_str());
        return 2;
    }
    ZcApDocument* drawing = host::openDrawing(o.drawing, &why);
    if (!drawing) {
        std::fprintf(stderr, "velmhost: %s\n", why.c_str());
        zcrxDynamicLinker->unloadModule(o.module);
        return 2;
    }

    int status = 0;
    if (!o.script.empty()) {
        queueScript(scriptText);
        status = runQueued();
        std::fflush(stdout);
    } else if (o.keyboard || isatty(0)) {
        status = runKeyboard();
    }
    if (host::reportUnusedAnswers() > 0) status = 1;
    if (host::expectationFailures() > 0) status = 1;

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
            saveFailed = 2;
        }
    }
    const std::string& saved = host::lastSavedPath();
    if (saved.empty())
        std::printf("\nRysunku nie zapisano.");
    else
        std::printf("\nRysunek zapisano w pliku %s.", saved.c_str());
    host::resetDocuments();
    zcrxDynamicLinker->unloadModule(o.module);
    std::fputs("\n", stdout);
    return saveFailed ? saveFailed : status;
}
