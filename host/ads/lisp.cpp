// Defined functions live in a map keyed by the upper-case name, one map per
// drawing: a module defines its functions when each drawing is loaded and
// undefines them when that drawing closes, and the others keep theirs. A call sets
// the current code and argument list, runs the invoker and collects the
// value set by the zcedRet* calls; nested calls save and restore all three.
#include "host/ads/lisp.h"

#include <cmath>
#include <map>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"

namespace host {
namespace {

struct RbList {
    resbuf* head = nullptr;
    RbList() = default;
    explicit RbList(resbuf* h) : head(h) {}
    RbList(const RbList&) = delete;
    RbList& operator=(const RbList&) = delete;
    ~RbList() { zcutRelRb(head); }
    void reset(resbuf* h) {
        zcutRelRb(head);
        head = h;
    }
};

using FunctionTable = std::map<std::string, short>;

struct LispState {
    std::map<const void*, FunctionTable> tables;  // by drawing
    std::function<const void*()> scopeProvider;
    const void* scopeOverride = nullptr;
    bool overridden = false;
    FunctionTable& functions() {
        const void* scope = overridden ? scopeOverride : scopeProvider ? scopeProvider() : nullptr;
        return tables[scope];
    }
    std::function<int()> invoker;
    int currentCode = -1;
    const resbuf* currentArgs = nullptr;
    RbList result;
    bool resultSet = false;
    std::string lastValue = "nil";
};

LispState& lisp() {
    static LispState s;
    return s;
}

int setResult(resbuf* rb) {
    lisp().result.reset(rb);
    lisp().resultSet = true;
    return RTNORM;
}

// A small reader over the text of one call.
class Reader {
public:
    explicit Reader(const std::string& t) : t_(t) {}
    void skipBlanks() {
        while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_]))) ++i_;
    }
    bool atEnd() {
        skipBlanks();
        return i_ >= t_.size();
    }
    char peek() {
        skipBlanks();
        return i_ < t_.size() ? t_[i_] : '\0';
    }
    bool eat(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    std::string atom() {
        skipBlanks();
        size_t b = i_;
        while (i_ < t_.size() && !std::isspace(static_cast<unsigned char>(t_[i_])) && t_[i_] != '(' &&
               t_[i_] != ')' && t_[i_] != '"' && t_[i_] != '\'')
            ++i_;
        return t_.substr(b, i_ - b);
    }
    std::optional<std::string> string() {
        if (!eat('"')) return std::nullopt;
        std::string out;
        while (i_ < t_.size() && t_[i_] != '"') {
            char c = t_[i_++];
            if (c == '\\' && i_ < t_.size()) {
                char e = t_[i_++];
                c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            }
            out.push_back(c);
        }
        if (i_ >= t_.size()) return std::nullopt;
        ++i_;
        return out;
    }

private:
    const std::string& t_;
    size_t i_ = 0;
};

void append(resbuf*& head, resbuf*& tail, resbuf* rb) {
    if (!head)
        head = rb;
    else
        tail->rbnext = rb;
    tail = rb;
    while (tail->rbnext) tail = tail->rbnext;
}

resbuf* atomValue(const std::string& a) {
    std::string up = ads_text::upper(a);
    if (up == "NIL") return zcutNewRb(RTNIL);
    if (up == "T") return zcutNewRb(RTT);
    if (auto i = ads_text::parseInteger(a)) {
        if (*i >= -32768 && *i <= 32767) {
            resbuf* rb = zcutNewRb(RTSHORT);
            rb->resval.rint = static_cast<short>(*i);
            return rb;
        }
        if (*i >= INT32_MIN && *i <= INT32_MAX) {
            resbuf* rb = zcutNewRb(RTLONG);
            rb->resval.rlong = static_cast<std::int32_t>(*i);
            return rb;
        }
    }
    if (auto r = ads_text::parseReal(a)) {
        resbuf* rb = zcutNewRb(RTREAL);
        rb->resval.rreal = *r;
        return rb;
    }
    return nullptr;  // symbols are not evaluated here
}

resbuf* readValue(Reader& rd);

// '( … ): a point when it holds two or three numbers, else a list.
resbuf* readList(Reader& rd) {
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    std::vector<double> numbers;
    bool allNumbers = true;
    int count = 0;
    while (!rd.eat(')')) {
        if (rd.atEnd()) {
            zcutRelRb(head);
            return nullptr;
        }
        if (rd.peek() == '.') {
            std::string dot = rd.atom();
            if (dot == ".") {
                append(head, tail, zcutNewRb(RTDOTE));
                allNumbers = false;
                continue;
            }
            resbuf* v = atomValue(dot);
            if (!v) {
                zcutRelRb(head);
                return nullptr;
            }
            append(head, tail, v);
        } else {
            resbuf* v = readValue(rd);
            if (!v) {
                zcutRelRb(head);
                return nullptr;
            }
            append(head, tail, v);
        }
        ++count;
        if (tail->restype == RTSHORT)
            numbers.push_back(tail->resval.rint);
        else if (tail->restype == RTREAL)
            numbers.push_back(tail->resval.rreal);
        else
            allNumbers = false;
    }
    if (allNumbers && (count == 2 || count == 3)) {
        zcutRelRb(head);
        resbuf* p = zcutNewRb(count == 2 ? RTPOINT : RT3DPOINT);
        for (int i = 0; i < count; ++i) p->resval.rpoint[i] = numbers[i];
        return p;
    }
    resbuf* lb = zcutNewRb(RTLB);
    lb->rbnext = head;
    resbuf* last = lb;
    while (last->rbnext) last = last->rbnext;
    last->rbnext = zcutNewRb(RTLE);
    return lb;
}

resbuf* readValue(Reader& rd) {
    char c = rd.peek();
    if (c == '"') {
        auto s = rd.string();
        if (!s) return nullptr;
        resbuf* rb = zcutNewRb(RTSTR);
        rbSetString(rb, *s);
        return rb;
    }
    if (c == '\'') {
        rd.eat('\'');
        if (rd.eat('(')) return readList(rd);
        std::string a = rd.atom();
        return a.empty() ? nullptr : atomValue(a);
    }
    if (c == '(' || c == ')' || c == '\0') return nullptr;
    return atomValue(rd.atom());
}

std::string realText(double v) {
    std::string s = ads_text::format("%.6g", v);
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

std::string quoted(const char* s) {
    std::string out = "\"";
    for (const char* p = s ? s : ""; *p; ++p) {
        if (*p == '"' || *p == '\\') out.push_back('\\');
        if (*p == '\n') {
            out += "\\n";
            continue;
        }
        out.push_back(*p);
    }
    return out + "\"";
}

// Prints one value starting at rb; advances rb past it.
std::string printOne(const resbuf*& rb) {
    const resbuf* cur = rb;
    rb = rb->rbnext;
    switch (cur->restype) {
        case RTNIL:
            return "nil";
        case RTT:
            return "T";
        case RTSHORT:
            return std::to_string(cur->resval.rint);
        case RTLONG:
            return std::to_string(cur->resval.rlong);
        case RTREAL:
        case RTANG:
        case RTORINT:
            return realText(cur->resval.rreal);
        case RTSTR:
            return quoted(cur->resval.rstring);
        case RTPOINT:
            return "(" + realText(cur->resval.rpoint[0]) + " " + realText(cur->resval.rpoint[1]) + ")";
        case RT3DPOINT:
            return "(" + realText(cur->resval.rpoint[0]) + " " + realText(cur->resval.rpoint[1]) + " " +
                   realText(cur->resval.rpoint[2]) + ")";
        case RTENAME:
            return ads_text::format("<Nazwa obiektu: %llx>",
                                    static_cast<unsigned long long>(cur->resval.rlname[0]));
        case RTLB: {
            std::string out = "(";
            bool first = true;
            while (rb && rb->restype != RTLE) {
                if (!first) out += " ";
                first = false;
                if (rb->restype == RTDOTE) {
                    out += ".";
                    rb = rb->rbnext;
                    continue;
                }
                out += printOne(rb);
            }
            if (rb) rb = rb->rbnext;
            return out + ")";
        }
        case RTVOID:
            return "";
        default:
            return ads_text::format("<%d>", cur->restype);
    }
}

}  // namespace

void setLispInvoker(std::function<int()> invoker) {
    lisp().invoker = std::move(invoker);
}

bool lispFunctionDefined(const std::string& name) {
    return lisp().functions().count(ads_text::upper(name)) > 0;
}

void setLispScopeProvider(std::function<const void*()> provider) {
    lisp().scopeProvider = std::move(provider);
}

void forgetLispScope(const void* scope) {
    lisp().tables.erase(scope);
}

LispScopeOverride::LispScopeOverride(const void* scope)
    : previous_(lisp().scopeOverride), wasOverridden_(lisp().overridden) {
    lisp().scopeOverride = scope;
    lisp().overridden = true;
}

LispScopeOverride::~LispScopeOverride() {
    lisp().scopeOverride = previous_;
    lisp().overridden = wasOverridden_;
}

std::optional<resbuf*> parseLispArgs(const std::string& text, std::string* functionName) {
    Reader rd(text);
    if (!rd.eat('(')) return std::nullopt;
    std::string name = rd.atom();
    if (name.empty()) return std::nullopt;
    if (functionName) *functionName = name;
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    while (!rd.eat(')')) {
        resbuf* v = rd.atEnd() ? nullptr : readValue(rd);
        if (!v) {
            zcutRelRb(head);
            return std::nullopt;
        }
        append(head, tail, v);
    }
    if (!rd.atEnd()) {
        zcutRelRb(head);
        return std::nullopt;
    }
    return head;
}

std::string printLispValue(const resbuf* value) {
    if (!value) return "nil";
    std::string out;
    const resbuf* rb = value;
    while (rb) {
        if (!out.empty()) out += " ";
        out += printOne(rb);
    }
    return out;
}

int evaluateLispLine(const std::string& line) {
    transcript().append("\n" + line);
    std::string name;
    std::optional<resbuf*> args = parseLispArgs(line, &name);
    if (!args) {
        zcutPrintf("\n; błąd: nieprawidłowe wyrażenie");
        return RTERROR;
    }
    RbList owned(*args);
    return invokeLispFunction(name, owned.head, true);
}

int invokeLispFunction(const std::string& name, const resbuf* args, bool printValue) {
    LispState& s = lisp();
    auto it = s.functions().find(ads_text::upper(name));
    if (it == s.functions().end() || !s.invoker) {
        zcutPrintf("\n; błąd: brak funkcji: %s", ads_text::upper(name).c_str());
        return RTERROR;
    }
    int savedCode = s.currentCode;
    const resbuf* savedArgs = s.currentArgs;
    resbuf* savedResult = s.result.head;
    bool savedSet = s.resultSet;
    s.result.head = nullptr;
    s.resultSet = false;
    s.currentCode = it->second;
    s.currentArgs = args;
    zcedEditor->notify([&](ZcEditorReactor* r) { r->lispWillStart(name.c_str()); });
    int status = s.invoker();
    bool cancelled = status == RTCAN;
    std::string value = s.resultSet ? printLispValue(s.result.head) : "nil";
    s.lastValue = value;
    s.result.reset(savedResult);
    s.resultSet = savedSet;
    s.currentCode = savedCode;
    s.currentArgs = savedArgs;
    zcedEditor->notify([&](ZcEditorReactor* r) { cancelled ? r->lispCancelled() : r->lispEnded(); });
    if (status == RTERROR) {
        zcutPrintf("\n; błąd: funkcja %s zakończona błędem", ads_text::upper(name).c_str());
        return RTERROR;
    }
    if (printValue && !value.empty()) transcript().append("\n" + value);
    return cancelled ? RTCAN : RTNORM;
}

std::string lastLispValue() {
    return lisp().lastValue;
}

void resetLisp() {
    LispState& s = lisp();
    s.tables.clear();
    s.overridden = false;
    s.scopeOverride = nullptr;
    s.currentCode = -1;
    s.currentArgs = nullptr;
    s.result.reset(nullptr);
    s.resultSet = false;
    s.lastValue = "nil";
}

}  // namespace host

using host::lisp;

int zcedDefun(const char* name, short funcNumber) {
    if (!name || !*name || funcNumber < 0) return RTERROR;
    lisp().functions()[host::ads_text::upper(name)] = funcNumber;
    return RTNORM;
}

int zcedUndef(const char* name, short funcNumber) {
    if (!name) return RTERROR;
    host::FunctionTable& table = lisp().functions();
    auto it = table.find(host::ads_text::upper(name));
    if (it == table.end() || it->second != funcNumber) return RTERROR;
    table.erase(it);
    return RTNORM;
}

int zcedGetFunCode() {
    return lisp().currentCode >= 0 ? lisp().currentCode : RTERROR;
}

resbuf* zcedGetArgs() {
    return const_cast<resbuf*>(lisp().currentArgs);
}

int zcedRetVal(const resbuf* rbuf) {
    return host::setResult(zcutDupRbList(rbuf));
}
int zcedRetNil() {
    return host::setResult(zcutNewRb(RTNIL));
}
int zcedRetT() {
    return host::setResult(zcutNewRb(RTT));
}
int zcedRetVoid() {
    return host::setResult(zcutNewRb(RTVOID));
}

int zcedRetStr(const char* s) {
    resbuf* rb = zcutNewRb(RTSTR);
    host::rbSetString(rb, s ? s : "");
    return host::setResult(rb);
}

int zcedRetReal(ads_real x) {
    resbuf* rb = zcutNewRb(RTREAL);
    rb->resval.rreal = x;
    return host::setResult(rb);
}

int zcedRetInt(int i) {
    resbuf* rb;
    if (i >= -32768 && i <= 32767) {
        rb = zcutNewRb(RTSHORT);
        rb->resval.rint = static_cast<short>(i);
    } else {
        rb = zcutNewRb(RTLONG);
        rb->resval.rlong = i;
    }
    return host::setResult(rb);
}

int zcedRetPoint(const ads_point p) {
    resbuf* rb = zcutNewRb(RT3DPOINT);
    for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = p[i];
    return host::setResult(rb);
}

int zcedRetName(const ads_name aname, int type) {
    resbuf* rb = zcutNewRb(type == RTPICKS ? RTPICKS : RTENAME);
    rb->resval.rlname[0] = aname[0];
    rb->resval.rlname[1] = aname[1];
    return host::setResult(rb);
}
