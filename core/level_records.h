// The entities of one floor level that carry a record of an application
// (pilasters, separator lines): selected from the whole drawing, kept when
// their layer's level lies within the caller's tolerance of the level. The
// wall recognition matches levels within kLevelTolerance; the face graph and
// the double lines take pilasters within the drawing's length tolerance.
#pragma once

#include <functional>

#include "host/util/adscodes.h"

void ForEachLevelRecord(const char* app, double level, double tolerance,
                        const std::function<void(const ads_name)>& visit);
