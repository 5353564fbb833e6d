// The face graph of a floor as the room commands use it, kept from one
// command to the next: labelling every room of a floor one command at a
// time reads and assembles the floor's walls once, not once per room.
//
// A kept graph serves while what it was read from stays as it was: the
// wall LINEs and ARCs, the function lines, the entities carrying object
// outlines or pilasters, the wall-layer list, and the settings the graph
// takes at construction (level, floor height and integer, unit factor, wall
// distance, chord length). A database reactor marks the graph stale when
// any of those entities or the wall-layer list is added, changed, erased or
// unerased, by a command or by undo and redo; other changes (labels, cards,
// rows, settings slots) leave it. Only one graph per drawing is kept, that
// of the level asked last.
//
// The room walk flips the direction flag of the arc faces it chains; the
// flags are put back before every use, so each command sees the graph as a
// fresh build would give it.
#pragma once

#include "walls/graph/cfacciate.h"

// The prepared graph of the level (floor height as given) of the current
// drawing: the kept one when still valid, else built anew as
// PrepareRoomGraph builds it. Valid until the next call or
// DropKeptRoomGraphs.
CFACCIATE& KeptRoomGraph(double level, double floorHeight);

// Every kept graph goes, with its reactor (the module's unload).
void DropKeptRoomGraphs();
