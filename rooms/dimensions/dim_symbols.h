// Dimension symbols, elevation marks and the upkeep of dimension texts.
//
// A dimension symbol is a parametric object (definitions "key_qd1" …
// "key_qd4") drawing one measured length with its text, placed along the
// inner faces of a room's walls or along a chain of lines; its record
// "VELM6$_$QUOTEINT-" keeps what it was made from, so a print-scale change
// can make it again. An elevation mark is the block "VELM--AQ" with one
// attribute, the height of its point above a stored reference.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"

struct WallFace;

inline constexpr const char* kDimensionSymbolApp = "VELM6$_$QUOTEINT-";

// Makes one symbol from the definition `name` at `at`, turned by
// `rotation`, measuring `length` with `decimals` decimals, placed at the
// floor `elevation`. False, with a message, when the definition made no
// block or the host refused the insert.
bool CreateDimensionSymbol(const Point3& at, double rotation, double length, int decimals,
                           const std::string& name, double elevation);

// The symbols of one straight wall face: the whole face, or the pieces
// between its openings. `angle` is the direction from the room towards the
// face; the symbols stand `offset` inside the room from it.
void WallSymbolChain(const WallFace& face, double angle, bool wholeWalls, double offset, int decimals,
                     const std::string& name, double elevation);

// Measures a DIMENSION whose text carries a height override again and
// writes the new text; a dimension with the host's own text ("<>"), without
// the override, or whose style or angle is missing is left as it is.
void UpdateDimensionText(const ads_name entity);

// "VELMDROOM"
void VelmDRoom();
// "VELMDBROKEN"
void VelmDBroken();
// "VELMDELEV"
void VelmDElev();
