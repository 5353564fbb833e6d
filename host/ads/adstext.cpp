// UTF-8 decoding is lenient: a byte that does not start a valid sequence is
// taken as the code point of the same value, so no input is ever refused.
#include "host/ads/adstext.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace host::ads_text {

std::u32string decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c >> 6) != 2) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(b);
            ++i;
        } else {
            out.push_back(cp);
            i += len;
        }
    }
    return out;
}

std::string encode(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

char32_t upper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    // Latin-1 lower-case letters (Italian à è é ì ò ù, Polish ó) sit 32 above
    // their capitals, except the division sign and ÿ.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    // Latin Extended-A pairs capital/small as even/odd (ą ć ę ń ś), but
    // ł, ń, ź, ż sit in the odd/even stretches.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
    return c;
}

std::string upper(std::string_view s) {
    std::u32string cps = decode(s);
    for (char32_t& c : cps) c = upper(c);
    return encode(cps);
}

bool iequals(std::string_view a, std::string_view b) { return upper(a) == upper(b); }

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }

bool isLetter(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
    return false;
}

bool isUpperLetter(char32_t c) { return isLetter(c) && upper(c) == c && c != 0xDF; }

std::optional<double> parseReal(std::string_view s) {
    std::string t = trim(s);
    if (t.empty()) return std::nullopt;
    const char* b = t.data();
    const char* e = b + t.size();
    if (*b == '+') ++b;
    if (b == e) return std::nullopt;
    double v = 0;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<long long> parseInteger(std::string_view s) {
    std::string t = trim(s);
    if (t.empty()) return std::nullopt;
    const char* b = t.data();
    const char* e = b + t.size();
    if (*b == '+') ++b;
    long long v = 0;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e) return std::nullopt;
    return v;
}

std::string format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, ap2);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

std::string fixed(double v, int decimals) {
    char buf[512];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "0";
    return std::string(buf, p);
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace host::ads_text
