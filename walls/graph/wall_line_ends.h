// Wall LINEs looked at by their ends alone: reading a line's whole list with
// every application's records is what makes reading a graph cost, and the
// passes that only need to know where a line lies (or that it has shrunk to
// nothing) do without it.
#pragma once

#include <optional>
#include <utility>

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"
#include "walls/graph/wall_line_table.h"

// The ends of a LINE, read from the object; none for any other entity.
std::optional<std::pair<Point3, Point3>> WallLineEnds(const ads_name entity);

// Erases the zero-length wall LINEs of the level in the order reading the
// graph meets them, as that reading does, without reading the others.
void EraseZeroLengthWallLines(double level);
