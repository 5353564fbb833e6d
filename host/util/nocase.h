// Case-insensitive comparison of UTF-8 names (layers, blocks, dictionary
// keys, table records). Folds ASCII, Latin-1 (Italian à è é ì ò ù ...) and
// Latin Extended-A (Polish ą ć ę ł ń ó ś ź ż ...) to lower case; any other
// code point, and bytes that are not valid UTF-8, compare as they are.
// The one helper every case-insensitive comparison of the platform uses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::string zcutFoldCase(std::string_view text);
bool zcutEqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 as the folded texts compare bytewise.
int zcutCompareNoCase(std::string_view a, std::string_view b);
// Upper-case form with the same letter coverage (for names shown to users).
std::string zcutUpperCase(std::string_view text);

struct ZcNoCaseHash {
    std::size_t operator()(std::string_view s) const { return std::hash<std::string>()(zcutFoldCase(s)); }
};
struct ZcNoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return zcutEqualsNoCase(a, b); }
};
