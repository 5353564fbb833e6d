// Case-insensitive comparison of UTF-8 names (layers, blocks, dictionary
// keys, table records) under the names the drawing database uses. They are
// thin forwards to the platform's one case mapping in host/win/textutil.h,
// so every case-insensitive comparison of the platform folds letters alike:
// ASCII, Latin-1 (Italian à è é ì ò ù ...) and Latin Extended-A (Polish
// ą ć ę ł ń ó ś ź ż ...); bytes that are not valid UTF-8 compare as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/win/textutil.h"

inline std::string zcutFoldCase(std::string_view text) {
    return host::toLower(text);
}
inline bool zcutEqualsNoCase(std::string_view a, std::string_view b) {
    return host::iequals(a, b);
}
// <0, 0, >0 as the folded texts compare bytewise.
inline int zcutCompareNoCase(std::string_view a, std::string_view b) {
    return host::toLower(a).compare(host::toLower(b));
}
// Upper-case form with the same letter coverage (for names shown to users).
inline std::string zcutUpperCase(std::string_view text) {
    return host::toUpper(text);
}

struct ZcNoCaseHash {
    std::size_t operator()(std::string_view s) const { return std::hash<std::string>()(zcutFoldCase(s)); }
};
struct ZcNoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return zcutEqualsNoCase(a, b); }
};
