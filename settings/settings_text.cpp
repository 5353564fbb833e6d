// Case-insensitive name comparison of the settings records. Only ASCII
// letters are folded: accented letters must match exactly.
#include "settings/settings_text.h"

#include <algorithm>

namespace {

unsigned char foldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAscii(static_cast<unsigned char>(x)) == foldAscii(static_cast<unsigned char>(y));
           });
}

bool ContainsIgnoringCase(const std::vector<std::string>& list, std::string_view name) {
    return std::any_of(list.begin(), list.end(),
                       [name](const std::string& s) { return SameNameIgnoringCase(s, name); });
}
