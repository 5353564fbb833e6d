// The entities of one floor level that carry a record of an application
// (pilasters, separator lines): selected from the whole drawing, kept when
// their layer's level lies within the single-precision epsilon of the level.
#pragma once

#include <functional>

#include "host/util/adscodes.h"

void ForEachLevelRecord(const char* app, double level, const std::function<void(const ads_name)>& visit);
