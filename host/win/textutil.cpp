// Number conversions through <charconv> (never the C locale functions, whose
// decimal separator follows the user's locale) and simple case mapping of
// the Latin letters by their code point ranges.
#include "host/win/textutil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace host {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string toChars(double value, std::chars_format fmt, int precision) {
    // Room for the longest fixed form (309 integer digits) and the decimals.
    std::string buf(400 + static_cast<std::size_t>(precision), '\0');
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, fmt, precision);
    buf.resize(res.ec == std::errc() ? static_cast<std::size_t>(res.ptr - buf.data()) : 0);
    return buf;
}

// Skips blanks and takes an optional sign; from_chars itself accepts only '-'.
std::size_t signStart(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// Comparison key of one code point: its capital form, or a value above every
// code point for a byte that is not valid UTF-8, so such bytes sort apart.
char32_t foldKey(std::string_view text, std::size_t& pos) {
    bool valid = true;
    std::size_t at = pos;
    char32_t cp = decodeUtf8(text, pos, &valid);
    if (!valid) return 0x110000 + static_cast<unsigned char>(text[at]);
    return upperCodePoint(cp);
}

// `upper`: which way map goes, for the ASCII runs mapped here in line
// (map agrees on them: only the 26 letters of the other case change).
template <class Map>
std::string mapCase(std::string_view text, Map map, bool upper) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t at = pos;
        // Names, keywords and numbers are nearly always ASCII: a run of it is
        // copied at once and mapped in place, without decoding.
        std::size_t run = pos;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) ++run;
        if (run > pos) {
            const std::size_t from = out.size();
            out.append(text.substr(pos, run - pos));
            const char first = upper ? 'a' : 'A', last = upper ? 'z' : 'Z';
            for (std::size_t i = from; i < out.size(); ++i)
                if (out[i] >= first && out[i] <= last) out[i] = static_cast<char>(out[i] ^ 0x20);
            pos = run;
            continue;
        }
        bool valid = true;
        char32_t cp = decodeUtf8(text, pos, &valid);
        if (valid)
            appendUtf8(out, map(cp));
        else
            out.push_back(text[at]);
    }
    return out;
}

}  // namespace

std::string formatNumber(double value, int precision) {
    if (precision < 1) precision = 1;
    return toChars(value, std::chars_format::general, precision);
}

std::string formatFixed(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    return toChars(value, std::chars_format::fixed, decimals);
}

std::optional<double> parseDoublePrefix(std::string_view text, std::size_t* used) {
    bool negative = false;
    std::size_t start = signStart(text, negative);
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) return std::nullopt;
    double value = 0;
    auto res =
        std::from_chars(text.data() + start, text.data() + text.size(), value, std::chars_format::general);
    if (res.ec == std::errc::invalid_argument) return std::nullopt;
    if (res.ec == std::errc::result_out_of_range) {
        // As strtod: too large gives infinity, too small gives zero. The
        // exponent's sign tells which; without one, a non-zero integer part.
        std::string_view lit(text.data() + start, static_cast<std::size_t>(res.ptr - (text.data() + start)));
        std::size_t e = lit.find_first_of("eE");
        bool huge;
        if (e != std::string_view::npos)
            huge = !(e + 1 < lit.size() && lit[e + 1] == '-');
        else
            huge = lit.substr(0, lit.find('.')).find_first_of("123456789") != std::string_view::npos;
        value = huge ? HUGE_VAL : 0.0;
    }
    if (used) *used = static_cast<std::size_t>(res.ptr - text.data());
    return negative ? -value : value;
}

std::optional<double> parseDouble(std::string_view text) {
    std::size_t used = 0;
    auto value = parseDoublePrefix(text, &used);
    if (!value) return std::nullopt;
    while (used < text.size() && isBlank(text[used])) ++used;
    if (used != text.size()) return std::nullopt;
    return value;
}

std::optional<long long> parseIntegerPrefix(std::string_view text, std::size_t* used) {
    bool negative = false;
    std::size_t start = signStart(text, negative);
    unsigned long long magnitude = 0;
    auto res = std::from_chars(text.data() + start, text.data() + text.size(), magnitude, 10);
    if (res.ec == std::errc::invalid_argument) return std::nullopt;
    long long value;
    constexpr unsigned long long limit = 9223372036854775807ULL;
    if (res.ec == std::errc::result_out_of_range || magnitude > limit + (negative ? 1 : 0))
        value = negative ? (-static_cast<long long>(limit) - 1)
                         : static_cast<long long>(limit);  // clamps as strtoll
    else if (negative)
        value =
            magnitude == limit + 1 ? -static_cast<long long>(limit) - 1 : -static_cast<long long>(magnitude);
    else
        value = static_cast<long long>(magnitude);
    if (used) *used = static_cast<std::size_t>(res.ptr - text.data());
    return value;
}

std::optional<long long> parseInteger(std::string_view text) {
    std::size_t used = 0;
    auto value = parseIntegerPrefix(text, &used);
    if (!value) return std::nullopt;
    while (used < text.size() && isBlank(text[used])) ++used;
    if (used != text.size()) return std::nullopt;
    return value;
}

std::string vformat(const char* fmt, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        out.assign(buf.data(), static_cast<std::size_t>(n));
    }
    return out;
}

std::string toUpper(std::string_view utf8) {
    return mapCase(utf8, upperCodePoint, true);
}
std::string toLower(std::string_view utf8) {
    return mapCase(utf8, lowerCodePoint, false);
}

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Eight ASCII bytes with their small letters made capital: a byte of 'a'
// and above, and not above 'z', loses 0x20. No byte carries into the next
// (each is below 0x80 and gains at most 0x1f).
std::uint64_t CapitalWord(std::uint64_t w) {
    const std::uint64_t fromA = (w + 0x1f1f1f1f1f1f1f1full) & kHighBits;
    const std::uint64_t pastZ = (w + 0x0505050505050505ull) & kHighBits;
    return w - ((fromA & ~pastZ) >> 2);
}

bool AllAscii(std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8)
        if (Word(s.data() + i) & kHighBits) return false;
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

}  // namespace

// Names compared for equality are mostly ASCII and of a dozen letters or
// more (layers, tables, applications): they are compared eight bytes at a
// time while both sides are ASCII, and texts of different lengths are told
// apart at once unless a letter beyond ASCII could fold to the other's.
bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return !(AllAscii(a) && AllAscii(b)) && icompare(a, b) == 0;
    std::size_t i = 0;
    for (; i + 8 <= a.size(); i += 8) {
        const std::uint64_t x = Word(a.data() + i), y = Word(b.data() + i);
        if ((x | y) & kHighBits) break;
        if (x != y && CapitalWord(x) != CapitalWord(y)) return false;
    }
    // The bytes before i are whole ASCII characters on both sides; so are
    // the ones this loop passes, up to a letter beyond ASCII on either.
    for (; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) >= 0x80) return icompare(a.substr(i), b.substr(i)) == 0;
        if (ca != cb && (ca >= 'a' && ca <= 'z' ? ca - 32u : ca) != (cb >= 'a' && cb <= 'z' ? cb - 32u : cb))
            return false;
    }
    return true;
}

int icompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            const unsigned ka = ca >= 'a' && ca <= 'z' ? ca - 32u : ca;
            const unsigned kb = cb >= 'a' && cb <= 'z' ? cb - 32u : cb;
            if (ka != kb) return ka < kb ? -1 : 1;
            ++i, ++j;
            continue;
        }
        char32_t ka = foldKey(a, i), kb = foldKey(b, j);
        if (ka != kb) return ka < kb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

char32_t decodeUtf8(std::string_view text, std::size_t& pos, bool* valid) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(pos);
    if (valid) *valid = true;
    if (c < 0x80) {
        ++pos;
        return c;
    }
    int extra = 0;
    char32_t cp = 0, min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        cp = c & 0x1F;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        cp = c & 0x0F;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        cp = c & 0x07;
        min = 0x10000;
    }
    bool ok = extra > 0 && pos + static_cast<std::size_t>(extra) < text.size();
    if (ok) {
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = byte(pos + static_cast<std::size_t>(k));
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
        if (valid) *valid = false;
        ++pos;
        return c;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool isValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    bool valid = true;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        decodeUtf8(text, pos, &valid);
        if (!valid) return false;
    }
    return true;
}

namespace {

// A line longer than a few screen lines is no message anyone reads whole;
// what is kept of it and the note of its length stay within the limit.
constexpr std::size_t kMaxShownLine = 500;
constexpr std::size_t kKeptOfLongLine = 400;

// The characters that turn the order in which a terminal shows the text
// (the bidirectional controls): a name holding one can show as another.
bool isBidiControl(char32_t cp) {
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
}

// One character as shown: the caret escape of a control character, the
// code point of a bidirectional control, else the character itself.
void appendShown(std::string& out, std::string_view text, std::size_t start, std::size_t end, char32_t cp) {
    if ((cp < 0x20 && cp != '\n' && cp != '\t') || cp == 0x7F) {
        out += '^';
        out += cp == 0x7F ? '?' : static_cast<char>(cp + '@');
    } else if (cp >= 0x80 && cp <= 0x9F) {
        out += "M-^";
        out += static_cast<char>(cp - 0x80 + '@');
    } else if (isBidiControl(cp)) {
        char code[16];
        std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(cp));
        out += code;
    } else {
        out.append(text.substr(start, end - start));
    }
}

// Characters of a shown text: its escapes are ASCII, so counting the
// bytes that begin a code point counts what the terminal shows.
std::size_t shownLength(std::string_view shown) {
    return static_cast<std::size_t>(std::count_if(
        shown.begin(), shown.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string cutNote(std::size_t chars) {
    // Polish counts 2 to 4 (but 12 to 14) apart from the rest.
    const std::size_t ones = chars % 10, tens = chars % 100;
    const char* noun = ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? "znaki" : "znaków";
    return " … (skrócono: wiersz ma " + std::to_string(chars) + " " + noun + ")";
}

}  // namespace

std::string shownText(std::string_view text) {
    const auto mayNeed = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\n' && b != '\t') || (b >= 0x7F && b <= 0x9F);
    };
    // Most texts hold none and are short: one scan, one copy.
    if (text.size() <= kMaxShownLine && std::none_of(text.begin(), text.end(), mayNeed))
        return std::string(text);
    std::string out;
    out.reserve(std::min(text.size(), 4 * kMaxShownLine) + 8);
    for (std::size_t pos = 0; pos <= text.size();) {
        // One line at a time: escaped, and cut when its shown form is past
        // the limit. The limit is on what is shown, and a cut line with its
        // note stays within it, so a text shown twice is shown as once.
        const std::size_t lineEnd = std::min(text.find('\n', pos), text.size());
        std::size_t chars = 0, shown = 0, keptBytes = std::string::npos;
        while (pos < lineEnd) {
            const std::size_t start = pos;
            const char32_t cp = decodeUtf8(text, pos);
            ++chars;
            if (shown > kMaxShownLine) continue;  // past the limit: only counted
            const std::size_t before = out.size();
            appendShown(out, text, start, pos, cp);
            shown += shownLength(std::string_view(out).substr(before));
            if (keptBytes == std::string::npos && shown > kKeptOfLongLine) keptBytes = before;
        }
        if (shown > kMaxShownLine) {
            out.resize(keptBytes);
            out += cutNote(chars);
        }
        if (lineEnd == text.size()) break;
        out += '\n';
        pos = lineEnd + 1;
    }
    return out;
}

char32_t upperCodePoint(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp < 0xE0) return cp;
    if (cp <= 0xFE) return cp == 0xF7 ? cp : cp - 32;
    if (cp == 0xFF) return 0x178;
    if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return (cp & 1) ? cp - 1 : cp;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp & 1) ? cp : cp - 1;
    return cp;
}

char32_t lowerCodePoint(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp < 0xC0) return cp;
    if (cp <= 0xDE) return cp == 0xD7 ? cp : cp + 32;
    if (cp == 0x178) return 0xFF;
    if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return (cp & 1) ? cp : cp + 1;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp & 1) ? cp + 1 : cp;
    return cp;
}

}  // namespace host
