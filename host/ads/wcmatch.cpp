// The pattern is split into alternatives and each compiled into a vector of
// elements; matching is the two-pointer algorithm with one star backtrack
// point, O(text × pattern) at worst, never exponential. A text that is all
// ASCII is read in place: its bytes are its code points.
#include "host/ads/wcmatch.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "host/ads/adstext.h"
#include "host/util/adscodes.h"
#include "host/win/textutil.h"

namespace {

using host::ads_text::isDigit;
using host::ads_text::isLetter;

struct Range {
    char32_t lo, hi;
};

struct Element {
    enum Kind { Literal, Digit, Letter, NonAlnum, Star, Any, Set } kind = Literal;
    char32_t ch = 0;
    bool negated = false;  // Set only
    std::vector<Range> ranges;

    bool matches(char32_t c) const {
        switch (kind) {
            case Literal:
                return c == ch;
            case Digit:
                return isDigit(c);
            case Letter:
                return isLetter(c);
            case NonAlnum:
                return !isDigit(c) && !isLetter(c);
            case Any:
                return true;
            case Set: {
                bool in = false;
                for (const Range& r : ranges) in = in || (c >= r.lo && c <= r.hi);
                return in != negated;
            }
            case Star:
                return true;
        }
        return false;
    }
};

struct Alternative {
    bool negated = false;
    std::vector<Element> elements;
};

std::vector<Alternative> compile(const std::u32string& p);
template <class Text>
bool matchAlternative(const std::vector<Element>& pat, const Text& text);

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// An ASCII text seen as code points, upper-cased on the fly when asked.
struct AsciiText {
    std::string_view s;
    bool upper;
    size_t size() const { return s.size(); }
    char32_t operator[](size_t i) const {
        const char c = s[i];
        return upper && c >= 'a' && c <= 'z' ? static_cast<char32_t>(c - 32) : static_cast<char32_t>(c);
    }
};

}  // namespace

int zcutWcMatch(const char* text, const char* pattern) {
    return host::wcMatch(text, pattern) ? RTNORM : RTERROR;
}

namespace host {

struct WcPattern::Compiled {
    std::vector<Alternative> alternatives;
};

WcPattern::WcPattern(std::string_view pattern)
    : m_compiled(std::make_shared<Compiled>(Compiled{compile(ads_text::decode(pattern))})) {}

bool WcPattern::matches(std::string_view text, bool upperText) const {
    auto any = [&](const auto& t) {
        for (const Alternative& alt : m_compiled->alternatives)
            if (matchAlternative(alt.elements, t) != alt.negated) return true;
        return false;
    };
    if (isAscii(text)) return any(AsciiText{text, upperText});
    return any(ads_text::decode(upperText ? toUpper(text) : std::string(text)));
}

bool isLiteralWcPattern(std::string_view pattern) {
    // Asked of the application names of every entity-data read: a table,
    // not a search of the special characters for each character.
    static const auto special = [] {
        std::array<bool, 256> t{};
        for (std::size_t c = 0x80; c < t.size(); ++c) t[c] = true;
        for (char c : std::string_view("#@.*?[`,~\\")) t[static_cast<unsigned char>(c)] = true;
        return t;
    }();
    for (char c : pattern)
        if (special[static_cast<unsigned char>(c)]) return false;
    return true;
}

bool wcMatch(const char* text, const char* pattern) {
    if (!text || !pattern) return false;
    // Application names and other plain words are compared as they are:
    // compiling them was most of the cost of reading an entity's data.
    if (isLiteralWcPattern(pattern)) return std::strcmp(text, pattern) == 0;
    return WcPattern(pattern).matches(text);
}

}  // namespace host

namespace {

// Reads one bracket set starting after '['; returns the index after ']' or
// npos when the set is not closed.
size_t compileSet(const std::u32string& p, size_t i, Element& e) {
    e.kind = Element::Set;
    if (i < p.size() && p[i] == U'~') {
        e.negated = true;
        ++i;
    }
    bool first = true;
    while (i < p.size()) {
        char32_t c = p[i];
        if (c == U']' && !first) return i + 1;
        first = false;
        if (c == U'`' && i + 1 < p.size()) c = p[++i];
        if (i + 2 < p.size() && p[i + 1] == U'-' && p[i + 2] != U']') {
            char32_t hi = p[i + 2];
            if (hi == U'`' && i + 3 < p.size()) {
                hi = p[i + 3];
                ++i;
            }
            e.ranges.push_back({c, hi});
            i += 3;
        } else {
            e.ranges.push_back({c, c});
            ++i;
        }
    }
    return std::u32string::npos;
}

std::vector<Alternative> compile(const std::u32string& p) {
    std::vector<Alternative> alts(1);
    bool atStart = true;
    for (size_t i = 0; i < p.size(); ++i) {
        char32_t c = p[i];
        Alternative& cur = alts.back();
        if (c == U',') {
            alts.emplace_back();
            atStart = true;
            continue;
        }
        if (c == U'~' && atStart) {
            cur.negated = true;
            atStart = false;
            continue;
        }
        atStart = false;
        Element e;
        switch (c) {
            case U'#':
                e.kind = Element::Digit;
                break;
            case U'@':
                e.kind = Element::Letter;
                break;
            case U'.':
                e.kind = Element::NonAlnum;
                break;
            case U'*':
                e.kind = Element::Star;
                break;
            case U'?':
                e.kind = Element::Any;
                break;
            case U'`':
                e.ch = i + 1 < p.size() ? p[++i] : U'`';
                break;
            case U'[': {
                size_t next = compileSet(p, i + 1, e);
                if (next == std::u32string::npos) {
                    e = Element{};
                    e.ch = U'[';
                } else {
                    i = next - 1;
                }
                break;
            }
            default:
                e.ch = c;
                break;
        }
        cur.elements.push_back(std::move(e));
    }
    return alts;
}

template <class Text>
bool matchAlternative(const std::vector<Element>& pat, const Text& text) {
    size_t t = 0, p = 0;
    size_t starP = std::u32string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pat.size() && pat[p].kind == Element::Star) {
            starP = p++;
            starT = t;
        } else if (p < pat.size() && pat[p].matches(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p].kind == Element::Star) ++p;
    return p == pat.size();
}

}  // namespace
