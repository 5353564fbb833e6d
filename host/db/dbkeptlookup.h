// An object found by reading others of a drawing (an entry looked up by name
// in a dictionary under the named-object dictionary, say), kept under a name
// until one of the objects it was read from is changed or erased, the object
// found is erased, or the drawing goes. The drawing tells of every change of
// its objects, so a caller that looks the same thing up thousands of times
// (a setting read one at a time) finds it here instead.
#pragma once

#include <string_view>
#include <vector>

#include "host/db/dbid.h"

class ZcDbDatabase;

namespace host {

struct KeptLookup {
    ZcDbObjectId found;
    std::vector<ZcDbObjectId> readFrom;
};

// What is kept under `name` for the drawing; null when nothing is. Valid
// until the next change of the drawing's objects.
const KeptLookup* keptLookup(const ZcDbDatabase* db, std::string_view name);
// Keeps `found` under `name`, replacing what was kept there.
void keepLookup(ZcDbDatabase* db, std::string_view name, KeptLookup lookup);

}  // namespace host
