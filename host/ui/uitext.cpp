// UTF-8 helpers for the dialog library: see uitext.h. Code points and case
// come from the platform's one case mapping (host/win/textutil.h); what is
// the dialogs' own is the order of sorted lists.
#include "host/ui/uitext.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "host/win/textutil.h"

namespace zcui {
namespace {

// The base letter of a lower-case letter with a diacritic, 0 for none.
char32_t Base(char32_t cp) {
    switch (cp) {
        case 0x105:
        case 0xE0:
            return 'a';
        case 0x107:
            return 'c';
        case 0x119:
        case 0xE8:
        case 0xE9:
            return 'e';
        case 0xEC:
        case 0xED:
            return 'i';
        case 0x142:
            return 'l';
        case 0x144:
            return 'n';
        case 0xF3:
        case 0xF2:
            return 'o';
        case 0x15B:
            return 's';
        case 0xF9:
        case 0xFA:
            return 'u';
        case 0x17A:
        case 0x17C:
            return 'z';
        default:
            return 0;
    }
}

// A sort weight of the code point at text[i], advancing i: each base letter
// leaves room for its accented forms; a byte that is not UTF-8 sorts after
// every letter, by its own value.
std::uint64_t Weight(std::string_view text, size_t& i) {
    size_t at = i;
    bool valid = true;
    char32_t cp = host::decodeUtf8(text, i, &valid);
    if (!valid) return (0x110000u + static_cast<unsigned char>(text[at])) * std::uint64_t{64};
    cp = host::lowerCodePoint(cp);
    if (char32_t b = Base(cp)) return static_cast<std::uint64_t>(b) * 64 + 1 + (cp & 31);
    return static_cast<std::uint64_t>(cp) * 64;
}

}  // namespace

// Every control painted measures its text: ASCII bytes, most of any
// label, are counted here rather than decoded one call each.
int CodePointCount(std::string_view text) {
    int n = 0;
    size_t i = 0;
    while (i < text.size()) {
        for (std::uint64_t word; i + 8 <= text.size(); i += 8, n += 8) {
            std::memcpy(&word, text.data() + i, 8);
            if (word & 0x8080808080808080ull) break;
        }
        // One byte at a time up to and through the next character that is not ASCII.
        while (i < text.size()) {
            ++n;
            if (static_cast<unsigned char>(text[i]) < 0x80) {
                ++i;
                continue;
            }
            host::decodeUtf8(text, i);
            break;
        }
    }
    return n;
}

std::string FoldLower(std::string_view text) {
    return host::toLower(text);
}
std::string FoldUpper(std::string_view text) {
    return host::toUpper(text);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    std::string t = FoldLower(text), p = FoldLower(prefix);
    return t.compare(0, p.size(), p) == 0;
}

int CollateCompare(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::uint64_t wa = Weight(a, i), wb = Weight(b, j);
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool TokeniseLine(std::string_view line, std::vector<LineToken>& out, std::string& error,
                  const LineTokenRules& rules) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (blank(c)) {
            ++i;
        } else if (c == '#' && rules.hashComments) {
            break;
        } else if (c == '"') {
            LineToken t{true, {}};
            bool closed = false;
            for (++i; i < line.size();) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && i < line.size()) {
                    char e = line[i++];
                    t.text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' && rules.escapeReturn ? '\r' : e;
                } else {
                    t.text += d;
                }
            }
            if (!closed) {
                error = rules.unclosed;
                return false;
            }
            out.push_back(std::move(t));
        } else {
            size_t start = i;
            while (i < line.size() && !blank(line[i]) && line[i] != '"') ++i;
            out.push_back(LineToken{false, std::string(line.substr(start, i - start))});
        }
    }
    return true;
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string out = host::vformat(fmt, args);
    va_end(args);
    return out;
}

}  // namespace zcui
