// The pieces of DXF text a writer puts down millions of times: group-code
// lines, reals, integers and handles, each formatted straight into a
// caller's buffer (no strings made). Reals come out exactly as
// std::to_chars's shortest form with ".0" added to a whole number, so a
// file reads back to the same doubles and saving twice gives the same bytes.
// Angles, degrees in the file and radians inside, are turned one way by the
// reader and back by the writer so that a value read is written as it came.
#pragma once

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>

namespace host::dxf {

// Room a caller leaves for each piece.
inline constexpr std::size_t kCodeLineRoom = 16;  // "%3d\n" of any int
inline constexpr std::size_t kRealRoom = 32;
inline constexpr std::size_t kIntegerRoom = 24;
inline constexpr std::size_t kHandleRoom = 16;

namespace detail {

// "  0\n", " 10\n", "330\n", "1001\n": each line in 8 bytes, its length last.
inline constexpr int kTableCodes = 1072;
inline constexpr auto kCodeLines = [] {
    std::array<std::array<char, 8>, kTableCodes> t{};
    for (int c = 0; c < kTableCodes; ++c) {
        char digits[4];
        int n = 0;
        for (int v = c; n == 0 || v > 0; v /= 10) digits[n++] = static_cast<char>('0' + v % 10);
        auto& e = t[static_cast<std::size_t>(c)];
        int at = 0;
        for (int pad = 3 - n; pad > 0; --pad) e[static_cast<std::size_t>(at++)] = ' ';
        while (n > 0) e[static_cast<std::size_t>(at++)] = digits[--n];
        e[static_cast<std::size_t>(at++)] = '\n';
        e[7] = static_cast<char>(at);
    }
    return t;
}();

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline int decimalDigits(std::uint64_t v) {
    // Most values are short: a few comparisons before any division.
    if (v < 10) return 1;
    if (v < 100) return 2;
    if (v < 1000) return 3;
    if (v < 10000) return 4;
    int n = 5;
    for (v /= 10000; v >= 10; v /= 10) ++n;
    return n;
}

// The digits of v, exactly `n` of them (decimalDigits(v) or more, zero-padded).
inline char* putDigits(char* p, std::uint64_t v, int n) {
    char* end = p + n;
    char* q = end;
    while (v >= 100) {
        std::uint64_t r = v % 100;
        v /= 100;
        q -= 2;
        std::memcpy(q, kDigitPairs + 2 * r, 2);
    }
    if (v >= 10) {
        q -= 2;
        std::memcpy(q, kDigitPairs + 2 * v, 2);
    } else {
        *--q = static_cast<char>('0' + v);
    }
    while (q > p) *--q = '0';
    return end;
}

// std::to_chars's shortest text, ".0" added when it is a whole number
// written without exponent.
inline char* realByLibrary(char* p, double v) {
    char* end = std::to_chars(p, p + kRealRoom - 3, v).ptr;
    for (char* c = p; c != end; ++c)
        if (*c == '.' || *c == 'e') return end;
    std::memcpy(end, ".0", 2);
    return end + 2;
}

}  // namespace detail

// The group-code line of `code`, right-aligned in three columns.
inline char* putCodeLine(char* p, int code) {
    if (code >= 0 && code < detail::kTableCodes) {
        const auto& e = detail::kCodeLines[static_cast<std::size_t>(code)];
        std::memcpy(p, e.data(), 8);
        return p + e[7];
    }
    char buf[16];
    char* end = std::to_chars(buf, buf + sizeof buf, code).ptr;
    auto n = end - buf;
    for (; n < 3; ++n) *p++ = ' ';
    std::memcpy(p, buf, static_cast<std::size_t>(end - buf));
    p += end - buf;
    *p++ = '\n';
    return p;
}

inline char* putInteger(char* p, long long v) {
    std::uint64_t u = static_cast<std::uint64_t>(v);
    if (v < 0) {
        *p++ = '-';
        u = 0 - u;
    }
    return detail::putDigits(p, u, detail::decimalDigits(u));
}

// Upper-case hexadecimal without leading zeros ("0" for none).
inline char* putHandle(char* p, std::uint64_t v) {
    int n = v ? (67 - std::countl_zero(v)) / 4 : 1;
    for (int i = n - 1; i >= 0; --i) {
        p[i] = "0123456789ABCDEF"[v & 15];
        v >>= 4;
    }
    return p + n;
}

// A real as the shortest text that reads back to the same double, '.'
// always; a NaN or infinity (no reader takes them) as 0. Most drawing
// values have a few decimals and a moderate size: those are found with one
// multiplication and checked with one division, the rest go to the library.
inline char* putReal(char* p, double v) {
    if (!std::isfinite(v)) v = 0;
    double a = std::fabs(v);
    if (a == 0) {
        if (std::signbit(v)) *p++ = '-';
        std::memcpy(p, "0.0", 3);
        return p + 3;
    }
    // Below 1e-3 the exponent form can be shorter; from 1e7 on six decimals
    // no longer single out one double.
    if (a >= 1e-3 && a < 1e7) {
        double scaled = std::nearbyint(a * 1e6);
        if (scaled / 1e6 == a) {
            auto m = static_cast<std::uint64_t>(scaled);
            std::uint64_t whole = m / 1000000, frac = m % 1000000;
            int digits = detail::decimalDigits(whole);
            if (frac == 0 && digits > 5) {
                // A whole number of 6 or 7 digits: the exponent form wins
                // when it is shorter ("1e+06", "2.5e+06").
                int zeros = 0;
                for (std::uint64_t w = whole; w % 10 == 0; w /= 10) ++zeros;
                int significant = digits - zeros;
                if (digits > significant + (significant > 1 ? 1 : 0) + 4) return detail::realByLibrary(p, v);
            }
            if (v < 0) *p++ = '-';
            p = detail::putDigits(p, whole, digits);
            *p++ = '.';
            if (frac == 0) {
                *p++ = '0';
                return p;
            }
            // All six decimals from the pair table, then the trailing zeros off.
            auto f = static_cast<std::uint32_t>(frac);
            std::memcpy(p, detail::kDigitPairs + 2 * (f / 10000), 2);
            std::memcpy(p + 2, detail::kDigitPairs + 2 * (f / 100 % 100), 2);
            std::memcpy(p + 4, detail::kDigitPairs + 2 * (f % 100), 2);
            p += 6;
            while (p[-1] == '0') --p;
            return p;
        }
    }
    return detail::realByLibrary(p, v);
}

// Degrees of the file to the radians the database keeps: the one
// conversion every reader of angle groups uses.
inline double radiansOf(double degrees) {
    return degrees * (std::numbers::pi / 180.0);
}

namespace detail {

// std::nextafter towards plus infinity, by the bits of the value: the
// library call costs more than the rest of the degree search.
inline double stepUp(double x) {
    if (x == 0.0) return std::numeric_limits<double>::denorm_min();
    if (std::isnan(x) || x == HUGE_VAL) return x;
    const auto bits = std::bit_cast<std::uint64_t>(x);
    return std::bit_cast<double>(x > 0 ? bits + 1 : bits - 1);
}

// std::nextafter towards minus infinity.
inline double stepDown(double x) {
    return -stepUp(-x);
}

}  // namespace detail

// The degrees to write for an angle the database keeps: a value that
// radiansOf turns back into the same radians whenever one exists. The plain
// product can miss by an ulp or two (then a value read from a file would
// change its last digits on every save), so its nearest neighbours are
// tried too. Where several degree values give the same radians the one of
// the shortest text is taken, the nearest of those: files mostly hold short
// numbers, and saving again gives the same bytes.
inline double degreesOf(double radians) {
    const double plain = radians * 180.0 / std::numbers::pi;
    // Zero keeps its sign (the search below would pass over +0).
    if (!std::isfinite(plain) || plain == 0.0) return plain;
    // The degree values of one radian value lie side by side: a plain value
    // that fits while its neighbours do not is the only one.
    if (radiansOf(plain) == radians && radiansOf(detail::stepDown(plain)) != radians &&
        radiansOf(detail::stepUp(plain)) != radians)
        return plain;
    constexpr int kReach = 8;
    double v = plain;
    for (int k = 0; k < kReach; ++k) v = detail::stepDown(v);
    double fits[2 * kReach + 1];
    int count = 0;
    for (int k = 0; k <= 2 * kReach; ++k, v = detail::stepUp(v))
        if (radiansOf(v) == radians) fits[count++] = v;
    if (count == 1) return fits[0];
    double best = plain, bestDistance = 0;
    std::ptrdiff_t bestLength = 0;
    for (int k = 0; k < count; ++k) {
        char text[kRealRoom];
        const std::ptrdiff_t length = std::to_chars(text, text + sizeof text, fits[k]).ptr - text;
        const double distance = std::fabs(fits[k] - plain);
        if (bestLength == 0 || length < bestLength || (length == bestLength && distance < bestDistance)) {
            best = fits[k];
            bestLength = length;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace host::dxf
