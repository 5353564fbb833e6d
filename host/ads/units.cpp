// Lengths are formatted by rounding once, at the smallest step shown
// (1/10^prec or 1/2^prec inch), then splitting into feet and inches, so a
// value just under a foot never shows as 12 inches. Angles are rounded the
// same way and a full turn folds back to 0.
#include "host/ads/units.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <numeric>

#include "host/ads/adstext.h"
#include "host/ads/sysvars.h"

namespace {

using host::ads_text::fixed;
using host::ads_text::format;

constexpr double kPi = 3.14159265358979323846;

// What ads_text::trim keeps, as a view.
std::string_view trimmedView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

int copyOut(const std::optional<std::string>& s, char* str, size_t bufLen) {
    if (!s || !str || bufLen == 0) return RTERROR;
    if (s->size() + 1 > bufLen) {
        std::memcpy(str, s->data(), bufLen - 1);
        str[bufLen - 1] = '\0';
        return RTERROR;
    }
    std::memcpy(str, s->c_str(), s->size() + 1);
    return RTNORM;
}

std::string dropTrailingZeros(std::string s) {
    size_t dot = s.find('.');
    if (dot == std::string::npos) return s;
    size_t end = s.size();
    while (end > dot + 1 && s[end - 1] == '0') --end;
    if (end == dot + 1) --end;
    return s.substr(0, end);
}

std::string decimalText(double v, int prec, int dimzin) {
    std::string s = fixed(v, prec);
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);  // no "-0.00"
    if (dimzin & 8) s = dropTrailingZeros(s);
    if (dimzin & 4) {
        size_t z = s[0] == '-' ? 1 : 0;
        if (s.size() > z + 1 && s[z] == '0' && s[z + 1] == '.') s.erase(z, 1);
    }
    return s;
}

std::string scientificText(double v, int prec, int dimzin) {
    std::string s = format("%.*E", prec, v);
    if (dimzin & 8) {
        size_t e = s.find('E');
        s = dropTrailingZeros(s.substr(0, e)) + s.substr(e);
    }
    return s;
}

// Feet and inches with the zero rules of DIMZIN's low bits.
std::string feetInches(bool negative, long long feet, const std::string& inches, bool zeroInches,
                       int dimzin) {
    int mode = dimzin & 3;
    bool showFeet = feet != 0 || mode == 1 || mode == 2;
    bool showInches = !zeroInches || mode == 1 || mode == 3 || !showFeet;
    std::string s = negative ? "-" : "";
    if (showFeet) s += std::to_string(feet) + "'";
    if (showFeet && showInches) s += "-";
    if (showInches) s += inches + "\"";
    return s;
}

std::string engineeringText(double v, int prec, int dimzin) {
    double step = std::pow(10.0, -prec);
    double steps = std::round(std::fabs(v) / step);
    double perFoot = std::round(12.0 / step);
    long long feet = static_cast<long long>(std::floor(steps / perFoot));
    double inches = (steps - feet * perFoot) * step;
    std::string in = decimalText(inches, prec, dimzin & 8);
    return feetInches(v < 0 && steps > 0, feet, in, steps - feet * perFoot == 0, dimzin);
}

// "w n/d" with the fraction reduced; "w" or "n/d" when a part is zero.
std::string fractionText(long long units, long long den) {
    long long whole = units / den, num = units % den;
    if (num == 0) return std::to_string(whole);
    long long g = std::gcd(num, den);
    std::string frac = std::to_string(num / g) + "/" + std::to_string(den / g);
    return whole == 0 ? frac : std::to_string(whole) + " " + frac;
}

std::string architecturalText(double v, int prec, int dimzin) {
    long long den = 1LL << prec;
    long long units = std::llround(std::fabs(v) * den);
    long long perFoot = 12 * den;
    long long feet = units / perFoot;
    long long rest = units - feet * perFoot;
    std::string in = fractionText(rest, den);
    if (feet != 0 && rest % den != 0 && rest < den) in = "0 " + in;
    return feetInches(v < 0 && units > 0, feet, in, rest == 0, dimzin);
}

std::string fractionalText(double v, int prec) {
    long long den = 1LL << prec;
    long long units = std::llround(std::fabs(v) * den);
    return (v < 0 && units > 0 ? "-" : "") + fractionText(units, den);
}

double normalizeAngle(double a) {
    a = std::fmod(a, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    return a;
}

// Degrees as d, d°m', or d°m's" at the precision; rounded once.
std::string dmsText(double degrees, int prec) {
    int secDecimals = prec > 4 ? prec - 4 : 0;
    if (prec == 0) return std::to_string(std::llround(degrees)) + "d";
    if (prec <= 2) {
        long long minutes = std::llround(degrees * 60.0);
        return std::to_string(minutes / 60) + "d" + std::to_string(minutes % 60) + "'";
    }
    double scale = std::pow(10.0, secDecimals);
    long long ticks = std::llround(degrees * 3600.0 * scale);
    long long perSecond = static_cast<long long>(scale);
    long long secondsWhole = ticks / perSecond;
    long long d = secondsWhole / 3600, m = (secondsWhole / 60) % 60;
    double s = static_cast<double>(ticks - (d * 3600 + m * 60) * perSecond) / scale;
    return std::to_string(d) + "d" + std::to_string(m) + "'" + fixed(s, secDecimals) + "\"";
}

// Rounds the angle to the step the precision shows and folds a full turn to
// zero, so 359.99999 at precision 0 reads "0", not "360".
double roundedDegrees(double radians, double stepDegrees) {
    double d = normalizeAngle(radians) * 180.0 / kPi;
    d = std::round(d / stepDegrees) * stepDegrees;
    return d >= 360.0 - stepDegrees / 2 ? 0.0 : d;
}

double dmsStep(int prec) {
    if (prec == 0) return 1.0;
    if (prec <= 2) return 1.0 / 60.0;
    return 1.0 / 3600.0 / std::pow(10.0, prec > 4 ? prec - 4 : 0);
}

std::string surveyorText(double radians, int prec) {
    double d = roundedDegrees(radians, dmsStep(prec));
    if (d == 0.0) return "E";
    if (d == 90.0) return "N";
    if (d == 180.0) return "W";
    if (d == 270.0) return "S";
    const char* ns = d < 180.0 ? "N" : "S";
    const char* ew = (d < 90.0 || d > 270.0) ? "E" : "W";
    double off = d < 90.0 ? 90.0 - d : d < 180.0 ? d - 90.0 : d < 270.0 ? 270.0 - d : d - 270.0;
    return std::string(ns) + " " + dmsText(off, prec) + " " + ew;
}

std::optional<double> parseFraction(const std::string& t) {
    using host::ads_text::parseInteger;
    using host::ads_text::parseReal;
    size_t slash = t.find('/');
    if (slash == std::string::npos) return parseReal(t);
    size_t space = t.find(' ');
    double whole = 0;
    std::string frac = t;
    if (space != std::string::npos && space < slash) {
        auto w = parseInteger(t.substr(0, space));
        if (!w || *w < 0) return std::nullopt;
        whole = static_cast<double>(*w);
        frac = host::ads_text::trim(t.substr(space + 1));
        slash = frac.find('/');
    }
    auto num = parseInteger(frac.substr(0, slash));
    auto den = parseInteger(frac.substr(slash + 1));
    if (!num || !den || *den <= 0 || *num < 0) return std::nullopt;
    return whole + static_cast<double>(*num) / static_cast<double>(*den);
}

std::optional<double> parseDms(const std::string& t) {
    size_t d = t.find('d');
    auto deg = host::ads_text::parseReal(t.substr(0, d));
    if (!deg) return std::nullopt;
    double total = *deg;
    std::string rest = t.substr(d + 1);
    size_t m = rest.find('\'');
    if (m != std::string::npos) {
        auto mins = host::ads_text::parseReal(rest.substr(0, m));
        if (!mins) return std::nullopt;
        total += *mins / 60.0;
        rest = rest.substr(m + 1);
    }
    size_t s = rest.find('"');
    if (s != std::string::npos) {
        auto secs = host::ads_text::parseReal(rest.substr(0, s));
        if (!secs) return std::nullopt;
        total += *secs / 3600.0;
        rest = rest.substr(s + 1);
    }
    if (!host::ads_text::trim(rest).empty()) return std::nullopt;
    return total;
}

std::optional<double> parseSurveyor(std::string t) {
    char ns = static_cast<char>(std::toupper(static_cast<unsigned char>(t.front())));
    if (t.size() == 1) {
        switch (ns) {
            case 'E':
                return 0.0;
            case 'N':
                return 90.0;
            case 'W':
                return 180.0;
            case 'S':
                return 270.0;
            default:
                return std::nullopt;
        }
    }
    char ew = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
    if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) return std::nullopt;
    std::string mid = host::ads_text::trim(t.substr(1, t.size() - 2));
    auto off = mid.find('d') != std::string::npos ? parseDms(mid) : host::ads_text::parseReal(mid);
    if (!off || *off < 0 || *off > 90) return std::nullopt;
    if (ns == 'N') return ew == 'E' ? 90.0 - *off : 90.0 + *off;
    return ew == 'W' ? 270.0 - *off : 270.0 + *off;
}

}  // namespace

int zcdbRToS(ads_real val, int unit, int prec, char* str, size_t bufLen) {
    return copyOut(host::realToString(val, unit, prec), str, bufLen);
}

int zcdbAngToS(ads_real angle, int unit, int prec, char* str, size_t bufLen) {
    return copyOut(host::angleToString(angle, unit, prec), str, bufLen);
}

int zcdbDisToF(const char* str, int unit, ads_real* result) {
    if (!str || !result || unit < -1 || unit == 0 || unit > 5) return RTERROR;
    auto v = host::stringToDistance(str);
    if (!v) return RTERROR;
    *result = *v;
    return RTNORM;
}

int zcdbAngToF(const char* str, int unit, ads_real* result) {
    if (!str || !result) return RTERROR;
    auto v = host::stringToAngle(str, unit);
    if (!v) return RTERROR;
    *result = *v;
    return RTNORM;
}

void zcutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result) {
    double x = pt[X] + dist * std::cos(angle), y = pt[Y] + dist * std::sin(angle), z = pt[Z];
    result[X] = x;
    result[Y] = y;
    result[Z] = z;
}

ads_real zcutAngle(const ads_point pt1, const ads_point pt2) {
    return normalizeAngle(std::atan2(pt2[Y] - pt1[Y], pt2[X] - pt1[X]));
}

ads_real zcutDistance(const ads_point pt1, const ads_point pt2) {
    double dx = pt2[X] - pt1[X], dy = pt2[Y] - pt1[Y], dz = pt2[Z] - pt1[Z];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

namespace host {

std::optional<std::string> realToString(double val, int unit, int prec) {
    return realToString(val, unit, prec, sysVarShort("DIMZIN"));
}

std::optional<std::string> realToString(double val, int unit, int prec, int dimzin) {
    if (unit == -1) unit = sysVarShort("LUNITS");
    if (prec == -1) prec = sysVarShort("LUPREC");
    if (unit < 1 || unit > 5 || prec < 0 || !std::isfinite(val)) return std::nullopt;
    if (prec > 15) prec = 15;
    switch (unit) {
        case 1:
            return scientificText(val, prec, dimzin);
        case 2:
            return decimalText(val, prec, dimzin);
        case 3:
            return engineeringText(val, prec, dimzin);
        case 4:
            return architecturalText(val, prec > 8 ? 8 : prec, dimzin);
        default:
            return fractionalText(val, prec > 8 ? 8 : prec);
    }
}

std::optional<std::string> angleToString(double angle, int unit, int prec) {
    if (unit == -1) unit = sysVarShort("AUNITS");
    if (prec == -1) prec = sysVarShort("AUPREC");
    if (unit < 0 || unit > 4 || prec < 0 || !std::isfinite(angle)) return std::nullopt;
    if (prec > 8) prec = 8;
    double step = std::pow(10.0, -prec);
    switch (unit) {
        case 0:
            return fixed(roundedDegrees(angle, step), prec);
        case 1:
            return dmsText(roundedDegrees(angle, dmsStep(prec)), prec);
        case 2: {
            double g = std::round(normalizeAngle(angle) * 200.0 / kPi / step) * step;
            return fixed(g >= 400.0 - step / 2 ? 0.0 : g, prec) + "g";
        }
        case 3: {
            double r = std::round(normalizeAngle(angle) / step) * step;
            return fixed(r >= 2 * kPi - step / 2 ? 0.0 : r, prec) + "r";
        }
        default:
            return surveyorText(angle, prec);
    }
}

std::optional<double> stringToDistance(std::string_view text) {
    // Plain decimals, as scripts give them, read without copies: the same
    // steps as below (the sign, then the number) on a view.
    std::string_view plain = trimmedView(text);
    if (plain.find_first_of("'\"/") == std::string_view::npos) {
        bool negative = !plain.empty() && plain[0] == '-';
        if (negative) plain = trimmedView(plain.substr(1));
        if (plain.empty()) return std::nullopt;
        std::optional<double> v = ads_text::parseReal(plain);
        if (!v) return std::nullopt;
        return negative ? -*v : *v;
    }
    std::string t = ads_text::trim(text);
    bool negative = !t.empty() && t[0] == '-';
    if (negative) t = ads_text::trim(t.substr(1));
    if (t.empty()) return std::nullopt;
    std::optional<double> v;
    size_t foot = t.find('\'');
    if (foot != std::string::npos || t.back() == '"') {
        double feet = 0;
        std::string in = t;
        if (foot != std::string::npos) {
            auto f = ads_text::parseReal(t.substr(0, foot));
            if (!f || *f < 0) return std::nullopt;
            feet = *f;
            in = ads_text::trim(t.substr(foot + 1));
            if (!in.empty() && in[0] == '-') in = ads_text::trim(in.substr(1));
        }
        if (!in.empty() && in.back() == '"') in = ads_text::trim(in.substr(0, in.size() - 1));
        double inches = 0;
        if (!in.empty()) {
            auto i = parseFraction(in);
            if (!i || *i < 0) return std::nullopt;
            inches = *i;
        }
        v = feet * 12.0 + inches;
    } else {
        v = parseFraction(t);
    }
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

std::optional<double> stringToAngle(const std::string& text, int unit) {
    if (unit == -1) unit = sysVarShort("AUNITS");
    if (unit < 0 || unit > 4) return std::nullopt;
    std::string t = ads_text::trim(text);
    if (t.empty()) return std::nullopt;
    std::optional<double> degrees;
    char last = static_cast<char>(std::tolower(static_cast<unsigned char>(t.back())));
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(t.front())));
    if (first == 'N' || first == 'S' || first == 'E' || first == 'W') {
        degrees = parseSurveyor(t);
    } else if (last == 'r') {
        auto r = ads_text::parseReal(t.substr(0, t.size() - 1));
        if (r) degrees = *r * 180.0 / kPi;
    } else if (last == 'g') {
        auto g = ads_text::parseReal(t.substr(0, t.size() - 1));
        if (g) degrees = *g * 0.9;
    } else if (t.find('d') != std::string::npos) {
        degrees = parseDms(t);
    } else if (auto n = ads_text::parseReal(t)) {
        degrees = unit == 2 ? *n * 0.9 : unit == 3 ? *n * 180.0 / kPi : *n;
    }
    // Beyond this many degrees the turn a typed angle lands on keeps few of
    // the digits typed (and past 1e306 the radians overflow): such an
    // answer is a slip, refused as a malformed one is, never reduced.
    if (!degrees || !(std::fabs(*degrees) <= kTypedAngleLimit)) return std::nullopt;
    // Into one turn while still in degrees, where the reduction is exact.
    return normalizeAngle(std::fmod(*degrees, 360.0) * kPi / 180.0);
}

}  // namespace host
