// Name comparison for the settings records: names of folders, layers and
// patterns are the same when they differ only in letter case (Polish and
// Italian letters included, through the host's one case-insensitive compare).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Equal ignoring letter case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);
// True when the list holds an entry equal to the name ignoring case.
bool ContainsIgnoringCase(const std::vector<std::string>& list, std::string_view name);
