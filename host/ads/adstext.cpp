// UTF-8 decoding is lenient: a byte that does not start a valid sequence is
// taken as the code point of the same value, so no input is ever refused.
// Code points and letter case come from the platform's one mapping in
// host/win/textutil.h.
#include "host/ads/adstext.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>

#include "host/win/textutil.h"

namespace host::ads_text {

std::u32string decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) out.push_back(decodeUtf8(s, i));
    return out;
}

std::string encode(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) appendUtf8(out, c);
    return out;
}

char32_t upper(char32_t c) {
    return upperCodePoint(c);
}

std::string upper(std::string_view s) {
    return toUpper(s);
}

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    if (c >= 0xC0 && c <= 0x24F) return c != 0xD7 && c != 0xF7;
    return false;
}

bool isUpperLetter(char32_t c) {
    return isLetter(c) && upper(c) == c && c != 0xDF;
}

namespace {
std::string_view trimmedView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}
}  // namespace

std::optional<double> parseReal(std::string_view s) {
    const std::string_view t = trimmedView(s);
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
    const std::string_view t = trimmedView(s);
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
    std::string out = vformat(fmt, ap);
    va_end(ap);
    return out;
}

std::string fixed(double v, int decimals) {
    return formatFixed(v, decimals);
}

std::string trim(std::string_view s) {
    return std::string(trimmedView(s));
}

}  // namespace host::ads_text
