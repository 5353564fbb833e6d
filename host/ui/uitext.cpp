// UTF-8 helpers for the dialog library: see uitext.h.  Folding walks code
// points; only the Latin letters that Polish and Italian texts use change.
#include "host/ui/uitext.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace zcui {
namespace {

// Decodes one code point at text[i], advancing i; a bad byte yields itself.
char32_t Next(std::string_view text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return c;
    }
    char32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Pairs of upper and lower case beyond ASCII.
constexpr char32_t kPairs[][2] = {
    {0x104, 0x105}, {0x106, 0x107}, {0x118, 0x119}, {0x141, 0x142}, {0x143, 0x144}, {0xD3, 0xF3},
    {0x15A, 0x15B}, {0x179, 0x17A}, {0x17B, 0x17C}, {0xC0, 0xE0},   {0xC8, 0xE8},   {0xC9, 0xE9},
    {0xCC, 0xEC},   {0xCD, 0xED},   {0xD2, 0xF2},   {0xD9, 0xF9},   {0xDA, 0xFA},
};

char32_t Lower(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    for (auto& p : kPairs)
        if (p[0] == cp) return p[1];
    return cp;
}

char32_t Upper(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    for (auto& p : kPairs)
        if (p[1] == cp) return p[0];
    return cp;
}

// The base letter of a lower-case letter with a diacritic, 0 for none.
char32_t Base(char32_t cp) {
    switch (cp) {
        case 0x105: case 0xE0: return 'a';
        case 0x107: return 'c';
        case 0x119: case 0xE8: case 0xE9: return 'e';
        case 0xEC: case 0xED: return 'i';
        case 0x142: return 'l';
        case 0x144: return 'n';
        case 0xF3: case 0xF2: return 'o';
        case 0x15B: return 's';
        case 0xF9: case 0xFA: return 'u';
        case 0x17A: case 0x17C: return 'z';
        default: return 0;
    }
}

// A sort weight: each base letter leaves room for its accented forms.
std::uint64_t Weight(char32_t cp) {
    cp = Lower(cp);
    if (char32_t b = Base(cp)) return static_cast<std::uint64_t>(b) * 64 + 1 + (cp & 31);
    return static_cast<std::uint64_t>(cp) * 64;
}

template <class F>
std::string Map(std::string_view text, F f) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) Append(out, f(Next(text, i)));
    return out;
}

}  // namespace

int CodePointCount(std::string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++n) Next(text, i);
    return n;
}

std::string FoldLower(std::string_view text) { return Map(text, Lower); }
std::string FoldUpper(std::string_view text) { return Map(text, Upper); }

bool EqualNoCase(std::string_view a, std::string_view b) { return FoldLower(a) == FoldLower(b); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    std::string t = FoldLower(text), p = FoldLower(prefix);
    return t.compare(0, p.size(), p) == 0;
}

int CollateCompare(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::uint64_t wa = Weight(Next(a, i)), wb = Weight(Next(b, j));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

}  // namespace zcui
