// The mark record of an opening placed into a wall
// ("VELM6$_$ABINFISSI_OBJ-", written by the object library) as the
// schedules and the room recognition read and rewrite it. The kind words
// are translated by TranslateOpeningType, which lives with the record's
// writer (objects/language/obj_records.h).
//
// Items (1-based) and their groups: 1 definition, 2 kind (Italian), 3 set,
// 4 room text, 5 text, 6 room value (1040), 7 text, 8 mark number (1070),
// 9 to 11 reals, 12 flag (1070), 13 to 15 reals, 16 own room number, 17
// its name, 18 other room number, 19 its name, 20 extra row definition, 21
// real, 22 second mark number (1070), 23 real.
#pragma once

#include <string>
#include <string_view>

#include "core/geometry/geom_basic.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_records.h"
#include "walls/graph/wall_face.h"

inline constexpr const char* kAbInfissiEtiApp = "VELM6$_$ABINFISSI_ETI-";
inline constexpr const char* kAbInfissiTotApp = "VELM6$_$ABINFISSI_TOT-";

// The mark number and the English kind word of the opening's mark record;
// 0 and an empty word when the entity has none.
void GetOpeningTypeAndNumber(const ads_name entity, int& number, std::string& kind);

// The node of item `item` (1-based) of a mark record whose 1001 group is
// `app`; null past the record's end.
resbuf* MarkRecordItem(resbuf* app, int item);
const resbuf* MarkRecordItem(const resbuf* app, int item);

// The entity's mark record (its entity list with that xdata, to be freed
// by the caller) and its 1001 node in `app`; null when it has none.
resbuf* ReadMarkRecord(const ads_name entity, resbuf*& app);

// The stretch of a wall face a room's outline runs along: a line from
// start to end, or an arc about its centre.
struct FaceSegment {
    Point3 start, end;
    bool isArc = false;
    Point3 centre;
    double radius = 0.0;
};

// Writes the room into the mark record of an opening found on a face of
// the room's outline: number and name on the opening's own side (items 16,
// 17) or on its other side (18, 19), the text into item 4 when `textFlag`
// is above 0, the value into item 6 when `valueFlag` is. Nothing for an
// opening without entity or mark record, or of a kind without sides. False
// when the record, with the room's texts, is more than the host lets the
// opening carry: the record is then left as it was.
bool RecordOpeningRoom(const OutlineNode& opening, const FaceSegment& face, int roomNumber,
                       std::string_view roomName, int textFlag, int valueFlag, std::string_view text,
                       double value);
