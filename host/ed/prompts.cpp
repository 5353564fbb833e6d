// Every prompt runs the same loop (askLoop): print the prompt, read a
// token, and let the prompt's own parser turn it into a value, a keyword,
// Enter or a complaint; complaints print a message and ask again. An empty
// queue answers cancel, so no loop can wait for ever.
#include "host/ed/prompts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "host/ads/adstext.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ads/units.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;

const char* const kNeedPoint = "Wymagany punkt lub opcja.";
const char* const kNeedDist = "Wymagana odległość, drugi punkt lub opcja.";
const char* const kNeedAngle = "Wymagany kąt, drugi punkt lub opcja.";
const char* const kNeedReal = "Wymagana liczba rzeczywista lub opcja.";
const char* const kNeedInt = "Wymagana liczba całkowita z zakresu od -32768 do 32767 lub opcja.";
const char* const kBadKeyword = "Nieprawidłowa opcja.";
const char* const kAmbiguous = "Niejednoznaczna opcja.";
const char* const kNonZero = "Wartość musi być różna od zera.";
const char* const kNonNegative = "Wartość nie może być ujemna.";

struct InitGet {
    int bits = 0;
    std::string keywords;
};

struct PromptState {
    InitGet next;
    int lastBits = 0;
};

PromptState& ps() {
    static PromptState s;
    return s;
}

InitGet takeInitGet() {
    InitGet g = ps().next;
    ps().next = InitGet{};
    ps().lastBits = g.bits;
    return g;
}

void echo(std::string_view text) {
    echoPrompt(text);
}

void echoAnswer(std::string_view text) {
    if (answerEchoOn()) transcript().append(text);
}

// What one answer came to.
struct Outcome {
    enum Kind { Value, Enter, Keyword, Cancel, Bad } kind;
    const char* message = nullptr;
    static Outcome value() { return {Value}; }
    static Outcome bad(const char* m) { return {Bad, m}; }
};

// The parser of one prompt: a text answer or a pick; it stores its value
// itself.
struct Parser {
    std::function<Outcome(const std::string&)> text;
    std::function<Outcome(const ZcGePoint3d&)> pick;  // null: picks are refused
    const char* refusal = nullptr;                    // message for a refused pick
};

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        size_t b = i;
        while (i < s.size() && s[i] != ' ') ++i;
        if (i > b) out.push_back(s.substr(b, i - b));
    }
    return out;
}

std::string capitals(const std::string& keyword) {
    std::u32string out;
    for (char32_t c : ads_text::decode(keyword))
        if (ads_text::isUpperLetter(c) || ads_text::isDigit(c)) out.push_back(c);
    return ads_text::encode(out);
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// Tries the keywords, then arbitrary input; Bad when neither applies.
Outcome keywordOrOther(const InitGet& g, const std::string& answer, const char* needMessage) {
    std::string kw;
    switch (matchKeyword(g.keywords, answer, kw)) {
        case KeywordMatch::Found:
            setLastInput(kw);
            return {Outcome::Keyword};
        case KeywordMatch::Ambiguous:
            return Outcome::bad(kAmbiguous);
        case KeywordMatch::None:
            break;
    }
    if (g.bits & RSG_OTHER) {
        setLastInput(answer);
        return {Outcome::Keyword};
    }
    return Outcome::bad(needMessage);
}

int askLoop(const char* prompt, const InitGet& g, const Parser& parser) {
    const std::string_view p = prompt ? prompt : "";
    echo(p);
    for (;;) {
        InputToken t = nextPromptToken();
        Outcome o{Outcome::Bad};
        if (t.kind == InputToken::Cancel || t.kind == InputToken::Break) {
            echoAnswer("*Anuluj*");
            noteCancelled();
            return RTCAN;
        }
        if (t.kind == InputToken::Pick) {
            echoAnswer(ads_text::format("%s,%s", ads_text::fixed(t.point.x, 4).c_str(),
                                        ads_text::fixed(t.point.y, 4).c_str()));
            o = parser.pick ? parser.pick(t.point) : Outcome::bad(parser.refusal);
        } else {
            if (!t.text.empty() && t.text[0] == '\'' && runTransparentRequest(t.text)) {
                echo(p);
                continue;
            }
            echoAnswer(t.text);
            std::string answer = ads_text::trim(t.text);
            if (answer.empty()) {
                if (!(g.bits & RSG_NONULL)) return RTNONE;
                o = Outcome::bad(parser.refusal);
            } else {
                o = parser.text(answer);
            }
        }
        switch (o.kind) {
            case Outcome::Value:
                return RTNORM;
            case Outcome::Enter:
                return RTNONE;
            case Outcome::Keyword:
                return RTKWORD;
            case Outcome::Cancel:
                noteCancelled();
                return RTCAN;
            case Outcome::Bad:
                break;
        }
        echo("\n");
        echo(o.message ? o.message : kBadKeyword);
        echo(p);
    }
}

ZcGePoint3d lastPoint() {
    return sysVarPoint("LASTPOINT");
}

// The user's angle (typed in the current units, from ANGBASE in the ANGDIR
// direction) as an absolute direction.
double userAngleToAbsolute(double typed) {
    double base = sysVarReal("ANGBASE");
    double a = sysVarShort("ANGDIR") == 1 ? base - typed : base + typed;
    a = std::fmod(a, 2 * kPi);
    return a < 0 ? a + 2 * kPi : a;
}

std::optional<double> coordinate(std::string_view s) {
    return stringToDistance(s);
}

// Two or three coordinates of a typed point.
struct Coordinates {
    double v[3] = {0, 0, 0};
    int count = 0;
    double operator[](int i) const { return v[i]; }
    int size() const { return count; }
};

// "x,y[,z]" into up to three numbers; none when malformed.
std::optional<Coordinates> coordinates(std::string_view s) {
    Coordinates out;
    size_t start = 0;
    for (;;) {
        size_t comma = s.find(',', start);
        auto c = coordinate(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!c) return std::nullopt;
        if (out.count == 3) return std::nullopt;
        out.v[out.count++] = *c;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (out.count < 2) return std::nullopt;
    return out;
}

bool finitePoint(const ZcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

std::optional<ZcGePoint3d> parseAnyPoint(const std::string& text);

// A typed point; one that overflows (a relative or polar answer far from
// the last point) is refused as a malformed one is.
std::optional<ZcGePoint3d> parsePoint(const std::string& text) {
    std::optional<ZcGePoint3d> p = parseAnyPoint(text);
    if (p && !finitePoint(*p)) return std::nullopt;
    return p;
}

std::optional<ZcGePoint3d> parseAnyPoint(const std::string& text) {
    std::string s = text;
    bool relative = !s.empty() && s[0] == '@';
    ZcGePoint3d origin = relative ? lastPoint() : ZcGePoint3d();
    if (relative) s = ads_text::trim(s.substr(1));
    if (relative && s.empty()) return origin;
    size_t lt = s.find('<');
    if (lt != std::string::npos) {
        auto d = coordinate(s.substr(0, lt));
        auto a = stringToAngle(s.substr(lt + 1), -1);
        if (!d || !a) return std::nullopt;
        double dir = userAngleToAbsolute(*a);
        double z = relative ? origin.z : sysVarReal("ELEVATION");
        return ZcGePoint3d(origin.x + *d * std::cos(dir), origin.y + *d * std::sin(dir), z);
    }
    auto c = coordinates(s);
    if (!c) return std::nullopt;
    if (relative)
        return ZcGePoint3d(origin.x + (*c)[0], origin.y + (*c)[1],
                           origin.z + (c->size() == 3 ? (*c)[2] : 0.0));
    return ZcGePoint3d((*c)[0], (*c)[1], c->size() == 3 ? (*c)[2] : sysVarReal("ELEVATION"));
}

void acceptPoint(const ZcGePoint3d& p, ads_point result) {
    result[X] = p.x;
    result[Y] = p.y;
    result[Z] = p.z;
    setSysVar("LASTPOINT", SysVarValue{p}, false);
}

ZcGePoint3d pickPoint(const ZcGePoint3d& picked) {
    return {picked.x, picked.y, sysVarReal("ELEVATION")};
}

// A point prompt (also the second point of distances and angles).
int askPoint(const char* prompt, const InitGet& g, ads_point result) {
    Parser parser;
    parser.refusal = kNeedPoint;
    parser.text = [&](const std::string& a) {
        if (auto p = parsePoint(a)) {
            acceptPoint(*p, result);
            return Outcome::value();
        }
        return keywordOrOther(g, a, kNeedPoint);
    };
    parser.pick = [&](const ZcGePoint3d& p) {
        if (!finitePoint(p)) return Outcome::bad(kNeedPoint);
        acceptPoint(pickPoint(p), result);
        return Outcome::value();
    };
    return askLoop(prompt, g, parser);
}

Outcome checkNumber(const InitGet& g, double v, const char* refusal = kNeedReal) {
    if (!std::isfinite(v)) return Outcome::bad(refusal);
    if ((g.bits & RSG_NOZERO) && v == 0.0) return Outcome::bad(kNonZero);
    if ((g.bits & RSG_NONEG) && v < 0.0) return Outcome::bad(kNonNegative);
    return Outcome::value();
}

double planarOrSpatial(const InitGet& g, const ZcGePoint3d& a, const ZcGePoint3d& b) {
    if (g.bits & RSG_2D) return std::hypot(b.x - a.x, b.y - a.y);
    return a.distanceTo(b);
}

// Angles: orient true gives the absolute angle, false the one from ANGBASE.
int askAngle(const ads_point pt, const char* prompt, ads_real* result, bool orient) {
    InitGet g = takeInitGet();
    auto finish = [&](double absolute) {
        double a = orient ? absolute : absolute - sysVarReal("ANGBASE");
        a = std::fmod(a, 2 * kPi);
        *result = a < 0 ? a + 2 * kPi : a;
    };
    std::optional<ZcGePoint3d> second;
    Parser parser;
    parser.refusal = kNeedAngle;
    parser.text = [&](const std::string& a) {
        if (auto typed = stringToAngle(a, -1)) {
            finish(userAngleToAbsolute(*typed));
            return Outcome::value();
        }
        if (auto p = parsePoint(a)) {
            second = *p;
            return Outcome::value();
        }
        return keywordOrOther(g, a, kNeedAngle);
    };
    parser.pick = [&](const ZcGePoint3d& p) {
        second = pickPoint(p);
        return Outcome::value();
    };
    int st = askLoop(prompt, g, parser);
    if (st != RTNORM || !second) return st;
    ZcGePoint3d first = *second;
    ads_point p2;
    if (pt) {
        first = ZcGePoint3d(pt[X], pt[Y], pt[Z]);
        p2[X] = second->x;
        p2[Y] = second->y;
        p2[Z] = second->z;
    } else {
        int s2 = askPoint("\nDrugi punkt: ", InitGet{}, p2);
        if (s2 != RTNORM) return s2 == RTNONE ? RTCAN : s2;
    }
    setSysVar("LASTPOINT", SysVarValue{ZcGePoint3d(p2[X], p2[Y], p2[Z])}, false);
    finish(std::atan2(p2[Y] - first.y, p2[X] - first.x));
    return RTNORM;
}

}  // namespace

std::optional<ZcGePoint3d> parsePointAnswer(const std::string& text) {
    return parsePoint(ads_text::trim(text));
}

int lastInitGetBits() {
    return ps().lastBits;
}

void resetPrompts() {
    ps() = PromptState{};
    setLastInput("");
}

namespace {

// The answer (upper case, without "_") among one list of words; the global
// word of the same place in `keyword`.
KeywordMatch matchIn(const std::vector<std::string>& pool, const std::vector<std::string>& globals,
                     const std::string& a, std::string& keyword) {
    std::vector<size_t> candidates, byCapitals;
    for (size_t i = 0; i < pool.size(); ++i) {
        std::string k = ads_text::upper(pool[i]);
        if (k == a) {
            keyword = globals[i];
            return KeywordMatch::Found;
        }
        bool caps = ads_text::upper(capitals(pool[i])) == a;
        if (caps) byCapitals.push_back(i);
        if (caps || startsWith(k, a)) candidates.push_back(i);
    }
    if (candidates.size() == 1) {
        keyword = globals[candidates[0]];
        return KeywordMatch::Found;
    }
    if (candidates.empty()) return KeywordMatch::None;
    if (byCapitals.size() == 1) {
        keyword = globals[byCapitals[0]];
        return KeywordMatch::Found;
    }
    // Two spellings of one keyword (the same global name) are no ambiguity.
    if (std::all_of(candidates.begin(), candidates.end(),
                    [&](size_t i) { return globals[i] == globals[candidates[0]]; })) {
        keyword = globals[candidates[0]];
        return KeywordMatch::Found;
    }
    return KeywordMatch::Ambiguous;
}

}  // namespace

KeywordMatch matchKeyword(const std::string& keywordList, const std::string& answer, std::string& keyword) {
    std::vector<std::string> words = split(keywordList);
    std::vector<std::string> locals, globals;
    bool inGlobals = false;
    for (const std::string& w : words) {
        if (w == "_")
            inGlobals = true;
        else
            (inGlobals ? globals : locals).push_back(w);
    }
    const bool twoLists = inGlobals && globals.size() == locals.size();
    if (!twoLists) globals = locals;
    std::string a = ads_text::upper(answer);
    const bool global = a.size() > 1 && a[0] == '_';
    if (global) a.erase(0, 1);
    if (global && twoLists) return matchIn(globals, globals, a, keyword);
    const KeywordMatch local = matchIn(locals, globals, a, keyword);
    // A script written for the English edition types the global words
    // without "_": taken when no local word is meant.
    if (local == KeywordMatch::None && twoLists) return matchIn(globals, globals, a, keyword);
    return local;
}

}  // namespace host

using namespace host;

int zcedInitGet(int val, const char* kwl) {
    ps().next = {val, kwl ? kwl : ""};
    return RTNORM;
}

int zcedGetPoint(const ads_point pt, const char* prompt, ads_point result) {
    (void)pt;
    if (!result) return RTERROR;
    InitGet g = takeInitGet();
    return askPoint(prompt, g, result);
}

int zcedGetCorner(const ads_point pt, const char* prompt, ads_point result) {
    if (!pt) return RTERROR;
    return zcedGetPoint(pt, prompt, result);
}

int zcedGetDist(const ads_point pt, const char* prompt, ads_real* result) {
    if (!result) return RTERROR;
    InitGet g = takeInitGet();
    std::optional<ZcGePoint3d> second;
    Parser parser;
    parser.refusal = kNeedDist;
    parser.text = [&](const std::string& a) {
        if (auto d = stringToDistance(a)) {
            Outcome o = checkNumber(g, *d, kNeedDist);
            if (o.kind == Outcome::Value) *result = *d;
            return o;
        }
        if (auto p = parsePoint(a)) {
            second = *p;
            return Outcome::value();
        }
        return keywordOrOther(g, a, kNeedDist);
    };
    parser.pick = [&](const ZcGePoint3d& p) {
        second = pickPoint(p);
        return Outcome::value();
    };
    for (;;) {
        second.reset();
        int st = askLoop(prompt, g, parser);
        if (st != RTNORM || !second) return st;
        ZcGePoint3d first = *second, other;
        if (pt) {
            first = ZcGePoint3d(pt[X], pt[Y], pt[Z]);
            other = *second;
        } else {
            ads_point p2;
            int s2 = askPoint("\nDrugi punkt: ", InitGet{}, p2);
            if (s2 != RTNORM) return s2 == RTNONE ? RTCAN : s2;
            other = ZcGePoint3d(p2[X], p2[Y], p2[Z]);
        }
        setSysVar("LASTPOINT", SysVarValue{other}, false);
        double d = planarOrSpatial(g, first, other);
        Outcome o = checkNumber(g, d, kNeedDist);
        if (o.kind == Outcome::Value) {
            *result = d;
            return RTNORM;
        }
        echo(std::string("\n") + o.message);
    }
}

int zcedGetAngle(const ads_point pt, const char* prompt, ads_real* result) {
    if (!result) return RTERROR;
    return askAngle(pt, prompt, result, false);
}

int zcedGetOrient(const ads_point pt, const char* prompt, ads_real* result) {
    if (!result) return RTERROR;
    return askAngle(pt, prompt, result, true);
}

int zcedGetReal(const char* prompt, ads_real* result) {
    if (!result) return RTERROR;
    InitGet g = takeInitGet();
    Parser parser;
    parser.refusal = kNeedReal;
    parser.text = [&](const std::string& a) {
        if (auto v = ads_text::parseReal(a)) {
            Outcome o = checkNumber(g, *v);
            if (o.kind == Outcome::Value) *result = *v;
            return o;
        }
        return keywordOrOther(g, a, kNeedReal);
    };
    return askLoop(prompt, g, parser);
}

int zcedGetInt(const char* prompt, int* result) {
    if (!result) return RTERROR;
    InitGet g = takeInitGet();
    Parser parser;
    parser.refusal = kNeedInt;
    parser.text = [&](const std::string& a) {
        auto v = ads_text::parseInteger(a);
        if (v && *v >= -32768 && *v <= 32767) {
            Outcome o = checkNumber(g, static_cast<double>(*v));
            if (o.kind == Outcome::Value) *result = static_cast<int>(*v);
            return o;
        }
        return keywordOrOther(g, a, kNeedInt);
    };
    return askLoop(prompt, g, parser);
}

namespace {

int copyResult(const std::string& s, char* result, size_t bufLen) {
    if (!result || bufLen == 0) return RTERROR;
    if (s.size() + 1 > bufLen) {
        // Cut on a character boundary so the copy stays valid UTF-8.
        size_t n = bufLen - 1;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
        std::memcpy(result, s.data(), n);
        result[n] = '\0';
        return RTINPUTTRUNCATED;
    }
    std::memcpy(result, s.c_str(), s.size() + 1);
    return RTNORM;
}

}  // namespace

int zcedGetString(int cronly, const char* prompt, char* result, size_t bufLen) {
    if (!result || bufLen == 0) return RTERROR;
    InitGet g = takeInitGet();
    const std::string_view p = prompt ? prompt : "";
    echo(p);
    for (;;) {
        InputToken t = nextPromptToken();
        if (t.kind == InputToken::Cancel || t.kind == InputToken::Break) {
            echoAnswer("*Anuluj*");
            noteCancelled();
            return RTCAN;
        }
        std::string text = t.kind == InputToken::Pick
                               ? ads_text::fixed(t.point.x, 4) + "," + ads_text::fixed(t.point.y, 4)
                               : t.text;
        if (!cronly) {
            size_t blank = text.find(' ');
            if (blank != std::string::npos) {
                std::string rest = text.substr(blank + 1);
                text = text.substr(0, blank);
                if (!rest.empty() && !readingCommandArguments())
                    currentInput().pushFront({InputToken::makeText(rest)});
            }
        }
        echoAnswer(text);
        if (text.empty() && (g.bits & RSG_NONULL)) {
            echo(p);
            continue;
        }
        result[0] = '\0';
        return copyResult(text, result, bufLen);
    }
}

int zcedGetKword(const char* prompt, char* result, size_t bufLen) {
    if (!result || bufLen == 0) return RTERROR;
    InitGet g = takeInitGet();
    std::string chosen;
    Parser parser;
    parser.refusal = kBadKeyword;
    parser.text = [&](const std::string& a) {
        Outcome o = keywordOrOther(g, a, kBadKeyword);
        if (o.kind == Outcome::Keyword) {
            chosen = lastInput();
            return Outcome::value();
        }
        return o;
    };
    result[0] = '\0';
    int st = askLoop(prompt, g, parser);
    if (st != RTNORM) return st;
    return copyResult(chosen, result, bufLen);
}

int zcedGetInput(char* str, size_t bufLen) {
    return copyResult(host::lastInput(), str, bufLen);
}

int zcedUsrBrk() {
    return currentInput().pollBreak() ? 1 : 0;
}
