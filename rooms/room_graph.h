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
//
// The same per-drawing state keeps the card rows ("VELM5$_$RECORDVANI-"
// records) by row number: relabelling a floor looks a row up for every
// room, and selecting every row of the drawing each time made it grow with
// the square of the rooms. The reactor notes every entity added, changed,
// erased or unerased (undo and redo too); a noted entity is read again at
// the next look-up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "walls/graph/cfacciate.h"

// The prepared graph of the level (floor height as given) of the current
// drawing: the kept one when still valid, else built anew as
// PrepareRoomGraph builds it. Valid until the next call or
// DropKeptRoomGraphs.
CFACCIATE& KeptRoomGraph(double level, double floorHeight);

// A card row of the drawing: its handle and the card name of its record.
struct KeptCardRow {
    std::int64_t handle = 0;
    std::string card;
};
// The card rows of the current drawing whose record holds the row number,
// in drawing order, as an "X" selection of the records would list them.
std::vector<KeptCardRow> KeptCardRowsNumbered(int row);

// Runs `change`, an edit of the entity that the kept graph does not read (a
// room's record written on an opening beside it), without making the graph
// read the entity again for it at its next use: a floor's labels write on
// every door twice. An entity already due to be read again stays so.
void ChangeUnreadByRoomGraph(const ads_name entity, const std::function<void()>& change);

// Every kept graph and row index goes, with its reactor (the module's
// unload).
void DropKeptRoomGraphs();
