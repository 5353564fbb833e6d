// The mark record of an opening placed into a wall
// ("VELM6$_$ABINFISSI_OBJ-", written by the object library) as the
// schedules read it. The kind words are translated by TranslateOpeningType,
// which lives with the record's writer (objects/language/obj_records.h).
#pragma once

#include <string>

#include "host/util/resbuf.h"
#include "objects/language/obj_records.h"

// The mark number and the English kind word of the opening's mark record;
// 0 and an empty word when the entity has none.
void GetOpeningTypeAndNumber(const ads_name entity, int& number, std::string& kind);
