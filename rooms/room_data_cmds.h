// The room data commands: a new room label measured from an interior point
// or a polyline (VELMSPACEUNIT, VELMSUNITV under roof pitches), existing
// labels measured again (VELMSUNITR, UpdateRoomLabel), and the area and
// volume of a floor outline (VELMVFLOOR).
#pragma once

#include "host/util/adscodes.h"
#include "rooms/room_calc.h"
#include "walls/graph/cfacciate.h"

void VelmSpaceUnit();
void VelmSUnitV();
void VelmSUnitR();
void VelmVFloor();

// Measures the label's room again and redraws label and row; the room
// calculation is the caller's (its card total is replaced afterwards).
// Interactive: the room form and the interior point are asked for. False
// when nothing changed.
bool UpdateRoomLabel(CCALCVANI& room, const ads_name label, bool interactive, CFACCIATE& graph);
