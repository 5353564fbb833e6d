// Conversions between numbers and the texts the host shows for lengths and
// angles, and the three small point helpers.
//
// Linear modes (unit -1 takes LUNITS, precision -1 takes LUPREC):
//   1 scientific "1.5500E+01"     2 decimal "15.5000"
//   3 engineering "1'-3.50\""     4 architectural "1'-3 1/2\"" (precision n:
//                                   fractions of 1/2^n inch)
//   5 fractional "15 1/2"
// DIMZIN: bit 4 drops the leading zero of a decimal ("0.50" → ".50"), bit 8
// the trailing zeros ("12.500" → "12.5", "12.000" → "12"); the low two bits
// choose the zero feet / zero inches of modes 3 and 4: 0 drops both, 1 keeps
// both, 2 keeps zero feet, 3 keeps zero inches.
// Angular modes (unit -1 takes AUNITS, precision -1 AUPREC); the angle is
// absolute (radians counter-clockwise from east, ANGBASE not applied):
//   0 degrees "45.0000"   1 degrees/minutes/seconds "45d30'15\""
//   2 grads "50.0000g"    3 radians "0.7854r"   4 surveyor "N 45d30' E"
// The readers accept every form whatever mode they are given.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "host/util/adscodes.h"

int zcdbRToS(ads_real val, int unit, int prec, char* str, size_t bufLen);
int zcdbAngToS(ads_real angle, int unit, int prec, char* str, size_t bufLen);
template <size_t N>
int zcdbRToS(ads_real val, int unit, int prec, char (&str)[N]) {
    return zcdbRToS(val, unit, prec, str, N);
}
template <size_t N>
int zcdbAngToS(ads_real angle, int unit, int prec, char (&str)[N]) {
    return zcdbAngToS(angle, unit, prec, str, N);
}
int zcdbDisToF(const char* str, int unit, ads_real* result);
int zcdbAngToF(const char* str, int unit, ads_real* result);

void zcutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result);
ads_real zcutAngle(const ads_point pt1, const ads_point pt2);     // in the XY plane, [0, 2π)
ads_real zcutDistance(const ads_point pt1, const ads_point pt2);  // 3D

namespace host {
// The same conversions as strings; none for a bad mode.
std::optional<std::string> realToString(double val, int unit, int prec);
// The same with the zero suppression given rather than DIMZIN's.
std::optional<std::string> realToString(double val, int unit, int prec, int dimzin);
std::optional<std::string> angleToString(double angle, int unit, int prec);
std::optional<double> stringToDistance(std::string_view text);
// A typed angle: none when malformed, or when its magnitude passes
// kTypedAngleLimit degrees.
inline constexpr double kTypedAngleLimit = 1e10;
std::optional<double> stringToAngle(const std::string& text, int unit);
}  // namespace host
