// Case-insensitive name comparison of the settings records, forwarded to the
// host's compare so that every part of the module folds letters alike.
#include "store/settings_text.h"

#include <algorithm>

#include "host/util/nocase.h"
#include "host/win/textutil.h"

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return zcutEqualsNoCase(a, b);
}

bool ContainsIgnoringCase(const std::vector<std::string>& list, std::string_view name) {
    return std::any_of(list.begin(), list.end(),
                       [name](const std::string& s) { return SameNameIgnoringCase(s, name); });
}
