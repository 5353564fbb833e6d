// Filing of a plain list of texts, the layout shared by several settings
// records. DWG: version, 16-bit count, the texts. DXF: a 170 count, then
// one 300 item per text.
#pragma once

#include <string>
#include <vector>

#include "store/settings_filer.h"

// How a list read back is rebuilt: kept as read, or with a fixed first entry
// and no two entries equal ignoring case.
struct StringListRule {
    const char* firstEntry = nullptr;  // null: the list starts empty
    bool unique = false;
};

void WriteStringListDwg(const std::vector<std::string>& list, SettingsDwgWriter& w);
void WriteStringListDxf(const std::vector<std::string>& list, SettingsDxfWriter& w);

// Reads the 16-bit count and the texts into a list emptied first. On a failed
// read the entries read so far stay.
FilingStatus ReadStringListDwg(std::vector<std::string>& list, SettingsDwgReader& r,
                               StringListRule rule = {});
// Reads a 170 count and up to that many 300 items. When the count item is
// missing the list is left unchanged and false is returned; reading ends at
// the first item of another code (pushed back). `complete` tells whether all
// counted items were there.
bool ReadStringListDxf(std::vector<std::string>& list, SettingsDxfReader& r, StringListRule rule = {},
                       bool* complete = nullptr);
