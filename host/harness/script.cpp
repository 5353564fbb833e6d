// The host program's own script lines: switching drawings, answering
// dialogs and message boxes, and the checks a script makes of the drawing.
// Counting hands the filter to the classic interface's "X" selection.
#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/ed/docman.h"
#include "host/ed/statusbar.h"
#include "host/harness/harness.h"
#include "host/rx/rxdynlinker.h"
#include "host/ui/driver.h"
#include "host/util/adscodes.h"
#include "host/win/textutil.h"

namespace {

int& failures() {
    static int n = 0;
    return n;
}

int& checksRun() {
    static int n = 0;
    return n;
}

std::function<std::optional<std::string>(const std::string&)>& settingLookup() {
    static std::function<std::optional<std::string>(const std::string&)> f;
    return f;
}

// A loaded module answers `!expect setting` through the text function it
// exports; the first module that knows the name wins.
std::optional<std::string> settingFromModules(const std::string& name) {
    using SettingText = int (*)(const char*, char*, std::size_t);
    // A program linked with the module's code (the tests) exports it itself.
    std::vector<void*> handles{RTLD_DEFAULT};
    for (const ZcRxDynamicLinker::Module& module : zcrxDynamicLinker->modules())
        handles.push_back(module.handle);
    for (void* handle : handles) {
        auto text = reinterpret_cast<SettingText>(dlsym(handle, "velmSettingText"));
        if (!text) continue;
        char small[256];
        const int length = text(name.c_str(), small, sizeof small);
        if (length < 0) continue;
        if (static_cast<std::size_t>(length) < sizeof small) return std::string(small, length);
        std::string whole(static_cast<std::size_t>(length) + 1, '\0');
        text(name.c_str(), whole.data(), whole.size());
        whole.resize(static_cast<std::size_t>(length));
        return whole;
    }
    return std::nullopt;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string restAfter(const std::string& line, std::size_t wordsToSkip) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < wordsToSkip; ++i) {
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) return {};
        pos = line.find_first_of(" \t", pos);
        if (pos == std::string::npos) return {};
    }
    pos = line.find_first_not_of(" \t", pos);
    return pos == std::string::npos ? std::string() : line.substr(pos);
}

void fail(const std::string& why) {
    ++failures();
    host::transcript().message("\n!expect: " + why);
}

// One filter test: the value typed by its group code.
std::optional<resbuf*> filterNode(int code, const std::string& value) {
    resbuf* rb = zcutNewRb(code);
    bool ok = true;
    switch (host::rbValueKind(code)) {
        case host::RbValueKind::String: {
            rb->resval.rstring = new char[value.size() + 1];
            std::memcpy(rb->resval.rstring, value.c_str(), value.size() + 1);
            break;
        }
        case host::RbValueKind::Short: {
            auto v = host::parseInteger(value);
            ok = v.has_value();
            if (ok) rb->resval.rint = static_cast<short>(*v);
            break;
        }
        case host::RbValueKind::Long: {
            auto v = host::parseInteger(value);
            ok = v.has_value();
            if (ok) rb->resval.rlong = static_cast<std::int32_t>(*v);
            break;
        }
        case host::RbValueKind::Real: {
            auto v = host::parseDouble(value);
            ok = v.has_value();
            if (ok) rb->resval.rreal = *v;
            break;
        }
        default:
            ok = false;
            break;
    }
    if (!ok) {
        zcutRelRb(rb);
        return std::nullopt;
    }
    return rb;
}

// The value a system variable shows, in the form a script writes it.
std::optional<std::string> sysVarText(const std::string& name) {
    std::optional<host::SysVarValue> v = host::getSysVar(host::toUpper(name));
    if (!v || !host::findSysVar(host::toUpper(name))) return std::nullopt;
    if (auto* s = std::get_if<short>(&*v)) return std::to_string(*s);
    if (auto* l = std::get_if<std::int32_t>(&*v)) return std::to_string(*l);
    if (auto* d = std::get_if<double>(&*v)) return host::formatNumber(*d, 15);
    if (auto* t = std::get_if<std::string>(&*v)) return *t;
    if (auto* p = std::get_if<ZcGePoint3d>(&*v))
        return host::formatNumber(p->x, 15) + "," + host::formatNumber(p->y, 15) + "," +
               host::formatNumber(p->z, 15);
    return std::nullopt;
}

// Equal as numbers when both read as numbers (1 and 1.0), else as texts
// ignoring case.
bool sameValue(const std::string& actual, const std::string& expected) {
    auto a = host::parseDouble(actual), e = host::parseDouble(expected);
    if (a && e) return std::abs(*a - *e) <= 1e-9 * std::max(1.0, std::abs(*e));
    return host::iequals(actual, expected);
}

void expect(const std::string& line) {
    ++checksRun();
    std::vector<std::string> w = words(line);
    if (w.size() < 2) return fail("nic do sprawdzenia");
    const std::string& what = w[1];
    if (what == "count") {
        if (w.size() < 3) return fail("count: brak liczby");
        auto n = host::parseInteger(w.back());
        if (!n) return fail("count: \"" + w.back() + "\" nie jest liczbą");
        std::string filter;
        for (std::size_t i = 2; i + 1 < w.size(); ++i) filter += (filter.empty() ? "" : " ") + w[i];
        std::string error;
        std::optional<int> got = host::countMatching(filter, &error);
        if (!got) return fail("count: " + error);
        if (*got != *n)
            fail("count " + filter + ": jest " + std::to_string(*got) + ", oczekiwano " + std::to_string(*n));
    } else if (what == "var" || what == "setting") {
        if (w.size() < 3) return fail(what + ": brak nazwy");
        std::string expected = restAfter(line, 3);
        std::optional<std::string> actual;
        if (what == "var")
            actual = sysVarText(w[2]);
        else if (settingLookup())
            actual = settingLookup()(w[2]);
        else
            actual = settingFromModules(w[2]);
        if (!actual) return fail(what + " " + w[2] + ": nieznana nazwa");
        if (!sameValue(*actual, expected))
            fail(what + " " + w[2] + ": jest \"" + *actual + "\", oczekiwano \"" + expected + "\"");
    } else if (what == "layer") {
        // Frozen as the layer table holds it: what a floor switched off
        // freezes, whatever lies on the layer or inside blocks on it.
        if (w.size() != 4 || (w[3] != "frozen" && w[3] != "thawed"))
            return fail("layer: oczekiwano NAZWA frozen|thawed");
        std::unique_ptr<resbuf, int (*)(resbuf*)> record(zcdbTblSearch("LAYER", w[2].c_str(), 0), zcutRelRb);
        if (!record) return fail("layer " + w[2] + ": nie ma takiej warstwy");
        bool frozen = false;
        for (const resbuf* rb = record.get(); rb; rb = rb->rbnext)
            if (rb->restype == 70) frozen = (rb->resval.rint & 1) != 0;
        const std::string state = frozen ? "frozen" : "thawed";
        if (state != w[3]) fail("layer " + w[2] + ": jest " + state + ", oczekiwano " + w[3]);
    } else if (what == "message") {
        std::string text = restAfter(line, 2);
        const std::string& last = host::transcript().lastMessage();
        if (last.find(text) == std::string::npos)
            fail("message: ostatni komunikat \"" + last + "\" nie zawiera \"" + text + "\"");
    } else {
        fail("nieznane sprawdzenie \"" + what + "\"");
    }
}

bool switchDrawing(const std::string& name) {
    ZcApDocManager* dm = zcDocManagerPtr();
    ZcApDocument* target = dm->findDocument(name);
    if (!target) {
        for (auto it = dm->newZcApDocumentIterator(); !it->done(); it->step())
            if (host::iequals(it->document()->docTitle(), name)) target = it->document();
    }
    if (!target) {
        host::transcript().message("\n!drawing: rysunek \"" + name + "\" nie jest otwarty");
        ++failures();
        return true;
    }
    ZcApDocument* from = dm->curDocument();
    if (from == target) return true;
    // The rest of the script goes on in the drawing it switched to.
    std::vector<host::InputToken> rest;
    while (auto t = from->inputQueue().pop()) rest.push_back(std::move(*t));
    dm->setCurDocument(target, ZcAp::kNone, true);
    target->inputQueue().pushFront(rest);
    return true;
}

// "!pane INDEX [left|right|double]": a mouse click on a status-bar pane; a
// menu the pane shows takes its answer (the item id) from the next line.
void clickPane(const std::vector<std::string>& w) {
    static const char* const kButtons[] = {"left", "right", "double"};
    int button = 0;
    if (w.size() > 2) {
        button = -1;
        for (int b = 0; b < 3; ++b)
            if (host::iequals(w[2], kButtons[b])) button = b;
    }
    auto index = w.size() > 1 ? host::parseInteger(w[1]) : std::nullopt;
    if (!index || button < 0 || !host::clickPane(static_cast<int>(*index), button)) {
        host::transcript().message("\n!pane: nie ma takiego panelu lub przycisku: " +
                                   (w.size() > 1 ? w[1] : std::string()));
        ++failures();
    }
}

bool handleDirective(const std::string& line) {
    std::vector<std::string> w = words(line);
    if (w.empty()) return false;
    if (w[0] == "!expect") {
        expect(line);
        return true;
    }
    if (w[0] == "!drawing") return switchDrawing(restAfter(line, 1));
    if (w[0] == "!pane") {
        clickPane(w);
        return true;
    }
    if (w[0] == "!dialog" || w[0] == "!msgbox") {
        std::string error;
        bool ok = w[0] == "!dialog" ? zcui::RunDialogScript(restAfter(line, 1), &error)
                                    : zcui::QueueMessageBoxAnswer(restAfter(line, 1), &error);
        if (!ok) {
            host::transcript().message("\n" + w[0] + ": " + error);
            ++failures();
        }
        return true;
    }
    return false;
}

}  // namespace

namespace host {

void installScriptDirectives() {
    setDirectiveHandler(handleDirective);
}
int expectationFailures() {
    return failures();
}

int reportUnusedAnswers() {
    std::vector<std::string> left = zcui::UnusedAnswers();
    for (const std::string& a : left) transcript().message("\nNieużyta odpowiedź: " + a);
    return static_cast<int>(left.size());
}
void resetExpectationFailures() {
    failures() = 0;
    checksRun() = 0;
}

int expectationsChecked() {
    return checksRun();
}

void setSettingLookup(std::function<std::optional<std::string>(const std::string& name)> lookup) {
    settingLookup() = std::move(lookup);
}

std::optional<int> countMatching(const std::string& filter, std::string* error) {
    // The filter as the classic interface takes it; the "X" selection does the matching.
    std::unique_ptr<resbuf, int (*)(resbuf*)> list(nullptr, zcutRelRb);
    resbuf* tail = nullptr;
    for (const std::string& w : words(filter)) {
        std::size_t eq = w.find('=');
        auto code = eq == std::string::npos ? std::nullopt : parseInteger(w.substr(0, eq));
        std::optional<resbuf*> rb;
        if (code == -3 && eq + 1 < w.size()) {
            // "-3=APP": the entities carrying that application's xdata, as
            // the selection takes it: -3 followed by the application's 1001.
            rb = zcutNewRb(-3);
            (*rb)->rbnext = *filterNode(1001, w.substr(eq + 1));
        } else if (code && *code != -3) {
            rb = filterNode(static_cast<int>(*code), w.substr(eq + 1));
        }
        if (!rb) {
            if (error) *error = "filtr \"" + w + "\" nie ma postaci KOD=WARTOŚĆ";
            return std::nullopt;
        }
        if (tail)
            tail->rbnext = *rb;
        else
            list.reset(*rb);
        tail = *rb;
        while (tail->rbnext) tail = tail->rbnext;
    }
    if (!zcdbCurDwg()) {
        if (error) *error = "brak rysunku";
        return std::nullopt;
    }
    ads_name ss = {0, 0};
    if (zcedSSGet("X", nullptr, nullptr, list.get(), ss) != RTNORM) return 0;  // nothing matched
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    zcedSSFree(ss);
    return static_cast<int>(n);
}

}  // namespace host
