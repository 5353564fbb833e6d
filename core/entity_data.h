// Small functions on the host's entity-data lists (result-buffer lists of
// group code and value) and on the names of level layers, used by every
// command: finding a group or an xdata application, setting or replacing a
// group's value in place, the level written after the last "$" of a layer
// name, a real written without trailing zeros, and a few string helpers.
//
// Lists are singly linked; the xdata part starts at the first node after the
// head with a negative group code. A group added by the setters lands just
// before that part (or at the end), so xdata stays last and the head (group
// -1, the entity name) is never replaced. Lists given to these functions
// stay the caller's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/util/resbuf.h"

// The first node, the head included, whose group code is `code`.
resbuf* FindRbCode(resbuf* list, int code);
const resbuf* FindRbCode(const resbuf* list, int code);
// The first group 1001 naming `app`, compared without regard to case.
resbuf* FindXDataApp(resbuf* list, std::string_view app);
const resbuf* FindXDataApp(const resbuf* list, std::string_view app);

// The xdata the host lets one entity carry, in bytes as XDataBytes counts
// them; an entity given more is not made or changed.
inline constexpr std::size_t kEntityXDataLimit = 16383;
// The bytes of the xdata groups of a list (any other groups are passed by),
// as the host counts them: per group 2 for the code and its value (texts
// their length + 2, reals 8, points 24, 16-bit 2, 32-bit 4, handles 8), and
// per application its name's length + 4.
std::size_t XDataBytes(const resbuf* list);

// Set the value of the first node with `code`, or insert a new node before
// the xdata part when there is none. Return the node; null for a null list.
resbuf* SetRbShort(resbuf* list, int code, short value);
resbuf* SetRbReal(resbuf* list, int code, double value);
resbuf* SetRbPoint(resbuf* list, int code, const ads_point value);

// Puts a new node of `code` in place of the list's node of that code (after
// the head; the old node alone is freed), or inserts it before the xdata
// part. Returns the list, or the new node alone for a null list; null when
// the value does not fit the group code.
resbuf* ReplaceRb(resbuf* list, int code, double value);
resbuf* ReplaceRb(resbuf* list, int code, int value);
resbuf* ReplaceRb(resbuf* list, int code, const char* value);
resbuf* ReplaceRb(resbuf* list, int code, const ads_point value);

// The level after the last "$" of a layer name ("VELM2DWALLS$-12.5" gives
// -12.5, with `text` "-12.5"). 1 on success; 0 when the name has no "$"
// followed by a number at its end, when it starts with that "$", or when it
// is longer than 255 bytes. With levels switched off: 1 and 0.0 for any name.
int ParseDollarNumber(std::string_view name, double& value, std::string* text = nullptr);
// The same without looking at the drawing's levels switch.
int ParseLevelSuffix(std::string_view name, double& value, std::string* text = nullptr);

// "%f" without trailing zeros and then without a trailing point: 12.5, 12,
// 100.
std::string FormatRealTrim(double value);

// "VELM5$_$PARAMETRI-" gives "5" and 1; a name without the "VELM" prefix is
// copied whole and gives 0.
int StripAppPrefix(std::string_view app, std::string& out);
// The text after the first "|" and 1; the whole text and 0 when there is no
// "|" or it is the last character.
int SplitAtBar(std::string_view text, std::string& out);

void CopyStringArray(const std::vector<std::string>& source, std::vector<std::string>& target);
// Index of the first element equal to `text` without regard to case; -1.
int FindInStringArray(const std::vector<std::string>& array, std::string_view text);
