// Wall lines as the editing commands change them: read with the xdata of
// every application, so a line shortened, extended or split keeps its
// layer, its properties and its wall records, and a new piece is made from
// the list of the line it continues.
#pragma once

#include "core/geometry/geom_basic.h"
#include "host/ads/adsowners.h"
#include "host/util/adscodes.h"

// The entity's list with the xdata of every application; empty when the
// entity cannot be read.
host::ResbufList ReadWallLineList(const ads_name entity);
// The line runs from a to b afterwards (modified in place); false when it
// cannot be read or the host refuses the change.
bool RewriteWallLine(const ads_name entity, const Point3& a, const Point3& b);
// A new LINE from a to b made from `list` (the list's points are changed);
// false (nothing made) when the ends coincide or the host refuses it.
// `made` (may be null) gets the new name.
bool MakeWallLine(resbuf* list, const Point3& a, const Point3& b, ads_name made);
// The two ends of a LINE; false when it is none.
bool WallLineEnds(const ads_name entity, Point3& a, Point3& b);
