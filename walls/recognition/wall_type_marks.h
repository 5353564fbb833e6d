// The wall-type record of a wall LINE: its wall type's name and whether the
// line is the external side of its wall. A line without the record is of the
// general type and not external.
//
//     (-3 (1001 "VELM5$_$DATITIPOMURO-") (1000 name) (1070 flag))
//
// The flag group may be missing; writers insert it after the name.
#pragma once

#include <string>

#include "host/util/adscodes.h"

struct WallFace;
struct resbuf;

inline constexpr const char* kWallTypeApp = "VELM5$_$DATITIPOMURO-";

// The name (the general type when missing) and the flag (> 0) of the line's
// record; nothing is reported when the entity or the record is missing.
void ReadWallTypeXData(const ads_name entity, std::string& name, bool& external);
// Writes the flag into the record of every wall line of the face: a line
// without the record gets one of the general type only when the flag is set.
void SetExternalSideFlag(WallFace* face, bool flag);

// The pure edits behind the writers, on an entity list read with the
// record's application. Each returns true when the list changed (it may
// then have been reallocated at its tail, never at its head).
bool SetExternalFlagInList(resbuf* list, bool flag);
bool SetWallTypeInList(resbuf* list, const std::string& typeName);
// Registers the record's application when the drawing lacks it.
void EnsureWallTypeApp();
